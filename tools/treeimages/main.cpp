// treeimages NEWICK-FILE [OUTPUT-DIRECTORY] [--decorate]
// Loads the first tree of a Newick file into a tree box (rooted at the
// midpoint when the file leaves it unrooted) and writes one PNG per style,
// with support values, branch lengths (where the style shows them) and the
// scale: tree-rectangular.png, tree-curved.png, tree-straight.png,
// tree-radiation.png and tree-circle.png. With --decorate the first root
// subtree gets a red caption with a bracket, the last clade of the second
// one is compressed into a captioned group, and the first taxa get markers.
// Developer tool, not part of the program.

#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "platform/core/Exceptions.h"
#include "platform/graphics/PictureExport.h"
#include "tree/model/NTreeList.h"
#include "tree/view/NTreeBox.h"
#include "tree/view/TreeAttributes.h"

namespace {

struct Style {
  const char* file;
  TTreeStyle tree;
  TBranchStyle branches;
};

constexpr Style kStyles[] = {
    {"tree-rectangular.png", TTreeStyle::tsTraditional, TBranchStyle::bsRectangular},
    {"tree-curved.png", TTreeStyle::tsTraditional, TBranchStyle::bsCurved},
    {"tree-straight.png", TTreeStyle::tsTraditional, TBranchStyle::bsStraight},
    {"tree-radiation.png", TTreeStyle::tsRadiation, TBranchStyle::bsRectangular},
    {"tree-circle.png", TTreeStyle::tsCircle, TBranchStyle::bsRectangular},
};

// Attributes that show captions, brackets, a compressed group and markers.
void Decorate(TTreeBox& box, TNodeAttrib& caption, TNodeAttrib& group) {
  TTreeDisplay& d = box.Display();
  caption.Caption = "First clade";
  caption.CaptionFont.Color = clRed;
  caption.CaptionPen.Color = clRed;
  caption.BranchPen.Color = clRed;
  caption.NodeIndex = d.Root->des1->index;
  const TNode* last = d.Root->des2;
  while (!last->des2->IsTip()) last = last->des2;
  group.Caption = "Compressed group";
  group.Compressed = true;
  group.BranchPen.Color = clBlue;
  group.Brush.Style = TBrushStyle::bsBDiagonal;
  group.MarkerShape = 10;
  group.MarkerColor = clBlue;
  group.NodeIndex = last->index;
  d.AttribList.push_back(&caption);
  d.AttribList.push_back(&group);
  for (int k = 1; k <= std::min(10, box.NoOfOTUs()); ++k)
    d.Node(k)->marker = {static_cast<std::uint8_t>(k), k % 2 ? clGreen : clPurple};
  AssignAttributes(d, box.Measurer());
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  if (argc < 2) {
    std::cerr << "usage: treeimages NEWICK-FILE [OUTPUT-DIRECTORY]\n";
    return 2;
  }
  const std::string dir = argc > 2 && argv[2][0] != '-' ? argv[2] : ".";
  const bool decorate = std::string(argv[argc - 1]) == "--decorate";
  try {
    auto list = std::make_unique<TTreeList>();
    if (!list->ImportFromNewickFile(argv[1], nullptr)) {
      std::cerr << "treeimages: no tree read from " << argv[1] << "\n";
      return 1;
    }
    TNodeAttrib caption, group;  // lent to the box, so they outlive it
    TTreeBox box;
    if (!box.SetTreeList(std::move(list), true)) {
      std::cerr << "treeimages: the tree cannot be shown\n";
      return 1;
    }
    if (decorate) Decorate(box, caption, group);
    for (const Style& style : kStyles) {
      box.SetTreeStyle(style.tree);
      box.SetBranchStyle(style.branches);
      box.SetShowStats(true);
      box.SetShowBLen(true);
      box.SetShowScale(true);
      box.RefreshTree();
      const std::string path = dir + "/" + style.file;
      SavePicturePng(box.TreePicture(), path);
      std::cout << "wrote " << path << " (" << box.PictureWidth() << " x " << box.PictureHeight() << ")\n";
    }
  } catch (const Exception& e) {
    std::cerr << "treeimages: " << e.Message() << "\n";
    return 1;
  }
  return 0;
}
