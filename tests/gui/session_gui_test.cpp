// "Fichier" → "Enregistrer la session…", "Arrêter l'enregistrement" and
// "Rejouer la session…" as a user meets them on the demo: the file dialogs and
// the questions are answered through the recorded messages.
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/gui/board_panel.h"
#include "board/board.h"
#include "core/text_util.h"
#include "recording/session_file.h"
#include "reverse/sim_state.h"
#include "tests/gui/gui_fixture.h"
#include "tests/support/test_files.h"
#include "tools/lstgen/generate.h"

namespace hc11::test {
namespace {

class SessionGuiTest : public GuiTest {
 protected:
  QString Mark() {
    auto* mark = window->statusBar()->findChild<QLabel*>("LbSession");
    return mark == nullptr ? QString() : mark->text();
  }
  bool StopEnabled() { return window->Action("ArreterEnregistrement")->isEnabled(); }
  std::uint64_t Digest() { return StateDigest(window->session().machine(), &window->session().board()); }
  std::string SessionPath() { return dir.filePath("demo.session").toStdString(); }

  void RunSteps(std::uint64_t steps) {
    window->session().machine().StepBudget = steps;
    Trigger("Executer1");
    window->session().machine().StepBudget = 0;
  }
  QPushButton* PanelButton(const char* name) { return window->boardPanel().findChild<QPushButton*>(name); }

  // Records on the window as a user does: a key held then released, then
  // "Ecr ram", whose serial message the demo answers.
  void RecordDemo() {
    messages.chosenFile = SessionPath();
    Trigger("EnregistrerSession");
    RunSteps(30000);
    QTest::mousePress(PanelButton("BitBtn2"), Qt::LeftButton);  // "C+"
    RunSteps(20000);
    QTest::mouseRelease(PanelButton("BitBtn2"), Qt::LeftButton);
    RunSteps(20000);
    QTest::mouseClick(PanelButton("Button2"), Qt::LeftButton);  // "Ecr ram"
    RunSteps(200000);
    Trigger("ArreterEnregistrement");
  }

  SessionFile ReadBack() {
    const SessionReadResult read = ReadSessionFile(SessionPath());
    EXPECT_TRUE(read.ok()) << read.message;
    return read.ok() ? *read.session : SessionFile{};
  }
};

TEST_F(SessionGuiTest, TheThreeEntriesSitBesideTheStateEntries) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  QMenu* fichier = nullptr;
  for (QAction* a : w.menuBar()->actions())
    if (QString(a->text()).remove('&') == "Fichier") fichier = a->menu();
  ASSERT_NE(fichier, nullptr);
  QStringList order;
  for (QAction* a : fichier->actions())
    if (!a->isSeparator() && !a->objectName().isEmpty()) order << a->objectName();
  const int charger = order.indexOf("ChargerEtat");
  ASSERT_GE(charger, 0);
  EXPECT_EQ(order.mid(charger, 5), QStringList({"ChargerEtat", "EnregistrerSession", "ArreterEnregistrement",
                                                "RejouerSession", "Quitter1"}));
  EXPECT_EQ(w.Action("EnregistrerSession")->text(), QString::fromUtf8("Enregistrer la session…"));
  EXPECT_EQ(w.Action("ArreterEnregistrement")->text(), QString::fromUtf8("Arrêter l'enregistrement"));
  EXPECT_EQ(w.Action("RejouerSession")->text(), QString::fromUtf8("Rejouer la session…"));
  EXPECT_FALSE(StopEnabled()) << "nothing to stop before a recording";
  EXPECT_EQ(Mark(), "");
}

TEST_F(SessionGuiTest, ARecordingStartsAtTheProgramsStartAndReplaysTheSame) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  Machine& m = w.session().machine();
  for (int i = 0; i < 30; ++i) Trigger("Step7");
  ASSERT_NE(m.cpu.PC, m.StartPC);

