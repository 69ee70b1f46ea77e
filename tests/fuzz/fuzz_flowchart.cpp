// Arbitrary bytes as a program listing and its saved positions: the rewrite
// into pseudo-code, the label index (every function's sheet) and each
// function's laid-out sheet must neither crash, overflow nor read out of
// bounds. The input is the listing, then a line "=====", then the
// "_Coord.txt" content.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet.h"
#include "flowchart/text_metrics.h"
#include "listing/listing_loader.h"

namespace {
// Sheets of every function: keep the work per input bounded.
constexpr std::size_t kMaxSheets = 64;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find("\n=====\n");
  const std::string_view listingText = input.substr(0, split);
  const std::string_view coordText =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 7);

  hc11::Listing listing;
  std::uint16_t startPC = 0;
  hc11::SilentMessages messages;
  hc11::ParseListingText(listing, listingText, startPC, messages, false);
  hc11::ConvertAll(listing);

  const hc11::FixedTextMetrics metrics;
  hc11::Flowchart sheet(listing, messages, metrics);
  sheet.Coords().Parse(coordText, messages);
  sheet.BuildLabelIndex();

  std::vector<std::string> names;
  for (const auto& entry : listing.FunctionList.entries) {
    if (names.size() == kMaxSheets) break;
    names.push_back(entry.first);
  }
  for (const std::string& name : names) {
    if (sheet.BuildFlowchart(name)) (void)sheet.DescribeSheet();
  }
  return 0;
}
