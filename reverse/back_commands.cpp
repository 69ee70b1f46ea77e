// The commands that go back through the record, and their texts.
#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "core/run_engine.h"
#include "reverse/replay_scope.h"
#include "reverse/time_travel.h"

namespace hc11 {

namespace {

constexpr std::uint8_t kOpReturn = 0x39;
constexpr std::uint8_t kOpReturnFromInterrupt = 0x3B;

}  // namespace

BackResult TimeTravel::StepBack(std::uint64_t n) {
  BackResult r;
  // A record that does not lead to the present cannot take it back.
  if (!HasRecord() || m_.StepTotal != expectedStep_ || m_.StepTotal > latest_) return r;
  const std::uint64_t now = m_.StepTotal;
  const std::uint64_t earliest = EarliestStep();
  const std::uint64_t target = now - earliest >= n ? now - n : earliest;
  interrupted_ = false;
  MoveTo(target, true);
  r.stepsBack = now - m_.StepTotal;
  if (interrupted_) {
    r.stop = BackStop::Interrupted;  // at the moment the replay had reached
    return r;
  }
  r.stop = target == now - n && n > 0 ? BackStop::Stepped : BackStop::StartOfRecord;
  return r;
}

BackResult TimeTravel::StepBackOver() {
  const std::uint16_t spNow = m_.cpu.SP;
  const std::uint64_t now = m_.StepTotal;
  BackResult r = StepBack(1);
  if (r.stop != BackStop::Stepped) return r;
  const std::uint8_t op = m_.Memory[m_.cpu.PC];
  if (op != kOpReturn && op != kOpReturnFromInterrupt) return r;
  // Inside the call the stack lies below its level after the return; the
  // call (or the interrupted instruction) is the last moment at that level.
  std::optional<std::uint64_t> t;
  {
    ReplayScope scope(*this, false, Counting::Off, true);
    t = LastMoment(now - 1, [&](std::uint64_t start, std::uint64_t end, bool withStart, std::size_t& e) {
      std::optional<std::uint64_t> last;
      if (withStart && m_.cpu.SP >= spNow) last = start;
      while (m_.StepTotal < end && !interrupted_) {
        Advance(m_.StepTotal + 1, e, false, [](std::uint64_t, bool) {});
        if (m_.cpu.SP >= spNow) last = m_.StepTotal;
      }
      return last;
    });
  }
  if (interrupted_) {
    MoveTo(now - 1, false);  // the one step back stands
    r.stepsBack = 1;
    r.stop = BackStop::Interrupted;
    return r;
  }
  GoTo(t.value_or(EarliestStep()));
  r.stepsBack = now - m_.StepTotal;
  r.stop = t ? BackStop::Stepped : BackStop::StartOfRecord;
  return r;
}

BackResult TimeTravel::RunBack() {
  BackResult r;
  if (!HasRecord() || m_.StepTotal != expectedStep_ || m_.StepTotal > latest_) return r;
  const std::uint64_t now = m_.StepTotal;
  bool ramBreak = false;
  std::optional<std::uint64_t> t;
  // A run stops on a "Break" at the periodic interrupt's handler after the
  // entry, ahead of the step that runs the handler's first instruction: that
  // moment has the step count of the one before the entry.
  bool entryAhead = false;
  interrupted_ = false;
  {
    ReplayScope scope(*this, true, Counting::Off, true);
    t = LastMoment(now, [&](std::uint64_t start, std::uint64_t end, bool withStart, std::size_t& e) {
      std::optional<std::uint64_t> last;
      bool ahead = false;
      if (withStart && BreakStopsAtPc(m_)) {
        last = start;
        ramBreak = false;
      }
      Advance(end, e, true, [&](std::uint64_t at, bool byRam) {
        last = at;
        ramBreak = byRam;
        ahead = m_.IrqCounter == kIrqTakenAhead;
      });
      // The replay stops before the step after `end`, whose entry may be due.
      if (last != end && m_.tInst[m_.TimerVector] == kBreakStop && InterruptDueNext(m_)) {
        last = end;
        ramBreak = false;
        ahead = true;
      }
      if (last) entryAhead = ahead;
      return last;
    });
  }
  if (interrupted_) {
    // Back to the earliest moment the search has cleared: no "Break" lies
    // between it and where the command began.
    MoveTo(scannedFrom_, false);
    r.stepsBack = now - m_.StepTotal;
    r.stop = BackStop::Interrupted;
    return r;
  }
  if (t && ramBreak && *t > EarliestStep()) {
    r.ramAccess = LandAfterRamBreak(*t);
  } else {
    GoTo(t.value_or(EarliestStep()));
    if (t && entryAhead && TakeDueInterruptAhead(m_)) Arrived();
  }
  r.stepsBack = now - m_.StepTotal;
  if (!t) {
    r.stop = BackStop::StartOfRecord;
    return r;
  }
  r.stop = BackStop::Breakpoint;
  return r;
}

std::string ReachText(const TimeTravel& tt, std::int64_t cycleBase) {
  if (!tt.HasRecord()) return {};
  return "retour possible jusqu'à cycle " + std::to_string(tt.EarliestCycle() - cycleBase);
}

}  // namespace hc11
