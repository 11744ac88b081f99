#pragma once
// The searches the layouts make from every node down its first or second
// descendants, answered in one step each: fed children before parents, a
// node's search ends where its child's ended when the child is at the
// node's own level. A pass over a 16,383-level caterpillar so stays linear
// in the number of nodes.

#include <vector>

#include "tree/view/TreeDisplay.h"

class TDownSearch {
 public:
  explicit TDownSearch(const TTreeDisplay& display)
      : along1_(display.Nodes.NoOfNodes() + 1),
        along2_(display.Nodes.NoOfNodes() + 1),
        first_(display.Nodes.NoOfNodes() + 1),
        last_(display.Nodes.NoOfNodes() + 1) {}

  // Adds `node` after its descendants. `stays(child, node)` says whether a
  // search from `node` steps on through its internal, not compressed
  // `child`; the level it compares (x, distance from the centre) must never
  // drop from a node to its descendants, so that a search from the node
  // and one from a child at the node's level go on through the same nodes.
  template <class Stays>
  void Add(const TNode* node, Stays stays) {
    const int k = node->index;
    if (node->IsTip()) {
      along1_[k] = along2_[k] = first_[k] = last_[k] = node;
      return;
    }
    const TNode* q = node->des1;
    along1_[k] = !q->IsTip() && stays(q, node) ? along1_[q->index] : q;
    const TNode* r = node->des2;
    along2_[k] = !r->IsTip() && stays(r, node) ? along2_[r->index] : r;
    first_[k] = first_[node->des1->index];
    last_[k] = last_[node->des2->index];
  }

  // From the node's des1 (des2) on along des1 (des2) links, the first node
  // reached that is a tip or where the search does not stay.
  const TNode* Along1(const TNode* node) const { return along1_[node->index]; }
  const TNode* Along2(const TNode* node) const { return along2_[node->index]; }
  // The tip reached from the node along des1 (des2) links: the subtree's
  // first (last) row. A tip is its own.
  const TNode* FirstTip(const TNode* node) const { return first_[node->index]; }
  const TNode* LastTip(const TNode* node) const { return last_[node->index]; }

 private:
  std::vector<const TNode*> along1_;
  std::vector<const TNode*> along2_;
  std::vector<const TNode*> first_;
  std::vector<const TNode*> last_;
};
