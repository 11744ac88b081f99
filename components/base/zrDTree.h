#pragma once
// The family's base tree view: TCustomZRDrawTreeView and its nodes,
// TDrawNode.
//
// A node has its own caption colour and style (following the view's font
// while ParentColor / ParentFontStyle), a check state shown as a check box
// or a radio button from the shared check image list, and its own
// StateIndex, kept while the check boxes occupy the state image.
//
// Node attributes survive a new window and are stored with the form: the
// binary property "DrawData" holds, for each node in tree order, one
// component stream of a TPersHolder whose P is the node (defaults left out,
// CheckState always written; NodeState too while the window is made
// again). A DrawData with fewer entries than nodes leaves the remaining
// nodes as they are; extra entries are read and dropped.
//
// While something is dragged over the view it scrolls near its edges (timer
// 154) and expands a collapsed node under the mouse after DragExpandDelay
// milliseconds (timer 153). During a drag of a tree view, the application's
// keyboard hook lets Esc cancel the drag and Ctrl switch between the move
// cursors (crDrag, crMultiDrag) and the copy cursors (102, 103), which a
// drop target reads from DragCursor.
//
// The check image list ("__CheckImages"), the hook and the cursors exist
// from DrawTreeStartUp to DrawTreeShutDown (the start-up module
// "zrDTree").

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/TreeView.h"
#include "platform/classes/TypInfo.h"
#include "platform/graphics/GraphicsTypes.h"

class TImageList;
class TMemoryStream;

enum TCheckState : std::uint8_t { csUnchecked, csChecked, csGrayed, csNone };
enum TDrawNodeState : std::uint8_t { msCut, msBold, msDropHilited, msFocused, msSelected, msExpanded };
using TDrawNodeStates = TSet<TDrawNodeState>;
namespace TypeInfos {
const TTypeInfo* TCheckState();
const TTypeInfo* TDrawNodeState();
const TTypeInfo* TDrawNodeStates();
}  // namespace TypeInfos

inline constexpr const char* kCheckImagesName = "__CheckImages";
// Screen cursors asking for a copy: one node, several nodes.
inline constexpr TCursorValue crTreeDragCopy = 102;
inline constexpr TCursorValue crTreeDragMultiCopy = 103;
inline constexpr std::uintptr_t kExpandTimer = 153;
inline constexpr std::uintptr_t kScrollTimer = 154;

// Automatic scrolling directions, as bits.
inline constexpr int sdLeft = 1, sdUp = 2, sdRight = 4, sdDown = 8;

// The native state image of a check state (-1: none).
int CheckStateImage(TCheckState State, bool RadioItem);
// The check state a native state image stands for.
TCheckState CheckStateOfImage(int Image, bool RadioItem);

// The directions to scroll for the client point P of a view ClientWidth x
// ClientHeight, Margin pixels from an edge: none for (0, 0); left while the
// horizontal position is above its minimum; right while the horizontal page
// is non-zero and position + page - 1 < maximum; up and down likewise.
int AutoScrollDirections(Point P, int Margin, int ClientWidth, int ClientHeight,
                         const TCustomTreeView::TScrollState& Horz, const TCustomTreeView::TScrollState& Vert);
// The scroll timer's period for P: 100 ms inside the client area widened by
// 25 pixels on every side, 10 ms farther out.
int AutoScrollInterval(Point P, int ClientWidth, int ClientHeight);

class TCustomZRDrawTreeView;

class TDrawNode : public TTreeNode {
  KESTOVA_CLASS(TDrawNode)
 public:
  explicit TDrawNode(TTreeNodes* AOwner);

  TCustomZRDrawTreeView* View() const;
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor Value);
  TFontStyles FontStyle() const { return fontStyle_; }
  void SetFontStyle(TFontStyles Value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool Value);
  // The node's own state index (the native one while check boxes are off).
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int Value);
  TCheckState CheckState() const { return checkState_; }
  void SetCheckState(TCheckState Value);
  bool Checked() const { return checkState_ == csChecked; }
  void SetChecked(bool Value) { SetCheckState(Value ? csChecked : csUnchecked); }
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool Value) { allowGrayed_ = Value; }
  bool ParentFontStyle() const { return parentFontStyle_; }
  void SetParentFontStyle(bool Value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool Value);
  // The native item states.
  TDrawNodeStates NodeState() const;
  void SetNodeState(TDrawNodeStates Value);

 private:
  friend class TCustomZRDrawTreeView;
  friend void DescribeTDrawNode(TClassInfo& Info);
  bool IsNodeStateStored() const;
  void ApplyCheckImage();
  TColor fontColor_ = clWindowText;
  TFontStyles fontStyle_;
  bool radioItem_ = false;
  int stateIndex_ = -1;
  TCheckState checkState_ = csUnchecked;
  bool allowGrayed_ = true;
  bool parentFontStyle_ = true;
  bool parentColor_ = true;
};

