// TForm1's program life cycle: start-up, Load, Init, save, the open dialogs,
// and the commands that end in them.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QSaveFile>

#include "app/gui/board_panel.h"
#include "app/gui/flow_view.h"
#include "app/gui/main_window.h"
#include "app/gui/trace_pane.h"
#include "core/file_write.h"
#include "core/hex_loader.h"
#include "core/text_util.h"
#include "core/trace.h"

namespace hc11::gui {

void MainWindow::Start() {
  run_.Pane = RightPane::Trace;
  session_.machine().RefreshEvery = 10000;
  listingBase_ = !options_.program.empty() ? Session::BaseOf(options_.program) : options_.demoBase;
  valueListEditor1_->hide();
  Load();
}

void MainWindow::Load() {
  session_.machine().Idle = true;
  pane_.Sheet().CoordsModified = false;
  const LoadReport report = session_.Load(listingBase_);
  pane_.AfterLoad(listingBase_, report.listingRead);
  RepaintFlowchart(false);
  RefreshHistory();
  listSymbI_->clear();
  for (const SymbolItem& item : session_.listing().Symbols.ListSymbI) listSymbI_->addItem(ToQString(item.text));
  session_.machine().tInst.fill(0);
  Init(true);
}

void MainWindow::Init(bool /*restoreWorkspace*/) {
  Machine& m = session_.machine();
  m.StepOverCalls = false;
  m.TraceList.clear();
  traceAdded_ = 0;
  memoTrace_->clear();
  memoStack_->clear();
  LoadProgramImage(m, listingBase_ + ".HEX", messages_);
  valueListEditor1_->item(2, 1)->setText("16");  // CoefQuartz
  RefreshCaption();
  m.RunMode = u'q';
  m.StepCounter = 0;
  if (m.StackChanged) RefreshStackView();
  ShowSourceAt(m.cpu.PC);
  ligneX2_->setText(ToQString(FormatTraceLine(m)));
  ShowRegisters();
  ligneX1_->clear();
  casBreak_->clear();
  panel_->Refresh();
  mdiArea_->tileSubWindows();
}

void MainWindow::Save() {
  // Flowchart positions the user dragged are kept with the program.
  if (pane_.Sheet().CoordsModified) pane_.Sheet().SaveCoordFile();
}

void MainWindow::RefreshCaption() {
  setWindowTitle(QString::fromStdString(sFileName_) + "    " + QString::fromStdString(listingBase_));
}

void MainWindow::RefreshHistory() {
  const QSignalBlocker block(listUrl_);
  listUrl_->clear();
  for (const std::string& name : pane_.History()) listUrl_->addItem(ToQString(name));
  listUrl_->setCurrentIndex(pane_.HistoryIndex());
}

void MainWindow::RepaintFlowchart(bool relayout) {
  paintBox1_->Repaint(relayout);
}

void MainWindow::OpenListing() {
  const QFileInfo current(QString::fromStdString(listingBase_ + ".lst"));
  const QString chosen = QFileDialog::getOpenFileName(this, "Ouvrir Fichier.Lst", current.absoluteFilePath(),
                                                      "Hex file (*.lst)");
  if (!chosen.isEmpty()) {
    listingBase_ = Session::BaseOf(chosen.toStdString());
    Load();
  }
  RefreshCaption();
}

void MainWindow::OpenSFile() {
  const QString chosen = QFileDialog::getOpenFileName(this, "Ouvrir fichier.S",
                                                      QString::fromStdString(sFileName_), "Hex file (*.s)");
  if (!chosen.isEmpty()) sFileName_ = chosen.toStdString();
  RefreshCaption();
}

void MainWindow::Relancer() {
  setCursor(Qt::BusyCursor);
  run_.Stop();
  Save();
  Load();
  setCursor(Qt::ArrowCursor);
}

void MainWindow::EditRegister(const QString& name) {
  (void)name;  // register editing comes with the register prompt of the model
}

void MainWindow::SaveTraceFile() {
  std::string text;
  for (const std::string& line : session_.machine().TraceList) text += line + '\n';
  std::string error;
  if (!WriteFileWhole("Trace.txt", text, error)) messages_.Show(MsgKind::Error, "Erreur", "Trace.txt: " + error);
}

bool MainWindow::SaveScreenshots(const QString& dir, QString& error) {
  if (!QDir().mkpath(dir)) {
    error = "cannot create " + dir;
    return false;
  }
  for (const auto& [widget, name] : {std::pair<QWidget*, const char*>{this, "main.png"}, {panel_, "panel.png"}}) {
    const QString path = QDir(dir).filePath(name);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !widget->grab().save(&file, "PNG") || !file.commit()) {
      error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

}  // namespace hc11::gui
