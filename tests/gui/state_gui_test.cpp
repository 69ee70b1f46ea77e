// "Fichier" → "Sauver l'état…" and "Charger l'état…", and the panel's
// "Coupure secteur", as a user meets them: the answers to the file dialogs
// come from the recorded messages, so nothing waits on a dialog.
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "app/gui/board_panel.h"
#include "reverse/sim_state.h"
#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

class StateGuiTest : public GuiTest {
 protected:
  std::uint64_t Digest() { return StateDigest(window->session().machine(), &window->session().board()); }
  QString Status() { return window->statusBar()->currentMessage(); }
  QMenu* Fichier() {
    for (QAction* a : window->menuBar()->actions())
      if (QString(a->text()).remove('&') == "Fichier") return a->menu();
    return nullptr;
  }
};

TEST_F(StateGuiTest, TheMenuSavesAStateAndLoadsItBack) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  QMenu* fichier = Fichier();
  ASSERT_NE(fichier, nullptr);
  for (const char* name : {"SauverEtat", "ChargerEtat"}) {
    SCOPED_TRACE(name);
    ASSERT_NE(w.Action(name), nullptr);
    EXPECT_TRUE(fichier->actions().contains(w.Action(name)));
  }
  EXPECT_EQ(w.Action("SauverEtat")->text(), QString::fromUtf8("Sauver l'état…"));
  EXPECT_EQ(w.Action("ChargerEtat")->text(), QString::fromUtf8("Charger l'état…"));

  for (int i = 0; i < 40; ++i) Trigger("Step7");
  const std::string path = dir.filePath("demo.etat").toStdString();
  messages.chosenFile = path;
  Trigger("SauverEtat");
  EXPECT_EQ(Status(), QString::fromStdString("Fichier écrit: " + path));
  const std::uint64_t saved = Digest();
  const QString pcSaved = Label("LabelPC");
  for (int i = 0; i < 25; ++i) Trigger("Step7");
  ASSERT_NE(Digest(), saved);

  Trigger("ChargerEtat");
  EXPECT_EQ(Digest(), saved);
  EXPECT_EQ(Label("LabelPC"), pcSaved);  // the views follow the loaded state
  EXPECT_EQ(Status(), QString::fromStdString("État chargé: " + path));
  ASSERT_EQ(messages.fileDialogs.size(), 2u);
  EXPECT_EQ(messages.fileDialogs[0], "Sauver l'état|Fichier d'état (*.etat)");
  EXPECT_EQ(messages.fileDialogs[1], "Charger l'état|Fichier d'état (*.etat)");
  EXPECT_TRUE(messages.shown.empty());

  // A refused file is said in one message box and changes nothing.
  const std::string text = dir.filePath("demo.lst").toStdString();
  messages.chosenFile = text;
  Trigger("ChargerEtat");
  EXPECT_EQ(Digest(), saved);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Erreur");
  EXPECT_NE(messages.shown[0].text.find("n'est pas un fichier d'état"), std::string::npos);

  // A cancelled dialog does nothing.
  messages.chosenFile.reset();
  Trigger("SauverEtat");
  Trigger("ChargerEtat");
  EXPECT_EQ(Digest(), saved);
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(StateGuiTest, CoupureSecteurDarkensThePanelUntilThePowerIsBack) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  gui::BoardPanel& panel = w.boardPanel();
  auto* power = panel.findChild<QPushButton*>("CoupureSecteur");
  ASSERT_NE(power, nullptr);
  EXPECT_EQ(power->text(), "Coupure secteur");
  EXPECT_FALSE(power->isChecked());
  for (int i = 0; i < 30; ++i) Trigger("Step7");

  QTest::mouseClick(power, Qt::LeftButton);
  EXPECT_TRUE(w.session().board().Unpowered);
  EXPECT_TRUE(power->isChecked());
  EXPECT_FALSE(panel.findChild<QWidget*>("Led1Ton")->isEnabled());
  EXPECT_FALSE(panel.findChild<QWidget*>("LbSynth")->isEnabled());
  EXPECT_EQ(Label("LabelPC"), "PC=0000");
  Trigger("Step7");
  EXPECT_EQ(w.session().machine().cpu.PC, 0);  // nothing runs without power

  QTest::mouseClick(power, Qt::LeftButton);
  EXPECT_FALSE(w.session().board().Unpowered);
  EXPECT_FALSE(power->isChecked());
  EXPECT_TRUE(panel.findChild<QWidget*>("Led1Ton")->isEnabled());
  EXPECT_EQ(w.session().machine().cpu.PC, w.session().machine().StartPC);
}

}  // namespace
}  // namespace hc11::test
