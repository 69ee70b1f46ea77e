#include <gtest/gtest.h>

#include <string>

#include "listing/listing_files.h"
#include "listing/listing_loader.h"
#include "tests/support/recording.h"

namespace hc11 {
namespace {

// The bundled demo firmware reads without a complaint and gives the simulator
// what it starts from.
TEST(DemoListing, LoadsCleanly) {
  const auto text = ReadWholeFile(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo.lst");
  ASSERT_TRUE(text.has_value());
  Listing listing;
  std::uint16_t startPC = 0;
  test::RecordingMessages messages;
  ParseListingText(listing, *text, startPC, messages);
  for (const auto& m : messages.shown) ADD_FAILURE() << m.caption << ": " << m.text;

  EXPECT_GT(listing.LineList.size(), 50u);
  const auto debprog = FindSymbol(listing.Symbols, "debprog_", 'I');
  ASSERT_TRUE(debprog.has_value());
  EXPECT_EQ(startPC, *debprog);
  EXPECT_TRUE(FindSymbol(listing.Symbols, "UHF", 'I').has_value());
  EXPECT_FALSE(listing.Macros.empty());
  EXPECT_EQ(listing.FunctionList.entries.count("debprog_"), 1u);
  bool spanningCall = false;
  for (const auto& r : listing.LineList) spanningCall |= !r.AddrEndText.empty();
  EXPECT_TRUE(spanningCall);
  EXPECT_EQ(listing.ListingMap->at(startPC), 'L');
}

}  // namespace
}  // namespace hc11
