#include "tree/view/TreeSize.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/core/NumberFormat.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeLayout.h"
#include "tree/view/TreeMeasure_p.h"
#include "tree/view/TreeSetup.h"

namespace {

constexpr Coord kMaxPictureHeight4 = 131071;  // 32767 pixels

Coord AbsHeight(const TFontData& font) { return std::abs(Coord{font.Height}); }

bool ShowsCharState(const TTreeDisplay& d) {
  return d.ShowCharState && d.TreeStyle == TTreeStyle::tsTraditional && d.BranchStyle == TBranchStyle::bsRectangular;
}

Coord CharStateWidth(const TTreeDisplay& d, const TNode& node, const TextMeasurer& measurer) {
  if (!node.isOTU || !ShowsCharState(d)) return 0;
  return 4 * TextWidthPx(measurer, d.CharStateFont, node.charState) + 2 * AbsHeight(d.CharStateFont);
}

bool StartsRegion(const TNode* node) { return node->anc && node->attrIndex != node->anc->attrIndex; }

// ---- label extents ----

void SetLabelRight(TTreeDisplay& d, const TextMeasurer& measurer) {
  for (TNode* node : PostOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (node == d.Root) continue;
    const TNodeAttrib& attrib = GetNodeAttrib(d, *node);
    if (node->IsGroup()) {
      node->labelRight = d.Cladogram ? node->position.x : node->des1->position.x;
    } else if (node->isOTU) {
      const Coord h = AbsHeight(attrib.NameFont);
      Coord r = node->position.x + 2 * Coord{GetBranchPenWidth(d, *node)};
      if (attrib.ShowTaxonName) r += 4 * h + node->nameWidth;
      if (GetShownMarker(d, *node).Shape != 0) r += 5 * h;
      node->labelRight = r + CharStateWidth(d, *node, measurer);
    }
    TNode* a = node->anc;
    if (!StartsRegion(node)) {
      a->captionLevel = std::max(a->captionLevel, node->captionLevel);
      a->labelRight = std::max(a->labelRight, node->labelRight);
      continue;
    }
    if (!node->compressed) {
      if (attrib.CaptionWidth < 1) {
        a->captionLevel = std::max(a->captionLevel, node->captionLevel);
      } else {
        node->captionLevel = std::max(node->captionLevel, 1);
        a->captionLevel = std::max(a->captionLevel, node->captionLevel + 1);
      }
    } else {
      a->captionLevel = std::max(a->captionLevel, 1);
    }
    a->labelRight = std::max(a->labelRight, node->labelRight + attrib.CaptionWidth);
  }
}

// The outermost row of a region on one side, and how far its label reaches
// above or below the row.
void CaptionRow(const TTreeDisplay& d, const TNode* node, bool top, Coord& y, Coord& reach) {
  while (!node->IsTip()) node = top ? node->des1 : node->des2;
  const TNodeAttrib& attrib = GetNodeAttrib(d, *node);
  const TNode* row = node;
  if (node->IsGroup() && !d.Cladogram) row = top ? node->des1 : node->des2;
  y = row->position.y;
  const Coord h = AbsHeight(node->IsGroup() ? attrib.CaptionFont : attrib.NameFont);
  reach = std::min<Coord>(2 * h, d.PixelsPerOTU4 / 2);
}

void SetCaptionSpan(TTreeDisplay& d) {
  for (TNode* node : PostOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (!StartsRegion(node)) continue;
    Coord y = 0;
    Coord reach = 0;
    CaptionRow(d, node, true, y, reach);
    node->captionTop = y - reach;
    CaptionRow(d, node, false, y, reach);
    node->captionBottom = y + reach;
  }
}

// Carries a level's labelRight up to the ancestors (with the caption width
// where a region border is crossed).
void AlignLabelRight(TTreeDisplay& d, const std::vector<TNode*>& starts) {
  for (TNode* node : starts) {
    Coord right = node->labelRight + GetNodeAttrib(d, *node).CaptionWidth;
    for (TNode* a = node->anc; a; a = a->anc) {
      if (a->labelRight >= right) break;
      a->labelRight = right;
      if (StartsRegion(a)) right += GetNodeAttrib(d, *a).CaptionWidth;
    }
  }
}

void AlignCaptions(TTreeDisplay& d) {
  std::vector<TNode*> starts;
  for (TNode* node : PostOrder(d.Root, WalkInto::NotIntoCompressed)) {
    if (StartsRegion(node)) starts.push_back(node);
  }
  if (d.UseGroupAttrib && !d.GroupAttrib.empty()) {
    int top = 0;
    for (const TNode* node : starts) {
      if (node->attrIndex < 0) top = std::max(top, node->captionLevel);
    }
    for (TNode* node : starts) {
      if (node->attrIndex >= 0) continue;
      node->captionLevel = top;
      for (TNode* a = node->anc; a; a = a->anc) a->captionLevel = std::max(a->captionLevel, top + 1);
    }
  }
  int levels = 0;
  for (const TNode* node : starts) levels = std::max(levels, node->captionLevel);
  for (int level = 1; level <= levels; ++level) {
    std::vector<TNode*> atLevel;
    Coord X = std::numeric_limits<Coord>::min();
    for (TNode* node : starts) {
      const TNodeAttrib& attrib = GetNodeAttrib(d, *node);
      if (node->captionLevel != level || !attrib.IsCaptionShown()) continue;
      atLevel.push_back(node);
      X = std::max(X, node->labelRight + AbsHeight(attrib.CaptionFont));
    }
    for (TNode* node : atLevel) node->labelRight = X - AbsHeight(GetNodeAttrib(d, *node).CaptionFont);
    AlignLabelRight(d, atLevel);
  }
}

// ---- picture size ----

Coord AxisWidth(const TTreeDisplay& d, const std::string& caption, const std::string& unit,
                const TextMeasurer& measurer) {
  const auto dot = caption.find_first_of(".,");
  const int decimals = dot == std::string::npos ? 0 : static_cast<int>(caption.size() - dot - 1);
  const std::string zero = FloatToStrF(0, TFloatFormat::ffFixed, 15, std::min(decimals, 18));
  return 2 * TextWidthPx(measurer, d.ScaleFont, zero) + RoundCoord(d.MaxLength * d.XScale) +
         4 * TextWidthPx(measurer, d.ScaleFont, unit + "XXX");
}

struct Extent {
  Coord width = 0;
  Coord height = 0;
};

Extent SizeTraditional(TTreeDisplay& d, const TTreeFlags& flags, const TextMeasurer& measurer) {
  const bool linearized = d.Linearized();
  Coord right = 0;
  Coord bottom = 0;
  for (const TNode& node : d.Nodes) {
    if (node.hidden) continue;
    right = std::max(right, node.position.x);
    bottom = std::max(bottom, node.position.y);
  }
  for (const TNode& node : d.Nodes) {
    if (node.hidden) continue;
    const bool group = node.IsGroup() && !d.Cladogram;
    Coord r = group ? node.des1->position.x : node.position.x;
    r += node.IsTip() ? LabelWidth(d, node, measurer) : 2 * Coord{GetBranchPenWidth(d, node)};
    right = std::max(right, r);
    bottom = std::max(bottom, group ? std::max(node.position.y, node.des2->position.y) : node.position.y);
  }
  for (const TNode& node : d.Nodes) {
    if (!node.anc || node.compressed) continue;
    if (node.attrIndex == node.anc->attrIndex && node.groupIndex == node.anc->groupIndex) continue;
    right = std::max(right, node.labelRight + GetNodeAttrib(d, node).CaptionWidth);
  }
  const bool scaleShown = HasScale(d) && d.ShowScale;
  const bool timeShown = HasTimeScale(d) && d.ShowTimeScale;
  if (linearized) {
    if (scaleShown) right = std::max(right, AxisWidth(d, d.ScaleText, d.ScaleUnit, measurer));
    if (timeShown) right = std::max(right, AxisWidth(d, d.TimeText, d.TimeUnit, measurer));
  }

  d.Origin.x = d.isRooted && d.ShowRoot ? 140 : 40;
  const TNode* root = d.Root;
  if (d.ShowStats) {
    Coord least = 0;
    for (const TNode& node : d.Nodes) {
      if (node.isOTU || node.hidden || &node == root) continue;
      if (node.anc == root) {
        const TNode* other = SiblingOf(&node);
        if (other->isOTU || other->position.x > node.position.x) continue;
      }
      const Coord label = 4 * TextWidthPx(measurer, d.StatsFont, IntToStr(node.statsPercent));
      least = std::min(least, node.position.x - (label + 2 * Coord{d.WholeTree().BranchPen.Width}) - 10);
    }
    if (least + d.Origin.x < 40) d.Origin.x = 40 - least;
  }
  if (linearized && !d.Cladogram && d.ShowHeightErrBar && d.HeightErrFunc) {
    for (const TNode& node : d.Nodes) {
      if (node.isOTU || &node == root || node.position.x == node.anc->position.x) continue;
      const Coord x = node.position.x - RoundCoord(d.HeightErrFunc(node) * 2 * d.XScale);
      if (x + d.Origin.x < 40) d.Origin.x = 40 - x;
    }
  }

  d.Origin.y = 2 * AbsHeight(d.WholeTree().NameFont);
  if (flags.isStats) {
    const Coord label = 4 * AbsHeight(d.StatsFont) + d.StatsMarginY + 2;
    for (const TNode& node : d.Nodes) {
      if (node.isOTU || node.hidden || &node == root) continue;
      const Coord t = node.position.y - label;
      if (t < 0) d.Origin.y = std::max(d.Origin.y, -t);
      bottom = std::max(bottom, node.position.y + label);
    }
  }
  if (flags.isBranchLength && d.ShowBLen) d.Origin.y = std::max(d.Origin.y, (AbsHeight(d.StatsFont) + 5) * 4);
  d.Origin.y += 15;

  Extent e;
  e.width = right + d.Origin.x + 40;
  e.height = bottom + 2 * d.Origin.y;
  const Coord hs = AbsHeight(d.ScaleFont);
  if (linearized) {
    if (scaleShown && timeShown)
      e.height += d.PixelsPerOTU4 + 10 * hs + 16;
    else if (scaleShown || timeShown)
      e.height += d.PixelsPerOTU4 + 6 * hs + 16;
  } else if (scaleShown) {
    e.height += d.PixelsPerOTU4 + 6 * hs + 16;
  } else {
    e.height += 16;
  }
  return e;
}

Extent SizeRadial(TTreeDisplay& d, const TextMeasurer& measurer) {
  const Coord fontHeight = AbsHeight(d.WholeTree().NameFont);
  d.Origin = {4 * fontHeight, 4 * fontHeight};
  Coord minX = 0, maxX = 0, minY = 0, maxY = 0;
  auto include = [&](Point p) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  };
  for (const TNode& node : d.Nodes) {
    if (node.hidden) continue;
    // Every node lies inside the picture; with two taxa the circle's root is
    // beside the line through them.
    include(node.position);
    if (!node.IsTip()) continue;
    const TNodeAttrib& attrib = GetNodeAttrib(d, node);
    const Coord h = AbsHeight(attrib.NameFont);
    Coord u = h + 2 * Coord{GetBranchPenWidth(d, node)};
    if (attrib.ShowTaxonName) u += node.nameWidth;
    if (GetShownMarker(d, node).Shape != 0) u += 5 * AbsHeight(node.IsGroup() ? attrib.CaptionFont : attrib.NameFont);
    const Coord v = 6 * h;
    Point p = node.position;
    if (node.IsGroup()) p = {(node.des1->position.x + node.des2->position.x) / 2,
                             (node.des1->position.y + node.des2->position.y) / 2};
    Point end;
    if (d.HorzTaxonName) {
      end.x = std::cos(node.angle) >= 0 ? p.x + u : p.x - u;
      end.y = std::sin(node.angle) >= 0 ? p.y - v : p.y + v;
    } else {
      end = {p.x + RoundCoord(u * std::cos(node.angle)), p.y - RoundCoord(u * std::sin(node.angle))};
    }
    include(end);
  }
  for (TNode& node : d.Nodes) {
    node.position.x -= minX;
    node.position.y -= minY;
  }
  d.CenterShift = {-minX, -minY};
  return {maxX - minX + 2 * d.Origin.x, maxY - minY + 2 * d.Origin.y};
}

