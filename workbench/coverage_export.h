// The "Profil" window's exports: the session's coverage as an lcov
// tracefile, and an HTML report of it made by genhtml when it is installed.
#pragma once

#include <string>
#include <vector>

namespace hc11 {

// The tracefile offered first: beside the listing, named after it.
std::string DefaultLcovPath(const std::string& listingBase);
// The report's folder offered first: "<listing>_couverture" beside it.
std::string DefaultReportFolder(const std::string& listingBase);
// The tracefile written into the report's folder, which genhtml reads.
std::string ReportTracefile(const std::string& folder);
// genhtml's arguments for the tracefile `info`, the report in `folder`.
std::vector<std::string> GenhtmlArguments(const std::string& info, const std::string& folder);
// The report's first page.
std::string ReportIndex(const std::string& folder);

}  // namespace hc11
