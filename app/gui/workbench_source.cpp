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
#include "app/gui/source_pane.h"
#include "app/gui/workbench.h"
#include "board/panel_tables.h"
#include "core/text_util.h"
#include "debugger/flow_pane.h"
#include "debugger/options.h"
#include "debugger/session.h"
#include "workbench/sheet_gestures.h"
#include "workbench/status_messages.h"
#include "workbench/status_text.h"

namespace hc11::gui {

void Workbench::ConnectStatuses() {
  auto after = [this](const char* name, std::function<void()> say) {
    QAction* a = frame_.Action(name);
    if (a == nullptr) return;
    connect(a, &QAction::triggered, this, [this, say] {
      // A command that reported an error keeps its error on the line.
      if (w_.statusMessages().Errors() != errorsSeen_) {
        errorsSeen_ = w_.statusMessages().Errors();
        return;
      }
      say();
    });
  };
  after("Quitter1", [this] {
    Status(FileWrittenStatus(w_.session().SettingsPath() + ", " + w_.session().WorkspaceFile()));
  });
  after("SauverTracetxt1",
        [this] { Status(FileWrittenStatus(QDir::current().filePath("Trace.txt").toStdString())); });
  after("CtrlF2", [this] { Status(InitStatus(w_.session().machine().cpu.PC)); });
  for (const char* name : {"relancer1", "OuvrirFichierLst"})
    after(name, [this] {
      Status(ProgramLoadedStatus(w_.ListingBase(), !w_.session().listing().LineList.empty()));
    });
  for (const char* name : {"Precedent", "Suivant"})
    after(name, [this] { Status(FunctionShownStatus(w_.flowPane().CurrentFunction())); });
  after("Jusquaucurseur", [this] {
    if (!CursorTarget()) Status(kNoLineSelected);
  });
  after("Arret1", [this] {
    if (!w_.Running()) return;
    Status(kStopRequested);
  });
  for (const OptionItem& item : kOptionItems) {
    QAction* a = frame_.Action(item.component);
    if (a == nullptr) continue;
    const std::string caption = item.caption;
    after(item.component, [this, a, caption] { Status(OptionStatus(caption, a->isChecked())); });
  }
  // The board panel's serial commands.
  for (const BoardCommandButton& b : kCommandButtons) {
    auto* button = w_.boardPanel().findChild<QPushButton*>(b.button);
    if (button == nullptr) continue;
    const std::string caption = b.caption;
    connect(button, &QPushButton::clicked, this, [this, caption] { Status(SerialCommandStatus(caption)); });
  }
}

std::optional<std::uint16_t> Workbench::CursorTarget() const {
  return sourceTarget_ ? sourceTarget_ : w_.flowPane().SelectedAddress();
}

// --- Gestures -----------------------------------------------------------------

void Workbench::ChooseSourceLine(std::size_t line) {
  const auto address = map_.AddressOfLine(line);
  if (!address) return;
  Machine& m = w_.session().machine();
  sourceTarget_ = address;
  if (w_.flowPane().ShowAddress(*address, m.cpu.PC, m.RunTarget, &w_.FlowchartView())) w_.RefreshHistory();
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
  BreakpointList& breaks = w_.session().breakpoints();
  const auto set = ToggleBreakpoint(breaks, w_.session().machine(), address, w_.session().listing().LineList);
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
  const Listing& listing = w_.session().listing();
  for (const TLabEntry& label : listing.LabelList) {
    if (label.label != callee) continue;
    if (const auto address = StrToWord("$" + label.elem.second)) {
      sourceTarget_.reset();
      w_.GoTo(*address);
      Status(FunctionShownStatus(callee));
      return;
    }
  }
  Status("Appel de " + callee + ": fonction introuvable");
}

void Workbench::MoveSelection(int step) {
  Machine& m = w_.session().machine();
  const auto next = NeighbourLine(w_.flowPane().Sheet(), w_.flowPane().SelectedAddress(), step);
  if (!next) return;
  sourceTarget_.reset();
  if (*next == m.cpu.PC) {
    // The PC's line stays navy; it is still the line F4 runs to.
    w_.flowPane().Display().SelAddrText = Format("%4.4X", *next);
    m.RunTarget = *next;
    w_.FlowchartView().Repaint();
  } else {
    hc11::ShowAddress(w_.flowPane().Sheet(), w_.flowPane().Display(), *next, m.cpu.PC, m.RunTarget,
                      &w_.FlowchartView());
    w_.RepaintFlowchart(false);
  }
  SyncSourceSelection();
}

void Workbench::FollowSelectedCall() {
  const auto address = w_.flowPane().SelectedAddress();
  const auto text = address ? CallLineAt(w_.flowPane().Sheet(), *address) : std::nullopt;
  if (!text) return;
  // Exactly what "Lien" does for the call line under the pointer.
  w_.flowPane().Display().FollowName = FollowNameOf(*text);
  w_.FollowLink();
  Status(FunctionShownStatus(w_.flowPane().CurrentFunction()));
}

}  // namespace hc11::gui
