// The debug adapter: the protocol's requests turned into the controller's
// commands, its stops into "stopped" events, the trace's event lines and the
// firmware's serial bytes into "output" events. One program, one thread.
// Every request goes through Handle; a request that runs (continue, next,
// ...) is answered first, then runs, and its stop comes as an event. During
// the run the engine's event pump calls OnYield, through which the server
// hands over what the client sent meanwhile (HandleDuringRun).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/messages.h"
#include "core/ui_hooks.h"
#include "dap/break_groups.h"
#include "dap/message_reader.h"
#include "dap/source_map.h"
#include "debugger/controller.h"
#include "serial_link/linked_run.h"
#include "serial_link/serial_link.h"

namespace hc11::dap {

// The variables references of the scopes (the same for every frame) and of
// the flags under CC.
inline constexpr std::int64_t kRegistersScope = 1;
inline constexpr std::int64_t kWatchesScope = 2;
inline constexpr std::int64_t kSymbolsScope = 3;
inline constexpr std::int64_t kBoardScope = 4;
inline constexpr std::int64_t kFlagsScope = 5;

// The last serial bytes the "Carte" scope shows.
inline constexpr std::size_t kSerialSeenMax = 256;

// The launch request's arguments, kept for a restart.
struct LaunchConfig {
  std::string program;
  bool stopOnEntry = false;
  bool workspace = true;
  std::string settings;
  std::string serial;                       // a link address as `run --serial` takes it; empty: none
  SourceFile frames = SourceFile::Listing;  // the file stack frames point into
};

class Adapter final : public UiHooks, public Messages, public StateListener {
 public:
  // `send` writes one message to the client.
  using Sender = std::function<void(const Json&)>;
  explicit Adapter(Sender send);
  ~Adapter() override;
  Adapter(const Adapter&) = delete;
  Adapter& operator=(const Adapter&) = delete;

  void Handle(const Json& message);
  // A message the reader could not take: an error response, and on we go.
  void Refuse(const ReadItem& item);
  // A message that came during a run: true when it was answered now (pause,
  // threads), false when it waits for the run to end.
  bool HandleDuringRun(const Json& message);
  // After disconnect or terminate: the server stops reading.
  bool Ended() const { return ended_; }
  std::function<void()> OnYield;

  // Null until a launch succeeded.
  Controller* controller() { return controller_.get(); }
  const SourceMap& sources() const { return sources_; }

  // UiHooks
  void ProcessEvents() override;
  void RunStarted() override;
  void RunFinished(Machine& m) override;
  void TraceLineAdded(const std::string& line) override;
  // Messages
  void Show(MsgKind kind, std::string_view caption, std::string_view text) override;
  // StateListener
  void StateChanged(const StateChange& change) override;
  void ControllerGone() override {}

 private:
  using Handler = void (Adapter::*)(const Json& args, Json& body);
  struct Entry {
    std::string_view command;
    Handler handler;
  };
  static const std::vector<Entry>& Handlers();

  // Session and execution (requests_execution.cpp)
  void Initialize(const Json& args, Json& body);
  void Launch(const Json& args, Json& body);
  void Restart(const Json& args, Json& body);
  void Disconnect(const Json& args, Json& body);
  void Terminate(const Json& args, Json& body);
  void ConfigurationDone(const Json& args, Json& body);
  void Continue(const Json& args, Json& body);
  void Next(const Json& args, Json& body);
  void StepIn(const Json& args, Json& body);
  void StepOut(const Json& args, Json& body);
  void StepBack(const Json& args, Json& body);
  void ReverseContinue(const Json& args, Json& body);
  void Pause(const Json& args, Json& body);
  void Threads(const Json& args, Json& body);
  // Breakpoints (requests_breakpoints.cpp)
  void SetBreakpoints(const Json& args, Json& body);
  void SetFunctionBreakpoints(const Json& args, Json& body);
  void SetInstructionBreakpoints(const Json& args, Json& body);
  void SetExceptionBreakpoints(const Json& args, Json& body);
  void DataBreakpointInfo(const Json& args, Json& body);
  void SetDataBreakpoints(const Json& args, Json& body);
  // State (requests_state.cpp)
  void StackTrace(const Json& args, Json& body);
  void Scopes(const Json& args, Json& body);
  void Variables(const Json& args, Json& body);
  void SetVariable(const Json& args, Json& body);
  void Evaluate(const Json& args, Json& body);
  // Memory (requests_memory.cpp)
  void ReadMemory(const Json& args, Json& body);
  void WriteMemory(const Json& args, Json& body);
  void Disassemble(const Json& args, Json& body);
  void LoadedSources(const Json& args, Json& body);

  void Respond(const Json& request, bool success, Json body, const std::string& message);
  void SendEvent(std::string_view event, Json body = Json::object());
  void Output(std::string_view category, std::string_view text);
  void FlushSerial();
  // The controller of the launched program; refuses the request without one.
  Controller& Live();
  // Opens the program of `launch_`; false with the reason.
  bool Open(std::string& error);
  // The board's serial line joined to the host link `launch_.serial` names.
  bool OpenSerial(std::string& error);
  void SendStopped(const StopEvent& e, bool entry);
  Json SourceJson(SourceFile f) const;
  std::uint32_t ClientLine(std::uint32_t line) const { return linesFrom1_ ? line : line - 1; }
  std::uint32_t OwnLine(std::int64_t line) const;
  std::vector<BreakAnswer> ApplyBreakGroup(const std::string& group,
                                           const std::vector<BreakRequest>& requests);
  // Variables of one scope (requests_state.cpp).
  Json ScopeVariables(std::int64_t reference);

  Sender send_;
  std::int64_t seq_ = 1;
  std::unique_ptr<Controller> controller_;
  // The host link, when launched with one; it goes before the board it uses.
  std::unique_ptr<serial::SerialLink> link_;
  std::unique_ptr<serial::LinkedRun> linked_;
  SourceMap sources_;
  BreakGroups breaks_;
  LaunchConfig launch_;
  std::function<void()> after_;  // what the request does once answered
  bool linesFrom1_ = true;
  bool ended_ = false;
  std::string serialOut_;   // transmitted, not yet sent as output
  std::string serialSeen_;  // the last bytes transmitted, for the "Carte" scope
};

// A request the adapter refuses: its message goes in the error response.
struct Refusal {
  std::string message;
};

// The serial bytes as text: printable characters as they are, a newline
// kept, a backslash doubled, every other byte as \xHH.
std::string EscapedSerial(std::uint8_t byte);

// An address or value as the client writes it: "$1F", "0x1F", or plain
// hexadecimal as every prompt reads it; nullopt when it is none, or above `max`.
std::optional<std::uint32_t> ParseNumber(std::string_view text, std::uint32_t max = 0xFFFF);

}  // namespace hc11::dap
