// The window's server switch: ports from the settings, kept in the settings
// file, refused when bad or taken, and a switch asked for in the middle of a
// GDB run applied only once that run is answered.
#include <gtest/gtest.h>

#include "debugger/settings_file.h"
#include "gdbstub/controller_host.h"
#include "gdbstub/stub_service.h"
#include "tests/gdbstub/gdb_client.h"
#include "tests/gdbstub/gdb_fixture.h"

namespace hc11::test {
namespace {

TEST(GdbPortSettingTest, ThePortIsKeptInTheSettingsFile) {
  Settings s;
  EXPECT_EQ(s.Reglage(gdb::kPortSetting), "1234");
  s.SetReglage(gdb::kPortSetting, "4321");
  s.marks.Set(gdb::kServerMark, true);
  const Settings back = ParseSettings(RewriteSettings("", s));
  EXPECT_EQ(back.Reglage(gdb::kPortSetting), "4321");
  EXPECT_TRUE(back.marks.Checked(gdb::kServerMark));
  EXPECT_EQ(back.Reglage("Rafraichissement"), "10000");  // the others still start from their defaults
}

TEST(GdbPortSettingTest, PortsAreNumbersFrom1To65535) {
  EXPECT_EQ(gdb::ParsePort("1"), 1);
  EXPECT_EQ(gdb::ParsePort("65535"), 65535);
  for (const char* bad : {"", "0", "65536", "12a", " 12", "-1"})
    EXPECT_EQ(gdb::ParsePort(bad), std::nullopt) << bad;
}

class StubServiceTest : public LoopSession {
 protected:
  void SetUp() override {
    LoopSession::SetUp();
    host = std::make_unique<gdb::ControllerHost>(*controller);
  }
  std::unique_ptr<gdb::ControllerHost> host;
};

TEST_F(StubServiceTest, StartsMovesAndStopsAndReportsATakenPort) {
  gdb::StubService service(*session, *host);
  gdb::StubService other(*session, *host);
  service.Apply(true, "0", messages);
  EXPECT_FALSE(service.Listening());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Serveur GDB: port invalide '0'");
  // Any free port, found by a first server, then taken by the second.
  gdb::Server probe(*session, *host);
  std::string error;
  ASSERT_TRUE(probe.Listen(gdb::kLoopback, 0, error));
  const std::string port = std::to_string(probe.port());
  probe.Close();
  service.Apply(true, port, messages);
  ASSERT_TRUE(service.Listening());
  other.Apply(true, port, messages);
  EXPECT_FALSE(other.Listening());
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_TRUE(messages.shown[1].text.starts_with("Serveur GDB: 127.0.0.1:" + port + ": "))
      << messages.shown[1].text;
  service.Apply(false, port, messages);
  EXPECT_FALSE(service.Listening());
}

// The mark unchecked while GDB's "c" runs: the run is answered first.
class SwitchingHost : public gdb::ControllerHost {
 public:
  explicit SwitchingHost(Controller& c) : ControllerHost(c), machine_(c.machine()) {}
  void Continue() override {
    service->Apply(false, "", *messages);
    EXPECT_TRUE(service->Listening());
    machine_.StepBudget = 100;
    ControllerHost::Continue();
  }
  gdb::StubService* service = nullptr;
  Messages* messages = nullptr;

 private:
  Machine& machine_;
};

TEST_F(StubServiceTest, SwitchedOffDuringAGdbRunItAnswersThatRunFirst) {
  SwitchingHost switching(*controller);
  gdb::StubService service(*session, switching);
  switching.service = &service;
  switching.messages = &messages;
  gdb::Server probe(*session, *host);
  std::string error;
  ASSERT_TRUE(probe.Listen(gdb::kLoopback, 0, error));
  const std::uint16_t port = probe.port();
  probe.Close();
  service.Apply(true, std::to_string(port), messages);
  ASSERT_TRUE(service.Listening());
  GdbClient client;
  ASSERT_TRUE(client.Connect(port));
  client.SendRaw(gdb::FramePacket("c"));
  for (int i = 0; i < 500 && service.Listening(); ++i) {
    service.Poll();
    usleep(1000);
  }
  EXPECT_FALSE(service.Listening());
  EXPECT_EQ(client.ReadByte(), '+');
  EXPECT_EQ(client.ReadPacket(), "S05");
  EXPECT_TRUE(client.ClosedByPeer());
}

}  // namespace
}  // namespace hc11::test
