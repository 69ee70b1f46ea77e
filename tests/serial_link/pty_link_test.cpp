// A host program on the other end of a pseudo-terminal talks to the demo
// firmware as it would to the board.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <random>
#include <thread>

#include "board/panel_tables.h"
#include "tests/serial_link/demo_link.h"
#include "tests/support/test_files.h"

namespace hc11::test {
namespace {

using namespace std::chrono_literals;

constexpr std::uint64_t kStartUpSteps = 2'000'000;
constexpr std::uint64_t kAnswerSteps = 3'000'000;

constexpr std::array<BoardCommand, 5> kCommands{BoardCommand::LecE2P, BoardCommand::EcrE2P,
                                                BoardCommand::EcrRam, BoardCommand::RestCfg,
                                                BoardCommand::SauvCfg};

Bytes CommandBytes(BoardCommand c) {
  const auto m = CommandMessage(c);
  return Bytes(m.begin(), m.end());
}

// What the firmware transmits at start-up, then the answer to each message
// placed in the receive buffer as a panel button places it.
std::vector<Bytes> PanelAnswers(const std::vector<Bytes>& messages) {
  DemoLink demo;
  demo.RunSteps(kStartUpSteps);
  std::vector<Bytes> answers{demo.MemoBytes()};
  for (const Bytes& message : messages) {
    demo.session.board().ClearMemo();
    demo.session.board().InjectMessage(message);
    demo.RunSteps(kAnswerSteps);
    answers.push_back(demo.MemoBytes());
  }
  return answers;
}

int OpenClient(const std::string& path) {
  return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

// Sends each message, reads its answer (the length the panel run gave),
// and stops the simulation when done.
struct Exchange {
  std::vector<Bytes> messages;
  std::vector<Bytes> expected;  // [0] the start-up text
  std::vector<Bytes> got;
  std::atomic<bool> done{false};

  void Run(int fd) {
    got.push_back(ReadCount(fd, expected[0].size(), 5000ms));
    for (std::size_t i = 0; i < messages.size(); ++i) {
      if (!WriteAll(fd, messages[i])) break;
      got.push_back(ReadCount(fd, expected[i + 1].size(), 5000ms));
    }
    got.push_back(ReadUntilIdle(fd, 100ms, 1000ms));  // nothing more
    done = true;
  }
};

TEST(PtyLink, TheDemoAnswersHostBytesAsItAnswersThePanelButtons) {
  std::vector<Bytes> messages;
  for (BoardCommand c : kCommands) messages.push_back(CommandBytes(c));
  Exchange x;
  x.messages = messages;
  x.expected = PanelAnswers(messages);
  for (std::size_t i = 1; i < x.expected.size(); ++i) EXPECT_FALSE(x.expected[i].empty()) << i;

  DemoLink demo;
  std::string error;
  ASSERT_TRUE(demo.link.Open({serial::LinkKind::Pty, "", 0}, 9600, error)) << error;
  const int fd = OpenClient(PtyPath(demo.link));
  ASSERT_GE(fd, 0);
  demo.link.Poll();
  ASSERT_TRUE(demo.link.Connected());
  std::thread client([&] { x.Run(fd); });
  EXPECT_TRUE(demo.RunUntil([&] { return x.done.load(); }));
  client.join();
  ::close(fd);
  x.expected.push_back({});
  EXPECT_EQ(x.got, x.expected);
  EXPECT_EQ(demo.link.MessagesDelivered(), messages.size());
}

TEST(PtyLink, AnIdleGapSplitsAMessageInTwo) {
  const Bytes head{0xA6, 0x03}, tail{0x20, 0x05};
  const std::vector<Bytes> expected = PanelAnswers({head, tail});
  DemoLink demo;
  std::string error;
  ASSERT_TRUE(demo.link.Open({serial::LinkKind::Pty, "", 0}, 9600, error)) << error;
  const int fd = OpenClient(PtyPath(demo.link));
  ASSERT_GE(fd, 0);
  demo.link.Poll();
  Bytes answer;
  std::atomic<bool> done{false};
  std::thread client([&] {
    ReadCount(fd, expected[0].size(), 5000ms);
    WriteAll(fd, head);
    std::this_thread::sleep_for(100ms);  // far more than two characters at 9600 baud, and than a slow poll
    WriteAll(fd, tail);
    answer = ReadUntilIdle(fd, 300ms, 5000ms);
    done = true;
  });
  EXPECT_TRUE(demo.RunUntil([&] { return done.load(); }));
  client.join();
  ::close(fd);
  Bytes both = expected[1];
  both.insert(both.end(), expected[2].begin(), expected[2].end());
  EXPECT_EQ(answer, both);
  EXPECT_NE(answer, PanelAnswers({{0xA6, 0x03, 0x20, 0x05}})[1]);
  EXPECT_EQ(demo.link.MessagesDelivered(), 2u);
}

TEST(PtyLink, FloodGarbageAndAClosedPtyAreReportedAndTheLinkStillWorks) {
  const Bytes lec = CommandBytes(BoardCommand::LecE2P);
  DemoLink demo;
  std::string error;
  ASSERT_TRUE(demo.link.Open({serial::LinkKind::Pty, "", 0}, 9600, error)) << error;
  const std::string path = PtyPath(demo.link);
  int fd = OpenClient(path);
  ASSERT_GE(fd, 0);
  demo.link.Poll();
  Bytes flood(100 * 1024);
  std::mt19937 random(7);
  // Nothing that reads as one of the firmware's commands, which would change the EEPROM.
  for (auto& b : flood) b = static_cast<std::uint8_t>(random() & 0x7F);
  Bytes answer;
  std::atomic<bool> done{false};
  std::thread client([&] {
    WriteAll(fd, flood);
    ::close(fd);  // gone in the middle of it all
    std::this_thread::sleep_for(100ms);
    fd = OpenClient(path);
    // The backlog drains (answers to nobody), then a real command.
    std::this_thread::sleep_for(300ms);
    ReadUntilIdle(fd, 300ms, 10000ms);
    WriteAll(fd, lec);
    answer = ReadUntilIdle(fd, 300ms, 5000ms);
    done = true;
  });
  EXPECT_TRUE(demo.RunUntil([&] { return done.load(); }));
  client.join();
  ::close(fd);
  EXPECT_EQ(answer, PanelAnswers({lec})[1]);
  const auto count = [&](std::string_view text) {
    return std::count_if(demo.events.begin(), demo.events.end(),
                         [&](const std::string& e) { return e.find(text) != std::string::npos; });
  };
  EXPECT_GE(count("client disconnected"), 1);
  EXPECT_GE(count("client connected"), 1);
  EXPECT_LE(count("backlog over"), 1);
}

TEST(PtyLink, TheNamedLinkPointsToThePtyWhileOpenAndNeverReplacesAFile) {
  DemoLink demo;
  const std::string link = ::testing::TempDir() + "hc11_board_link_" + std::to_string(::getpid());
  std::filesystem::remove(link);
  std::string error;
  ASSERT_TRUE(demo.link.Open({serial::LinkKind::Pty, link, 0}, 9600, error)) << error;
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), PtyPath(demo.link));
  demo.link.Close();
  EXPECT_FALSE(std::filesystem::symlink_status(link).type() != std::filesystem::file_type::not_found);

