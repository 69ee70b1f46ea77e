// The routes that stay open when the search for a track finds none: out
// along the source's row to a lane beyond everything level with the route,
// round above or below the sheet when the target is met from the other
// side, in along the landing's row. Only the two rows by the boxes can meet
// anything, and a jump laid earlier that closes them is taken off and laid
// again, so that no jump is left crossing a box, a text or another track.
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <vector>

#include "flowchart/sheet_track_router.h"

namespace hc11::tracks {

void ShiftSheet(Flowchart& sheet, int dx, int dy) {
  const int n = sheet.Boxes.Count();
  std::vector<int> depth(n + 1, -1);
  for (int i = 1; i <= n; ++i) {
    int d = 0;
    for (int x = i;
         sheet.Boxes.Valid(sheet.Boxes[x].ObjetParent) && sheet.Boxes[x].ObjetParent != x && d <= n;
         x = sheet.Boxes[x].ObjetParent)
      ++d;
    depth[i] = d;
  }
  std::vector<int> order;
  for (int i = 1; i <= n; ++i) {
    TRectangle& b = sheet.Boxes[i];
    if (depth[i] == 0 || depth[i] > n) {
      // A box in a cycle of parents has no place to follow: it just moves.
      b.Rect.Left += dx;
      b.Rect.Right += dx;
      b.Rect.Top += dy;
      b.Rect.Bottom += dy;
      if (depth[i] == 0) {
        b.DecalX += dx;
        b.DecalY += dy;
      }
    } else {
      order.push_back(i);
    }
  }
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return depth[a] < depth[b]; });
  for (int i : order) sheet.Boxes[i].Place(sheet);
  sheet.PicW += dx;
  sheet.PicH += dy;
}

// Lanes beyond everything laid so far: left and right of the sheet, rows
// above and below it.
// The lane kTrackGap beyond `x` and beyond everything laid level with
// rows top..bottom, on the left or on the right.
int TrackRouter::Lane(bool left, int top, int bottom, int x) const {
  top -= kTrackGap;
  bottom += kTrackGap;
  auto take = [&](const TRect& r) {
    if (r.Top <= bottom && top <= r.Bottom) x = left ? std::min(x, r.Left) : std::max(x, r.Right);
  };
  for (const TRect& r : ink_) take(r);
  for (const TRect& r : tags_) take(r);
  for (const JumpSegment& p : placed_) take(p.Cells());
  return left ? x - kTrackGap : x + kTrackGap;
}

// Tracks as near as a track may run to the boxes and tracks level with
// rows y0..y1, the `count` nearest to x0 or x1, into `xs`.
void TrackRouter::NearTracks(int y0, int y1, int x0, int x1, std::size_t count, std::vector<int>& xs) {
  Gather(std::min(y0, y1) - kTrackGap, std::max(y0, y1) + kTrackGap);
  xs = {x0, x1};
  for (const TRect& r : band_) {
    xs.push_back(r.Right + kBoxMargin - 1);
    xs.push_back(r.Left - kBoxMargin);
  }
  for (const JumpSegment& p : near_)
    if (p.Vertical()) {
      xs.push_back(p.x0 - kTrackGap);
      xs.push_back(p.x0 + kTrackGap);
    }
  auto from = [&](int x) { return std::min(std::abs(x - x0), std::abs(x - x1)); };
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  std::stable_sort(xs.begin(), xs.end(), [&](int a, int b) { return from(a) < from(b); });
  xs.resize(std::min(xs.size(), count));
}

// A target in a pocket that only opens above or below: round above or
// below the sheet, from a lane beside the source or a track near it, then
// along a track beside the target as near its boxes and tracks as a track
// may run, or a track of another jump to it.
template <typename Shaped>
void TrackRouter::Pockets(const Jump& j, int landing, int top, int bottom, Shaped shaped) {
  const TRectangle& s = sheet_.Boxes[j.si];
  const TRectangle& t = sheet_.Boxes[j.ti];
  const int exitX[2] = {s.Rect.Right + j.tagRoom, s.Rect.Left - j.tagRoom};
  for (const int row : {bottom, top}) {
    // Near what lies level with the exit and with the landing, and near what
    // the two tracks pass on their way to the row.
    auto near = [&](int y, int x0, int x1, std::size_t count, std::vector<int>& xs) {
      NearTracks(y, y, x0, x1, count, xs);
      NearTracks(y, row, x0, x1, count, more_);
      for (const int x : more_)
        if (std::find(xs.begin(), xs.end(), x) == xs.end()) xs.push_back(x);
    };
    near(j.y0, s.Rect.Right + kBoxMargin - 1, s.Rect.Left - kBoxMargin, kPocketExits, firsts_);
    near(landing, t.Rect.Right + 2, t.Rect.Left - 3, kPocketTracks, tight_);
    for (const JumpSegment& p : placed_)
      if (p.Vertical() && p.target == j.ti) tight_.push_back(p.x0);
    Gather(std::numeric_limits<int>::min() / 2, std::numeric_limits<int>::max() / 2);
    for (const bool left : {false, true}) {
      const int lane = Lane(left, std::min(j.y0, row), std::max(j.y0, row), exitX[left]);
      for (std::size_t k = 0; k <= firsts_.size(); ++k) {
        const int x = k == 0 ? lane : firsts_[k - 1];
        if (k > 0 && (x < s.Rect.Left) != left) continue;
        for (const int x2 : tight_) {
          Choice d;
          d.detour = true;
          d.tight = true;
          d.yc = row;
          d.x = x;
          d.x2 = x2;
          shaped(d);
        }
      }
    }
  }
}

