#include "tree/view/FocusOutline.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/core/NumberFormat.h"

namespace {

Coord R(double v) { return RoundHalfEven(v); }

class OutlineDrawer {
 public:
  OutlineDrawer(DeviceContext& dc, const TTreeDisplay& d) : dc_(dc), d_(d), m_(HitTolerance(d)) {}

  void Node(const TNode& q) {
    const Coord x = (q.position.x + d_.Origin.x) / 4, y = (q.position.y + d_.Origin.y) / 4;
    const Coord k = m_ + 1;
    Polygon({Point{x, y - k}, {x + k, y}, {x, y + k}, {x - k, y}});
  }

  void Branch(const TNode& q) {
    if (&q == d_.Root || !q.anc)
      RootBranch(q);
    else
      OtherBranch(q, *q.anc);
  }

 private:
  Point Px(Point p) const { return PixelOf(d_, p); }
  Coord PxX(Coord v) const { return PixelOf(v, d_.Origin.x); }
  Coord PxY(Coord v) const { return PixelOf(v, d_.Origin.y); }
  bool Style(TTreeStyle s) const { return d_.TreeStyle == s; }
  bool Traditional(TBranchStyle b) const { return Style(TTreeStyle::tsTraditional) && d_.BranchStyle == b; }

  void Polygon(std::initializer_list<Point> points) {
    const std::vector<Point> v(points);
    dc_.Polygon(v);
  }
  void Box(Coord left, Coord top, Coord right, Coord bottom) {
    Polygon({Point{left, top}, {left, bottom}, {right, bottom}, {right, top}});
  }

  // The offsets that widen a segment by m: (e, f) = m x (dy, dx) / length,
  // or the node's direction for a segment of one pixel.
  std::pair<Coord, Coord> Widening(Point a, Point b, double angle) const {
    if (a == b) return {R(std::cos(angle) * m_), R(std::sin(angle) * m_)};
    const double dx = static_cast<double>(b.x - a.x), dy = static_cast<double>(b.y - a.y);
    const double len = std::sqrt(dx * dx + dy * dy);
    return {R(dy * m_ / len), R(dx * m_ / len)};
  }

  void Segment(Point a, Point b, double angle) {
    const auto [e, f] = Widening(a, b, angle);
    Polygon({Point{a.x + e - f, a.y - f - e}, {a.x - e - f, a.y + f - e}, {b.x - e + f, b.y + f + e},
             {b.x + e + f, b.y - f + e}});
  }

  // Where the branch into q leaves its ancestor's circle (tree coordinates).
  static Point LeavesCircle(const TNode& q, double out) {
    return {q.position.x - R(std::cos(q.angle) * out), q.position.y + R(std::sin(q.angle) * out)};
  }

  // A root child followed along one side while it stays where the root is.
  const TNode* AlongRoot(const TNode* c, bool first, bool byExtent) const {
    const TNode& root = *d_.Root;
    while (c && !c->isOTU) {
      const bool same = byExtent ? c->extent == root.extent : c->position.x == root.position.x;
      if (!same) break;
      const TNode* next = first ? c->des1 : c->des2;
      if (!next) break;
      c = next;
    }
    return c;
  }

  void RootBranch(const TNode& root) {
    const bool stub = d_.isRooted && d_.ShowRoot;
    const Coord m = m_;
    if (Style(TTreeStyle::tsCircle)) {
      if (stub) {
        const double a = root.angle;
        const Point start{root.position.x - R(std::cos(a) * 100), root.position.y + R(std::sin(a) * 100)};
        Segment(Px(start), Px(root.position), a);
      } else {
        RootArc(root);
      }
      return;
    }
    if (stub) {
      Box(R((d_.Origin.x - 100) / 4.0) - m, PxY(root.position.y) - m, PxX(root.position.x) + m,
          PxY(root.position.y) + m);
      return;
    }
    const Coord X = PxX(root.position.x);
    if (Traditional(TBranchStyle::bsRectangular)) {
      const TNode* c1 = AlongRoot(root.des1, true, false);
      const TNode* c2 = AlongRoot(root.des2, false, false);
      if (!c1 || !c2) return;
      Polygon({Point{X - m, PxY(c1->position.y) - m}, {X - m, PxY(c2->position.y) + m},
               {X + m, PxY(c2->position.y) + m}, {X + m, PxY(c1->position.y) - m}});
      return;
    }
    const Coord Y = PxY(root.position.y);
    Polygon({Point{X - m, Y - m}, {X - m, Y + m}, {X + m, Y + m}, {X + m, Y - m}});
  }

