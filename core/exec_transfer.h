// Loads, stores, clears and register transfers.
#pragma once

#include "core/exec_common.h"

namespace hc11::exec {

template <std::uint8_t M, std::uint8_t R>
void Load(Machine& m, const Operands& o) {
  if constexpr (R == RegA || R == RegB) {
    const std::uint8_t v = Operand8<M, Via::Hooked, Via::Hooked>(m, o);
    SetReg8<R>(m, v);
    m.SetNZ0_8(v);
  } else if constexpr (R == RegX) {
    const std::uint16_t v = Operand16Hooked<M>(m, o);
    m.cpu.X = v;
    m.SetNZ0_16(v);
  } else if constexpr (R == RegY) {
    m.cpu.Y = o.imm16;
    m.SetNZ0_16(o.imm16);
  } else {
    static_assert(R == RegSP);
    m.cpu.SP = o.imm16;
    m.StackTop = o.imm16;
    m.SetNZ0_16(o.imm16);
  }
}

template <std::uint8_t M>
void LoadD(Machine& m, const Operands& o) {
  const std::uint16_t v = Operand16Hooked<M>(m, o);
  m.SetD(v);
  m.SetNZ0_16(v);
}

template <std::uint8_t R>
void Store8(Machine& m, const Operands& o) {
  const std::uint8_t v = GetReg8<R>(m);
  m.MemWrite8(o.ea, v, TagData);
  m.SetNZ0_8(v);
}

template <std::uint8_t R>
void Store16(Machine& m, const Operands& o) {
  std::uint16_t v;
  if constexpr (R == RegX) v = m.cpu.X;
  if constexpr (R == RegY) v = m.cpu.Y;
  if constexpr (R == RegD) v = m.GetD();
  m.MemWrite16(o.ea, v);
  m.SetNZ0_16(v);
}

template <std::uint8_t M, std::uint8_t R>
void Clear(Machine& m, const Operands& o) {
  if constexpr (M == kInherent) {
    SetReg8<R>(m, 0);
  } else {
    m.MemWrite8(o.ea, 0, TagData);
  }
  SetNZVC(m, false, true, false, false);
}

inline void Tab(Machine& m) {
  m.cpu.B = m.cpu.A;
  m.SetNZ0_8(m.cpu.B);
}

inline void Tba(Machine& m) {
  m.cpu.A = m.cpu.B;
  m.SetNZ0_8(m.cpu.A);
}

inline void Xgdx(Machine& m) {
  const std::uint16_t d = m.GetD();
  m.SetD(m.cpu.X);
  m.cpu.X = d;
}

}  // namespace hc11::exec