using TZRClickCheckEvent = TMethodPointer<void(TObject* Sender, TTreeNode* Node)>;
namespace TypeInfos {
const TTypeInfo* TZRClickCheckEvent();
}

class TCustomZRDrawTreeView : public TCustomTreeView {
  KESTOVA_CLASS(TCustomZRDrawTreeView)
 public:
  explicit TCustomZRDrawTreeView(TComponent* AOwner);
  ~TCustomZRDrawTreeView() override;

  bool CheckBoxes() const { return checkBoxes_; }
  void SetCheckBoxes(bool Value);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool Value) { allowGrayed_ = Value; }
  // The state images used while check boxes are off.
  void SetStateImages(TImageList* Value) override;
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool Value) { autoScroll_ = Value; }
  bool ExpandOnDrag() const { return expandOnDrag_; }
  void SetExpandOnDrag(bool Value) { expandOnDrag_ = Value; }
  int DragExpandDelay() const { return dragExpandDelay_; }
  void SetDragExpandDelay(int Value) { dragExpandDelay_ = Value; }
  const std::string& Version() const { return version_; }
  void SetVersion(const std::string&) {}
  // Pixels scrolled by the last automatic scroll step (positive for left
  // and up).
  int ScrollDeltaX() const { return scrollDeltaX_; }
  int ScrollDeltaY() const { return scrollDeltaY_; }
  bool MultiDrag() const { return multiDrag_; }
  void SetMultiDrag(bool Value) { multiDrag_ = Value; }
  // The scroll directions (sdLeft...) of the last check.
  int ScrollDirections() const { return scrollDirections_; }
  bool ScrollingByTimer() const { return scrollingByTimer_; }

  // Cycles Node's check (see the header comment of CheckStateImage): nothing
  // with ReadOnly; a checked radio item stays checked; then DoClickCheck.
  void ToggleCheck(TDrawNode* Node);
  TZRClickCheckEvent OnClickCheck;

  // The tree view being dragged, or nullptr.
  static TCustomZRDrawTreeView* DraggingView();
  // Sets DragCursor (and the screen cursor at once) for the Ctrl state.
  void UpdateDragCursor(bool CtrlDown);

  void DefineProperties(TFiler* Filer) override;
  // DrawData of all nodes; with States the native states as well.
  void WriteDrawData(TStream& Stream, bool States);
  void ReadDrawData(TStream& Stream);

 protected:
  virtual void InitNode(TDrawNode* Node);
  virtual void DoClickCheck(TDrawNode* Node);
  virtual void AutoScrollTick();
  virtual TDrawNodeStates GetNodeState(TDrawNode* Node);
  virtual void SetNodeStateFlag(TDrawNode* Node, TDrawNodeState State, bool On);
  virtual void SetNodeState(TDrawNode* Node, TDrawNodeStates States);
  virtual void KillDragTimers();
  virtual bool HasNodes();
  virtual void BeginUpdate() { Items()->BeginUpdate(); }
  virtual void EndUpdate() { Items()->EndUpdate(); }

  void CreateWnd() override;
  void DestroyWnd() override;
  TTreeNode* CreateNode() override;
  void NodeInserted(TTreeNode* Node) override;
  void Delete(TTreeNode* Node) override;
  bool CustomDrawItem(TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage, bool& PaintImages) override;
  bool IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage) override;
  bool CanEdit(TTreeNode* Node) override;
  bool BeginLabelEdit(TTreeNode* Node) override;
  void EndLabelEdit(TTreeNode* Node) override;
  void KeyPress(char32_t& Key) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, int X, int Y) override;
  // Starts or stops the scroll timer for the client point P.
  void CheckAutoScroll(Point P);
  // The drag position of a CM_DRAG message in client pixels.
  Point DragClientPos(TMessage& Message) const;
  // The mouse now, in client pixels; the client area (the items' area).
  Point CursorClientPos() const;
  Rect ClientItemsRect() const;
  void ResetScrollDelta() { scrollDeltaX_ = scrollDeltaY_ = 0; }
  void CMDrag(TMessage& Message);

 private:
  friend class TDrawNode;
  friend void DescribeTCustomZRDrawTreeView(TClassInfo& Info);
  void CMFontChanged(TMessage& Message);
  void WMLButton(TMessage& Message);
  void WMTimer(TMessage& Message);
  void CanvasChanged(TObject* Sender) { canvasChanged_ = true; }
  void EditorWndProc(TMessage& Message);
  void ExpandTimerTick();
  TImageList* ActiveStateImages() const;

  TImageList* customStateImages_ = nullptr;
  bool checkBoxes_ = false;
  bool allowGrayed_ = false;
  bool canvasChanged_ = false;
  std::unique_ptr<TMemoryStream> savedNodes_;
  TDrawNode* lastRadio_ = nullptr;
  bool autoScroll_ = false;
  bool expandOnDrag_ = true;
  int scrollDeltaX_ = 0, scrollDeltaY_ = 0;
  bool expandTimerRunning_ = false, scrollTimerRunning_ = false;
  int dragExpandDelay_ = 100;
  TDragObject* dragObject_ = nullptr;
  int scrollDirections_ = 0;
  bool scrollingByTimer_ = false;
  bool multiDrag_ = false;
  TCursorValue savedCursor_ = 0;
  TWinControl* editWindow_ = nullptr;
  TWndMethod editWindowProc_;
  TDrawNode* editNode_ = nullptr;
  std::string version_ = "4.11";
  bool withinBeginEdit_ = false;
  bool savingStates_ = false;
};

