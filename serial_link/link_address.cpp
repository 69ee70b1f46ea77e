#include "serial_link/link_address.h"

#include <charconv>

namespace hc11::serial {

namespace {

std::optional<long> Decimal(std::string_view text, long max) {
  long v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < 0 || v > max)
    return std::nullopt;
  return v;
}

bool HasControl(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

}  // namespace

ParsedLinkAddress ParseLinkAddress(std::string_view text) {
  LinkAddress address;
  if (HasControl(text)) return {std::nullopt, "control characters in the serial link"};
  if (text == "pty") return {address, {}};
  if (text.starts_with("pty:")) {
    address.path = std::string(text.substr(4));
    if (address.path.empty()) return {std::nullopt, "pty: the link name is empty"};
    return {address, {}};
  }
  if (text.starts_with("tcp:")) {
    const auto port = Decimal(text.substr(4), 65535);
    if (!port)
      return {std::nullopt, "tcp: expected a port 0 to 65535, got '" + std::string(text.substr(4)) + "'"};
    address.kind = LinkKind::Tcp;
    address.port = static_cast<int>(*port);
    return {address, {}};
  }
  if (text.starts_with("/")) {
    address.kind = LinkKind::Device;
    address.path = std::string(text);
    return {address, {}};
  }
  return {std::nullopt, "expected pty, pty:LINK, tcp:PORT or a device path, got '" + std::string(text) + "'"};
}

std::optional<long> ParseBaudRate(std::string_view text) {
  const auto v = Decimal(text, 4'000'000);
  if (!v || *v == 0) return std::nullopt;
  return v;
}

std::string DescribeSpec(const LinkAddress& address) {
  switch (address.kind) {
    case LinkKind::Pty:
      return address.path.empty() ? "pty" : "pty:" + address.path;
    case LinkKind::Tcp:
      return "tcp:" + std::to_string(address.port);
    case LinkKind::Device:
      return address.path;
  }
  return {};
}

}  // namespace hc11::serial
