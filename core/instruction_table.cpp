#include "core/instruction_table.h"

namespace hc11 {

const std::array<std::string_view, 8> RegisterNames = {"A", "B", "X", "Y", "SP", "PC", "CC", "D"};

std::optional<int> FindRow(std::uint8_t prefix, std::uint8_t opcode) {
  for (int i = 0; i < kInstructionRows; ++i) {
    const Tinstx& row = InstructionTable[i];
    if (row.prefix != prefix || static_cast<std::uint8_t>(opcode & ~row.mask) != row.base) continue;
    // A chip row's "." slot is no instruction at all, not a refused form.
    if (!IsDesignedRow(i) && !ChipHasSlot(row, static_cast<std::size_t>((opcode & row.mask) >> 4))) continue;
    return i;
  }
  return std::nullopt;
}

}  // namespace hc11
