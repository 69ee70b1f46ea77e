// The window noticing its program assembled again: the bar once the files
// are quiet (never on a half-written listing), the reload keeping the view,
// breakpoints on the same instruction, and the entry whose line went said.
#include <QFileInfo>
#include <QFrame>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "app/gui/reload_control.h"
#include "tests/gui/gui_fixture.h"
#include "tests/support/reassembled.h"
#include "tests/support/test_files.h"

namespace hc11::test {
namespace {

class ReloadGui : public GuiTest {
 protected:
  void SetUp() override {
    base = dir.filePath("prog").toStdString();
    AssembleAs(base, kFirstVersion);
    Open(base);
    window->reloadControl().SetQuietMs(100);
    BreakpointList& breaks = window->breakpoints();
    breaks.Append({"store", kStoreBefore, 'C', 2}, true);
    breaks.Append({"jump", kJumpBefore, 'C', 2}, true);
    messages.shown.clear();
  }
  QFrame& Bar() { return window->reloadControl().bar(); }
  std::string base;
};

TEST_F(ReloadGui, BarAfterTheQuietPeriodThenReloadFollowsTheBreakpoint) {
  // The assembler's listing half written: nothing is read while it may grow.
  const std::string first = Slurp(base + ".lst");
  std::ofstream(base + ".lst", std::ios::trunc) << first.substr(0, first.size() / 2);
  QCoreApplication::processEvents();
  EXPECT_FALSE(Bar().isVisible());
  AssembleAs(base, kSecondVersion);  // written whole by rename: the watch must follow
  QTRY_VERIFY_WITH_TIMEOUT(Bar().isVisible(), 10000);
  EXPECT_EQ(window->breakpoints().entries()[0].address, kStoreBefore);  // not before the user says
  EXPECT_TRUE(messages.shown.empty());

  Bar().findChild<QPushButton*>("Recharger")->click();
  EXPECT_FALSE(Bar().isVisible());
  const std::vector<std::string> lines = window->breakpoints().Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "e008 C Break    store");
  EXPECT_EQ(lines[1], "e008 C Break    jump déplacé?");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("jump : boucle+2 'jmp boucle' introuvable"), std::string::npos)
      << messages.shown[0].text;

  window->session().machine().StepBudget = 10000;
  Trigger("Executer1");
  EXPECT_EQ(window->session().machine().cpu.PC, kStoreAfter);  // "stA cnt" in the new program
}

TEST_F(ReloadGui, IgnoredVersionStaysUnreadAndAutomaticReloadNeedsNoBar) {
  AssembleAs(base, kSecondVersion);
  QTRY_VERIFY_WITH_TIMEOUT(Bar().isVisible(), 10000);
  Bar().findChild<QPushButton*>("Ignorer")->click();
  EXPECT_FALSE(Bar().isVisible());
  EXPECT_EQ(window->breakpoints().entries()[0].address, kStoreBefore);

  // With the mark, the next version is loaded without asking.
  window->reloadControl().autoReload().setChecked(true);
  AssembleAs(base, kFirstVersion);
  QTRY_VERIFY_WITH_TIMEOUT(window->breakpoints().Lines()[0].find("déplacé?") == std::string::npos &&
                               window->breakpoints().entries()[1].address == kJumpBefore &&
                               !window->breakpoints().entries()[1].misplaced,
                           10000);
  EXPECT_NE(Slurp(dir.filePath("hc11flow.ini").toStdString()).find("Auto=1"), std::string::npos);
  EXPECT_FALSE(Bar().isVisible());
}

TEST_F(ReloadGui, RecentProgramsNewestFirstAndAMissingOneRemovedWithAMessage) {
  const std::string other = dir.filePath("other").toStdString();
  AssembleAs(other, kSecondVersion);
  window->OpenListingFile(other + ".lst");
  QMenu& recent = window->reloadControl().recentMenu();
  emit recent.aboutToShow();
  ASSERT_EQ(recent.actions().size(), 2);
  EXPECT_EQ(recent.actions()[0]->text().toStdString(), other);
  EXPECT_EQ(recent.actions()[1]->text().toStdString(), base);

  QFile::remove(QString::fromStdString(base + ".lst"));
  emit recent.aboutToShow();
  messages.shown.clear();
  recent.actions()[1]->trigger();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("retiré des programmes récents"), std::string::npos);
  emit recent.aboutToShow();
  ASSERT_EQ(recent.actions().size(), 1);
  EXPECT_NE(Slurp(dir.filePath("hc11flow.ini").toStdString()).find("[Programmes récents]"),
            std::string::npos);
}

}  // namespace
}  // namespace hc11::test
