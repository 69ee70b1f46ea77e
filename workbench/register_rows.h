// The "Registres" pane: one row per register and one per condition flag,
// spelled out, each marked when the last stop changed it, and the in-place
// edit of a row.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/machine.h"

namespace hc11 {

struct RegisterRow {
  std::string name;   // "PC", "A", ..., "CC", then the flags "CC.S" ... "CC.C"
  std::string title;  // what the row stands for, for its tooltip
  std::string value;  // hexadecimal, or 0/1 for a flag
  bool changed = false;
};

// The condition code bits from bit 7 down.
inline constexpr std::array<const char*, 8> kFlagNames = {"S", "X", "H", "I", "N", "Z", "V", "C"};

// Rows for `now`; `changed` compares with `before` (the state at the stop
// before the last one).
std::vector<RegisterRow> RegisterRows(const CpuState& now, const CpuState& before);

// Writes `text` into the register or flag `name` ("D" writes A and B, "CC.Z"
// one bit of CC).
// Registers take hexadecimal (with or without "$") up to their width, flags
// 0 or 1. Returns an error message, empty when the value was written.
std::string SetRegisterText(CpuState& cpu, std::string_view name, std::string_view text);

}  // namespace hc11
