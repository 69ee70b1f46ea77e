// The core's only way to reach its host (the window, the CLI or a test):
// platform services (clock, beep, event pump) and the user-interface callbacks.
// Every method has a harmless default so a host overrides only what it shows.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace hc11 {

class Machine;

class UiHooks {
 public:
  virtual ~UiHooks() = default;

  // Platform services used by the run loop and the devices.
  virtual std::uint32_t TickCount() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
  virtual void ProcessEvents() {}
  virtual void Beep(int frequencyHz, int durationMs) {
    (void)frequencyHz;
    (void)durationMs;
  }

  // A line was appended to the trace list (already bounded by the core).
  virtual void TraceLineAdded(const std::string& line) { (void)line; }
  // Bring the trace list into view (after the step history was listed).
  virtual void ShowTraceList() {}
  // Text appended to the information label (LbInfo).
  virtual void AppendInfoLine(std::string_view text) { (void)text; }
  // A string to send through the host serial port.
  virtual void SendSerial(std::string_view text) { (void)text; }

  // Periodic (during a run) and final (after it) view refreshes.
  virtual void RefreshDuringRun() {}
  // After the last step; `m.Stop` says how the run ended.
  virtual void RunFinished(Machine& m) { (void)m; }
  virtual void RunStarted() {}

  // Display line of the breakpoint list entry for a code address; empty when
  // no entry matches.
  virtual std::string BreakpointLine(std::uint16_t address) {
    (void)address;
    return {};
  }
};

}  // namespace hc11
