// The de-overlap pass: hung subtrees that land on boxes placed before them
// move right (or down) until they are free, keeping their own shape.
#include "flowchart/sheet_deoverlap.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <tuple>
#include <vector>

namespace hc11 {
namespace {

enum class Unit : char { None, Later, Done, Fixed };

// Who hangs from whom. A unit is a box without parent, a box of kind 'r'
// with a parent, or a second box hanging in the flow below the same parent;
// every other box belongs to the nearest unit above it (its owner). Boxes in
// a cycle of parents belong to none and never move.
struct Forest {
  explicit Forest(const Flowchart& sheet) {
    const int n = sheet.Boxes.Count();
    parent.assign(n + 1, 0);
    owner.assign(n + 1, 0);
    unitParent.assign(n + 1, 0);
    state.assign(n + 1, Unit::None);
    children.assign(n + 1, {});
    unitChildren.assign(n + 1, {});
    for (int i = 1; i <= n; ++i) {
      const int p = sheet.Boxes[i].ObjetParent;
      if (sheet.Boxes.Valid(p) && p != i) parent[i] = p;
    }
    MarkCycles(n);
    std::vector<char> hasFlowChild(n + 1, 0);
    for (int i = 1; i <= n; ++i) {
      if (!rooted[i]) continue;
      const TRectangle& b = sheet.Boxes[i];
      if (parent[i] == 0) {
        state[i] = Unit::Later;
        order.push_back(i);
        continue;
      }
      children[parent[i]].push_back(i);
      if (b.Titre) continue;
      // A second box hanging in the flow below the same parent lands on the
      // first one: it moves like a hung subtree.
      if (b.Genre == 'r' || hasFlowChild[parent[i]]) state[i] = Unit::Later;
      if (b.Genre != 'r') hasFlowChild[parent[i]] = 1;
    }
    // Owners from the top down; boxes in a cycle are never reached.
    for (int i : order) owner[i] = i;
    for (std::size_t k = 0; k < order.size(); ++k) {
      const int x = order[k];
      for (int c : children[x]) {
        owner[c] = state[c] != Unit::None ? c : owner[x];
        order.push_back(c);
      }
    }
    for (int u = 1; u <= n; ++u) {
      if (state[u] == Unit::None) continue;
      unitParent[u] = parent[u] == 0 ? 0 : owner[parent[u]];
      unitChildren[unitParent[u]].push_back(u);
    }
    // A unit the user placed stays, and so does every unit it hangs in, since
    // moving those would carry it along.
    for (int u = 1; u <= n; ++u) {
      if (state[u] == Unit::None || !sheet.Boxes[u].UserPlaced) continue;
      for (int x = u; x != 0 && state[x] != Unit::Fixed; x = unitParent[x]) state[x] = Unit::Fixed;
    }
  }

  // rooted[i]: i's chain of parents ends at a box without parent.
  void MarkCycles(int n) {
    rooted.assign(n + 1, 0);
    std::vector<char> known(n + 1, 0), onPath(n + 1, 0);
    std::vector<int> path;
    for (int i = 1; i <= n; ++i) {
      path.clear();
      int x = i;
      while (x != 0 && !known[x] && !onPath[x]) {
        onPath[x] = 1;
        path.push_back(x);
        x = parent[x];
      }
      // Ends at the top (x == 0), at a known box, or back on the path (cycle).
      const char result = x == 0 ? 1 : known[x] ? rooted[x] : 0;
      for (int p : path) {
        rooted[p] = result;
        known[p] = 1;
        onPath[p] = 0;
      }
    }
  }

