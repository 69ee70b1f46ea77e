// Keeping windows on the visible screen: a place saved on a larger screen or
// at another scale, or a default that suits a large screen only, must not
// leave a window (or its keys) out of reach. Rectangles are in the window
// system's logical pixels; the caller gives the screen's available area
// (without task bars) and, for a framed window, the frame's extents.
#pragma once

namespace hc11 {

struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
  int Right() const { return x + width; }    // one past the last column
  int Bottom() const { return y + height; }  // one past the last row
  bool Intersects(const ScreenRect& o) const;
  bool operator==(const ScreenRect&) const = default;
};

// What a window's frame adds around its client area (title bar on top).
struct FrameExtents {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// The client rectangle `place` moved, and shrunk only where it is larger
// than the screen, so that it and its frame lie wholly on `screen`. An
// empty screen (none known) leaves the place as it is.
ScreenRect FitOnScreen(const ScreenRect& place, const ScreenRect& screen, const FrameExtents& frame = {});

// A first place for a window of the given client size: the bottom right
// corner of `free` (the part of the main window no pane covers), then
// fitted on the screen.
ScreenRect PlaceInFreeArea(int width, int height, const ScreenRect& free, const ScreenRect& screen,
                           const FrameExtents& frame = {});

// A docked pane's saved extent (width or height) made usable: one below
// `minimum` (none saved, or a pane squeezed by a small screen or a large
// scale) gives the default; the result is at most `maximum` (a share of the
// window) but never below the minimum.
int FitPaneExtent(int saved, int fallback, int minimum, int maximum);

}  // namespace hc11
