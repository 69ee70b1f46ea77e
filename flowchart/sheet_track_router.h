// The router of the clear layout's jump tracks, shared by the search for
// tracks (sheet_tracks.cpp) and what a track costs (sheet_track_cost.cpp),
// the outer routes that stay open when the search finds none
// (sheet_outer_routes.cpp) and the clear layout's routing pass
// (sheet_clear_route.cpp).
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "flowchart/sheet.h"
#include "flowchart/sheet_legibility.h"

namespace hc11::tracks {

inline constexpr int kBoxMargin = 3;     // between a track and a box
inline constexpr int kCrossCost = 1000;  // a crossing costs as much as this much more line
// A piece through a box, a text or beside another track: above any sum of
// crossings and length a sheet can reach.
inline constexpr long kFault = 1000000000L;
inline constexpr int kMinTrackX = 4;
// Passes laying the jumps left with a fault first, while that leaves fewer.
inline constexpr int kOrderPasses = 4;
inline constexpr int kTries = 40;               // tracks tried per landing, nearest first
inline constexpr int kMostTries = 60;           // the same while none is free, on a sheet of
inline constexpr std::size_t kLargeSheet = 50;  // more jumps than this
// Detour routes tried per sheet (a large one): beyond, a closed jump keeps
// its best track.
inline constexpr long kDetourBudget = 100000, kLargeDetourBudget = 8000;
// Tracks beside a target, and near the source, tried from the rows round
// the sheet when every way is closed.
inline constexpr std::size_t kPocketTracks = 8, kPocketExits = 4;

// A box with the comment lines that spill beyond its right edge and the
// label that hangs below a jump box.
TRect Ink(const Flowchart& sheet, const TRectangle& b);
// Where a jump leaves its source, below the source's top.
int ExitDY(const TRectangle& s);
// The middle of the first text line, or of the decision or the empty jump box.
int EntryDY(const Flowchart& sheet, const TRectangle& t);

// Moves the whole sheet `dx` right and `dy` down: the boxes without parent
// carry the others, which are placed again after their parents.
void ShiftSheet(Flowchart& sheet, int dx, int dy);

// Lays every jump of a sheet on its track (Run), keeping what it laid for
// the comment columns placed afterwards.
class TrackRouter {
 public:
  explicit TrackRouter(Flowchart& sheet)
      : sheet_(sheet), ouiWidth_(TagWidth(sheet, "oui")), nonWidth_(TagWidth(sheet, "non")) {
    for (int b = 1; b <= sheet.Boxes.Count(); ++b) ink_.push_back(Ink(sheet, sheet.Boxes[b]));
  }

  void Run();

  const std::vector<JumpSegment>& Placed() const { return placed_; }
  const std::vector<TRect>& Tags() const { return tags_; }
  const std::vector<TRect>& InkRects() const { return ink_; }

 private:
  // Lays every jump, shortest first; those left with a fault go first in a
  // second pass when that leaves fewer faults.
  void LayWell(std::vector<TLigneV*>& jumps);

  struct Outcome {
    long faults = 0, cost = 0;
  };
  struct Snapshot {
    std::vector<TLigneV> lines;
    std::vector<JumpSegment> placed;
    std::vector<TRect> tags;
    std::vector<int> tagLines;
    int picW = 0, picH = 0;
  };

  // Lays the jumps in `order`. A jump that finds every way closed takes
  // the outer way that fewest jumps laid before it close, those jumps are
  // taken off and laid again after it (each jump clears others off its way
  // once at most, so this ends).
  Outcome LayAll(const std::vector<TLigneV*>& order, std::vector<TLigneV*>& faulty);

  Snapshot Take(const std::vector<TLigneV*>& jumps) const;

  void Restore(const std::vector<TLigneV*>& jumps, const Snapshot& s);

  int Span(const TLigneV& v) const;

  struct Choice {
    int x = 0, x2 = 0, yc = 0;
    bool detour = false;
    bool outer = false;  // on lanes beyond the sheet, which may lie left of its edge
    bool tight = false;  // may run by its source's tag, on the far side of the exit
    bool exitLeft = false, entryLeft = false;
    long cost = std::numeric_limits<long>::max();
    JumpSegment seg[5];
    int segs = 0;
    TRect tag{};
    bool hasTag = false;
  };

  // What one jump needs to know while its track is chosen.
  struct Jump {
    int line = 0, si = 0, ti = 0;
    int y0 = 0, y1 = 0;
    int exitRight = 0, exitLeft = 0, entryRight = 0, entryLeft = 0;
    bool tagged = false;
    std::string tagText;
    int tagWidth = 0, tagRoom = 0;
  };

  // The pieces, tag and cost of a route through x (and, for a detour, along
  // row yc to x2); false when the route would cross its own boxes.
  bool Shape(const Jump& j, Choice& c) const;

