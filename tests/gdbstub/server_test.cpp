// The stub over loopback TCP, driven by a client that sends what GDB sends:
// an in-process server polled by a thread of its own (the window's way), and
// the gdbserver command as a separate process (the CLI's way).
#include "gdbstub/server.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "tests/gdbstub/gdb_client.h"
#include "tests/gdbstub/server_fixture.h"

namespace hc11::test {
namespace {

class FakeReverse : public gdb::ReverseExecution {
 public:
  gdb::ReverseStopKind StepBack() override { return gdb::ReverseStopKind::Stepped; }
  gdb::ReverseStopKind ContinueBack() override { return gdb::ReverseStopKind::HistoryStart; }
};

TEST_F(ServerTest, AGdbSessionFromConnectToReconnect) {
  Start();
  ASSERT_TRUE(client.Connect(server->port()));
  const std::string supported = client.Command("qSupported:multiprocess+;swbreak+;hwbreak+").value_or("");
  EXPECT_NE(supported.find("qXfer:features:read+"), std::string::npos);
  EXPECT_NE(client.Command("qXfer:features:read:target.xml:0,ffb").value_or("").find("m68hc11"),
            std::string::npos);
  EXPECT_EQ(client.Command("?"), "S05");
  EXPECT_EQ(client.Command("g"), "0000000000000000e00000001000");
  EXPECT_EQ(client.Command("s"), "S05");
  EXPECT_EQ(client.Command("p4"), "e003");
  // A breakpoint shows in the list while GDB has it.
  EXPECT_EQ(client.Command("Z0,e014,1"), "OK");
  EXPECT_EQ(host->Shown(), std::vector<std::string>{"e014 C Break    gdb"});
  EXPECT_EQ(client.Command("c"), "T05swbreak:;");
  EXPECT_EQ(client.Command("p4"), "e014");
  EXPECT_EQ(client.Command("z0,e014,1"), "OK");
  EXPECT_TRUE(host->Shown().empty());
  EXPECT_EQ(client.Command("Z2,10,1"), "OK");
  EXPECT_EQ(client.Command("c"), "T05watch:0010;");
  EXPECT_EQ(client.Command("p4"), "e00d");
  EXPECT_EQ(client.Command("z2,10,1"), "OK");
  EXPECT_EQ(client.Command("M10,1:5a"), "OK");
  EXPECT_EQ(client.Command("m10,1"), "5a");
  EXPECT_EQ(client.Command("P5=12"), "OK");
  EXPECT_EQ(client.Command("p1").value_or("").substr(0, 2), "12");
  // A long run, interrupted by the raw 0x03 byte.
  ASSERT_TRUE(client.SendRaw(gdb::FramePacket("c")));
  EXPECT_EQ(client.ReadByte(), '+');
  usleep(50000);
  ASSERT_TRUE(client.SendRaw("\x03"));
  EXPECT_EQ(client.ReadPacket(), "S02");
  EXPECT_EQ(client.Command("D"), "OK");
  EXPECT_TRUE(client.ClosedByPeer());
  client.Close();
  // The next client finds the simulator where the last one left it.
  ASSERT_TRUE(client.Connect(server->port()));
  EXPECT_EQ(client.Command("?"), "S05");
  EXPECT_EQ(client.Command("m10,1").has_value(), true);
  EXPECT_EQ(client.Command("D"), "OK");
  Stop();
  EXPECT_EQ(server->ClientsEnded(), 2);
}

TEST_F(ServerTest, DamagedOversizedAndRepeatedPacketsAreAnsweredAndTheSessionGoesOn) {
  Start();
  ASSERT_TRUE(client.Connect(server->port()));
  ASSERT_TRUE(client.SendRaw("$g#00"));
  EXPECT_EQ(client.ReadByte(), '-');
  EXPECT_EQ(client.Command("p4"), "e000");
  // The client did not get the reply right: the same reply comes again.
  ASSERT_TRUE(client.SendRaw("-"));
  EXPECT_EQ(client.ReadPacket(), "e000");
  EXPECT_EQ(client.Command(std::string(gdb::kMaxPayload + 100, 'm')), "E01");
  EXPECT_EQ(client.Command("m10,zz"), "E01");
  // Without acknowledgements the replies come alone.
  EXPECT_EQ(client.Command("QStartNoAckMode"), "OK");
  client.acking = false;
  EXPECT_EQ(client.Command("p4"), "e000");
  EXPECT_EQ(client.Command("s"), "S05");
}

TEST_F(ServerTest, AClientVanishingMidRunLeavesTheSimulatorStoppedAndReady) {
  Start();
  ASSERT_TRUE(client.Connect(server->port()));
  EXPECT_EQ(client.Command("Z0,e014,1"), "OK");
  EXPECT_EQ(client.Command("z0,e014,1"), "OK");
  EXPECT_EQ(client.Command("Z2,0,1"), "OK");  // never written: the run goes on
  ASSERT_TRUE(client.SendRaw(gdb::FramePacket("c")));
  EXPECT_EQ(client.ReadByte(), '+');
  usleep(50000);
  client.Close();
  ASSERT_TRUE(client.Connect(server->port()));
  EXPECT_EQ(client.Command("?"), "S05");
  EXPECT_EQ(client.Command("s"), "S05");
  EXPECT_TRUE(host->Shown().empty());  // the vanished client's watchpoint is gone
  EXPECT_EQ(client.Command("D"), "OK");
  Stop();
  EXPECT_TRUE(session->machine().Idle);
  EXPECT_TRUE(session->breakpoints().entries().empty());
}

TEST_F(ServerTest, ReverseStepAndContinueOverTheWire) {
  FakeReverse reverse;
  Start(&reverse);
  ASSERT_TRUE(client.Connect(server->port()));
  EXPECT_NE(client.Command("qSupported").value_or("").find("ReverseContinue+"), std::string::npos);
  EXPECT_EQ(client.Command("bs"), "S05");
  EXPECT_EQ(client.Command("bc"), "T05replaylog:begin;");
}

TEST_F(ServerTest, AnAddressThatIsNoIpv4AddressOrAPortInUseIsRefused) {
  Start();
  std::string error;
  gdb::ControllerHost plain(*controller);
  gdb::Server other(*session, plain);
  EXPECT_FALSE(other.Listen("localhost:1", 0, error));
  EXPECT_NE(error.find("not an IPv4 address"), std::string::npos);
  EXPECT_FALSE(other.Listen(gdb::kLoopback, server->port(), error));
}

// The gdbserver command as a user starts it, in a folder of its own.
class GdbServerProcess {
 public:
  ~GdbServerProcess() { End(); }
  bool Start(const std::filesystem::path& dir, const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) return false;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      if (chdir(dir.c_str()) != 0) _exit(127);
      std::vector<char*> argv{const_cast<char*>(HC11_CLI_PATH), const_cast<char*>("gdbserver")};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(HC11_CLI_PATH, argv.data());
      _exit(127);
    }
    close(out[1]);
    out_ = fdopen(out[0], "r");
    return pid_ > 0;
  }
  // The port from the "listening on" line.
  std::optional<std::uint16_t> Port() {
    pollfd p{fileno(out_), POLLIN, 0};
    if (poll(&p, 1, kWaitMs) <= 0) return std::nullopt;
    char line[256];
    if (fgets(line, sizeof line, out_) == nullptr) return std::nullopt;
    const std::string text = line;
    const auto colon = text.rfind(':');
    if (text.find("listening on 127.0.0.1:") == std::string::npos || colon == std::string::npos)
      return std::nullopt;
    return static_cast<std::uint16_t>(std::stoi(text.substr(colon + 1)));
  }
  // The exit status once the process ends by itself within the bound.
  std::optional<int> Exited(int timeoutMs = kWaitMs) {
    for (int waited = 0; waited < timeoutMs; waited += 10) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      usleep(10000);
    }
    return std::nullopt;
  }
  void End() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
    if (out_ != nullptr) fclose(out_);
    out_ = nullptr;
  }

 private:
  pid_t pid_ = -1;
  FILE* out_ = nullptr;
};

