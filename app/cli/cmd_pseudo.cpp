// hc11flow-cli pseudo PROGRAM: the program's line list after the pseudo-code
// rewriting, one record per line, as the flowchart will draw it.
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/cli/cli_messages.h"
#include "core/messages.h"
#include "flowchart/pseudo_code.h"
#include "listing/listing_files.h"

namespace hc11::cli {
namespace {

int RunPseudo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "usage: hc11flow-cli pseudo PROGRAM\n";
    return kExitUsage;
  }
  CliMessages messages(err);
  if (!WritePseudoListing(args[0], out, messages)) {
    err << ListingProblemText(args[0], args[0]) << '\n';
    return kExitUsage;
  }
  return 0;
}

const bool kRegistered = RegisterCommand({"pseudo", "PROGRAM", RunPseudo});

}  // namespace
}  // namespace hc11::cli
