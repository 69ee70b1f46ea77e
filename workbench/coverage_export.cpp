#include "workbench/coverage_export.h"

namespace hc11 {

std::string DefaultLcovPath(const std::string& listingBase) {
  return listingBase + ".info";
}

std::string DefaultReportFolder(const std::string& listingBase) {
  return listingBase + "_couverture";
}

std::string ReportTracefile(const std::string& folder) {
  return folder + "/couverture.info";
}

std::vector<std::string> GenhtmlArguments(const std::string& info, const std::string& folder) {
  // --quiet: the window reports the outcome itself; branches are in the file.
  return {"--quiet", "--branch-coverage", "--output-directory", folder, info};
}

std::string ReportIndex(const std::string& folder) {
  return folder + "/index.html";
}

}  // namespace hc11
