// hc11flow-cli run: load a HEX image, give run commands, print what the
// trace list and the labels show, then optional history and memory dumps.
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_run_host.h"
#include "app/cli/cli_run_options.h"
#include "core/hex_loader.h"
#include "core/run_engine.h"
#include "core/text_util.h"
#include "core/trace.h"

namespace hc11::cli {

namespace {

constexpr std::uint16_t kResetVector = 0xFFFE;
constexpr std::array<const char*, 6> kStateNames = {"nul", "inactif", "Break", "Trace", "TraceM", "BeakM"};

bool Readable(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && std::ifstream(path).good();
}

// PROGRAM itself, or PROGRAM + ".HEX"; empty when neither can be read.
std::string ResolveHexFile(const std::string& program) {
  if (Readable(program)) return program;
  if (Readable(program + ".HEX")) return program + ".HEX";
  return {};
}

// The core half of a program load; without --start the reset vector gives
// the start address.
void LoadProgram(const RunOptions& o, const std::string& hexFile, Machine& m, Messages& messages) {
  if (o.start) m.StartPC = *o.start;
  LoadProgramImage(m, hexFile, messages);
  if (!o.start) {
    m.StartPC = static_cast<std::uint16_t>(m.Memory[kResetVector] << 8 | m.Memory[kResetVector + 1]);
    m.cpu.PC = m.StartPC;
  }
  if (o.target) m.RunTarget = *o.target;
  for (const BreakOption& b : o.breaks) m.tInst[b.address] = b.state;
  m.HistoryEnabled = o.history;
  m.StepBudget = o.steps;
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
  const std::string hexFile = ResolveHexFile(o.program);
  if (hexFile.empty()) {
    err << "hc11flow-cli run: cannot read '" << o.program << "' or '" << o.program << ".HEX'\n";
    return kExitUsage;
  }
  auto machine = std::make_unique<Machine>();
  CliRunHost host(out, *machine);
  machine->SetHooks(&host);
  CliMessages messages(err);

  LoadProgram(o, hexFile, *machine, messages);
  RunCommands(o, *machine, host, out);
  if (o.history) ListHistory(*machine);
  PrintDumps(o, *machine, out);
  return 0;
}

const bool kRegistered = RegisterCommand({"run", kRunUsage, Run});

}  // namespace

std::string CliRunHost::BreakpointLine(std::uint16_t address) {
  const std::uint8_t state = machine_.tInst[address];
  const char* name = state < kStateNames.size() ? kStateNames[state] : "";
  return Format("%4.4x %s %-8s %s", address, "C", name, "nom");
}

}  // namespace hc11::cli
