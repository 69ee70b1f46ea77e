// The window's reverse commands: every view follows the moment reached.
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <set>

#include "app/gui/profile_window.h"
#include "debugger/workspace_file.h"
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

// Shift+F9 back to the previous stop at a breakpoint, then F9 to the same
// stop: the "Profil" list and the decision's counts are those of that
// moment, however often the stretch is run again.
TEST_F(GuiTest, ProfileAndCoverageFollowTheMomentBackAndForth) {
  const std::string loop = CopyExample("loop");
  Tbreak boucle;
  boucle.name = "boucle";
  boucle.address = 0xE009;
  boucle.BreakState = 2;
  QFile zan(QString::fromStdString(loop + ".Zan"));
  ASSERT_TRUE(zan.open(QIODevice::WriteOnly));
  const std::string bytes = EncodeWorkspace({boucle}, {});
  zan.write(bytes.data(), static_cast<qint64>(bytes.size()));
  zan.close();

  gui::MainWindow& w = Open(loop);
  Trigger("Couverture");
  Trigger("Profil1");
  ASSERT_NE(w.profileWindow(), nullptr);
  // The keys go to the main window, as the user presses them there.
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&w, key, modifiers);
  };
  // What the user reads: every cell of the "Profil" list and the bne's tag.
  auto shown = [&] {
    QStringList cells;
    QTreeWidget& list = w.profileWindow()->List();
    for (int row = 0; row < list.topLevelItemCount(); ++row)
      for (int column = 0; column < list.columnCount(); ++column)
        cells << list.topLevelItem(row)->text(column);
    const LineCoverage bne = w.flowPane().Display().CoverageHook(0xE00E);
    cells << QString("%1/%2").arg(bne.taken).arg(bne.notTaken);
    return cells;
  };
  press(Qt::Key_F9);
  ASSERT_EQ(Label("Cas_Break"), "Break e009 C Break    boucle");
  press(Qt::Key_F9);
  ASSERT_EQ(w.session().machine().cpu.A, 1);
  const QStringList second = shown();
  press(Qt::Key_F9);
  ASSERT_EQ(w.session().machine().cpu.A, 2);
  const QStringList third = shown();
  EXPECT_TRUE(third.contains("2/0")) << third.join(' ').toStdString();
  for (int pass = 0; pass < 3; ++pass) {
    SCOPED_TRACE(pass);
    press(Qt::Key_F9, Qt::ShiftModifier);
    ASSERT_EQ(w.session().machine().cpu.A, 1);
    EXPECT_EQ(shown(), second);
    press(Qt::Key_F9);
    ASSERT_EQ(w.session().machine().cpu.A, 2);
    EXPECT_EQ(shown(), third);
  }
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
