// Reverse execution of the whole board: a record of the run commands given
// since the last Init, from which any earlier moment can be rebuilt exactly.
//
// How: snapshots of the complete simulated state (SimState) taken between
// batches of steps, a log of every board input with the step at which it
// took effect, and replay from the nearest earlier snapshot. A memory budget
// bounds the snapshots: when it is reached the older ones are thinned (the
// further back, the sparser), and when no two can merge without too long a
// replay between them, the oldest goes and the reach shrinks.
//
// Time is the step count (Machine::StepTotal). A "moment" t is the state
// after t steps and after every input given at step t, as a user stopped
// there saw it (a run command begun there is not yet). Inputs after the
// moment shown, and the snapshots after it, are the future: the first
// forward run command (or live input) from an earlier moment discards them.
//
// Interface for other front ends (the window, the CLI, a GDB stub's
// reverse-step and reverse-continue): call StepBack(1), StepBackOver() or
// RunBack() while no run is in progress; each returns where it stopped and
// why, and leaves the machine and board at that moment with no run pending
// (RunMode 'q'); refresh the views afterwards as after a run. A long replay
// calls the host's UiHooks::ProcessEvents every RefreshEvery + 1 steps, as
// the run loop does, with the machine marked busy (Idle false); a RunMode
// set to 'q' meanwhile ends the command with Interrupted. GoTo(step)
// moves to any recorded moment (EarliestStep() .. LatestStep()) without
// discarding anything, so a stub may also replay forward through the record.
// Recording must be switched on (SetRecording) before the runs to record;
// only run commands (RunCommand, RunLoop) are recorded: steps taken with
// Step() alone leave the record behind, and it starts over at the next run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "board/board.h"
#include "core/machine.h"
#include "profile/exec_counters.h"
#include "reverse/sim_state.h"

namespace hc11 {

struct RecordLimits {
  std::size_t budgetBytes = std::size_t{256} << 20;  // snapshots, inputs and memo together
  std::uint64_t interval = std::uint64_t{1} << 20;   // steps between snapshots during a run
  std::uint64_t maxGap = std::uint64_t{1} << 26;     // longest replay thinning may create
};

enum class BackStop {
  None,           // nothing recorded, or already at the earliest moment
  Stepped,        // the asked number of steps back
  Breakpoint,     // a moment at which a run would have stopped on a "Break" breakpoint
  StartOfRecord,  // the earliest recorded moment
  Interrupted,    // the host asked for a stop ("Arret", a signal, GDB's 0x03)
};

// The memory access that made a RAM breakpoint stop: 'I' write, 'i' read,
// 'm' a write that changed the byte.
struct RamBreakAccess {
  std::uint16_t address = 0;
  char kind = 'I';
};

struct BackResult {
  BackStop stop = BackStop::None;
  std::uint64_t stepsBack = 0;
  // For a Breakpoint stop caused by a RAM breakpoint: the access, as the
  // machine's RAM-breakpoint handler saw it.
  std::optional<RamBreakAccess> ramAccess;
};

// "retour possible jusqu'à cycle N", N counted as the trace line counts
// (from CycleBase); empty with nothing recorded.
class TimeTravel;
std::string ReachText(const TimeTravel& tt, std::int64_t cycleBase);

class TimeTravel final : public RunObserver, public BoardInputSink {
 public:
  // `board` may be null (a bare machine).
  TimeTravel(Machine& m, Board* board);
  ~TimeTravel() override;
  TimeTravel(const TimeTravel&) = delete;
  TimeTravel& operator=(const TimeTravel&) = delete;

  // Attaches to the machine's run loop and the board's inputs (or detaches).
  // Switching on starts an empty record.
  void SetRecording(bool on);
  bool Recording() const { return recording_; }
  // A reverse command is rebuilding a moment: the host's event pump must not
  // feed the board (it would change the state being replayed).
  bool Replaying() const { return replaying_; }
  void SetLimits(const RecordLimits& limits);
  const RecordLimits& Limits() const { return limits_; }
  // Forgets everything recorded (a program load or Init).
  void Clear();
  // The debugger changed registers or memory during a run (a dialog): the
  // record takes the change at the next batch boundary. Changes made while
  // no run is in progress are found by themselves.
  void NoteEdit() { editPending_ = true; }

  // --- Reach ---------------------------------------------------------------
  bool HasRecord() const { return !snaps_.empty(); }
  std::uint64_t Position() const { return m_.StepTotal; }
  std::uint64_t EarliestStep() const;
  std::uint64_t LatestStep() const { return latest_; }
  // CycleCount at the earliest moment ("retour possible jusqu'à cycle N").
  std::int64_t EarliestCycle() const;
  std::size_t SnapshotCount() const { return snaps_.size(); }
  std::size_t BytesUsed() const;

