// Arbitrary bytes as a session file: refused with a line number, or read
// whole, in which case writing it back gives a file that reads to the same
// text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "recording/session_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const hc11::SessionReadResult first = hc11::ParseSession(text);
  if (!first.ok()) {
    if (first.message.empty() || first.session.has_value()) std::abort();
    return 0;
  }
  if (!first.session.has_value()) std::abort();
  const std::string written = hc11::FormatSession(*first.session);
  const hc11::SessionReadResult second = hc11::ParseSession(written);
  if (!second.ok() || hc11::FormatSession(*second.session) != written) std::abort();
  return 0;
}
