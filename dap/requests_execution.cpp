// The session's requests (initialize, launch, restart, the end) and the
// execution requests: each run command is answered, then given.
#include <filesystem>

#include "dap/adapter.h"
#include "debugger/settings_file.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "flowchart/text_metrics.h"
#include "listing/listing_files.h"
#include "serial_link/link_address.h"

namespace hc11::dap {

namespace {

constexpr std::uint16_t kResetVector = 0xFFFE;

bool Readable(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

void Adapter::Initialize(const Json& args, Json& body) {
  linesFrom1_ = args.value("linesStartAt1", true);
  body = {
      {"supportsConfigurationDoneRequest", true},
      {"supportsFunctionBreakpoints", true},
      {"supportsConditionalBreakpoints", true},
      {"supportsHitConditionalBreakpoints", true},
      {"supportsLogPoints", true},
      {"supportsInstructionBreakpoints", true},
      {"supportsDataBreakpoints", true},
      {"supportsStepBack", true},
      {"supportsSetVariable", true},
      {"supportsRestartRequest", true},
      {"supportsTerminateRequest", true},
      {"supportsEvaluateForHovers", true},
      {"supportsReadMemoryRequest", true},
      {"supportsWriteMemoryRequest", true},
      {"supportsDisassembleRequest", true},
      {"supportsLoadedSourcesRequest", true},
  };
}

bool Adapter::Open(std::string& error) {
  linked_.reset();
  if (link_) link_->Close();
  link_.reset();
  if (controller_) controller_->Unsubscribe(*this);
  controller_.reset();
  auto controller = std::make_unique<Controller>(*this, *this);
  Session& s = controller->session();
  if (!launch_.settings.empty()) {
    if (!Readable(launch_.settings)) {
      error = "cannot read settings '" + launch_.settings + "'";
      return false;
    }
    if (!ReadSettingsFile(launch_.settings, s.settings(), error)) return false;
  }
  s.SetUseWorkspace(launch_.workspace);
  const std::string base = Session::BaseOf(launch_.program);
  if (!Readable(ListingFileName(base)) && !Readable(ProgramImageName(base))) {
    error = "cannot read '" + ListingFileName(base) + "' or '" + ProgramImageName(base) + "'";
    return false;
  }
  const LoadReport report = controller->Load(base);
  Machine& m = s.machine();
  if (!report.startFromListing)
    m.StartPC = static_cast<std::uint16_t>(m.Memory[kResetVector] << 8 | m.Memory[kResetVector + 1]);
  m.cpu.PC = m.StartPC;
  if (report.listingRead) {
    // Stack frames are named by the function of the flowchart's label index.
    ConvertAll(s.listing());
    const FixedTextMetrics metrics;
    Flowchart(s.listing(), s.messages(), metrics).BuildLabelIndex();
  }
  s.timeTravel().SetRecording(true);
  s.board().OnTransmit = [this](std::uint8_t byte) {
    const std::string text = EscapedSerial(byte);
    serialOut_ += text;
    serialSeen_ += text;
    if (serialSeen_.size() > kSerialSeenMax) serialSeen_.erase(0, serialSeen_.size() - kSerialSeenMax);
  };
  sources_.Load(base, s.listing().ConstantList);
  breaks_.Reapply(s.breakpoints());
  controller_ = std::move(controller);
  controller_->Subscribe(*this);
  return launch_.serial.empty() || OpenSerial(error);
}

void Adapter::Launch(const Json& args, Json&) {
  if (!args.contains("program") || !args["program"].is_string() || args["program"].get<std::string>().empty())
    throw Refusal{"launch: 'program' (a listing or the program's base path) is required"};
  if (args.value("exact", false)) throw Refusal{"launch: the exact mode is not available in this build"};
  LaunchConfig c;
  if (args.contains("serial")) {
    if (!args["serial"].is_string())
      throw Refusal{"launch: 'serial' is a link address as run --serial takes it"};
    c.serial = args["serial"].get<std::string>();
    if (const serial::ParsedLinkAddress a = serial::ParseLinkAddress(c.serial); !a.address)
      throw Refusal{"launch: serial: " + a.error};
  }
  c.program = args["program"].get<std::string>();
  c.stopOnEntry = args.value("stopOnEntry", false);
  c.workspace = args.value("workspace", true);
  c.settings = args.value("settings", "");
  const std::string frames = args.value("source", "listing");
  if (frames != "listing" && frames != "asm") throw Refusal{"launch: 'source' is \"listing\" or \"asm\""};
  c.frames = frames == "asm" ? SourceFile::Assembler : SourceFile::Listing;
  launch_ = c;
  std::string error;
  if (!Open(error)) throw Refusal{"launch: " + error};
  if (launch_.frames == SourceFile::Assembler && sources_.AssemblerPath().empty())
    throw Refusal{"launch: no assembler source beside the listing"};
}

bool Adapter::OpenSerial(std::string& error) {
  Session& s = controller_->session();
  // The link takes the transmitted bytes for the host; the output events keep them too.
  std::function<void(std::uint8_t)> toClient = s.board().OnTransmit;
  link_ = std::make_unique<serial::SerialLink>(s.board());
  link_->OnEvent = [this](std::string_view e) { Output("console", "serial: " + std::string(e) + "\n"); };
  const long baud = serial::ParseBaudRate(s.settings().Reglage("BaudRate")).value_or(9600);
  if (!link_->Open(*serial::ParseLinkAddress(launch_.serial).address, baud, error)) {
    link_.reset();
    error = "serial: " + error;
    return false;
  }
  Output("console", "serial: " + link_->Name() + "\n");
  s.board().OnTransmit = [toHost = s.board().OnTransmit, toClient](std::uint8_t byte) {
    toHost(byte);
    toClient(byte);
  };
  linked_ = std::make_unique<serial::LinkedRun>(s.machine(), link_.get());
  linked_->Arm();
  return true;
}

void Adapter::ConfigurationDone(const Json&, Json&) {
  Controller& c = Live();
  if (launch_.stopOnEntry) {
    after_ = [this] { SendStopped(StopEvent{}, true); };
  } else {
    after_ = [&c] { c.Run(RunKind::Run); };
  }
}

void Adapter::Restart(const Json& args, Json&) {
  Live();
  if (controller_->Running()) throw Refusal{"restart: a run is in progress"};
  if (args.contains("arguments") && args["arguments"].is_object()) {
    const Json& a = args["arguments"];
    if (a.contains("program") && a["program"].is_string()) launch_.program = a["program"].get<std::string>();
    launch_.stopOnEntry = a.value("stopOnEntry", launch_.stopOnEntry);
  }
  std::string error;
  if (!Open(error)) throw Refusal{"restart: " + error};
  Json unused;
  ConfigurationDone(Json::object(), unused);
}

void Adapter::Disconnect(const Json&, Json&) {
  if (controller_) controller_->Stop();
  ended_ = true;
}

void Adapter::Terminate(const Json&, Json&) {
  if (controller_) controller_->Stop();
  after_ = [this] { SendEvent("terminated"); };
}

namespace {

Controller& Idle(Controller& c) {
  if (c.Running()) throw Refusal{"a run is in progress"};
  return c;
}

}  // namespace

void Adapter::Continue(const Json&, Json& body) {
  Controller& c = Idle(Live());
  body["allThreadsContinued"] = true;
  after_ = [&c] { c.Run(RunKind::Run); };
}

void Adapter::Next(const Json&, Json&) {
  Controller& c = Idle(Live());
  after_ = [&c] { c.Run(RunKind::StepOver); };
}

void Adapter::StepIn(const Json&, Json&) {
  Controller& c = Idle(Live());
  after_ = [&c] { c.Run(RunKind::Step); };
}

void Adapter::StepOut(const Json&, Json&) {
  Controller& c = Idle(Live());
  after_ = [&c] { c.Run(RunKind::ReturnUp); };
}

void Adapter::StepBack(const Json& args, Json&) {
  Controller& c = Idle(Live());
  // Back over a call, as "next" goes over it; one instruction when asked.
  if (args.value("granularity", "") == "instruction") {
    after_ = [&c] { c.StepBack(1); };
  } else {
    after_ = [&c] { c.StepBackOver(); };
  }
}

void Adapter::ReverseContinue(const Json&, Json&) {
  Controller& c = Idle(Live());
  after_ = [&c] { c.RunBack(); };
}

void Adapter::Pause(const Json&, Json&) {
  // Stopped already: nothing to do. During a run the pause is taken by
  // HandleDuringRun.
  Live();
}

void Adapter::Threads(const Json&, Json& body) {
  body["threads"] = Json::array({{{"id", 1}, {"name", "68HC11"}}});
}

}  // namespace hc11::dap
