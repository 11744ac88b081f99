#pragma once
// The tree view: TCustomTreeView over a QTreeWidget window, with its nodes
// (TTreeNode) in a node collection (TTreeNodes).
//
// Nodes live in the window: each node has one Qt item, and the order and
// nesting of the items is the tree. Adding a node makes the window first.
// RecreateWnd writes the nodes to a stream in DestroyWnd (text, image
// indexes, state and overlay index, Data, children), frees them, and reads
// them back into new nodes (CreateNode) in CreateWnd: node objects do not
// survive a new window, and neither do selection, expansion and the item
// states (cut, bold, drop target). Classes that keep more save it around
// these two calls. Delete(Node) runs for every node freed, OnDeletion only
// when the node really goes.
//
// Items are drawn by the view's delegate on the view's Canvas (valid while
// an item is drawn): state image (StateImages, StateIndex), image (Images,
// ImageIndex or SelectedIndex), then the caption in the canvas font on the
// canvas brush. Before drawing the canvas holds the view's font and colour,
// or the selection colours (clHighlight/clHighlightText when focused or the
// drop target, clBtnFace when selected without focus). CustomDrawItem runs
// at pre-paint when IsCustomDrawn says so and may change the canvas, leave
// out the images or skip the default drawing.
//
// Expanding and collapsing, by the user or by code, ask CanExpand /
// CanCollapse first (OnExpanding / OnCollapsing may veto) and tell
// Expand / Collapse afterwards.
//
// Label editing (not with ReadOnly): a click on the selected node's caption
// or F2 asks BeginLabelEdit, which refuses while dragging and asks CanEdit
// (OnEditing). The editor is a control of its own (EditWindow), a child of
// the view, whose WindowProc can be replaced. Ending the edit calls
// OnEdited with the new text, which the node then takes; Esc keeps the old
// text.
//
// A class that marks several nodes itself keeps the selection marks
// (SetKeepSelectionMarks before the window is made): the user's clicks and
// keys then only move the selected node, and that move takes the mark from
// the old selected node to the new one, leaving every other mark alone.
// Selected() is then the node that has the focus line, marked or not.
//
// The overlay (Overlay()) holds what the view draws on itself outside
// painting, such as an inverting rubber band (platform/ui/Overlay.h); each
// paint replays it over the items.
//
// Right button down: the view takes the focus; with RightClickSelect a
// press on a node makes it the selected node; then the view asks for its
// pop-up menu at once (WM_CONTEXTMENU with the screen point), so that the
// pop-up's OnPopup sees the selection the press left. The window's own
// later pop-up request for that press is dropped when the view's request
// was answered (otherwise it goes on to the parent). Without
// RightClickSelect the selection stays where it was.
//
// ShowLines: dotted lines join each node to its parent and its siblings
// (with ShowRoot the top-level nodes too); off, only the buttons show.
//
// ToolTips: while the mouse rests on a node whose caption the view's right
// edge cuts, the application's hint window shows the whole caption over it
// (the view answers the hint facility's CM_HINTSHOW, Hints.h); the view's
// ShowHint is not needed. Off, the view has no such hints.
//
// RowSelect: the selected node's highlight fills its whole line, and a
// left press anywhere on a line (the indent, right of the caption; not a
// button) selects its node; GetNodeAt answers the node for such points.
//
// AutoExpand: selecting a node expands it and collapses the previously
// selected node and those of its parents that are not parents of the new
// one (each asks CanExpand / CanCollapse as usual).
//
// ChangeDelay: OnChange after the user or code moved the selection comes
// ChangeDelay milliseconds later through the view's timer
// kChangeDelayTimer, restarted by each move, so a burst of moves reports
// once, with the node selected then; 0 reports at once.
//
// BorderStyle: bsSingle draws the view's frame, bsNone leaves it out.
//
// HotTrack: the node whose item (state image, image or caption) is under
// the mouse is hot: drawn with an underlined caption in clHotLight (the
// selection colours win on a focused selected node or the drop target), in
// the custom-draw state as cdsHot, with the crHandPoint cursor over it. It
// follows each mouse move without a button held (none is hot while one is)
// and is cleared when the mouse leaves the items.
//
// Scroll bars: the user's actions on the view's bars (line and page
// arrows, top and bottom, the thumb dragged, the wheel) reach the control
// as WM_HSCROLL / WM_VSCROLL with the codes of ScrollBars.h (SB_THUMBTRACK
// while the thumb is dragged, SB_THUMBPOSITION for the wheel; the position
// in the high word); the view's handling scrolls. Sending one scrolls the
// same way; ScrollLine sends a line message.
//
// The node stream is untrusted when it comes from a stored form: counts and
// lengths are checked against the bytes, the depth is bounded, and a bad
// stream raises EReadError ("Stream read error") after freeing what it had
// read.

