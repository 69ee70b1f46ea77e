// Fonts of the window's panes.
#pragma once

#include <QFont>

namespace hc11::gui {

// "Courier New" for the code lists, matched by Liberation Mono (metric
// compatible) where the face itself is not installed.
QFont CodeFont();
inline constexpr int kCodeRowHeight = 14;

}  // namespace hc11::gui
