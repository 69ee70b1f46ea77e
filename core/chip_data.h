// The chip's own rules for the data instructions: loads, stores, transfers,
// the CC instructions, arithmetic with the half carry, logic, the bit
// instructions with their flags, read-modify-write on memory, shifts and
// rotates, DAA. Every memory operand goes through the hooks, as the chip's
// bus reaches the devices on every access.
#pragma once

#include "core/exec_arith.h"
#include "core/exec_common.h"
#include "core/exec_shift_bit.h"
#include "core/exec_transfer.h"

namespace hc11::chip {

using exec::kAddress;
using exec::kImm16;
using exec::kImm8;
using exec::kIndexed;
using exec::kInherent;
using exec::Operands;
using exec::SetNZVC;

template <std::uint8_t M>
std::uint8_t Value8(Machine& m, const Operands& o) {
  if constexpr (M == kImm8) return o.imm8;
  return m.MemRead8(o.ea);
}

template <std::uint8_t M>
std::uint16_t Value16(Machine& m, const Operands& o) {
  if constexpr (M == kImm16) return o.imm16;
  return m.MemRead16(o.ea);
}

template <std::uint8_t R>
std::uint16_t Get16(const Machine& m) {
  if constexpr (R == RegX) return m.cpu.X;
  if constexpr (R == RegY) return m.cpu.Y;
  if constexpr (R == RegSP) return m.cpu.SP;
  if constexpr (R == RegD) return m.GetD();
}

template <std::uint8_t R>
void Set16(Machine& m, std::uint16_t v) {
  if constexpr (R == RegX) m.cpu.X = v;
  if constexpr (R == RegY) m.cpu.Y = v;
  if constexpr (R == RegSP) m.cpu.SP = v;
  if constexpr (R == RegD) m.SetD(v);
}

// The byte a read-modify-write instruction works on: a register (inherent)
// or memory, read and written back through the hooks.
template <std::uint8_t M, std::uint8_t R, class Op>
void Modify(Machine& m, const Operands& o, Op op) {
  if constexpr (M == kInherent) {
    exec::SetReg8<R>(m, op(exec::GetReg8<R>(m)));
  } else {
    m.MemWrite8(o.ea, op(m.MemRead8(o.ea)), TagData);
  }
}

// The add rule with H, the carry out of bit 3.
inline std::uint8_t Add8(Machine& m, std::uint8_t a, std::uint8_t b, bool carry) {
  const std::uint8_t r = exec::Add8(m, a, b, carry);
  m.SetFlag(FlagH, ((a & b) | (b & ~r) | (~r & a)) & 0x08);
  return r;
}

template <std::uint8_t M, std::uint8_t R>
void Load(Machine& m, const Operands& o) {
  if constexpr (R == RegA || R == RegB) {
    const std::uint8_t v = Value8<M>(m, o);
    exec::SetReg8<R>(m, v);
    m.SetNZ0_8(v);
  } else {
    const std::uint16_t v = Value16<M>(m, o);
    Set16<R>(m, v);
    if constexpr (R == RegSP) m.StackTop = v;
    m.SetNZ0_16(v);
  }
}

template <std::uint8_t R>
void Store(Machine& m, const Operands& o) {
  if constexpr (R == RegA || R == RegB) {
    const std::uint8_t v = exec::GetReg8<R>(m);
    m.MemWrite8(o.ea, v, TagData);
    m.SetNZ0_8(v);
  } else {
    const std::uint16_t v = Get16<R>(m);
    m.MemWrite16(o.ea, v);
    m.SetNZ0_16(v);
  }
}

// TAP: the X bit can be cleared but never set by the program.
inline void Tap(Machine& m) {
  const auto keepX = static_cast<std::uint8_t>(m.cpu.CC | ~FlagX);
  m.cpu.CC = static_cast<std::uint8_t>(m.cpu.A & keepX);
}

template <std::uint8_t M, std::uint8_t R, bool WithCarry>
void AddInto(Machine& m, const Operands& o) {
  const std::uint8_t v = Value8<M>(m, o);
  exec::SetReg8<R>(m, Add8(m, exec::GetReg8<R>(m), v, WithCarry && m.TestFlag(FlagC)));
}

template <std::uint8_t M, std::uint8_t R, bool WithBorrow, bool Keep>
void SubFrom(Machine& m, const Operands& o) {
  const std::uint8_t v = Value8<M>(m, o);
  const std::uint8_t r = exec::Sub8(m, exec::GetReg8<R>(m), v, WithBorrow && m.TestFlag(FlagC));
  if constexpr (Keep) exec::SetReg8<R>(m, r);
}

template <std::uint8_t M, std::uint8_t R>
void Compare16(Machine& m, const Operands& o) {
  exec::Sub16(m, Get16<R>(m), Value16<M>(m, o));
}

enum class LogicOp { And, Or, Eor, Bit };

template <std::uint8_t M, std::uint8_t R, LogicOp Op>
void Logic(Machine& m, const Operands& o) {
  const std::uint8_t v = Value8<M>(m, o);
  const std::uint8_t a = exec::GetReg8<R>(m);
  const auto r = static_cast<std::uint8_t>(Op == LogicOp::Or ? a | v : Op == LogicOp::Eor ? a ^ v : a & v);
  if constexpr (Op != LogicOp::Bit) exec::SetReg8<R>(m, r);
  m.SetNZ0_8(r);
}

template <std::uint8_t M, std::uint8_t R>
void Clear(Machine& m, const Operands& o) {
  Modify<M, R>(m, o, [](std::uint8_t) { return std::uint8_t{0}; });
  SetNZVC(m, false, true, false, false);
}

template <std::uint8_t M, std::uint8_t R>
void Test(Machine& m, const Operands& o) {
  const std::uint8_t v = M == kInherent ? exec::GetReg8<R>(m) : m.MemRead8(o.ea);
  SetNZVC(m, v & 0x80, v == 0, false, false);
}

template <std::uint8_t M, std::uint8_t R>
void Complement(Machine& m, const Operands& o) {
  Modify<M, R>(m, o, [&](std::uint8_t v) {
    const auto r = static_cast<std::uint8_t>(~v);
    SetNZVC(m, r & 0x80, r == 0, false, true);
    return r;
  });
}

template <std::uint8_t M, std::uint8_t R>
void Negate(Machine& m, const Operands& o) {
  Modify<M, R>(m, o, [&](std::uint8_t v) {
    const auto r = static_cast<std::uint8_t>(-v);
    SetNZVC(m, r & 0x80, r == 0, r == 0x80, r != 0);
    return r;
  });
}

template <std::uint8_t M, std::uint8_t R, int Delta>
void StepByOne(Machine& m, const Operands& o) {
  Modify<M, R>(m, o, [&](std::uint8_t old) {
    const auto r = static_cast<std::uint8_t>(old + Delta);
    SetNZVC(m, r & 0x80, r == 0, Delta > 0 ? old == 0x7F : old == 0x80, m.TestFlag(FlagC));
    return r;
  });
}

enum class ShiftOp { Lsl, Lsr, Asr, Rol, Ror };

// Every shift and rotate: C takes the bit shifted out, V = N xor C.
template <std::uint8_t M, std::uint8_t R, ShiftOp Op>
void Shift(Machine& m, const Operands& o) {
  Modify<M, R>(m, o, [&](std::uint8_t v) {
    const unsigned carryIn = m.TestFlag(FlagC) ? 1u : 0u;
    const bool left = Op == ShiftOp::Lsl || Op == ShiftOp::Rol;
    const bool carry = left ? (v & 0x80) != 0 : (v & 0x01) != 0;
    unsigned r = left ? unsigned{v} << 1 : unsigned{v} >> 1;
    if constexpr (Op == ShiftOp::Rol) r |= carryIn;
    if constexpr (Op == ShiftOp::Ror) r |= carryIn << 7;
    if constexpr (Op == ShiftOp::Asr) r |= v & 0x80u;
    const auto b = static_cast<std::uint8_t>(r);
    const bool n = (b & 0x80) != 0;
    SetNZVC(m, n, b == 0, n != carry, carry);
    return b;
  });
}

// BSET and BCLR set N and Z from the byte they write and clear V.
template <bool Set>
void ChangeBits(Machine& m, const Operands& o) {
  const std::uint8_t old = m.MemRead8(o.ea);
  const auto v = static_cast<std::uint8_t>(Set ? old | o.mask : old & ~o.mask);
  m.MemWrite8(o.ea, v, TagData);
  m.SetNZ0_8(v);
}

// The decimal adjust after an addition of two BCD bytes, from H, C and A.
inline void Daa(Machine& m) {
  const std::uint8_t a = m.cpu.A;
  const unsigned low = a & 0x0Fu, high = a >> 4;
  const bool c = m.TestFlag(FlagC);
  std::uint8_t adjust = 0;
  if (m.TestFlag(FlagH) || low > 9) adjust |= 0x06;
  const bool carry = c || high > 9 || (high > 8 && low > 9);
  if (carry) adjust |= 0x60;
  m.cpu.A = static_cast<std::uint8_t>(a + adjust);
  // V is left as it was: the data sheet does not define it.
  SetNZVC(m, m.cpu.A & 0x80, m.cpu.A == 0, m.TestFlag(FlagV), carry);
}

}  // namespace hc11::chip
