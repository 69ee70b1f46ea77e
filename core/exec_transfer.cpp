// Loads, stores, clears and register transfers.
#include "core/exec_common.h"

namespace hc11 {

using namespace exec;

void ExecLoad(Machine& m, const RowInfo& r) {
  const OperandLatch& l = m.latch;
  switch (r.regKind) {
    case RegA:
    case RegB: {
      std::uint8_t v;
      if (!Operand8(m, Via::Hooked, Via::Hooked, v)) return UnsupportedCode(m, r);
      SetReg8(m, r.regKind, v);
      m.SetNZ0_8(v);
      return;
    }
    case RegX: {
      std::uint16_t v;
      if (!Operand16Hooked(m, v)) return UnsupportedCode(m, r);
      m.cpu.X = v;
      m.SetNZ0_16(v);
      return;
    }
    case RegY:
    case RegSP:
      // Only the immediate forms exist for Y and SP.
      if (l.AddrMode != kImm16) return UnsupportedCode(m, r);
      if (r.regKind == RegY) {
        m.cpu.Y = l.imm16;
      } else {
        m.cpu.SP = l.imm16;
        m.StackTop = l.imm16;
      }
      m.SetNZ0_16(l.imm16);
      return;
    default:
      return UnsupportedCode(m, r);
  }
}

void ExecLoadD(Machine& m, const RowInfo& r) {
  std::uint16_t v;
  if (!Operand16Hooked(m, v)) return UnsupportedCode(m, r);
  m.SetD(v);
  m.SetNZ0_16(v);
}

void ExecStore8(Machine& m, const RowInfo& r) {
  if (!IsMemoryMode(m.latch.AddrMode)) return UnsupportedCode(m, r);
  const std::uint8_t v = GetReg8(m, r.regKind);
  m.MemWrite8(EffectiveAddress(m.latch), v, TagData);
  m.SetNZ0_8(v);
}

void ExecStore16(Machine& m, const RowInfo& r) {
  if (!IsMemoryMode(m.latch.AddrMode)) return UnsupportedCode(m, r);
  std::uint16_t v;
  switch (r.regKind) {
    case RegX:
      v = m.cpu.X;
      break;
    case RegY:
      v = m.cpu.Y;
      break;
    case RegD:
      v = m.GetD();
      break;
    default:
      return UnsupportedCode(m, r);
  }
  m.MemWrite16(EffectiveAddress(m.latch), v);
  m.SetNZ0_16(v);
}

void ExecClear(Machine& m, const RowInfo& r) {
  const OperandLatch& l = m.latch;
  if (l.AddrMode == kInherent) {
    SetReg8(m, r.regKind, 0);
  } else if (IsMemoryMode(l.AddrMode)) {
    m.MemWrite8(EffectiveAddress(l), 0, TagData);
  } else {
    return UnsupportedCode(m, r);
  }
  SetNZVC(m, false, true, false, false);
}

void ExecTab(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  m.cpu.B = m.cpu.A;
  m.SetNZ0_8(m.cpu.B);
}

void ExecTba(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  m.cpu.A = m.cpu.B;
  m.SetNZ0_8(m.cpu.A);
}

void ExecTpa(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  m.cpu.A = m.cpu.CC;
}

void ExecTsx(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  m.cpu.X = static_cast<std::uint16_t>(m.cpu.SP + 1);
}

void ExecTxs(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  m.cpu.SP = static_cast<std::uint16_t>(m.cpu.X - 1);
}

void ExecXgdx(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  const std::uint16_t d = m.GetD();
  m.SetD(m.cpu.X);
  m.cpu.X = d;
}

void ExecCli(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  m.SetFlag(FlagI, false);
}

// "di" is decoded and deliberately does nothing: the interrupt mask stays.
void ExecNothing(Machine&, const RowInfo&) {}

}  // namespace hc11
