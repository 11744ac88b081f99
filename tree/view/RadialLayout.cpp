#include "tree/view/RadialLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "tree/view/TreeLayout.h"
#include "tree/view/TreeWalk_p.h"

namespace {

constexpr double kPi = std::numbers::pi;

Point Toward(Point from, double distance, double angle) {
  return {from.x + RoundCoord(distance * std::cos(angle)), from.y - RoundCoord(distance * std::sin(angle))};
}

// Radiation places each node from its ancestor. The positions are summed
// unrounded, by node index, and each rounded once, so that a deep tree of
// short branches keeps its shape.
struct ExactPoint {
  double x = 0;
  double y = 0;
};
using ExactPositions = std::vector<ExactPoint>;

ExactPoint Toward(ExactPoint from, double distance, double angle) {
  return {from.x + distance * std::cos(angle), from.y - distance * std::sin(angle)};
}

Point Rounded(ExactPoint p) { return {RoundCoord(p.x), RoundCoord(p.y)}; }

double BaseDirection(const TTreeDisplay& d) { return (0.5 - d.StartAngle / 6.0) * kPi; }

// Corners of a compressed group's far side: `tip` is the middle of that side.
void PlaceGroupCorners(const TTreeDisplay& d, TNode* node, Point tipDes1, Point tipDes2) {
  const double half = static_cast<double>(d.PixelsPerGroupMember4) * node->size / 2;
  const double side = node->angle + kPi / 2;
  const Coord dx = RoundCoord(half * std::cos(side));
  const Coord dy = RoundCoord(half * std::sin(side));
  node->des1->position = {tipDes1.x + dx, tipDes1.y - dy};
  node->des2->position = {tipDes2.x - dx, tipDes2.y + dy};
}

void SetReach(TTreeDisplay& d) {
  for (TNode* node : PostOrder(d.Root, WalkInto::NotIntoCompressed)) {
    // A scale of (next to) nothing, from a tree width or kept ratio of 0,
    // gives names no length they could be measured in: they then add no
    // reach, as if hidden, rather than an infinite one.
    double label = node->nameWidth / d.XScale;
    if (!std::isfinite(label)) label = 0;
    if (node->isOTU) {
      node->extent = node->blen > 0 ? node->blen + label : label;
    } else if (node->compressed) {
      node->extent = node->blen > 0 ? node->blen + node->height : node->height;
      if (node->vspace < d.PixelsPerOTU4) node->extent += label;
    } else {
      node->extent = (node->des1->extent + node->des2->extent) / 2;
      if (node->blen > 0) node->extent += node->blen;
    }
  }
}

// Two shares of `total` by weight, and inversely by reach when both reaches
// are known.
void Share(double total, const TNode* left, const TNode* right, bool byReach, double& sl, double& sr) {
  double wL = left->rows;
  double wR = right->rows;
  if (wL + wR < 1e-11) wL = wR = 1;
  const double eL = left->extent;
  const double eR = right->extent;
  if (byReach && eL > 0 && eR > 0) {
    const double sum = wL / eL + wR / eR;
    sl = wL * total / eL / sum;
    sr = wR * total / eR / sum;
    if (std::isfinite(sl) && std::isfinite(sr)) return;
    // A reach so much shorter than the other that its quotient overflows:
    // the same shares from the ratio of the two, which goes to 0 or infinity
    // instead.
    const double ratio = wR / wL * (eL / eR);
    sl = total / (1 + ratio);
    sr = total - sl;
  } else {
    sl = wL * total / (wL + wR);
    sr = wR * total / (wL + wR);
  }
}

void SetRadiationSectors(TTreeDisplay& d, TNode* top, ExactPositions& exact) {
  for (TNode* node : PreOrder(top, WalkInto::NotIntoCompressed)) {
    if (node->IsTip()) continue;
    const double g = node->sector;
    double b = g;
    if (node->blen > 0) {
      const double r = node->extent;
      const double l = node->blen;
      const double dist = std::sqrt(std::max(0.0, r * r + l * l - 2 * r * l * std::cos(g)));
      if (dist > 0) {
        b = std::asin(std::clamp(std::sin(g) * r / dist, -1.0, 1.0));
        if (b < g) b = kPi - b;
      }
    }
    Share(b, node->des1, node->des2, true, node->des1->sector, node->des2->sector);
    node->des1->angle = b + node->angle - node->des1->sector;
    node->des2->angle = node->angle - b + node->des2->sector;
    for (TNode* child : {node->des1, node->des2}) {
      const double length = child->blen > 0 ? child->blen * d.XScale : 0;
      exact[child->index] = Toward(exact[node->index], length, child->angle);
      child->position = Rounded(exact[child->index]);
    }
  }
}

void PlaceRadiationGroups(TTreeDisplay& d, const ExactPositions& exact) {
  for (TNode* node : PreOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (!node->IsGroup()) continue;
    const Point far = Rounded(Toward(exact[node->index], node->height * d.XScale, node->angle));
    PlaceGroupCorners(d, node, far, far);
  }
}

// ---- circle ----

void SetCircleRadius(TTreeDisplay& d) {
  const double outer = d.Radius * 4.0;
  const bool linearized = d.Linearized();
  for (TNode* node : PreOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (node == d.Root) {
      node->extent = outer * d.CenterMargin / 100;
    } else {
      const TNode* a = node->anc;
      const bool internal = !node->IsTip();
      if (d.Cladogram) {
        node->extent = node->IsTip() ? outer : outer - node->depth * d.XScale;
        if (node->depth == a->depth) node->hidden = true;
      } else if (linearized) {
        node->extent = node->isOTU ? outer : outer - node->height * d.XScale;
        if (node->extent <= a->extent) {
          node->extent = a->extent;
          if (internal) node->hidden = true;
        }
      } else if (node->blen <= 1e-13) {
        node->extent = a->extent;
        if (internal) node->hidden = true;
      } else {
        node->extent = a->extent + node->blen * d.XScale;
      }
    }
    if (node->IsGroup()) {
      double far = outer;
      if (!d.Cladogram && !linearized) far = node->extent + node->height * d.XScale;
      node->des1->extent = node->des2->extent = far;
    }
  }
}

void SetCircleAngles(TTreeDisplay& d, double step) {
  double A = BaseDirection(d);
  bool first = true;
  // The searches step on through nodes not farther out than the node (no
  // node is nearer the centre than its ancestor).
  TDownSearch search(d);
  for (TNode* node : PostOrder(d.Root, WalkInto::NotIntoCompressed)) {
    // Half the turn the subtree's tips take, as radiation leaves it, so that
    // nothing drawn in this style reads a sector of another style.
    node->sector = node->rows * step / 2;
    search.Add(node, [](const TNode* child, const TNode* n) { return child->extent <= n->extent; });
    if (node->IsTip()) {
      if (first) {
        node->angle = A;
        A -= node->rows * step / 2;
        first = false;
      } else {
        node->angle = A - node->rows * step / 2;
        A -= node->rows * step;
      }
      continue;
    }
    node->angle = (search.Along1(node)->angle + search.Along2(node)->angle) / 2;
  }
}

}  // namespace

