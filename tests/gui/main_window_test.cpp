#include <QCloseEvent>
#include <QFileInfo>
#include <QImage>
#include <QTimer>

#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

TEST_F(GuiTest, FirstStartOpensTheDemoWithThePcLineShown) {
  const std::string demo = CopyExample("demo");
  gui::MainWindow& w = Open("", demo);
  for (const ShownMessage& m : messages.shown) ADD_FAILURE() << m.caption << ": " << m.text;
  EXPECT_EQ(w.ListingBase(), demo);
  EXPECT_TRUE(w.windowTitle().endsWith(QString::fromStdString(demo)));
  EXPECT_EQ(w.flowPane().CurrentFunction(), "debprog_");
  EXPECT_EQ(w.flowPane().Display().PCAddrText, "E000");
  EXPECT_EQ(Label("LabelPC"), "PC=E000");
  EXPECT_TRUE(Label("LigneX2").startsWith("PC=E000"));
  EXPECT_TRUE(Label("Cas_Break").isEmpty());
}

TEST_F(GuiTest, MissingListingIsReportedAndTheWindowCarriesOn) {
  gui::MainWindow& w = Open(dir.filePath("absent").toStdString());
  ASSERT_FALSE(messages.shown.empty());
  // One box for the load: the missing listing first, then the missing image.
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown.front().text.rfind(
                "Manque fichier LST " + dir.filePath("absent").toStdString() + "\n", 0),
            0u)
      << messages.shown.front().text;
  EXPECT_EQ(w.flowPane().CurrentFunction(), "");
  Trigger("Step7");  // nothing loaded: the run stops on the end of the code
  EXPECT_FALSE(Label("Cas_Break").isEmpty());
}

TEST_F(GuiTest, StepCommandsShowTheirStopReasons) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  Trigger("Step7");
  EXPECT_EQ(Label("Cas_Break"), "stop ");
  EXPECT_EQ(Label("LabelPC"), "PC=E003");
  EXPECT_EQ(w.flowPane().Display().PCAddrText, "E003");

  // ldX, clrA, ldB, then three passes of addA, stA, decB, bne: the call.
  for (int i = 0; i < 15; ++i) Trigger("Step7");
  ASSERT_EQ(w.session().machine().cpu.PC, 0xE010);
  Trigger("Step8");
  EXPECT_EQ(Label("Cas_Break"), "stop Macro");
  EXPECT_EQ(w.session().machine().cpu.PC, 0xE012);
  EXPECT_EQ(w.session().machine().cpu.X, 1);  // the routine ran
}

TEST_F(GuiTest, ArretEndsALongRunAndCloseIsRefusedUntilItHas) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  bool closedDuringRun = true;
  QTimer::singleShot(50, &w, [&] {
    closedDuringRun = w.close();  // refused, and the run stops
  });
  Trigger("Executer1");  // the loop never ends by itself
  EXPECT_FALSE(closedDuringRun);
  EXPECT_EQ(Label("Cas_Break"), "stop ");
  EXPECT_TRUE(w.isVisible());

  // The trace line is redrawn during the run, before "Arret" arrives.
  const QString before = Label("LigneX2");
  QString during;
  // Read apart from the stop: a redraw due in the same event pass as both
  // would leave nothing run between them.
  QTimer::singleShot(250, &w, [&] { during = Label("LigneX2"); });
  QTimer::singleShot(400, &w, [&] { Trigger("Arret1"); });
  Trigger("Executer1");
  EXPECT_NE(during, before);
  EXPECT_NE(during, Label("LigneX2"));
  EXPECT_EQ(Label("Cas_Break"), "stop ");
  EXPECT_GT(w.session().machine().CycleCount, 10000);
  EXPECT_TRUE(w.close());
}

TEST_F(GuiTest, InitStartsOverAndEmptiesTheStopLabels) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  Trigger("Step7");
  Trigger("CtrlF2");
  EXPECT_EQ(w.session().machine().cpu.PC, 0xE000);
  EXPECT_TRUE(Label("Cas_Break").isEmpty());
  EXPECT_TRUE(Label("LigneX1").isEmpty());
  EXPECT_EQ(w.windowTitle(), "    " + QString::fromStdString(w.ListingBase()));
}

TEST_F(GuiTest, ScreenshotsAreWrittenWhole) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  QString error;
  ASSERT_TRUE(w.SaveScreenshots(dir.filePath("shots"), error)) << error.toStdString();
  const QImage main(dir.filePath("shots/main.png"));
  EXPECT_EQ(main.size(), QSize(1280, 800));
  EXPECT_FALSE(QImage(dir.filePath("shots/panel.png")).isNull());
}

}  // namespace
}  // namespace hc11::test
