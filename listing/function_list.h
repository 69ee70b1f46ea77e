// The program's function list (entry points found while reading the listing)
// and the "_Fonct.txt" file written beside the program.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/messages.h"
#include "listing/listing_types.h"

namespace hc11 {

// Adds `name` with a new entry (address, 0). Names starting with a lower-case
// "c" are never added, nor empty names; a name already present in any letter
// case is ignored. True when the name was added.
bool AddFonction(TListFonct& list, std::string_view name, std::uint16_t address);

// Sets list.NomFichier to the program's "_Fonct.txt" name and writes the names
// there, one per line ended by CR LF, in the list's order (letter case
// ignored). A file that cannot be written is reported once through
// `messages`; returns false then.
bool SaveFonctFile(TListFonct& list, std::string_view programName, Messages& messages);

}  // namespace hc11
