// `hc11flow-cli run --serial ...` as a user runs it, with a host program on
// the pseudo-terminal it names.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

#include "board/panel_tables.h"
#include "tests/serial_link/demo_link.h"

extern char** environ;

namespace hc11::test {
namespace {

using namespace std::chrono_literals;

class SerialCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::path(::testing::TempDir()) /
          ("hc11_serial_cli_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    for (const char* ext : {".lst", ".HEX"})
      std::filesystem::copy_file(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo" + ext,
                                 dir / (std::string("demo") + ext));
  }
  void TearDown() override {
    if (pid > 0) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
    if (errFd >= 0) ::close(errFd);
    std::filesystem::remove_all(dir);
  }

  // Starts the CLI on the demo; its stderr comes back through a pipe.
  void Start(std::vector<std::string> args) {
    args.insert(args.begin(), {HC11_CLI_PATH, "run", (dir / "demo").string()});
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, (dir / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ASSERT_EQ(posix_spawn(&pid, HC11_CLI_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    errFd = pipeFds[0];
  }

  // Reads stderr until a line starting with `prefix`, within a bound.
  std::string ErrLine(std::string_view prefix) {
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < end) {
      for (auto nl = err.find('\n'); nl != std::string::npos; nl = err.find('\n')) {
        std::string line = err.substr(0, nl);
        err.erase(0, nl + 1);
        seen.push_back(line);
        if (line.starts_with(prefix)) return line;
      }
      const Bytes more = ReadUntilIdle(errFd, 200ms, 200ms);
      if (more.empty() && ::waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;
        break;
      }
      err.append(more.begin(), more.end());
    }
    return {};
  }

  // Waits for the exit; the status, or -1 past the bound.
  int Exit() {
    for (int i = 0; i < 200 && pid > 0; ++i) {
      ErrLine("\x01");  // keeps the pipe drained
      if (pid > 0 && ::waitpid(pid, &status, WNOHANG) == pid) pid = -1;
    }
    return pid > 0 ? -1 : (WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  }

  std::string Out() {
    std::ifstream in(dir / "out.txt");
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  std::filesystem::path dir;
  pid_t pid = -1;
  int errFd = -1;
  int status = 0;
  std::string err;
  std::vector<std::string> seen;
};

TEST_F(SerialCli, AHostProgramOnThePtyGetsTheBannerAndTheAnswerThenTheRunEndsWhenItFallsSilent) {
  Start({"--serial", "pty", "--serial-wait", "--until-idle", "300", "--seconds", "30"});
  const std::string named = ErrLine("serial: pty /dev/pts/");
  ASSERT_FALSE(named.empty());
  const int fd = ::open(named.substr(12).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  const Bytes banner = ReadUntilIdle(fd, 300ms, 5000ms);
  EXPECT_EQ(std::string(banner.begin(), banner.end()), "VHF DEMO 1.0\r\n");
  const auto lec = CommandMessage(BoardCommand::LecE2P);
  ASSERT_TRUE(WriteAll(fd, Bytes(lec.begin(), lec.end())));
  const Bytes answer = ReadUntilIdle(fd, 200ms, 5000ms);
  ASSERT_EQ(answer.size(), 6u);  // the command, then the five bytes read
  EXPECT_EQ(answer[0], 0xA6);
  EXPECT_EQ(Exit(), 0);
  ::close(fd);
  EXPECT_NE(std::find(seen.begin(), seen.end(), "serial: client connected"), seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(), "serial: run ended: host idle"), seen.end());
  const std::string out = Out();
  EXPECT_NE(out.find("status: stop \n"), std::string::npos) << out;
  EXPECT_NE(out.find("memo: uart a6\n"), std::string::npos) << out;
}

TEST_F(SerialCli, RealTimeKeepsSimulatedTimeWithTheWallClock) {
  Start({"--realtime", "--seconds", "1"});
  EXPECT_EQ(Exit(), 0);
  const std::string out = Out();
  const auto t = out.find("T=", out.find("trace: "));
  ASSERT_NE(t, std::string::npos) << out;
  const double ms = std::stod(out.substr(t + 2));
  // Unpaced, a second of the demo simulates tens of seconds; a slow, shared
  // machine may fall a little behind the clock, never ahead of it.
  EXPECT_GT(ms, 200.0) << out;
  EXPECT_LT(ms, 1100.0) << out;
  EXPECT_NE(std::find(seen.begin(), seen.end(), "serial: run ended: wall-clock limit reached"), seen.end());
}

TEST_F(SerialCli, NoClientWithinTheBoundAndBadSpecsEndWithAMessage) {
  struct Case {
    std::vector<std::string> args;
    int exit;
    const char* message;
  };
  const std::string regular = (dir / "demo.lst").string();
  for (const Case& c : std::vector<Case>{
           {{"--serial", "tcp:0", "--serial-wait", "--seconds", "1"}, 1, "serial: no client connected"},
           {{"--serial", "pty:" + regular}, 1, "exists and is not a link"},
           {{"--serial", "/nonexistent/ttyUSB7"}, 1, "No such file or directory"},
           {{"--serial", "com4"}, 2, "--serial: expected pty"},
           {{"--until-idle", "100"}, 2, "--until-idle needs --serial"},
           {{"--serial", "pty", "--serial-gap", "0"}, 2, "--serial-gap: expected milliseconds"},
       }) {
    Start(c.args);
    EXPECT_EQ(Exit(), c.exit) << c.args[1];
    std::string all;
    for (const std::string& line : seen) all += line + "\n";
    EXPECT_NE(all.find(c.message), std::string::npos) << all;
    ::close(errFd);
    errFd = -1;
    seen.clear();
    err.clear();
  }
  EXPECT_TRUE(std::filesystem::is_regular_file(regular));
}

}  // namespace
}  // namespace hc11::test
