// Branches of the tree picture: one routine per style, called by the
// per-node pass once the node's children are drawn. Each draws the node's
// branch, the root stub, the connectors of internal nodes, the shape of a
// compressed group and the height error bar, and hands names, captions and
// images to their layers at the right moment.

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeDrawing_p.h"

namespace tree_picture {

namespace {

// The root stub is 25 pixels long.
constexpr Coord kStubLength = 100;

}  // namespace

void TTreeDrawer::DrawBranch(const TNode* n) {
  switch (d_.TreeStyle) {
    case TTreeStyle::tsCircle:
      DrawCircleBranch(n);
      return;
    case TTreeStyle::tsRadiation:
      DrawRadiationBranch(n);
      return;
    case TTreeStyle::tsTraditional:
      break;
  }
  switch (d_.BranchStyle) {
    case TBranchStyle::bsRectangular:
      DrawRectangularBranch(n);
      return;
    case TBranchStyle::bsCurved:
      DrawCurvedBranch(n);
      return;
    case TBranchStyle::bsStraight:
      DrawStraightBranch(n);
      return;
  }
}

bool TTreeDrawer::CommonStart(const TNode* n) {
  if (n->attrIndex != n->anc->attrIndex) {
    const TNodeAttrib& a = AttribOf(n);
    if (a.HasImage() && a.ShowImage) DrawNodeImage(n);
    if (!n->compressed && (a.IsCaptionShown() || a.ShowBracket)) DrawCaption(n);
  }
  if (n->hidden) return false;
  if (n->IsTip()) {
    DrawOTUName(n);
    if (n->IsGroup() && !d_.Cladogram) DrawCompressedGroup(n);
  }
  return true;
}

// Branches that the colouring mode gives to the enclosing attribute: the
// branch into a subtree coloured from inside only (2), and the branches
// inside a subtree that colours only its top (3).
void TTreeDrawer::SwitchToEnclosing(const TNode* n) {
  const int coloring = AttribOf(n).BranchColoring;
  if ((n->attrIndex != enclosing_ && coloring == 2) || (n->attrIndex == n->anc->attrIndex && coloring == 3))
    SwitchTo(enclosing_);
}

// How far the horizontal stroke of an internal node runs past the node: to
// the far edge of the connector it meets, so that strokes of different
// widths join without a gap.
Coord TTreeDrawer::ConnectorExtension(const TNode* n, Coord w) const {
  if (n->compressed) return 0;
  const TNodeAttrib& a = AttribOf(n);
  auto side = [&](const TNode* child) -> Coord {
    if (!n->isOTU && child && AttribOf(child).BranchColoring == 0) return W(child->attrIndex);
    return a.BranchColoring == 3 ? W(enclosing_) : W(n->attrIndex);
  };
  const Coord wu = side(n->isOTU ? nullptr : n->des1);
  const Coord wl = side(n->isOTU ? nullptr : n->des2);
  if (w == wu) return 2 * wu;
  if (w == wl) return 2 * wl;
  return 2 * std::max(wu, wl);
}

void TTreeDrawer::DrawRectangularBranch(const TNode* n) {
  if (n == d_.Root) {
    if (RootStubShown()) Line(P(-kStubLength, n->position.y), P(0, n->position.y));
    DrawVerticalConnectors(n);
    return;
  }
  if (!CommonStart(n)) return;
  if (!n->IsTip()) DrawVerticalConnectors(n);
  const TNode* p = n->anc;
  const int coloring = AttribOf(n).BranchColoring;
  if (n->attrIndex != p->attrIndex && (coloring == 1 || coloring == 3)) {
    // Only the horizontal part: the parent draws the vertical part in its
    // own colour.
    const Coord w = W(n->attrIndex);
    const Coord ext = ConnectorExtension(n, w);
    const Point from = P(p->position.x + 2 * w, n->position.y);
    const Point to = n->position.x == p->position.x ? from : P(n->position.x + ext - 2 * w, n->position.y);
    Line(from, to);
  } else {
    SwitchToEnclosing(n);
    const Coord w = W(set_.index);
    const Coord ext = ConnectorExtension(n, w);
    // Half a pen width beyond the parent's y: with square caps the strokes of
    // the two children meet exactly at the parent's y.
    points_[0] = P(p->position.x, n == p->des1 ? p->position.y - 2 * w : p->position.y + 2 * w);
    points_[1] = P(p->position.x, n->position.y);
    points_[2] = n->position.x == p->position.x ? points_[1] : P(n->position.x + ext - 2 * w, n->position.y);
    PolylineOfBuffer(3);
  }
  if (d_.isLinearized && !d_.Cladogram && d_.HeightErrFunc && d_.ShowHeightErrBar) DrawHeightErrorBar(n);
  if (set_.index != n->attrIndex) SwitchTo(n->attrIndex);
}

void TTreeDrawer::DrawVerticalConnectors(const TNode* n) {
  const Coord wa = W(n->attrIndex);
  for (int side = 1; side <= 2; ++side) {
    const TNode* direct = side == 1 ? n->des1 : n->des2;
    const TNode* c = direct;
    while (c->hidden && !c->IsTip()) c = side == 1 ? c->des1 : c->des2;
    const int coloring = AttribOf(c).BranchColoring;
    if (!direct->hidden && !(c->attrIndex != n->attrIndex && (coloring == 1 || coloring == 3))) continue;
    if (n->attrIndex != enclosing_) SwitchTo(enclosing_);
    const Coord wc = GetBranchPenWidth(d_, *c);
    const Coord x = n->position.x;
    if (side == 1)
      Line(P(x, c->position.y - 2 * wc + 2 * wa), P(x, n->position.y - 2 * wa));
    else
      Line(P(x, n->position.y + 2 * wa), P(x, c->position.y + 2 * wc - 2 * wa));
    if (n->attrIndex != enclosing_) SwitchTo(n->attrIndex);
  }
}

void TTreeDrawer::DrawStraightBranch(const TNode* n) {
  if (n == d_.Root) {
    if (!RootStubShown()) return;
    Coord y0 = n->position.y;
    if (d_.Cladogram) {
      // The stub continues the slope from the root towards the outermost
      // taxon of the larger side.
      const bool first = n->des1->rows > n->des2->rows;
      const TNode* t = first ? n->des1 : n->des2;
      while (!t->IsTip()) t = first ? t->des1 : t->des2;
      if (t->position.x != n->position.x)
        y0 = n->position.y - R(static_cast<double>(t->position.y - n->position.y) * kStubLength /
                               static_cast<double>(t->position.x - n->position.x));
    }
    Line(P(-kStubLength, y0), P(n->position));
    return;
  }
  if (!CommonStart(n)) return;
  SwitchToEnclosing(n);
  Line(P(n->anc->position), P(n->position));
  if (set_.index != n->attrIndex) SwitchTo(n->anc->attrIndex);
}

void TTreeDrawer::DrawCurvedBranch(const TNode* n) {
  if (n == d_.Root) {
    if (RootStubShown()) Line(P(-kStubLength, n->position.y), P(n->position));
    return;
  }
  if (!CommonStart(n)) return;
  SwitchToEnclosing(n);
  const TNode* S = n->anc;
  const TNode* T = n;
  if (d_.Cladogram) {
    // Branches along one outer edge of a clade follow one curve: from the
    // top of the edge to its outermost row, as the layout placed them.
    const TNode* a = n->anc;
    const Coord y = n->position.y;
    if (n == a->des2 ? a->position.y < y : y < a->position.y) {
      const TNode* ref = n;
      const bool second = n == a->des2;
      while (ref != d_.Root && ref->anc) {
        const Coord ay = ref->anc->position.y;
        const Coord ry = ref->position.y;
        const bool stop =
            second ? ay >= ry && (ry != ay || ref != ref->anc->des2) : ay <= ry && (ry != ay || ref != ref->anc->des1);
        if (stop) break;
        ref = ref->anc;
      }
      S = ref;
    }
    const bool down = y >= S->position.y;
    while (!T->IsTip()) T = down ? T->des2 : T->des1;
  }
  DrawCurve(n, S, T);
  if (set_.index != n->attrIndex) SwitchTo(n->anc->attrIndex);
}

// Two elliptic arcs, each with a horizontal tangent at its end, that meet a
// third of the way from S to T; the branch from the parent to n is sampled
// on them and drawn as Bezier segments through the samples.
void TTreeDrawer::DrawCurve(const TNode* n, const TNode* S, const TNode* T) {
  const Point p0 = n->anc->position;
  const Point p1 = n->position;
  const double f = static_cast<double>(S->position.x), d = static_cast<double>(S->position.y);
  const double c = static_cast<double>(T->position.x), e = static_cast<double>(T->position.y);
  const Coord dx = p1.x - p0.x;
  if (dx < 8 || std::abs(p1.y - p0.y) < 8 || c <= f) {
    Line(P(p0), P(p1));
    return;
  }
  const Coord v = R((2 * f + c) / 3);
  const Coord u = R((2 * d + e) / 3);
  const double I = std::sqrt(3.0) * std::abs(e - d) / (c - f);
  const Coord J = std::clamp<Coord>(static_cast<Coord>(std::ceil(static_cast<double>(dx) / 9)), 3, 200);
  const double near = 4.0 / 9 * (e - d) * (e - d);
  const double far = 16.0 / 9 * (e - d) * (e - d);
  points_[0] = P(p0);
  for (Coord i = 1; i < 3 * J; ++i) {
    const Coord x = p0.x + R(static_cast<double>(dx) / static_cast<double>(J) / 3 * static_cast<double>(i));
    const double xd = static_cast<double>(x);
    Coord y;
    if (x == v) {
      y = u;
    } else if (x > v) {
      const double root = std::sqrt(std::max(0.0, far - (xd - c) * (xd - c) * I * I));
      y = R(e >= d ? (4 * d - e) / 3 + root : (4 * d - e) / 3 - root);
    } else {
      const double root = std::sqrt(std::max(0.0, near - (xd - f) * (xd - f) * I * I));
      y = R(e >= d ? (d + 2 * e) / 3 - root : (d + 2 * e) / 3 + root);
    }
    points_[i] = P(x, y);
  }
  points_[3 * J] = P(p1);
  dc_.PolyBezier(std::span<const Point>(points_.data(), static_cast<std::size_t>(3 * J + 1)));
}

void TTreeDrawer::DrawRadialName(const TNode* n) {
  if (d_.HorzTaxonName)
    DrawOTUName(n);
  else
    DrawRotatedOTUName(n);
}

void TTreeDrawer::DrawRadiationBranch(const TNode* n) {
  if (n == d_.Root) {
    // The stub ends at the root wherever the size pass moved it.
    if (RootStubShown()) Line(P(n->position.x - kStubLength, n->position.y), P(n->position));
    return;
  }
  if (n->hidden) return;
  if (n->IsTip()) DrawRadialName(n);
  if (!n->isOTU && StatsShown()) DrawStatsRadial(n);
  if (n->IsGroup() && !d_.Cladogram) DrawCompressedGroupRadial(n);
  SwitchToEnclosing(n);
  Line(P(n->anc->position), P(n->position));
  if (set_.index != n->attrIndex) SwitchTo(n->attrIndex);
}

void TTreeDrawer::DrawCircleBranch(const TNode* n) {
  const bool root = n == d_.Root;
  if (root && RootStubShown()) {
    const double a = n->angle;
    Line(P(n->position.x - R(kStubLength * std::cos(a)), n->position.y + R(kStubLength * std::sin(a))), P(n->position));
  }
  if (n->hidden) return;
  if (n->IsTip()) {
    DrawRadialName(n);
    if (n->IsGroup() && !d_.Cladogram) DrawCompressedGroupRadial(n);
  } else {
    for (int side = 1; side <= 2; ++side) {
      const TNode* c = side == 1 ? n->des1 : n->des2;
      while (c->hidden && !c->IsTip()) c = side == 1 ? c->des1 : c->des2;
      if (c->attrIndex != n->attrIndex && AttribOf(c).BranchColoring == 0)
        SwitchTo(c->attrIndex);
      else if (enclosing_ != n->attrIndex)
        SwitchTo(enclosing_);
      const Coord N = std::clamp<Coord>(
          std::max(std::abs(n->position.y - c->position.y), std::abs(n->position.x - c->position.x)) / 4, 2, 600);
      const double step = (c->angle - n->angle) / static_cast<double>(N);
      for (Coord k = 0; k <= N; ++k) {
        const double a = n->angle + static_cast<double>(k) * step;
        points_[k] = P(d_.CenterShift.x + R(std::cos(a) * n->extent), d_.CenterShift.y - R(std::sin(a) * n->extent));
      }
      PolylineOfBuffer(static_cast<std::size_t>(N + 1));
      if (set_.index != n->attrIndex) SwitchTo(n->attrIndex);
    }
    if (StatsShown()) DrawStatsRadial(n);
  }
  if (root) return;
  // The radial part runs, caps included, exactly from the parent's circle
  // to the node.
  SwitchToEnclosing(n);
  const double H = 2.0 * static_cast<double>(W(set_.index));
  const double a = n->angle;
  const double along = n->extent - n->anc->extent - H;
  Line(P(n->position.x - R(std::cos(a) * along), n->position.y + R(std::sin(a) * along)),
       P(n->position.x - R(std::cos(a) * H), n->position.y + R(std::sin(a) * H)));
  if (set_.index != n->attrIndex) SwitchTo(n->attrIndex);
}

void TTreeDrawer::DrawCompressedGroup(const TNode* n) {
  const Coord w = W(current_);
  const PenHandle oldPen = dc_.CurrentPen();
  const BrushHandle oldBrush = dc_.CurrentBrush();
  UsePen(set_.halfPen);
  UseBrush(set_.brush);
  const Point shape[] = {P(n->position.x, n->position.y + w), P(n->position.x, n->position.y - w), P(n->des1->position),
                         P(n->des2->position)};
  dc_.Polygon(shape);
  UsePen(oldPen);
  UseBrush(oldBrush);
}

void TTreeDrawer::DrawCompressedGroupRadial(const TNode* n) {
  const double w = static_cast<double>(W(current_));
  const double a = n->angle;
  const PenHandle oldPen = dc_.CurrentPen();
  UsePen(set_.halfPen);
  const Point shape[] = {P(n->position.x + R(w * std::sin(a)), n->position.y + R(w * std::cos(a))),
                         P(n->position.x - R(w * std::sin(a)), n->position.y - R(w * std::cos(a))),
                         P(n->des1->position), P(n->des2->position)};
  dc_.Polygon(shape);
  UsePen(oldPen);
}

void TTreeDrawer::DrawHeightErrorBar(const TNode* n) {
  if (n->isOTU) return;
  const double e = 2 * d_.HeightErrFunc(*n);
  const Coord r = R(e * d_.XScale);
  const TNodeAttrib& a = Selected();
  const Coord w = a.BranchPen.Width;
  const Coord h = std::min<Coord>(d_.PixelsPerOTU4 / 4, 3 * w + 8);
  LogPen pen;
  pen.Type = PS_GEOMETRIC;
  pen.EndCap = PS_ENDCAP_SQUARE;
  pen.Join = PS_JOIN_MITER;
  pen.Style = a.BranchPen.Style == TPenStyle::psDash  ? PS_DASH
              : a.BranchPen.Style == TPenStyle::psDot ? PS_DOT
                                                      : PS_SOLID;
  pen.Width = CheckedInt32(2 * w);
  pen.Color = a.BranchPen.Color;
  const PenHandle barPen = dc_.ExtCreatePen(pen);
  const BrushHandle white = dc_.CreateBrushIndirect(LogBrush{BS_SOLID, clWhite, HS_HORIZONTAL});
  dc_.SelectObject(barPen);
  dc_.SelectObject(white);
  const Coord x = n->position.x, y = n->position.y;
  const Point bar[] = {P(x - r, y + h), P(x - r, y - h), P(x + r, y - h), P(x + r, y + h)};
  dc_.Polygon(bar);
  dc_.SelectObject(set_.branchPen);
  dc_.SelectObject(set_.brush);
  dc_.DeleteObject(barPen);
  dc_.DeleteObject(white);
}

}  // namespace tree_picture
