// The off-screen bitmap the view paints the sheet on (FlowBitmap): its size
// follows the sheet's PicW x PicH, set by the window after each build and
// after an overflow.
#pragma once

#include <QFont>
#include <QImage>
#include <cstdint>

#include "flowchart/sheet.h"
#include "flowchart/view/display_state.h"
#include "flowchart/view/interaction.h"

namespace hc11 {

// A sheet larger than this is clipped: the bitmap stays below 256 MB.
inline constexpr int kMaxBitmapSide = 32767;
inline constexpr long long kMaxBitmapPixels = 64LL * 1024 * 1024;

class FlowBitmap {
 public:
  explicit FlowBitmap(const QFont& font, int width = 101, int height = 21);

  // Sets the size W x H, clamped to the limits above (at least 1 x 1). False
  // when the size had to be clamped or the bitmap could not be allocated.
  bool Resize(int width, int height);
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  const QImage& Image() const { return image_; }

  // Paints the sheet (see PaintSheet). True when there is something to show:
  // the bitmap is then copied onto `paintBox` when one is given. With no box
  // the bitmap is cleared and `paintBox` left as it was.
  bool Paint(Flowchart& sheet, FlowDisplay& display, bool relayout, QImage* paintBox = nullptr);

  // ShowAddress (interaction.h) with the two boxes repainted on this bitmap.
  bool ShowAddress(Flowchart& sheet, FlowDisplay& display, std::uint16_t address, std::uint16_t pc,
                   std::uint16_t& runTarget, SheetViewport* viewport = nullptr);

 private:
  QFont font_;
  QImage image_;
};

}  // namespace hc11
