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
#include "app/cli/cli_profile.h"
#include "app/cli/cli_reverse.h"
#include "app/cli/cli_run_host.h"
#include "app/cli/cli_run_options.h"
#include "app/cli/cli_serial.h"
#include "core/hex_loader.h"
#include "core/message_text.h"
#include "core/run_engine.h"
#include "core/text_util.h"
#include "core/trace.h"
#include "debugger/session.h"
#include "debugger/views.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "flowchart/text_metrics.h"
#include "listing/listing_files.h"
#include "listing/symbols.h"

namespace hc11::cli {

namespace {

constexpr std::uint16_t kResetVector = 0xFFFE;

bool Readable(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && std::ifstream(path).good();
}

bool IsHexFile(const std::string& path) {
  return path.size() > 4 && ToLower(path.substr(path.size() - 4)) == ".hex";
}

// The command line's breakpoints and watches, after those of the workspace.
void AddListEntries(const RunOptions& o, Session& session) {
  for (const BreakOption& b : o.breaks)
    session.breakpoints().Append({b.name, b.address, b.kind, b.state}, true);
  std::vector<TSurv> watches;
  watches.reserve(o.watches.size());
  for (const WatchOption& opt : o.watches) {
    TSurv w;
    w.name = opt.name;
    w.WatchFormat = opt.format;
    w.bytesPer = opt.bytesPer;
    w.elements = opt.elements;
    w.initial = opt.initial;
    if (opt.address) {
      w.address = *opt.address;
    } else if (const auto a = FindSymbol(session.listing().Symbols, opt.name, 'I')) {
      w.address = *a;
    }
    watches.push_back(std::move(w));
  }
  // One refresh for them all: thousands of watches stay linear.
  session.watches().AppendAll(watches);
  for (const TSurv& w : watches)
    for (const std::string& error : session.watches().WriteValue(w, w.initial))
      session.messages().Show(MsgKind::Error, "Erreur", QuoteText(w.name) + ": " + error);
}

// Loads PROGRAM: a HEX file alone, or the program named by its listing or its
// base path (listing, then code image). False when nothing can be read.
bool LoadProgram(const RunOptions& o, Session& session, std::ostream& err) {
  Machine& m = session.machine();
  if (o.start) m.StartPC = *o.start;
  LoadReport report;
  if (IsHexFile(o.program) && Readable(o.program)) {
    report = session.LoadImageOnly(o.program);
  } else {
    const std::string base = Session::BaseOf(o.program);
    if (!Readable(ListingFileName(base)) && !Readable(ProgramImageName(base))) {
      err << "hc11flow-cli run: cannot read '" << ListingFileName(base) << "' or '" << ProgramImageName(base)
          << "'\n";
      return false;
    }
    report = session.Load(base);
  }
  // --start wins; without it and without "debprog_" the reset vector starts.
  if (o.start) {
    m.StartPC = *o.start;
  } else if (!report.startFromListing) {
    m.StartPC = static_cast<std::uint16_t>(m.Memory[kResetVector] << 8 | m.Memory[kResetVector + 1]);
  }
  m.cpu.PC = m.StartPC;
  if (o.target) m.RunTarget = *o.target;
  if (report.listingRead) {
    // The function names of the stack lines come from the flowchart's label index.
    ConvertAll(session.listing());
    const FixedTextMetrics metrics;
    Flowchart(session.listing(), session.messages(), metrics).BuildLabelIndex();
  }
  AddListEntries(o, session);
  m.HistoryEnabled = o.history;
  m.StepBudget = o.steps;
  return true;
}

void RunCommands(const RunOptions& o, Machine& m, const CliRunHost& host, std::ostream& out) {
  for (std::uint32_t k = 0; k < o.repeat; ++k) {
    if (o.mode == kModeReturnUp) {
      ReturnUpCommand(m);
    } else {
      RunCommand(m, o.mode, o.mode == kModeStepOver);
    }
    out << "status: " << host.stopReason() << '\n';
    out << "message: " << m.StopMessage << '\n';
    out << "trace: " << FormatTraceLine(m) << '\n';
  }
}

void PrintLists(Session& session, std::ostream& out) {
  for (const std::string& line : session.breakpoints().Lines()) out << "break: " << line << '\n';
  session.watches().Refresh(true);
  for (const std::string& line : session.watches().Lines()) out << "watch: " << line << '\n';
  for (const std::string& line : StackLines(session.machine(), session.listing()))
    out << "stack: " << line << '\n';
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

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedRunOptions parsed = ParseRunOptions(args);
  if (!parsed.options) {
    err << "hc11flow-cli run: " << parsed.error << '\n';
    return kExitUsage;
  }
  const RunOptions& o = *parsed.options;
  CliRunHost host(out);
  CliMessages messages(err);
  auto session = std::make_unique<Session>(host, messages);
  Machine& m = session->machine();
  if (!o.settings.empty()) {
    std::string error;
    std::error_code ec;
    if (!std::filesystem::exists(o.settings, ec)) {
      err << "hc11flow-cli run: cannot read settings '" << QuoteText(o.settings)
          << "': " << std::strerror(ENOENT) << '\n';
      return kExitUsage;
    }
    if (!ReadSettingsFile(o.settings, session->settings(), error)) {
      err << "hc11flow-cli run: " << error << '\n';
      return kExitUsage;
    }
  }
  session->SetUseWorkspace(!o.noWorkspace);

  ApplyBoardOptionsBeforeLoad(session->board(), o.board);
  if (!LoadProgram(o, *session, err)) return kExitUsage;
  if (const std::string error = ApplyBoardOptionsAfterLoad(session->board(), o.board); !error.empty()) {
    err << "hc11flow-cli run: " << error << '\n';
    return kExitUsage;
  }
  // The host serial link and real time, around the runs.
  CliSerial serial(o.serial, *session, host, err);
  if (!serial.Start()) return 1;
  StartProfiling(o.profiling, *session);
  PrepareReverse(o.reverse, *session);
  RunCommands(o, m, host, out);
  serial.Finish();
  RunReverse(o.reverse, *session, out);
  if (o.history) ListHistory(m);
  PrintDumps(o, m, out);
  PrintLists(*session, out);
  PrintPanel(session->board(), o.board, out);
  if (!FinishProfiling(o.profiling, *session, out, err)) return 1;
  PrintDigest(o.reverse, *session, out);
  if (!o.saveWorkspace.empty() && !session->SaveWorkspace(o.saveWorkspace)) return 1;
  return 0;
}

const bool kRegistered = RegisterCommand({"run", kRunUsage, Run});

}  // namespace

}  // namespace hc11::cli
