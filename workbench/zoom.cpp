#include "workbench/zoom.h"

#include <algorithm>
#include <cmath>

namespace hc11 {

bool Zoom::Set(int percent) {
  const int clamped = std::clamp(percent, kMin, kMax);
  if (clamped == percent_) return false;
  percent_ = clamped;
  return true;
}

bool Zoom::In() {
  for (int step : kSteps)
    if (step > percent_) return Set(step);
  return false;
}

bool Zoom::Out() {
  for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it)
    if (*it < percent_) return Set(*it);
  return false;
}

int Zoom::ToSheet(int view) const {
  return static_cast<int>(std::floor(static_cast<double>(view) * 100.0 / percent_));
}

int Zoom::ToView(int sheet) const {
  return static_cast<int>(std::lround(static_cast<double>(sheet) * percent_ / 100.0));
}

int Zoom::AnchoredScroll(int oldPercent, int scroll, int pointer) const {
  const double sheetPoint = static_cast<double>(scroll + pointer) * 100.0 / oldPercent;
  return static_cast<int>(std::lround(sheetPoint * percent_ / 100.0)) - pointer;
}

}  // namespace hc11
