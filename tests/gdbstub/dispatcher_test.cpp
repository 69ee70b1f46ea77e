// The stub's answers, packet by packet, on the loop program: registers,
// memory, breakpoints and watchpoints as entries of the breakpoint list, runs
// and their stop replies, the reverse packets through a fake history.
#include "gdbstub/dispatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/run_engine.h"
#include "core/text_util.h"
#include "gdbstub/controller_host.h"
#include "gdbstub/gdb_breaks.h"
#include "gdbstub/recorded_reverse.h"
#include "tests/gdbstub/gdb_fixture.h"

namespace hc11::test {
namespace {

using gdb::Dispatcher;
using gdb::GdbBreakpoints;

class RecordingStubHost : public gdb::ControllerHost {
 public:
  using ControllerHost::ControllerHost;
  void Continue() override {
    if (beforeRun) beforeRun();
    ControllerHost::Continue();
  }
  std::function<void()> beforeRun;
};

// A history of `depth` instructions that the fake walks back through.
class FakeReverse : public gdb::ReverseExecution {
 public:
  gdb::ReverseStopKind StepBack() override {
    if (depth == 0) return gdb::ReverseStopKind::HistoryStart;
    --depth;
    return gdb::ReverseStopKind::Stepped;
  }
  gdb::ReverseStopKind ContinueBack() override {
    depth = 0;
    return gdb::ReverseStopKind::HistoryStart;
  }
  int depth = 2;
};

class DispatcherTest : public LoopSession {
 protected:
  void SetUp() override {
    LoopSession::SetUp();
    machine().StepBudget = 1000000;  // a test that goes wrong still ends
    breaks = std::make_unique<GdbBreakpoints>(machine(), session->breakpoints());
    host = std::make_unique<RecordingStubHost>(*controller);
    stub = std::make_unique<Dispatcher>(*session, *breaks, *host, reverse);
  }
  // A new session and stub, as for a new test.
  void Fresh() {
    stub.reset();
    breaks.reset();
    SetUp();
  }
  std::string Ask(const std::string& packet) { return stub->Handle(packet).value_or("<none>"); }
  bool Listed(const std::string& line) {
    const auto lines = session->breakpoints().Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  std::unique_ptr<RecordingStubHost> host;
  gdb::ReverseExecution* reverse = nullptr;
  std::unique_ptr<GdbBreakpoints> breaks;
  std::unique_ptr<Dispatcher> stub;
};

struct Exchange {
  std::string packet, reply;
};

TEST_F(DispatcherTest, RegistersInGdbsLayoutWithDAlwaysAB) {
  const std::vector<Exchange> exchanges = {
      // x d y sp pc a b ccr page after reset
      {"g", "0000000000000000e00000001000"},
      {"s", "S05"},
      {"g",
       "000000000000"
       "00ff"
       "e003"
       "00"
       "00"
       "10"
       "00"},
      {"P5=12", "OK"},
      {"p1", "1200"},
      {"P6=34", "OK"},
      {"p1", "1234"},
      {"P1=abcd", "OK"},
      {"p5", "ab"},
      {"p6", "cd"},
      {"P8=77", "OK"},  // page ignores writes
      {"p8", "00"},
      {"P4=e007", "OK"},
      {"p4", "e007"},
      {"p9", "E01"},
      {"P5=123", "E01"},
      {"P5", "E01"},
      {"pz", "E01"},
      {"G1234", "E01"},
  };
  for (const Exchange& e : exchanges) EXPECT_EQ(Ask(e.packet), e.reply) << e.packet;
  EXPECT_EQ(machine().cpu.PC, 0xE007);
  EXPECT_GE(changes.machine, 5);
}

TEST_F(DispatcherTest, GWritesTheWholeFileAndAStaleHalfNeverUndoesTheOther) {
  machine().cpu.A = 0x12;
  machine().cpu.B = 0x34;
  // GDB changed a in its cache; d still holds the old a:b.
  EXPECT_EQ(Ask("G"
                "1111"
                "1234"
                "2222"
                "3333"
                "e009"
                "99"
                "34"
                "05"
                "00"),
            "OK");
  EXPECT_EQ(Ask("g"),
            "1111"
            "9934"
            "2222"
            "3333"
            "e009"
            "99"
            "34"
            "05"
            "00");
  // GDB changed d; a and b are as they were.
  EXPECT_EQ(Ask("G"
                "1111"
                "5678"
                "2222"
                "3333"
                "e009"
                "99"
                "34"
                "05"
                "07"),
            "OK");
  EXPECT_EQ(Ask("g"),
            "1111"
            "5678"
            "2222"
            "3333"
            "e009"
            "56"
            "78"
            "05"
            "00");
}

TEST_F(DispatcherTest, MemoryReadsAndWritesStayInsideTheImage) {
  std::string binary;
  binary += "X20,3:";
  binary += "}";
  binary += static_cast<char>('#' ^ 0x20);
  binary += '\x03';
  binary += "A";
  const std::vector<Exchange> exchanges = {
      {"me000,3", "8e00ff"},   {"M10,2:abcd", "OK"}, {"m10,2", "abcd"},   {binary, "OK"},
      {"m20,3", "230341"},     {"X0,0:", "OK"},      {"mfffe,2", "e000"}, {"mffff,2", "E02"},
      {"m10000,1", "E02"},     {"m0,1001", "E02"},  // more than a reply can hold
      {"m10", "E01"},          {"m10,zz", "E01"},    {"M10,2:ab", "E01"}, {"M10,1:zz", "E01"},
      {"Mffff,2:0102", "E02"}, {"M10,1", "E01"},
  };
  for (const Exchange& e : exchanges) EXPECT_EQ(Ask(e.packet), e.reply) << e.packet;
}

TEST_F(DispatcherTest, CodeBreakpointsAreEntriesOfTheBreakList) {
  EXPECT_EQ(Ask("Z0,e014,1"), "OK");
  EXPECT_EQ(Ask("Z0,e014,1"), "OK");  // inserting twice keeps one entry
  EXPECT_EQ(session->breakpoints().entries().size(), 1u);
  EXPECT_TRUE(Listed("e014 C Break    gdb"));
  EXPECT_GE(changes.lists, 1);
  EXPECT_EQ(Ask("c"), "T05swbreak:;");
  EXPECT_EQ(machine().cpu.PC, 0xE014);
  EXPECT_EQ(Ask("?"), "T05swbreak:;");
  // Continuing from the breakpoint leaves it and meets it on the next pass.
  EXPECT_EQ(Ask("c"), "T05swbreak:;");
  EXPECT_EQ(machine().cpu.X, 1);  // one pass through compte
  EXPECT_EQ(Ask("z0,e014,1"), "OK");
  EXPECT_TRUE(session->breakpoints().entries().empty());
  EXPECT_EQ(machine().tInst[0xE014], 0);
  EXPECT_EQ(Ask("z0,e014,1"), "OK");  // removing what is not there
}

// A breakpoint on the first instruction of the periodic interrupt's handler
// (here clrA at E006, entered from the loop) stops there, before it runs.
TEST_F(DispatcherTest, ABreakpointOnTheInterruptHandlerStops) {
  Machine& m = machine();
  m.StepBudget = 3;
  EXPECT_EQ(Ask("c"), "S05");  // ldS, ldX, clrA
  m.cpu.A = 0x55;
  m.cpu.CC &= static_cast<std::uint8_t>(~FlagI);
  m.TimerVector = 0xE006;
  m.IrqCounter = kIrqPeriod - 3;
  m.StepBudget = 100000;
  EXPECT_EQ(Ask("Z0,e006,1"), "OK");
  EXPECT_EQ(Ask("c"), "T05swbreak:;");
  EXPECT_EQ(m.cpu.PC, 0xE006);
  EXPECT_EQ(m.cpu.A, 0x56);  // ldB, addA, stA, then the entry: clrA not yet run
  EXPECT_EQ(Ask("s"), "S05");
  EXPECT_EQ(m.cpu.PC, 0xE007);
  EXPECT_EQ(m.cpu.A, 0);
}

TEST_F(DispatcherTest, RemovingGdbsBreakpointKeepsTheUsersOwnAtTheSameAddress) {
  session->breakpoints().Append({"compte", 0xE014, 'C', 2}, true);
  EXPECT_EQ(Ask("Z0,e014,1"), "OK");
  EXPECT_EQ(Ask("z0,e014,1"), "OK");
  ASSERT_EQ(session->breakpoints().Lines(), std::vector<std::string>{"e014 C Break    compte"});
  EXPECT_EQ(machine().tInst[0xE014], 2);
  // Leaving the stub removes only its own entries too.
  Ask("Z0,e010,1");
  breaks.reset();
  EXPECT_EQ(session->breakpoints().Lines(), std::vector<std::string>{"e014 C Break    compte"});
}

TEST_F(DispatcherTest, TheStubRemovesOnlyTheEntriesItAdded) {
  BreakpointList& list = session->breakpoints();
  list.Append({"gdb", 0xE014, 'C', 3}, true);  // the user's own, named as the stub names its
  list.Append({"gdb watch", 0x0010, 'I', 2}, true);
  EXPECT_EQ(Ask("Z0,e014,1"), "OK");
  EXPECT_EQ(list.entries().size(), 3u);
  EXPECT_EQ(Ask("z0,e014,1"), "OK");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"e014 C Trace    gdb", "0010 I Break    gdb watch"}));
  EXPECT_EQ(machine().tInst[0xE014], 3);
  EXPECT_EQ(Ask("Z0,e010,1"), "OK");
  EXPECT_EQ(Ask("Z2,10,2"), "OK");
  breaks.reset();  // the client leaves
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"e014 C Trace    gdb", "0010 I Break    gdb watch"}));
  EXPECT_EQ(machine().tInst[0xE010], 0);
  EXPECT_EQ(machine().WriteTagTable[0x10].ramBreak, RamBreakWrite);
  EXPECT_EQ(machine().WriteTagTable[0x11].ramBreak, 0);
}

