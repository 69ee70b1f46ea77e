#include "workbench/quiet_period.h"

namespace hc11 {

void QuietPeriod::Changed(std::uint64_t nowMs) {
  pending_ = true;
  last_ = nowMs;
}

bool QuietPeriod::Take(std::uint64_t nowMs) {
  if (!pending_ || Remaining(nowMs) > 0) return false;
  pending_ = false;
  return true;
}

std::uint64_t QuietPeriod::Remaining(std::uint64_t nowMs) const {
  if (!pending_) return 0;
  // A clock that went back counts from the time it shows now.
  const std::uint64_t since = nowMs >= last_ ? nowMs - last_ : 0;
  return since >= quietMs_ ? 0 : quietMs_ - since;
}

}  // namespace hc11
