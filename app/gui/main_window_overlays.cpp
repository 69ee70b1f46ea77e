// TForm1's passing aids over the flowchart and the window: the caption while
// the history is walked, the source excerpt of "Afficher source", and the
// board panel stepping back while one of the window's dialogs is open.
#include <QDialog>
#include <QKeyEvent>

#include "app/gui/board_panel.h"
#include "app/gui/flow_view.h"
#include "app/gui/main_window.h"
#include "flowchart/paint/flow_font.h"

namespace hc11::gui {

void MainWindow::ShowHistoryCaption() {
  setWindowTitle(QString("version.dll") + QString(23, ' ') + QString::fromStdString(listingBase_));
}

void MainWindow::HistoryMoved(bool moved) {
  if (!moved) return;
  ShowHistoryCaption();
  RepaintFlowchart(false);
  RefreshHistory();
}

void MainWindow::ShowSourceExcerpt(const std::vector<std::string>& lines) {
  if (lines.empty()) {
    HideSourceExcerpt();
    return;
  }
  QString text;
  for (const std::string& line : lines) text += (text.isEmpty() ? "" : "\n") + ToQString(line);
  sourceExcerpt_->setText(text);
  sourceExcerpt_->adjustSize();
  // Placed as the information label is: 300 pixels left of the right edge,
  // kept inside the pane when the lines are wider than that.
  const int right = scrollBox1_->viewport()->width();
  sourceExcerpt_->move(std::max(0, std::min(right - 300, right - sourceExcerpt_->width())), 5);
  sourceExcerpt_->show();
  sourceExcerpt_->raise();
}

void MainWindow::HideSourceExcerpt() {
  sourceExcerpt_->hide();
  sourceExcerpt_->clear();
}

bool MainWindow::SourceExcerptDismissed(QObject* watched, QEvent* event) const {
  if (event->type() == QEvent::KeyPress) return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
  if (event->type() != QEvent::MouseButtonPress) return false;
  auto* w = qobject_cast<QWidget*>(watched);
  return w != nullptr && w != sourceExcerpt_ && w->window() == this;
}

void MainWindow::KeepDialogsAbovePanel(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show && event->type() != QEvent::Hide) return;
  auto* dialog = qobject_cast<QDialog*>(watched);
  if (dialog == nullptr || !dialog->isWindow() || dialog->parentWidget() == nullptr ||
      dialog->parentWidget()->window() != this)
    return;
  dialogsOpen_ = std::max(0, dialogsOpen_ + (event->type() == QEvent::Show ? 1 : -1));
  panel_->SetOnTop(dialogsOpen_ == 0 && session_.options().Checked("PanneauDevant"));
  if (event->type() == QEvent::Show) dialog->raise();
}

}  // namespace hc11::gui
