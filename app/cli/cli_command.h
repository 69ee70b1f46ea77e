// hc11flow-cli subcommands register themselves here; main() dispatches on the
// first argument. Each command lives in its own cmd_*.cpp file.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace hc11::cli {

struct CliCommand {
  const char* name;
  const char* usage;  // one line: arguments after the command name
  // Arguments after the command name; returns the process exit status.
  int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

// Called from a static object in each command file.
bool RegisterCommand(const CliCommand& command);

const std::vector<CliCommand>& Commands();

// Exit status for bad arguments or an unreadable file.
inline constexpr int kExitUsage = 2;

}  // namespace hc11::cli
