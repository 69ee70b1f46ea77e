// The seam between the stub and a model of the simulation that can go
// backwards. The stub announces ReverseStep+/ReverseContinue+ and serves "bs"
// and "bc" only when it is given an implementation; it asks nothing else of
// it. The implementation stops at the code breakpoints registered in the
// machine (tInst state 2) exactly as a forward run does, and reports where the
// recorded history begins.
#pragma once

#include <cstdint>
#include <optional>

namespace hc11::gdb {

enum class ReverseStopKind {
  Stepped,       // "bs" went back one instruction
  Breakpoint,    // "bc" met a code breakpoint
  HistoryStart,  // nothing older is recorded: the machine shows the oldest state
  Interrupted,   // the client's 0x03 (or its disappearance) ended "bc"
};

// The access that stopped "bc" on a RAM breakpoint: 'I' write, 'i' read.
struct ReverseRamStop {
  std::uint16_t address = 0;
  char kind = 'I';
};

class ReverseExecution {
 public:
  virtual ~ReverseExecution() = default;
  // Undo one instruction; HistoryStart when there was none to undo.
  virtual ReverseStopKind StepBack() = 0;
  // Undo instructions until a breakpoint or the start of the history. A long
  // walk should call the machine's UiHooks::ProcessEvents now and then, like
  // the run loop, and stop with Interrupted once RunMode became 'q'.
  virtual ReverseStopKind ContinueBack() = 0;
  // After a ContinueBack that met a RAM breakpoint: the access that made it
  // stop, so a watchpoint is reported as such.
  virtual std::optional<ReverseRamStop> RamStop() const { return std::nullopt; }
};

}  // namespace hc11::gdb
