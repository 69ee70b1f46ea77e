#include "debugger/code_anchor.h"

#include "core/text_util.h"

namespace hc11 {

std::string FoldBlanks(std::string_view text) {
  std::string out;
  bool blank = false;
  for (char c : TrimView(text)) {
    if (c == ' ' || c == '\t') {
      blank = true;
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

// A label on a line of its own (no address) counts for the addressed line
// that follows it.
AnchorTable::AnchorTable(const TListSyn& lines) {
  std::string label;
  std::uint32_t count = 0;
  for (const TSynElem& e : lines) {
    if (!e.Label.empty()) {
      label = e.Label;
      count = 0;
    }
    if (e.AddrText.empty() || e.AddrText.size() > 4) continue;
    const std::optional<std::uint16_t> address = StrToWord("$" + e.AddrText);
    if (!address) continue;
    // A jump keeps its target beside the text.
    rows_.push_back({*address, {label, count++, FoldBlanks(e.Text + " " + e.Target)}});
  }
}

const AnchorTable::Row* AnchorTable::FirstAt(std::uint16_t address) const {
  for (const Row& r : rows_)
    if (r.address == address) return &r;
  return nullptr;
}

std::optional<CodeAnchor> AnchorTable::At(std::uint16_t address) const {
  if (const Row* r = FirstAt(address)) return r->anchor;
  return std::nullopt;
}

Placement AnchorTable::Place(const CodeAnchor& anchor, std::uint16_t oldAddress) const {
  const std::vector<Row>& rows = rows_;
  const Row* at = FirstAt(oldAddress);
  if (at != nullptr && at->anchor == anchor) return {AnchorPlace::Unchanged, oldAddress};
  auto moved = [oldAddress](const Row& r) {
    return Placement{r.address == oldAddress ? AnchorPlace::Unchanged : AnchorPlace::Moved, r.address};
  };
  for (const Row& r : rows)
    if (r.anchor == anchor) return moved(r);
  const Row* nearest = nullptr;
  std::uint32_t best = 0;
  for (const Row& r : rows) {
    if (r.anchor.label != anchor.label || r.anchor.text != anchor.text) continue;
    const std::uint32_t d =
        r.anchor.offset > anchor.offset ? r.anchor.offset - anchor.offset : anchor.offset - r.anchor.offset;
    if (nearest == nullptr || d < best) {
      nearest = &r;
      best = d;
    }
  }
  if (nearest != nullptr) return moved(*nearest);
  // A label renamed over code that did not move: the instruction is still there.
  if (at != nullptr && at->anchor.text == anchor.text) return {AnchorPlace::Unchanged, oldAddress};
  return {AnchorPlace::Lost, oldAddress};
}

std::string AnchorWhere(const CodeAnchor& anchor) {
  return anchor.label + "+" + std::to_string(anchor.offset);
}

}  // namespace hc11
