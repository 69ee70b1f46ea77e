// GDB's "monitor" commands: the command line as typed, and the answers over a
// session's board through the stub's qRcmd packet.
#include <gtest/gtest.h>

#include <memory>

#include "gdbstub/controller_host.h"
#include "gdbstub/dispatcher.h"
#include "gdbstub/packet.h"
#include "gdbstub/session_monitor.h"
#include "tests/gdbstub/gdb_fixture.h"

namespace hc11::test {
namespace {

using gdb::MonitorVerb;

struct ParseCase {
  const char* line;
  std::optional<MonitorVerb> verb;  // nullopt: refused
  const char* caption;              // or the start of the error
  std::optional<unsigned> ms;
  std::size_t bytes;
};

TEST(MonitorParseTest, CommandLines) {
  const ParseCase cases[] = {
      {"", MonitorVerb::Help, "", {}, 0},
      {"  HELP ", MonitorVerb::Help, "", {}, 0},
      {"reset", MonitorVerb::Reset, "", {}, 0},
      {"reset now", {}, "reset: takes no argument", {}, 0},
      {"key Menu", MonitorVerb::Key, "Menu", {}, 0},
      {"key Menu 250", MonitorVerb::Key, "Menu", 250u, 0},
      {"key 1", MonitorVerb::Key, "1", {}, 0},  // a digit key, no hold time
      {"key 1 20", MonitorVerb::Key, "1", 20u, 0},
      {"key Menu 0", {}, "key: the hold time", {}, 0},
      {"key", {}, "key: give a caption", {}, 0},
      {"release M/A", MonitorVerb::Release, "M/A", {}, 0},
      {"inject Ecr ram", MonitorVerb::Inject, "Ecr ram", {}, 0},
      {"serial A6 03 20 05", MonitorVerb::Serial, "", {}, 4},
      {"serial A6032005 $10 0x11", MonitorVerb::Serial, "", {}, 6},
      {"serial A6 3", {}, "serial: expected hex bytes", {}, 0},
      {"serial zz", {}, "serial: 'zz' is not hexadecimal", {}, 0},
      {"serial", {}, "serial: give the bytes", {}, 0},
      {"state save /tmp/x", MonitorVerb::State, "save", {}, 0},
      {"state dump", {}, "state: use state save FILE", {}, 0},
      {"frobnicate", {}, "unknown monitor command 'frobnicate'; the commands are: help, reset", {}, 0},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.line);
    const gdb::ParsedMonitorCommand p = gdb::ParseMonitorCommand(c.line);
    ASSERT_EQ(p.command.has_value(), c.verb.has_value()) << p.error;
    if (!c.verb) {
      EXPECT_TRUE(p.error.starts_with(c.caption)) << p.error;
      continue;
    }
    EXPECT_EQ(p.command->verb, *c.verb);
    if (*c.verb != MonitorVerb::Serial && *c.verb != MonitorVerb::Help && *c.verb != MonitorVerb::Reset) {
      EXPECT_EQ(p.command->caption, c.caption);
    }
    EXPECT_EQ(p.command->holdMs, c.ms);
    EXPECT_EQ(p.command->bytes.size(), c.bytes);
  }
}

TEST(MonitorParseTest, AMessageLongerThanTheReceiveBufferIsRefusedNotCut) {
  std::string line = "serial";
  for (std::size_t i = 0; i <= gdb::kMonitorSerialMax; ++i) line += " 5A";
  const gdb::ParsedMonitorCommand p = gdb::ParseMonitorCommand(line);
  EXPECT_FALSE(p.command);
  EXPECT_NE(p.error.find("at most 200"), std::string::npos) << p.error;
}

class MonitorStubTest : public LoopSession {
 protected:
  void SetUp() override {
    LoopSession::SetUp();
    breaks = std::make_unique<gdb::GdbBreakpoints>(machine(), session->breakpoints());
    host = std::make_unique<gdb::ControllerHost>(*controller);
    monitor = std::make_unique<gdb::SessionMonitor>(*session, *host);
    stub = std::make_unique<gdb::Dispatcher>(*session, *breaks, *host);
    stub->SetMonitor(monitor.get());
  }
  // What GDB prints for "monitor LINE".
  std::string Monitor(const std::string& line) {
    const std::string reply =
        stub->Handle("qRcmd," +
                     gdb::HexBytes(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()))
            .value_or("<none>");
    return gdb::DecodeHexBytes(reply).value_or("<not hex: " + reply + ">");
  }

