#include "workbench/memory_changes.h"

namespace hc11 {

void MemoryChanges::Stopped(std::span<const std::uint8_t> memory) {
  before_.swap(now_);
  now_.assign(memory.begin(), memory.end());
}

void MemoryChanges::Forget() {
  before_.clear();
  now_.clear();
}

bool MemoryChanges::Changed(std::uint32_t address) const {
  if (address >= before_.size() || address >= now_.size()) return false;
  return before_[address] != now_[address];
}

std::vector<MemoryChanges::Cell> MemoryChanges::DumpCells(std::uint32_t start, int lines) const {
  constexpr int kBytesPerLine = 16, kFirstByteColumn = 7, kByteWidth = 3;
  std::vector<Cell> cells;
  for (int line = 0; line < lines; ++line) {
    for (int k = 0; k < kBytesPerLine; ++k) {
      const std::uint32_t address = start + static_cast<std::uint32_t>(line * kBytesPerLine + k);
      if (Changed(address)) cells.push_back({line, kFirstByteColumn + k * kByteWidth});
    }
  }
  return cells;
}

}  // namespace hc11
