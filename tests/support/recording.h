// Test doubles for the host interfaces: they record what the code under test
// shows, so no test ever opens a dialog.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/machine.h"
#include "core/messages.h"
#include "core/stop_event.h"
#include "core/trace.h"
#include "core/ui_hooks.h"

namespace hc11::test {

struct ShownMessage {
  MsgKind kind;
  std::string caption;
  std::string text;
};

class RecordingMessages : public Messages {
 public:
  void Show(MsgKind kind, std::string_view caption, std::string_view text) override {
    shown.push_back({kind, std::string(caption), std::string(text)});
  }
  std::optional<std::string> ChooseFile(std::string_view title, std::string_view start,
                                        std::string_view filter) override {
    (void)start;
    fileDialogs.push_back(std::string(title) + "|" + std::string(filter));
    return chosenFile;
  }
  std::vector<ShownMessage> shown;
  std::optional<std::string> chosenFile;  // the open-file dialog's answer
  std::vector<std::string> fileDialogs;   // "title|filter" of each one opened
};

// A host with a controllable clock that records beeps and label texts.
class RecordingHooks : public UiHooks {
 public:
  std::uint32_t TickCount() override { return tick; }
  void Beep(int frequencyHz, int durationMs) override { beeps.push_back({frequencyHz, durationMs}); }
  // The labels a window would show after the run: the stop reason as the
  // controller makes it (the breakpoint line from BreakpointLine), the trace
  // line and the error message.
  void RunFinished(Machine& m) override {
    StopEvent e = m.Stop;
    if (e.cause == StopCause::RamBreakpoint) e.line = m.hooks().BreakpointLine(e.address);
    stopReason = StopText(e);
    traceLine = FormatTraceLine(m);
    stopMessage = m.StopMessage;
  }
  void AppendInfoLine(std::string_view text) override { infoLines.emplace_back(text); }
  void TraceLineAdded(const std::string& line) override { trace.push_back(line); }

  std::uint32_t tick = 0;
  std::vector<std::pair<int, int>> beeps;
  std::string stopReason, traceLine, stopMessage;
  std::vector<std::string> infoLines;
  std::vector<std::string> trace;  // every trace line the core reported
};

}  // namespace hc11::test
