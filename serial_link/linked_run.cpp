#include "serial_link/linked_run.h"

#include <unistd.h>

#include <algorithm>

#include "core/run_engine.h"

namespace hc11::serial {

namespace {

// Longest single sleep, so a client, a bound or the window is seen promptly.
constexpr std::int64_t kSleepSliceUs = 10'000;

}  // namespace

void LinkedRun::SetBounds(const RunBounds& bounds) {
  bounds_ = bounds;
  pacer_ = RealtimePacer(bounds.countsPerSecond);
}

void LinkedRun::Arm() {
  armedUs_ = NowUs();
  endReason_.clear();
}

void LinkedRun::RunStarted() {
  pacer_.Start(machine_.CycleCount, NowUs());
}

bool LinkedRun::BoundReached(std::int64_t nowUs) {
  if (Interrupted && Interrupted()) {
    endReason_ = "interrupted";
  } else if (bounds_.wallLimitUs > 0 && nowUs - armedUs_ >= bounds_.wallLimitUs) {
    endReason_ = "wall-clock limit reached";
  } else if (bounds_.untilIdleUs > 0 && link_ != nullptr && link_->LastReceiveUs() &&
             link_->framer().Idle() && nowUs - *link_->LastReceiveUs() >= bounds_.untilIdleUs) {
    endReason_ = "host idle";
  } else {
    return false;
  }
  return true;
}

bool LinkedRun::Yield() {
  if (link_ != nullptr) link_->Poll();
  for (;;) {
    const std::int64_t now = NowUs();
    if (BoundReached(now)) {
      machine_.RunMode = kModeStop;  // exactly what "Arret" does
      return true;
    }
    if (!bounds_.realtime) return false;
    const std::int64_t ahead = pacer_.AheadUs(machine_.CycleCount, now);
    if (ahead <= 0) return false;
    const std::int64_t slice = std::min(ahead, kSleepSliceUs);
    if (link_ != nullptr && link_->IsOpen()) {
      link_->Wait(slice);
    } else {
      ::usleep(static_cast<useconds_t>(slice));
    }
  }
}

void LinkedRun::Idle() {
  if (link_ != nullptr) link_->Poll();
}

bool LinkedRun::WaitForClient(const std::function<bool()>& stop) {
  if (link_ == nullptr) return true;
  for (;;) {
    link_->Poll();
    if (!link_->IsOpen()) return false;
    if (link_->Connected()) return true;
    if (BoundReached(NowUs()) || (stop && stop())) return false;
    link_->Wait(kSleepSliceUs);
  }
}

}  // namespace hc11::serial
