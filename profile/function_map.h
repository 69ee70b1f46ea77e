// Which function each code address belongs to: a function of the program's
// function list runs from its entry (the address of its label) up to the next
// function's entry in address order; the last one runs to the last address
// the listing placed. Addresses outside every range are "hors fonction".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "listing/listing_types.h"

namespace hc11 {

struct MappedFunction {
  std::string name;
  std::uint16_t entry = 0;
  std::uint16_t last = 0;  // last address of the range, inclusive
};

struct FunctionMap {
  std::vector<MappedFunction> functions;  // in address order; index + 1 is the function's number
  std::vector<std::uint16_t> numberOf;    // 65,536 entries, 0 outside every function
};

// Names whose label is on no code line (or shares an entry with a name
// sorted before it) get no range.
FunctionMap MapFunctions(const Listing& listing);

}  // namespace hc11
