#include "app/cli/cli_serial_options.h"

#include <charconv>
#include <string_view>

#include "serial_link/link_address.h"

namespace hc11::cli {

namespace {

std::optional<std::uint64_t> Count(std::string_view text, std::uint64_t max) {
  std::uint64_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v == 0 || v > max)
    return std::nullopt;
  return v;
}

}  // namespace

SerialOptionResult ParseSerialOption(const std::vector<std::string>& args, std::size_t i, SerialOptions& o) {
  const std::string& a = args[i];
  if (a == "--serial-wait") {
    o.wait = true;
    return {1, {}};
  }
  if (a == "--realtime") {
    o.realtime = true;
    return {1, {}};
  }
  const bool takesValue =
      a == "--serial" || a == "--baud" || a == "--serial-gap" || a == "--seconds" || a == "--until-idle";
  if (!takesValue) return {};
  if (i + 1 >= args.size()) return {0, a + " needs a value"};
  const std::string& v = args[i + 1];
  if (a == "--serial") {
    const auto parsed = serial::ParseLinkAddress(v);
    if (!parsed.address) return {0, "--serial: " + parsed.error};
    o.address = v;
  } else if (a == "--baud") {
    const auto baud = serial::ParseBaudRate(v);
    if (!baud) return {0, "--baud: expected a positive decimal rate, got '" + v + "'"};
    o.baud = baud;
  } else if (a == "--serial-gap") {
    // Milliseconds, fractions allowed: a fast host link may want less than the 2 ms default.
    double ms = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), ms);
    if (v.empty() || ec != std::errc() || end != v.data() + v.size() || !(ms >= 0.05) || ms > 60'000)
      return {0, "--serial-gap: expected milliseconds from 0.05 to 60000, got '" + v + "'"};
    o.gapUs = static_cast<std::int64_t>(ms * 1000);
  } else {
    // A day at most for the durations, so that microseconds never overflow.
    const bool seconds = a == "--seconds";
    const auto n = Count(v, seconds ? 86'400 : 86'400'000);
    if (!n) return {0, a + ": expected a positive decimal number, got '" + v + "'"};
    if (seconds) {
      o.seconds = *n;
    } else {
      o.untilIdleMs = *n;
    }
  }
  return {2, {}};
}

std::string CheckSerialOptions(const SerialOptions& o) {
  if (!o.address.empty()) return {};
  if (o.wait) return "--serial-wait needs --serial";
  if (o.untilIdleMs > 0) return "--until-idle needs --serial";
  if (o.gapUs) return "--serial-gap needs --serial";
  return {};
}

}  // namespace hc11::cli
