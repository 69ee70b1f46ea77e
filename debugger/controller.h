// The one way any front end (the window, the CLI, the GDB stub, a test)
// drives a session: run commands, going back, stop, edits and panel inputs.
// Every command returns how it ended as a StopEvent, and after each one the
// controller tells its listeners what changed, so every view follows a
// command whichever front end gave it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/messages.h"
#include "core/stop_event.h"
#include "core/ui_hooks.h"
#include "debugger/panel_input.h"
#include "debugger/session.h"
#include "debugger/state_file.h"

namespace hc11 {

// What a command changed, as bits of StateChange::what.
enum ChangeBit : std::uint8_t {
  ChangeRegisters = 1,
  ChangeMemory = 2,
  ChangeBoard = 4,
  ChangeLists = 8,   // breakpoints, watches
  ChangeReach = 16,  // how far back the record reaches
  ChangeProgram = 32,
  ChangeRunState = 64,  // a run began or ended
};
inline constexpr std::uint8_t kChangeAfterRun =
    ChangeRegisters | ChangeMemory | ChangeBoard | ChangeLists | ChangeReach | ChangeRunState;

struct StateChange {
  std::uint8_t what = 0;
  // After a run command or a move in time: how it ended; null otherwise.
  const StopEvent* stop = nullptr;
  bool running = false;  // with ChangeRunState: a run began
};

class Controller;

// A listener and its controller may go in either order: whichever goes first
// ends the subscription.
class StateListener {
 public:
  StateListener() = default;
  StateListener(const StateListener&) = delete;
  StateListener& operator=(const StateListener&) = delete;
  virtual ~StateListener();
  virtual void StateChanged(const StateChange& change) = 0;
  // The controller is going away: forget it.
  virtual void ControllerGone() {}

 private:
  friend class Controller;
  Controller* subscribed_ = nullptr;
};

enum class RunKind : std::uint8_t {
  Run,       // "Exécuter" (F9)
  Step,      // "Pas a Pas détaillé" (F7)
  StepOver,  // "Pas à Pas Spr" (F8)
  ReturnUp,  // "Remonter du SP" (Ctrl+F8)
  RunTo,     // "continuer jusqu'a" (F4)
};

enum class CpuRegister : std::uint8_t { A, B, D, X, Y, SP, PC, CC };

class Controller {
 public:
  // `host` and `messages` must outlive the controller.
  Controller(UiHooks& host, Messages& messages);
  ~Controller();
  Controller(const Controller&) = delete;
  Controller& operator=(const Controller&) = delete;

  Session& session() { return *session_; }
  const Session& session() const { return *session_; }
  Machine& machine() { return session_->machine(); }
  bool Running() const { return !session_->machine().Idle; }

  // --- Run commands ---------------------------------------------------------
  // StopCause::None when a run is already in progress (a run started from a
  // run's event pump is refused).
  StopEvent Run(RunKind kind, std::uint16_t target = 0);
  // "Arret": the run in progress ends at its next stop test.
  void Stop();

  // --- Going back -------------------------------------------------------------
  // Reverse execution on the session's record (switched on by the front end);
  // StopCause::None while a run is in progress.
  StopEvent StepBack(std::uint64_t steps = 1);
  StopEvent StepBackOver();
  StopEvent RunBack();
  // Any recorded moment, as TimeTravel::GoTo.
  bool GoTo(std::uint64_t step);

  // --- Edits --------------------------------------------------------------
  void SetRegister(CpuRegister r, std::uint16_t value);
  void SetRegisters(const CpuState& cpu);
  // Bytes stored as the debugger stores them (no device reacts, no tag).
  void WriteMemory(std::uint16_t address, std::span<const std::uint8_t> bytes);
  // An edit made through the session's objects by a front end's dialog (a
  // breakpoint, a watch, a setting): the views are told.
  void Edited(std::uint8_t what);

  // --- The board's panel ------------------------------------------------------
  void Press(const PanelInput& input);

  // --- Program --------------------------------------------------------------
  LoadReport Load(const std::string& listingBase);
  bool Init(bool restore);

  // --- State files and power ------------------------------------------------
  // The whole simulated state into `path`, written whole.
  StateFileResult SaveState(const std::string& path);
  // All or nothing: a refused file leaves every byte of the state as it was.
  // A loaded state forgets the time-travel record, whose moments led to the
  // state left behind.
  StateFileResult LoadState(const std::string& path);
  // "Coupure secteur" now, between two instructions (during a run, at its
  // stop, which it asks for). Run commands then end at once as PoweredOff.
  void PowerCut();
  // Reset and boot, as the board does when power comes back.
  void PowerOn();
  bool PoweredOff() const { return session_->board().Unpowered; }

  // The last command's stop, and the last run command given.
  const StopEvent& LastStop() const { return last_; }
  RunKind LastKind() const { return lastKind_; }

  // --- Listeners ------------------------------------------------------------
  void Subscribe(StateListener& l);
  void Unsubscribe(StateListener& l);
  // Tells every listener; for changes made by a front end's own means.
  void Notify(std::uint8_t what, const StopEvent* stop = nullptr, bool running = false);

 private:
  StopEvent Finish(StopEvent e);
  StopEvent AfterBack(const BackResult& r);

  std::unique_ptr<Session> session_;
  std::vector<StateListener*> listeners_;
  void CutPower();

  StopEvent last_;
  RunKind lastKind_ = RunKind::Run;
  bool powerCutPending_ = false;  // asked for during a run
};

// The event made whole: the entry and line of a breakpoint stop from the
// session's list, and its text.
StopEvent CompleteStop(StopEvent e, const BreakpointList& breaks);

}  // namespace hc11
