// Arbitrary bytes as a "_Coord.txt" position file: reading, looking up and
// replacing lines must neither crash nor read out of bounds, and every
// position handed out is a number within the sheet's range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/messages.h"
#include "core/text_util.h"
#include "flowchart/coord_file.h"

namespace {

void CheckPosition(const std::string& text) {
  if (text.empty()) return;
  const auto value = hc11::StrToIntSigned(text);
  if (!value || *value < -1'000'000 || *value > 1'000'000) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  hc11::SilentMessages messages;
  hc11::TCoord coords;
  coords.Parse(text, messages);
  for (std::size_t i = 0; i < coords.Lines.size() && i < 256; ++i) {
    std::string line = coords.Lines[i];
    const std::string function = hc11::NextToken(line, ";");
    const std::string label = hc11::NextToken(line, ";");
    const hc11::CoordFields f = coords.ReadCoord(function, label);
    CheckPosition(f.x);
    CheckPosition(f.y);
    coords.Store(function, label, function + ";" + label + ";;;1;2");
  }
  return 0;
}
