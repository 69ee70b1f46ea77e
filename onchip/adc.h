// The A/D converter: a write to ADCTL starts four conversions of 32 E cycles
// each into ADR1-ADR4, of one channel (CD:CA) or, with MULT, of the four
// channels of its group; CCF is set when the fourth is done, and with SCAN
// the sequence goes on. Nothing converts while OPTION's ADPU is clear. The
// analog inputs are the board's (the keypad's levels and the signal level).
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <span>

#include "core/state_visitor.h"
#include "onchip/registers.h"

namespace hc11::onchip {

class Adc {
 public:
  static constexpr std::int64_t kConversionCycles = 32;

  explicit Adc(std::span<const std::uint8_t, 8> inputs) : inputs_(inputs) {}

  void Reset();
  void Start(std::uint8_t control, bool powered, std::int64_t now) {
    control_ = control;
    start_ = now;
    done_ = 0;
    running_ = powered;
    Schedule();
  }
  // Fills the result registers with every conversion done by `now`.
  void Advance(std::int64_t now) {
    if (Due(now)) Convert(now);
  }
  // A conversion has ended by `now` that the registers do not show yet.
  bool Due(std::int64_t now) const { return now >= nextDone_; }
  std::uint8_t Control() const {
    return static_cast<std::uint8_t>((control_ & 0x3F) | (Complete() ? 0x80 : 0));
  }
  std::uint8_t Result(std::size_t index) const { return results_[index]; }
  void Visit(StateVisitor& v);

 private:
  bool Complete() const { return done_ >= 4; }
  std::uint8_t Sample(unsigned slot) const;
  void Convert(std::int64_t now);
  // The end of the next conversion; follows from the fields below.
  void Schedule() {
    const bool more = running_ && (done_ < 4 || (control_ & kScan) != 0);
    nextDone_ = more ? start_ + (done_ + 1) * kConversionCycles : std::numeric_limits<std::int64_t>::max();
  }

  std::span<const std::uint8_t, 8> inputs_;
  std::array<std::uint8_t, 4> results_{};
  std::int64_t start_ = 0;
  std::int64_t done_ = 0;  // conversions of the sequence finished
  std::uint8_t control_ = 0;
  bool running_ = false;
  std::int64_t nextDone_ = std::numeric_limits<std::int64_t>::max();
};

}  // namespace hc11::onchip