TEST_F(DispatcherTest, ABreakpointAtEveryAddressAndAllOfThemGoneWhenTheClientLeaves) {
  BreakpointList& list = session->breakpoints();
  list.Append({"compte", 0xE014, 'C', 3}, true);
  for (std::uint32_t a = 0; a <= 0xFFFF; ++a) ASSERT_EQ(Ask(Format("Z0,%x,1", a)), "OK") << a;
  for (std::uint32_t a = 0; a <= 0xFFFF; a += 0x1111) ASSERT_EQ(Ask(Format("Z0,%x,1", a)), "OK");  // again
  EXPECT_EQ(list.entries().size(), 0x10001u);
  EXPECT_EQ(machine().tInst[0x1234], 2);
  for (std::uint32_t a = 0; a <= 0xFFFF; a += 0x100) ASSERT_EQ(Ask(Format("z0,%x,1", a)), "OK");
  EXPECT_EQ(list.entries().size(), 0x10001u - 0x100);
  EXPECT_EQ(machine().tInst[0x1200], 0);
  EXPECT_EQ(machine().tInst[0x1234], 2);
  breaks.reset();
  EXPECT_EQ(list.Lines(), std::vector<std::string>{"e014 C Trace    compte"});
  EXPECT_EQ(machine().tInst[0xE014], 3);  // the user's entry acts again
  EXPECT_EQ(std::count(machine().tInst.begin(), machine().tInst.end(), 0), 0xFFFF);
}

