// The board's clock: one count of CycleCount is one E-clock period, the
// 3.58 MHz crystal divided by four. Every conversion of counts into time
// (trace times, real-time pacing, the serial interface's bit times) uses it.
#pragma once

namespace hc11 {

inline constexpr long long kCrystalHz = 3'580'000;
inline constexpr double kEClockHz = static_cast<double>(kCrystalHz) / 4.0;

}  // namespace hc11
