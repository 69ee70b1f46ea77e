// The run engine: run commands, the single step and the stop test. A run is
// a loop inside the command that yields to the host every RefreshEvery + 1
// steps; the host reaches it only through UiHooks.
#pragma once

#include <cstdint>

#include "core/break_state.h"
#include "core/machine.h"

namespace hc11 {

inline constexpr std::int32_t kIrqPeriod = 10000;
// IrqCounter after an interrupt entry taken ahead of its step: that step,
// the handler's first instruction, brings the count to 0 as if it had
// entered the interrupt itself.
inline constexpr std::int32_t kIrqTakenAhead = -1;

// Sets StepOverCalls and, for a run letter (s t u v w x), RunMode, then runs.
// Ignored while a run is already in progress.
void RunCommand(Machine& m, char16_t mode, bool stepOver);

// "Remonter du SP": remembers SP, then runs until a return climbs back to it.
void ReturnUpCommand(Machine& m);

// One simulated step: periodic interrupt, history, board time, end-of-code
// check, decode and execute, port snapshots, one count. When the periodic
// interrupt is due and a stop waits at the handler's first instruction (a
// code breakpoint, "Break" or "Trace", or the target of a run-to), the step
// ends after the entry so the stop test sees PC there; the next step runs
// that instruction, with the same counts and time as one undivided step.
// Returns false for such an entry alone (StepTotal does not grow).
bool Step(Machine& m);

// True when the next step begins with the periodic interrupt's entry (never
// in exact mode, which has none).
inline bool InterruptDueNext(const Machine& m) {
  return !m.Exact && !m.TestFlag(FlagI) && m.IrqCounter >= kIrqPeriod;
}

// The periodic interrupt's entry due at the next step (in exact mode, the
// one the on-chip devices raise), taken now, as a run stopping at the
// handler's first instruction takes it: true when it was due.
bool TakeDueInterruptAhead(Machine& m);

// Evaluated after every step; true when the run must stop (Machine::Stop
// then says why).
bool StopTest(Machine& m);

// The loop behind every run command.
void RunLoop(Machine& m);

// Executes up to `steps` steps for the time-travel record, as the recorded
// runs did, with no stop test, no history and no host call; StepTotal grows
// by the steps done, which are returned. Errors raised on the way are
// consumed. With `untilBreak` it returns early after a step that leaves PC on
// a "Break" code breakpoint, or after one in which a RAM breakpoint asked for
// a stop (BreakRequested then names the access; RAM breakpoints act only while
// the machine is not Idle). Steps count into the machine's counters when it
// has them attached.
std::uint64_t ReplaySteps(Machine& m, std::uint64_t steps, bool untilBreak);

// Empties the step history ring.
void ClearHistory(Machine& m);

}  // namespace hc11
