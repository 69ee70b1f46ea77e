// The window's own settings section: read with defaults, rewritten in place,
// every other line of the file kept.
#include "workbench/view_settings.h"

#include <gtest/gtest.h>

namespace hc11::test {
namespace {

TEST(ViewSettingsTest, RoundTripKeepsTheRestOfTheFile) {
  const std::string original =
      "[Fichier]\r\nNomFichLst=/p/demo\r\n[Affichage]\r\nZoom=150\r\nSourceVisible=0\r\nForeign=1\r\n"
      "[PatchCode]\r\n$1000 2 255\r\n";
  ViewSettings s = ParseViewSettings(original);
  EXPECT_EQ(s.zoom, 150);
  EXPECT_FALSE(s.source.visible);
  EXPECT_EQ(s.source.zone, "gauche");  // the default for a missing key
  s.zoom = 75;
  s.source.visible = true;
  s.source.zone = "droite";
  s.registers.height = 300;
  const std::string rewritten = RewriteViewSettings(original, s);
  EXPECT_EQ(rewritten.find("[Fichier]\r\nNomFichLst=/p/demo\r\n[Affichage]\r\nZoom=75\r\n"), 0u) << rewritten;
  EXPECT_NE(rewritten.find("\r\n[PatchCode]\r\n$1000 2 255\r\n"), std::string::npos);
  EXPECT_EQ(rewritten.find("Foreign"), std::string::npos);  // the section is this window's alone
  const ViewSettings again = ParseViewSettings(rewritten);
  EXPECT_EQ(again.zoom, 75);
  EXPECT_EQ(again.source.zone, "droite");
  EXPECT_EQ(again.registers.height, 300);
  EXPECT_EQ(RewriteViewSettings(rewritten, again), rewritten);
}

TEST(ViewSettingsTest, AppendedWhenAbsentAndBadValuesIgnored) {
  const std::string original = "[Fichier]\nNomFichLst=x";
  const std::string rewritten = RewriteViewSettings(original, ViewSettings{});
  EXPECT_EQ(rewritten.find("[Fichier]\nNomFichLst=x\n[Affichage]\nZoom=100\n"), 0u) << rewritten;
  const ViewSettings bad = ParseViewSettings("[affichage]\nZoom=12abc\nSourceLargeur=\n");
  EXPECT_EQ(bad.zoom, 100);
  EXPECT_EQ(bad.source.width, 520);
  EXPECT_EQ(ParseViewSettings("").zoom, 100);
}

// The line ending follows the file's first line, and a second rewrite
// changes nothing even when the file ended in a lone CR.
TEST(ViewSettingsTest, LineEndingsAreTheFilesAndRewritingIsStable) {
  for (const std::string& original :
       {std::string("[Fichier]\r\nx=1"), std::string("[Fichier]\nx=1\r\ny=2"), std::string("x=1\r"),
        std::string("[Affichage]\r\nZoom=75\r\n[B]\nk=v")}) {
    const std::string once = RewriteViewSettings(original, ParseViewSettings(original));
    EXPECT_EQ(RewriteViewSettings(once, ParseViewSettings(once)), once) << original;
  }
  EXPECT_NE(RewriteViewSettings("[Fichier]\r\nx=1", {}).find("[Affichage]\r\nZoom=100\r\n"),
            std::string::npos);
  EXPECT_NE(RewriteViewSettings("[Fichier]\nx=1\r\n", {}).find("[Affichage]\nZoom=100\n"), std::string::npos);
}

// Lone CR endings, which the settings reader takes as line ends: the section
// is found and rewritten where it stands, once, and every other line keeps
// its ending byte for byte.
TEST(ViewSettingsTest, LoneCrLinesAreLinesAndEveryOtherEndingIsKept) {
  const std::string original =
      "[Fichier]\rNomFichLst=demo\r[Affichage]\rZoom=150\rSourceZone=droite\r[Reglages]\r\nPortCom=pty\n";
  const ViewSettings read = ParseViewSettings(original);
  EXPECT_EQ(read.zoom, 150);
  EXPECT_EQ(read.source.zone, "droite");
  ViewSettings changed = read;
  changed.zoom = 75;
  const std::string rewritten = RewriteViewSettings(original, changed);
  std::size_t sections = 0;
  for (std::size_t at = rewritten.find("[Affichage]"); at != std::string::npos;
       at = rewritten.find("[Affichage]", at + 1))
    ++sections;
  EXPECT_EQ(sections, 1u) << rewritten;
  EXPECT_EQ(rewritten.rfind("[Fichier]\rNomFichLst=demo\r[Affichage]\rZoom=75\rSourceVisible=1\r", 0), 0u)
      << rewritten;
  EXPECT_TRUE(rewritten.ends_with("Hauteur=260\r[Reglages]\r\nPortCom=pty\n")) << rewritten;
  EXPECT_EQ(ParseViewSettings(rewritten).zoom, 75);
}

}  // namespace
}  // namespace hc11::test
