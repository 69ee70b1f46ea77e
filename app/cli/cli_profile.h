// `run --profile` and `run --coverage FILE.info`: counting switched on before
// the run commands, the "profile:" lines and the lcov tracefile after them.
#pragma once

#include <ostream>
#include <string>

namespace hc11 {
class Session;
}

namespace hc11::cli {

struct ProfileOptions {
  bool profile = false;  // "profile:" lines after the usual output
  std::string coverage;  // lcov tracefile to write; empty: none
  bool Wanted() const { return profile || !coverage.empty(); }
};

// Counting on when either option is given (the counts start from the load's Init).
void StartProfiling(const ProfileOptions& o, Session& session);

// Prints the "profile:" lines and writes the tracefile; false (with the
// reason on `err`) when the tracefile cannot be written.
bool FinishProfiling(const ProfileOptions& o, Session& session, std::ostream& out, std::ostream& err);

}  // namespace hc11::cli
