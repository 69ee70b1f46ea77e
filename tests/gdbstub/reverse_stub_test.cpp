// "bs" and "bc" over the wire on the session's real record: the stop reply
// names what stopped the walk back, and the client is heard while it goes on.
#include <gtest/gtest.h>

#include "tests/gdbstub/server_fixture.h"

namespace hc11::test {
namespace {

TEST_F(ServerTest, ReverseContinueToAWatchpointRepliesWithTheWatchpoint) {
  Start(nullptr, true);
  ASSERT_TRUE(client.Connect(server->port()));
  EXPECT_EQ(client.Command("Z2,10,1"), "OK");  // stA $10 at E00B
  EXPECT_EQ(client.Command("c"), "T05watch:0010;");
  EXPECT_EQ(client.Command("c"), "T05watch:0010;");
  EXPECT_EQ(client.Command("m10,1"), "02");
  EXPECT_EQ(client.Command("bc"), "T05watch:0010;");  // the first store, right after it
  EXPECT_EQ(client.Command("p4"), "e00d");
  EXPECT_EQ(client.Command("m10,1"), "01");
  EXPECT_EQ(client.Command("z2,10,1"), "OK");
  EXPECT_EQ(client.Command("Z3,10,1"), "OK");  // nothing reads $10
  EXPECT_EQ(client.Command("bc"), "T05replaylog:begin;");
  EXPECT_EQ(client.Command("Z0,e00b,1"), "OK");
  EXPECT_EQ(client.Command("c"), "T05swbreak:;");
  EXPECT_EQ(client.Command("s"), "S05");
  EXPECT_EQ(client.Command("bc"), "T05swbreak:;");  // a code breakpoint stays one
  EXPECT_EQ(client.Command("p4"), "e00b");
}

// A record long enough that walking back takes many of the stub's polls.
class LongRecordTest : public ServerTest {
 protected:
  void SetUp() override {
    prepare = [](Session& s) {
      s.machine().StepBudget = 3'000'000;
      RecordLimits limits;
      limits.interval = limits.maxGap = std::uint64_t{1}
                                        << 26;  // one snapshot: every move replays from the start
      s.timeTravel().SetLimits(limits);
    };
  }
};

TEST_F(LongRecordTest, AnInterruptStopsReverseContinueAndReverseStep) {
  Start(nullptr, true);
  ASSERT_TRUE(client.Connect(server->port()));
  EXPECT_EQ(client.Command("c"), "S05");  // the step budget ended it
  for (const char* packet : {"bc", "bs"}) {
    ASSERT_TRUE(client.SendRaw(gdb::FramePacket(packet) + "\x03"));
    EXPECT_EQ(client.ReadByte(), '+');
    EXPECT_EQ(client.ReadPacket(), "S02") << packet;
    EXPECT_EQ(client.Command("?"), "S02");
  }
  // An interrupted walk back leaves a moment of the record: both ways work on.
  EXPECT_EQ(client.Command("bc"), "T05replaylog:begin;");
  EXPECT_EQ(client.Command("p4"), "e000");
  EXPECT_EQ(client.Command("s"), "S05");
  // A client that leaves during "bc" ends it; the next one is served.
  ASSERT_TRUE(client.SendRaw(gdb::FramePacket("c")));
  EXPECT_EQ(client.ReadPacket(), "S05");
  ASSERT_TRUE(client.SendRaw(gdb::FramePacket("bc")));
  EXPECT_EQ(client.ReadByte(), '+');
  client.Close();
  ASSERT_TRUE(client.Connect(server->port()));
  EXPECT_EQ(client.Command("?").has_value(), true);
  EXPECT_NE(client.Command("g").value_or(""), "");
}

}  // namespace
}  // namespace hc11::test
