// Which program a session is replayed on when none is named: the CLI's
// `replay` and Python's hc11flow.replay() resolve it the same way.
#pragma once

#include <string>

#include "recording/session_file.h"

namespace hc11 {

// The program the header names, beside the session file; when nothing of it
// is there but it lies in the folder above (a "sessions" folder kept next to
// the program), that one. Otherwise the path beside the session, so that the
// load's refusal names where the program was expected.
std::string SessionProgramPath(const std::string& sessionPath, const SessionFile& session);

}  // namespace hc11
