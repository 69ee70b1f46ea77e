// Opening a program for the inspection commands (dump, search): its listing
// and code image through the session's Load and Init, workspace included.
#pragma once

#include <iosfwd>
#include <string>

#include "debugger/session.h"

namespace hc11::cli {

// False, with a line on `err`, when neither the listing nor the image can
// be read. With `flowchart` the listing also gets its pseudo-code and label
// index, which the search rows and stack lines name functions from.
bool OpenProgram(Session& session, const std::string& program, bool flowchart, std::ostream& err);

}  // namespace hc11::cli
