#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "listing/listing_files.h"
#include "listing/listing_loader.h"
#include "tests/listing/listing_text.h"
#include "tests/support/recording.h"

namespace hc11 {
namespace {

using test::Join;
using test::Lst;

TEST(LoadListing, ReadsTheFileAndWritesTheFunctionList) {
  test::TempDir dir;
  dir.Write("prog.v2.lst",
            Join({Lst("E000", "", "1", "        org $E000"), Lst("E000", "39", "2", "debprog_ ret"),
                  Lst("E001", "BD E0 00", "3", "        call zeta")}));
  Listing listing;
  for (const std::string name : {"prog.v2", "prog.v2.lst"}) {
    SCOPED_TRACE(name);
    std::filesystem::remove(dir.File("prog.v2_Fonct.txt"));
    std::uint16_t pc = 0;
    test::RecordingMessages messages;
    ASSERT_TRUE(LoadListing(listing, dir.File(name), pc, messages));
    EXPECT_EQ(listing.LineList.size(), 2u);
    EXPECT_EQ(pc, 0xE000);
    EXPECT_EQ(test::TempDir::Read(dir.File("prog.v2_Fonct.txt")), "debprog_\r\nzeta\r\n");
    EXPECT_TRUE(messages.shown.empty());
  }

  // The extension as written; a base path finds ".lst", then ".LST".
  dir.Write("UP.LST",
            Join({Lst("E000", "", "1", "        org $E000"), Lst("E000", "39", "2", "debprog_ ret")}));
  for (const std::string name : {"UP", "UP.LST"}) {
    std::uint16_t pc = 0;
    test::RecordingMessages messages;
    EXPECT_TRUE(LoadListing(listing, dir.File(name), pc, messages)) << name;
  }
  EXPECT_EQ(test::TempDir::Read(dir.File("UP_Fonct.txt")), "debprog_\r\n");
  EXPECT_EQ(ListingFileName(dir.File("prog.v2.LST")), dir.File("prog.v2.LST"));
  dir.Write("UP.hex", "");
  EXPECT_EQ(ProgramImageName(dir.File("UP")), dir.File("UP.hex"));
  EXPECT_EQ(ProgramImageName(dir.File("prog.v2")), dir.File("prog.v2.HEX"));

  // A missing listing (or a folder) leaves empty tables and the start address alone.
  std::uint16_t pc = 0x4321;
  test::RecordingMessages messages;
  EXPECT_FALSE(LoadListing(listing, dir.File("absent"), pc, messages));
  EXPECT_FALSE(LoadListing(listing, dir.File(""), pc, messages));
  EXPECT_TRUE(listing.LineList.empty());
  EXPECT_TRUE(listing.FunctionList.entries.empty());
  EXPECT_EQ(listing.ListingMap->at(0xE000), 0);
  EXPECT_EQ(pc, 0x4321);
  EXPECT_FALSE(std::filesystem::exists(dir.File("absent_Fonct.txt")));
  EXPECT_TRUE(messages.shown.empty());  // the caller reports it
}

TEST(ReadListingExcerpt, CollectsFromStartThroughEndAtMost21Lines) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += Format("E0%02X line %d\r\n", i, i);
  test::TempDir dir;
  dir.Write("prog.lst", text);
  const auto read = [&](const char* start, const char* end) {
    std::vector<std::string> lines{"kept"};
    EXPECT_TRUE(ReadListingExcerpt(start, end, dir.File("prog"), lines));
    return lines;
  };
  EXPECT_EQ(read("E003", "E005"),
            (std::vector<std::string>{"kept", "E003 line 3", "E004 line 4", "E005 line 5"}));
  EXPECT_EQ(read("E003", "E003"), (std::vector<std::string>{"kept", "E003 line 3"}));
  EXPECT_EQ(read("E010", "E002"), (std::vector<std::string>{"kept"}));  // end met before the start
  const auto longest = read("E001", "ZZZZ");
  ASSERT_EQ(longest.size(), 22u);
  EXPECT_EQ(longest.back(), "E015 line 21");
  std::vector<std::string> none;
  EXPECT_FALSE(ReadListingExcerpt("E0", "E1", dir.File("absent"), none));
}

}  // namespace
}  // namespace hc11
