// Arbitrary bytes as the window's settings section and as a listing shown in
// the source pane: reading never crashes, a rewrite of a rewrite changes
// nothing, and every address found for a line leads back to a line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "workbench/source_map.h"
#include "workbench/view_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string once = hc11::RewriteViewSettings(text, hc11::ParseViewSettings(text));
  if (hc11::RewriteViewSettings(once, hc11::ParseViewSettings(once)) != once) std::abort();

  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.emplace_back(
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  const hc11::SourceMap map(lines, nullptr);
  for (std::size_t i = 0; i < map.Size(); ++i) {
    (void)hc11::CalleeOfSourceLine(map.Lines()[i]);
    const auto address = map.AddressOfLine(i);
    if (address && !map.LineOfAddress(*address)) std::abort();
  }
  return 0;
}
