// The window's side of keeping windows on the visible screen: Qt rectangles
// and screens in, the places of workbench/screen_fit.h out.
#pragma once

#include <QRect>
#include <QWidget>

#include "workbench/screen_fit.h"

namespace hc11::gui {

inline ScreenRect ToScreenRect(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}
inline QRect ToQRect(const ScreenRect& r) {
  return {r.x, r.y, r.width, r.height};
}

// The available area (without task bars) of the screen that holds most of
// `window`, or of the primary screen when none does.
ScreenRect AvailableScreenOf(const QWidget& window);

// A top-level window's frame: measured once it has been shown, otherwise a
// title bar's height on top.
FrameExtents FrameOf(const QWidget& window);

// Moves (and shrinks only if it must) a top-level window onto its screen.
void KeepOnScreen(QWidget& window);

// Moves a child window (an MDI subwindow, a floating label) inside its
// parent's visible area.
void KeepInParent(QWidget& child, const QRect& area);

}  // namespace hc11::gui
