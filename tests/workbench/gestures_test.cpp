// Gestures on the flowchart and the source text, on the demo's sheets: the
// breakpoint tab, the arrow keys, call lines, the margin toggle and zoom.
#include <gtest/gtest.h>

#include "core/text_util.h"
#include "debugger/flow_pane.h"
#include "flowchart/text_metrics.h"
#include "flowchart/view/interaction.h"
#include "listing/listing_loader.h"
#include "tests/support/recording.h"
#include "workbench/sheet_gestures.h"
#include "workbench/zoom.h"

namespace hc11::test {
namespace {

class GesturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::uint16_t start = 0;
    ASSERT_TRUE(ReadListing(listing, kBase, start, messages));
    pane.AfterLoad(kBase, true);
    std::uint16_t target = 0;
    pane.ShowAddress(0xE000, 0xE000, target);
    ASSERT_EQ(pane.CurrentFunction(), "debprog_");
  }
  const TRectangle& BoxOf(std::uint16_t address) {
    const AddressLine at = FindAddressLine(pane.Sheet(), address);
    EXPECT_NE(at.box, 0);
    return pane.Sheet().Boxes[at.box];
  }

  const std::string kBase = std::string(HC11_SOURCE_DIR) + "/examples/demo/demo";
  Listing listing;
  RecordingMessages messages;
  FixedTextMetrics metrics;
  FlowPane pane{listing, messages, metrics};
  RecordingHooks hooks;
  Machine m{&hooks};
  BreakpointList breaks{m};
};

TEST_F(GesturesTest, TheTabLeftOfABoxNamesItsLineAtEveryZoom) {
  const Flowchart& sheet = pane.Sheet();
  const TRectangle& box = BoxOf(0xE000);
  ASSERT_GE(box.Lignes.size(), 2u);
  const int row = sheet.LineH + 3;
  EXPECT_EQ(TabAddressAt(sheet, box.Rect.Left - 10, box.Rect.Top + 2), 0xE000);
  const auto second = StrToWord("$" + box.Lignes[1].AddrText);
  EXPECT_EQ(TabAddressAt(sheet, box.Rect.Left - 1, box.Rect.Top + row + 1), second);
  // Inside the box, too far left, above it: no tab.
  // Inside the box, the label column included, a click selects as before.
  ASSERT_GT(box.LargLabel, 0);
  EXPECT_EQ(TabAddressAt(sheet, box.Rect.Left + 1, box.Rect.Top + row + 1), std::nullopt);
  EXPECT_EQ(TabAddressAt(sheet, box.Rect.Left - 16, box.Rect.Top + 2), std::nullopt);
  EXPECT_EQ(TabAddressAt(sheet, box.Rect.Left - 10, box.Rect.Top - 1), std::nullopt);

  // The window asks in sheet units whatever the zoom: a click on the view
  // pixel that shows a sheet point finds the same line.
  for (int percent : Zoom::kSteps) {
    Zoom zoom;
    zoom.Set(percent);
    const int vx = zoom.ToView(box.Rect.Left - 10), vy = zoom.ToView(box.Rect.Top + row + 4);
    EXPECT_EQ(TabAddressAt(sheet, zoom.ToSheet(vx), zoom.ToSheet(vy)), second) << percent;
    std::uint16_t target = 0;
    EXPECT_TRUE(pane.SelectAt(zoom.ToSheet(zoom.ToView(box.Rect.Left + box.LargLabel + 8)), zoom.ToSheet(vy),
                              0, target))
        << percent;
    EXPECT_EQ(pane.SelectedAddress(), second) << percent;
  }
}

TEST_F(GesturesTest, ArrowKeysWalkTheSheetInListingOrder) {
  const Flowchart& sheet = pane.Sheet();
  EXPECT_EQ(NeighbourLine(sheet, std::nullopt, 1), 0xE000);
  std::optional<std::uint16_t> at = 0xE000;
  std::uint16_t last = 0xE000;
  int steps = 0;
  while ((at = NeighbourLine(sheet, at, 1))) {
    EXPECT_GT(*at, last);  // this function is laid out in address order
    last = *at;
    ++steps;
  }
  EXPECT_GT(steps, 20);
  EXPECT_EQ(NeighbourLine(sheet, last, -1).has_value(), true);
  EXPECT_EQ(NeighbourLine(sheet, 0xE000, -1), std::nullopt);  // no wrap at the top
  EXPECT_EQ(NeighbourLine(sheet, 0xE003, -1), 0xE000);
}

TEST_F(GesturesTest, CallLinesAreFoundByAddress) {
  EXPECT_EQ(CallLineAt(pane.Sheet(), 0xE048), "call load_config");
  EXPECT_EQ(CallLineAt(pane.Sheet(), 0xE000), std::nullopt);
  EXPECT_EQ(FollowNameOf(*CallLineAt(pane.Sheet(), 0xE048)), "call load_config");
}

TEST_F(GesturesTest, TheMarginTogglesACodeBreakpointAsBreakEditDoes) {
  EXPECT_EQ(ToggleBreakpoint(breaks, m, 0xE056, listing.LineList), true);
  ASSERT_EQ(breaks.entries().size(), 1u);
  EXPECT_EQ(breaks.Lines().front(), "e056 C Break    main_loop");
  EXPECT_EQ(m.tInst[0xE056], 2);
  // A second click removes it, whatever state the dialog gave it since.
  EXPECT_EQ(breaks.Edit(0, {"main_loop", "E056", "C", 3}), "");
  EXPECT_EQ(ToggleBreakpoint(breaks, m, 0xE056, listing.LineList), false);
  EXPECT_TRUE(breaks.entries().empty());
  EXPECT_EQ(m.tInst[0xE056], 0);
  // A RAM breakpoint entry at the address is left to the list's commands.
  breaks.New();
  EXPECT_EQ(breaks.Edit(0, {"var", "E058", "I", 2}), "");
  EXPECT_EQ(ToggleBreakpoint(breaks, m, 0xE058, listing.LineList), std::nullopt);
  EXPECT_EQ(breaks.entries().size(), 1u);
}

TEST(ZoomTest, StepsClampAndKeepThePointUnderThePointer) {
  Zoom zoom;
  EXPECT_EQ(zoom.Percent(), 100);
  EXPECT_FALSE(zoom.Reset());
  EXPECT_TRUE(zoom.In());
  EXPECT_EQ(zoom.Percent(), 110);
  while (zoom.In()) {
  }
  EXPECT_EQ(zoom.Percent(), Zoom::kMax);
  while (zoom.Out()) {
  }
  EXPECT_EQ(zoom.Percent(), Zoom::kMin);
  // A value from the settings file between steps and out of range.
  EXPECT_TRUE(zoom.Set(1000));
  EXPECT_EQ(zoom.Percent(), 300);
  EXPECT_TRUE(zoom.Set(-5));
  EXPECT_EQ(zoom.Percent(), 50);
  zoom.Set(120);
  EXPECT_TRUE(zoom.Out());
  EXPECT_EQ(zoom.Percent(), 110);

  // Zooming at a pointer keeps the sheet point under it.
  for (int from : Zoom::kSteps) {
    for (int to : {50, 150, 300}) {
      Zoom before, after;
      before.Set(from);
      after.Set(to);
      const int scroll = 400, pointer = 123;
      const int sheetPoint = before.ToSheet(scroll + pointer);
      const int newScroll = after.AnchoredScroll(from, scroll, pointer);
      EXPECT_NEAR(after.ToSheet(newScroll + pointer), sheetPoint, 1) << from << "->" << to;
    }
  }
}

}  // namespace
}  // namespace hc11::test
