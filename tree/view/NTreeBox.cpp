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

TTreeBox::~TTreeBox() {
  // The lent subtree attributes die with their lists.
  Display().AttribList.resize(1);
}

bool TTreeBox::SetTreeList(std::unique_ptr<TTreeList>&& list, bool AutoRoot) {
  if (!list || list->NoOfTrees() == 0) return false;
  if (Bound()) FreeNodes();
  TTreeDisplay& d = Display();
  SourceTag = kTreeListSource;
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
    if (noOfTrees_ > 1 && treeList_->TotalFrequency() > 0)
      consensusTree_ = std::make_unique<TTreeData>(n, false, false, true);
    BuildNodes(n);
    for (int i = 0; i < n; ++i) {
      TNode* node = d.Node(i + 1);
      node->name = node->savedName = treeList_->OTUName(i);
      node->nameTag.clear();
    }
    auto decimals = [this](const TBranchInfoFunc& func, double TTreeData::*value) {
      if (func) return 8;
      for (int i = 0; i < noOfTrees_; ++i) {
        if (HasFraction(treeList_->Items(i).*value)) return 8;
      }
      return 0;
    };
    if (isValue) ValueDecimals = decimals(valueFunc_, &TTreeData::Value);
    if (isValue2) Value2Decimals = decimals(value2Func_, &TTreeData::Value2);
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

void TTreeBox::SetPartitionList(std::unique_ptr<TPartitionList>&& list) {
  if (!list) return;
  if (Bound()) FreeNodes();
  TTreeDisplay& d = Display();
  partitionList_ = std::move(list);
  const TPartitionList& p = *partitionList_;
  SourceTag = kPartitionListSource;
  d.isRooted = p.isRooted;
  d.isSE = false;
  d.isStats = true;
  StatsNameField = p.GetStatsName();
  d.MaxStats = p.TotalFrequency();
  auto decimals = [&p](double (TPartitionList::*value)(int) const) {
    for (int i = 0; i < p.NoOfTopologies(); ++i) {
      if (HasFraction((p.*value)(i))) return 8;
    }
    return 0;
  };
  isValue = !p.ValueName.empty();
  if (isValue) {
    ValueName = p.ValueName;
    ValueDecimals = decimals(&TPartitionList::TopologyValue);
  }
  isValue2 = !p.Value2Name.empty();
  if (isValue2) {
    Value2Name = p.Value2Name;
    Value2Decimals = decimals(&TPartitionList::TopologyValue2);
  }
  freqName_ = p.FreqName;
  freqDecimals_ = decimals(&TPartitionList::TopologyFreq);
  d.NoAutoRoot = false;
  noOfTrees_ = p.NoOfTopologies();
  const int n = p.NoOfOTUs();
  try {
    if (p.DistanceMatrix) {
      // The matrix passes to the box with the tally.
      d.DistanceMatrix.reset(partitionList_->DistanceMatrix);
      partitionList_->DistanceMatrix = nullptr;
      if (!IsLowerTriangular(*d.DistanceMatrix, n)) throw Exception(kInvalidTreeText);
    }
    auto trees = std::make_unique<TTreeList>();
    trees->AssignInformation(p.Information);
    trees->FreqName = p.FreqName;
    trees->ValueName = p.ValueName;
    trees->Value2Name = p.Value2Name;
    trees->StatsName = p.GetStatsName();
    trees->MaxStats = p.TotalFrequency();
    trees->isRooted = p.isRooted;
    for (int i = 0; i < n; ++i) trees->SetOTUName(i, p.GetOTUName(i));
    // Every tree is made with the arrays its topology tree will bring, so
    // that the list's trees always agree in shape.
    const bool withBLen = p.isBLen() || static_cast<bool>(BLenFunc);
    for (int i = 0; i < noOfTrees_; ++i) trees->Add(std::make_unique<TTreeData>(n, withBLen, bool(SEFunc), true));
    treeList_ = std::move(trees);
    if (p.NoOfPartitions() >= n - 3 && p.TotalFrequency() > 0)
      consensusTree_ = std::make_unique<TTreeData>(n, false, false, true);
    BuildNodes(n);
    for (int i = 0; i < n; ++i) {
      TNode* node = d.Node(i + 1);
      node->name = node->savedName = treeList_->OTUName(i);
      node->nameTag.clear();
    }
    InitTree();
  } catch (const std::exception&) {
    FreeNodes();
  }
}

void TTreeBox::BuildNodes(int noOfOTUs) {
  TTreeCustomControl::BuildNodes(noOfOTUs);
  ancStates_.clear();
  for (TNode& node : Display().Nodes) ancStates_.push_back(&node.charState);
  treePrepared_.assign(noOfTrees_ + 1, false);
  treeInitialised_.assign(noOfTrees_ + 1, false);
  treeAttribLists_.clear();
  treeAttribLists_.resize(noOfTrees_ + 1);
  consensusHasValue_ = false;
}

void TTreeBox::FreeNodes() {
  consensusTree_.reset();
  treeList_.reset();
  partitionList_.reset();
  ancStates_.clear();
  treePrepared_.clear();
  treeInitialised_.clear();
  Display().AttribList.resize(1);  // the lent attributes go with their lists
  treeAttribLists_.clear();
  Display().DistanceMatrix.reset();
  noOfTrees_ = siteIndex_ = maxSiteIndex_ = 0;
  TTreeCustomControl::FreeNodes();
}

void TTreeBox::InitTree() {
  if (noOfTrees_ > 0 || SourceTag != kPartitionListSource) {
    treeIndex_ = 1;
  } else {
    treeIndex_ = 0;
    EnterConsensus();
  }
  if (!Tree(treeIndex_)) throw Exception(kInvalidTreeText);  // nothing to show
  PrepareTree(treeIndex_);
  LoadTree(treeIndex_);
  treeInitialised_[treeIndex_] = treePrepared_[treeIndex_];
  consensusValue_ = 50;
  savedCondenseValue_ = Display().CondenseValue;
  TTreeCustomControl::InitTree();
}

void TTreeBox::SetOTUName(int index, const std::string& name) {
  if (index < 1 || index > NoOfOTUs()) return;
  if (treeList_) treeList_->SetOTUName(index - 1, name);
  Display().Node(index)->name = name;
}

// ---- Properties ----

bool TTreeBox::GetisValue() const {
  if (valueFunc_) return true;
  return treeIndex_ > 0 ? isValue : consensusHasValue_;
}

bool TTreeBox::GetisValue2() const {
  if (value2Func_) return true;
  return treeIndex_ > 0 ? isValue2 : consensusHasValue2_;
}

void TTreeBox::SetValueFunc(const TBranchInfoFunc& func) {
  if (!func.SameCode(valueFunc_)) valueFunc_ = func;
}

void TTreeBox::SetValue2Func(const TBranchInfoFunc& func) {
  if (!func.SameCode(value2Func_)) value2Func_ = func;
}

double TTreeBox::TotalFrequency() const {
  if (partitionList_) return partitionList_->TotalFrequency();
  return noOfTrees_ > 0 && treeList_ ? treeList_->TotalFrequency() : 0;
}

bool TTreeBox::isFreq() const { return noOfTrees_ > 1 && !freqName_.empty() && TotalFrequency() != 0; }

std::string TTreeBox::StatsName() const { return treeIndex_ == 0 ? kConsensusStatsName : StatsNameField; }

double TTreeBox::MaxStats() const {
  if (ConsensusShown()) {
    if (partitionList_) return partitionList_->TotalFrequency();
    if (treeList_ && treeList_->NoOfTrees() > 0) return treeList_->TotalFrequency();
  }
  return Display().MaxStats;
}

void TTreeBox::SetConsensusValue(int value) {
  value = std::clamp(value, 0, 100);
  if (value == consensusValue_) return;
  consensusValue_ = value;
  if (ConsensusShown()) CondenseValueField() = value;
}

int TTreeBox::CondenseValue() const { return ConsensusShown() ? savedCondenseValue_ : Display().CondenseValue; }

void TTreeBox::SetCondenseValue(int value) {
  if (value == CondenseValue()) return;
  value = std::clamp(value, 0, 100);
  if (ConsensusShown())
    savedCondenseValue_ = value;
  else
    CondenseValueField() = value;
}

// ---- Overrides ----

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
  if (treeIndex_ > 0) return Display().isSE;
  return consensusTree_ && consensusTree_->isSE();
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
  auto* box = dynamic_cast<TTreeBox*>(&source);
  if (!box) return;
  SetConsensusValue(box->consensusValue_);
  freqDecimals_ = box->freqDecimals_;
  if (box->ConsensusShown() && !ConsensusShown()) {
    SetCondenseValue(box->savedCondenseValue_);
  } else if (ConsensusShown() && !box->ConsensusShown()) {
    savedCondenseValue_ = box->Display().CondenseValue;
    CondenseValueField() = consensusValue_;
  }
}
