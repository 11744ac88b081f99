#include "tree/view/TreeSetup.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "platform/core/Exceptions.h"

namespace {

bool AllFinite(TArrayView<const double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// The two root branches of an unrooted tree are one split. Its support goes
// on both, so that whichever of the two a writer dissolves (the one drawn
// first), the split keeps it; the reader leaves one of them without (the
// placeholder that resolves a three-way root), and swapping at the root
// moves that one to either side.
double StoredSupport(const TTreeDisplay& display, const TNode& node) {
  const TNode* root = display.Root;
  if (display.isRooted || node.anc != root || node.stats >= kNoStats || root->des1->isOTU || root->des2->isOTU)
    return node.stats;
  const TNode* sibling = SiblingOf(&node);
  return sibling->stats >= kNoStats ? sibling->stats : node.stats;
}

}  // namespace

void CheckTreeData(const TTreeData& tree, int n) {
  if (n < 2 || tree.NoOfOTUs() != n || !tree.IsValidTopology() || !AllFinite(tree.BLen()) ||
      !AllFinite(tree.SE()) || !AllFinite(tree.Stats())) {
    throw Exception(kInvalidTreeText);
  }
}

void LinkTree(TTreeDisplay& display, const TTreeData& tree) {
  CheckTreeData(tree, display.NoOfOTUs());
  const int n = display.NoOfOTUs();
  for (TNode& node : display.Nodes) {
    node.anc = nullptr;
    node.compressed = false;
    node.hidden = false;
    node.mark = false;
  }
  const auto records = tree.NodeArray();
  for (int k = 0; k < n - 1; ++k) {
    TNode* node = display.Node(n + k + 1);
    node->des1 = display.Node(records[k].des1 + 1);
    node->des2 = display.Node(records[k].des2 + 1);
    node->des1->anc = node;
    node->des2->anc = node;
    node->name.clear();
    node->charState.clear();
  }
  display.Root = nullptr;
  for (int k = 2 * n - 1; k > n; --k) {
    if (!display.Node(k)->anc) {
      display.Root = display.Node(k);
      break;
    }
  }
  const bool hasBLen = tree.isBLen();
  const bool hasSE = tree.isSE();
  for (TNode& node : display.Nodes) {
    if (&node == display.Root) continue;
    // Values are indexed 0..2n-3: a tree whose root is not its last node has
    // no entry for that node.
    const int j = node.index - 1;
    const bool stored = j < 2 * n - 2;
    if (hasBLen) node.blen = stored ? tree.BLen()[j] : 0;
    if (hasSE) node.SE = stored ? tree.SE()[j] : 0;
    node.stats = stored ? tree.Stats()[j] : 0;
  }
}

void StoreTree(const TTreeDisplay& display, TTreeData& tree) {
  const int n = display.NoOfOTUs();
  if (n < 2 || tree.NoOfOTUs() != n) return;
  auto records = tree.NodeArray();
  for (int k = 0; k < n - 1; ++k) {
    const TNode* node = display.Node(n + k + 1);
    records[k].des1 = static_cast<int16_t>(node->des1->index - 1);
    records[k].des2 = static_cast<int16_t>(node->des2->index - 1);
  }
  for (int k = 1; k <= 2 * n - 2; ++k) {
    const TNode* node = display.Node(k);
    if (tree.isBLen()) tree.BLen()[k - 1] = node->blen;
    if (tree.isSE()) tree.SE()[k - 1] = node->SE;
    tree.Stats()[k - 1] = StoredSupport(display, *node);
  }
}

void GetTreeData(const TTreeDisplay& display, TTreeData& tree, const TTreeFlags& flags) {
  const int n = display.NoOfOTUs();
  if (n < 2 || !display.Root || display.Root->index != 2 * n - 1) return;
  tree.SetNoOfOTUs(n);
  tree.SetIsBLen(flags.isBranchLength);
  tree.SetIsSE(!display.isLinearized && flags.isSE);
  tree.SetIsStats(flags.isStats);
  auto records = tree.NodeArray();
  for (int i = 0; i < n - 1; ++i) {
    const TNode* node = display.Node(n + 1 + i);
    records[i].des1 = static_cast<int16_t>(node->des1->index - 1);
    records[i].des2 = static_cast<int16_t>(node->des2->index - 1);
  }
  for (int k = 1; k <= 2 * n - 2; ++k) {
    const TNode* node = display.Node(k);
    if (tree.isBLen()) {
      tree.BLen()[k - 1] = display.isLinearized && node->anc ? node->anc->height - node->height : node->blen;
    }
    if (tree.isSE()) tree.SE()[k - 1] = node->SE;
    if (flags.isStats) tree.Stats()[k - 1] = StoredSupport(display, *node);
  }
}

TNode* FindRootRecord(const TTreeDisplay& display) {
  const int n = display.NoOfOTUs();
  for (int k = n + 1; k <= 2 * n - 1; ++k) {
    if (!display.Node(k)->anc) return display.Node(k);
  }
  return nullptr;
}

void MoveRootToEnd(TTreeDisplay& display) {
  TNode* R = display.Root;
  TNode* L = display.Node(display.Nodes.NoOfNodes());
  if (!R || R == L) return;
  auto other = [R, L](TNode* x) { return x == R ? L : x == L ? R : x; };
  TNode* const rLinks[3] = {R->anc, R->des1, R->des2};
  TNode* const lLinks[3] = {L->anc, L->des1, L->des2};
  R->anc = other(lLinks[0]);
  R->des1 = other(lLinks[1]);
  R->des2 = other(lLinks[2]);
  L->anc = other(rLinks[0]);
  L->des1 = other(rLinks[1]);
  L->des2 = other(rLinks[2]);
  std::swap(R->Branch(), L->Branch());
  // Neighbours outside the pair now point at the record in their place.
  for (TNode* moved : {R, L}) {
    TNode* formerOccupant = moved == R ? L : R;
    if (TNode* parent = moved->anc; parent && parent != R && parent != L) {
      if (parent->des1 == formerOccupant)
        parent->des1 = moved;
      else if (parent->des2 == formerOccupant)
        parent->des2 = moved;
    }
    for (TNode* child : {moved->des1, moved->des2}) {
      if (child && child != R && child != L) child->anc = moved;
    }
  }
  display.Root = L;
}

double SumBranchLengths(const TTreeDisplay& display) {
  double sum = 0;
  const int last = display.Nodes.NoOfNodes() - 1;
  for (int k = 1; k <= last; ++k) sum += display.Node(k)->blen;
  return sum;
}

int StatsPercent(double stats, double total) {
  if (!(stats >= kNoStats)) return -1;
  const double value = total != 0 ? stats * 100 / total + 1e-12 : stats + 1e-12;
  if (!(value > -1)) return -1;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(std::trunc(value));
}

void SetStatsPercents(TTreeDisplay& display, double total, bool skipRoot) {
  for (TNode& node : display.Nodes) {
    if (skipRoot && &node == display.Root) continue;
    node.statsPercent = StatsPercent(node.stats, total);
  }
}

void SetVSpace(TTreeDisplay& display, TNode* node) {
  if (!display.TreePresent || !node) return;
  for (TNode* n : PostOrder(node, WalkInto::NotIntoCompressed)) {
    if (n->isOTU)
      n->vspace = display.PixelsPerOTU4;
    else if (n->compressed)
      n->vspace = std::max<Coord>(Coord{display.PixelsPerGroupMember4} * n->size, display.PixelsPerOTU4);
    else
      n->vspace = n->des1->vspace + n->des2->vspace;
  }
}

namespace {

void HeightsFromLinearized(TTreeDisplay& display, bool hasSE) {
  const int n = display.NoOfOTUs();
  TTreeData tree(n, true, hasSE, false);
  StoreTree(display, tree);
  display.LinearizeFunc(tree);
  // The longest root-to-taxon path in the returned lengths.
  std::vector<double> depth(2 * n, 0.0);
  double longest = 0;
  for (TNode* node : PreOrder(display.Root)) {
    if (node == display.Root) continue;
    depth[node->index] = depth[node->anc->index] + tree.GetBLen(node->index - 1);
    if (node->isOTU) longest = std::max(longest, depth[node->index]);
  }
  display.Root->height = longest;
  for (TNode* node : PreOrder(display.Root)) {
    if (node != display.Root) node->height = node->anc->height - tree.GetBLen(node->index - 1);
  }
}

void HeightsFromMatrix(TTreeDisplay& display) {
  // Taxa of a subtree are one run of the walk order, so each internal node
  // sums the block between its two runs.
  const TDistanceMatrix& d = *display.DistanceMatrix;
  std::vector<int> order;
  std::vector<std::pair<int, int>> run(display.Nodes.NoOfNodes() + 1);
  for (TNode* node : PostOrder(display.Root)) {
    if (node->isOTU) {
      run[node->index] = {static_cast<int>(order.size()), static_cast<int>(order.size()) + 1};
      order.push_back(node->index - 1);
    } else {
      run[node->index] = {run[node->des1->index].first, run[node->des2->index].second};
    }
  }
  for (TNode* node : PostOrder(display.Root)) {
    if (node->isOTU) {
      node->height = 0;
      continue;
    }
    const auto [a0, a1] = run[node->des1->index];
    const auto [b0, b1] = run[node->des2->index];
    double sum = 0;
    for (int i = a0; i < a1; ++i) {
      for (int j = b0; j < b1; ++j) {
        const int a = order[i];
        const int b = order[j];
        sum += a >= b ? d[a][b] : d[b][a];
      }
    }
    node->height = sum / (a1 - a0) / (b1 - b0) / 2;
  }
}

void HeightsFromLengths(TTreeDisplay& display) {
  for (TNode* node : PostOrder(display.Root)) {
    if (node->isOTU) {
      node->height = node->meanDepth = 0;
      continue;
    }
    const TNode* L = node->des1;
    const TNode* R = node->des2;
    node->meanDepth = ((L->meanDepth + L->blen) * L->size + (R->meanDepth + R->blen) * R->size) / node->size;
    node->height = (L->meanDepth + L->blen + R->meanDepth + R->blen) / 2;
  }
}

}  // namespace

void SetNodeHeights(TTreeDisplay& display, bool hasSE) {
  if (!display.TreePresent || !display.Root) return;
  if (display.LinearizeFunc && display.isLinearized)
    HeightsFromLinearized(display, hasSE);
  else if (display.DistanceMatrix && IsLowerTriangular(*display.DistanceMatrix, display.NoOfOTUs()))
    HeightsFromMatrix(display);
  else
    HeightsFromLengths(display);
}

double LongestPath(const TTreeDisplay& display, bool isBranchLength) {
  if (display.ForceLinearized && display.Root && display.Root->height > 1e-13) return 2 * display.Root->height;
  if (!isBranchLength) return 0;
  double longest = 0;
  for (int k = 1; k <= display.NoOfOTUs(); ++k) longest = std::max(longest, display.Node(k)->pathUp);
  return longest;
}

int BLenDecimalsFor(double m) {
  if (!(m > 0) || !std::isfinite(m)) return 0;
  const double e = std::floor(std::log10(m));
  if (e > 0) return 0;
  return static_cast<int>(1 - e);
}

TNode* FindMidpointNode(const TTreeDisplay& display) {
  if (!display.Root || display.Root->isOTU) return display.Root;
  TNode* result = display.Root->des1;
  for (TNode& node : display.Nodes) {
    if (&node == display.Root) continue;
    if (node.blen - std::abs(node.pathUp - node.pathDown) >= 0) result = &node;
  }
  return result;
}
