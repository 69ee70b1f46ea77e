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

bool RunControl::Start(char16_t mode, bool stepOver) {
  if (machine_ == nullptr || Running()) return false;
  RunCommand(*machine_, mode, stepOver);
  return true;
}

bool RunControl::Run() {
  return Start(u'x', false);
}

bool RunControl::Step() {
  if (machine_ == nullptr || Running()) return false;
  view_.ShowSourceAt(machine_->cpu.PC);
  return Start(u'v', false);
}

bool RunControl::StepOver() {
  if (machine_ == nullptr || Running()) return false;
  view_.ShowSourceAt(machine_->cpu.PC);
  return Start(u'w', true);
}

bool RunControl::ReturnUp() {
  if (machine_ == nullptr || Running()) return false;
  machine_->SavedSP = machine_->cpu.SP;
  return Start(u'u', false);
}

bool RunControl::RunToCursor(std::optional<std::uint16_t> line) {
  if (machine_ == nullptr || Running() || !line) return false;
  machine_->RunTarget = *line;
  return Start(u's', false);
}

template <class Command>
bool RunControl::Reverse(Command command) {
  lastBack_ = BackResult{};
  if (machine_ == nullptr || timeTravel_ == nullptr || Running()) return false;
  lastBack_ = command(*timeTravel_);
  view_.ShowCasBreak(BackStopText(lastBack_));
  traceLine_ = FormatTraceLine(*machine_);
  stopMessage_.clear();
  RunFinished();
  return lastBack_.stop != BackStop::None;
}

bool RunControl::StepBack() {
  return Reverse([](TimeTravel& tt) { return tt.StepBack(1); });
}

bool RunControl::StepBackOver() {
  return Reverse([](TimeTravel& tt) { return tt.StepBackOver(); });
}

bool RunControl::RunBack() {
  return Reverse([](TimeTravel& tt) { return tt.RunBack(); });
}

void RunControl::Stop() {
  if (machine_ != nullptr) machine_->RunMode = u'q';
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
  view_.ShowLigneX2(traceLine_);
  view_.RefreshWatches(false);
  if (Pane == RightPane::Trace) view_.RefreshTracePane();
  view_.RefreshPanel();
}

// The order after every run: source position at the PC, every watch, the
// trace line, the stop message, the registers, then the selected list.
void RunControl::RunFinished() {
  view_.ShowSourceAt(machine_->cpu.PC);
  view_.RefreshWatches(true);
  view_.ShowLigneX2(traceLine_);
  view_.ShowLigneX1(stopMessage_);
  view_.ShowRegisters();
  if (Pane == RightPane::Trace) view_.RefreshTracePane();
  if (Pane == RightPane::Stack) view_.RefreshStackView();
  view_.RefreshPanel();
  if (timeTravel_ != nullptr) view_.ShowReach(ReachText(*timeTravel_, machine_->CycleBase));
  view_.RunStateChanged(false);
}

}  // namespace hc11
