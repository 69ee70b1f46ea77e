// The main menu of TForm1: every item with its component name, caption,
// shortcut and hint, wired to the model.
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <functional>

#include "app/gui/board_panel.h"
#include "app/gui/dump_window.h"
#include "app/gui/help_window.h"
#include "app/gui/main_window.h"
#include "app/gui/profile_exports.h"
#include "app/gui/profile_window.h"
#include "app/gui/reglages_editor.h"
#include "app/gui/screen_places.h"
#include "app/gui/trace_pane.h"
#include "app/gui/workbench.h"
#include "core/trace.h"
#include "debugger/coverage_view.h"
#include "debugger/options.h"

namespace hc11::gui {

QAction* MainWindow::AddAction(QMenu* menu, const char* name, const QString& caption,
                               const QKeySequence& key) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  if (!key.isEmpty()) action->setShortcut(key);
  if (menu != nullptr)
    menu->addAction(action);
  else
    menuBar()->addAction(action);
  actions_[name] = action;
  return action;
}

QAction* MainWindow::Action(const QString& name) const {
  const auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::BuildMenus() {
  QMenu* fichier = fichier_ = menuBar()->addMenu("&Fichier");
  connect(AddAction(fichier, "OuvrirFichierLst", "Ouvrir Fichier.Lst"), &QAction::triggered, this,
          [this] { OpenListing(); });
  connect(AddAction(fichier, "ouvrirfichierS", "Ouvrir fichier.S"), &QAction::triggered, this,
          [this] { OpenSFile(); });
  connect(AddAction(fichier, "SauverEtat", QString::fromUtf8("Sauver l'état…")), &QAction::triggered, this,
          [this] { SaveStateFile(); });
  connect(AddAction(fichier, "ChargerEtat", QString::fromUtf8("Charger l'état…")), &QAction::triggered, this,
          [this] { LoadStateFile(); });
  fichier->addSeparator();
  connect(AddAction(fichier, "EnregistrerSession", QString::fromUtf8("Enregistrer la session…")),
          &QAction::triggered, this, [this] { RecordSession(); });
  connect(AddAction(fichier, "ArreterEnregistrement", QString::fromUtf8("Arrêter l'enregistrement")),
          &QAction::triggered, this, [this] { StopRecording(); });
  connect(AddAction(fichier, "RejouerSession", QString::fromUtf8("Rejouer la session…")), &QAction::triggered,
          this, [this] { ReplaySession(); });
  fichier->addSeparator();
  // Settings and workspace written, then the window closes (as its close box does).
  connect(AddAction(fichier, "Quitter1", "Quitter"), &QAction::triggered, this, [this] {
    Save();
    close();
  });
  AddAction(fichier, "SauverRamBin1", "Sauver Ram.Bin");  // no action
  connect(AddAction(fichier, "Precedent", "Precedent", QKeySequence(Qt::SHIFT | Qt::Key_F2)),
          &QAction::triggered, this, [this] {
            Action("Precedent")->setEnabled(false);
            HistoryMoved(pane_.Precedent());
            Action("Precedent")->setEnabled(true);
          });
  connect(AddAction(fichier, "Suivant", "Suivant", QKeySequence(Qt::SHIFT | Qt::Key_F3)), &QAction::triggered,
          this, [this] { HistoryMoved(pane_.Suivant()); });

  BuildRunMenu();

  QMenu* voir = menus_.view = menuBar()->addMenu("Voir");
  connect(AddAction(voir, "Trace", "Trace instructions -> Zandr.txt"), &QAction::triggered, this, [this] {
    session_.trace().Clear();
    memoTrace_->clear();
    traceAdded_ = 0;
    ListHistory(session_.machine());
    RefreshTracePane();
  });
  connect(AddAction(voir, "Dump1", "Dump"), &QAction::triggered, this, [this] {
    for (QMdiSubWindow* w : mdiArea_->subWindowList()) {
      w->show();
      KeepInParent(*w, mdiArea_->viewport()->rect());
    }
    dump_->Build(false);
  });
  connect(AddAction(voir, "environ1", "environ"), &QAction::triggered, this,
          [this] { panel_->setVisible(!panel_->isVisible()); });
  connect(AddAction(voir, "ListeFonctions1", "Liste Fonctions"), &QAction::triggered, this,
          [this] { ShowFunctionList(); });

  QMenu* fenetre = menuBar()->addMenu("&Fenêtre");
  QAction* tile = AddAction(fenetre, "WindowTileItem", "&Mosaïque");
  tile->setStatusTip("Disposer toutes les fenêtres en mosaïque");
  connect(tile, &QAction::triggered, this, [this] { mdiArea_->tileSubWindows(); });
  QAction* cascade = AddAction(fenetre, "WindowCascadeItem", "&Cascade");
  cascade->setStatusTip("Disposer toutes les fenêtres en cascade");
  connect(cascade, &QAction::triggered, this, [this] { mdiArea_->cascadeSubWindows(); });
  QAction* arrange = AddAction(fenetre, "WindowArrangeItem", "&Réorganiser");
  arrange->setStatusTip("Réorganiser les fenêtres minimisées");
  connect(arrange, &QAction::triggered, this, [this] { mdiArea_->tileSubWindows(); });
  connect(AddAction(fenetre, "MosaiqueDefaut1", "Mosaique par Defaut"), &QAction::triggered, this,
          [this] { mdiArea_->tileSubWindows(); });

  BuildOptionsMenu();
  connect(AddAction(nullptr, "Profil1", "Profil"), &QAction::triggered, this, [this] { ShowProfile(); });

  connect(AddAction(nullptr, "Reglages1", "Reglages"), &QAction::triggered, this,
          [this] { valueListEditor1_->setVisible(!valueListEditor1_->isVisible()); });
  AddAction(nullptr, "Chercher1", "Chercher", QKeySequence(Qt::CTRL | Qt::Key_F));
  connect(AddAction(nullptr, "Aide1", "Aide"), &QAction::triggered, this, [this] { ShowHelp(); });
}

void MainWindow::BuildRunMenu() {
  QMenu* executer = menus_.run = menuBar()->addMenu("Executer");
  connect(AddAction(executer, "Executer1", "Exécuter", Qt::Key_F9), &QAction::triggered, this,
          [this] { run_.Run(); });
  connect(AddAction(executer, "Step7", "Pas a Pas détaillé", Qt::Key_F7), &QAction::triggered, this,
          [this] { run_.Step(); });
  connect(AddAction(executer, "Step8", "Pas à Pas Spr", Qt::Key_F8), &QAction::triggered, this,
          [this] { run_.StepOver(); });
  connect(AddAction(executer, "RemonterSP", "Remonter du SP", QKeySequence(Qt::CTRL | Qt::Key_F8)),
          &QAction::triggered, this, [this] { run_.ReturnUp(); });
  connect(AddAction(executer, "Jusquaucurseur", "Jusqu'au curseur", Qt::Key_F4), &QAction::triggered, this,
          [this] { run_.RunToCursor(workbench_->CursorTarget()); });
  connect(AddAction(executer, "CtrlF2", "Init", QKeySequence(Qt::CTRL | Qt::Key_F2)), &QAction::triggered,
          this, [this] {
            if (!EndSessionBefore("Init")) return;
            Save();
            Init(false);
          });
  connect(AddAction(executer, "relancer1", "relancer", Qt::Key_F10), &QAction::triggered, this,
          [this] { Relancer(); });
  connect(AddAction(executer, "Arret1", "Arret", Qt::Key_F2), &QAction::triggered, this,
          [this] { run_.Stop(); });
  connect(AddAction(executer, "ArretExpression", "Arrêt sur expression"), &QAction::triggered, this,
          [this] { StopWhenCommand(); });
  // Back in time; Shift with the key of the forward command.
  executer->addSeparator();
  connect(AddAction(executer, "PasArriere", "Pas arrière", QKeySequence(Qt::SHIFT | Qt::Key_F7)),
          &QAction::triggered, this, [this] {
            if (EndSessionBefore("Revenir en arrière")) run_.StepBack();
          });
  connect(AddAction(executer, "PasArriereSpr", "Pas arrière Spr", QKeySequence(Qt::SHIFT | Qt::Key_F8)),
          &QAction::triggered, this, [this] {
            if (EndSessionBefore("Revenir en arrière")) run_.StepBackOver();
          });
  connect(AddAction(executer, "ExecuterArriere", "Exécuter en arrière", QKeySequence(Qt::SHIFT | Qt::Key_F9)),
          &QAction::triggered, this, [this] {
            if (EndSessionBefore("Revenir en arrière")) run_.RunBack();
          });
}

void MainWindow::BuildOptionsMenu() {
  QMenu* options = menus_.options = menuBar()->addMenu("Options");
  for (const OptionItem& item : kOptionItems) {
    QAction* action = AddAction(options, item.component, QString::fromUtf8(item.caption));
    action->setCheckable(true);
    action->setVisible(item.visible);
    const QString name = item.component;
    connect(action, &QAction::triggered, this, [this, name](bool on) { OptionToggled(name, on); });
  }
}

// PopupMenuBreak and PopupMenuSurv: the list commands of the model.
void MainWindow::BuildListPopups() {
  auto add = [this](QListWidget* list, const char* name, const char* caption,
                    std::function<void(int)> command) {
    auto* action = new QAction(caption, list);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [list, command] { command(list->currentRow()); });
    list->addAction(action);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    actions_[QString(list->objectName()) + "." + name] = action;
  };
  auto breaksChanged = [this] {
    RefreshBreakList();
    RepaintFlowchart(false);  // the line marks follow the states
    workbench_->MarksChanged();
  };
  add(listBreak1_, "Nouveau1", "Nouveau", [this](int) { NewBreak(); });
  add(listBreak1_, "Supprimer1", "Supprimer", [this, breaksChanged](int row) {
    if (row < 0) return;
    session_.breakpoints().Remove(static_cast<std::size_t>(row));
    breaksChanged();
  });
  add(listBreak1_, "ClearAll1", "ClearAll", [this, breaksChanged](int) {
    session_.breakpoints().ClearAll();
    breaksChanged();
  });
  add(listBreak1_, "Aller1", "Aller", [this](int row) {
    if (row >= 0 && row < static_cast<int>(session_.breakpoints().entries().size()))
      ShowSourceAt(session_.breakpoints().entries()[static_cast<std::size_t>(row)].address);
  });
  add(listBoxSurv_, "nouveau1", "nouveau", [this](int) {
    session_.watches().New();
    listBoxSurv_->clear();
    RefreshWatches(true);
  });
  add(listBoxSurv_, "Supprimer2", "Supprimer", [this](int row) {
    if (row < 0) return;
    session_.watches().Remove(static_cast<std::size_t>(row));
    listBoxSurv_->clear();
    RefreshWatches(true);
  });
  add(listBoxSurv_, "ToutEffacer1", "Tout Effacer", [this](int) {
    session_.watches().Clear();
    listBoxSurv_->clear();
  });
}

