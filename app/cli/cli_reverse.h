// `hc11flow-cli run` after its runs: steps back (--back K), a run back to the
// previous breakpoint (--back-run), and the state digest (--digest).
#pragma once

#include <cstdint>
#include <iosfwd>

#include "debugger/controller.h"
#include "debugger/session.h"

namespace hc11::cli {

struct ReverseOptions {
  std::uint64_t back = 0;  // steps back
  bool backRun = false;    // "Exécuter en arrière"
  bool digest = false;     // last line "digest: " and the hexadecimal digest
  bool Records() const { return back > 0 || backRun; }
};

// Switches recording on when the options will go back.
void PrepareReverse(const ReverseOptions& r, Session& session);

// The run back first, then the steps back; each prints the status, message
// and trace lines of the moment reached, then the reach.
void RunReverse(const ReverseOptions& r, Controller& controller, std::ostream& out);

// "digest: " and sixteen hexadecimal digits, when asked.
void PrintDigest(const ReverseOptions& r, Session& session, std::ostream& out);

}  // namespace hc11::cli
