// TTreeBox: importing trees from Newick text and from the family's older
// export, exporting the shown tree or all trees as Newick or as the family's
// tree file.

#include <QFileInfo>

#include "tree/view/NTreeBox.h"
#include "tree/view/TreeFile.h"
#include "tree/view/TreeSetup.h"

bool TTreeBox::ImportFromNewickStandard(const std::string& FileName) {
  auto list = std::make_unique<TTreeList>();
  const bool read = list->ImportFromNewickFile(FileName, nullptr);
  const bool bound = read && SetTreeList(std::move(list), false);
  SourceTag = "File: " + FileName;
  return bound;
}

bool TTreeBox::ImportFromNewickString(const std::string& text) {
  auto list = std::make_unique<TTreeList>();
  const bool read = list->ImportFromNewick(text, nullptr);
  const bool bound = read && SetTreeList(std::move(list), false);
  SourceTag = "Tree: " + text;
  return bound;
}

bool TTreeBox::ImportFromNUXA() { return ImportFromNUXA(OlderTreeExportPath()); }

bool TTreeBox::ImportFromNUXA(const std::string& path) {
  if (!QFileInfo(QString::fromStdString(path)).isFile()) return false;
  try {
    TStringList lines;
    lines.LoadFromFile(path);
    TOlderTreeExport read = ParseOlderTreeExport(lines);
    if (!SetTreeList(std::move(read.List), true)) throw Exception(kInvalidTreeText);
  } catch (...) {
    FreeNodes();
    throw;
  }
  SourceTag = kOlderExportSource;
  return true;
}

double TTreeBox::NewickCondense() const {
  return ShowTopologyOnly() && Display().Condensed ? CondenseValue() / 100.0 * MaxStats() : 0;
}

void TTreeBox::ExportCurrentTreeToFile(const std::string& FileName) {
  const TTreeData* tree = Tree(treeIndex_);
  if (!tree) return;
  // The shown tree as it is now, not as it was last stored.
  StoreTree(treeIndex_);
  std::vector<std::string> names;
  for (int i = 1; i <= NoOfOTUs(); ++i) names.push_back(Display().Node(i)->name);
  TStringList lines = FamilyTreeFileHeader(treeList_->Information.Values("Title"), names);
  lines.Add((treeIndex_ == 0 ? "#NUXAConsensusTree=" : "#NUXATree=") + FamilyTreeText(*tree, isRooted()));
  lines.SaveToFile(FileName);
}

void TTreeBox::ExportAllTreesToFile(const std::string& FileName) {
  if (!treeList_ || noOfTrees_ == 0) return;
  StoreTree(treeIndex_);
  std::vector<std::string> names;
  for (int i = 1; i <= NoOfOTUs(); ++i) names.push_back(Display().Node(i)->name);
  TStringList lines = FamilyTreeFileHeader(treeList_->Information.Values("Title"), names);
  for (int i = 1; i <= noOfTrees_; ++i) {
    // A topology of a partition list is built when first needed.
    if (partitionList_ && !treePrepared_[i]) PrepareTree(i);
    lines.Add("#NUXATree" + std::to_string(i) + "=" + FamilyTreeText(*Tree(i), isRooted()));
  }
  lines.SaveToFile(FileName);
}

namespace {

// A one-tree list holding a copy of `tree` with the view's taxon names.
std::unique_ptr<TTreeList> ConsensusList(const TTreeDisplay& d, const TTreeData& tree, double maxStats) {
  auto list = std::make_unique<TTreeList>();
  list->MaxStats = maxStats;
  for (int i = 1; i <= d.NoOfOTUs(); ++i) list->SetOTUName(i - 1, d.Node(i)->name);
  auto copy = std::make_unique<TTreeData>(tree.NoOfOTUs(), false, false, true);
  copy->Assign(tree);
  list->Add(std::move(copy));
  return list;
}

}  // namespace

void TTreeBox::GetNewickTree(std::string& text) {
  text.clear();
  if (!Tree(treeIndex_)) return;
  StoreTree(treeIndex_);
  const bool withBLen = !ShowTopologyOnly();
  if (treeIndex_ == 0) {
    const double condense = Display().Condensed ? MaxStats() * consensusValue_ / 100.0 : 0;
    ConsensusList(Display(), *consensusTree_, MaxStats())->OutputNewickTree(0, withBLen, ShowStats(), condense, text);
    return;
  }
  const double condense = NewickCondense();
  treeList_->OutputNewickTree(treeIndex_ - 1, condense == 0 ? treeList_->isBLen() : false, treeList_->isStats(),
                              condense, text);
}

void TTreeBox::ExportCurrentTreeToNewickFile(const std::string& FileName) {
  if (!Tree(treeIndex_)) return;
  StoreTree(treeIndex_);
  const bool withBLen = !ShowTopologyOnly();
  if (treeIndex_ == 0) {
    const double condense = Display().Condensed ? MaxStats() * consensusValue_ / 100.0 : 0;
    ConsensusList(Display(), *consensusTree_, MaxStats())->ExportToNewickFile(0, FileName, withBLen, ShowStats(),
                                                                              condense);
    return;
  }
  treeList_->ExportToNewickFile(treeIndex_ - 1, FileName, withBLen, ShowStats(), NewickCondense());
}

void TTreeBox::ExportAllTreesToNewickFile(const std::string& FileName) {
  if (!treeList_) return;
  StoreTree(treeIndex_);
  for (int i = 1; i <= noOfTrees_; ++i) {
    if (partitionList_ && !treePrepared_[i]) PrepareTree(i);
  }
  treeList_->ExportAllToNewickFile(FileName, !ShowTopologyOnly(), ShowStats(), NewickCondense());
}

std::unique_ptr<TTreeData> TTreeBox::GetCurrentTree() {
  const TTreeData* tree = Tree(treeIndex_);
  if (!tree) return nullptr;
  StoreTree(treeIndex_);
  auto copy = std::make_unique<TTreeData>(tree->NoOfOTUs(), false, false, true);
  copy->Assign(*tree);
  return copy;
}
