// The served conversation over a socket pair, as an editor has it over
// standard input and output: framed messages both ways, a fault answered
// without ending the session, a pause read while a run goes on, the end.
#include "dap/server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>

#include "dap/message_reader.h"
#include "tests/dap/dap_fixture.h"

namespace hc11::test {
namespace {

using dap::Json;

constexpr int kWaitMs = 10000;

class DapServerTest : public DapTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds_), 0);
    served_ = std::async(std::launch::async, [this] { dap::Serve(fds_[1], fds_[1]); });
  }
  void TearDown() override {
    ::shutdown(fds_[0], SHUT_WR);
    if (served_.valid()) {
      EXPECT_EQ(served_.wait_for(std::chrono::milliseconds(kWaitMs)), std::future_status::ready);
    }
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
  void Write(const std::string& bytes) {
    ASSERT_EQ(::write(fds_[0], bytes.data(), bytes.size()), ssize_t(bytes.size()));
  }
  void Send(const std::string& command, const Json& args = Json::object()) {
    Write(dap::Frame({{"seq", ++seq_}, {"type", "request"}, {"command", command}, {"arguments", args}}));
  }
  // The next message; fails the test after kWaitMs without one.
  Json Next() {
    for (;;) {
      if (auto item = reader_.Next()) return item->message;
      pollfd p{fds_[0], POLLIN, 0};
      if (::poll(&p, 1, kWaitMs) <= 0) {
        ADD_FAILURE() << "nothing from the adapter";
        return {};
      }
      char buffer[4096];
      const ssize_t n = ::read(fds_[0], buffer, sizeof buffer);
      if (n <= 0) {
        ADD_FAILURE() << "the adapter closed its side";
        return {};
      }
      reader_.Feed(std::string_view(buffer, static_cast<std::size_t>(n)));
    }
  }
  // Messages up to and including the first that `last` accepts.
  Json Until(const std::function<bool(const Json&)>& last) {
    for (int i = 0; i < 10000; ++i) {
      Json m = Next();
      if (m.is_null() || last(m)) return m;
    }
    return {};
  }
  static auto ResponseTo(const std::string& command) {
    return [command](const Json& m) {
      return m.value("type", "") == "response" && m.value("command", "") == command;
    };
  }
  static auto EventNamed(const std::string& name) {
    return [name](const Json& m) { return m.value("type", "") == "event" && m.value("event", "") == name; };
  }
  int fds_[2] = {-1, -1};
  std::future<void> served_;
  dap::MessageReader reader_;
  int seq_ = 0;
};

TEST_F(DapServerTest, AFaultIsAnsweredAPauseStopsARunAndDisconnectEnds) {
  Program(kCountProgram);
  Send("initialize");
  EXPECT_EQ(Until(ResponseTo("initialize"))["success"], true);
  Write("Content-Length: 2000000\r\n\r\n");
  Write(std::string(2000000, ' '));
  const Json refused = Next();
  EXPECT_EQ(refused["success"], false);
  EXPECT_EQ(refused["message"], "message larger than 1 MiB");
  Write(dap::Frame(Json::array({1})));
  EXPECT_EQ(Next()["message"], "malformed message: not a JSON object");

  Send("launch", {{"program", listing}, {"workspace", false}});
  EXPECT_EQ(Until(ResponseTo("launch"))["success"], true);
  Send("configurationDone");  // runs: the loop never ends by itself
  Until(ResponseTo("configurationDone"));
  Send("stackTrace", {{"threadId", 1}});  // waits for the run's end
  Send("pause", {{"threadId", 1}});
  std::vector<std::string> order;
  Until([&](const Json& m) {
    order.push_back(m.value("type", "") == "event" ? m.value("event", "") : m.value("command", ""));
    return m.value("command", "") == "stackTrace";
  });
  EXPECT_EQ(order, (std::vector<std::string>{"pause", "stopped", "stackTrace"}));

  Send("disconnect");
  EXPECT_EQ(Until(ResponseTo("disconnect"))["success"], true);
  EXPECT_EQ(served_.wait_for(std::chrono::milliseconds(kWaitMs)), std::future_status::ready);
}

TEST_F(DapServerTest, AClientThatGoesAwayEndsTheServiceEvenDuringARun) {
  Program(kCountProgram);
  Send("initialize");
  Send("launch", {{"program", listing}, {"workspace", false}});
  Until(EventNamed("initialized"));
  Send("configurationDone");
  Until(ResponseTo("configurationDone"));
  ::shutdown(fds_[0], SHUT_WR);
  EXPECT_EQ(served_.wait_for(std::chrono::milliseconds(kWaitMs)), std::future_status::ready);
}

TEST(DapListen, BindsTheLoopbackAndRefusesAnAddressItCannotRead) {
  std::uint16_t port = 0;
  std::string error;
  const int fd = dap::ListenTcp("127.0.0.1", port, error);
  ASSERT_GE(fd, 0) << error;
  EXPECT_NE(port, 0);
  sockaddr_in bound{};
  socklen_t len = sizeof bound;
  ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &len), 0);
  EXPECT_EQ(ntohl(bound.sin_addr.s_addr), INADDR_LOOPBACK);
  ::close(fd);
  port = 0;
  EXPECT_LT(dap::ListenTcp("localhost:x", port, error), 0);
  EXPECT_NE(error.find("not an IPv4 address"), std::string::npos);
}

}  // namespace
}  // namespace hc11::test
