// The window's run commands (F9, F7, F8, Ctrl+F8, F4, F2) mapped onto the run
// engine, the refresh that follows each run, and the close rule. RunControl
// is the core's host (UiHooks): it collects what the engine reports and hands
// it to the DebuggerView in the order the debugger refreshes its views, so the
// window, the benchmark and the tests share one behaviour.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/machine.h"
#include "core/ui_hooks.h"
#include "reverse/time_travel.h"

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

class RunControl final : public UiHooks {
 public:
  explicit RunControl(DebuggerView& view) : view_(view) {}

  // The machine the commands drive; set before the first command.
  void Attach(Machine& machine) { machine_ = &machine; }
  bool Running() const { return machine_ != nullptr && !machine_->Idle; }

  // Run commands; each returns false when it started no run (a run already in
  // progress, or F4 with no line under the cursor).
  bool Run();                                           // F9
  bool Step();                                          // F7
  bool StepOver();                                      // F8
  bool ReturnUp();                                      // Ctrl+F8, double click on the stack
  bool RunToCursor(std::optional<std::uint16_t> line);  // F4, "continuer jusqu'a"
  void Stop();                                          // F2

  // Reverse commands on the record (see TimeTravel), each followed by the
  // refresh of a run; false when none could start (a run in progress, no
  // record attached).
  void AttachTimeTravel(TimeTravel* tt) { timeTravel_ = tt; }
  bool StepBack();      // "Pas arrière"
  bool StepBackOver();  // "Pas arrière Spr"
  bool RunBack();       // "Exécuter en arrière"
  // What the last reverse command reached (stop None when none started).
  const BackResult& LastBack() const { return lastBack_; }

  // A close request: refused while a run is in progress, which it stops.
  bool RequestClose();

  RightPane Pane = RightPane::Trace;
  // The display line of the breakpoint list entry for an address.
  std::function<std::string(std::uint16_t)> BreakpointLineOf;

  // --- UiHooks ----------------------------------------------------------
  std::uint32_t TickCount() override { return view_.TickCount(); }
  void ProcessEvents() override { view_.ProcessEvents(); }
  void Beep(int frequencyHz, int durationMs) override { view_.Beep(frequencyHz, durationMs); }
  void TraceLineAdded(const std::string& line) override { view_.TraceLineAdded(line); }
  void ShowTraceList() override;
  void AppendInfoLine(std::string_view text) override { view_.AppendInfoLine(text); }
  void SendSerial(std::string_view text) override { view_.SendSerial(text); }
  void ShowStopReason(std::string_view text) override { view_.ShowCasBreak(text); }
  void ShowTraceLine(std::string_view text) override { traceLine_ = text; }
  void ShowStopMessage(std::string_view text) override { stopMessage_ = text; }
  void RefreshDuringRun() override;
  void RunStarted() override { view_.RunStateChanged(true); }
  void RunFinished() override;
  std::string BreakpointLine(std::uint16_t address) override {
    return BreakpointLineOf ? BreakpointLineOf(address) : std::string();
  }

 private:
  bool Start(char16_t mode, bool stepOver);
  template <class Command>
  bool Reverse(Command command);

  DebuggerView& view_;
  Machine* machine_ = nullptr;
  TimeTravel* timeTravel_ = nullptr;
  std::string traceLine_, stopMessage_;
  BackResult lastBack_;
};

}  // namespace hc11
