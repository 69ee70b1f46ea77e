// The objects' own operations: dump texts, kind changes, painting hand-off.
#include "tests/flowchart/sheet_fixture.h"

namespace hc11::test {
namespace {

class SheetObjects : public SheetFixture {
 protected:
  // main, a decision to fin, one statement, fin.
  void SetUp() override {
    Codes({"E000|main|A = [$10+X]", "E002||(A - $20) = 0|fin", "E004||A = 1", "E006|fin|ret"});
    Build("main");
  }
};

TEST_F(SheetObjects, DumpWritesEveryFieldInItsFormat) {
  sheet.BitmapW = 300;
  sheet.BitmapH = 4000;
  EXPECT_EQ(
      sheet.DumpObject(sheet.Boxes[2]),
      (std::vector<std::string>{
          "relié", "W300 H4000= 1", "NbPasse 2", "ObjetSelf 2  ", "l=110 r=213 t=43 b=69", "Larg 103 Haut 26",
          "OfsX= 10 OfsY= 22", "ObjetParent 1", "ObjLieEnfant 3", "$E002 $  \"(A - $20) = 0\"",
          "Saut= \"fin\" Triangle=11 ", "ObjetSaut=4 ", "ObjetLineV=1 ", "PointB 4", "E002"}));
  sheet.Boxes[4].Texte2 = "note";
  const auto fin = sheet.DumpObject(sheet.Boxes[4]);
  EXPECT_EQ(std::vector<std::string>(fin.end() - 4, fin.end()),
            (std::vector<std::string>{"Label= \"fin\" 21", "$E006 $  \"ret\"", "note", "E006"}));
  EXPECT_TRUE(sheet.DumpObject(sheet.Lines[1]).empty());  // a vertical line writes nothing
  EXPECT_EQ(sheet.DumpObject(sheet.Lines[3])[2], "ObjetSelf 3 b");
}

TEST_F(SheetObjects, SetGenreTakesTheJumpingBoxAsParent) {
  TRectangle& fin = sheet.Boxes[4];
  fin.Sauve = true;
  sheet.SetGenre(4, 'r');
  EXPECT_EQ(fin.Genre, 'r');
  EXPECT_EQ(fin.ObjetParent, 2);  // the source of line 1
  // A box with a position of its own keeps where it stands.
  EXPECT_EQ(fin.OfsX, fin.Rect.Left - sheet.Boxes[2].Rect.Left);
  EXPECT_EQ(fin.OfsY, fin.Rect.Top - sheet.Boxes[2].Rect.Top);
  // No line arrives on box 3: it falls back into the flow, centred below.
  TRectangle& three = sheet.Boxes[3];
  sheet.SetGenre(3, 'r');
  EXPECT_EQ(three.Genre, ' ');
  EXPECT_EQ(three.ObjetParent, 2);
  EXPECT_EQ(three.OfsX, (103 + 0) / 2 - (33 + 0) / 2);
  EXPECT_EQ(three.OfsY, 26);
}

TEST_F(SheetObjects, SetGenreSkipsALineWhoseSourceHangsBelowTheBox) {
  // Box 2 hangs from box 1; a line from 2 to 1 must not make 1 hang from 2.
  TLigneV& v = *sheet.Lines.LineV(1);
  v.ObjetParentb = 1;
  sheet.SetGenre(1, 'r');
  EXPECT_EQ(sheet.Boxes[1].Genre, ' ');
  EXPECT_EQ(sheet.Boxes[1].ObjetParent, 0);
}

class RecordingPainter : public SheetPainter {
 public:
  void PaintBox(Flowchart&, TRectangle& b) override { calls.push_back(Format("box %d", b.ObjetSelf)); }
  void PaintLineV(Flowchart&, TLigneV& l) override { calls.push_back(Format("linev %d", l.ObjetSelf)); }
  void PaintStub(Flowchart&, TLigneH& s) override {
    calls.push_back(Format("stub %d %c", s.ObjetSelf, s.Genre));
  }
  std::vector<std::string> calls;
};

TEST_F(SheetObjects, DessinePlacesTheObjectAndHandsItToThePainter) {
  RecordingPainter painter;
  sheet.Boxes[3].Rect = {};  // placed again before painting
  for (int i = 1; i <= sheet.Boxes.Count(); ++i) sheet.Boxes[i].Dessine(sheet, painter);
  for (int i = 1; i <= sheet.Lines.Count(); ++i) sheet.Lines[i].Dessine(sheet, painter);
  EXPECT_EQ(painter.calls, (std::vector<std::string>{"box 1", "box 2", "box 3", "box 4", "linev 1",
                                                     "stub 2 h", "stub 3 b"}));
  EXPECT_EQ(sheet.Boxes[3].Rect.Top, sheet.Boxes[2].Rect.Bottom);
}

}  // namespace
}  // namespace hc11::test
