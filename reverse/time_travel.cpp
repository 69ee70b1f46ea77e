#include "reverse/time_travel.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <utility>

#include "core/run_engine.h"
#include "reverse/replay_scope.h"

namespace hc11 {

namespace {

// Stands before the machine's RAM-breakpoint handler for one replayed step
// and notes the first access after which the handler asked for a stop.
class RamStopCatcher final : public RamBreakHandler {
 public:
  RamStopCatcher(Machine& m, std::optional<RamBreakAccess>& out)
      : m_(m), previous_(m.ramBreakHandler()), out_(out) {
    m_.SetRamBreakHandler(this);
  }
  ~RamStopCatcher() override { m_.SetRamBreakHandler(previous_); }
  RamStopCatcher(const RamStopCatcher&) = delete;
  RamStopCatcher& operator=(const RamStopCatcher&) = delete;

  void RamBreakHit(Machine& m, std::uint16_t address, char kind) override {
    const bool asked = m.BreakRequested;
    if (previous_ != nullptr) previous_->RamBreakHit(m, address, kind);
    if (!out_ && !asked && m.BreakRequested) out_ = RamBreakAccess{address, kind};
  }

 private:
  Machine& m_;
  RamBreakHandler* previous_;
  std::optional<RamBreakAccess>& out_;
};

// The counts that are part of a moment: the profile's, when they observe the steps.
ExecCounters* CountsOf(const Machine& m) {
  return dynamic_cast<ExecCounters*>(m.Counters);
}

}  // namespace

// Tells whether anything changed behind the record's back. The memo only
// grows between the clears the record sees, so its length and last line do.
std::uint64_t TimeTravel::ChangeMark(const Machine& m) const {
  // A reset of the counts ("Remise à zéro") changes the moment too.
  const ExecCounters* counts = CountsOf(m);
  const std::uint64_t resets = counts != nullptr ? counts->Resets() + 1 : 0;
  return StateDigest(m, board_, 1) ^ (resets * 0x9E3779B97F4A7C15ull);
}

TimeTravel::TimeTravel(Machine& m, Board* board) : m_(m), board_(board) {}

TimeTravel::~TimeTravel() {
  SetRecording(false);
}

void TimeTravel::SetRecording(bool on) {
  if (on == recording_) return;
  recording_ = on;
  Clear();
  if (on) {
    m_.Observer = this;
    if (board_ != nullptr) board_->InputSink = this;
  } else {
    if (m_.Observer == this) m_.Observer = nullptr;
    if (board_ != nullptr && board_->InputSink == this) board_->InputSink = nullptr;
  }
}

void TimeTravel::SetLimits(const RecordLimits& limits) {
  limits_ = limits;
  limits_.interval = std::max<std::uint64_t>(1, limits_.interval);
  limits_.maxGap = std::max(limits_.maxGap, limits_.interval);
  Thin();
}

void TimeTravel::Clear() {
  snaps_.clear();
  events_.clear();
  eventBase_ = 0;
  eventBytes_ = 0;
  latest_ = expectedStep_ = expectedDigest_ = lastSnapStep_ = 0;
  editPending_ = false;
}

std::uint64_t TimeTravel::EarliestStep() const {
  return snaps_.empty() ? m_.StepTotal : snaps_.front()->step;
}

std::int64_t TimeTravel::EarliestCycle() const {
  return snaps_.empty() ? m_.CycleCount : snaps_.front()->cycleCount;
}

std::size_t TimeTravel::BytesUsed() const {
  std::size_t extra = 0;
  for (const auto& snap : snaps_) extra += snap->memo.size() * sizeof(std::string) + snap->counters.Bytes();
  if (spare_ != nullptr) extra += spare_->counters.Bytes();
  return (snaps_.size() + (spare_ != nullptr ? 1 : 0)) * sizeof(Snapshot) + eventBytes_ + extra;
}

// --- Recording ---------------------------------------------------------------

void TimeTravel::RunBegins(Machine& m) {
  if (HasRecord() && m.StepTotal != expectedStep_) {
    Clear();  // steps were taken outside the record: it no longer leads here
  } else if (HasRecord() && m.StepTotal < latest_) {
    DiscardFuture();
  }
  // Whatever changed since the record last looked (registers or memory
  // edited, inputs given while stopped) is taken whole.
  if (!HasRecord() || editPending_ || ChangeMark(m) != expectedDigest_) TakeSnapshot();
}

void TimeTravel::BatchDone(Machine& m) {
  if (editPending_ || m.StepTotal - lastSnapStep_ >= limits_.interval) TakeSnapshot();
}

void TimeTravel::RunEnds(Machine& m) {
  if (editPending_) TakeSnapshot();
  latest_ = expectedStep_ = m.StepTotal;
  expectedDigest_ = ChangeMark(m);
}

std::uint64_t TimeTravel::StepsUntilDue(const Machine& m) const {
  if (editPending_) return 1;
  const std::uint64_t since = m.StepTotal - lastSnapStep_;
  return since >= limits_.interval ? 1 : limits_.interval - since;
}

void TimeTravel::BoardInputGiven(BoardInput input, int value, std::span<const std::uint8_t> bytes) {
  if (pumping_) spoiled_ = true;           // given during a replay: it cannot take effect there
  if (replaying_ || !HasRecord()) return;  // before the first run, the first snapshot holds it
  if (m_.StepTotal == expectedStep_ && m_.StepTotal < latest_) DiscardFuture();
  Event e;
  e.step = m_.StepTotal;
  e.input = input;
  e.value = value;
  e.bytes.assign(bytes.begin(), bytes.end());
  eventBytes_ += sizeof(Event) + e.bytes.size();
  events_.push_back(std::move(e));
}

void TimeTravel::TakeSnapshot() {
  std::unique_ptr<Snapshot> s =
      spare_ != nullptr ? std::move(spare_) : std::unique_ptr<Snapshot>(new Snapshot);
  s->step = m_.StepTotal;
  s->eventIndex = EventEnd();
  if (board_ != nullptr) {
    s->memo = board_->Memo1;
    s->memoAdded = board_->MemoAdded;
  }
  s->cycleCount = m_.CycleCount;
  CaptureState(m_, board_, s->state);
  const ExecCounters* counts = CountsOf(m_);
  s->hasCounters = counts != nullptr;
  if (counts != nullptr) counts->Save(s->counters);
  lastSnapStep_ = s->step;
  snaps_.push_back(std::move(s));
  editPending_ = false;
  Thin();
}

// Over budget: drop the snapshot whose loss widens the gaps least compared
// with how far back it lies, so recent time stays dense; when every merge
// would make a replay longer than maxGap, the oldest goes.
void TimeTravel::Thin() {
  while (snaps_.size() > 1 && BytesUsed() > limits_.budgetBytes) {
    const std::uint64_t newest = snaps_.back()->step;
    std::size_t best = 0;
    double bestCost = std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i + 1 < snaps_.size(); ++i) {
      const std::uint64_t gap = snaps_[i + 1]->step - snaps_[i - 1]->step;
      if (gap > limits_.maxGap) continue;
      const double cost =
          static_cast<double>(gap) / static_cast<double>(newest - snaps_[i - 1]->step + limits_.interval);
      if (cost < bestCost) {
        bestCost = cost;
        best = i;
      }
    }
    if (best != 0) {
      if (spare_ == nullptr) {
        spare_ = std::move(snaps_[best]);
        spare_->memo.clear();
      }
      snaps_.erase(snaps_.begin() + static_cast<std::ptrdiff_t>(best));
      continue;
    }
    snaps_.erase(snaps_.begin());
    while (eventBase_ < snaps_.front()->eventIndex && !events_.empty()) {
      eventBytes_ -= sizeof(Event) + events_.front().bytes.size();
      events_.pop_front();
      ++eventBase_;
    }
  }
  if (spare_ != nullptr && BytesUsed() > limits_.budgetBytes) spare_.reset();
}

