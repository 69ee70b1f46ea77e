// TForm1's program life cycle: start-up, Load, Init, save, the open dialogs,
// and the commands that end in them.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QSaveFile>
#include <QScrollBar>
#include <QTreeWidgetItem>
#include <algorithm>

#include "app/gui/board_panel.h"
#include "app/gui/dump_window.h"
#include "app/gui/flow_view.h"
#include "app/gui/main_window.h"
#include "app/gui/reglages_editor.h"
#include "app/gui/reload_control.h"
#include "app/gui/screen_places.h"
#include "app/gui/source_pane.h"
#include "app/gui/symbol_lists.h"
#include "app/gui/trace_pane.h"
#include "app/gui/workbench.h"
#include "core/file_write.h"
#include "core/hex_loader.h"
#include "core/text_util.h"
#include "core/trace.h"
#include "debugger/settings_file.h"
#include "debugger/views.h"
#include "flowchart/view/interaction.h"
#include "workbench/register_rows.h"

namespace hc11::gui {

namespace {

// The open dialogs' filters; the listing's extension in either case, as the
// assembler may write it.
constexpr const char* kListingFilter = "Fichier listing (*.lst *.LST)";
constexpr const char* kSourceFilter = "Fichier source (*.s *.S)";

}  // namespace

void MainWindow::Start() {
  SelectPane(RightPane::Trace);
  session_.machine().RefreshEvery = 10000;
  session_.ReadSettings(
      SettingsPath(QCoreApplication::applicationFilePath().toStdString(), options_.settingsPath));
  const Settings& settings = session_.settings();
  if (!options_.program.empty())
    // Stored absolute, so the next start from another folder finds it.
    listingBase_ =
        QDir::cleanPath(
            QFileInfo(QString::fromStdString(Session::BaseOf(options_.program))).absoluteFilePath())
            .toStdString();
  else if (!settings.NomFichLst.empty())
    listingBase_ = settings.NomFichLst;
  else
    listingBase_ = options_.demoBase;  // first start
  dump_->SetChoice(settings.ChoixDump);
  workbench_->Start();
  panel_->adjustSize();
  // The panel's client area goes back where it was saved from (and is kept
  // on the screen when it shows): a frame position saved and a client
  // position restored would creep by the title bar's height at every start.
  if (settings.EnvW > 0 || settings.EnvH > 0) {
    panel_->setGeometry(QRect(QPoint(settings.EnvL, settings.EnvT), panel_->size()));
  } else {
    PlacePanelClear();
  }
  panel_->setVisible(settings.EnvVisible || options_.screenshot);
  ApplyOptions();
  valueListEditor1_->hide();
  reload_->ReadSettings();
  Load();
  gdb_->Apply(messages_);  // "Serveur GDB" kept checked in the settings
}

void MainWindow::PlacePanelClear() {
  // The docks are in place by now.
  if (layout() != nullptr) layout()->activate();
  const QWidget* free = scrollBox1_->viewport();
  const QRect area(free->mapToGlobal(QPoint(0, 0)), free->size());
  panelAutoPlace_ = ToQRect(PlaceInFreeArea(panel_->width(), panel_->height(), ToScreenRect(area),
                                            AvailableScreenOf(*this), FrameOf(*panel_)));
  panel_->setGeometry(*panelAutoPlace_);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // A window manager maximizes the window after it was shown: the first
  // place was taken on the size before.
  if (!panelAutoPlace_) return;
  if (panel_->geometry() != *panelAutoPlace_) {
    panelAutoPlace_.reset();  // the user has moved it
    return;
  }
  PlacePanelClear();
}

void MainWindow::Load() {
  pane_.Sheet().CoordsModified = false;
  const LoadReport report = controller_.Load(listingBase_);  // ends with Init and the workspace
  pane_.AfterLoad(listingBase_, report.listingRead);
  workbench_->Loaded();
  RefreshHistory();
  symbolLists_->Fill(session_.listing().Symbols);
  // The instructions not interpreted come first, then the function list.
  const std::vector<ListRow> rows = LoadRows(session_.listing());
  if (!rows.empty() && rows.front().instruction == kNotInterpretedHeader) Beep(500, 100);
  if (!session_.listing().LineList.empty()) ShowListRows(rows, 2, false);
  ShowInitialised();
  reload_->Loaded(listingBase_);
}

void MainWindow::ReloadProgram() {
  if (!EndSessionBefore("Recharger le programme")) return;
  const std::string function = pane_.CurrentFunction();
  QScrollBar* source = workbench_->sourcePane().verticalScrollBar();
  const int sourceTop = source->value();
  // The entries are saved with their places on the listing they were set on.
  Save();
  Load();  // the dump's address box keeps its text
  if (!function.empty() && function != pane_.CurrentFunction() && pane_.ShowFunction(function, false)) {
    RefreshHistory();
    RepaintFlowchart(false);
  }
  source->setValue(sourceTop);
}

void MainWindow::Init(bool restoreWorkspace) {
  setCursor(Qt::BusyCursor);
  controller_.Init(restoreWorkspace);
  if (restoreWorkspace) valueListEditor1_->hide();
  ShowInitialised();
  setCursor(Qt::ArrowCursor);
}

// The views after Init: everything starts over from the reset machine.
void MainWindow::ShowInitialised() {
  Machine& m = session_.machine();
  traceAdded_ = 0;
  memoTrace_->clear();
  memoStack_->clear();
  ApplySerialLink(true);  // the firmware starts over, and so does its link
  ApplyOptions();         // a workspace read unchecks two marks
  RefreshReglages();
  RefreshCaption();
  m.StackChanged = true;
  RefreshStackView();
  ShowSourceAt(m.cpu.PC);
  ligneX2_->setText(ToQString(FormatTraceLine(m)));
  RefreshBreakList();
  listBoxSurv_->clear();
  RefreshWatches(true);
  RefreshSymbolBytes();
  ShowRegisters();
  ligneX1_->clear();
  casBreak_->clear();
  panel_->Refresh();
  dump_->Build(false);
  mdiArea_->tileSubWindows();
  workbench_->Initialised();
}

void MainWindow::RefreshReglages() {
  for (std::size_t i = 0; i < kReglagesDefaults.size(); ++i)
    valueListEditor1_->ShowValue(static_cast<int>(i),
                                 QString::fromStdString(session_.settings().reglages[i]));
}

void MainWindow::Save() {
  Settings& s = session_.settings();
  s.NomFichLst = listingBase_;
  s.DirNameS = QFileInfo(QString::fromStdString(sFileName_)).fileName().toStdString();
  const QRect panel = panel_->geometry();
  s.EnvH = panel.height();
  s.EnvT = panel.top();
  s.EnvL = panel.left();
  s.EnvW = panel.width();
  s.EnvWs = panel_->isMinimized() ? 1 : 0;
  s.EnvVisible = panel_->isVisible();
  s.ChoixDump = dump_->Choice();
  QDir().mkpath(QFileInfo(QString::fromStdString(session_.SettingsPath())).absolutePath());
  session_.Save();
  workbench_->Saved();
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
  label1_->hide();  // its values and place belong to the sheet as it was
  paintBox1_->Repaint(relayout);
}

void MainWindow::OpenListing() {
  const QFileInfo current(QString::fromStdString(listingBase_ + ".lst"));
  const auto chosen =
      messages_.ChooseFile("Ouvrir Fichier.Lst", current.absoluteFilePath().toStdString(), kListingFilter);
  if (chosen && ChosenFileExists(*chosen)) OpenListingFile(*chosen);
  RefreshCaption();
}

void MainWindow::OpenListingFile(const std::string& path) {
  if (!EndSessionBefore("Ouvrir un autre programme")) return;
  Save();  // the program left behind keeps its breakpoints and watches
  listingBase_ = Session::BaseOf(path);
  Load();
  RefreshCaption();
}

void MainWindow::OpenSFile() {
  const auto chosen = messages_.ChooseFile("Ouvrir fichier.S", sFileName_, kSourceFilter);
  if (chosen && ChosenFileExists(*chosen)) sFileName_ = *chosen;
  RefreshCaption();
}

bool MainWindow::ChosenFileExists(const std::string& path) {
  if (QFileInfo(QString::fromStdString(path)).isFile()) return true;
  messages_.Show(MsgKind::Error, "Erreur", "Fichier introuvable : " + path);
  return false;
}

void MainWindow::Relancer() {
  if (!EndSessionBefore("Relancer")) return;
  setCursor(Qt::BusyCursor);
  run_.Stop();
  Save();
  Load();
  setCursor(Qt::ArrowCursor);
}

// "Saisir registre ": an answer that is refused leaves the register.
void MainWindow::EditRegister(const QString& label) {
  const std::string name = label.mid(5).toStdString();
  Machine& m = session_.machine();
  const auto answer =
      messages_.Prompt("Saisir registre ", RegisterPromptText(m, name), RegisterPromptDefault(m, name));
  if (!answer) return;
  // Read as the "Registres" pane reads it: hexadecimal up to the register's
  // width, anything else refused with the reason and the register unchanged.
  CpuState cpu = m.cpu;
  const std::string error = SetRegisterText(cpu, name, *answer);
  if (!error.empty()) {
    messages_.Show(MsgKind::Error, "Erreur", error);
    return;
  }
  controller_.SetRegisters(cpu);
  // Both readouts: the register labels and the trace line.
  ShowRegisters();
  ligneX2_->setText(ToQString(FormatTraceLine(m)));
}

void MainWindow::SaveTraceFile() {
  std::string text;
  for (const std::string& line : session_.trace().lines()) text += line + '\n';
  std::string error;
  if (!WriteFileWhole("Trace.txt", text, error))
    messages_.Show(MsgKind::Error, "Erreur", "Trace.txt: " + error);
}

// The window with the "Break" list, the watch list drawn over the lower half
// of that pane, and the flowchart popup opened on the line at kShotLine (its
// own window, so it is grabbed apart and painted where it opened).
QImage MainWindow::ScreenshotOfMain() {
  constexpr std::uint16_t kShotLine = 0xE03D;  // a line naming a variable
  SelectPane(RightPane::Break);
  RefreshWatches(true);
  QMenu* popup = nullptr;
  QPoint popupAt;
  const Flowchart& sheet = pane_.Sheet();
  if (const AddressLine at = FindAddressLine(sheet, kShotLine); at.box != 0) {
    const TRectangle& b = sheet.Boxes[at.box];
    const int row = b.Haut / static_cast<int>(b.Lignes.size());
    const int x = b.Rect.Left + b.LargLabel + 4;
    const int y = b.Rect.Top + at.line * row + row / 2;
    scrollBox1_->ensureVisible(x, y, 50, 200);
    // As a right click there: the line is chosen, the popup acts on it.
    if (paintBox1_->OnPress) paintBox1_->OnPress(x, y);
    HoverAt(x, y);
    popup = FlowPopupMenu();
    popupAt = paintBox1_->mapTo(this, QPoint(x + 40, y));
    // Kept inside the window, as the screen would keep it.
    popupAt.setY(std::max(0, std::min(popupAt.y(), height() - popup->sizeHint().height())));
    popup->popup(mapToGlobal(popupAt));
  }
  QCoreApplication::processEvents();
  QImage image = grab().toImage();
  QPainter painter(&image);
  const QRect pane(panel3_->mapTo(this, QPoint(0, 0)), panel3_->size());
  const int half = pane.height() / 2;
  painter.drawImage(QPoint(pane.left(), pane.top() + half),
                    listBoxSurv_->grab(QRect(0, 0, pane.width(), pane.height() - half)).toImage());
  if (popup != nullptr) {
    painter.drawImage(popupAt, popup->grab().toImage());
    popup->hide();
  }
  return image;
}

bool MainWindow::SaveScreenshots(const QString& dir, QString& error) {
  if (!QDir().mkpath(dir)) {
    error = "cannot create " + dir;
    return false;
  }
  const QImage main = ScreenshotOfMain();
  for (const auto& [image, name] :
       {std::pair<QImage, const char*>{main, "main.png"}, {panel_->grab().toImage(), "panel.png"}}) {
    const QString path = QDir(dir).filePath(name);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
      error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

}  // namespace hc11::gui
