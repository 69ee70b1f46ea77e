#include "onchip/watchdog.h"

#include "onchip/timer.h"

namespace hc11::onchip {

void Watchdog::Reset(std::int64_t now) {
  serviced_ = now;
  config_ = kConfigAtReset;
  rate_ = 0;
  armed_ = false;
}

void Watchdog::SetConfig(std::uint8_t config, std::int64_t now) {
  if (!Enabled()) serviced_ = now;  // the count starts when the COP comes on
  config_ = config;
}

void Watchdog::SetRate(std::uint8_t option) {
  rate_ = static_cast<std::uint8_t>(option & 3);
}

void Watchdog::Service(std::uint8_t value, std::int64_t now) {
  if (value == 0x55) {
    armed_ = true;
  } else if (value == 0xAA && armed_) {
    serviced_ = now;
    armed_ = false;
  }
  // Any other value leaves the sequence as it was, as on the chip.
}

std::int64_t Watchdog::NextEvent() const {
  return Enabled() ? serviced_ + Timeout() : kNever;
}

void Watchdog::Visit(StateVisitor& v) {
  VisitMoment(v, "serviced", serviced_);
  v.Field("CONFIG", config_);
  v.Bounded("rate", rate_, std::uint8_t{0}, std::uint8_t{3});
  v.Field("armed", armed_);
}

}  // namespace hc11::onchip