#include <QTreeWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/core/Events.h"
#include "platform/core/Set.h"
#include "platform/core/Streams.h"
#include "platform/ui/Overlay.h"

class QTreeWidgetItem;
class QStyleOptionViewItem;
class QPainter;
class TCanvas;
class TImageList;
class TCustomTreeView;
class TTreeNodes;

// How a tree view orders its nodes.
enum TSortType : std::uint8_t { stNone, stData, stText, stBoth };

// The view's timer that reports a selection move after ChangeDelay.
inline constexpr std::uintptr_t kChangeDelayTimer = 0x7C01;

// The native item states of a node.
enum TNodeItemState : std::uint8_t { nisCut, nisBold, nisDropHilited, nisFocused, nisSelected, nisExpanded };

// Where a node goes relative to another.
enum TNodeAttachMode : std::uint8_t { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };

class TTreeNode : public TPersistent {
  KESTOVA_CLASS(TTreeNode)
 public:
  explicit TTreeNode(TTreeNodes* AOwner);
  ~TTreeNode() override;
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;

  TTreeNodes* Owner() const { return owner_; }
  TCustomTreeView* TreeView() const;
  QTreeWidgetItem* ItemId() const { return item_; }

  const std::string& Text() const { return text_; }
  void SetText(const std::string& Value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int Value);
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int Value);
  // The state image drawn left of the image; -1 none.
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int Value);
  int OverlayIndex() const { return overlayIndex_; }
  void SetOverlayIndex(int Value);
  void* Data = nullptr;

  // ---- Place in the tree ----
  TTreeNode* Parent() const;
  int Count() const;
  TTreeNode* Item(int Index) const;
  // Index among its siblings.
  int Index() const;
  int Level() const;
  // Children, or the flag set without children (a button is shown).
  bool HasChildren() const;
  void SetHasChildren(bool Value);
  TTreeNode* GetFirstChild() const { return Count() > 0 ? Item(0) : nullptr; }
  TTreeNode* GetLastChild() const { return Count() > 0 ? Item(Count() - 1) : nullptr; }
  TTreeNode* getNextSibling() const;
  TTreeNode* getPrevSibling() const;
  // The next node in tree order (first child, else next sibling, else the
  // next sibling of the nearest parent that has one).
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;
  // Index in tree order over the whole tree.
  int AbsoluteIndex() const;

  // ---- States ----
  bool Expanded() const;
  void SetExpanded(bool Value);
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  bool Selected() const;
  void SetSelected(bool Value);
  bool Focused() const;
  void SetFocused(bool Value);
  bool Cut() const { return cut_; }
  void SetCut(bool Value);
  bool Bold() const { return bold_; }
  void SetBold(bool Value);
  bool DropTarget() const { return dropTarget_; }
  void SetDropTarget(bool Value);
  // One native state, or setting it.
  bool GetState(TNodeItemState State) const;
  void SetState(TNodeItemState State, bool Value);

  // The whole line, or the caption only (client coordinates); empty when
  // the node is not shown (a collapsed parent).
  Rect DisplayRect(bool TextOnly) const;
  bool IsVisible() const;
  // Starts editing the caption; false when refused.
  bool EditText();
  bool EndEdit(bool Cancel);
  // Asks for the node's line to be drawn again.
  void Repaint();
  // Frees the node and its children.
  void Delete();
  // Moves the node with its children to stand relative to Destination as
  // Mode says (nullptr: the top level). The node objects stay, and so do
  // the expanded nodes, the selection and the current node; nothing moves
  // when Destination is the node or lies below it.
  void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode);

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  TTreeNodes* owner_;
  QTreeWidgetItem* item_ = nullptr;
  std::string text_;
  int imageIndex_ = -1;
  int selectedIndex_ = -1;
  int stateIndex_ = -1;
  int overlayIndex_ = -1;
  bool hasChildren_ = false;
  bool cut_ = false, bold_ = false, dropTarget_ = false;
};

