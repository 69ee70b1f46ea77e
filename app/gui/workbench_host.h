// What the workbench needs of the main window beside its frame: the session
// and the flowchart pane it steers, the widgets it zooms, marks and watches,
// the stop texts of the top bar, and the window's own commands it chains to
// (the same ones the menus call).
#pragma once

#include <QScrollArea>
#include <QWidget>
#include <cstdint>
#include <string>

#include "core/stop_event.h"
#include "debugger/controller.h"

namespace hc11 {
class FlowPane;
class Session;
class StatusMessages;
}  // namespace hc11

namespace hc11::gui {

class BoardPanel;
class DumpWindow;
class FlowView;

class WorkbenchHost {
 public:
  virtual ~WorkbenchHost() = default;

  virtual Session& session() = 0;
  virtual FlowPane& flowPane() = 0;
  // A program runs: the run loop is inside the command that started it.
  virtual bool Running() const = 0;
  // The program's path without its extension.
  virtual const std::string& ListingBase() const = 0;
  // The status line's messages; the workbench says how they are shown.
  virtual StatusMessages& statusMessages() = 0;

  virtual QWidget& TopBar() = 0;
  virtual FlowView& FlowchartView() const = 0;
  virtual QScrollArea& FlowchartScroll() const = 0;
  virtual DumpWindow& dumpWindow() = 0;
  virtual BoardPanel& boardPanel() = 0;
  // A register edit, given to the controller.
  virtual void SetRegisters(const CpuState& cpu) = 0;
  // How the last command ended, and the last run command given.
  virtual const StopEvent& LastStop() const = 0;
  virtual RunKind LastKind() const = 0;

  // The value hint over the flowchart goes away (its place is stale).
  virtual void HideValueHint() = 0;
  virtual void RepaintFlowchart(bool relayout) = 0;
  // The history's buttons and caption after the flowchart showed another function.
  virtual void RefreshHistory() = 0;
  // The breakpoint list and the flowchart's tabs after a breakpoint changed.
  virtual void BreaksChanged() = 0;
  // The flowchart and the source at `address`, as "Aller" shows them.
  virtual void GoTo(std::uint16_t address) = 0;
  // Every view of the registers after one was edited.
  virtual void RegistersChanged() = 0;
  // "Lien" of the flowchart's popup: the function the pane's FollowName names.
  virtual void FollowLink() = 0;
};

}  // namespace hc11::gui