int CheckedPixels(Coord quarterPixels) {
  const Coord px = quarterPixels / 4;
  if (px > std::numeric_limits<int>::max() || px < std::numeric_limits<int>::min()) throw EIntOverflow();
  return static_cast<int>(px);
}

}  // namespace

Coord LabelWidth(const TTreeDisplay& d, const TNode& node, const TextMeasurer& measurer) {
  const TNodeAttrib& attrib = GetNodeAttrib(d, node);
  Coord w = 2 * Coord{GetBranchPenWidth(d, node)};
  if (attrib.ShowTaxonName) w += node.nameWidth;
  if (GetShownMarker(d, node).Shape != 0) w += 5 * AbsHeight(node.IsGroup() ? attrib.CaptionFont : attrib.NameFont);
  return w + CharStateWidth(d, node, measurer);
}

void SetLabelExtents(TTreeDisplay& d, const TextMeasurer& measurer) {
  if (d.AttribList.size() <= 1 && d.GroupAttrib.empty()) return;
  for (TNode& node : d.Nodes) {
    node.captionLevel = (node.attrIndex != 0 || node.groupIndex != -1) && !node.compressed ? 1 : 0;
    node.captionTop = node.captionBottom = node.labelRight = 0;
  }
  SetLabelRight(d, measurer);
  SetCaptionSpan(d);
  if (d.AlignCaption) AlignCaptions(d);
}

