// TForm1's working lists: the breakpoint and watch commands that open their
// dialogs, the symbol list's watches, ListView1's modes and the find box.
#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>

#include "app/gui/dump_window.h"
#include "app/gui/edit_dialogs.h"
#include "app/gui/entry_list.h"
#include "app/gui/find_box.h"
#include "app/gui/flow_view.h"
#include "app/gui/main_window.h"
#include "app/gui/symbol_lists.h"
#include "app/gui/trace_pane.h"
#include "app/gui/workbench.h"
#include "core/text_util.h"
#include "debugger/symbol_panel.h"

namespace hc11::gui {

void MainWindow::BuildWorkCommands() {
  RunBreakDialog = [this](BreakDialog& d) {
    return RunEditBreakDialog(this, d, BreakDialogChecker(), messages_);
  };
  RunWatchDialog = [this](WatchDialog& d) { return RunEditWatchDialog(this, d); };

  auto addFirst = [this](EntryList* list, const char* name, const char* caption,
                         std::function<void()> command) {
    auto* action = new QAction(caption, list);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, command);
    const QList<QAction*> existing = list->actions();
    list->insertAction(existing.isEmpty() ? nullptr : existing.front(), action);
    actions_[QString(list->objectName()) + "." + name] = action;
  };
  addFirst(listBreak1_, "Editer1", "Editer", [this] { EditBreak(listBreak1_->currentRow()); });
  addFirst(listBoxSurv_, "EditerSymb", "Editer", [this] { EditWatch(listBoxSurv_->currentRow()); });
  auto* timer = new QAction("Timer", listBoxSurv_);
  timer->setObjectName("Timers1");
  connect(timer, &QAction::triggered, this, [this] { WatchTimer(); });
  listBoxSurv_->insertAction(Action("ListBoxSurv.ToutEffacer1"), timer);
  actions_["ListBoxSurv.Timers1"] = timer;

  connect(listBreak1_, &QListWidget::itemDoubleClicked, this,
          [this] { EditBreak(listBreak1_->currentRow()); });
  connect(listBoxSurv_, &QListWidget::itemDoubleClicked, this,
          [this] { EditWatch(listBoxSurv_->currentRow()); });
  listBreak1_->OnGoto = [this](std::uint16_t a) { ShowSourceAt(a); };
  listBreak1_->OnDelete = [this](int row) {
    session_.breakpoints().Remove(static_cast<std::size_t>(row));
    BreaksChanged();
  };
  listBoxSurv_->OnDelete = [this](int row) {
    session_.watches().Remove(static_cast<std::size_t>(row));
    WatchesChanged();
  };
  symbolLists_->OnSymbolChosen = [this](const Tsym& sym) { WatchSymbol(sym); };
  symbolLists_->OnLabelClicked = [this] { RefreshSymbolBytes(); };
  connect(listView1_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { ListRowChosen(listView1_->indexOfTopLevelItem(item)); });

  findBox_ = new FindBox(scrollBox1_->viewport());
  findBox_->OnFind = [this](const QString& text, bool matchCase) { FindText(text.toStdString(), matchCase); };
  findBox_->OnStep = [this](bool backward) { FindStep(backward); };
  connect(Action("Chercher1"), &QAction::triggered, this, [this] { findBox_->Open(); });
}

void MainWindow::RefreshSymbolBytes() {
  LabelListClicked(session_.listing().Symbols, session_.machine().Memory);
  symbolLists_->Fill(session_.listing().Symbols);
}

void MainWindow::BreaksChanged() {
  RefreshBreakList();
  RepaintFlowchart(false);  // the line marks follow the states at once
  workbench_->MarksChanged();
}

void MainWindow::WatchesChanged() {
  listBoxSurv_->clear();
  RefreshWatches(true);
  dump_->Build(false);  // an edited watch may have written memory
}

BreakDialogCheck MainWindow::BreakDialogChecker() {
  return [this](const BreakDialog& d) {
    Tbreak scratch;
    return ReadBreakDialog(d, scratch, session_.breakpoints().symbols());
  };
}

void MainWindow::NewBreak() {
  if (!workbench_->ModalAllowed()) return;
  BreakDialog d = FillBreakDialog(Tbreak{});
  if (RunBreakDialog(d)) {
    const std::string error = session_.breakpoints().AddFromDialog(d);
    if (!error.empty()) messages_.Show(MsgKind::Error, "Erreur", error);
  }
  BreaksChanged();
  if (!session_.breakpoints().entries().empty())
    listBreak1_->setCurrentRow(static_cast<int>(session_.breakpoints().entries().size()) - 1);
}

void MainWindow::StopWhenCommand() {
  BreakpointList& breaks = session_.breakpoints();
  const auto answer = messages_.Prompt(
      "Arrêt sur expression", "Arrêt dès que l'expression devient vraie (vide : aucun)", breaks.StopWhen());
  if (!answer) return;
  const std::string error = breaks.SetStopWhen(*answer);
  if (!error.empty()) messages_.Show(MsgKind::Error, "Erreur", "Arrêt sur expression : " + error);
}

