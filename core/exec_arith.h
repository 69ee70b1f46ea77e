// Arithmetic, comparisons, logic, increments and decrements.
#pragma once

#include "core/exec_common.h"

namespace hc11::exec {

template <std::uint8_t M, std::uint8_t R, bool WithCarry>
void AddInto(Machine& m, const Operands& o) {
  const std::uint8_t v = Operand8<M, Via::Hooked, Via::Hooked>(m, o);
  const bool carry = WithCarry && m.TestFlag(FlagC);
  SetReg8<R>(m, Add8(m, GetReg8<R>(m), v, carry));
}

template <std::uint8_t M, std::uint8_t R, bool WithBorrow>
void SubFrom(Machine& m, const Operands& o) {
  const std::uint8_t v = Operand8<M, Via::Hooked, Via::Hooked>(m, o);
  const bool borrow = WithBorrow && m.TestFlag(FlagC);
  SetReg8<R>(m, Sub8(m, GetReg8<R>(m), v, borrow));
}

template <std::uint8_t M, std::uint8_t R>
void Compare8(Machine& m, const Operands& o) {
  Sub8(m, GetReg8<R>(m), Operand8<M, Via::Hooked, Via::Hooked>(m, o), false);
}

// The word at the address is read straight from Memory.
template <std::uint8_t M, std::uint8_t R>
void Compare16(Machine& m, const Operands& o) {
  std::uint16_t v;
  if constexpr (M == kImm16) {
    v = o.imm16;
  } else {
    const auto low = static_cast<std::uint16_t>(o.ea + 1);
    m.NoteRead(o.ea);
    m.NoteRead(low);
    v = static_cast<std::uint16_t>(m.Memory[o.ea] << 8 | m.Memory[low]);
  }
  Sub16(m, R == RegX ? m.cpu.X : m.GetD(), v);
}

template <std::uint8_t M>
void AddD(Machine& m, const Operands& o) {
  m.SetD(Add16(m, m.GetD(), Operand16Hooked<M>(m, o)));
}

template <std::uint8_t M>
void SubD(Machine& m, const Operands& o) {
  m.SetD(Sub16(m, m.GetD(), Operand16Hooked<M>(m, o)));
}

enum class LogicOp { And, Or, Eor };

// AND and EOR read their address operand straight from Memory; OR reads it
// through the hooks and its indexed operand straight from Memory.
template <std::uint8_t M, std::uint8_t R, LogicOp Op>
void Logic(Machine& m, const Operands& o) {
  constexpr Via address = Op == LogicOp::Or ? Via::Hooked : Via::Direct;
  const std::uint8_t v = Operand8<M, address, Via::Direct>(m, o);
  const std::uint8_t a = GetReg8<R>(m);
  const auto result = static_cast<std::uint8_t>(Op == LogicOp::And  ? a & v
                                                : Op == LogicOp::Or ? a | v
                                                                    : a ^ v);
  SetReg8<R>(m, result);
  m.SetNZ0_8(result);
}

inline void Complement(Machine& m, std::uint8_t& reg) {
  reg = static_cast<std::uint8_t>(reg ^ 0xFF);
  SetNZVC(m, reg & 0x80, reg == 0, false, true);
}

template <std::uint8_t R>
void Test(Machine& m) {
  const std::uint8_t v = GetReg8<R>(m);
  SetNZVC(m, v & 0x80, v == 0, false, false);
}

// Increment or decrement by one of a register byte or, bypassing the devices
// and the write tags, of a byte in memory. V flags the signed overflow; C is
// left alone.
template <std::uint8_t M, std::uint8_t R, int Delta>
void StepByOne(Machine& m, const Operands& o) {
  std::uint8_t old;
  if constexpr (M == kInherent) {
    old = GetReg8<R>(m);
  } else {
    m.NoteRead(o.ea);
    old = m.Memory[o.ea];
  }
  const auto v = static_cast<std::uint8_t>(old + Delta);
  if constexpr (M == kInherent) {
    SetReg8<R>(m, v);
  } else {
    m.WriteDirect(o.ea, v);
    m.NoteWrite(o.ea, old, v);
  }
  const bool overflow = Delta > 0 ? old == 0x7F : old == 0x80;
  SetNZVC(m, v & 0x80, v == 0, overflow, m.TestFlag(FlagC));
}

inline void Inc16(Machine& m, std::uint16_t& reg) {
  ++reg;
  m.SetFlag(FlagZ, reg == 0);
}

inline void Dex(Machine& m) {
  --m.cpu.X;
  m.SetFlag(FlagZ, m.cpu.X == 0);
}

inline void Mul(Machine& m) {
  m.SetD(static_cast<std::uint16_t>(m.cpu.A * m.cpu.B));
  m.SetFlag(FlagC, m.cpu.B & 0x80);
}

}  // namespace hc11::exec
