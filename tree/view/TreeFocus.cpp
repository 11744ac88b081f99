#include "tree/view/TreeFocus.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/core/NumberFormat.h"
#include "platform/graphics/TextMeasurer.h"
#include "tree/view/TreeAttributes.h"

namespace {

Coord R(double v) { return RoundHalfEven(v); }

// A hit box: centre and half sizes, edges included.
struct Box {
  Coord cx = 0, cy = 0, hw = 0, hh = 0;
  bool Contains(Coord x, Coord y) const {
    return cx - hw <= x && x <= cx + hw && cy - hh <= y && y <= cy + hh;
  }
};

// The box of a straight stretch of branch from a to b (pixels) for a click
// at (x, y).
Box SegmentBox(Point a, Point b, Coord t, Coord x, Coord y) {
  const Coord dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
  const Point mid{R((a.x + b.x) / 2.0), R((a.y + b.y) / 2.0)};
  if (dx <= 2 * t) return {mid.x, mid.y, t, R(dy / 2.0)};
  if (dy <= 2 * t) return {mid.x, mid.y, R(dx / 2.0), t};
  // Oblique: a box of the tolerance around the point of the line nearest to
  // the click, as long as the click is near the segment at all.
  const Box around{mid.x, mid.y, R(dx / 2.0) + t, R(dy / 2.0) + t};
  if (!around.Contains(x, y)) return {b.x, b.y, t, t};
  const double ux = static_cast<double>(b.x - a.x), uy = static_cast<double>(b.y - a.y);
  const double s = (static_cast<double>(x - a.x) * ux + static_cast<double>(y - a.y) * uy) / (ux * ux + uy * uy);
  return {R(static_cast<double>(a.x) + s * ux), R(static_cast<double>(a.y) + s * uy), t, t};
}

// The box of a curved branch from p to q; false when the click cannot hit it.
bool CurvedBox(const TTreeDisplay& d, const TNode& q, Coord t, Coord x, Box& box) {
  const Point a = PixelOf(d, q.anc->position), b = PixelOf(d, q.position);
  if (b.x - a.x < 2 * t) {
    box = {R((a.x + b.x) / 2.0), R((a.y + b.y) / 2.0), t, std::max(R(std::abs(b.y - a.y) / 2.0), t)};
    return true;
  }
  if (x < a.x || x > b.x) return false;
  const TCurveEnds ends = CurveEndsOf(d, q);
  const Point s = PixelOf(d, ends.S->position), e = PixelOf(d, ends.T->position);
  if (e.x <= s.x) return false;
  box.cy = CurveY(s, e, x, OnFirstArc(s, e, x));
  box.cx = R((a.x + b.x) / 2.0);
  box.hw = std::max(R((b.x - a.x) / 2.0), t);
  const Coord rise = std::abs(b.y - a.y), run = b.x - a.x;
  if (rise / run < 5) {
    box.hh = t;
  } else {
    // A steep curve: a band as tall as the curve is steep, kept between the
    // branch's ends so that it never reaches a neighbouring branch.
    box.hh = rise * t / run;
    box.hh = std::min({box.hh, box.cy - std::min(a.y, b.y), std::max(a.y, b.y) - box.cy});
    box.hh = std::max<Coord>(box.hh, 0);
  }
  return true;
}

bool HasBranch(const TTreeDisplay& d, const TNode& q) {
  if (&q == d.Root || !q.anc || q.hidden) return false;
  if (q.isOTU) return true;
  if (d.TreeStyle == TTreeStyle::tsTraditional) return q.position.x != q.anc->position.x;
  if (d.TreeStyle == TTreeStyle::tsCircle) return q.extent != q.anc->extent;
  return true;
}

}  // namespace

Coord PixelOf(Coord v, Coord origin) { return R(static_cast<double>(v + origin) / 4.0); }

