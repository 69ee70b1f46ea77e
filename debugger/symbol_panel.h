// The "Var" pane's symbol lists: which list the kind chooser shows and what a
// click in the label list does.
#pragma once

#include <array>
#include <string_view>

#include "listing/symbols.h"

namespace hc11 {

// The kind chooser's items, in order.
inline constexpr std::array<const char*, 2> kSelTypeItems = {"C", "I"};

// The list the chooser shows: ListSymbC for "C", ListSymbI for "I"; nullptr
// (every list hidden) for anything else.
const SymbolList* ShownSymbolList(const SymbolTables& tables, std::string_view selType);

// A click in ListSymbS remakes every line of ListSymbI from its symbol, so the
// memory bytes shown are those of now.
void LabelListClicked(SymbolTables& tables, const MemoryImage& memory);

}  // namespace hc11
