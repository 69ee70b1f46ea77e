// The serial-link and real-time options of `hc11flow-cli run`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hc11::cli {

struct SerialOptions {
  std::string address;                // --serial: pty[:LINK], tcp:PORT or a device path
  bool wait = false;                  // --serial-wait: no run before a client is connected
  bool realtime = false;              // --realtime
  std::uint64_t seconds = 0;          // --seconds: wall-clock bound, 0 none
  std::uint64_t untilIdleMs = 0;      // --until-idle: host silence that ends the run, 0 none
  std::optional<long> baud;           // --baud, instead of the settings' "BaudRate"
  std::optional<std::int64_t> gapUs;  // --serial-gap MS: the idle gap that ends a host message

  bool Any() const { return !address.empty() || realtime || seconds > 0; }
};

struct SerialOptionResult {
  std::size_t consumed = 0;  // 0: args[i] is not a serial option
  std::string error;
};

SerialOptionResult ParseSerialOption(const std::vector<std::string>& args, std::size_t i,
                                     SerialOptions& options);

// Options that need --serial; empty when the set is consistent.
std::string CheckSerialOptions(const SerialOptions& options);

inline constexpr const char* kSerialUsage =
    "[--serial pty[:LINK]|tcp:PORT|DEVICE] [--serial-wait] [--baud N] [--serial-gap MS] [--realtime] "
    "[--seconds N] [--until-idle MS]";

}  // namespace hc11::cli
