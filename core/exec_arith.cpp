// Arithmetic, comparisons, logic, increments and decrements.
#include "core/exec_common.h"

namespace hc11 {

using namespace exec;

namespace {

void AddInto(Machine& m, const RowInfo& r, bool withCarry) {
  std::uint8_t v;
  if (!Operand8(m, Via::Hooked, Via::Hooked, v)) return UnsupportedCode(m, r);
  const bool carry = withCarry && m.TestFlag(FlagC);
  SetReg8(m, r.regKind, Add8(m, GetReg8(m, r.regKind), v, carry));
}

void SubFrom(Machine& m, const RowInfo& r, bool withBorrow) {
  std::uint8_t v;
  if (!Operand8(m, Via::Hooked, Via::Refused, v)) return UnsupportedCode(m, r);
  const bool borrow = withBorrow && m.TestFlag(FlagC);
  SetReg8(m, r.regKind, Sub8(m, GetReg8(m, r.regKind), v, borrow));
}

void Logic(Machine& m, const RowInfo& r, Via address, Via indexed,
           std::uint8_t (*op)(std::uint8_t, std::uint8_t)) {
  std::uint8_t v;
  if (!Operand8(m, address, indexed, v)) return UnsupportedCode(m, r);
  const std::uint8_t result = op(GetReg8(m, r.regKind), v);
  SetReg8(m, r.regKind, result);
  m.SetNZ0_8(result);
}

}  // namespace

void ExecAdd(Machine& m, const RowInfo& r) {
  AddInto(m, r, false);
}
void ExecAdc(Machine& m, const RowInfo& r) {
  AddInto(m, r, true);
}
void ExecSub(Machine& m, const RowInfo& r) {
  SubFrom(m, r, false);
}
void ExecSbc(Machine& m, const RowInfo& r) {
  SubFrom(m, r, true);
}

void ExecAba(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  m.cpu.A = Add8(m, m.cpu.A, m.cpu.B, false);
}

void ExecCompare8(Machine& m, const RowInfo& r) {
  std::uint8_t v;
  if (!Operand8(m, Via::Hooked, Via::Hooked, v)) return UnsupportedCode(m, r);
  Sub8(m, GetReg8(m, r.regKind), v, false);
}

void ExecCompare16(Machine& m, const RowInfo& r) {
  const OperandLatch& l = m.latch;
  std::uint16_t v;
  if (l.AddrMode == kImm16) {
    v = l.imm16;
  } else if (l.AddrMode == kAddress) {
    const auto low = static_cast<std::uint16_t>(l.address + 1);
    m.NoteRead(l.address);
    m.NoteRead(low);
    v = static_cast<std::uint16_t>(m.Memory[l.address] << 8 | m.Memory[low]);
  } else {
    return UnsupportedCode(m, r);
  }
  if (r.regKind == RegX) {
    Sub16(m, m.cpu.X, v);
  } else if (r.regKind == RegD) {
    Sub16(m, m.GetD(), v);
  } else {
    UnsupportedCode(m, r);
  }
}

void ExecAddD(Machine& m, const RowInfo& r) {
  std::uint16_t v;
  if (!Operand16Hooked(m, v)) return UnsupportedCode(m, r);
  m.SetD(Add16(m, m.GetD(), v));
}

void ExecSubD(Machine& m, const RowInfo& r) {
  std::uint16_t v;
  if (!Operand16Hooked(m, v)) return UnsupportedCode(m, r);
  m.SetD(Sub16(m, m.GetD(), v));
}

void ExecAnd(Machine& m, const RowInfo& r) {
  Logic(m, r, Via::Direct, Via::Refused, [](std::uint8_t a, std::uint8_t b) { return std::uint8_t(a & b); });
}

void ExecOr(Machine& m, const RowInfo& r) {
  Logic(m, r, Via::Hooked, Via::Direct, [](std::uint8_t a, std::uint8_t b) { return std::uint8_t(a | b); });
}

void ExecEor(Machine& m, const RowInfo& r) {
  Logic(m, r, Via::Direct, Via::Refused, [](std::uint8_t a, std::uint8_t b) { return std::uint8_t(a ^ b); });
}

void ExecComA(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  m.cpu.A = static_cast<std::uint8_t>(m.cpu.A ^ 0xFF);
  SetNZVC(m, m.cpu.A & 0x80, m.cpu.A == 0, false, true);
}

void ExecComB(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  m.cpu.B = static_cast<std::uint8_t>(m.cpu.B ^ 0xFF);
  SetNZVC(m, m.cpu.B & 0x80, m.cpu.B == 0, false, true);
}

void ExecTest(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  const std::uint8_t v = GetReg8(m, r.regKind);
  SetNZVC(m, v & 0x80, v == 0, false, false);
}

namespace {

// Increment or decrement by one of a register byte or, bypassing the devices,
// of a byte in memory. V flags the signed overflow; C is left alone.
void StepByOne(Machine& m, const RowInfo& r, int delta) {
  const OperandLatch& l = m.latch;
  std::uint8_t* cell = nullptr;
  std::uint16_t a = 0;
  std::uint8_t old;
  if (l.AddrMode == kInherent) {
    old = GetReg8(m, r.regKind);
  } else if (IsMemoryMode(l.AddrMode)) {
    a = EffectiveAddress(l);
    m.NoteRead(a);
    cell = &m.Memory[a];
    old = *cell;
  } else {
    return UnsupportedCode(m, r);
  }
  const auto v = static_cast<std::uint8_t>(old + delta);
  if (cell != nullptr) {
    *cell = v;
    m.NoteWrite(a, old, v);
  } else {
    SetReg8(m, r.regKind, v);
  }
  const bool overflow = delta > 0 ? old == 0x7F : old == 0x80;
  SetNZVC(m, v & 0x80, v == 0, overflow, m.TestFlag(FlagC));
}

}  // namespace

void ExecInc8(Machine& m, const RowInfo& r) {
  StepByOne(m, r, +1);
}
void ExecDec8(Machine& m, const RowInfo& r) {
  StepByOne(m, r, -1);
}

void ExecInx(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  std::uint16_t* reg = r.regKind == RegX ? &m.cpu.X : r.regKind == RegY ? &m.cpu.Y : nullptr;
  if (reg == nullptr) return UnsupportedCode(m, r);
  ++*reg;
  m.SetFlag(FlagZ, *reg == 0);
}

void ExecDex(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent || r.regKind != RegX) return UnsupportedCode(m, r);
  --m.cpu.X;
  m.SetFlag(FlagZ, m.cpu.X == 0);
}

void ExecIns(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  ++m.cpu.SP;
}

void ExecDes(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  --m.cpu.SP;
}

void ExecAbx(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  m.cpu.X = static_cast<std::uint16_t>(m.cpu.X + m.cpu.B);
}

void ExecMul(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  m.SetD(static_cast<std::uint16_t>(m.cpu.A * m.cpu.B));
  m.SetFlag(FlagC, m.cpu.B & 0x80);
}

}  // namespace hc11
