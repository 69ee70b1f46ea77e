// Rewrites every listing line into a short pseudo-code statement, in place,
// and answers label/address questions about the rewritten line list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "listing/listing_types.h"

namespace hc11 {

// Runs the rewriting passes over listing.LineList (reads listing.Macros).
// Does nothing on an empty list.
void ConvertAll(Listing& listing);

// Label of element i (empty when out of range).
std::string LabelOf(const TListSyn& lines, int i);

// Index of the first element whose Label equals name exactly; -1 when none
// or when name is empty.
int IndexOfLabel(const TListSyn& lines, std::string_view name);

// Index of the first element whose AddrText equals addrText ignoring case;
// -1 when none.
int FindAddress(const TListSyn& lines, std::string_view addrText);

// Name of the label at or above the element holding `address`; "Nom" when none.
std::string FunctionNameAt(const TListSyn& lines, std::uint16_t address);

}  // namespace hc11