TEST(GdbServerCommandTest, ServesOneClientWithOnceThenEnds) {
  const auto program = LoopProgramCopy();
  GdbServerProcess process;
  ASSERT_TRUE(process.Start(program.parent_path(), {"--port", "0", "--once", "--no-workspace", "loop"}));
  const auto port = process.Port();
  ASSERT_TRUE(port.has_value());
  GdbClient client;
  ASSERT_TRUE(client.Connect(*port));
  EXPECT_EQ(client.Command("g"), "0000000000000000e00000001000");
  EXPECT_EQ(client.Command("Z0,e010,1"), "OK");
  EXPECT_EQ(client.Command("c"), "T05swbreak:;");
  EXPECT_EQ(client.Command("p1"), "0300");  // three passes of addA #1, B counted down
  ASSERT_TRUE(client.SendRaw(gdb::FramePacket("k")));
  EXPECT_EQ(process.Exited(), 0);
}

TEST(GdbServerCommandTest, RefusesBatchOptionsAndBadPorts) {
  const auto program = LoopProgramCopy();
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--steps", "5", "loop"}, {"--port", "70000", "loop"}, {"--port"}, {"--once"}}) {
    GdbServerProcess process;
    ASSERT_TRUE(process.Start(program.parent_path(), args));
    EXPECT_EQ(process.Exited(), 2) << args[0];
  }
}

}  // namespace
}  // namespace hc11::test
