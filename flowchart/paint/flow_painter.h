// Painting a laid-out sheet with a QPainter: onto the view's bitmap, or onto
// an SVG generator for the command line, with the same calls.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <string_view>

#include "flowchart/sheet.h"
#include "flowchart/view/display_state.h"

namespace hc11 {

// Sheet colours are 0xBBGGRR.
inline QColor ToQColor(Colour c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

// Paints one object at a time; the sheet's objects call it from Dessine.
// Shapes are given as the sheet stores them (right and bottom exclusive).
// Text cells are measured with the sheet's metrics, which must be those of
// `font` for the glyphs to fit their cells.
class QtSheetPainter final : public SheetPainter {
 public:
  QtSheetPainter(QPainter& painter, const FlowDisplay& display, const QFont& font, int width, int height);

  void PaintBox(Flowchart& sheet, TRectangle& box) override;
  void PaintLineV(Flowchart& sheet, TLigneV& line) override;
  void PaintStub(Flowchart& sheet, TLigneH& stub) override;
  // A decision's taken/not-taken counts (coverage only); painted after the
  // jump lines, so that none crosses them.
  void PaintBranchCounts(const Flowchart& sheet, const TRectangle& box);

 private:
  void PaintTitle(Flowchart& sheet, const TRectangle& box);
  void PaintLineMarks(const Flowchart& sheet, const TRectangle& box);
  void PaintOutline(const Flowchart& sheet, const TRectangle& box);
  void PaintLabel(const Flowchart& sheet, const TRectangle& box);
  void PaintTextLines(const Flowchart& sheet, const TRectangle& box);
  // Coverage (only with the display's CoverageHook): the box's fill, drawn
  // before its outline, and a decision's taken/not-taken counts.
  void PaintCoverageFill(const TRectangle& box);
  void PaintNeverRunHatch(const TRectangle& box);
  QPolygon OutlineOf(const TRectangle& box) const;
  // Text with an opaque background cell, top-left at (x, y).
  void Text(const Flowchart& sheet, int x, int y, std::string_view text, const QColor& fg, const QColor& bg);
  void Use(Colour pen, Colour brush);
  void Ellipse(int left, int top, int right, int bottom);
  void CheckOverflow(Flowchart& sheet, const TRect& r) const;

  QPainter& p_;
  const FlowDisplay& display_;
  QFontMetrics fontMetrics_;
  int width_, height_;
  Colour boxFill_ = kWhite;  // the background of the current box's text lines
  bool neverRun_ = false;    // the current box gets the never-run hatch
};

// Every decision's counts, over everything else (coverage only).
void PaintBranchTags(QtSheetPainter& painter, Flowchart& sheet);

// Paints the whole sheet on (0, 0, width, height): clears it to white, and
// with no box stops there and returns false (nothing to show). With
// `relayout` the boxes are placed again and the lines routed first. When
// CommentPass is set the comment columns are painted first, under the boxes;
// then every box, then every jump line over them. CommentPass keeps its
// value. Something painted beyond the area sets the sheet's SheetOverflow.
bool PaintSheet(QPainter& painter, int width, int height, Flowchart& sheet, FlowDisplay& display,
                const QFont& font, bool relayout);

}  // namespace hc11
