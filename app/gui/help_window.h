// "Aide": every key of the window, read from the menu items' own shortcuts
// and the panes' keys, and a link to the documentation. A window of its own
// beside the main window, never modal.
#pragma once

#include <QMainWindow>
#include <QTextBrowser>
#include <QWidget>
#include <string>

namespace hc11::gui {

class HelpWindow final : public QWidget {
 public:
  explicit HelpWindow(QMainWindow& main);

  // The page again from the menus as they are now.
  void Refresh();
  QTextBrowser& Page() { return *page_; }

 private:
  QMainWindow& main_;
  QTextBrowser* page_;
};

// The documentation's address: the installed README, else the one of the
// source tree this build came from; empty when neither is there.
std::string DocumentationUrl();

}  // namespace hc11::gui
