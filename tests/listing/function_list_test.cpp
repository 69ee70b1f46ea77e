#include "listing/function_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listing/macro_table.h"
#include "tests/listing/listing_text.h"
#include "tests/support/recording.h"

namespace hc11 {
namespace {

TEST(FunctionList, AddRulesAndTheFileWrittenBesideTheProgram) {
  TListFonct list;
  EXPECT_TRUE(AddFonction(list, "main", 0xE000));
  EXPECT_FALSE(AddFonction(list, "Main", 0xE100));  // same name in another case
  EXPECT_FALSE(AddFonction(list, "cmd1", 0xE200));  // lower-case "c": never
  EXPECT_FALSE(AddFonction(list, "", 0xE400));
  for (const char* name : {"Cmd2", "beta", "_init"}) EXPECT_TRUE(AddFonction(list, name, 0xE300));
  EXPECT_EQ(list.entries.at("MAIN").Adresse, 0xE000);

  test::TempDir dir;
  test::RecordingMessages messages;
  ASSERT_TRUE(SaveFonctFile(list, dir.File("prog.lst"), messages));
  EXPECT_EQ(list.NomFichier, dir.File("prog_Fonct.txt"));
  EXPECT_EQ(test::TempDir::Read(list.NomFichier), "_init\r\nbeta\r\nCmd2\r\nmain\r\n");
  EXPECT_TRUE(messages.shown.empty());

  EXPECT_FALSE(SaveFonctFile(list, dir.File("missing/prog"), messages));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Erreur");
  EXPECT_NE(messages.shown[0].text.find("prog_Fonct.txt"), std::string::npos);
}

// Listing lines with the ";" of the text in column 29.
std::string Comment(std::string_view text) {
  return test::Lst("", "", "1", text);
}

TEST(MacroDirectives, BlockDefinesMacrosUpToItsClosingLine) {
  const std::string text = test::Join({
      Comment(";tempo:1S:attendre(%s)"),
      Comment(";Copie:12:%s := %s : fin"),
      Comment(""),
      ";!endmacro" + std::string(18, ' ') + ";col1:S:x",  // the marker in column 1 does not close
      Comment(";!endmacro"),
      Comment("; after the block"),
  });
  LineReader reader(text);
  std::string line = Comment(";!MACROS");
  TMacroTable macros;
  EXPECT_TRUE(ReadMacroDirectives(reader, line, macros));
  EXPECT_EQ(line, Comment(";!endmacro"));
  ASSERT_EQ(macros.size(), 3u);
  EXPECT_EQ(macros[0].Nom + "/" + macros[0].Arguments + "/" + macros[0].Modele, "tempo/1S/attendre(%s)");
  EXPECT_EQ(macros[1].Nom + "/" + macros[1].Arguments + "/" + macros[1].Modele, "copie/12/%s := %s : fin");
  EXPECT_EQ(macros[2].Nom, "col1");
  EXPECT_TRUE(IsMacroName(macros, "TEMPO"));
  EXPECT_FALSE(IsMacroName(macros, "attendre"));

  // Unclosed: the block runs to the end of the file.
  const std::string unclosed = test::Join({Comment(";a:1:x"), Comment(";b:2:y")});
  LineReader rest(unclosed);
  line = Comment(";!macros");
  EXPECT_FALSE(ReadMacroDirectives(rest, line, macros));
  EXPECT_TRUE(rest.AtEnd());
  EXPECT_EQ(macros.size(), 5u);
}

TEST(MacroDirectives, CallDefinesOneRoutineFromItsLine) {
  LineReader reader(std::string_view("next line\n"));
  std::string line = Comment(";!call   affiche:1:affiche(A)  ");
  TMacroTable macros;
  ReadMacroDirectives(reader, line, macros);
  line = Comment(";!call Show:L:montre(%s)");
  ReadMacroDirectives(reader, line, macros);
  ASSERT_EQ(macros.size(), 2u);
  EXPECT_EQ(macros[0].Nom + "/" + macros[0].Arguments + "/" + macros[0].Modele, "call affiche/1/affiche(A)");
  EXPECT_EQ(macros[1].Nom, "call Show");  // routine names keep their case
  EXPECT_FALSE(reader.AtEnd());           // nothing further read
}

}  // namespace
}  // namespace hc11
