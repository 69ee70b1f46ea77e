#include "onchip/onchip.h"

#include <algorithm>
#include <array>
#include <bit>

#include "onchip/registers.h"

namespace hc11::onchip {

namespace {

// What each PSEL3:0 value promotes; 0101 is reserved and leaves IRQ first.
constexpr std::array<Source, 16> kPromoted = {
    Source::Tof, Source::Paov, Source::Pai, Source::Spi, Source::Sci, Source::Irq, Source::Irq, Source::Rti,
    Source::Ic1, Source::Ic2,  Source::Ic3, Source::Oc1, Source::Oc2, Source::Oc3, Source::Oc4, Source::Oc5,
};

}  // namespace

int HighestPending(std::uint16_t pending, std::uint8_t hprio) {
  if (pending == 0) return -1;
  const Source promoted = kPromoted[hprio & 0x0F];
  if (pending & Bit(promoted)) return static_cast<int>(promoted);
  return std::countr_zero(pending);
}

const std::array<OnChip::Device, 0x40> OnChip::kDevices = [] {
  std::array<Device, 0x40> devices{};
  for (std::size_t offset = 0; offset < devices.size(); ++offset) {
    if (offset == kTcntHigh || offset == kTcntLow ||
        (offset >= kToc1 && offset <= kPactl && offset != 0x20 && offset != 0x21))
      devices[offset] = Device::Timer;
    else if (offset >= kBaud && offset <= kScdr)
      devices[offset] = Device::Sci;
    else if (offset >= kAdctl && offset <= kAdr4)
      devices[offset] = Device::Adc;
    else if (offset == kOption || offset == kCoprst || offset == kHprio || offset == kConfig)
      devices[offset] = Device::System;
  }
  return devices;
}();

void OnChip::Reset(std::int64_t now) {
  timer.Reset(now);
  cop.Reset(now);
  sci.Reset();
  adc.Reset();
  option_ = 0;
  hprio_ = kHprioAtReset;
  AllChanged();
}

void OnChip::TimerChanged() {
  timerNext_ = timer.NextEvent();
  timerPending_ = timer.Pending();
  scheduleChanged_ = true;
}

void OnChip::SciChanged() {
  sciNext_ = sci.NextEvent();
  sciPending_ = sci.Pending() ? Bit(Source::Sci) : 0;
  scheduleChanged_ = true;
}

void OnChip::AllChanged() {
  TimerChanged();
  SciChanged();
  CopChanged();
}

void OnChip::AdvanceTimer(std::int64_t now) {
  timer.Advance(now);
  TimerChanged();
}

void OnChip::AdvanceSci(std::int64_t now) {
  sci.Advance(now);
  SciChanged();
}

std::uint8_t OnChip::Peek(std::uint8_t offset, std::int64_t now) const {
  if (offset >= kBaud && offset <= kScdr) return sci.Peek(offset);
  if (DeviceOf(offset) == Device::Adc) return ReadAdc(offset);
  switch (offset) {
    case kOption:
      return option_;
    case kCoprst:
      return 0;
    case kHprio:
      return hprio_;
    case kConfig:
      return cop.Config();
    default:
      return timer.Read(offset, now);
  }
}

std::uint8_t OnChip::ReadOther(std::uint8_t offset, std::int64_t now) {
  switch (DeviceOf(offset)) {
    case Device::Sci:
      if (now >= sciNext_ || offset == kScdr) return ReadSciChanging(offset, now);
      return sci.Read(offset);
    case Device::Timer:
      if (now >= timerNext_) AdvanceTimer(now);
      return timer.Read(offset, now);
    case Device::Adc:
      adc.Advance(now);
      return ReadAdc(offset);
    case Device::System:
    case Device::None:
      break;
  }
  return Peek(offset, now);
}

std::uint8_t OnChip::ReadSciChanging(std::uint8_t offset, std::int64_t now) {
  sci.Advance(now);
  const std::uint8_t value = sci.Read(offset);
  SciChanged();
  return value;
}

std::uint8_t OnChip::WriteOther(std::uint8_t offset, std::uint8_t value, std::int64_t now) {
  if (DeviceOf(offset) == Device::Sci) {
    sci.Advance(now);
    sci.Write(offset, value, now);
    SciChanged();
  } else if (offset == kOption) {
    option_ = value;
    cop.SetRate(value);
    CopChanged();
  } else if (offset == kCoprst) {
    cop.Service(value, now);
    CopChanged();
  } else if (offset == kHprio) {
    hprio_ = value;
  } else if (offset == kConfig) {
    cop.SetConfig(value, now);
    CopChanged();
  } else {
    timer.Advance(now);
    timer.Write(offset, value, now);
    TimerChanged();
  }
  return Peek(offset, now);
}

ChipRequest OnChip::Service(std::int64_t now, bool unmasked) {
  // A device whose next event is still ahead has nothing to bring up to
  // date: its flags change only at that event or at its own registers.
  if (now >= timerNext_) AdvanceTimer(now);
  if (now >= sciNext_) AdvanceSci(now);
  if (now >= copNext_) {
    // CONFIG is the chip's EEPROM: the COP's own reset keeps it.
    const std::uint8_t config = cop.Config();
    Reset(now);
    cop.SetConfig(config, now);
    CopChanged();
    return {ChipRequest::Kind::Reset, kCopVector};
  }
  if (!unmasked) return {};
  const int source = HighestPending(Pending(), hprio_);
  if (source < 0) return {};
  return {ChipRequest::Kind::Interrupt, VectorOf(static_cast<Source>(source))};
}

std::size_t OnChip::Arrive(std::span<const std::uint8_t> bytes, std::int64_t now) {
  sci.Advance(now);
  const std::size_t taken = sci.Arrive(bytes, now);
  SciChanged();
  return taken;
}

void OnChip::Visit(StateVisitor& v) {
  v.Begin("timer");
  timer.Visit(v);
  v.End();
  v.Begin("cop");
  cop.Visit(v);
  v.End();
  v.Begin("sci");
  sci.Visit(v);
  v.End();
  v.Begin("adc");
  adc.Visit(v);
  v.End();
  v.Field("OPTION", option_);
  v.Field("HPRIO", hprio_);
  AllChanged();  // the devices' next events and sources follow from their state
}

}  // namespace hc11::onchip
