// What the ELF file of a program holds: the bytes its code image loads and
// the labels of its listing.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

#include "core/messages.h"
#include "gdbstub/elf_writer.h"
#include "listing/listing_types.h"

namespace hc11::gdb {

struct CodeImage {
  std::array<std::uint8_t, 65536> bytes{};
  std::bitset<65536> loaded;
};

// Reads the Intel HEX file through the simulator's own loader; false (with
// the loader's message) when it does not load completely.
bool ReadCodeImage(const std::string& hexFile, CodeImage& image, Messages& messages);

// Sections: each run of loaded bytes (".text", then ".text.1", ...).
// Symbols: every label of the listing's symbol section and line list, once.
// A label where the listing placed an instruction is code: a function when
// the function list names it or the program calls it (its size reaches the
// next function, the first data line or the end of its section), a plain
// code label otherwise. Any other label is a data object at its address; one
// on a data line ("db", "dw", "fill", "ds") of the code image is sized up to
// the next label or instruction.
ElfImage ProgramElfImage(const CodeImage& code, const Listing& listing, std::uint16_t entry);

}  // namespace hc11::gdb
