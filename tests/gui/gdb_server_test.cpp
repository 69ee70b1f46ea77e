// "Serveur GDB" in the window: the mark starts the server on the "PortGdb"
// port, GDB's breakpoints show in the "Break" list and its stops in the
// labels, and a bad port is reported.
#include <netinet/in.h>
#include <sys/socket.h>

#include <QListWidget>
#include <QStatusBar>
#include <QStringList>

#include "gdbstub/packet.h"
#include "recording/session_file.h"
#include "tests/gdbstub/gdb_client.h"
#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

// A port nobody listens on right now.
std::uint16_t FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t length = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length);
  close(fd);
  return ntohs(addr.sin_port);
}

class GdbServerWindowTest : public GuiTest {
 protected:
  // Sends a packet and lets the window answer it as its timer would.
  std::optional<std::string> Exchange(const std::string& packet) {
    client.SendRaw(gdb::FramePacket(packet));
    for (int i = 0; i < 500; ++i) {
      window->gdbLink().Poll();
      if (const auto reply = client.ReadPacket(10)) return reply;
    }
    return std::nullopt;
  }
  QStringList BreakLines() {
    QStringList lines;
    auto* list = window->findChild<QListWidget*>("ListBreak1");
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
  }
  GdbClient client;
};

TEST_F(GdbServerWindowTest, GdbsBreakpointShowsInTheListAndItsStopInTheLabels) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  const std::uint16_t port = FreePort();
  w.session().settings().SetReglage("PortGdb", std::to_string(port));
  Trigger("ServeurGdb");
  ASSERT_TRUE(w.gdbLink().service().Listening());
  ASSERT_TRUE(client.Connect(port));
  client.acking = false;
  ASSERT_EQ(Exchange("QStartNoAckMode"), "OK");
  EXPECT_EQ(Exchange("Z0,e014,1"), "OK");
  EXPECT_EQ(BreakLines(), QStringList{"e014 C Break    gdb"});
  EXPECT_EQ(Exchange("c"), "T05swbreak:;");
  EXPECT_EQ(Label("Cas_Break"), "Break e014 C Break    gdb");
  EXPECT_EQ(Label("LabelPC"), "PC=E014");
  EXPECT_EQ(Exchange("z0,e014,1"), "OK");
  EXPECT_TRUE(BreakLines().isEmpty());
  // Unchecked, the server closes.
  Trigger("ServeurGdb");
  EXPECT_FALSE(w.gdbLink().service().Listening());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(GdbServerWindowTest, GdbsReverseStepAndContinueMoveTheWindowsViewsBack) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  const std::uint16_t port = FreePort();
  w.session().settings().SetReglage("PortGdb", std::to_string(port));
  Trigger("ServeurGdb");
  ASSERT_TRUE(client.Connect(port));
  client.acking = false;
  ASSERT_EQ(Exchange("QStartNoAckMode"), "OK");
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Exchange("s"), "S05");
  EXPECT_EQ(Label("LabelPC"), "PC=E007");
  EXPECT_EQ(Exchange("bs"), "S05");
  EXPECT_EQ(Label("LabelPC"), "PC=E006");
  EXPECT_EQ(Label("Cas_Break"), QString::fromUtf8("stop arrière"));
  EXPECT_EQ(w.flowPane().Display().PCAddrText, "E006");
  EXPECT_EQ(Exchange("bc"), "T05replaylog:begin;");
  EXPECT_EQ(Label("LabelPC"), "PC=E000");
  EXPECT_EQ(Label("Cas_Break"), QString::fromUtf8("début enregistrement"));
  EXPECT_TRUE(messages.shown.empty());
  // The window then closes with the client still attached.
}

TEST_F(GdbServerWindowTest, ABadPortIsReportedAndNoServerStarts) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  w.session().settings().SetReglage("PortGdb", "abc");
  Trigger("ServeurGdb");
  EXPECT_FALSE(w.gdbLink().service().Listening());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Serveur GDB: port invalide 'abc'");
}

// A client that moves the program's clock back under a recording (a reset,
// Init, a state, a step back) ends it where it stood: the session written is
// whole and reads back, without what the client's command made.
TEST_F(GdbServerWindowTest, AClientMovingTheClockBackEndsARecordingWhole) {
  struct Case {
    const char* name;
    std::string packet;
  };
  auto monitor = [](const std::string& line) {
    return "qRcmd," + gdb::HexBytes(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
  };
  const std::vector<Case> cases = {
      {"monitor reset", monitor("reset")}, {"monitor init", monitor("init")}, {"step back", "bs"}};
  const std::string path = dir.filePath("demo.session").toStdString();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(QString::fromStdString(path));
    client.Close();
    window.reset();
    QFile::remove(dir.filePath("hc11flow.ini"));  // the last case's server mark and port
    gui::MainWindow& w = Open(CopyExample("demo"));
    const std::uint16_t port = FreePort();
    w.session().settings().SetReglage("PortGdb", std::to_string(port));
    Trigger("ServeurGdb");
    ASSERT_TRUE(client.Connect(port));
    client.acking = false;
    ASSERT_EQ(Exchange("QStartNoAckMode"), "OK");
    messages.chosenFile = path;
    Trigger("EnregistrerSession");
    w.session().machine().StepBudget = 60000;
    Trigger("Executer1");
    for (int i = 0; i < 3; ++i) ASSERT_EQ(Exchange("s"), "S05");
    ASSERT_TRUE(Exchange(c.packet).has_value());
    EXPECT_FALSE(w.SessionRecording());
    EXPECT_FALSE(w.SessionUnwritten());
    const SessionReadResult read = ReadSessionFile(path);
    ASSERT_TRUE(read.ok()) << read.message;
    EXPECT_GT(read.session->outputs.size(), 0u) << "the demo's banner";
    EXPECT_GT(read.session->end, 0);
    for (const SessionOutput& o : read.session->outputs) EXPECT_LE(o.time, read.session->end);
    EXPECT_TRUE(window->statusBar()->currentMessage().contains(QString::fromUtf8("reparti en arrière")))
        << window->statusBar()->currentMessage().toStdString();
  }
}

}  // namespace
}  // namespace hc11::test
