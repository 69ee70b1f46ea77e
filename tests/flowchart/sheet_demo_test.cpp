// Every function of the demo firmware gets a sheet, the way the window builds
// them after a load, and none of them raises a message.
#include "flowchart/pseudo_code.h"
#include "listing/listing_files.h"
#include "listing/listing_loader.h"
#include "tests/flowchart/sheet_fixture.h"

namespace hc11::test {
namespace {

class DemoSheets : public SheetFixture {};

TEST_F(DemoSheets, EveryFunctionBuildsWithoutMessages) {
  const std::string program = std::string(HC11_SOURCE_DIR) + "/examples/demo/demo";
  const auto text = ReadWholeFile(ListingFileName(program));
  if (!text) GTEST_SKIP() << "no demo listing";
  std::uint16_t startPC = 0;
  ParseListingText(listing, *text, startPC, messages, false);
  ConvertAll(listing);
  sheet.BuildLabelIndex();
  ASSERT_GT(listing.FunctionList.entries.size(), 10u);
  int built = 0;
  for (const auto& [name, entry] : listing.FunctionList.entries) {
    SCOPED_TRACE(name);
    if (!sheet.BuildFlowchart(name)) continue;
    ++built;
    // Every drawn jump found its target.
    for (int i = 1; i <= sheet.Boxes.Count(); ++i)
      EXPECT_TRUE(sheet.Boxes[i].Saut.empty() || sheet.Boxes[i].ObjetSaut != 0 ||
                  sheet.Boxes[i].Saut == "debprogr");
  }
  EXPECT_GT(built, 10);
  for (const auto& m : messages.shown) ADD_FAILURE() << m.caption << ": " << m.text;
}

}  // namespace
}  // namespace hc11::test
