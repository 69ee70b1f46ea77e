// Told by the run engine of every step it executes, for counting (coverage
// and profile). The engine tests for an observer once per batch of steps,
// so a run with none attached pays nothing for it. The per-address count is
// kept here, inline: a step pays one array update and one table test, and
// only transfers that move the call stack reach the observer's own code.
#pragma once

#include <array>
#include <cstdint>

namespace hc11 {

class Machine;

class StepObserver {
 public:
  struct Cell {
    std::uint64_t count = 0;  // instructions started at the address
    // Their cycles beyond one each: transfers, and the interrupt entries
    // that led there.
    std::uint64_t extra = 0;
    std::uint64_t Cycles() const { return count + extra; }
  };

  virtual ~StepObserver() = default;

  // The instruction that started at `pc` (opcode byte `op`) has run in
  // `cycles` counts (those since the board last accounted time: the step's
  // start, after any interrupt entry).
  void Stepped(Machine& m, std::uint16_t pc, std::uint8_t op, std::int64_t cycles) {
    Cell& c = cells_[pc];
    ++c.count;
    const std::uint8_t flow = flow_[op];
    if (flow != 0) [[unlikely]] {
      c.extra += static_cast<std::uint64_t>(cycles - 1);
      if (flow & kShadowStack) Flow(m, pc, op);
    }
  }
  // The periodic interrupt left `interrupted` for its handler (now at PC);
  // the entry began at CycleCount `start`.
  virtual void InterruptEntered(Machine& m, std::uint16_t interrupted, std::int64_t start) = 0;

 protected:
  static constexpr std::uint8_t kTransfers = 1, kShadowStack = 2;
  // A call, a return or an interrupt's return ran at `pc`.
  virtual void Flow(Machine& m, std::uint16_t pc, std::uint8_t op) = 0;

  std::array<Cell, 65536> cells_{};       // in the object: one load less per step
  std::array<std::uint8_t, 256> flow_{};  // per opcode: kTransfers, kShadowStack
};

}  // namespace hc11