  std::ofstream(link) << "precious";
  serial::SerialLink other(demo.session.board());
  EXPECT_FALSE(other.Open({serial::LinkKind::Pty, link, 0}, 9600, error));
  EXPECT_NE(error.find("not a link"), std::string::npos) << error;
  EXPECT_FALSE(other.IsOpen());
  std::ifstream in(link);
  std::string kept;
  in >> kept;
  EXPECT_EQ(kept, "precious");
  std::filesystem::remove(link);
}

// A client that leaves without reading takes what it left unread with it
// (here the start-up banner): the next one reads only the answer to its own
// message.
TEST(PtyLink, AClientGoneUnreadLeavesNothingForTheNext) {
  const Bytes lec = CommandBytes(BoardCommand::LecE2P);
  const std::vector<Bytes> expected = PanelAnswers({lec});
  ASSERT_FALSE(expected[0].empty());
  DemoLink demo;
  std::string error;
  ASSERT_TRUE(demo.link.Open({serial::LinkKind::Pty, "", 0}, 9600, error)) << error;
  const std::string path = PtyPath(demo.link);
  const int first = OpenClient(path);
  ASSERT_GE(first, 0);
  demo.link.Poll();
  ASSERT_TRUE(demo.link.Connected());
  demo.RunSteps(kStartUpSteps);
  demo.link.Poll();  // the banner goes out, and nobody reads it
  ::close(first);
  demo.link.Poll();
  EXPECT_FALSE(demo.link.Connected());

  const int second = OpenClient(path);
  ASSERT_GE(second, 0);
  Bytes got;
  std::atomic<bool> done{false};
  std::thread client([&] {
    if (WriteAll(second, lec)) got = ReadCount(second, expected[1].size(), 5000ms);
    done = true;
  });
  EXPECT_TRUE(demo.RunUntil([&] { return done.load(); }));
  client.join();
  ::close(second);
  EXPECT_EQ(got, expected[1]);
}

// The named link: the temporary name beside it is created, never taken
// over, and only a link naming a pseudo-terminal is replaced.
TEST(PtyLink, TheNamedLinkLeavesOtherFilesAndLinksAlone) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(::testing::TempDir()) / ("hc11_link_names_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string link = (dir / "board").string();
  const std::string precious = (dir / "precious").string();
  std::ofstream(precious) << "precious";
  struct Case {
    const char* name;
    std::string existingLink;  // the text of a link already at LINK, or none
    bool opens;
  };
  const Case cases[] = {
      {"no link yet", "", true},
      {"a stale link to a pty gone", "/dev/pts/987654", true},
      {"a link through /dev/pts to a file", "/dev/pts/../.." + precious, false},
      {"a link to a name under /dev/pts that is no pty", "/dev/pts/ptmx-not", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(link);
    if (!c.existingLink.empty()) fs::create_symlink(c.existingLink, link);
    // Someone else's file under the name the link is first made under.
    const std::string temporary = link + ".tmp-" + std::to_string(::getpid());
    std::ofstream(temporary) << "theirs";
    DemoLink demo;
    std::string error;
    EXPECT_EQ(demo.link.Open({serial::LinkKind::Pty, link, 0}, 9600, error), c.opens) << error;
    if (c.opens) {
      EXPECT_EQ(fs::read_symlink(link).string(), PtyPath(demo.link));
    } else {
      EXPECT_NE(error.find("not a link to a pseudo-terminal"), std::string::npos) << error;
      EXPECT_EQ(fs::read_symlink(link).string(), c.existingLink);
    }
    demo.link.Close();
    EXPECT_EQ(Slurp(temporary), "theirs");
    EXPECT_EQ(Slurp(precious), "precious");
    fs::remove(temporary);
  }
  fs::remove_all(dir);
}

TEST(DeviceLink, ADeviceIsOpenedRawAndAMissingOneGivesTheSystemsReason) {
  DemoLink demo;
  std::string error;
  EXPECT_FALSE(demo.link.Open({serial::LinkKind::Device, "/nonexistent/ttyUSB9", 0}, 9600, error));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
  EXPECT_FALSE(demo.link.Open({serial::LinkKind::Device, "/dev/null", 0}, 9600, error));
  EXPECT_NE(error.find("not a serial port"), std::string::npos) << error;

  // The slave of a pty of our own stands for a USB adapter.
  serial::SerialLink pty(demo.session.board());
  ASSERT_TRUE(pty.Open({serial::LinkKind::Pty, "", 0}, 9600, error)) << error;
  EXPECT_FALSE(demo.link.Open({serial::LinkKind::Device, PtyPath(pty), 0}, 12345, error));
  EXPECT_NE(error.find("unsupported baud rate"), std::string::npos) << error;
  ASSERT_TRUE(demo.link.Open({serial::LinkKind::Device, PtyPath(pty), 0}, 19200, error)) << error;
  EXPECT_EQ(demo.link.Name(), PtyPath(pty));
  EXPECT_TRUE(demo.link.Connected());
}

}  // namespace
}  // namespace hc11::test
