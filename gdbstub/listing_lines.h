// Where each assembled line of a listing file lies: its address, its line in
// the listing file itself and the line of the assembler source it came from,
// for the line tables and the call-frame walk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "listing/listing_types.h"

namespace hc11::gdb {

struct ListedLine {
  std::uint16_t address = 0;
  std::uint32_t listingLine = 0;  // 1-based line of the listing file
  std::uint32_t sourceLine = 0;   // 1-based line of the assembler source; 0 when unknown
  bool data = false;              // "db", "dw", "fill" or "ds": bytes, not an instruction
};

// A reservation ("ds") with a label: a variable of the program.
struct ListedVariable {
  std::string name;
  std::uint16_t address = 0;
  std::uint32_t size = 1;  // bytes reserved (1 when the count cannot be read)
};

// Every line before the symbol section that shows an address and code bytes,
// in file order. Macro expansion lines carry the source line of the call.
std::vector<ListedLine> ReadListedLines(std::string_view listingText);

// The labelled "ds" lines before the symbol section; a count written as a
// constant's name is looked up in `constants`.
std::vector<ListedVariable> ReadListedVariables(std::string_view listingText, const TConstantList& constants);

}  // namespace hc11::gdb
