#include "workbench/sheet_gestures.h"

#include <algorithm>
#include <vector>

#include "core/text_util.h"

namespace hc11 {

namespace {

constexpr int kTabWidth = 15;

struct SheetLine {
  int index;  // listing order
  std::uint16_t address;
};

std::vector<SheetLine> LinesWithAddress(const Flowchart& sheet) {
  std::vector<SheetLine> out;
  for (int b = 1; b <= sheet.Boxes.Count(); ++b) {
    for (const TLigne& line : sheet.Boxes[b].Lignes) {
      if (line.AddrText.empty()) continue;
      if (const auto a = StrToWord("$" + line.AddrText)) out.push_back({line.Index, *a});
    }
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const SheetLine& l, const SheetLine& r) { return l.index < r.index; });
  return out;
}

}  // namespace

std::optional<std::uint16_t> TabAddressAt(const Flowchart& sheet, int x, int y) {
  const int row = sheet.LineH + 3;
  for (int b = 1; b <= sheet.Boxes.Count(); ++b) {
    const TRectangle& box = sheet.Boxes[b];
    if (box.AddrText.empty() || x < box.Rect.Left - kTabWidth || x >= box.Rect.Left || y < box.Rect.Top)
      continue;
    const int k = (y - box.Rect.Top) / row;
    if (k >= static_cast<int>(box.Lignes.size())) continue;
    const TLigne& line = box.Lignes[static_cast<std::size_t>(k)];
    if (line.AddrText.empty()) continue;
    if (const auto a = StrToWord("$" + line.AddrText)) return a;
  }
  return std::nullopt;
}

std::optional<std::uint16_t> NeighbourLine(const Flowchart& sheet, std::optional<std::uint16_t> from,
                                           int step) {
  const std::vector<SheetLine> lines = LinesWithAddress(sheet);
  if (lines.empty()) return std::nullopt;
  if (!from) return lines.front().address;
  const auto at =
      std::find_if(lines.begin(), lines.end(), [&](const SheetLine& l) { return l.address == *from; });
  if (at == lines.end()) return lines.front().address;
  const auto pos = at - lines.begin() + step;
  if (pos < 0 || pos >= static_cast<long>(lines.size())) return std::nullopt;
  return lines[static_cast<std::size_t>(pos)].address;
}

std::optional<std::string> CallLineAt(const Flowchart& sheet, std::uint16_t address) {
  const std::string text = Format("%4.4X", address);
  for (int b = 1; b <= sheet.Boxes.Count(); ++b)
    for (const TLigne& line : sheet.Boxes[b].Lignes)
      if (line.EstCall && ToLower(line.AddrText) == ToLower(text)) return line.Text;
  return std::nullopt;
}

std::optional<bool> ToggleBreakpoint(BreakpointList& breaks, Machine& m, std::uint16_t address,
                                     const TListSyn& lines) {
  if (breaks.CanDeleteAt(address)) {
    breaks.BreakDeleteAt(address);
    return false;
  }
  if (breaks.Find(address) || m.tInst[address] != 0) return std::nullopt;
  breaks.BreakEditAt(address, lines);
  return true;
}

}  // namespace hc11