// The outer routes of a jump: out from the source's side along its own
// row to a lane beyond everything level with the route's rows, and in
// along the landing's row, the two lanes joined by a row below (or above)
// everything when the target is met from the other side. Only the two
// rows by the boxes can meet anything. Calls `use` with each.
template <typename Use>
void TrackRouter::OuterRoutes(Jump& j, const std::vector<int>& landings, bool pockets, Use use) {
  if (pockets && large_) return;
  const TRectangle& s = sheet_.Boxes[j.si];
  const TRectangle& t = sheet_.Boxes[j.ti];
  int top = s.Rect.Top, bottom = s.Rect.Bottom;
  auto take = [&](const TRect& r) {
    top = std::min(top, r.Top);
    bottom = std::max(bottom, r.Bottom);
  };
  for (const TRect& r : ink_) take(r);
  for (const TRect& r : tags_) take(r);
  for (const JumpSegment& p : placed_) take(p.Cells());
  top -= kTrackGap;
  bottom += kTrackGap;
  const int exitX[2] = {s.Rect.Right + j.tagRoom, s.Rect.Left - j.tagRoom};
  const int entryX[2] = {t.Rect.Right + 1, t.Rect.Left - 2};
  const std::vector<int> exits = Exits(j);
  const int y0 = j.y0, y1 = j.y1;
  for (std::size_t e = 0; e < exits.size(); ++e)
    for (int landing : landings) {
      j.y0 = exits[e];
      j.y1 = landing;
      GatherRows(j.y0, landing);
      auto shaped = [&](Choice& c) {
        c.outer = true;
        if (!Shape(j, c)) return;
        c.cost += 30L * static_cast<long>(e);
        use(c);
      };
      if (pockets) {
        Pockets(j, landing, top, bottom, shaped);
        continue;
      }
      for (const bool left : {false, true}) {
        Choice c;
        c.x = Lane(left, std::min(j.y0, landing), std::max(j.y0, landing),
                   left ? std::min(exitX[1], entryX[1]) : std::max(exitX[0], entryX[0]));
        shaped(c);
        for (const int row : {bottom, top}) {
          Choice d;
          d.detour = true;
          d.yc = row;
          d.x = Lane(left, std::min(j.y0, row), std::max(j.y0, row), exitX[left]);
          d.x2 = Lane(!left, std::min(landing, row), std::max(landing, row), entryX[!left]);
          shaped(d);
        }
      }
      // Boxes side by side, too close for the search's tracks: a track in
      // the gap between them, which may meet anything level with it.
      const bool level = t.Rect.Top < s.Rect.Bottom && s.Rect.Top < t.Rect.Bottom;
      if (level && (t.Rect.Right < s.Rect.Left || s.Rect.Right < t.Rect.Left)) {
        const int margin = std::max(kBoxMargin, TagHeight(sheet_) + 3);
        Gather(std::min(j.y0, landing) - margin, std::max(j.y0, landing) + margin);
        const int gapLeft = std::min(exitX[0], entryX[0]), gapRight = std::max(exitX[1], entryX[1]);
        for (const int x : {gapLeft + 1, (gapLeft + gapRight) / 2, gapRight - 1}) {
          Choice c;
          c.x = x;
          shaped(c);
        }
      }
      // Gaps too narrow for the search's tracks, which keep kTrackGap from
      // the boxes and leave room for a tag beside the source: tracks as near
      // the boxes level with the route as a track may run, the tag then
      // lying on the far side of the exit from the track.
      const int margin = std::max(kBoxMargin, TagHeight(sheet_) + 3);
      Gather(std::min(j.y0, landing) - margin, std::max(j.y0, landing) + margin);
      tight_ = {exitX[0],
                exitX[1] - 1,
                entryX[0] + 1,
                entryX[1] - 1,
                s.Rect.Right + kBoxMargin - 1,
                s.Rect.Left - kBoxMargin};
      for (const TRect& r : band_) {
        tight_.push_back(r.Right + kBoxMargin - 1);
        tight_.push_back(r.Left - kBoxMargin);
      }
      std::sort(tight_.begin(), tight_.end());
      tight_.erase(std::unique(tight_.begin(), tight_.end()), tight_.end());
      for (const int x : tight_) {
        Choice c;
        c.x = x;
        c.tight = true;
        shaped(c);
      }
    }
  j.y0 = y0;
  j.y1 = y1;
}

