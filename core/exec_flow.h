// Jumps, branches, bit-test branches, calls, returns, push and pull.
#pragma once

#include "core/exec_common.h"

namespace hc11::exec {

template <std::uint8_t M>
void Jump(Machine& m, const Operands& o) {
  TransferTo(m, M == kAddress ? o.ea : o.target);
}

template <BranchCond C>
bool ConditionHolds(std::uint8_t cc) {
  const bool c = cc & FlagC, z = cc & FlagZ, n = cc & FlagN, v = cc & FlagV;
  if constexpr (C == BranchCond::Cs) return c;
  if constexpr (C == BranchCond::Cc) return !c;
  if constexpr (C == BranchCond::Eq) return z;
  if constexpr (C == BranchCond::Ne) return !z;
  if constexpr (C == BranchCond::Ge) return n == v;
  if constexpr (C == BranchCond::Hi) return !c && !z;
  if constexpr (C == BranchCond::Lt) return n != v;
  if constexpr (C == BranchCond::Le) return z || n != v;
  if constexpr (C == BranchCond::Ls) return c || z;
  if constexpr (C == BranchCond::Never) return false;
  if constexpr (C == BranchCond::Vc) return !v;
  if constexpr (C == BranchCond::Vs) return v;
  if constexpr (C == BranchCond::Pl) return !n;
  if constexpr (C == BranchCond::Mi) return n;
  if constexpr (C == BranchCond::Gt) return !z && n == v;
}

template <BranchCond C>
void Branch(Machine& m, const Operands& o) {
  if (ConditionHolds<C>(m.cpu.CC)) TransferTo(m, o.target);
}

// BRSET (every masked bit set) and BRCLR (every masked bit clear); the byte
// is read through the hooks.
template <bool WantSet>
void BitBranch(Machine& m, const Operands& o) {
  const std::uint8_t byte = m.MemRead8(o.ea);
  const std::uint8_t tested = WantSet ? static_cast<std::uint8_t>(~byte) : byte;
  if ((tested & o.mask) == 0) TransferTo(m, o.target);
}

template <std::uint8_t M>
void Call(Machine& m, const Operands& o) {
  const std::uint16_t target = M == kRelative ? o.target : o.ea;
  // F8 turns the first call of its step into a run to the return address.
  if (m.StepOverCalls && !m.StepOverArmed) [[unlikely]] {
    m.RunTarget = m.cpu.PC;
    m.RunMode = kModeRunTo;
    m.StepOverArmed = true;
  }
  m.Push16(m.cpu.PC, TagReturnAddress);
  TransferTo(m, target);
}

// Ends a "Remonter du SP" run at the return that leaves the routine active
// when the command was given: only that return lifts SP above its level then;
// returns of nested calls (and interrupts) bring it back to that level at most.
inline void CheckReturnUp(Machine& m) {
  if (m.RunMode == kModeReturnUp && m.cpu.SP > m.SavedSP) [[unlikely]] {
    m.RunMode = kModeStop;
    m.ReturnedUp = true;
  }
}

inline void Rts(Machine& m) {
  m.cpu.PC = m.Pull16();
  ++m.CycleCount;
  CheckReturnUp(m);
}

inline void Rti(Machine& m) {
  m.cpu.CC = m.Pull8();
  m.cpu.B = m.Pull8();
  m.cpu.A = m.Pull8();
  m.cpu.X = m.Pull16();
  m.cpu.Y = m.Pull16();
  m.cpu.PC = m.Pull16();
  ++m.CycleCount;
  CheckReturnUp(m);
}

template <std::uint8_t R>
void Push(Machine& m) {
  if constexpr (R == RegA) m.Push8(m.cpu.A, TagData);
  if constexpr (R == RegB) m.Push8(m.cpu.B, TagData);
  if constexpr (R == RegX) m.Push16(m.cpu.X, TagData);
}

template <std::uint8_t R>
void Pull(Machine& m) {
  if constexpr (R == RegA) m.cpu.A = m.Pull8();
  if constexpr (R == RegB) m.cpu.B = m.Pull8();
  if constexpr (R == RegX) m.cpu.X = m.Pull16();
}

}  // namespace hc11::exec
