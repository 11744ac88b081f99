// TCustomZrTreeView: filling from the source, lazy loading, the source's
// notices, and the user's edits routed to the source.

#include "components/base/ZrTree.h"

#include <algorithm>
#include <compare>

#include "components/base/ClassItems.h"
#include "components/base/zrtslite.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/DragManager.h"
#include "platform/controls/Menus.h"
#include "platform/core/List.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Screen.h"

namespace {

constexpr const char* kConfirmDelete = "Delete Item(s)?";

TtreeViewOptions OptionsOf(std::uint16_t Bits) { return TtreeViewOptions::FromBits(Bits); }

// Runs Undo when the scope ends, also after an error.
template <class F>
struct Finally {
  F undo;
  ~Finally() { undo(); }
};
template <class F>
Finally(F) -> Finally<F>;

}  // namespace

KESTOVA_CLASS_INFO(TZRTreeNode, TDrawNode, "ZrTree", nullptr)

// ---- Nodes ----

TZRTreeNode::TZRTreeNode(TTreeNodes* AOwner, TZRTreeNodes* Collection) : TDrawNode(AOwner), collection_(Collection) {}

bool TZRTreeNode::NotLoaded() const {
  if (Count() != 1) return false;
  const auto* child = static_cast<const TZRTreeNode*>(Item(0));
  return child->id_ == 0 && child->Text().empty();
}

void TZRTreeNode::MoveTo(TZRTreeNode* Destination, std::uint8_t Mode) {
  TTreeSource* own = collection_->SourceOf(this);
  if (own && Destination && own == collection_->SourceOf(Destination)) {
    own->MoveNode(id_, Destination->id_, Mode);
    return;
  }
  MoveNativeTo(Destination, Mode);
}

void TZRTreeNode::MoveNativeTo(TZRTreeNode* Destination, std::uint8_t Mode) {
  if (Mode > naInsert) return;
  const TFontStyles style = FontStyle();
  TTreeNode::MoveTo(Destination, static_cast<TNodeAttachMode>(Mode));
  SetFontStyle(style);
}

// ---- The node index ----

std::vector<TNodeList::TFNode>::const_iterator TNodeList::LowerBound(TNodeID ID) const {
  // A three-way comparison: the difference of two IDs overflows.
  return std::lower_bound(entries_.begin(), entries_.end(), ID,
                          [](const TFNode& e, TNodeID id) { return (e.ID <=> id) < 0; });
}

void TNodeList::Add(TZRTreeNode* Node) {
  const auto at = LowerBound(Node->ID());
  if (at != entries_.end() && at->ID == Node->ID()) return;
  entries_.insert(at, {Node->ID(), Node});
}

void TNodeList::Remove(TZRTreeNode* Node) {
  const auto at = LowerBound(Node->ID());
  if (at != entries_.end() && at->Node == Node) entries_.erase(at);
}

TZRTreeNode* TNodeList::Find(TNodeID ID) const {
  const auto at = LowerBound(ID);
  return at != entries_.end() && at->ID == ID ? at->Node : nullptr;
}

// ---- The node collection ----

TTreeSource* TZRTreeNodes::SourceOf(TTreeNode* Node) const {
  auto* parent = Node ? static_cast<TZRTreeNode*>(Node->Parent()) : nullptr;
  return parent && parent->Source() ? parent->Source() : source_;
}

TTreeSource* TZRTreeNodes::ChildSourceOf(TTreeNode* Node) const {
  auto* node = static_cast<TZRTreeNode*>(Node);
  return node && node->Source() ? node->Source() : SourceOf(Node);
}

TNodeID TZRTreeNodes::ChildKeyOf(TTreeNode* Node) {
  auto* node = static_cast<TZRTreeNode*>(Node);
  return node->ChildKey() == kChildKeyIsID ? node->ID() : node->ChildKey();
}

void TZRTreeNodes::FillNode(TZRTreeNode* Node, const TNodeRec& Rec, bool Full) {
  Node->SetText(Rec.Text.substr(0, Rec.Text.find('|')));
  Node->SetID(Rec.ID);
  Node->SetImageIndex(Rec.ImageIndex);
  Node->SetSelectedIndex(Rec.SelectedIndex);
  Node->SetStateIndex(Rec.StateIndex);
  Node->SetOverlayIndex(Rec.OverlayIndex);
  Node->Data = reinterpret_cast<void*>(Rec.Data);
  Node->SetFontColor(Rec.FontColor);
  Node->SetFontStyle(Rec.FontStyle);
  if (Full) {
    Node->SetSource(Rec.Source);
    Node->SetChildKey(Rec.ChildKey);
  }
  if (view_->OnNodeChanged) view_->OnNodeChanged(view_, Node);
}

void TZRTreeNodes::AddFromRec(TZRTreeNode* Node, const TNodeRec& Rec, bool Full) {
  FillNode(Node, Rec, Full);
  if (Rec.ID != 0 && !index_.Find(Rec.ID)) index_.Add(Node);
}

TZRTreeNode* TZRTreeNodes::FindNode(TNodeID ID) const {
  if (ID == 0) return nullptr;
  TZRTreeNode* selected = view_->SelectedNode();
  if (selected && selected->ID() == ID) return selected;
  return index_.Find(ID);
}

