// Base64 (RFC 4648, with padding), as the protocol carries memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hc11::dap {

std::string EncodeBase64(const std::uint8_t* bytes, std::size_t count);
// nullopt for a character outside the alphabet or a length that is not a
// whole number of groups (padding included).
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text);

}  // namespace hc11::dap
