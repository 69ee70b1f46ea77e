// The clear layout's routing pass: a sheet whose straight routes read well
// keeps them; otherwise every jump is laid on a track of its own, then the
// comment columns move right of whatever lies in their way.
#include <algorithm>
#include <vector>

#include "flowchart/sheet.h"
#include "flowchart/sheet_legibility.h"
#include "flowchart/sheet_track_router.h"

namespace hc11 {
namespace {

using tracks::TrackRouter;

// Comment columns right of the box, moved right past every box, jump piece,
// tag or earlier comment in their way.
void PlaceComments(Flowchart& sheet, const TrackRouter& router) {
  std::vector<TRect> obstacles = router.InkRects();
  for (const JumpSegment& s : router.Placed()) {
    TRect c = s.Cells();
    c.Left -= 1;
    c.Right += 1;
    obstacles.push_back(c);
  }
  for (const TRect& t : router.Tags()) obstacles.push_back(t);
  std::vector<TRect> rows;
  for (int b = 1; b <= sheet.Boxes.Count(); ++b) {
    TRectangle& box = sheet.Boxes[b];
    box.XComment = box.XCommentFin = box.Rect.Right + 5;
    rows.clear();
    int y = box.Rect.Top + 4, widest = 0;
    for (const TLigne& line : box.Lignes) {
      if (!line.Commentaire.empty()) {
        const int w = sheet.Metrics().TextWidth(line.Commentaire);
        rows.push_back({0, y, w, y + sheet.LineH});
        widest = std::max(widest, w);
      }
      y += sheet.LineH + 3;
    }
    if (rows.empty()) continue;
    int x = box.XComment;
    for (bool again = true; again;) {
      again = false;
      for (const TRect& row : rows) {
        const TRect cell{x + row.Left, row.Top, x + row.Right, row.Bottom};
        // The box's own comment lines that spill beyond it are met too.
        for (const TRect& o : obstacles) {
          if (!cell.Intersects(o)) continue;
          x = o.Right + 2;
          again = true;
          break;
        }
        if (again) break;
      }
    }
    box.XComment = x;
    box.XCommentFin = x + widest + 11;
    for (const TRect& row : rows) obstacles.push_back({x, row.Top, x + row.Right, row.Bottom});
    sheet.PicW = std::max(sheet.PicW, box.XCommentFin);
  }
}

// The literal layout's straight routes read well: nothing crossed, every jump drops
// straight onto its target's centre, no crossing at all.
bool LiteralRoutesReadWell(const Flowchart& sheet) {
  for (int l = 1; l <= sheet.Lines.Count(); ++l) {
    const TLigneV* v = sheet.Lines.LineV(l);
    if (v == nullptr || !sheet.Boxes.Valid(v->ObjetParent) || !sheet.Boxes.Valid(v->ObjetParentb)) continue;
    if (v->Rect.Bottom <= v->Rect.Top || v->Rect.Left != sheet.Boxes[v->ObjetParentb].CenterX()) return false;
  }
  const Legibility l = MeasureLegibility(sheet, /*showComments=*/true);
  return l.Clean() && l.crossings == 0;
}

}  // namespace

void Flowchart::RouteClear() {
  for (int l = 1; l <= Lines.Count(); ++l)
    if (TLigneV* v = Lines.LineV(l)) v->Piste = false;
  const int picW = PicW;
  RouteLines();
  CommentColumns();
  if (LiteralRoutesReadWell(*this)) return;
  PicW = picW;
  TrackRouter router(*this);
  router.Run();
  PlaceComments(*this, router);
}

}  // namespace hc11
