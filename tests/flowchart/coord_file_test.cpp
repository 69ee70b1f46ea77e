// The position file: dragging, switching function, reloading.
#include "tests/flowchart/sheet_fixture.h"

namespace hc11::test {
namespace {

class CoordFile : public SheetFixture {
 protected:
  void SetUp() override {
    program = (TempDir() / "prog.lst").string();
    file = TempDir() / "prog_Coord.txt";
    // main: a decision whose target hangs beside it; other: one box.
    Codes({"E000|main|A = 1", "E002||(A) = 0|suite", "E004||ret", "E005|suite|B = 1", "E007||ret",
           "F000|other|ret"});
    Function("other");
  }
  // Drags box b so that its top-left corner lands on (x, y).
  static void Drag(Flowchart& f, int b, int x, int y) {
    f.GrabX = f.GrabY = 0;
    f.Boxes[b].Deplace(f, x, y);
    f.CoordsModified = true;
  }

  std::string program;
  std::filesystem::path file;
};

TEST_F(CoordFile, DraggedBoxesSurviveSwitchingFunctionAndReloading) {
  EXPECT_FALSE(sheet.LoadCoordFile(program));  // no file yet: not an error
  Build("main");
  ASSERT_TRUE(sheet.BuildFlowchart("other"));
  EXPECT_FALSE(std::filesystem::exists(file)) << "nothing is written without a drag";
  ASSERT_TRUE(sheet.BuildFlowchart("main"));
  ASSERT_EQ(sheet.Boxes[4].Genre, 'r');
  Drag(sheet, 4, 300, 200);  // relative box: stored as an offset from its parent
  EXPECT_EQ(sheet.Boxes[4].Rect.Left, 300);
  Drag(sheet, 1, 150, 40);  // free first box: stored as a position
  sheet.LayoutPasses();
  const TRect moved = sheet.Boxes[4].Rect;
  const int ofsX = moved.Left - sheet.Boxes[2].Rect.Left, ofsY = moved.Top - sheet.Boxes[2].Rect.Top;
  ASSERT_TRUE(sheet.BuildFlowchart("other"));
  EXPECT_FALSE(sheet.CoordsModified);
  EXPECT_EQ(ReadText(file), Format("main;main;;;150;40\r\nmain;suite;;r;%d;%d\r\n", ofsX, ofsY));

  // A fresh load places both boxes where they were left.
  RecordingMessages quiet;
  Flowchart again(listing, quiet, metrics);
  again.BuildLabelIndex();
  EXPECT_TRUE(again.LoadCoordFile(program));
  ASSERT_TRUE(again.BuildFlowchart("main"));
  EXPECT_EQ(again.Boxes[1].Rect.Left, 150);
  EXPECT_EQ(again.Boxes[1].Rect.Top, 40);
  EXPECT_EQ(again.Boxes[4].Rect, moved);
  EXPECT_TRUE(quiet.shown.empty()) << quiet.shown[0].text;
}

TEST_F(CoordFile, SaveRulesPerBox) {
  sheet.LoadCoordFile(program);
  sheet.Coords().Lines = {"other;other;;;5;6", "main;suite;;;;;r"};
  Build("main");
  // suite carries "r": jumps to it are drawn as a title box, not a line, so
  // it stands apart.
  ASSERT_EQ(sheet.Boxes.Count(), 5);
  EXPECT_EQ(ErrorTexts(), (std::vector<std::string>{"non relié 4 E005"}));
  messages.shown.clear();
  // An unlabelled relative box at offset 0, 0 is not stored; an unlabelled
  // free box is stored under an empty label, with a message.
  sheet.Boxes[3].Genre = 'r';
  sheet.Boxes[3].OfsX = sheet.Boxes[3].OfsY = 0;
  sheet.Boxes[2].ObjetParent = 0;
  sheet.CoordsModified = true;
  EXPECT_TRUE(sheet.SaveCoordFile());
  EXPECT_EQ(ErrorTexts(), (std::vector<std::string>{"err Manque label $E002", "err Manque label $E004"}));
  EXPECT_EQ(ReadText(file),
            Format("other;other;;;5;6\r\nmain;suite;;;%d;%d;r\r\nmain;main;;;100;21\r\nmain;;;;%d;%d\r\n",
                   sheet.Boxes[4].Rect.Left, sheet.Boxes[4].Rect.Top, sheet.Boxes[2].Rect.Left,
                   sheet.Boxes[2].Rect.Top));

  // A side exit is written for a box in the flow.
  listing.LineList[1].Label = "cond";
  sheet.Coords().Lines = {"main;cond;n;;;"};
  Build("main");
  ASSERT_EQ(sheet.Boxes[2].PointD, 4);
  sheet.CoordsModified = true;
  sheet.SaveCoordFile();
  EXPECT_NE(ReadText(file).find("main;cond;n;;;\r\n"), std::string::npos);
}

TEST_F(CoordFile, SameLabelInTwoFunctionsKeepsTwoLines) {
  TCoord c;
  c.Store("f1", "fin", "f1;fin;;;1;2");
  c.Store("f2", "fin", "f2;fin;;;3;4");
  c.Store("f1", "fin", "f1;fin;;;5;6");
  EXPECT_EQ(c.Lines, (std::vector<std::string>{"f1;fin;;;5;6", "f2;fin;;;3;4"}));
  EXPECT_EQ(c.ReadCoord("f2", "fin").x, "3");
  // The key ends with ";": a label that only begins like another is distinct.
  EXPECT_EQ(c.FindCoord("f1", "fi"), -1);
}

TEST_F(CoordFile, UnreadablePositionsAreReportedOnceAndIgnored) {
  std::ofstream(file, std::ios::binary)
      << "main;main;;;abc;40\r\nmain;suite;;r;12\r\nmain;x;;r;-7;8\nother;other;;;1;2;extra\n"
         "main;far;;;2147483647;2147483647\nmain;near;;;1000000;-1000000";
  EXPECT_TRUE(sheet.LoadCoordFile(program));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("3 position(s)"), std::string::npos);
  EXPECT_NE(messages.shown[0].text.find("main;main;;;abc;40"), std::string::npos);
  EXPECT_EQ(sheet.Coords().Lines.size(), 6u);                      // LF and CR LF lines alike
  EXPECT_TRUE(sheet.Coords().ReadCoord("main", "far").x.empty());  // past the sheet's range
  EXPECT_EQ(sheet.Coords().ReadCoord("main", "near").y, "-1000000");
  EXPECT_EQ(sheet.Coords().ReadCoord("main", "x").x, "-7");
  EXPECT_EQ(sheet.Coords().ReadCoord("main", "x").y, "8");
  EXPECT_EQ(sheet.Coords().ReadCoord("other", "other").extra, "extra");
  const CoordFields bad = sheet.Coords().ReadCoord("main", "suite");
  EXPECT_EQ(bad.relative, "r");
  EXPECT_TRUE(bad.x.empty() && bad.y.empty());
  Build("main");
  EXPECT_EQ(sheet.Boxes[1].Rect.Left, 100);  // laid out as if unsaved
  EXPECT_EQ(sheet.Boxes[1].Rect.Top, 21);
}

TEST_F(CoordFile, AHugeOrOddFileGivesOneShortMessage) {
  std::ofstream(file, std::ios::binary) << "main;" << std::string(10'000'000, 'q') << ";;;x;y\r\n";
  EXPECT_TRUE(sheet.LoadCoordFile(program));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_LT(messages.shown[0].text.size(), 600u);
  EXPECT_NE(messages.shown[0].text.find("qqq…"), std::string::npos);

  // A folder in its place is said, with the reason, and the sheet goes on.
  messages.shown.clear();
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);
  EXPECT_FALSE(sheet.LoadCoordFile(program));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("Is a directory"), std::string::npos) << messages.shown[0].text;
  Build("main");
  std::filesystem::remove(file);
}

TEST_F(CoordFile, WriteFailureIsReportedAndPositionsStayInMemory) {
  sheet.LoadCoordFile((TempDir() / "absent" / "prog").string());
  Build("main");
  Drag(sheet, 1, 120, 30);
  EXPECT_FALSE(sheet.SaveCoordFile());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Erreur");
  ASSERT_EQ(sheet.Coords().Lines.size(), 2u);
  EXPECT_EQ(sheet.Coords().Lines[0], "main;main;;;120;30");
  // The next sheet keeps them: building main again places the box there.
  sheet.BuildFlowchart("main");
  EXPECT_EQ(sheet.Boxes[1].Rect.Left, 120);
}

}  // namespace
}  // namespace hc11::test
