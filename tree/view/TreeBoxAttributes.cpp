// TTreeBox: subtree and group attributes. Each tree owns its subtree
// attributes in treeAttribLists_; AttribList[1..] lends those of the shown
// tree, in the same order (AttribList[k] is entry k-1 of the shown tree's
// list). Every change spreads the attributes over the nodes again.

#include "tree/view/NTreeBox.h"
#include "tree/view/TreeAttributes.h"

namespace {

bool ValidNode(const TTreeDisplay& d, int index) { return index >= 1 && index <= d.Nodes.NoOfNodes(); }

// Nodes strictly below `top`, children first.
std::vector<TNode*> Below(TNode* top) {
  std::vector<TNode*> nodes = PostOrder(top);
  nodes.pop_back();  // the top comes last
  return nodes;
}

}  // namespace

TNodeAttribList& TTreeBox::TreeAttribList(int t) {
  if (!treeAttribLists_[t]) treeAttribLists_[t] = std::make_unique<TNodeAttribList>();
  return *treeAttribLists_[t];
}

bool TTreeBox::HasOwnAttrib(const TNode& node) const {
  return node.anc && node.attrIndex > 0 && node.attrIndex != node.anc->attrIndex;
}

void TTreeBox::LoadTreeAttributes() {
  auto& lent = Display().AttribList;
  lent.resize(1);
  if (treeIndex_ < 0 || treeIndex_ >= static_cast<int>(treeAttribLists_.size())) return;
  if (const auto& own = treeAttribLists_[treeIndex_]) {
    for (const auto& attrib : *own) lent.push_back(attrib.get());
  }
}

void TTreeBox::DeleteSubtreeAttrib(int k) {
  auto& lent = Display().AttribList;
  if (k <= 0 || k >= static_cast<int>(lent.size())) return;
  if (treeIndex_ < 0 || treeIndex_ >= static_cast<int>(treeAttribLists_.size())) return;
  lent.erase(lent.begin() + k);
  auto& own = treeAttribLists_[treeIndex_];
  if (!own || k - 1 >= static_cast<int>(own->size())) return;
  own->erase(own->begin() + (k - 1));
  if (own->empty()) own.reset();
}

bool TTreeBox::GetSubtreeAttrib(TNodeAttrib& attrib, int index) const {
  const TTreeDisplay& d = Display();
  const TNode* node = ValidNode(d, index) ? d.Node(index) : nullptr;
  if (!node || node == d.Root) {
    attrib.Assign(d.WholeTree());
    return node != nullptr;
  }
  attrib.Assign(GetNodeAttrib(d, *node));
  if (node->attrIndex < 0) return false;
  return node->attrIndex != node->anc->attrIndex;
}

void TTreeBox::SetSubtreeAttrib(TNodeAttrib& attrib, int index) {
  TTreeDisplay& d = Display();
  if (index < 0 || index > d.Nodes.NoOfNodes()) return;
  if (index == 0 || d.Node(index) == d.Root) {
    d.WholeTree().Assign(attrib);
    return;
  }
  if (!d.Root || treeAttribLists_.empty()) return;
  TNode* node = d.Node(index);
  TNodeAttribList& own = TreeAttribList(treeIndex_);
  int slot;
  if (HasOwnAttrib(*node) && node->attrIndex - 1 < static_cast<int>(own.size())) {
    slot = node->attrIndex - 1;
  } else {
    own.push_back(std::make_unique<TNodeAttrib>());
    slot = static_cast<int>(own.size()) - 1;
  }
  attrib.NodeIndex = index;
  own[slot]->Assign(attrib);
  if (!node->isOTU) {
    for (TNode* below : Below(node)) {
      if (!HasOwnAttrib(*below) || below->attrIndex >= static_cast<int>(d.AttribList.size())) continue;
      TNodeAttrib& a = *d.AttribList[below->attrIndex];
      a.ShowTaxonName = attrib.ShowTaxonName;
      a.ShowTaxonMarker = attrib.ShowTaxonMarker;
      a.OverrideGroups = attrib.OverrideGroups;
    }
  }
  LoadTreeAttributes();
  AssignAttributes(d, Measurer());
}

void TTreeBox::ClearSubtreeAttrib(int index, bool recursive) {
  TTreeDisplay& d = Display();
  if (!ValidNode(d, index) || !d.Root) return;
  TNode* node = d.Node(index);
  if (recursive && !node->isOTU) {
    for (TNode* below : Below(node)) {
      if (!HasOwnAttrib(*below)) continue;
      DeleteSubtreeAttrib(below->attrIndex);
      AssignAttributes(d, Measurer());
    }
  }
  if (node == d.Root || !HasOwnAttrib(*node)) return;
  DeleteSubtreeAttrib(node->attrIndex);
  node->compressed = false;
  AssignAttributes(d, Measurer());
}

void TTreeBox::ClearAllSubtreeAttrib() {
  if (const TNode* root = Display().Root) ClearSubtreeAttrib(root->index, true);
}

