// The window as its workbench and its focus keys reach it: the widgets they
// work on and the window's commands they chain to.
#include <QRadioButton>

#include "app/gui/dump_window.h"
#include "app/gui/main_window.h"

namespace hc11::gui {

bool MainWindow::Running() const {
  return run_.Running();
}

const StopEvent& MainWindow::LastStop() const {
  return run_.LastStop();
}

RunKind MainWindow::LastKind() const {
  return run_.LastKind();
}

void MainWindow::HideValueHint() {
  label1_->hide();
}

void MainWindow::FollowLink() {
  FlowPopupMenu();  // its enabled states, as when it opens
  PopupCommand("Lien1");
}

QWidget* MainWindow::ChosenPaneButton() const {
  for (QRadioButton* rb : paneButtons_)
    if (rb->isChecked()) return rb;
  return nullptr;
}

QWidget* MainWindow::RightPaneShown() const {
  return panel3_->currentWidget();
}

QWidget* MainWindow::DumpPane() const {
  return dump_;
}

}  // namespace hc11::gui
