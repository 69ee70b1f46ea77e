// The flowchart pane's pointer: the value hint over a line and the popup
// menu (PopupMenu2), both built by the navigation model.
#include <QMenu>
#include <QScrollBar>

#include "app/gui/flow_view.h"
#include "app/gui/main_window.h"
#include "debugger/navigation.h"

namespace hc11::gui {

void MainWindow::HoverFlowchart(int x, int y) {
  const TLigne* line = pane_.LineAt(x, y);
  if (line == nullptr || line->AddrText.empty()) {
    label1_->hide();
    return;
  }
  const std::string hint =
      ValueHint(session_.machine(), session_.listing().Symbols, line->AddrText, line->Text, hover_);
  label1_->setText(ToQString(hint));
  label1_->adjustSize();
  const QWidget* viewport = scrollBox1_->viewport();
  int left = pane_.HitLeft() - scrollBox1_->horizontalScrollBar()->value();
  // Past the middle of the pane the hint goes to the left of the line.
  if (left + label1_->width() > viewport->width() / 2) left -= label1_->width() + 10;
  label1_->move(std::max(0, left), pane_.HitTop() - scrollBox1_->verticalScrollBar()->value());
  label1_->show();
  label1_->raise();
}

void MainWindow::Search(const std::string& word) {
  if (word.size() != 5) {
    const auto edited = messages_.Prompt("Chercher", "Invite", word);
    if (!edited) return;
    ShowListRows(SearchRows(session_.listing(), *edited));
    return;
  }
  ShowListRows(SearchRows(session_.listing(), word));
}

void MainWindow::FlowchartPopup(int x, int y, QPoint global) {
  pane_.LineAt(x, y);  // the call line under the pointer gives "Lien"
  const std::string link = pane_.Display().FollowName;
  const auto selected = pane_.SelectedLine();
  const FlowPopup popup = BuildFlowPopup(link, !pane_.CurrentFunction().empty(), selected, hover_);
  const auto selectedAddress = pane_.SelectedAddress();
  BreakpointList& breaks = session_.breakpoints();

  QMenu menu(this);
  menu.setObjectName("PopupMenu2");
  auto item = [&menu](const char* name, const PopupItem& p) {
    QAction* a = menu.addAction(ToQString(p.caption));
    a->setObjectName(name);
    a->setEnabled(p.enabled);
    return a;
  };
  QAction* lien = item("Lien1", popup.lien);
  QAction* chercherR = item("ChercherR1", popup.chercherR);
  QAction* chercher = item("Chercher", popup.chercher);
  QAction* continuer = item("Continuerjusqua1", popup.continuer);
  QAction* breakEdit =
      item("BreakEdit1", {selectedAddress ? breaks.BreakEditCaption(*selectedAddress) : "Break Edit",
                          selectedAddress.has_value()});
  QAction* breakDelete =
      item("BreakSupprimer1", {"Break Supprimer", selectedAddress && breaks.CanDeleteAt(*selectedAddress)});
  QAction* surveiller = item("Surveiller1", popup.surveiller);
  QAction* tracer = item("Tracer1", popup.tracer);
  QAction* affInfos = item("AffInfos1", {"Aff Infos", !pane_.CurrentFunction().empty()});

  QAction* chosen = menu.exec(global);
  if (chosen == nullptr) return;
  if (chosen == lien) {
    pane_.ShowFunction(link);
    RepaintFlowchart(false);
    RefreshHistory();
  } else if (chosen == chercherR || chosen == chercher) {
    Search(QuotedWord(chosen->text().toStdString()));
  } else if (chosen == continuer) {
    run_.RunToCursor(selectedAddress);
  } else if (chosen == breakEdit || chosen == breakDelete) {
    if (chosen == breakEdit)
      breaks.BreakEditAt(*selectedAddress, session_.listing().LineList);
    else
      breaks.BreakDeleteAt(*selectedAddress);
    RefreshBreakList();
    RepaintFlowchart(false);
  } else if (chosen == surveiller && hover_) {
    session_.watches().AddSymbol(hover_->name, hover_->address, 'I');
    listBoxSurv_->clear();
    RefreshWatches(true);
  } else if (chosen == tracer && hover_) {
    breaks.TraceVariable(hover_->name, hover_->address);
    RefreshBreakList();
  } else if (chosen == affInfos) {
    lbInfo_->clear();
    for (const std::string& line : pane_.Sheet().DescribeSheet()) AppendInfoLine(line);
  }
}

}  // namespace hc11::gui
