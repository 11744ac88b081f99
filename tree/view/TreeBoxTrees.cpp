// TTreeBox: preparing, loading, storing and switching the trees of its
// source, and the consensus tree.

#include <algorithm>
#include <span>
#include <utility>

#include "tree/view/NTreeBox.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeLayout.h"
#include "tree/view/TreeSetup.h"

TTreeData* TTreeBox::Tree(int i) const {
  if (i == 0) return consensusTree_.get();
  if (!treeList_ || i < 1 || i > noOfTrees_ || i > treeList_->NoOfTrees()) return nullptr;
  return &treeList_->Items(i - 1);
}

void TTreeBox::CopyTopologyTree(int i) {
  TTreeData* tree = Tree(i);
  if (!tree || !partitionList_) return;
  std::unique_ptr<TTreeData> topology = partitionList_->GetTopologyTree(i - 1);
  if (!topology) throw Exception(kInvalidTreeText);
  // The tree keeps the arrays every tree of the list has.
  const bool blen = tree->isBLen();
  const bool se = tree->isSE();
  tree->Assign(*topology);
  tree->SetIsBLen(blen);
  tree->SetIsSE(se);
  tree->Freq = partitionList_->TopologyFreq(i - 1);
}

void TTreeBox::PrepareTree(int i) {
  TTreeData* tree = Tree(i);
  if (!tree) return;
  if (i > 0 && !partitionList_) {
    if (StatsFunc) StatsFunc(*tree);
    if (valueFunc_) tree->Value = valueFunc_(*tree);
    if (value2Func_) tree->Value2 = value2Func_(*tree);
  } else if (i > 0) {
    CopyTopologyTree(i);
    if (BLenFunc) tree->SetIsBLen(true);
    if (valueFunc_)
      tree->Value = valueFunc_(*tree);
    else if (!partitionList_->ValueName.empty())
      tree->Value = partitionList_->TopologyValue(i - 1);
    if (value2Func_)
      tree->Value2 = value2Func_(*tree);
    else if (!partitionList_->Value2Name.empty())
      tree->Value2 = partitionList_->TopologyValue2(i - 1);
  } else {
    BuildConsensus();
    if (BLenFunc) tree->SetIsBLen(true);
    if (SEFunc) tree->SetIsSE(true);
  }
  treePrepared_[i] = true;
}

void TTreeBox::BuildConsensus() {
  if (!consensusTree_) return;
  const int n = NoOfOTUs();
  std::unique_ptr<TPartitionList> temporary;
  TPartitionList* tally = partitionList_.get();
  if (!tally) {
    // Splits only: the tally keeps no topology.
    temporary = std::make_unique<TPartitionList>(n, 0, 0);
    for (int i = 0; i < treeList_->NoOfTrees(); ++i) temporary->AddTree(treeList_->Items(i), false);
    tally = temporary.get();
  }
  TTreeData& c = *consensusTree_;
  tally->BuildConsensusTree(c);
  if (valueFunc_) {
    c.Value = valueFunc_(c);
    consensusHasValue_ = true;
  } else if (GetisValue()) {
    c.Value = 0;
    consensusHasValue_ = false;
  }
  if (value2Func_) {
    c.Value2 = value2Func_(c);
    consensusHasValue2_ = true;
  } else if (GetisValue2()) {
    c.Value2 = 0;
    consensusHasValue2_ = false;
  }
  const auto records = std::as_const(c).NodeArray();
  const int index = tally->IndexOfTree(std::span<const TNodeRecord>(records.begin(), records.Count()));
  c.Freq = tally->TopologyFreq(index);
  // Join k's support belongs to internal node N+k; taxa carry none.
  auto stats = c.Stats();
  for (int k = 0; k <= n - 3; ++k) stats[n + k] = stats[k];
  for (int k = 0; k < n; ++k) stats[k] = 0;
}