inline constexpr std::uintptr_t kSelectionTimer = 151;

// The multi-select tree view. The native selected node (Selected()) has the
// focus line; with MultiSelect, Ctrl+click toggles the mark (msSelected) of
// a node, Shift+click and Shift+arrows mark the visible nodes from the range
// anchor to the selected node, and dragging from empty space draws a
// rubber band (an inverting focus rectangle in the view's overlay) that
// marks the nodes whose captions it touches, scrolling with AutoScroll.
// Marked nodes stand in Selection(), in the order they were marked.
// SelectOnlySiblings keeps every mark among the selected node's siblings.
//
// OnSelectionChanged reports a change SelectionDelay milliseconds (100)
// after the last one of a burst, through timer 151 of the view; a delay of 0
// or less reports at once. It never fires while an update
// (BeginUpdate/EndUpdate) is open: a report due then comes when the last
// update closes.
//
// With RightClickSelect, a right click on a node while another is selected
// shows the pop-up with the clicked node selected and the other marked;
// afterwards the other is the selected node again and the clicked one stays
// marked. Hot tracking rests while the band is drawn. Scrolling the view by
// its bars or the wheel while the band is drawn moves the band's origin with
// the items.
//
// A drag of several marked nodes uses crMultiDrag (Ctrl: cursor 103); while
// dragging, the node under the mouse is highlighted as the drop target and
// the marks stay. An exception raised while the view follows a native
// selection move or a node deletion is dropped.
class TCustomMSTreeView : public TCustomZRDrawTreeView {
  KESTOVA_CLASS(TCustomMSTreeView)
 public:
  explicit TCustomMSTreeView(TComponent* AOwner);
  ~TCustomMSTreeView() override;

  bool MultiSelect() const { return multiSelect_; }
  // Turning it off clears the marks.
  void SetMultiSelect(bool Value);
  bool SelectOnlySiblings() const { return selectOnlySiblings_; }
  // Turning it on unmarks every node whose parent is not the selected
  // node's parent.
  void SetSelectOnlySiblings(bool Value);
  int SelectionDelay() const { return selectionDelay_; }
  void SetSelectionDelay(int Value) { selectionDelay_ = Value; }
  const std::vector<TDrawNode*>& Selection() const { return selection_; }
  TDrawNode* RangeAnchor() const { return anchor_; }
  void SetRangeAnchor(TDrawNode* Node) { anchor_ = Node; }
  bool RubberBandActive() const { return bandActive_; }
  // Where the band began, in client pixels: it follows the items when the
  // view scrolls.
  Point RubberBandOrigin() const { return origin_; }
  // The band in client pixels, normalised and clipped.
  Rect RubberBand() const { return band_; }
  // True while the view expands a whole subtree itself.
  bool Filling() const { return filling_; }
  int UpdateCount() const { return updateCount_; }

