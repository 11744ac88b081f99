#pragma once
// The source-bound tree view: TCustomZrTreeView shows the nodes of a tree
// source (ZRGen.h, zrtslite.h) and keeps in step with every change the
// source announces through TreeSourceNotifiers. The view holds no data of
// its own: renames, deletions, insertions and drag moves go to the source,
// and the nodes change when the source's notice comes back, in every view
// bound to it.
//
// Loading is lazy: a node whose children were never asked for has one
// placeholder child (ID 0, no text, no sibling) that shows the expand
// button; expanding it asks the source for the children. A source that is
// not a hierarchy (CanPerform(0, toIsHierarchy) false, as the string
// source) is refreshed in place by a whole fill: the node objects stay,
// extra ones go and missing ones are appended.
//
// Notices: 2 (rebuild), 4 (navigate) and 6 (expand and select) act only in
// views of the notifying source; 1 (node data), 3 (delete), 7 (insert) and 9
// (move) in every view that holds the node. For 1 and 3 a node of another
// source with the same ID is not held: each source picks its own IDs. The posted navigate notice
// carries its own copy of the record and is dropped when its source was
// freed before it arrived.
//
// Nodes are found by ID through an index ordered by a three-way comparison
// of the IDs (any pointer-sized values, negative ones and addresses
// included).
//
// With toSmartPopup and a source that offers a menu, a right click shows the
// source menu: the pop-up menu of the view or its nearest parent, copied
// into the view's own menu behind the verbs of the component editor of the
// source (or of the selected node's object). A node its source does not let
// go is not dragged. Without a source the view is the plain multi-select
// view: a dropped node moves with its children.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/base/ZRGen.h"
#include "components/base/zrDTree.h"

class TCustomZrTreeView;
class TPopupMenu;
class TZRTreeNodes;

class TZRTreeNode : public TDrawNode {
  KESTOVA_CLASS(TZRTreeNode)
 public:
  TZRTreeNode(TTreeNodes* AOwner, TZRTreeNodes* Collection);

  TZRTreeNodes* Collection() const { return collection_; }
  // The source of this node's children (nullptr: the node's own source).
  TTreeSource* Source() const { return source_; }
  void SetSource(TTreeSource* Value) { source_ = Value; }
  TNodeID ChildKey() const { return childKey_; }
  void SetChildKey(TNodeID Value) { childKey_ = Value; }
  TNodeID ID() const { return id_; }
  void SetID(TNodeID Value) { id_ = Value; }
  // True for a node whose one child is the placeholder.
  bool NotLoaded() const;
  // Moves the node: through the source when it and Destination share one
  // (the nodes move when its notice comes), else the node itself.
  void MoveTo(TZRTreeNode* Destination, std::uint8_t Mode);
  // Moves the node itself, with its children and its FontStyle.
  void MoveNativeTo(TZRTreeNode* Destination, std::uint8_t Mode);

 private:
  TZRTreeNodes* collection_;
  TTreeSource* source_ = nullptr;
  TNodeID childKey_ = kChildKeyIsID;
  TNodeID id_ = 0;
};

// The node index: nodes by ID, ordered by a three-way comparison.
class TNodeList {
 public:
  void Add(TZRTreeNode* Node);
  void Remove(TZRTreeNode* Node);
  TZRTreeNode* Find(TNodeID ID) const;
  void Clear() { entries_.clear(); }
  std::size_t Count() const { return entries_.size(); }

 private:
  struct TFNode {
    TNodeID ID;
    TZRTreeNode* Node;
  };
  std::vector<TFNode>::const_iterator LowerBound(TNodeID ID) const;
  std::vector<TFNode> entries_;
};

// The view's node collection: where nodes go, found and filled.
class TZRTreeNodes {
 public:
  explicit TZRTreeNodes(TCustomZrTreeView* View) : view_(View) {}

  TTreeSource* Source() const { return source_; }
  void SetSource(TTreeSource* Value) { source_ = Value; }
  // The parent's sub-source when it has one, else the view's source.
  TTreeSource* SourceOf(TTreeNode* Node) const;
  // The node's own sub-source when set, else SourceOf(Node).
  TTreeSource* ChildSourceOf(TTreeNode* Node) const;
  // ChildKey, or ID for kChildKeyIsID.
  static TNodeID ChildKeyOf(TTreeNode* Node);
  // Caption (the part before the first "|"), ID, images, data and font;
  // with Full also the sub-source and ChildKey; then OnNodeChanged.
  void FillNode(TZRTreeNode* Node, const TNodeRec& Rec, bool Full);
  // FillNode, and the node enters the index unless its ID is there.
  void AddFromRec(TZRTreeNode* Node, const TNodeRec& Rec, bool Full);
  // nullptr for 0; the selected node when its ID matches; else the index.
  TZRTreeNode* FindNode(TNodeID ID) const;
  // Modes 0 to 4 (TNodeAttachMode). Without a source at Parent the node is
  // added at once; otherwise the source is asked to insert and nullptr
  // comes back (the node shows with the source's notice).
  TTreeNode* AddNode(TTreeNode* Parent, const std::string& Text, std::uint8_t Mode, void* Data);
  TTreeNode* AddChild(TTreeNode* Node, const std::string& Text) { return AddNode(Node, Text, naAddChild, nullptr); }
  TTreeNode* InsertBefore(TTreeNode* Node, const std::string& Text) { return AddNode(Node, Text, naInsert, nullptr); }
  // Through the node's source when it has one (the node goes with the
  // source's notice); then the source learns the selected node.
  void Delete(TTreeNode* Node);
  // Deletes every node (DeleteAll of the source first).
  void Clear();
  void MoveUp(TZRTreeNode* Node);
  void MoveDown(TZRTreeNode* Node);
  TNodeList& Index() { return index_; }

