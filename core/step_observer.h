// Told by the run engine of every step it executes, for counting (coverage
// and profile). The engine tests for an observer once per batch of steps,
// so a run with none attached pays nothing for it.
#pragma once

#include <cstdint>

namespace hc11 {

class Machine;

class StepObserver {
 public:
  virtual ~StepObserver() = default;
  // The instruction that started at `pc` (opcode byte `op`) has run; its
  // cycles are those since the board last accounted time (the step's start,
  // after any interrupt entry).
  virtual void Stepped(Machine& m, std::uint16_t pc, std::uint8_t op) = 0;
  // The periodic interrupt left `interrupted` for its handler (now at PC);
  // the entry began at CycleCount `start`.
  virtual void InterruptEntered(Machine& m, std::uint16_t interrupted, std::int64_t start) = 0;
};

}  // namespace hc11
