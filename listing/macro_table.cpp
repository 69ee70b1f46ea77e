#include "listing/macro_table.h"

#include "core/text_util.h"

namespace hc11 {

namespace {

constexpr std::size_t kDefinitionLength = 250;

// name:pattern:template; everything after the second colon is the template.
void AddDefinition(TMacroTable& macros, std::string text, bool lowerName) {
  std::string name = NextToken(text, ":");
  if (lowerName) name = ToLower(name);
  // A blank line inside a block defines nothing.
  if (name.empty()) return;
  std::string pattern = NextToken(text, ":");
  macros.push_back(TMacroElem{std::move(name), std::move(pattern), std::move(text)});
}

std::string From(const std::string& s, std::size_t index, std::size_t count) {
  return index < s.size() ? s.substr(index, count) : std::string();
}

}  // namespace

bool ReadMacroDirectives(LineReader& reader, std::string& line, TMacroTable& macros) {
  const std::string lower = ToLower(line);
  if (const std::size_t open = lower.find(";!macros"); open != std::string::npos) {
    while (!reader.AtEnd()) {
      line = reader.Next();
      const std::size_t close = ToLower(line).find(";!endmacro");
      if (close != std::string::npos && close > 0) return true;
      // Definitions stand in the column of the opening marker's ";".
      AddDefinition(macros, From(line, open + 1, kDefinitionLength), true);
    }
    return false;
  }
  if (const std::size_t call = lower.find(";!call "); call != std::string::npos) {
    AddDefinition(macros, "call " + Trim(From(line, call + 6, kDefinitionLength)), false);
  }
  return true;
}

bool IsMacroName(const TMacroTable& macros, std::string_view mnemonic) {
  const std::string lower = ToLower(mnemonic);
  for (const auto& m : macros)
    if (m.Nom == lower) return true;
  return false;
}

}  // namespace hc11
