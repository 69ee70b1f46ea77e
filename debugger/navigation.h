// The rows of ListView1 (search results, instructions not interpreted, the
// function list), the value hint over a flowchart line with HoverSymbol, and
// the flowchart popup's captions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/machine.h"
#include "listing/listing_types.h"

namespace hc11 {

// Columns "instruction", "Fonction", "Adr".
struct ListRow {
  std::string instruction, function, address;
};

inline constexpr const char* kNotInterpretedHeader = "liste des instructions non interpr";
inline constexpr const char* kFunctionsHeader = "liste des Fonctions";

// Lines whose Text contains `text` (case-sensitive), under a label of the
// label index.
std::vector<ListRow> SearchRows(const Listing& listing, std::string_view text);
// Lines the pseudo-code rules left untouched, "Erreur = %s %s", with the
// header row on top when there is any (the caller beeps then).
std::vector<ListRow> NotInterpretedRows(const Listing& listing);
// The header row, then one row per function.
std::vector<ListRow> FunctionRows(const Listing& listing);
// ListView1 after Load: the instructions not interpreted, then the functions.
std::vector<ListRow> LoadRows(const Listing& listing);

struct HoverSymbol {
  std::string name;
  std::uint16_t address = 0;
};

// The value hint of a flowchart line: address, source text, " : " and one
// piece per register ("%s=$%s=%d") or variable ("%s [%4.4x]=$%2.2x=%d") named
// in the text; `hover` becomes the last variable named, or empty.
std::string ValueHint(const Machine& m, const SymbolTables& symbols, std::string_view addrText,
                      std::string_view text, std::optional<HoverSymbol>& hover);

// LinkTarget: the function a call line leads to, from the name the flowchart
// took from it ("call affiche" gives "affiche", "tab" stays "tab").
std::string LinkTargetOf(std::string_view followName);

// The flowchart popup as it opens.
struct PopupItem {
  std::string caption;
  bool enabled = false;
};
struct FlowPopup {
  PopupItem lien, chercherR, chercher, continuer, surveiller, edit, tracer;
  std::string searchWord;
};
// `selected`: the selected line's address text and text, if any.
FlowPopup BuildFlowPopup(std::string_view linkTarget, bool haveFunction,
                         const std::optional<std::pair<std::string, std::string>>& selected,
                         const std::optional<HoverSymbol>& hover);
// The word between the quotation marks of a caption, without its last
// character (the blank before the closing mark).
std::string QuotedWord(std::string_view caption);

// "Afficher source": the listing lines from `first` to `last` (1-based line
// numbers of the ".lst" file), read from `listingFile`.
std::vector<std::string> SourceLines(const std::string& listingFile, int first, int last);

}  // namespace hc11
