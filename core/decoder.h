// Instruction decoding. The (prefix, opcode) -> row lookup, the operand layout
// and the specialised handler of every entry are worked out once from the
// instruction table, so a step only indexes arrays.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/handlers.h"
#include "core/instruction_table.h"
#include "core/machine.h"

namespace hc11 {

// How the operand bytes after an opcode are laid out for one table entry.
enum class OperandKind : std::uint8_t {
  NoRow,     // no row: "err inst", nothing executes
  Stay,      // the row's pattern has no slot for this opcode: PC stays on the opcode
  None,      // nothing to fetch (inherent, refused "." slot, undecodable pattern)
  Imm8,      // "i"
  Imm16,     // "j"
  Direct,    // "d"
  Extended,  // "h"
  IndexX,    // "X"
  IndexY,    // "Y"
  Relative,  // "r"
  Mask,      // "m" alone
  DirectMask,
  IndexXMask,
  IndexYMask,
  DirectMaskRel,
  IndexXMaskRel,
  IndexYMaskRel,
};

constexpr OperandKind KindOfChar(char c) {
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

// The operand layout of `row` for alternative `alt`, that is (opcode & mask)
// >> 4 of an opcode it matches (always 0 for a row without mask bits).
constexpr OperandKind KindFor(const Tinstx& row, std::size_t alt) {
  const std::string_view p = row.pattern;
  if (row.mask != 0) {
    // The pattern lists one alternative per value of the masked bits.
    if (p.size() < alt + 1) return OperandKind::Stay;
    return KindOfChar(p[alt]);
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
  constexpr struct {
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

// The latch's AddrMode for an operand layout.
constexpr std::uint8_t AddrModeOf(OperandKind kind) {
  switch (kind) {
    case OperandKind::Imm8:
      return 1;
    case OperandKind::Imm16:
      return 2;
    case OperandKind::Direct:
    case OperandKind::Extended:
    case OperandKind::DirectMask:
    case OperandKind::DirectMaskRel:
      return 3;
    case OperandKind::Relative:
      return 4;
    case OperandKind::IndexX:
    case OperandKind::IndexY:
    case OperandKind::IndexXMask:
    case OperandKind::IndexYMask:
    case OperandKind::IndexXMaskRel:
    case OperandKind::IndexYMaskRel:
      return 5;
    default:
      return 0;
  }
}

// One instruction's work once its row is known: fetches the operands after
// the opcode at `pc`, moves PC past them and executes.
using StepFn = void (*)(Machine& m, std::uint16_t pc);

struct DecodeEntry {
  const RowInfo* info = nullptr;  // null for NoRow
  OperandKind kind = OperandKind::NoRow;
  StepFn exec = nullptr;  // null when the row's handler refuses this form
};

// Prefix bytes, in the order of DecodeTable::entries' first index (0 = none).
inline constexpr std::array<std::uint8_t, 4> kPrefixes = {0x00, 0x18, 0x1A, 0xCD};

struct DecodeTable {
  std::array<RowInfo, kInstructionRows> rows{};
  std::array<std::array<DecodeEntry, 256>, kPrefixes.size()> entries{};
  // For every byte: its index in kPrefixes when it is a prefix, else 0.
  std::array<std::uint8_t, 256> prefixSlot{};
  // What a step runs for the byte at PC, by [slot * 256 + byte]: the entry's
  // handler, the next lookup for a prefix byte, or the full decode that
  // reports a refusal.
  std::array<StepFn, kPrefixes.size() * 256> steps{};
};

// Built on first use, immutable afterwards: the designed mode's table and
// the exact mode's, where every row runs as the chip does and only the
// chip's own opcodes have a row.
const DecodeTable& Decoder();
const DecodeTable& ExactDecoder();
inline const DecodeTable& DecoderFor(const Machine& m) {
  return m.Exact ? ExactDecoder() : Decoder();
}

// The specialised handler of `row` for operand alternative `alt`; null when the
// handler refuses that form.
StepFn RowStep(int row, std::size_t alt);

// The chip's handler of `row` for `alt`, in the exact mode or (chip rows
// only) in the designed one; null for a slot that is no instruction.
StepFn ChipRowStep(int row, std::size_t alt, bool exact);

// The row the decoder uses for (prefix, opcode); equal to FindRow for every
// prefix byte, without searching.
std::optional<int> LookupRow(std::uint8_t prefix, std::uint8_t opcode);

// The operand layout the decoder applies for (prefix, opcode).
OperandKind LookupOperandKind(std::uint8_t prefix, std::uint8_t opcode);

// "err inst" for an opcode without a row; PC addresses the opcode byte.
void ReportNoRow(Machine& m);

// One instruction at PC with the operand latch filled as it is decoded: fetch,
// latch the operands, advance PC, execute or refuse.
void DecodeAndExecute(Machine& m);  // with the machine's mode's table
void DecodeAndExecute(Machine& m, const DecodeTable& table);

}  // namespace hc11
