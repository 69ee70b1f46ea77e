// hc11flow-cli search PROGRAM TEXT | --not-interpreted: the rows ListView1
// shows, tab-separated (instruction, function, address), header row included.
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_messages.h"
#include "app/cli/cli_session.h"
#include "debugger/navigation.h"

namespace hc11::cli {
namespace {

int Search(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2 || args[1].empty()) {
    err << "usage: hc11flow-cli search PROGRAM TEXT|--not-interpreted\n";
    return kExitUsage;
  }
  UiHooks hooks;
  CliMessages messages(err);
  Session session(hooks, messages);
  if (!OpenProgram(session, args[0], true, err)) return kExitUsage;
  const std::vector<ListRow> rows = args[1] == "--not-interpreted" ? NotInterpretedRows(session.listing())
                                                                   : SearchRows(session.listing(), args[1]);
  out << "instruction\tFonction\tAdr\n";
  for (const ListRow& r : rows) out << r.instruction << '\t' << r.function << '\t' << r.address << '\n';
  return 0;
}

const bool kRegistered = RegisterCommand({"search", "PROGRAM TEXT|--not-interpreted", Search});

}  // namespace
}  // namespace hc11::cli
