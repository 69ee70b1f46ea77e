// Hit-testing, dragging and address marking on a laid-out sheet.
#include "flowchart/view/interaction.h"

#include <string>

#include "core/text_util.h"

namespace hc11 {

bool BuildSheet(Flowchart& sheet, FlowDisplay& display, std::string_view functionName) {
  display.SheetBuilt();
  return sheet.BuildFlowchart(functionName);
}

std::vector<int> HitBox(const Flowchart& sheet, int x, int y) {
  std::vector<int> hits;
  for (int i = 1; i <= sheet.Boxes.Count(); ++i)
    if (sheet.Boxes[i].Rect.Contains(x, y)) hits.push_back(i);
  return hits;
}

std::string FollowNameOf(std::string_view callText) {
  std::string name(callText.substr(0, callText.find('(')));
  // "X = call f": only what follows the assignment.
  if (const std::size_t eq = name.find('='); eq != std::string::npos && eq >= 1) name.erase(0, eq + 1);
  // An indexed call, "call [tab]", leads to the table.
  if (const std::size_t open = name.find('['); open != std::string::npos) name.erase(0, open + 1);
  if (!name.empty() && name.back() == ']') name.pop_back();
  return name;
}

bool HitLine(const Flowchart& sheet, FlowDisplay& display, int box, int /*x*/, int y) {
  display.HitLineIndex = -1;
  if (!sheet.Boxes.Valid(box)) return false;
  const TRectangle& b = sheet.Boxes[box];
  const int count = static_cast<int>(b.Lignes.size());
  if (count == 0) return false;
  const int rowHeight = b.Haut / count;
  // Above the box, or a box too flat to split, has no line under the pointer.
  if (rowHeight <= 0 || y < b.Rect.Top) return false;
  const int k = (y - b.Rect.Top) / rowHeight;
  if (k >= count) return false;
  display.HitLineIndex = k;
  const TLigne& line = b.Lignes[static_cast<std::size_t>(k)];
  if (!line.EstCall) {
    display.FollowName.clear();
    return false;
  }
  display.FollowName = FollowNameOf(line.Text);
  return true;
}

void MoveGroup(Flowchart& sheet, int box) {
  for (int i = 1; i <= sheet.Boxes.Count(); ++i)
    if (sheet.IsLinked(box, i)) sheet.Boxes[i].Place(sheet);
}

AddressLine FindAddressLine(const Flowchart& sheet, std::uint16_t address) {
  for (int i = 1; i <= sheet.Boxes.Count(); ++i) {
    const TRectangle& b = sheet.Boxes[i];
    for (std::size_t k = 0; k < b.Lignes.size(); ++k) {
      const TLigne& line = b.Lignes[k];
      if (line.AddrText.empty()) continue;
      const auto first = StrToWord("$" + line.AddrText);
      if (!first) continue;
      std::uint16_t last = *first;
      if (!line.AddrEndText.empty()) {
        const auto end = StrToWord("$" + line.AddrEndText);
        if (!end) continue;
        last = *end;
      }
      if (address >= *first && address <= last) return {i, static_cast<int>(k), last};
    }
  }
  return {};
}

bool ShowAddress(Flowchart& sheet, FlowDisplay& display, std::uint16_t address, std::uint16_t pc,
                 std::uint16_t& runTarget, SheetViewport* viewport, SheetPainter* painter) {
  const AddressLine found = FindAddressLine(sheet, address);
  if (found.box == 0) return false;
  runTarget = found.end;
  TRectangle& b = sheet.Boxes[found.box];
  const std::string& addrText = b.Lignes[static_cast<std::size_t>(found.line)].AddrText;
  if (address == pc)
    display.PCAddrText = addrText;
  else
    display.SelAddrText = addrText;

  if (viewport != nullptr) {
    const int y = b.Rect.Top + found.line * sheet.LineH + 3;
    const int yv = y - viewport->ScrollY();
    const int clientW = viewport->ClientWidth();
    const int clientH = viewport->ClientHeight();
    if (yv < 100 || yv > clientH - 200) viewport->SetScroll(b.Rect.Left - clientW / 2, y - clientH / 2);
  }
  if (painter != nullptr) {
    if (sheet.Boxes.Valid(sheet.HighlightBox) && sheet.HighlightBox != found.box)
      sheet.Boxes[sheet.HighlightBox].Dessine(sheet, *painter);
    b.Dessine(sheet, *painter);
  }
  sheet.HighlightBox = found.box;
  return true;
}

bool CanDrag(const Flowchart& sheet, int box) {
  if (!sheet.Boxes.Valid(box)) return false;
  const TRectangle& b = sheet.Boxes[box];
  const bool hasParent = sheet.Boxes.Valid(b.ObjetParent) && b.ObjetParent != b.ObjetSelf;
  if (!hasParent) return true;
  return b.Genre == 'r' && !b.Titre;
}

int SheetDrag::ButtonDown(Flowchart& sheet, int x, int y) {
  const std::vector<int> hits = HitBox(sheet, x, y);
  box_ = hits.empty() ? 0 : hits.back();
  moves_ = 0;
  if (box_ == 0) return 0;
  TRectangle& b = sheet.Boxes[box_];
  b.EnDeplacement = true;
  sheet.GrabX = x - b.Rect.Left;
  sheet.GrabY = y - b.Rect.Top;
  return box_;
}

bool SheetDrag::Move(Flowchart& sheet, int x, int y) {
  if (!sheet.Boxes.Valid(box_) || !sheet.Boxes[box_].EnDeplacement) return false;
  if (moves_ < skip_) {
    ++moves_;
    return false;
  }
  sheet.Boxes[box_].Deplace(sheet, x, y);
  sheet.CoordsModified = true;
  MoveGroup(sheet, box_);
  return true;
}

bool SheetDrag::ButtonUp(Flowchart& sheet) {
  if (sheet.Boxes.Valid(box_)) sheet.Boxes[box_].EnDeplacement = false;
  box_ = 0;
  moves_ = 0;
  if (!sheet.SheetOverflow) return false;
  sheet.SheetOverflow = false;
  return true;
}

}  // namespace hc11
