// The fixed instruction table: one row per instruction form the simulator
// knows, in search order. The decoder, the executor, the flowchart's
// pseudo-code rewriting, the profile and the fixture assembler all read
// these rows; nothing else describes opcodes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/instruction_row.h"
#include "core/instruction_rows_chip.h"
#include "core/instruction_rows_designed.h"

namespace hc11 {

inline constexpr int kInstructionRows = kDesignedRowCount + kChipRowCount;

// The designed rows first, then the chip's: first match wins, so the chip's
// rows only take opcodes no designed row has.
inline constexpr std::array<Tinstx, kInstructionRows> InstructionTable = [] {
  std::array<Tinstx, kInstructionRows> all{};
  for (int i = 0; i < kDesignedRowCount; ++i) all[i] = rows::kDesignedRows[i];
  for (int i = 0; i < kChipRowCount; ++i) all[kDesignedRowCount + i] = rows::kChipRows[i];
  return all;
}();

constexpr bool IsDesignedRow(int row) {
  return row < kDesignedRowCount;
}

// The row's cycles for the operand alternative `alt`.
constexpr std::uint8_t CyclesOf(const Tinstx& row, std::size_t alt) {
  return alt < row.cycles.size() ? row.cycles[alt] : 0;
}

// What the chip does for a row, whatever the designed handler makes of it:
// the rows the design refuses, "ei"/"di" and the one-register handlers name
// the chip's operation here.
constexpr HandlerId ChipHandlerOf(const Tinstx& row) {
  using enum HandlerId;
  switch (row.handler) {
    case ExecNothing:
      return row.base == 0x0F ? ExecSei : ExecCli;
    case ExecComA:
    case ExecComB:
      return ExecCom;
    case ExecUnsupported:
      break;
    default:
      return row.handler;
  }
  constexpr struct {
    std::string_view mnemonic;
    HandlerId handler;
  } kRefused[] = {
      {"test", ExecIllegal}, {"clv", ExecClv},  {"clc", ExecClc},  {"bitA", ExecBit},
      {"bitB", ExecBit},     {"negA", ExecNeg}, {"negB", ExecNeg}, {"rolA", ExecRol},
      {"rolB", ExecRol},     {"rol", ExecRol},  {"ror", ExecRor},  {"brset", ExecBrset},
  };
  for (const auto& r : kRefused)
    if (r.mnemonic == row.mnemonic) return r.handler;
  return ExecIllegal;
}

// Whether the chip has an instruction in this slot of the row: a "." slot is
// none, nor is the extended slot of the Y-prefixed "inc", which only the
// designed table decodes.
constexpr bool ChipHasSlot(const Tinstx& row, std::size_t alt) {
  if (row.mask != 0 && (alt >= row.pattern.size() || row.pattern[alt] == '.')) return false;
  return !(row.prefix == 0x18 && row.base == 0x6C && alt == 1);
}

// How an instruction moves the program's flow, for the flowchart and the
// profile.
enum class FlowKind : std::uint8_t { None, Prefix, Call, Return, Branch, Jump };

constexpr FlowKind FlowOf(const Tinstx& row) {
  switch (ChipHandlerOf(row)) {
    case HandlerId::ExecCall:
    case HandlerId::ExecSwi:
      return FlowKind::Call;
    case HandlerId::ExecRts:
    case HandlerId::ExecRti:
      return FlowKind::Return;
    case HandlerId::ExecBranch:
    case HandlerId::ExecBrset:
    case HandlerId::ExecBrclr:
      return FlowKind::Branch;
    case HandlerId::ExecJump:
      return FlowKind::Jump;
    default:
      return FlowKind::None;
  }
}

// Names of the registers indexed by RegKind: "A", "B", "X", "Y", "SP", "PC", "CC", "D".
extern const std::array<std::string_view, 8> RegisterNames;

// First-match search in table order, exactly as the table is defined: a row
// matches when its prefix equals `prefix` and (opcode & ~mask) == base (and,
// for a chip row, the opcode is not in one of its "." slots).
// Linear; the decoder uses a precomputed lookup instead.
std::optional<int> FindRow(std::uint8_t prefix, std::uint8_t opcode);

}  // namespace hc11
