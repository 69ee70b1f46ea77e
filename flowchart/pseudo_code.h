// Rewrites every listing line into a short pseudo-code statement, in place,
// and answers label/address questions about the rewritten line list.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "core/messages.h"
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

// Nearest element before (after) element i that carries an address, stepping
// over comment records; -1 when the start (end) of the list comes first.
int PreviousCodeElement(const TListSyn& lines, int i);
int NextCodeElement(const TListSyn& lines, int i);

// One record as a tab-separated line, without line ending: AddrText,
// AddrEndText, Label, Text, Target, Comment and Traite as 0/1. Tabs and line
// breaks inside a field are written as blanks so the columns stay aligned.
std::string PseudoLineRecord(const TSynElem& element);

// Reads the program's listing (`programName` is the base path or the ".lst"
// path), rewrites it and writes one PseudoLineRecord per line to `out`.
// Reader messages go to `messages`. False, with nothing written, when the
// listing cannot be read. Writes no file.
bool WritePseudoListing(const std::string& programName, std::ostream& out, Messages& messages);

}  // namespace hc11
