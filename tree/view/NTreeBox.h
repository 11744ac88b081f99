#pragma once
// TTreeBox: the tree view control bound to a source of trees - a tree list
// (one or more trees over one set of taxa) or a partition list (a tally of
// splits and topologies). It shows one tree at a time (TreeIndex
// 1..NoOfTrees) or, when the source holds more than one tree, their
// consensus (TreeIndex 0). Every tree keeps its own root position, child
// order and subtree attributes while the user switches between trees: the
// shown tree is written back into its TTreeData before another is loaded.
// Hosts may feed per-tree values through callbacks that are called the
// first time a tree is shown.
//
// The consensus is always shown unrooted, condensed at ConsensusValue
// percent of the trees' total weight and as topology only; leaving it
// restores the regular trees' condensed, topology-only and rooted state and
// their condense threshold.
//
// Members are implemented by topic: binding and switching trees
// (NTreeBox.cpp, TreeBoxTrees.cpp), copying a subtree (TreeBoxSubtree.cpp),
// subtree and group attributes (TreeBoxAttributes.cpp), the binary record
// (TreeBoxRecord.cpp), tree files (TreeBoxFiles.cpp), ancestral states and
// information (TreeBoxAncestral.cpp).

#include <memory>
#include <string>
#include <vector>

#include "platform/core/Streams.h"
#include "platform/core/StringList.h"
#include "tree/model/NPartitionList.h"
#include "tree/model/NTreeList.h"
#include "tree/view/TreeCallbacks.h"
#include "tree/view/TreeCustomControl.h"

inline constexpr const char* kConsensusStatsName = "Consensus value";
// SourceTag of the sources a tree box can be bound to.
inline constexpr const char* kTreeListSource = "TreeList";
inline constexpr const char* kPartitionListSource = "PartitionList";
inline constexpr const char* kViewRecordSource = "VTS";
inline constexpr const char* kOlderExportSource = "NUXA";

class TTreeBox : public TTreeCustomControl {
  Q_OBJECT

 public:
  explicit TTreeBox(QWidget* parent = nullptr);
  ~TTreeBox() override;

  // ---- Sources ----
  // Binds a tree list and shows its first tree, rooted automatically (at the
  // outgroup, else at the midpoint) when the list is unrooted and AutoRoot
  // is set. A list of more than one tree whose total frequency is above 0
  // also gets a consensus tree. A list without trees is refused (false) and
  // stays with the caller: `list` is left untouched. Any other list is taken
  // over (moved from), also when its set-up fails; then the box is left
  // unbound and the list freed (false). Set-up fails for a taxon count
  // outside 2..kMaxNoOfOTUs, a tree whose node table is not one tree or holds
  // a value that is not finite, or a distance matrix that is not
  // lower-triangular over the taxa. The list's DistanceMatrix, when set,
  // passes to the box with the list and is freed by it, so it must come from
  // new (for example CreateDistanceMatrix(...).release()).
  bool SetTreeList(std::unique_ptr<TTreeList>&& list, bool AutoRoot);
  // Binds a partition list (taken over): its topologies become trees
  // 1..NoOfTopologies, built when first shown; a consensus tree exists when
  // the tally holds at least NoOfOTUs-3 splits and weight above 0. With no
  // topologies the consensus is shown. On failure (as for SetTreeList, or
  // nothing to show) the box is left unbound and the list freed.
  void SetPartitionList(std::unique_ptr<TPartitionList>&& list);

  // Shows tree `value` (1..NoOfTrees), or the consensus for 0 when there is
  // one; other values are ignored. The shown tree is stored first; the
  // caller refreshes.
  void SetTreeIndex(int value);
  int TreeIndex() const { return treeIndex_; }
  int NoOfTrees() const { return noOfTrees_; }
  const TTreeList* TreeList() const { return treeList_.get(); }
  const TPartitionList* PartitionList() const { return partitionList_.get(); }
  const TTreeData* ConsensusTree() const { return consensusTree_.get(); }
  const std::string& GetSourceTag() const { return SourceTag; }

  // Taxon `index` (1-based) gets `name` in the tree list and on its node;
  // indices outside 1..NoOfOTUs are ignored.
  void SetOTUName(int index, const std::string& name);

  // Copies the focused subtree (an internal node other than the root, or the
  // node below a focused branch) into `target` as a rooted one-tree list,
  // with its names, values, distances, groups, display settings, subtree
  // attributes and markers. Nothing when nothing suitable is focused.
  void GetSubtree(TTreeBox& target);

