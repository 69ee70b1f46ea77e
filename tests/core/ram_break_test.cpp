// RAM breakpoints in the core: which accesses report a hit, on every memory
// path a handler takes, and the stop a hit may ask for.
#include <tuple>
#include <vector>

#include "core/run_engine.h"
#include "tests/core/core_fixture.h"

namespace hc11::test {
namespace {

using Hit = std::tuple<std::uint16_t, char>;

class RecordingRamBreaks : public RamBreakHandler {
 public:
  void RamBreakHit(Machine& m, std::uint16_t address, char kind) override {
    hits.emplace_back(address, kind);
    if (kind == stopOn) m.RequestBreak(address, kind);
  }
  std::vector<Hit> hits;
  char stopOn = 0;
};

// E000 86 05  ldA #5
// E002 97 10  stA $10     write that changes $10
// E004 97 10  stA $10     write of the same value
// E006 6C 00  inc 0,X     read-modify-write in place (X = $10)
// E008 96 11  ldA $11     read
// E00A 20 F4  jr $E000
class RamBreakTest : public CoreTest {
 protected:
  void SetUp() override {
    Place(kCode, {0x86, 0x05, 0x97, 0x10, 0x97, 0x10, 0x6C, 0x00, 0x96, 0x11, 0x20, 0xF4});
    m.StartPC = kCode;
    m.ResetMachine();
    m.cpu.X = 0x0010;
    m.SetRamBreakHandler(&handler);
    m.StepBudget = 6;
  }
  RecordingRamBreaks handler;
};

TEST_F(RamBreakTest, EachKindReportsItsAccessesOnHookedAndDirectPaths) {
  m.SetRamBreakBits(0x10, RamBreakWrite | RamBreakRead | RamBreakChange);
  m.SetRamBreakBits(0x11, RamBreakRead);
  RunCommand(m, kModeRun, false);
  const std::vector<Hit> expected = {{0x10, 'I'}, {0x10, 'm'},               // first store
                                     {0x10, 'I'},                            // same value: no change
                                     {0x10, 'i'}, {0x10, 'I'}, {0x10, 'm'},  // inc
                                     {0x11, 'i'}};
  EXPECT_EQ(handler.hits, expected);
  EXPECT_EQ(m.Memory[0x10], 6);
  EXPECT_EQ(hooks.stopReason, "stop ");  // the step budget ended the run
}

TEST_F(RamBreakTest, WriteOnlyBitIgnoresReadsAndNoBitsReportNothing) {
  m.SetRamBreakBits(0x11, RamBreakWrite);
  RunCommand(m, kModeRun, false);
  EXPECT_TRUE(handler.hits.empty());
}

TEST_F(RamBreakTest, RequestedBreakStopsAfterTheStepWithItsReason) {
  m.SetRamBreakBits(0x10, RamBreakChange);
  handler.stopOn = 'm';
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(m.Stop.cause, StopCause::RamBreakpoint);
  EXPECT_EQ(m.Stop.address, 0x10);
  EXPECT_EQ(m.Stop.access, 'm');
  EXPECT_EQ(m.cpu.PC, 0xE004);
  EXPECT_FALSE(m.BreakRequested);
  EXPECT_TRUE(hooks.beeps.empty());  // not an error
  // The next run goes on from there; the unchanged store does not stop it.
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(m.Stop.cause, StopCause::RamBreakpoint);
  EXPECT_EQ(m.cpu.PC, 0xE008);  // stopped by the inc
}

TEST_F(RamBreakTest, AccessesOutsideARunAreNotReported) {
  m.SetRamBreakBits(0x10, RamBreakWrite | RamBreakRead);
  m.MemWrite8(0x10, 1, TagData);
  (void)m.MemRead8(0x10);
  EXPECT_TRUE(handler.hits.empty());
  m.ClearWriteTags();
  EXPECT_EQ(m.WriteTagTable[0x10].ramBreak, 0);
}

}  // namespace
}  // namespace hc11::test