TEST_F(DispatcherTest, WatchpointsStopAfterTheAccessWithTheirKindAndAddress) {
  struct Case {
    std::string insert, stop;
    std::uint16_t pc;
    std::vector<std::string> lines;
  } cases[] = {
      // stA $10 at E00B
      {"Z2,10,1", "T05watch:0010;", 0xE00D, {"0010 I Break    gdb watch"}},
      // ret at E015 pulls the return address from $FE-$FF
      {"Z3,fe,2", "T05rwatch:00fe;", 0xE012, {"00fe i Break    gdb rwatch", "00ff i Break    gdb rwatch"}},
      // callr at E010 pushes the return address, low byte first at $FF
      {"Z4,ff,1", "T05awatch:00ff;", 0xE014, {"00ff I Break    gdb awatch", "00ff i Break    gdb awatch"}},
  };
  for (const Case& c : cases) {
    Fresh();
    EXPECT_EQ(Ask(c.insert), "OK");
    EXPECT_EQ(session->breakpoints().Lines(), c.lines) << c.insert;
    EXPECT_EQ(Ask("c"), c.stop) << c.insert;
    EXPECT_EQ(machine().cpu.PC, c.pc) << c.insert;
    std::string remove = c.insert;
    remove[0] = 'z';
    EXPECT_EQ(Ask(remove), "OK");
    EXPECT_TRUE(session->breakpoints().entries().empty()) << c.insert;
  }
}

