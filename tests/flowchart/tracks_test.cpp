// The clear layout's jump routes, checked on the geometry the painter draws:
// nothing crosses a box or a text, every target has its own track, jumps
// land on their target's side, comments stay off boxes.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <tuple>

#include "bench/flowchart/listing_generator.h"
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet_legibility.h"
#include "listing/listing_loader.h"
#include "tests/flowchart/random_program.h"
#include "tests/flowchart/sheet_clashes.h"
#include "tests/flowchart/sheet_fixture.h"

namespace hc11::test {
namespace {

std::string Counts(const Legibility& l) {
  return LegibilityLine(l) + Format(" comments_over_boxes=%d", l.commentsOverBoxes);
}

// Every sheet property the clear layout promises, comments shown and hidden.
void ExpectLegible(const Flowchart& sheet) {
  for (bool comments : {false, true}) {
    const Legibility l = MeasureLegibility(sheet, comments);
    EXPECT_TRUE(l.Clean()) << (comments ? "comments shown: " : "comments hidden: ") << Counts(l);
  }
  EXPECT_TRUE(FindClashes(sheet).overlaps.empty()) << Describe(FindClashes(sheet));
  for (int l = 1; l <= sheet.Lines.Count(); ++l) {
    const TLigneV* v = sheet.Lines.LineV(l);
    if (v == nullptr || !v->Piste) continue;
    // The landing stub's tip lies just beside its target, level with it.
    const TORect& landing = sheet.Lines[l + 2];
    const TRect& t = sheet.Boxes[v->ObjetParentb].Rect;
    EXPECT_TRUE(landing.Rect.Left == t.Right || landing.Rect.Left == t.Left - 1) << "line " << l;
    EXPECT_TRUE(landing.Rect.Top > t.Top && landing.Rect.Top < t.Bottom) << "line " << l;
  }
}

// Record programs of the shapes that make sheets hard to read.
std::vector<std::string> Dispatcher(int commands) {
  std::vector<std::string> r = {"E000|main|A = cmd||commande recue"};
  int addr = 0xE002;
  for (int k = 0; k < commands; ++k, addr += 2)
    r.push_back(Format("%4.4X||(A - %d) = 0|h%d||commande %d ?", addr, k, k, k));
  r.push_back(Format("%4.4X||ret", addr));
  for (int k = 0; k < commands; ++k) {
    addr += 8;
    if (k % 3 == 1) r.push_back(Format("||||traitement de la commande %d, avec sa reponse", k));
    r.push_back(Format("%4.4X|h%d|B = %d||code %d", addr, k, k, k));
    r.push_back(Format("%4.4X||call repondre", addr + 2));
    r.push_back(Format("%4.4X||ret", addr + 4));
  }
  return r;
}

std::vector<std::string> NestedLoops(int depth) {
  std::vector<std::string> r = {"E000|main|B = 10"};
  int addr = 0xE002;
  for (int d = 0; d < depth; ++d, addr += 2)
    r.push_back(Format("%4.4X|l%d|C = %d||boucle %d", addr, d, d, d));
  r.push_back(Format("%4.4X||A = [$10+X]", addr));
  r.push_back(Format("%4.4X||(A) = 0|fin||sortie anticipee", addr + 2));
  addr += 4;
  for (int d = depth - 1; d >= 0; --d, addr += 4) {
    r.push_back(Format("%4.4X||C = C - 1", addr));
    r.push_back(Format("%4.4X||(C) <> 0|l%d||encore", addr + 2, d));
  }
  r.push_back(Format("%4.4X|fin|ret", addr));
  return r;
}

std::vector<std::string> RangeTests(int ranges) {
  std::vector<std::string> r = {"E000|main|A = val"};
  int addr = 0xE002;
  for (int k = 0; k < ranges; ++k, addr += 2)
    r.push_back(Format("%4.4X||(A - %d) < 0|r%d||moins de %d", addr, 10 * (k + 1), k, 10 * (k + 1)));
  r.push_back(Format("%4.4X||B = 0", addr));
  r.push_back(Format("%4.4X|fin|ret", addr + 2));
  addr += 4;
  for (int k = 0; k < ranges; ++k, addr += 4) {
    r.push_back(Format("%4.4X|r%d|B = %d", addr, k, k));
    r.push_back(Format("%4.4X|||fin", addr + 2));
  }
  return r;
}

std::vector<std::string> EarlyReturns(int checks) {
  std::vector<std::string> r = {"E000|main|A = etat"};
  int addr = 0xE002;
  for (int k = 0; k < checks; ++k, addr += 4) {
    r.push_back(Format("%4.4X||A = A + %d||etape %d", addr, k, k));
    r.push_back(Format("%4.4X||(A) = 0|sortie", addr + 2));
  }
  r.push_back(Format("%4.4X||B = 1", addr));
  r.push_back(Format("%4.4X|sortie|ret||fin de main", addr + 2));
  return r;
}

class Tracks : public SheetFixture {
 protected:
  void BuildBoth(const std::vector<std::string>& records) {
    Codes(records);
    Function("main");
    sheet.BuildLabelIndex();
    sheet.NoOverlapLayout = false;
    ASSERT_TRUE(sheet.BuildFlowchart("main"));
    literal = sheet.DescribeSheet();
    sheet.NoOverlapLayout = true;
    ASSERT_TRUE(sheet.BuildFlowchart("main"));
  }
  bool AnyTrack() const {
    for (int l = 1; l <= sheet.Lines.Count(); ++l)
      if (const TLigneV* v = sheet.Lines.LineV(l); v != nullptr && v->Piste) return true;
    return false;
  }
  // Measures the sheet just built, comments hidden and shown, and notes
  // what is wrong with it under `name`.
  void Check(const std::string& name) {
    ++sheets;
    tracked += AnyTrack();
    largest = std::max(largest, sheet.Boxes.Count());
    for (bool comments : {false, true}) {
      const Legibility l = MeasureLegibility(sheet, comments);
      if (!l.Clean()) faults.push_back(name + (comments ? " (comments) " : " ") + Counts(l));
    }
    if (const SheetClashes c = FindClashes(sheet); !c.overlaps.empty())
      faults.push_back(name + " " + Describe(c));
  }
  void CheckShape(const char* name, const std::function<std::vector<std::string>(int)>& make, int n) {
    listing = Listing{};
    Codes(make(n));
    Function("main");
    sheet.BuildLabelIndex();
    ASSERT_TRUE(sheet.BuildFlowchart("main"));
    Check(Format("%s %d", name, n));
  }
  void CheckRandom(std::uint32_t seed, int functions) {
    listing = Listing{};
    Codes(RandomProgram(seed, functions));
    for (int f = 0; f < functions; ++f) Function(Format("f%d", f));
    sheet.BuildLabelIndex();
    for (int f = 0; f < functions; ++f) {
      ASSERT_TRUE(sheet.BuildFlowchart(Format("f%d", f)));
      Check(Format("seed %u f%d", seed, f));
    }
  }
  std::string Faults() const {
    std::string list = Format("%zu faults on %d sheets:", faults.size(), sheets);
    for (const std::string& f : faults) list += "\n  " + f;
    return list;
  }