Point PixelOf(const TTreeDisplay& display, Point p) {
  return {PixelOf(p.x, display.Origin.x), PixelOf(p.y, display.Origin.y)};
}

int HitTolerance(const TTreeDisplay& display) { return display.WholeTree().BranchPen.Width / 2 + 5; }

int NodeHitAt(const TTreeDisplay& d, Coord x, Coord y) {
  if (d.Nodes.Empty()) return 0;
  const Coord t = HitTolerance(d);
  for (int i = d.NoOfOTUs() + 1; i <= d.Nodes.NoOfNodes(); ++i) {
    const TNode& node = *d.Node(i);
    if (node.hidden) continue;
    if (&node != d.Root) {
      if (!node.anc) continue;
      const bool away = d.TreeStyle == TTreeStyle::tsCircle ? node.extent != node.anc->extent
                                                            : node.position.x != node.anc->position.x;
      if (!away) continue;
    }
    const Point p = PixelOf(d, node.position);
    const Coord dx = p.x - x, dy = p.y - y;
    if (dx * dx + dy * dy < t * t) return i;
  }
  return 0;
}

int BranchHitAt(const TTreeDisplay& d, Coord x, Coord y) {
  if (d.Nodes.Empty()) return 0;
  const Coord t = HitTolerance(d);
  for (int i = 1; i <= d.Nodes.NoOfNodes(); ++i) {
    const TNode& q = *d.Node(i);
    if (!HasBranch(d, q)) continue;
    const TNode& p = *q.anc;
    Box box;
    if (d.TreeStyle == TTreeStyle::tsTraditional && d.BranchStyle == TBranchStyle::bsRectangular) {
      box = {R((p.position.x + q.position.x + 2 * d.Origin.x) / 8.0), PixelOf(q.position.y, d.Origin.y),
             std::max(R((q.position.x - p.position.x) / 8.0), t), t};
    } else if (d.TreeStyle == TTreeStyle::tsTraditional && d.BranchStyle == TBranchStyle::bsCurved) {
      if (!CurvedBox(d, q, t, x, box)) continue;
    } else if (d.TreeStyle == TTreeStyle::tsCircle) {
      const double out = q.extent - p.extent;
      const Point leave{q.position.x - R(std::cos(q.angle) * out), q.position.y + R(std::sin(q.angle) * out)};
      box = SegmentBox(PixelOf(d, leave), PixelOf(d, q.position), t, x, y);
    } else {
      box = SegmentBox(PixelOf(d, p.position), PixelOf(d, q.position), t, x, y);
    }
    if (box.Contains(x, y)) return i;
  }
  return 0;
}

int NameHitAt(const TTreeDisplay& d, Coord x, Coord y, const TextMeasurer& measurer, bool showCharState) {
  if (!d.TreePresent || !d.Root || !d.WholeTree().ShowTaxonName) return 0;
  if (d.TreeStyle != TTreeStyle::tsTraditional) return 0;
  const TFontData& stateFont = d.CharStateFont;
  for (const TNode* node : PreOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (!node->isOTU) continue;
    const TNodeAttrib& attrib = GetNodeAttrib(d, *node);
    if (!attrib.ShowTaxonName) continue;
    const Coord h = std::abs(attrib.NameFont.Height);
    Coord left = (node->position.x + d.Origin.x) / 4;
    Coord right = std::abs(stateFont.Height) / 2 + (node->position.x + node->nameWidth + d.Origin.x) / 4;
    if (d.WholeTree().ShowTaxonMarker && GetShownMarker(d, *node).Shape != 0) {
      left += 5 * h / 4;
      right += 5 * h / 4;
    }
    if (showCharState) {
      const Coord shift = measurer.TextWidth(stateFont, node->charState) + std::abs(stateFont.Height) / 2;
      left += shift;
      right += shift;
    }
    const Coord row = (node->position.y + d.Origin.y) / 4;
    if (left <= x && x <= right && row - h / 2 <= y && y <= row + h / 2) return node->index;
  }
  return 0;
}

