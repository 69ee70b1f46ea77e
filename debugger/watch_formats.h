// A watch's value text from its captured bytes, and the parse-and-store of a
// typed value text, per display format.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace hc11 {

enum WatchFormatId : std::uint8_t {
  FmtBits = 0,
  FmtHex = 1,
  FmtDecimal = 2,
  FmtSigned = 3,
  FmtFloat = 4,
  FmtString = 5
};

// The edit dialog's format items, indexed by format.
inline constexpr std::array<const char*, 6> kWatchFormatItems = {
    "b  fBin", "$  fHex", "D  fDecimal", "d  fDecimalSign", "f  fFloat", "S  fString"};
// The letters of the CLI's --watch option, indexed by format.
inline constexpr std::string_view kWatchFormatLetters = "b$DdfS";

// The most bytes a watch captures (elements x bytes per element).
inline constexpr std::size_t kWatchBlockMax = 41;

// The float format's six-byte real: byte 0 the exponent biased by 129 (0 is
// the value zero), bytes 1 to 5 the sign bit and a 39-bit fraction with an
// implicit leading 1, most significant byte first as the processor keeps
// words: value = (-1)^sign x (1 + fraction / 2^39) x 2^(exponent - 129).
double Real6ToDouble(const std::uint8_t* bytes);

// The value text of `captured` (elements x bytesPer bytes) in `format`.
std::string WatchValueText(std::uint8_t format, std::uint8_t elements, std::uint8_t bytesPer,
                           const std::vector<std::uint8_t>& captured);

// Parses `text` into tokens (blanks, tabs, commas) and stores each through
// `store` (address, byte) per format. Stores past $FFFF are refused whole with
// a message; the messages are returned.
std::vector<std::string> WriteWatchText(std::string_view text, std::uint8_t format, std::uint16_t address,
                                        std::uint8_t elements, std::uint8_t bytesPer,
                                        const std::function<void(std::uint16_t, std::uint8_t)>& store);

}  // namespace hc11
