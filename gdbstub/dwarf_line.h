// The line-number program (.debug_line): which line of one file each
// instruction address comes from, one sequence per run of loaded bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hc11::gdb {

struct LineRow {
  std::uint16_t address = 0;
  std::uint32_t line = 0;
  bool entry = false;  // a function starts here: marked as the end of its (empty) prologue
};

struct AddressRun {
  std::uint16_t start = 0;
  std::uint32_t end = 0;  // one past the last byte (up to 0x10000)
};

// `directory` and `file` name the source; rows need not be sorted, and an
// address listed twice keeps its first line. Rows outside every run are left
// out.
std::string DebugLineSection(const std::string& directory, const std::string& file, std::vector<LineRow> rows,
                             const std::vector<AddressRun>& runs);

}  // namespace hc11::gdb
