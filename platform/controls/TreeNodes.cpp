// The nodes of the tree view: TTreeNode over its Qt item, TTreeNodes and
// the node stream.

#include <QSignalBlocker>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <cstring>
#include <vector>

#include "platform/classes/Filer.h"
#include "platform/controls/TreeView.h"
#include "platform/core/Exceptions.h"

KESTOVA_CLASS_INFO(TTreeNode, TPersistent, "ComCtrls", nullptr)
KESTOVA_CLASS_INFO(TTreeNodes, TPersistent, "ComCtrls", nullptr)

namespace {

// Qt item data slot holding the node's address.
constexpr int kNodeRole = Qt::UserRole + 1;
// Deeper nesting in a node stream is refused (a hostile stream would
// otherwise exhaust the stack).
constexpr int kMaxStreamDepth = 512;
// Fixed part of one node in the stream: four indexes, Data, text length,
// child count.
constexpr std::int64_t kNodeRecordSize = 4 * 4 + 8 + 4 + 4;

void WriteInt32(TStream& Stream, std::int32_t Value) { WriteLE(Stream, Value); }
void WriteInt64(TStream& Stream, std::int64_t Value) { WriteLE(Stream, Value); }
// As ReadLE, but a short stream is a damaged node stream (EReadError).
template <typename T>
T ReadValue(TStream& Stream) {
  if (Stream.Size() - Stream.Position() < static_cast<std::int64_t>(sizeof(T))) throw EReadError();
  return ReadLE<T>(Stream);
}
void ReadExact(TStream& Stream, void* Buffer, std::int64_t Count) {
  if (Stream.Read(Buffer, Count) != Count) throw EReadError();
}
std::int32_t ReadInt32(TStream& Stream) { return ReadValue<std::int32_t>(Stream); }
std::int64_t ReadInt64(TStream& Stream) { return ReadValue<std::int64_t>(Stream); }
// A count read from the stream: at least one fixed record per node must
// still be there.
std::int32_t ReadCount(TStream& Stream) {
  const std::int32_t count = ReadInt32(Stream);
  if (count < 0 || count > (Stream.Size() - Stream.Position()) / kNodeRecordSize) throw EReadError();
  return count;
}

// Where an item goes relative to Relative by Mode: under which parent item
// (nullptr: the top level), at which index.
struct TItemPlace {
  QTreeWidgetItem* parent = nullptr;
  int index = 0;
};
TItemPlace PlaceOf(QTreeWidget* Tree, const TTreeNode* Relative, TNodeAttachMode Mode) {
  QTreeWidgetItem* item = Relative ? Relative->ItemId() : nullptr;
  auto count = [&](QTreeWidgetItem* Parent) { return Parent ? Parent->childCount() : Tree->topLevelItemCount(); };
  QTreeWidgetItem* siblingsParent = item ? item->parent() : nullptr;
  switch (Mode) {
    case naAdd: return {siblingsParent, count(siblingsParent)};
    case naAddFirst: return {siblingsParent, 0};
    case naAddChild: return {item, count(item)};
    case naAddChildFirst: return {item, 0};
    case naInsert: return item ? TItemPlace{siblingsParent, Relative->Index()} : TItemPlace{nullptr, count(nullptr)};
  }
  return {};
}

void WriteNode(TStream& Stream, const TTreeNode* Node) {
  WriteInt32(Stream, Node->ImageIndex());
  WriteInt32(Stream, Node->SelectedIndex());
  WriteInt32(Stream, Node->StateIndex());
  WriteInt32(Stream, Node->OverlayIndex());
  WriteInt64(Stream, static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(Node->Data)));
  WriteInt32(Stream, static_cast<std::int32_t>(Node->Text().size()));
  Stream.WriteBuffer(Node->Text().data(), static_cast<std::int64_t>(Node->Text().size()));
  WriteInt32(Stream, Node->Count());
  for (int i = 0; i < Node->Count(); ++i) WriteNode(Stream, Node->Item(i));
}