  messages.chosenFile = SessionPath();
  Trigger("EnregistrerSession");
  EXPECT_EQ(m.cpu.PC, m.StartPC) << "Init first, so a replay begins where the recording did";
  EXPECT_EQ(Mark(), "Enregistrement");
  EXPECT_TRUE(StopEnabled());
  EXPECT_EQ(messages.fileDialogs.back(), "Enregistrer la session|Session (*.session)");
  EXPECT_TRUE(w.statusBar()->currentMessage().contains("Init"));
  RunSteps(1000);
  QTest::mousePress(PanelButton("BitBtn2"), Qt::LeftButton);
  RunSteps(20000);
  QTest::mouseRelease(PanelButton("BitBtn2"), Qt::LeftButton);
  QTest::mouseClick(PanelButton("Button2"), Qt::LeftButton);
  RunSteps(200000);
  Trigger("ArreterEnregistrement");
  EXPECT_EQ(Mark(), "");
  EXPECT_FALSE(StopEnabled());
  EXPECT_TRUE(messages.shown.empty());

  const SessionFile s = ReadBack();
  EXPECT_EQ(s.program, "demo");
  EXPECT_EQ(s.digest, w.session().CodeImageDigest());
  auto has = [&](SessionInputKind kind) {
    return std::any_of(s.inputs.begin(), s.inputs.end(),
                       [&](const SessionInput& in) { return in.kind == kind; });
  };
  EXPECT_TRUE(has(SessionInputKind::KeyDown));
  EXPECT_TRUE(has(SessionInputKind::KeyUp));
  EXPECT_TRUE(has(SessionInputKind::Serial));
  ASSERT_GT(s.outputs.size(), 0u);
  EXPECT_EQ(w.statusBar()->currentMessage().toStdString(),
            Format("Session écrite: %s (%zu entrées, %zu sorties)", SessionPath().c_str(), s.inputs.size(),
                   s.outputs.size()));

  Trigger("RejouerSession");
  EXPECT_EQ(messages.fileDialogs.back(), "Rejouer la session|Session (*.session)");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Rejouer la session");
  EXPECT_EQ(messages.shown[0].kind, MsgKind::Info);
  const std::string header =
      "session: demo" + Format(" %16.16llx ", static_cast<unsigned long long>(s.digest)) + "designed\n";
  EXPECT_EQ(messages.shown[0].text, header + "same: " + std::to_string(s.outputs.size()) + " outputs\n");
  EXPECT_EQ(Mark(), "");
}

// However the demo ran before, a session starts where a fresh load of the
// program starts (the CLI's replay begins there): processor, memory and every
// device of the board.
TEST_F(SessionGuiTest, ASessionStartsFromAFreshLoadsStateWhateverRanBefore) {
  const std::string demo = CopyExample("demo");
  RecordingHooks hooks;
  RecordingMessages said;
  Controller fresh(hooks, said);
  fresh.Load(demo);
  const std::uint64_t freshStart = StateDigest(fresh.machine(), &fresh.session().board());

  gui::MainWindow& w = Open(demo);
  RunSteps(100000);
  for (const char* command : {"Button2", "EcrE2P", "SvCfg"}) {
    QTest::mouseClick(PanelButton(command), Qt::LeftButton);
    RunSteps(300000);
  }
  QTest::mousePress(PanelButton("BitBtn2"), Qt::LeftButton);
  RunSteps(50000);
  ASSERT_NE(Digest(), freshStart);
  QTest::mouseRelease(PanelButton("BitBtn2"), Qt::LeftButton);
  messages.chosenFile = SessionPath();
  Trigger("EnregistrerSession");
  EXPECT_EQ(Digest(), freshStart);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(w.boardPanel().findChild<QPushButton*>("CoupureSecteur")->isChecked(), false);
}

// The panel's buttons pressed while a replay runs are not given: the replay
// is the session's inputs alone, and it stays the same.
TEST_F(SessionGuiTest, ThePanelHasNoEffectDuringAReplay) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  RecordDemo();
  const SessionFile s = ReadBack();
  int clicks = 0;
  QTimer pressing;
  QObject::connect(&pressing, &QTimer::timeout, [&] {
    if (w.runControl().Running()) {
      QTest::mouseClick(PanelButton("Button1"), Qt::LeftButton);  // "LecE2P": the demo answers it
      ++clicks;
    }
  });
  pressing.start(0);
  Trigger("RejouerSession");
  pressing.stop();
  ASSERT_GT(clicks, 0) << "the replay's runs let the window's events through";
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("same: " + std::to_string(s.outputs.size())), std::string::npos)
      << messages.shown[0].text;

  // Afterwards the panel works again.
  QTest::mouseClick(PanelButton("Button1"), Qt::LeftButton);
  EXPECT_EQ(w.session().machine().MemRead8(kSciData), 0xA6);
}

