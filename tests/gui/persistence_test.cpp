#include <QDir>
#include <QFile>

#include "debugger/workspace_file.h"
#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

std::string ReadText(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll().toStdString();
}

void WriteText(const QString& path, const std::string& text) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text.data(), static_cast<qint64>(text.size()));
}

TEST_F(GuiTest, RunStopsAtABreakpointFromTheWorkspace) {
  const std::string loop = CopyExample("loop");
  Tbreak boucle;
  boucle.name = "boucle";
  boucle.address = 0xE009;
  boucle.BreakState = 2;
  WriteText(QString::fromStdString(loop + ".Zan"), EncodeWorkspace({boucle}, {}));

  gui::MainWindow& w = Open(loop);
  EXPECT_EQ(w.findChild<QListWidget*>("ListBreak1")->item(0)->text(), "e009 C Break    boucle");
  Trigger("Executer1");
  EXPECT_EQ(Label("Cas_Break"), "Break e009 C Break    boucle");
  EXPECT_EQ(w.session().machine().cpu.PC, 0xE009);
  Trigger("Executer1");  // on again: the breakpoint stops the next pass
  EXPECT_EQ(w.session().machine().cpu.PC, 0xE009);
  EXPECT_EQ(w.session().machine().cpu.A, 1);  // one pass of addA

  // Closing saves the workspace: the breakpoint is still there next time.
  ASSERT_TRUE(w.close());
  gui::MainWindow& again = Open(loop);
  Trigger("Executer1");
  EXPECT_EQ(Label("Cas_Break"), "Break e009 C Break    boucle");

  // "Supprimer" in the list's popup removes it from the machine too.
  auto* list = again.findChild<QListWidget*>("ListBreak1");
  list->setCurrentRow(0);
  Trigger("ListBreak1.Supprimer1");
  EXPECT_EQ(list->count(), 0);
  EXPECT_EQ(again.session().machine().tInst[0xE009], 0);
}

TEST_F(GuiTest, SettingsSurviveARestartAndForeignLinesAreKept) {
  const QString ini = dir.filePath("hc11flow.ini");
  WriteText(ini,
            "; kept comment\n[EnvironForm]\nTracerJsr=1\n[Autre]\ncle=valeur\n[PatchCode]\n$E000,0,$86\n");
  const std::string loop = CopyExample("loop");
  gui::MainWindow& w = Open(loop);
  EXPECT_EQ(w.session().machine().Memory[0xE000], 0x86);  // the patch was applied at Init
  EXPECT_TRUE(w.Action("TracerJsr")->isChecked());        // a hidden item keeps its mark
  EXPECT_FALSE(w.Action("TracerJsr")->isVisible());
  Trigger("TracerI2c");
  EXPECT_TRUE(w.session().board().I2cTrace);
  ASSERT_TRUE(w.close());

  const std::string saved = ReadText(ini);
  for (const char* kept : {"; kept comment", "[Autre]\ncle=valeur", "[PatchCode]\n$E000,0,$86"})
    EXPECT_NE(saved.find(kept), std::string::npos) << kept;
  EXPECT_NE(saved.find("TracerI2c=1"), std::string::npos);
  EXPECT_NE(saved.find("NomFichLst=" + loop), std::string::npos);

  // A start without a program opens the last one, with the marks restored.
  gui::MainWindow& again = Open("");
  EXPECT_EQ(again.ListingBase(), loop);
  EXPECT_TRUE(again.Action("TracerI2c")->isChecked());
  EXPECT_TRUE(again.session().board().I2cTrace);
  EXPECT_TRUE(again.Action("TracerJsr")->isChecked());
}

// A program named relative to the folder the window started in is kept by its
// absolute path, so the next start from any other folder finds it.
TEST_F(GuiTest, TheLastProgramIsStoredAbsolute) {
  CopyExample("loop");
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  gui::MainWindow& w = Open("./sub/../loop.lst");
  QDir::setCurrent(before);
  EXPECT_EQ(w.ListingBase(), QDir(dir.path()).filePath("loop").toStdString());
  ASSERT_TRUE(w.close());
  const std::string ini = ReadText(dir.filePath("hc11flow.ini"));
  EXPECT_NE(ini.find("NomFichLst=" + QDir(dir.path()).filePath("loop").toStdString() + "\n"),
            std::string::npos)
      << ini;
}

}  // namespace
}  // namespace hc11::test
