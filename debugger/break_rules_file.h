// The breakpoints' extras beside the workspace (ListingBase + "_Break.txt"):
// one line per entry that has any, "ADDR<TAB>KIND<TAB>field<TAB>field...",
// with the fields nom=, si=, n°=, tous=, log= and temporaire. The binary
// workspace keeps only what it always held, so a copy that does not know the
// extras reads and writes it unchanged.
//
// Each entry's place in the listing follows as a line a reader without it
// skips as a comment: "#ancre<TAB>point<TAB>ADDR<TAB>KIND<TAB>étiquette=L
// <TAB>décalage=N<TAB>ligne=TEXT" for a breakpoint, and "#ancre<TAB>surv<TAB>
// ADDR<TAB>TYPE<TAB>nom=NAME" for a watch its symbol's name placed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "debugger/breakpoints.h"
#include "debugger/code_anchor.h"

namespace hc11 {

struct BreakRulesLine {
  std::uint16_t address = 0;
  char kind = 'C';
  std::string name;  // the entry's name when written, to find it after the code moved
  BreakExtras extras;
};

struct BreakAnchorLine {
  std::uint16_t address = 0;
  char kind = 'C';
  CodeAnchor anchor;
};

struct WatchAnchorLine {
  std::uint16_t address = 0;
  char type = 'I';
  std::string name;
};

struct BreakRulesRead {
  std::vector<BreakRulesLine> lines;
  std::vector<BreakAnchorLine> anchors;
  std::vector<WatchAnchorLine> watches;
  std::vector<std::string> problems;  // "ligne N : ..." for each line skipped
};

// The extras, then the anchor of every entry that has one, then `watches`.
std::string EncodeBreakRules(const std::vector<Tbreak>& entries,
                             const std::vector<WatchAnchorLine>& watches = {});
BreakRulesRead DecodeBreakRules(std::string_view text);

// Gives the lines' extras to the list's entries: first the entry at the same
// address and kind (the k-th line there to the k-th entry), otherwise the one
// entry of that kind and name. Returns a problem text for each line that
// found no entry or whose texts no longer parse (symbols gone).
std::vector<std::string> ApplyBreakRules(BreakpointList& list, const std::vector<BreakRulesLine>& lines);

// What became of an entry whose line was not where its anchor left it.
struct AnchorOutcome {
  std::size_t index = 0;  // in the breakpoint list
  std::uint16_t from = 0, to = 0;
  AnchorPlace place = AnchorPlace::Moved;  // Moved or Lost
  CodeAnchor anchor;                       // as it was saved
};

// Places each anchor's entry (the k-th line at an address and kind to the
// k-th entry there) on `lines`: entries whose line moved go with it, those
// whose line is gone stay and are marked "déplacé?". Every entry an anchor
// reached keeps its anchor; the outcomes list the moved and the lost.
std::vector<AnchorOutcome> ApplyAnchors(BreakpointList& list, const std::vector<BreakAnchorLine>& anchors,
                                        const AnchorTable& lines);

}  // namespace hc11