void TTreeBox::LoadTree(int i) {
  TTreeData* tree = Tree(i);
  if (!tree) return;
  TTreeDisplay& d = Display();
  if (!d.ShowTopologyOnly && BLenFunc && tree->SBL() < 1e-12) {
    tree->SetIsBLen(true);
    BLenFunc(*tree);
    if (SEFunc) {
      tree->SetIsSE(true);
      SEFunc(*tree);
    }
    treeInitialised_[i] = false;  // rooted anew with its new lengths
  }
  d.Cladogram = !tree->isBLen() || ShowTopologyOnly() || d.Condensed;
  TreeValue = tree->Value;
  TreeValue2 = tree->Value2;
  LinkTree(d, *tree);
  if (d.Root != d.Node(d.Nodes.NoOfNodes())) MoveRootToEnd(d);
  d.TreePresent = true;
}

void TTreeBox::StoreTree(int i) {
  if (TTreeData* tree = Tree(i); tree && Display().Root) ::StoreTree(Display(), *tree);
}

void TTreeBox::SetOutgroupMarks(bool useOutgroup) {
  TTreeDisplay& d = Display();
  for (TNode& node : d.Nodes) node.mark = useOutgroup && node.outgroup;
  if (useOutgroup || !d.Root || d.Root->isOTU) return;
  for (TNode* node : PreOrder(d.Root->des2)) {
    if (node->isOTU) node->mark = true;
  }
}

void TTreeBox::ResetClusters() {
  TTreeDisplay& d = Display();
  SetClusterSizeAndOrder(d.Root);
  SetVSpace(d, d.Root);
}

void TTreeBox::EnterConsensus() {
  TTreeDisplay& d = Display();
  savedCondensed_ = d.Condensed;
  savedTopologyOnly_ = ShowTopologyOnly();
  savedRooted_ = d.isRooted;
  d.Condensed = true;
  d.ShowTopologyOnly = true;
  d.isRooted = false;
  savedCondenseValue_ = d.CondenseValue;
  d.CondenseValue = consensusValue_;
}

void TTreeBox::LeaveConsensus() {
  TTreeDisplay& d = Display();
  SetShowCondensed(savedCondensed_);
  // The control's own setter: the box's would switch trees again from here.
  TTreeCustomControl::SetShowTopologyOnly(savedTopologyOnly_);
  d.isRooted = savedRooted_;
  d.CondenseValue = savedCondenseValue_;
}

void TTreeBox::SetTreeIndex(int value) {
  if (value < 0 || value > noOfTrees_ || (value == 0 && !consensusTree_)) return;
  TTreeDisplay& d = Display();
  if (NodeFocused() || BranchFocused()) ClearFocus();
  StoreTree(treeIndex_);
  if (!treePrepared_[value]) PrepareTree(value);
  if (treeIndex_ == 0 && value > 0)
    LeaveConsensus();
  else if (treeIndex_ > 0 && value == 0)
    EnterConsensus();
  LoadTree(value);
  treeIndex_ = value;
  bool outgroup = false;
  for (const TNode& node : d.Nodes) outgroup = outgroup || (node.isOTU && node.outgroup);
  const bool initialised = treeInitialised_[value];
  if (!initialised) SetOutgroupMarks(outgroup);
  SetStatsValues();
  if (GetisBranchLength()) SetLongestPaths(d.Root);
  ResetClusters();
  LoadTreeAttributes();
  AssignAttributes(d, Measurer());
  if (!initialised) {
    if (outgroup && !d.isRooted) {
      TNode* node = FindOutgroupNode(d.Root);
      if (node->anc != d.Root) {
        MoveRoot(node, true);
        ResetClusters();
      }
    } else if (value > 0) {
      if (!d.NoAutoRoot && !d.isRooted && GetisBranchLength()) {
        MoveRoot(FindMidpointNode(d), true);
        ResetClusters();
      }
    } else if (!d.isRooted) {
      if (GetisBranchLength())
        MoveRoot(FindMidpointNode(d), true);
      else
        MoveRoot(FindOutgroupNode(d.Root), false);
      ResetClusters();
    }
    LoadTreeAttributes();
    AssignAttributes(d, Measurer());
  }
  SetNodeHeights(d, GetisSE());
  treeInitialised_[value] = treePrepared_[value];
  if (ancStateProc_) FetchAncStates();
}

double TTreeBox::TreeSBL(int i) {
  TTreeData* tree = Tree(i);
  if (!tree || i > noOfTrees_) return 0;
  if (!treePrepared_[i]) PrepareTree(i);
  return tree->SBL();
}
