// Shifts, bit set/clear and the two divisions.
#include "core/exec_common.h"

namespace hc11 {

using namespace exec;

namespace {

// Shifts a register byte, or a memory byte in place without device reaction.
// `left` selects the direction; the caller's flag rule differs only in N.
void Shift8(Machine& m, const RowInfo& r, bool left) {
  const OperandLatch& l = m.latch;
  std::uint8_t* cell = nullptr;
  std::uint8_t old;
  if (l.AddrMode == kInherent) {
    old = GetReg8(m, r.regKind);
  } else if (l.AddrMode == kAddress) {
    m.NoteRead(l.address);
    cell = &m.Memory[l.address];
    old = *cell;
  } else {
    return UnsupportedCode(m, r);
  }
  const bool carry = left ? (old & 0x80) != 0 : (old & 0x01) != 0;
  const auto v = static_cast<std::uint8_t>(left ? old << 1 : old >> 1);
  if (cell != nullptr) {
    *cell = v;
    m.NoteWrite(l.address, old, v);
  } else {
    SetReg8(m, r.regKind, v);
  }
  const bool n = left && (v & 0x80) != 0;
  SetNZVC(m, n, v == 0, n != carry, carry);
}

void ShiftD(Machine& m, const RowInfo& r, bool left) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  const std::uint16_t old = m.GetD();
  const bool carry = left ? (old & 0x8000) != 0 : (old & 0x0001) != 0;
  const auto v = static_cast<std::uint16_t>(left ? old << 1 : old >> 1);
  m.SetD(v);
  const bool n = left && (v & 0x8000) != 0;
  SetNZVC(m, n, v == 0, n != carry, carry);
}

// Read directly, written through the hooks so the devices see the change.
void ChangeBits(Machine& m, const RowInfo& r, bool set) {
  const OperandLatch& l = m.latch;
  if (!IsMemoryMode(l.AddrMode)) return UnsupportedCode(m, r);
  const std::uint16_t a = EffectiveAddress(l);
  m.NoteRead(a);
  const std::uint8_t old = m.Memory[a];
  m.MemWrite8(a, static_cast<std::uint8_t>(set ? old | l.mask : old & ~l.mask), TagData);
}

}  // namespace

void ExecLsl(Machine& m, const RowInfo& r) {
  Shift8(m, r, true);
}
void ExecLsr(Machine& m, const RowInfo& r) {
  Shift8(m, r, false);
}
void ExecLslD(Machine& m, const RowInfo& r) {
  ShiftD(m, r, true);
}
void ExecLsrD(Machine& m, const RowInfo& r) {
  ShiftD(m, r, false);
}
void ExecBset(Machine& m, const RowInfo& r) {
  ChangeBits(m, r, true);
}
void ExecBclr(Machine& m, const RowInfo& r) {
  ChangeBits(m, r, false);
}

void ExecIdiv(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
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

void ExecFdiv(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
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

}  // namespace hc11
