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

 private:
  friend class TDrawNode;
  friend void DescribeTCustomZRDrawTreeView(TClassInfo& Info);
  void CMFontChanged(TMessage& Message);
  void WMLButton(TMessage& Message);
  void WMTimer(TMessage& Message);
  void CMDrag(TMessage& Message);
  void CanvasChanged(TObject* Sender) { canvasChanged_ = true; }
  void EditorWndProc(TMessage& Message);
  void CheckAutoScroll(Point P);
  void ExpandTimerTick();
  Point CursorClientPos() const;
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

class TZRTreeView : public TCustomZRDrawTreeView {
  KESTOVA_CLASS(TZRTreeView)
 public:
  explicit TZRTreeView(TComponent* AOwner) : TCustomZRDrawTreeView(AOwner) {}
};

// The shared check image list: nine 16 x 16 images (0 blank, 1 box, 2
// checked box, 3 grey box, 4 grey checked box, 5-8 the same as radio
// buttons). Made on first use.
TImageList* CheckImages();
// Start-up: the check images, the keyboard hook, cursors 102 and 103.
void DrawTreeStartUp();
void DrawTreeShutDown();
