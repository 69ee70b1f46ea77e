#include "recording/replayer.h"

#include <algorithm>
#include <cmath>

#include "core/run_engine.h"
#include "core/text_util.h"
#include "flowchart/pseudo_code.h"

namespace hc11 {

namespace {

// More counts than one step can add (an instruction, an interrupt entry and
// its transfer): a batch of gap / kMost steps cannot pass the next due time.
std::int64_t MostCountsPerStep(const Machine& m) {
  return m.Exact ? 128 : 8;
}

class Replayer final : public RunObserver, public BoardOutputSink {
 public:
  Replayer(Controller& c, const SessionFile& s, const ReplayOptions& o)
      : c_(c), m_(c.machine()), board_(c.session().board()), s_(s) {
    if (o.timingMs)
      tolerance_ = static_cast<std::int64_t>(std::llround(*o.timingMs / 1000.0 * CountsPerSecond(s.clock)));
    origin_ = m_.CycleCount;
    next_ = m_.Observer;
    m_.Observer = this;
    nextSink_ = board_.OutputSink;
    board_.OutputSink = this;
  }
  ~Replayer() override {
    if (m_.Observer == this) m_.Observer = next_;
    if (board_.OutputSink == this) board_.OutputSink = nextSink_;
  }

  ReplayResult Run() {
    // A session that ends before all its outputs came may wait this much longer for them.
    const std::int64_t grace =
        tolerance_ > 0 ? tolerance_ : static_cast<std::int64_t>(CountsPerSecond(s_.clock));
    for (;;) {
      while (input_ < s_.inputs.size() && (s_.inputs[input_].time <= Now() || c_.PoweredOff()))
        Give(s_.inputs[input_++]);
      if (diverged_) break;
      const bool missing = matched_ < s_.outputs.size();
      if (input_ == s_.inputs.size() && Now() >= s_.end && (!missing || Now() >= s_.end + grace)) break;
      // The grace only once the end came with outputs missing: a run aimed
      // past the end would go on for the whole grace after the last one came.
      stopAt_ = origin_ + (input_ < s_.inputs.size()    ? s_.inputs[input_].time
                           : missing && Now() >= s_.end ? s_.end + grace
                                                        : s_.end);
      const std::int64_t before = m_.CycleCount;
      stopping_ = false;
      const StopEvent stop = c_.Run(RunKind::Run);
      if (diverged_) break;
      if (stop.cause == StopCause::StopRequested && !stopping_) {
        result_.outcome = ReplayOutcome::Interrupted;
        result_.index = matched_;
        break;
      }
      if (m_.CycleCount == before && (input_ == s_.inputs.size() || !c_.PoweredOff())) break;  // stuck
    }
    const bool interrupted = result_.outcome == ReplayOutcome::Interrupted;
    if (!diverged_ && !interrupted && matched_ < s_.outputs.size())
      Differ(s_.outputs[matched_], std::nullopt, false);
    result_.outputs = matched_;
    if (result_.outcome != ReplayOutcome::Same) {
      result_.pc = m_.cpu.PC;
      result_.function = FunctionNameAt(c_.session().listing().LineList, m_.cpu.PC);
    }
    return result_;
  }

  // --- RunObserver ---------------------------------------------------------
  void RunBegins(Machine& m) override {
    if (next_ != nullptr) next_->RunBegins(m);
    // The run's first step is taken before any batch: a due time within one
    // step makes it a one-step run.
    if (stopAt_ - m.CycleCount <= MostCountsPerStep(m)) StopHere(m);
  }
  void BatchDone(Machine& m) override {
    if (next_ != nullptr) next_->BatchDone(m);
    if (m.CycleCount >= stopAt_) StopHere(m);
  }
  void RunEnds(Machine& m) override {
    if (next_ != nullptr) next_->RunEnds(m);
  }
  std::uint64_t StepsUntilDue(const Machine& m) const override {
    const std::int64_t gap = stopAt_ - m.CycleCount;
    std::uint64_t steps =
        gap <= 0 ? 1 : static_cast<std::uint64_t>(std::max<std::int64_t>(1, gap / MostCountsPerStep(m)));
    if (next_ != nullptr) steps = std::min(steps, next_->StepsUntilDue(m));
    return steps;
  }

  // --- BoardOutputSink -------------------------------------------------------
  void BoardOutputMade(const BoardOutputEvent& e) override {
    if (nextSink_ != nullptr) nextSink_->BoardOutputMade(e);
    if (diverged_) return;
    const SessionOutput made{Now(), e.kind, e.value, e.address};
    if (matched_ >= s_.outputs.size()) {
      if (made.time <= s_.end) Differ(std::nullopt, made, false);
      return;
    }
    const SessionOutput& want = s_.outputs[matched_];
    if (want.kind != made.kind || want.value != made.value || want.address != made.address)
      return Differ(want, made, false);
    if (tolerance_ > 0 && std::llabs(made.time - want.time) > tolerance_) return Differ(want, made, true);
    ++matched_;
  }