TTreeNode* TZRTreeNodes::AddNode(TTreeNode* Parent, const std::string& Text, std::uint8_t Mode, void* Data) {
  if (Mode > naInsert) return nullptr;
  TTreeSource* source = SourceOf(Parent);
  if (!source) {
    TTreeNodes* items = view_->Items();
    const bool first = !items->GetFirstNode();
    if (first) view_->BeginUpdate();
    Finally close{[&] {
      if (first) view_->EndUpdate();
    }};
    switch (static_cast<TNodeAttachMode>(Mode)) {
      case naAdd: return items->AddObject(Parent, Text, Data);
      case naAddFirst: return items->AddFirst(Parent, Text);
      case naAddChild: return items->AddChildObject(Parent, Text, Data);
      case naAddChildFirst: return items->AddChildFirst(Parent, Text);
      case naInsert: return items->Insert(Parent, Text);
    }
    return nullptr;
  }
  auto* parent = static_cast<TZRTreeNode*>(Parent);
  if (parent && IsChildMode(Mode)) parent->Expand(false);
  source->InsertNode(parent ? parent->ID() : 0, Text, Mode);
  return nullptr;
}

void TZRTreeNodes::Delete(TTreeNode* Node) {
  auto* node = static_cast<TZRTreeNode*>(Node);
  if (TTreeSource* source = SourceOf(Node)) {
    source->DeleteNode(node->ID());
    if (TZRTreeNode* selected = view_->SelectedNode()) source->SetCurrent(selected->ID());
    return;
  }
  view_->Items()->Delete(Node);
}

void TZRTreeNodes::Clear() {
  view_->BeginUpdate();
  Finally close{[&] { view_->EndUpdate(); }};
  if (source_) source_->DeleteAll();
  view_->Items()->Clear();
  index_.Clear();
}

void TZRTreeNodes::MoveUp(TZRTreeNode* Node) {
  if (auto* prev = static_cast<TZRTreeNode*>(Node->GetPrev())) Node->MoveTo(prev, naInsert);
}

void TZRTreeNodes::MoveDown(TZRTreeNode* Node) {
  auto* next = static_cast<TZRTreeNode*>(Node->getNextSibling());
  if (!next) return;
  if (auto* after = static_cast<TZRTreeNode*>(next->getNextSibling()))
    Node->MoveTo(after, naInsert);
  else
    Node->MoveTo(next, naAdd);
}

// ---- The view ----

void DescribeTCustomZrTreeView(TClassInfo& Info) {
  AddMessageHandler<&TCustomZrTreeView::WMTreeSourceChanged>(Info, ZRM_TREESOURCECHANGED);
  AddMessageHandler<&TCustomZrTreeView::WMLButtonDblClk>(Info, WM_LBUTTONDBLCLK);
  AddMessageHandler<&TCustomZrTreeView::WMLButtonDown>(Info, WM_LBUTTONDOWN);
  AddMessageHandler<&TCustomZrTreeView::WMRButtonUp>(Info, WM_RBUTTONUP);
  AddMessageHandler<&TCustomZrTreeView::WMContextMenu>(Info, WM_CONTEXTMENU);
  AddMessageHandler<&TCustomZrTreeView::WMFocusGained>(Info, WM_SETFOCUS);
}
KESTOVA_CLASS_INFO_DESCRIBED(TCustomZrTreeView, TCustomMSTreeView, "ZrTree", nullptr, DescribeTCustomZrTreeView)

KESTOVA_TYPE_INFO(TtreeViewOption,
                  MakeEnumType("TtreeViewOption",
                               {"toProcessInsKey", "toProcessDelKey", "toCanEdit", "toCanNavigate", "toProcessEnterKey",
                                "toProcessDblClick", "toTrackInsert", "toSmartPopup", "toConfirmDelete",
                                "toCheckChild", "toFreeOnCollapse"},
                               "ZrTree"))
KESTOVA_TYPE_INFO(TtreeViewOptions, MakeSetType("TtreeViewOptions", TypeInfos::TtreeViewOption()))
KESTOVA_TYPE_INFO(TNodeChangedEvent,
                  MakeMethodType("TNodeChangedEvent", mkProcedure,
                                 {{{}, "Sender", "TObject"}, {{}, "Node", "TTreeNode"}}))

