// The flowchart's zoom. The sheet, its hit-testing, its drags and its saved
// positions are in sheet units at every zoom; only the view multiplies. The
// window converts each pointer position with ToSheet before it asks the
// sheet anything, and scrolls with AnchoredScroll so the point under the
// pointer stays where it is.
#pragma once

#include <array>

namespace hc11 {

class Zoom {
 public:
  static constexpr int kMin = 50, kMax = 300, kDefault = 100;
  static constexpr std::array<int, 12> kSteps = {50, 67, 75, 90, 100, 110, 125, 150, 175, 200, 250, 300};

  int Percent() const { return percent_; }
  // Clamped to kMin..kMax (a settings file may hold anything); true when the
  // zoom changed.
  bool Set(int percent);
  // The next step up or down from the current zoom (Ctrl++, Ctrl+-, one wheel
  // notch); Reset is Ctrl+0.
  bool In();
  bool Out();
  bool Reset() { return Set(kDefault); }

  // Sheet units <-> view pixels. ToSheet rounds down, so every view pixel
  // falls in the sheet unit it shows.
  int ToSheet(int view) const;
  int ToView(int sheet) const;

  // The scroll position (view pixels) after a change from `oldPercent` to the
  // current zoom that keeps the sheet point under `pointer` (view pixels from
  // the viewport's edge) under it.
  int AnchoredScroll(int oldPercent, int scroll, int pointer) const;

 private:
  int percent_ = kDefault;
};

}  // namespace hc11