void ReadNode(TStream& Stream, TTreeNodes& Nodes, TTreeNode* Parent, int Depth) {
  if (Depth > kMaxStreamDepth) throw EReadError();
  const std::int32_t image = ReadInt32(Stream), selected = ReadInt32(Stream), state = ReadInt32(Stream),
                     overlay = ReadInt32(Stream);
  const std::int64_t data = ReadInt64(Stream);
  const std::int32_t length = ReadInt32(Stream);
  if (length < 0 || length > Stream.Size() - Stream.Position()) throw EReadError();
  std::string text(static_cast<std::size_t>(length), '\0');
  ReadExact(Stream, text.data(), length);
  TTreeNode* node = Nodes.AddChildObject(Parent, text, reinterpret_cast<void*>(static_cast<std::intptr_t>(data)));
  node->SetImageIndex(image);
  node->SetSelectedIndex(selected);
  node->SetStateIndex(state);
  node->SetOverlayIndex(overlay);
  const std::int32_t count = ReadCount(Stream);
  for (std::int32_t i = 0; i < count; ++i) ReadNode(Stream, Nodes, node, Depth + 1);
}

}  // namespace

// ---- TTreeNode ----

TTreeNode::TTreeNode(TTreeNodes* AOwner) : owner_(AOwner) {}

TTreeNode::~TTreeNode() = default;

TCustomTreeView* TTreeNode::TreeView() const { return owner_->Owner(); }

void TTreeNode::Repaint() {
  if (item_ && TreeView()->HandleAllocated()) TreeView()->TreeWidget()->viewport()->update();
}

void TTreeNode::SetText(const std::string& Value) {
  text_ = Value;
  if (item_) item_->setText(0, QString::fromStdString(Value));
}
void TTreeNode::SetImageIndex(int Value) {
  imageIndex_ = Value;
  Repaint();
}
void TTreeNode::SetSelectedIndex(int Value) {
  selectedIndex_ = Value;
  Repaint();
}
void TTreeNode::SetStateIndex(int Value) {
  stateIndex_ = Value;
  Repaint();
}
void TTreeNode::SetOverlayIndex(int Value) {
  overlayIndex_ = Value;
  Repaint();
}