  std::unique_ptr<gdb::ControllerHost> host;
  std::unique_ptr<gdb::GdbBreakpoints> breaks;
  std::unique_ptr<gdb::SessionMonitor> monitor;
  std::unique_ptr<gdb::Dispatcher> stub;
};

TEST_F(MonitorStubTest, KeysAreHeldReleasedAndLetGoAfterTheirTime) {
  Board& board = session->board();
  const auto idle = board.AdcInputs;
  EXPECT_EQ(Monitor("key Menu"), "key Menu held\n");
  EXPECT_EQ(changes.board, 1) << "the panel's views hear of the key";
  EXPECT_NE(board.AdcInputs, idle);
  EXPECT_EQ(Monitor("release Menu"), "key Menu released\n");
  EXPECT_EQ(board.AdcInputs, idle);

  EXPECT_EQ(Monitor("key Menu 10"), "key Menu held for 10 ms\n");
  machine().CycleCount += 5 * 895;
  monitor->Poll();
  EXPECT_NE(board.AdcInputs, idle) << "released before its time";
  machine().CycleCount += 5 * 895;
  monitor->Poll();
  EXPECT_EQ(board.AdcInputs, idle);

  EXPECT_EQ(Monitor("key Nope"), "key: no key 'Nope'\n");
  EXPECT_EQ(Monitor("inject Nope"), "inject: no command button 'Nope'\n");
}

TEST_F(MonitorStubTest, SerialBytesReachTheReceiveLineAndThePanelAndCyclesAnswer) {
  EXPECT_EQ(Monitor("serial A6 03 20 05"), "serial: 4 byte(s) in the receive line\n");
  const Board& board = session->board();
  EXPECT_EQ(board.RxBuffer[0], 4);
  EXPECT_EQ(board.RxBuffer[1], 0xA6);
  EXPECT_EQ(board.RxBuffer[4], 0x05);
  EXPECT_EQ(machine().Memory[kSciData], 0xA6);

  const std::string panel = Monitor("panel");
  EXPECT_TRUE(panel.starts_with("panel: Ecran1=")) << panel;
  EXPECT_NE(panel.find("panel: LbSynth="), std::string::npos) << panel;

  machine().CycleCount = 1234;
  EXPECT_EQ(Monitor("cycles"), "cycles: 1234\n");
}

TEST_F(MonitorStubTest, ResetAndInitTellTheHostAndKeepGdbsBreakpoints) {
  breaks->InsertCode(0xE009);
  machine().cpu.PC = 0xE014;
  machine().Memory[0xE009] = 0;  // the code image brings it back
  const int before = changes.machine;
  EXPECT_EQ(Monitor("reset"), "reset\n");
  EXPECT_EQ(machine().cpu.PC, 0xE000);
  EXPECT_EQ(Monitor("init"), "init\n");
  EXPECT_EQ(machine().Memory[0xE009], 0x8B);  // addA #1
  EXPECT_EQ(changes.machine, before + 2);
  const auto lines = session->breakpoints().Lines();
  EXPECT_EQ(lines.size(), 1u);
}

TEST_F(MonitorStubTest, UnknownWordsAndStateFilesAnswerInText) {
  EXPECT_NE(Monitor("help").find("key CAPTION [MS]"), std::string::npos);
  EXPECT_EQ(Monitor("state save /tmp/s"), "state save: not available, state files do not exist yet\n");
  EXPECT_TRUE(Monitor("go").starts_with("unknown monitor command 'go'; the commands are:"));
  EXPECT_EQ(stub->Handle("qRcmd,zz"), "E01");
}

TEST_F(MonitorStubTest, WithoutAMonitorTheCommandIsNotSupported) {
  stub->SetMonitor(nullptr);
  EXPECT_EQ(stub->Handle("qRcmd,68656c70"), "");
}

}  // namespace
}  // namespace hc11::test