TEST_F(DispatcherTest, OverlappingWatchpointsKeepTheBytesStillWatched) {
  EXPECT_EQ(Ask("Z2,10,2"), "OK");
  EXPECT_EQ(Ask("Z2,10,1"), "OK");
  EXPECT_EQ(Ask("z2,10,1"), "OK");
  EXPECT_EQ(Ask("c"), "T05watch:0010;");  // the wider one still covers $10
  EXPECT_EQ(Ask("z2,10,2"), "OK");
  EXPECT_TRUE(session->breakpoints().entries().empty());
}

TEST_F(DispatcherTest, BadBreakpointPacketsAreRefused) {
  const std::vector<Exchange> exchanges = {
      {"Z1,e000,1", ""},  // hardware breakpoints are not offered
      {"Z2,10,9", "E02"}, {"Z2,10,0", "E02"}, {"Z2,fffe,4", "E02"}, {"Z0,10000,1", "E02"},
      {"Z0e000", "E01"},  {"Z0,e000", "E01"}, {"Z", "E01"},
  };
  for (const Exchange& e : exchanges) EXPECT_EQ(Ask(e.packet), e.reply) << e.packet;
  EXPECT_TRUE(session->breakpoints().entries().empty());
}

TEST_F(DispatcherTest, ResumePacketsAndTheirStopReplies) {
  const std::vector<Exchange> exchanges = {
      {"vCont?", "vCont;c;C;s;S"},
      {"vCont;s:1;c", "S05"},
      {"p4", "e003"},
      {"vCont;S05", "S05"},
      {"p4", "e006"},
      {"se010", "S05"},  // step from a given address
      {"p4", "e014"},
      {"vCont;t", "E01"},
      {"vCont;", "E01"},
      {"cz", "E01"},
  };
  for (const Exchange& e : exchanges) EXPECT_EQ(Ask(e.packet), e.reply) << e.packet;
  // An opcode the processor does not have stops the run as an illegal instruction.
  EXPECT_EQ(Ask("Me014,1:41"), "OK");
  EXPECT_EQ(Ask("c"), "S04");
  EXPECT_EQ(machine().cpu.PC, 0xE014);
}

TEST_F(DispatcherTest, AnInterruptStopsTheRunWithSigint) {
  host->beforeRun = [this] { stub->Interrupt(); };
  EXPECT_EQ(Ask("c"), "S02");
  EXPECT_TRUE(machine().Idle);
  EXPECT_EQ(Ask("?"), "S02");
  // Outside a run an interrupt does nothing.
  host->beforeRun = nullptr;
  stub->Interrupt();
  EXPECT_EQ(Ask("s"), "S05");
}

TEST_F(DispatcherTest, AClientGoneGetsNoReplyAndStartsNoRun) {
  host->beforeRun = [this] { stub->ClientGone(); };
  EXPECT_EQ(stub->Handle("c"), std::nullopt);
  EXPECT_TRUE(machine().Idle);
  const std::uint16_t pc = machine().cpu.PC;
  EXPECT_EQ(stub->Handle("s"), std::nullopt);
  EXPECT_EQ(machine().cpu.PC, pc);
}

