// Moves the vertical jump lines sideways so that they cross no box and no
// other line, then places each box's comment column clear of the lines.
#include <algorithm>
#include <limits>

#include "flowchart/sheet.h"

namespace hc11 {

namespace {

TRect Ordered(TRect r) {
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  return r;
}

// The line's rectangle, top and bottom in order, widened by 4 on each side.
TRect Corridor(const TLigneV& v) {
  TRect r = Ordered(v.Rect);
  r.Left -= 4;
  r.Right += 4;
  return r;
}

}  // namespace

// The first box or routed line that `r` meets for line `v`: boxes with an
// address (not the source when it is a jump box), then routed lines going to
// another target. Null when the corridor is clear. Without overlaps, comment
// boxes are avoided too.
static const TORect* Obstacle(const Flowchart& sheet, const TLigneV& v, const TRect& r) {
  for (int b = 1; b <= sheet.Boxes.Count(); ++b) {
    const TRectangle& box = sheet.Boxes[b];
    if (!box.HasAddress() && !sheet.NoOverlapLayout) continue;
    if (b == v.ObjetParent && box.IsJumpBox()) continue;
    if (r.Intersects(Ordered(box.Rect))) return &box;
  }
  for (int l = 1; l <= sheet.Lines.Count(); ++l) {
    const TLigneV* other = sheet.Lines.LineV(l);
    if (other == nullptr || other == &v || other->OfsY != 0 || other->ObjetParentb == v.ObjetParentb)
      continue;
    if (r.Intersects(Ordered(other->Rect))) return other;
  }
  return nullptr;
}

void Flowchart::RouteLines() {
  // Every line is routed afresh: a line counts as routed only once this pass
  // has placed it, so a relayout gives the same routes as the first build.
  for (int l = 1; l <= Lines.Count(); ++l)
    if (TLigneV* v = Lines.LineV(l)) v->OfsY = -1;

  for (int l = 1; l <= Lines.Count(); ++l) {
    TLigneV* v = Lines.LineV(l);
    if (v == nullptr || !Boxes.Valid(v->ObjetParent) || !Boxes.Valid(v->ObjetParentb)) continue;
    const TRectangle& s = Boxes[v->ObjetParent];
    const TRectangle& t = Boxes[v->ObjetParentb];
    v->Place(*this);
    bool conflict = true;
    if (v->Rect.Top < v->Rect.Bottom && (t.ObjetParent == 0 || t.Genre == 'r')) {
      v->OfsX = t.CenterX() - s.Rect.Left;
      v->Place(*this);
      conflict = Obstacle(*this, *v, Corridor(*v)) != nullptr;
    }
    if (conflict) {
      v->OfsY = -1;
      v->OfsX = s.IsJumpBox() ? s.CenterX() - s.Rect.Left + 2 : 0;
    } else {
      v->OfsY = 0;
    }
    v->Place(*this);
  }

  for (;;) {
    // Upward lines first (negative height), the longest first.
    TLigneV* next = nullptr;
    for (int l = 1; l <= Lines.Count(); ++l) {
      TLigneV* v = Lines.LineV(l);
      if (v == nullptr || v->OfsY != -1 || v->Haut >= 99999) continue;
      if (next == nullptr || v->Haut < next->Haut) next = v;
    }
    if (next == nullptr) break;
    TRect r = Corridor(*next);
    bool moved = false;
    while (const TORect* obstacle = Obstacle(*this, *next, r)) {
      const TRect R = Ordered(obstacle->Rect);
      r.Left = next->VersGauche ? R.Left - 9 : R.Right + 1;
      r.Right = r.Left + 8 + next->Larg;
      moved = true;
    }
    const int sourceLeft = Boxes.Valid(next->ObjetParent) ? Boxes[next->ObjetParent].Rect.Left : 0;
    next->OfsX = r.Left - sourceLeft + (moved ? 4 : 2);
    next->OfsY = 0;
    next->Place(*this);
    PicW = std::max(PicW, next->Rect.Right + 4);
  }
  // The stubs follow their lines.
  for (int l = 1; l <= Lines.Count(); ++l)
    if (Lines.LineV(l) == nullptr) Lines[l].Place(*this);
}

void Flowchart::CommentColumns() {
  for (int b = 1; b <= Boxes.Count(); ++b) {
    TRectangle& box = Boxes[b];
    box.XComment = box.XCommentFin = box.Rect.Right + 5;
    int y = box.Rect.Top + 4;
    for (const TLigne& line : box.Lignes) {
      if (!line.Commentaire.empty())
        box.XCommentFin =
            std::max(box.XCommentFin, box.XComment + metrics_->TextWidth(line.Commentaire) + 11);
      // Shift the column right of every jump line it would cross.
      for (bool again = true; again;) {
        again = false;
        const TRect column{box.XComment, y, box.XComment + 50, y + LineH};
        for (int l = 1; l <= Lines.Count(); ++l) {
          const TLigneV* v = Lines.LineV(l);
          if (v == nullptr) continue;
          const TRect R = Ordered(v->Rect);
          if (!column.Intersects(R)) continue;
          const int shift = R.Right + 1 - box.XComment;
          box.XComment += shift;
          box.XCommentFin += shift;
          again = true;
          break;
        }
      }
      PicW = std::max(PicW, box.XCommentFin);
      y += LineH + 3;
    }
  }
}

}  // namespace hc11
