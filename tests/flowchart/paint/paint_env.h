// Shared pieces of the painting tests: one offscreen Qt application and the
// flowchart font for the whole run, and a sheet fixture that paints.
#pragma once

#include <QImage>

#include "flowchart/paint/flow_bitmap.h"
#include "flowchart/paint/flow_font.h"
#include "flowchart/view/display_state.h"
#include "tests/flowchart/sheet_fixture.h"

namespace hc11::test {

// The flowchart font, loaded once the application exists.
const FlowFont& TestFont();

// The colour of a pixel as the sheet writes colours (0xBBGGRR).
Colour PixelAt(const QImage& image, int x, int y);

class PaintFixture : public SheetFixture {
 protected:
  void Build(const std::string& fn) {
    Function(fn);
    sheet.BuildLabelIndex();
    ASSERT_TRUE(BuildSheet(sheet, display, fn));
  }
  // Paints the sheet on a bitmap of its own size.
  const QImage& Paint(bool relayout = false) {
    bitmap.Resize(sheet.PicW, sheet.PicH);
    bitmap.Paint(sheet, display, relayout);
    return bitmap.Image();
  }
  Colour Pixel(int x, int y) const { return PixelAt(bitmap.Image(), x, y); }

  FlowDisplay display;
  FlowBitmap bitmap{TestFont().Font()};
};

}  // namespace hc11::test