// What a stored form keeps of the view, besides what its ancestors publish
// (the tree view's switches, the check boxes, drag scrolling and expanding,
// the multi-selection and Version, which is never stored): the usual control
// looks, hint and tab place, and the key, mouse and drag events. Color and
// Font are stored only while they are the view's own, so that a stored
// ParentColor or ParentFont survives reading.
void DescribeTZRTreeView(TClassInfo& Info) {
  using V = TZRTreeView;
  namespace T = TypeInfos;
  TClassPublisher<V> p(Info);
  p.Property<&V::Color, &V::SetColor>("Color", T::TColor()).Default(clWindow).Stored<&V::IsColorStored>();
  p.Property<&V::DragCursor, &V::SetDragCursor>("DragCursor", T::TCursor()).Default(crDrag);
  p.Property<&V::DragMode, &V::SetDragMode>("DragMode", T::TDragMode()).Default(dmManual);
  p.Property<&V::Font, &V::SetFont>("Font", ClassTypeInfo(TFont::StaticClass())).Stored<&V::IsFontStored>();
  p.Property<&V::Hint, &V::SetHint>("Hint", T::String());
  p.Property<&V::Options, &V::SetOptions>("Options", T::TtreeViewOptions())
      .Default(TtreeViewOptions::FromBits(kDefaultTreeViewOptions));
  p.Property<&V::ParentColor, &V::SetParentColor>("ParentColor", T::Boolean()).Default(false);
  p.Property<&V::ParentFont, &V::SetParentFont>("ParentFont", T::Boolean()).Default(true);
  p.Property<&V::ParentShowHint, &V::SetParentShowHint>("ParentShowHint", T::Boolean()).Default(true);
  p.Property<&V::ShowHint, &V::SetShowHint>("ShowHint", T::Boolean()).Default(false).Stored<&V::IsShowHintStored>();
  p.Property<&V::Source, &V::SetSource>("Source", ClassTypeInfo(TTreeSource::StaticClass()))
      .Stored<&V::IsSourceStored>();
  p.Property<&V::TabOrder, &V::SetTabOrder>("TabOrder", T::TTabOrder());
  p.Property<&V::OnChanging, &V::OnChanging>("OnChanging", T::TTVChangingEvent());
  p.Property<&V::OnChange, &V::OnChange>("OnChange", T::TTVChangedEvent());
  p.Property<&V::OnClickCheck, &V::OnClickCheck>("OnClickCheck", T::TZRClickCheckEvent());
  p.Property<&V::OnCollapsed, &V::OnCollapsed>("OnCollapsed", T::TTVExpandedEvent());
  p.Property<&V::OnCollapsing, &V::OnCollapsing>("OnCollapsing", T::TTVCollapsingEvent());
  p.Property<&V::OnCustomDraw, &V::OnCustomDraw>("OnCustomDraw", T::TTVCustomDrawEvent());
  p.Property<&V::OnCustomDrawItem, &V::OnCustomDrawItem>("OnCustomDrawItem", T::TTVCustomDrawItemEvent());
  p.Property<&V::OnDblClick, &V::OnDblClick>("OnDblClick", T::TNotifyEvent());
  p.Property<&V::OnDeletion, &V::OnDeletion>("OnDeletion", T::TTVExpandedEvent());
  p.Property<&V::OnDragDrop, &V::OnDragDrop>("OnDragDrop", T::TDragDropEvent());
  p.Property<&V::OnDragOver, &V::OnDragOver>("OnDragOver", T::TDragOverEvent());
  p.Property<&V::OnEdited, &V::OnEdited>("OnEdited", T::TTVEditedEvent());
  p.Property<&V::OnEditing, &V::OnEditing>("OnEditing", T::TTVEditingEvent());
  p.Property<&V::OnEndDrag, &V::OnEndDrag>("OnEndDrag", T::TEndDragEvent());
  p.Property<&V::OnExpanded, &V::OnExpanded>("OnExpanded", T::TTVExpandedEvent());
  p.Property<&V::OnExpanding, &V::OnExpanding>("OnExpanding", T::TTVExpandingEvent());
  p.Property<&V::OnKeyDown, &V::OnKeyDown>("OnKeyDown", T::TKeyEvent());
  p.Property<&V::OnKeyPress, &V::OnKeyPress>("OnKeyPress", T::TKeyPressEvent());
  p.Property<&V::OnKeyUp, &V::OnKeyUp>("OnKeyUp", T::TKeyEvent());
  p.Property<&V::OnMouseDown, &V::OnMouseDown>("OnMouseDown", T::TMouseEvent());
  p.Property<&V::OnMouseMove, &V::OnMouseMove>("OnMouseMove", T::TMouseMoveEvent());
  p.Property<&V::OnMouseUp, &V::OnMouseUp>("OnMouseUp", T::TMouseEvent());
  p.Property<&V::OnNodeChanged, &V::OnNodeChanged>("OnNodeChanged", T::TNodeChangedEvent());
  p.Property<&V::OnSelectionChanged, &V::OnSelectionChanged>("OnSelectionChanged", T::TTVChangedEvent());
  p.Property<&V::OnStartDrag, &V::OnStartDrag>("OnStartDrag", T::TStartDragEvent());
}
KESTOVA_CLASS_INFO_DESCRIBED(TZRTreeView, TCustomZrTreeView, "ZrTree", MakeComponent<TZRTreeView>, DescribeTZRTreeView)

void RegisterTreeViewClasses() {
  const TClass classes[] = {TZRTreeView::StaticClass(), TZRStringSource::StaticClass()};
  RegisterClassesOnce(classes);
}

TCustomZrTreeView::TCustomZrTreeView(TComponent* AOwner)
    : TCustomMSTreeView(AOwner),
      nodes_(std::make_unique<TZRTreeNodes>(this)),
      menu_(std::make_unique<TPopupMenu>(nullptr)) {
  TreeSourceNotifiers()->AddNotifier(TNotifierMethod::Of<&TCustomZrTreeView::SourceNotice>(*this));
  SetMultiDragAllowed(false);
  options_ = OptionsOf(kDefaultTreeViewOptions);
}

