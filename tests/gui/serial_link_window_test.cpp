// The window's serial link: opened from the Options mark and "PortCom", a
// host program on the pty answered during F9, restarted by Init, closed
// with the window; the wait mark holds a run that F2 still stops.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QTimer>
#include <atomic>
#include <filesystem>
#include <thread>

#include "board/panel_tables.h"
#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

std::vector<std::uint8_t> ReadIdle(int fd, int idleMs, int limitMs) {
  std::vector<std::uint8_t> out;
  for (int waited = 0; waited < limitMs; waited += idleMs) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, idleMs) <= 0) break;
    std::uint8_t buffer[256];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    out.insert(out.end(), buffer, buffer + n);
  }
  return out;
}

class SerialWindow : public GuiTest {
 protected:
  std::string Info() { return Label("LbInfo").toStdString(); }
  // Stops the run once `done` holds, or after `limitMs`.
  void StopWhen(std::function<bool()> done, int limitMs) {
    auto* timer = new QTimer(window.get());
    auto started = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, window.get(), [this, timer, done, started, limitMs] {
      *started += 10;
      if (done() || *started > limitMs) {
        timer->stop();
        Trigger("Arret1");
      }
    });
    timer->start(10);
  }
};

TEST_F(SerialWindow, TheMarkOpensAPtyThatAnswersDuringARunAndInitAndCloseEndIt) {
  Open(CopyExample("demo"));
  messages.answer = "pty:" + dir.filePath("board").toStdString();
  Trigger("LiaisonSerie");
  ASSERT_EQ(messages.prompts.size(), 1u);  // "com1" is no port: asked once
  EXPECT_EQ(window->session().settings().Reglage("PortCom"), *messages.answer);
  ASSERT_TRUE(window->serialLink().IsOpen()) << Info();
  EXPECT_NE(Info().find("serial: pty /dev/pts/"), std::string::npos) << Info();
  const std::string link = dir.filePath("board").toStdString();
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), window->serialLink().Name().substr(4));

  const int fd = ::open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  std::vector<std::uint8_t> banner, answer;
  std::atomic<bool> done{false};
  std::thread client([&] {
    banner = ReadIdle(fd, 300, 5000);
    const auto lec = CommandMessage(BoardCommand::LecE2P);
    (void)!::write(fd, lec.data(), lec.size());
    answer = ReadIdle(fd, 300, 5000);
    done = true;
  });
  StopWhen([&] { return done.load(); }, 15000);
  Trigger("Executer1");
  client.join();
  ::close(fd);
  EXPECT_EQ(std::string(banner.begin(), banner.end()), "VHF DEMO 1.0\r\n");
  ASSERT_EQ(answer.size(), 6u);
  EXPECT_EQ(answer[0], 0xA6);
  EXPECT_NE(Info().find("serial: client connected"), std::string::npos) << Info();

  Trigger("CtrlF2");  // Init: the link starts over with the firmware
  EXPECT_TRUE(window->serialLink().IsOpen());
  EXPECT_NE(Info().find("serial: closed"), std::string::npos) << Info();
  const std::string info = Info();
  const auto closed = info.find("serial: closed");
  EXPECT_NE(info.find("serial: pty /dev/pts/", closed), std::string::npos) << info;  // opened again
  EXPECT_EQ(std::filesystem::read_symlink(link).string().rfind("/dev/pts/", 0), 0u);
  window->close();
  EXPECT_FALSE(window->serialLink().IsOpen());
  EXPECT_FALSE(std::filesystem::is_symlink(link));
}

TEST_F(SerialWindow, TheWaitMarkHoldsARunUntilF2AndABadPortClearsTheMark) {
  Open(CopyExample("demo"));
  window->session().settings().SetReglage("PortCom", "tcp:0");
  Trigger("AttenteSerie");
  Trigger("LiaisonSerie");
  ASSERT_TRUE(window->serialLink().IsOpen()) << Info();
  EXPECT_TRUE(messages.prompts.empty());
  const std::int64_t before = window->session().machine().CycleCount;
  StopWhen([] { return false; }, 300);
  Trigger("Executer1");
  EXPECT_LE(window->session().machine().CycleCount - before, 2);  // held, then one step at most
  EXPECT_NE(Info().find("serial: waiting for a client on tcp 127.0.0.1:"), std::string::npos) << Info();

  window->session().settings().SetReglage("PortCom", "/nonexistent/ttyUSB3");
  Trigger("LiaisonSerie");  // off
  Trigger("LiaisonSerie");  // on again: fails
  EXPECT_FALSE(window->serialLink().IsOpen());
  EXPECT_FALSE(window->Action("LiaisonSerie")->isChecked());
  EXPECT_NE(Info().find("serial: /nonexistent/ttyUSB3: No such file or directory"), std::string::npos)
      << Info();
  EXPECT_TRUE(messages.shown.empty());  // never a message box
}

}  // namespace
}  // namespace hc11::test
