// What the debugger adds to breakpoints: conditions, hit counts, logpoints and
// an expression that stops the run when it becomes true. The run engine asks
// only when a code breakpoint is reached, or after every step while
// Machine::WatchSet is raised, so a run without them costs nothing more.
#pragma once

#include <cstdint>

namespace hc11 {

class Machine;

class BreakRules {
 public:
  enum class Verdict : std::uint8_t {
    Stop,   // stop as a plain "Break" does
    Trace,  // write the plain trace line and go on
    Pass,   // go on; whatever had to be written or reported has been
  };
  virtual ~BreakRules() = default;
  // A code breakpoint in state "Break" or "Trace" is at PC, before its
  // instruction runs. A faulting condition reports its error (StopFlag) and
  // answers Pass.
  virtual Verdict CodeBreakReached(Machine& m, std::uint16_t pc) = 0;
  // Going back in time, at a moment where a code breakpoint in state "Break"
  // is at PC: true when a run would stop here on its condition. Nothing is
  // counted, so hit rules are not replayed (any hit whose condition holds
  // counts) and a logpoint never stops; a faulting condition stops.
  virtual bool StopsGoingBack(const Machine& m, std::uint16_t pc) const = 0;
  // After a step while WatchSet: true when the run must stop (the stop reason
  // has been shown).
  virtual bool WatchStops(Machine& m) = 0;
  // Before the first step of a run command, and after its last step.
  virtual void RunBegins(Machine& m) = 0;
  virtual void RunEnds(Machine& m) = 0;
};

}  // namespace hc11
