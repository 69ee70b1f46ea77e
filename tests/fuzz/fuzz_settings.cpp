// Arbitrary bytes as a settings file: reading, rewriting and the "PatchCode"
// lines must never crash, and a rewrite of a rewrite changes nothing.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "debugger/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const hc11::Settings s = hc11::ParseSettings(text);
  static std::array<std::uint8_t, 65536> memory{};
  hc11::ApplyPatchCode(s.patchLines, memory);
  const std::string once = hc11::RewriteSettings(text, s);
  if (hc11::RewriteSettings(once, hc11::ParseSettings(once)) != once) std::abort();
  return 0;
}
