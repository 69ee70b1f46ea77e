// The rewritten line list of a program as text, one record per line.
#include <ostream>

#include "flowchart/pseudo_code.h"
#include "listing/listing_loader.h"

namespace hc11 {

bool WritePseudoListing(const std::string& programName, std::ostream& out, Messages& messages) {
  // A dump leaves no function-list file behind.
  Listing listing;
  std::uint16_t startPC = 0;
  if (!ReadListing(listing, programName, startPC, messages, /*readSymbols=*/false)) return false;
  ConvertAll(listing);
  for (const TSynElem& e : listing.LineList) out << PseudoLineRecord(e) << '\n';
  return true;
}

}  // namespace hc11
