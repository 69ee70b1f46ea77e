// Symbol lists by kind letter, the listing's symbol section, look-ups by name
// and the function holding an address.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "listing/line_reader.h"
#include "listing/listing_types.h"

namespace hc11 {

// The 64 KiB memory image whose bytes the display texts show.
using MemoryImage = std::array<std::uint8_t, 65536>;

inline constexpr std::size_t kSymbolNameMax = 50;

// "%-15s%4.4x %4.4x": name, address, and the memory byte at the address (0
// without a memory image).
std::string SymbolDisplayText(const Tsym& sym, const MemoryImage* memory);

// The list a kind letter reaches: I, C and L (same list), S, X, B; nullptr for
// any other letter.
SymbolList* SymbolListForKind(SymbolTables& tables, char kind);
const SymbolList* SymbolListForKind(const SymbolTables& tables, char kind);

// Inserts the symbol with its display text, keeping the list sorted by text
// (letter case ignored; equal texts keep their arrival order).
void AddSymbol(SymbolList& list, Tsym sym, const MemoryImage* memory);

// Empties ListSymbI, then reads every remaining line of `reader`: first token
// the name (cut to 50 characters), second token the hex value. Lines without
// a value, or whose value is not 1 to 4 hex digits, are skipped.
void ReadSymbolSection(LineReader& reader, SymbolList& listSymbI, const MemoryImage* memory);

// The address of the first symbol of the kind's list whose name equals `name`
// exactly; nullopt when there is none or the kind letter is unknown.
std::optional<std::uint16_t> FindSymbol(const SymbolTables& tables, std::string_view name, char kind);

// Remakes every display text from the memory as it is now.
void RefreshSymbolTexts(SymbolList& list, const MemoryImage* memory);

// Empties the lists B, C, S and X (done at every program load; I is kept
// until a symbol section replaces it).
void ClearSymbolListsExceptI(SymbolTables& tables);

// The function whose drawing holds the label at or just below `address`:
// among labels not above it, the highest; the last in list order among equal
// addresses. Empty when every label lies above (a label at 0 always counts).
std::string FunctionOfAddress(const TLab& labelList, std::uint16_t address);

}  // namespace hc11