 private:
  std::int64_t Now() const { return m_.CycleCount - origin_; }
  // The replay's own stop at an input's time, told from the user's.
  void StopHere(Machine& m) {
    m.RunMode = kModeStop;
    stopping_ = true;
  }

  void Differ(std::optional<SessionOutput> want, std::optional<SessionOutput> made, bool timing) {
    diverged_ = true;
    result_.outcome = ReplayOutcome::Diverged;
    result_.index = matched_;
    result_.recorded = want;
    result_.produced = made;
    result_.timing = timing;
    // The run ends after this step, as a RAM breakpoint's request would end it.
    if (!m_.Idle) m_.RequestBreak(m_.cpu.PC, 'I');
  }

  void Give(const SessionInput& in) {
    result_.lastInputs.push_back(in);
    if (result_.lastInputs.size() > kReplayLastInputs) result_.lastInputs.erase(result_.lastInputs.begin());
    switch (in.kind) {
      case SessionInputKind::KeyDown:
        return c_.Press({PanelAction::PressKey, in.value});
      case SessionInputKind::KeyUp:
        return c_.Press({PanelAction::ReleaseKey, in.value});
      case SessionInputKind::OnOffDown:
        return c_.Press({PanelAction::PressOnOff, 0});
      case SessionInputKind::OnOffUp:
        return c_.Press({PanelAction::ReleaseOnOff, 0});
      case SessionInputKind::Oc:
        return c_.Press({PanelAction::OcBusy, in.value});
      case SessionInputKind::Signal:
        return c_.Press({PanelAction::SignalLevel, in.value});
      case SessionInputKind::OcFreq:
        return c_.Press({PanelAction::OcFrequency, in.value});
      case SessionInputKind::Serial:
        return c_.SendSerial(in.bytes);
      case SessionInputKind::Host:
        board_.HostReceive(std::string_view(reinterpret_cast<const char*>(in.bytes.data()), in.bytes.size()));
        return c_.Notify(ChangeBoard);
      case SessionInputKind::MemoClear:
        return c_.Press({PanelAction::ClearMemo, 0});
      case SessionInputKind::DisplayClick:
        return c_.Press({PanelAction::ClickDisplay, 0});
      case SessionInputKind::PowerCut:
        return c_.PowerCut();
      case SessionInputKind::PowerOn: {
        // Its reset sets the clock back to zero, as when it was recorded.
        const std::int64_t now = Now();
        c_.PowerOn();
        origin_ = m_.CycleCount - now;
        return;
      }
    }
  }

  Controller& c_;
  Machine& m_;
  Board& board_;
  const SessionFile& s_;
  RunObserver* next_ = nullptr;
  BoardOutputSink* nextSink_ = nullptr;
  std::int64_t origin_ = 0;
  std::int64_t stopAt_ = 0;
  std::int64_t tolerance_ = 0;
  std::size_t input_ = 0;
  std::size_t matched_ = 0;
  bool diverged_ = false;
  bool stopping_ = false;
  ReplayResult result_;
};

std::string Described(const std::optional<SessionOutput>& o) {
  if (!o) return "none";
  return OutputText(*o) + Format(" at %lld", static_cast<long long>(o->time));
}

}  // namespace

ReplayResult Replay(Controller& controller, const SessionFile& session, const ReplayOptions& options) {
  Machine& m = controller.machine();
  // The session's clock: the exact mode counts E cycles, the designed one its own.
  m.Exact = session.clock == SessionClock::Exact;
  const std::uint64_t budget = m.StepBudget;
  m.StepBudget = 0;
  ReplayResult r = Replayer(controller, session, options).Run();
  m.StepBudget = budget;
  return r;
}

std::string ReplayText(const ReplayResult& r) {
  if (r.same()) return Format("same: %zu outputs\n", r.outputs);
  if (r.interrupted())
    return Format("interrupted: %zu outputs matched\npc: %4.4X ", r.outputs, r.pc) + r.function + '\n';
  std::string text = Format("differ: output %zu%s\n", r.index, r.timing ? " (timing)" : "");
  text += "recorded: " + Described(r.recorded) + '\n';
  text += "new: " + Described(r.produced) + '\n';
  text += Format("pc: %4.4X ", r.pc) + r.function + '\n';
  for (const SessionInput& in : r.lastInputs)
    text += Format("input: %lld ", static_cast<long long>(in.time)) + InputText(in) + '\n';
  return text;
}

}  // namespace hc11
