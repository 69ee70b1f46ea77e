#include "serial_link/link_spec.h"

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

ParsedLinkSpec ParseLinkSpec(std::string_view text) {
  LinkSpec spec;
  if (HasControl(text)) return {std::nullopt, "control characters in the serial link"};
  if (text == "pty") return {spec, {}};
  if (text.starts_with("pty:")) {
    spec.path = std::string(text.substr(4));
    if (spec.path.empty()) return {std::nullopt, "pty: the link name is empty"};
    return {spec, {}};
  }
  if (text.starts_with("tcp:")) {
    const auto port = Decimal(text.substr(4), 65535);
    if (!port)
      return {std::nullopt, "tcp: expected a port 0 to 65535, got '" + std::string(text.substr(4)) + "'"};
    spec.kind = LinkKind::Tcp;
    spec.port = static_cast<int>(*port);
    return {spec, {}};
  }
  if (text.starts_with("/")) {
    spec.kind = LinkKind::Device;
    spec.path = std::string(text);
    return {spec, {}};
  }
  return {std::nullopt, "expected pty, pty:LINK, tcp:PORT or a device path, got '" + std::string(text) + "'"};
}

std::optional<long> ParseBaudRate(std::string_view text) {
  const auto v = Decimal(text, 4'000'000);
  if (!v || *v == 0) return std::nullopt;
  return v;
}

std::string DescribeSpec(const LinkSpec& spec) {
  switch (spec.kind) {
    case LinkKind::Pty:
      return spec.path.empty() ? "pty" : "pty:" + spec.path;
    case LinkKind::Tcp:
      return "tcp:" + std::to_string(spec.port);
    case LinkKind::Device:
      return spec.path;
  }
  return {};
}

}  // namespace hc11::serial
