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

  // True for the register-block offsets these devices answer.
  static bool Answers(std::uint8_t offset) { return offset < kAnswered.size() && kAnswered[offset]; }

  void Reset(std::int64_t now);
  std::uint8_t Read(std::uint8_t offset, std::int64_t now);
  // The byte a read would give, with no flag cleared (the memory dump's copy).
  std::uint8_t Peek(std::uint8_t offset, std::int64_t now) const;
  void Write(std::uint8_t offset, std::uint8_t value, std::int64_t now);
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
  static const std::array<bool, 0x40> kAnswered;

  // A register access reaches only its own device, so the firmware's
  // polling of one register leaves the others alone; each device's next
  // event and pending sources are kept here and taken again only when that
  // device has changed.
  void AdvanceTimer(std::int64_t now);
  void AdvanceSci(std::int64_t now);
  void TimerChanged();
  void SciChanged();
  void CopChanged() { copNext_ = cop.NextEvent(); }
  void AllChanged();

  std::uint8_t option_ = 0;
  std::uint8_t hprio_ = kHprioAtReset;
  std::int64_t timerNext_ = kNever, sciNext_ = kNever, copNext_ = kNever;
  std::uint16_t timerPending_ = 0, sciPending_ = 0;
};

}  // namespace hc11::onchip
