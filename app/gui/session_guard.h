// Watches the machine's clock while the window records a session: a GDB
// client that resets the program, runs Init, loads a state or steps back
// moves it back under the recording, which must end where it was before that
// command (the window's own commands end it before they act).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "debugger/controller.h"
#include "recording/recorder.h"

namespace hc11::gui {

// The recording as it stood after the last command that kept the clock going.
struct SessionCut {
  std::size_t inputs = 0, outputs = 0;
  std::int64_t end = 0;
};

// The session up to `cut`: what the command that moved the clock back
// recorded counts from another clock and goes.
SessionFile CutSession(SessionFile s, const SessionCut& cut);

class SessionGuard final : public StateListener {
 public:
  // `wentBack` is called once, after the change that moved the clock back.
  SessionGuard(Controller& controller, const Recorder& recorder,
               std::function<void(const SessionCut&)> wentBack);
  ~SessionGuard() override;
  SessionGuard(const SessionGuard&) = delete;
  SessionGuard& operator=(const SessionGuard&) = delete;

  // From now, which is the recording's start.
  void Arm();
  void Disarm() { armed_ = false; }

  void StateChanged(const StateChange& change) override;
  void ControllerGone() override { controller_ = nullptr; }

 private:
  Controller* controller_;
  const Recorder& recorder_;
  std::function<void(const SessionCut&)> wentBack_;
  bool armed_ = false;
  std::int64_t cycles_ = 0;
  bool unpowered_ = false;
  SessionCut cut_;
};

}  // namespace hc11::gui