// "Coupure secteur" and the power back during a recording: the power back
// resets the machine's clock, and the session's time goes on regardless, so
// the file reads back and replays the same.
TEST_F(SessionGuiTest, APowerCutDuringARecordingKeepsTheSessionsTimeGoingOn) {
  Open(CopyExample("demo"));
  messages.chosenFile = SessionPath();
  Trigger("EnregistrerSession");
  RunSteps(50000);
  QTest::mouseClick(PanelButton("CoupureSecteur"), Qt::LeftButton);
  RunSteps(1000);
  QTest::mouseClick(PanelButton("CoupureSecteur"), Qt::LeftButton);
  RunSteps(30000);
  QTest::mouseClick(PanelButton("Button2"), Qt::LeftButton);
  RunSteps(100000);
  Trigger("ArreterEnregistrement");
  const SessionFile s = ReadBack();
  const auto on = std::find_if(s.inputs.begin(), s.inputs.end(),
                               [](const SessionInput& in) { return in.kind == SessionInputKind::PowerOn; });
  ASSERT_NE(on, s.inputs.end());
  const std::size_t before = std::count_if(s.outputs.begin(), s.outputs.end(),
                                           [&](const SessionOutput& o) { return o.time < on->time; });
  ASSERT_GT(before, 0u);
  ASSERT_GT(s.outputs.size(), before + 20) << "the banner again after the power back, and the reply";
  EXPECT_GT(s.end, on->time);

  Trigger("RejouerSession");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("same: " + std::to_string(s.outputs.size()) + " outputs"),
            std::string::npos)
      << messages.shown[0].text;
}

// A session keeps the clock it was recorded in: the replay switches the
// window's mode to it, and says so.
TEST_F(SessionGuiTest, AnExactSessionReplaysInTheExactModeWhateverTheWindowsMode) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  Trigger("ProcesseurExact");
  ASSERT_TRUE(w.session().machine().Exact);
  RecordDemo();
  const SessionFile s = ReadBack();
  ASSERT_EQ(s.clock, SessionClock::Exact);
  Trigger("ProcesseurExact");
  ASSERT_FALSE(w.session().machine().Exact);

  Trigger("RejouerSession");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("same: " + std::to_string(s.outputs.size()) + " outputs"),
            std::string::npos)
      << messages.shown[0].text;
  EXPECT_NE(messages.shown[0].text.find("Processeur exact coché"), std::string::npos);
  EXPECT_TRUE(w.session().machine().Exact);
  EXPECT_TRUE(w.Action("ProcesseurExact")->isChecked());
  EXPECT_EQ(w.statusBar()->findChild<QLabel*>("LbMode")->text(), "Processeur exact");
}

// The demo's source with one reply's constant changed, assembled beside the
// window's copy under another folder, with the same name.
std::string PatchedDemo(const std::filesystem::path& dir) {
  std::string source = Slurp(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo.asm");
  const std::string from = "reply   CMD_WRRAM,ST_OK";
  const std::size_t at = source.find(from);
  EXPECT_NE(at, std::string::npos);
  source.replace(at, from.size(), "reply   CMD_WRRAM,$07");
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "demo.asm") << source;
  std::ostringstream said;
  EXPECT_TRUE(lstgen::GenerateFiles((dir / "demo.asm").string(), (dir / "demo").string(), said))
      << said.str();
  return (dir / "demo").string();
}

