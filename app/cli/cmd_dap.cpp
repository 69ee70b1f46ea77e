// hc11flow-cli dap: the Debug Adapter Protocol on standard input and output,
// as editors start adapters, or with --port on a TCP socket (127.0.0.1
// unless --listen names another address), one client after the other.
#include <unistd.h>

#include <charconv>
#include <optional>
#include <ostream>

#include "app/cli/cli_command.h"
#include "dap/server.h"

namespace hc11::cli {

namespace {

constexpr const char* kUsage = "[--port N [--once] [--listen ADDR]]";
constexpr const char* kLoopback = "127.0.0.1";

int ServeDap(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<std::uint16_t> port;
  std::string address = kLoopback;
  bool once = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--once") {
      once = true;
      continue;
    }
    if ((a != "--port" && a != "--listen") || i + 1 >= args.size()) {
      err << "hc11flow-cli dap: "
          << (a == "--port" || a == "--listen" ? a + " needs a value" : "unknown option '" + a + "'") << '\n';
      return kExitUsage;
    }
    const std::string& v = args[++i];
    if (a == "--listen") {
      address = v;
      continue;
    }
    unsigned n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (ec != std::errc() || end != v.data() + v.size() || n > 65535) {
      err << "hc11flow-cli dap: --port: expected a port number 0 to 65535, got '" << v << "'\n";
      return kExitUsage;
    }
    port = static_cast<std::uint16_t>(n);
  }
  if (!port) {
    if (once || address != kLoopback) {
      err << "hc11flow-cli dap: --once and --listen go with --port\n";
      return kExitUsage;
    }
    // The protocol owns standard output: nothing else is written there.
    dap::Serve(STDIN_FILENO, STDOUT_FILENO);
    return 0;
  }
  std::string error;
  const int listener = dap::ListenTcp(address, *port, error);
  if (listener < 0) {
    err << "hc11flow-cli dap: " << error << '\n';
    return 1;
  }
  if (address != kLoopback)
    err << "hc11flow-cli dap: warning: listening on " << address
        << ": anyone who can reach it can read and change the simulated board\n";
  out << "dap: listening on " << address << ':' << *port << std::endl;
  do {
    const int client = dap::AcceptClient(listener);
    if (client < 0) break;
    dap::Serve(client, client);
    ::close(client);
    out << "dap: client gone" << std::endl;
  } while (!once);
  ::close(listener);
  return 0;
}

const bool kRegistered = RegisterCommand({"dap", kUsage, ServeDap});

}  // namespace

}  // namespace hc11::cli
