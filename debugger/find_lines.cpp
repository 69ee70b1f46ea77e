#include "debugger/find_lines.h"

#include <algorithm>
#include <cctype>

namespace hc11 {

namespace {

bool Holds(std::string_view hay, std::string_view needle, bool matchCase) {
  if (matchCase) return hay.find(needle) != std::string_view::npos;
  const auto it = std::search(hay.begin(), hay.end(), needle.begin(), needle.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
  return it != hay.end();
}

const std::string* FunctionOf(const TLab& labels, const std::string& label) {
  for (const TLabEntry& e : labels)
    if (e.label == label) return &e.elem.first;
  return nullptr;
}

}  // namespace

std::vector<ListRow> FindRows(const Listing& listing, std::string_view text, bool matchCase) {
  std::vector<ListRow> rows;
  if (text.empty()) return rows;
  std::string label;
  for (const TSynElem& e : listing.LineList) {
    if (e.AddrText.empty()) continue;  // nothing to show it at
    if (!e.Label.empty()) label = e.Label;
    if (!Holds(e.Text, text, matchCase) && !Holds(e.Label, text, matchCase) &&
        !Holds(e.Comment, text, matchCase))
      continue;
    if (label.empty()) continue;
    if (const std::string* function = FunctionOf(listing.LabelList, label))
      rows.push_back({e.Text, *function, e.AddrText});
  }
  return rows;
}

void FindCursor::Search(const Listing& listing, std::string_view text, bool matchCase) {
  rows_ = FindRows(listing, text, matchCase);
  current_ = -1;
}

std::optional<std::size_t> FindCursor::Step(bool backward) {
  const int n = static_cast<int>(rows_.size());
  if (n == 0) return std::nullopt;
  if (current_ < 0)
    current_ = backward ? n - 1 : 0;
  else
    current_ = (current_ + (backward ? n - 1 : 1)) % n;
  return static_cast<std::size_t>(current_);
}

std::optional<std::pair<std::string, std::string>> SelectedLine(const Flowchart& sheet,
                                                                const FlowDisplay& display) {
  if (display.SelAddrText.empty() || display.SelAddrText == kNoSelection) return std::nullopt;
  for (int b = 1; b <= sheet.Boxes.Count(); ++b)
    for (const TLigne& line : sheet.Boxes[b].Lignes)
      if (line.AddrText == display.SelAddrText) return std::make_pair(line.AddrText, line.Text);
  return std::nullopt;
}

}  // namespace hc11