TEST_F(SessionGuiTest, AReplayOnAChangedBuildStopsAtTheDifferenceAndCanGoBack) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  RecordDemo();
  const SessionFile s = ReadBack();
  const std::string patched = PatchedDemo(std::filesystem::path(dir.path().toStdString()) / "new");
  w.OpenListingFile(patched + ".lst");
  ASSERT_NE(w.session().CodeImageDigest(), s.digest);

  messages.chosenFile = SessionPath();
  Trigger("RejouerSession");
  ASSERT_EQ(messages.shown.size(), 1u);
  const ShownMessage& said = messages.shown[0];
  EXPECT_EQ(said.caption, "Rejouer la session");
  EXPECT_NE(said.text.find("differ: output "), std::string::npos) << said.text;
  EXPECT_NE(said.text.find(
                Format("build: %16.16llx\n", static_cast<unsigned long long>(w.session().CodeImageDigest()))),
            std::string::npos)
      << said.text;
  EXPECT_NE(said.text.find("recorded: tx 00 at "), std::string::npos) << said.text;
  EXPECT_NE(said.text.find("new: tx 07 at "), std::string::npos) << said.text;
  // The window stands where the result says: registers, flowchart and source.
  const std::size_t pcAt = said.text.find("pc: ");
  ASSERT_NE(pcAt, std::string::npos);
  const std::string pc = said.text.substr(pcAt + 4, 4);
  Machine& m = w.session().machine();
  EXPECT_EQ(Format("%4.4X", m.cpu.PC), pc);
  EXPECT_EQ(Label("LabelPC").toStdString(), "PC=" + pc);
  EXPECT_EQ(w.flowPane().Display().PCAddrText, pc);
  EXPECT_TRUE(Label("Cas_Break").startsWith(QString::fromUtf8("différence sortie")));

  // The going-back record holds the replay: one step back, then forward again.
  const std::uint64_t at = Digest();
  const std::uint64_t steps = m.StepTotal;
  Trigger("PasArriere");
  EXPECT_EQ(Label("Cas_Break"), QString::fromUtf8("stop arrière"));
  EXPECT_EQ(m.StepTotal, steps - 1);
  EXPECT_NE(Digest(), at);
  Trigger("Step7");
  EXPECT_EQ(m.StepTotal, steps);
  EXPECT_EQ(Digest(), at);
  Trigger("ExecuterArriere");
  EXPECT_EQ(Label("Cas_Break"), QString::fromUtf8("début enregistrement"));
  EXPECT_EQ(m.cpu.PC, m.StartPC);
  EXPECT_TRUE(messages.confirms.empty()) << "no recording: nothing to ask";
}

TEST_F(SessionGuiTest, AHostileSessionIsRefusedWithItsLineAndChangesNothing) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  messages.chosenFile = SessionPath();
  Trigger("EnregistrerSession");  // a recording under way is left as it is
  for (int i = 0; i < 25; ++i) Trigger("Step7");
  const std::string header = "hc11flow session 1\nprogram demo\ndigest 0000000000000001\nclock designed\n";
  struct Case {
    const char* name;
    std::string text;
    const char* said;
  };
  const std::vector<Case> cases = {
      {"not a session", "MZ\x90\x00 binary", "line 1: "},
      {"time back", header + "in 50 signal 3\nin 10 signal 4\nend 60\n", "line 6: time goes back"},
      {"open string", header + "in 0 serial \"\\xa4\nend 9\n", "line 5: unterminated string"},
      {"no end", header + "out 3 tx 41\n", "no end line"},
      {"bad key", header + "in 0 key 99 down\nend 1\n", "line 5: "},
  };
  const std::string hostile = dir.filePath("hostile.session").toStdString();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(hostile, std::ios::binary | std::ios::trunc) << c.text;
    messages.shown.clear();
    messages.chosenFile = hostile;
    const std::uint64_t before = Digest();
    const QString pc = Label("LabelPC");
    Trigger("RejouerSession");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Erreur");
    EXPECT_NE(messages.shown[0].text.find(c.said), std::string::npos) << messages.shown[0].text;
    EXPECT_EQ(Digest(), before);
    EXPECT_EQ(Label("LabelPC"), pc);
    EXPECT_TRUE(w.SessionRecording());
    EXPECT_TRUE(messages.confirms.empty());
  }
}

