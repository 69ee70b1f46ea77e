// Arbitrary host bytes and timings through the serial link's framing, and
// arbitrary text as a link address and a baud rate: nothing crashes, no message
// is empty or over the buffer's size, the backlog stays within its bound and
// every byte fed is delivered, held or counted as dropped.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "serial_link/link_address.h"
#include "serial_link/message_framer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto newline = text.find('\n');
  const std::string_view head = text.substr(0, newline);
  if (const auto address = hc11::serial::ParseLinkAddress(head).address) {
    if (hc11::serial::ParseLinkAddress(hc11::serial::DescribeSpec(*address)).address->path != address->path)
      std::abort();
  }
  (void)hc11::serial::ParseBaudRate(head);

  constexpr std::size_t kMessage = 16, kBacklog = 256;
  hc11::serial::MessageFramer f({500, kMessage, kBacklog});
  std::uint64_t fed = 0, taken = 0, cleared = 0;
  std::int64_t now = 0;
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t op = data[i++];
    now += (op >> 3) * 16;  // time moves on by up to 31 steps of 16 us
    switch (op & 7) {
      case 0:
      case 1:
      case 2: {  // a chunk of host bytes
        const std::size_t n = std::min<std::size_t>(size - i, (op & 3) * 40 + 1);
        f.Feed({data + i, n}, now);
        fed += n;
        i += n;
        break;
      }
      case 3:
        f.Tick(now);
        break;
      case 4:
      case 5:
        if (const auto m = f.Take()) {
          if (m->empty() || m->size() > kMessage) std::abort();
          taken += m->size();
        }
        break;
      case 6:
        f.Flush();
        break;
      default:
        cleared += f.Backlog();
        f.Clear();
        break;
    }
    if (f.Backlog() > kBacklog) std::abort();
    if (fed != taken + cleared + f.Backlog() + f.DroppedBytes()) std::abort();
    (void)f.TakeReports();
  }
  return 0;
}
