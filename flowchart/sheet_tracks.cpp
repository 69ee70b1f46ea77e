// Routing of the clear layout. A sheet whose straight routes already read
// well keeps them. Otherwise every jump leaves its box from the side, runs
// on a vertical track of its own and lands on its target's side with an
// arrowhead: tracks keep clear of boxes, texts, exit tags and the tracks of
// other targets; jumps to one target may share a track. Short jumps are laid
// first, nearest the boxes, so that longer ones wrap around them and lines
// seldom cross. Comment columns then move right of whatever lies in their
// way.
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "flowchart/sheet.h"
#include "flowchart/sheet_legibility.h"

namespace hc11 {
namespace {

constexpr int kBoxMargin = 3;     // between a track and a box
constexpr int kCrossCost = 1000;  // a crossing costs as much as this much more line
// A piece through a box, a text or beside another track: above any sum of
// crossings and length a sheet can reach.
constexpr long kFault = 1000000000L;
constexpr int kMinTrackX = 4;
constexpr int kTries = 40;               // tracks tried per landing, nearest first
constexpr int kMostTries = 60;           // the same while none is free, on a sheet of
constexpr std::size_t kLargeSheet = 50;  // more jumps than this
// Detour routes tried per sheet (a large one): beyond, a closed jump keeps
// its best track.
constexpr long kDetourBudget = 100000, kLargeDetourBudget = 8000;

// A box with the comment lines that spill beyond its right edge and the
// label that hangs below a jump box.
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

// The middle of the first text line, or of the decision or the empty jump box.
int EntryDY(const Flowchart& sheet, const TRectangle& t) {
  if (t.Triangle != 0 || t.Lignes.empty() || t.Lignes.front().Text.empty()) return t.MidY() - t.Rect.Top;
  return std::min(4 + sheet.LineH / 2, t.Haut - 1);
}

bool Between(int v, int a, int b) {
  return v >= std::min(a, b) && v <= std::max(a, b);
}

bool StrictlyBetween(int v, int a, int b) {
  return v > std::min(a, b) && v < std::max(a, b);
}

// Moves the whole sheet `dx` right and `dy` down: the boxes without parent
// carry the others, which are placed again after their parents.
void ShiftSheet(Flowchart& sheet, int dx, int dy) {
  const int n = sheet.Boxes.Count();
  std::vector<int> depth(n + 1, -1);
  for (int i = 1; i <= n; ++i) {
    int d = 0;
    for (int x = i; sheet.Boxes.Valid(sheet.Boxes[x].ObjetParent) && sheet.Boxes[x].ObjetParent != x && d <= n;
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

class TrackRouter {
 public:
  explicit TrackRouter(Flowchart& sheet)
      : sheet_(sheet), ouiWidth_(TagWidth(sheet, "oui")), nonWidth_(TagWidth(sheet, "non")) {
    for (int b = 1; b <= sheet.Boxes.Count(); ++b) ink_.push_back(Ink(sheet, sheet.Boxes[b]));
  }

  void Run() {
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
    // Outer lanes left of the sheet's edge: the sheet moves right to hold
    // them (the routes follow their boxes).
    TRect least{kMinTrackX, kMinTrackX, 0, 0};
    for (const JumpSegment& p : placed_) {
      least.Left = std::min(least.Left, std::min(p.x0, p.x1));
      least.Top = std::min(least.Top, std::min(p.y0, p.y1));
    }
    for (const TRect& r : tags_) {
      least.Left = std::min(least.Left, r.Left);
      least.Top = std::min(least.Top, r.Top);
    }
    if (least.Left < kMinTrackX || least.Top < kMinTrackX) Shift(kMinTrackX - least.Left, kMinTrackX - least.Top);
    for (int l = 1; l <= sheet_.Lines.Count(); ++l)
      if (sheet_.Lines.LineV(l) == nullptr) sheet_.Lines[l].Place(sheet_);
  }

  const std::vector<JumpSegment>& Placed() const { return placed_; }
  const std::vector<TRect>& Tags() const { return tags_; }
  const std::vector<TRect>& InkRects() const { return ink_; }

 private:
  // Lays every jump, shortest first; those left with a fault go first in a
  // second pass when that leaves fewer faults.
  void LayWell(std::vector<TLigneV*>& jumps) {
    detourBudget_ = large_ ? kLargeDetourBudget : kDetourBudget;
    // Laid one by one, a jump may find its way closed by those laid before
    // it: those jumps then go first, while that leaves fewer faults.
    std::vector<TLigneV*> faulty;
    Outcome best = LayAll(jumps, faulty);
    for (int pass = 0; pass < 1 && best.faults > 0 && best.faults <= 20; ++pass) {
      const Snapshot kept = Take(jumps);
      std::vector<TLigneV*> order = faulty;
      for (TLigneV* v : jumps)
        if (std::find(faulty.begin(), faulty.end(), v) == faulty.end()) order.push_back(v);
      const Outcome again = LayAll(order, faulty);
      if (again.faults < best.faults || (again.faults == best.faults && again.cost < best.cost)) {
        best = again;
        jumps = order;
      } else {
        Restore(jumps, kept);
        break;
      }
    }
  }

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
  Outcome LayAll(const std::vector<TLigneV*>& order, std::vector<TLigneV*>& faulty) {
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

  Snapshot Take(const std::vector<TLigneV*>& jumps) const {
    Snapshot s{{}, placed_, tags_, tagLines_, sheet_.PicW, sheet_.PicH};
    for (const TLigneV* v : jumps) s.lines.push_back(*v);
    return s;
  }

  void Restore(const std::vector<TLigneV*>& jumps, const Snapshot& s) {
    for (std::size_t k = 0; k < jumps.size(); ++k) *jumps[k] = s.lines[k];
    placed_ = s.placed;
    tags_ = s.tags;
    tagLines_ = s.tagLines;
    sheet_.PicW = s.picW;
    sheet_.PicH = s.picH;
  }

  int Span(const TLigneV& v) const {
    const TRectangle& s = sheet_.Boxes[v.ObjetParent];
    const TRectangle& t = sheet_.Boxes[v.ObjetParentb];
    return std::abs((t.Rect.Top + EntryDY(sheet_, t)) - (s.Rect.Top + ExitDY(s)));
  }

  struct Choice {
    int x = 0, x2 = 0, yc = 0;
    bool detour = false;
    bool outer = false;  // on lanes beyond the sheet, which may lie left of its edge
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
  bool Shape(const Jump& j, Choice& c) const {
    const TRectangle& s = sheet_.Boxes[j.si];
    const TRectangle& t = sheet_.Boxes[j.ti];
    const int xe = c.detour ? c.x2 : c.x;
    if (!c.outer && (c.x < kMinTrackX || xe < kMinTrackX)) return false;
    if (c.x >= s.Rect.Right + j.tagRoom)
      c.exitLeft = false;
    else if (c.x < s.Rect.Left - j.tagRoom)
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

  Jump MakeJump(const TLigneV& v) const {
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
  std::vector<int> Landings(const TRectangle& t) const {
    std::vector<int> landings = {t.Rect.Top + EntryDY(sheet_, t)};
    if (t.Triangle != 0) {
      // Beside a decision's upper or lower corner, off its own exit.
      landings.push_back(t.Rect.Top + 4);
      landings.push_back(t.Rect.Bottom - 5 - t.PointB);
    } else if (landings[0] == t.Rect.Top + 4 + sheet_.LineH / 2) {
      for (int k = 1; k < std::min<int>(4, static_cast<int>(t.Lignes.size())); ++k)
        landings.push_back(landings[0] + k * (sheet_.LineH + 3));
    }
    return landings;
  }

  // Lays line `v` on the cheapest track; returns what it cost.
  long Lay(TLigneV& v) {
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
      Choice outer;
      if (const int y1 = OuterRoute(j, landings, outer); outer.cost < kFault) {
        best = outer;
        j.y1 = y1;
      }
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
  void Commit(TLigneV& v, const Jump& j, const Choice& c) {
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
  void Unlay(int line) {
    placed_.erase(std::remove_if(placed_.begin(), placed_.end(),
                                 [&](const JumpSegment& p) { return p.line == line; }),
                  placed_.end());
    for (std::size_t k = tags_.size(); k-- > 0;)
      if (tagLines_[k] == line) {
        tags_.erase(tags_.begin() + static_cast<long>(k));
        tagLines_.erase(tagLines_.begin() + static_cast<long>(k));
      }
  }

  // The cheapest route landing at height j.y1.
  Choice Search(const Jump& j, const TRectangle& s, const TRectangle& t) {
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

  // Lanes beyond everything laid so far: left and right of the sheet, rows
  // above and below it.
  // The lane kTrackGap beyond `x` and beyond everything laid level with
  // rows top..bottom, on the left or on the right.
  int Lane(bool left, int top, int bottom, int x) const {
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

  // The outer routes of a jump: out from the source's side along its own
  // row to a lane beyond everything level with the route's rows, and in
  // along the landing's row, the two lanes joined by a row below (or above)
  // everything when the target is met from the other side. Only the two
  // rows by the boxes can meet anything. Calls `use` with each.
  template <typename Use>
  void OuterRoutes(Jump& j, const std::vector<int>& landings, Use use) {
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
    const int y1 = j.y1;
    for (int landing : landings) {
      j.y1 = landing;
      GatherRows(j.y0, landing);
      auto shaped = [&](Choice& c) {
        c.outer = true;
        if (Shape(j, c)) use(c, landing);
      };
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
    }
    j.y1 = y1;
  }

  // The way that stays open when the search finds none: the cheapest outer
  // route that meets nothing. Returns its landing height; `best` keeps a
  // fault's cost when every outer route meets something.
  int OuterRoute(Jump& j, const std::vector<int>& landings, Choice& best) {
    int bestY1 = j.y1;
    OuterRoutes(j, landings, [&](Choice& c, int landing) {
      c.cost += Cost(c, best.cost - c.cost);
      if (c.cost < best.cost) {
        best = c;
        bestY1 = landing;
      }
    });
    return bestY1;
  }

  // When even the outer routes are closed, by jumps laid before: lays `v` on
  // the outer route that the fewest of them close (boxes close none of
  // these) and takes those off, into `cleared`, to be laid again. False
  // when a box, or only a jump that cleared its own way, closes every route.
  bool ClearWay(TLigneV& v, std::vector<int>& cleared, long& cost) {
    if (std::find(pinned_.begin(), pinned_.end(), v.ObjetSelf) != pinned_.end()) return false;
    Jump j = MakeJump(v);
    const std::vector<int> landings = Landings(sheet_.Boxes[j.ti]);
    Unlay(j.line);
    Choice best;
    int bestY1 = j.y1;
    std::vector<int> blockers;
    std::size_t fewest = std::numeric_limits<std::size_t>::max();
    OuterRoutes(j, landings, [&](Choice& c, int landing) {
      blockers.clear();
      if (!Blockers(c, blockers)) return;
      for (int b : blockers)
        if (std::find(pinned_.begin(), pinned_.end(), b) != pinned_.end()) return;
      if (blockers.size() < fewest || (blockers.size() == fewest && c.cost < best.cost)) {
        fewest = blockers.size();
        best = c;
        bestY1 = landing;
        cleared = blockers;
      }
    });
    if (fewest == std::numeric_limits<std::size_t>::max()) {
      cleared.clear();
      cost = Lay(v);
      return false;
    }
    for (int line : cleared) Unlay(line);
    j.y1 = bestY1;
    pinned_.push_back(j.line);
    GatherRows(j.y0, j.y1);
    best.cost += Cost(best);
    Commit(v, j, best);
    cost = best.cost;
    return true;
  }

  // The lines whose pieces or tags route `c` meets; false when it meets a
  // box.
  bool Blockers(const Choice& c, std::vector<int>& lines) const {
    auto add = [&](int line) {
      if (std::find(lines.begin(), lines.end(), line) == lines.end()) lines.push_back(line);
    };
    for (int k = 0; k < c.segs; ++k) {
      const JumpSegment& m = c.seg[k];
      const TRect cells = m.Cells();
      for (const TRect& r : band_)
        if (cells.Intersects(r)) return false;
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
  void GatherRows(int y0, int y1) {
    const int margin = std::max(kBoxMargin, TagHeight(sheet_) + 3);
    auto level = [&](const TRect& r) {
      return (r.Top <= y0 + margin && y0 - margin <= r.Bottom) || (r.Top <= y1 + margin && y1 - margin <= r.Bottom);
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
  void Shift(int dx, int dy) {
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

  // The boxes, tags and pieces level with rows top..bottom.
  void Gather(int top, int bottom) {
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

  // Tracks beside the two boxes, beside every box and track level with the
  // jump, and on the tracks already going to the same target.
  std::vector<int> TrackCandidates(const Jump& j, const TRectangle& s, const TRectangle& t) const {
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
  void LayDetour(const Jump& j, const TRectangle& s, const TRectangle& t, Choice& best) {
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

  // Faults and crossings of a candidate against what is laid already.
  // Stops counting once `bound` is reached.
  long Cost(const Choice& c, long bound = std::numeric_limits<long>::max()) const {
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
  static long Against(const JumpSegment& m, const JumpSegment& p) {
    const bool same = m.target == p.target;
    if (m.Vertical() == p.Vertical()) {
      if (std::abs(m.Vertical() ? m.x0 - p.x0 : m.y0 - p.y0) >= (m.Vertical() ? kTrackGap : kStubGap))
        return 0;
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

  Flowchart& sheet_;
  const int ouiWidth_, nonWidth_;  // the tags, measured once
  std::vector<TRect> ink_;
  std::vector<TRect> band_;
  std::vector<JumpSegment> near_;
  std::vector<TRect> nearTags_;
  std::vector<JumpSegment> placed_;
  std::vector<TRect> tags_;
  std::vector<int> tagLines_;  // the line of each tag
  std::vector<int> pinned_;    // lines laid by clearing others off their way
  long detourBudget_ = kDetourBudget;
  bool large_ = false;  // closed jumps get a shorter search
  // Room the outer routes lacked left of the sheet, and how many lacked it.
};

// Comment columns right of the box, moved right past every box, jump piece,
// tag or earlier comment in their way.
void PlaceComments(Flowchart& sheet, const TrackRouter& router) {
  std::vector<TRect> obstacles = router.InkRects();
  for (const JumpSegment& s : router.Placed()) {
    TRect c = s.Cells();
    c.Left -= 1;
    c.Right += 1;
    obstacles.push_back(c);
  }
  for (const TRect& t : router.Tags()) obstacles.push_back(t);
  std::vector<TRect> rows;
  for (int b = 1; b <= sheet.Boxes.Count(); ++b) {
    TRectangle& box = sheet.Boxes[b];
    box.XComment = box.XCommentFin = box.Rect.Right + 5;
    rows.clear();
    int y = box.Rect.Top + 4, widest = 0;
    for (const TLigne& line : box.Lignes) {
      if (!line.Commentaire.empty()) {
        const int w = sheet.Metrics().TextWidth(line.Commentaire);
        rows.push_back({0, y, w, y + sheet.LineH});
        widest = std::max(widest, w);
      }
      y += sheet.LineH + 3;
    }
    if (rows.empty()) continue;
    int x = box.XComment;
    for (bool again = true; again;) {
      again = false;
      for (const TRect& row : rows) {
        const TRect cell{x + row.Left, row.Top, x + row.Right, row.Bottom};
        // The box's own comment lines that spill beyond it are met too.
        for (const TRect& o : obstacles) {
          if (!cell.Intersects(o)) continue;
          x = o.Right + 2;
          again = true;
          break;
        }
        if (again) break;
      }
    }
    box.XComment = x;
    box.XCommentFin = x + widest + 11;
    for (const TRect& row : rows) obstacles.push_back({x, row.Top, x + row.Right, row.Bottom});
    sheet.PicW = std::max(sheet.PicW, box.XCommentFin);
  }
}

// The design's straight routes read well: nothing crossed, every jump drops
// straight onto its target's centre, no crossing at all.
bool DesignReadsWell(const Flowchart& sheet) {
  for (int l = 1; l <= sheet.Lines.Count(); ++l) {
    const TLigneV* v = sheet.Lines.LineV(l);
    if (v == nullptr || !sheet.Boxes.Valid(v->ObjetParent) || !sheet.Boxes.Valid(v->ObjetParentb)) continue;
    if (v->Rect.Bottom <= v->Rect.Top || v->Rect.Left != sheet.Boxes[v->ObjetParentb].CenterX()) return false;
  }
  const Legibility l = MeasureLegibility(sheet, /*showComments=*/true);
  return l.Clean() && l.crossings == 0;
}

}  // namespace

void Flowchart::RouteClear() {
  for (int l = 1; l <= Lines.Count(); ++l)
    if (TLigneV* v = Lines.LineV(l)) v->Piste = false;
  const int picW = PicW;
  RouteLines();
  CommentColumns();
  if (DesignReadsWell(*this)) return;
  PicW = picW;
  TrackRouter router(*this);
  router.Run();
  PlaceComments(*this, router);
}

}  // namespace hc11
