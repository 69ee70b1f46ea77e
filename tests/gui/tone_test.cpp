#include "app/gui/tone.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <algorithm>
#include <cstdint>

namespace hc11::test {
namespace {

const std::int16_t* Pcm(const QByteArray& data) {
  return reinterpret_cast<const std::int16_t*>(data.constData());
}

TEST(Tone, ASineOfTheGivenFrequencyAndDuration) {
  // 500 Hz for 100 ms at 22050 Hz: 2205 samples, 44.1 per period.
  const QByteArray pcm = gui::Tone::Samples(500, 100, 22050);
  ASSERT_EQ(pcm.size(), 2 * 2205);
  const std::int16_t* s = Pcm(pcm);
  EXPECT_EQ(s[0], 0);
  EXPECT_GT(s[11], 7900);   // a quarter period: the crest
  EXPECT_LT(s[33], -7900);  // three quarters: the trough
  int crossings = 0;
  for (int i = 1; i < 2205; ++i) crossings += (s[i - 1] < 0) != (s[i] < 0);
  EXPECT_NEAR(crossings, 100, 2);  // two per period, 50 periods
}

TEST(Tone, OutOfRangeRequestsGiveBoundedSilenceOrNothing) {
  const QByteArray silent = gui::Tone::Samples(0, 10, 22050);
  EXPECT_EQ(silent.size(), 2 * 220);
  EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](char c) { return c == 0; }));
  EXPECT_EQ(gui::Tone::Samples(500, -5, 22050).size(), 0);
  EXPECT_EQ(gui::Tone::Samples(500, 60'000, 22050).size(), 2 * 22050 * 5);    // capped at 5 s
  EXPECT_TRUE(gui::Tone::Samples(20'000, 10, 22050).count('\0') == 2 * 220);  // above Nyquist
}

}  // namespace
}  // namespace hc11::test
