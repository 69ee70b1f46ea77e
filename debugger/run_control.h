// The window's run commands (F9, F7, F8, Ctrl+F8, F4, F2, going back) given
// to the controller, the refresh that follows each command, and the close
// rule. RunControl is the core's host (UiHooks) for the platform services and
// the controller's listener: it hands what a command changed to the
// DebuggerView in the order the debugger refreshes its views, so the window,
// the benchmark and the tests share one behaviour.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/machine.h"
#include "core/stop_event.h"
#include "core/ui_hooks.h"
#include "debugger/controller.h"

namespace hc11 {

// The list shown in the right-hand pane, in the order of its radio buttons.
enum class RightPane { Trace, Surv, Stack, Break, Liste, Var };

// What a running or stopped simulation changes on screen. Every method has a
// harmless default so a test overrides only what it checks.
class DebuggerView {
 public:
  virtual ~DebuggerView() = default;

  // Platform services.
  virtual std::uint32_t TickCount() { return UiHooks().TickCount(); }
  virtual void ProcessEvents() {}
  virtual void Beep(int frequencyHz, int durationMs) {
    (void)frequencyHz;
    (void)durationMs;
  }

  // The flowchart follows an address (the PC after a run).
  virtual void ShowSourceAt(std::uint16_t address) { (void)address; }
  // All watches (forced) or only the changed ones.
  virtual void RefreshWatches(bool force) { (void)force; }
  virtual void ShowLigneX1(std::string_view text) { (void)text; }
  virtual void ShowLigneX2(std::string_view text) { (void)text; }
  virtual void ShowCasBreak(std::string_view text) { (void)text; }
  virtual void ShowRegisters() {}
  virtual void RefreshTracePane() {}
  virtual void RefreshStackView() {}
  // The board panel and anything else redrawn with the 100 ms refresh.
  virtual void RefreshPanel() {}
  virtual void RunStateChanged(bool running) { (void)running; }
  // How far back the record reaches ("retour possible jusqu'à cycle N").
  virtual void ShowReach(std::string_view text) { (void)text; }
  // The breakpoint or watch list changed outside a run (a GDB client's).
  virtual void RefreshLists() {}

  // Hooks the core reaches through UiHooks.
  virtual void TraceLineAdded(const std::string& line) { (void)line; }
  virtual void ShowTraceList() {}
  virtual void AppendInfoLine(std::string_view text) { (void)text; }
  virtual void SendSerial(std::string_view text) { (void)text; }
};

// "PC=E000", "A=12", ...: the text of a register label, named as the label's
// component name says from its sixth character ("LabelPC" -> "PC"). Empty for
// a name that is no register label.
std::string RegisterLabelText(const CpuState& cpu, std::string_view name);

class RunControl final : public UiHooks, public StateListener {
 public:
  explicit RunControl(DebuggerView& view) : view_(view) {}
  RunControl(const RunControl&) = delete;
  RunControl& operator=(const RunControl&) = delete;

  // The controller the commands go to; the views follow every command it
  // carries out, whoever gave it (the window, a GDB client).
  void Attach(Controller& controller);
  bool Running() const { return controller_ != nullptr && controller_->Running(); }

  // Run commands; each returns false when it started no run (a run already in
  // progress, or F4 with no line under the cursor).
  bool Run();                                           // F9
  bool Step();                                          // F7
  bool StepOver();                                      // F8
  bool ReturnUp();                                      // Ctrl+F8, double click on the stack
  bool RunToCursor(std::optional<std::uint16_t> line);  // F4, "continuer jusqu'a"
  void Stop();                                          // F2

  // Reverse commands on the record; false when none could start (a run in
  // progress).
  bool StepBack();      // "Pas arrière"
  bool StepBackOver();  // "Pas arrière Spr"
  bool RunBack();       // "Exécuter en arrière"

  // How the last command ended, and the last run command.
  const StopEvent& LastStop() const;
  RunKind LastKind() const { return controller_ != nullptr ? controller_->LastKind() : RunKind::Run; }

  // A close request: refused while a run is in progress, which it stops.
  bool RequestClose();

  RightPane Pane = RightPane::Trace;
  // The "debug 1 pas" box: a one-shot mark that the next instruction the
  // machine executes takes away (any command that ran or replayed a step).
  bool DebugOnce = false;

  // --- UiHooks ----------------------------------------------------------
  std::uint32_t TickCount() override { return view_.TickCount(); }
  void ProcessEvents() override { view_.ProcessEvents(); }
  void Beep(int frequencyHz, int durationMs) override { view_.Beep(frequencyHz, durationMs); }
  void TraceLineAdded(const std::string& line) override { view_.TraceLineAdded(line); }
  void ShowTraceList() override;
  void AppendInfoLine(std::string_view text) override { view_.AppendInfoLine(text); }
  void SendSerial(std::string_view text) override { view_.SendSerial(text); }
  void RefreshDuringRun() override;
  // The run loop has begun (after the board's own start: a serial link may
  // hold the run there until its client comes or F2).
  void RunStarted() override;

  // --- StateListener ----------------------------------------------------
  void StateChanged(const StateChange& change) override;
  void ControllerGone() override { controller_ = nullptr; }

 private:
  static bool Started(const StopEvent& e) { return e.cause != StopCause::None; }
  static bool WentBack(const StopEvent& e) {
    return e.cause != StopCause::None && e.cause != StopCause::NothingRecorded;
  }
  // The order after every run: source position at the PC, every watch, the
  // trace line, the stop message, the registers, then the selected list.
  void ShowStop(const StopEvent& e);

  DebuggerView& view_;
  Controller* controller_ = nullptr;
};

}  // namespace hc11
