#include "tree/view/TreeNameEditor.h"

#include <algorithm>
#include <cstdlib>

#include "platform/graphics/TextMeasurer.h"
#include "tree/view/TreeAttributes.h"

TNameEditorPlace NameEditorPlace(const TTreeDisplay& d, int index, const TextMeasurer& measurer, bool showCharState,
                                 TColor emphasisColor, Coord controlWidth) {
  const TNode& node = *d.Node(index);
  const TNodeAttrib& attrib = GetNodeAttrib(d, node);
  TNameEditorPlace place;
  place.Font = attrib.NameFont;
  if (node.emphasized) place.Font.Color = emphasisColor;
  place.Text = node.name.empty() ? std::string(" ") : node.name;

  const Coord h = place.Font.Height;
  const bool group = node.IsGroup() && node.des1 && node.des2;
  const Coord x = group ? node.des1->position.x : node.position.x;
  Coord left = measurer.TextWidth(place.Font, " ") + (x + d.Origin.x) / 4 + GetBranchPenWidth(d, node) / 2;
  if (d.WholeTree().ShowTaxonMarker && GetShownMarker(d, node).Shape != 0) left += std::abs(5 * h) / 4;
  if (showCharState)
    left += measurer.TextWidth(d.CharStateFont, node.charState) + std::abs(d.CharStateFont.Height) / 2;
  place.Left = left;
  place.Top = group ? (node.des1->position.y + node.des2->position.y + 2 * d.Origin.y) / 8 - std::abs(h / 2)
                    : (node.position.y + d.Origin.y) / 4 - std::abs(h / 2);
  place.Width = std::min((node.nameWidth + node.nameHeight) / 4, controlWidth - left);
  return place;
}

Coord WidenedNameEditorWidth(Coord left, Coord width, Coord textWidth, Coord controlWidth) {
  if (width >= textWidth) return width;
  return std::max(width, std::min(textWidth, controlWidth - left));
}