TCurveEnds CurveEndsOf(const TTreeDisplay& d, const TNode& node) {
  const TNode* p = node.anc;
  if (!p) return {&node, &node};
  if (!d.Cladogram) return {p, &node};
  // The start: the top of the outer edge the branch lies on. Going up along
  // first children (or along second children, mirrored), the edge begins
  // where a node is the other child of its ancestor, or at the root.
  const bool first = &node == p->des1;
  const TNode* S = p;
  const bool away = first ? node.position.y < p->position.y : node.position.y > p->position.y;
  if (away) {
    const TNode* w = &node;
    for (;;) {
      if (w == d.Root || !w->anc) {
        S = w;
        break;
      }
      const TNode* a = w->anc;
      if (w == (first ? a->des2 : a->des1)) {
        S = a;
        break;
      }
      const bool along = first ? w->position.y <= a->position.y : w->position.y >= a->position.y;
      if (!along) {
        S = w;
        break;
      }
      w = a;
    }
  }
  const TNode* T = &node;
  const bool down = node.position.y >= S->position.y;
  while (!T->IsTip()) {
    const TNode* next = down ? T->des2 : T->des1;
    if (!next) break;
    T = next;
  }
  return {S, T};
}

bool OnFirstArc(Point s, Point t, Coord x) { return 2 * (x - s.x) < t.x - x; }

Coord CurveY(Point s, Point t, Coord x, bool firstArc) {
  if (t.x <= s.x) return s.y;
  x = std::clamp(x, s.x, t.x);
  const double f = static_cast<double>(s.x), d = static_cast<double>(s.y);
  const double c = static_cast<double>(t.x), e = static_cast<double>(t.y);
  const double i2 = 3.0 * (e - d) * (e - d) / ((c - f) * (c - f));  // I squared
  const double xd = static_cast<double>(x);
  if (firstArc) {
    const double r = std::sqrt(std::max(0.0, 4.0 / 9.0 * (e - d) * (e - d) - (xd - f) * (xd - f) * i2));
    return R((d + 2 * e) / 3.0 + (d <= e ? -r : r));
  }
  const double r = std::sqrt(std::max(0.0, 16.0 / 9.0 * (e - d) * (e - d) - (xd - c) * (xd - c) * i2));
  return R((4 * d - e) / 3.0 + (d <= e ? r : -r));
}

TFocusTarget KeyFocusTarget(const TTreeDisplay& d, const TTreeFocus& focus, TFocusKey key) {
  using K = TFocusTarget::Kind;
  if (focus.FocusedIndex < 1 || focus.FocusedIndex > d.Nodes.NoOfNodes() || !d.Root) return {};
  const TNode& node = *d.Node(focus.FocusedIndex);
  switch (key) {
    case TFocusKey::Home:
      return {K::Node, d.Root->index};
    case TFocusKey::Left:
      if (focus.NodeFocused && &node != d.Root) return {K::Branch, node.index};
      if (focus.BranchFocused && node.anc) {
        const TNode* a = node.anc;
        while (a->hidden && a != d.Root && a->anc) a = a->anc;
        return {K::Node, a->index};
      }
      return {};
    case TFocusKey::Up:
    case TFocusKey::Down: {
      const bool up = key == TFocusKey::Up;
      if (focus.NodeFocused && !node.isOTU && !node.compressed) {
        const TNode* c = up ? node.des1 : node.des2;
        while (c && c->hidden && !c->isOTU) c = up ? c->des1 : c->des2;
        return c ? TFocusTarget{K::Branch, c->index} : TFocusTarget{};
      }
      if (focus.BranchFocused) return {K::Node, node.index};
      return {};
    }
    case TFocusKey::Right:
      if (focus.BranchFocused) return {K::Node, node.index};
      return {};
  }
  return {};
}
