// Records a session of a controller's board: every input the board is given
// and every output it makes, timed by the machine's clock from the moment the
// recording starts. The window, the CLI and Python all record through it.
#pragma once

#include <span>
#include <string>

#include "board/board.h"
#include "debugger/controller.h"
#include "recording/session_file.h"

namespace hc11 {

class Recorder final : public BoardInputSink, public BoardOutputSink {
 public:
  explicit Recorder(Controller& controller) : controller_(controller) {}
  ~Recorder() override { Stop(); }
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Starts an empty session from now, which must be the program's start
  // (just loaded, or Init) for a replay to begin where the recording did:
  // a replay loads the program and gives the inputs from there. The panel's settings that outlive a
  // reset (signal level, compared frequency, channel busy) open it, so a
  // replay begins with the same ones.
  void Start();
  // Ends the session at the present time and returns it.
  SessionFile Stop();
  bool Recording() const { return recording_; }
  const SessionFile& Current() const { return session_; }

  void BoardInputGiven(BoardInput input, int value, std::span<const std::uint8_t> bytes) override;
  void BoardOutputMade(const BoardOutputEvent& event) override;

 private:
  // The one place the clock is read: CycleCount counts E cycles in the exact
  // mode and the designed clock otherwise; the header names which.
  std::int64_t Now() const { return controller_.machine().CycleCount - origin_; }
  void Add(SessionInputKind kind, int value = 0, std::span<const std::uint8_t> bytes = {});

  Controller& controller_;
  SessionFile session_;
  std::int64_t origin_ = 0;
  bool recording_ = false;
};

}  // namespace hc11
