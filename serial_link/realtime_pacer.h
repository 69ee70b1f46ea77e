// Real time: simulated time follows the wall clock. One count is one E-clock
// period, a 3.58 MHz crystal divided by four; the "CoefQuartz" setting
// scales the crystal, 16 (the value Init sets) meaning the board's own.
// Pure: the caller supplies counts and times, and does the sleeping.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/e_clock.h"

namespace hc11::serial {

inline constexpr double kCountsPerSecond = kEClockHz;
inline constexpr double kCoefQuartzNominal = 16.0;

// Counts per wall-clock second for a "CoefQuartz" text; a text that is not
// a positive number gives the nominal rate.
double CountsPerSecond(std::string_view coefQuartz);

class RealtimePacer {
 public:
  explicit RealtimePacer(double countsPerSecond = kCountsPerSecond);

  // The run (re)starts: `cycleCount` now stands for `nowUs`.
  void Start(std::int64_t cycleCount, std::int64_t nowUs);
  // How long the simulation is ahead of the wall clock at `cycleCount`, 0
  // when it is not. A simulation that fell more than kMaxLagUs behind (a
  // slow host, a debugger pause) takes the present as its new origin rather
  // than racing to catch up.
  std::int64_t AheadUs(std::int64_t cycleCount, std::int64_t nowUs);

  static constexpr std::int64_t kMaxLagUs = 200'000;

 private:
  double usPerCount_;
  std::int64_t originCount_ = 0;
  std::int64_t originUs_ = 0;
};

}  // namespace hc11::serial
