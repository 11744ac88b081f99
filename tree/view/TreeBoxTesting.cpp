#include "tree/view/TreeBoxTesting.h"

#include <algorithm>
#include <set>
#include <sstream>

#include "platform/graphics/TraceContext.h"

namespace treeview_testing {

int SplitPercent(const TTreeDisplay& display, const std::string& names) {
  std::set<std::string> wanted;
  std::stringstream in(names);
  for (std::string name; std::getline(in, name, ',');) wanted.insert(name);
  std::set<std::string> all;
  for (int i = 1; i <= display.NoOfOTUs(); ++i) all.insert(display.Node(i)->name);
  std::set<std::string> other;
  std::set_difference(all.begin(), all.end(), wanted.begin(), wanted.end(), std::inserter(other, other.end()));
  for (TNode& node : display.Nodes) {
    if (&node == display.Root || node.isOTU) continue;
    std::set<std::string> below;
    for (const TNode* n : PreOrder(&node)) {
      if (n->isOTU) below.insert(n->name);
    }
    if (below == wanted || below == other) return node.statsPercent;
  }
  return -2;
}

std::string PictureText(const Picture& picture) {
  TraceContext trace;
  picture.Replay(trace);
  return trace.Text();
}

}  // namespace treeview_testing
