// The listing text beside the flowchart: which file line holds the
// instruction at an address and which address a file line stands for. Only
// lines that carry code bytes count (macro expansion lines included, each at
// its own address); directives, comments, the macro definitions of a
// ";!macros" block and the symbol section stand for no address, so they can
// take no breakpoint.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "listing/listing_types.h"

namespace hc11 {

class SourceMap {
 public:
  SourceMap() = default;
  // `lines` is the ".lst" file, one entry per line. With `listingMap`, a line
  // counts only where the listing reader placed an instruction (so lines
  // outside "org" ... "end" stay text).
  SourceMap(std::vector<std::string> lines, const TListingMap* listingMap);

  // Reads the file; false with `error` when it cannot be read (the map is
  // then empty).
  bool Read(const std::string& listingFile, const TListingMap* listingMap, std::string& error);

  const std::vector<std::string>& Lines() const { return lines_; }
  std::size_t Size() const { return lines_.size(); }

  // The address of 0-based line `line`, if it carries code.
  std::optional<std::uint16_t> AddressOfLine(std::size_t line) const;
  // The first line whose instruction holds `address` (its first byte or one
  // of the bytes shown on the line); nullopt when no line does.
  std::optional<std::size_t> LineOfAddress(std::uint16_t address) const;

 private:
  struct CodeLine {
    std::uint16_t address = 0;
    int bytes = 0;
  };
  void Index(const TListingMap* listingMap);

  std::vector<std::string> lines_;
  std::vector<std::optional<CodeLine>> code_;       // per line
  std::map<std::uint16_t, std::size_t> byAddress_;  // first line per address
};

// The routine a source line calls ("call", "callr", "jsr", "bsr"; a leading
// ">" or "<" dropped), or empty when the line is no call or calls through an
// index ("call 0,X").
std::string CalleeOfSourceLine(std::string_view line);

}  // namespace hc11