void SetWeights(TTreeDisplay& d) {
  const double rootHeight = d.Root->height;
  for (TNode* node : PostOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (node->isOTU) {
      node->rows = 1;
    } else if (node->compressed) {
      double w = 1;
      if (!d.Cladogram && d.PixelsPerOTU4 > 0) {
        if (d.Linearized())
          w = static_cast<double>(d.PixelsPerGroupMember4) * node->size / d.PixelsPerOTU4 + 1;
        else if (node->height >= 1e-11)
          w = static_cast<double>(node->vspace) / d.PixelsPerOTU4 * rootHeight / node->height;
      }
      node->rows = std::max(w, 1.0);
    } else {
      node->rows = node->des1->rows + node->des2->rows;
    }
  }
}

void LayoutRadiation(TTreeDisplay& d) {
  TNode* root = d.Root;
  SetReach(d);
  SetWeights(d);
  root->position = {0, 0};
  // The root's sector is the whole turn: set here, as every other node's,
  // so that nothing drawn reads one left by another style or another root.
  root->sector = kPi;
  TNode* left = root->des1;
  TNode* right = root->des2;
  Share(kPi, left, right, !d.Cladogram, left->sector, right->sector);
  if (d.isRooted && d.ShowRoot) {
    left->sector /= 3;
    right->sector /= 3;
    left->angle = left->sector;
    right->angle = -right->sector;
  } else {
    left->angle = BaseDirection(d);
    right->angle = BaseDirection(d) + kPi;
  }
  ExactPositions exact(d.Nodes.NoOfNodes() + 1);
  for (TNode* child : {left, right}) {
    double length = std::max(0.0, child->blen);
    if (child->IsGroup()) length += child->height;
    exact[child->index] = Toward(ExactPoint{}, length * d.XScale, child->angle);
    child->position = Rounded(exact[child->index]);
    if (!child->IsTip()) SetRadiationSectors(d, child, exact);
  }
  PlaceRadiationGroups(d, exact);
}

void LayoutCircle(TTreeDisplay& d) {
  const int width = d.Cladogram ? d.CladogramWidth : d.TreeWidthPx;
  if (width > 0) d.XScale = d.Radius * d.XScale / width * (1 - d.CenterMargin / 100.0);
  SetCircleRadius(d);
  SetWeights(d);
  int tips = 0;
  for (TNode* node : PreOrder(d.Root, WalkInto::NotIntoCompressed)) tips += node->IsTip() ? 1 : 0;
  const double W = d.Root->rows;
  const double step = tips < 19 || W <= 1 ? 2 * kPi / W : (340.0 / 180 * kPi) / (W - 1);
  SetCircleAngles(d, step);
  const Point centre{0, 0};
  for (TNode* node : PreOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (!node->hidden) node->position = Toward(centre, node->extent, node->angle);
    if (node->IsGroup()) {
      PlaceGroupCorners(d, node, Toward(centre, node->des1->extent, node->angle),
                        Toward(centre, node->des2->extent, node->angle));
    }
  }
  JoinZeroBranches(d);
}
