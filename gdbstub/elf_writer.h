// A small ELF32 writer for the 68HC11 (EM_68HC11, big-endian, executable):
// the code image as loadable, executable sections and the program's labels as
// symbols, so that GDB can name addresses and set breakpoints by name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hc11::gdb {

inline constexpr std::uint16_t kElfMachine68hc11 = 70;

struct ElfSection {
  std::string name;
  std::uint16_t address = 0;
  std::vector<std::uint8_t> bytes;
};

enum class ElfSymbolType : std::uint8_t { NoType = 0, Object = 1, Function = 2 };

struct ElfSymbol {
  std::string name;
  std::uint16_t address = 0;
  std::uint32_t size = 0;
  ElfSymbolType type = ElfSymbolType::NoType;
};

// A section that is not loaded (the debugging information).
struct ElfInfoSection {
  std::string name;
  std::string bytes;
};

// RAM the program reserves (its variables): allocated, without bytes in the
// file. GDB trusts a variable at address 0 only inside such a section.
struct ElfReservation {
  std::uint16_t address = 0;
  std::uint32_t size = 0;
};

struct ElfImage {
  std::uint16_t entry = 0;
  std::vector<ElfSection> sections;  // ascending, non-overlapping
  std::vector<ElfInfoSection> infoSections;
  std::optional<ElfReservation> reservation;  // written as ".bss"
  std::vector<ElfSymbol> symbols;
};

// The file's bytes. A symbol inside a section refers to it; any other symbol
// is absolute.
std::string WriteElf(const ElfImage& image);

}  // namespace hc11::gdb
