#include "flowchart/paint/flow_painter.h"

#include <QPen>
#include <QPoint>
#include <QPolygon>
#include <QRect>

#include "core/text_util.h"
#include "flowchart/paint/flow_font.h"
#include "flowchart/paint/flow_track_marks.h"

namespace hc11 {

namespace {

QPolygon RectPolygon(const TRect& r) {
  return QPolygon(
      {QPoint(r.Left, r.Top), QPoint(r.Right, r.Top), QPoint(r.Right, r.Bottom), QPoint(r.Left, r.Bottom)});
}

}  // namespace

QtSheetPainter::QtSheetPainter(QPainter& painter, const FlowDisplay& display, const QFont& font, int width,
                               int height)
    : p_(painter), display_(display), fontMetrics_(font), width_(width), height_(height) {}

void QtSheetPainter::Use(Colour pen, Colour brush) {
  p_.setPen(QPen(ToQColor(pen), 1));
  p_.setBrush(ToQColor(brush));
}

// The sheet's ellipses are given by their bounding box, right and bottom
// exclusive; a stroked QRect covers one pixel more than its size.
void QtSheetPainter::Ellipse(int left, int top, int right, int bottom) {
  p_.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void QtSheetPainter::Text(const Flowchart& sheet, int x, int y, std::string_view text, const QColor& fg,
                          const QColor& bg) {
  p_.fillRect(QRect(x, y, sheet.Metrics().TextWidth(text), sheet.LineH), bg);
  const QPen pen = p_.pen();
  p_.setPen(fg);
  p_.drawText(QPoint(x, y + fontMetrics_.ascent()), ToQString(text));
  p_.setPen(pen);
}

void QtSheetPainter::CheckOverflow(Flowchart& sheet, const TRect& r) const {
  if (r.Right > width_ || r.Bottom > height_) sheet.SheetOverflow = true;
}

void QtSheetPainter::PaintBox(Flowchart& sheet, TRectangle& box) {
  if (box.Titre) {
    PaintTitle(sheet, box);
    return;
  }
  Use(kBlack, kWhite);
  PaintLineMarks(sheet, box);
  // A comment box is text only.
  if (box.HasAddress()) {
    if (display_.CoverageHook) PaintCoverageFill(box);
    PaintOutline(sheet, box);
    if (display_.CoverageHook) PaintNeverRunHatch(box);
    PaintLabel(sheet, box);
  }
  PaintTextLines(sheet, box);
  boxFill_ = kWhite;
  CheckOverflow(sheet, box.Rect);
  Use(kBlack, kWhite);
}

void QtSheetPainter::PaintTitle(Flowchart& sheet, const TRectangle& box) {
  Use(box.Couleur, kWhite);
  Ellipse(box.Rect.Left, box.Rect.Top, box.Rect.Right, box.Rect.Bottom);
  Text(sheet, box.Rect.Left + 5, box.Rect.Top + 1, box.Texte2, ToQColor(kRed), ToQColor(kWhite));
  CheckOverflow(sheet, box.Rect);
  Use(kBlack, kWhite);
}

// A tab from 15 pixels left of the box for every line whose address has a
// colour (a breakpoint); an address that is no hexadecimal number is red.
void QtSheetPainter::PaintLineMarks(const Flowchart& sheet, const TRectangle& box) {
  if (!box.HasAddress()) return;
  int y = 0;
  for (const TLigne& line : box.Lignes) {
    if (!line.AddrText.empty()) {
      Colour colour = kRed;
      if (const auto addr = StrToWord("$" + line.AddrText))
        colour = display_.LineColorHook ? display_.LineColorHook(*addr) : kWhite;
      if (colour != kWhite)
        p_.fillRect(QRect(box.Rect.Left - 15, box.Rect.Top + y, box.Larg + 15, 20), ToQColor(colour));
    }
    y += sheet.LineH + 3;
  }
}

QPolygon QtSheetPainter::OutlineOf(const TRectangle& box) const {
  const int lx = box.Rect.Left + box.LargLabel;
  const int t = box.Triangle;
  const int yt = box.Rect.Top + 3;
  const int yb = box.Rect.Bottom - 4 - box.PointB;
  const int xr = box.Rect.Right - 1;
  const int midY = box.MidY();
  if (t == 0) return QPolygon({QPoint(lx, yb), QPoint(lx, yt), QPoint(xr, yt), QPoint(xr, yb)});
  return QPolygon({QPoint(lx + t, yb), QPoint(lx, midY), QPoint(lx + t, yt), QPoint(xr - t, yt),
                   QPoint(xr - box.PointD, midY), QPoint(xr - t, yb)});
}

void QtSheetPainter::PaintOutline(const Flowchart& sheet, const TRectangle& box) {
  p_.drawPolygon(OutlineOf(box));
  if (box.Triangle == 0) return;
  const int lx = box.Rect.Left + box.LargLabel;
  const int xr = box.Rect.Right - 1;
  const int midY = box.MidY();
  // The exit mark: at the bottom, or on the side the jump line leaves from.
  if (box.PointB != 0) {
    Ellipse(box.CenterX() - 2, box.Rect.Bottom - 7, box.CenterX() + 2, box.Rect.Bottom - 3);
    return;
  }
  const TLigneV* jump = sheet.Lines.LineV(box.ObjetLineV);
  if (jump != nullptr && jump->VersGauche)
    Ellipse(lx - 1, midY - 2, lx + 3, midY + 2);
  else
    Ellipse(xr - box.PointD, midY - 2, xr - box.PointD + 4, midY + 2);
}

void QtSheetPainter::PaintLabel(const Flowchart& sheet, const TRectangle& box) {
  const TRect& r = box.Rect;
  if (box.LargLabel > 0) {
    // The label of a box reached through title boxes (extra text "r") sits
    // in a red oval.
    Colour background = kWhite;
    if (box.Texte2 == "r") {
      background = kRed;
      Use(kBlack, kRed);
      Ellipse(r.Left - 4, r.Top, r.Left + box.LargLabel, r.Top + sheet.LineH + 5);
    }
    Text(sheet, r.Left + 1, r.Top + 1, box.LabelAff, ToQColor(kBlack), ToQColor(background));
    Use(kBlack, kWhite);
  }
  // Short strokes on the centre line; stacked boxes touch, so they join into
  // the flow line.
  p_.setPen(QPen(ToQColor(kRed), 1));
  const int cx = box.CenterX();
  p_.drawLine(cx, r.Top + 3, cx, r.Top - 1);
  p_.drawLine(cx, r.Bottom - 3, cx, r.Bottom);
  p_.setPen(QPen(ToQColor(kBlack), 1));
}

void QtSheetPainter::PaintTextLines(const Flowchart& sheet, const TRectangle& box) {
  const int x = box.Rect.Left + 1 + box.LargLabel + box.Triangle;
  int y = 0;
  for (const TLigne& line : box.Lignes) {
    Colour fg = kBlack, bg = boxFill_;
    if (line.EstCall) fg = kBlue;
    if (line.AddrText == display_.SelAddrText) fg = kWhite, bg = kTeal;
    // The program counter's line wins over the selection.
    if (line.AddrText == display_.PCAddrText) fg = kWhite, bg = kNavy;
    if (line.AddrText.empty()) fg = kGreen, bg = kWhite;
    const int top = box.Rect.Top + 4 + y;
    if (!line.Text.empty() && (!line.AddrText.empty() || display_.ShowComments))
      Text(sheet, x, top, line.Text, ToQColor(fg), ToQColor(bg));
    if (display_.CommentPass && display_.ShowComments && !line.Commentaire.empty())
      Text(sheet, box.XComment, top, line.Commentaire, ToQColor(kGreen), ToQColor(kWhite));
    y += sheet.LineH + 3;
  }
}

void QtSheetPainter::PaintLineV(Flowchart& sheet, TLigneV& line) {
  Use(kBlack, kWhite);
  const TRect& r = line.Rect;
  if (line.Piste) {
    PaintTrackLine(p_, sheet, line);
    CheckOverflow(sheet, r);
    return;
  }
  p_.drawPolygon(RectPolygon(r));
  // An open arrowhead at the lower end, pointing along the line.
  const int dy = r.Bottom >= r.Top ? -1 : 1;
  p_.drawPolyline(QPolygon({QPoint(r.Left - 3, r.Bottom + 5 * dy), QPoint(r.Left, r.Bottom),
                            QPoint(r.Left + 3, r.Bottom + 6 * dy)}));
  CheckOverflow(sheet, r);
}

void QtSheetPainter::PaintStub(Flowchart& sheet, TLigneH& stub) {
  if (const TLigneV* v = sheet.Lines.LineV(stub.ObjetParent); v != nullptr && v->Piste) {
    PaintTrackStub(p_, stub);
    Use(kBlack, kWhite);
    return;
  }
  Use(stub.Couleur, kWhite);
  const TRect& r = stub.Rect;
  p_.drawPolygon(RectPolygon(r));
  if (stub.Genre == 'b') {
    // The dot where the jump lands on its target.
    Use(kBlack, kBlack);
    Ellipse(r.Left - 2, r.Top - 2, r.Left + 2, r.Top + 2);
  }
  Use(kBlack, kWhite);
}

bool PaintSheet(QPainter& painter, int width, int height, Flowchart& sheet, FlowDisplay& display,
                const QFont& font, bool relayout) {
  painter.fillRect(QRect(0, 0, width, height), Qt::white);
  sheet.BitmapW = width;
  sheet.BitmapH = height;
  if (sheet.Boxes.Count() == 0) return false;
  if (relayout) sheet.Relayout();
  painter.setFont(font);
  painter.setRenderHint(QPainter::Antialiasing, false);
  QtSheetPainter objects(painter, display, font, width, height);
  const bool commentPass = display.CommentPass;
  // Comments first, so that boxes painted again cover them where they meet.
  if (commentPass)
    for (int i = 1; i <= sheet.Boxes.Count(); ++i) sheet.Boxes[i].Dessine(sheet, objects);
  display.CommentPass = false;
  for (int i = 1; i <= sheet.Boxes.Count(); ++i) sheet.Boxes[i].Dessine(sheet, objects);
  for (int i = 1; i <= sheet.Lines.Count(); ++i) sheet.Lines[i].Dessine(sheet, objects);
  PaintJumpMarks(painter, sheet, font);
  if (display.CoverageHook) PaintBranchTags(objects, sheet);
  display.CommentPass = commentPass;
  return true;
}

}  // namespace hc11
