// Instruction decoding. The (prefix, opcode) -> row lookup and the operand
// layout of every entry are computed once from the instruction table, so a
// step only indexes arrays; the hot path is inline for the run loop.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

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

struct DecodeEntry {
  const RowInfo* info = nullptr;  // null for NoRow
  OperandKind kind = OperandKind::NoRow;
};

// Prefix bytes, in the order of DecodeTable::entries' first index (0 = none).
inline constexpr std::array<std::uint8_t, 4> kPrefixes = {0x00, 0x18, 0x1A, 0xCD};

struct DecodeTable {
  std::array<RowInfo, kInstructionRows> rows{};
  std::array<std::array<DecodeEntry, 256>, kPrefixes.size()> entries{};
  // For every byte: its index in kPrefixes when it is a prefix, else 0.
  std::array<std::uint8_t, 256> prefixSlot{};
};

// Built on first use, immutable afterwards.
const DecodeTable& Decoder();

// The row the decoder uses for (prefix, opcode); equal to FindRow for every
// prefix byte, without searching.
std::optional<int> LookupRow(std::uint8_t prefix, std::uint8_t opcode);

// The operand layout the decoder applies for (prefix, opcode).
OperandKind LookupOperandKind(std::uint8_t prefix, std::uint8_t opcode);

// "err inst" for an opcode without a row; PC addresses the opcode byte.
void ReportNoRow(Machine& m);

// One instruction at PC: fetch, latch the operands, advance PC, execute.
void DecodeAndExecute(Machine& m);

inline void DecodeAndExecute(Machine& m, const DecodeTable& table) {
  // Instruction and operand fetches read Memory directly, never the devices.
  const auto& mem = m.Memory;
  std::uint16_t pc = m.cpu.PC;
  std::uint8_t opcode = mem[pc];
  std::uint8_t prefix = 0;
  const std::uint8_t slot = table.prefixSlot[opcode];
  if (slot != 0) [[unlikely]] {
    prefix = opcode;
    opcode = mem[++pc];
  }
  OperandLatch& l = m.latch;
  l = OperandLatch{};
  l.prefix = prefix;
  l.opcode = opcode;
  const DecodeEntry& e = table.entries[slot][opcode];
  auto fetch = [&]() { return mem[++pc]; };
  auto fetchRelative = [&]() {
    const auto offset = static_cast<std::int8_t>(fetch());
    return static_cast<std::uint16_t>(pc + 1 + offset);
  };
  switch (e.kind) {
    case OperandKind::NoRow:
      m.cpu.PC = pc;
      return ReportNoRow(m);
    case OperandKind::Stay:
      m.cpu.PC = pc;
      l.row = e.info->index;
      m.DebugOnce = false;
      return e.info->exec(m, *e.info);
    case OperandKind::None:
      break;
    case OperandKind::Imm8:
      l.AddrMode = 1;
      l.imm8 = fetch();
      break;
    case OperandKind::Imm16: {
      l.AddrMode = 2;
      const std::uint8_t high = fetch();
      l.imm16 = static_cast<std::uint16_t>(high << 8 | fetch());
      break;
    }
    case OperandKind::Direct:
      l.AddrMode = 3;
      l.address = fetch();
      break;
    case OperandKind::Extended: {
      l.AddrMode = 3;
      const std::uint8_t high = fetch();
      l.address = static_cast<std::uint16_t>(high << 8 | fetch());
      break;
    }
    case OperandKind::IndexX:
      l.AddrMode = 5;
      l.indexedAddress = static_cast<std::uint16_t>(m.cpu.X + fetch());
      break;
    case OperandKind::IndexY:
      l.AddrMode = 5;
      l.indexedAddress = static_cast<std::uint16_t>(m.cpu.Y + fetch());
      break;
    case OperandKind::Relative:
      l.AddrMode = 4;
      l.branchTarget = fetchRelative();
      break;
    case OperandKind::Mask:
      l.mask = fetch();
      break;
    case OperandKind::DirectMask:
    case OperandKind::DirectMaskRel:
      l.AddrMode = 3;
      l.address = fetch();
      l.mask = fetch();
      if (e.kind == OperandKind::DirectMaskRel) l.branchTarget = fetchRelative();
      break;
    case OperandKind::IndexXMask:
    case OperandKind::IndexXMaskRel:
    case OperandKind::IndexYMask:
    case OperandKind::IndexYMaskRel: {
      const bool viaY = e.kind == OperandKind::IndexYMask || e.kind == OperandKind::IndexYMaskRel;
      l.AddrMode = 5;
      l.indexedAddress = static_cast<std::uint16_t>((viaY ? m.cpu.Y : m.cpu.X) + fetch());
      l.mask = fetch();
      if (e.kind == OperandKind::IndexXMaskRel || e.kind == OperandKind::IndexYMaskRel)
        l.branchTarget = fetchRelative();
      break;
    }
  }
  m.cpu.PC = static_cast<std::uint16_t>(pc + 1);
  l.row = e.info->index;
  m.DebugOnce = false;
  e.info->exec(m, *e.info);
}

}  // namespace hc11