// A click: the mark goes to the model, then into the flags its readers use.
void MainWindow::OptionToggled(const QString& name, bool on) {
  // A session counts one clock from start to end.
  if (name == "ProcesseurExact" && SessionRecording() && !EndSessionBefore("Processeur exact")) {
    const QSignalBlocker block(Action(name));
    Action(name)->setChecked(!on);
    return;
  }
  session_.options().Set(name.toStdString(), on);
  if (name == serial::kMarkLink || name == serial::kMarkRealtime) ApplySerialLink(false);
  ApplyOptions();
  const auto index = OptionMarks::IndexOf(name.toStdString());
  if (!index) return;
  const OptionFeeds feeds = kOptionItems[*index].feeds;
  if (name == gdb::kServerMark) gdb_->Apply(messages_);
  if (feeds == OptionFeeds::NoOverlapLayout && !pane_.CurrentFunction().empty()) {
    pane_.ShowFunction(pane_.CurrentFunction(), false);  // laid out again the other way
    RepaintFlowchart(false);
  } else if (feeds == OptionFeeds::Comments || feeds == OptionFeeds::LocalLabels) {
    RepaintFlowchart(true);
  } else if (feeds == OptionFeeds::Coverage) {
    RepaintFlowchart(false);
  }
}

// The menu's check marks and every flag fed by a mark, from the model.
void MainWindow::ApplyOptions() {
  const OptionMarks& marks = session_.options();
  for (std::size_t i = 0; i < kOptionItems.size(); ++i) {
    if (QAction* a = Action(kOptionItems[i].component)) {
      const QSignalBlocker block(a);
      a->setChecked(marks.Checked(i));
    }
  }
  marks.CopyToCore(session_.machine(), session_.board());
  ShowMode(session_.machine().Exact);
  panel_->SetOnTop(dialogsOpen_ == 0 && marks.Checked("PanneauDevant"));
  pane_.Display().SetShowComments(marks.Checked("AffCommentaires"));
  pane_.Sheet().ShowLocalLabels = marks.Checked("AffLabelLocal");
  pane_.Sheet().NoOverlapLayout = marks.Checked("DispoSansChevauchement");
  ApplyCoverage(pane_.Display(), session_, marks.Checked("Couverture"));
}

void MainWindow::RefreshCoverage() {
  if (pane_.Display().CoverageHook) RefreshCoverageScale(pane_.Display(), session_);
}

void MainWindow::ShowProfile() {
  const bool first = profile_ == nullptr;
  if (first) {
    profile_ = new ProfileWindow(this);
    AttachCoverageExports(*profile_, *this, messages_);
    profile_->Rows = [this] { return ProfileListRows(session_); };
    profile_->OnShowFunction = [this](const std::string& name) {
      if (pane_.ShowFunction(name)) {
        RepaintFlowchart(false);
        RefreshHistory();
      }
    };
    profile_->OnReset = [this] {
      ResetCounts(session_);
      RefreshCoverage();
      RepaintFlowchart(false);
    };
  }
  profile_->Refresh();
  if (first) profile_->PlaceOver(*this);
  profile_->show();
  if (first) profile_->PlaceOver(*this);  // again with the frame the window got when shown
  profile_->raise();
}

void MainWindow::ShowHelp() {
  if (help_ == nullptr) help_ = new HelpWindow(*this);
  help_->Refresh();
  help_->show();
  help_->raise();
}

}  // namespace hc11::gui