  // Two arcs m pixels outside and inside the root's circle between its
  // outermost children, joined by caps m pixels beyond the ends.
  void RootArc(const TNode& root) {
    const TNode* c1 = AlongRoot(root.des1, true, true);
    const TNode* c2 = AlongRoot(root.des2, false, true);
    if (!c1 || !c2) return;
    const double r = root.extent;
    const double cx = static_cast<double>(d_.CenterShift.x + d_.Origin.x);
    const double cy = static_cast<double>(d_.CenterShift.y + d_.Origin.y);
    const Coord m = m_;
    auto E = [&](double rho, double t) { return Point{R((cx + std::cos(t) * rho) / 4), R((cy - std::sin(t) * rho) / 4)}; };
    const Point o1 = E(r + 4 * m, c2->angle), o2 = E(r + 4 * m, c1->angle);
    dc_.Arc(R((cx - r + 4) / 4) - m, R((cy - r + 4) / 4) - m, R((cx + r + 4) / 4) + m, R((cy + r + 4) / 4) + m,
            o1.x, o1.y, o2.x, o2.y);
    const Point i1 = E(r - 4 * m, c2->angle), i2 = E(r - 4 * m, c1->angle);
    dc_.Arc(R((cx - r) / 4) + m, R((cy - r) / 4) + m, R((cx + r + 4) / 4) - m, R((cy + r + 4) / 4) - m, i1.x,
            i1.y, i2.x, i2.y);
    for (const bool first : {true, false}) {
      const double t = first ? c1->angle : c2->angle;
      const Point P = E(r, t);
      const Coord c = R(std::cos(t) * m), s = R(std::sin(t) * m);
      const std::array<Point, 4> cap =
          first ? std::array<Point, 4>{Point{P.x + c, P.y - s}, {P.x + c - s, P.y - s - c},
                                       {P.x - c - s, P.y + s - c}, {P.x - c, P.y + s}}
                : std::array<Point, 4>{Point{P.x + c, P.y - s}, {P.x + c + s, P.y - s + c},
                                       {P.x - c + s, P.y + s + c}, {P.x - c, P.y + s}};
      dc_.Polyline(cap);
    }
  }

  void OtherBranch(const TNode& q, const TNode& p) {
    const Coord m = m_;
    if (Style(TTreeStyle::tsCircle)) {
      Segment(Px(LeavesCircle(q, q.extent - p.extent)), Px(q.position), q.angle);
    } else if (Traditional(TBranchStyle::bsRectangular)) {
      const Coord y = PxY(q.position.y);
      Box(PxX(p.position.x) - m, y - m, PxX(q.position.x) + m, y + m);
    } else if (Traditional(TBranchStyle::bsCurved)) {
      Curve(q, p);
    } else {
      Segment(Px(p.position), Px(q.position), q.angle);
    }
  }

  // The curve sampled in pixels as the branch hit test samples it, drawn
  // twice, shifted by the widening to either side, and closed at both ends.
  void Curve(const TNode& q, const TNode& p) {
    const Point a = Px(p.position), b = Px(q.position);
    if (m_ > std::abs(a.y - b.y) && m_ > b.x - a.x) {
      Segment(a, b, q.angle);
      return;
    }
    const auto [e, f] = Widening(a, b, q.angle);
    const TCurveEnds ends = CurveEndsOf(d_, q);
    const Point s = Px(ends.S->position), t = Px(ends.T->position);
    const int J = static_cast<int>(std::clamp(std::ceil((b.x - a.x) / 25.0 * 3), 3.0, 15.0));
    const Coord join = R((2.0 * p.position.x + ends.T->position.x + 3.0 * d_.Origin.x) / 12);
    std::vector<Point> points(3 * J + 1);
    points.front() = a;
    points.back() = b;
    for (int i = 1; i < 3 * J; ++i) {
      const Coord x = a.x + R(static_cast<double>(b.x - a.x) / J / 3 * i);
      points[i] = {x, CurveY(s, t, x, x < join)};
    }
    for (Point& pt : points) pt = {pt.x - e, pt.y + f};
    dc_.PolyBezier(points);
    for (Point& pt : points) pt = {pt.x + 2 * e, pt.y - 2 * f};
    dc_.PolyBezier(points);
    dc_.MoveTo(a.x - e, a.y + f);
    dc_.LineTo(a.x + e, a.y - f);
    dc_.MoveTo(b.x - e, b.y + f);
    dc_.LineTo(b.x + e, b.y - f);
  }

  DeviceContext& dc_;
  const TTreeDisplay& d_;
  Coord m_;
};

}  // namespace

void DrawFocusOutline(DeviceContext& dc, const TTreeDisplay& display, const TTreeFocus& focus) {
  if (!display.TreePresent || !display.Root || focus.FocusedIndex == 0) return;
  if (!focus.NodeFocused && !focus.BranchFocused) return;
  if (focus.FocusedIndex < 1 || focus.FocusedIndex > display.Nodes.NoOfNodes()) return;
  const TNode& q = *display.Node(focus.FocusedIndex);
  if (q.hidden) return;

  const PenHandle pen = dc.CreatePen(PS_SOLID, 1, focus.NodeFocused ? kNodeFocusColor : kBranchFocusColor);
  const PenHandle oldPen = dc.SelectObject(pen);
  const BrushHandle oldBrush = dc.SelectObject(kNullBrush);
  const Rop2 oldRop = dc.SetROP2(R2_NOTXORPEN);
  const ArcDirection oldDirection = dc.SetArcDirection(AD_COUNTERCLOCKWISE);
  struct Restore {
    DeviceContext& dc;
    PenHandle pen, oldPen;
    BrushHandle oldBrush;
    Rop2 oldRop;
    ArcDirection oldDirection;
    ~Restore() {
      dc.SetArcDirection(oldDirection);
      dc.SetROP2(oldRop);
      dc.SelectObject(oldBrush);
      dc.SelectObject(oldPen);
      dc.DeleteObject(pen);
    }
  } restore{dc, pen, oldPen, oldBrush, oldRop, oldDirection};

  OutlineDrawer drawer(dc, display);
  if (focus.NodeFocused)
    drawer.Node(q);
  else
    drawer.Branch(q);
}
