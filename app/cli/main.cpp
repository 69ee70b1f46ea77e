#include <iostream>
#include <string>
#include <vector>

#include "app/cli/cli_command.h"

namespace hc11::cli {

namespace {
std::vector<CliCommand>& Registry() {
  static std::vector<CliCommand> registry;
  return registry;
}
}  // namespace

bool RegisterCommand(const CliCommand& command) {
  Registry().push_back(command);
  return true;
}

const std::vector<CliCommand>& Commands() {
  return Registry();
}

}  // namespace hc11::cli

namespace {

void PrintUsage(std::ostream& err) {
  err << "usage: hc11flow-cli COMMAND [ARGS]\n";
  for (const auto& c : hc11::cli::Commands()) err << "  hc11flow-cli " << c.name << ' ' << c.usage << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  if (argc < 2) {
    PrintUsage(std::cerr);
    return hc11::cli::kExitUsage;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintUsage(std::cout);
    return 0;
  }
  for (const auto& c : hc11::cli::Commands()) {
    if (name == c.name) {
      std::vector<std::string> args(argv + 2, argv + argc);
      if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "usage: hc11flow-cli " << c.name << ' ' << c.usage << '\n';
        return 0;
      }
      int status = c.run(args, std::cout, std::cerr);
      std::cout.flush();
      return status;
    }
  }
  std::cerr << "hc11flow-cli: unknown command '" << name << "'\n";
  PrintUsage(std::cerr);
  return hc11::cli::kExitUsage;
}
