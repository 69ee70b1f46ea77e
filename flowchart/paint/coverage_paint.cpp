// The painter's coverage additions, kept apart from the sheet's own drawing:
// with the "Couverture" mark off none of this runs.
#include "flowchart/paint/flow_painter.h"

namespace hc11 {

void QtSheetPainter::PaintCoverageFill(const TRectangle& box) {
  const BoxCoverage c = display_.CoverageOfBox(box);
  if (c.count == 0) {
    // Never run: a grey ground (under the text too) with a darker hatch
    // drawn over it once the outline is down; a pale hatch alone reads as
    // white.
    boxFill_ = kNeverRunText;
    neverRun_ = true;
    p_.setBrush(ToQColor(kNeverRunText));
    return;
  }
  boxFill_ = CoverageFill(c.count, display_.CoverageMax);
  p_.setBrush(ToQColor(boxFill_));
}

void QtSheetPainter::PaintNeverRunHatch(const TRectangle& box) {
  if (!neverRun_) return;
  neverRun_ = false;
  p_.setPen(Qt::NoPen);
  p_.setBrush(QBrush(ToQColor(kNeverRunHatch), Qt::BDiagPattern));
  p_.drawPolygon(OutlineOf(box));
  Use(kBlack, kWhite);
}

void QtSheetPainter::PaintBranchCounts(const Flowchart& sheet, const TRectangle& box) {
  if (box.Triangle == 0) return;
  const BoxCoverage c = display_.CoverageOfBox(box);
  if (!c.branch) return;
  // A branch that went one way only (or never ran) stands out in red.
  const bool oneWay = c.branch->taken == 0 || c.branch->notTaken == 0;
  const std::string text = BranchCountsText(*c.branch);
  // Left of the decision, unless its jump line leaves there or the sheet's
  // edge would cut the text: then on its right.
  const int width = sheet.Metrics().TextWidth(text);
  const TLigneV* jump = sheet.Lines.LineV(box.ObjetLineV);
  int x = box.Rect.Left - 2 - width;
  if (x < 0 || (jump != nullptr && jump->VersGauche)) x = box.Rect.Right + 2;
  Text(sheet, x, box.MidY() - sheet.LineH / 2, text, ToQColor(oneWay ? kWhite : kBlack),
       ToQColor(oneWay ? kRed : 0xE0E0E0));
  Use(kBlack, kWhite);
}

void PaintBranchTags(QtSheetPainter& painter, Flowchart& sheet) {
  for (int i = 1; i <= sheet.Boxes.Count(); ++i) {
    const TRectangle& box = sheet.Boxes[i];
    if (!box.Titre && box.HasAddress()) painter.PaintBranchCounts(sheet, box);
  }
}

}  // namespace hc11
