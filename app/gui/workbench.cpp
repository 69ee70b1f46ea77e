#include "app/gui/workbench.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QWheelEvent>
#include <algorithm>

#include "app/gui/board_panel.h"
#include "app/gui/dump_window.h"
#include "app/gui/flow_view.h"
#include "app/gui/pane_focus.h"
#include "app/gui/registers_pane.h"
#include "app/gui/screen_places.h"
#include "app/gui/source_pane.h"
#include "board/panel_tables.h"
#include "core/break_state.h"
#include "core/file_write.h"
#include "core/text_util.h"
#include "debugger/flow_pane.h"
#include "debugger/options.h"
#include "debugger/session.h"
#include "debugger/whole_file.h"
#include "flowchart/view/interaction.h"
#include "listing/symbols.h"
#include "workbench/register_rows.h"
#include "workbench/sheet_gestures.h"
#include "workbench/status_messages.h"
#include "workbench/status_text.h"
#include "workbench/tooltips.h"
#include "workbench/view_settings.h"

namespace hc11::gui {

namespace {

constexpr const char* kNoDialogDuringRun = "Dialogue impossible pendant l'exécution: arrêter d'abord (F2)";

Qt::DockWidgetArea AreaOf(const std::string& zone) {
  if (zone == "droite") return Qt::RightDockWidgetArea;
  if (zone == "haut") return Qt::TopDockWidgetArea;
  if (zone == "bas") return Qt::BottomDockWidgetArea;
  return Qt::LeftDockWidgetArea;
}

std::string ZoneOf(QMainWindow& w, QDockWidget& dock) {
  if (dock.isFloating()) return "flottant";
  switch (w.dockWidgetArea(&dock)) {
    case Qt::RightDockWidgetArea:
      return "droite";
    case Qt::TopDockWidgetArea:
      return "haut";
    case Qt::BottomDockWidgetArea:
      return "bas";
    default:
      return "gauche";
  }
}

// Narrower or lower than this a pane shows nothing useful: such a size was
// squeezed by a small screen or a large scale, not chosen.
constexpr int kPaneMinWidth = 200, kPaneMinHeight = 120;

void PlaceDock(QMainWindow& w, QDockWidget& dock, const PanePlace& place, const PanePlace& fallback) {
  if (place.zone == "flottant") {
    dock.setFloating(true);
    KeepOnScreen(dock);
  } else if (dock.isFloating() || w.dockWidgetArea(&dock) != AreaOf(place.zone)) {
    dock.setFloating(false);
    w.addDockWidget(AreaOf(place.zone), &dock);
  }
  // At most half the width and two thirds of the height of the window (or
  // of the screen, which a window that opens maximised is about to fill), so
  // the flowchart keeps room whatever was saved.
  const ScreenRect screen = AvailableScreenOf(w);
  const int width = std::max(w.width(), screen.width), height = std::max(w.height(), screen.height);
  if (place.width > 0 || fallback.width > 0)
    w.resizeDocks({&dock}, {FitPaneExtent(place.width, fallback.width, kPaneMinWidth, width / 2)},
                  Qt::Horizontal);
  if (place.height > 0 || fallback.height > 0)
    w.resizeDocks({&dock}, {FitPaneExtent(place.height, fallback.height, kPaneMinHeight, height * 2 / 3)},
                  Qt::Vertical);
  dock.setVisible(place.visible);
}

PanePlace PlaceOf(QMainWindow& w, QDockWidget& dock) {
  return {dock.toggleViewAction()->isChecked(), ZoneOf(w, dock), dock.width(), dock.height()};
}

}  // namespace

Workbench::Workbench(WindowFrame& frame, WorkbenchHost& window, FocusHost& panes)
    : frame_(frame), w_(window) {
  BuildDocks();
  BuildActions();
  ConnectStatuses();
  SetToolTips();
  w_.statusMessages().Running = [this] { return w_.Running(); };
  // An error keeps the line: the command's own success text is not shown after it.
  w_.statusMessages().Status = [this](const std::string& text) {
    frame_.Window().statusBar()->showMessage(QString::fromStdString(text));
  };

  // The flowchart's own gestures: the selection follows into the source, a
  // press on a tab toggles the line's breakpoint.
  FlowView* view = &w_.FlowchartView();
  auto press = view->OnPress;
  view->OnPress = [this, press](int x, int y) {
    if (press) press(x, y);
    sourceTarget_.reset();
    SyncSourceSelection();
  };
  view->OnTabPress = [this](int x, int y) {
    const auto address = TabAddressAt(w_.flowPane().Sheet(), x, y);
    if (address) ToggleAt(*address);
    return address.has_value();
  };
  view->OnFixedBoxDrag = [this] { Status(kFlowBoxFixed); };
  view->setFocusPolicy(Qt::StrongFocus);  // Tab reaches it as well as a click

  w_.dumpWindow().OnBuilt = [this] { HighlightDump(); };
  qApp->installEventFilter(this);
  focus_ = std::make_unique<PaneFocus>(frame_, panes, *this);
}

Workbench::~Workbench() {
  focus_.reset();
  qApp->removeEventFilter(this);
}

void Workbench::BuildDocks() {
  // The top bar spans the window above the docks, which would otherwise
  // share its width with them and be squeezed to nothing.
  QWidget& topBar = w_.TopBar();
  if (QLayout* layout = topBar.parentWidget() ? topBar.parentWidget()->layout() : nullptr)
    layout->removeWidget(&topBar);
  auto* bar = new QToolBar(&frame_.Window());
  bar->setObjectName("SpeedBarTool");
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setContextMenuPolicy(Qt::PreventContextMenu);
  bar->setStyleSheet("QToolBar { border: 0px; padding: 0px; spacing: 0px; }");
  bar->addWidget(&topBar);
  frame_.Window().addToolBar(Qt::TopToolBarArea, bar);

  source_ = new SourcePane;
  source_->OnLineChosen = [this](std::size_t line) { ChooseSourceLine(line); };
  source_->OnMarginClick = [this](std::size_t line) { MarginClick(line); };
  source_->OnLineDoubleClicked = [this](std::size_t line) { SourceDoubleClick(line); };
  source_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* runTo = new QAction("Continuer jusqu'a", source_);
  runTo->setObjectName("SourceContinuer");
  connect(runTo, &QAction::triggered, this, [this] { frame_.Action("Jusquaucurseur")->trigger(); });
  auto* toggle = new QAction("Break edit", source_);
  toggle->setObjectName("SourceBreak");
  connect(toggle, &QAction::triggered, this, [this] {
    if (source_->currentRow() >= 0) MarginClick(static_cast<std::size_t>(source_->currentRow()));
  });
  source_->addActions({runTo, toggle});

  sourceDock_ = new QDockWidget("Source", &frame_.Window());
  sourceDock_->setObjectName("SourceDock");
  sourceDock_->setWidget(source_);
  sourceDock_->setToolTip("Le listing du programme; un clic dans la marge pose ou retire un point d'arrêt.");
  frame_.Window().addDockWidget(Qt::LeftDockWidgetArea, sourceDock_);

  registers_ = new RegistersPane;
  registers_->OnEdit = [this](const std::string& name, const std::string& text) {
    RegisterEdited(name, text);
  };
  registersDock_ = new QDockWidget("Registres", &frame_.Window());
  registersDock_->setObjectName("RegistresDock");
  registersDock_->setWidget(registers_);
  registersDock_->setToolTip(QString::fromUtf8(ToolTipOf("Registres").data()));
  frame_.Window().addDockWidget(Qt::LeftDockWidgetArea, registersDock_);
  frame_.Window().splitDockWidget(sourceDock_, registersDock_, Qt::Vertical);
  frame_.Window().resizeDocks({sourceDock_}, {520}, Qt::Horizontal);
  frame_.Window().resizeDocks({sourceDock_, registersDock_}, {540, 260}, Qt::Vertical);
}

void Workbench::BuildActions() {
  QMenu* voir = frame_.Menus().view;
  if (voir == nullptr) return;
  voir->addSeparator();
  QAction* showSource = sourceDock_->toggleViewAction();
  showSource->setObjectName("VoirSource");
  showSource->setText("Source");
  QAction* showRegisters = registersDock_->toggleViewAction();
  showRegisters->setObjectName("VoirRegistres");
  showRegisters->setText("Registres");
  voir->addAction(showSource);
  voir->addAction(showRegisters);
  frame_.RegisterAction("VoirSource", showSource);
  frame_.RegisterAction("VoirRegistres", showRegisters);

  voir->addSeparator();
  struct ZoomItem {
    const char* name;
    const char* caption;
    QList<QKeySequence> keys;
    int direction;
  };
  const ZoomItem items[] = {
      {"ZoomIn",
       "Zoom avant",
       {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
       1},
      {"ZoomOut", "Zoom arrière", {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, -1},
      {"ZoomReset", "Zoom 100%", {QKeySequence(Qt::CTRL | Qt::Key_0)}, 0},
  };
  for (const ZoomItem& item : items) {
    auto* a = new QAction(item.caption, &frame_.Window());
    a->setObjectName(item.name);
    voir->addAction(a);
    frame_.RegisterAction(item.name, a);
    a->setShortcuts(item.keys);
    a->setToolTip(QString::fromUtf8(ToolTipOf(item.name).data()));
    const int direction = item.direction;
    connect(a, &QAction::triggered, this, [this, direction] {
      // At the pointer when it is over the flowchart, else at the centre.
      QWidget* viewport = w_.FlowchartScroll().viewport();
      const QPoint at = viewport->mapFromGlobal(QCursor::pos());
      const std::optional<QPoint> anchor =
          viewport->rect().contains(at) ? std::optional<QPoint>(at) : std::nullopt;
      if (direction == 0)
        ZoomTo(Zoom::kDefault, anchor);
      else
        ZoomStep(direction, anchor);
    });
  }
}

void Workbench::SetToolTips() {
  for (const char* name :
       {"LigneX1", "LigneX2", "Cas_Break", "LabelPC", "LabelA", "LabelB", "LabelX", "LabelY", "CbDebugOnce",
        "ListUrl", "GroupBox1", "RbTrace", "RbSurv", "RbStack", "RbBreak", "RbListe", "RBVar"}) {
    if (auto* widget = frame_.Window().findChild<QWidget*>(name))
      widget->setToolTip(QString::fromUtf8(ToolTipOf(name).data()));
  }
  for (const OptionItem& item : kOptionItems) {
    const std::string_view tip = ToolTipOf(item.component);
    if (QAction* a = frame_.Action(item.component); a != nullptr && !tip.empty())
      a->setToolTip(QString::fromUtf8(tip.data(), static_cast<int>(tip.size())));
  }
  if (QMenu* options = frame_.Menus().options) options->setToolTipsVisible(true);
}

// --- Life cycle -------------------------------------------------------------

void Workbench::Start() {
  std::string text;
  bool missing = false;
  ReadWhole(w_.session().SettingsPath(), text, missing);
  const ViewSettings s = ParseViewSettings(text);
  const ViewSettings defaults;
  PlaceDock(frame_.Window(), *sourceDock_, s.source, defaults.source);
  PlaceDock(frame_.Window(), *registersDock_, s.registers, defaults.registers);
  ZoomTo(s.zoom);
}

void Workbench::Saved() {
  const std::string& path = w_.session().SettingsPath();
  if (path.empty()) return;
  std::string text, error;
  bool missing = false;
  ReadWhole(path, text, missing);
  ViewSettings s;
  s.zoom = w_.FlowchartView().zoom().Percent();
  s.source = PlaceOf(frame_.Window(), *sourceDock_);
  s.registers = PlaceOf(frame_.Window(), *registersDock_);
  if (!WriteFileWhole(path, RewriteViewSettings(text, s), error)) Status(ErrorStatus(path + ": " + error));
}

void Workbench::Loaded() {
  std::string error;
  const Listing& listing = w_.session().listing();
  std::string file = w_.ListingBase() + ".lst";
  if (!QFile::exists(QString::fromStdString(file)) &&
      QFile::exists(QString::fromStdString(w_.ListingBase() + ".LST")))
    file = w_.ListingBase() + ".LST";
  if (!map_.Read(file, listing.LineList.empty() ? nullptr : listing.ListingMap.get(), error))
    Status(ErrorStatus(error));
  source_->SetLines(map_);
  sourceTarget_.reset();
}

void Workbench::Initialised() {
  const Machine& m = w_.session().machine();
  ramChanges_.Forget();
  eepromChanges_.Forget();
  Snapshot();
  lastStop_ = previousStop_ = m.cpu;
  MarksChanged();
  RefreshRegisters();
}

void Workbench::Followed(std::uint16_t address) {
  const std::uint16_t pc = w_.session().machine().cpu.PC;
  // A line shown from elsewhere ("Aller", a list) becomes the chosen one;
  // after a stop the line chosen before stays chosen, but the PC's line is
  // what must be in view, so it is scrolled to last.
  if (address != pc) sourceTarget_.reset();
  source_->SetPcLine(map_.LineOfAddress(pc), false);
  SyncSourceSelection();
  if (address == pc) source_->SetPcLine(map_.LineOfAddress(pc), true);
}

void Workbench::RegistersShown() {
  RefreshRegisters();
}

void Workbench::RunState(bool running) {
  Machine& m = w_.session().machine();
  for (const char* name : {"OuvrirFichierLst", "ouvrirfichierS"})
    if (QAction* a = frame_.Action(name)) a->setEnabled(!running);
  if (running) {
    closeRefused_ = false;
    const RunKind kind = w_.LastKind();
    if (kind == RunKind::Run || kind == RunKind::ReturnUp) Status("Exécution en cours (F2 pour arrêter)");
    return;
  }
  StopReport report;
  report.command = w_.LastKind();
  report.stop = w_.LastStop();
  report.closeRefused = closeRefused_;
  const BreakpointList& breaks = w_.session().breakpoints();
  if (report.stop.cause == StopCause::RamBreakpoint) {
    report.variable = VariableAt(report.stop.address);
    if (const auto& hit = breaks.LastRamStop(); hit && report.variable.empty()) report.variable = hit->name;
  } else if (const auto index = breaks.Find(m.cpu.PC)) {
    report.breakpointName = breaks.entries()[*index].name;
  }
  Status(StopStatus(report));
  previousStop_ = lastStop_;
  lastStop_ = m.cpu;
  Snapshot();
  RefreshRegisters();
  if (w_.dumpWindow().isVisible()) w_.dumpWindow().Build(false);
}

void Workbench::MarksChanged() {
  const Machine& m = w_.session().machine();
  source_->SetMarks(map_, [&m](std::uint16_t address) -> std::optional<std::uint32_t> {
    const auto colour = BreakLineColour(m.tInst[address]);
    if (!colour || *colour == kWhite) return std::nullopt;  // white: no breakpoint
    return colour;
  });
}

std::string Workbench::VariableAt(std::uint16_t address) const {
  if (const SymbolList* variables = SymbolListForKind(w_.session().listing().Symbols, 'I'))
    for (const SymbolItem& item : *variables)
      if (item.sym.Addr == address) return item.sym.Name;
  return {};
}

bool Workbench::ModalAllowed() {
  if (!w_.Running()) return true;
  Status(kNoDialogDuringRun);
  return false;
}

void Workbench::ZoomTo(int percent, std::optional<QPoint> anchor) {
  QWidget* viewport = w_.FlowchartScroll().viewport();
  if (w_.FlowchartView().SetZoom(percent, anchor.value_or(viewport->rect().center()))) {
    w_.HideValueHint();
    Status(ZoomStatus(w_.FlowchartView().zoom().Percent()));
  }
}

void Workbench::ZoomStep(int direction, std::optional<QPoint> anchor) {
  Zoom next = w_.FlowchartView().zoom();
  if (direction > 0 ? next.In() : next.Out()) ZoomTo(next.Percent(), anchor);
}

void Workbench::Status(const std::string& text) {
  errorsSeen_ = w_.statusMessages().Errors();
  frame_.Window().statusBar()->showMessage(QString::fromStdString(text));
}

// --- Views --------------------------------------------------------------------

void Workbench::SyncSourceSelection() {
  const auto address = sourceTarget_ ? sourceTarget_ : w_.flowPane().SelectedAddress();
  source_->SelectLine(address ? map_.LineOfAddress(*address) : std::nullopt);
}

void Workbench::RefreshRegisters() {
  registers_->Show(RegisterRows(w_.session().machine().cpu, previousStop_));
}

void Workbench::RegisterEdited(const std::string& name, const std::string& text) {
  CpuState cpu = w_.session().machine().cpu;
  const std::string error = w_.Running() ? std::string(kNoDialogDuringRun) : SetRegisterText(cpu, name, text);
  if (error.empty()) w_.SetRegisters(cpu);
  if (!error.empty()) {
    Status(ErrorStatus(error));
  } else {
    Status(RegisterSetStatus(name, Trim(text)));
  }
  // The pane is redrawn once the edit has closed.
  QMetaObject::invokeMethod(
      this, [this] { w_.RegistersChanged(); }, Qt::QueuedConnection);
}

void Workbench::Snapshot() {
  const Machine& m = w_.session().machine();
  ramChanges_.Stopped(m.Memory);
  eepromChanges_.Stopped(w_.session().board().EepromImage);
}

void Workbench::HighlightDump() {
  const MemoryChanges* changes = w_.dumpWindow().Choice() == 0   ? &ramChanges_
                                 : w_.dumpWindow().Choice() == 1 ? &eepromChanges_
                                                                 : nullptr;
  std::vector<std::pair<int, int>> cells;
  const auto start = StrToWord("$" + Trim(w_.dumpWindow().Address()));
  if (changes != nullptr && start) {
    for (const MemoryChanges::Cell& c :
         changes->DumpCells(*start, static_cast<int>(w_.dumpWindow().Lines().size())))
      cells.emplace_back(c.line, c.column);
  }
  w_.dumpWindow().Highlight(cells);
}

bool Workbench::IsFlowchartWidget(QObject* o) const {
  return o == &w_.FlowchartView() || o == &w_.FlowchartScroll() || o == w_.FlowchartScroll().viewport();
}

bool Workbench::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &frame_.Window() && event->type() == QEvent::Close && w_.Running()) {
    closeRefused_ = true;
    Status(kCloseRefused);
  }
  if (!IsFlowchartWidget(watched)) return QObject::eventFilter(watched, event);
  if (event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier) || wheel->angleDelta().y() == 0) return false;
    const QPoint global = wheel->globalPosition().toPoint();
    ZoomStep(wheel->angleDelta().y() > 0 ? 1 : -1, w_.FlowchartScroll().viewport()->mapFromGlobal(global));
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    switch (key->key()) {
      case Qt::Key_Up:
        MoveSelection(-1);
        return true;
      case Qt::Key_Down:
        MoveSelection(1);
        return true;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        FollowSelectedCall();
        return true;
      case Qt::Key_Backspace:
        frame_.Action("Precedent")->trigger();
        return true;
      default:
        break;
    }
  }
  return false;
}

}  // namespace hc11::gui
