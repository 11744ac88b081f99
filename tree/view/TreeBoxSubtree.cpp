// TTreeBox::GetSubtree: the focused subtree as a tree of its own in another
// tree box.

#include <algorithm>
#include <map>

#include "tree/view/NTreeBox.h"
#include "tree/view/TreeAttributes.h"

void TTreeBox::GetSubtree(TTreeBox& target) {
  TTreeDisplay& d = Display();
  if ((!NodeFocused() && !BranchFocused()) || &target == this || !d.Root) return;
  if (FocusedIndex() < 1 || FocusedIndex() > d.Nodes.NoOfNodes()) return;
  TNode* f = d.Node(FocusedIndex());
  // A taxon has no subtree to copy.
  if (f == d.Root || f->isOTU) return;
  StoreTree(treeIndex_);

  int n = 0;
  for (const TNode* node : PreOrder(f)) n += node->isOTU ? 1 : 0;
  const bool withBLen = GetisBranchLength();
  const bool withSE = GetisSE();
  auto list = std::make_unique<TTreeList>();
  list->isRooted = true;
  list->StatsName = StatsName();
  list->MaxStats = MaxStats();
  auto tree = std::make_unique<TTreeData>(n, withBLen, withSE, true);

  // New 0-based tree-model numbers of the copied nodes, and the old taxa.
  std::map<const TNode*, int> number;
  std::vector<int> sourceTaxon;
  int t = 0;
  int r = 0;
  auto copyValues = [&](const TNode* node, int j) {
    if (withBLen) tree->BLen()[j] = node->blen;
    if (withSE) tree->SE()[j] = node->SE;
    tree->Stats()[j] = node->stats;
  };
  for (TNode* side : {f->des1, f->des2}) {
    for (const TNode* node : PostOrder(side)) {
      if (node->isOTU) {
        list->SetOTUName(t, node->name);
        sourceTaxon.push_back(node->index - 1);
        copyValues(node, t);
        number[node] = t++;
      } else {
        tree->NodeArray()[r] = {static_cast<int16_t>(number[node->des1]), static_cast<int16_t>(number[node->des2])};
        copyValues(node, n + r);
        number[node] = n + r++;
      }
    }
  }
  tree->NodeArray()[n - 2] = {static_cast<int16_t>(number[f->des1]), static_cast<int16_t>(number[f->des2])};
  number[f] = 2 * n - 2;
  list->Add(std::move(tree));

  if (d.DistanceMatrix) {
    std::unique_ptr<TDistanceMatrix> matrix = CreateDistanceMatrix(n, false);
    for (int a = 0; a < n; ++a) {
      for (int b = 0; b <= a; ++b) {
        const int sa = std::max(sourceTaxon[a], sourceTaxon[b]);
        const int sb = std::min(sourceTaxon[a], sourceTaxon[b]);
        (*matrix)[a][b] = (*d.DistanceMatrix)[sa][sb];
      }
    }
    list->DistanceMatrix = matrix.release();
  }

  if (!target.SetTreeList(std::move(list), false)) return;
  TTreeDisplay& td = target.Display();
  SortByMinOrder(td.Root);

  TStringList lines;
  for (int i = 1; i <= NoOfOTUs(); ++i) {
    const TNode* taxon = d.Node(i);
    if (taxon->groupIndex < 0 || taxon->groupIndex >= static_cast<int>(d.GroupAttrib.size())) continue;
    for (int k = 1; k <= target.NoOfOTUs(); ++k) {
      if (td.Node(k)->name == taxon->name) {
        lines.Add(taxon->name + "=" + d.GroupAttrib[taxon->groupIndex]->GroupName);
        break;
      }
    }
  }
  if (!lines.Empty()) {
    target.SetGroupInfo(&lines);
    for (auto& group : td.GroupAttrib) {
      for (const auto& own : d.GroupAttrib) {
        if (own->GroupName == group->GroupName) {
          group->Assign(*own);
          break;
        }
      }
    }
  }

  target.AssignTreeAttrib(*this);
  td.WholeTree().Assign(GetNodeAttrib(d, *f));

  for (TNode* node : PreOrder(f)) {
    if (node == f) continue;
    const int mapped = number[node] + 1;  // view numbering: tree-model node + 1
    if (HasOwnAttrib(*node)) {
      TNodeAttrib copy;
      copy.Assign(GetNodeAttrib(d, *node));
      target.SetSubtreeAttrib(copy, mapped);
    }
    if (node->isOTU) td.Node(mapped)->marker = node->marker;
  }
  AssignAttributes(td, target.Measurer());
}
