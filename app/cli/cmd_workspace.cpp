// hc11flow-cli workspace FILE.Zan: the breakpoints and watches a workspace
// holds, as the lists show them; a read error goes to stderr (exit 1).
#include <cerrno>
#include <cstring>
#include <ostream>

#include "app/cli/cli_command.h"
#include "core/message_text.h"
#include "debugger/whole_file.h"
#include "debugger/workspace_file.h"

namespace hc11::cli {
namespace {

int Workspace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "usage: hc11flow-cli workspace FILE.Zan\n";
    return kExitUsage;
  }
  std::string bytes, reason;
  bool missing = false;
  if (!ReadWhole(args[0], bytes, missing, &reason) || missing) {
    err << "hc11flow-cli workspace: cannot read '" << QuoteText(args[0])
        << "': " << (missing ? std::strerror(ENOENT) : reason) << "\n";
    return kExitUsage;
  }
  const WorkspaceRead read = DecodeWorkspace(bytes);
  for (const Tbreak& b : read.workspace.breaks) out << "break: " << BreakLine(b) << '\n';
  for (const TSurv& w : read.workspace.watches) out << "watch: " << WatchLine(w, "xxx") << '\n';
  for (const std::string& note : read.notes) err << args[0] << ": " << note << '\n';
  if (read.error.empty()) return 0;
  err << args[0] << ": " << read.error << '\n';
  return 1;
}

const bool kRegistered = RegisterCommand({"workspace", "FILE.Zan", Workspace});

}  // namespace
}  // namespace hc11::cli
