#include "debugger/function_source.h"

#include "core/file_read.h"
#include "core/text_util.h"

namespace hc11 {

std::vector<std::string> FunctionSourceLines(const std::string& listingFile, const Flowchart& sheet) {
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
  BoundedLineFile in(listingFile, kSourceLineChars);
  std::string line;
  bool started = false;
  while (lines.size() < kSourceLinesMax && in.Next(line)) {
    const auto a = line.size() >= 4 ? StrToWord("$" + line.substr(0, 4)) : std::nullopt;
    if (!started && (!a || *a != *low)) continue;
    if (started && a && *a > *high) break;
    started = true;
    lines.push_back(line);
  }
  return lines;
}

}  // namespace hc11
