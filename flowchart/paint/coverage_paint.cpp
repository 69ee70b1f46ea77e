// The painter's coverage additions, kept apart from the sheet's own drawing:
// with the "Couverture" mark off none of this runs.
#include "flowchart/paint/flow_painter.h"

namespace hc11 {

void QtSheetPainter::PaintCoverageFill(const TRectangle& box) {
  const BoxCoverage c = display_.CoverageOfBox(box);
  if (c.count == 0) {
    // Never run: a pale hatch, and pale grey under the text, which would
    // otherwise hide the hatch.
    boxFill_ = kNeverRunText;
    p_.setBrush(QBrush(ToQColor(kNeverRunHatch), Qt::BDiagPattern));
    return;
  }
  boxFill_ = CoverageFill(c.count, display_.CoverageMax);
  p_.setBrush(ToQColor(boxFill_));
}

void QtSheetPainter::PaintBranchCounts(const Flowchart& sheet, const TRectangle& box) {
  if (box.Triangle == 0) return;
  const BoxCoverage c = display_.CoverageOfBox(box);
  if (!c.branch) return;
  // A branch that went one way only (or never ran) stands out in red.
  const bool oneWay = c.branch->taken == 0 || c.branch->notTaken == 0;
  const std::string text = BranchCountsText(*c.branch);
  // Left of the decision, where no jump line leaves.
  const int x = box.Rect.Left - 2 - sheet.Metrics().TextWidth(text);
  Text(sheet, x, box.MidY() - sheet.LineH / 2, text, ToQColor(oneWay ? kWhite : kBlack),
       ToQColor(oneWay ? kRed : 0xE0E0E0));
  Use(kBlack, kWhite);
}

}  // namespace hc11
