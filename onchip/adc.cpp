#include "onchip/adc.h"

#include <algorithm>

#include "onchip/registers.h"
#include "onchip/timer.h"

namespace hc11::onchip {

void Adc::Reset() {
  results_.fill(0);
  start_ = done_ = 0;
  control_ = 0;
  running_ = false;
  Schedule();
}

std::uint8_t Adc::Sample(unsigned slot) const {
  // CD selects the chip's internal test channels, which read 0 here.
  const unsigned channel = (control_ & kMult) != 0 ? (control_ & 0x0Cu) + slot : control_ & 0x0Fu;
  return channel < inputs_.size() ? inputs_[channel] : std::uint8_t{0};
}

void Adc::Convert(std::int64_t now) {
  if (!running_ || now <= start_) return;
  std::int64_t total = (now - start_) / kConversionCycles;
  if ((control_ & kScan) == 0) total = std::min<std::int64_t>(total, 4);
  // Only the last four conversions can still be seen.
  for (std::int64_t c = std::max(done_, total - 4); c < total; ++c) {
    const auto slot = static_cast<unsigned>(c & 3);
    results_[slot] = Sample(slot);
  }
  done_ = total;
  Schedule();
}

void Adc::Visit(StateVisitor& v) {
  v.Bytes("ADR", results_);
  VisitMoment(v, "start", start_);
  // A count of conversions, kept small enough for the next one's moment.
  v.Bounded("done", done_, std::int64_t{0}, kMomentLimit / kConversionCycles - 2);
  v.Field("ADCTL", control_);
  v.Field("running", running_);
  Schedule();
}

}  // namespace hc11::onchip
