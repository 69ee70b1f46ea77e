#include "python/display_text.h"

namespace hc11::py {

namespace {

struct Glyph {
  std::uint8_t segments;
  char text;
};

// Where a digit and a letter share a pattern (5 and S, 0 and O) the digit is
// read; a firmware's own tables name which it meant.
constexpr Glyph kGlyphs[] = {
    {0x00, ' '}, {0x3F, '0'}, {0x06, '1'}, {0x5B, '2'}, {0x4F, '3'}, {0x66, '4'}, {0x6D, '5'},
    {0x7D, '6'}, {0x07, '7'}, {0x7F, '8'}, {0x6F, '9'}, {0x77, 'A'}, {0x7C, 'b'}, {0x39, 'C'},
    {0x58, 'c'}, {0x5E, 'd'}, {0x79, 'E'}, {0x71, 'F'}, {0x3D, 'G'}, {0x76, 'H'}, {0x74, 'h'},
    {0x1E, 'J'}, {0x38, 'L'}, {0x54, 'n'}, {0x5C, 'o'}, {0x73, 'P'}, {0x67, 'q'}, {0x50, 'r'},
    {0x78, 't'}, {0x3E, 'U'}, {0x1C, 'u'}, {0x6E, 'y'}, {0x40, '-'}, {0x08, '_'}, {0x48, '='},
};

}  // namespace

char SegmentChar(std::uint8_t segments) {
  const auto pattern = static_cast<std::uint8_t>(segments & 0x7F);
  for (const Glyph& g : kGlyphs)
    if (g.segments == pattern) return g.text;
  return '?';
}

std::string DisplayText(const std::array<std::uint8_t, 4>& segments) {
  std::string text;
  for (const std::uint8_t s : segments) {
    text += SegmentChar(s);
    if ((s & 0x80) != 0) text += '.';
  }
  return text;
}

}  // namespace hc11::py