  // ---- Properties ----
  int ReadVersion = 12;   // version of the last view record read
  int WriteVersion = 12;  // version written into view records (0..12)
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
  bool isConsensus() const { return consensusTree_ != nullptr; }
  int ConsensusValue() const { return consensusValue_; }
  void SetConsensusValue(int value);  // clamped to 0..100
  // The regular trees' threshold, also while the consensus is shown.
  int CondenseValue() const;
  void SetCondenseValue(int value);  // clamped to 0..100
  // Sum of branch lengths of tree i (0 outside 0..NoOfTrees), fetching its
  // values first when needed.
  double TreeSBL(int i);

  TBranchInfoFunc BLenFunc;
  TBranchInfoFunc SEFunc;
  TBranchInfoFunc StatsFunc;
  const TBranchInfoFunc& ValueFunc() const { return valueFunc_; }
  const TBranchInfoFunc& Value2Func() const { return value2Func_; }
  // Stored only when the code part differs from the current one.
  void SetValueFunc(const TBranchInfoFunc& func);
  void SetValue2Func(const TBranchInfoFunc& func);

  // ---- Subtree and group attributes ----
  // Node indices are 1-based view indices. Every change spreads the
  // attributes over the nodes again; markers are set without a refresh.
  //
  // Copies the attribute node `index` uses into `attrib`: true for the root
  // and when it is the node's own, false when it is inherited, a group's or
  // `index` is outside the tree.
  bool GetSubtreeAttrib(TNodeAttrib& attrib, int index) const;
  // Node `index` gets its own copy of `attrib` (replacing its own one); 0 or
  // the root sets the whole-tree attribute. attrib.NodeIndex becomes
  // `index`. Own attributes below an internal node take attrib's
  // ShowTaxonName, ShowTaxonMarker and OverrideGroups.
  void SetSubtreeAttrib(TNodeAttrib& attrib, int index);
  // Removes the node's own attribute, and with `recursive` those below it.
  void ClearSubtreeAttrib(int index, bool recursive);
  // Every subtree attribute of the shown tree goes; the whole-tree one stays.
  void ClearAllSubtreeAttrib();
  // Own attributes below the node take its attribute's pens, fonts, brush,
  // image position and switches.
  void OverwriteAttribDownstream(int index);
  // `marker` for every taxon below the node; the node's attribute decides
  // whether own attributes in the subtree show markers.
  void SetTaxonMarkerOfSubtree(int index, TNodeMarker marker);
  // Rebuilds the groups from "taxon name=group name" lines (names as the
  // source gave them); nothing for nil or no lines.
  void SetGroupInfo(const TStringList* lines);
  void GetGroupAttrib(TNodeAttrib& attrib, const std::string& name) const;
  void SetGroupAttrib(const TNodeAttrib& attrib, const std::string& name);
  void SetTaxonMarkerOfGroup(const std::string& name, TNodeMarker marker);

  // ---- Binary record of the whole view ----
  // Writes the view's record (version WriteVersion; an older version leaves
  // out the fields it lacks). Nothing when no tree list is bound. Raises
  // EInOutError when the stream cannot be written and ERangeError for a
  // text the record cannot hold.
  void WriteToFile(TStream& file);
  // Reads a view record and shows the stored tree as it was, without
  // automatic rooting; `version` is that of the embedded tree and tree-list
  // records. False, with the view emptied, for any error: a short record,
  // a count or index out of range, a value the view cannot show.
  bool ReadFromFile(TStream& file, int version);

  // ---- Tree files ----
  // Newick import: true when the trees were read and bound (no automatic
  // rooting). SourceTag becomes "File: <name>" / "Tree: <text>" either way.
  bool ImportFromNewickStandard(const std::string& FileName);
  bool ImportFromNewickString(const std::string& text);
  // The family's older tree export at OlderTreeExportPath() (TreeFile.h):
  // false when the file does not exist; a malformed file empties the view
  // and raises.
  bool ImportFromNUXA();
  bool ImportFromNUXA(const std::string& path);
  // The family's tree file with the shown tree, or with every tree; raise
  // EInOutError when the file cannot be written.
  void ExportCurrentTreeToFile(const std::string& FileName);
  void ExportAllTreesToFile(const std::string& FileName);
  // The shown tree as Newick text (empty when no tree is shown).
  void GetNewickTree(std::string& text);
  // Newick files: the shown tree, or every regular tree one a line. Failures
  // to write are not reported.
  void ExportCurrentTreeToNewickFile(const std::string& FileName);
  void ExportAllTreesToNewickFile(const std::string& FileName);
  // A copy of the shown tree as stored (the caller owns it); nil when no
  // tree is shown.
  std::unique_ptr<TTreeData> GetCurrentTree();