class TTreeNodes : public TPersistent {
  KESTOVA_CLASS(TTreeNodes)
 public:
  explicit TTreeNodes(TCustomTreeView* AOwner);
  ~TTreeNodes() override;
  TTreeNodes(const TTreeNodes&) = delete;
  TTreeNodes& operator=(const TTreeNodes&) = delete;

  TCustomTreeView* Owner() const { return owner_; }
  // All nodes, counted in tree order.
  int Count() const;
  TTreeNode* Item(int Index) const;
  TTreeNode* GetFirstNode() const;

  // After the last sibling of Sibling (at the top without one).
  TTreeNode* Add(TTreeNode* Sibling, const std::string& S) { return AddObject(Sibling, S, nullptr); }
  TTreeNode* AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
  TTreeNode* AddFirst(TTreeNode* Sibling, const std::string& S);
  // As the last (first) child of Parent (at the top without one).
  TTreeNode* AddChild(TTreeNode* Parent, const std::string& S) { return AddChildObject(Parent, S, nullptr); }
  TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr);
  TTreeNode* AddChildFirst(TTreeNode* Parent, const std::string& S);
  // Before Sibling (at the end of the top level without one).
  TTreeNode* Insert(TTreeNode* Sibling, const std::string& S);
  void Delete(TTreeNode* Node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return updateCount_ > 0; }

  // The node stream of all nodes (see the file comment), and reading one
  // into new nodes added after the present ones.
  void WriteData(TStream& Stream) const;
  void ReadData(TStream& Stream);
  // The stored form keeps the nodes as the binary property "Data".
  void DefineProperties(TFiler* Filer) override;

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* AddNode(TTreeNode* Relative, const std::string& S, void* Ptr, TNodeAttachMode Mode);
  void DeleteNode(TTreeNode* Node);
  TCustomTreeView* owner_;
  int updateCount_ = 0;
};

// Where a point lies, as bits of THitTests.
enum THitTest : std::uint8_t {
  htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel, htOnRight, htOnStateIcon,
  htToLeft, htToRight
};
using THitTests = TSet<THitTest>;

enum TCustomDrawTarget : std::uint8_t { dtControl, dtItem, dtSubItem };
enum TCustomDrawStage : std::uint8_t { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
enum TCustomDrawStateItem : std::uint8_t {
  cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked, cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateItem>;

using TTVChangingEvent = TMethodPointer<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = TMethodPointer<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = TMethodPointer<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = TMethodPointer<void(TObject* Sender, TTreeNode* Node, std::string& S)>;
using TTVExpandingEvent = TMethodPointer<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = TMethodPointer<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = TMethodPointer<void(TObject* Sender, TTreeNode* Node)>;
using TTVCustomDrawEvent = TMethodPointer<void(TCustomTreeView* Sender, const Rect& ARect, bool& DefaultDraw)>;
using TTVCustomDrawItemEvent =
    TMethodPointer<void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw)>;
using TTVAdvancedCustomDrawItemEvent =
    TMethodPointer<void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage,
                        bool& PaintImages, bool& DefaultDraw)>;