TCustomZrTreeView::~TCustomZrTreeView() {
  destroying_ = true;
  TreeSourceNotifiers()->RemoveNotifier(TNotifierMethod::Of<&TCustomZrTreeView::SourceNotice>(*this));
  if (source_) source_->RemoveFreeNotification(this);
  source_ = nullptr;
  nodes_->source_ = nullptr;
  // The window's nodes go before the collection they point to.
  if (HandleAllocated()) Items()->Clear();
  nodes_->index_.Clear();
}

TTreeSource* TCustomZrTreeView::Source() const {
  TZRTreeNode* selected = SelectedNode();
  return selected ? nodes_->SourceOf(selected) : source_;
}

void TCustomZrTreeView::SetSource(TTreeSource* Value) {
  if (Value == source_) return;
  if (source_) source_->RemoveFreeNotification(this);
  source_ = Value;
  nodes_->SetSource(Value);
  if (Value) Value->FreeNotification(this);
  Fill(0);
  UpdateImages();
}

void TCustomZrTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomMSTreeView::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == source_) SetSource(nullptr);
}

void TCustomZrTreeView::SetOptions(TtreeViewOptions Value) {
  const TtreeViewOptions before = options_;
  options_ = Value;
  if (!source_ || !HandleAllocated()) return;
  if (Value.Contains(toCanNavigate) && !before.Contains(toCanNavigate)) {
    TZRTreeNode* current = nodes_->FindNode(source_->GetCurrent());
    if (current && current != SelectedNode()) SetSelected(current);
  }
  if (Value.Contains(toCheckChild) && !before.Contains(toCheckChild)) {
    for (TTreeNode* n = Items()->GetFirstNode(); n; n = n->GetNext()) {
      auto* node = static_cast<TZRTreeNode*>(n);
      TTreeSource* source = nodes_->ChildSourceOf(node);
      if (node->NotLoaded() && source && !source->HasChildren(node->ID())) Items()->Delete(node->Item(0));
    }
  }
}

TTreeNode* TCustomZrTreeView::CreateNode() {
  auto* node = new TZRTreeNode(Items(), nodes_.get());
  InitNode(node);
  SetRangeAnchor(node);
  return node;
}

void TCustomZrTreeView::CreateWnd() {
  TCustomMSTreeView::CreateWnd();
  // Without a source the nodes are the view's own, kept over a new window.
  if (source_) Fill(0);
  UpdateImages();
}

bool TCustomZrTreeView::HasNodes() { return TCustomMSTreeView::HasNodes() && !source_; }

void TCustomZrTreeView::BeginUpdate() {
  TCustomMSTreeView::BeginUpdate();
  if (source_) source_->BeginUpdate();
}

void TCustomZrTreeView::EndUpdate() {
  TCustomMSTreeView::EndUpdate();
  if (source_) source_->EndUpdate();
}

void TCustomZrTreeView::UpdateImages() {
  if (!source_ || !HandleAllocated()) return;
  SetImages(source_->GetSmallImages());
  if (TImageList* states = source_->GetStateImages()) SetStateImages(states);
}

// ---- Filling ----

void TCustomZrTreeView::AddPlaceholder(TZRTreeNode* Node, TNodeID Key) {
  if (Node->Count() > 0) return;
  TTreeSource* source = nodes_->ChildSourceOf(Node);
  if (!options_.Contains(toCheckChild) || (source && source->HasChildren(Key))) Items()->AddChild(Node, "");
}

void TCustomZrTreeView::Fill(TNodeID ID) {
  if (ComponentState().Contains(csReading) || destroying_ || !HandleAllocated()) return;
  TZRTreeNode* root = nodes_->FindNode(ID);
  if (ID != 0 && !root) return;

  // What the user saw: the selected node and the expanded ones.
  const TNodeID selectedID = SelectedNode() ? SelectedNode()->ID() : 0;
  std::vector<TNodeID> expanded;
  TTreeNode* first = root ? root : Items()->GetFirstNode();
  TTreeNode* stop = root ? root->getNextSibling() : nullptr;
  for (TTreeNode* n = first; n && n != stop; n = n->GetNext()) {
    if (root && n != root && n->Parent() == root->Parent()) break;
    if (n->Expanded() && n->Count() > 0) expanded.push_back(static_cast<TZRTreeNode*>(n)->ID());
  }

  BeginUpdate();
  Finally restore{[&] {
    SetFilling(true);
    for (TNodeID e : expanded)
      if (TZRTreeNode* n = nodes_->index_.Find(e)) n->Expand(false);
    SetFilling(false);
    TTreeNode* select = selectedID ? nodes_->FindNode(selectedID) : nullptr;
    if (!select) select = Items()->GetFirstNode();
    if (select && select != Selected()) SetSelected(select);
    EndUpdate();
    SetRangeAnchor(static_cast<TDrawNode*>(Selected()));
    ScheduleSelectionChanged(Selected());
  }};
  if (!root) nodes_->index_.Clear();
  if (!source_) {
    Items()->Clear();
    return;
  }
  if (root || source_->CanPerform(0, toIsHierarchy)) {
    if (root) {
      while (root->Count() > 0) Items()->Delete(root->Item(root->Count() - 1));
    } else {
      Items()->Clear();
    }
    nodes_->cursor_ = root;
    if (ID == kChildKeyIsID) return;
    std::vector<TZRTreeNode*> added;
    ForEachChild(*source_, root ? root->ID() : 0, [&](const TNodeRec& rec) {
      auto* node = static_cast<TZRTreeNode*>(root ? Items()->AddChild(root, "") : Items()->Add(nullptr, ""));
      nodes_->AddFromRec(node, rec, true);
      added.push_back(node);
    });
    for (TZRTreeNode* node : added) AddPlaceholder(node, node->ID());
    return;
  }
  // A flat list refreshed in place: the node objects stay.
  auto* cursor = static_cast<TZRTreeNode*>(Items()->GetFirstNode());
  ForEachChild(*source_, 0, [&](const TNodeRec& rec) {
    if (cursor) {
      nodes_->AddFromRec(cursor, rec, true);
      cursor = static_cast<TZRTreeNode*>(cursor->getNextSibling());
    } else {
      nodes_->AddFromRec(static_cast<TZRTreeNode*>(Items()->Add(nullptr, "")), rec, true);
    }
  });
  while (cursor) {
    auto* next = static_cast<TZRTreeNode*>(cursor->getNextSibling());
    Items()->Delete(cursor);
    cursor = next;
  }
}

