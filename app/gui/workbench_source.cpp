// The status line's messages for what the user did, and the source pane's
// gestures: choosing a line, the breakpoint margin, the double click on a
// call, the keys that move the selection.
#include <QAction>
#include <QDir>
#include <QPushButton>
#include <optional>

#include "app/gui/board_panel.h"
#include "app/gui/dump_window.h"
#include "app/gui/flow_view.h"
#include "app/gui/main_window.h"
#include "app/gui/source_pane.h"
#include "app/gui/workbench.h"
#include "core/text_util.h"
#include "workbench/sheet_gestures.h"
#include "workbench/status_text.h"

namespace hc11::gui {

void Workbench::ConnectStatuses() {
  auto after = [this](const char* name, std::function<void()> say) {
    QAction* a = w_.Action(name);
    if (a == nullptr) return;
    connect(a, &QAction::triggered, this, [this, say] {
      // A command that reported an error keeps its error on the line.
      if (w_.statusMessages_.Errors() != errorsSeen_) {
        errorsSeen_ = w_.statusMessages_.Errors();
        return;
      }
      say();
    });
  };
  after("Quitter1", [this] {
    Status(FileWrittenStatus(w_.session_.SettingsPath() + ", " + w_.session_.WorkspaceFile()));
  });
  after("SauverTracetxt1",
        [this] { Status(FileWrittenStatus(QDir::current().filePath("Trace.txt").toStdString())); });
  after("CtrlF2", [this] { Status(InitStatus(w_.session_.machine().cpu.PC)); });
  for (const char* name : {"relancer1", "OuvrirFichierLst"})
    after(name,
          [this] { Status(ProgramLoadedStatus(w_.listingBase_, !w_.session_.listing().LineList.empty())); });
  for (const char* name : {"Precedent", "Suivant"})
    after(name, [this] { Status(FunctionShownStatus(w_.pane_.CurrentFunction())); });
  after("Jusquaucurseur", [this] {
    if (!CursorTarget()) Status(kNoLineSelected);
  });
  after("Arret1", [this] {
    if (!w_.run_.Running()) return;
    Status(kStopRequested);
  });
  for (const OptionItem& item : kOptionItems) {
    QAction* a = w_.Action(item.component);
    if (a == nullptr) continue;
    const std::string caption = item.caption;
    after(item.component, [this, a, caption] { Status(OptionStatus(caption, a->isChecked())); });
  }
  // The board panel's serial commands.
  for (const BoardCommandButton& b : kCommandButtons) {
    auto* button = w_.panel_->findChild<QPushButton*>(b.button);
    if (button == nullptr) continue;
    const std::string caption = b.caption;
    connect(button, &QPushButton::clicked, this, [this, caption] { Status(SerialCommandStatus(caption)); });
  }
}

std::optional<std::uint16_t> Workbench::CursorTarget() const {
  return sourceTarget_ ? sourceTarget_ : w_.pane_.SelectedAddress();
}

// --- Gestures -----------------------------------------------------------------

void Workbench::ChooseSourceLine(std::size_t line) {
  const auto address = map_.AddressOfLine(line);
  if (!address) return;
  Machine& m = w_.session_.machine();
  sourceTarget_ = address;
  if (w_.pane_.ShowAddress(*address, m.cpu.PC, m.RunTarget, w_.paintBox1_)) w_.RefreshHistory();
  w_.RepaintFlowchart(false);
  source_->SelectLine(line);
  Status(Format("Ligne %zu: %4.4X", line + 1, *address));
}

void Workbench::MarginClick(std::size_t line) {
  const auto address = map_.AddressOfLine(line);
  if (!address) {
    Status(kNoCodeOnLine);
    return;
  }
  ToggleAt(*address);
}

void Workbench::ToggleAt(std::uint16_t address) {
  BreakpointList& breaks = w_.session_.breakpoints();
  const auto set = ToggleBreakpoint(breaks, w_.session_.machine(), address, w_.session_.listing().LineList);
  if (!set) {
    Status(Format("Point d'arrêt inchangé: une entrée de la liste occupe %4.4x", address));
    return;
  }
  std::string name;
  if (const auto index = breaks.Find(address)) name = breaks.entries()[*index].name;
  w_.BreaksChanged();
  MarksChanged();
  Status(BreakpointStatus(*set, address, name));
}

void Workbench::SourceDoubleClick(std::size_t line) {
  if (line >= map_.Size()) return;
  const std::string callee = CalleeOfSourceLine(map_.Lines()[line]);
  if (callee.empty()) return;
  const Listing& listing = w_.session_.listing();
  for (const TLabEntry& label : listing.LabelList) {
    if (label.label != callee) continue;
    if (const auto address = StrToWord("$" + label.elem.second)) {
      sourceTarget_.reset();
      w_.ShowSourceAt(*address);
      Status(FunctionShownStatus(callee));
      return;
    }
  }
  Status("Appel de " + callee + ": fonction introuvable");
}

void Workbench::MoveSelection(int step) {
  Machine& m = w_.session_.machine();
  const auto next = NeighbourLine(w_.pane_.Sheet(), w_.pane_.SelectedAddress(), step);
  if (!next) return;
  sourceTarget_.reset();
  if (*next == m.cpu.PC) {
    // The PC's line stays navy; it is still the line F4 runs to.
    w_.pane_.Display().SelAddrText = Format("%4.4X", *next);
    m.RunTarget = *next;
    w_.paintBox1_->Repaint();
  } else {
    hc11::ShowAddress(w_.pane_.Sheet(), w_.pane_.Display(), *next, m.cpu.PC, m.RunTarget, w_.paintBox1_);
    w_.RepaintFlowchart(false);
  }
  SyncSourceSelection();
}

void Workbench::FollowSelectedCall() {
  const auto address = w_.pane_.SelectedAddress();
  const auto text = address ? CallLineAt(w_.pane_.Sheet(), *address) : std::nullopt;
  if (!text) return;
  // Exactly what "Lien" does for the call line under the pointer.
  w_.pane_.Display().FollowName = FollowNameOf(*text);
  w_.FlowPopupMenu();
  w_.PopupCommand("Lien1");
  Status(FunctionShownStatus(w_.pane_.CurrentFunction()));
}

}  // namespace hc11::gui
