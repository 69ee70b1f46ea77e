#include "flowchart/pseudo_code.h"

#include <algorithm>

#include "core/text_util.h"
#include "flowchart/pseudo_rewriter.h"

namespace hc11 {

void ConvertAll(Listing& listing) {
  PseudoRewriter rewriter(listing.LineList, listing.Macros);
  rewriter.RunAll();
}

void PseudoRewriter::RunAll() {
  if (lines_.empty()) return;
  BranchTemplates();
  MnemonicTemplates();
  StoreFusion('A');
  StoreFusion('B');
  UseSubstitution('A');
  UseSubstitution('B');
  IndexFolding();
  BranchFusion();
  MacroCalls();
}

// ---- deletion and neighbours within a pass ----

void PseudoRewriter::BeginPass() {
  removed_.assign(lines_.size(), 0);
}

void PseudoRewriter::EndPass() {
  std::size_t out = 0;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (removed_[i]) continue;
    if (out != i) lines_[out] = std::move(lines_[i]);
    ++out;
  }
  lines_.resize(out);
  removed_.clear();
}

int PseudoRewriter::PrevCode(int i) const {
  for (int j = i - 1; j >= 0; --j)
    if (!Removed(j) && !lines_[static_cast<std::size_t>(j)].AddrText.empty()) return j;
  return -1;
}

int PseudoRewriter::NextCode(int i) const {
  for (int j = i + 1; j < Size(); ++j)
    if (!Removed(j) && !lines_[static_cast<std::size_t>(j)].AddrText.empty()) return j;
  return -1;
}

int PseudoRewriter::LiveAfter(int i, int count) const {
  for (int j = i + 1; j < Size(); ++j)
    if (!Removed(j) && --count == 0) return j;
  return -1;
}

void PseudoRewriter::AbsorbPrevious(TSynElem& e, int q) {
  TSynElem& prev = At(q);
  e.AddrEndText = LastAddressOf(e);
  e.AddrText = prev.AddrText;
  e.Label = prev.Label;
  JoinComment(e.Comment, prev.Comment);
  Remove(q);
}

// ---- labels ----

void PseudoRewriter::ResetLabels() {
  LabelCourant.clear();
  CompteurLabel = 0;
}

void PseudoRewriter::TrackGlobalLabel(const TSynElem& e) {
  if (e.Label.empty() || e.Label.front() == '@') return;
  LabelCourant = e.Label;
  CompteurLabel = 0;
}

std::string PseudoRewriter::NewLabel() {
  return "@" + LabelCourant + std::to_string(CompteurLabel++);
}

// ---- text helpers ----

std::string ApplyTemplate(std::string_view tmpl, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(tmpl.size() + 16);
  auto next = args.begin();
  for (std::size_t i = 0; i < tmpl.size(); ++i) {
    if (tmpl[i] == '%' && i + 1 < tmpl.size()) {
      if (tmpl[i + 1] == 's') {
        if (next != args.end()) out += *next++;
        ++i;
        continue;
      }
      if (tmpl[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
    }
    out += tmpl[i];
  }
  return out;
}

void JoinComment(std::string& comment, const std::string& extra) {
  if (extra.empty()) return;
  comment += " , ";
  comment += extra;
}

// ---- lookups ----

std::string LabelOf(const TListSyn& lines, int i) {
  if (i < 0 || static_cast<std::size_t>(i) >= lines.size()) return {};
  return lines[static_cast<std::size_t>(i)].Label;
}

int IndexOfLabel(const TListSyn& lines, std::string_view name) {
  if (name.empty()) return -1;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].Label == name) return static_cast<int>(i);
  return -1;
}

int FindAddress(const TListSyn& lines, std::string_view addrText) {
  // An empty text names no address: comment records must not answer it.
  if (addrText.empty()) return -1;
  const std::string wanted = ToLower(addrText);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& a = lines[i].AddrText;
    if (a.size() == wanted.size() && ToLower(a) == wanted) return static_cast<int>(i);
  }
  return -1;
}

std::string FunctionNameAt(const TListSyn& lines, std::uint16_t address) {
  const int found = FindAddress(lines, Format("%4.4X", address));
  // The search includes the first element: a label on the program's very first
  // line names everything below it.
  for (int i = std::max(found, 0); i >= 0 && static_cast<std::size_t>(i) < lines.size(); --i)
    if (!lines[static_cast<std::size_t>(i)].Label.empty()) return lines[static_cast<std::size_t>(i)].Label;
  return "Nom";
}

int PreviousCodeElement(const TListSyn& lines, int i) {
  const int n = static_cast<int>(lines.size());
  for (int j = std::min(i, n) - 1; j >= 0; --j)
    if (!lines[static_cast<std::size_t>(j)].AddrText.empty()) return j;
  return -1;
}

int NextCodeElement(const TListSyn& lines, int i) {
  const int n = static_cast<int>(lines.size());
  for (int j = std::max(i, -1) + 1; j < n; ++j)
    if (!lines[static_cast<std::size_t>(j)].AddrText.empty()) return j;
  return -1;
}

std::string PseudoLineRecord(const TSynElem& e) {
  std::string out;
  auto field = [&out](const std::string& text) {
    out += FieldText(text);
    out += '\t';
  };
  field(e.AddrText);
  field(e.AddrEndText);
  field(e.Label);
  field(e.Text);
  field(e.Target);
  field(e.Comment);
  out += e.Marks.Traite ? '1' : '0';
  return out;
}

}  // namespace hc11
