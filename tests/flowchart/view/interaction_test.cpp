// Hit-testing, address marking and dragging on laid-out sheets (fixed 6 x 13
// metric: LineH 13, a text line every 16 pixels).
#include "flowchart/view/interaction.h"

#include <optional>
#include <tuple>

#include "tests/flowchart/view/view_fixture.h"

namespace hc11::test {
namespace {

using Interaction = ViewFixture;

// A scrolled window showing part of the sheet; records where it is told to scroll.
struct FakeViewport final : SheetViewport {
  FakeViewport(int scrollY, int clientH) : y(scrollY), h(clientH) {}
  int ScrollX() const override { return 0; }
  int ScrollY() const override { return y; }
  int ClientWidth() const override { return 400; }
  int ClientHeight() const override { return h; }
  void SetScroll(int x, int newY) override { set = {x, newY}; }
  int y, h;
  std::optional<std::pair<int, int>> set;
};

TEST_F(Interaction, HitLineSplitsTheBoxHeightEvenly) {
  // Box 1: three lines, height 54 (18 a line). Box 2 of the second sheet: a
  // decision of three lines, height 58, not a multiple of three (19 a line).
  Codes({"E000|main|A = 1", "E002||call affiche", "E005||ret"});
  Build("main");
  const TRectangle& plain = sheet.Boxes[1];
  ASSERT_EQ(plain.Haut, 54);
  // Pixel row in the box, whether it is a call line, the line index.
  const std::tuple<int, bool, int> cases[] = {{0, false, 0},  {17, false, 0},  {18, true, 1},
                                              {53, false, 2}, {54, false, -1}, {-1, false, -1}};
  for (const auto& [dy, call, index] : cases) {
    SCOPED_TRACE(dy);
    display.FollowName = "stale";
    EXPECT_EQ(HitLine(sheet, display, 1, plain.Rect.Left + 5, plain.Rect.Top + dy), call);
    EXPECT_EQ(display.HitLineIndex, index);
    if (index >= 0) {
      EXPECT_EQ(display.FollowName, call ? "call affiche" : "");
    }
  }

  listing = Listing();
  Codes({"E000|main|(A) = 0|fin", "E002||(B) = 0|fin", "E004||(C) = 0|fin", "E006|fin|ret"});
  Build("main");
  const TRectangle& decision = sheet.Boxes[1];
  ASSERT_EQ(decision.Lignes.size(), 3u);
  ASSERT_EQ(decision.Haut, 58);
  HitLine(sheet, display, 1, 0, decision.Rect.Top + 56);
  EXPECT_EQ(display.HitLineIndex, 2);
  HitLine(sheet, display, 1, 0, decision.Rect.Top + 57);  // the last pixel: no line
  EXPECT_EQ(display.HitLineIndex, -1);
  EXPECT_FALSE(HitLine(sheet, display, 99, 0, 0));
}

TEST_F(Interaction, FollowNameOfCallLines) {
  const std::pair<const char*, const char*> cases[] = {{"call [tab]", "tab"},
                                                       {"call affiche", "call affiche"},
                                                       {"call affiche(A,1)", "call affiche"},
                                                       {"call x=lire(3)", "lire"}};
  for (const auto& [text, name] : cases) EXPECT_EQ(FollowNameOf(text), name) << text;

  Codes({"E000|main|D = D + #tab,1", "E003||call [X]", "E005||ret"});
  Build("main");
  EXPECT_TRUE(HitLine(sheet, display, 1, 0, sheet.Boxes[1].Rect.Top + 20));
  EXPECT_EQ(display.FollowName, "tab");
}

class ShowAddressTest : public Interaction {
 protected:
  // One box at (100, 21): main, a macro call covering $E002-$E00A, then
  // eight more lines down to $E01A, the last at y = 21 + 10 * 13 + 3.
  void SetUp() override {
    Codes({"E000|main|A = 1", "E002||affiche_msg(1)"});
    listing.LineList.back().AddrEndText = "E00A";
    for (int i = 0; i < 8; ++i) Code(Format("%4.4X", 0xE00C + 2 * i), "B = 2");
    Codes({"E01C||ret"});
    Build("main");
  }
};

TEST_F(ShowAddressTest, MarksTheLineAndSetsTheRunTarget) {
  struct Case {
    std::uint16_t address, pc;
    bool found;
    std::uint16_t target;
    const char *sel, *pcText;
  };
  const Case cases[] = {
      {0xE005, 0x0000, true, 0xE00A, "E002", ""},      // inside the macro's range
      {0xE00A, 0xE00A, true, 0xE00A, "E002", "E002"},  // its end, and the program counter
      {0xE000, 0xE002, true, 0xE000, "E000", "E002"},
      {0xE00B, 0xE00B, false, 0xE000, "E000", "E002"},  // between two lines: nothing changes
      {0xD000, 0x0000, false, 0xE000, "E000", "E002"},
  };
  std::uint16_t runTarget = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(ShowAddress(sheet, display, c.address, c.pc, runTarget), c.found);
    EXPECT_EQ(runTarget, c.target);
    EXPECT_EQ(display.SelAddrText, c.sel);
    EXPECT_EQ(display.PCAddrText, c.pcText);
  }
  EXPECT_EQ(sheet.HighlightBox, 1);
  // A rebuild forgets the selection but not the program counter.
  ASSERT_TRUE(BuildSheet(sheet, display, "main"));
  EXPECT_EQ(display.SelAddrText, kNoSelection);
  EXPECT_EQ(display.PCAddrText, "E002");
}

TEST_F(ShowAddressTest, ScrollsOnlyWhenTheLineIsNearAnEdge) {
  const TRectangle& b = sheet.Boxes[1];
  const int lastY = b.Rect.Top + 10 * 13 + 3;  // 154
  // Scroll position, window height, whether it scrolls: 154 lies between 100
  // and 400; 94 from the top; more than 353 - 200 from the top; not quite.
  const std::tuple<int, int, bool> cases[] = {
      {0, 600, false}, {60, 600, true}, {0, 353, true}, {0, 354, false}};
  for (const auto& [scrollY, clientH, scrolls] : cases) {
    SCOPED_TRACE(scrollY * 1000 + clientH);
    FakeViewport view(scrollY, clientH);
    std::uint16_t runTarget = 0;
    ASSERT_TRUE(ShowAddress(sheet, display, 0xE01C, 0, runTarget, &view));
    EXPECT_EQ(view.set,
              scrolls ? std::optional(std::make_pair(b.Rect.Left - 200, lastY - clientH / 2)) : std::nullopt);
  }
}

class Dragging : public Interaction {
 protected:
  // main (free, box 1), a jump box hanging below it (box 2), and fin, hung
  // by offsets below the jump box (box 3, kind "r").
  void SetUp() override {
    Codes({"E000|main|A = 1", "E002|||fin", "E006|fin|ret"});
    Build("main");
    ASSERT_EQ(sheet.Boxes[3].Genre, 'r');
  }
};

TEST_F(Dragging, RelativeBoxFollowsThePointerFlowBoxDoesNot) {
  TRectangle& fin = sheet.Boxes[3];
  const TRect start = fin.Rect;
  const int ofsX = fin.OfsX, ofsY = fin.OfsY;
  SheetDrag drag(2);
  ASSERT_EQ(drag.ButtonDown(sheet, start.Left + 2, start.Top + 3), 3);
  EXPECT_TRUE(fin.EnDeplacement);
  // Two moves pass before the box follows.
  EXPECT_FALSE(drag.Move(sheet, start.Left + 10, start.Top + 10));
  EXPECT_FALSE(drag.Move(sheet, start.Left + 20, start.Top + 20));
  EXPECT_EQ(fin.Rect, start);
  EXPECT_FALSE(sheet.CoordsModified);
  ASSERT_TRUE(drag.Move(sheet, start.Left + 2 + 30, start.Top + 3 + 40));
  EXPECT_EQ(fin.Rect.Top, start.Top + 40);
  EXPECT_EQ(fin.OfsX, ofsX + 30);
  EXPECT_EQ(fin.OfsY, ofsY + 40);
  EXPECT_TRUE(sheet.CoordsModified);
  EXPECT_FALSE(drag.ButtonUp(sheet));
  EXPECT_FALSE(fin.EnDeplacement);
  EXPECT_FALSE(drag.Move(sheet, 0, 0));  // no button held
  // A full relayout keeps the new offsets.
  sheet.LayoutPasses();
  EXPECT_EQ(fin.Rect.Left, start.Left + 30);

  // A box hanging in the flow is placed back at once; an overflow during the
  // drag asks for a larger bitmap when the button is released.
  const TRect jump = sheet.Boxes[2].Rect;
  SheetDrag now(0);
  ASSERT_EQ(now.ButtonDown(sheet, jump.Left, jump.Top), 2);
  ASSERT_TRUE(now.Move(sheet, jump.Left + 50, jump.Top + 50));
  EXPECT_EQ(sheet.Boxes[2].Rect, jump);
  sheet.SheetOverflow = true;
  EXPECT_TRUE(now.ButtonUp(sheet));
  EXPECT_FALSE(sheet.SheetOverflow);
}

// The pointer tells in advance which boxes a drag moves.
TEST_F(Dragging, OnlyBoxesWithAPlaceOfTheirOwnCanBeDragged) {
  EXPECT_TRUE(CanDrag(sheet, 1));   // the first box, hung from nothing
  EXPECT_FALSE(CanDrag(sheet, 2));  // in the flow below it
  EXPECT_TRUE(CanDrag(sheet, 3));   // hung at an offset
  EXPECT_FALSE(CanDrag(sheet, 0));
  EXPECT_FALSE(CanDrag(sheet, sheet.Boxes.Count() + 1));
}

TEST_F(Dragging, MoveGroupPlacesTheChainAfterTheRootMoved) {
  sheet.GrabX = sheet.GrabY = 0;
  sheet.Boxes[1].Deplace(sheet, 300, 200);
  EXPECT_NE(sheet.Boxes[2].Rect.Top, sheet.Boxes[1].Rect.Bottom);  // not yet
  MoveGroup(sheet, 3);
  EXPECT_EQ(sheet.Boxes[2].Rect.Top, sheet.Boxes[1].Rect.Bottom);
  EXPECT_EQ(sheet.Boxes[3].Rect.Top, sheet.Boxes[2].Rect.Top + sheet.Boxes[3].OfsY);
  EXPECT_EQ(sheet.Boxes[3].CenterX(), sheet.Boxes[2].CenterX());
}

}  // namespace
}  // namespace hc11::test