void TCustomZrTreeView::LoadChildren(TZRTreeNode* Node) {
  TTreeSource* source = nodes_->ChildSourceOf(Node);
  if (!source) return;
  BeginUpdate();
  source->BeginUpdate();
  Screen->SetCursor(crHourGlass);
  Finally close{[&] {
    source->EndUpdate();
    EndUpdate();
    Screen->SetCursor(crDefault);
  }};
  Items()->Delete(Node->Item(0));
  std::vector<TZRTreeNode*> added;
  ForEachChild(*source, TZRTreeNodes::ChildKeyOf(Node), [&](const TNodeRec& rec) {
    auto* child = static_cast<TZRTreeNode*>(Items()->AddChild(Node, ""));
    nodes_->AddFromRec(child, rec, true);
    added.push_back(child);
  });
  for (TZRTreeNode* child : added) AddPlaceholder(child, TZRTreeNodes::ChildKeyOf(child));
}

bool TCustomZrTreeView::CanExpand(TTreeNode* Node) {
  if (!TCustomMSTreeView::CanExpand(Node)) return false;
  auto* node = static_cast<TZRTreeNode*>(Node);
  if (node->ID() != 0 && node->NotLoaded()) LoadChildren(node);
  return true;
}

void TCustomZrTreeView::FreeChildren(TZRTreeNode* Node) {
  {
    BeginUpdate();
    Finally close{[&] { EndUpdate(); }};
    while (Node->Count() > 0) Items()->Delete(Node->Item(Node->Count() - 1));
  }
  AddPlaceholder(Node, TZRTreeNodes::ChildKeyOf(Node));
}

bool TCustomZrTreeView::CanCollapse(TTreeNode* Node) {
  if (!TCustomMSTreeView::CanCollapse(Node)) return false;
  auto* node = static_cast<TZRTreeNode*>(Node);
  if (options_.Contains(toFreeOnCollapse) && source_ && (UpdateCount() <= 0 || Filling()) && node->ID() != 0 &&
      !node->NotLoaded())
    FreeChildren(node);
  return true;
}

// ---- Notices ----

