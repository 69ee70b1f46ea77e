// hc11flow-cli flowchart PROGRAM FUNCTION [--png FILE] [--svg FILE] [--boxes]
// [--layout design|clear] [--comments] [--local-labels]:
// builds one function's sheet as the window does after a load (label index,
// saved positions, layout), prints its boxes and lines as text and/or writes
// it as an image.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/cli/cli_flowchart_render.h"
#include "core/messages.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "flowchart/sheet_legibility.h"
#include "listing/listing_files.h"
#include "listing/listing_loader.h"

namespace hc11::cli {
namespace {

// Message boxes are kept in order and printed after the sheet.
class CollectedMessages final : public Messages {
 public:
  void Show(MsgKind, std::string_view caption, std::string_view text) override {
    lines.push_back(std::string(caption) + ": " + std::string(text));
  }
  std::vector<std::string> lines;
};

struct FlowchartOptions {
  std::string program, function, png, svg;
  bool boxes = false;
  bool clear = true;         // --layout clear: overlapping subtrees are moved apart
  bool comments = false;     // as "Aff Commentaires"
  bool localLabels = false;  // as "Aff LabelsLocal"
};

constexpr const char* kUsage =
    "PROGRAM FUNCTION [--png FILE] [--svg FILE] [--boxes] [--layout design|clear] [--comments] "
    "[--local-labels]";

bool ParseOptions(const std::vector<std::string>& args, FlowchartOptions& o) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--boxes") {
      o.boxes = true;
    } else if (a == "--comments") {
      o.comments = true;
    } else if (a == "--local-labels") {
      o.localLabels = true;
    } else if ((a == "--png" || a == "--svg") && i + 1 < args.size()) {
      (a == "--png" ? o.png : o.svg) = args[++i];
    } else if (a == "--layout" && i + 1 < args.size() &&
               (args[i + 1] == "design" || args[i + 1] == "clear")) {
      o.clear = args[++i] == "clear";
    } else if (a.rfind("--", 0) == 0) {
      return false;
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) return false;
  o.program = positional[0];
  o.function = positional[1];
  if (o.png.empty() && o.svg.empty()) o.boxes = true;
  return true;
}

int RunFlowchart(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  FlowchartOptions o;
  if (!ParseOptions(args, o)) {
    err << "usage: hc11flow-cli flowchart " << kUsage << '\n';
    return kExitUsage;
  }
  // Like "pseudo", a dump leaves no function-list file behind.
  Listing listing;
  std::uint16_t startPC = 0;
  CollectedMessages messages;
  if (!ReadListing(listing, o.program, startPC, messages, /*readSymbols=*/false)) {
    err << ListingProblemText(o.program, o.program) << '\n';
    return kExitUsage;
  }
  ConvertAll(listing);

  // Images are measured with the font they are painted in.
  FlowchartImageWriter writer;
  const bool images = !o.png.empty() || !o.svg.empty();
  const FixedTextMetrics fixed;
  const TextMetrics& metrics = images ? writer.Metrics() : fixed;
  if (images && !writer.FontWarning().empty()) err << "flowchart: " << writer.FontWarning() << '\n';
  Flowchart sheet(listing, messages, metrics);
  sheet.NoOverlapLayout = o.clear;
  sheet.ShowLocalLabels = o.localLabels;
  writer.SetShowComments(o.comments);
  sheet.BuildLabelIndex();
  if (!listing.LineList.empty()) sheet.LoadCoordFile(o.program);
  const bool built = sheet.BuildFlowchart(o.function);

  if (o.boxes) {
    for (const std::string& line : sheet.DescribeSheet()) out << line << '\n';
    if (built) out << LegibilityLine(MeasureLegibility(sheet, o.comments)) << '\n';
    for (const std::string& line : messages.lines) out << line << '\n';
  } else {
    for (const std::string& line : messages.lines) err << line << '\n';
  }
  if (!built) {
    err << "flowchart: no box for function " << o.function << '\n';
    return 1;
  }
  std::string error;
  if (!o.png.empty() && !writer.WritePng(sheet, o.png, error)) {
    err << "flowchart: " << error << '\n';
    return 1;
  }
  if (!o.svg.empty() && !writer.WriteSvg(sheet, o.svg, error)) {
    err << "flowchart: " << error << '\n';
    return 1;
  }
  return 0;
}

const bool kRegistered = RegisterCommand({"flowchart", kUsage, RunFlowchart});

}  // namespace
}  // namespace hc11::cli