  // Unmarks every node but the selected one (which only leaves the list),
  // forgets the anchor, then schedules the report.
  virtual void ClearSelection();
  // Deletes the marked nodes and the selected node when marked.
  virtual void DeleteSelection();
  void BeginUpdate() override;
  void EndUpdate() override;
  // Reports Node after the delay (see the class comment).
  void ScheduleSelectionChanged(TTreeNode* Node);
  // Marks the visible nodes from Node to the selected node (excluded) as
  // the anchor and the node beyond Node decide; then schedules the report.
  void SelectRange(TDrawNode* Node);

  TTVChangedEvent OnSelectionChanged;

 protected:
  virtual void DoSelectionChanged();
  TTreeNode* CreateNode() override;
  void AutoScrollTick() override;
  void SetNodeStateFlag(TDrawNode* Node, TDrawNodeState State, bool On) override;
  void SetNodeState(TDrawNode* Node, TDrawNodeStates States) override;
  void KillDragTimers() override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, int X, int Y) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void Edit(TTreeNode* Node, std::string& S) override;
  void Delete(TTreeNode* Node) override;
  void SelectionChanged(TTreeNode* Node, TTreeNode* Previous) override;
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
  void KeyUp(std::uint16_t& Key, TShiftState Shift) override;
  // Whether a drag of several nodes keeps the marks and shows crMultiDrag.
  bool MultiDragAllowed() const { return multiDragAllowed_; }
  void SetMultiDragAllowed(bool Value) { multiDragAllowed_ = Value; }
  void SetFilling(bool Value) { filling_ = Value; }
  TDrawNode* Focus() const { return static_cast<TDrawNode*>(Selected()); }
  bool Marked(TTreeNode* Node) const { return Node && Node->GetState(nisSelected); }
  void Mark(TTreeNode* Node, bool On) {
    if (Node) SetNodeStateFlag(static_cast<TDrawNode*>(Node), msSelected, On);
  }
  // Ends the rubber band: erased, capture released, scroll timer stopped.
  void EndRubberBand();

 private:
  friend void DescribeTCustomMSTreeView(TClassInfo& Info);
  void WMLButtonDown(TMessage& Message);
  void WMLButtonUp(TMessage& Message);
  void WMRButtonDown(TMessage& Message);
  void WMScrollMS(TMessage& Message);
  void WMMouseMove(TMessage& Message);
  void WMTimer(TMessage& Message);
  void WMFocus(TMessage& Message);
  void CMDragMS(TMessage& Message);
  void ApplyPendingReset();
  void DropNonSiblings(TTreeNode* Of);
  void ForgetNode(TTreeNode* Node);
  void DrawBand();
  void UpdateBand(Point Mouse);
  void SelectBandNodes();

  std::uint8_t directionHint_ = 0;
  bool pendingReset_ = false;
  bool multiSelect_ = false;
  bool keyExtend_ = false;
  bool dragging_ = false;
  bool bandActive_ = false;
  Point origin_{0, 0};
  Point bandMouse_{0, 0};  // the band's other corner, unclipped
  bool savedHotTrack_ = false;
  // The nodes of a right click while its pop-up is asked for.
  TDrawNode* rightClicked_ = nullptr;
  TDrawNode* rightPrevious_ = nullptr;
  TDrawNode* bandStart_ = nullptr;
  TDrawNode* dropNode_ = nullptr;
  TTreeNode* reported_ = nullptr;
  Rect band_{0, 0, 0, 0};
  bool clickPending_ = false;
  TCursorValue savedDragCursor_ = 0;
  bool multiDragAllowed_ = true;
  int selectionDelay_ = 100;
  bool selectOnlySiblings_ = false;
  bool filling_ = false;
  TDrawNode* anchor_ = nullptr;
  int updateCount_ = 0;
  std::vector<TDrawNode*> selection_;
  bool timerRunning_ = false;
  bool reportDue_ = false;
  bool editFailed_ = false;
};

// The shared check image list: nine 16 x 16 images (0 blank, 1 box, 2
// checked box, 3 grey box, 4 grey checked box, 5-8 the same as radio
// buttons). Made on first use.
TImageList* CheckImages();
// Start-up: the check images, the keyboard hook, cursors 102 and 103.
void DrawTreeStartUp();
void DrawTreeShutDown();
