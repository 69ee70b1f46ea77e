#include "onchip/timer.h"

#include <algorithm>

#include "onchip/registers.h"

namespace hc11::onchip {

namespace {

std::uint8_t OcBit(std::size_t k) {
  return static_cast<std::uint8_t>(kOc1F >> k);
}

}  // namespace

void Timer::Reset(std::int64_t now) {
  origin_ = now;
  doneTick_ = 0;
  toc_.fill(0xFFFF);
  tmsk1_ = tflg1_ = tmsk2_ = tflg2_ = pactl_ = 0;
  rtiNext_ = now + RtiPeriod();
}

std::uint8_t Timer::Read(std::uint8_t offset, std::int64_t now) const {
  if (offset == kTcntHigh) return static_cast<std::uint8_t>(Count(now) >> 8);
  if (offset == kTcntLow) return static_cast<std::uint8_t>(Count(now));
  if (offset >= kToc1 && offset <= kToc5End) {
    const std::uint16_t v = toc_[(offset - kToc1) / 2u];
    return static_cast<std::uint8_t>((offset - kToc1) % 2 == 0 ? v >> 8 : v);
  }
  switch (offset) {
    case kTmsk1:
      return tmsk1_;
    case kTflg1:
      return tflg1_;
    case kTmsk2:
      return tmsk2_;
    case kTflg2:
      return tflg2_;
    case kPactl:
      return pactl_;
    default:
      return 0;
  }
}

void Timer::Write(std::uint8_t offset, std::uint8_t value, std::int64_t now) {
  if (offset >= kToc1 && offset <= kToc5End) {
    std::uint16_t& v = toc_[(offset - kToc1) / 2u];
    v = (offset - kToc1) % 2 == 0 ? static_cast<std::uint16_t>(value << 8 | (v & 0xFF))
                                  : static_cast<std::uint16_t>((v & 0xFF00) | value);
    return;
  }
  switch (offset) {
    case kTmsk1:
      tmsk1_ = static_cast<std::uint8_t>(value & 0xF8);
      break;
    case kTflg1:
      tflg1_ = static_cast<std::uint8_t>(tflg1_ & ~value);  // a one clears its flag
      break;
    case kTmsk2: {
      // TCNT keeps its count across a new prescaler.
      const std::int64_t ticks = Ticks(now);
      tmsk2_ = value;
      origin_ = now - (ticks << Shift());
      break;
    }
    case kTflg2:
      tflg2_ = static_cast<std::uint8_t>(tflg2_ & ~value);
      break;
    case kPactl:
      pactl_ = value;
      rtiNext_ = now + RtiPeriod();
      break;
    default:
      break;  // TCNT is read-only
  }
}

void Timer::Advance(std::int64_t now) {
  const std::int64_t ticks = Ticks(now);
  if (ticks > doneTick_) {
    for (std::size_t k = 0; k < toc_.size(); ++k)
      if (NextMatch(toc_[k]) <= ticks) tflg1_ |= OcBit(k);
    if (NextMatch(0) <= ticks) tflg2_ |= kTof;
    doneTick_ = ticks;
  }
  if (now >= rtiNext_) {
    tflg2_ |= kRtif;
    rtiNext_ += ((now - rtiNext_) / RtiPeriod() + 1) * RtiPeriod();
  }
}

std::int64_t Timer::NextEvent() const {
  std::int64_t next = kNever;
  for (std::size_t k = 0; k < toc_.size(); ++k)
    if ((tflg1_ & OcBit(k)) == 0) next = std::min(next, CycleOf(NextMatch(toc_[k])));
  if ((tflg2_ & kTof) == 0) next = std::min(next, CycleOf(NextMatch(0)));
  if ((tflg2_ & kRtif) == 0) next = std::min(next, rtiNext_);
  return next;
}

std::uint16_t Timer::Pending() const {
  std::uint16_t pending = 0;
  const std::uint8_t oc = tflg1_ & tmsk1_;
  for (std::size_t k = 0; k < toc_.size(); ++k)
    if (oc & OcBit(k)) pending |= static_cast<std::uint16_t>(Bit(Source::Oc1) << k);
  const std::uint8_t flags2 = tflg2_ & tmsk2_;
  if (flags2 & kTof) pending |= Bit(Source::Tof);
  if (flags2 & kRtif) pending |= Bit(Source::Rti);
  return pending;
}

void Timer::Visit(StateVisitor& v) {
  VisitMoment(v, "origin", origin_);
  VisitMoment(v, "doneTick", doneTick_);
  VisitMoment(v, "rtiNext", rtiNext_);
  for (std::uint16_t& t : toc_) v.Field("TOC", t);
  v.Field("TMSK1", tmsk1_);
  v.Field("TFLG1", tflg1_);
  v.Field("TMSK2", tmsk2_);
  v.Field("TFLG2", tflg2_);
  v.Field("PACTL", pactl_);
}

}  // namespace hc11::onchip
