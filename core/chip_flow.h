// The chip's rules for the flow and stack instructions: every branch
// condition, JMP and JSR in all their modes, RTI's X-bit rule, the Y
// register's push and pull, SWI, WAI, STOP and the illegal-opcode trap.
// With kExact false they run in the designed mode and count as it does (one
// more per taken transfer); in the exact mode the step counts the cycles.
#pragma once

#include "core/exec_flow.h"

namespace hc11::chip {

using exec::Operands;

template <bool kExact>
void TransferTo(Machine& m, std::uint16_t target) {
  if constexpr (kExact) {
    m.cpu.PC = target;
    if (target > m.CodeEnd) [[unlikely]]
      EndOfCodeCheck(m);
  } else {
    hc11::TransferTo(m, target);
  }
}

template <std::uint8_t M, bool kExact>
void Jump(Machine& m, const Operands& o) {
  TransferTo<kExact>(m, M == exec::kRelative ? o.target : o.ea);
}

template <BranchCond C, bool kExact>
void Branch(Machine& m, const Operands& o) {
  if (exec::ConditionHolds<C>(m.cpu.CC)) TransferTo<kExact>(m, o.target);
}

template <bool WantSet, bool kExact>
void BitBranch(Machine& m, const Operands& o) {
  const std::uint8_t byte = m.MemRead8(o.ea);
  const auto tested = static_cast<std::uint8_t>(WantSet ? ~byte : byte);
  if ((tested & o.mask) == 0) TransferTo<kExact>(m, o.target);
}

template <std::uint8_t M, bool kExact>
void Call(Machine& m, const Operands& o) {
  if (m.StepOverCalls && !m.StepOverArmed) [[unlikely]] {
    m.RunTarget = m.cpu.PC;
    m.RunMode = kModeRunTo;
    m.StepOverArmed = true;
  }
  m.Push16(m.cpu.PC, TagReturnAddress);
  TransferTo<kExact>(m, M == exec::kRelative ? o.target : o.ea);
}

template <bool kExact>
void Rts(Machine& m) {
  m.cpu.PC = m.Pull16();
  if constexpr (!kExact) ++m.CycleCount;
  exec::CheckReturnUp(m);
}

// RTI may clear X but never set it.
template <bool kExact>
void Rti(Machine& m) {
  const std::uint8_t cc = m.Pull8();
  m.cpu.CC = static_cast<std::uint8_t>(cc & (m.cpu.CC | ~FlagX));
  m.cpu.B = m.Pull8();
  m.cpu.A = m.Pull8();
  m.cpu.X = m.Pull16();
  m.cpu.Y = m.Pull16();
  m.cpu.PC = m.Pull16();
  if constexpr (!kExact) ++m.CycleCount;
  exec::CheckReturnUp(m);
}

template <std::uint8_t R>
void Push(Machine& m) {
  if constexpr (R == RegA) m.Push8(m.cpu.A, TagData);
  if constexpr (R == RegB) m.Push8(m.cpu.B, TagData);
  if constexpr (R == RegX) m.Push16(m.cpu.X, TagData);
  if constexpr (R == RegY) m.Push16(m.cpu.Y, TagData);
}

template <std::uint8_t R>
void Pull(Machine& m) {
  if constexpr (R == RegA) m.cpu.A = m.Pull8();
  if constexpr (R == RegB) m.cpu.B = m.Pull8();
  if constexpr (R == RegX) m.cpu.X = m.Pull16();
  if constexpr (R == RegY) m.cpu.Y = m.Pull16();
}

// The frame and the vector an interrupt takes, from the instruction itself.
// With no vector defined there is nothing to run: the instruction is
// refused as the design refuses what it does not execute.
template <bool kExact>
void Swi(Machine& m, const RowInfo& row) {
  const std::uint16_t vector = VectorAt(m, kSwiVector);
  if (vector == 0) return UnsupportedCode(m, row);
  PushFrame(m);
  m.SetFlag(FlagI, true);
  TransferTo<kExact>(m, vector);
}

// The run stops when no interrupt can end the wait (I set), every time a
// step finds it so, rather than spinning for ever.
void ReportNoWakeUp(Machine& m, std::uint16_t at);

// WAI stacks the frame once, then leaves PC on itself while it waits: each
// step executes nothing and lets time pass until InterruptEntry wakes it.
template <bool kExact>
void Wai(Machine& m, std::uint16_t at, std::int64_t cycles) {
  if (m.Halt == CpuHalt::None) {
    PushFrame(m);
    m.Halt = CpuHalt::Wait;
    if constexpr (kExact) m.CycleCount += cycles - 1;
  }
  m.cpu.PC = at;
  if (!CanWake(m)) ReportNoWakeUp(m, at);
}

// STOP with S set (the chip's reset state) is a NOP; otherwise the clock
// stops until an interrupt.
template <bool kExact>
void Stop(Machine& m, std::uint16_t at, std::int64_t cycles) {
  if (m.TestFlag(FlagS)) {
    if constexpr (kExact) m.CycleCount += cycles - 1;
    return;
  }
  if (m.Halt == CpuHalt::None) {
    m.Halt = CpuHalt::Stop;
    if constexpr (kExact) m.CycleCount += cycles - 1;
  }
  m.cpu.PC = at;
  if (!CanWake(m)) ReportNoWakeUp(m, at);
}

// TEST outside the factory's test mode: the illegal-opcode trap, or the
// designed stop for an opcode without an instruction.
void IllegalOpcode(Machine& m, std::uint16_t at);

}  // namespace hc11::chip