  std::vector<std::string> literal;
  std::vector<std::string> faults;
  int sheets = 0, tracked = 0, largest = 0;
};

using Maker = std::function<std::vector<std::string>(int)>;

TEST_F(Tracks, BranchesToThreeTargetsGetOwnTracksAndJoinWithDots) {
  // Shaped like the demo's key decoder: four branches to one target, one to
  // another, a loop back to the top.
  BuildBoth({"E000|main|X = #adval", "E002||B = #8||premiere touche", "E004|chan|A = [X]",
             "E006||(A - #HAUT) >= 0|found||tiree haut", "E008||(A - #BAS) < 0|lower||tiree bas",
             "E00A||X = X + 1", "E00B||B = B - #2", "E00D||(B) >= 0|chan", "E00F||A = [adval+5]",
             "E011||(A - #PTT) < 0|found", "E013||B = B + 1", "E014||(A - #HASH) < 0|found",
             "E016||B = B + 1", "E017||(A - #STAR) < 0|found", "E019||A = #NONE", "E01B||ret",
             "E01C|lower|B = B + 1||une de plus", "E01D|found|A = B", "E01E||ret"});
  EXPECT_TRUE(AnyTrack());
  ExpectLegible(sheet);
  const std::vector<JumpSegment> pieces = JumpSegments(sheet);
  for (const JumpSegment& a : pieces)
    for (const JumpSegment& b : pieces) {
      if (!a.Vertical() || !b.Vertical() || a.target == b.target) continue;
      const TRect ra = a.Cells(), rb = b.Cells();
      if (ra.Top < rb.Bottom && rb.Top < ra.Bottom) {
        EXPECT_GE(std::abs(a.x0 - b.x0), kTrackGap) << "lines " << a.line << " and " << b.line;
      }
    }
  // The branches to "found" merge: each join is marked, on pieces of that
  // target only.
  const int found = sheet.BoxOfLabel("found");
  const std::vector<Junction> dots = Junctions(pieces);
  EXPECT_GE(dots.size(), 2u);
  for (const Junction& d : dots)
    for (const JumpSegment& s : pieces) {
      const TRect c = s.Cells();
      if (c.Contains(d.x, d.y)) {
        EXPECT_EQ(s.target, found) << d.x << "," << d.y;
      }
    }
  // The decisions' jump exits are tagged "oui", beside the box.
  int tags = 0;
  for (int l = 1; l <= sheet.Lines.Count(); ++l) {
    const ExitTag tag = ExitTagOf(sheet, l);
    if (tag.text.empty()) continue;
    ++tags;
    EXPECT_EQ(tag.text, "oui");
    const TRect& s = sheet.Boxes[sheet.Lines[l].ObjetParent].Rect;
    EXPECT_TRUE(tag.r.Left == s.Right + 2 || tag.r.Right == s.Left - 2);
  }
  EXPECT_EQ(tags, 6);
  // Placing again gives the same routes.
  const auto before = sheet.DescribeSheet();
  sheet.Relayout();
  const auto after = sheet.DescribeSheet();
  EXPECT_EQ(std::vector(after.begin() + 1, after.end()), std::vector(before.begin() + 1, before.end()));
}

TEST_F(Tracks, SheetThatReadsWellKeepsTheLiteralRoutes) {
  // A branch dropping straight onto a free target: nothing to mend.
  BuildBoth({"E000|main|A = 1", "E002||(A) = 0|suite", "E004||ret", "E005|suite|B = 1", "E007||ret"});
  EXPECT_FALSE(AnyTrack());
  EXPECT_EQ(sheet.DescribeSheet(), literal);
  ExpectLegible(sheet);
  // Its exit is still tagged in the clear layout, never in the literal one.
  EXPECT_EQ(ExitTagOf(sheet, 1).text, "oui");
  sheet.NoOverlapLayout = false;
  EXPECT_EQ(ExitTagOf(sheet, 1).text, "");
}

TEST_F(Tracks, SideExitIsTaggedNonAndTheLiteralLayoutKeepsItsLines) {
  // Saved with its jump on the side: the line then leads to the next box.
  sheet.Coords().Lines = {"main;test;n;;;"};
  BuildBoth({"E000|main|A = 1", "E002|test|(A) = 0|loin||saut de cote", "E004||B = 2", "E006||ret",
             "E007|loin|B = 1", "E009||(B) <> 0|main", "E00B||ret"});
  ExpectLegible(sheet);
  const int test = sheet.BoxOfLabel("test");
  EXPECT_EQ(ExitTagOf(sheet, sheet.Boxes[test].ObjetLineV).text, "non");
  sheet.NoOverlapLayout = false;
  ASSERT_TRUE(sheet.BuildFlowchart("main"));
  EXPECT_EQ(sheet.DescribeSheet(), literal);
  EXPECT_FALSE(AnyTrack());
}

TEST_F(Tracks, CommentColumnsStayOffBoxesTracksAndTags) {
  BuildBoth(Dispatcher(6));
  ExpectLegible(sheet);
  const std::vector<JumpSegment> pieces = JumpSegments(sheet);
  for (const TextCell& c : TextCells(sheet, true)) {
    if (c.own) continue;
    for (const JumpSegment& s : pieces) EXPECT_FALSE(c.r.Intersects(s.Cells())) << "line " << s.line;
  }
  // The sheet is wide enough for every comment.
  for (int b = 1; b <= sheet.Boxes.Count(); ++b) EXPECT_LE(sheet.Boxes[b].XCommentFin, sheet.PicW);
}

// Routes that no track level with them could take run on lanes beyond the
// sheet, left of and above its boxes as much as right and below: the sheet
// moves to hold them, and placing it again gives the same drawing.
TEST_F(Tracks, OuterLanesStayOnTheSheetAndPlaceTheSameAgain) {
  for (const auto& records : {Dispatcher(100), NestedLoops(100)}) {
    listing = Listing{};
    Codes(records);
    Function("main");
    sheet.BuildLabelIndex();
    ASSERT_TRUE(sheet.BuildFlowchart("main"));
    ExpectLegible(sheet);
    EXPECT_TRUE(FindClashes(sheet).negative.empty()) << Describe(FindClashes(sheet));
    const std::vector<JumpSegment> pieces = JumpSegments(sheet);
    for (const JumpSegment& p : pieces) {
      const TRect c = p.Cells();
      EXPECT_TRUE(c.Left >= 0 && c.Top >= 0 && c.Right <= sheet.PicW && c.Bottom <= sheet.PicH)
          << "line " << p.line << " at " << c.Left << "," << c.Top << " on " << sheet.PicW << "x"
          << sheet.PicH;
    }
    const auto before = sheet.DescribeSheet();
    sheet.Relayout();
    const auto after = sheet.DescribeSheet();
    EXPECT_EQ(std::vector(after.begin() + 1, after.end()), std::vector(before.begin() + 1, before.end()));
    const std::vector<JumpSegment> again = JumpSegments(sheet);
    ASSERT_EQ(again.size(), pieces.size());
    for (std::size_t k = 0; k < pieces.size(); ++k)
      EXPECT_TRUE(again[k].Cells() == pieces[k].Cells()) << "line " << pieces[k].line;
  }
}

// Every sheet of many generated programs reads well, comments shown and
// hidden: the shapes above from one to some 300 boxes, random programs, and
// a generated listing's routines as the loader reads them. Each faulty sheet
// is named with its counts.
TEST_F(Tracks, GeneratedProgramsReadWell) {
  const std::pair<const char*, Maker> shapes[] = {{"dispatcher", Dispatcher},
                                                  {"nested loops", NestedLoops},
                                                  {"range tests", RangeTests},
                                                  {"early returns", EarlyReturns}};
  for (const auto& [name, make] : shapes)
    for (int n : {1, 3, 8, 25, 100, 150}) CheckShape(name, make, n);
  for (std::uint32_t seed = 1; seed <= 100; ++seed) CheckRandom(seed, 4);
  listing = Listing{};
  std::uint16_t startPC = 0;
  ParseListingText(listing, bench::ListingGenerator().Generate(40, 300, 2000), startPC, messages, false);
  ConvertAll(listing);
  sheet.BuildLabelIndex();
  int built = 0;
  for (const auto& [name, entry] : listing.FunctionList.entries)
    if (sheet.BuildFlowchart(name)) {
      ++built;
      Check(name);
    }
  EXPECT_TRUE(faults.empty()) << Faults();
  EXPECT_GT(built, 20);
  EXPECT_GE(largest, 300);
  // The programs do need tracks.
  EXPECT_GT(tracked, 100);
}

// The same shapes at every size in steps, where the way their boxes hang
// changes from one size to the next, and larger random programs.
TEST_F(Tracks, ShapesOfEverySizeReadWell) {
  const std::pair<const char*, Maker> shapes[] = {{"dispatcher", Dispatcher},
                                                  {"nested loops", NestedLoops},
                                                  {"range tests", RangeTests},
                                                  {"early returns", EarlyReturns}};
  for (const auto& [name, make] : shapes)
    for (int n = 1; n <= 130; n += 9) CheckShape(name, make, n);
  for (std::uint32_t seed = 1; seed <= 60; ++seed) CheckRandom(seed * 7919u, 6);
  EXPECT_TRUE(faults.empty()) << Faults();
  EXPECT_GT(tracked, 200);
}

// Random programs whose sheets were once left with a fault: a decision both
// leaving and taking jumps on its middle row, jumps boxed in by neighbours
// with a gap too narrow for the usual tracks, an exit whose tag left no room
// for a track beside it, targets whose free side only opens above or below.
TEST_F(Tracks, SheetsThatOnceFailedReadWell) {
  const struct {
    std::uint32_t seed;
    int functions;
  } once[] = {{3682335, 6}, {4124, 6}, {1906, 4}, {3836, 4}, {4878104, 4}, {24865660, 6}, {4182, 4}};
  for (const auto& [seed, functions] : once) CheckRandom(seed, functions);
  EXPECT_TRUE(faults.empty()) << Faults();
}

}  // namespace
}  // namespace hc11::test
