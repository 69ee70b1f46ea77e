// The order of Tab between the panes and the menus' Alt letters.
#include "workbench/keyboard_access.h"

#include <gtest/gtest.h>

#include "workbench/help_page.h"

namespace hc11::test {
namespace {

TEST(KeyboardAccess, TabSkipsWhatCannotTakeTheFocusAndWraps) {
  const struct {
    std::vector<bool> available;
    std::optional<std::size_t> current;
    bool backward;
    std::optional<std::size_t> next;
  } cases[] = {
      {{true, true, true}, 0, false, 1},
      {{true, true, true}, 2, false, 0},             // round again
      {{true, true, true}, 0, true, 2},              // Shift+Tab from the first
      {{true, false, true}, 0, false, 2},            // a hidden pane is skipped
      {{false, true, false}, 1, false, 1},           // alone: stays
      {{true, true, true}, std::nullopt, false, 0},  // from outside: the first
      {{true, true, true}, std::nullopt, true, 2},   // or the last
      {{false, false, true}, std::nullopt, false, 2},
      {{false, false}, 0, false, std::nullopt},
      {{}, std::nullopt, false, std::nullopt},
      {{true, true}, 7, false, 0},  // a stop that went away
  };
  for (const auto& c : cases) EXPECT_EQ(NextFocusStop(c.available, c.current, c.backward), c.next);
}

TEST(KeyboardAccess, EveryMenuGetsADistinctAltLetter) {
  const std::vector<std::string> bar = {"&Fichier", "Executer", "Voir",     "&Fenêtre", "Options",
                                        "Profil",   "Reglages", "Chercher", "Aide"};
  const std::vector<std::string> expected = {"&Fichier", "&Executer", "&Voir",     "Fe&nêtre", "&Options",
                                             "&Profil",  "&Reglages", "&Chercher", "&Aide"};
  EXPECT_EQ(WithDistinctMnemonics(bar), expected);
  // Already distinct: nothing moves; no letter left: none is given; "&&" is
  // a literal ampersand.
  EXPECT_EQ(WithDistinctMnemonics({"&Voir", "&Aide"}), (std::vector<std::string>{"&Voir", "&Aide"}));
  EXPECT_EQ(WithDistinctMnemonics({"ab", "ba", "a"}), (std::vector<std::string>{"&ab", "&ba", "a"}));
  EXPECT_EQ(WithDistinctMnemonics({"R&&D", "&Rien"}), (std::vector<std::string>{"&R&&D", "R&ien"}));
  EXPECT_EQ(MnemonicOf("Fe&nêtre"), 'n');
  EXPECT_EQ(MnemonicOf("R&&D"), 0);
  EXPECT_EQ(MnemonicOf("Aide"), 0);
}

TEST(HelpPage, KeysAreEscapedAndTheLinkIsThere) {
  const std::string html = HelpPageHtml({{"Ctrl+<", "Voir / a & b"}}, "file:///doc/README.md");
  EXPECT_NE(html.find("<b>Ctrl+&lt;</b></td><td>Voir / a &amp; b"), std::string::npos) << html;
  EXPECT_NE(html.find("<a href=\"file:///doc/README.md\">"), std::string::npos);
  EXPECT_NE(html.find("Tab / Maj+Tab"), std::string::npos);
  EXPECT_EQ(HelpPageHtml({}, "").find("<a "), std::string::npos);
}

}  // namespace
}  // namespace hc11::test
