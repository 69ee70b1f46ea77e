#include "app/gui/segment_display.h"

#include <QPainter>
#include <QPen>

#include "flowchart/paint/flow_font.h"

namespace hc11::gui {

SegmentDisplay::SegmentDisplay(const TAff8Segm& model, QWidget* parent) : QWidget(parent), model_(model) {
  setObjectName("Ecran1");
  setFixedSize(TAff8Segm::kPositions * kDigitPitch + 4, 24);
  setAutoFillBackground(true);
}

void SegmentDisplay::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // The label's caption lies under the digits ("1234" until the first clear).
  p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, ToQString(model_.Caption));
  const QColor off = palette().color(QPalette::Button);
  for (int pos = 0; pos < TAff8Segm::kPositions; ++pos) {
    const std::uint8_t segments = model_.Segments[static_cast<std::size_t>(pos)];
    if (segments == 0) continue;  // a blank position shows the caption
    for (int bit = 0; bit < 8; ++bit) {
      const SegmentLine& s = kSegmentLines[static_cast<std::size_t>(bit)];
      p.setPen(QPen((segments >> bit) & 1 ? QColor(0, 0, 255) : off, 2));
      const int dx = 1 + kDigitPitch * pos;
      p.drawLine(s.x1 + dx, s.y1 + 1, s.x2 + dx, s.y2 + 1);
    }
  }
}

void SegmentDisplay::mousePressEvent(QMouseEvent*) {
  if (OnClick) OnClick();
}

Led::Led(QWidget* parent) : QLabel("    ", parent) {
  setAutoFillBackground(true);
  setFixedSize(16, 16);
  setFrameShape(QFrame::Box);
  SetLit(false);
}

void Led::SetLit(bool lit) {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, lit ? QColor(255, 0, 0) : QColor(255, 255, 255));
  setPalette(pal);
}

}  // namespace hc11::gui
