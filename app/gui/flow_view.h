// PaintBox1: the flowchart sheet painted on its bitmap, inside ScrollBox1.
// The widget keeps no state of its own beyond the bitmap and the drag in
// progress; what is shown is the FlowPane's.
#pragma once

#include <QImage>
#include <QScrollArea>
#include <QWidget>
#include <functional>
#include <optional>

#include "debugger/flow_pane.h"
#include "flowchart/paint/flow_bitmap.h"
#include "flowchart/view/interaction.h"
#include "workbench/zoom.h"

namespace hc11::gui {

class FlowView final : public QWidget, public SheetViewport {
 public:
  FlowView(FlowPane& pane, const QFont& font, QScrollArea& area);

  // Paints the sheet again (placing and routing first with `relayout`),
  // sized to the sheet, enlarged when something was drawn beyond it.
  void Repaint(bool relayout = false);

  // The zoom: the view multiplies the sheet; every position handed to the
  // callbacks and the viewport interface below is in sheet units.
  const Zoom& zoom() const { return zoom_; }
  // Sets the zoom, keeping the sheet point under `anchor` (viewport pixels)
  // where it is. False when it did not change.
  bool SetZoom(int percent, QPoint anchor);
  // The view position of a sheet point, relative to the viewport.
  QPoint ToViewport(int x, int y) const;

  // A press left of a box, on a line's breakpoint tab; true when it was taken
  // (no drag and no selection follow).
  std::function<bool(int x, int y)> OnTabPress;
  // A press on a point of the sheet (not a drag): the window selects the line.
  std::function<void(int x, int y)> OnPress;
  // The pointer moved over the sheet with no button held.
  std::function<void(int x, int y)> OnHover;
  // The pointer left the sheet.
  std::function<void()> OnLeave;
  // A drag tried on a box that keeps its place in the flow (said once per
  // press).
  std::function<void()> OnFixedBoxDrag;
  // The popup menu asked for at a point of the sheet (global position given).
  std::function<void(int x, int y, QPoint global)> OnContextMenu;

  // SheetViewport: the scroll area around the paint box.
  int ScrollX() const override;
  int ScrollY() const override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  void SetScroll(int x, int y) override;

  const QImage& Image() const { return bitmap_.Image(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  FlowPane& pane_;
  QScrollArea& area_;
  FlowBitmap bitmap_;
  SheetDrag drag_;
  Zoom zoom_;
  bool dragging_ = false;
  // A press on a box that cannot move: where it began, and whether the
  // refusal was said.
  std::optional<QPoint> fixedPress_;
  bool fixedSaid_ = false;
  // The pointer over the sheet: an open hand where a drag would move a box.
  void ShowDragCursor(int x, int y);
};

}  // namespace hc11::gui
