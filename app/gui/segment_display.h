// Ecran1 and the four LEDs of the board panel, drawn as the board draws them:
// each segment a 2-pixel line, blue when lit and in the button-face colour
// otherwise; an LED is a label that is red when lit and white otherwise.
#pragma once

#include <QLabel>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "board/aff8segm.h"

namespace hc11::gui {

struct SegmentLine {
  int x1, y1, x2, y2;
};
// Segment i of a digit, in bit order: top, upper right, lower right, bottom,
// lower left, upper left, middle, point.
inline constexpr std::array<SegmentLine, 8> kSegmentLines{{
    {0, 0, 8, 0},
    {8, 0, 8, 10},
    {8, 10, 8, 20},
    {0, 20, 8, 20},
    {0, 10, 0, 20},
    {0, 0, 0, 10},
    {0, 10, 8, 10},
    {9, 20, 10, 20},
}};
inline constexpr int kDigitPitch = 16;

class SegmentDisplay final : public QWidget {
 public:
  explicit SegmentDisplay(const TAff8Segm& model, QWidget* parent = nullptr);
  std::function<void()> OnClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const TAff8Segm& model_;
};

class Led final : public QLabel {
 public:
  explicit Led(QWidget* parent = nullptr);
  void SetLit(bool lit);
};

}  // namespace hc11::gui
