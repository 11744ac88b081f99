#include "tree/view/TreeLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "tree/view/RadialLayout.h"
#include "tree/view/TreeSize.h"
#include "tree/view/TreeWalk_p.h"

namespace {

void ClearHidden(TTreeDisplay& display) {
  for (TNode* node : PreOrder(display.Root, WalkInto::NotIntoCompressed)) node->hidden = false;
}

int CheckedInt(double value) {
  if (!(value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max())) throw EIntOverflow();
  return static_cast<int>(value);
}

void ChooseScaling(TTreeDisplay& display, const TTreeFlags& flags) {
  TNode* root = display.Root;
  const bool byHeight = display.Linearized() && root->height > 1e-12;
  if (flags.isBranchLength || byHeight) {
    display.MaxLength = byHeight ? root->height : std::max(root->des1->pathDown, root->des2->pathDown);
    if (!(display.MaxLength >= 1e-12)) display.Cladogram = true;
  } else {
    display.Cladogram = true;
  }
  if (display.Cladogram) {
    SetCondensedDepths(root, display.Condensed ? display.CondenseValue : 0);
    display.RootDepth = root->depth;
    // Whole quarter pixels a level while there are at least that many; a
    // deeper tree shares the width exactly, so it neither outgrows it nor
    // (in the circle) reaches past the centre.
    const int depth = display.RootDepth;
    const int scale = depth > 0 ? display.CladogramWidth * 4 / depth : 0;
    if (scale > 0)
      display.XScale = scale;
    else
      display.XScale = depth > 0 && display.CladogramWidth > 0 ? display.CladogramWidth * 4.0 / depth : 1.0;
  } else if (std::abs(display.ScaleRatio) < 1e-14) {
    display.XScale = display.TreeWidthPx * 4.0 / display.MaxLength;
    display.ScaleRatio = display.XScale / 4;
  } else {
    // A kept ratio fixes the scale and the width follows the tree, up to the
    // widest width a host may set: a tree far longer than the one the ratio
    // came from is drawn at that width, and the ratio follows it instead.
    const double width = std::ceil(display.MaxLength * display.ScaleRatio);
    if (width <= kMaxTreeWidth) {
      display.TreeWidthPx = CheckedInt(width);
    } else {
      display.TreeWidthPx = kMaxTreeWidth;
      display.ScaleRatio = kMaxTreeWidth / display.MaxLength;
    }
    display.XScale = display.ScaleRatio * 4;
  }
}

// ---- x positions ----

void SetTraditionalX(TTreeDisplay& d) {
  const bool linearized = d.Linearized();
  // Distances from the root are summed unrounded and each rounded once, so
  // that a deep tree of short branches keeps its shape.
  std::vector<double> exact(d.Nodes.NoOfNodes() + 1, 0.0);
  for (TNode* node : PreOrder(d.Root, WalkInto::NotIntoCompressed)) {
    Coord x = 0;
    if (node != d.Root) {
      if (d.Cladogram) {
        x = node->IsTip() ? RoundCoord(d.RootDepth * d.XScale) : RoundCoord(d.XScale * (d.RootDepth - node->depth));
      } else if (linearized) {
        x = RoundCoord((d.MaxLength - node->height) * d.XScale);
      } else {
        // Negative lengths draw as zero.
        exact[node->index] = exact[node->anc->index] + std::max(0.0, node->blen * d.XScale);
        x = RoundCoord(exact[node->index]);
      }
      x = std::max(x, node->anc->position.x);
      if (!node->isOTU && x == node->anc->position.x) node->hidden = true;
    }
    node->position.x = x;
    if (node->IsGroup() && !d.Cladogram) {
      const Coord far =
          linearized ? RoundCoord(d.XScale * d.MaxLength) : RoundCoord(exact[node->index] + node->height * d.XScale);
      node->des1->position.x = far;
      node->des2->position.x = far;
    }
  }
}

// Row weights of the straight cladogram; returns round(root rows).
Coord SetRows(TTreeDisplay& d) {
  for (TNode* node : PostOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (node->isOTU || (node->IsGroup() && d.Cladogram))
      node->rows = 1;
    else if (node->IsGroup())
      node->rows = d.PixelsPerOTU4 > 0 ? static_cast<double>(node->vspace) / d.PixelsPerOTU4 : 1;
    else
      node->rows = node->des1->rows + node->des2->rows;
  }
  return RoundCoord(d.Root->rows);
}

void SetStraightCladogramX(TTreeDisplay& d) {
  const Coord R = SetRows(d);
  const Coord tipX = RoundCoord(d.RootDepth * d.XScale);
  // The highest ancestor-or-self of each node reached through nodes of its
  // level, found from the ancestor's, so that long runs of one level (a
  // condensed tree) cost one step a node.
  std::vector<const TNode*> top(d.Nodes.NoOfNodes() + 1);
  for (TNode* node : PreOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (node == d.Root) {
      node->position.x = 0;
      top[node->index] = node;
      continue;
    }
    top[node->index] = node->anc->depth == node->depth ? top[node->anc->index] : node;
    if (node->IsTip()) {
      node->position.x = tipX;
      if (node->IsGroup()) node->des1->position.x = node->des2->position.x = tipX;
    } else {
      const TNode* c = top[node->index];
      const double share = R > 1 ? (c->rows - 1) / static_cast<double>(R - 1) : 0;
      node->position.x = RoundCoord((1 - share) * d.RootDepth * d.XScale);
    }
    if (!node->isOTU && node->position.x == node->anc->position.x) node->hidden = true;
  }
}

// ---- y positions ----

// The row cursor shared by the y passes: tips take the next rows.
struct RowCursor {
  Coord cursor = 0;
  void PlaceTip(const TTreeDisplay& d, TNode* node, bool curved) {
    const Coord ppo = d.PixelsPerOTU4;
    if (node->isOTU || d.Cladogram) {
      node->position.y = cursor + ppo / 2;
      cursor += ppo;
      if (node->IsGroup()) {
        node->des1->position.y = node->position.y - ppo / 2;
        node->des2->position.y = node->position.y + ppo / 2;
      }
      return;
    }
    const Coord member = d.PixelsPerGroupMember4;
    if (curved) {
      node->position.y = cursor + node->vspace / 2;
      cursor += node->vspace;
    } else {
      node->position.y = cursor + (member + node->vspace) / 2;
      cursor += node->vspace + member;
    }
    const Coord half = member * node->size / 2;
    node->des1->position.y = node->position.y - half;
    node->des2->position.y = node->position.y + half;
  }
};

// A search for rows steps on through nodes at the node's own x (no node is
// left of its ancestor).
bool AtNodesX(const TNode* child, const TNode* node) { return child->position.x <= node->position.x; }

void SetRectangularY(TTreeDisplay& d) {
  RowCursor rows;
  TDownSearch search(d);
  for (TNode* node : PostOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (node->IsTip()) rows.PlaceTip(d, node, false);
    search.Add(node, AtNodesX);
    if (node->IsTip()) continue;
    node->position.y = (search.Along1(node)->position.y + search.Along2(node)->position.y) / 2;
  }
}

void SetCurvedY(TTreeDisplay& d) {
  RowCursor rows;
  TDownSearch search(d);
  for (TNode* node : PostOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (node->IsTip()) rows.PlaceTip(d, node, true);
    search.Add(node, AtNodesX);
    if (node->IsTip()) continue;
    const TNode* q;
    const TNode* r;
    if (d.Cladogram) {
      q = search.FirstTip(node);
      r = search.LastTip(node);
    } else {
      // Midway between the innermost rows of the two subtrees.
      q = search.LastTip(search.Along1(node));
      r = search.FirstTip(search.Along2(node));
    }
    node->position.y = (q->position.y + r->position.y) / 2;
  }
}

void AlignCompressedY(TTreeDisplay& d) {
  for (TNode* node : PreOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (!node->IsGroup() || !node->anc) continue;
    const Point a = node->anc->position;
    const Coord span = node->des1->position.x - a.x;
    if (span == 0) continue;
    node->position.y = a.y - (node->position.x - a.x) * (a.y - node->position.y) / span;
  }
}

// The curved cladogram: x on the elliptic arcs through the clade's outer
// rows, so the branches along one edge of a clade follow one curve.
void SetCurvedCladogramX(TTreeDisplay& d) {
  TDownSearch search(d);
  for (TNode* node : PostOrder(d.Root, WalkInto::NotIntoCompressed)) search.Add(node, [](auto...) { return false; });
  // Where the climb for a reference point stops when it starts at a node on
  // a second (first) branch: the climb's test reads only rows, which this
  // pass leaves alone, so each node's stop is its own or its ancestor's.
  std::vector<const TNode*> stop2(d.Nodes.NoOfNodes() + 1);
  std::vector<const TNode*> stop1(d.Nodes.NoOfNodes() + 1);
  for (TNode* node : PreOrder(d.Root, WalkInto::NotIntoCompressed)) {
    const int k = node->index;
    if (node == d.Root) {
      stop1[k] = stop2[k] = node;
      continue;
    }
    const Coord y = node->position.y;
    const Coord ay = node->anc->position.y;
    stop2[k] = ay >= y && (y != ay || node != node->anc->des2) ? node : stop2[node->anc->index];
    stop1[k] = ay <= y && (y != ay || node != node->anc->des1) ? node : stop1[node->anc->index];
  }
  for (TNode* node : PreOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (node == d.Root || node->IsTip()) continue;
    const TNode* a = node->anc;
    const Coord y = node->position.y;
    const TNode* ref;
    if (node == a->des2)
      ref = a->position.y >= y ? a : stop2[node->index];
    else
      ref = y >= a->position.y ? a : stop1[node->index];
    const double b = ref->position.x;
    const double c = ref->position.y;
    const bool down = y >= c;
    const TNode* tip = down ? search.LastTip(node) : search.FirstTip(node);
    const double e = tip->position.x;
    const double dy = tip->position.y;
    if (a->depth == node->depth) {
      node->position.x = a->position.x;
    } else if (e != b && dy != c && std::abs(dy - c) >= std::abs(y - c)) {
      const double o = std::sqrt(3.0) * std::abs(dy - c) / (e - b);
      const double yy = static_cast<double>(y);
      if (2 * std::abs(yy - c) >= std::abs(yy - dy)) {
        const double t = 4.0 / 3 * c - 1.0 / 3 * dy - yy;
        node->position.x = RoundCoord(e - std::sqrt(std::max(0.0, 16.0 / 9 * (dy - c) * (dy - c) - t * t)) / o);
      } else {
        const double t = 1.0 / 3 * c + 2.0 / 3 * dy - yy;
        node->position.x = RoundCoord(b + std::sqrt(std::max(0.0, 4.0 / 9 * (dy - c) * (dy - c) - t * t)) / o);
      }
    }
    if (node->position.x == a->position.x) node->hidden = true;
  }
}

std::string ScaleCaption(double length, char separator) {
  const int t = static_cast<int>(std::trunc(std::log10(length)));
  const int p = length >= 1 ? t + 1 : t - 1;
  return FloatToStrF(length, TFloatFormat::ffFixed, 15, p <= 0 ? -p : 0, separator);
}

}  // namespace

