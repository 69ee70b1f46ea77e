#include "tools/lstgen/symbol_table.h"

#include <algorithm>

#include "core/text_util.h"

namespace hc11::lstgen {

std::string SymbolTable::Define(std::string_view name, std::int32_t value, int line, bool constant,
                                bool plainNumber) {
  const int slot = pass_ - 1;
  auto it = entries_.find(name);
  if (it == entries_.end()) it = entries_.emplace(std::string(name), Entry{}).first;
  Entry& e = it->second;
  if (e.defined[slot]) return Format("'%s' is already defined on line %d", std::string(name).c_str(), e.line);
  e.value[slot] = value;
  e.defined[slot] = true;
  e.line = line;
  e.constant = constant;
  e.plainNumber = plainNumber;
  return {};
}

std::optional<std::int32_t> SymbolTable::Lookup(std::string_view name) const {
  const auto it = entries_.find(name);
  if (it == entries_.end()) return std::nullopt;
  const Entry& e = it->second;
  if (e.defined[pass_ - 1]) return e.value[pass_ - 1];
  if (pass_ == 2 && e.defined[0]) return e.value[0];
  return std::nullopt;
}

const SymbolTable::Entry* SymbolTable::Find(std::string_view name) const {
  const auto it = entries_.find(name);
  return it == entries_.end() ? nullptr : &it->second;
}

std::vector<std::pair<std::string, const SymbolTable::Entry*>> SymbolTable::Moved() const {
  std::vector<std::pair<std::string, const Entry*>> out;
  for (const auto& [name, e] : entries_)
    if (e.defined[0] && e.defined[1] && e.value[0] != e.value[1]) out.emplace_back(name, &e);
  return out;
}

std::vector<Symbol> SymbolTable::Sorted() const {
  std::vector<Symbol> out;
  for (const auto& [name, e] : entries_) {
    const int slot = e.defined[1] ? 1 : 0;
    if (e.defined[slot]) out.push_back({name, e.value[slot]});
  }
  std::stable_sort(out.begin(), out.end(), [](const Symbol& a, const Symbol& b) {
    const std::string la = ToLower(a.name), lb = ToLower(b.name);
    return la != lb ? la < lb : a.name < b.name;
  });
  return out;
}

}  // namespace hc11::lstgen