TTreeNode* TTreeNode::Parent() const { return item_ ? TCustomTreeView::NodeOfItem(item_->parent()) : nullptr; }
int TTreeNode::Count() const { return item_ ? item_->childCount() : 0; }
TTreeNode* TTreeNode::Item(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("Tree node index out of bounds (" + std::to_string(Index) + ")");
  return TCustomTreeView::NodeOfItem(item_->child(Index));
}
int TTreeNode::Index() const {
  if (!item_) return -1;
  if (QTreeWidgetItem* p = item_->parent()) return p->indexOfChild(item_);
  return item_->treeWidget() ? item_->treeWidget()->indexOfTopLevelItem(item_) : -1;
}
int TTreeNode::Level() const {
  int level = 0;
  for (QTreeWidgetItem* p = item_ ? item_->parent() : nullptr; p; p = p->parent()) ++level;
  return level;
}
bool TTreeNode::HasChildren() const { return hasChildren_ || Count() > 0; }
void TTreeNode::SetHasChildren(bool Value) {
  hasChildren_ = Value;
  if (item_)
    item_->setChildIndicatorPolicy(Value ? QTreeWidgetItem::ShowIndicator
                                         : QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

TTreeNode* TTreeNode::getNextSibling() const {
  if (!item_) return nullptr;
  const int i = Index() + 1;
  if (QTreeWidgetItem* p = item_->parent()) return i < p->childCount() ? TCustomTreeView::NodeOfItem(p->child(i)) : nullptr;
  QTreeWidget* tree = item_->treeWidget();
  return tree && i < tree->topLevelItemCount() ? TCustomTreeView::NodeOfItem(tree->topLevelItem(i)) : nullptr;
}
TTreeNode* TTreeNode::getPrevSibling() const {
  if (!item_) return nullptr;
  const int i = Index() - 1;
  if (i < 0) return nullptr;
  if (QTreeWidgetItem* p = item_->parent()) return TCustomTreeView::NodeOfItem(p->child(i));
  return TCustomTreeView::NodeOfItem(item_->treeWidget()->topLevelItem(i));
}
TTreeNode* TTreeNode::GetNext() const {
  if (Count() > 0) return Item(0);
  for (const TTreeNode* n = this; n; n = n->Parent())
    if (TTreeNode* s = n->getNextSibling()) return s;
  return nullptr;
}
TTreeNode* TTreeNode::GetPrev() const {
  TTreeNode* prev = getPrevSibling();
  if (!prev) return Parent();
  while (prev->Count() > 0) prev = prev->Item(prev->Count() - 1);
  return prev;
}
int TTreeNode::AbsoluteIndex() const {
  int i = 0;
  for (const TTreeNode* n = GetPrev(); n; n = n->GetPrev()) ++i;
  return i;
}

bool TTreeNode::Expanded() const { return item_ && item_->isExpanded(); }
void TTreeNode::SetExpanded(bool Value) { TreeView()->SetNodeExpanded(this, Value); }
void TTreeNode::Expand(bool Recurse) {
  SetExpanded(true);
  if (Recurse)
    for (int i = 0; i < Count(); ++i) Item(i)->Expand(true);
}
void TTreeNode::Collapse(bool Recurse) {
  if (Recurse)
    for (int i = 0; i < Count(); ++i) Item(i)->Collapse(true);
  SetExpanded(false);
}
bool TTreeNode::Selected() const { return item_ && item_->isSelected(); }
void TTreeNode::SetSelected(bool Value) {
  if (!item_) return;
  if (Value)
    TreeView()->SetSelected(this);
  else
    item_->setSelected(false);
}
bool TTreeNode::Focused() const { return item_ && item_->treeWidget() && item_->treeWidget()->currentItem() == item_; }
void TTreeNode::SetFocused(bool Value) {
  if (!item_ || !item_->treeWidget()) return;
  QTreeWidget* tree = item_->treeWidget();
  if (Value)
    tree->setCurrentItem(item_, 0, QItemSelectionModel::NoUpdate);
  else if (tree->currentItem() == item_)
    tree->setCurrentItem(nullptr, 0, QItemSelectionModel::NoUpdate);
}
void TTreeNode::SetCut(bool Value) {
  cut_ = Value;
  Repaint();
}
void TTreeNode::SetBold(bool Value) {
  bold_ = Value;
  Repaint();
}
void TTreeNode::SetDropTarget(bool Value) {
  if (Value)
    TreeView()->SetDropTarget(this);
  else if (dropTarget_)
    TreeView()->SetDropTarget(nullptr);
}

bool TTreeNode::GetState(TNodeItemState State) const {
  switch (State) {
    case nisCut: return Cut();
    case nisBold: return Bold();
    case nisDropHilited: return DropTarget();
    case nisFocused: return Focused();
    case nisSelected: return Selected();
    case nisExpanded: return Expanded();
  }
  return false;
}
void TTreeNode::SetState(TNodeItemState State, bool Value) {
  switch (State) {
    case nisCut: SetCut(Value); break;
    case nisBold: SetBold(Value); break;
    case nisDropHilited: SetDropTarget(Value); break;
    case nisFocused: SetFocused(Value); break;
    case nisSelected:
      // With kept marks the state is the mark alone; the selected node stays.
      if (TreeView()->KeepSelectionMarks() && item_)
        item_->setSelected(Value);
      else
        SetSelected(Value);
      break;
    case nisExpanded: SetExpanded(Value); break;
  }
}

bool TTreeNode::IsVisible() const {
  for (TTreeNode* p = Parent(); p; p = p->Parent())
    if (!p->Expanded()) return false;
  return item_ != nullptr;
}

Rect TTreeNode::DisplayRect(bool TextOnly) const {
  if (!IsVisible()) return {};
  const TCustomTreeView::TItemLayout l = TreeView()->Layout(this);
  if (!TextOnly) return l.Line;
  return {l.LabelLeft, l.Line.top, l.LabelRight, l.Line.bottom};
}

bool TTreeNode::EditText() {
  TCustomTreeView* view = TreeView();
  if (!item_ || view->IsEditing()) return false;
  // The view's delegate makes the editor, asking BeginLabelEdit.
  view->TreeWidget()->editItem(item_);
  return view->IsEditing();
}
bool TTreeNode::EndEdit(bool Cancel) {
  TCustomTreeView* view = TreeView();
  if (!view->IsEditing() || view->editNode_ != this) return false;
  QTreeWidget* tree = view->TreeWidget();
  QWidget* editor = view->editControl_->Handle();
  // Committing goes through the delegate's setModelData.
  if (!Cancel) QMetaObject::invokeMethod(tree, "commitData", Q_ARG(QWidget*, editor));
  QMetaObject::invokeMethod(tree, "closeEditor", Q_ARG(QWidget*, editor),
                            Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
  return true;
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::MoveTo(TTreeNode* Destination, TNodeAttachMode Mode) {
  for (const TTreeNode* n = Destination; n; n = n->Parent())
    if (n == this) return;
  QTreeWidget* tree = item_ ? item_->treeWidget() : nullptr;
  if (!tree || (Destination && Destination->owner_ != owner_)) return;
  // Taking the item out forgets the expansion of its subtree and may move
  // the current item and the selection: the view hears none of it, and all
  // of it comes back once the item stands at its new place.
  const QSignalBlocker quiet(tree);
  QTreeWidgetItem* current = tree->currentItem();
  const QList<QTreeWidgetItem*> selected = tree->selectedItems();
  std::vector<QTreeWidgetItem*> expanded;
  const auto keep = [&](auto&& self, QTreeWidgetItem* Item) -> void {
    if (Item->isExpanded()) expanded.push_back(Item);
    for (int i = 0; i < Item->childCount(); ++i) self(self, Item->child(i));
  };
  keep(keep, item_);
  if (QTreeWidgetItem* p = item_->parent())
    p->removeChild(item_);
  else
    tree->takeTopLevelItem(tree->indexOfTopLevelItem(item_));
  const auto [parent, index] = PlaceOf(tree, Destination, Mode);
  if (parent)
    parent->insertChild(index, item_);
  else
    tree->insertTopLevelItem(index, item_);
  for (QTreeWidgetItem* item : expanded) item->setExpanded(true);
  if (tree->currentItem() != current) tree->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
  tree->clearSelection();
  for (QTreeWidgetItem* item : selected) item->setSelected(true);
}

// ---- TTreeNodes ----

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : owner_(AOwner) {}

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::GetFirstNode() const {
  if (!owner_->HandleAllocated()) return nullptr;
  QTreeWidget* tree = owner_->TreeWidget();
  return tree->topLevelItemCount() > 0 ? TCustomTreeView::NodeOfItem(tree->topLevelItem(0)) : nullptr;
}

int TTreeNodes::Count() const {
  int n = 0;
  for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext()) ++n;
  return n;
}

TTreeNode* TTreeNodes::Item(int Index) const {
  TTreeNode* node = GetFirstNode();
  for (int i = 0; node && i < Index; ++i) node = node->GetNext();
  if (Index < 0 || !node) throw EListError("Tree node index out of bounds (" + std::to_string(Index) + ")");
  return node;
}

TTreeNode* TTreeNodes::AddNode(TTreeNode* Relative, const std::string& S, void* Ptr, TNodeAttachMode Mode) {
  QTreeWidget* tree = owner_->TreeWidget();
  TTreeNode* node = owner_->CreateNode();
  auto* item = new QTreeWidgetItem;
  item->setText(0, QString::fromStdString(S));
  item->setData(0, kNodeRole, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(node)));
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
  node->item_ = item;
  node->text_ = S;
  node->Data = Ptr;
  const auto [parent, index] = PlaceOf(tree, Relative, Mode);
  if (parent)
    parent->insertChild(index, item);
  else
    tree->insertTopLevelItem(index, item);
  owner_->NodeInserted(node);
  return node;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
  return AddNode(Sibling, S, Ptr, naAdd);
}
TTreeNode* TTreeNodes::AddFirst(TTreeNode* Sibling, const std::string& S) { return AddNode(Sibling, S, nullptr, naAddFirst); }
TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr) {
  return AddNode(Parent, S, Ptr, naAddChild);
}
TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const std::string& S) {
  return AddNode(Parent, S, nullptr, naAddChildFirst);
}
TTreeNode* TTreeNodes::Insert(TTreeNode* Sibling, const std::string& S) { return AddNode(Sibling, S, nullptr, naInsert); }

