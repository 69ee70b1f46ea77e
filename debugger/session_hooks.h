// The hooks the session gives its machine: everything goes on to the host's
// hooks, except the breakpoint display line, which the breakpoint list knows;
// trace lines are kept in the session's trace list on the way.
#pragma once

#include "core/ui_hooks.h"
#include "debugger/breakpoints.h"
#include "debugger/trace_log.h"

namespace hc11 {

class SessionHooks final : public UiHooks {
 public:
  SessionHooks(UiHooks& host, TraceLog& trace) : host_(host), trace_(trace) {}
  void SetBreakpoints(const BreakpointList* breaks) { breaks_ = breaks; }

  std::uint32_t TickCount() override { return host_.TickCount(); }
  void ProcessEvents() override { host_.ProcessEvents(); }
  void Beep(int frequencyHz, int durationMs) override { host_.Beep(frequencyHz, durationMs); }
  void TraceLineAdded(const std::string& line) override {
    trace_.Append(line);
    host_.TraceLineAdded(line);
  }
  void ShowTraceList() override { host_.ShowTraceList(); }
  void AppendInfoLine(std::string_view text) override { host_.AppendInfoLine(text); }
  void SendSerial(std::string_view text) override { host_.SendSerial(text); }
  void RefreshDuringRun() override { host_.RefreshDuringRun(); }
  void RunFinished(Machine& m) override { host_.RunFinished(m); }
  void RunStarted() override { host_.RunStarted(); }
  std::string BreakpointLine(std::uint16_t address) override {
    return breaks_ != nullptr ? breaks_->LineFor(address) : host_.BreakpointLine(address);
  }

 private:
  UiHooks& host_;
  TraceLog& trace_;
  const BreakpointList* breaks_ = nullptr;
};

}  // namespace hc11
