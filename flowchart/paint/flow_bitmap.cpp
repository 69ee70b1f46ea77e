#include "flowchart/paint/flow_bitmap.h"

#include <QPainter>
#include <algorithm>

#include "flowchart/paint/flow_painter.h"

namespace hc11 {

FlowBitmap::FlowBitmap(const QFont& font, int width, int height) : font_(font) {
  Resize(width, height);
}

bool FlowBitmap::Resize(int width, int height) {
  const int w = std::clamp(width, 1, kMaxBitmapSide);
  int h = std::clamp(height, 1, kMaxBitmapSide);
  h = static_cast<int>(std::min<long long>(h, kMaxBitmapPixels / w));
  if (w != image_.width() || h != image_.height()) {
    image_ = QImage(w, h, QImage::Format_RGB32);
    if (!image_.isNull()) image_.fill(Qt::white);
  }
  return !image_.isNull() && w == width && h == height;
}

bool FlowBitmap::Paint(Flowchart& sheet, FlowDisplay& display, bool relayout, QImage* paintBox) {
  if (image_.isNull()) return false;
  bool shown = false;
  {
    QPainter painter(&image_);
    shown = PaintSheet(painter, image_.width(), image_.height(), sheet, display, font_, relayout);
  }
  if (shown && paintBox != nullptr && !paintBox->isNull()) {
    QPainter copy(paintBox);
    copy.drawImage(0, 0, image_);
  }
  return shown;
}

bool FlowBitmap::ShowAddress(Flowchart& sheet, FlowDisplay& display, std::uint16_t address, std::uint16_t pc,
                             std::uint16_t& runTarget, SheetViewport* viewport) {
  if (image_.isNull()) return hc11::ShowAddress(sheet, display, address, pc, runTarget, viewport);
  QPainter painter(&image_);
  painter.setFont(font_);
  QtSheetPainter objects(painter, display, font_, image_.width(), image_.height());
  return hc11::ShowAddress(sheet, display, address, pc, runTarget, viewport, &objects);
}

}  // namespace hc11
