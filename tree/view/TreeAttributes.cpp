#include "tree/view/TreeAttributes.h"

#include <algorithm>
#include <cstdlib>

#include "tree/view/TreeMeasure_p.h"
#include "tree/view/TreeSetup.h"

namespace {

bool ValidGroup(const TTreeDisplay& display, int g) {
  return g >= 0 && g < static_cast<int>(display.GroupAttrib.size());
}

TNodeMarker MarkerOf(const TNodeAttrib& attrib) { return {attrib.MarkerShape, attrib.MarkerColor}; }

// The attribute a signed index names: k >= 0 AttribList[k], else the group
// attribute of `groupIndex`.
const TNodeAttrib& AttribAt(const TTreeDisplay& display, int attrIndex, int groupIndex) {
  if (attrIndex < 0) {
    if (ValidGroup(display, groupIndex)) return *display.GroupAttrib[groupIndex];
  } else if (attrIndex < static_cast<int>(display.AttribList.size()) && display.AttribList[attrIndex]) {
    return *display.AttribList[attrIndex];
  }
  return display.WholeTree();
}

Coord NameWidth(const TextMeasurer& measurer, const TNodeAttrib& attrib, const TNode& node) {
  Coord width = 4 * TextWidthPx(measurer, attrib.NameFont, node.name + " ");
  if (!node.nameTag.empty()) width += 4 * TextWidthPx(measurer, attrib.BoldNameFont(), node.nameTag + " ");
  return width;
}

void MeasureName(const TextMeasurer& measurer, const TNodeAttrib& attrib, TNode& node) {
  if (node.name.empty() && node.nameTag.empty()) {
    node.nameWidth = node.nameHeight = 0;
    return;
  }
  node.nameWidth = NameWidth(measurer, attrib, node);
  node.nameHeight = 4 * Coord{std::abs(attrib.NameFont.Height)};
}

void ComputeCaptionWidth(const TextMeasurer& measurer, TNodeAttrib& attrib) {
  const Coord hc = std::abs(attrib.CaptionFont.Height);
  const Coord c = 4 * TextWidthPx(measurer, attrib.CaptionFont, attrib.Caption + " ");
  const bool captionShown = attrib.IsCaptionShown();
  const bool pictureShown = attrib.ShowImage && attrib.HasImage();
  const Coord picture = 4 * Coord{attrib.Bitmap.Width} + 2 * hc;
  Coord w = 0;
  if (attrib.Compressed) {
    if (attrib.ShowTaxonMarker && attrib.MarkerShape != 0) w = 5 * hc;
  } else if (attrib.ShowBracket) {
    w = 2 * hc + 4 * Coord{attrib.CaptionPen.Width};
  }
  if (captionShown && pictureShown && (attrib.ImagePosition == 2 || attrib.ImagePosition == 3)) {
    w += std::max(c, picture);
  } else {
    if (captionShown) w += c;
    if (pictureShown) w += picture;
  }
  if (w > 0) w += 2 * hc;
  attrib.CaptionWidth = w;
}

TNodeAttrib& MutableAttrib(TTreeDisplay& display, const TNode& node) {
  return const_cast<TNodeAttrib&>(GetNodeAttrib(display, node));
}

void ApplyAttrib(TTreeDisplay& display, const TextMeasurer& measurer) {
  for (TNode* node : PreOrder(display.Root)) {
    if (node == display.Root) continue;
    const TNode* anc = node->anc;
    if (node->attrIndex == 0 && display.UseGroupAttrib) {
      const int k = anc->attrIndex;
      const bool overrides = k > 0 && k < static_cast<int>(display.AttribList.size()) &&
                             display.AttribList[k] && display.AttribList[k]->OverrideGroups;
      if (!overrides && node->groupIndex != anc->groupIndex) node->attrIndex = -(node->groupIndex + 1);
    }
    if (node->attrIndex == 0) {
      node->attrIndex = anc->attrIndex;
      MeasureName(measurer, GetNodeAttrib(display, *node), *node);
    }
    if (node->attrIndex == anc->attrIndex) continue;
    // The node starts a region of its own attribute.
    TNodeAttrib& attrib = MutableAttrib(display, *node);
    if (attrib.Compressed) CompressSubtree(display, node->index);
    if (!node->isOTU) {
      node->name = attrib.Caption;
      node->nameWidth = 4 * TextWidthPx(measurer, attrib.CaptionFont, attrib.Caption + " ");
      node->nameHeight = 4 * Coord{std::abs(attrib.CaptionFont.Height)};
    } else if (node->compressed) {
      node->nameWidth = 4 * TextWidthPx(measurer, attrib.CaptionFont, attrib.Caption + " ");
      node->nameHeight = 4 * Coord{std::abs(attrib.CaptionFont.Height)};
    } else {
      MeasureName(measurer, attrib, *node);
    }
    ComputeCaptionWidth(measurer, attrib);
  }
}

}  // namespace

