#include "tree/view/NTreeBox.h"

#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "platform/core/NumberFormat.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeLayout.h"
#include "tree/view/TreeSetup.h"

namespace {

bool HasFraction(double v) { return v != std::trunc(v); }

}  // namespace

TTreeBox::TTreeBox(QWidget* parent) : TTreeCustomControl(parent) {}

TTreeBox::~TTreeBox() = default;

TTreeData* TTreeBox::Tree(int i) const {
  if (!treeList_ || i < 1 || i > noOfTrees_ || i > treeList_->NoOfTrees()) return nullptr;
  return &treeList_->Items(i - 1);
}

bool TTreeBox::SetTreeList(std::unique_ptr<TTreeList>&& list, bool AutoRoot) {
  if (!list || list->NoOfTrees() == 0) return false;
  if (noOfTrees_ > 0) FreeNodes();
  TTreeDisplay& d = Display();
  SourceTag = "TreeList";
  d.isSE = list->isSE();
  d.isStats = list->isStats();
  d.isRooted = list->isRooted;
  d.NoAutoRoot = !AutoRoot;
  isValue = !list->ValueName.empty();
  if (isValue) ValueName = list->ValueName;
  isValue2 = !list->Value2Name.empty();
  if (isValue2) Value2Name = list->Value2Name;
  freqName_ = list->FreqName;
  if (!freqName_.empty()) {
    freqDecimals_ = 0;
    for (int i = 0; i < list->NoOfTrees(); ++i) {
      if (HasFraction(list->Items(i).Freq)) freqDecimals_ = 8;
    }
  }
  StatsNameField = list->StatsName;
  d.MaxStats = list->MaxStats;
  noOfTrees_ = list->NoOfTrees();
  const int n = list->NoOfOTUs();
  treeList_ = std::move(list);  // from here on the list is ours, whatever happens
  if (BLenFunc) {
    treeList_->SetIsBLen(true);
    d.ShowTopologyOnly = true;  // lengths are computed when topology-only display is switched off
  }
  if (SEFunc) treeList_->SetIsSE(true);
  if (StatsFunc) treeList_->SetIsStats(true);
  try {
    BuildNodes(n);
    for (int i = 0; i < n; ++i) {
      TNode* node = d.Node(i + 1);
      node->name = node->savedName = treeList_->OTUName(i);
      node->nameTag.clear();
    }
    auto decimals = [this](bool present, const TBranchInfoFunc& func, double TTreeData::*value) {
      if (!present) return 0;
      if (func) return 8;
      for (int i = 0; i < noOfTrees_; ++i) {
        if (HasFraction(treeList_->Items(i).*value)) return 8;
      }
      return 0;
    };
    if (isValue) ValueDecimals = decimals(true, ValueFunc, &TTreeData::Value);
    if (isValue2) Value2Decimals = decimals(true, Value2Func, &TTreeData::Value2);
    if (treeList_->DistanceMatrix) {
      d.DistanceMatrix.reset(treeList_->DistanceMatrix);
      treeList_->DistanceMatrix = nullptr;
      if (!IsLowerTriangular(*d.DistanceMatrix, n)) throw Exception(kInvalidTreeText);
    }
    for (int i = 0; i < noOfTrees_; ++i) CheckTreeData(treeList_->Items(i), n);
    InitTree();
    return true;
  } catch (const std::exception&) {
    FreeNodes();
    return false;
  }
}

void TTreeBox::BuildNodes(int noOfOTUs) {
  TTreeCustomControl::BuildNodes(noOfOTUs);
  treePrepared_.assign(noOfTrees_ + 1, false);
  treeInitialised_.assign(noOfTrees_ + 1, false);
}

void TTreeBox::FreeNodes() {
  treeList_.reset();
  treePrepared_.clear();
  treeInitialised_.clear();
  noOfTrees_ = 0;
  TTreeCustomControl::FreeNodes();
}

void TTreeBox::InitTree() {
  treeIndex_ = 1;
  PrepareTree(1);
  LoadTree(1);
  treeInitialised_[1] = treePrepared_[1];
  consensusValue_ = 50;
  savedCondenseValue_ = CondenseValue();
  TTreeCustomControl::InitTree();
}

