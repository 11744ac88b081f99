#pragma once
// Helpers for the tree box's tests: a box that measures text with the
// deterministic measurer, and lookups of what it shows.

#include <memory>
#include <string>

#include "platform/graphics/Picture.h"
#include "platform/graphics/TextMeasurer.h"
#include "tree/view/NTreeBox.h"
#include "tree/view/TreeViewTesting.h"

namespace treeview_testing {

class TestBox : public TTreeBox {
 public:
  TestBox() { SetTextMeasurer(std::make_unique<FixedTextMeasurer>()); }
  // The lowest node holding the named taxa (comma-separated).
  TNode* operator[](const std::string& names) const { return Clade(Display(), names); }
};

// statsPercent of the branch that splits the named taxa (comma-separated)
// from the others, read on whichever side the shown tree has a node for;
// -2 when the shown tree has no such branch.
int SplitPercent(const TTreeDisplay& display, const std::string& names);

// The calls recorded in a picture, one a line (see TraceContext.h).
std::string PictureText(const Picture& picture);

}  // namespace treeview_testing