  Jump MakeJump(const TLigneV& v) const;

  // The first text line is where a jump lands; the target's lower lines
  // when that is closed.
  std::vector<int> Landings(const TRectangle& t) const;

  // Lays line `v` on the cheapest track; returns what it cost.
  long Lay(TLigneV& v);

  // Sets line `v` on route `c` (landing at j.y1) and keeps its pieces and tag.
  void Commit(TLigneV& v, const Jump& j, const Choice& c);

  // Takes line `line`'s pieces and tag off the sheet.
  void Unlay(int line);

  // The cheapest route landing at height j.y1.
  Choice Search(const Jump& j, const TRectangle& s, const TRectangle& t);

  // The lane kTrackGap beyond `x` and beyond everything laid level with
  // rows top..bottom, on the left or on the right.
  int Lane(bool left, int top, int bottom, int x) const;

  // The outer routes of a jump: out from the source's side along its own
  // row to a lane beyond everything level with the route's rows, and in
  // along the landing's row, the two lanes joined by a row below (or above)
  // everything when the target is met from the other side. Only the two
  // rows by the boxes can meet anything. Calls `use` with each, `j` holding
  // its exit and landing rows.
  // With `pockets`, the routes round the sheet into a pocket instead
  // (Pockets), tried when the others are closed; not on a large sheet,
  // where trying them for every closed jump takes too long.
  template <typename Use>
  void OuterRoutes(Jump& j, const std::vector<int>& landings, bool pockets, Use use);

  // The routes round the sheet into a target's pocket: from a lane beside
  // the source along row `top` or `bottom`, then on a track beside the
  // target landing at `landing`. Calls `shaped` with each.
  template <typename Shaped>
  void Pockets(const Jump& j, int landing, int top, int bottom, Shaped shaped);

  // Tracks as near as a track may run to the boxes and tracks level with
  // rows y0..y1, the `count` nearest to x0 or x1, into `xs`.
  void NearTracks(int y0, int y1, int x0, int x1, std::size_t count, std::vector<int>& xs);

  // The rows a jump may leave its source from, the usual one first: a
  // decision's jump leaves from its point; another box's from its middle
  // or, when that row is closed, from another row of the box.
  std::vector<int> Exits(const Jump& j) const;

  // The way that stays open when the search finds none: the cheapest outer
  // route that meets nothing, into `best`, with its exit and landing rows
  // into `j`. False, `j` untouched, when every outer route meets something.
  bool OuterRoute(Jump& j, const std::vector<int>& landings, Choice& best);

  // When even the outer routes are closed, by jumps laid before: lays `v` on
  // the outer route or searched track that the fewest of them close (and no
  // box) and takes those off, into `cleared`, to be laid again. False when
  // a box, or only a jump that cleared its own way, closes every route.
  bool ClearWay(TLigneV& v, std::vector<int>& cleared, long& cost);

  // The lines whose pieces or tags route `c` meets; false when it meets a
  // box.
  bool Blockers(const Choice& c, std::vector<int>& lines) const;

  // The boxes, tags and pieces level with row y0 or row y1 (or with the
  // tags beside them).
  void GatherRows(int y0, int y1);

  // Moves the sheet and everything laid on it `dx` right and `dy` down.
  void Shift(int dx, int dy);

  // The boxes, tags and pieces level with rows top..bottom.
  void Gather(int top, int bottom);

  // Tracks beside the two boxes, beside every box and track level with the
  // jump, and on the tracks already going to the same target.
  std::vector<int> TrackCandidates(const Jump& j, const TRectangle& s, const TRectangle& t) const;

  // When no track level with the jump is free (boxes hung all along its
  // rows), the route leaves near its source, runs along a free row and
  // comes back near its target.
  void LayDetour(const Jump& j, const TRectangle& s, const TRectangle& t, Choice& best);

  // Faults and crossings of a candidate against what is laid already.
  // Stops counting once `bound` is reached.
  long Cost(const Choice& c, long bound = std::numeric_limits<long>::max()) const;

  // Piece `m` of the jump being laid against a piece `p` laid before.
  static long Against(const JumpSegment& m, const JumpSegment& p);

  Flowchart& sheet_;
  const int ouiWidth_, nonWidth_;  // the tags, measured once
  std::vector<TRect> ink_;
  std::vector<TRect> band_;
  std::vector<JumpSegment> near_;
  std::vector<TRect> nearTags_;
  std::vector<JumpSegment> placed_;
  std::vector<TRect> tags_;
  std::vector<int> tagLines_;               // the line of each tag
  std::vector<int> pinned_;                 // lines laid by clearing others off their way
  std::vector<int> tight_, firsts_, more_;  // tracks near the boxes, kept to spare allocations
  long detourBudget_ = kDetourBudget;
  bool large_ = false;  // closed jumps get a shorter search
};

}  // namespace hc11::tracks
