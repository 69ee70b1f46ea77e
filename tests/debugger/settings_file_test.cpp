// The settings file: defaults, a round trip that keeps every foreign line,
// the usual key order in a new file, "PatchCode" and the file's place.
#include "debugger/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace hc11::test {
namespace {

TEST(SettingsFile, MissingKeysGiveTheDefaults) {
  const Settings s = ParseSettings("");
  EXPECT_EQ(s.EnvT, 500);
  EXPECT_EQ(s.EnvL, 500);
  EXPECT_TRUE(s.EnvVisible);
  EXPECT_EQ(s.MemoTraceH, 200);
  EXPECT_EQ(s.ListBoxSurvH, 200);
  EXPECT_EQ(s.ChoixDump, 0);
  EXPECT_FALSE(s.marks.Checked("AfReg"));
  EXPECT_TRUE(s.marks.Checked("DispoSansChevauchement"));
  EXPECT_EQ(s.Reglage("PortCom"), "com1");
}

TEST(SettingsFile, ReadsKeysIgnoringCaseAndOnlyTheSerialLinkOfTheEditorValues) {
  const Settings s = ParseSettings(
      "[fichier]\r\nnomfichlst=/p/demo\r\n[EnvironForm]\r\nT=12\r\nv=0\r\nTracerI2c=7\r\n"
      "TracerAff=1\r\n[FDump]\r\nChoixDump=2\r\n[Reglages]\r\nPortCom=tcp:4000\r\nbaudrate= 19200\r\n"
      "TempoClavier=99\r\n");
  EXPECT_EQ(s.NomFichLst, "/p/demo");
  EXPECT_EQ(s.EnvT, 12);
  EXPECT_FALSE(s.EnvVisible);
  EXPECT_TRUE(s.marks.Checked("TracerI2c"));  // any non-zero number is true
  EXPECT_TRUE(s.marks.Checked("TracerAff"));  // hidden marks keep their saved value
  EXPECT_EQ(s.ChoixDump, 2);
  EXPECT_EQ(s.Reglage("PortCom"), "tcp:4000");
  EXPECT_EQ(s.Reglage("BaudRate"), "19200");
  EXPECT_EQ(s.Reglage("TempoClavier"), "150");
}

TEST(SettingsFile, NewFileFollowsTheUsualOrder) {
  Settings s;
  s.NomFichLst = "/p/demo";
  s.marks.Set("AutTracer", true);
  const std::string text = RewriteSettings("", s);
  const std::string expected =
      "[Fichier]\nNomFichLst=/p/demo\nDirNameS=\n"
      "[EnvironForm]\nH=0\nT=500\nL=500\nW=0\nWs=0\nv=1\n"
      "AfReg=0\nAffCommentaires=0\nAffLabelLocal=0\nAutTracer=1\nUartTrace=0\nTracerHorloge=0\n"
      "Tracer1Mb=0\nTracerAff=0\nTracerJsr=0\nTraceCycleTemps=0\nTracerTimers=0\nTracerI2c=0\n"
      "TracerSynth=0\nTracerUartR=0\nTracerUartW=0\nTracerUartd=0\nDispoSansChevauchement=1\n"
      "LiaisonSerie=0\nTempsReel=0\nAttenteSerie=0\nCouverture=0\nServeurGdb=0\nPanneauDevant=1\n"
      "ProcesseurExact=0\n"
      "[MemoTrace]\nh=200\n[ListBoxSurv]\nh=200\n[FDump]\nChoixDump=0\n"
      "[Reglages]\nTempoClavier=150\nPatchAcc=10\nCoefQuartz=1\nRafraichissement=10000\nPortCom=com1\n"
      "BaudRate=9600\nMemoireRetour=256\nPortGdb=1234\nPile basse=0\n";
  EXPECT_EQ(text, expected);
  EXPECT_EQ(RewriteSettings(text, s), text);
}

TEST(SettingsFile, RoundTripKeepsForeignLinesByteForByte) {
  const std::string original =
      "; my notes\r\n[Fichier]\r\nNomFichLst=/old\r\nextra = kept \r\n\r\n[PatchCode]\r\n$1000, 2, 255\r\n"
      "# comment in patches\r\n[Other]\r\nKey=Value\r\n[EnvironForm]\r\nT=1\r\nAfReg=1";
  Settings s = ParseSettings(original);
  EXPECT_EQ(s.patchLines, (std::vector<std::string>{"$1000, 2, 255", "# comment in patches"}));
  s.NomFichLst = "/new";
  const std::string text = RewriteSettings(original, s);
  EXPECT_EQ(text.find("; my notes\r\n[Fichier]\r\nNomFichLst=/new\r\nextra = kept \r\nDirNameS=\r\n\r\n"
                      "[PatchCode]\r\n$1000, 2, 255\r\n# comment in patches\r\n[Other]\r\nKey=Value\r\n"
                      "[EnvironForm]\r\nT=1\r\nAfReg=1\r\nH=0\r\n"),
            0u)
      << text;
  const Settings again = ParseSettings(text);
  EXPECT_EQ(again.NomFichLst, "/new");
  EXPECT_TRUE(again.marks.Checked("AfReg"));
  EXPECT_EQ(again.patchLines, s.patchLines);
  EXPECT_EQ(RewriteSettings(text, again), text);
}

TEST(SettingsFile, PatchCodeAppliesAndRefuses) {
  std::array<std::uint8_t, 65536> memory{};
  const auto errors = ApplyPatchCode(
      {"$1000, 2, 255", "16 1,$1F", "not a patch 1 2", "", "$FFFF 1 3", "$100 0 256", "$100 x 1"}, memory);
  EXPECT_EQ(memory[0x1002], 0xFF);
  EXPECT_EQ(memory[17], 0x1F);
  EXPECT_EQ(memory[0x100], 0);
  EXPECT_EQ(errors.size(), 3u);
}

TEST(SettingsFile, LocationAndSaveKeepThePatchLines) {
  EXPECT_EQ(SettingsPath("/any/hc11flow", "/chosen.ini"), "/chosen.ini");
  const auto dir = std::filesystem::temp_directory_path() / "hc11_settings_test";
  std::filesystem::create_directories(dir);
  EXPECT_EQ(SettingsPath((dir / "hc11flow").string(), ""), (dir / "hc11flow.ini").string());
  const std::string path = (dir / "s.ini").string();
  std::ofstream(path, std::ios::binary) << "[PatchCode]\n1 2 3\n";
  Settings s;
  std::string error;
  ASSERT_TRUE(ReadSettingsFile(path, s, error));
  ASSERT_TRUE(SaveSettingsFile(path, s, error)) << error;
  Settings back;
  ASSERT_TRUE(ReadSettingsFile(path, back, error));
  EXPECT_EQ(back.patchLines, std::vector<std::string>{"1 2 3"});
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace hc11::test
