#include "workbench/screen_fit.h"

#include <algorithm>

namespace hc11 {

bool ScreenRect::Intersects(const ScreenRect& o) const {
  return x < o.Right() && o.x < Right() && y < o.Bottom() && o.y < Bottom();
}

namespace {

// One axis: the client span [at, at + size) with `before`/`after` frame
// pixels, inside [low, low + room).
void FitAxis(int& at, int& size, int before, int after, int low, int room) {
  const int clientRoom = std::max(1, room - before - after);
  size = std::min(size, clientRoom);
  const int first = low + before;              // leftmost client start
  const int last = low + room - after - size;  // rightmost client start
  at = std::clamp(at, first, std::max(first, last));
}

}  // namespace

ScreenRect FitOnScreen(const ScreenRect& place, const ScreenRect& screen, const FrameExtents& frame) {
  if (screen.width <= 0 || screen.height <= 0) return place;
  ScreenRect r = place;
  FitAxis(r.x, r.width, frame.left, frame.right, screen.x, screen.width);
  FitAxis(r.y, r.height, frame.top, frame.bottom, screen.y, screen.height);
  return r;
}

ScreenRect PlaceInFreeArea(int width, int height, const ScreenRect& free, const ScreenRect& screen,
                           const FrameExtents& frame) {
  const ScreenRect corner{free.Right() - frame.right - width, free.Bottom() - frame.bottom - height, width,
                          height};
  return FitOnScreen(corner, screen, frame);
}

int FitPaneExtent(int saved, int fallback, int minimum, int maximum) {
  const int extent = saved >= minimum ? saved : fallback;
  return std::max(minimum, std::min(extent, maximum));
}

}  // namespace hc11
