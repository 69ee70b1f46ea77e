// Opening a program the way `run` does: the settings' patches, the
// workspace (unless --no-workspace), the board options around the load, the
// start address, and the command line's breakpoints and watches. Shared by
// the commands that run a program (run, gdbserver).
#pragma once

#include <functional>
#include <ostream>

#include "app/cli/cli_run_options.h"
#include "debugger/controller.h"

namespace hc11::cli {

// False, with a line "hc11flow-cli COMMAND: ..." on `err`, when the settings
// or the program cannot be read or a board option does not apply.
// `loaded` is called right after the load, before the panel inputs given
// after it (a session recording starts there, so it holds them).
bool PrepareRunSession(const RunOptions& o, Controller& controller, const char* command, std::ostream& err,
                       const std::function<void()>& loaded = {});

}  // namespace hc11::cli
