// Host bytes into board messages: gaps, the buffer's size, the backlog bound.
#include <gtest/gtest.h>

#include <vector>

#include "serial_link/link_address.h"
#include "serial_link/message_framer.h"
#include "serial_link/realtime_pacer.h"

namespace hc11::serial {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> TakeAll(MessageFramer& f) {
  std::vector<Bytes> out;
  while (auto m = f.Take()) out.push_back(*m);
  return out;
}

TEST(MessageFramer, GapsAndTheBufferSizeEndMessages) {
  struct Case {
    const char* name;
    std::vector<std::pair<Bytes, std::int64_t>> feeds;  // bytes and the time they arrive
    std::int64_t tickAt;
    std::vector<Bytes> expected;
  };
  Bytes long250(250);
  for (std::size_t i = 0; i < long250.size(); ++i) long250[i] = static_cast<std::uint8_t>(i);
  const Bytes first200(long250.begin(), long250.begin() + 200), rest50(long250.begin() + 200, long250.end());
  const std::vector<Case> cases = {
      {"together", {{{1, 2}, 0}, {{3}, 1999}}, 3998, {}},
      {"together, then the gap", {{{1, 2}, 0}, {{3}, 1999}}, 3999, {{1, 2, 3}}},
      {"split by a gap", {{{1, 2}, 0}, {{3}, 2000}}, 4000, {{1, 2}, {3}}},
      {"still in progress", {{{1, 2}, 0}}, 1999, {}},
      {"cut at the buffer's size", {{long250, 0}}, 5000, {first200, rest50}},
      {"nothing", {}, 5000, {}},
  };
  for (const Case& c : cases) {
    MessageFramer f(FramerLimits{2000, 200, 64 * 1024});
    for (const auto& [bytes, at] : c.feeds) f.Feed(bytes, at);
    f.Tick(c.tickAt);
    EXPECT_EQ(TakeAll(f), c.expected) << c.name;
  }
}

TEST(MessageFramer, BacklogOverflowIsReportedOnceThenCounted) {
  MessageFramer f(FramerLimits{2000, 200, 1000});
  const Bytes chunk(600, 0x55);
  f.Feed(chunk, 0);
  f.Feed(chunk, 10);  // 200 dropped
  f.Feed(chunk, 20);  // 600 more dropped, no second report
  EXPECT_EQ(f.Backlog(), 1000u);
  EXPECT_EQ(f.DroppedBytes(), 800u);
  EXPECT_EQ(f.TakeReports(),
            std::vector<std::string>{"backlog over 1000 bytes: newer host bytes are dropped"});
  f.Tick(5000);
  ASSERT_TRUE(f.Take());
  f.Feed(chunk, 5500);  // a message taken is not room enough: still the same overflow
  EXPECT_TRUE(f.TakeReports().empty());
  std::size_t kept = 200;
  for (const Bytes& m : TakeAll(f)) {
    EXPECT_LE(m.size(), 200u);
    kept += m.size();
  }
  EXPECT_EQ(kept, 1200u);  // nothing lost but what was over the bound
  EXPECT_EQ(f.TakeReports(), std::vector<std::string>{"1200 host bytes dropped"});
  f.Feed(chunk, 6000);  // room again: a new overflow would be reported afresh
  EXPECT_TRUE(f.TakeReports().empty());
}

TEST(MessageFramer, DeadlineFollowsTheLastByteAndFlushEndsAMessage) {
  MessageFramer f(FramerLimits{3000, 200, 1024});
  EXPECT_FALSE(f.Deadline());
  f.Feed(Bytes{7}, 100);
  f.Feed(Bytes{8}, 900);
  EXPECT_EQ(f.Deadline(), 3900);
  f.Flush();
  EXPECT_FALSE(f.Deadline());
  EXPECT_EQ(TakeAll(f), (std::vector<Bytes>{{7, 8}}));
  EXPECT_TRUE(f.Idle());
}

TEST(SerialSettings, IdleGapAndBaudRateAndSpecs) {
  EXPECT_EQ(IdleGapUs(9600), 2083);
  EXPECT_EQ(IdleGapUs(115200), 2000);  // never below 2 ms
  EXPECT_EQ(IdleGapUs(1200), 16666);
  EXPECT_EQ(ParseBaudRate("19200"), 19200);
  for (const char* bad : {"", "0", "-9600", "96OO", "9600 ", "99999999999"})
    EXPECT_FALSE(ParseBaudRate(bad)) << bad;

  struct SpecCase {
    const char* text;
    bool ok;
    LinkKind kind;
    const char* path;
    int port;
  };
  for (const SpecCase& c : std::vector<SpecCase>{
           {"pty", true, LinkKind::Pty, "", 0},
           {"pty:/tmp/board", true, LinkKind::Pty, "/tmp/board", 0},
           {"tcp:4000", true, LinkKind::Tcp, "", 4000},
           {"tcp:0", true, LinkKind::Tcp, "", 0},
           {"/dev/ttyUSB0", true, LinkKind::Device, "/dev/ttyUSB0", 0},
           {"pty:", false, LinkKind::Pty, "", 0},
           {"tcp:65536", false, LinkKind::Pty, "", 0},
           {"tcp:", false, LinkKind::Pty, "", 0},
           {"com1", false, LinkKind::Pty, "", 0},
           {"/dev/tty\nx", false, LinkKind::Pty, "", 0},
       }) {
    const ParsedLinkAddress p = ParseLinkAddress(c.text);
    ASSERT_EQ(p.address.has_value(), c.ok) << c.text << ": " << p.error;
    if (!c.ok) {
      EXPECT_FALSE(p.error.empty());
      continue;
    }
    EXPECT_EQ(p.address->kind, c.kind) << c.text;
    EXPECT_EQ(p.address->path, c.path) << c.text;
    EXPECT_EQ(p.address->port, c.port) << c.text;
    EXPECT_EQ(DescribeSpec(*p.address), c.text);
  }
}

TEST(RealtimePacer, FollowsTheClockAndNeverRacesToCatchUp) {
  RealtimePacer p(CountsPerSecond("16"));
  p.Start(1000, 5'000'000);
  // 895 counts are one millisecond at 3.58 MHz / 4.
  EXPECT_EQ(p.AheadUs(1000 + 895, 5'000'000), 1000);
  EXPECT_EQ(p.AheadUs(1000 + 895, 5'000'400), 600);
  EXPECT_EQ(p.AheadUs(1000 + 895, 5'002'000), 0);  // behind a little: no sleep, kept origin
  EXPECT_EQ(p.AheadUs(1000 + 1790, 5'001'000), 1000);
  // Far behind: the present becomes the origin.
  EXPECT_EQ(p.AheadUs(1000 + 1790, 6'000'000), 0);
  EXPECT_EQ(p.AheadUs(1000 + 1790 + 895, 6'000'000), 1000);

  EXPECT_DOUBLE_EQ(CountsPerSecond("32"), 2 * kCountsPerSecond);  // a faster crystal
  for (const char* bad : {"", "0", "-16", "x", "nan", "1e300"})
    EXPECT_DOUBLE_EQ(CountsPerSecond(bad), kCountsPerSecond) << bad;
}

}  // namespace
}  // namespace hc11::serial
