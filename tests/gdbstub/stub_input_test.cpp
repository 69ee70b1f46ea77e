// What a client sends that GDB would not, or not in that order: a 0x03 in
// the same segment as the packet that starts the run, floods of bytes, a
// second client while the first one is silent.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "gdbstub/server.h"
#include "tests/gdbstub/server_fixture.h"

namespace hc11::test {
namespace {

// A run that nothing interrupts ends by itself after this many steps (with S05).
constexpr std::uint64_t kRunBound = 2'000'000'000;

long PeakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

class StubInputTest : public ServerTest {
 protected:
  void SetUp() override {
    prepare = [](Session& s) { s.machine().StepBudget = kRunBound; };
  }
};

TEST_F(StubInputTest, AnInterruptSentWithTheContinuePacketStopsTheRun) {
  Start();
  ASSERT_TRUE(client.Connect(server->port()));
  for (const bool acking : {true, false}) {
    ASSERT_TRUE(client.SendRaw(gdb::FramePacket("c") + "\x03"));  // one segment
    if (acking) {
      EXPECT_EQ(client.ReadByte(), '+');
    }
    EXPECT_EQ(client.ReadPacket(), "S02") << (acking ? "acknowledging" : "no acknowledgements");
    if (acking) {
      ASSERT_EQ(client.Command("QStartNoAckMode"), "OK");
      client.acking = false;
    }
  }
  // Nothing was lost on the way: the next packet is answered as usual.
  EXPECT_EQ(client.Command("?"), "S02");
}

TEST_F(StubInputTest, FloodsOfBytesAreFramedAsTheyComeAndNeverKept) {
  Start();
  ASSERT_TRUE(client.Connect(server->port()));
  const std::string chunk(1 << 20, 'A');
  constexpr int kChunks = 48;  // 48 MiB each time
  const long before = PeakResidentKb();
  // A run going on while the client sends on and on, then its 0x03.
  ASSERT_TRUE(client.SendRaw(gdb::FramePacket("c")));
  EXPECT_EQ(client.ReadByte(), '+');
  for (int i = 0; i < kChunks; ++i) ASSERT_TRUE(client.SendRaw(chunk));
  ASSERT_TRUE(client.SendRaw("\x03"));
  EXPECT_EQ(client.ReadPacket(), "S02");
  // A packet that never ends, while nothing runs: refused once it ends.
  ASSERT_TRUE(client.SendRaw("$"));
  for (int i = 0; i < kChunks; ++i) ASSERT_TRUE(client.SendRaw(chunk));
  ASSERT_TRUE(client.SendRaw("#00"));  // 48 Mi times 'A' sums to 0
  EXPECT_EQ(client.ReadByte(), '+');
  EXPECT_EQ(client.ReadPacket(), "E01");
  EXPECT_EQ(client.Command("p4").has_value(), true);
  // Each flood passed through a buffer of a few KiB, not into memory.
  EXPECT_LT(PeakResidentKb() - before, 16 * 1024);
}

TEST_F(StubInputTest, ASecondClientIsToldTheStubIsBusyAndTheFirstGoesOn) {
  Start();
  ASSERT_TRUE(client.Connect(server->port()));  // silent from here on
  std::vector<GdbClient> others(16);            // a burst of connects, all answered
  for (GdbClient& other : others) {
    ASSERT_TRUE(other.Connect(server->port()));
    other.acking = false;
  }
  for (GdbClient& other : others) {
    EXPECT_EQ(other.ReadPacket(), gdb::kBusyReply);
    EXPECT_TRUE(other.ClosedByPeer());
  }
  EXPECT_EQ(client.Command("?"), "S05");
  EXPECT_EQ(client.Command("D"), "OK");
  EXPECT_TRUE(client.ClosedByPeer());
  client.Close();
  // Once the first client has gone, the next one is served.
  ASSERT_TRUE(client.Connect(server->port()));
  EXPECT_EQ(client.Command("?"), "S05");
}

}  // namespace
}  // namespace hc11::test
