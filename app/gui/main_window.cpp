#include "app/gui/main_window.h"

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
#include "app/gui/memory_find_bar.h"
#include "app/gui/profile_window.h"
#include "app/gui/reglages_editor.h"
#include "app/gui/reload_control.h"
#include "app/gui/session_guard.h"
#include "app/gui/symbol_lists.h"
#include "app/gui/trace_pane.h"
#include "app/gui/workbench.h"
#include "core/run_engine.h"
#include "core/trace.h"
#include "debugger/hex_entry.h"
#include "debugger/settings_file.h"
#include "debugger/stack_low.h"
#include "debugger/views.h"

namespace hc11::gui {

namespace {

constexpr int kTopBarHeight = 41;
// A trace line with wide values: the processor line is never narrower.
constexpr const char* kWidestTraceLine =
    "PC=FFFF CC=FF X=ffff A=ff B=ff Sp=ffff  cycle=99999999 T=99999.999ms";
constexpr int kRightPaneWidth = 265;
constexpr int kSplitterWidth = 8;

struct PaneButton {
  const char* name;
  const char* caption;
  RightPane pane;
};
constexpr std::array<PaneButton, 6> kPaneButtons{{
    {"RbTrace", "Trace", RightPane::Trace},
    {"RbSurv", "Surv", RightPane::Surv},
    {"RbStack", "Stack", RightPane::Stack},
    {"RbBreak", "Break", RightPane::Break},
    {"RbListe", "Liste", RightPane::Liste},
    {"RBVar", "Var", RightPane::Var},
}};

QLabel* NamedLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

MainWindow::MainWindow(Messages& messages, StartOptions options)
    : statusMessages_(messages),
      messages_(statusMessages_),
      options_(std::move(options)),
      run_(*this),
      controller_(run_, messages_),
      session_(controller_.session()),
      metrics_(flowFont_),
      pane_(session_.listing(), messages_, metrics_) {
  setObjectName("Form1");
  run_.Attach(controller_);
  guard_ = std::make_unique<SessionGuard>(controller_, recorder_,
                                          [this](const SessionCut& cut) { ClockWentBack(cut); });
  session_.profiler().Enable(session_.machine(), true);  // counting is on in the window
  session_.timeTravel().SetRecording(true);
  pane_.Display().LineColorHook = [this](std::uint16_t address) -> Colour {
    return BreakLineColour(session_.machine().tInst[address]).value_or(kWhite);
  };
  BuildMenus();
  BuildTopBar();
  BuildCentre();
  statusBar()->setObjectName("StatusLine");
  ShowSessionState();
  panel_ = new BoardPanel(
      session_.board(),
      [this](const PanelInput& input) {
        // A replay gives the session's inputs and no others.
        if (replaying_) {
          workbench().Status("Panneau sans effet pendant le rejeu d'une session");
          return;
        }
        controller_.Press(input);
      },
      this);
  session_.board().OnPanelChange = [this](PanelPart part) { panel_->Changed(part, run_.Running()); };
  gdb_ = std::make_unique<GdbLink>(controller_);
  qApp->installEventFilter(this);
  link_.OnEvent = [this](std::string_view e) {
    AppendInfoLine(e);
    std::cerr << e << std::endl;
  };
  linkTimer_ = new QTimer(this);
  linkTimer_->setInterval(5);
  connect(linkTimer_, &QTimer::timeout, this, [this] {
    if (!run_.Running()) link_.Idle();
  });
  WindowFrame& frame = *this;
  WorkbenchHost& host = *this;
  FocusHost& panes = *this;
  workbench_ = std::make_unique<Workbench>(frame, host, panes);
  ReloadHost reloadHost{[this] { return run_.Running(); }, [this] { ReloadProgram(); },
                        [this](const std::string& program) { OpenListingFile(program); },
                        [this] { return session_.SettingsPath(); },
                        [this](bool hold) {
                          if (QAction* toggle = Action("BasculerPointArret"))
                            toggle->setShortcut(hold ? QKeySequence() : QKeySequence(Qt::Key_F5));
                        }};
  auto* centre = qobject_cast<QBoxLayout*>(scrollBox1_->parentWidget()->layout());
  reload_ = new ReloadControl(std::move(reloadHost), messages_, *this, *centre, *fichier_, *menus_.options);
}

MainWindow::~MainWindow() {
  // A GDB client still attached takes its breakpoints away and the window
  // hears of it: the views must still be there.
  gdb_.reset();
  workbench_.reset();
  qApp->removeEventFilter(this);
  session_.board().OnPanelChange = nullptr;
}

void MainWindow::BuildTopBar() {
  auto* bar = new QWidget;
  bar->setObjectName("SpeedBar");
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(4, 0, 4, 0);

  // The stop message, the stop reason and the registers share the first
  // line; the processor line has the second to itself, at least as wide as
  // a whole trace line, so its time is never cut.
  auto* lines = new QGridLayout;
  lines->setHorizontalSpacing(10);
  lines->setVerticalSpacing(0);
  ligneX1_ = NamedLabel("LigneX1", bar);
  ligneX1_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  ligneX1_->setMinimumWidth(160);
  lines->addWidget(ligneX1_, 0, 0);
  casBreak_ = NamedLabel("Cas_Break", bar);
  casBreak_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  casBreak_->setMinimumWidth(80);
  casBreak_->setStyleSheet("color: #800000");
  lines->addWidget(casBreak_, 0, 1);
  auto* registers = new QHBoxLayout;
  registers->setSpacing(10);
  for (const char* name : {"LabelPC", "LabelA", "LabelB", "LabelX", "LabelY"}) {
    QLabel* label = NamedLabel(name, bar);
    label->setFont(CodeFont());
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
    registerLabels_[name] = label;
    // Sized for the widest value, so a new value never shifts its neighbours.
    label->setMinimumWidth(QFontMetrics(label->font()).horizontalAdvance("PC=FFFF"));
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    registers->addWidget(label);
  }
  lines->addLayout(registers, 0, 2);
  ligneX2_ = NamedLabel("LigneX2", bar);
  ligneX2_->setFont(CodeFont());
  ligneX2_->setCursor(Qt::PointingHandCursor);
  ligneX2_->installEventFilter(this);
  ligneX2_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  ligneX2_->setMinimumWidth(QFontMetrics(ligneX2_->font()).horizontalAdvance(kWidestTraceLine));
  lines->addWidget(ligneX2_, 1, 0, 1, 3);
  lines->setColumnStretch(0, 3);
  lines->setColumnStretch(1, 2);
  row->addLayout(lines, 1);

  cbDebugOnce_ = new QCheckBox("debug 1 pas", bar);
  cbDebugOnce_->setObjectName("CbDebugOnce");
  cbDebugOnce_->setToolTip(
      QString::fromUtf8("Agit une seule fois : le décodeur la décoche à l'instruction suivante"));
  connect(cbDebugOnce_, &QCheckBox::toggled, this, [this](bool on) { run_.DebugOnce = on; });
  row->addWidget(cbDebugOnce_);

  auto* group = new QWidget(bar);
  group->setObjectName("GroupBox1");
  // Two rows of three keep the bar narrow enough for any screen.
  auto* radios = new QGridLayout(group);
  radios->setContentsMargins(0, 0, 0, 0);
  radios->setVerticalSpacing(0);
  auto* buttons = new QButtonGroup(group);
  for (std::size_t i = 0; i < kPaneButtons.size(); ++i) {
    auto* rb = new QRadioButton(kPaneButtons[i].caption, group);
    rb->setObjectName(kPaneButtons[i].name);
    buttons->addButton(rb);
    const RightPane pane = kPaneButtons[i].pane;
    connect(rb, &QRadioButton::clicked, this, [this, pane] { SelectPane(pane); });
    radios->addWidget(rb, static_cast<int>(i / 3), static_cast<int>(i % 3));
    paneButtons_[i] = rb;
  }
  row->addWidget(group);

  listUrl_ = new QComboBox(bar);
  listUrl_->setObjectName("ListUrl");
  listUrl_->setMinimumWidth(100);
  listUrl_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  listUrl_->setMinimumContentsLength(10);
  connect(listUrl_, &QComboBox::activated, this,
          [this](int index) { HistoryMoved(pane_.SelectHistory(index)); });
  row->addWidget(listUrl_);
  // 41 pixels, or more when large fonts need it: rows squeezed into less
  // would overlap.
  bar->setFixedHeight(std::max(kTopBarHeight, bar->sizeHint().height()));
  topBar_ = bar;
}

void MainWindow::BuildCentre() {
  // ScrollBox1 with PaintBox1, LbInfo floating over it.
  auto* panel1 = new QWidget;
  panel1->setObjectName("Panel1");
  auto* centre = new QVBoxLayout(panel1);
  centre->setContentsMargins(0, 0, 0, 0);
  scrollBox1_ = new QScrollArea;
  scrollBox1_->setObjectName("ScrollBox1");
  scrollBox1_->setBackgroundRole(QPalette::Base);
  paintBox1_ = new FlowView(pane_, flowFont_.Font(), *scrollBox1_);
  paintBox1_->setObjectName("PaintBox1");
  paintBox1_->OnPress = [this](int x, int y) {
    Machine& m = session_.machine();
    if (pane_.SelectAt(x, y, m.cpu.PC, m.RunTarget)) paintBox1_->Repaint();
  };
  paintBox1_->OnHover = [this](int x, int y) { HoverAt(x, y); };
  paintBox1_->OnLeave = [this] { label1_->hide(); };
  paintBox1_->OnContextMenu = [this](int x, int y, QPoint global) {
    // The popup acts on the line under the pointer: a right click selects it
    // as a left click would, so "Continuer jusqu'a" has its target.
    Machine& m = session_.machine();
    if (pane_.SelectAt(x, y, m.cpu.PC, m.RunTarget) && paintBox1_->OnPress) paintBox1_->OnPress(x, y);
    HoverAt(x, y);
    FlowPopupMenu()->popup(global);
  };
  scrollBox1_->setWidget(paintBox1_);
  centre->addWidget(scrollBox1_);
  lbInfo_ = NamedLabel("LbInfo", scrollBox1_->viewport());
  lbInfo_->setStyleSheet("background: #ffffe0");
  lbInfo_->installEventFilter(this);
  lbInfo_->hide();
  label1_ = NamedLabel("Label1", scrollBox1_->viewport());
  label1_->setStyleSheet("background: #ffffe0; border: 1px solid gray");
  label1_->setAttribute(Qt::WA_TransparentForMouseEvents);
  label1_->hide();
  // "Afficher source": the listing lines as they are, in the code font.
  sourceExcerpt_ = NamedLabel("LbSource", scrollBox1_->viewport());
  sourceExcerpt_->setFont(CodeFont());
  sourceExcerpt_->setTextFormat(Qt::PlainText);
  sourceExcerpt_->setStyleSheet("background: #ffffe0; border: 1px solid gray; padding: 2px");
  sourceExcerpt_->installEventFilter(this);
  sourceExcerpt_->hide();

  valueListEditor1_ = new ReglagesEditor;
  valueListEditor1_->hide();
  valueListEditor1_->OnEdited = [this](const std::string& key, const std::string& value) {
    std::string error = ReglageValueError(key, value);
    if (!error.empty()) return error;
    session_.settings().SetReglage(key, value);
    session_.ApplyReverseBudget();
    session_.ApplyStackWarning();
    if (key == gdb::kPortSetting) gdb_->Apply(messages_);  // the server moves to the new port
    return error;
  };
  valueListEditor1_->OnRefused = [this](const std::string& error) {
    messages_.Show(MsgKind::Error, "Erreur", error);
  };
  centre->addWidget(valueListEditor1_);

  // The dump window lives in the MDI area under the flowchart.
  mdiArea_ = new QMdiArea;
  mdiArea_->setObjectName("MdiArea");
  dump_ = new DumpWindow(
      [this](int choice, const std::string& address, std::vector<std::string>& lines, std::string& error) {
        const HexEntry start = ParseHexEntry(address, 0xFFFF);
        if (!start.value) {
          error = start.error;
          return false;
        }
        const Board& board = session_.board();
        lines = DumpLines(static_cast<std::uint16_t>(*start.value), choice, session_.machine().Memory,
                          board.EepromImage.data(), board.EepromImage.size());
        return true;
      });
  dump_->OnError = [this](const std::string& error) { messages_.Show(MsgKind::Error, "Erreur", error); };
  dump_->findBar().Memory = [this]() -> std::span<const std::uint8_t> {
    if (dump_->Choice() == 0) return session_.machine().Memory;
    if (dump_->Choice() == 1) return session_.board().EepromImage;
    return {};  // "Horloge" holds nothing to search
  };
  QMdiSubWindow* dumpFrame =
      mdiArea_->addSubWindow(dump_, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                        Qt::WindowMinimizeButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  // One dump window for the whole session: its close box only hides it, and
  // "Dump" shows it again.
  dumpFrame->setAttribute(Qt::WA_DeleteOnClose, false);
  dumpFrame->show();
  auto* centreSplit = new QSplitter(Qt::Vertical);
  centreSplit->addWidget(panel1);
  centreSplit->addWidget(mdiArea_);
  centreSplit->setStretchFactor(0, 1);
  centreSplit->setStretchFactor(1, 0);
  centreSplit->setSizes({520, 210});

  BuildRightPane();
  auto* split = new QSplitter(Qt::Horizontal);
  split->addWidget(centreSplit);
  split->addWidget(panel3_);
  split->setHandleWidth(kSplitterWidth);
  split->setStyleSheet("QSplitter::handle:horizontal { background: purple; }");
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 0);
  split->setSizes({1000, kRightPaneWidth});

  auto* client = new QWidget;
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(topBar_);
  layout->addWidget(split, 1);
  setCentralWidget(client);
}

void MainWindow::BuildRightPane() {
  panel3_ = new QStackedWidget;
  panel3_->setObjectName("Panel3");
  panel3_->setMinimumWidth(120);
  memoTrace_ = new CodeList;
  memoTrace_->setObjectName("MemoTrace");
  memoTrace_->setToolTip("Trace");
  memoTrace_->OnGoto = [this](std::uint16_t a) { ShowSourceAt(a); };
  memoTrace_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* effacer = new QAction("Effacer liste", memoTrace_);
  effacer->setObjectName("Effacertout1");
  connect(effacer, &QAction::triggered, this, [this] {
    session_.trace().Clear();
    traceAdded_ = 0;
    memoTrace_->clear();
  });
  auto* sauver = new QAction("Sauver Trace.txt", memoTrace_);
  sauver->setObjectName("SauverTracetxt1");
  connect(sauver, &QAction::triggered, this, [this] { SaveTraceFile(); });
  memoTrace_->addActions({effacer, sauver});
  actions_["Effacertout1"] = effacer;
  actions_["SauverTracetxt1"] = sauver;

  listBoxSurv_ = new EntryList;
  listBoxSurv_->setObjectName("ListBoxSurv");
  listBoxSurv_->setToolTip("variables");
  memoStack_ = new CodeList;
  memoStack_->setObjectName("MemoStack");
  memoStack_->OnGoto = [this](std::uint16_t a) { ShowSourceAt(a); };
  connect(memoStack_, &QListWidget::itemDoubleClicked, this, [this] { run_.ReturnUp(); });
  // The stack pane: the lowest SP since Init above the list.
  auto* stackPane = new QWidget;
  auto* stackLayout = new QVBoxLayout(stackPane);
  stackLayout->setContentsMargins(0, 0, 0, 0);
  stackLayout->setSpacing(0);
  stackHeader_ = NamedLabel("LbPileMin", stackPane);
  stackHeader_->setFont(CodeFont());
  stackLayout->addWidget(stackHeader_);
  stackLayout->addWidget(memoStack_, 1);
  listBreak1_ = new EntryList;
  listBreak1_->setObjectName("ListBreak1");
  listBreak1_->setToolTip("Breaks Code ou Ram");
  BuildListPopups();
  listView1_ = new QTreeWidget;
  listView1_->setObjectName("ListView1");
  listView1_->setHeaderLabels({"instruction", "Fonction", "Adr"});
  listView1_->setColumnWidth(0, 200);
  listView1_->setColumnWidth(1, 100);
  listView1_->setColumnWidth(2, 40);
  listView1_->setRootIsDecorated(false);
  symbolLists_ = new SymbolLists;
  for (QWidget* w : std::initializer_list<QWidget*>{memoTrace_, listBoxSurv_, stackPane, listBreak1_,
                                                    listView1_, symbolLists_})
    panel3_->addWidget(w);
  BuildWorkCommands();
  SelectPane(RightPane::Trace);
}

void MainWindow::SelectPane(RightPane pane) {
  run_.Pane = pane;
  const int index = static_cast<int>(pane);
  paneButtons_[static_cast<std::size_t>(index)]->setChecked(true);
  panel3_->setCurrentIndex(index);
  if (pane == RightPane::Stack) {
    session_.machine().StackChanged = true;
    RefreshStackView();
  }
  if (pane == RightPane::Trace) RefreshTracePane();
  if (pane == RightPane::Var) RefreshSymbolBytes();
}

// --- DebuggerView -----------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!run_.RequestClose()) {
    event->ignore();  // the run stops at its next check; a second close succeeds
    return;
  }
  if (!EndSessionBefore("Fermer la fenêtre")) {
    event->ignore();  // the session is kept for another name
    return;
  }
  Save();
  link_.Close();
  panel_->close();
  event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // The panes are built before the panel: the filter sees their first events.
  if (panel_ != nullptr) {
    if (sourceExcerpt_->isVisible() && SourceExcerptDismissed(watched, event)) HideSourceExcerpt();
    KeepDialogsAbovePanel(watched, event);
  }
  if (event->type() == QEvent::MouseButtonPress) {
    if (watched == lbInfo_) {  // read: a click puts the information away
      lbInfo_->clear();
      lbInfo_->hide();
      return true;
    }
    if (watched == ligneX2_) {
      ResetStopwatch(session_.machine());
      ligneX2_->setText(ToQString(FormatTraceLine(session_.machine())));
      return true;
    }
    for (auto& [name, label] : registerLabels_) {
      if (watched == label) {
        EditRegister(name);
        return true;
      }
    }
  }
  if (event->type() == QEvent::Wheel) {
    // The wheel anywhere on the top bar or the flowchart scrolls the
    // flowchart by a hundredth of its height per notch; lists scroll themselves.
    auto* w = qobject_cast<QWidget*>(watched);
    if (w != nullptr && w->window() == this && !qobject_cast<QAbstractItemView*>(w->parentWidget()) &&
        (w == scrollBox1_->viewport() || topBar_->isAncestorOf(w))) {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      const int notches = wheel->angleDelta().y() / 120;
      const int step = std::max(1, paintBox1_->height() / 100);
      QScrollBar* bar = scrollBox1_->verticalScrollBar();
      bar->setValue(bar->value() - notches * step);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace hc11::gui
