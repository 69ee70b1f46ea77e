#include "debugger/find_lines.h"

#include <gtest/gtest.h>

#include "debugger/flow_pane.h"
#include "debugger/function_source.h"
#include "flowchart/text_metrics.h"
#include "listing/listing_loader.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

class FindLinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::uint16_t start = 0;
    ASSERT_TRUE(ReadListing(listing, kBase, start, messages));
    pane.AfterLoad(kBase, true);
  }

  const std::string kBase = std::string(HC11_SOURCE_DIR) + "/examples/demo/demo";
  Listing listing;
  RecordingMessages messages;
  FixedTextMetrics metrics;
  FlowPane pane{listing, messages, metrics};
};

TEST_F(FindLinesTest, FindsStatementsLabelsAndCommentsWithOrWithoutCase) {
  const std::vector<ListRow> rows = FindRows(listing, "LEDS = #LED_POWER", false);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].instruction, "leds = #LED_POWER");
  EXPECT_EQ(rows[0].function, "debprog_");
  EXPECT_EQ(rows[0].address, "E03D");
  EXPECT_TRUE(FindRows(listing, "LEDS = #LED_POWER", true).empty());

  // A label and a comment are found too; comment-only lines have no address.
  const std::vector<ListRow> label = FindRows(listing, "debprog_", true);
  ASSERT_FALSE(label.empty());
  EXPECT_EQ(label[0].address, "E000");
  const std::vector<ListRow> comment = FindRows(listing, "9600 baud", true);
  ASSERT_EQ(comment.size(), 1u);
  EXPECT_EQ(comment[0].address, "E012");
  EXPECT_TRUE(FindRows(listing, "", false).empty());
}

TEST_F(FindLinesTest, CursorStepsBothWaysAndWrapsRound) {
  FindCursor find;
  EXPECT_FALSE(find.Step(false).has_value());  // no search yet
  find.Search(listing, "leds", true);
  const std::size_t n = find.Rows().size();
  ASSERT_GE(n, 3u);
  EXPECT_EQ(find.Step(false), 0u);
  EXPECT_EQ(find.Step(false), 1u);
  EXPECT_EQ(find.Step(true), 0u);
  EXPECT_EQ(find.Step(true), n - 1);  // round to the last
  EXPECT_EQ(find.Step(false), 0u);
  find.Search(listing, "no such text", false);
  EXPECT_FALSE(find.Step(false).has_value());
}

TEST_F(FindLinesTest, SelectedLineAndTheFunctionsSource) {
  EXPECT_FALSE(SelectedLine(pane.Sheet(), pane.Display()).has_value());
  std::uint16_t runTarget = 0;
  ASSERT_TRUE(pane.ShowAddress(0xE04B, 0xE000, runTarget));
  const auto line = SelectedLine(pane.Sheet(), pane.Display());
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(line->first, "E04B");
  EXPECT_EQ(line->second, "A = 0");

  // The listing reader's excerpt: at most 21 lines, however long the function.
  const std::vector<std::string> source = FunctionSourceLines(kBase, pane.Sheet());
  ASSERT_EQ(source.size(), 21u);
  EXPECT_EQ(source.front().substr(0, 4), "E000");
  EXPECT_NE(source.front().find("org     $E000"), std::string::npos);
  EXPECT_NE(source[1].find("debprog_"), std::string::npos);  // the label line between
  EXPECT_NE(source[2].find("ldS     #STACK"), std::string::npos);
  EXPECT_TRUE(FunctionSourceLines(kBase + "_missing", pane.Sheet()).empty());
}

}  // namespace
}  // namespace hc11::test
