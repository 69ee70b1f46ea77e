// TForm1's program life cycle: start-up, Load, Init, save, the open dialogs,
// and the commands that end in them.
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QSaveFile>

#include "app/gui/board_panel.h"
#include "app/gui/dump_window.h"
#include "app/gui/flow_view.h"
#include "app/gui/main_window.h"
#include "app/gui/trace_pane.h"
#include "core/file_write.h"
#include "core/hex_loader.h"
#include "core/text_util.h"
#include "core/trace.h"
#include "debugger/whole_file.h"
#include "debugger/workspace_file.h"
#include "listing/symbols.h"

namespace hc11::gui {

void MainWindow::Start() {
  run_.Pane = RightPane::Trace;
  session_.machine().RefreshEvery = 10000;
  settingsPath_ = SettingsPath(QCoreApplication::applicationFilePath().toStdString(), options_.settingsPath);
  std::string error;
  if (!ReadSettingsFile(settingsPath_, settings_, error)) messages_.Show(MsgKind::Error, "Erreur", error);
  if (!options_.program.empty())
    listingBase_ = Session::BaseOf(options_.program);
  else if (!settings_.NomFichLst.empty())
    listingBase_ = settings_.NomFichLst;
  else
    listingBase_ = options_.demoBase;  // first start
  panel_->move(settings_.EnvL, settings_.EnvT);
  panel_->setVisible(settings_.EnvVisible || options_.screenshot);
  dump_->SetChoice(settings_.ChoixDump);
  ApplyOptions();
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
  for (const SymbolItem& item : session_.listing().Symbols.ListSymbI)
    listSymbI_->addItem(ToQString(item.text));
  session_.machine().tInst.fill(0);
  Init(true);
}

// The breakpoint and watch lists as the program's workspace file holds them;
// without a file they stay empty. A damaged file keeps what was read.
void MainWindow::ReadWorkspace() {
  breaks_.Forget();
  watches_.Forget();
  std::string bytes;
  bool missing = false;
  const std::string path = listingBase_ + ".Zan";
  if (!ReadWhole(path, bytes, missing)) {
    messages_.Show(MsgKind::Error, "Erreur", "Lecture impossible: " + path);
    return;
  }
  if (missing) return;
  settings_.marks.Set("TracerAff", false);
  const WorkspaceRead read = DecodeWorkspace(bytes);
  for (const Tbreak& b : read.workspace.breaks) breaks_.Append(b, true);
  for (const TSurv& w : read.workspace.watches) watches_.AppendUnresolved(w);
  settings_.marks.Set("AfReg", false);
  if (!read.error.empty()) messages_.Show(MsgKind::Error, "Erreur", path + ": " + read.error);
}

void MainWindow::Init(bool restoreWorkspace) {
  Machine& m = session_.machine();
  m.StepOverCalls = false;
  setCursor(Qt::BusyCursor);
  ClearSymbolListsExceptI(session_.listing().Symbols);
  m.TraceList.clear();
  traceAdded_ = 0;
  memoTrace_->clear();
  memoStack_->clear();
  // The image load clears the write tags, so the RAM breakpoints are
  // registered after it.
  const bool image = LoadProgramImage(m, listingBase_ + ".HEX", messages_);
  ReadWorkspace();
  ApplyOptions();
  for (const std::string& refused : ApplyPatchCode(settings_.patchLines, m.Memory))
    messages_.Show(MsgKind::Error, "Erreur", refused);
  if (image || m.CodeEnd != 0) {
    watches_.ResolveByName(session_.listing().Symbols);
    for (const std::string& refused : watches_.WriteInitialValues())
      messages_.Show(MsgKind::Error, "Erreur", refused);
  }
  valueListEditor1_->item(2, 1)->setText("16");  // CoefQuartz
  RefreshCaption();
  m.RunMode = u'q';
  m.StepCounter = 0;
  if (restoreWorkspace) valueListEditor1_->hide();
  RefreshStackView();
  ShowSourceAt(m.cpu.PC);
  ligneX2_->setText(ToQString(FormatTraceLine(m)));
  RefreshBreakList();
  listBoxSurv_->clear();
  RefreshWatches(true);
  ShowRegisters();
  ligneX1_->clear();
  casBreak_->clear();
  panel_->Refresh();
  mdiArea_->tileSubWindows();
  setCursor(Qt::ArrowCursor);
}

void MainWindow::Save() {
  Settings& s = settings_;
  s.NomFichLst = listingBase_;
  s.DirNameS = QFileInfo(QString::fromStdString(sFileName_)).fileName().toStdString();
  const QRect panel = panel_->frameGeometry();
  s.EnvH = panel.height();
  s.EnvT = panel.top();
  s.EnvL = panel.left();
  s.EnvW = panel.width();
  s.EnvWs = panel_->isMinimized() ? 1 : 0;
  s.EnvVisible = panel_->isVisible();
  s.ChoixDump = dump_->Choice();
  for (int row = 0; row < valueListEditor1_->rowCount(); ++row)
    s.SetReglage(valueListEditor1_->item(row, 0)->text().toStdString(),
                 valueListEditor1_->item(row, 1)->text().toStdString());
  std::string error;
  QDir().mkpath(QFileInfo(QString::fromStdString(settingsPath_)).absolutePath());
  if (!SaveSettingsFile(settingsPath_, s, error)) messages_.Show(MsgKind::Error, "Erreur", error);
  if (!listingBase_.empty() &&
      !WriteFileWhole(listingBase_ + ".Zan", EncodeWorkspace(breaks_.entries(), watches_.entries()), error))
    messages_.Show(MsgKind::Error, "Erreur", listingBase_ + ".Zan: " + error);
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
  if (!WriteFileWhole("Trace.txt", text, error))
    messages_.Show(MsgKind::Error, "Erreur", "Trace.txt: " + error);
}

bool MainWindow::SaveScreenshots(const QString& dir, QString& error) {
  if (!QDir().mkpath(dir)) {
    error = "cannot create " + dir;
    return false;
  }
  for (const auto& [widget, name] :
       {std::pair<QWidget*, const char*>{this, "main.png"}, {panel_, "panel.png"}}) {
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
