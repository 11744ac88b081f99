#pragma once
// TTreeBox: the tree view control bound to a tree list. It shows one tree of
// the list at a time (TreeIndex 1..NoOfTrees); every tree keeps its own root
// position and child order while the user switches between trees, because
// the shown tree is written back into its TTreeData before another is
// loaded. Hosts may feed per-tree values through callbacks that are called
// the first time a tree is shown.
//
// This covers binding a tree list. The consensus tree (TreeIndex 0), binding
// a partition list, ancestral states and per-tree subtree attributes are not
// part of it: TreeIndex 0 is refused and LoadTreeAttributes is a seam.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tree/model/NTreeList.h"
#include "tree/view/TreeCustomControl.h"

// Host callback with a tree: BLenFunc, SEFunc and StatsFunc fill the tree's
// lengths, errors or support values (the result is not used); ValueFunc and
// Value2Func return the tree's Value and Value2.
using TBranchInfoFunc = std::function<double(TTreeData& tree)>;

inline constexpr const char* kConsensusStatsName = "Consensus value";

class TTreeBox : public TTreeCustomControl {
  Q_OBJECT

 public:
  explicit TTreeBox(QWidget* parent = nullptr);
  ~TTreeBox() override;

  // Binds a tree list and shows its first tree, rooted automatically (at the
  // outgroup, else at the midpoint) when the list is unrooted and AutoRoot
  // is set. A list without trees is refused (false) and stays with the
  // caller: `list` is left untouched. Any other list is taken over (moved
  // from), also when its set-up fails; then the box is left unbound and the
  // list freed (false). Set-up fails for a taxon count outside
  // 2..kMaxNoOfOTUs, a tree whose node table is not one tree or holds a value
  // that is not finite, or a distance matrix that is not lower-triangular
  // over the taxa. The list's DistanceMatrix, when set, passes to the box
  // with the list and is freed by it, so it must come from new (for example
  // CreateDistanceMatrix(...).release()).
  bool SetTreeList(std::unique_ptr<TTreeList>&& list, bool AutoRoot);

  // Shows tree `value` (1..NoOfTrees); other values are ignored. The shown
  // tree is stored first; the caller refreshes.
  void SetTreeIndex(int value);
  int TreeIndex() const { return treeIndex_; }
  int NoOfTrees() const { return noOfTrees_; }
  const TTreeList* TreeList() const { return treeList_.get(); }

  // Taxon `index` (1-based) gets `name` in the tree list and on its node;
  // indices outside 1..NoOfOTUs are ignored.
  void SetOTUName(int index, const std::string& name);

  // ---- Properties ----
  int ReadVersion = 12;
  int WriteVersion = 12;
  int FreqDecimals() const { return freqDecimals_; }
  void SetFreqDecimals(int value) { freqDecimals_ = value; }
  const std::string& FreqName() const { return freqName_; }
  void SetFreqName(std::string value) { freqName_ = std::move(value); }
  bool GetisValue() const;
  bool GetisValue2() const;
  bool isFreq() const;
  double TotalFrequency() const;
  std::string StatsName() const;
  double MaxStats() const;
  bool isConsensus() const { return false; }
  int ConsensusValue() const { return consensusValue_; }
  void SetConsensusValue(int value);  // clamped to 0..100
  int CondenseValue() const { return Display().CondenseValue; }
  void SetCondenseValue(int value);  // clamped to 0..100
  // Sum of branch lengths of tree i (0 outside 1..NoOfTrees), fetching its
  // values first when needed.
  double TreeSBL(int i);

  TBranchInfoFunc BLenFunc;
  TBranchInfoFunc SEFunc;
  TBranchInfoFunc StatsFunc;
  TBranchInfoFunc ValueFunc;
  TBranchInfoFunc Value2Func;

  // ---- Overrides ----
  void SetShowTopologyOnly(bool value) override;
  bool GetisBranchLength() const override;
  bool GetisSE() const override;
  bool GetisStats() const override;
  void AssignTreeAttrib(TTreeCustomControl& source) override;

 protected:
  void BuildNodes(int noOfOTUs) override;
  void FreeNodes() override;
  void InitTree() override;
  void SetStatsValues() override;
  void NameEditorChange() override;
  // Per-tree subtree attributes are lent to AttribList here (nothing yet).
  virtual void LoadTreeAttributes() {}

 private:
  void PrepareTree(int i);
  void LoadTree(int i);
  void StoreTree(int i);
  void SetOutgroupMarks(bool useOutgroup);
  void ResetClusters();
  TTreeData* Tree(int i) const;

  int noOfTrees_ = 0;
  int treeIndex_ = 0;
  int consensusValue_ = 50;
  int savedCondenseValue_ = 50;
  std::string freqName_;
  int freqDecimals_ = 0;
  std::unique_ptr<TTreeList> treeList_;
  std::vector<bool> treeInitialised_;
  std::vector<bool> treePrepared_;
};