const TNodeAttrib& GetNodeAttrib(const TTreeDisplay& display, const TNode& node) {
  return AttribAt(display, node.attrIndex, node.groupIndex);
}

TNodeMarker GetShownMarker(const TTreeDisplay& display, const TNode& node) {
  if ((!node.isOTU && !node.compressed) || node.marker.Shape == 0) return {};
  if (display.UseGroupAttrib && node.attrIndex < 0 && ValidGroup(display, node.groupIndex)) {
    const TNodeAttrib& group = *display.GroupAttrib[node.groupIndex];
    if (!group.ShowTaxonMarker) return {};
    if (MarkerOf(group) == node.marker) return node.marker;
  }
  const TNode* n = &node;
  while (n->attrIndex < 0 && n->anc) n = n->anc;
  if (n->attrIndex < 0) return {};
  return AttribAt(display, n->attrIndex, n->groupIndex).ShowTaxonMarker ? node.marker : TNodeMarker{};
}

int GetBranchPenWidth(const TTreeDisplay& display, const TNode& node) {
  if (&node == display.Root || !node.anc) return display.WholeTree().BranchPen.Width;
  const TNodeAttrib& own = GetNodeAttrib(display, node);
  const bool follow = own.BranchColoring == 2 || (own.BranchColoring == 3 && node.attrIndex == node.anc->attrIndex);
  if (!follow) return own.BranchPen.Width;
  for (const TNode* a = node.anc; a && a != display.Root; a = a->anc) {
    const TNodeAttrib& attrib = GetNodeAttrib(display, *a);
    if (!a->hidden && attrib.BranchColoring != 3) return attrib.BranchPen.Width;
  }
  return display.Root ? GetNodeAttrib(display, *display.Root).BranchPen.Width : own.BranchPen.Width;
}

void AssignAttributes(TTreeDisplay& display, const TextMeasurer& measurer) {
  if (!display.Root) return;
  for (TNode& node : display.Nodes) {
    node.attrIndex = 0;
    if (!node.isOTU) node.marker.Shape = 0;
  }
  ExpandSubtree(display, 0);
  if (display.UseGroupAttrib) {
    for (TNode* node : PostOrder(display.Root)) {
      if (node->isOTU) {
        if (!ValidGroup(display, node->groupIndex)) node->groupIndex = -1;
        continue;
      }
      node->groupIndex = node->des1->groupIndex == node->des2->groupIndex ? node->des1->groupIndex : -1;
    }
    for (TNode* node : PreOrder(display.Root)) {
      if (node == display.Root || node->groupIndex == node->anc->groupIndex) continue;
      if (!ValidGroup(display, node->groupIndex)) continue;
      if (!node->isOTU || node->marker.Shape == 0) node->marker = MarkerOf(*display.GroupAttrib[node->groupIndex]);
    }
  }
  if (display.UseSubtreeAttrib) {
    for (int k = 1; k < static_cast<int>(display.AttribList.size()); ++k) {
      const TNodeAttrib* attrib = display.AttribList[k];
      if (!attrib || attrib->NodeIndex < 1 || attrib->NodeIndex > display.Nodes.NoOfNodes()) continue;
      TNode* node = display.Node(attrib->NodeIndex);
      node->attrIndex = k;
      node->marker = MarkerOf(*attrib);
    }
  }
  if (display.UseGroupAttrib || display.UseSubtreeAttrib) ApplyAttrib(display, measurer);
  SetVSpace(display, display.Root);
}

void CompressSubtree(TTreeDisplay& display, int i) {
  if (i < 1 || i > display.Nodes.NoOfNodes()) return;
  TNode* node = display.Node(i);
  if (node == display.Root || node->hidden || node->compressed) return;
  node->compressed = true;
  if (node->isOTU) return;
  for (TNode* n : PreOrder(node)) {
    if (n != node) n->hidden = true;
  }
}

void ExpandSubtree(TTreeDisplay& display, int i) {
  if (i > display.Nodes.NoOfNodes()) return;
  TNode* top = i < 1 ? display.Root : display.Node(i);
  if (!top || top->isOTU) return;
  for (TNode* n : PreOrder(top)) {
    if (!n->isOTU) n->compressed = false;
    if (n != top) n->hidden = false;
  }
}
