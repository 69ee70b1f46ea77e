#include "app/gui/source_pane.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "app/gui/gui_fonts.h"

namespace hc11::gui {

namespace {

constexpr int kMarkSize = 10;
constexpr int kBreakColourRole = Qt::UserRole + 1;  // 0xBBGGRR of the line's breakpoint mark

// The margin of a line: its breakpoint (a disc in the breakpoint's colour)
// and, over it, the program counter's arrow, so that the PC line stays
// recognisable when it is also the selected line.
QIcon MarkIcon(std::optional<std::uint32_t> bgr, bool pc = false) {
  QPixmap pixmap(kMarkSize, kMarkSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  if (bgr) {
    p.setBrush(QColor(static_cast<int>(*bgr & 0xFF), static_cast<int>(*bgr >> 8 & 0xFF),
                      static_cast<int>(*bgr >> 16 & 0xFF)));
    p.setPen(Qt::NoPen);
    p.drawEllipse(0, 0, kMarkSize, kMarkSize);
  }
  if (pc) {
    const QPointF arrow[] = {{1, 1}, {kMarkSize - 1.0, kMarkSize / 2.0}, {1, kMarkSize - 1.0}};
    p.setBrush(QColor(0x00, 0x00, 0x80));
    p.setPen(QPen(Qt::white, 1));
    p.drawPolygon(arrow, 3);
  }
  return QIcon(pixmap);
}

std::optional<std::uint32_t> BreakColourOf(const QListWidgetItem& item) {
  const QVariant v = item.data(kBreakColourRole);
  return v.isValid() ? std::optional<std::uint32_t>(v.toUInt()) : std::nullopt;
}

}  // namespace

SourcePane::SourcePane() {
  setObjectName("ListSource");
  setFont(CodeFont());
  setIconSize(QSize(kMarkSize, kMarkSize));
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  // Teal for the selected line, as on the flowchart.
  setStyleSheet("QListWidget::item:selected { background: #008080; color: white; }");
}

void SourcePane::SetLines(const SourceMap& map) {
  clear();
  pcLine_.reset();
  const QIcon blank = MarkIcon(std::nullopt);
  for (std::size_t i = 0; i < map.Size(); ++i) {
    auto* item = new QListWidgetItem(
        blank, QString("%1  %2").arg(i + 1, 5).arg(QString::fromStdString(map.Lines()[i])));
    if (!map.AddressOfLine(i)) {
      item->setFlags(Qt::ItemIsEnabled);
      item->setForeground(QColor(0x60, 0x60, 0x60));
    }
    addItem(item);
  }
}

void SourcePane::SetMarks(const SourceMap& map,
                          const std::function<std::optional<std::uint32_t>(std::uint16_t)>& colourOf) {
  const QIcon blank = MarkIcon(std::nullopt);
  for (std::size_t i = 0; i < map.Size() && static_cast<int>(i) < count(); ++i) {
    const auto address = map.AddressOfLine(i);
    if (!address) continue;
    const auto colour = colourOf(*address);
    QListWidgetItem* row = item(static_cast<int>(i));
    row->setData(kBreakColourRole, colour ? QVariant(*colour) : QVariant());
    const bool pc = pcLine_ == i;
    row->setIcon(colour || pc ? MarkIcon(colour, pc) : blank);
  }
}

void SourcePane::SetPcLine(std::optional<std::size_t> line, bool scroll) {
  if (pcLine_ && static_cast<int>(*pcLine_) < count()) {
    QListWidgetItem* old = item(static_cast<int>(*pcLine_));
    old->setBackground(QBrush());
    old->setForeground(QBrush());
    old->setIcon(MarkIcon(BreakColourOf(*old)));
  }
  pcLine_ = line && static_cast<int>(*line) < count() ? line : std::nullopt;
  if (!pcLine_) return;
  QListWidgetItem* now = item(static_cast<int>(*pcLine_));
  now->setBackground(QColor(0x00, 0x00, 0x80));
  now->setForeground(Qt::white);
  now->setIcon(MarkIcon(BreakColourOf(*now), true));
  if (scroll) scrollToItem(now, QAbstractItemView::EnsureVisible);
}

void SourcePane::SelectLine(std::optional<std::size_t> line) {
  const QSignalBlocker block(this);
  if (!line || static_cast<int>(*line) >= count()) {
    clearSelection();
    return;
  }
  setCurrentRow(static_cast<int>(*line));
  scrollToItem(item(static_cast<int>(*line)), QAbstractItemView::EnsureVisible);
}

void SourcePane::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const QModelIndex index = indexAt(at);
  if (!index.isValid()) {
    QListWidget::mousePressEvent(event);
    return;
  }
  const auto line = static_cast<std::size_t>(index.row());
  if (event->button() == Qt::LeftButton && at.x() < kMarginWidth) {
    if (OnMarginClick) OnMarginClick(line);
    return;  // the margin never moves the selection
  }
  QListWidget::mousePressEvent(event);
  // The right button chooses the line too, so that the popup acts on it.
  const bool choosing = event->button() == Qt::LeftButton || event->button() == Qt::RightButton;
  if (choosing && (item(index.row())->flags() & Qt::ItemIsSelectable) && OnLineChosen) OnLineChosen(line);
}

void SourcePane::keyPressEvent(QKeyEvent* event) {
  const int before = currentRow();
  QListWidget::keyPressEvent(event);
  const int now = currentRow();
  if (now != before && now >= 0 && (item(now)->flags() & Qt::ItemIsSelectable) && OnLineChosen)
    OnLineChosen(static_cast<std::size_t>(now));
}

void SourcePane::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid() && event->position().x() >= kMarginWidth && OnLineDoubleClicked) {
    OnLineDoubleClicked(static_cast<std::size_t>(index.row()));
    return;
  }
  QListWidget::mouseDoubleClickEvent(event);
}

}  // namespace hc11::gui
