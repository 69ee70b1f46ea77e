// What every replay of the time-travel record shares: the guard under which
// it runs (what it changes of the machine's run state, hooks and board
// callbacks is put back when it ends) and the walk through steps and inputs.
// Shared by the record's own files only.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "core/break_state.h"
#include "reverse/time_travel.h"

namespace hc11 {

// A "Break" code breakpoint at PC that a run would stop on now (its
// condition holds; a logpoint never stops).
inline bool BreakStopsAtPc(const Machine& m) {
  return m.tInst[m.cpu.PC] == kBreakStop && (m.Rules == nullptr || m.Rules->StopsGoingBack(m, m.cpu.PC));
}

// The host sees nothing of a replay: no beep, no trace line, no label.
inline UiHooks& SilentHooks() {
  static UiHooks silent;  // stateless
  return silent;
}

// What a replay must not disturb or show: the host's hooks and trace list,
// the run command's variables, the panel's redraw callbacks, the step
// history. `breaks` lets RAM breakpoints report (they act only while the
// machine is not idle). Without `counting` the coverage and profile counts
// are left alone: a search through the record only looks, and the moment it
// settles on is reached again with them.
class TimeTravel::ReplayScope {
 public:
  ReplayScope(TimeTravel& tt, bool breaks, Counting counting, bool interruptible)
      : tt_(tt), m_(tt.m_), hooks_(&tt.m_.hooks()), counters_(tt.m_.Counters) {
    tt_.replaying_ = true;
    if (counting == Counting::Off) m_.Counters = nullptr;
    tt_.host_ = hooks_;
    tt_.interruptible_ = interruptible;
    tt_.spoiled_ = false;
    tt_.toPump_ = static_cast<std::uint64_t>(std::max<std::int64_t>(1, std::int64_t{m_.RefreshEvery} + 1));
    m_.SetHooks(&SilentHooks());
    eventTimeRef_ = m_.EventTimeRef;
    runMode_ = m_.RunMode;
    runTarget_ = m_.RunTarget;
    stepOverCalls_ = m_.StepOverCalls;
    stepOverArmed_ = m_.StepOverArmed;
    savedSP_ = m_.SavedSP;
    idle_ = m_.Idle;
    history_ = m_.HistoryEnabled;
    m_.RunMode = kModeRun;
    m_.StepOverCalls = false;
    m_.HistoryEnabled = false;
    m_.Idle = !breaks;
    if (tt_.board_ != nullptr) {
      onPanelChange_.swap(tt_.board_->OnPanelChange);
      programOutput_.swap(tt_.board_->ProgramOutput);
      // A byte transmitted again by the replay already reached the host link.
      onTransmit_.swap(tt_.board_->OnTransmit);
    }
  }
  ~ReplayScope() {
    m_.Counters = counters_;
    m_.SetHooks(hooks_);
    m_.EventTimeRef = eventTimeRef_;
    m_.RunMode = runMode_;
    m_.RunTarget = runTarget_;
    m_.StepOverCalls = stepOverCalls_;
    m_.StepOverArmed = stepOverArmed_;
    m_.SavedSP = savedSP_;
    m_.Idle = idle_;
    m_.HistoryEnabled = history_;
    if (tt_.board_ != nullptr) {
      onPanelChange_.swap(tt_.board_->OnPanelChange);
      programOutput_.swap(tt_.board_->ProgramOutput);
      // A byte transmitted again by the replay already reached the host link.
      onTransmit_.swap(tt_.board_->OnTransmit);
    }
    tt_.replaying_ = false;
    tt_.host_ = nullptr;
    tt_.interruptible_ = false;
  }
  ReplayScope(const ReplayScope&) = delete;
  ReplayScope& operator=(const ReplayScope&) = delete;

 private:
  TimeTravel& tt_;
  Machine& m_;
  UiHooks* hooks_;
  StepObserver* counters_;
  std::int64_t eventTimeRef_;
  char16_t runMode_;
  std::uint16_t runTarget_, savedSP_;
  bool stepOverCalls_, stepOverArmed_, idle_, history_;
  std::function<void(PanelPart)> onPanelChange_;
  std::function<void(std::string_view)> programOutput_;
  std::function<void(std::uint8_t)> onTransmit_;
};

template <class Found>
void TimeTravel::Advance(std::uint64_t target, std::size_t& nextEvent, bool untilBreak, Found found) {
  for (;;) {
    if (interrupted_) return;
    // A run command that began at the target belongs to the time after it.
    while (nextEvent < EventEnd() && EventAt(nextEvent).step <= m_.StepTotal &&
           (m_.StepTotal < target || EventAt(nextEvent).input != BoardInput::RunStarted))
      ApplyEvent(EventAt(nextEvent++));
    if (m_.StepTotal >= target) return;
    std::uint64_t stopAt = target;
    if (nextEvent < EventEnd()) stopAt = std::min(stopAt, EventAt(nextEvent).step);
    while (m_.StepTotal < stopAt) {
      toPump_ -= ReplaySteps(m_, std::min(stopAt - m_.StepTotal, toPump_), untilBreak);
      if (untilBreak) {
        if (m_.BreakRequested) {
          found(m_.StepTotal, true);
          m_.BreakRequested = false;
        } else if (BreakStopsAtPc(m_)) {
          found(m_.StepTotal, false);
        }
      }
      if (toPump_ == 0) {
        toPump_ = static_cast<std::uint64_t>(std::max<std::int64_t>(1, std::int64_t{m_.RefreshEvery} + 1));
        if (HostAskedStop()) return;
      }
    }
  }
}

template <class Scan>
std::optional<std::uint64_t> TimeTravel::LastMoment(std::uint64_t before, Scan scan) {
  if (!HasRecord() || before <= EarliestStep()) return std::nullopt;
  // Segment k covers the moments after its snapshot up to the next one (the
  // first segment also its own start), latest segment first.
  std::size_t k = SnapshotAtOrBefore(before - 1);
  scannedFrom_ = before;
  for (;;) {
    const std::uint64_t start = snaps_[k]->step;
    const std::uint64_t end = k + 1 < snaps_.size() ? std::min(snaps_[k + 1]->step, before - 1) : before - 1;
    if (start < end || k == 0) {
      RestoreSnapshot(k);
      std::size_t e = snaps_[k]->eventIndex;
      const std::optional<std::uint64_t> t = scan(start, std::max(start, end), k == 0, e);
      if (interrupted_) return std::nullopt;
      if (t) return t;
      scannedFrom_ = start;  // nothing found after it
    }
    if (k == 0) return std::nullopt;
    --k;
  }
}

}  // namespace hc11
