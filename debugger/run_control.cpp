#include "debugger/run_control.h"

#include <cstdio>

#include "core/run_engine.h"
#include "core/trace.h"

namespace hc11 {

std::string RegisterLabelText(const CpuState& cpu, std::string_view name) {
  if (name.size() <= 5) return {};
  const std::string_view reg = name.substr(5);
  char text[16];
  if (reg == "PC")
    std::snprintf(text, sizeof text, "PC=%4.4X", cpu.PC);
  else if (reg == "A")
    std::snprintf(text, sizeof text, "A=%2.2X", cpu.A);
  else if (reg == "B")
    std::snprintf(text, sizeof text, "B=%2.2X", cpu.B);
  else if (reg == "X")
    std::snprintf(text, sizeof text, "X=%4.4X", cpu.X);
  else if (reg == "Y")
    std::snprintf(text, sizeof text, "Y=%4.4X", cpu.Y);
  else
    return {};
  return text;
}

void RunControl::Attach(Controller& controller) {
  if (controller_ != nullptr) controller_->Unsubscribe(*this);
  controller_ = &controller;
  controller_->Subscribe(*this);
}

bool RunControl::Run() {
  if (controller_ == nullptr || Running()) return false;
  return Started(controller_->Run(RunKind::Run));
}

bool RunControl::Step() {
  if (controller_ == nullptr || Running()) return false;
  view_.ShowSourceAt(controller_->machine().cpu.PC);
  return Started(controller_->Run(RunKind::Step));
}

bool RunControl::StepOver() {
  if (controller_ == nullptr || Running()) return false;
  view_.ShowSourceAt(controller_->machine().cpu.PC);
  return Started(controller_->Run(RunKind::StepOver));
}

bool RunControl::ReturnUp() {
  if (controller_ == nullptr || Running()) return false;
  return Started(controller_->Run(RunKind::ReturnUp));
}

bool RunControl::RunToCursor(std::optional<std::uint16_t> line) {
  if (controller_ == nullptr || Running() || !line) return false;
  return Started(controller_->Run(RunKind::RunTo, *line));
}

bool RunControl::StepBack() {
  return controller_ != nullptr && WentBack(controller_->StepBack(1));
}

bool RunControl::StepBackOver() {
  return controller_ != nullptr && WentBack(controller_->StepBackOver());
}

bool RunControl::RunBack() {
  return controller_ != nullptr && WentBack(controller_->RunBack());
}

const StopEvent& RunControl::LastStop() const {
  static const StopEvent kNone;
  return controller_ != nullptr ? controller_->LastStop() : kNone;
}

void RunControl::Stop() {
  if (controller_ != nullptr) controller_->Stop();
}

bool RunControl::RequestClose() {
  if (!Running()) return true;
  Stop();
  return false;
}

void RunControl::ShowTraceList() {
  Pane = RightPane::Trace;
  view_.ShowTraceList();
}

void RunControl::RefreshDuringRun() {
  view_.ShowLigneX2(FormatTraceLine(controller_->machine()));
  view_.RefreshWatches(false);
  if (Pane == RightPane::Trace) view_.RefreshTracePane();
  view_.RefreshPanel();
}

void RunControl::RunStarted() {
  view_.ShowCasBreak("");
  view_.RunStateChanged(true);
}

void RunControl::StateChanged(const StateChange& change) {
  if (change.stop != nullptr) return ShowStop(*change.stop);
  if (change.what & ChangeRunState) return;  // the run loop's own start says it
  const Machine& m = controller_->machine();
  if (change.what & ChangeProgram) {
    view_.ShowLigneX2(FormatTraceLine(m));
    view_.ShowLigneX1("");
    view_.ShowCasBreak("");
  }
  if (change.what & ChangeLists) view_.RefreshLists();
  if (change.what & (ChangeRegisters | ChangeMemory)) {
    view_.ShowRegisters();
    view_.RefreshWatches(true);
  }
  // A memory edit leaves the flowchart where the user is looking.
  if (change.what & ChangeRegisters) view_.ShowSourceAt(m.cpu.PC);
}

void RunControl::ShowStop(const StopEvent& e) {
  const Machine& m = controller_->machine();
  if (e.cause != StopCause::None && e.cause != StopCause::NothingRecorded) DebugOnce = false;
  view_.ShowCasBreak(e.text);
  view_.ShowSourceAt(m.cpu.PC);
  view_.RefreshWatches(true);
  view_.ShowLigneX2(FormatTraceLine(m));
  view_.ShowLigneX1(e.message);
  view_.ShowRegisters();
  if (Pane == RightPane::Trace) view_.RefreshTracePane();
  if (Pane == RightPane::Stack) view_.RefreshStackView();
  view_.RefreshPanel();
  view_.ShowReach(ReachText(controller_->session().timeTravel(), m.CycleBase));
  view_.RunStateChanged(false);
}

}  // namespace hc11
