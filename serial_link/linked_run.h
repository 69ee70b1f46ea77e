// What a host does at each yield of the run loop while a serial link is open
// or real time is asked for: the link's host side, the real-time sleep, and
// the bounds that end a run the way "Arret" does (wall-clock time, host
// silence, an interruption). The CLI and the window share it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/machine.h"
#include "serial_link/realtime_pacer.h"
#include "serial_link/serial_link.h"

namespace hc11::serial {

struct RunBounds {
  bool realtime = false;
  double countsPerSecond = kCountsPerSecond;
  std::int64_t wallLimitUs = 0;  // from Arm; 0: none
  std::int64_t untilIdleUs = 0;  // host silence after something was received; 0: none
};

class LinkedRun {
 public:
  // `link` may be null: real time without a link.
  LinkedRun(Machine& machine, SerialLink* link) : machine_(machine), link_(link) {}

  void SetBounds(const RunBounds& bounds);
  const RunBounds& bounds() const { return bounds_; }
  // The wall-clock bound starts now.
  void Arm();
  // A run command starts: real time takes its origin here.
  void RunStarted();
  // The run loop's yield. True when a bound was reached: the run has been
  // asked to stop (RunMode 'q') and EndReason says why.
  bool Yield();
  // Idle host work (the window between runs).
  void Idle();
  // Holds until a client is connected; false when a bound or `stop` ended
  // the wait first.
  bool WaitForClient(const std::function<bool()>& stop = {});

  // Polled at every yield; true asks the run to stop (Ctrl+C in the CLI).
  std::function<bool()> Interrupted;
  const std::string& EndReason() const { return endReason_; }

 private:
  bool BoundReached(std::int64_t nowUs);

  Machine& machine_;
  SerialLink* link_;
  RunBounds bounds_;
  RealtimePacer pacer_;
  std::int64_t armedUs_ = 0;
  std::string endReason_;
};

}  // namespace hc11::serial
