// Which bytes changed between the two last stops, for the dump's highlight.
// One copy of the memory per stop; nothing is watched while the program runs.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace hc11 {

class MemoryChanges {
 public:
  // A stop: the copy taken at the previous stop becomes the reference.
  void Stopped(std::span<const std::uint8_t> memory);
  // Init or a new program: nothing counts as changed until the next stop.
  void Forget();
  bool Changed(std::uint32_t address) const;

  // The dump's cells to highlight: for each line from `start` (16 bytes a
  // line, `lines` lines), the 0-based columns of the changed bytes' two hex
  // digits. Columns follow the dump line layout "aaaa  " + " hh" per byte.
  struct Cell {
    int line = 0;
    int column = 0;
  };
  std::vector<Cell> DumpCells(std::uint32_t start, int lines) const;

 private:
  std::vector<std::uint8_t> before_, now_;
};

}  // namespace hc11
