// The processor's own devices in exact mode: timer, COP watchdog, serial
// interface and A/D converter behind their registers, and the interrupt
// priority HPRIO resolves. The board hands them the on-chip registers'
// accesses and the machine's CycleCount as `now`.
#pragma once

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
  static bool Answers(std::uint8_t offset);

  void Reset(std::int64_t now);
  std::uint8_t Read(std::uint8_t offset, std::int64_t now);
  // The byte a read would give, with no flag cleared (the memory dump's copy).
  std::uint8_t Peek(std::uint8_t offset, std::int64_t now) const;
  void Write(std::uint8_t offset, std::uint8_t value, std::int64_t now);
  // Every device brought up to `now`; then a COP reset, or the interrupt to
  // take when `unmasked`.
  ChipRequest Service(std::int64_t now, bool unmasked);
  // The cycle of the next flag a device sets on its own, or a COP reset.
  std::int64_t NextEvent() const;
  std::uint16_t Pending() const;
  void Visit(StateVisitor& v);

  Timer timer;
  Watchdog cop;
  Sci sci;
  Adc adc;

 private:
  void Advance(std::int64_t now);

  std::uint8_t option_ = 0;
  std::uint8_t hprio_ = kHprioAtReset;
};

}  // namespace hc11::onchip
