// The painted geometry of a sheet's jumps and texts, and the counts that say
// how well it reads.
#include "flowchart/sheet_legibility.h"

#include <algorithm>
#include <cstdlib>

#include "core/text_util.h"

namespace hc11 {

std::vector<JumpSegment> JumpSegments(const Flowchart& sheet) {
  std::vector<JumpSegment> out;
  for (int l = 1; l <= sheet.Lines.Count(); ++l) {
    const TORect& o = sheet.Lines[l];
    const int vi = o.Genre == '.' ? l : o.ObjetParent;
    const TLigneV* v = sheet.Lines.LineV(vi);
    if (v == nullptr || !sheet.Boxes.Valid(v->ObjetParent) || !sheet.Boxes.Valid(v->ObjetParentb)) continue;
    JumpSegment s;
    s.line = vi;
    s.source = v->ObjetParent;
    s.target = v->ObjetParentb;
    if (o.Genre == '.') {
      for (const JumpSegment& piece : TrackPieces(sheet, *v)) out.push_back(piece);
      continue;
    } else {
      s.x0 = o.Rect.Left;
      s.x1 = o.Rect.Right - 1;
      s.y0 = s.y1 = o.Rect.Top;
      if (s.x0 == s.x1) continue;
    }
    out.push_back(s);
  }
  return out;
}

std::vector<JumpSegment> TrackPieces(const Flowchart& sheet, const TLigneV& v) {
  std::vector<JumpSegment> out;
  const JumpSegment base{0, 0, 0, 0, v.ObjetSelf, v.ObjetParent, v.ObjetParentb};
  auto add = [&](int x0, int y0, int x1, int y1) {
    if (x0 == x1 && y0 == y1) return;
    JumpSegment s = base;
    s.x0 = x0, s.y0 = y0, s.x1 = x1, s.y1 = y1;
    out.push_back(s);
  };
  const int x = v.Rect.Left;
  add(x, v.Rect.Top, x, v.Rect.Bottom);
  if (v.Piste && v.Detour && sheet.Boxes.Valid(v.ObjetParent) && sheet.Boxes.Valid(v.ObjetParentb)) {
    const TRectangle& s = sheet.Boxes[v.ObjetParent];
    const TRectangle& t = sheet.Boxes[v.ObjetParentb];
    const int x2 = s.Rect.Left + v.DetourDX, yc = v.Rect.Bottom;
    add(x, yc, x2, yc);
    add(x2, yc, x2, t.Rect.Top + v.EntreeDY);
  }
  return out;
}

int TagHeight(const Flowchart& sheet) {
  return std::max(7, sheet.LineH * 2 / 3);
}

int TagWidth(const Flowchart& sheet, const std::string& text) {
  return sheet.Metrics().TextWidth(text) * 2 / 3 + 2;
}

ExitTag ExitTagOf(const Flowchart& sheet, int line) {
  ExitTag tag;
  const TLigneV* v = sheet.Lines.LineV(line);
  if (!sheet.NoOverlapLayout || v == nullptr || !sheet.Boxes.Valid(v->ObjetParent) ||
      !sheet.Boxes.Valid(v->ObjetParentb))
    return tag;
  const TRectangle& s = sheet.Boxes[v->ObjetParent];
  if (s.Triangle == 0 || s.ObjetLineV != line) return tag;
  tag.text = s.PointD != 0 ? "non" : "oui";
  const bool left = v->Piste ? v->SortieGauche : v->Rect.Left < s.CenterX();
  tag.r = ExitTagRect(sheet, s, tag.text, left, v->Rect.Top, v->Rect.Bottom >= v->Rect.Top);
  return tag;
}

// Beside the box, on the side the line leaves from, and on the far side of
// the exit stub from the line's run.
TRect ExitTagRect(const Flowchart& sheet, const TRectangle& s, const std::string& text, bool left, int y,
                  bool down) {
  return ExitTagRect(sheet, s, TagWidth(sheet, text), left, y, down);
}

TRect ExitTagRect(const Flowchart& sheet, const TRectangle& s, int w, bool left, int y, bool down) {
  const int h = TagHeight(sheet);
  const int x = left ? s.Rect.Left - 2 - w : s.Rect.Right + 2;
  const int top = down ? y - 1 - h : y + 2;
  return {x, top, x + w, top + h};
}

std::vector<TextCell> TextCells(const Flowchart& sheet, bool showComments) {
  std::vector<TextCell> cells;
  const TextMetrics& m = sheet.Metrics();
  for (int b = 1; b <= sheet.Boxes.Count(); ++b) {
    const TRectangle& box = sheet.Boxes[b];
    const TRect& r = box.Rect;
    if (box.Titre) {
      cells.push_back(
          {{r.Left + 5, r.Top + 1, r.Left + 5 + m.TextWidth(box.Texte2), r.Top + 1 + sheet.LineH}, b, true});
      continue;
    }
    if (box.HasAddress() && box.LargLabel > 0)
      cells.push_back(
          {{r.Left + 1, r.Top + 1, r.Left + 1 + m.TextWidth(box.LabelAff), r.Top + 1 + sheet.LineH},
           b,
           true});
    const int x = r.Left + 1 + box.LargLabel + box.Triangle;
    int y = r.Top + 4;
    for (const TLigne& line : box.Lignes) {
      // A comment line of a box is not the box's own: it may spill beyond it.
      if (!line.Text.empty() && (!line.AddrText.empty() || showComments))
        cells.push_back({{x, y, x + m.TextWidth(line.Text), y + sheet.LineH}, b, !line.AddrText.empty()});
      if (showComments && !line.Commentaire.empty())
        cells.push_back(
            {{box.XComment, y, box.XComment + m.TextWidth(line.Commentaire), y + sheet.LineH}, b, false});
      y += sheet.LineH + 3;
    }
  }
  for (int l = 1; l <= sheet.Lines.Count(); ++l) {
    const ExitTag tag = ExitTagOf(sheet, l);
    if (!tag.text.empty()) cells.push_back({tag.r, 0, false});
  }
  return cells;
}

namespace {

bool Inside(int v, int a, int b) {
  return v > std::min(a, b) && v < std::max(a, b);
}

bool SameTarget(const JumpSegment& a, const JumpSegment& b) {
  return a.target == b.target;
}

// The two pieces run side by side closer than the gap over some length.
bool TooClose(const JumpSegment& a, const JumpSegment& b) {
  if (a.Vertical() != b.Vertical()) return false;
  const TRect ra = a.Cells(), rb = b.Cells();
  if (a.Vertical()) {
    const int overlap = std::min(ra.Bottom, rb.Bottom) - std::max(ra.Top, rb.Top);
    return overlap > 1 && std::abs(a.x0 - b.x0) < kTrackGap;
  }
  const int overlap = std::min(ra.Right, rb.Right) - std::max(ra.Left, rb.Left);
  return overlap > 1 && std::abs(a.y0 - b.y0) < kStubGap;
}

// A vertical and a horizontal piece cross away from their ends.
bool Cross(const JumpSegment& a, const JumpSegment& b) {
  if (a.Vertical() == b.Vertical()) return false;
  const JumpSegment& v = a.Vertical() ? a : b;
  const JumpSegment& h = a.Vertical() ? b : a;
  return Inside(v.x0, h.x0, h.x1) && Inside(h.y0, v.y0, v.y1);
}

bool OnSegment(int x, int y, const JumpSegment& s, bool strict) {
  if (s.Vertical())
    return x == s.x0 &&
           (strict ? Inside(y, s.y0, s.y1) : y >= std::min(s.y0, s.y1) && y <= std::max(s.y0, s.y1));
  return y == s.y0 &&
         (strict ? Inside(x, s.x0, s.x1) : x >= std::min(s.x0, s.x1) && x <= std::max(s.x0, s.x1));
}

}  // namespace

std::vector<Junction> Junctions(const std::vector<JumpSegment>& segments) {
  std::vector<Junction> out;
  for (const JumpSegment& a : segments) {
    for (const auto& end : {std::pair{a.x0, a.y0}, std::pair{a.x1, a.y1}}) {
      // Plain copies: a lambda may not capture structured bindings on every compiler.
      const auto x = end.first, y = end.second;
      bool joins = false;
      for (const JumpSegment& b : segments)
        joins = joins || (b.line != a.line && SameTarget(a, b) && OnSegment(x, y, b, /*strict=*/true));
      if (!joins) continue;
      const bool known =
          std::any_of(out.begin(), out.end(), [&](const Junction& j) { return j.x == x && j.y == y; });
      if (!known) out.push_back({x, y});
    }
  }
  return out;
}

Legibility MeasureLegibility(const Flowchart& sheet, bool showComments) {
  Legibility l;
  const std::vector<JumpSegment> segments = JumpSegments(sheet);
  const std::vector<TextCell> texts = TextCells(sheet, showComments);
  for (const JumpSegment& s : segments) {
    const TRect c = s.Cells();
    bool box = false, text = false;
    for (int b = 1; b <= sheet.Boxes.Count() && !box; ++b) {
      const TRectangle& r = sheet.Boxes[b];
      if (b == s.source || b == s.target || !r.HasAddress()) continue;
      box = c.Intersects(r.Rect);
    }
    for (const TextCell& t : texts) {
      if (t.own && (t.box == s.source || t.box == s.target)) continue;
      text = text || c.Intersects(t.r);
    }
    l.segmentsThroughBoxes += box;
    l.segmentsThroughText += text;
  }
  for (std::size_t i = 0; i < segments.size(); ++i)
    for (std::size_t j = i + 1; j < segments.size(); ++j) {
      const JumpSegment &a = segments[i], &b = segments[j];
      if (a.line == b.line) continue;
      if (!SameTarget(a, b) && TooClose(a, b)) ++l.sharedTracks;
      if (!SameTarget(a, b) && Cross(a, b)) ++l.crossings;
    }
  if (showComments)
    for (const TextCell& t : texts) {
      if (t.own || t.box == 0) continue;
      for (int b = 1; b <= sheet.Boxes.Count(); ++b) {
        const TRectangle& r = sheet.Boxes[b];
        if (b != t.box && r.HasAddress() && !r.Titre && t.r.Intersects(r.Rect)) {
          ++l.commentsOverBoxes;
          break;
        }
      }
    }
  return l;
}

std::string LegibilityLine(const Legibility& l) {
  return Format(
      "legibility: segments_through_boxes=%d segments_through_text=%d shared_tracks=%d crossings=%d",
      l.segmentsThroughBoxes, l.segmentsThroughText, l.sharedTracks, l.crossings);
}

}  // namespace hc11
