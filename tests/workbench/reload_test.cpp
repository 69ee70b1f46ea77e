// When a reassembled program is taken (the files quiet for the period), and
// the recent programs' list in the settings file.
#include <gtest/gtest.h>

#include <vector>

#include "workbench/quiet_period.h"
#include "workbench/recent_programs.h"

namespace hc11::test {
namespace {

TEST(QuietPeriod, TakesASeriesOfChangesOnceWhenQuietForTheWholePeriod) {
  struct Event {
    std::uint64_t at;
    bool change;         // a file changed at `at`; otherwise the window asks
    bool taken;          // what Take answers
    std::uint64_t left;  // Remaining afterwards
  };
  struct Case {
    const char* what;
    std::vector<Event> events;
  };
  const Case cases[] = {
      {"nothing changed", {{100, false, false, 0}}},
      {"one change, asked too soon then in time",
       {{1000, true, false, 500}, {1499, false, false, 1}, {1500, false, true, 0}, {2000, false, false, 0}}},
      {"the listing written in pieces, then the image: quiet from the last",
       {{0, true, false, 500},
        {300, true, false, 500},
        {700, false, false, 100},
        {750, true, false, 500},
        {1249, false, false, 1},
        {1250, false, true, 0}}},
      {"a change after the take starts a new series",
       {{0, true, false, 500}, {600, false, true, 0}, {700, true, false, 500}, {1200, false, true, 0}}},
      {"a clock that went back waits the whole period",
       {{5000, true, false, 500}, {4000, false, false, 500}, {4500, false, false, 500}}},
  };
  for (const Case& c : cases) {
    QuietPeriod q(500);
    for (const Event& e : c.events) {
      if (e.change) {
        q.Changed(e.at);
        EXPECT_FALSE(q.Take(e.at)) << c.what << " at " << e.at;
      } else {
        EXPECT_EQ(q.Take(e.at), e.taken) << c.what << " at " << e.at;
      }
      EXPECT_EQ(q.Remaining(e.at), e.left) << c.what << " at " << e.at;
    }
  }
}

TEST(QuietPeriod, ClearForgetsAWaitingSeries) {
  QuietPeriod q(500);
  q.Changed(0);
  q.Clear();
  EXPECT_FALSE(q.Pending());
  EXPECT_FALSE(q.Take(1000));
}

TEST(RecentPrograms, NewestFirstOnceEachAtMostEight) {
  std::vector<std::string> list;
  for (int i = 1; i <= 10; ++i) AddRecent(list, "/p/prog" + std::to_string(i));
  ASSERT_EQ(list.size(), kRecentMax);
  EXPECT_EQ(list.front(), "/p/prog10");
  EXPECT_EQ(list.back(), "/p/prog3");
  AddRecent(list, "/p/prog5");  // opened again: to the front, not twice
  EXPECT_EQ(list.front(), "/p/prog5");
  EXPECT_EQ(std::count(list.begin(), list.end(), "/p/prog5"), 1);
  EXPECT_EQ(list.size(), kRecentMax);
  RemoveRecent(list, "/p/prog5");
  EXPECT_EQ(list.size(), kRecentMax - 1);
  EXPECT_EQ(list.front(), "/p/prog10");
}

TEST(RecentPrograms, OwnSectionReadAndRewrittenTheRestKept) {
  struct Case {
    const char* what;
    const char* text;
    std::vector<std::string> programs;
  };
  const Case cases[] = {
      {"no section", "[Fichier]\nNomFichLst=/a/b\n", {}},
      {"in key order, repeats, blanks and strangers dropped",
       "[Programmes récents]\n2=/b\n1=/a\n3=\n4=/a\nx=/c\n9=/d\n5= /e \n",
       {"/a", "/b", "/e"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseRecentPrograms(c.text), c.programs) << c.what;

  const std::string before =
      "[Fichier]\r\nNomFichLst=/a/b\r\n[Programmes récents]\r\n1=/old\r\n[Reglages]\r\nx=1\r\n";
  const std::string after = RewriteRecentPrograms(before, {"/new", "/a b\tc"});
  EXPECT_EQ(
      after,
      "[Fichier]\r\nNomFichLst=/a/b\r\n[Programmes récents]\r\n1=/new\r\n2=/a b c\r\n[Reglages]\r\nx=1\r\n");
  EXPECT_EQ(ParseRecentPrograms(after), (std::vector<std::string>{"/new", "/a b c"}));
}

TEST(RecentPrograms, TheAutomaticReloadMarkIsOffUnlessSaidOn) {
  EXPECT_FALSE(ParseAutoReload("[Fichier]\nx=1\n"));
  EXPECT_FALSE(ParseAutoReload("[Rechargement]\nAuto=oui\n"));
  const std::string on = RewriteAutoReload("[Fichier]\nx=1\n", true);
  EXPECT_EQ(on, "[Fichier]\nx=1\n[Rechargement]\nAuto=1\n");
  EXPECT_TRUE(ParseAutoReload(on));
  EXPECT_FALSE(ParseAutoReload(RewriteAutoReload(on, false)));
}

}  // namespace
}  // namespace hc11::test
