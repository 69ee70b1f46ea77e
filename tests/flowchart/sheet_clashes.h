// What makes a sheet hard to read, counted: boxes lying on each other, and
// vertical jump lines running through a box other than their own two.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "flowchart/sheet.h"

namespace hc11::test {

struct SheetClashes {
  std::vector<std::string> overlaps;   // "box 3 / box 7"
  std::vector<std::string> crossings;  // "line 4 / box 9"
  std::vector<std::string> negative;   // "box 2" with a negative coordinate
  bool Clean() const { return overlaps.empty() && crossings.empty() && negative.empty(); }
};

inline SheetClashes FindClashes(const Flowchart& sheet) {
  SheetClashes c;
  const int n = sheet.Boxes.Count();
  for (int i = 1; i <= n; ++i) {
    const TRect& a = sheet.Boxes[i].Rect;
    if (a.Left < 0 || a.Top < 0) c.negative.push_back("box " + std::to_string(i));
    for (int j = i + 1; j <= n; ++j)
      if (a.Intersects(sheet.Boxes[j].Rect))
        c.overlaps.push_back("box " + std::to_string(i) + " / box " + std::to_string(j));
  }
  for (int l = 1; l <= sheet.Lines.Count(); ++l) {
    const TLigneV* v = sheet.Lines.LineV(l);
    if (v == nullptr) continue;
    TRect r = v->Rect;
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    for (int b = 1; b <= n; ++b)
      if (b != v->ObjetParent && b != v->ObjetParentb && r.Intersects(sheet.Boxes[b].Rect))
        c.crossings.push_back("line " + std::to_string(l) + " / box " + std::to_string(b));
  }
  return c;
}

inline std::string Describe(const SheetClashes& c) {
  std::string s;
  for (const auto* list : {&c.overlaps, &c.crossings, &c.negative})
    for (const std::string& item : *list) s += item + "; ";
  return s;
}

}  // namespace hc11::test