void TCustomZrTreeView::SourceNotice(TComponent* Sender, void* Data, std::int32_t Code) {
  if (destroying_) return;
  const bool own = Sender && Sender == source_;
  switch (Code) {
    case tnNodesChanged: {
      const auto* list = static_cast<const TList*>(Data);
      const bool grouped = list->Count() >= 2;
      if (grouped) BeginUpdate();
      Finally close{[&] {
        if (grouped) EndUpdate();
      }};
      for (int i = 0; i < list->Count(); ++i) {
        const auto* rec = static_cast<const TNodeRec*>(list->Get(i));
        if (TZRTreeNode* node = HeldNode(Sender, rec->ID)) nodes_->FillNode(node, *rec, false);
      }
      break;
    }
    case tnRebuild:
      if (own) {
        BeginUpdate();
        Finally close{[&] { EndUpdate(); }};
        Fill(static_cast<const TNodeRec*>(Data)->ID);
      }
      break;
    case tnDeleted: {
      const auto* rec = static_cast<const TNodeRec*>(Data);
      TZRTreeNode* node = HeldNode(Sender, rec->ID);
      if (!node) break;
      {
        BeginUpdate();
        Finally close{[&] { EndUpdate(); }};
        if (rec->Data != 0)
          while (node->Count() > 0) Items()->Delete(node->Item(node->Count() - 1));
        else
          Items()->Delete(node);
      }
      ScheduleSelectionChanged(Selected());
      break;
    }
    case tnNavigate:
      if (own && options_.Contains(toCanNavigate)) Navigate(static_cast<const TNodeRec*>(Data)->ID);
      break;
    case tnExpandSelect:
      if (own)
        if (TZRTreeNode* node = nodes_->FindNode(static_cast<const TNodeRec*>(Data)->ID)) {
          node->Expand(false);
          SetSelected(node);
        }
      break;
    case tnInserted: {
      if (!options_.Contains(toTrackInsert)) break;
      const auto* rec = static_cast<const TNodeRec*>(Data);
      if (TZRTreeNode* node = nodes_->FindNode(rec->ID)) {
        SetSelected(node);
        break;
      }
      TZRTreeNode* parent = rec->ChildKey == kChildKeyIsID ? nullptr : nodes_->FindNode(rec->ChildKey);
      TTreeSource* selectedSource = SelectedNode() ? nodes_->SourceOf(SelectedNode()) : nullptr;
      TNodeRec insert = *rec;
      if ((parent && parent->ChildKey() == 0) ||
          (selectedSource && reinterpret_cast<TNodeID>(selectedSource->GetLink()) == rec->ChildKey && rec->ChildKey != 0)) {
        insert.Mode = naAddChild;
        InsertRecord(parent, insert, false);
      } else if (parent) {
        InsertRecord(parent, insert, false);
      } else if (rec->Source == source_) {
        InsertRecord(nullptr, insert, false);
      }
      break;
    }
    case tnMoved: {
      const auto* rec = static_cast<const TNodeRec*>(Data);
      TZRTreeNode* node = nodes_->FindNode(rec->ID);
      TZRTreeNode* target = nodes_->FindNode(rec->TargetID);
      if (!node || !target) {
        if (node) Items()->Delete(node);
        if (target) InsertRecord(target, *rec, true);
      } else if (node != target) {
        if (IsChildMode(rec->Mode) && target->NotLoaded()) {
          Items()->Delete(node);
          target->Expand(false);
          Navigate(rec->ID);
        } else {
          node->MoveNativeTo(target, rec->Mode);
        }
      }
      break;
    }
    case tnImagesChanged:
      UpdateImages();
      break;
    default:
      break;
  }
}

TZRTreeNode* TCustomZrTreeView::HeldNode(TComponent* Sender, TNodeID ID) const {
  // IDs are chosen by each source: a node of another source with the same
  // ID is not the one a notice is about.
  TZRTreeNode* node = nodes_->FindNode(ID);
  if (!node || !Sender) return node;
  TTreeSource* source = nodes_->SourceOf(node);
  return !source || source == Sender ? node : nullptr;
}

void TCustomZrTreeView::WMTreeSourceChanged(TMessage& Message) {
  TNodeRec rec;
  if (!TakePostedNodeRec(Message, rec)) return;  // its source is gone
  SourceNotice(reinterpret_cast<TTreeSource*>(rec.Data), &rec, static_cast<std::int32_t>(Message.LParam));
}

void TCustomZrTreeView::InsertRecord(TZRTreeNode* Node, const TNodeRec& Rec, bool Move) {
  if (Node && IsChildMode(Rec.Mode) && Node->NotLoaded()) {
    Node->Expand(false);  // loading brings the new node
    Navigate(Rec.ID);
    return;
  }
  if (!Node) {
    Navigate(Rec.ID);
    if (SelectedNode() && SelectedNode()->ID() == Rec.ID) return;
  }
  TTreeNodes* items = Items();
  TTreeNode* added = nullptr;
  switch (static_cast<TNodeAttachMode>(Rec.Mode)) {
    case naAdd: added = items->AddObject(Node, Rec.Text, reinterpret_cast<void*>(Rec.Data)); break;
    case naAddFirst: added = items->AddFirst(Node, Rec.Text); break;
    case naAddChild: added = items->AddChildObject(Node, Rec.Text, reinterpret_cast<void*>(Rec.Data)); break;
    case naAddChildFirst: added = items->AddChildFirst(Node, Rec.Text); break;
    case naInsert: added = items->Insert(Node, Rec.Text); break;
  }
  if (!added) return;
  auto* node = static_cast<TZRTreeNode*>(added);
  nodes_->AddFromRec(node, Rec, Move);
  if (Move)
    AddPlaceholder(node, TZRTreeNodes::ChildKeyOf(node));
  else
    node->SetChildKey(kChildKeyIsID);
  if (TTreeSource* source = nodes_->SourceOf(node)) source->AfterNodeInsert(Rec.ID);
  ClearSelection();
  SetSelected(node);
}

