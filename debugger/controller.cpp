#include "debugger/controller.h"

#include <algorithm>
#include <utility>

#include "board/panel_tables.h"
#include "core/run_engine.h"

namespace hc11 {

StopEvent CompleteStop(StopEvent e, const BreakpointList& breaks) {
  std::optional<BreakpointList::StopEntry> entry;
  if (e.cause == StopCause::Breakpoint) entry = breaks.CodeEntryAt(e.address);
  if (e.cause == StopCause::RamBreakpoint) entry = breaks.RamBreakEntry();
  if (entry) {
    e.entry = entry->index;
    if (e.line.empty()) e.line = entry->line;
  }
  e.text = StopText(e);
  return e;
}

Controller::Controller(UiHooks& host, Messages& messages)
    : session_(std::make_unique<Session>(host, messages)) {}

StateListener::~StateListener() {
  if (subscribed_ != nullptr) subscribed_->Unsubscribe(*this);
}

Controller::~Controller() {
  const std::vector<StateListener*> listeners = std::move(listeners_);
  for (StateListener* l : listeners) {
    l->subscribed_ = nullptr;
    l->ControllerGone();
  }
}

StopEvent Controller::Run(RunKind kind, std::uint16_t target) {
  Machine& m = machine();
  if (!m.Idle) return StopEvent{};
  lastKind_ = kind;
  if (PoweredOff()) {
    StopEvent off;
    off.cause = StopCause::PoweredOff;
    return Finish(std::move(off));
  }
  session_->breakpoints().ForgetRamStop();
  Notify(ChangeRunState, nullptr, true);
  switch (kind) {
    case RunKind::Run:
      RunCommand(m, kModeRun, false);
      break;
    case RunKind::Step:
      RunCommand(m, kModeStep, false);
      break;
    case RunKind::StepOver:
      RunCommand(m, kModeStepOver, true);
      break;
    case RunKind::ReturnUp:
      ReturnUpCommand(m);
      break;
    case RunKind::RunTo:
      m.RunTarget = target;
      RunCommand(m, kModeRunTo, false);
      break;
  }
  if (powerCutPending_) CutPower();
  return Finish(m.Stop);
}

void Controller::Stop() {
  machine().RunMode = kModeStop;
}

StopEvent Controller::Finish(StopEvent e) {
  e.pc = machine().cpu.PC;
  last_ = CompleteStop(std::move(e), session_->breakpoints());
  Notify(kChangeAfterRun, &last_);
  return last_;
}

StopEvent Controller::AfterBack(const BackResult& r) {
  const Machine& m = session_->machine();
  StopEvent e;
  e.back = true;
  e.stepsBack = r.stepsBack;
  e.message = m.StopMessage;
  switch (r.stop) {
    case BackStop::None:
      e.cause = StopCause::NothingRecorded;
      break;
    case BackStop::Stepped:
      e.cause = StopCause::ReplayEnd;
      break;
    case BackStop::Interrupted:
      e.cause = StopCause::StopRequested;
      break;
    case BackStop::StartOfRecord:
      e.cause = StopCause::RecordStart;
      break;
    case BackStop::Breakpoint:
      if (r.ramAccess) {
        e.cause = StopCause::RamBreakpoint;
        e.address = r.ramAccess->address;
        e.access = r.ramAccess->kind;
      } else {
        e.cause = StopCause::Breakpoint;
        e.address = m.cpu.PC;
      }
      break;
  }
  return Finish(std::move(e));
}

StopEvent Controller::StepBack(std::uint64_t steps) {
  if (Running()) return StopEvent{};
  return AfterBack(session_->timeTravel().StepBack(steps));
}

StopEvent Controller::StepBackOver() {
  if (Running()) return StopEvent{};
  return AfterBack(session_->timeTravel().StepBackOver());
}

StopEvent Controller::RunBack() {
  if (Running()) return StopEvent{};
  return AfterBack(session_->timeTravel().RunBack());
}

bool Controller::GoTo(std::uint64_t step) {
  if (Running() || !session_->timeTravel().GoTo(step)) return false;
  Notify(kChangeAfterRun & ~ChangeRunState);
  return true;
}

void Controller::SetRegister(CpuRegister r, std::uint16_t value) {
  Machine& m = machine();
  const auto byte = static_cast<std::uint8_t>(value);
  switch (r) {
    case CpuRegister::A:
      m.cpu.A = byte;
      break;
    case CpuRegister::B:
      m.cpu.B = byte;
      break;
    case CpuRegister::D:
      m.SetD(value);
      break;
    case CpuRegister::X:
      m.cpu.X = value;
      break;
    case CpuRegister::Y:
      m.cpu.Y = value;
      break;
    case CpuRegister::SP:
      m.cpu.SP = value;
      break;
    case CpuRegister::PC:
      m.cpu.PC = value;
      break;
    case CpuRegister::CC:
      m.cpu.CC = byte;
      break;
  }
  Edited(ChangeRegisters);
}

void Controller::SetRegisters(const CpuState& cpu) {
  machine().cpu = cpu;
  Edited(ChangeRegisters);
}

void Controller::WriteMemory(std::uint16_t address, std::span<const std::uint8_t> bytes) {
  Machine& m = machine();
  for (std::size_t i = 0; i < bytes.size(); ++i)
    m.WriteDirect(static_cast<std::uint16_t>(address + i), bytes[i]);
  Edited(ChangeMemory);
}

void Controller::Edited(std::uint8_t what) {
  // An edit from a dialog opened during a run joins the record at its next batch.
  if (Running() && (what & (ChangeRegisters | ChangeMemory))) session_->timeTravel().NoteEdit();
  Notify(what);
}

void Controller::Press(const PanelInput& input) {
  Board& b = session_->board();
  const auto index = static_cast<std::size_t>(input.value);
  switch (input.action) {
    case PanelAction::PressKey:
      b.PressKey(index);
      break;
    case PanelAction::ReleaseKey:
      b.ReleaseKey(index);
      break;
    case PanelAction::PressOnOff:
      b.PressOnOff();
      break;
    case PanelAction::ReleaseOnOff:
      b.ReleaseOnOff();
      break;
    case PanelAction::Command:
      b.PressCommand(static_cast<BoardCommand>(input.value));
      break;
    case PanelAction::SignalLevel:
      b.SetNiveauSignal(input.value);
      break;
    case PanelAction::OcFrequency:
      b.SetOcFreq(input.value);
      break;
    case PanelAction::OcBusy:
      b.SetCbOC(input.value != 0);
      break;
    case PanelAction::ClearMemo:
      b.ClearMemo();
      break;
    case PanelAction::ClickDisplay:
      b.ClickEcran1();
      break;
  }
  Notify(ChangeBoard);
}

LoadReport Controller::Load(const std::string& listingBase) {
  const LoadReport r = session_->Load(listingBase);
  last_ = StopEvent{};
  Notify(kChangeAfterRun | ChangeProgram);
  return r;
}

bool Controller::Init(bool restore) {
  const bool ok = session_->Init(restore);
  last_ = StopEvent{};
  Notify(kChangeAfterRun | ChangeProgram);
  return ok;
}

void Controller::Subscribe(StateListener& l) {
  if (l.subscribed_ != nullptr && l.subscribed_ != this) l.subscribed_->Unsubscribe(l);
  if (std::find(listeners_.begin(), listeners_.end(), &l) == listeners_.end()) listeners_.push_back(&l);
  l.subscribed_ = this;
}

void Controller::Unsubscribe(StateListener& l) {
  std::erase(listeners_, &l);
  if (l.subscribed_ == this) l.subscribed_ = nullptr;
}

void Controller::Notify(std::uint8_t what, const StopEvent* stop, bool running) {
  const StateChange change{what, stop, running};
  // A listener may unsubscribe from its own callback.
  const std::vector<StateListener*> listeners = listeners_;
  for (StateListener* l : listeners)
    if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end()) l->StateChanged(change);
}

}  // namespace hc11
