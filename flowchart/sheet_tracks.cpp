// Routing of the clear layout. A sheet whose straight routes already read
// well keeps them. Otherwise every jump leaves its box from the side, runs
// on a vertical track of its own and lands on its target's side with an
// arrowhead: tracks keep clear of boxes, texts, exit tags and the tracks of
// other targets; jumps to one target may share a track. Short jumps are laid
// first, nearest the boxes, so that longer ones wrap around them and lines
// seldom cross. This file holds the search for each jump's track, what a
// track costs is in sheet_track_cost.cpp; when the search finds none, the
// outer routes (sheet_outer_routes.cpp) stay open.
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "flowchart/sheet_track_router.h"

namespace hc11::tracks {
TRect Ink(const Flowchart& sheet, const TRectangle& b) {
  TRect r = b.Rect;
  if (b.LargLabel > 0) r.Bottom = std::max(r.Bottom, r.Top + 1 + sheet.LineH);
  const int x = r.Left + 1 + b.LargLabel + b.Triangle;
  for (const TLigne& line : b.Lignes)
    if (line.AddrText.empty() && !line.Text.empty())
      r.Right = std::max(r.Right, x + sheet.Metrics().TextWidth(line.Text));
  return r;
}

int ExitDY(const TRectangle& s) {
  return s.MidY() - s.Rect.Top;
}

int EntryDY(const Flowchart& sheet, const TRectangle& t) {
  if (t.Triangle != 0 || t.Lignes.empty() || t.Lignes.front().Text.empty()) return t.MidY() - t.Rect.Top;
  return std::min(4 + sheet.LineH / 2, t.Haut - 1);
}

void TrackRouter::Run() {
  std::vector<TLigneV*> jumps;
  for (int l = 1; l <= sheet_.Lines.Count(); ++l) {
    TLigneV* v = sheet_.Lines.LineV(l);
    if (v != nullptr && sheet_.Boxes.Valid(v->ObjetParent) && sheet_.Boxes.Valid(v->ObjetParentb))
      jumps.push_back(v);
  }
  std::stable_sort(jumps.begin(), jumps.end(),
                   [&](const TLigneV* a, const TLigneV* b) { return Span(*a) < Span(*b); });
  large_ = jumps.size() > kLargeSheet;
  LayWell(jumps);
  // Outer lanes left of or above the sheet's edge: the sheet moves right
  // or down to hold them (the routes follow their boxes).
  TRect least{kMinTrackX, kMinTrackX, 0, 0};
  for (const JumpSegment& p : placed_) {
    least.Left = std::min(least.Left, std::min(p.x0, p.x1));
    least.Top = std::min(least.Top, std::min(p.y0, p.y1));
  }
  for (const TRect& r : tags_) {
    least.Left = std::min(least.Left, r.Left);
    least.Top = std::min(least.Top, r.Top);
  }
  if (least.Left < kMinTrackX || least.Top < kMinTrackX)
    Shift(kMinTrackX - least.Left, kMinTrackX - least.Top);
  for (int l = 1; l <= sheet_.Lines.Count(); ++l)
    if (sheet_.Lines.LineV(l) == nullptr) sheet_.Lines[l].Place(sheet_);
}

// Lays every jump, shortest first; those left with a fault go first in a
// second pass when that leaves fewer faults.
void TrackRouter::LayWell(std::vector<TLigneV*>& jumps) {
  detourBudget_ = large_ ? kLargeDetourBudget : kDetourBudget;
  // Laid one by one, a jump may find its way closed by those laid before
  // it: those jumps then go first, while that leaves fewer faults; at last
  // the longest go first.
  std::vector<TLigneV*> faulty;
  Outcome best = LayAll(jumps, faulty);
  for (int pass = 0; pass <= kOrderPasses && best.faults > 0 && best.faults <= 20; ++pass) {
    const Snapshot kept = Take(jumps);
    std::vector<TLigneV*> order;
    if (pass < kOrderPasses) {
      order = faulty;
      for (TLigneV* v : jumps)
        if (std::find(faulty.begin(), faulty.end(), v) == faulty.end()) order.push_back(v);
    } else {
      order.assign(jumps.rbegin(), jumps.rend());
    }
    const Outcome again = LayAll(order, faulty);
    if (again.faults < best.faults || (again.faults == best.faults && again.cost < best.cost)) {
      best = again;
      jumps = order;
    } else {
      Restore(jumps, kept);
      if (pass < kOrderPasses) pass = kOrderPasses - 1;
    }
  }
}

// Lays the jumps in `order`. A jump that finds every way closed takes
// the outer way that fewest jumps laid before it close, those jumps are
// taken off and laid again after it (each jump clears others off its way
// once at most, so this ends).
TrackRouter::Outcome TrackRouter::LayAll(const std::vector<TLigneV*>& order, std::vector<TLigneV*>& faulty) {
  placed_.clear();
  tags_.clear();
  tagLines_.clear();
  pinned_.clear();
  faulty.clear();
  std::vector<TLigneV*> work(order.rbegin(), order.rend());
  std::vector<long> cost(static_cast<std::size_t>(sheet_.Lines.Count()) + 1, 0);
  while (!work.empty()) {
    TLigneV* v = work.back();
    work.pop_back();
    long c = Lay(*v);
    if (c >= kFault) {
      std::vector<int> cleared;
      if (ClearWay(*v, cleared, c))
        for (int line : cleared) work.push_back(sheet_.Lines.LineV(line));
    }
    cost[static_cast<std::size_t>(v->ObjetSelf)] = c;
  }
  Outcome o;
  for (TLigneV* v : order) {
    const long c = cost[static_cast<std::size_t>(v->ObjetSelf)];
    o.cost += c;
    if (c < kFault) continue;
    o.faults += c / kFault;
    faulty.push_back(v);
  }
  return o;
}

TrackRouter::Snapshot TrackRouter::Take(const std::vector<TLigneV*>& jumps) const {
  Snapshot s{{}, placed_, tags_, tagLines_, sheet_.PicW, sheet_.PicH};
  for (const TLigneV* v : jumps) s.lines.push_back(*v);
  return s;
}

void TrackRouter::Restore(const std::vector<TLigneV*>& jumps, const Snapshot& s) {
  for (std::size_t k = 0; k < jumps.size(); ++k) *jumps[k] = s.lines[k];
  placed_ = s.placed;
  tags_ = s.tags;
  tagLines_ = s.tagLines;
  sheet_.PicW = s.picW;
  sheet_.PicH = s.picH;
}

int TrackRouter::Span(const TLigneV& v) const {
  const TRectangle& s = sheet_.Boxes[v.ObjetParent];
  const TRectangle& t = sheet_.Boxes[v.ObjetParentb];
  return std::abs((t.Rect.Top + EntryDY(sheet_, t)) - (s.Rect.Top + ExitDY(s)));
}

// The pieces, tag and cost of a route through x (and, for a detour, along
// row yc to x2); false when the route would cross its own boxes.
bool TrackRouter::Shape(const Jump& j, Choice& c) const {
  const TRectangle& s = sheet_.Boxes[j.si];
  const TRectangle& t = sheet_.Boxes[j.ti];
  const int xe = c.detour ? c.x2 : c.x;
  if (!c.outer && (c.x < kMinTrackX || xe < kMinTrackX)) return false;
  const int tagRoom = c.tight ? 0 : j.tagRoom;
  if (c.x >= s.Rect.Right + tagRoom)
    c.exitLeft = false;
  else if (c.x < s.Rect.Left - tagRoom)
    c.exitLeft = true;
  else
    return false;
  if (xe > t.Rect.Right + 1)
    c.entryLeft = false;
  else if (xe < t.Rect.Left - 2)
    c.entryLeft = true;
  else
    return false;
  const int ex = c.exitLeft ? j.exitLeft : j.exitRight;
  const int en = c.entryLeft ? j.entryLeft : j.entryRight;
  c.segs = 0;
  auto add = [&](int ax, int ay, int bx, int by) {
    if (ax == bx && ay == by) return;
    c.seg[c.segs++] = {ax, ay, bx, by, j.line, j.si, j.ti};
  };
  add(ex, j.y0, c.x, j.y0);
  if (c.detour) {
    add(c.x, j.y0, c.x, c.yc);
    add(c.x, c.yc, c.x2, c.yc);
    add(c.x2, c.yc, c.x2, j.y1);
  } else {
    add(c.x, j.y0, c.x, j.y1);
  }
  add(xe, j.y1, en, j.y1);
  c.hasTag = j.tagged;
  if (j.tagged)
    c.tag = ExitTagRect(sheet_, s, j.tagWidth, c.exitLeft, j.y0, (c.detour ? c.yc : j.y1) >= j.y0);
  long length = 0;
  for (int k = 0; k < c.segs; ++k)
    length += std::abs(c.seg[k].x1 - c.seg[k].x0) + std::abs(c.seg[k].y1 - c.seg[k].y0);
  c.cost = length - std::abs(j.y1 - j.y0);
  // A labelled source would have its line leave across its label.
  if (c.exitLeft) c.cost += s.LargLabel > 0 ? 400 : 20;
  if (c.detour) c.cost += 50;
  return true;
}

TrackRouter::Jump TrackRouter::MakeJump(const TLigneV& v) const {
  Jump j;
  j.line = v.ObjetSelf;
  j.si = v.ObjetParent;
  j.ti = v.ObjetParentb;
  const TRectangle& s = sheet_.Boxes[j.si];
  const TRectangle& t = sheet_.Boxes[j.ti];
  j.y0 = s.Rect.Top + ExitDY(s);
  j.y1 = t.Rect.Top + EntryDY(sheet_, t);
  j.tagged = s.Triangle != 0 && s.ObjetLineV == v.ObjetSelf;
  j.tagText = s.PointD != 0 ? "non" : "oui";
  j.tagWidth = j.tagText == "non" ? nonWidth_ : ouiWidth_;
  j.tagRoom = j.tagged ? j.tagWidth + 4 : 0;
  j.exitRight = s.Rect.Right;
  j.exitLeft = s.Rect.Left - 1;
  j.entryRight = t.Rect.Right;
  j.entryLeft = t.Rect.Left - 1;
  return j;
}

// The first text line is where a jump lands; the target's lower lines
// when that is closed.
std::vector<int> TrackRouter::Landings(const TRectangle& t) const {
  std::vector<int> landings = {t.Rect.Top + EntryDY(sheet_, t)};
  if (t.Triangle != 0) {
    // Beside a decision's upper or lower corner, off its own exit.
    landings.push_back(t.Rect.Top + 4);
    landings.push_back(t.Rect.Bottom - 5 - t.PointB);
  } else if (landings[0] == t.Rect.Top + 4 + sheet_.LineH / 2) {
    for (int k = 1; k < std::min<int>(4, static_cast<int>(t.Lignes.size())); ++k)
      landings.push_back(landings[0] + k * (sheet_.LineH + 3));
  } else {
    // An empty jump box, a few pixels high: its other rows.
    for (int k = 1; k < 6; ++k)
      if (const int y = t.Rect.Top + k * t.Haut / 6;
          y > t.Rect.Top && y < t.Rect.Bottom - 1 && y != landings[0])
        landings.push_back(y);
  }
  return landings;
}

// Lays line `v` on the cheapest track; returns what it cost.
long TrackRouter::Lay(TLigneV& v) {
  Jump j = MakeJump(v);
  const TRectangle& s = sheet_.Boxes[j.si];
  const TRectangle& t = sheet_.Boxes[j.ti];
  const std::vector<int> landings = Landings(t);
  Choice best;
  int bestY1 = j.y1;
  for (std::size_t k = 0; k < landings.size() && best.cost >= kFault; ++k) {
    j.y1 = landings[k];
    Choice c = Search(j, s, t);
    c.cost += 30L * k;
    if (c.cost < best.cost) {
      best = c;
      bestY1 = j.y1;
    }
  }
  j.y1 = bestY1;
  if (best.cost >= kFault) {
    if (Choice outer; OuterRoute(j, landings, outer)) best = outer;
  }
  if (best.segs == 0) {
    // Nothing fits at all: far right of everything level with the jump.
    best.x = std::max(s.Rect.Right + j.tagRoom, t.Rect.Right) + kTrackGap;
    for (const TRect& r : band_) best.x = std::max(best.x, r.Right + kTrackGap);
    best.detour = false;
    Shape(j, best);
    best.cost = Cost(best) + kFault;
  }
  Commit(v, j, best);
  return best.cost;
}

// Sets line `v` on route `c` (landing at j.y1) and keeps its pieces and tag.
void TrackRouter::Commit(TLigneV& v, const Jump& j, const Choice& c) {
  const TRectangle& s = sheet_.Boxes[j.si];
  const TRectangle& t = sheet_.Boxes[j.ti];
  v.Piste = true;
  v.OfsX = c.x - s.Rect.Left;
  v.OfsY = 0;
  v.SortieGauche = c.exitLeft;
  v.EntreeGauche = c.entryLeft;
  v.SortieDY = j.y0 - s.Rect.Top;
  v.EntreeDY = j.y1 - t.Rect.Top;
  v.Detour = c.detour;
  v.CanalDY = c.yc - s.Rect.Top;
  v.DetourDX = c.x2 - s.Rect.Left;
  v.Place(sheet_);
  for (int k = 0; k < c.segs; ++k) {
    placed_.push_back(c.seg[k]);
    const TRect cells = c.seg[k].Cells();
    sheet_.PicW = std::max(sheet_.PicW, cells.Right + 8);
    sheet_.PicH = std::max(sheet_.PicH, cells.Bottom + 8);
  }
  if (c.hasTag) {
    tags_.push_back(c.tag);
    tagLines_.push_back(j.line);
    sheet_.PicW = std::max(sheet_.PicW, c.tag.Right + 4);
  }
}

// Takes line `line`'s pieces and tag off the sheet.
void TrackRouter::Unlay(int line) {
  placed_.erase(
      std::remove_if(placed_.begin(), placed_.end(), [&](const JumpSegment& p) { return p.line == line; }),
      placed_.end());
  for (std::size_t k = tags_.size(); k-- > 0;)
    if (tagLines_[k] == line) {
      tags_.erase(tags_.begin() + static_cast<long>(k));
      tagLines_.erase(tagLines_.begin() + static_cast<long>(k));
    }
}

// The cheapest route landing at height j.y1.
TrackRouter::Choice TrackRouter::Search(const Jump& j, const TRectangle& s, const TRectangle& t) {
  const int margin = std::max(kBoxMargin, TagHeight(sheet_) + 3);
  Gather(std::min(j.y0, j.y1) - margin, std::max(j.y0, j.y1) + margin);
  std::vector<int> xs = TrackCandidates(j, s, t);
  // Least horizontal length a track at x needs.
  auto reach = [&](int x) {
    const int ex = x >= j.exitRight ? j.exitRight : j.exitLeft;
    const int en = x >= j.entryRight ? j.entryRight : j.entryLeft;
    return static_cast<long>(std::abs(x - ex) + std::abs(x - en));
  };
  std::stable_sort(xs.begin(), xs.end(), [&](int a, int b) { return reach(a) < reach(b); });
  Choice best;
  // The nearest tracks only: far ones cost more line than they save.
  int tries = 0;
  for (int x : xs) {
    if (reach(x) >= best.cost || (tries >= kTries && best.cost < kFault) || (large_ && tries >= kMostTries))
      break;
    Choice c;
    c.x = x;
    if (!Shape(j, c) || c.cost >= best.cost) continue;
    ++tries;
    c.cost += Cost(c, best.cost - c.cost);
    if (c.cost < best.cost) best = c;
  }
  if (best.cost >= kFault) LayDetour(j, s, t, best);
  return best;
}

// Tracks beside the two boxes, beside every box and track level with the
// jump, and on the tracks already going to the same target.
std::vector<int> TrackRouter::TrackCandidates(const Jump& j, const TRectangle& s, const TRectangle& t) const {
  std::vector<int> xs;
  xs.push_back(std::max(s.Rect.Right + j.tagRoom, t.Rect.Right) + kTrackGap);
  xs.push_back(std::min(s.Rect.Left - j.tagRoom, t.Rect.Left) - kTrackGap);
  xs.push_back(s.Rect.Right + j.tagRoom + kTrackGap);
  xs.push_back(s.Rect.Left - j.tagRoom - kTrackGap);
  xs.push_back(t.Rect.Right + kTrackGap);
  xs.push_back(t.Rect.Left - kTrackGap);
  for (const TRect& r : band_) {
    xs.push_back(r.Right + kTrackGap);
    xs.push_back(r.Left - kTrackGap);
  }
  for (const JumpSegment& p : near_) {
    if (!p.Vertical()) continue;
    xs.push_back(p.x0 + kTrackGap);
    xs.push_back(p.x0 - kTrackGap);
    if (p.target == j.ti) xs.push_back(p.x0);
  }
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  return xs;
}

// When no track level with the jump is free (boxes hung all along its
// rows), the route leaves near its source, runs along a free row and
// comes back near its target.
void TrackRouter::LayDetour(const Jump& j, const TRectangle& s, const TRectangle& t, Choice& best) {
  if (detourBudget_ <= 0) return;
  constexpr std::size_t kEach = 16, kRows = 24;
  auto nearest = [](std::vector<int> xs, int left, int right) {
    auto d = [&](int x) { return std::min(std::abs(x - left), std::abs(x - right)); };
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::stable_sort(xs.begin(), xs.end(), [&](int a, int b) { return d(a) < d(b); });
    if (xs.size() > kEach) xs.resize(kEach);
    return xs;
  };
  Gather(std::numeric_limits<int>::min() / 2, std::numeric_limits<int>::max() / 2);
  std::vector<int> firsts, seconds, rows;
  for (const TRect& r : ink_) {
    if (r.Top < s.Rect.Bottom + 40 && s.Rect.Top - 40 < r.Bottom) {
      firsts.push_back(r.Right + kTrackGap);
      firsts.push_back(r.Left - kTrackGap);
    }
    if (r.Top < t.Rect.Bottom + 40 && t.Rect.Top - 40 < r.Bottom) {
      seconds.push_back(r.Right + kTrackGap);
      seconds.push_back(r.Left - kTrackGap);
    }
    rows.push_back(r.Top - kTrackGap);
    rows.push_back(r.Bottom + kTrackGap);
  }
  firsts.push_back(s.Rect.Right + j.tagRoom + kTrackGap);
  seconds.push_back(t.Rect.Left - kTrackGap);
  seconds.push_back(t.Rect.Right + kTrackGap);
  firsts.push_back(s.Rect.Left - j.tagRoom - kTrackGap);
  firsts = nearest(firsts, j.exitLeft, j.exitRight);
  seconds = nearest(seconds, j.entryLeft, j.entryRight);
  // Rows that boxes block between the two boxes are no use.
  const int from = std::min(j.exitRight, j.entryLeft), to = std::max(j.exitRight, j.entryLeft);
  std::vector<TRect> between;
  for (const TRect& r : ink_)
    if (r.Left < to && from < r.Right) between.push_back(r);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.erase(std::remove_if(rows.begin(), rows.end(),
                            [&](int y) {
                              if (y < kMinTrackX) return true;
                              const TRect row{from, y - kBoxMargin, to, y + kBoxMargin};
                              return std::any_of(between.begin(), between.end(),
                                                 [&](const TRect& r) { return r.Intersects(row); });
                            }),
             rows.end());
  std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
    return std::abs(a - j.y0) + std::abs(a - j.y1) < std::abs(b - j.y0) + std::abs(b - j.y1);
  });
  if (rows.size() > kRows) rows.resize(kRows);
  for (int x : firsts)
    for (int x2 : seconds)
      for (int yc : rows) {
        if (--detourBudget_ < 0) return;
        Choice c;
        c.detour = true;
        c.x = x;
        c.x2 = x2;
        c.yc = yc;
        if (!Shape(j, c) || c.cost >= best.cost) continue;
        c.cost += Cost(c, best.cost - c.cost);
        if (c.cost < best.cost) best = c;
      }
}

}  // namespace hc11::tracks
