// Lays the listing out in the fixed columns the simulator's listing reader
// expects, and writes the code image as Intel HEX.
//
// Listing columns (counted from 1):
//   1-4    address, four hex digits
//   6-19   up to five code bytes "XX XX XX XX XX" (the reader uses 6-10)
//   23-27  source line number, right-aligned; "1M" on the lines a macro
//          call produces
//   28     "M" on lines produced by a macro called from inside a macro
//   29-    the source field: label, mnemonic, operand, ";comment"
#pragma once

#include <string>
#include <string_view>

#include "tools/lstgen/assembly.h"

namespace hc11::lstgen {

enum class FieldStyle {
  Normal,    // label, mnemonic and operand in 8-column fields, comment from column 33
  Tight,     // one blank between mnemonic and operand (equ, so its value reads back plainly)
  EndMacro,  // "endm" alone from the 9th column, a comment glued to it
};

// The source field of one statement; a line with only a comment puts its ';'
// in the field's first column.
std::string FormatSourceField(std::string_view label, std::string_view op, std::string_view operand,
                              bool hasComment, std::string_view comment,
                              FieldStyle style = FieldStyle::Normal);

// The whole listing: every entry, then the symbol section after a line
// holding "S Y M B O L".
std::string FormatListing(const Assembly& assembly);

// Data records of at most 16 bytes (never crossing a 16-byte boundary) and
// the end record ":00000001FF".
std::string FormatHex(const MemoryImage& image);

}  // namespace hc11::lstgen
