#include "core/decoder.h"

#include <string_view>

#include "core/text_util.h"

namespace hc11 {

namespace {

BranchCond ConditionOf(std::string_view mnemonic) {
  struct Named {
    std::string_view name;
    BranchCond cond;
  };
  static constexpr Named kConditions[] = {
      {"bcs", BranchCond::Cs}, {"bcc", BranchCond::Cc}, {"beq", BranchCond::Eq},
      {"bne", BranchCond::Ne}, {"bge", BranchCond::Ge}, {"bhi", BranchCond::Hi},
      {"blt", BranchCond::Lt}, {"ble", BranchCond::Le}, {"bls", BranchCond::Ls},
  };
  for (const Named& n : kConditions)
    if (n.name == mnemonic) return n.cond;
  return BranchCond::None;
}

OperandKind KindOfChar(char c) {
  switch (c) {
    case 'i':
      return OperandKind::Imm8;
    case 'j':
      return OperandKind::Imm16;
    case 'd':
      return OperandKind::Direct;
    case 'h':
      return OperandKind::Extended;
    case 'X':
      return OperandKind::IndexX;
    case 'Y':
      return OperandKind::IndexY;
    case 'r':
      return OperandKind::Relative;
    case 'm':
      return OperandKind::Mask;
    default:
      return OperandKind::None;
  }
}

// The operand layout of `row` for one of the opcodes it matches.
OperandKind KindFor(const Tinstx& row, std::uint8_t opcode) {
  const std::string_view p = row.pattern;
  if (row.mask != 0) {
    // The pattern lists one alternative per value of the masked bits.
    const std::size_t k = static_cast<std::size_t>((opcode & row.mask) >> 4);
    if (p.size() < k + 1) return OperandKind::Stay;
    return KindOfChar(p[k]);
  }
  if (p.empty()) return OperandKind::None;
  if (p.size() == 1) {
    switch (p[0]) {
      case 'X':
        return OperandKind::IndexX;
      case 'Y':
        return OperandKind::IndexY;
      case 'h':
        return OperandKind::Extended;
      case 'r':
        return OperandKind::Relative;
      default:
        return OperandKind::None;
    }
  }
  static constexpr struct {
    std::string_view pattern;
    OperandKind kind;
  } kMulti[] = {
      {"Xm", OperandKind::IndexXMask},     {"Ym", OperandKind::IndexYMask},
      {"dm", OperandKind::DirectMask},     {"Xmr", OperandKind::IndexXMaskRel},
      {"Ymr", OperandKind::IndexYMaskRel}, {"dmr", OperandKind::DirectMaskRel},
  };
  for (const auto& m : kMulti)
    if (m.pattern == p) return m.kind;
  return OperandKind::None;
}

// Fills the table in place: the entries point into its own row array.
void BuildDecodeTable(DecodeTable& t) {
  for (int i = 0; i < kInstructionRows; ++i) {
    const Tinstx& row = InstructionTable[i];
    t.rows[i] = RowInfo{HandlerFor(row.handler), static_cast<std::uint8_t>(i), row.regKind,
                        ConditionOf(row.mnemonic)};
  }
  for (std::size_t s = 1; s < kPrefixes.size(); ++s)
    t.prefixSlot[kPrefixes[s]] = static_cast<std::uint8_t>(s);

  // Rows are laid down from the last to the first, so where two rows cover the
  // same opcode the earlier one ends up on top: the first match wins.
  for (int i = kInstructionRows - 1; i >= 0; --i) {
    const Tinstx& row = InstructionTable[i];
    std::size_t slot = kPrefixes.size();
    for (std::size_t s = 0; s < kPrefixes.size(); ++s)
      if (kPrefixes[s] == row.prefix) slot = s;
    if (slot == kPrefixes.size()) continue;  // a prefix the decoder never produces
    // Every opcode equal to base outside the mask bits: walk the subsets of the mask.
    const std::uint8_t mask = row.mask;
    std::uint8_t sub = 0;
    do {
      const auto opcode = static_cast<std::uint8_t>((row.base & ~mask) | sub);
      t.entries[slot][opcode] = DecodeEntry{&t.rows[i], KindFor(row, opcode)};
      sub = static_cast<std::uint8_t>((sub - mask) & mask);
    } while (sub != 0);
  }
}

std::size_t SlotOf(std::uint8_t prefix) {
  for (std::size_t s = 0; s < kPrefixes.size(); ++s)
    if (kPrefixes[s] == prefix) return s;
  return kPrefixes.size();
}

}  // namespace

const DecodeTable& Decoder() {
  struct Built {
    DecodeTable table;
    Built() { BuildDecodeTable(table); }
  };
  static const Built built;
  return built.table;
}

std::optional<int> LookupRow(std::uint8_t prefix, std::uint8_t opcode) {
  const std::size_t slot = SlotOf(prefix);
  if (slot == kPrefixes.size()) return std::nullopt;
  const DecodeEntry& e = Decoder().entries[slot][opcode];
  if (e.info == nullptr) return std::nullopt;
  return e.info->index;
}

OperandKind LookupOperandKind(std::uint8_t prefix, std::uint8_t opcode) {
  const std::size_t slot = SlotOf(prefix);
  if (slot == kPrefixes.size()) return OperandKind::NoRow;
  return Decoder().entries[slot][opcode].kind;
}

void ReportNoRow(Machine& m) {
  m.ReportError(Format("%s %x %x ", "err inst ", m.cpu.PC, m.latch.opcode));
}

void UnsupportedCode(Machine& m, const RowInfo& row) {
  const Tinstx& t = InstructionTable[row.index];
  m.ReportError(Format("Erreur code %4.4x %x %.*s %.*s", m.cpu.PC, m.latch.opcode,
                       static_cast<int>(t.mnemonic.size()), t.mnemonic.data(),
                       static_cast<int>(t.pattern.size()), t.pattern.data()));
}

void DecodeAndExecute(Machine& m) {
  DecodeAndExecute(m, Decoder());
}

Handler HandlerFor(HandlerId id) {
  switch (id) {
    case HandlerId::ExecIdiv:
      return ExecIdiv;
    case HandlerId::ExecFdiv:
      return ExecFdiv;
    case HandlerId::ExecCli:
      return ExecCli;
    case HandlerId::ExecDec8:
      return ExecDec8;
    case HandlerId::ExecDex:
      return ExecDex;
    case HandlerId::ExecTab:
      return ExecTab;
    case HandlerId::ExecLoad:
      return ExecLoad;
    case HandlerId::ExecLoadD:
      return ExecLoadD;
    case HandlerId::ExecStore16:
      return ExecStore16;
    case HandlerId::ExecNothing:
      return ExecNothing;
    case HandlerId::ExecCall:
      return ExecCall;
    case HandlerId::ExecJump:
      return ExecJump;
    case HandlerId::ExecBranch:
      return ExecBranch;
    case HandlerId::ExecBrset:
      return ExecBrset;
    case HandlerId::ExecBrclr:
      return ExecBrclr;
    case HandlerId::ExecClear:
      return ExecClear;
    case HandlerId::ExecMul:
      return ExecMul;
    case HandlerId::ExecComA:
      return ExecComA;
    case HandlerId::ExecComB:
      return ExecComB;
    case HandlerId::ExecAbx:
      return ExecAbx;
    case HandlerId::ExecTest:
      return ExecTest;
    case HandlerId::ExecPush:
      return ExecPush;
    case HandlerId::ExecPull:
      return ExecPull;
    case HandlerId::ExecInc8:
      return ExecInc8;
    case HandlerId::ExecInx:
      return ExecInx;
    case HandlerId::ExecIns:
      return ExecIns;
    case HandlerId::ExecDes:
      return ExecDes;
    case HandlerId::ExecBclr:
      return ExecBclr;
    case HandlerId::ExecBset:
      return ExecBset;
    case HandlerId::ExecCompare8:
      return ExecCompare8;
    case HandlerId::ExecCompare16:
      return ExecCompare16;
    case HandlerId::ExecRts:
      return ExecRts;
    case HandlerId::ExecRti:
      return ExecRti;
    case HandlerId::ExecTba:
      return ExecTba;
    case HandlerId::ExecTpa:
      return ExecTpa;
    case HandlerId::ExecTsx:
      return ExecTsx;
    case HandlerId::ExecTxs:
      return ExecTxs;
    case HandlerId::ExecLsr:
      return ExecLsr;
    case HandlerId::ExecLsl:
      return ExecLsl;
    case HandlerId::ExecLsrD:
      return ExecLsrD;
    case HandlerId::ExecLslD:
      return ExecLslD;
    case HandlerId::ExecAba:
      return ExecAba;
    case HandlerId::ExecOr:
      return ExecOr;
    case HandlerId::ExecAnd:
      return ExecAnd;
    case HandlerId::ExecEor:
      return ExecEor;
    case HandlerId::ExecAdd:
      return ExecAdd;
    case HandlerId::ExecAddD:
      return ExecAddD;
    case HandlerId::ExecAdc:
      return ExecAdc;
    case HandlerId::ExecSub:
      return ExecSub;
    case HandlerId::ExecSubD:
      return ExecSubD;
    case HandlerId::ExecSbc:
      return ExecSbc;
    case HandlerId::ExecXgdx:
      return ExecXgdx;
    case HandlerId::ExecStore8:
      return ExecStore8;
    case HandlerId::ExecUnsupported:
    case HandlerId::Count:
      break;
  }
  return UnsupportedCode;
}

}  // namespace hc11
