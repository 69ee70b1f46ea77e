#include "core/decoder.h"

#include <string_view>

#include "core/text_util.h"

namespace hc11 {

namespace {

template <bool kExact>
const DecodeTable& TableOf() {
  return kExact ? ExactDecoder() : Decoder();
}

// A prefix byte: the opcode after it is looked up in the prefix's own slot.
template <std::size_t Slot, bool kExact>
void PrefixStep(Machine& m, std::uint16_t pc) {
  static const DecodeTable& table = TableOf<kExact>();
  const auto opcodeAt = static_cast<std::uint16_t>(pc + 1);
  table.steps[Slot * 256 + m.Memory[opcodeAt]](m, opcodeAt);
}

// No row, or a form the handler refuses: the full decode reports it with the
// latch filled, exactly as the window shows it.
template <bool kExact>
void RefusedStep(Machine& m, std::uint16_t) {
  DecodeAndExecute(m, TableOf<kExact>());
}

// Whether the table has an entry for the row's slot: the exact table only
// for the chip's opcodes, the designed one for every slot of its own rows
// (refused ones included) and for the chip's rows' real opcodes.
bool HasEntry(int row, std::size_t alt, bool exact) {
  return (!exact && IsDesignedRow(row)) || ChipHasSlot(InstructionTable[row], alt);
}

// Fills the table in place: the entries point into its own row array.
template <bool kExact>
void BuildDecodeTable(DecodeTable& t) {
  for (int i = 0; i < kInstructionRows; ++i) t.rows[i] = RowInfo{static_cast<std::uint8_t>(i)};
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
      const std::size_t alt = static_cast<std::size_t>((opcode & mask) >> 4);
      if (HasEntry(i, alt, kExact)) {
        const StepFn exec = kExact ? ChipRowStep(i, alt, true) : RowStep(i, alt);
        t.entries[slot][opcode] = DecodeEntry{&t.rows[i], KindFor(row, alt), exec};
      }
      sub = static_cast<std::uint8_t>((sub - mask) & mask);
    } while (sub != 0);
  }

  for (std::size_t s = 0; s < kPrefixes.size(); ++s) {
    for (std::size_t op = 0; op < 256; ++op) {
      StepFn& step = t.steps[s * 256 + op];
      step = t.entries[s][op].exec != nullptr ? t.entries[s][op].exec : RefusedStep<kExact>;
      if (s != 0 || t.prefixSlot[op] == 0) continue;
      static constexpr StepFn kPrefixSteps[] = {nullptr, PrefixStep<1, kExact>, PrefixStep<2, kExact>,
                                                PrefixStep<3, kExact>};
      step = kPrefixSteps[t.prefixSlot[op]];
    }
  }
}

std::size_t SlotOf(std::uint8_t prefix) {
  for (std::size_t s = 0; s < kPrefixes.size(); ++s)
    if (kPrefixes[s] == prefix) return s;
  return kPrefixes.size();
}

}  // namespace

namespace {

// Built once, out of line, so that the accessors stay small.
template <bool kExact>
struct BuiltTable {
  DecodeTable table;
  [[gnu::noinline]] BuiltTable() { BuildDecodeTable<kExact>(table); }
};

}  // namespace

const DecodeTable& Decoder() {
  static const BuiltTable<false> built;
  return built.table;
}

const DecodeTable& ExactDecoder() {
  static const BuiltTable<true> built;
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
  m.ReportError(ErrorKind::IllegalInstruction, Format("%s %x %x ", "err inst ", m.cpu.PC, m.latch.opcode));
}

void UnsupportedCode(Machine& m, const RowInfo& row) {
  const Tinstx& t = InstructionTable[row.index];
  m.ReportError(ErrorKind::NotInterpreted, Format("Erreur code %4.4x %x %.*s %.*s", m.cpu.PC, m.latch.opcode,
                                                  static_cast<int>(t.mnemonic.size()), t.mnemonic.data(),
                                                  static_cast<int>(t.pattern.size()), t.pattern.data()));
}

void DecodeAndExecute(Machine& m) {
  DecodeAndExecute(m, DecoderFor(m));
}

void DecodeAndExecute(Machine& m, const DecodeTable& table) {
  // Instruction and operand fetches read Memory directly, never the devices.
  const auto& mem = m.Memory;
  std::uint16_t pc = m.cpu.PC;
  std::uint8_t opcode = mem[pc];
  std::uint8_t prefix = 0;
  const std::uint8_t slot = table.prefixSlot[opcode];
  if (slot != 0) {
    prefix = opcode;
    opcode = mem[++pc];
  }
  const std::uint16_t opcodeAt = pc;
  OperandLatch& l = m.latch;
  l = OperandLatch{};
  l.prefix = prefix;
  l.opcode = opcode;
  const DecodeEntry& e = table.entries[slot][opcode];
  if (e.kind == OperandKind::NoRow) {
    if (TakeIllegalOpcodeTrap(m, m.cpu.PC)) return;
    m.cpu.PC = pc;
    return ReportNoRow(m);
  }
  auto fetch = [&]() { return mem[++pc]; };
  auto fetchRelative = [&]() {
    const auto offset = static_cast<std::int8_t>(fetch());
    return static_cast<std::uint16_t>(pc + 1 + offset);
  };
  l.AddrMode = AddrModeOf(e.kind);
  switch (e.kind) {
    case OperandKind::Imm8:
      l.imm8 = fetch();
      break;
    case OperandKind::Imm16: {
      const std::uint8_t high = fetch();
      l.imm16 = static_cast<std::uint16_t>(high << 8 | fetch());
      break;
    }
    case OperandKind::Direct:
      l.address = fetch();
      break;
    case OperandKind::Extended: {
      const std::uint8_t high = fetch();
      l.address = static_cast<std::uint16_t>(high << 8 | fetch());
      break;
    }
    case OperandKind::IndexX:
      l.indexedAddress = static_cast<std::uint16_t>(m.cpu.X + fetch());
      break;
    case OperandKind::IndexY:
      l.indexedAddress = static_cast<std::uint16_t>(m.cpu.Y + fetch());
      break;
    case OperandKind::Relative:
      l.branchTarget = fetchRelative();
      break;
    case OperandKind::Mask:
      l.mask = fetch();
      break;
    case OperandKind::DirectMask:
    case OperandKind::DirectMaskRel:
      l.address = fetch();
      l.mask = fetch();
      if (e.kind == OperandKind::DirectMaskRel) l.branchTarget = fetchRelative();
      break;
    case OperandKind::IndexXMask:
    case OperandKind::IndexXMaskRel:
    case OperandKind::IndexYMask:
    case OperandKind::IndexYMaskRel: {
      const bool viaY = e.kind == OperandKind::IndexYMask || e.kind == OperandKind::IndexYMaskRel;
      l.indexedAddress = static_cast<std::uint16_t>((viaY ? m.cpu.Y : m.cpu.X) + fetch());
      l.mask = fetch();
      if (e.kind == OperandKind::IndexXMaskRel || e.kind == OperandKind::IndexYMaskRel)
        l.branchTarget = fetchRelative();
      break;
    }
    case OperandKind::NoRow:
    case OperandKind::Stay:  // the step table refuses to build with such a row
    case OperandKind::None:
      break;
  }
  m.cpu.PC = static_cast<std::uint16_t>(pc + 1);
  l.row = e.info->index;
  if (e.exec == nullptr) return UnsupportedCode(m, *e.info);
  // The handler fetches the same bytes again and leaves PC where it is now.
  e.exec(m, opcodeAt);
}

}  // namespace hc11