  // --- Moving back ---------------------------------------------------------
  // "Pas arrière": `n` steps back, or to the earliest moment.
  BackResult StepBack(std::uint64_t n = 1);
  // "Pas arrière Spr": one step back, or, when that step was a return, back
  // to the call (or interrupted instruction) it returned to.
  BackResult StepBackOver();
  // "Exécuter en arrière": the latest earlier moment at which a forward run
  // would have stopped on a "Break" code or RAM breakpoint, or the earliest
  // moment.
  BackResult RunBack();
  // Any recorded moment; false (nothing changed) outside the record.
  bool GoTo(std::uint64_t step);

  // --- RunObserver ---------------------------------------------------------
  void RunBegins(Machine& m) override;
  void BatchDone(Machine& m) override;
  void RunEnds(Machine& m) override;
  std::uint64_t StepsUntilDue(const Machine& m) const override;

  // --- BoardInputSink ------------------------------------------------------
  void BoardInputGiven(BoardInput input, int value, std::span<const std::uint8_t> bytes) override;

 private:
  struct Snapshot {
    std::uint64_t step = 0;
    std::size_t eventIndex = 0;  // inputs already part of the state
    // The panel's memo of serial lines (at most a few thousand) and its count of lines ever added.
    std::deque<std::string> memo;
    std::uint64_t memoAdded = 0;
    std::int64_t cycleCount = 0;  // the machine's, for the reach text
    SimState state;
    // The coverage and profile counts, when the machine has counters: they
    // are part of the moment.
    bool hasCounters = false;
    ExecCounters::Saved counters;
  };
  struct Event {
    std::uint64_t step = 0;
    BoardInput input = BoardInput::RunStarted;
    int value = 0;
    std::vector<std::uint8_t> bytes;
  };
  class ReplayScope;
  enum class Counting : bool { Off, On };
  // The last moment, in [from, before), that `Scan` finds while replaying.
  template <class Scan>
  std::optional<std::uint64_t> LastMoment(std::uint64_t before, Scan scan);

  void TakeSnapshot();
  void Thin();
  void DiscardFuture();
  void RestoreSnapshot(std::size_t index);
  std::size_t SnapshotAtOrBefore(std::uint64_t step) const;
  // Replays from the current moment to `target`, giving the inputs on the way;
  // with a `found` callback, stops of a forward run are reported as moments.
  // Returns early, with interrupted_ set, when the host asks for a stop.
  template <class Found>
  void Advance(std::uint64_t target, std::size_t& nextEvent, bool untilBreak, Found found);
  // Lets the host's event pump run; true when it asked for a stop.
  bool HostAskedStop();
  // Replays to a recorded moment; an interruptible one may stop earlier.
  void MoveTo(std::uint64_t step, bool interruptible);
  // The landing of a run back on a RAM-breakpoint moment: the last
  // instruction is replayed with RAM breakpoints live to learn the access.
  std::optional<RamBreakAccess> LandAfterRamBreak(std::uint64_t step);
  void ApplyEvent(const Event& e);
  void Arrived();  // the moment reached is the one shown
  std::uint64_t ChangeMark(const Machine& m) const;
  const Event& EventAt(std::size_t index) const { return events_[index - eventBase_]; }
  std::size_t EventEnd() const { return eventBase_ + events_.size(); }

  Machine& m_;
  Board* board_;
  RecordLimits limits_;
  bool recording_ = false;
  bool replaying_ = false;
  bool editPending_ = false;
  UiHooks* host_ = nullptr;  // the host's hooks while a replay runs silently
  bool interruptible_ = false;
  bool interrupted_ = false;
  bool pumping_ = false;           // inside the host's event pump
  bool spoiled_ = false;           // the board got an input there: the replayed state is not the record's
  std::uint64_t toPump_ = 1;       // replayed steps until the host's next pump
  std::uint64_t scannedFrom_ = 0;  // a run back found no stop after this moment
  std::vector<std::unique_ptr<Snapshot>> snaps_;  // by step
  std::unique_ptr<Snapshot> spare_;               // reused storage
  std::deque<Event> events_;
  std::size_t eventBase_ = 0;  // index of events_.front()
  std::size_t eventBytes_ = 0;
  std::uint64_t latest_ = 0;  // end of the recorded time
  std::uint64_t expectedStep_ = 0;
  std::uint64_t expectedDigest_ = 0;
  std::uint64_t lastSnapStep_ = 0;
};

}  // namespace hc11