void TTreeBox::PrepareTree(int i) {
  TTreeData* tree = Tree(i);
  if (!tree) return;
  if (StatsFunc) StatsFunc(*tree);
  if (ValueFunc) tree->Value = ValueFunc(*tree);
  if (Value2Func) tree->Value2 = Value2Func(*tree);
  treePrepared_[i] = true;
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
  if (TTreeData* tree = Tree(i)) ::StoreTree(Display(), *tree);
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

void TTreeBox::SetTreeIndex(int value) {
  if (value < 1 || value > noOfTrees_) return;
  TTreeDisplay& d = Display();
  if (NodeFocused() || BranchFocused()) ClearFocus();
  StoreTree(treeIndex_);
  if (!treePrepared_[value]) PrepareTree(value);
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
      if (node != d.Root && node->anc != d.Root) {
        MoveRoot(node, true);
        ResetClusters();
      }
    } else if (!d.NoAutoRoot && !d.isRooted && GetisBranchLength()) {
      MoveRoot(FindMidpointNode(d), true);
      ResetClusters();
    }
    LoadTreeAttributes();
    AssignAttributes(d, Measurer());
  }
  SetNodeHeights(d, GetisSE());
  treeInitialised_[value] = treePrepared_[value];
}

void TTreeBox::SetOTUName(int index, const std::string& name) {
  if (index < 1 || index > NoOfOTUs()) return;
  if (treeList_) treeList_->SetOTUName(index - 1, name);
  Display().Node(index)->name = name;
}

bool TTreeBox::GetisValue() const { return ValueFunc ? true : treeIndex_ > 0 && isValue; }
bool TTreeBox::GetisValue2() const { return Value2Func ? true : treeIndex_ > 0 && isValue2; }

double TTreeBox::TotalFrequency() const {
  return noOfTrees_ > 0 && treeList_ ? treeList_->TotalFrequency() : 0;
}

bool TTreeBox::isFreq() const { return noOfTrees_ > 1 && !freqName_.empty() && TotalFrequency() != 0; }

std::string TTreeBox::StatsName() const { return treeIndex_ == 0 ? kConsensusStatsName : StatsNameField; }

double TTreeBox::MaxStats() const { return Display().MaxStats; }

void TTreeBox::SetConsensusValue(int value) { consensusValue_ = std::clamp(value, 0, 100); }

void TTreeBox::SetCondenseValue(int value) {
  if (value == CondenseValue()) return;
  CondenseValueField() = std::clamp(value, 0, 100);
}

double TTreeBox::TreeSBL(int i) {
  TTreeData* tree = Tree(i);
  if (!tree) return 0;
  if (!treePrepared_[i]) PrepareTree(i);
  return tree->SBL();
}

void TTreeBox::SetShowTopologyOnly(bool value) {
  TTreeCustomControl::SetShowTopologyOnly(value);
  if (noOfTrees_ > 0 && !value && BLenFunc) {
    SetTreeIndex(treeIndex_);
    if (Display().ScaleLength == 0) MakeScale(Display(), DefaultDecimalSeparator());
    RefreshTree();
  }
}

bool TTreeBox::GetisBranchLength() const {
  const TTreeData* tree = Tree(treeIndex_);
  return tree && tree->SBL() > 1e-14;
}

bool TTreeBox::GetisSE() const {
  if (SEFunc) return true;
  return treeIndex_ > 0 && Display().isSE;
}

bool TTreeBox::GetisStats() const {
  if (StatsFunc || treeIndex_ == 0) return true;
  return Display().isStats;
}

void TTreeBox::SetStatsValues() {
  const double m = MaxStats();
  SetStatsPercents(Display(), m > 0 ? m : 0, true);
}

void TTreeBox::NameEditorChange() {
  TTreeCustomControl::NameEditorChange();
  const int i = NameFocusedIndex();
  if (treeList_ && i >= 1 && i <= NoOfOTUs()) treeList_->SetOTUName(i - 1, Display().Node(i)->name);
}

void TTreeBox::AssignTreeAttrib(TTreeCustomControl& source) {
  TTreeCustomControl::AssignTreeAttrib(source);
  if (auto* box = dynamic_cast<TTreeBox*>(&source)) {
    consensusValue_ = box->consensusValue_;
    freqDecimals_ = box->freqDecimals_;
  }
}