void TimeTravel::DiscardFuture() {
  const std::uint64_t t = m_.StepTotal;
  while (snaps_.size() > 1 && snaps_.back()->step > t) snaps_.pop_back();
  while (!events_.empty() && events_.back().step > t) {
    eventBytes_ -= sizeof(Event) + events_.back().bytes.size();
    events_.pop_back();
  }
  latest_ = t;
  lastSnapStep_ = snaps_.back()->step;
}

// --- Replay --------------------------------------------------------------------

std::size_t TimeTravel::SnapshotAtOrBefore(std::uint64_t step) const {
  const auto it =
      std::upper_bound(snaps_.begin(), snaps_.end(), step,
                       [](std::uint64_t s, const std::unique_ptr<Snapshot>& p) { return s < p->step; });
  return it == snaps_.begin() ? 0 : static_cast<std::size_t>(it - snaps_.begin()) - 1;
}

void TimeTravel::RestoreSnapshot(std::size_t index) {
  const Snapshot& s = *snaps_[index];
  RestoreState(s.state, m_, board_);
  if (ExecCounters* counts = CountsOf(m_); s.hasCounters && counts != nullptr) counts->Restore(s.counters);
  m_.StepTotal = s.step;
  if (board_ != nullptr) {
    board_->Memo1 = s.memo;
    board_->MemoAdded = s.memoAdded;  // smaller than the panel's count: the panel shows the memo anew
  }
}

