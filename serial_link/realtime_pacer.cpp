#include "serial_link/realtime_pacer.h"

#include <charconv>
#include <cmath>

namespace hc11::serial {

double CountsPerSecond(std::string_view coefQuartz) {
  double coef = 0;
  const char* end = coefQuartz.data() + coefQuartz.size();
  const auto [ptr, ec] = std::from_chars(coefQuartz.data(), end, coef);
  if (ec != std::errc() || ptr != end || !std::isfinite(coef) || coef <= 0 || coef > 1e6)
    coef = kCoefQuartzNominal;
  return kCountsPerSecond * coef / kCoefQuartzNominal;
}

RealtimePacer::RealtimePacer(double countsPerSecond)
    : usPerCount_(1e6 / (countsPerSecond > 0 ? countsPerSecond : kCountsPerSecond)) {}

void RealtimePacer::Start(std::int64_t cycleCount, std::int64_t nowUs) {
  originCount_ = cycleCount;
  originUs_ = nowUs;
}

std::int64_t RealtimePacer::AheadUs(std::int64_t cycleCount, std::int64_t nowUs) {
  const std::int64_t due =
      originUs_ + std::llround(static_cast<double>(cycleCount - originCount_) * usPerCount_);
  if (nowUs - due > kMaxLagUs) {
    Start(cycleCount, nowUs);
    return 0;
  }
  return due > nowUs ? due - nowUs : 0;
}

}  // namespace hc11::serial
