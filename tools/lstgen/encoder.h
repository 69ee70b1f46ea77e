// Turns one instruction into bytes. The row, the opcode and the operand
// layout all come from the core's instruction table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/lstgen/expression.h"

namespace hc11::lstgen {

struct EncodeRequest {
  std::string_view mnemonic;  // as written; matched without regard to case
  std::string_view operand;   // as written
  std::int32_t address = 0;   // of the instruction's first byte
  // Second pass: whether the first pass chose the direct form, so that the
  // instruction keeps its size. Unset in the first pass.
  std::optional<bool> direct;
  // Final pass: undefined symbols are errors and every range is checked.
  bool final = false;
};

struct Encoding {
  std::vector<std::uint8_t> bytes;
  int row = -1;
  bool direct = false;   // the direct form was chosen
  std::string mnemonic;  // the table's spelling
  std::string operand;   // the operand as the listing shows it
  std::string error;     // empty on success
  std::string warning;   // e.g. an instruction the simulator refuses
};

// The table's spelling of `mnemonic` (compared without regard to case), or
// nothing when no row has it.
std::optional<std::string_view> CanonicalMnemonic(std::string_view mnemonic);

Encoding Encode(const EncodeRequest& request, const SymbolLookup& lookup);

}  // namespace hc11::lstgen
