// Records and tables read from a program's assembler listing. The listing
// loader fills them; the flowchart rewrites and draws the line list; the
// debugger names breakpoints and navigates with them.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hc11 {

// Case-insensitive ordering for the listing's keyed lists (names compared
// without regard to letter case).
struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

// One listing line record.
struct TSynElem {
  struct MarkBits {
    bool Traite = false;    // pseudo-code produced
    bool AffecteZ = false;  // the statement's result sets Z
    bool AffecteC = false;  // the statement's result sets C
  } Marks;
  std::uint8_t Op1 = 0x18;  // first code byte; $18 when the line has none
  std::uint8_t Op2 = 0;     // second code byte; 0 when the line has none
  std::string AddrText;     // four hex digits as written; empty for comment records
  std::string AddrEndText;  // macro call: address text of its last expansion line
  std::string Label;
  std::string Text;
  std::string Target;
  std::string Comment;
};

// The line list, in listing order.
using TListSyn = std::vector<TSynElem>;

// One byte per address; 'L' where the listing placed an instruction, the
// flowchart adds its own marks.
using TListingMap = std::array<std::uint8_t, 65536>;
inline constexpr std::uint8_t kMapListing = 'L';

// Two texts: for a constant (first empty, value text); for a label of the
// label list (function name, address text without "$").
struct TLabElem {
  std::string first;
  std::string second;
};

// Unsorted label list (LabelList): labels may repeat.
struct TLabEntry {
  std::string label;
  TLabElem elem;
};
using TLab = std::vector<TLabEntry>;

// Sorted, case-insensitive, first definition wins (ConstantList).
using TConstantList = std::map<std::string, TLabElem, CaseInsensitiveLess>;

struct TFonctElem {
  std::uint16_t Adresse = 0;
  std::uint16_t Extra = 0;  // always 0
};

// Function list: sorted ignoring case, duplicates dropped.
struct TListFonct {
  std::map<std::string, TFonctElem, CaseInsensitiveLess> entries;
  std::string NomFichier;
};

struct TMacroElem {
  std::string Nom;        // key
  std::string Arguments;  // pattern: characters "1", "2", "L", "S"
  std::string Modele;     // template with up to two text placeholders
};
using TMacroTable = std::vector<TMacroElem>;

struct Tsym {
  std::string Name;  // at most 50 characters
  std::uint16_t Addr = 0;
  char Kind = 'I';
};

// A symbol list box: items sorted by display text, each owning its Tsym.
struct SymbolItem {
  std::string text;
  Tsym sym;
};
using SymbolList = std::vector<SymbolItem>;

struct SymbolTables {
  SymbolList ListSymbI, ListSymbC, ListSymbS, ListSymbX, ListSymbB;
};

// Everything one listing load produces, plus the tables that outlive loads
// (ConstantList) and the flowchart's label index (LabelList).
struct Listing {
  TListSyn LineList;
  std::unique_ptr<TListingMap> ListingMap = std::make_unique<TListingMap>();
  TConstantList ConstantList;
  TListFonct FunctionList;
  TMacroTable Macros;
  SymbolTables Symbols;
  TLab LabelList;
};

}  // namespace hc11
