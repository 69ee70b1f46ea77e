// Which lines of the rewritten line list make up a function's sheet and how
// they are grouped into boxes: a path runs from a label down the list, a
// branch opens its own box and queues its target, a jump or a return ends the
// path, and every queued target is drawn afterwards as a path of its own.
#include <algorithm>
#include <string>

#include "core/message_text.h"
#include "core/text_util.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "listing/function_list.h"

namespace hc11 {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// Pending targets in alphabetical order ignoring case; names that differ only
// in case are both kept (ties ordered exactly), so no target is lost.
bool PendingBefore(const std::string& a, const std::string& b) {
  const CaseInsensitiveLess less;
  if (less(a, b)) return true;
  if (less(b, a)) return false;
  return a < b;
}

}  // namespace

Flowchart::Flowchart(Listing& listing, Messages& messages, const TextMetrics& metrics)
    : listing_(listing), messages_(messages), metrics_(&metrics) {}

void Flowchart::BuildLabelIndex() {
  listing_.LabelList.clear();
  missingAddrCount_ = 0;
  IndexLabelLines();
  indexing_ = true;
  // Building a sheet may add table functions to the list; std::map iterators
  // stay valid, and names added after the current one are built in turn.
  for (auto it = listing_.FunctionList.entries.begin(); it != listing_.FunctionList.entries.end(); ++it) {
    const std::string name = it->first;
    BuildChains(name);
  }
  indexing_ = false;
  labelLines_.clear();
  labelLinesReady_ = false;
}

// A sheet's build looks labels up once per path and marks only the lines it
// draws, so building every function costs in step with the listing's size.
void Flowchart::IndexLabelLines() {
  labelLines_.clear();
  const TListSyn& lines = listing_.LineList;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (!lines[i].Label.empty()) labelLines_.try_emplace(lines[i].Label, static_cast<int>(i));
  labelLinesReady_ = true;
}

int Flowchart::LineOfLabel(std::string_view name) const {
  if (!labelLinesReady_) return IndexOfLabel(listing_.LineList, name);
  const auto it = labelLines_.find(name);
  return it == labelLines_.end() ? -1 : it->second;
}

void Flowchart::ResetBoxOfLine() {
  if (boxOfLine_.size() != listing_.LineList.size()) {
    boxOfLine_.assign(listing_.LineList.size(), 0);
  } else {
    for (int i : boxOfLineSet_) boxOfLine_[static_cast<std::size_t>(i)] = 0;
  }
  boxOfLineSet_.clear();
}

void Flowchart::SetBoxOfLine(int lineIndex, int box) {
  if (lineIndex < 0 || lineIndex >= static_cast<int>(boxOfLine_.size())) return;
  boxOfLine_[static_cast<std::size_t>(lineIndex)] = box;
  boxOfLineSet_.push_back(lineIndex);
}

void Flowchart::BuildChains(std::string_view functionName) {
  Boxes.FonctName = std::string(functionName);
  LineH = metrics_->TextHeight("X_");
  PicW = 101;
  PicH = 21;
  Boxes.Clear();
  Lines.Clear();
  Boxes.Premier = 0;
  CoordsModified = false;
  SheetOverflow = false;
  fullReported_ = false;
  ResetBoxOfLine();
  const bool ownLabelLines = !labelLinesReady_;
  if (ownLabelLines) IndexLabelLines();
  pending_.assign(1, std::string(functionName));
  Boxes.ModeTable = 0;
  Boxes.TableBase.clear();
  while (!pending_.empty() && !fullReported_) {
    const std::string name = pending_.front();
    pending_.erase(pending_.begin());
    prevRect_ = 0;
    BuildChain(name);
  }
  pending_.clear();
  if (ownLabelLines) {
    labelLines_.clear();
    labelLinesReady_ = false;
  }
}

