#include "dap/adapter.h"

#include <cctype>

#include "core/text_util.h"
#include "dap/stop_reason.h"
#include "debugger/hex_entry.h"

namespace hc11::dap {

const std::vector<Adapter::Entry>& Adapter::Handlers() {
  static const std::vector<Entry> handlers = {
      {"initialize", &Adapter::Initialize},
      {"launch", &Adapter::Launch},
      {"restart", &Adapter::Restart},
      {"disconnect", &Adapter::Disconnect},
      {"terminate", &Adapter::Terminate},
      {"configurationDone", &Adapter::ConfigurationDone},
      {"continue", &Adapter::Continue},
      {"next", &Adapter::Next},
      {"stepIn", &Adapter::StepIn},
      {"stepOut", &Adapter::StepOut},
      {"stepBack", &Adapter::StepBack},
      {"reverseContinue", &Adapter::ReverseContinue},
      {"pause", &Adapter::Pause},
      {"threads", &Adapter::Threads},
      {"setBreakpoints", &Adapter::SetBreakpoints},
      {"setFunctionBreakpoints", &Adapter::SetFunctionBreakpoints},
      {"setInstructionBreakpoints", &Adapter::SetInstructionBreakpoints},
      {"setExceptionBreakpoints", &Adapter::SetExceptionBreakpoints},
      {"dataBreakpointInfo", &Adapter::DataBreakpointInfo},
      {"setDataBreakpoints", &Adapter::SetDataBreakpoints},
      {"stackTrace", &Adapter::StackTrace},
      {"scopes", &Adapter::Scopes},
      {"variables", &Adapter::Variables},
      {"setVariable", &Adapter::SetVariable},
      {"evaluate", &Adapter::Evaluate},
      {"readMemory", &Adapter::ReadMemory},
      {"writeMemory", &Adapter::WriteMemory},
      {"disassemble", &Adapter::Disassemble},
      {"loadedSources", &Adapter::LoadedSources},
  };
  return handlers;
}

Adapter::Adapter(Sender send) : send_(std::move(send)) {}

Adapter::~Adapter() {
  if (controller_) controller_->Unsubscribe(*this);
}

void Adapter::Respond(const Json& request, bool success, Json body, const std::string& message) {
  Json r = {
      {"seq", seq_++},
      {"type", "response"},
      {"request_seq", request.is_object() && request.contains("seq") && request["seq"].is_number_integer()
                          ? request["seq"].get<std::int64_t>()
                          : 0},
      {"success", success},
      {"command", request.is_object() && request.contains("command") && request["command"].is_string()
                      ? request["command"].get<std::string>()
                      : std::string()}};
  if (!message.empty()) {
    r["message"] = message;
    if (!success) body["error"] = {{"id", 1}, {"format", message}, {"showUser", true}};
  }
  if (!body.empty()) r["body"] = std::move(body);
  send_(r);
}

void Adapter::SendEvent(std::string_view event, Json body) {
  Json e = {{"seq", seq_++}, {"type", "event"}, {"event", event}};
  if (!body.empty()) e["body"] = std::move(body);
  send_(e);
}

void Adapter::Output(std::string_view category, std::string_view text) {
  SendEvent("output", {{"category", category}, {"output", text}});
}

void Adapter::Refuse(const ReadItem& item) {
  Respond(Json(), false, Json::object(), FaultText(item));
}

void Adapter::Handle(const Json& message) {
  if (!message.is_object() || message.value("type", "") != "request" || !message.contains("command") ||
      !message["command"].is_string()) {
    Respond(message, false, Json::object(), "not a request: expected type \"request\" and a command");
    return;
  }
  const std::string command = message["command"].get<std::string>();
  const Entry* entry = nullptr;
  for (const Entry& e : Handlers())
    if (e.command == command) entry = &e;
  if (entry == nullptr) {
    Respond(message, false, Json::object(), "unknown request '" + command + "'");
    return;
  }
  const Json args = message.contains("arguments") && message["arguments"].is_object() ? message["arguments"]
                                                                                      : Json::object();
  Json body = Json::object();
  after_ = nullptr;
  try {
    (this->*entry->handler)(args, body);
  } catch (const Refusal& r) {
    after_ = nullptr;
    Respond(message, false, Json::object(), r.message);
    return;
  } catch (const Json::exception& e) {
    // An argument of the wrong type: nlohmann's words name it.
    after_ = nullptr;
    Respond(message, false, Json::object(), std::string("bad arguments: ") + e.what());
    return;
  }
  Respond(message, true, std::move(body), {});
  // The client configures (breakpoints, then configurationDone) once the
  // program is there to take its breakpoints.
  if (command == "launch") SendEvent("initialized");
  if (after_) {
    const auto then = std::move(after_);
    after_ = nullptr;
    then();
  }
}

bool Adapter::HandleDuringRun(const Json& message) {
  const std::string command = message.is_object() ? message.value("command", "") : "";
  if (command == "pause") {
    controller_->Stop();
    Respond(message, true, Json::object(), {});
    return true;
  }
  if (command == "threads") {
    Json body;
    Threads(Json::object(), body);
    Respond(message, true, std::move(body), {});
    return true;
  }
  // A disconnect ends the run first; its answer comes once the run is over.
  if (command == "disconnect" || command == "terminate") controller_->Stop();
  return false;
}

Controller& Adapter::Live() {
  if (!controller_) throw Refusal{"no program: launch one first"};
  return *controller_;
}

std::uint32_t Adapter::OwnLine(std::int64_t line) const {
  const std::int64_t own = linesFrom1_ ? line : line + 1;
  return own < 1 || own > 0xFFFFFFF ? 0 : static_cast<std::uint32_t>(own);
}

Json Adapter::SourceJson(SourceFile f) const {
  const std::string& path = sources_.PathOf(f);
  const std::size_t slash = path.find_last_of('/');
  return {{"name", slash == std::string::npos ? path : path.substr(slash + 1)}, {"path", path}};
}

void Adapter::ProcessEvents() {
  FlushSerial();
  if (linked_) linked_->Yield();
  if (OnYield) OnYield();
}

// The host link does its work between runs too: a client that connected
// while the program was stopped is taken before the run, and what the
// firmware sent last goes out when the run ends.
void Adapter::RunStarted() {
  if (!linked_) return;
  linked_->Idle();
  linked_->RunStarted();
}

void Adapter::RunFinished(Machine&) {
  if (linked_) linked_->Idle();
}

void Adapter::TraceLineAdded(const std::string& line) {
  Output("console", line + "\n");
}

void Adapter::Show(MsgKind kind, std::string_view caption, std::string_view text) {
  Output(kind == MsgKind::Error ? "stderr" : "console",
         std::string(caption) + ": " + std::string(text) + "\n");
}

void Adapter::FlushSerial() {
  if (serialOut_.empty()) return;
  Output("stdout", serialOut_);
  serialOut_.clear();
}

void Adapter::StateChanged(const StateChange& change) {
  if (change.stop != nullptr && change.stop->cause != StopCause::None) SendStopped(*change.stop, false);
}

void Adapter::SendStopped(const StopEvent& e, bool entry) {
  FlushSerial();
  Json body = {{"threadId", 1}, {"allThreadsStopped", true}};
  if (entry) {
    body["reason"] = "entry";
  } else {
    const char* reason = StopReason(e.cause);
    body["reason"] = reason;
    body["description"] = e.text;
    if (e.cause == StopCause::Error) body["text"] = e.message.empty() ? e.text : e.message;
    if (e.entry && controller_) {
      const BreakpointList& list = controller_->session().breakpoints();
      if (const auto id = breaks_.IdOf(list, *e.entry)) body["hitBreakpointIds"] = Json::array({*id});
      const std::string group = breaks_.GroupOf(list, *e.entry);
      if (group == kFunctionGroup) body["reason"] = "function breakpoint";
      if (group == kInstructionGroup) body["reason"] = "instruction breakpoint";
    }
  }
  SendEvent("stopped", std::move(body));
}

std::string EscapedSerial(std::uint8_t byte) {
  if (byte == '\n') return "\n";
  if (byte == '\\') return "\\\\";
  if (byte >= 0x20 && byte < 0x7F) return std::string(1, static_cast<char>(byte));
  return Format("\\x%2.2X", byte);
}

std::optional<std::uint32_t> ParseNumber(std::string_view text, std::uint32_t max) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.starts_with("$")) {
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  return ParseHexEntry(text, max).value;
}

}  // namespace hc11::dap
