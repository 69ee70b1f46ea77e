// The window's reverse commands: every view follows the moment reached.
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <set>

#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

TEST_F(GuiTest, StepBackAndRunBackShowTheEarlierMoment) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  Machine& m = w.session().machine();
  // ldS, ldX, clrA, ldB, three passes of addA stA decB bne, callr, incX, ret: at "jr debut".
  for (int i = 0; i < 19; ++i) Trigger("Step7");
  ASSERT_EQ(m.cpu.PC, 0xE012);
  ASSERT_EQ(m.cpu.X, 1);
  const auto* reach = w.statusBar()->findChild<QLabel*>("LbRetour");
  ASSERT_NE(reach, nullptr);
  EXPECT_EQ(reach->text(), QString::fromUtf8("retour possible jusqu'à cycle 0"));
  EXPECT_EQ(w.statusBar()->currentMessage(), QString::fromUtf8("Pas à pas: E012"));  // the step's own message

  Trigger("PasArriere");
  EXPECT_EQ(Label("Cas_Break"), QString::fromUtf8("stop arrière"));
  EXPECT_EQ(Label("LabelPC"), "PC=E015");  // on the ret
  EXPECT_TRUE(Label("LigneX2").startsWith("PC=E015"));

  Trigger("Step7");  // forward again, then back over the whole call
  Trigger("PasArriereSpr");
  EXPECT_EQ(Label("LabelPC"), "PC=E010");
  EXPECT_EQ(Label("LabelX"), "X=0000");
  EXPECT_EQ(w.flowPane().Display().PCAddrText, "E010");  // the flowchart line follows
  EXPECT_EQ(m.Memory[0x10], 3);

  Trigger("ExecuterArriere");  // no breakpoint: the start of the record
  EXPECT_EQ(Label("Cas_Break"), QString::fromUtf8("début enregistrement"));
  EXPECT_EQ(Label("LabelPC"), "PC=E000");
  EXPECT_EQ(m.Memory[0x10], 0);
}

TEST_F(GuiTest, ArretStopsExecuterEnArriereAsItStopsARun) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  Machine& m = w.session().machine();
  m.StepBudget = 3'000'000;
  Trigger("Executer1");
  ASSERT_EQ(Label("Cas_Break"), "stop ");
  // F2 comes while the window walks back: the replay lets the key through.
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w, 5000));
  QTimer::singleShot(0, &w, [&w] { QTest::keyClick(&w, Qt::Key_F2); });
  Trigger("ExecuterArriere");
  EXPECT_EQ(Label("Cas_Break"), QString::fromUtf8("stop arrière"));
  EXPECT_NE(Label("LabelPC"), "PC=E000");  // far from the start of the record
  EXPECT_TRUE(w.Action("ExecuterArriere")->isEnabled());
  Trigger("ExecuterArriere");  // left alone, it goes all the way
  EXPECT_EQ(Label("Cas_Break"), QString::fromUtf8("début enregistrement"));
  EXPECT_EQ(Label("LabelPC"), "PC=E000");
}

TEST_F(GuiTest, ReverseShortcutsClashWithNoOtherCommand) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  std::set<QString> keys;
  for (QAction* a : w.findChildren<QAction*>()) {
    if (a->shortcut().isEmpty()) continue;
    EXPECT_TRUE(keys.insert(a->shortcut().toString()).second) << a->shortcut().toString().toStdString();
  }
  EXPECT_EQ(w.Action("PasArriere")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F7));
  EXPECT_EQ(w.Action("PasArriereSpr")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F8));
  EXPECT_EQ(w.Action("ExecuterArriere")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F9));
}

}  // namespace
}  // namespace hc11::test