void Flowchart::BuildChain(std::string_view name) {
  TListSyn& lines = listing_.LineList;
  const int count = static_cast<int>(lines.size());
  int i = LineOfLabel(name);
  if (i < 0 || i >= count) return;

  // Comments written just above the label open the drawing. The search stops
  // below a record with an address or a macro separator; a comment on the
  // very first record of the list is included.
  if (i > 0) {
    int j = i - 1;
    while (j > 0 && lines[j].AddrText.empty() && lines[j].Comment != "SepMacro") --j;
    const bool barrier = !lines[j].AddrText.empty() || lines[j].Comment == "SepMacro";
    i = barrier ? j + 1 : j;
  }

  const int pathFirstBox = Boxes.Count() + 1;
  const std::string* lastText = nullptr;  // text of the last record handled on this path
  for (;;) {
    TSynElem& e = lines[static_cast<std::size_t>(i)];
    if (e.AddrText.empty() && e.Text.empty() && !e.Comment.empty()) {
      e.Text = e.Comment;
      e.Comment.clear();
    }
    const int met = BoxOfLine(i);
    if (met != 0) {
      // This path ran into lines already drawn: hang the box met below the
      // last box, unless the path ended in a return.
      if (lastText != nullptr) {
        const std::string last = ToLower(*lastText);
        const bool isReturn = last == "ret" || last == "reti" || StartsWith(last, "xxxxx");
        if (!last.empty() && !isReturn && met != Boxes.Count()) Boxes[met].ObjetParent = Boxes.Count();
      }
      return;
    }

    if (!(e.AddrText.empty() && e.Text.empty())) {
      // Only a box of this path can take the line: comments above a pending
      // target's label open its drawing instead of trailing the last path.
      bool joins = false;
      if (Boxes.Count() >= pathFirstBox && !e.Text.empty() && e.Label.empty()) {
        const TRectangle& b = Boxes[Boxes.Count()];
        joins = (b.Saut == e.Target && b.HasAddress()) || (e.AddrText.empty() && !b.IsJumpBox());
      }
      if (joins) {
        AddLine(Boxes.Count(), e.Text, e.AddrText, e.Comment, e.AddrEndText, i);
      } else {
        const SavedPosition saved = coords_.ReadCoord(Boxes.FonctName, e.Label);
        if (AddBox(i, false, e.Comment, saved, e.Target, e.Text, e.Label, e.AddrText, e.AddrEndText) == 0)
          return;  // the sheet is full
      }
      PicH = std::max(PicH, Boxes[Boxes.Count()].Rect.Bottom);
    }

    if (!e.Target.empty() && BoxOfLabel(e.Target) == 0) {
      auto pos = std::lower_bound(pending_.begin(), pending_.end(), e.Target, PendingBefore);
      if (pos == pending_.end() || *pos != e.Target) pending_.insert(pos, e.Target);
    }
    if (!e.AddrText.empty()) {
      if (e.Text.empty()) return;  // an unconditional jump ends the path

      const std::string lower = ToLower(e.Text);
      if (StartsWith(lower, "call [x]")) {
        e.Text = Format("call [%s]", Boxes.TableBase.c_str());
        AddFonction(listing_.FunctionList, Boxes.TableBase, 0);
      } else if (StartsWith(lower, "d = d + #")) {
        const std::size_t hash = e.Text.find('#');
        const std::size_t comma = e.Text.find(',', hash);
        Boxes.TableBase =
            e.Text.substr(hash + 1, comma == std::string::npos ? std::string::npos : comma - hash - 1);
      }
      if (lower == "ret" || lower == "reti" || StartsWith(lower, "xxxxx")) {
        prevRect_ = 0;
        return;
      }
    }
    lastText = &e.Text;
    if (++i >= count) return;
  }
}

int Flowchart::BoxOfLabel(std::string_view label) const {
  for (int b = 1; b <= Boxes.Count(); ++b)
    if (Boxes[b].Label == label) return b;
  return 0;
}

int Flowchart::BoxOfAddress(std::string_view addrText) const {
  const std::string wanted = ToLower(addrText);
  for (int b = 1; b <= Boxes.Count(); ++b)
    if (ToLower(Boxes[b].AddrText) == wanted) return b;
  return 0;
}

int Flowchart::BoxOfLine(int lineIndex) const {
  if (lineIndex < 0 || lineIndex >= static_cast<int>(boxOfLine_.size())) return 0;
  return boxOfLine_[static_cast<std::size_t>(lineIndex)];
}

void Flowchart::ReportFull() {
  if (fullReported_) return;
  fullReported_ = true;
  // The label index builds every sheet unseen; the one drawn reports it.
  if (indexing_) return;
  messages_.Show(
      MsgKind::Error, "Erreur",
      Format("Feuille %s trop grande : %d boîtes et %d lignes au plus, la suite n'est pas dessinée",
             QuoteText(Boxes.FonctName).c_str(), kMaxSheetBoxes, kMaxSheetLines));
}

