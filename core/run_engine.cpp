#include "core/run_engine.h"

#include <algorithm>
#include <limits>
#include <string>

#include "core/break_state.h"
#include "core/decoder.h"
#include "core/text_util.h"
#include "core/trace.h"

namespace hc11 {

namespace {

constexpr std::uint32_t kRedrawMs = 100;
constexpr std::uint16_t kPortA = 0x1000, kPortC = 0x1003, kPortB = 0x1004;

void RecordHistory(Machine& m) {
  m.StepHistory[m.HistoryIndex] = HistoryEntry{m.cpu.PC, m.cpu.A, m.cpu.B, m.cpu.CC};
  if (++m.HistoryIndex >= kHistorySize) m.HistoryIndex = 0;
  if (m.HistoryCount < kHistorySize) ++m.HistoryCount;
}

// Keeps the stack's low-water mark and says "Pile basse" once per crossing;
// out of line, as SP rarely leaves the tracker's window.
[[gnu::noinline]] void NoteStackDepth(Machine& m) {
  if (!m.StackLow.Note(m.cpu.SP, m.cpu.PC)) return;
  const std::string text = Format("Pile basse: SP=%4.4X sous %4.4X", m.cpu.SP, m.StackLow.WarnBelow());
  m.EventTrace(text);
  if (m.StackLow.TakeInfo()) m.hooks().AppendInfoLine(text);
}

// A code breakpoint ("Break" or "Trace") or a run-to target at `address`.
inline bool StopWaitsAt(const Machine& m, std::uint16_t address) {
  return BreakActs(m.tInst[address]) || (m.RunMode == kModeRunTo && m.RunTarget == address);
}

enum class ChipEntry : std::uint8_t { None, Reset, Entered, EnteredAhead };

inline bool ChipWantsService(const Machine& m) {
  return (m.CycleCount >= m.ChipDueAt) | (m.IrqPending & !m.TestFlag(FlagI));
}

// Exact mode: the devices have a flag due or an interrupt waits unmasked.
// The entry is the chip's: the frame (unless WAI stacked it), I set and the
// entry's own E cycles.
[[gnu::noinline]] ChipEntry ServiceChip(Machine& m) {
  Peripherals* devices = m.peripherals();
  if (devices == nullptr) {
    m.ChipDueAt = std::numeric_limits<std::int64_t>::max();
    m.IrqPending = false;
    m.ChipAttentionChanged();
    return ChipEntry::None;
  }
  const ChipRequest request = devices->ServiceChip(!m.TestFlag(FlagI));
  switch (request.kind) {
    case ChipRequest::Kind::None:
      return ChipEntry::None;
    case ChipRequest::Kind::Reset:
      m.cpu.CC = FlagS | FlagX | FlagI;
      m.Halt = CpuHalt::None;
      m.cpu.PC = VectorAt(m, request.vector);
      m.ChipAttentionChanged();
      m.EventTrace(Format("reset %4.4X", request.vector));
      return ChipEntry::Reset;
    case ChipRequest::Kind::Interrupt:
      break;
  }
  const std::uint16_t routine = VectorAt(m, request.vector);
  const bool stopAhead = StopWaitsAt(m, routine);
  InterruptEntry(m, routine);
  m.ChipAttentionChanged();  // I is set now
  if (!stopAhead) return ChipEntry::Entered;
  m.IrqCounter = kIrqTakenAhead;  // as the periodic interrupt marks it for the record
  m.ChipAttentionNow();           // the next step clears the mark
  return ChipEntry::EnteredAhead;
}

// The step without clearing StopMessage: inside a run the message is always
// empty here, since whoever sets it also raises StopFlag and ends the run.
// `pc` is the PC the caller just read. With kCount the step goes to the
// machine's counters: the instruction's cycles are those since the board's
// accounting. Replayed steps (kStack false) had their stack depth noted when
// first run.
// False when the step ended after an interrupt entry alone, taken because a
// stop waits at the handler: its first instruction is the next step, which
// counts as the interrupted one (IrqCounter kIrqTakenAhead). History, board
// time and the profile's instruction count all happen then, so the counts
// and the time are those of one undivided step.
// In exact mode (kExact) the on-chip devices raise the interrupts instead
// of the step count, and an entry taken ahead needs no count of its own.
template <bool kHistory, bool kCount, bool kStack = true, bool kExact = false>
inline bool StepBody(Machine& m, const DecodeTable& table, std::uint16_t pc) {
  if constexpr (kExact) {
    if (m.CycleCount >= m.ChipAttentionAt) [[unlikely]] {
      m.IrqCounter = 0;  // an entry taken ahead is behind us now
      m.ChipAttentionChanged();
      [[maybe_unused]] const std::int64_t before = m.CycleCount;
      const ChipEntry entry = ChipWantsService(m) ? ServiceChip(m) : ChipEntry::None;
      if (entry != ChipEntry::None) {
        if constexpr (kCount)
          if (entry != ChipEntry::Reset) m.Counters->InterruptEntered(m, pc, before);
        if constexpr (kStack)
          if (m.StackLow.Noteworthy(m.cpu.SP)) NoteStackDepth(m);
        if (entry == ChipEntry::EnteredAhead) return false;
        pc = m.cpu.PC;
      }
    }
  } else if (!m.TestFlag(FlagI) && ++m.IrqCounter > kIrqPeriod) [[unlikely]] {
    const bool stopAhead = StopWaitsAt(m, m.TimerVector);
    m.IrqCounter = stopAhead ? kIrqTakenAhead : 0;
    [[maybe_unused]] const std::int64_t before = m.CycleCount;
    InterruptEntry(m, m.TimerVector);
    if constexpr (kCount) m.Counters->InterruptEntered(m, pc, before);
    // The routine's first instruction may lift SP again in the same step.
    if constexpr (kStack)
      if (m.StackLow.Noteworthy(m.cpu.SP)) NoteStackDepth(m);
    if (stopAhead) return false;
    pc = m.cpu.PC;
  }
  if constexpr (kHistory) RecordHistory(m);
  m.AccountBoardTime();
  if (pc > m.CodeEnd) [[unlikely]] {
    EndOfCodeCheck(m);  // reports "adr>fin"; nothing executes
    return true;
  }
  const std::uint8_t op = m.Memory[pc];
  table.steps[op](m, pc);
  if (m.PortsMayChange) [[unlikely]] {
    m.PrevPortB = m.Memory[kPortB];
    m.PrevPortA = m.Memory[kPortA];
    m.PrevPortC = m.Memory[kPortC];
    m.PortsMayChange = false;
  }
  ++m.CycleCount;
  if constexpr (kCount) m.Counters->Stepped(m, pc, op, m.CycleCount - m.PrevCycleCount);
  if constexpr (kStack)
    if (m.StackLow.Noteworthy(m.cpu.SP)) [[unlikely]]
      NoteStackDepth(m);
  return true;
}

template <bool kExact>
inline bool StepWithMode(Machine& m, const DecodeTable& table) {
  const bool count = m.Counters != nullptr;
  const std::uint16_t pc = m.cpu.PC;
  if (m.HistoryEnabled) {
    return count ? StepBody<true, true, true, kExact>(m, table, pc)
                 : StepBody<true, false, true, kExact>(m, table, pc);
  }
  return count ? StepBody<false, true, true, kExact>(m, table, pc)
               : StepBody<false, false, true, kExact>(m, table, pc);
}

inline bool StepWith(Machine& m, const DecodeTable& table) {
  m.StopMessage.clear();
  m.PortsMayChange = true;  // the host may have written the ports since
  if (!m.Exact) return StepWithMode<false>(m, table);
  // The host may have changed CC or loaded a state since.
  m.ChipAttentionNow();
  return StepWithMode<true>(m, table);
}

void Stopped(Machine& m, StopCause cause) {
  m.Stop = StopEvent{};
  m.Stop.cause = cause;
}

// Breakpoint states "Break" and "Trace"; every other value is ignored.
bool BreakpointAt(Machine& m) {
  // A waiting processor is not about to execute the instruction at PC.
  if (m.Halt != CpuHalt::None) return false;
  const std::uint16_t pc = m.cpu.PC;
  std::uint8_t state = m.tInst[pc];
  if (m.Rules != nullptr) {
    switch (m.Rules->CodeBreakReached(m, pc)) {
      case BreakRules::Verdict::Stop:
        state = kBreakStop;
        break;
      case BreakRules::Verdict::Trace:
        state = kBreakTrace;
        break;
      case BreakRules::Verdict::Pass:
        return false;  // a fault raised StopFlag, which the caller tests next
    }
  }
  if (state == kBreakStop) {
    Stopped(m, StopCause::Breakpoint);
    m.Stop.address = pc;
    // The entry as it stopped the run: a temporary one is gone after it.
    m.Stop.line = m.hooks().BreakpointLine(pc);
    // An error raised by the same step is still written and consumed, or the
    // next command would stop at once on it with its message gone.
    if (m.StopFlag) {
      m.EventTrace(BreakTraceLine(m.StopMessage));
      m.StopFlag = false;
    }
    return true;
  }
  m.EventTrace(m.hooks().BreakpointLine(pc));
  return false;
}

inline bool StopTestInline(Machine& m) {
  // One byte test keeps breakpoints free when none is set at PC.
  if (BreakActs(m.tInst[m.cpu.PC])) [[unlikely]] {
    if (BreakpointAt(m)) return true;
  }
  if (m.StopFlag) [[unlikely]] {
    if (m.BreakRequested && m.StopMessage.empty()) {
      Stopped(m, StopCause::RamBreakpoint);  // a RAM breakpoint, not an error
      m.Stop.address = m.BreakAddress;
      m.Stop.access = m.BreakAccess;
    } else {
      m.EventTrace(BreakTraceLine(m.StopMessage));
      Stopped(m, StopCause::Error);
      m.Stop.error = m.StopError;
      m.Stop.message = m.StopMessage;
    }
    m.BreakRequested = false;
    m.StopFlag = false;
    return true;
  }
  if (m.WatchSet && m.Rules != nullptr && m.Rules->WatchStops(m)) [[unlikely]]
    return true;
  switch (m.RunMode) {
    case kModeRun:
    case kModeReturnUp:
      return false;
    case kModeRunTo:
      if (m.cpu.PC != m.RunTarget) return false;
      if (!m.StepOverArmed) {
        Stopped(m, StopCause::TargetReached);
        return true;
      }
      m.StepOverArmed = false;
      m.RunMode = kModeCallReturned;
      Stopped(m, StopCause::CallReturned);
      return true;
    case kModeStepOver:
      if (m.cpu.PC >= m.RunStartPC && m.cpu.PC <= m.RunTarget) return false;
      Stopped(m, StopCause::StepDone);
      return true;
    case kModeCallReturned:
      Stopped(m, StopCause::CallReturned);
      return true;
    case kModeStop:
      Stopped(m, m.ReturnedUp ? StopCause::StepDone : StopCause::StopRequested);
      m.ReturnedUp = false;
      return true;
    default:  // 'v' and any letter no command sets
      Stopped(m, StopCause::StepDone);
      return true;
  }
}

enum class ChunkEnd { Stopped, Done, ModeChanged };

// Steps until the stop test says stop or `left` steps are done. The common
// case, no breakpoint at PC and no error, costs one folded test per step. In
// a plain run ('x' without step-over) no handler changes the run mode, so
// the mode is tested only when that test finds something.
template <bool kHistory, bool kPlainRun, bool kCount, bool kExact>
ChunkEnd RunSteps(Machine& m, const DecodeTable& table, std::int64_t& left) {
  m.PortsMayChange = true;  // the host ran since the last step
  for (;;) {
    std::uint16_t pc = m.cpu.PC;
    bool attention = BreakActs(m.tInst[pc]) | m.StopFlag;
    if constexpr (!kPlainRun) attention |= m.RunMode != kModeRun;
    if (attention) [[unlikely]] {
      if (StopTestInline(m)) return ChunkEnd::Stopped;
      m.PortsMayChange = true;
      if (kPlainRun && m.RunMode != kModeRun) return ChunkEnd::ModeChanged;
      pc = m.cpu.PC;
    } else if constexpr (!kPlainRun) {
      // The stop expression alone: straight to it, nothing else to test.
      if (m.WatchSet && m.Rules != nullptr && m.Rules->WatchStops(m)) return ChunkEnd::Stopped;
    }
    if (!StepBody<kHistory, kCount, true, kExact>(m, table, pc)) [[unlikely]]
      continue;  // an interrupt entry alone: the stop test looks at the handler
    if (--left == 0) [[unlikely]]
      return ChunkEnd::Done;
  }
}

template <bool kCount, bool kExact>
ChunkEnd RunChunkWith(Machine& m, const DecodeTable& table, std::int64_t& left) {
  for (;;) {
    // A watched expression is tested after every step, as the modes are.
    const bool plain = m.RunMode == kModeRun && !m.StepOverCalls && !m.WatchSet;
    ChunkEnd end;
    if (m.HistoryEnabled) {
      end = plain ? RunSteps<true, true, kCount, kExact>(m, table, left)
                  : RunSteps<true, false, kCount, kExact>(m, table, left);
    } else {
      end = plain ? RunSteps<false, true, kCount, kExact>(m, table, left)
                  : RunSteps<false, false, kCount, kExact>(m, table, left);
    }
    if (end != ChunkEnd::ModeChanged) return end;
  }
}

ChunkEnd RunChunk(Machine& m, const DecodeTable& table, std::int64_t& left) {
  if (m.Exact)
    return m.Counters != nullptr ? RunChunkWith<true, true>(m, table, left)
                                 : RunChunkWith<false, true>(m, table, left);
  return m.Counters != nullptr ? RunChunkWith<true, false>(m, table, left)
                               : RunChunkWith<false, false>(m, table, left);
}

}  // namespace

bool Step(Machine& m) {
  if (!StepWith(m, DecoderFor(m))) return false;
  ++m.StepTotal;
  return true;
}

bool TakeDueInterruptAhead(Machine& m) {
  if (m.Exact) {
    if (!ChipWantsService(m)) return false;
    const ChipEntry entry = ServiceChip(m);
    if (entry == ChipEntry::Entered) {
      m.IrqCounter = kIrqTakenAhead;
      m.ChipAttentionNow();
    }
    return entry == ChipEntry::Entered || entry == ChipEntry::EnteredAhead;
  }
  if (!InterruptDueNext(m)) return false;
  m.IrqCounter = kIrqTakenAhead;
  InterruptEntry(m, m.TimerVector);
  return true;
}

bool StopTest(Machine& m) {
  return StopTestInline(m);
}

void ClearHistory(Machine& m) {
  m.StepHistory.fill(HistoryEntry{});
  m.HistoryIndex = 0;
  m.HistoryCount = 0;
}

void RunCommand(Machine& m, char16_t mode, bool stepOver) {
  if (!m.Idle) return;
  m.StepOverCalls = stepOver;
  switch (mode) {
    case kModeRunTo:
    case kModeCallReturned:
    case kModeReturnUp:
    case kModeStep:
    case kModeStepOver:
    case kModeRun:
      m.RunMode = mode;
      RunLoop(m);
      break;
    default:
      break;
  }
}

void ReturnUpCommand(Machine& m) {
  if (!m.Idle) return;
  m.SavedSP = m.cpu.SP;
  RunCommand(m, kModeReturnUp, false);
}

void RunLoop(Machine& m) {
  const DecodeTable& table = DecoderFor(m);
  UiHooks& h = m.hooks();
  m.Idle = false;
  h.RunStarted();
  if (m.Observer != nullptr) m.Observer->RunBegins(m);
  if (m.peripherals() != nullptr) m.peripherals()->RunStarted();
  if (m.Rules != nullptr) m.Rules->RunBegins(m);
  ClearHistory(m);
  m.StackLow.RunBegins();
  m.RunStartPC = m.cpu.PC;

  m.Stop = StopEvent{};
  m.ReturnedUp = false;
  const bool firstDone = StepWith(m, table);
  if (firstDone) ++m.StepTotal;
  std::uint32_t lastRedraw = h.TickCount();

  // One countdown serves both the clock check (every RefreshEvery + 1 steps)
  // and the optional step budget, so neither costs more than a decrement.
  constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
  const std::int64_t period = std::max<std::int64_t>(1, std::int64_t{m.RefreshEvery} + 1);
  std::int64_t toRefresh = std::max<std::int64_t>(1, period - m.StepCounter);
  std::int64_t toBudget =
      m.StepBudget == 0 ? kNever : static_cast<std::int64_t>(m.StepBudget) - (firstDone ? 1 : 0);
  bool budgetSpent = false;
  if (toBudget == 0) {
    m.RunMode = kModeStop;
    budgetSpent = true;
    toBudget = kNever;
  }
  // The time-travel record may want a batch to end sooner.
  auto nextChunk = [&] {
    std::int64_t n = std::min(toRefresh, toBudget);
    if (m.Observer != nullptr)
      n = static_cast<std::int64_t>(std::clamp<std::uint64_t>(m.Observer->StepsUntilDue(m), 1, n));
    return n;
  };
  std::int64_t chunk = nextChunk();
  std::int64_t left = chunk;

  for (;;) {
    const ChunkEnd end = RunChunk(m, table, left);
    m.StepTotal += static_cast<std::uint64_t>(chunk - left);
    if (end == ChunkEnd::Stopped) break;
    toRefresh -= chunk;
    if (toBudget != kNever) toBudget -= chunk;
    if (toBudget == 0) {
      m.RunMode = kModeStop;  // exactly what "Arret" does
      budgetSpent = true;
      toBudget = kNever;
    }
    if (toRefresh == 0) {
      toRefresh = period;
      m.StepCounter = 0;
      const std::uint32_t now = h.TickCount();
      if (now - lastRedraw >= kRedrawMs) {
        h.RefreshDuringRun();
        lastRedraw = now;
      }
      h.ProcessEvents();
    }
    if (m.Observer != nullptr) m.Observer->BatchDone(m);
    // The host's events or the record may have changed the machine.
    if (m.Exact) m.ChipAttentionNow();
    chunk = left = nextChunk();
  }
  m.StepCounter = static_cast<std::int32_t>(period - toRefresh + (chunk - left));

  if (m.Observer != nullptr) m.Observer->RunEnds(m);
  if (m.Rules != nullptr) m.Rules->RunEnds(m);
  if (budgetSpent && m.Stop.cause == StopCause::StopRequested) m.Stop.cause = StopCause::BudgetSpent;
  m.Stop.pc = m.cpu.PC;
  h.RunFinished(m);
  m.Idle = true;
}

// --- Replay for the time-travel record ------------------------------------

namespace {

// With kCount the replayed steps count again: the record put back the
// counts of the moment the replay starts from.
template <bool kUntilBreak, bool kCount, bool kExact>
std::uint64_t Replay(Machine& m, std::uint64_t steps) {
  const DecodeTable& table = DecoderFor(m);
  m.PortsMayChange = true;
  std::uint64_t done = 0;
  while (done < steps) {
    if (!StepBody<false, kCount, false, kExact>(m, table, m.cpu.PC)) [[unlikely]] {
      // An interrupt entry alone: a run would have stopped on a "Break" at
      // the handler here, the moment after `done` steps.
      if (kUntilBreak && m.tInst[m.cpu.PC] == kBreakStop) break;
      continue;
    }
    ++done;
    if (m.StopFlag) [[unlikely]] {
      // Errors and breakpoints ended the recorded run here; the next command
      // went on from the same state, so the replay simply consumes them.
      const bool ramBreak = m.BreakRequested;
      m.StopFlag = false;
      m.StopMessage.clear();
      if (kUntilBreak && ramBreak) {
        m.StepTotal += done;
        return done;  // BreakRequested names the access
      }
      m.BreakRequested = false;
    }
    if (kUntilBreak && m.tInst[m.cpu.PC] == kBreakStop) [[unlikely]]
      break;
  }
  m.StepTotal += done;
  return done;
}

template <bool kExact>
std::uint64_t ReplayMode(Machine& m, std::uint64_t steps, bool untilBreak) {
  if (m.Counters != nullptr)
    return untilBreak ? Replay<true, true, kExact>(m, steps) : Replay<false, true, kExact>(m, steps);
  return untilBreak ? Replay<true, false, kExact>(m, steps) : Replay<false, false, kExact>(m, steps);
}

}  // namespace

std::uint64_t ReplaySteps(Machine& m, std::uint64_t steps, bool untilBreak) {
  if (m.Exact) m.ChipAttentionNow();
  return m.Exact ? ReplayMode<true>(m, steps, untilBreak) : ReplayMode<false>(m, steps, untilBreak);
}

}  // namespace hc11
