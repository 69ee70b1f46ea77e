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
}

void Adc::Start(std::uint8_t control, bool powered, std::int64_t now) {
  control_ = control;
  start_ = now;
  done_ = 0;
  running_ = powered;
}

std::uint8_t Adc::Sample(std::int64_t conversion) const {
  const unsigned slot = static_cast<unsigned>(conversion % 4);
  // CD selects the chip's internal test channels, which read 0 here.
  const unsigned channel = (control_ & kMult) != 0 ? (control_ & 0x0Cu) + slot : control_ & 0x0Fu;
  return channel < inputs_.size() ? inputs_[channel] : std::uint8_t{0};
}

void Adc::Advance(std::int64_t now) {
  if (!running_ || now <= start_) return;
  std::int64_t total = (now - start_) / kConversionCycles;
  if ((control_ & kScan) == 0) total = std::min<std::int64_t>(total, 4);
  // Only the last four conversions can still be seen.
  for (std::int64_t c = std::max(done_, total - 4); c < total; ++c)
    results_[static_cast<std::size_t>(c % 4)] = Sample(c);
  done_ = total;
}

void Adc::Visit(StateVisitor& v) {
  v.Bytes("ADR", results_);
  VisitMoment(v, "start", start_);
  VisitMoment(v, "done", done_);
  v.Field("ADCTL", control_);
  v.Field("running", running_);
}

}  // namespace hc11::onchip
