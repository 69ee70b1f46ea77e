#include "app/cli/cli_profile.h"

#include "debugger/session.h"
#include "listing/listing_files.h"
#include "profile/lcov_file.h"

namespace hc11::cli {

void StartProfiling(const ProfileOptions& o, Session& session) {
  if (!o.Wanted()) return;
  session.profiler().Enable(session.machine(), true);
}

bool FinishProfiling(const ProfileOptions& o, Session& session, std::ostream& out, std::ostream& err) {
  Profiler& profiler = session.profiler();
  if (o.profile) {
    for (const std::string& line : ProfileLines(profiler.Table(session.machine().CycleCount)))
      out << line << '\n';
  }
  if (o.coverage.empty()) return true;
  if (session.ListingBase().empty() || session.listing().LineList.empty()) {
    err << "hc11flow-cli run: --coverage: no listing was read\n";
    return false;
  }
  std::string error;
  if (!WriteLcovFile(o.coverage, ListingFileName(session.ListingBase()), session.listing(),
                     session.machine().Memory, profiler, error)) {
    err << "hc11flow-cli run: --coverage: " << error << '\n';
    return false;
  }
  return true;
}

}  // namespace hc11::cli
