// The breakpoints' extras beside the workspace (ListingBase + "_Break.txt"):
// one line per entry that has any, "ADDR<TAB>KIND<TAB>field<TAB>field...",
// with the fields nom=, si=, n°=, tous=, log= and temporaire. The binary
// workspace keeps only what it always held, so a copy that does not know the
// extras reads and writes it unchanged.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "debugger/breakpoints.h"

namespace hc11 {

struct BreakRulesLine {
  std::uint16_t address = 0;
  char kind = 'C';
  std::string name;  // the entry's name when written, to find it after the code moved
  BreakExtras extras;
};

struct BreakRulesRead {
  std::vector<BreakRulesLine> lines;
  std::vector<std::string> problems;  // "ligne N : ..." for each line skipped
};

std::string EncodeBreakRules(const std::vector<Tbreak>& entries);
BreakRulesRead DecodeBreakRules(std::string_view text);

// Gives the lines' extras to the list's entries: first the entry at the same
// address and kind (the k-th line there to the k-th entry), otherwise the one
// entry of that kind and name. Returns a problem text for each line that
// found no entry or whose texts no longer parse (symbols gone).
std::vector<std::string> ApplyBreakRules(BreakpointList& list, const std::vector<BreakRulesLine>& lines);

}  // namespace hc11
