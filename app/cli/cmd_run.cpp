// hc11flow-cli run: load a program (listing and HEX image), give run commands, print what the
// trace list and the labels show, then optional history and memory dumps.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>

#include "app/cli/cli_board.h"
#include "app/cli/cli_command.h"
#include "app/cli/cli_interrupt.h"
#include "app/cli/cli_output_check.h"
#include "app/cli/cli_profile.h"
#include "app/cli/cli_reverse.h"
#include "app/cli/cli_run_host.h"
#include "app/cli/cli_run_load.h"
#include "app/cli/cli_run_options.h"
#include "app/cli/cli_serial.h"
#include "core/hex_loader.h"
#include "core/message_text.h"
#include "core/run_engine.h"
#include "core/text_util.h"
#include "core/trace.h"
#include "debugger/controller.h"
#include "debugger/memory_search.h"
#include "debugger/session.h"
#include "debugger/stack_low.h"
#include "debugger/views.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "flowchart/text_metrics.h"
#include "listing/listing_files.h"
#include "listing/symbols.h"
#include "recording/recorder.h"

namespace hc11::cli {

namespace {

RunKind KindOf(char16_t mode) {
  switch (mode) {
    case kModeStep:
      return RunKind::Step;
    case kModeStepOver:
      return RunKind::StepOver;
    case kModeReturnUp:
      return RunKind::ReturnUp;
    case kModeRunTo:
      return RunKind::RunTo;
    default:
      return RunKind::Run;
  }
}

void RunCommands(const RunOptions& o, Controller& controller, std::ostream& out) {
  const RunKind kind = KindOf(o.mode);
  for (std::uint32_t k = 0; k < o.repeat && !CliInterrupt::Requested(); ++k) {
    const StopEvent e = controller.Run(kind, controller.machine().RunTarget);
    out << "status: " << e.text << '\n';
    out << "message: " << e.message << '\n';
    out << "trace: " << FormatTraceLine(controller.machine()) << '\n';
  }
}

// "moved: OLD NEW LABEL+OFFSET" for each entry of the workspace that
// followed its line to a new address (the program was assembled again).
void PrintMoved(const Session& session, std::ostream& out) {
  for (const AnchorOutcome& o : session.Followed())
    if (o.place == AnchorPlace::Moved)
      out << Format("moved: %4.4X %4.4X ", o.from, o.to) << AnchorWhere(o.anchor) << '\n';
}

void PrintLists(Session& session, std::ostream& out) {
  for (const std::string& line : session.breakpoints().Lines()) out << "break: " << line << '\n';
  session.watches().Refresh(true);
  for (const std::string& line : session.watches().Lines()) out << "watch: " << line << '\n';
  for (const std::string& line : StackLines(session.machine(), session.listing()))
    out << "stack: " << line << '\n';
  out << "stack-low: " << StackLowText(session.machine(), session.listing()) << '\n';
}

// "find: PATTERN" and every address where it lies in memory.
void PrintFinds(const RunOptions& o, const Machine& m, std::ostream& out) {
  for (const FindOption& f : o.finds) {
    out << "find: " << FieldText(f.pattern);
    for (const std::uint16_t a : FindAll(m.Memory, f.search)) out << Format(" %4.4x", a);
    out << '\n';
  }
}

void PrintDumps(const RunOptions& o, const Machine& m, std::ostream& out) {
  for (const DumpOption& d : o.dumps) {
    // A dump stops at the end of memory.
    const std::uint32_t end = std::min<std::uint32_t>(d.address + d.count, 0x10000);
    for (std::uint32_t line = d.address; line < end; line += 16) {
      std::string text = Format("%4.4x  ", line);
      for (std::uint32_t a = line; a < std::min(line + 16, end); ++a) text += Format(" %2.2X", m.Memory[a]);
      out << text << '\n';
    }
  }
}

// The run's outputs must spare the files it reads; saving the workspace over
// the one it read is what --save-workspace is for.
bool OutputsSpareInputs(const RunOptions& o, const Session& session, std::ostream& err) {
  std::vector<InputFile> inputs = ProgramInputs(session.ListingBase());
  if (!session.SettingsPath().empty()) inputs.push_back({session.SettingsPath(), "the settings file"});
  if (!o.board.eepromFile.empty()) inputs.push_back({o.board.eepromFile, "the EEPROM image"});
  const auto refused = [&](const char* option, const std::string& output) {
    const auto input = InputNamedBy(output, inputs);
    if (input) err << "hc11flow-cli run: " << option << ": " << OverwriteRefusal(output, *input) << '\n';
    return input.has_value();
  };
  if (refused("--save-workspace", o.saveWorkspace) || refused("--save-state", o.saveState) ||
      refused("--record", o.record))
    return false;
  if (!o.noWorkspace && !session.ListingBase().empty())
    inputs.push_back({session.WorkspaceFile(), "the workspace"});
  return !refused("--coverage", o.profiling.coverage);
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedRunOptions parsed = ParseRunOptions(args);
  if (!parsed.options) {
    err << "hc11flow-cli run: " << parsed.error << '\n';
    return kExitUsage;
  }
  const RunOptions& o = *parsed.options;
  CliRunHost host(out);
  CliInterrupt interrupt;
  CliMessages messages(err);
  auto controller = std::make_unique<Controller>(host, messages);
  Session* session = &controller->session();
  Machine& m = session->machine();
  // A signal ends the run at its next yield as "Arret" would (the serial
  // link, when there is one, yields with the same check).
  const auto stopOnSignal = [&m] {
    if (CliInterrupt::Requested()) m.RunMode = kModeStop;
  };
  host.OnYield = stopOnSignal;
  // A replay starts from the program's load: a state or an image put in
  // before the runs would not be in the session.
  if (!o.record.empty() && (!o.loadState.empty() || !o.board.eepromFile.empty())) {
    err << "hc11flow-cli run: --record: a session starts at the program's load; it cannot follow "
        << (o.loadState.empty() ? "--eeprom" : "--load-state") << '\n';
    return kExitUsage;
  }
  Recorder recorder(*controller);
  const auto startRecording = [&] {
    if (!o.record.empty()) recorder.Start();
  };
  if (!PrepareRunSession(o, *controller, "run", err, startRecording)) return kExitUsage;
  if (!OutputsSpareInputs(o, *session, err)) return kExitUsage;
  if (m.Exact) out << "mode: exact\n";
  PrintMoved(*session, out);
  if (!o.loadState.empty()) {
    if (const StateFileResult r = controller->LoadState(o.loadState); !r.ok()) {
      err << "hc11flow-cli run: --load-state: " << r.message << '\n';
      return 1;
    }
  }
  // The host serial link and real time, around the runs.
  CliSerial serial(o.serial, *session, host, err);
  if (!serial.Start()) return 1;
  StartProfiling(o.profiling, *session);
  PrepareReverse(o.reverse, *session);
  RunCommands(o, *controller, out);
  serial.Finish();
  if (!o.record.empty()) {
    std::string error;
    if (!WriteSessionFile(o.record, recorder.Stop(), error)) {
      err << "hc11flow-cli run: --record: " << error << '\n';
      return 1;
    }
  }
  host.OnYield = stopOnSignal;  // a long replay going back stops on a signal too
  RunReverse(o.reverse, *controller, out);
  if (o.history) ListHistory(m);
  PrintDumps(o, m, out);
  PrintFinds(o, m, out);
  PrintLists(*session, out);
  PrintPanel(session->board(), o.board, out);
  if (!FinishProfiling(o.profiling, *session, out, err)) return 1;
  PrintDigest(o.reverse, *session, out);
  if (!o.saveState.empty()) {
    if (const StateFileResult r = controller->SaveState(o.saveState); !r.ok()) {
      err << "hc11flow-cli run: --save-state: " << r.message << '\n';
      return 1;
    }
  }
  if (!o.saveWorkspace.empty() && !session->SaveWorkspace(o.saveWorkspace)) return 1;
  return 0;
}

const bool kRegistered = RegisterCommand({"run", kRunUsage, Run});

}  // namespace

}  // namespace hc11::cli