bool ComputeSize(TTreeDisplay& d, const TTreeFlags& flags, const TextMeasurer& measurer) {
  if (!d.TreePresent || !d.Root || d.Root->isOTU) return false;
  Extent e;
  bool shrunk = false;
  if (d.TreeStyle == TTreeStyle::tsTraditional) {
    e = SizeTraditional(d, flags, measurer);
    // Each round lowers the row spacing strictly, so the loop ends at the
    // latest when rows are one pixel high.
    while (e.height > kMaxPictureHeight4 && d.PixelsPerOTU4 > 4) {
      const double wanted = (d.PixelsPerOTU4 - static_cast<double>(e.height - 131072) / d.NoOfOTUs()) / 4;
      int pixels = wanted < 1 ? 1 : static_cast<int>(std::min(std::trunc(wanted), 2047.0));
      pixels = std::max(1, std::min(pixels, (d.PixelsPerOTU4 - 1) / 4));
      d.PixelsPerOTU4 = pixels * 4;
      shrunk = true;
      SetVSpace(d, d.Root);
      Layout(d, flags, measurer);
      e = SizeTraditional(d, flags, measurer);
    }
  } else {
    e = SizeRadial(d, measurer);
  }
  d.PictureWidth = CheckedPixels(e.width);
  d.PictureHeight = CheckedPixels(e.height);
  return shrunk;
}
