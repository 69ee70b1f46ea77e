// The breakpoint dialog typed into as a user does: "Nouveau" opens it, OK on
// a bad address keeps it open with the message, conditions and counts made
// there act on the run; "Arrêt sur expression" from the "Executer" menu.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/gui/edit_dialogs.h"
#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

class BreakDialogTest : public GuiTest {
 protected:
  // The window's dialogs open modeless here; `typing` fills them and presses
  // OK or Cancel, and the dialog's outcome is the window's.
  gui::MainWindow& OpenDemoTyping() {
    gui::MainWindow& w = Open(CopyExample("demo"));
    w.RunBreakDialog = [this, &w](BreakDialog& d) {
      gui::EditBreakDialog dialog(d, w.BreakDialogChecker(), messages, &w);
      dialog.show();
      typing(dialog);
      if (dialog.result() != QDialog::Accepted) return false;
      d = dialog.Texts();
      return true;
    };
    return w;
  }
  static void Type(QDialog& d, const char* field, const QString& text) {
    auto* edit = d.findChild<QLineEdit*>(field);
    ASSERT_NE(edit, nullptr) << field;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
  }
  static void Ok(QDialog& d) { QTest::mouseClick(d.findChild<QPushButton*>("BtOk"), Qt::LeftButton); }

  QStringList Lines() {
    auto* list = window->findChild<QListWidget*>("ListBreak1");
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
  }

  std::function<void(QDialog&)> typing;
};

TEST_F(BreakDialogTest, NouveauOpensTheDialogAndABadAddressKeepsItOpen) {
  gui::MainWindow& w = OpenDemoTyping();
  bool stayedOpen = false;
  typing = [&](QDialog& d) {
    EXPECT_EQ(d.findChild<QLineEdit*>("Adr2")->text(), "FFFF");
    Type(d, "Nom2", "debut");
    Type(d, "Adr2", "E0G2");
    d.findChild<QRadioButton*>("Break1")->setChecked(true);
    Ok(d);
    stayedOpen = d.isVisible();
    EXPECT_EQ(d.findChild<QLineEdit*>("Nom2")->text(), "debut");  // nothing typed is lost
    Type(d, "Adr2", "E02D");
    Ok(d);
  };
  Trigger("ListBreak1.Nouveau1");
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Erreur");
  EXPECT_EQ(Lines(), QStringList{"e02d C Break    debut"});
  EXPECT_EQ(w.session().machine().tInst[0xE02D], 2);

  // Cancel adds nothing.
  typing = [&](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); };
  Trigger("ListBreak1.Nouveau1");
  EXPECT_EQ(Lines().size(), 1);
}

TEST_F(BreakDialogTest, ConditionAndCountTypedInTheDialogActOnTheRun) {
  gui::MainWindow& w = OpenDemoTyping();
  typing = [&](QDialog& d) {
    Type(d, "Adr2", "E056");
    d.findChild<QRadioButton*>("Break1")->setChecked(true);
    Type(d, "Cond2", "A ==");  // malformed: refused with its column
    Ok(d);
    EXPECT_TRUE(d.isVisible());
    Type(d, "Cond2", "hits >= 0");
    d.findChild<QComboBox*>("Regle2")->setCurrentIndex(static_cast<int>(HitRule::Nth));
    Type(d, "NbPass2", "2");
    d.findChild<QCheckBox*>("Temp2")->setChecked(true);
    Ok(d);
  };
  Trigger("ListBreak1.Nouveau1");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("Condition, colonne 5"), std::string::npos) << messages.shown[0].text;
  EXPECT_EQ(Lines(), QStringList{QString::fromUtf8("e056 C Break    nom si hits >= 0 n°2 temporaire")});

  w.session().machine().StepBudget = 500000;  // a missed stop ends the test, not hangs it
  Trigger("Executer1");
  EXPECT_EQ(w.session().machine().cpu.PC, 0xE056);
  EXPECT_EQ(Label("Cas_Break"), "Break e056 C Break    nom");
  // Stopped on the second pass, then removed as a temporary entry.
  EXPECT_TRUE(Lines().isEmpty());
  EXPECT_EQ(w.session().machine().tInst[0xE056], 0);
}

TEST_F(BreakDialogTest, StopOnExpressionFromTheRunMenu) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  messages.answer = "[leds] ==";
  Trigger("ArretExpression");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(w.session().breakpoints().StopWhen(), "");

  messages.answer = "[leds] != 0";
  Trigger("ArretExpression");
  EXPECT_EQ(w.session().breakpoints().StopWhen(), "[leds] != 0");
  w.session().machine().StepBudget = 500000;
  Trigger("Executer1");
  EXPECT_EQ(w.session().machine().Memory[0x0006], 0x01);
  EXPECT_EQ(w.session().machine().cpu.PC, 0xE041);  // right after the store
  EXPECT_EQ(Label("Cas_Break"), QString::fromUtf8("Arrêt sur expression [leds] != 0"));
  // An empty answer removes it.
  messages.answer = "";
  Trigger("ArretExpression");
  EXPECT_FALSE(w.session().machine().WatchSet);
}

}  // namespace
}  // namespace hc11::test
