// TForm1: the debugger's main window. A thin view: it lays out the panes,
// turns menu items, shortcuts and clicks into calls on the debugger model
// (Session, RunControl, FlowPane) and shows what the model reports through
// DebuggerView. Its workbench reaches it only through WindowFrame,
// WorkbenchHost and FocusHost.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/gui/entry_list.h"
#include "app/gui/focus_host.h"
#include "app/gui/gdb_link.h"
#include "app/gui/tone.h"
#include "app/gui/window_frame.h"
#include "app/gui/workbench_host.h"
#include "debugger/find_lines.h"
#include "debugger/flow_pane.h"
#include "debugger/navigation.h"
#include "debugger/run_control.h"
#include "debugger/session.h"
#include "flowchart/paint/flow_font.h"
#include "recording/recorder.h"
#include "serial_link/link_control.h"
#include "workbench/status_messages.h"

namespace hc11::gui {

class BoardPanel;
class CodeList;
class DumpWindow;
class ProfileWindow;
class ReloadControl;
class SessionGuard;
struct SessionCut;
class FindBox;
class HelpWindow;
class FlowView;
class ReglagesEditor;
class SymbolLists;
class Workbench;

struct StartOptions {
  std::string settingsPath;  // the settings file; beside the executable when empty
  bool screenshot = false;   // the board panel is shown whatever the settings say
  std::string program;       // a program to open instead of the one in the settings
  std::string demoBase;      // the bundled demo, opened when nothing else is named
};

class MainWindow final : public QMainWindow,
                         public DebuggerView,
                         private WindowFrame,
                         private WorkbenchHost,
                         private FocusHost {
 public:
  // `messages` shows every message box and prompt; it outlives the window.
  MainWindow(Messages& messages, StartOptions options);
  ~MainWindow() override;

  // Start-up after the first show: settings, then Load.
  void Start();
  // Load: the listing and its flowchart, then Init with the workspace.
  void Load();
  // Init: processor reset and code image again; the views start over.
  void Init(bool restoreWorkspace);
  // Saves the settings and the workspace ("Quitter", Init, relancer, close).
  void Save();
  // "Ouvrir Fichier.Lst" once a file was chosen: the current program's
  // workspace and the settings are saved first, then the new one is loaded.
  void OpenListingFile(const std::string& path);
  // The program assembled again: saved, then loaded again with the function
  // shown, the source pane's place and the dump's address kept.
  void ReloadProgram();
  ReloadControl& reloadControl() { return *reload_; }
  // "Sauver l'état…", "Charger l'état…": the whole simulated state to and
  // from a file the user chooses; a refusal is said and changes nothing.
  void SaveStateFile();
  void LoadStateFile();
  // "Enregistrer la session…": a file name, then Init and a recording of
  // every input and output from the program's start. "Arrêter
  // l'enregistrement" writes it whole; a session whose write failed is kept
  // until it is written under another name or given up.
  void RecordSession();
  void StopRecording();
  bool SessionRecording() const { return recorder_.Recording(); }
  bool SessionUnwritten() const { return unwritten_.has_value(); }
  // "Rejouer la session…": the session's inputs given to the loaded program
  // from its start; on a difference the window stays there.
  void ReplaySession();

  // A menu item or shortcut by its component name ("Executer1", "Step7" ...).
  QAction* Action(const QString& name) const override;
  Session& session() override { return session_; }
  RunControl& runControl() { return run_; }
  FlowPane& flowPane() override { return pane_; }
  BreakpointList& breakpoints() { return session_.breakpoints(); }
  WatchList& watches() { return session_.watches(); }
  BoardPanel& boardPanel() override { return *panel_; }
  DumpWindow& dumpWindow() override { return *dump_; }
  serial::LinkControl& serialLink() { return link_; }
  Workbench& workbench() { return *workbench_; }
  ProfileWindow* profileWindow() { return profile_; }
  GdbLink& gdbLink() { return *gdb_; }
  const std::string& ListingBase() const override { return listingBase_; }

  // --- Breakpoint and watch lists, navigation, the flowchart popup ----------
  // The modal edit dialogs; tests replace them so that nothing blocks.
  std::function<bool(BreakDialog&)> RunBreakDialog;
  std::function<bool(WatchDialog&)> RunWatchDialog;
  // "Editer" (and double click) on a list row; nothing without a row.
  void EditBreak(int row);
  // "Nouveau" of the "Break" list: the dialog on a new entry, added on OK.
  void NewBreak();
  // What the breakpoint dialog's OK checks before it closes.
  BreakDialogCheck BreakDialogChecker();
  // "Arrêt sur expression": prompts for the expression (empty: none).
  void StopWhenCommand();
  void EditWatch(int row);
  // "Timer": the prompt only.
  void WatchTimer();
  // A new watch from a symbol list entry; the "Surv" pane is selected.
  void WatchSymbol(const Tsym& symbol);
  // "Liste Fonctions" (and at Load), the not-interpreted list.
  void ShowFunctionList();
  void ShowNotInterpreted();
  // A click on a ListView1 row.
  void ListRowChosen(int row);
  // The value hint of the flowchart line under (x, y) on the sheet.
  void HoverAt(int x, int y);
  const std::optional<HoverSymbol>& Hover() const { return hover_; }
  // PopupMenu2 with its captions and enabled states rewritten as it opens.
  QMenu* FlowPopupMenu();
  // Ctrl+F: the find box, its search and its steps (Enter, Shift+Enter).
  FindBox& findBox() { return *findBox_; }
  void FindText(const std::string& text, bool matchCase);
  void FindStep(bool backward);

  // Writes DIR/main.png (the window, see ScreenshotOfMain) and DIR/panel.png
  // (the board panel).
  bool SaveScreenshots(const QString& dir, QString& error);
  QImage ScreenshotOfMain();

  // --- DebuggerView -------------------------------------------------------
  std::uint32_t TickCount() override;
  void ProcessEvents() override;
  void Beep(int frequencyHz, int durationMs) override { tone_.Beep(frequencyHz, durationMs); }
  void ShowSourceAt(std::uint16_t address) override;
  void ShowLigneX1(std::string_view text) override;
  void ShowLigneX2(std::string_view text) override;
  void ShowCasBreak(std::string_view text) override;
  void ShowRegisters() override;
  void RefreshWatches(bool force) override;
  void RefreshTracePane() override;
  void RefreshStackView() override;
  void RefreshPanel() override;
  void RunStateChanged(bool running) override;
  void ShowReach(std::string_view text) override;
  // "Processeur exact" on the right of the status bar while the mode is on.
  void ShowMode(bool exact);
  void RefreshLists() override { BreaksChanged(); }
  void TraceLineAdded(const std::string& line) override;
  void ShowTraceList() override;
  void AppendInfoLine(std::string_view text) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // --- WindowFrame, WorkbenchHost, FocusHost -----------------------------
  QMainWindow& Window() override { return *this; }
  const WindowMenus& Menus() const override { return menus_; }
  void RegisterAction(const char* name, QAction* action) override { actions_[name] = action; }
  bool Running() const override;
  StatusMessages& statusMessages() override { return statusMessages_; }
  QWidget& TopBar() override { return *topBar_; }
  FlowView& FlowchartView() const override { return *paintBox1_; }
  QScrollArea& FlowchartScroll() const override { return *scrollBox1_; }
  void SetRegisters(const CpuState& cpu) override { controller_.SetRegisters(cpu); }
  const StopEvent& LastStop() const override;
  RunKind LastKind() const override;
  void HideValueHint() override;
  void GoTo(std::uint16_t address) override { ShowSourceAt(address); }
  void RegistersChanged() override { ShowRegisters(); }
  void FollowLink() override;
  QWidget* ChosenPaneButton() const override;
  QWidget* RightPaneShown() const override;
  QWidget* DumpPane() const override;

  void BuildTopBar();
  // First start: the board panel over the flowchart's far corner, clear of
  // every pane, placed again while the window manager is still sizing the
  // window, until the user moves the panel.
  void PlacePanelClear();
  void BuildCentre();
  void BuildRightPane();
  void BuildListPopups();
  void BuildMenus();
  void BuildRunMenu();
  void BuildOptionsMenu();
  // "Profil": the window of the profile list, made on first use.
  void ShowProfile();
  // "Aide": the page of the keys, made on first use.
  void ShowHelp();
  void RefreshCoverage();
  QAction* AddAction(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key = {});
  void SelectPane(RightPane pane);
  void RefreshCaption();
  void ShowInitialised();
  void RefreshBreakList();
  // The "Var" pane's lines with the memory bytes of now.
  void RefreshSymbolBytes();
  void RefreshReglages();
  void ApplyOptions();
  // ListView1's rows; `mode` 0 search results, 2 function list (sorted).
  void ShowListRows(const std::vector<ListRow>& rows, int mode = 0, bool sorted = false);
  void RefreshHistory() override;
  void RepaintFlowchart(bool relayout) override;
  // The caption while a function of the history is shown.
  void ShowHistoryCaption();
  // Leaves what the window shows of the flowchart as the model says after a
  // move in the history ("Precedent", "Suivant", "Lien").
  void HistoryMoved(bool moved);
  void ShowSourceExcerpt(const std::vector<std::string>& lines);
  void HideSourceExcerpt();
  // Escape, or a press anywhere but on the excerpt, puts it away.
  bool SourceExcerptDismissed(QObject* watched, QEvent* event) const;
  // While a dialog of the window is open the board panel gives up its place
  // on top, so that the dialog is never hidden under it.
  void KeepDialogsAbovePanel(QObject* watched, QEvent* event);
  void OptionToggled(const QString& name, bool on);
  // The serial link after its marks or the program changed.
  void ApplySerialLink(bool restart);
  void OpenListing();
  void OpenSFile();
  // False, with "Fichier introuvable" said, for a name typed in the file
  // dialog that names no file.
  bool ChosenFileExists(const std::string& path);
  void Relancer();
  // Before a command that starts the program over or leaves it (another
  // load, Init, a state, going back, closing): a session being recorded ends
  // there, and the user says whether it is written. False when it could not
  // be written: the command does not go on and the session is kept.
  bool EndSessionBefore(std::string_view command);
  bool WriteSession(const std::string& path);
  // A GDB client moved the clock back under the recording: it ends where it
  // stood before, and is written.
  void ClockWentBack(const SessionCut& cut);
  // The program's start as a fresh load makes it, board included: Init
  // after a power cut.
  void StartOver();
  // The recording mark on the status line and the stop entry's state.
  void ShowSessionState();
  void EditRegister(const QString& name);
  void SaveTraceFile();
  void BuildWorkCommands();
  void BreaksChanged() override;
  void WatchesChanged();
  void ShowFunction(const std::string& name);
  void PopupCommand(const QString& name);
  void Search(const std::string& word);

  StatusMessages statusMessages_;  // nothing modal while a program runs
  Messages& messages_;
  StartOptions options_;
  RunControl run_;
  Controller controller_;
  Session& session_;
  Recorder recorder_{controller_};
  std::string sessionPath_;               // the file the recording goes to
  std::optional<SessionFile> unwritten_;  // stopped, its write failed
  bool replaying_ = false;
  std::unique_ptr<SessionGuard> guard_;  // after run_'s subscription: its status comes last
  FlowFont flowFont_;
  QtTextMetrics metrics_;
  FlowPane pane_;
  Tone tone_;
  serial::LinkControl link_{session_};
  QTimer* linkTimer_ = nullptr;  // the link's host side between runs

  std::string listingBase_;
  std::string sFileName_;
  std::size_t traceAdded_ = 0;  // lines appended since the trace pane was last drawn

  // Top bar.
  QWidget* topBar_ = nullptr;
  QLabel* ligneX1_ = nullptr;
  QLabel* ligneX2_ = nullptr;
  QLabel* casBreak_ = nullptr;
  std::map<QString, QLabel*> registerLabels_;
  QCheckBox* cbDebugOnce_ = nullptr;
  std::array<QRadioButton*, 6> paneButtons_{};
  QComboBox* listUrl_ = nullptr;
  // Centre.
  QScrollArea* scrollBox1_ = nullptr;
  FlowView* paintBox1_ = nullptr;
  QLabel* lbInfo_ = nullptr;
  QLabel* label1_ = nullptr;         // the value hint
  QLabel* sourceExcerpt_ = nullptr;  // "Afficher source"
  std::optional<HoverSymbol> hover_;
  ReglagesEditor* valueListEditor1_ = nullptr;
  QMdiArea* mdiArea_ = nullptr;
  DumpWindow* dump_ = nullptr;
  ProfileWindow* profile_ = nullptr;
  HelpWindow* help_ = nullptr;
  // Right pane.
  QStackedWidget* panel3_ = nullptr;
  CodeList* memoTrace_ = nullptr;
  EntryList* listBoxSurv_ = nullptr;
  CodeList* memoStack_ = nullptr;
  QLabel* stackHeader_ = nullptr;  // the stack's low-water mark
  EntryList* listBreak1_ = nullptr;
  QTreeWidget* listView1_ = nullptr;
  SymbolLists* symbolLists_ = nullptr;
  QMenu* popupMenu2_ = nullptr;
  FindBox* findBox_ = nullptr;
  FindCursor find_;
  FlowPopup popup_;
  int listMode_ = 0;  // ListView1: 0 search results, 2 function list
  int hoverBox_ = 0;  // the box under the pointer, 0 when none

  BoardPanel* panel_ = nullptr;
  std::optional<QRect> panelAutoPlace_;  // the first-start place given last, while it holds
  int dialogsOpen_ = 0;                  // dialogs of the window shown at the moment
  std::map<QString, QAction*> actions_;
  WindowMenus menus_;
  std::unique_ptr<Workbench> workbench_;
  std::unique_ptr<GdbLink> gdb_;  // "Serveur GDB"
  ReloadControl* reload_ = nullptr;
  QMenu* fichier_ = nullptr;
};

}  // namespace hc11::gui
