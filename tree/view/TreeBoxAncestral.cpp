// TTreeBox: ancestral states of a site through host callbacks, and the facts
// hosts keep in the tree list's information lines.

#include "platform/core/NumberFormat.h"
#include "tree/view/AncestralStates.h"
#include "tree/view/NTreeBox.h"

void TTreeBox::FetchAncStates() {
  TTreeData* tree = Tree(treeIndex_);
  if (NoOfOTUs() > 0 && tree && ancStateProc_) ancStateProc_(ancStates_, siteIndex_, *tree);
}

void TTreeBox::SetAncStateProc(const TAncStateProc& proc) {
  if (proc.SameCode(ancStateProc_)) return;
  if (!proc) SetShowCharState(false);
  ancStateProc_ = proc;
  StoreTree(treeIndex_);
  if (ancStateProc_) FetchAncStates();
}

void TTreeBox::SetSiteIndex(int value) {
  if (value == siteIndex_) return;
  siteIndex_ = value;
  if (ancStateProc_) FetchAncStates();
}

void TTreeBox::SetMaxSiteIndex(int value) {
  if (value == maxSiteIndex_) return;
  maxSiteIndex_ = value;
  if (value < siteIndex_) siteIndex_ = value;
}

std::string TTreeBox::SiteIndexForCaption() const { return IntToStr(int64_t{siteIndex_} + 1); }

void TTreeBox::GetAncState(int NodeIndex, int SiteIndex, std::string& State, const TAncStateProc& proc) {
  if (SiteIndex == -1) SiteIndex = siteIndex_;
  TTreeData* tree = Tree(treeIndex_);
  if (NoOfOTUs() > 0 && tree && proc) proc(ancStates_, SiteIndex, *tree);
  State = NodeIndex >= 1 && NodeIndex <= Display().Nodes.NoOfNodes() ? Display().Node(NodeIndex)->charState
                                                                        : std::string();
}

double TTreeBox::AncStateProb(char State, int NodeIndex) {
  TTreeData* tree = Tree(treeIndex_);
  if (!AncProbFunc || !tree) return 0;
  TStringList probs;
  AncProbFunc(NodeIndex, siteIndex_, *tree, probs);
  return StateProbability(probs, State, DefaultDecimalSeparator());
}

std::string TTreeBox::InformationLine(const char* key, bool index) const {
  if (!treeList_) return {};
  return index ? InformationIndexValue(treeList_->Information, key)
               : InformationAfterColon(treeList_->Information, key);
}

std::string TTreeBox::CodonPositionsInfo() const { return InformationLine(kCodonPositionsKey, false); }
std::string TTreeBox::LabelledSitesInfo() const { return InformationLine(kLabelledSitesKey, false); }
std::string TTreeBox::TreeCI() const { return InformationLine(kTreeCIKey, true); }
std::string TTreeBox::TreeRI() const { return InformationLine(kTreeRIKey, true); }
std::string TTreeBox::TreeRCI() const { return InformationLine(kTreeRCIKey, true); }
std::string TTreeBox::TreeCI_infosites() const { return InformationLine(kTreeCIInfoSitesKey, true); }
std::string TTreeBox::TreeRI_infosites() const { return InformationLine(kTreeRIInfoSitesKey, true); }
std::string TTreeBox::TreeRCI_infosites() const { return InformationLine(kTreeRCIInfoSitesKey, true); }
