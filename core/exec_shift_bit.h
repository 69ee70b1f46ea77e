// Shifts, bit set/clear and the two divisions.
#pragma once

#include "core/exec_common.h"

namespace hc11::exec {

// Shifts a register byte, or a memory byte in place without device reaction.
// The flag rule of the two directions differs only in N.
template <std::uint8_t M, std::uint8_t R, bool Left>
void Shift8(Machine& m, const Operands& o) {
  std::uint8_t old;
  if constexpr (M == kInherent) {
    old = GetReg8<R>(m);
  } else {
    m.NoteRead(o.ea);
    old = m.Memory[o.ea];
  }
  const bool carry = Left ? (old & 0x80) != 0 : (old & 0x01) != 0;
  const auto v = static_cast<std::uint8_t>(Left ? old << 1 : old >> 1);
  if constexpr (M == kInherent) {
    SetReg8<R>(m, v);
  } else {
    m.WriteDirect(o.ea, v);
    m.NoteWrite(o.ea, old, v);
  }
  const bool n = Left && (v & 0x80) != 0;
  SetNZVC(m, n, v == 0, n != carry, carry);
}

template <bool Left>
void ShiftD(Machine& m) {
  const std::uint16_t old = m.GetD();
  const bool carry = Left ? (old & 0x8000) != 0 : (old & 0x0001) != 0;
  const auto v = static_cast<std::uint16_t>(Left ? old << 1 : old >> 1);
  m.SetD(v);
  const bool n = Left && (v & 0x8000) != 0;
  SetNZVC(m, n, v == 0, n != carry, carry);
}

// Read directly, written through the hooks so the devices see the change.
template <bool Set>
void ChangeBits(Machine& m, const Operands& o) {
  m.NoteRead(o.ea);
  const std::uint8_t old = m.Memory[o.ea];
  m.MemWrite8(o.ea, static_cast<std::uint8_t>(Set ? old | o.mask : old & ~o.mask), TagData);
}

inline void Idiv(Machine& m) {
  const std::uint16_t d = m.GetD();
  const std::uint16_t x = m.cpu.X;
  std::uint16_t q = 0xFFFF;
  std::uint16_t remainder = d;
  if (x != 0) {
    q = static_cast<std::uint16_t>(d / x);
    remainder = static_cast<std::uint16_t>(d - q * x);
  }
  m.SetD(remainder);
  m.cpu.X = q;
  m.SetFlag(FlagC, x == 0);
  m.SetFlag(FlagZ, q == 0);
  m.SetFlag(FlagV, false);
}

inline void Fdiv(Machine& m) {
  const std::uint32_t d = m.GetD();
  const std::uint32_t x = m.cpu.X;
  std::uint16_t q = 0xFFFF;
  const bool fits = d < x;  // false for X = 0 as well
  if (fits) {
    const std::uint32_t scaled = d << 16;
    q = static_cast<std::uint16_t>(scaled / x);
    m.SetD(static_cast<std::uint16_t>(scaled - q * x));
  }
  m.cpu.X = q;
  m.SetFlag(FlagC, x == 0);
  m.SetFlag(FlagV, !fits);
  m.SetFlag(FlagZ, q == 0);
}

}  // namespace hc11::exec