void TTreeBox::OverwriteAttribDownstream(int index) {
  TTreeDisplay& d = Display();
  if (!ValidNode(d, index) || !d.Root) return;
  TNode* node = d.Node(index);
  if (node->isOTU) return;
  TNodeAttrib settings;
  settings.AssignGraphAttrib(GetNodeAttrib(d, *node));
  for (TNode* below : Below(node)) {
    if (HasOwnAttrib(*below) && below->attrIndex < static_cast<int>(d.AttribList.size()))
      d.AttribList[below->attrIndex]->AssignGraphAttrib(settings);
  }
  LoadTreeAttributes();
  AssignAttributes(d, Measurer());
}

void TTreeBox::SetTaxonMarkerOfSubtree(int index, TNodeMarker marker) {
  TTreeDisplay& d = Display();
  if (!ValidNode(d, index) || !d.Root) return;
  TNode* node = d.Node(index);
  bool show = marker.Shape != 0;
  if (node->attrIndex >= 0) show = GetNodeAttrib(d, *node).ShowTaxonMarker;
  for (TNode* n : PreOrder(node)) {
    if (n != d.Root && n->attrIndex > 0 && n->attrIndex < static_cast<int>(d.AttribList.size()))
      d.AttribList[n->attrIndex]->ShowTaxonMarker = show;
    if (n->isOTU) n->marker = marker;
  }
}

void TTreeBox::SetGroupInfo(const TStringList* lines) {
  if (!lines || lines->Empty()) return;
  TTreeDisplay& d = Display();
  d.GroupAttrib.clear();
  for (TNode& node : d.Nodes) {
    if (node.isOTU) node.groupIndex = -1;
  }
  for (int j = 0; j < lines->Count(); ++j) {
    const std::string name = lines->Names(j);
    TNode* taxon = nullptr;
    for (int i = 1; i <= NoOfOTUs() && !taxon; ++i) {
      if (d.Node(i)->savedName == name) taxon = d.Node(i);
    }
    if (!taxon) continue;
    const std::string group = lines->Values(name);
    if (group.empty()) continue;
    int position = -1;
    for (int g = 0; g < static_cast<int>(d.GroupAttrib.size()); ++g) {
      if (d.GroupAttrib[g]->GroupName == group) {
        position = g;
        break;
      }
    }
    if (position < 0) {
      auto attrib = std::make_unique<TNodeAttrib>();
      attrib->Assign(d.WholeTree());
      attrib->GroupName = group;
      attrib->Caption = group;
      d.GroupAttrib.push_back(std::move(attrib));
      position = static_cast<int>(d.GroupAttrib.size()) - 1;
    }
    taxon->groupIndex = position;
  }
  AssignAttributes(d, Measurer());
}

namespace {

int GroupPosition(const TTreeDisplay& d, const std::string& name) {
  for (int g = 0; g < static_cast<int>(d.GroupAttrib.size()); ++g) {
    if (d.GroupAttrib[g]->GroupName == name) return g;
  }
  return -1;
}

}  // namespace

void TTreeBox::GetGroupAttrib(TNodeAttrib& attrib, const std::string& name) const {
  const int g = GroupPosition(Display(), name);
  if (g >= 0) attrib.Assign(*Display().GroupAttrib[g]);
}

void TTreeBox::SetGroupAttrib(const TNodeAttrib& attrib, const std::string& name) {
  TTreeDisplay& d = Display();
  if (d.GroupAttrib.empty()) return;
  if (const int g = GroupPosition(d, name); g >= 0) {
    d.GroupAttrib[g]->Assign(attrib);
    d.GroupAttrib[g]->GroupName = name;
  }
  AssignAttributes(d, Measurer());
}

void TTreeBox::SetTaxonMarkerOfGroup(const std::string& name, TNodeMarker marker) {
  TTreeDisplay& d = Display();
  const int g = GroupPosition(d, name);
  if (g < 0) return;
  for (TNode& node : d.Nodes) {
    if (node.isOTU && node.groupIndex == g) node.marker = marker;
  }
}

void TTreeBox::SetShowOTUMarker(bool value) {
  TTreeCustomControl::SetShowOTUMarker(value);
  if (treeIndex_ < 0 || treeIndex_ >= static_cast<int>(treeAttribLists_.size())) return;
  if (const auto& own = treeAttribLists_[treeIndex_]) {
    for (const auto& attrib : *own) attrib->ShowTaxonMarker = value;
  }
}

void TTreeBox::MoveRoot(TNode* node, bool midpoint) {
  TTreeDisplay& d = Display();
  // Re-rooting reverses the ancestry between the node and the root, so the
  // subtrees whose top lies on that path are no longer subtrees.
  bool deleted = false;
  for (int k = static_cast<int>(d.AttribList.size()) - 1; k >= 1; --k) {
    for (TNode* n = node ? node->anc : nullptr; n && n != d.Root; n = n->anc) {
      if (n->attrIndex == k && HasOwnAttrib(*n)) {
        DeleteSubtreeAttrib(k);
        n->name.clear();
        deleted = true;
        break;
      }
    }
  }
  // The attributes are spread again only when some went: otherwise they stand
  // as the last spreading left them, and re-rooting reads none of them.
  if (deleted) AssignAttributes(d, Measurer());
  TTreeCustomControl::MoveRoot(node, midpoint);
}