class TCustomTreeView : public TWinControl {
  KESTOVA_CLASS(TCustomTreeView)
 public:
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() const { return items_.get(); }
  void SetItems(TTreeNodes* Value);
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* Value);
  TTreeNode* DropTarget() const;
  void SetDropTarget(TTreeNode* Value);
  TTreeNode* TopItem() const;

  // Not owned: the caller keeps the lists alive while the view uses them.
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* Value);
  TImageList* StateImages() const { return stateImages_; }
  virtual void SetStateImages(TImageList* Value);

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool Value);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool Value);
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool Value);
  // Pixels a level is indented.
  int Indent() const { return indent_; }
  void SetIndent(int Value);
  // A right click on a node selects it (see the file comment).
  bool RightClickSelect() const { return rightClickSelect_; }
  void SetRightClickSelect(bool Value) { rightClickSelect_ = Value; }
  // The node under the mouse is drawn hot (see the file comment); turning
  // it off clears the hot node.
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool Value);
  // The hot node, or nullptr.
  TTreeNode* HotNode() const { return hotNode_; }
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool Value);
  bool ToolTips() const { return toolTips_; }
  void SetToolTips(bool Value);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool Value);
  bool AutoExpand() const { return autoExpand_; }
  void SetAutoExpand(bool Value) { autoExpand_ = Value; }
  // Milliseconds; negative is taken as 0.
  int ChangeDelay() const { return changeDelay_; }
  void SetChangeDelay(int Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  // Anything but bsNone is bsSingle.
  void SetBorderStyle(TBorderStyle Value);

  // ---- Hit tests ----
  TTreeNode* GetNodeAt(int X, int Y) const;
  THitTests GetHitTestInfoAt(int X, int Y) const;
  bool IsEditing() const { return editControl_ != nullptr; }
  // The label editor while a caption is edited, else nullptr.
  TWinControl* EditWindow() const { return editControl_; }
  void FullExpand();
  void FullCollapse();
  // The canvas of the item being drawn. Raises EInvalidOperation otherwise.
  TCanvas& Canvas() const;
  // The window (made first when there is none).
  QTreeWidget* TreeWidget() const;
  // True while the window is being made again (DestroyWnd to CreateWnd).
  bool Recreating() const { return recreating_; }

  // The view's scroll bars: range and position in the units the view
  // scrolls by (pixels across, lines down); page 0 without a bar.
  enum class TScrollAxis : std::uint8_t { Horizontal, Vertical };
  struct TScrollState {
    int Min = 0, Max = 0, Page = 0, Pos = 0;
  };
  TScrollState ScrollState(TScrollAxis Axis) const;
  // One line back (Delta -1: left, up) or on (1): a line message.
  void ScrollLine(TScrollAxis Axis, int Delta);
  // Pixels one unit of the axis's scroll position moves the items.
  int ScrollUnit(TScrollAxis Axis) const;
  // The view's own drawing outside painting, and drawing into it (the view
  // is painted again).
  const OverlayJournal& Overlay() const { return overlay_; }
  void DrawOverlay(const OverlayJournal::DrawProc& Draw);
  bool KeepSelectionMarks() const { return keepMarks_; }

  TTVChangingEvent OnChanging;
  TTVChangedEvent OnChange;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVExpandedEvent OnDeletion;
  TTVCustomDrawEvent OnCustomDraw;
  TTVCustomDrawItemEvent OnCustomDrawItem;
  TTVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // Makes the object of a new node; the collection places it.
  virtual TTreeNode* CreateNode();
  // A node was placed in the tree (its item exists).
  virtual void NodeInserted(TTreeNode* Node) {}

  virtual bool CanExpand(TTreeNode* Node);
  virtual void Expand(TTreeNode* Node);
  virtual bool CanCollapse(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node);
  virtual bool CanChange(TTreeNode* Node);
  virtual void Change(TTreeNode* Node);
  // The selected node moved from Previous (nullptr: none; a node being
  // deleted has no item any more) to Node; calls Change.
  virtual void SelectionChanged(TTreeNode* Node, TTreeNode* Previous);
  void SetKeepSelectionMarks(bool Value) { keepMarks_ = Value; }
  virtual bool CanEdit(TTreeNode* Node);
  virtual void Edit(TTreeNode* Node, std::string& S);
  virtual void Delete(TTreeNode* Node);
  // Starts a caption edit of Node: refused while dragging or when CanEdit
  // says no; true when the editor was made.
  virtual bool BeginLabelEdit(TTreeNode* Node);
  // The editor is going (after Edit, or cancelled).
  virtual void EndLabelEdit(TTreeNode* Node);

  // Whether the control (dtControl) or each item (dtItem) is drawn with the
  // custom-draw calls at Stage: with the events assigned.
  virtual bool IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage);
  virtual bool CustomDraw(const Rect& ARect, TCustomDrawStage Stage);
  // OnCustomDrawItem, then OnAdvancedCustomDrawItem; false skips the
  // default drawing, PaintImages false leaves out the images.
  virtual bool CustomDrawItem(TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage, bool& PaintImages);

  // The node of a Qt item; nullptr for none.
  static TTreeNode* NodeOfItem(QTreeWidgetItem* Item);

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  friend class TTreeWindow;
  friend class TTreeItemDelegate;
  friend void DescribeTCustomTreeView(TClassInfo& Info);
  void ApplyOptions();
  void CMFontChanged(TMessage& Message);
  void WMMouseMove(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void WMScroll(TMessage& Message);
  void WMTimer(TMessage& Message);
  void CMHintShow(TMessage& Message);
  // Draws the lines and the button left of Node's item in Rect (viewport
  // pixels), and the line's highlight with RowSelect.
  void DrawBranches(QPainter& Painter, const QRect& Rect, TTreeNode* Node);
  // The colour a node's line is highlighted in: clHighlight focused or the
  // drop target, clBtnFace selected and kept without focus; else clNone.
  TColor LineHighlight(const TTreeNode* Node) const;
  // The selection moved: AutoExpand's expanding and collapsing.
  void AutoExpandTo(TTreeNode* Node, TTreeNode* Previous);
  // The window's own handling of a message: the right press as the file
  // comment says; the rest goes to the widget class.
  void DefaultHandler(TMessage& Message) override;
  void RightButtonPressed(TMessage& Message);
  // A user's action on a bar, as a scroll message.
  void ScrollBarAction(TScrollAxis Axis, int Action);
  void SetHotNode(TTreeNode* Node);
  // The item of the line at Y, wherever across it.
  QTreeWidgetItem* LineItemAt(int Y) const;
  // The node whose item is at (X, Y), for hot tracking.
  TTreeNode* ItemNodeAt(int X, int Y) const;
  // The window's pop-up request for a right press: false drops it.
  bool TakeContextMenuRequest();
  void ItemExpandedByUser(QTreeWidgetItem* Item, bool Expanded);
  void CurrentItemChanged(QTreeWidgetItem* Current, QTreeWidgetItem* Previous);
  // Painting one item with the delegate.
  // The control's pre-paint custom draw; false skips the items.
  bool PaintControlPrePaint();
  void DrawItem(QPainter& Painter, const QStyleOptionViewItem& Option, TTreeNode* Node);
  int ItemHeight() const;
  // Left edges of the state image, the image and the caption of Node's line.
  struct TItemLayout {
    int StateLeft = 0, ImageLeft = 0, LabelLeft = 0, LabelRight = 0;
    Rect Line;
  };
  TItemLayout Layout(const TTreeNode* Node) const;
  void EditorCommitted(TTreeNode* Node, const std::string& Text);
  void EditorGone();
  void SetNodeExpanded(TTreeNode* Node, bool Value);

  std::unique_ptr<TTreeNodes> items_;
  std::unique_ptr<TMemoryStream> savedNodes_;
  TImageList* images_ = nullptr;
  TImageList* stateImages_ = nullptr;
  bool readOnly_ = false;
  bool hideSelection_ = true;
  bool showButtons_ = true;
  bool showRoot_ = true;
  int indent_ = 19;
  bool recreating_ = false;
  int expandGuard_ = 0;
  TCanvas* canvas_ = nullptr;
  TWinControl* editControl_ = nullptr;
  TTreeNode* editNode_ = nullptr;
  bool keepMarks_ = false;
  bool rightClickSelect_ = false;
  bool hotTrack_ = false;
  TTreeNode* hotNode_ = nullptr;
  bool showLines_ = true;
  bool toolTips_ = true;
  bool rowSelect_ = false;
  bool autoExpand_ = false;
  int changeDelay_ = 0;
  bool changePending_ = false;
  TBorderStyle borderStyle_ = bsSingle;
  // The right press's pop-up request was answered: the window's own
  // request for that press is dropped.
  bool contextMenuShown_ = false;
  // A scroll message is being handled: the bars' own actions are not sent.
  int scrolling_ = 0;
  OverlayJournal overlay_;
};

class TTreeView : public TCustomTreeView {
  KESTOVA_CLASS(TTreeView)
 public:
  explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};

// The tree view's event types, for publishing them.
namespace TypeInfos {
const TTypeInfo* TTVChangingEvent();
const TTypeInfo* TTVChangedEvent();
const TTypeInfo* TTVEditingEvent();
const TTypeInfo* TTVEditedEvent();
const TTypeInfo* TTVExpandingEvent();
const TTypeInfo* TTVCollapsingEvent();
const TTypeInfo* TTVExpandedEvent();
const TTypeInfo* TTVCustomDrawEvent();
const TTypeInfo* TTVCustomDrawItemEvent();
}  // namespace TypeInfos