// The way that stays open when the search finds none: the cheapest outer
// route that meets nothing. Returns its landing height; `best` keeps a
// fault's cost when every outer route meets something.
std::vector<int> TrackRouter::Exits(const Jump& j) const {
  const TRectangle& s = sheet_.Boxes[j.si];
  std::vector<int> exits = {j.y0};
  if (s.Triangle == 0)
    for (int k = 1; k < 6; ++k)
      if (const int y = s.Rect.Top + k * s.Haut / 6; y > s.Rect.Top && y < s.Rect.Bottom - 1 && y != j.y0)
        exits.push_back(y);
  return exits;
}

bool TrackRouter::OuterRoute(Jump& j, const std::vector<int>& landings, Choice& best) {
  int bestY0 = j.y0, bestY1 = j.y1;
  auto take = [&](Choice& c) {
    c.cost += Cost(c, best.cost - c.cost);
    if (c.cost < best.cost) {
      best = c;
      bestY0 = j.y0;
      bestY1 = j.y1;
    }
  };
  OuterRoutes(j, landings, false, take);
  if (best.cost >= kFault) OuterRoutes(j, landings, true, take);
  if (best.cost >= kFault) return false;
  j.y0 = bestY0;
  j.y1 = bestY1;
  return true;
}

bool TrackRouter::ClearWay(TLigneV& v, std::vector<int>& cleared, long& cost) {
  if (std::find(pinned_.begin(), pinned_.end(), v.ObjetSelf) != pinned_.end()) return false;
  Jump j = MakeJump(v);
  const std::vector<int> landings = Landings(sheet_.Boxes[j.ti]);
  Unlay(j.line);
  // Every route that only jumps close, with those jumps.
  struct Way {
    Choice c;
    int y0 = 0, y1 = 0;
    std::vector<int> blockers;
  };
  std::vector<Way> ways;
  std::vector<int> blockers;
  auto consider = [&](Choice& c) {
    blockers.clear();
    if (!Blockers(c, blockers)) return;
    for (int b : blockers)
      if (std::find(pinned_.begin(), pinned_.end(), b) != pinned_.end()) return;
    ways.push_back({c, j.y0, j.y1, blockers});
  };
  OuterRoutes(j, landings, false, consider);
  OuterRoutes(j, landings, true, consider);
  // The tracks the search tried, which other jumps may have closed.
  const TRectangle& s = sheet_.Boxes[j.si];
  const TRectangle& t = sheet_.Boxes[j.ti];
  const int margin = std::max(kBoxMargin, TagHeight(sheet_) + 3);
  const int y0 = j.y0, y1 = j.y1;
  for (int exit : Exits(j))
    for (int landing : landings) {
      j.y0 = exit;
      j.y1 = landing;
      Gather(std::min(j.y0, landing) - margin, std::max(j.y0, landing) + margin);
      for (int x : TrackCandidates(j, s, t)) {
        Choice c;
        c.x = x;
        if (!Shape(j, c)) continue;
        c.cost += exit == y0 ? 0 : 30;
        consider(c);
      }
    }
  j.y0 = y0;
  j.y1 = y1;
  if (ways.empty()) {
    cleared.clear();
    cost = Lay(v);
    return false;
  }
  std::stable_sort(ways.begin(), ways.end(), [](const Way& a, const Way& b) {
    return a.blockers.size() != b.blockers.size() ? a.blockers.size() < b.blockers.size()
                                                  : a.c.cost < b.c.cost;
  });
  // The first way whose jumps find clean routes again, tried in the order
  // they will be laid; the fewest jumps when none does. Past the first few,
  // only tracks not tried yet: the nearest tracks, each at every landing,
  // may all close the way the displaced jumps need.
  constexpr std::size_t kWaysTried = 6, kOtherTracks = 10;
  std::size_t chosen = 0, others = 0;
  std::vector<const Choice*> tried;
  pinned_.push_back(j.line);
  for (std::size_t w = 0; w < ways.size(); ++w) {
    const Way& way = ways[w];
    if (w >= kWaysTried) {
      const bool known = std::any_of(tried.begin(), tried.end(), [&](const Choice* c) {
        return c->detour == way.c.detour && c->x == way.c.x && c->x2 == way.c.x2 && c->yc == way.c.yc;
      });
      if (known) continue;
      if (++others > kOtherTracks) break;
    }
    tried.push_back(&way.c);
    std::vector<TLigneV*> moved = {&v};
    for (int line : way.blockers) moved.push_back(sheet_.Lines.LineV(line));
    const Snapshot kept = Take(moved);
    for (int line : way.blockers) Unlay(line);
    j.y0 = way.y0;
    j.y1 = way.y1;
    Commit(v, j, way.c);
    bool clean = true;
    for (std::size_t k = way.blockers.size(); k-- > 0 && clean;)
      clean = Lay(*sheet_.Lines.LineV(way.blockers[k])) < kFault;
    Restore(moved, kept);
    if (clean) {
      chosen = w;
      break;
    }
  }
  const Way& way = ways[chosen];
  cleared = way.blockers;
  for (int line : cleared) Unlay(line);
  j.y0 = way.y0;
  j.y1 = way.y1;
  Choice best = way.c;
  Gather(std::numeric_limits<int>::min() / 2, std::numeric_limits<int>::max() / 2);
  best.cost += Cost(best);
  Commit(v, j, best);
  cost = best.cost;
  return true;
}

