#include "debugger/navigation.h"

#include "core/file_read.h"
#include "core/text_util.h"
#include "debugger/views.h"
#include "listing/symbols.h"

namespace hc11 {

namespace {

// The function of `label` in the label index; nullopt when it is not there.
std::optional<std::string> FunctionOfLabel(const TLab& labels, const std::string& label) {
  for (const TLabEntry& e : labels)
    if (e.label == label) return e.elem.first;
  return std::nullopt;
}

template <typename Match>
std::vector<ListRow> Rows(const Listing& listing, Match match) {
  std::vector<ListRow> rows;
  std::string label;
  for (const TSynElem& e : listing.LineList) {
    if (e.AddrText.empty()) continue;
    if (!e.Label.empty()) label = e.Label;
    const std::optional<std::string> instruction = match(e);
    if (!instruction || label.empty()) continue;
    if (const auto function = FunctionOfLabel(listing.LabelList, label))
      rows.push_back({*instruction, *function, e.AddrText});
  }
  return rows;
}

}  // namespace

std::vector<ListRow> SearchRows(const Listing& listing, std::string_view text) {
  return Rows(listing, [&](const TSynElem& e) -> std::optional<std::string> {
    if (e.Text.find(text) == std::string::npos) return std::nullopt;
    return e.Text;
  });
}

std::vector<ListRow> NotInterpretedRows(const Listing& listing) {
  std::vector<ListRow> rows = Rows(listing, [](const TSynElem& e) -> std::optional<std::string> {
    if (e.Marks.Traite) return std::nullopt;
    return "Erreur = " + e.AddrText + " " + e.Text;
  });
  if (!rows.empty()) rows.insert(rows.begin(), ListRow{kNotInterpretedHeader, "", ""});
  return rows;
}

std::vector<ListRow> FunctionRows(const Listing& listing) {
  std::vector<ListRow> rows;
  if (listing.FunctionList.entries.empty()) return rows;
  rows.push_back({kFunctionsHeader, "", ""});
  for (const auto& [name, f] : listing.FunctionList.entries)
    rows.push_back({name, "", Format("%4.4X", f.Adresse)});
  return rows;
}

std::vector<ListRow> LoadRows(const Listing& listing) {
  std::vector<ListRow> rows = NotInterpretedRows(listing);
  const std::vector<ListRow> functions = FunctionRows(listing);
  rows.insert(rows.end(), functions.begin(), functions.end());
  return rows;
}

std::string ValueHint(const Machine& m, const SymbolTables& symbols, std::string_view addrText,
                      std::string_view text, std::optional<HoverSymbol>& hover) {
  hover.reset();
  std::vector<std::string> pieces;
  std::string token;
  auto flush = [&]() {
    if (token.empty()) return;
    if (RegisterValue(m, token)) {
      pieces.push_back(RegisterPromptText(m, token));
    } else {
      const std::string name = token.starts_with("X:") ? token.substr(2) : token;
      if (const auto a = FindSymbol(symbols, name, 'I')) {
        pieces.push_back(Format("%s [%4.4x]=$%2.2x=%d", name.c_str(), *a, m.Memory[*a], m.Memory[*a]));
        hover = HoverSymbol{name, *a};
      }
    }
    token.clear();
  };
  for (char c : text) {
    if (std::string_view(" ()+,-.:<=>").find(c) != std::string_view::npos) {
      // "X:" stays in the token so that it can be dropped from the name.
      if (c == ':' && token == "X") {
        token += c;
        continue;
      }
      flush();
    } else {
      token += c;
    }
  }
  flush();
  std::string hint = std::string(addrText) + " " + std::string(text) + " : ";
  for (std::size_t i = 0; i < pieces.size(); ++i) hint += (i > 0 ? "; " : "") + pieces[i];
  return hint;
}

std::string LinkTargetOf(std::string_view followName) {
  std::string_view name = TrimView(followName);
  if (name.starts_with("call ")) name = TrimView(name.substr(5));
  return std::string(name);
}

FlowPopup BuildFlowPopup(std::string_view linkTarget, bool haveFunction,
                         const std::optional<std::pair<std::string, std::string>>& selected,
                         const std::optional<HoverSymbol>& hover) {
  FlowPopup p;
  p.lien = linkTarget.empty() ? PopupItem{"Lien", false} : PopupItem{std::string(linkTarget), true};
  p.chercher = {"Chercher", false};
  p.continuer = {"Continuer jusqu'a", false};
  if (haveFunction && selected) {
    p.searchWord = selected->second;
    p.chercher = {"Chercher \"" + p.searchWord + " \"", true};
    p.continuer = {"Continuer jusqu'a " + selected->first + "  \"" + selected->second + " \"", true};
  }
  if (haveFunction && hover && !hover->name.empty()) {
    p.searchWord = hover->name;
    const std::string quoted = " \"" + hover->name + " \"";
    p.chercherR = {"Chercher" + quoted, true};
    p.surveiller = {"Surveiller" + quoted, true};
    p.edit = {"Editer" + quoted, true};
    p.tracer = {"Tracer" + quoted, true};
  } else {
    p.chercherR = {"Chercher R....", false};
    p.surveiller = {"Surveiller", false};
    p.edit = {"Editer R", false};
    p.tracer = {"Tracer R", false};
  }
  return p;
}

std::string QuotedWord(std::string_view caption) {
  const auto open = caption.find('"');
  const auto close = caption.rfind('"');
  if (open == std::string_view::npos || close <= open + 1) return {};
  return std::string(caption.substr(open + 1, close - open - 2));
}

std::vector<std::string> SourceLines(const std::string& listingFile, int first, int last) {
  std::vector<std::string> lines;
  BoundedLineFile in(listingFile, kSourceLineChars);
  std::string line;
  for (int n = 1; n <= last && in.Next(line); ++n) {
    if (n >= first) lines.push_back(line);
  }
  return lines;
}

}  // namespace hc11
