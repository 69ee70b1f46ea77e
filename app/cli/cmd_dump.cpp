// hc11flow-cli dump PROGRAM ADDR [--eeprom]: the dump window's sixteen lines
// after the program's load and Init.
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_messages.h"
#include "app/cli/cli_run_host.h"
#include "app/cli/cli_session.h"
#include "debugger/hex_entry.h"
#include "debugger/views.h"

namespace hc11::cli {
namespace {

int Dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const bool eeprom = args.size() == 3 && args[2] == "--eeprom";
  if (args.size() != 2 && !eeprom) {
    err << "usage: hc11flow-cli dump PROGRAM ADDR [--eeprom]\n";
    return kExitUsage;
  }
  const HexEntry start = ParseHexEntry(args[1], 0xFFFF);
  if (!start.value) {
    err << "hc11flow-cli dump: " << start.error << '\n';
    return kExitUsage;
  }
  UiHooks hooks;
  CliMessages messages(err);
  Session session(hooks, messages);
  if (!OpenProgram(session, args[0], false, err)) return kExitUsage;
  const Board& board = session.board();
  for (const std::string& line :
       DumpLines(static_cast<std::uint16_t>(*start.value), eeprom ? 1 : 0, session.machine().Memory,
                 board.EepromImage.data(), board.EepromImage.size()))
    out << line << '\n';
  return 0;
}

const bool kRegistered = RegisterCommand({"dump", "PROGRAM ADDR [--eeprom]", Dump});

}  // namespace
}  // namespace hc11::cli
