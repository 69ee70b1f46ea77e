#include "app/gui/trace_pane.h"

#include <QMouseEvent>

#include "app/gui/gui_fonts.h"
#include "core/text_util.h"
#include "flowchart/paint/flow_font.h"

namespace hc11::gui {

namespace {
constexpr int kGotoStrip = 20;  // pixels at the left edge that act as a link
}

CodeList::CodeList(QWidget* parent) : QListWidget(parent) {
  setFont(CodeFont());
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setMouseTracking(true);
}

void CodeList::SetLines(const std::deque<std::string>& lines, std::size_t added) {
  const int wanted = static_cast<int>(lines.size());
  if (added >= lines.size() || count() + static_cast<int>(added) - wanted < 0 ||
      count() + static_cast<int>(added) - wanted > count()) {
    clear();
    for (const std::string& line : lines) addItem(ToQString(line));
  } else {
    // Drop what fell off the front, append what arrived at the back.
    const int dropped = count() + static_cast<int>(added) - wanted;
    for (int i = 0; i < dropped; ++i) delete takeItem(0);
    for (std::size_t i = lines.size() - added; i < lines.size(); ++i) addItem(ToQString(lines[i]));
  }
  if (added > 0 && count() > 0) {
    clearSelection();
    setCurrentRow(count() - 1);
  }
}

void CodeList::SetLines(const std::vector<std::string>& lines) {
  clear();
  for (const std::string& line : lines) addItem(ToQString(line));
}

void CodeList::mouseMoveEvent(QMouseEvent* event) {
  viewport()->setCursor(event->position().x() < kGotoStrip ? Qt::PointingHandCursor : Qt::ArrowCursor);
  QListWidget::mouseMoveEvent(event);
}

void CodeList::mousePressEvent(QMouseEvent* event) {
  QListWidget::mousePressEvent(event);
  if (event->position().x() >= kGotoStrip || !OnGoto) return;
  const QListWidgetItem* item = currentItem();
  if (item == nullptr) return;
  const std::string word = item->text().trimmed().section(' ', 0, 0).toStdString();
  if (const auto address = StrToWord("$" + word)) OnGoto(*address);
}

}  // namespace hc11::gui