TEST_F(DispatcherTest, QueriesAndSessionPackets) {
  const std::string supported = Ask("qSupported:multiprocess+;swbreak+;hwbreak+;vContSupported+");
  for (const char* feature : {"PacketSize=1000", "qXfer:features:read+", "swbreak+", "QStartNoAckMode+"})
    EXPECT_NE(supported.find(feature), std::string::npos) << feature;
  EXPECT_EQ(supported.find("Reverse"), std::string::npos);
  // Conditions are left to GDB: claiming them would make it send agent
  // bytecode the stub ignores and stop on every hit.
  for (const char* unsupported : {"ConditionalBreakpoints", "BreakpointCommands"})
    EXPECT_EQ(supported.find(unsupported), std::string::npos) << unsupported;
  const std::string xml = Ask("qXfer:features:read:target.xml:0,fff");
  EXPECT_EQ(xml[0], 'l');
  EXPECT_NE(xml.find("<architecture>m68hc11</architecture>"), std::string::npos);
  // The description in parts gives the same text.
  std::string pieces;
  for (std::size_t at = 0;; at += 16) {
    const std::string part = Ask(Format("qXfer:features:read:target.xml:%zx,10", at));
    ASSERT_FALSE(part.empty());
    pieces += part.substr(1);
    if (part[0] == 'l') break;
  }
  EXPECT_EQ("l" + pieces, xml);
  const std::vector<Exchange> exchanges = {
      {"qXfer:features:read:other.xml:0,10", "E00"},
      {"qXfer:features:read:target.xml", "E01"},
      {"?", "S05"},
      {"qAttached", "1"},
      {"Hg0", "OK"},
      {"qSymbol::", "OK"},
      {"vMustReplyEmpty", ""},
      {"qTStatus", ""},
      {"bs", ""},  // no history here
      {"", ""},
  };
  for (const Exchange& e : exchanges) EXPECT_EQ(Ask(e.packet), e.reply) << e.packet;
  EXPECT_FALSE(stub->TakeNoAckRequest());
  EXPECT_EQ(Ask("QStartNoAckMode"), "OK");
  EXPECT_TRUE(stub->TakeNoAckRequest());
  EXPECT_EQ(Ask("D"), "OK");
  EXPECT_EQ(stub->end(), gdb::ClientEnd::Detach);
}

TEST_F(DispatcherTest, KillGetsNoReply) {
  EXPECT_EQ(stub->Handle("k"), std::nullopt);
  EXPECT_EQ(stub->end(), gdb::ClientEnd::Kill);
}

class ReverseDispatcherTest : public DispatcherTest {
 protected:
  void SetUp() override {
    reverse = &fake;
    DispatcherTest::SetUp();
  }
  FakeReverse fake;
};

TEST_F(ReverseDispatcherTest, ReversePacketsAreOfferedAndReachTheHistory) {
  EXPECT_NE(Ask("qSupported").find("ReverseStep+;ReverseContinue+"), std::string::npos);
  const std::vector<Exchange> exchanges = {
      {"bs", "S05"},
      {"bs", "S05"},
      {"bs", "T05replaylog:begin;"},
      {"?", "T05replaylog:begin;"},
      {"bc", "T05replaylog:begin;"},
      {"bx", ""},
  };
  for (const Exchange& e : exchanges) EXPECT_EQ(Ask(e.packet), e.reply) << e.packet;
  fake.depth = 5;
  EXPECT_EQ(Ask("bc"), "T05replaylog:begin;");
  EXPECT_EQ(fake.depth, 0);
}

// The real record behind "bs"/"bc": GDB walks back through what the stub ran.
class RecordedReverseTest : public DispatcherTest {
 protected:
  void SetUp() override {
    DispatcherTest::SetUp();
    recorded = std::make_unique<gdb::RecordedReverse>(*controller);
    reverse = recorded.get();
    stub = std::make_unique<gdb::Dispatcher>(*session, *breaks, *host, reverse);
  }
  std::unique_ptr<gdb::RecordedReverse> recorded;
};

TEST_F(RecordedReverseTest, StepsAndContinuesBackThroughWhatRan) {
  EXPECT_NE(Ask("qSupported").find("ReverseStep+;ReverseContinue+"), std::string::npos);
  const std::vector<Exchange> exchanges = {
      {"s", "S05"},
      {"p4", "e003"},
      {"s", "S05"},
      {"s", "S05"},
      {"p4", "e007"},
      {"bs", "S05"},
      {"p4", "e006"},  // one instruction back
      {"Z0,e003,1", "OK"},
      {"bc", "T05swbreak:;"},
      {"p4", "e003"},  // back to GDB's breakpoint
      {"z0,e003,1", "OK"},
      {"bc", "T05replaylog:begin;"},
      {"p4", "e000"},  // the start of the record
      {"bs", "T05replaylog:begin;"},
      {"s", "S05"},
      {"p4", "e003"},  // forward again from the oldest moment
  };
  for (const Exchange& e : exchanges) EXPECT_EQ(Ask(e.packet), e.reply) << e.packet;
}

}  // namespace
}  // namespace hc11::test