// The lines whose pieces or tags route `c` meets; false when it meets a
// box.
bool TrackRouter::Blockers(const Choice& c, std::vector<int>& lines) const {
  auto add = [&](int line) {
    if (std::find(lines.begin(), lines.end(), line) == lines.end()) lines.push_back(line);
  };
  for (int k = 0; k < c.segs; ++k) {
    const JumpSegment& m = c.seg[k];
    // Kept off the boxes as the search keeps its tracks.
    TRect clear = m.Cells();
    if (m.Vertical()) {
      clear.Left -= kBoxMargin - 1;
      clear.Right += kBoxMargin - 1;
    } else if (c.detour && k > 0 && k + 1 < c.segs) {
      clear.Top -= kBoxMargin - 1;
      clear.Bottom += kBoxMargin - 1;
    }
    for (const TRect& r : band_)
      if (clear.Intersects(r)) return false;
    const TRect cells = m.Cells();
    for (std::size_t t = 0; t < tags_.size(); ++t)
      if (cells.Intersects(tags_[t])) add(tagLines_[t]);
    for (const JumpSegment& p : near_)
      if (Against(m, p) >= kFault) add(p.line);
  }
  if (c.hasTag) {
    for (int k = 1; k < c.segs; ++k)
      if (c.tag.Intersects(c.seg[k].Cells())) return false;
    for (const TRect& r : band_)
      if (c.tag.Intersects(r)) return false;
    for (std::size_t t = 0; t < tags_.size(); ++t)
      if (c.tag.Intersects(tags_[t])) add(tagLines_[t]);
    for (const JumpSegment& p : near_)
      if (c.tag.Intersects(p.Cells())) add(p.line);
  }
  return true;
}

// The boxes, tags and pieces level with row y0 or row y1 (or with the
// tags beside them).
void TrackRouter::GatherRows(int y0, int y1) {
  const int margin = std::max(kBoxMargin, TagHeight(sheet_) + 3);
  auto level = [&](const TRect& r) {
    return (r.Top <= y0 + margin && y0 - margin <= r.Bottom) ||
           (r.Top <= y1 + margin && y1 - margin <= r.Bottom);
  };
  band_.clear();
  for (const TRect& r : ink_)
    if (level(r)) band_.push_back(r);
  nearTags_.clear();
  for (const TRect& r : tags_)
    if (level(r)) nearTags_.push_back(r);
  near_.clear();
  for (const JumpSegment& p : placed_)
    if (level(p.Cells())) near_.push_back(p);
}

// Moves the sheet and everything laid on it `dx` right and `dy` down.
void TrackRouter::Shift(int dx, int dy) {
  ShiftSheet(sheet_, dx, dy);
  auto move = [&](TRect& r) {
    r.Left += dx, r.Right += dx;
    r.Top += dy, r.Bottom += dy;
  };
  for (TRect& r : ink_) move(r);
  for (TRect& r : tags_) move(r);
  for (JumpSegment& p : placed_) p.x0 += dx, p.x1 += dx, p.y0 += dy, p.y1 += dy;
  for (int l = 1; l <= sheet_.Lines.Count(); ++l)
    if (TLigneV* v = sheet_.Lines.LineV(l)) v->Place(sheet_);
}

}  // namespace hc11::tracks