// Every command that starts the program over or leaves it ends a recording
// first and asks whether to write it; "Non" gives the session up.
TEST_F(SessionGuiTest, CommandsThatLeaveTheProgramAskToWriteTheSession) {
  struct Case {
    const char* name;
    std::function<void(gui::MainWindow&)> command;
    bool answer;
  };
  const std::vector<Case> cases = {
      {"Init written", [](gui::MainWindow& w) { w.Action("CtrlF2")->trigger(); }, true},
      {"Init given up", [](gui::MainWindow& w) { w.Action("CtrlF2")->trigger(); }, false},
      {"relancer", [](gui::MainWindow& w) { w.Action("relancer1")->trigger(); }, true},
      {"going back", [](gui::MainWindow& w) { w.Action("PasArriere")->trigger(); }, true},
      {"another program", [&](gui::MainWindow& w) { w.OpenListingFile(w.ListingBase() + ".lst"); }, true},
      {"closing", [](gui::MainWindow& w) { w.close(); }, true},
      {"exact mode", [](gui::MainWindow& w) { w.Action("ProcesseurExact")->trigger(); }, true},
      {"a state",
       [&](gui::MainWindow& w) {
         messages.chosenFile = dir.filePath("demo.etat").toStdString();
         w.Action("SauverEtat")->trigger();
         w.Action("ChargerEtat")->trigger();
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(SessionPath());
    messages.confirms.clear();
    messages.confirmAnswer = c.answer;
    gui::MainWindow& w = Open(CopyExample("demo"));
    messages.chosenFile = SessionPath();
    Trigger("EnregistrerSession");
    RunSteps(5000);
    QTest::mouseClick(PanelButton("Button2"), Qt::LeftButton);
    RunSteps(20000);
    c.command(w);
    ASSERT_EQ(messages.confirms.size(), 1u);
    EXPECT_NE(messages.confirms[0].find("Enregistrement|"), std::string::npos);
    EXPECT_NE(messages.confirms[0].find(SessionPath()), std::string::npos) << messages.confirms[0];
    EXPECT_FALSE(w.SessionRecording());
    EXPECT_FALSE(w.SessionUnwritten());
    EXPECT_EQ(std::filesystem::exists(SessionPath()), c.answer);
    if (c.answer) {
      EXPECT_TRUE(ReadSessionFile(SessionPath()).ok());
    }
    EXPECT_EQ(Mark(), "");
    window.reset();
  }
}

TEST_F(SessionGuiTest, AFailedWriteKeepsTheSessionForAnotherName) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  const std::string nowhere = dir.filePath("absent/folder/demo.session").toStdString();
  messages.chosenFile = nowhere;
  Trigger("EnregistrerSession");
  RunSteps(5000);
  QTest::mouseClick(PanelButton("Button2"), Qt::LeftButton);
  RunSteps(100000);
  Trigger("ArreterEnregistrement");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Erreur");
  EXPECT_NE(messages.shown[0].text.find("Session non écrite"), std::string::npos);
  EXPECT_TRUE(w.SessionUnwritten());
  EXPECT_TRUE(StopEnabled());
  EXPECT_EQ(Mark(), QString::fromUtf8("Session non écrite"));

  // Closing now would lose it: another name is asked for; a write that fails
  // again, or no name, keeps the window open with the session.
  struct Close {
    const char* name;
    std::optional<std::string> chosen;
    std::size_t errors;
  };
  for (const Close& c : {Close{"failing again", nowhere, 2}, Close{"no name", std::nullopt, 2}}) {
    SCOPED_TRACE(c.name);
    messages.confirms.clear();
    messages.chosenFile = c.chosen;
    w.close();
    ASSERT_EQ(messages.confirms.size(), 1u);
    EXPECT_NE(messages.confirms[0].find("autre nom"), std::string::npos) << messages.confirms[0];
    EXPECT_EQ(messages.shown.size(), c.errors);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.SessionUnwritten());
  }

  // "Arrêter l'enregistrement" again offers another name.
  messages.chosenFile = SessionPath();
  Trigger("ArreterEnregistrement");
  EXPECT_FALSE(w.SessionUnwritten());
  EXPECT_FALSE(StopEnabled());
  EXPECT_EQ(Mark(), "");
  const SessionFile s = ReadBack();
  EXPECT_TRUE(std::any_of(s.inputs.begin(), s.inputs.end(),
                          [](const SessionInput& in) { return in.kind == SessionInputKind::Serial; }));
  EXPECT_GT(s.outputs.size(), 0u);
}

}  // namespace
}  // namespace hc11::test