void MainWindow::EditBreak(int row) {
  if (row < 0 || row >= static_cast<int>(session_.breakpoints().entries().size())) return;
  if (!workbench_->ModalAllowed()) return;
  const auto index = static_cast<std::size_t>(row);
  BreakDialog d = FillBreakDialog(session_.breakpoints().entries()[index]);
  if (RunBreakDialog(d)) {
    const std::string error = session_.breakpoints().Edit(index, d);
    if (!error.empty()) messages_.Show(MsgKind::Error, "Erreur", error);
  }
  BreaksChanged();  // after Cancel too
  listBreak1_->setCurrentRow(row);
}

void MainWindow::EditWatch(int row) {
  if (row < 0 || row >= static_cast<int>(session_.watches().entries().size())) return;
  if (!workbench_->ModalAllowed()) return;
  const auto index = static_cast<std::size_t>(row);
  WatchDialog d = session_.watches().FillDialog(index);
  if (RunWatchDialog(d)) {
    std::vector<std::string> refused;
    const std::string error = session_.watches().ApplyDialog(index, d, refused);
    controller_.Edited(ChangeMemory);  // an initial value may have been written
    // One box for every value refused.
    const MessageBatch batch(session_.messages());
    if (!error.empty()) session_.messages().Show(MsgKind::Error, "Erreur", error);
    for (const std::string& r : refused) session_.messages().Show(MsgKind::Error, "Erreur", r);
  }
  WatchesChanged();
  listBoxSurv_->setCurrentRow(row);
}

void MainWindow::WatchTimer() {
  const auto answer = messages_.Prompt("Numero Timer", "de 0 à 15", "0");
  if (!answer) return;
  if (!StrToWord(Trim(*answer)))
    messages_.Show(MsgKind::Error, "Erreur", "'" + QuoteText(*answer) + "' n'est pas un nombre valide");
}

void MainWindow::WatchSymbol(const Tsym& symbol) {
  session_.watches().AddSymbol(symbol.Name, symbol.Addr, symbol.Kind);
  WatchesChanged();
  SelectPane(RightPane::Surv);
}

// --- ListView1 ---------------------------------------------------------------

void MainWindow::ShowListRows(const std::vector<ListRow>& rows, int mode, bool sorted) {
  listMode_ = mode;
  listView1_->setSortingEnabled(false);
  listView1_->clear();
  const QFontMetrics fm(listView1_->font());
  int widest = 0;
  for (const ListRow& r : rows) {
    auto* item = new QTreeWidgetItem({ToQString(r.instruction), ToQString(r.function), ToQString(r.address)});
    listView1_->addTopLevelItem(item);
    widest = std::max(widest, fm.horizontalAdvance(ToQString(r.instruction)));
  }
  if (sorted) {
    listView1_->setColumnWidth(0, 200);
    listView1_->sortItems(0, Qt::AscendingOrder);
  } else {
    listView1_->setColumnWidth(0, rows.empty() ? 100 : widest + 20);
  }
  SelectPane(RightPane::Liste);
}

void MainWindow::ShowFunctionList() {
  ShowListRows(FunctionRows(session_.listing()), 2, true);
}

void MainWindow::ShowNotInterpreted() {
  const std::vector<ListRow> rows = NotInterpretedRows(session_.listing());
  ShowListRows(rows);
  if (!rows.empty()) Beep(500, 100);
}

void MainWindow::ShowFunction(const std::string& name) {
  if (pane_.ShowFunction(name)) {
    RepaintFlowchart(false);
    RefreshHistory();
  }
}

void MainWindow::ListRowChosen(int row) {
  QTreeWidgetItem* item = listView1_->topLevelItem(row);
  if (item == nullptr) return;
  // Function rows have no function column; the rows of instructions not
  // interpreted shown above them after Load act as search results.
  if (listMode_ == 2 && item->text(1).isEmpty()) {
    if (item->text(2).isEmpty()) return;  // the header row
    ShowFunction(item->text(0).toStdString());
    return;
  }
  const std::string function = item->text(1).toStdString();
  const auto address = StrToWord("$" + item->text(2).toStdString());
  if (!address) return;
  if (function != pane_.CurrentFunction()) ShowFunction(function);
  Machine& m = session_.machine();
  pane_.ShowAddress(*address, m.cpu.PC, m.RunTarget, paintBox1_);
  RepaintFlowchart(false);
}

// --- Find box ----------------------------------------------------------------

void MainWindow::FindText(const std::string& text, bool matchCase) {
  find_.Search(session_.listing(), text, matchCase);
  ShowListRows(find_.Rows());
  findBox_->SetCount(static_cast<int>(find_.Rows().size()));
  FindStep(false);
}

void MainWindow::FindStep(bool backward) {
  const auto hit = find_.Step(backward);
  if (!hit) return;
  listView1_->setCurrentItem(listView1_->topLevelItem(static_cast<int>(*hit)));
  ListRowChosen(static_cast<int>(*hit));
  findBox_->SetCurrent(static_cast<int>(*hit));
}

}  // namespace hc11::gui
