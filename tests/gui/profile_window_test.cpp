// Coverage in the window: counting from the start, the "Profil" window and
// its click, "Remise à zéro", the "Couverture" mark kept in the settings.
#include "app/gui/profile_window.h"

#include <QPushButton>
#include <QTreeWidget>

#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

TEST_F(GuiTest, ProfileWindowListsFunctionsShowsOneOnClickAndResets) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  for (int i = 0; i < 40; ++i) Trigger("Step7");
  Trigger("Profil1");
  gui::ProfileWindow* profile = w.profileWindow();
  ASSERT_NE(profile, nullptr);
  QTreeWidget& list = profile->List();
  ASSERT_EQ(list.topLevelItemCount(), 2);  // "compte" starts with a lower-case c: no function
  EXPECT_EQ(list.topLevelItem(0)->text(0), "debprog_");
  EXPECT_EQ(list.topLevelItem(0)->text(2).toLongLong(), w.session().machine().CycleCount);
  EXPECT_EQ(list.topLevelItem(0)->text(3), "100.00");
  EXPECT_EQ(list.topLevelItem(1)->text(0), "(hors fonction)");

  emit list.itemClicked(list.topLevelItem(0), 0);
  EXPECT_EQ(w.flowPane().CurrentFunction(), "debprog_");

  profile->findChild<QPushButton*>("BtRazProfil")->click();
  EXPECT_EQ(profile->List().topLevelItem(0)->text(2), "0");
  Trigger("Step7");
  profile->Refresh();
  EXPECT_GE(profile->List().topLevelItem(0)->text(2).toInt(), 1);  // one step: 1 or 2 cycles
}

TEST_F(GuiTest, CouvertureMarkTintsTheSheetAndIsKeptInTheSettings) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  for (int i = 0; i < 12; ++i) Trigger("Step7");
  EXPECT_FALSE(w.flowPane().Display().CoverageHook);
  Trigger("Couverture");
  ASSERT_TRUE(w.flowPane().Display().CoverageHook);
  EXPECT_EQ(w.flowPane().Display().CoverageHook(0xE000).count, 1u);
  EXPECT_EQ(w.flowPane().Display().CoverageMax, 2u);  // the loop body twice so far

  ASSERT_TRUE(w.close());
  gui::MainWindow& again = Open("");
  EXPECT_TRUE(again.session().options().Checked("Couverture"));
  EXPECT_TRUE(again.flowPane().Display().CoverageHook);
}

}  // namespace
}  // namespace hc11::test
