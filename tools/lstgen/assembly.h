// What assembling one source file produces: diagnostics, the listing lines,
// the memory image and the symbols.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hc11::lstgen {

struct Diagnostic {
  int line = 0;  // source line (for macro expansions: the line of the outermost call)
  std::string message;
  bool warning = false;
};

// One line of the listing before it is laid out in columns.
struct ListingEntry {
  std::optional<std::uint16_t> address;
  std::vector<std::uint8_t> bytes;
  bool continueBytes = false;  // bytes beyond the first line go on continuation lines
  int lineNumber = 0;          // 0: no line number
  int macroLevel = 0;          // 0: a source line; n: produced by a macro call nested n deep
  std::string source;          // the source field
};

// The 64 KiB the program occupies; every address is written at most once.
class MemoryImage {
 public:
  bool Used(std::uint16_t address) const { return used_[address]; }
  std::uint8_t At(std::uint16_t address) const { return bytes_[address]; }
  void Put(std::uint16_t address, std::uint8_t value) {
    bytes_[address] = value;
    used_[address] = true;
  }

 private:
  std::vector<std::uint8_t> bytes_ = std::vector<std::uint8_t>(0x10000);
  std::vector<bool> used_ = std::vector<bool>(0x10000);
};

struct Symbol {
  std::string name;
  std::int32_t value = 0;
};

struct Assembly {
  std::vector<Diagnostic> diagnostics;
  std::vector<ListingEntry> listing;
  MemoryImage image;
  std::vector<Symbol> symbols;  // sorted by name, letter case ignored

  bool Ok() const {
    for (const Diagnostic& d : diagnostics)
      if (!d.warning) return false;
    return true;
  }
};

Assembly Assemble(std::string_view source);

}  // namespace hc11::lstgen
