// The macro table: macro and routine definitions carried by special comments
// of the assembler source, so the flowchart can draw calls as statements.
//
//   ;!macros                 opens a block; each following line is one
//   ;tempo:1S:attendre(%s)   definition name:pattern:template
//        ;!endmacro          closes it (never when standing in column 1)
//   ;!call affiche:1:affiche(A)   one routine, stored under "call affiche"
#pragma once

#include <string>
#include <string_view>

#include "listing/line_reader.h"
#include "listing/listing_types.h"

namespace hc11 {

// Looks for a directive in `line` (the line about to be parsed). A ";!macros"
// block reads further lines from `reader` up to the closing line or the end
// of the file; `line` is left holding the last line read. False when a block
// ran to the end of the file without its closing line.
bool ReadMacroDirectives(LineReader& reader, std::string& line, TMacroTable& macros);

// True when the mnemonic in lower case is the name of a table entry.
bool IsMacroName(const TMacroTable& macros, std::string_view mnemonic);

}  // namespace hc11
