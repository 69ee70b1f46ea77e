// Reads a program's assembler listing: the line list, the listing map, the
// constant table, the function list and its file, the macro table, the start
// address and the symbols of kind "I".
//
// Listing line layout (columns from 1): 1-4 address, 6-10 first code bytes
// ("xx xx"), 23-27 source line number or a "1M" mark on macro expansion
// lines, 28 "M" on expansion lines without a number, 29 on the source field
// (label in its first column, mnemonic, operand); a comment from the first
// ";". The part after the line holding "S Y M B O L" is the symbol section.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"
#include "listing/listing_types.h"
#include "listing/symbols.h"

namespace hc11 {

// Loads `programName` (the program's base path; a ".lst" path is accepted
// too) + ".lst". False when the file cannot be read: the line list, function
// list, macro table and listing map are then empty. Otherwise everything is
// rebuilt, the constant table keeps earlier definitions, ListSymbI is
// replaced only when the listing has a symbol section (and `readSymbols`),
// and the function list is written to the program's "_Fonct.txt".
// `startPC` receives the address of "debprog_" and is left alone without it.
// `memory` supplies the bytes shown in the symbols' display texts.
bool LoadListing(Listing& listing, const std::string& programName, std::uint16_t& startPC, Messages& messages,
                 bool readSymbols = true, const MemoryImage* memory = nullptr);

// LoadListing without writing the function-list file: for views that only
// look at a program (dumps, the command line's inspection commands).
bool ReadListing(Listing& listing, const std::string& programName, std::uint16_t& startPC, Messages& messages,
                 bool readSymbols = true, const MemoryImage* memory = nullptr);

// The same reading over listing text already in memory; writes no file.
void ParseListingText(Listing& listing, std::string_view text, std::uint16_t& startPC, Messages& messages,
                      bool readSymbols = true, const MemoryImage* memory = nullptr);

// Appends to `lines` the listing lines from the first one beginning with
// `startPrefix` through the first one beginning with `endPrefix`, at most 21
// lines; a line beginning with `endPrefix` met before the start ends the read
// with nothing. False when the listing cannot be read.
bool ReadListingExcerpt(std::string_view startPrefix, std::string_view endPrefix,
                        const std::string& programName, std::vector<std::string>& lines);

}  // namespace hc11
