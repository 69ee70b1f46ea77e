// What a reader sees of a laid-out sheet, as painted: the straight pieces of
// every jump, the texts, the exit tags of the decisions, the points where
// jumps to one target join; and how legible that is, counted.
#pragma once

#include <string>
#include <vector>

#include "flowchart/sheet.h"

namespace hc11 {

// Least distance between the vertical tracks of jumps to different targets.
inline constexpr int kTrackGap = 6;
// Horizontal pieces of jumps to different targets keep at least this apart.
inline constexpr int kStubGap = 3;

// One straight piece of a jump, one pixel thick, from (x0, y0) to (x1, y1)
// (both ends included; x0 == x1 or y0 == y1).
struct JumpSegment {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int line = 0;    // the jump's vertical line
  int source = 0;  // boxes
  int target = 0;
  bool Vertical() const { return x0 == x1; }
  // The pixels it covers, right and bottom exclusive.
  TRect Cells() const {
    return {x0 < x1 ? x0 : x1, y0 < y1 ? y0 : y1, (x0 < x1 ? x1 : x0) + 1, (y0 < y1 ? y1 : y0) + 1};
  }
};

// The pieces a vertical line object draws: the line itself, or, for a
// detour, its first track, the row across and the second track.
std::vector<JumpSegment> TrackPieces(const Flowchart& sheet, const TLigneV& v);

// The pieces of every jump: its exit stub, its vertical line, its landing
// stub, in line order. Empty pieces are left out.
std::vector<JumpSegment> JumpSegments(const Flowchart& sheet);

// A text as painted, with the box it belongs to.
struct TextCell {
  TRect r;
  int box = 0;
  bool own = false;  // drawn inside its box (label or statement), not beside it
};

// Labels, statements, comments (with `showComments`; comment boxes and
// comment lines too) and exit tags.
std::vector<TextCell> TextCells(const Flowchart& sheet, bool showComments);

// The exit tag of a decision's jump line in the clear layout: "oui" beside
// the jump taken when the condition holds, or "non" when the line leads to
// the next box (the jump's target then hangs right below the decision).
// Empty text when the line has no tag.
struct ExitTag {
  std::string text;
  TRect r;
};
ExitTag ExitTagOf(const Flowchart& sheet, int line);
// Where the tag `text` of decision `s` goes when its jump leaves from the
// left (or right) side at height `y` and then runs down (or up).
TRect ExitTagRect(const Flowchart& sheet, const TRectangle& s, const std::string& text, bool left, int y,
                  bool down);
// The same for a tag `width` pixels wide (measuring a text takes time).
TRect ExitTagRect(const Flowchart& sheet, const TRectangle& s, int width, bool left, int y, bool down);
// Size of a tag: a smaller type than the statements.
int TagHeight(const Flowchart& sheet);
int TagWidth(const Flowchart& sheet, const std::string& text);

// Where a jump joins another one going to the same target: a point at the
// end of one piece that lies inside another piece of the same target.
struct Junction {
  int x = 0, y = 0;
};
std::vector<Junction> Junctions(const std::vector<JumpSegment>& segments);

struct Legibility {
  int segmentsThroughBoxes = 0;  // pieces crossing a box other than their source and target
  int segmentsThroughText = 0;   // pieces crossing a label, statement, comment or tag
  int sharedTracks = 0;          // pairs of pieces of different targets running too close
  int crossings = 0;             // crossings between pieces of different jumps
  // Comment texts lying on a statement box (not a jump count).
  int commentsOverBoxes = 0;
  bool Clean() const {
    return segmentsThroughBoxes == 0 && segmentsThroughText == 0 && sharedTracks == 0 &&
           commentsOverBoxes == 0;
  }
};
Legibility MeasureLegibility(const Flowchart& sheet, bool showComments);
// "legibility: segments_through_boxes=N segments_through_text=N shared_tracks=N crossings=N"
std::string LegibilityLine(const Legibility& l);

}  // namespace hc11
