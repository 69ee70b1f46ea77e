#include "core/run_engine.h"

#include <algorithm>
#include <limits>
#include <string>

#include "core/decoder.h"
#include "core/trace.h"

namespace hc11 {

namespace {

constexpr std::uint8_t kBreakStop = 2;
constexpr std::uint8_t kBreakTrace = 3;
static_assert((kBreakTrace & 0xFE) == kBreakStop, "one masked test finds both breakpoint states");
constexpr std::uint32_t kRedrawMs = 100;
constexpr std::uint16_t kPortA = 0x1000, kPortC = 0x1003, kPortB = 0x1004;

void RecordHistory(Machine& m) {
  m.StepHistory[m.HistoryIndex] = HistoryEntry{m.cpu.PC, m.cpu.A, m.cpu.B, m.cpu.CC};
  if (++m.HistoryIndex >= kHistorySize) m.HistoryIndex = 0;
  if (m.HistoryCount < kHistorySize) ++m.HistoryCount;
}

inline void StepWith(Machine& m, const DecodeTable& table) {
  m.StopMessage.clear();
  if (!m.TestFlag(FlagI) && ++m.IrqCounter > kIrqPeriod) {
    m.IrqCounter = 0;
    InterruptEntry(m, m.TimerVector);
  }
  if (m.HistoryEnabled) [[unlikely]]
    RecordHistory(m);
  m.AccountBoardTime();
  if (m.cpu.PC > m.CodeEnd) [[unlikely]] {
    EndOfCodeCheck(m);  // reports "adr>fin"; nothing executes
    return;
  }
  DecodeAndExecute(m, table);
  m.PrevPortB = m.Memory[kPortB];
  m.PrevPortA = m.Memory[kPortA];
  m.PrevPortC = m.Memory[kPortC];
  ++m.CycleCount;
}

// Breakpoint states 2 (stop) and 3 (trace); every other value is ignored.
bool BreakpointAt(Machine& m) {
  const std::uint16_t pc = m.cpu.PC;
  const std::uint8_t state = m.tInst[pc];
  UiHooks& h = m.hooks();
  if (state == kBreakStop) {
    h.ShowStopReason("Break " + h.BreakpointLine(pc));
    // An error raised by the same step is still written and consumed, or the
    // next command would stop at once on it with its message gone.
    if (m.StopFlag) {
      m.EventTrace("Break " + m.StopMessage);
      m.StopFlag = false;
    }
    return true;
  }
  m.EventTrace(h.BreakpointLine(pc));
  return false;
}

inline bool StopTestInline(Machine& m) {
  // One byte test keeps breakpoints free when none is set at PC.
  if ((m.tInst[m.cpu.PC] & 0xFE) == kBreakStop) [[unlikely]] {
    if (BreakpointAt(m)) return true;
  }
  UiHooks& h = m.hooks();
  if (m.StopFlag) [[unlikely]] {
    if (!m.BreakReason.empty() && m.StopMessage.empty()) {
      h.ShowStopReason(m.BreakReason);  // a RAM breakpoint, not an error
    } else {
      m.EventTrace("Break " + m.StopMessage);
      h.ShowStopReason(m.StopMessage);
    }
    m.BreakReason.clear();
    m.StopFlag = false;
    return true;
  }
  switch (m.RunMode) {
    case kModeRun:
    case kModeReturnUp:
      return false;
    case kModeRunTo:
      if (m.cpu.PC != m.RunTarget) return false;
      if (!m.StepOverArmed) {
        h.ShowStopReason("Break F4");
        return true;
      }
      m.StepOverArmed = false;
      m.RunMode = kModeCallReturned;
      h.ShowStopReason("stop Macro");
      return true;
    case kModeStepOver:
      if (m.cpu.PC >= m.RunStartPC && m.cpu.PC <= m.RunTarget) return false;
      h.ShowStopReason("stop ");
      return true;
    case kModeCallReturned:
      h.ShowStopReason("stop Macro");
      return true;
    default:  // 'q', 'v' and any letter no command sets
      h.ShowStopReason("stop ");
      return true;
  }
}

}  // namespace

void Step(Machine& m) {
  StepWith(m, Decoder());
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
  const DecodeTable& table = Decoder();
  UiHooks& h = m.hooks();
  m.Idle = false;
  h.RunStarted();
  if (m.peripherals() != nullptr) m.peripherals()->RunStarted();
  ClearHistory(m);
  m.RunStartPC = m.cpu.PC;

  StepWith(m, table);
  h.ShowStopReason("");
  std::uint32_t lastRedraw = h.TickCount();

  // One countdown serves both the clock check (every RefreshEvery + 1 steps)
  // and the optional step budget, so neither costs more than a decrement.
  constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
  const std::int64_t period = std::max<std::int64_t>(1, std::int64_t{m.RefreshEvery} + 1);
  std::int64_t toRefresh = std::max<std::int64_t>(1, period - m.StepCounter);
  std::int64_t toBudget = m.StepBudget == 0 ? kNever : static_cast<std::int64_t>(m.StepBudget) - 1;
  if (toBudget == 0) {
    m.RunMode = kModeStop;
    toBudget = kNever;
  }
  std::int64_t chunk = std::min(toRefresh, toBudget);
  std::int64_t left = chunk;

  while (!StopTestInline(m)) {
    StepWith(m, table);
    if (--left != 0) [[likely]]
      continue;
    toRefresh -= chunk;
    if (toBudget != kNever) toBudget -= chunk;
    if (toBudget == 0) {
      m.RunMode = kModeStop;  // exactly what "Arret" does
      toBudget = kNever;
    }
    if (toRefresh == 0) {
      toRefresh = period;
      m.StepCounter = 0;
      const std::uint32_t now = h.TickCount();
      if (now - lastRedraw >= kRedrawMs) {
        h.ShowTraceLine(FormatTraceLine(m));
        h.RefreshDuringRun();
        lastRedraw = now;
      }
      h.ProcessEvents();
    }
    chunk = left = std::min(toRefresh, toBudget);
  }
  m.StepCounter = static_cast<std::int32_t>(period - toRefresh + (chunk - left));

  h.ShowTraceLine(FormatTraceLine(m));
  h.ShowStopMessage(m.StopMessage);
  h.RunFinished();
  m.Idle = true;
}

}  // namespace hc11
