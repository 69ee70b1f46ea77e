// Jumps, branches, bit-test branches, calls, returns, push/pull and the
// periodic interrupt's entry.
#include "core/exec_common.h"
#include "core/text_util.h"

namespace hc11 {

using namespace exec;

bool EndOfCodeCheck(Machine& m) {
  if (m.cpu.PC <= m.CodeEnd) [[likely]]
    return false;
  m.ReportError(Format("adr>fin %4.4X", m.cpu.PC));
  return true;
}

void TransferTo(Machine& m, std::uint16_t target) {
  m.cpu.PC = target;
  EndOfCodeCheck(m);
  ++m.CycleCount;
}

void InterruptEntry(Machine& m, std::uint16_t vector) {
  m.Push16(m.cpu.PC, TagReturnAddress);
  m.Push16(m.cpu.Y, TagData);
  m.Push16(m.cpu.X, TagData);
  m.Push8(m.cpu.A, TagData);
  m.Push8(m.cpu.B, TagData);
  m.Push8(m.cpu.CC, TagData);
  ++m.CycleCount;
  TransferTo(m, vector);
}

void ExecJump(Machine& m, const RowInfo& r) {
  const OperandLatch& l = m.latch;
  if (l.AddrMode == kAddress) {
    TransferTo(m, l.address);
  } else if (l.AddrMode == kRelative) {
    TransferTo(m, l.branchTarget);
  } else {
    UnsupportedCode(m, r);
  }
}

namespace {

bool ConditionHolds(BranchCond cond, std::uint8_t cc) {
  const bool c = cc & FlagC, z = cc & FlagZ, n = cc & FlagN, v = cc & FlagV;
  switch (cond) {
    case BranchCond::Cs:
      return c;
    case BranchCond::Cc:
      return !c;
    case BranchCond::Eq:
      return z;
    case BranchCond::Ne:
      return !z;
    case BranchCond::Ge:
      return n == v;
    case BranchCond::Hi:
      return !c && !z;
    case BranchCond::Lt:
      return n != v;
    case BranchCond::Le:
      return z || n != v;
    case BranchCond::Ls:
      return c || z;
    case BranchCond::None:
      break;
  }
  return false;
}

// BRSET (every masked bit set) and BRCLR (every masked bit clear); the byte
// is read through the hooks.
void BitBranch(Machine& m, const RowInfo& r, bool wantSet) {
  const OperandLatch& l = m.latch;
  if (!IsMemoryMode(l.AddrMode)) return UnsupportedCode(m, r);
  const std::uint8_t byte = m.MemRead8(EffectiveAddress(l));
  const std::uint8_t tested = wantSet ? static_cast<std::uint8_t>(~byte) : byte;
  if ((tested & l.mask) == 0) TransferTo(m, l.branchTarget);
}

}  // namespace

void ExecBranch(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kRelative || r.cond == BranchCond::None) return UnsupportedCode(m, r);
  if (ConditionHolds(r.cond, m.cpu.CC)) TransferTo(m, m.latch.branchTarget);
}

void ExecBrset(Machine& m, const RowInfo& r) {
  BitBranch(m, r, true);
}
void ExecBrclr(Machine& m, const RowInfo& r) {
  BitBranch(m, r, false);
}

void ExecCall(Machine& m, const RowInfo& r) {
  const OperandLatch& l = m.latch;
  std::uint16_t target;
  switch (l.AddrMode) {
    case kRelative:
      target = l.branchTarget;
      break;
    case kAddress:
      target = l.address;
      break;
    case kIndexed:
      target = l.indexedAddress;
      break;
    default:
      return UnsupportedCode(m, r);
  }
  // F8 turns the first call of its step into a run to the return address.
  if (m.StepOverCalls && !m.StepOverArmed) {
    m.RunTarget = m.cpu.PC;
    m.RunMode = u's';
    m.StepOverArmed = true;
  }
  m.Push16(m.cpu.PC, TagReturnAddress);
  TransferTo(m, target);
}

namespace {
// Ends a "Remonter du SP" run once the stack is back at its starting level.
void CheckReturnUp(Machine& m) {
  if (m.RunMode == u'u' && m.cpu.SP >= m.SavedSP) m.RunMode = u'q';
}
}  // namespace

void ExecRts(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  m.cpu.PC = m.Pull16();
  ++m.CycleCount;
  CheckReturnUp(m);
}

void ExecRti(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  m.cpu.CC = m.Pull8();
  m.cpu.B = m.Pull8();
  m.cpu.A = m.Pull8();
  m.cpu.X = m.Pull16();
  m.cpu.Y = m.Pull16();
  m.cpu.PC = m.Pull16();
  ++m.CycleCount;
  CheckReturnUp(m);
}

void ExecPush(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  switch (r.regKind) {
    case RegA:
      return m.Push8(m.cpu.A, TagData);
    case RegB:
      return m.Push8(m.cpu.B, TagData);
    case RegX:
      return m.Push16(m.cpu.X, TagData);
    default:
      return UnsupportedCode(m, r);
  }
}

void ExecPull(Machine& m, const RowInfo& r) {
  if (m.latch.AddrMode != kInherent) return UnsupportedCode(m, r);
  switch (r.regKind) {
    case RegA:
      m.cpu.A = m.Pull8();
      return;
    case RegB:
      m.cpu.B = m.Pull8();
      return;
    case RegX:
      m.cpu.X = m.Pull16();
      return;
    default:
      return UnsupportedCode(m, r);
  }
}

}  // namespace hc11
