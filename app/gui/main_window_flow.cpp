// The search of the flowchart popup's "Chercher" items.
#include "app/gui/main_window.h"
#include "debugger/navigation.h"

namespace hc11::gui {

void MainWindow::Search(const std::string& word) {
  if (word.size() != 5) {
    const auto edited = messages_.Prompt("Chercher", "Invite", word);
    if (!edited) return;
    ShowListRows(SearchRows(session_.listing(), *edited));
    return;
  }
  ShowListRows(SearchRows(session_.listing(), word));
}

}  // namespace hc11::gui
