// The COP watchdog: off while CONFIG's NOCOP bit is set (CONFIG reads $0C
// after Init until the firmware writes it); on, the firmware must
// write $55 then $AA to COPRST within 2^15 E cycles times 4^CR (OPTION's
// CR1:0), or the chip resets through the COP vector.
#pragma once

#include <cstdint>

#include "core/state_visitor.h"
#include "onchip/registers.h"

namespace hc11::onchip {

class Watchdog {
 public:
  static constexpr std::uint8_t kConfigAtReset = 0x0C;

  void Reset(std::int64_t now);
  void SetConfig(std::uint8_t config, std::int64_t now);
  void SetRate(std::uint8_t option);
  void Service(std::uint8_t value, std::int64_t now);  // a write to COPRST
  bool Enabled() const { return (config_ & kNoCop) == 0; }
  std::int64_t Timeout() const { return std::int64_t{1} << (15 + 2 * rate_); }
  // The cycle at which the watchdog resets the chip; kNever when off.
  std::int64_t NextEvent() const;
  std::uint8_t Config() const { return config_; }
  void Visit(StateVisitor& v);

 private:
  std::int64_t serviced_ = 0;
  std::uint8_t config_ = kConfigAtReset;
  std::uint8_t rate_ = 0;
  bool armed_ = false;  // $55 written, $AA awaited
};

}  // namespace hc11::onchip
