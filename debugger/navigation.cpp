#include "debugger/navigation.h"

#include <algorithm>

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

namespace {

constexpr std::string_view kHintSeparators = " ()+,-.:<=>";

// The number that follows an operand's "+" or "-": decimal digits, or "$"
// and hexadecimal digits, as the listing writes offsets.
std::optional<std::uint16_t> OffsetAt(std::string_view text, std::size_t& at) {
  std::size_t end = at;
  while (end < text.size() && kHintSeparators.find(text[end]) == std::string_view::npos) ++end;
  const auto value = StrToWord(text.substr(at, end - at));
  if (value) at = end;
  return value;
}

}  // namespace

std::string ValueHint(const Machine& m, const SymbolTables& symbols, std::string_view addrText,
                      std::string_view text, std::optional<HoverSymbol>& hover) {
  hover.reset();
  std::vector<std::string> pieces;
  auto add = [&pieces](std::string piece) {
    // A register or variable named twice in the line is shown once.
    if (std::find(pieces.begin(), pieces.end(), piece) == pieces.end()) pieces.push_back(std::move(piece));
  };
  std::size_t i = 0;
  while (i < text.size()) {
    if (kHintSeparators.find(text[i]) != std::string_view::npos) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && kHintSeparators.find(text[end]) == std::string_view::npos) ++end;
    std::string token(text.substr(i, end - i));
    i = end;
    if (RegisterValue(m, token)) {
      // "X:" before a name is the index register's prefix, not the register.
      if (token == "X" && i < text.size() && text[i] == ':') {
        ++i;
        continue;
      }
      add(RegisterPromptText(m, token));
      continue;
    }
    const auto base = FindSymbol(symbols, token, 'I');
    if (!base) continue;
    // An operand "name+5" or "name-$10" stands for the byte at that offset.
    std::string name = token;
    std::uint16_t address = *base;
    if (i + 1 < text.size() && (text[i] == '+' || text[i] == '-')) {
      std::size_t at = i + 1;
      if (const auto offset = OffsetAt(text, at)) {
        name += std::string(text.substr(i, at - i));
        address = static_cast<std::uint16_t>(text[i] == '+' ? address + *offset : address - *offset);
        i = at;
      }
    }
    add(Format("%s [%4.4x]=$%2.2x=%d", name.c_str(), address, m.Memory[address], m.Memory[address]));
    hover = HoverSymbol{name, address};
  }
  std::string hint = std::string(addrText) + " " + std::string(text) + " : ";
  for (std::size_t k = 0; k < pieces.size(); ++k) hint += (k > 0 ? "; " : "") + pieces[k];
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
