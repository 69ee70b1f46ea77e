#include "app/gui/flow_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace hc11::gui {

FlowView::FlowView(FlowPane& pane, const QFont& font, QScrollArea& area)
    : pane_(pane), area_(area), bitmap_(font) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  resize(bitmap_.Width(), bitmap_.Height());
}

void FlowView::Repaint(bool relayout) {
  Flowchart& sheet = pane_.Sheet();
  // A sheet without boxes leaves the paint box as it was.
  if (sheet.Boxes.Count() == 0) return;
  bitmap_.Resize(sheet.PicW, sheet.PicH);
  bitmap_.Paint(sheet, pane_.Display(), relayout);
  if (sheet.SheetOverflow) {
    // A second pass on the enlarged bitmap once placing grew the sheet.
    sheet.SheetOverflow = false;
    bitmap_.Resize(sheet.PicW, sheet.PicH);
    bitmap_.Paint(sheet, pane_.Display(), false);
  }
  sheet.BitmapW = bitmap_.Width();
  sheet.BitmapH = bitmap_.Height();
  resize(zoom_.ToView(bitmap_.Width()), zoom_.ToView(bitmap_.Height()));
  update();
}

bool FlowView::SetZoom(int percent, QPoint anchor) {
  const int old = zoom_.Percent();
  if (!zoom_.Set(percent)) return false;
  const int x = zoom_.AnchoredScroll(old, area_.horizontalScrollBar()->value(), anchor.x());
  const int y = zoom_.AnchoredScroll(old, area_.verticalScrollBar()->value(), anchor.y());
  resize(zoom_.ToView(bitmap_.Width()), zoom_.ToView(bitmap_.Height()));
  area_.horizontalScrollBar()->setValue(x);
  area_.verticalScrollBar()->setValue(y);
  update();
  return true;
}

QPoint FlowView::ToViewport(int x, int y) const {
  return {zoom_.ToView(x) - area_.horizontalScrollBar()->value(),
          zoom_.ToView(y) - area_.verticalScrollBar()->value()};
}

int FlowView::ScrollX() const {
  return zoom_.ToSheet(area_.horizontalScrollBar()->value());
}
int FlowView::ScrollY() const {
  return zoom_.ToSheet(area_.verticalScrollBar()->value());
}
int FlowView::ClientWidth() const {
  return zoom_.ToSheet(area_.viewport()->width());
}
int FlowView::ClientHeight() const {
  return zoom_.ToSheet(area_.viewport()->height());
}
void FlowView::SetScroll(int x, int y) {
  area_.horizontalScrollBar()->setValue(zoom_.ToView(x));  // QScrollBar clamps
  area_.verticalScrollBar()->setValue(zoom_.ToView(y));
}

void FlowView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  if (zoom_.Percent() == Zoom::kDefault) {
    p.drawImage(0, 0, bitmap_.Image());
    return;
  }
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(QRect(0, 0, zoom_.ToView(bitmap_.Width()), zoom_.ToView(bitmap_.Height())), bitmap_.Image());
}

void FlowView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint view = event->position().toPoint();
  const QPoint at(zoom_.ToSheet(view.x()), zoom_.ToSheet(view.y()));
  if (OnTabPress && OnTabPress(at.x(), at.y())) return;
  const std::vector<int> hits = HitBox(pane_.Sheet(), at.x(), at.y());
  if (!hits.empty() && !CanDrag(pane_.Sheet(), hits.back())) {
    // Its place comes from the box above it: a drag would only flicker.
    fixedPress_ = view;
    fixedSaid_ = false;
  } else {
    dragging_ = drag_.ButtonDown(pane_.Sheet(), at.x(), at.y()) != 0;
    if (dragging_) setCursor(Qt::ClosedHandCursor);
  }
  if (OnPress) OnPress(at.x(), at.y());
}

void FlowView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint view = event->position().toPoint();
  const QPoint at(zoom_.ToSheet(view.x()), zoom_.ToSheet(view.y()));
  if (fixedPress_) {
    if (!fixedSaid_ && (view - *fixedPress_).manhattanLength() >= QApplication::startDragDistance()) {
      fixedSaid_ = true;
      setCursor(Qt::ForbiddenCursor);
      if (OnFixedBoxDrag) OnFixedBoxDrag();
    }
    return;
  }
  if (!dragging_) {
    if (event->buttons() == Qt::NoButton) {
      ShowDragCursor(at.x(), at.y());
      if (OnHover) OnHover(at.x(), at.y());
    }
    return;
  }
  if (drag_.Move(pane_.Sheet(), at.x(), at.y())) {
    bitmap_.Paint(pane_.Sheet(), pane_.Display(), true);
    update();
  }
}

void FlowView::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint view = event->position().toPoint();
  fixedPress_.reset();
  const bool wasDragging = dragging_;
  dragging_ = false;
  ShowDragCursor(zoom_.ToSheet(view.x()), zoom_.ToSheet(view.y()));
  if (wasDragging && drag_.ButtonUp(pane_.Sheet())) Repaint(true);
}

void FlowView::ShowDragCursor(int x, int y) {
  const std::vector<int> hits = HitBox(pane_.Sheet(), x, y);
  const bool movable = !hits.empty() && CanDrag(pane_.Sheet(), hits.back());
  const Qt::CursorShape shape = movable ? Qt::OpenHandCursor : Qt::ArrowCursor;
  if (cursor().shape() != shape) setCursor(shape);
}

}  // namespace hc11::gui

namespace hc11::gui {

void FlowView::contextMenuEvent(QContextMenuEvent* event) {
  if (OnContextMenu)
    OnContextMenu(zoom_.ToSheet(event->pos().x()), zoom_.ToSheet(event->pos().y()), event->globalPos());
}

void FlowView::leaveEvent(QEvent* event) {
  if (OnLeave) OnLeave();
  QWidget::leaveEvent(event);
}

}  // namespace hc11::gui
