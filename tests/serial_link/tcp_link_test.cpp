// A host program on a loopback TCP connection: long exchanges, clients that
// leave and come back, a second client while the first is connected.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <thread>

#include "board/panel_tables.h"
#include "tests/serial_link/demo_link.h"

namespace hc11::test {
namespace {

using namespace std::chrono_literals;

constexpr std::uint8_t kNak = 0x3F;

int Connect(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int PortOf(const serial::SerialLink& link) {
  return std::stoi(link.Name().substr(link.Name().rfind(':') + 1));
}

class TcpLink : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(demo.link.Open({serial::LinkKind::Tcp, "", 0}, 9600, error)) << error;
    ASSERT_EQ(demo.link.Name().rfind("tcp 127.0.0.1:", 0), 0u) << demo.link.Name();
    demo.RunSteps(2'000'000);  // past the start-up text, which nobody hears:
    demo.link.Poll();          // it goes out now, before any client is there
  }
  DemoLink demo;
};

TEST_F(TcpLink, AThousandMessagesComeBackInOrderAndWhole) {
  // A byte that is no command is answered with NAK and the byte itself.
  std::vector<Bytes> got;
  std::atomic<bool> done{false};
  std::thread client([&] {
    const int fd = Connect(PortOf(demo.link));
    for (int i = 0; i < 1000 && fd >= 0; ++i) {
      const std::uint8_t b = static_cast<std::uint8_t>(i % 0xA0);
      if (!WriteAll(fd, {b})) break;
      got.push_back(ReadCount(fd, 2, 3000ms));
    }
    if (fd >= 0) ::close(fd);
    done = true;
  });
  EXPECT_TRUE(demo.RunUntil([&] { return done.load(); }, 60s));
  client.join();
  ASSERT_EQ(got.size(), 1000u);
  for (int i = 0; i < 1000; ++i)
    ASSERT_EQ(got[i], (Bytes{kNak, static_cast<std::uint8_t>(i % 0xA0)})) << "message " << i;
  EXPECT_EQ(demo.link.MessagesDelivered(), 1000u);
}

TEST_F(TcpLink, AClientLeavingMidMessageThenABusyOneThenAWorkingReconnection) {
  const auto lec = CommandMessage(BoardCommand::LecE2P);
  Bytes answer, busy;
  std::atomic<bool> done{false};
  std::thread client([&] {
    const int first = Connect(PortOf(demo.link));
    WriteAll(first, {0xA6, 0x03});  // half a command
    ::close(first);
    std::this_thread::sleep_for(100ms);
    const int second = Connect(PortOf(demo.link));
    std::this_thread::sleep_for(100ms);
    const int third = Connect(PortOf(demo.link));
    busy = ReadUntilIdle(third, 1000ms, 3000ms);  // one line, then closed
    ::close(third);
    ReadUntilIdle(second, 100ms, 1000ms);
    WriteAll(second, Bytes(lec.begin(), lec.end()));
    answer = ReadUntilIdle(second, 300ms, 5000ms);
    ::close(second);
    std::this_thread::sleep_for(50ms);
    done = true;
  });
  EXPECT_TRUE(demo.RunUntil([&] { return done.load(); }));
  client.join();
  EXPECT_EQ(std::string(busy.begin(), busy.end()), "hc11flow: serial link busy, one client at a time\r\n");

  DemoLink panel;
  panel.RunSteps(2'000'000);
  panel.session.board().ClearMemo();
  panel.session.board().PressCommand(BoardCommand::LecE2P);
  panel.RunSteps(3'000'000);
  EXPECT_EQ(answer, panel.MemoBytes());
  ASSERT_GE(demo.events.size(), 4u);
  const auto has = [&](std::string_view text) {
    return std::any_of(demo.events.begin(), demo.events.end(),
                       [&](const std::string& e) { return e.find(text) != std::string::npos; });
  };
  EXPECT_TRUE(has("connected"));
  EXPECT_TRUE(has("disconnected (closed)"));
  EXPECT_TRUE(has("refused: the link is busy"));
  // The half command reached the firmware when its client left, as one message.
  EXPECT_EQ(demo.link.MessagesDelivered(), 2u);
}

TEST(TcpLinkErrors, APortInUseGivesTheSystemsReason) {
  DemoLink demo;
  std::string error;
  ASSERT_TRUE(demo.link.Open({serial::LinkKind::Tcp, "", 0}, 9600, error)) << error;
  serial::SerialLink second(demo.session.board());
  EXPECT_FALSE(second.Open({serial::LinkKind::Tcp, "", PortOf(demo.link)}, 9600, error));
  EXPECT_NE(error.find("Address already in use"), std::string::npos) << error;
}

}  // namespace
}  // namespace hc11::test