void TTreeNodes::DeleteNode(TTreeNode* Node) {
  while (Node->Count() > 0) DeleteNode(Node->Item(Node->Count() - 1));
  if (owner_->hotNode_ == Node) owner_->hotNode_ = nullptr;
  owner_->Delete(Node);
  QTreeWidgetItem* item = Node->item_;
  Node->item_ = nullptr;
  if (QTreeWidgetItem* p = item->parent())
    p->removeChild(item);
  else if (QTreeWidget* tree = item->treeWidget())
    tree->takeTopLevelItem(tree->indexOfTopLevelItem(item));
  delete item;
  delete Node;
}

void TTreeNodes::Delete(TTreeNode* Node) {
  if (Node && Node->owner_ == this && Node->item_) DeleteNode(Node);
}

void TTreeNodes::Clear() {
  BeginUpdate();
  if (owner_->HandleAllocated()) {
    QTreeWidget* tree = owner_->TreeWidget();
    while (tree->topLevelItemCount() > 0)
      DeleteNode(TCustomTreeView::NodeOfItem(tree->topLevelItem(tree->topLevelItemCount() - 1)));
  }
  EndUpdate();
}

void TTreeNodes::BeginUpdate() {
  if (updateCount_++ == 0 && owner_->HandleAllocated()) owner_->TreeWidget()->setUpdatesEnabled(false);
}
void TTreeNodes::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && owner_->HandleAllocated())
    owner_->TreeWidget()->setUpdatesEnabled(true);
}

void TTreeNodes::WriteData(TStream& Stream) const {
  std::int32_t top = 0;
  for (TTreeNode* n = GetFirstNode(); n; n = n->getNextSibling()) ++top;
  WriteInt32(Stream, top);
  for (TTreeNode* n = GetFirstNode(); n; n = n->getNextSibling()) WriteNode(Stream, n);
}

void TTreeNodes::ReadData(TStream& Stream) {
  // Nodes read before a failure are taken out again; they all sit after the
  // present top-level nodes.
  QTreeWidget* tree = owner_->TreeWidget();
  const int before = tree->topLevelItemCount();
  BeginUpdate();
  try {
    const std::int32_t count = ReadCount(Stream);
    for (std::int32_t i = 0; i < count; ++i) ReadNode(Stream, *this, nullptr, 1);
  } catch (...) {
    while (tree->topLevelItemCount() > before)
      DeleteNode(TCustomTreeView::NodeOfItem(tree->topLevelItem(tree->topLevelItemCount() - 1)));
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TTreeNodes::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty(
      "Data",
      [this](TStream& Stream) {
        Clear();
        ReadData(Stream);
      },
      [this](TStream& Stream) { WriteData(Stream); }, GetFirstNode() != nullptr);
}
