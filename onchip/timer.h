// The on-chip timer: the free-running TCNT behind the TMSK2 prescaler, the
// five output compares with their flags, the overflow and the real-time
// interrupt. Time is the machine's CycleCount (E cycles); flags are brought
// up to date by Advance, so nothing runs between two events.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "core/state_visitor.h"

namespace hc11::onchip {

inline constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
// A loaded moment beyond this is refused: the devices subtract moments.
inline constexpr std::int64_t kMomentLimit = std::int64_t{1} << 62;

inline void VisitMoment(StateVisitor& v, const char* name, std::int64_t& moment) {
  v.Bounded(name, moment, -kMomentLimit, kMomentLimit);
}

class Timer {
 public:
  void Reset(std::int64_t now);
  // Offsets $0E-$0F, $16-$1F and $22-$26; Advance(now) must come first.
  std::uint8_t Read(std::uint8_t offset, std::int64_t now) const;
  void Write(std::uint8_t offset, std::uint8_t value, std::int64_t now);
  // Sets the flags of every compare, overflow and real-time tick up to `now`.
  void Advance(std::int64_t now);
  // The cycle at which a flag now clear is set next (kNever: none).
  std::int64_t NextEvent() const;
  // The sources whose flag and enable bit are both set (Bit(Source)).
  std::uint16_t Pending() const;
  // E cycles per real-time interrupt at PACTL's rate.
  std::int64_t RtiPeriod() const { return std::int64_t{8192} << (pactl_ & 3); }
  std::uint16_t Count(std::int64_t now) const { return static_cast<std::uint16_t>(Ticks(now)); }
  void Visit(StateVisitor& v);

 private:
  int Shift() const { return 2 * (tmsk2_ & 3); }  // prescaler 1, 4, 16, 64
  std::int64_t Ticks(std::int64_t now) const { return (now - origin_) >> Shift(); }
  // The first tick after those accounted at which TCNT reads `value`.
  std::int64_t NextMatch(std::uint16_t value) const {
    return doneTick_ + 1 + ((value - (doneTick_ + 1)) & 0xFFFF);
  }
  std::int64_t CycleOf(std::int64_t tick) const { return origin_ + (tick << Shift()); }

  std::int64_t origin_ = 0;    // the cycle of tick 0
  std::int64_t doneTick_ = 0;  // the flags hold every event up to this tick
  std::int64_t rtiNext_ = 0;
  std::array<std::uint16_t, 5> toc_{};
  std::uint8_t tmsk1_ = 0, tflg1_ = 0, tmsk2_ = 0, tflg2_ = 0, pactl_ = 0;
};

}  // namespace hc11::onchip
