// hc11flow-cli gdbserver: loads a program as `run` does and serves it to GDB
// over TCP, one client after the other (or only one with --once).
#include <charconv>
#include <memory>
#include <ostream>
#include <string_view>

#include "app/cli/cli_command.h"
#include "app/cli/cli_elf.h"
#include "app/cli/cli_messages.h"
#include "app/cli/cli_run_host.h"
#include "app/cli/cli_run_load.h"
#include "app/cli/cli_run_options.h"
#include "debugger/controller.h"
#include "debugger/session.h"
#include "gdbstub/controller_host.h"
#include "gdbstub/recorded_reverse.h"
#include "gdbstub/server.h"

namespace hc11::cli {

namespace {

constexpr const char* kUsage =
    "[--port N] [--once] [--listen ADDR] [--elf FILE [--source listing|asm]] PROGRAM [--start ADDR] [--break "
    "...] [--watch ...] [--history] [--exact] "
    "[--no-workspace] [--settings FILE] [board options]";
constexpr int kWaitMs = 500;

struct ServerOptions {
  std::uint16_t port = gdb::kDefaultPort;
  bool once = false;
  std::string address = gdb::kLoopback;
  std::string elf;  // written once the program is loaded
  gdb::LineSource source = gdb::LineSource::Listing;
  std::vector<std::string> runArgs;  // everything else, read as `run` reads it
};

// The run loop's event pump reaches the server: that is how GDB's 0x03 and a
// vanished client stop a run.
class ServerHost final : public CliRunHost {
 public:
  using CliRunHost::CliRunHost;
  void ProcessEvents() override {
    if (server != nullptr) server->Poll();
  }
  gdb::Server* server = nullptr;
};

bool ParseServerOptions(const std::vector<std::string>& args, ServerOptions& o, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--once") {
      o.once = true;
    } else if (a == "--elf" || a == "--source") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = a + " needs a value";
        return false;
      }
      const std::string& v = args[++i];
      if (a == "--elf") {
        o.elf = v;
      } else if (const auto s = ParseLineSource(v)) {
        o.source = *s;
      } else {
        error = "--source: expected listing or asm, got '" + v + "'";
        return false;
      }
    } else if (a == "--port" || a == "--listen") {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      const std::string& v = args[++i];
      if (a == "--listen") {
        o.address = v;
        continue;
      }
      unsigned port = 0;
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), port);
      if (ec != std::errc() || end != v.data() + v.size() || port > 65535) {
        error = "--port: expected a port number 0 to 65535, got '" + v + "'";
        return false;
      }
      o.port = static_cast<std::uint16_t>(port);
    } else {
      // Options that only make sense for a batch run are refused, not ignored.
      for (std::string_view batch :
           {"--mode", "--target", "--steps", "--repeat", "--dump", "--save-workspace"}) {
        if (a == batch) {
          error = a + " is an option of run, not of gdbserver";
          return false;
        }
      }
      o.runArgs.push_back(a);
    }
  }
  return true;
}

int Serve(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ServerOptions so;
  std::string error;
  if (!ParseServerOptions(args, so, error)) {
    err << "hc11flow-cli gdbserver: " << error << '\n';
    return kExitUsage;
  }
  const ParsedRunOptions parsed = ParseRunOptions(so.runArgs);
  if (!parsed.options) {
    err << "hc11flow-cli gdbserver: " << parsed.error << '\n';
    return kExitUsage;
  }
  ServerHost host(out);
  CliMessages messages(err);
  auto controller = std::make_unique<Controller>(host, messages);
  Session& session = controller->session();
  if (!PrepareRunSession(*parsed.options, *controller, "gdbserver", err)) return kExitUsage;
  if (!so.elf.empty()) {
    if (const auto refusal = ElfOutputRefusal(session, so.elf)) {
      err << "hc11flow-cli gdbserver: --elf: " << *refusal << '\n';
      return kExitUsage;
    }
    const auto written = WriteProgramElf(session, so.elf, so.source, error);
    if (!written) {
      err << "hc11flow-cli gdbserver: --elf: " << error << '\n';
      return 1;
    }
    out << "gdbserver: wrote " << so.elf << std::endl;
  }

  gdb::ControllerHost stubHost(*controller);
  // GDB's reverse-step and reverse-continue walk the session's record.
  gdb::RecordedReverse reverse(*controller);
  gdb::Server server(session, stubHost, &reverse);
  if (!server.Listen(so.address, so.port, error)) {
    err << "hc11flow-cli gdbserver: " << error << '\n';
    return 1;
  }
  host.server = &server;
  if (so.address != gdb::kLoopback)
    err << "hc11flow-cli gdbserver: warning: listening on " << so.address
        << ": anyone who can reach it can read and change the simulated board\n";
  out << "gdbserver: listening on " << so.address << ':' << server.port() << std::endl;
  while (!so.once || server.ClientsEnded() == 0) server.WaitAndPoll(kWaitMs);
  out << "gdbserver: " << (server.KillRequested() ? "killed" : "client gone") << std::endl;
  return 0;
}

const bool kRegistered = RegisterCommand({"gdbserver", kUsage, Serve});

}  // namespace

}  // namespace hc11::cli
