#include "debugger/symbol_panel.h"

namespace hc11 {

const SymbolList* ShownSymbolList(const SymbolTables& tables, std::string_view selType) {
  if (selType == "C") return &tables.ListSymbC;
  if (selType == "I") return &tables.ListSymbI;
  return nullptr;
}

void LabelListClicked(SymbolTables& tables, const MemoryImage& memory) {
  RefreshSymbolTexts(tables.ListSymbI, &memory);
}

}  // namespace hc11
