// The rewritten line list of a program as text, one record per line.
#include <ostream>

#include "flowchart/pseudo_code.h"
#include "listing/listing_files.h"
#include "listing/listing_loader.h"

namespace hc11 {

bool WritePseudoListing(const std::string& programName, std::ostream& out, Messages& messages) {
  // Parsed from memory rather than through the window's load, so that a dump
  // leaves no function-list file behind.
  const auto text = ReadWholeFile(ListingFileName(programName));
  if (!text) return false;
  Listing listing;
  std::uint16_t startPC = 0;
  ParseListingText(listing, *text, startPC, messages, /*readSymbols=*/false);
  ConvertAll(listing);
  for (const TSynElem& e : listing.LineList) out << PseudoLineRecord(e) << '\n';
  return true;
}

}  // namespace hc11