Coord RoundCoord(double value) {
  if (!std::isfinite(value)) throw EIntOverflow();
  return RoundHalfEven(value);
}

void LayoutTraditional(TTreeDisplay& d) {
  const bool straightCladogram = d.BranchStyle == TBranchStyle::bsStraight && d.Cladogram;
  if (straightCladogram)
    SetStraightCladogramX(d);
  else
    SetTraditionalX(d);
  switch (d.BranchStyle) {
    case TBranchStyle::bsRectangular:
      SetRectangularY(d);
      break;
    case TBranchStyle::bsCurved:
      if (d.Cladogram)
        SetRectangularY(d);
      else
        SetCurvedY(d);
      break;
    case TBranchStyle::bsStraight:
      SetCurvedY(d);
      if (!d.Cladogram) AlignCompressedY(d);
      break;
  }
}

void JoinZeroBranches(TTreeDisplay& d) {
  const bool circle = d.TreeStyle == TTreeStyle::tsCircle;
  for (TNode* node : PreOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (node == d.Root || node->isOTU) continue;
    const TNode* a = node->anc;
    if (circle) {
      if (node->extent == a->extent && (!node->compressed || d.Cladogram)) {
        node->angle = a->angle;
        node->position = a->position;
      }
    } else if (node->position.x == a->position.x) {
      node->position.y = a->position.y;
    }
  }
}

