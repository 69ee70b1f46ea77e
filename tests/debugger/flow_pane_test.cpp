#include "debugger/flow_pane.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flowchart/text_metrics.h"
#include "listing/listing_loader.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

// The demo firmware: its first function by name is "adc_read"; "debprog_"
// starts at $E000.
class FlowPaneTest : public ::testing::Test {
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
  std::uint16_t runTarget = 0;
};

TEST_F(FlowPaneTest, FollowsTheProgramCounterAcrossFunctionsAndKeepsTheHistory) {
  // A load shows the first function of the list.
  EXPECT_EQ(pane.CurrentFunction(), "adc_read");
  EXPECT_EQ(pane.History(), std::vector<std::string>{"adc_read"});

  // The PC in another function draws it, enters it and marks the line navy.
  EXPECT_TRUE(pane.ShowAddress(0xE000, 0xE000, runTarget));
  EXPECT_EQ(pane.CurrentFunction(), "debprog_");
  EXPECT_EQ(pane.Display().PCAddrText, "E000");
  EXPECT_EQ(pane.History(), (std::vector<std::string>{"debprog_", "adc_read"}));
  EXPECT_EQ(pane.HistoryIndex(), 0);
  // Within the same function nothing is rebuilt; the end of the line's
  // range becomes the run-to target.
  EXPECT_FALSE(pane.ShowAddress(0xE003, 0xE003, runTarget));
  EXPECT_EQ(runTarget, 0xE003);
  EXPECT_EQ(pane.Display().PCAddrText, "E003");

  // Precedent goes to the older entry, Suivant back; neither passes the ends.
  EXPECT_TRUE(pane.Precedent());
  EXPECT_EQ(pane.CurrentFunction(), "adc_read");
  EXPECT_FALSE(pane.Precedent());
  EXPECT_TRUE(pane.Suivant());
  EXPECT_EQ(pane.CurrentFunction(), "debprog_");
  EXPECT_FALSE(pane.Suivant());
  EXPECT_EQ(pane.History().size(), 2u);  // walking the history adds nothing
}

TEST_F(FlowPaneTest, APressOnALineSelectsItAsTheRunToTarget) {
  pane.ShowAddress(0xE000, 0xE000, runTarget);
  EXPECT_EQ(pane.SelectedAddress(), std::nullopt);

  const AddressLine at = FindAddressLine(pane.Sheet(), 0xE00A);
  ASSERT_NE(at.box, 0);
  const TRectangle& box = pane.Sheet().Boxes[at.box];
  const int rowHeight = box.Haut / static_cast<int>(box.Lignes.size());
  EXPECT_TRUE(pane.SelectAt(box.Rect.Left + 5, box.Rect.Top + rowHeight * at.line + 1, 0xE000, runTarget));
  EXPECT_EQ(pane.SelectedAddress(), 0xE00A);
  EXPECT_EQ(pane.Display().PCAddrText, "E000");  // the PC's line stays

  // A press beside every box selects nothing and keeps the selection.
  EXPECT_FALSE(pane.SelectAt(-50, -50, 0xE000, runTarget));
  EXPECT_EQ(pane.SelectedAddress(), 0xE00A);
}

// Points at the line of `address` in the shown sheet.
const TLigne* PointAt(FlowPane& pane, std::uint16_t address) {
  const AddressLine at = FindAddressLine(pane.Sheet(), address);
  if (at.box == 0) return nullptr;
  const TRectangle& box = pane.Sheet().Boxes[at.box];
  const int rowHeight = box.Haut / static_cast<int>(box.Lignes.size());
  return pane.LineAt(box.Rect.Left + 5, box.Rect.Top + rowHeight * at.line + 1);
}

// "Lien" on "call send_banner" shows the callee, on "call [X]" the table it
// reads; a name that is no function of the program changes nothing and says
// why.
TEST_F(FlowPaneTest, LienFollowsTheCalleeAndNothingElse) {
  pane.ShowAddress(0xE045, 0xE000, runTarget);
  ASSERT_NE(PointAt(pane, 0xE045), nullptr);
  std::string message;
  ASSERT_TRUE(pane.FollowLink(message));
  EXPECT_EQ(pane.CurrentFunction(), "send_banner");
  EXPECT_GT(pane.Sheet().Boxes.Count(), 0);
  EXPECT_EQ(pane.History().front(), "send_banner");

  pane.ShowAddress(0xE0EB, 0xE000, runTarget);
  ASSERT_NE(PointAt(pane, 0xE0EB), nullptr);
  ASSERT_TRUE(pane.FollowLink(message));
  EXPECT_EQ(pane.CurrentFunction(), "key_table");

  const std::string shown = pane.CurrentFunction();
  pane.Display().FollowName = "call nulle_part";  // as a call to an unknown name gives it
  EXPECT_FALSE(pane.FollowLink(message));
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(pane.CurrentFunction(), shown);
  for (const std::string& name : pane.History()) EXPECT_TRUE(pane.IsFunction(name)) << name;

  // Nothing under the pointer: no message, no change.
  pane.LineAt(-50, -50);
  EXPECT_FALSE(pane.FollowLink(message));
  EXPECT_EQ(message, "");
  EXPECT_FALSE(pane.ShowFunction("call send_banner"));
  EXPECT_EQ(pane.CurrentFunction(), shown);
}

TEST(FlowPaneWithoutListing, ShowsNothingAndMovesNowhere) {
  Listing listing;
  RecordingMessages messages;
  FixedTextMetrics metrics;
  FlowPane pane{listing, messages, metrics};
  pane.AfterLoad("/nonexistent/prog", false);
  std::uint16_t target = 7;
  EXPECT_FALSE(pane.ShowAddress(0xE000, 0xE000, target));
  EXPECT_EQ(target, 7);
  EXPECT_EQ(pane.CurrentFunction(), "");
  EXPECT_FALSE(pane.Precedent());
  EXPECT_EQ(pane.SelectedAddress(), std::nullopt);
}

}  // namespace
}  // namespace hc11::test
