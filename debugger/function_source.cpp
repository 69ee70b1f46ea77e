#include "debugger/function_source.h"

#include "core/text_util.h"
#include "listing/listing_loader.h"

namespace hc11 {

std::vector<std::string> FunctionSourceLines(const std::string& listingBase, const Flowchart& sheet) {
  std::optional<std::uint16_t> low, high;
  for (int b = 1; b <= sheet.Boxes.Count(); ++b) {
    for (const TLigne& line : sheet.Boxes[b].Lignes) {
      const auto a = StrToWord("$" + line.AddrText);
      if (line.AddrText.empty() || !a) continue;
      const auto end = StrToWord("$" + line.AddrEndText);
      if (!low || *a < *low) low = *a;
      const std::uint16_t last = end && *end > *a ? *end : *a;
      if (!high || last > *high) high = last;
    }
  }
  std::vector<std::string> lines;
  if (!low) return lines;
  ReadListingExcerpt(Format("%4.4X", *low), Format("%4.4X", *high), listingBase, lines);
  for (std::string& line : lines)
    if (!line.empty() && line.back() == '\r') line.pop_back();
  return lines;
}

}  // namespace hc11
