// What a candidate route of a jump costs against what the router laid
// already: a fault for each piece through a box, a text or a tag, or beside
// the track of another target, and a crossing for each track it crosses.
#include <algorithm>
#include <cstdlib>

#include "flowchart/sheet_track_router.h"

namespace hc11::tracks {
namespace {

bool Between(int v, int a, int b) {
  return v >= std::min(a, b) && v <= std::max(a, b);
}

bool StrictlyBetween(int v, int a, int b) {
  return v > std::min(a, b) && v < std::max(a, b);
}

}  // namespace

// The boxes, tags and pieces level with rows top..bottom.
void TrackRouter::Gather(int top, int bottom) {
  band_.clear();
  for (const TRect& r : ink_)
    if (r.Top < bottom && top < r.Bottom) band_.push_back(r);
  nearTags_.clear();
  for (const TRect& r : tags_)
    if (r.Top < bottom && top < r.Bottom) nearTags_.push_back(r);
  near_.clear();
  for (const JumpSegment& p : placed_) {
    const TRect c = p.Cells();
    if (c.Top <= bottom && top <= c.Bottom) near_.push_back(p);
  }
}

// Faults and crossings of a candidate against what is laid already.
// Stops counting once `bound` is reached.
long TrackRouter::Cost(const Choice& c, long bound) const {
  long cost = 0;
  auto meets = [](const TRect& a, const TRect& b) { return a.Intersects(b); };
  for (int k = 0; k < c.segs; ++k) {
    const JumpSegment& m = c.seg[k];
    TRect cells = m.Cells();
    if (m.Vertical()) {
      cells.Left -= kBoxMargin - 1;
      cells.Right += kBoxMargin - 1;
    } else if (c.detour && k > 0 && k + 1 < c.segs) {
      cells.Top -= kBoxMargin - 1;
      cells.Bottom += kBoxMargin - 1;
    }
    for (const TRect& r : band_)
      if (meets(cells, r)) cost += kFault;
    for (const TRect& tag : nearTags_)
      if (meets(m.Cells(), tag)) cost += kFault;
    for (const JumpSegment& p : near_) cost += Against(m, p);
    if (cost >= bound) return cost;
  }
  if (c.hasTag) {
    // A detour may come back past its own tag.
    for (int k = 1; k < c.segs; ++k)
      if (meets(c.tag, c.seg[k].Cells())) cost += kFault;
    for (const TRect& r : band_)
      if (meets(c.tag, r)) cost += kFault;
    for (const TRect& tag : nearTags_)
      if (meets(c.tag, tag)) cost += kFault;
    for (const JumpSegment& p : near_)
      if (meets(c.tag, p.Cells())) cost += kFault;
  }
  return cost;
}

// Piece `m` of the jump being laid against a piece `p` laid before.
long TrackRouter::Against(const JumpSegment& m, const JumpSegment& p) {
  const bool same = m.target == p.target;
  if (m.Vertical() == p.Vertical()) {
    if (std::abs(m.Vertical() ? m.x0 - p.x0 : m.y0 - p.y0) >= (m.Vertical() ? kTrackGap : kStubGap)) return 0;
    const TRect a = m.Cells(), b = p.Cells();
    if (m.Vertical()) {
      const int overlap = std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top);
      const int dx = std::abs(m.x0 - p.x0);
      if (overlap > 0 && dx < kTrackGap && !(same && dx == 0)) return kFault;
      // Collinear pieces of two targets must not even meet end to end.
      if (!same && dx == 0 && overlap >= 0) return kFault;
    } else {
      const int overlap = std::min(a.Right, b.Right) - std::max(a.Left, b.Left);
      const int dy = std::abs(m.y0 - p.y0);
      if (overlap > 0 && dy < kStubGap && !(same && dy == 0)) return kFault;
      if (!same && dy == 0 && overlap >= 0) return kFault;
    }
    return 0;
  }
  const JumpSegment& v = m.Vertical() ? m : p;
  const JumpSegment& h = m.Vertical() ? p : m;
  if (!Between(v.x0, h.x0, h.x1) || !Between(h.y0, v.y0, v.y1)) return 0;
  const bool inside = StrictlyBetween(v.x0, h.x0, h.x1) && StrictlyBetween(h.y0, v.y0, v.y1);
  if (inside) return kCrossCost;
  // Touching end to end or end on side: reads as a join, right only when
  // both go to one target.
  return same ? 0 : kFault;
}

}  // namespace hc11::tracks
