// The panel's four display positions as text, left to right as the panel
// paints them: the character each segment pattern shows, '?' for a pattern
// that is no character, and '.' after a position whose point is lit.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace hc11::py {

// Segment bits as the display keeps them: bit 0 top, 1 upper right, 2 lower
// right, 3 bottom, 4 lower left, 5 upper left, 6 middle, 7 the point.
std::string DisplayText(const std::array<std::uint8_t, 4>& segments);

// The character of one pattern, its point left out; '?' when it is none.
char SegmentChar(std::uint8_t segments);

}  // namespace hc11::py
