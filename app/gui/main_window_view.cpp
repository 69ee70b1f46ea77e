// What a run shows on the window: the labels, lists and panes the run
// commands refresh, the trace and the information label.
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <iostream>

#include "app/gui/board_panel.h"
#include "app/gui/dump_window.h"
#include "app/gui/entry_list.h"
#include "app/gui/flow_view.h"
#include "app/gui/gui_fonts.h"
#include "app/gui/main_window.h"
#include "app/gui/memory_find_bar.h"
#include "app/gui/profile_window.h"
#include "app/gui/reglages_editor.h"
#include "app/gui/reload_control.h"
#include "app/gui/symbol_lists.h"
#include "app/gui/trace_pane.h"
#include "app/gui/workbench.h"
#include "core/run_engine.h"
#include "core/trace.h"
#include "debugger/hex_entry.h"
#include "debugger/settings_file.h"
#include "debugger/stack_low.h"
#include "debugger/views.h"
#include "workbench/status_text.h"

namespace hc11::gui {

namespace {

constexpr int kInfoLinesMax = 40;  // lines the information label keeps at most

}  // namespace

std::uint32_t MainWindow::TickCount() {
  static const QElapsedTimer clock = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return static_cast<std::uint32_t>(clock.elapsed());
}

void MainWindow::ProcessEvents() {
  // Going back rebuilds a recorded moment, and a session's replay gives its
  // own inputs only: the serial link's bytes wait for either.
  if (!session_.timeTravel().Replaying() && !replaying_) link_.Yield();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  gdb_->Poll();  // GDB's 0x03 reaches a running simulation here
}

void MainWindow::ShowSourceAt(std::uint16_t address) {
  Machine& m = session_.machine();
  const bool rebuilt = pane_.ShowAddress(address, m.cpu.PC, m.RunTarget, paintBox1_);
  RefreshCoverage();
  RepaintFlowchart(false);
  if (rebuilt) RefreshHistory();
  if (workbench_) workbench_->Followed(address);
}

void MainWindow::ShowLigneX1(std::string_view text) {
  ligneX1_->setText(ToQString(text));
}

void MainWindow::ShowLigneX2(std::string_view text) {
  ligneX2_->setText(ToQString(text));
}

void MainWindow::ShowCasBreak(std::string_view text) {
  casBreak_->setText(ToQString(text));
}

void MainWindow::ShowRegisters() {
  for (auto& [name, label] : registerLabels_)
    label->setText(QString::fromStdString(RegisterLabelText(session_.machine().cpu, name.toStdString())));
  cbDebugOnce_->setChecked(run_.DebugOnce);
  if (workbench_) workbench_->RegistersShown();
}

void MainWindow::RefreshWatches(bool force) {
  const MessageBatch batch(session_.messages());  // the reads' warnings make one box
  const std::vector<std::size_t> changed = session_.watches().Refresh(force);
  const std::vector<std::string> lines = session_.watches().Lines();
  if (listBoxSurv_->count() != static_cast<int>(lines.size())) {
    listBoxSurv_->clear();
    for (const std::string& line : lines) listBoxSurv_->addItem(ToQString(line));
    return;
  }
  for (std::size_t i : changed) listBoxSurv_->item(static_cast<int>(i))->setText(ToQString(lines[i]));
}

void MainWindow::RefreshBreakList() {
  listBreak1_->clear();
  for (const std::string& line : session_.breakpoints().Lines()) listBreak1_->addItem(ToQString(line));
}

void MainWindow::RefreshTracePane() {
  memoTrace_->SetLines(session_.trace().lines(), traceAdded_);
  traceAdded_ = 0;
}

void MainWindow::RefreshStackView() {
  std::vector<std::string> lines;
  Machine& m = session_.machine();
  if (RebuildStackView(m, session_.listing(), lines)) memoStack_->SetLines(lines);
  stackHeader_->setText(ToQString(StackLowHeader(m, session_.listing())));
  const bool below = m.StackLow.Reached() && m.StackLow.LowSP() < m.StackLow.WarnBelow();
  stackHeader_->setStyleSheet(below ? "color: red" : "");
}

void MainWindow::RefreshPanel() {
  panel_->FlushChanges();
  if (run_.Running()) ShowRegisters();
}

void MainWindow::RunStateChanged(bool running) {
  for (const char* name :
       {"Executer1", "Step7", "Step8", "RemonterSP", "Jusquaucurseur", "CtrlF2", "relancer1", "PasArriere",
        "PasArriereSpr", "ExecuterArriere", "EnregistrerSession", "RejouerSession"})
    if (QAction* a = Action(name)) a->setEnabled(!running);
  setCursor(running ? Qt::BusyCursor : Qt::ArrowCursor);
  if (running && !replaying_)
    link_.RunStarted([this] {
      QCoreApplication::processEvents(QEventLoop::AllEvents);
      return session_.machine().RunMode == kModeStop;
    });
  if (workbench_) workbench_->RunState(running);
  // F2 ends one of the replay's runs, not the replay.
  if (running && replaying_ && workbench_)
    workbench_->Status(
        "Session en cours de rejeu, jusqu'à sa fin ou à la première différence (Arrêt l'interrompt)");
  if (!running && reload_ != nullptr) reload_->RunEnded();
  panel_->SetRunning(running);
  if (!running && profile_ != nullptr && profile_->isVisible()) profile_->Refresh();
  // A hint left from before the run would show old values over the PC's line.
  if (running) label1_->hide();
  if (!running) dump_->Build(false);
  if (!running && run_.Pane == RightPane::Var) RefreshSymbolBytes();
  if (!running) {
    // Hit counts moved, a temporary entry may be gone.
    const std::vector<std::string> lines = session_.breakpoints().Lines();
    bool same = listBreak1_->count() == static_cast<int>(lines.size());
    for (int i = 0; same && i < listBreak1_->count(); ++i)
      same = listBreak1_->item(i)->text() == ToQString(lines[static_cast<std::size_t>(i)]);
    if (!same) BreaksChanged();
  }
}

// The reach stays on the right of the status bar, beside each command's own message.
void MainWindow::ShowReach(std::string_view text) {
  auto* reach = statusBar()->findChild<QLabel*>("LbRetour");
  if (reach == nullptr) {
    reach = new QLabel(statusBar());
    reach->setObjectName("LbRetour");
    statusBar()->addPermanentWidget(reach);
  }
  reach->setText(ToQString(text));
}

void MainWindow::ShowMode(bool exact) {
  auto* mode = statusBar()->findChild<QLabel*>("LbMode");
  if (mode == nullptr) {
    mode = new QLabel(statusBar());
    mode->setObjectName("LbMode");
    statusBar()->addPermanentWidget(mode);
  }
  mode->setText(exact ? kExactModeStatus : "");
}

void MainWindow::TraceLineAdded(const std::string&) {
  ++traceAdded_;  // drawn with the next refresh, never line by line
}

void MainWindow::ShowTraceList() {
  SelectPane(RightPane::Trace);
}

void MainWindow::AppendInfoLine(std::string_view text) {
  const QString old = lbInfo_->text();
  QStringList lines = old.isEmpty() ? QStringList() : old.split("\r\n");
  lines.append(ToQString(text));
  // Only the newest lines: a serial client that comes and goes would
  // otherwise grow the label down over the whole flowchart.
  while (lines.size() > kInfoLinesMax) lines.removeFirst();
  lbInfo_->setText(lines.join("\r\n"));
  // 300 pixels left of the flowchart's right edge, just below its top, and
  // moved left, then wrapped, so that a long line is never cut at the edge.
  const int room = std::max(100, scrollBox1_->viewport()->width() - 10);
  const QFontMetrics metrics(lbInfo_->font());
  int natural = 0;
  for (const QString& line : lines) natural = std::max(natural, metrics.horizontalAdvance(line));
  const int width = std::min(room, natural + 2 * lbInfo_->margin() + 6);
  lbInfo_->setWordWrap(true);
  const int tallest = std::max(metrics.height(), scrollBox1_->viewport()->height() - 10);
  while (lines.size() > 1 && lbInfo_->heightForWidth(width) > tallest) {
    lines.removeFirst();
    lbInfo_->setText(lines.join("\r\n"));
  }
  lbInfo_->resize(width, lbInfo_->heightForWidth(width));
  const int right = scrollBox1_->viewport()->width();
  lbInfo_->move(std::max(0, std::min(right - 300, right - width - 5)), 5);
  lbInfo_->show();
  lbInfo_->raise();
}

// --- Events -----------------------------------------------------------------

}  // namespace hc11::gui
