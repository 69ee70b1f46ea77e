// The processor's own devices in exact mode: timer, COP watchdog, serial
// interface and A/D converter behind their registers, and the interrupt
// priority HPRIO resolves. The board hands them the on-chip registers'
// accesses and the machine's CycleCount as `now`.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/machine.h"
#include "core/state_visitor.h"
#include "onchip/adc.h"
#include "onchip/sci.h"
#include "onchip/timer.h"
#include "onchip/watchdog.h"

namespace hc11::onchip {

// The source served first among `pending` (Bit(Source) bits): the one
// HPRIO's PSEL3:0 promotes, then the chip's default order. -1 for none.
int HighestPending(std::uint16_t pending, std::uint8_t hprio);

class OnChip {
 public:
  static constexpr std::uint8_t kHprioAtReset = 0x06;  // PSEL: IRQ first, the default order

  explicit OnChip(std::span<const std::uint8_t, 8> analogInputs) : adc(analogInputs) {}

  // The device behind each register-block offset.
  enum class Device : std::uint8_t { None, Timer, Sci, Adc, System };
  static Device DeviceOf(std::uint8_t offset) {
    return offset < kDevices.size() ? kDevices[offset] : Device::None;
  }
  // True for the register-block offsets these devices answer.
  static bool Answers(std::uint8_t offset) { return DeviceOf(offset) != Device::None; }

  void Reset(std::int64_t now);
  // The firmware's polling reads a status register in a loop: a read brings
  // its device up to date only when one of the device's events is due, and
  // only SCDR or a due event changes what the devices schedule.
  std::uint8_t Read(std::uint8_t offset, std::int64_t now) {
    const int polled = ReadPolled(offset, now);
    return polled >= 0 ? static_cast<std::uint8_t>(polled) : ReadOther(offset, now);
  }
  // The commonest reads, served with no call and no change to the schedule:
  // SCSR and the A/D registers while their device has nothing due. -1 for
  // every other read.
  int ReadPolled(std::uint8_t offset, std::int64_t now) {
    switch (DeviceOf(offset)) {
      case Device::Sci:
        if (offset == kScsr && now < sciNext_) return sci.Read(kScsr);
        break;
      case Device::Adc:
        if (!adc.Due(now)) return ReadAdc(offset);
        break;
      default:
        break;
    }
    return -1;
  }
  // True once since the devices' next event or pending sources changed.
  bool TakeScheduleChanged() {
    const bool changed = scheduleChanged_;
    scheduleChanged_ = false;
    return changed;
  }
  // The byte a read would give, with no flag cleared (the memory dump's copy).
  std::uint8_t Peek(std::uint8_t offset, std::int64_t now) const;
  // Returns the byte a read would now give, for the register block's copy.
  std::uint8_t Write(std::uint8_t offset, std::uint8_t value, std::int64_t now) {
    if (DeviceOf(offset) != Device::Adc) return WriteOther(offset, value, now);
    adc.Advance(now);
    return WriteAdc(offset, value, now);
  }
  // Starting a conversion is the commonest write, and changes nothing the
  // devices schedule: served with no call while the converter has nothing
  // due. -1 for every other write.
  int WritePolled(std::uint8_t offset, std::uint8_t value, std::int64_t now) {
    if (DeviceOf(offset) != Device::Adc || adc.Due(now)) return -1;
    return WriteAdc(offset, value, now);
  }
  // Every device with an event due brought up to `now`; then a COP reset,
  // or the interrupt to take when `unmasked`.
  ChipRequest Service(std::int64_t now, bool unmasked);
  // Bytes for the serial receiver; returns how many were taken.
  std::size_t Arrive(std::span<const std::uint8_t> bytes, std::int64_t now);
  // The cycle of the next flag a device sets on its own, or a COP reset.
  std::int64_t NextEvent() const { return std::min({timerNext_, sciNext_, copNext_}); }
  std::uint16_t Pending() const { return timerPending_ | sciPending_; }
  void Visit(StateVisitor& v);

  Timer timer;
  Watchdog cop;
  Sci sci;
  Adc adc;

 private:
  static const std::array<Device, 0x40> kDevices;

  std::uint8_t ReadAdc(std::uint8_t offset) const {
    return offset == kAdctl ? adc.Control() : adc.Result(offset - kAdr1);
  }
  // The converter brought up to date first.
  std::uint8_t WriteAdc(std::uint8_t offset, std::uint8_t value, std::int64_t now) {
    if (offset != kAdctl) return adc.Result(offset - kAdr1);  // the results are read-only
    adc.Start(value, (option_ & kAdpu) != 0, now);
    return adc.Control();
  }
  std::uint8_t ReadOther(std::uint8_t offset, std::int64_t now);
  std::uint8_t ReadSciChanging(std::uint8_t offset, std::int64_t now);
  std::uint8_t WriteOther(std::uint8_t offset, std::uint8_t value, std::int64_t now);

  // A register access reaches only its own device, so the firmware's
  // polling of one register leaves the others alone; each device's next
  // event and pending sources are kept here and taken again only when that
  // device has changed.
  void AdvanceTimer(std::int64_t now);
  void AdvanceSci(std::int64_t now);
  void TimerChanged();
  void SciChanged();
  void CopChanged() {
    copNext_ = cop.NextEvent();
    scheduleChanged_ = true;
  }
  void AllChanged();

  std::uint8_t option_ = 0;
  std::uint8_t hprio_ = kHprioAtReset;
  std::int64_t timerNext_ = kNever, sciNext_ = kNever, copNext_ = kNever;
  std::uint16_t timerPending_ = 0, sciPending_ = 0;
  bool scheduleChanged_ = true;
};

}  // namespace hc11::onchip
