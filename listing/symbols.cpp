#include "listing/symbols.h"

#include <algorithm>

#include "core/text_util.h"

namespace hc11 {

namespace {

bool TextLess(const SymbolItem& a, const SymbolItem& b) {
  return CaseInsensitiveLess{}(a.text, b.text);
}

template <typename Tables>
auto ListForKind(Tables& tables, char kind) -> decltype(&tables.ListSymbI) {
  switch (kind) {
    case 'I':
      return &tables.ListSymbI;
    case 'C':
    case 'L':
      return &tables.ListSymbC;
    case 'S':
      return &tables.ListSymbS;
    case 'X':
      return &tables.ListSymbX;
    case 'B':
      return &tables.ListSymbB;
    default:
      return nullptr;
  }
}

}  // namespace

std::string SymbolDisplayText(const Tsym& sym, const MemoryImage* memory) {
  const unsigned byte = memory ? (*memory)[sym.Addr] : 0u;
  return Format("%-15s%4.4x %4.4x", sym.Name.c_str(), static_cast<unsigned>(sym.Addr), byte);
}

SymbolList* SymbolListForKind(SymbolTables& tables, char kind) {
  return ListForKind(tables, kind);
}

const SymbolList* SymbolListForKind(const SymbolTables& tables, char kind) {
  return ListForKind(tables, kind);
}

void AddSymbol(SymbolList& list, Tsym sym, const MemoryImage* memory) {
  SymbolItem item{SymbolDisplayText(sym, memory), std::move(sym)};
  const auto at = std::upper_bound(list.begin(), list.end(), item, TextLess);
  list.insert(at, std::move(item));
}

void ReadSymbolSection(LineReader& reader, SymbolList& listSymbI, const MemoryImage* memory) {
  listSymbI.clear();
  while (!reader.AtEnd()) {
    std::string rest = reader.Next();
    std::string name = NextToken(rest, " ");
    const std::string value = NextToken(rest, " ");
    if (value.empty()) continue;
    const auto addr = StrToWord("$" + value);
    if (!addr) continue;
    if (name.size() > kSymbolNameMax) name.resize(kSymbolNameMax);
    Tsym sym{std::move(name), *addr, 'I'};
    std::string text = SymbolDisplayText(sym, memory);
    listSymbI.push_back(SymbolItem{std::move(text), std::move(sym)});
  }
  // Sorted once at the end, in the order one insertion at a time would give.
  std::stable_sort(listSymbI.begin(), listSymbI.end(), TextLess);
}

std::optional<std::uint16_t> FindSymbol(const SymbolTables& tables, std::string_view name, char kind) {
  const SymbolList* list = SymbolListForKind(tables, kind);
  if (!list) return std::nullopt;
  for (const auto& item : *list)
    if (item.sym.Name == name) return item.sym.Addr;
  return std::nullopt;
}

void RefreshSymbolTexts(SymbolList& list, const MemoryImage* memory) {
  for (auto& item : list) item.text = SymbolDisplayText(item.sym, memory);
  std::stable_sort(list.begin(), list.end(), TextLess);
}

void ClearSymbolListsExceptI(SymbolTables& tables) {
  tables.ListSymbC.clear();
  tables.ListSymbS.clear();
  tables.ListSymbX.clear();
  tables.ListSymbB.clear();
}

std::string FunctionOfAddress(const TLab& labelList, std::uint16_t address) {
  std::string result;
  unsigned best = 0;
  for (const auto& entry : labelList) {
    const auto at = StrToWord("$" + entry.elem.second);
    if (!at) continue;
    if (*at <= address && *at >= best) {
      best = *at;
      result = entry.elem.first;
    }
  }
  return result;
}

}  // namespace hc11