void Layout(TTreeDisplay& d, const TTreeFlags& flags, const TextMeasurer& measurer) {
  if (!d.TreePresent || !d.Root || d.Root->isOTU) return;
  ClearHidden(d);
  ChooseScaling(d, flags);
  switch (d.TreeStyle) {
    case TTreeStyle::tsRadiation:
      LayoutRadiation(d);
      return;
    case TTreeStyle::tsCircle:
      LayoutCircle(d);
      return;
    case TTreeStyle::tsTraditional:
      break;
  }
  LayoutTraditional(d);
  if (d.BranchStyle != TBranchStyle::bsRectangular) JoinZeroBranches(d);
  if (d.BranchStyle == TBranchStyle::bsCurved && d.Cladogram) SetCurvedCladogramX(d);
  SetLabelExtents(d, measurer);
}

void MakeScale(TTreeDisplay& d, char decimalSeparator) {
  double L = d.Root ? 2 * d.Root->height : 0;
  // A negative root height (negative branch lengths) gives no scale, like 0.
  if (!(L > 0) || !std::isfinite(L)) {
    d.ScaleLength = 0;
    return;
  }
  L /= 10;
  const double k = std::floor(std::log10(L));
  const double m = L / std::pow(10.0, k);
  if (std::trunc(m + 0.5) >= 8)
    d.ScaleLength = std::pow(10.0, k + 1);
  else if (std::trunc(m) >= 3)
    d.ScaleLength = 5 * std::pow(10.0, k);
  else if (std::trunc(m) == 2 || std::trunc(m + 0.5) == 2)
    d.ScaleLength = 2 * std::pow(10.0, k);
  else
    d.ScaleLength = std::pow(10.0, k);
  d.ScaleMinorInterval = d.ScaleLength;
  d.TimeFactor = d.TimeInterval = d.TimeMinorInterval = 0;
  d.TimeText.clear();
  d.ScaleText = ScaleCaption(d.ScaleLength, decimalSeparator);
  d.ScaleLength = StrToFloat(d.ScaleText, decimalSeparator);
}

bool HasScale(const TTreeDisplay& d) { return d.MaxLength > 1e-15 && !d.Cladogram; }

bool HasTimeScale(const TTreeDisplay& d) { return HasScale(d) && std::abs(d.TimeInterval) >= 1e-15; }