  // ---- Ancestral states and information ----
  const TAncStateProc& AncStateProc() const { return ancStateProc_; }
  // Ignored when the code part equals the current one. Nil switches the
  // character states off; otherwise the states of SiteIndex are fetched.
  void SetAncStateProc(const TAncStateProc& proc);
  TAncProbFunc AncProbFunc;
  // True when NO ancestral-state callback is set.
  bool isAncState() const { return !ancStateProc_; }
  int SiteIndex() const { return siteIndex_; }
  void SetSiteIndex(int value);  // fetches the states of the new site
  int MaxSiteIndex() const { return maxSiteIndex_; }
  void SetMaxSiteIndex(int value);  // lowers SiteIndex to it, without fetching
  std::string SiteIndexForCaption() const;
  // Fills every node's state for the site (-1: SiteIndex) through `proc`,
  // then gives node NodeIndex's state.
  void GetAncState(int NodeIndex, int SiteIndex, std::string& State, const TAncStateProc& proc);
  // The probability AncProbFunc gives for `State` at the node; 0 without
  // AncProbFunc or tree. Raises EConvertError when no number is given.
  double AncStateProb(char State, int NodeIndex);
  std::string CodonPositionsInfo() const;
  std::string LabelledSitesInfo() const;
  std::string TreeCI() const;
  std::string TreeRI() const;
  std::string TreeRCI() const;
  std::string TreeCI_infosites() const;
  std::string TreeRI_infosites() const;
  std::string TreeRCI_infosites() const;

  // ---- Overrides ----
  void SetShowTopologyOnly(bool value) override;
  void SetShowOTUMarker(bool value) override;
  bool GetisBranchLength() const override;
  bool GetisSE() const override;
  bool GetisStats() const override;
  void AssignTreeAttrib(TTreeCustomControl& source) override;
  void MoveRoot(TNode* node, bool midpoint) override;

 protected:
  void BuildNodes(int noOfOTUs) override;
  void FreeNodes() override;
  void InitTree() override;
  void SetStatsValues() override;
  void NameEditorChange() override;
  // Lends the shown tree's subtree attributes to AttribList.
  void LoadTreeAttributes();

 private:
  bool ConsensusShown() const { return consensusTree_ && treeIndex_ == 0; }
  // A source or a shown tree is held (a partition list without topologies
  // shows its consensus with NoOfTrees 0).
  bool Bound() const { return noOfTrees_ > 0 || treeList_ || partitionList_ || NoOfOTUs() > 0; }
  TTreeData* Tree(int i) const;
  void PrepareTree(int i);
  void CopyTopologyTree(int i);
  void BuildConsensus();
  void LoadTree(int i);
  void StoreTree(int i);
  void SetOutgroupMarks(bool useOutgroup);
  void ResetClusters();
  void EnterConsensus();
  void LeaveConsensus();
  void FetchAncStates();
  void DeleteSubtreeAttrib(int k);
  bool HasOwnAttrib(const TNode& node) const;
  TNodeAttribList& TreeAttribList(int t);
  std::string InformationLine(const char* key, bool index) const;
  double NewickCondense() const;

  int noOfTrees_ = 0;
  int treeIndex_ = 0;
  int siteIndex_ = 0;
  int maxSiteIndex_ = 0;
  int consensusValue_ = 50;
  std::string freqName_;
  int freqDecimals_ = 0;
  bool consensusHasValue_ = false;
  bool consensusHasValue2_ = false;
  int savedCondenseValue_ = 50;
  std::unique_ptr<TTreeList> treeList_;
  std::unique_ptr<TTreeData> consensusTree_;
  bool savedCondensed_ = false;
  bool savedTopologyOnly_ = false;
  bool savedRooted_ = false;
  std::unique_ptr<TPartitionList> partitionList_;
  std::vector<bool> treeInitialised_;
  std::vector<bool> treePrepared_;
  TBranchInfoFunc valueFunc_;
  TBranchInfoFunc value2Func_;
  TAncStateProc ancStateProc_;
  std::vector<std::string*> ancStates_;  // node i+1's charState at i
  // Each tree's own subtree attributes, by tree index (0: the consensus);
  // nil until the first one is set. AttribList[1..] lends those of the
  // shown tree.
  std::vector<std::unique_ptr<TNodeAttribList>> treeAttribLists_;
};
