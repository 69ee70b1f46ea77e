// Hexadecimal entry as every dialog and prompt reads it: the text with "$" in
// front, at most $FFFF. The error text is the one the message box shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hc11 {

struct HexEntry {
  std::optional<std::uint32_t> value;
  std::string error;  // set when value is empty
};

// Reads `text` as hexadecimal with no upper bound beyond 32 bits.
HexEntry ParseHexEntry(std::string_view text);

// The same, refusing a value above `max` with a range message.
HexEntry ParseHexEntry(std::string_view text, std::uint32_t max);

}  // namespace hc11