void TCustomZrTreeView::Navigate(TNodeID ID) {
  if (IsEditing() && Selected()) Selected()->EndEdit(true);
  if (ID == 0 && source_) ID = source_->GetCurrent();
  if (TZRTreeNode* node = nodes_->FindNode(ID)) {
    if (node != Selected()) {
      ClearSelection();
      SetSelected(node);
    }
    return;
  }
  if (!source_) return;
  // Up through the source until a node is shown; then down again, expanding.
  std::vector<TNodeID> chain;
  for (TNodeID p = source_->GetParentID(ID); p != 0; p = source_->GetParentID(p)) {
    if (std::find(chain.begin(), chain.end(), p) != chain.end()) break;
    chain.push_back(p);
    if (nodes_->FindNode(p)) break;
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    if (TZRTreeNode* n = nodes_->FindNode(*it)) n->Expand(false);
  ClearSelection();
  if (TZRTreeNode* node = nodes_->FindNode(ID)) SetSelected(node);
}

// ---- The current node ----

void TCustomZrTreeView::ReportCurrent() {
  if (!Focused() || !source_ || UpdateCount() > 0) return;
  TZRTreeNode* selected = SelectedNode();
  source_->SetCurrent(selected ? selected->ID() : 0);
}

void TCustomZrTreeView::Change(TTreeNode* Node) {
  if (UpdateCount() <= 0) TCustomMSTreeView::Change(Node);
  ReportCurrent();
  activated_ = false;
}

void TCustomZrTreeView::WMFocusGained(TMessage& Message) {
  InheritedMessage(TCustomZrTreeView::StaticClass(), Message);
  ReportCurrent();
}

// ---- Native notices ----

void TCustomZrTreeView::Delete(TTreeNode* Node) {
  auto* node = static_cast<TZRTreeNode*>(Node);
  if (node->ID() != 0) {
    nodes_->index_.Remove(node);
    if (source_ && !destroying_ && UpdateCount() <= 0) source_->SetCurrent(0);
  }
  TCustomMSTreeView::Delete(Node);
}

bool TCustomZrTreeView::CanEdit(TTreeNode* Node) {
  if (activated_) {
    activated_ = false;
    return false;
  }
  auto* node = static_cast<TZRTreeNode*>(Node);
  if (TTreeSource* source = nodes_->SourceOf(node); source && !source->CanPerform(node->ID(), toEdit)) return false;
  return TCustomMSTreeView::CanEdit(Node);
}

void TCustomZrTreeView::Edit(TTreeNode* Node, std::string& S) {
  auto* node = static_cast<TZRTreeNode*>(Node);
  if (TTreeSource* source = nodes_->SourceOf(node)) source->SetNodeText(node->ID(), S);
  TCustomMSTreeView::Edit(Node, S);
}

// ---- Keys and mouse ----

bool TCustomZrTreeView::Allowed(TNodeID ID, std::int32_t Operation) {
  TZRTreeNode* selected = SelectedNode();
  TTreeSource* source = selected ? nodes_->SourceOf(selected) : source_;
  return !source || source->CanPerform(ID, Operation);
}

void TCustomZrTreeView::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  if (!IsEditing() && !ReadOnly()) {
    TZRTreeNode* selected = SelectedNode();
    const TNodeID id = selected ? selected->ID() : 0;
    switch (Key) {
      case VK_RETURN:
        if (options_.Contains(toProcessEnterKey)) {
          if (TTreeSource* source = Source(); source && selected) source->ActivateNode(id);
          Key = 0;
        }
        break;
      case VK_INSERT:
        if (options_.Contains(toProcessInsKey)) {
          if (Shift.Contains(ssCtrl) && Allowed(id, toAddChild)) {
            nodes_->AddChild(selected, "");
            Key = 0;
          } else if (Allowed(id, toInsert)) {
            nodes_->InsertBefore(selected, "");
            Key = 0;
          }
        }
        break;
      case VK_DELETE:
        if (options_.Contains(toProcessDelKey)) {
          bool allowed = true;
          for (TDrawNode* n : Selection()) {
            TTreeSource* source = nodes_->SourceOf(n);
            if (source && !source->CanPerform(static_cast<TZRTreeNode*>(n)->ID(), toDelete)) allowed = false;
          }
          if (selected)
            if (TTreeSource* source = nodes_->SourceOf(selected); source && !source->CanPerform(id, toDelete))
              allowed = false;
          if (allowed) DeleteSelection();
          Key = 0;
        }
        break;
      case VK_F1 + 1:  // F2
        if (options_.Contains(toCanEdit) && selected && Allowed(id, toEdit)) {
          selected->EditText();
          Key = 0;
        }
        break;
      default:
        break;
    }
  }
  TCustomMSTreeView::KeyDown(Key, Shift);
}

void TCustomZrTreeView::KeyPress(char32_t& Key) {
  if (Key == U'\r' && options_.Contains(toProcessEnterKey)) Key = 0;
  TCustomMSTreeView::KeyPress(Key);
}

void TCustomZrTreeView::DeleteSelection() {
  TZRTreeNode* selected = SelectedNode();
  if (!selected && Selection().empty()) return;
  if (options_.Contains(toConfirmDelete) &&
      Dialogs().MessageBox(kConfirmDelete, "Confirm", TMsgDlgType::mtConfirmation, TMsgDlgButtons::mbYesNo) != mrYes)
    return;
  if (!Selection().empty() || !selected) {
    std::vector<TZRTreeNode*> doomed;
    for (TDrawNode* n : Selection()) doomed.push_back(static_cast<TZRTreeNode*>(n));
    if (selected && std::find(doomed.begin(), doomed.end(), selected) == doomed.end()) doomed.push_back(selected);
    BeginUpdate();
    Finally close{[&] { EndUpdate(); }};
    // A deletion may take later entries with it (children, or a source that
    // rebuilds): each node is looked up again by its ID first.
    std::vector<TNodeID> ids;
    for (TZRTreeNode* n : doomed) ids.push_back(n->ID());
    for (std::size_t i = 0; i < doomed.size(); ++i) {
      TZRTreeNode* n = ids[i] ? nodes_->FindNode(ids[i]) : doomed[i];
      if (n) nodes_->Delete(n);
    }
  } else {
    nodes_->Delete(selected);
  }
  if (source_ && source_->CanPerform(0, toRefillAfterDelete)) Fill(0);
  Change(Selected());
  ScheduleSelectionChanged(Selected());
}