void TimeTravel::ApplyEvent(const Event& e) {
  if (board_ == nullptr) return;
  Board& b = *board_;
  switch (e.input) {
    case BoardInput::PressKey:
      b.PressKey(static_cast<std::size_t>(e.value));
      break;
    case BoardInput::ReleaseKey:
      b.ReleaseKey(static_cast<std::size_t>(e.value));
      break;
    case BoardInput::PressOnOff:
      b.PressOnOff();
      break;
    case BoardInput::ReleaseOnOff:
      b.ReleaseOnOff();
      break;
    case BoardInput::SetCbOC:
      b.SetCbOC(e.value != 0);
      break;
    case BoardInput::SetNiveauSignal:
      b.SetNiveauSignal(e.value);
      break;
    case BoardInput::SetOcFreq:
      b.SetOcFreq(e.value);
      break;
    case BoardInput::InjectMessage:
      b.InjectMessage(e.bytes);
      break;
    case BoardInput::HostReceive:
      b.HostReceive(std::string_view(reinterpret_cast<const char*>(e.bytes.data()), e.bytes.size()));
      break;
    case BoardInput::ClearMemo:
      b.ClearMemo();
      break;
    case BoardInput::ClickEcran1:
      b.ClickEcran1();
      break;
    case BoardInput::RunStarted:
      b.RunStarted();
      break;
    case BoardInput::PowerCut:
      b.PowerCut();
      break;
    case BoardInput::PowerOn:
      b.PowerOn();
      break;
  }
}

bool TimeTravel::HostAskedStop() {
  if (!interruptible_ || host_ == nullptr) return false;
  // To the host a replay is a run: no command starts, "Arret" stops it.
  const bool idle = m_.Idle;
  m_.Idle = false;
  pumping_ = true;
  host_->ProcessEvents();
  pumping_ = false;
  m_.Idle = idle;
  if (m_.RunMode == kModeStop || spoiled_) interrupted_ = true;
  return interrupted_;
}

void TimeTravel::Arrived() {
  m_.StopFlag = false;
  m_.StopMessage.clear();
  m_.BreakRequested = false;
  m_.RunMode = kModeStop;
  m_.StepOverArmed = false;
  expectedStep_ = m_.StepTotal;
  expectedDigest_ = ChangeMark(m_);
  if (board_ != nullptr && board_->OnPanelChange) {
    for (PanelPart p : {PanelPart::Display, PanelPart::Leds, PanelPart::LbPcf8574, PanelPart::LbOutA,
                        PanelPart::LbSynth, PanelPart::Memo, PanelPart::Inputs})
      board_->OnPanelChange(p);
  }
}

bool TimeTravel::GoTo(std::uint64_t step) {
  if (!HasRecord() || step < EarliestStep() || step > latest_) return false;
  MoveTo(step, false);
  return true;
}

void TimeTravel::MoveTo(std::uint64_t step, bool interruptible) {
  const bool earlier = interrupted_;  // a landing after a stop still replays whole
  interrupted_ = false;
  {
    ReplayScope scope(*this, false, Counting::On, interruptible);
    const std::size_t k = SnapshotAtOrBefore(step);
    RestoreSnapshot(k);
    std::size_t e = snaps_[k]->eventIndex;
    Advance(step, e, false, [](std::uint64_t, bool) {});
    if (interrupted_) {
      // Stopped on the way: the moment reached takes the inputs given at it,
      // rebuilt from the snapshot if the pump let an input reach the board.
      const std::uint64_t reached = m_.StepTotal;
      interrupted_ = false;
      interruptible_ = false;
      if (spoiled_) {
        RestoreSnapshot(k);
        e = snaps_[k]->eventIndex;
      }
      Advance(reached, e, false, [](std::uint64_t, bool) {});
      interrupted_ = true;
    }
  }
  interrupted_ = interrupted_ || earlier;
  Arrived();
}

std::optional<RamBreakAccess> TimeTravel::LandAfterRamBreak(std::uint64_t step) {
  std::optional<RamBreakAccess> access;
  interrupted_ = false;
  {
    ReplayScope scope(*this, false, Counting::On, false);
    const std::size_t k = SnapshotAtOrBefore(step - 1);
    RestoreSnapshot(k);
    std::size_t e = snaps_[k]->eventIndex;
    Advance(step - 1, e, false, [](std::uint64_t, bool) {});
    RamStopCatcher catcher(m_, access);
    m_.Idle = false;  // RAM breakpoints act only during a run
    Advance(step, e, false, [](std::uint64_t, bool) {});
  }
  Arrived();
  return access;
}

}  // namespace hc11
