#include "tree/view/TreeViewTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <sstream>
#include <vector>

#include "platform/core/NumberFormat.h"
#include "tree/model/RandomTree.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeSetup.h"

namespace treeview_testing {

std::unique_ptr<TTreeList> ListFromNewick(const std::string& text) {
  auto list = std::make_unique<TTreeList>();
  EXPECT_TRUE(list->ImportFromNewick(text, nullptr)) << text;
  return list;
}

std::unique_ptr<TTreeList> LadderList(int n) {
  auto list = std::make_unique<TTreeList>();
  auto tree = std::make_unique<TTreeData>(n, true, false, true);
  for (int i = 0; i < n; ++i) list->SetOTUName(i, "T" + IntToStr(i + 1));
  tree->NodeArray()[0] = {0, 1};
  for (int r = 1; r < n - 1; ++r) tree->NodeArray()[r] = {static_cast<int16_t>(n + r - 1), static_cast<int16_t>(r + 1)};
  for (int k = 0; k < 2 * n - 2; ++k) {
    tree->BLen()[k] = k < n ? 1 + k * 1e-6 : 1;
    tree->Stats()[k] = 50;
  }
  list->MaxStats = 100;
  list->Add(std::move(tree));
  return list;
}

std::unique_ptr<TTreeList> RandomList(int n, unsigned seed) {
  std::mt19937 random(seed);
  return RandomTreeList(n, random, "Taxon_");
}

void LoadDisplay(TTreeDisplay& d, const TTreeList& list) {
  const TTreeData& tree = list.Items(0);
  const int n = tree.NoOfOTUs();
  d.Nodes.Build(n);
  for (int i = 0; i < n; ++i) d.Node(i + 1)->name = d.Node(i + 1)->savedName = list.OTUName(i);
  LinkTree(d, tree);
  if (d.Root != d.Node(2 * n - 1)) MoveRootToEnd(d);
  d.TreePresent = true;
  d.isRooted = list.isRooted;
  d.isStats = list.isStats();
  d.isSE = list.isSE();
  d.MaxStats = list.MaxStats;
  d.SBL = SumBranchLengths(d);
  SetStatsPercents(d, d.MaxStats > 0 ? d.MaxStats : 0, true);
  if (d.SBL > 1e-14) SetLongestPaths(d.Root);
  SetClusterSizeAndOrder(d.Root);
  SetNodeHeights(d, false);
  static const FixedTextMeasurer measurer;
  AssignAttributes(d, measurer);
}

namespace {

std::string Number(double v) { return FloatToStrF(v, TFloatFormat::ffGeneral, 6, 0, '.'); }

}  // namespace

std::string ShownNewick(const TTreeDisplay& d, bool lengths, bool support) {
  std::function<std::string(const TNode*)> text = [&](const TNode* node) -> std::string {
    std::string s = node->isOTU ? node->name : "(" + text(node->des1) + "," + text(node->des2) + ")";
    if (node != d.Root) {
      if (support && !node->isOTU && node->statsPercent != -1) s += IntToStr(node->statsPercent);
      if (lengths) s += ":" + Number(node->blen);
    }
    return s;
  };
  return d.Root ? text(d.Root) : std::string();
}

TNode* Taxon(const TTreeDisplay& d, const std::string& name) {
  for (int k = 1; k <= d.NoOfOTUs(); ++k) {
    if (d.Node(k)->name == name) return d.Node(k);
  }
  return nullptr;
}

TNode* Clade(const TTreeDisplay& d, const std::string& names) {
  std::vector<TNode*> taxa;
  std::stringstream in(names);
  for (std::string name; std::getline(in, name, ',');) taxa.push_back(Taxon(d, name));
  for (TNode* candidate = taxa.front(); candidate; candidate = candidate->anc) {
    std::vector<TNode*> below = PreOrder(candidate);
    if (std::all_of(taxa.begin(), taxa.end(),
                    [&](TNode* t) { return std::find(below.begin(), below.end(), t) != below.end(); }))
      return candidate;
  }
  return nullptr;
}

SplitMap Splits(const TTreeData& tree, const TTreeList& names) {
  const int n = tree.NoOfOTUs();
  std::vector<std::vector<bool>> below(2 * n - 1, std::vector<bool>(n, false));
  std::vector<int> parent(2 * n - 1, -1);
  for (int i = 0; i < n; ++i) below[i][i] = true;
  for (int r = 0; r < n - 1; ++r) {
    const TNodeRecord rec = tree.GetNode(r);
    parent[rec.des1] = parent[rec.des2] = n + r;
  }
  // Records may list a child after its parent, so fill by depth-first order.
  std::function<void(int)> fill = [&](int node) {
    if (node < n) return;
    const TNodeRecord rec = tree.GetNode(node - n);
    fill(rec.des1);
    fill(rec.des2);
    for (int t = 0; t < n; ++t) below[node][t] = below[rec.des1][t] || below[rec.des2][t];
  };
  int root = 0;
  for (int k = n; k < 2 * n - 1; ++k) {
    if (parent[k] < 0) root = k;
  }
  fill(root);
  SplitMap splits;
  for (int k = 0; k < 2 * n - 1; ++k) {
    if (k == root) continue;
    std::vector<std::string> side;
    const bool flip = below[k][0];
    for (int t = 0; t < n; ++t) {
      if (below[k][t] != flip) side.push_back(names.OTUName(t));
    }
    std::sort(side.begin(), side.end());
    std::string key;
    for (const auto& s : side) key += (key.empty() ? "" : ",") + s;
    const double length = tree.GetBLen(k);
    const double support = tree.GetStats(k);
    auto it = splits.find(key);
    if (it == splits.end()) {
      splits[key] = {length, support};
    } else {  // the other root branch
      it->second.first += length;
      if (it->second.second < kNoStats) it->second.second = support;
    }
  }
  for (auto& [key, value] : splits) value.first = std::round(value.first * 1e9) / 1e9;
  return splits;
}

std::string Positions(const TTreeDisplay& d, bool taxaOnly) {
  std::string s;
  for (const TNode& node : d.Nodes) {
    if (taxaOnly && !node.isOTU) continue;
    if (!s.empty()) s += " ";
    s += (node.isOTU ? node.name : IntToStr(node.index)) + "=" + IntToStr(node.position.x) + "," +
         IntToStr(node.position.y);
  }
  return s;
}

Placed::Placed(const std::string& newick, TTreeStyle style, TBranchStyle branches) : list(ListFromNewick(newick)) {
  LoadDisplay(d, *list);
  d.TreeStyle = style;
  d.BranchStyle = branches;
}

}  // namespace treeview_testing