int Flowchart::AddBox(int lineIndex, bool title, std::string_view comment, const SavedPosition& saved,
                      std::string_view jumpLabel, std::string_view text, std::string_view label,
                      std::string_view addrText, std::string_view addrEndText) {
  TRectangle* added = Boxes.Add();
  if (added == nullptr) {
    ReportFull();
    return 0;
  }
  TRectangle& b = *added;
  const int index = b.ObjetSelf;
  b.Titre = title;
  b.Genre = ' ';
  b.Texte2 = saved.extra;
  b.AddrText = std::string(addrText);
  b.AddrEndText = std::string(addrEndText);
  b.Rect = {100, 20, 100, 20};
  b.OfsX = 100;
  b.OfsY = 20;
  if (title) {
    b.Texte2 = std::string(text);
    b.Larg = metrics_->TextWidth(text) + 15;
    b.Haut = 15;
    b.ObjetParent = 0;
    b.ObjetParentb = 0;
    b.Relie = true;
    b.Rect.Right = b.Rect.Left + b.Larg;
    b.Rect.Bottom = b.Rect.Top + b.Haut;
    return index;
  }
  if (!saved.x.empty() || !saved.y.empty()) {
    b.Sauve = true;
    b.UserPlaced = true;
    const int x = static_cast<int>(StrToIntSigned(saved.x).value_or(0));
    const int y = static_cast<int>(StrToIntSigned(saved.y).value_or(0));
    if (saved.relative == "r") {
      b.OfsX = x;
      b.OfsY = y;
    } else {
      b.Rect.Left = x;
      b.Rect.Top = y;
    }
  }
  b.Lignes.push_back({std::string(text), lineIndex, std::string(comment), std::string(addrText),
                      std::string(addrEndText), StartsWith(text, "call ")});
  SetBoxOfLine(lineIndex, index);

  b.Label = std::string(label);
  b.LabelAff = b.Label;
  const std::string& fn = Boxes.FonctName;
  const std::string_view stem = std::string_view(fn).substr(0, fn.size() >= 2 ? fn.size() - 2 : 0);
  if (b.Label != fn && StartsWith(b.Label, stem)) b.LabelAff.erase(0, stem.size());
  b.Saut = std::string(jumpLabel);
  b.Haut = text.empty() ? 3 : LineH + 3;
  b.ObjetParent = prevRect_;
  prevRect_ = 0;

  if (text.empty() || addrText.empty()) {
    // A jump box or a comment box starts at the left, below what exists. A
    // free position saved by the user is kept.
    if (!b.Sauve || saved.relative == "r") {
      b.Rect.Left = 50;
      b.Rect.Top = PicH;
    }
  } else {
    if (Boxes.Premier == 0) Boxes.Premier = index;
    b.ObjLieEnfant = index + 1;
    prevRect_ = index;
    if (!b.Saut.empty()) {
      b.Triangle = (b.Haut + 6) / 2;
      if (saved.side == "n")
        b.PointD = 4;
      else
        b.PointB = 4;
    }
  }
  const bool showLabel = !b.LabelAff.empty() && (b.LabelAff.front() != '@' || ShowLocalLabels);
  b.LargLabel = showLabel ? metrics_->TextWidth(b.LabelAff) + 3 : 0;
  b.Haut += b.PointB + 6;
  b.Larg = metrics_->TextWidth(text) + 3 + b.LargLabel + 2 * b.Triangle + b.PointD;
  b.Rect.Right = b.Rect.Left + b.Larg;
  b.Rect.Bottom = b.Rect.Top + b.Haut;
  if (!b.Label.empty()) listing_.LabelList.push_back({b.Label, {fn, b.AddrText}});
  return index;
}

void Flowchart::AddLine(int box, std::string_view text, std::string_view addrText, std::string_view comment,
                        std::string_view addrEndText, int lineIndex) {
  if (!Boxes.Valid(box)) return;
  if (!addrText.empty()) {
    if (auto addr = StrToWord("$" + std::string(addrText))) {
      std::uint8_t& mark = (*listing_.ListingMap)[*addr];
      if (mark == 'L' || mark == 'R') {
        mark = 'R';
      } else if (++missingAddrCount_ < 3) {
        messages_.Show(MsgKind::Error, "Erreur", Format("err Manque L$%s", QuoteText(addrText).c_str()));
      }
    }
  }
  TRectangle& b = Boxes[box];
  b.Lignes.push_back({std::string(text), lineIndex, std::string(comment), std::string(addrText),
                      std::string(addrEndText), StartsWith(text, "call ")});
  SetBoxOfLine(lineIndex, box);
  b.Haut += LineH + 3;
  if (!addrText.empty())
    b.Larg = std::max(b.Larg, metrics_->TextWidth(text) + 3 + b.LargLabel + 2 * b.Triangle + b.PointD);
  b.Rect.Right = b.Rect.Left + b.Larg;
  b.Rect.Bottom = b.Rect.Top + b.Haut;
}

}  // namespace hc11