void TCustomZrTreeView::WMLButtonDblClk(TMessage& Message) {
  const int x = LParamX(Message.LParam), y = LParamY(Message.LParam);
  auto* node = static_cast<TZRTreeNode*>(GetNodeAt(x, y));
  if (options_.Contains(toProcessDblClick) && !OnDblClick && source_ && node &&
      !GetHitTestInfoAt(x, y).Contains(htOnButton)) {
    activated_ = true;
    if (TTreeSource* source = nodes_->SourceOf(node)) source->ActivateNode(node->ID());
    return;
  }
  InheritedMessage(TCustomZrTreeView::StaticClass(), Message);
}

void TCustomZrTreeView::WMLButtonDown(TMessage& Message) {
  // The press begins an automatic drag before it selects the node pressed,
  // the node the drag would carry: a source that refuses to have it dragged
  // sees no drag begin.
  auto* node = static_cast<TZRTreeNode*>(GetNodeAt(LParamX(Message.LParam), LParamY(Message.LParam)));
  if (!node) node = SelectedNode();
  TTreeSource* source = node ? nodes_->SourceOf(node) : nullptr;
  const bool refused = DragMode() == dmAutomatic && source && !source->CanPerform(node->ID(), toDrag);
  if (refused) SetDragMode(dmManual);
  Finally restore{[&] {
    if (refused) SetDragMode(dmAutomatic);
  }};
  InheritedMessage(TCustomZrTreeView::StaticClass(), Message);
}

bool TCustomZrTreeView::WantsSourceMenu() {
  TTreeSource* source = Source();
  return options_.Contains(toSmartPopup) && source && source->CanPerform(0, toHasMenu);
}

void TCustomZrTreeView::WMRButtonUp(TMessage& Message) {
  if (!WantsSourceMenu()) {
    InheritedMessage(TCustomZrTreeView::StaticClass(), Message);
    return;
  }
  const Point at = Screen->CursorPos();
  ShowSourceMenu(static_cast<int>(at.x), static_cast<int>(at.y));
}

void TCustomZrTreeView::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0 || !WantsSourceMenu()) {
    InheritedMessage(TCustomZrTreeView::StaticClass(), Message);
    return;
  }
  const Point at = Screen->CursorPos();
  ShowSourceMenu(static_cast<int>(at.x), static_cast<int>(at.y));
  Message.Result = 1;
}

void TCustomZrTreeView::ShowSourceMenu(int X, int Y) {
  TTreeSource* source = Source();
  TZRTreeNode* selected = SelectedNode();
  TObject* object = source;
  if (selected && !source->CanPerform(0, toMenuOfSource)) object = source->GetNodeObject(selected->ID());
  editor_ = nullptr;  // the previous editor goes before the next is made
  // No form designer holds the view yet: editors are made without one.
  editor_ = GetComponentEditorProc(dynamic_cast<TComponent*>(object), nullptr);
  TPopupMenu* menu = FindPopupMenu(this);
  if (menu && menu->OnPopup) menu->OnPopup(menu);
  AddComponentEditorVerbs(menu, menu_.get(), editor_.get());
  menu_->OnPopup = nullptr;
  if (menu_->Items()->Count() == 0) return;  // nothing to offer: no empty menu
  menu_->SetPopupComponent(this);
  menu_->Popup(X, Y);
}

void TCustomZrTreeView::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  TCustomMSTreeView::DragOver(Source, X, Y, State, Accept);
  if (OnDragOver) return;
  Accept = false;
  auto* node = static_cast<TZRTreeNode*>(GetNodeAt(X, Y));
  TZRTreeNode* selected = SelectedNode();
  if (Source != this || !node || !selected || !source_) return;
  for (TTreeNode* p = node; p; p = p->Parent())
    if (p == selected) return;
  Accept = nodes_->SourceOf(node) == source_ && source_->CanMoveNode(selected->ID(), node->ID(), naAdd);
}

void TCustomZrTreeView::DragDrop(TObject* Source, int X, int Y) {
  if (OnDragDrop) {
    TCustomMSTreeView::DragDrop(Source, X, Y);
    return;
  }
  auto* target = static_cast<TZRTreeNode*>(GetNodeAt(X, Y));
  TZRTreeNode* selected = SelectedNode();
  if (!target || !selected) return;
  for (TTreeNode* p = target; p; p = p->Parent())
    if (p == selected) return;
  if (selected->AbsoluteIndex() < target->AbsoluteIndex()) {
    if (auto* next = static_cast<TZRTreeNode*>(target->getNextSibling()))
      selected->MoveTo(next, naInsert);
    else
      selected->MoveTo(target, naAdd);
  } else {
    selected->MoveTo(target, naInsert);
  }
}
