#include "app/gui/gui_fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace hc11::gui {

QFont CodeFont() {
  QFont font("Courier New");
  if (!QFontDatabase::families().contains("Courier New")) font.setFamily("Liberation Mono");
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(12);  // 14 px rows
  return font;
}

}  // namespace hc11::gui
