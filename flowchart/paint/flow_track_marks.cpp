#include "flowchart/paint/flow_track_marks.h"

#include <QFontMetrics>
#include <QPen>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <algorithm>

#include "flowchart/paint/flow_painter.h"
#include "flowchart/sheet_legibility.h"

namespace hc11 {

namespace {

constexpr Colour kTagColour = 0x505050;

// A one-pixel-wide bar from (x0, y0) to (x1, y1), drawn as the literal layout draws
// its lines (the outline of a one-pixel rectangle).
void Bar(QPainter& p, int x0, int y0, int x1, int y1) {
  p.setPen(QPen(ToQColor(kBlack), 1));
  p.setBrush(ToQColor(kWhite));
  p.drawPolygon(QPolygon({QPoint(x0, y0), QPoint(x1 + (x0 == x1 ? 1 : 0), y0),
                          QPoint(x1 + (x0 == x1 ? 1 : 0), y1 + (y0 == y1 ? 1 : 0)),
                          QPoint(x0, y1 + (y0 == y1 ? 1 : 0))}));
}

}  // namespace

void PaintTrackLine(QPainter& p, const Flowchart& sheet, const TLigneV& line) {
  for (const JumpSegment& s : TrackPieces(sheet, line))
    Bar(p, std::min(s.x0, s.x1), std::min(s.y0, s.y1), std::max(s.x0, s.x1), std::max(s.y0, s.y1));
}

void PaintTrackStub(QPainter& p, const TLigneH& stub) {
  const TRect& r = stub.Rect;
  const int track = r.Right - 1;
  Bar(p, std::min(r.Left, track), r.Top, std::max(r.Left, track), r.Top);
  if (stub.Genre != 'b') return;
  // The arrowhead: its tip on the target's side, pointing into the box.
  const int dir = r.Left < track ? 1 : -1;
  p.setPen(QPen(ToQColor(kBlack), 1));
  p.setBrush(ToQColor(kBlack));
  p.drawPolygon(QPolygon({QPoint(r.Left, r.Top), QPoint(r.Left + 6 * dir, r.Top - 3),
                          QPoint(r.Left + 6 * dir, r.Top + 4), QPoint(r.Left, r.Top + 1)}));
  p.setBrush(ToQColor(kWhite));
}

void PaintJumpMarks(QPainter& p, const Flowchart& sheet, const QFont& font) {
  if (!sheet.NoOverlapLayout) return;
  p.setPen(QPen(ToQColor(kBlack), 1));
  p.setBrush(ToQColor(kBlack));
  for (const Junction& j : Junctions(JumpSegments(sheet))) p.drawEllipse(QRect(j.x - 2, j.y - 2, 4, 4));
  p.setBrush(ToQColor(kWhite));

  // The tags in a smaller type, fitted to the cells the layout kept for them.
  QFont small = font;
  small.setPixelSize(TagHeight(sheet));
  const QFontMetrics widths(small);
  const QFont saved = p.font();
  for (int l = 1; l <= sheet.Lines.Count(); ++l) {
    const ExitTag tag = ExitTagOf(sheet, l);
    if (tag.text.empty()) continue;
    QFont f = small;
    const QString text = QString::fromStdString(tag.text);
    const int room = tag.r.Right - tag.r.Left;
    if (widths.horizontalAdvance(text) > room && widths.horizontalAdvance(text) > 0)
      f.setPixelSize(std::max(5, TagHeight(sheet) * room / widths.horizontalAdvance(text)));
    p.setFont(f);
    p.setPen(QPen(ToQColor(kTagColour), 1));
    p.drawText(QRect(tag.r.Left, tag.r.Top, room, tag.r.Bottom - tag.r.Top), Qt::AlignLeft | Qt::AlignVCenter,
               text);
  }
  p.setFont(saved);
  p.setPen(QPen(ToQColor(kBlack), 1));
}

}  // namespace hc11
