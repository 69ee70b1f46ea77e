// What makes the window work like other debuggers, beside the original
// panes: the "Source" and "Registres" docks, zoom and the flowchart's keys,
// the breakpoint margin and tab, the status line after every command, the
// dump's changed bytes and the tooltips. The window calls the hooks below at
// the points of its life cycle, and is reached back only through the
// interfaces it hands over; the behaviour itself is the workbench model's
// (source map, gestures, zoom, status texts, register rows).
#pragma once

#include <QDockWidget>
#include <QObject>
#include <QPoint>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/gui/focus_host.h"
#include "app/gui/window_frame.h"
#include "app/gui/workbench_host.h"
#include "core/machine.h"
#include "workbench/memory_changes.h"
#include "workbench/source_map.h"

namespace hc11::gui {

class PaneFocus;
class RegistersPane;
class SourcePane;

class Workbench final : public QObject {
 public:
  // `panes` goes to the focus keys; all three outlive the workbench.
  Workbench(WindowFrame& frame, WorkbenchHost& window, FocusHost& panes);
  ~Workbench() override;

  // --- Hooks of the window's life cycle ----------------------------------
  void Start();                          // the settings file was read
  void Loaded();                         // a listing was read (or not)
  void Initialised();                    // Init: the machine starts over
  void Saved();                          // the settings file was written
  void Followed(std::uint16_t address);  // the flowchart showed an address (a stop, "Aller" ...)
  void RegistersShown();
  void RunState(bool running);
  void MarksChanged();  // breakpoints may have changed

  // False, with the reason on the status line, while a program runs: the
  // run loop is inside the command that started it, so no dialog may open.
  bool ModalAllowed();

  // F4's target: the source line chosen last, or the flowchart's selection.
  std::optional<std::uint16_t> CursorTarget() const;

  // --- Gestures (the widgets call these; so do the tests) ----------------
  void ChooseSourceLine(std::size_t line);
  void MarginClick(std::size_t line);
  void SourceDoubleClick(std::size_t line);
  // A code breakpoint toggled at `address` from the margin or a tab.
  void ToggleAt(std::uint16_t address);
  // Up (-1) or Down (1) on the flowchart, Enter, Backspace.
  void MoveSelection(int step);
  void FollowSelectedCall();
  // Sets the zoom, anchored at `anchor` (viewport pixels; the centre when
  // none).
  void ZoomTo(int percent, std::optional<QPoint> anchor = std::nullopt);
  void ZoomStep(int direction, std::optional<QPoint> anchor = std::nullopt);

  void Status(const std::string& text);

  SourcePane& sourcePane() { return *source_; }
  RegistersPane& registersPane() { return *registers_; }
  QDockWidget& sourceDock() { return *sourceDock_; }
  QDockWidget& registersDock() { return *registersDock_; }
  const SourceMap& sourceMap() const { return map_; }
  PaneFocus& paneFocus() { return *focus_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildDocks();
  void BuildActions();
  void ConnectStatuses();
  void SetToolTips();
  void SyncSourceSelection();
  void RefreshRegisters();
  void RegisterEdited(const std::string& name, const std::string& text);
  void HighlightDump();
  void Snapshot();
  // The variable symbol at an address, empty when none.
  std::string VariableAt(std::uint16_t address) const;
  bool IsFlowchartWidget(QObject* o) const;

  WindowFrame& frame_;
  WorkbenchHost& w_;
  SourceMap map_;
  SourcePane* source_ = nullptr;
  QDockWidget* sourceDock_ = nullptr;
  RegistersPane* registers_ = nullptr;
  QDockWidget* registersDock_ = nullptr;
  CpuState lastStop_, previousStop_;
  MemoryChanges ramChanges_, eepromChanges_;
  std::optional<std::uint16_t> sourceTarget_;  // set by a click in the source pane
  // What the user asked during the run: the engine ends a return-up with the
  // same stop mode as "Arret", so the mode alone cannot tell.
  bool closeRefused_ = false;
  int errorsSeen_ = 0;
  std::unique_ptr<PaneFocus> focus_;  // Tab between the panes, the focus frame, F5, Alt letters
};

}  // namespace hc11::gui
