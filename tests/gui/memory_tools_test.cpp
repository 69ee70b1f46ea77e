// "Chercher en mémoire" in the dump window, the stack pane's low-water
// header and the "Pile basse" setting, used as a person would.
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "app/gui/dump_window.h"
#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

class MemoryToolsTest : public GuiTest {
 protected:
  QLineEdit* Field(const char* name) { return window->dumpWindow().findChild<QLineEdit*>(name); }
  QString Found() { return window->dumpWindow().findChild<QLabel*>("LbTrouve")->text(); }
  QString FirstDumpLine() { return window->dumpWindow().Lines().value(0); }
  void Search(const QString& pattern, const QString& range = {}) {
    Field("EdPlage")->setText(range);
    QLineEdit* edit = Field("EdMotif");
    edit->clear();
    QTest::keyClicks(edit, pattern);
    QTest::keyClick(edit, Qt::Key_Return);
  }
  void NextFound() { QTest::keyClick(Field("EdMotif"), Qt::Key_F3); }
};

// The loop's code: e000 8E 00 FF CE 00 00 4F C6 03 8B 01 97 10 5A 26 F9 8D 02 20 F3 08 39
TEST_F(MemoryToolsTest, TheDumpJumpsToEachMatchAndF3GoesOn) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  Search("8b ?? 97");
  EXPECT_EQ(Field("AdrDump")->text(), "E009");
  EXPECT_TRUE(FirstDumpLine().startsWith("e009   8B 01 97 10")) << FirstDumpLine().toStdString();
  EXPECT_EQ(Found(), "E009");
  auto* memo = w.dumpWindow().findChild<QPlainTextEdit*>("Memo1");
  EXPECT_EQ(memo->textCursor().selectedText(), "8B 01 97");
  NextFound();  // the only match: found again from the start
  EXPECT_EQ(Found(), "E009 (retour au début)");

  // Within a range, one after the other, then round again.
  Search("00", "E000-E00F");
  EXPECT_EQ(Found(), "E001");
  NextFound();
  EXPECT_EQ(Found(), "E004");
  NextFound();
  EXPECT_EQ(Field("AdrDump")->text(), "E005");
  NextFound();
  EXPECT_EQ(Found(), "E001 (retour au début)");

  // A changed pattern is a new search: F3 starts it from the beginning.
  Field("EdMotif")->setText(".w $8D02");
  Field("EdPlage")->clear();
  NextFound();
  EXPECT_EQ(Found(), "E010");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MemoryToolsTest, NothingFoundOrABadPatternLeavesTheDumpWhereItWas) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  Field("AdrDump")->setText("E000");
  QTest::mouseClick(w.dumpWindow().findChild<QPushButton*>("Ok"), Qt::LeftButton);
  Search("\"MENU\"");
  EXPECT_EQ(Found(), "Introuvable");
  EXPECT_EQ(Field("AdrDump")->text(), "E000");
  Search("86 zz");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("Chercher en mémoire: 'zz'"), std::string::npos)
      << messages.shown[0].text;
  Search("86", "FFFF-0");
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(Field("AdrDump")->text(), "E000");
  EXPECT_TRUE(FirstDumpLine().startsWith("e000   8E"));
  // The EEPROM is searched when the dump shows it.
  w.session().board().EepromImage[0x7F0] = 0xA5;
  w.session().board().EepromImage[0x7F1] = 0x5A;
  Search("A5 5A");
  EXPECT_EQ(Found(), "Introuvable");  // not in the memory image
  w.dumpWindow().SetChoice(1);
  Search("A5 5A");
  EXPECT_EQ(Found(), "07F0");
  EXPECT_TRUE(FirstDumpLine().startsWith("07f0   A5 5A")) << FirstDumpLine().toStdString();
}

TEST_F(MemoryToolsTest, StackHeaderShowsTheLowestSpAndPileBasseWarnsInTheTrace) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  w.findChild<QRadioButton*>("RbStack")->click();
  EXPECT_EQ(Label("LbPileMin"), "SP min: -");

  // "Pile basse" typed in the settings editor, as a person would.
  Trigger("Reglages1");
  auto* editor = w.findChild<QTableWidget*>("ValueListEditor1");
  int row = -1;
  for (int r = 0; r < editor->rowCount(); ++r)
    if (editor->item(r, 0)->text() == "Pile basse") row = r;
  ASSERT_GE(row, 0);
  editor->setCurrentCell(row, 1);
  QTest::keyClick(editor, '$');
  QLineEdit* line = nullptr;
  for (QLineEdit* e : editor->findChildren<QLineEdit*>())
    if (e->isVisible()) line = e;
  ASSERT_NE(line, nullptr);
  QTest::keyClicks(line, "FE");
  QTest::keyClick(line, Qt::Key_Return);
  QApplication::processEvents();
  ASSERT_EQ(w.session().settings().Reglage("Pile basse"), "$FE");

  for (int i = 0; i < 17; ++i) Trigger("Step7");  // into "compte" (a label of debprog_): SP FD
  EXPECT_EQ(Label("LbPileMin"), "SP min: 00fd debprog_ (pc e014)  Pile basse: 00fe");
  w.findChild<QRadioButton*>("RbTrace")->click();
  auto* trace = w.findChild<QListWidget*>("MemoTrace");
  int warnings = 0;
  for (int i = 0; i < trace->count(); ++i)
    warnings += trace->item(i)->text().endsWith("Pile basse: SP=00FD sous 00FE");
  EXPECT_EQ(warnings, 1);

  // Kept in the settings file and read back at the next start.
  ASSERT_TRUE(w.close());
  gui::MainWindow& again = Open("");
  EXPECT_EQ(again.session().settings().Reglage("Pile basse"), "$FE");
  EXPECT_EQ(again.session().machine().StackLow.WarnBelow(), 0xFE);
}

}  // namespace
}  // namespace hc11::test