 private:
  friend class TCustomZrTreeView;
  TCustomZrTreeView* view_;
  TNodeList index_;
  TTreeSource* source_ = nullptr;
  TZRTreeNode* cursor_ = nullptr;
};

enum TtreeViewOption : std::uint8_t {
  toProcessInsKey, toProcessDelKey, toCanEdit, toCanNavigate, toProcessEnterKey, toProcessDblClick,
  toTrackInsert, toSmartPopup, toConfirmDelete, toCheckChild, toFreeOnCollapse
};
using TtreeViewOptions = TSet<TtreeViewOption>;
namespace TypeInfos {
const TTypeInfo* TtreeViewOption();
const TTypeInfo* TtreeViewOptions();
const TTypeInfo* TNodeChangedEvent();
}  // namespace TypeInfos
inline constexpr std::uint16_t kDefaultTreeViewOptions = 855;

using TNodeChangedEvent = TMethodPointer<void(TObject* Sender, TTreeNode* Node)>;

class TCustomZrTreeView : public TCustomMSTreeView {
  KESTOVA_CLASS(TCustomZrTreeView)
 public:
  explicit TCustomZrTreeView(TComponent* AOwner);
  ~TCustomZrTreeView() override;

  // Reading: the source of the selected node (its parent's sub-source, else
  // the view's); the view's own source is ViewSource().
  TTreeSource* Source() const;
  TTreeSource* ViewSource() const { return source_; }
  void SetSource(TTreeSource* Value);
  TZRTreeNodes* ZRItems() const { return nodes_.get(); }
  TtreeViewOptions Options() const { return options_; }
  void SetOptions(TtreeViewOptions Value);

  // Builds the nodes below ID again from the source (0: all of them).
  void Fill(TNodeID ID);
  // Selects only the node ID (0: the source's current node), expanding
  // its ancestors first.
  void Navigate(TNodeID ID);
  void DeleteSelection() override;
  void BeginUpdate() override;
  void EndUpdate() override;

  TNodeChangedEvent OnNodeChanged;

 protected:
  TTreeNode* CreateNode() override;
  void CreateWnd() override;
  bool HasNodes() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool CanExpand(TTreeNode* Node) override;
  // With toFreeOnCollapse an allowed collapse frees the children: they are
  // loaded again when the node next expands.
  bool CanCollapse(TTreeNode* Node) override;
  void Change(TTreeNode* Node) override;
  bool CanEdit(TTreeNode* Node) override;
  void Edit(TTreeNode* Node, std::string& S) override;
  void Delete(TTreeNode* Node) override;
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, int X, int Y) override;

 private:
  friend class TZRTreeNodes;
  friend void DescribeTCustomZrTreeView(TClassInfo& Info);
  void SourceNotice(TComponent* Sender, void* Data, std::int32_t Code);
  void WMTreeSourceChanged(TMessage& Message);
  // The node ID of this view that Sender's notice is about: found, and of
  // Sender (or of no source).
  TZRTreeNode* HeldNode(TComponent* Sender, TNodeID ID) const;
  void WMLButtonDblClk(TMessage& Message);
  void WMLButtonDown(TMessage& Message);
  void WMRButtonUp(TMessage& Message);
  void WMContextMenu(TMessage& Message);
  // With toSmartPopup, whether the source of the selected node offers a menu.
  bool WantsSourceMenu();
  // The source's menu at screen point (X, Y): the pop-up menu of the view
  // or its nearest parent, with the verbs of the chosen object's editor.
  void ShowSourceMenu(int X, int Y);
  void WMFocusGained(TMessage& Message);
  void UpdateImages();
  void ReportCurrent();
  // Gives Node a placeholder when the rule asks for one (Key: asked of the
  // node's source).
  void AddPlaceholder(TZRTreeNode* Node, TNodeID Key);
  void LoadChildren(TZRTreeNode* Node);
  void FreeChildren(TZRTreeNode* Node);
  void InsertRecord(TZRTreeNode* Node, const TNodeRec& Rec, bool Move);
  bool Allowed(TNodeID ID, std::int32_t Operation);
  TZRTreeNode* SelectedNode() const { return static_cast<TZRTreeNode*>(Selected()); }

  TTreeSource* source_ = nullptr;
  std::unique_ptr<TZRTreeNodes> nodes_;
  std::unique_ptr<TPopupMenu> menu_;  // the source menus are built here
  TInterfacePtr<IZRDsgnComponentEditor> editor_;
  TtreeViewOptions options_;
  bool activated_ = false;
  bool destroying_ = false;
  bool loading_ = false;
};

// The source-bound view as forms hold it. Without a source it is the plain
// multi-select view. Source is stored only while the form is designed (at
// run time the form's code binds it); a stored form may name a sibling
// source, which is found when the form has been read.
class TZRTreeView : public TCustomZrTreeView {
  KESTOVA_CLASS(TZRTreeView)
 public:
  explicit TZRTreeView(TComponent* AOwner) : TCustomZrTreeView(AOwner) {}

 private:
  friend void DescribeTZRTreeView(TClassInfo& Info);
  bool IsSourceStored() const { return ComponentState().Contains(csDesigning); }
};

// Registers TZRTreeView and the string source for the component stream, so
// that stored forms can name them (start-up).
void RegisterTreeViewClasses();
