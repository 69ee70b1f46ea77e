#include "app/cli/cli_session.h"

#include <filesystem>
#include <ostream>

#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "flowchart/text_metrics.h"

namespace hc11::cli {

bool OpenProgram(Session& session, const std::string& program, bool flowchart, std::ostream& err) {
  const std::string base = Session::BaseOf(program);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(base + ".lst", ec) &&
      !std::filesystem::is_regular_file(base + ".HEX", ec)) {
    err << "cannot read '" << base << ".lst' or '" << base << ".HEX'\n";
    return false;
  }
  const LoadReport report = session.Load(base);
  if (flowchart && report.listingRead) {
    ConvertAll(session.listing());
    const FixedTextMetrics metrics;
    Flowchart(session.listing(), session.messages(), metrics).BuildLabelIndex();
  }
  return true;
}

}  // namespace hc11::cli
