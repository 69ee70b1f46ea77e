// The board's four-digit 8-segment display as a model: which segments are lit
// at each position. The panel window paints it; nothing here draws.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/state_visitor.h"

namespace hc11 {

class TAff8Segm {
 public:
  static constexpr int kPositions = 4;

  // Segment bit i lit when set: 0 top, 1 upper right, 2 lower right, 3 bottom,
  // 4 lower left, 5 upper left, 6 middle, 7 point. Positions outside 0..3 are
  // ignored.
  void DrawDigit(int position, std::uint8_t segments) {
    if (position >= 0 && position < kPositions) Segments[static_cast<std::size_t>(position)] = segments;
  }

  // Blanks the display: the caption of 28 blanks repaints the label and wipes
  // whatever digits were drawn on it.
  void Clear() {
    Caption.assign(28, ' ');
    Segments.fill(0);
  }

  // A click on the display empties its caption, which also wipes the digits.
  void Click() {
    Caption.clear();
    Segments.fill(0);
  }

  void Visit(StateVisitor& v) {
    v.Bytes("Segments", Segments);
    v.Field("Caption", Caption);
  }

  std::array<std::uint8_t, kPositions> Segments{};  // 0 = blank position
  std::string Caption = "1234";
};

}  // namespace hc11