  std::vector<int> parent, owner, unitParent;
  std::vector<char> rooted;
  std::vector<Unit> state;
  std::vector<std::vector<int>> children, unitChildren;
  std::vector<int> order;  // every rooted box, parents before children
};

// Whether box `b` is already settled when unit `u` is taken: the boxes that
// belong to no unit or to a unit that stays, the own boxes of the units `u`
// hangs in, and whole subtrees of units taken before `u` elsewhere. Subtrees
// still to be taken are not, and neither is `u`'s own subtree.
bool Settled(const Forest& f, const std::vector<char>& hangsIn, int b) {
  const int c = f.owner[b];
  if (c == 0) return true;
  int x = c;
  while (x != 0 && f.state[x] == Unit::Later) x = f.unitParent[x];
  if (x == 0) return false;
  if (f.state[x] == Unit::Fixed || hangsIn[x]) return x == c;
  return true;
}

// Touches or comes within `gap` of `o` once shifted by (dx, dy).
bool Meets(const TRect& m, int dx, int dy, const TRect& o, int gap) {
  return m.Left + dx - gap < o.Right && o.Left < m.Right + dx + gap && m.Top + dy - gap < o.Bottom &&
         o.Top < m.Bottom + dy + gap;
}

// The least shift along one axis (dx when `right`, else dy) that keeps every
// rectangle of `moving` `kClearGap` clear of every obstacle. Each obstacle met
// pushes the shift just past it, so no free position is skipped.
int LeastShift(const std::vector<TRect>& moving, const std::vector<TRect>& obstacles, bool right) {
  int shift = 0;
  for (bool again = true; again;) {
    again = false;
    for (const TRect& m : moving) {
      for (const TRect& o : obstacles) {
        const int dx = right ? shift : 0, dy = right ? 0 : shift;
        if (!Meets(m, dx, dy, o, kClearGap)) continue;
        shift = right ? o.Right + kClearGap - m.Left : o.Bottom + kClearGap - m.Top;
        again = true;
      }
    }
  }
  return shift;
}

}  // namespace

void ClearOverlaps(Flowchart& sheet) {
  const int n = sheet.Boxes.Count();
  Forest f(sheet);

  // Units in reading order, each once the unit it hangs in is taken.
  using Key = std::tuple<int, int, int>;  // top, left, index
  std::priority_queue<Key, std::vector<Key>, std::greater<>> ready;
  auto makeReady = [&](int parentUnit) {
    for (int u : f.unitChildren[parentUnit]) {
      if (f.state[u] != Unit::Later) continue;
      const TRect& r = sheet.Boxes[u].Rect;
      ready.emplace(r.Top, r.Left, u);
    }
  };
  makeReady(0);
  for (int u = 1; u <= n; ++u)
    if (f.state[u] == Unit::Fixed) makeReady(u);

  std::vector<char> hangsIn(n + 1, 0), inSubtree(n + 1, 0);
  std::vector<int> subtree;
  std::vector<TRect> moving, obstacles, band;
  bool movedAny = false;
  while (!ready.empty()) {
    const int u = std::get<2>(ready.top());
    ready.pop();

    subtree.assign(1, u);
    for (std::size_t k = 0; k < subtree.size(); ++k)
      for (int c : f.children[subtree[k]]) subtree.push_back(c);
    moving.clear();
    TRect span = sheet.Boxes[u].Rect;
    for (int b : subtree) {
      inSubtree[b] = 1;
      const TRect& r = sheet.Boxes[b].Rect;
      moving.push_back(r);
      span = {std::min(span.Left, r.Left), std::min(span.Top, r.Top), std::max(span.Right, r.Right),
              std::max(span.Bottom, r.Bottom)};
    }
    for (int x = f.unitParent[u]; x != 0; x = f.unitParent[x]) hangsIn[x] = 1;
    obstacles.clear();
    bool overlaps = false;
    for (int b = 1; b <= n; ++b) {
      if (inSubtree[b] || !Settled(f, hangsIn, b)) continue;
      const TRect& o = sheet.Boxes[b].Rect;
      obstacles.push_back(o);
      // Most obstacles lie clear of the whole subtree; only the others are
      // tested box by box.
      if (overlaps || !span.Intersects(o)) continue;
      for (const TRect& m : moving) overlaps = overlaps || m.Intersects(o);
    }
    if (overlaps) {
      // Only obstacles level with the subtree can stop a move right.
      band.clear();
      for (const TRect& o : obstacles)
        if (o.Top < span.Bottom + kClearGap && span.Top - kClearGap < o.Bottom) band.push_back(o);
      int dx = LeastShift(moving, band, /*right=*/true), dy = 0;
      if (span.Right + dx > kClearMaxRight) {
        dx = 0;
        band.clear();
        for (const TRect& o : obstacles)
          if (o.Left < span.Right + kClearGap && span.Left - kClearGap < o.Right) band.push_back(o);
        dy = LeastShift(moving, band, /*right=*/false);
      }
      TRectangle& root = sheet.Boxes[u];
      root.DecalX += dx;
      root.DecalY += dy;
      if (f.parent[u] == 0) {
        // A box without parent keeps its own position; Relayout takes the
        // move back before placing again.
        root.Rect.Left += dx;
        root.Rect.Top += dy;
      }
      // Parents before children, so every box follows the one it hangs from.
      for (int b : subtree) sheet.Boxes[b].Place(sheet);
      movedAny = true;
    }

    for (int b : subtree) inSubtree[b] = 0;
    for (int x = f.unitParent[u]; x != 0; x = f.unitParent[x]) hangsIn[x] = 0;
    f.state[u] = Unit::Done;
    makeReady(u);
  }

  if (!movedAny) return;
  for (int i = 1; i <= n; ++i) {
    const TRect& r = sheet.Boxes[i].Rect;
    sheet.PicW = std::max(sheet.PicW, r.Right + 25);
    sheet.PicH = std::max(sheet.PicH, r.Bottom + 25);
  }
}

}  // namespace hc11
