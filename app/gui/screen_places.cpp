#include "app/gui/screen_places.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

namespace hc11::gui {

ScreenRect AvailableScreenOf(const QWidget& window) {
  const QRect at = window.geometry();
  QScreen* best = nullptr;
  long long bestArea = 0;
  for (QScreen* s : QGuiApplication::screens()) {
    const QRect common = s->geometry().intersected(at);
    const long long area = static_cast<long long>(common.width()) * common.height();
    if (area > bestArea) best = s, bestArea = area;
  }
  if (best == nullptr) best = QGuiApplication::primaryScreen();
  return best == nullptr ? ScreenRect{} : ToScreenRect(best->availableGeometry());
}

FrameExtents FrameOf(const QWidget& window) {
  const QRect frame = window.frameGeometry(), client = window.geometry();
  if (window.testAttribute(Qt::WA_WState_Created) && frame != client)
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
  // Not shown yet: a window manager adds at least a title bar.
  return {0, window.style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0};
}

void KeepOnScreen(QWidget& window) {
  const ScreenRect fitted =
      FitOnScreen(ToScreenRect(window.geometry()), AvailableScreenOf(window), FrameOf(window));
  if (ToQRect(fitted) != window.geometry()) window.setGeometry(ToQRect(fitted));
}

void KeepInParent(QWidget& child, const QRect& area) {
  const ScreenRect fitted = FitOnScreen(ToScreenRect(child.geometry()), ToScreenRect(area));
  if (ToQRect(fitted) != child.geometry()) child.setGeometry(ToQRect(fitted));
}

}  // namespace hc11::gui
