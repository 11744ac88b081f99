#pragma once
// The control core: TControl and TWinControl.
//
// A control is a component: its Owner (who frees it) is kept by TComponent,
// its Parent (whose client area shows it) here, and the two are independent.
// A parent frees the controls it still holds when it is freed; a freed
// control leaves its parent and its owner.
//
// Messages: everything a control is told goes through WindowProc, a
// replaceable method pointer whose default is WndProc, which dispatches to
// the message handlers of the control's class chain (TObject::Dispatch) and
// from there to DefaultHandler. A hook replaces WindowProc, keeps the old
// value and calls it with the same record for what it does not swallow.
// Perform sends a message through WindowProc at once and answers its Result;
// an exception raised by a handler passes to Perform's caller. PostMessage
// queues a copy of the message for the event loop: it arrives after the
// handler that posted it returned (unless that handler runs the event loop
// itself, as a modal dialog does), and never after the control was freed.
//
// A TWinControl has a window: a Qt widget of a forwarding class (see
// ControlWindow.h) that turns the Qt events it gets into messages for
// WindowProc, each delivery inside one exception guard that shows an escaping
// error through the application's error display (platform/ui/Application.h)
// instead of letting it cross Qt. DefaultHandler of such a message gives the
// event back to the Qt widget class. The window exists while
// HandleAllocated(); it is made on demand (HandleNeeded) and has the window of
// the Parent as its Qt parent. RecreateWnd destroys and re-creates it: a
// class keeps what must survive in DestroyWnd and puts it back in CreateWnd.
//
// Keys, in order, for one press (key codes and characters: KeyModel.h):
// 1. CN_KEYDOWN (CN_SYSKEYDOWN for Alt combinations and F10), before any
//    shortcut and before the Qt widget class sees the key. TWinControl
//    answers 1 when a menu takes the key as a shortcut (IsMenuKey), so menu
//    shortcuts win over an edit's own keys, or when it is a dialog key (Tab,
//    arrows, Enter, Esc) that the control does not claim with its
//    WM_GETDLGCODE answer and the parent form took it with CM_DIALOGKEY (the
//    form moves the focus on Tab). A key answered with 1 ends here: it has
//    no key-down and no character phase.
// 2. WM_KEYDOWN (WM_SYSKEYDOWN): KeyDown(Key, Shift), then OnKeyDown. Key 0
//    on return consumes the key: the Qt widget class does not see it.
// 3. WM_CHAR for each character: KeyPress(Key), then OnKeyPress; Key 0
//    drops the character.
// Key-ups: WM_KEYUP (WM_SYSKEYUP): KeyUp, OnKeyUp.
//
// Timers: SetTimer(Id, Ms) delivers WM_TIMER with WParam = Id through
// WindowProc every Ms milliseconds. Ids belong to one control: two controls
// may use the same id. Timers stop with KillTimer, with the window
// (DestroyWnd) and with the control.
//
// Single GUI thread.

#include <QtGlobal>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/Messages.h"
#include "platform/controls/KeyModel.h"
#include "platform/core/Events.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/GraphicsNames.h"
#include "platform/graphics/GraphicsObjects.h"

class QEvent;
class QObject;
class QWidget;
class DeviceContext;
class TDragObject;
class TPopupMenu;
class TWinControl;
class TControlWindowBase;
struct TWindowDelivery;
struct TScrollInfo;

using TWndMethod = TMethodPointer<void(TMessage& Message)>;

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// Where a control sits in its parent's client area: alNone keeps its bounds;
// the others are placed by the parent's alignment pass (TWinControl::Realign).
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct TTypeInfo;
namespace TypeInfos {
const TTypeInfo* TAlign();
const TTypeInfo* TDragMode();
// The key, mouse and drag events and what they name (ControlsTypeInfo.cpp).
const TTypeInfo* TMouseButton();
const TTypeInfo* TShiftStateItem();
const TTypeInfo* TShiftState();
const TTypeInfo* TDragState();
const TTypeInfo* TKeyEvent();
const TTypeInfo* TKeyPressEvent();
const TTypeInfo* TMouseEvent();
const TTypeInfo* TMouseMoveEvent();
const TTypeInfo* TDragOverEvent();
const TTypeInfo* TDragDropEvent();
const TTypeInfo* TStartDragEvent();
const TTypeInfo* TEndDragEvent();
}

using TKeyEvent = TMethodPointer<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = TMethodPointer<void(TObject* Sender, char32_t& Key)>;
using TMouseEvent = TMethodPointer<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TMethodPointer<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// Dragging (DragManager.h). The Source of the drag events is the dragged
// control for a TDragControlObject, else the drag object; X and Y are in the
// receiving control's client coordinates.
enum TDragMode : std::uint8_t { dmManual, dmAutomatic };
enum TDragState : std::uint8_t { dsDragEnter, dsDragLeave, dsDragMove };
using TDragOverEvent =
    TMethodPointer<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TMethodPointer<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = TMethodPointer<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = TMethodPointer<void(TObject* Sender, TObject* Target, int X, int Y)>;

// WParam flags of the mouse messages; LParam holds x in its low and y in its
// high 16 bits (signed), in the receiving control's client coordinates.
inline constexpr std::uintptr_t MK_LBUTTON = 0x01;
inline constexpr std::uintptr_t MK_RBUTTON = 0x02;
inline constexpr std::uintptr_t MK_SHIFT = 0x04;
inline constexpr std::uintptr_t MK_CONTROL = 0x08;
inline constexpr std::uintptr_t MK_MBUTTON = 0x10;
inline std::intptr_t PointToLParam(int X, int Y) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(Y)) << 16) |
                                    static_cast<std::uint16_t>(X));
}
inline int LParamX(std::intptr_t LParam) { return static_cast<std::int16_t>(LParam & 0xFFFF); }
inline int LParamY(std::intptr_t LParam) { return static_cast<std::int16_t>((LParam >> 16) & 0xFFFF); }
// WM_MOUSEWHEEL: the wheel's turn in the high word of WParam (signed; 120 a
// notch, positive away from the user), the MK_ flags in the low word; the
// mouse in LParam in screen coordinates.
inline int WheelDelta(std::uintptr_t WParam) { return static_cast<std::int16_t>((WParam >> 16) & 0xFFFF); }

class TControl : public TComponent {
  KESTOVA_CLASS(TControl)
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // ---- Messages ----
  // Replaceable; the default runs WndProc.
  TWndMethod WindowProc;
  // Sends the message through WindowProc now and answers its Result.
  std::intptr_t Perform(TMessageNumber Msg, std::uintptr_t WParam, std::intptr_t LParam);
  // Hands the message to the class's handlers (Dispatch).
  virtual void WndProc(TMessage& Message);

  // ---- Parent and bounds ----
  TWinControl* Parent() const { return parent_; }
  // Moves the control into AParent's client area (nullptr: out of any); a
  // window control's window follows.
  virtual void SetParent(TWinControl* AParent);
  // For streaming: the parent is the component a control is read into.
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  void SetLeft(int Value) { SetBounds(Value, top_, width_, height_); }
  void SetTop(int Value) { SetBounds(left_, Value, width_, height_); }
  void SetWidth(int Value) { SetBounds(left_, top_, Value, height_); }
  void SetHeight(int Value) { SetBounds(left_, top_, width_, Value); }
  Rect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  // The client area in client coordinates: the whole control here; a window
  // control leaves out its non-client margins.
  virtual Rect ClientRect() const { return {0, 0, width_, height_}; }
  // Aligned controls ask their parent for an alignment pass when they are
  // moved, resized, shown, hidden, or join or leave it.
  TAlign Align() const { return align_; }
  void SetAlign(TAlign Value);

  // A change of Visible sends CM_VISIBLECHANGED (WParam the new value) to
  // the control, and a window control sends CM_SHOWINGCHANGED to each of its
  // visible children (and so on down), whose Showing changed with it. A
  // change of Enabled sends CM_ENABLEDCHANGED to the control. The base
  // handlers repaint; a window control's show, hide, enable or disable its
  // window.
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool Value);
  // Visible, and so are all its parents.
  bool Showing() const;
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool Value);
  // Asks for the control to be painted again.
  virtual void Invalidate();

  // ---- Colour and font ----
  // A control with ParentColor (ParentFont) takes its parent's Color (Font)
  // when it joins the parent and whenever the parent's changes; setting its
  // own clears the flag. Every change sends CM_COLORCHANGED
  // (CM_FONTCHANGED) to the control, and a window control passes
  // CM_PARENTCOLORCHANGED (CM_PARENTFONTCHANGED) on to its children. A
  // canvas of the control starts with these. Default clWindow, the default
  // font, both flags set.
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool Value);
  TFont* Font() const { return font_.get(); }
  void SetFont(const TFont* Value) { font_->Assign(Value); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool Value);

  // ---- Cursor and hint ----
  // The cursor shown while the mouse is over the control (Screen->Cursors);
  // crDefault leaves the window class's own (an edit's I-beam). See
  // WM_SETCURSOR at TWinControl.
  TCursorValue Cursor() const { return cursor_; }
  void SetCursor(TCursorValue Value);
  // The text the application shows when the mouse rests over the control
  // (Hints.h), while ShowHint is set. With ParentShowHint (the default)
  // ShowHint is the parent's; setting ShowHint clears ParentShowHint. A
  // control without parent answers its own value (default false).
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& Value) { hint_ = Value; }
  bool ShowHint() const;
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool Value) { parentShowHint_ = Value; }
  // For a class that publishes them: what the parent supplies is not
  // stored, so that a stored Parent... flag survives reading.
  bool IsColorStored() const { return !parentColor_; }
  bool IsFontStored() const { return !parentFont_; }
  bool IsShowHintStored() const { return !parentShowHint_; }

  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  // A double click of the left button, after its MouseDown.
  TNotifyEvent OnDblClick;

  // ---- Pop-up menu ----
  // Shown at the mouse on a right click (WM_CONTEXTMENU) when its AutoPopup
  // is set, with this control as its PopupComponent; without one the
  // request goes to the window class, then to the parent. Its shortcuts
  // work while this control or one inside it has the focus.
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // ---- Dragging (DragManager.h) ----
  // dmAutomatic begins a drag (not immediate, default threshold) on each
  // left press.
  TDragMode DragMode() const { return dragMode_; }
  void SetDragMode(TDragMode Value) { dragMode_ = Value; }
  // The cursor over a target that accepts; crDrag at first.
  TCursorValue DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursorValue Value) { dragCursor_ = Value; }
  // Begins a drag of this control: at once when Immediate, else once the
  // mouse has moved Threshold pixels (or more) from where it is now along
  // either axis; a negative Threshold takes the default, 5.
  void BeginDrag(bool Immediate, int Threshold = -1);
  // Ends this control's drag: dropped on the target when Drop and the
  // target accepts, cancelled otherwise.
  void EndDrag(bool Drop);
  // True from BeginDrag until the drag of this control ends.
  bool Dragging() const;
  // A target: Accept starts as "OnDragOver is assigned", which it may change.
  virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
  // Fires OnDragDrop.
  virtual void DragDrop(TObject* Source, int X, int Y);
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;

 protected:
  // The source: OnStartDrag may hand over a drag object of its own (it keeps
  // owning it); without one the drag makes a TDragControlObject.
  virtual void DoStartDrag(TDragObject*& DragObject);
  // Fires OnEndDrag; Target is nullptr for a cancelled drag.
  virtual void DoEndDrag(TObject* Target, int X, int Y);

  // Mouse handling, with ssDouble for a double click; the base fires the
  // events.
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  // Fires OnDblClick.
  virtual void DblClick();
  // Told that the window reports a new size or place (no message loop back).
  void UpdateBoundsFromWindow(int ALeft, int ATop, int AWidth, int AHeight);

 private:
  friend class TWinControl;
  void WMMouse(TMessage& Message);
  void WMMouseMove(TMessage& Message);
  void WMContextMenu(TMessage& Message);
  void CMDrag(TMessage& Message);
  friend class TDragManager;
  void CMParentColorChanged(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void FontChanged(TObject* Sender);
  // Color and Font from the parent, as the flags say.
  void TakeParentLooks();
  // The parent's alignment pass, for an aligned control.
  void RequestAlign();
  friend void DescribeTControl(TClassInfo& Info);

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  TAlign align_ = alNone;
  TPopupMenu* popupMenu_ = nullptr;
  TDragMode dragMode_ = dmManual;
  TCursorValue dragCursor_ = crDrag;
  TCursorValue cursor_ = crDefault;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = true;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool takingParentFont_ = false;
  std::unique_ptr<QObject> postReceiver_;
  friend void PostMessage(TControl* Control, TMessageNumber Msg, std::uintptr_t WParam, std::intptr_t LParam);
  friend void PostPayloadMessage(TControl* Control, TMessageNumber Msg, std::shared_ptr<const void> Payload,
                                 std::intptr_t LParam);
};

// Queues {Msg, WParam, LParam} for Control's WindowProc (inside the exception
// guard) at the next turn of the event loop; dropped when Control is freed
// first. Nothing for nullptr.
void PostMessage(TControl* Control, TMessageNumber Msg, std::uintptr_t WParam, std::intptr_t LParam);
// PostMessage with a payload that travels with the message: handled with
// WParam = Payload.get(). Postings of one payload share it; it is freed after
// the last of them was handled or dropped, so a handler never reads a payload
// its poster freed meanwhile.
void PostPayloadMessage(TControl* Control, TMessageNumber Msg, std::shared_ptr<const void> Payload,
                        std::intptr_t LParam);

class TWinControl : public TControl {
  KESTOVA_CLASS(TWinControl)
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // ---- Children ----
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int Index) const { return controls_.at(static_cast<std::size_t>(Index)); }
  // The control under a client point, topmost first, among the visible
  // children without a window; nullptr when none.
  TControl* ControlAtPos(int X, int Y) const;
  // For streaming: the children Root owns, in order.
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  // The place among the parent's window children in the order the Tab key
  // visits them (they join at the end); -1 without a parent. Setting it
  // moves the control there (a value out of 0..count-1 makes it the last)
  // and the windows' focus chain follows. While the control is read from a
  // stream the value waits until loading ends, when all siblings are there.
  int TabOrder() const;
  void SetTabOrder(int Value);

  // ---- Window ----
  bool HandleAllocated() const { return window_ != nullptr; }
  // The window, made first when there is none.
  QWidget* Handle();
  void HandleNeeded() { Handle(); }
  // A point of the client area in screen coordinates (the window is made
  // first when there is none).
  Point ClientToScreen(Point P);
  // Destroys the window (children's first) through DestroyWnd.
  void DestroyHandle();
  // Destroys the window and makes it again, with its children's windows.
  void RecreateWnd();
  bool Focused() const;
  void SetFocus();
  // The mouse captured as a grab: every mouse event goes to this window until
  // it is released (the error display releases it too).
  bool MouseCapture() const;
  void SetMouseCapture(bool Value);
  // For a form (a control without parent): the control of its own that had
  // the focus last, or nullptr. Focus moves within one form send CM_EXIT to
  // the control that had it and its parents, then CM_ENTER to the parents
  // of the control that gets it and to that control, outermost first; the
  // parents both share hear nothing. Moves to another form leave each form's
  // focused control as it is.
  TWinControl* FocusedControl() const { return focusedControl_; }
  void SetFocusedControl(TWinControl* Control) { focusedControl_ = Control; }
  // True for this control and the controls it holds, at any depth.
  bool ContainsControl(const TControl* Control) const;

  // ---- Alignment ----
  // The alignment pass: the visible aligned children are placed in the
  // client rectangle (AdjustClientRect) in the order alTop, alBottom,
  // alLeft, alRight, alClient. Each takes the full width (alTop, alBottom)
  // or height (alLeft, alRight) of what is left and keeps its other extent;
  // alClient takes all that is left. Among controls of one alignment the one
  // nearer its edge goes first (by Top, bottom edge, Left, right edge); the
  // control that asked for the pass wins ties. It runs on a size change, not
  // while loading (Loaded runs it) nor between DisableAlign and EnableAlign
  // (the last EnableAlign runs it when one was asked for).
  void Realign() { AlignControl(nullptr); }
  void DisableAlign() { ++alignLevel_; }
  void EnableAlign();
  void Loaded() override;

  // ---- Non-client area and scroll bars (ScrollBars.h) ----
  // The window less its non-client margins: the border the class gives
  // through WM_NCCALCSIZE, then the scroll bars that show. Mouse messages,
  // painting and the children measure from its top-left corner.
  Rect ClientRect() const override;
  // Where the client area's top-left corner lies in the window.
  Point ClientOffset() const { return {ncLeft_, ncTop_}; }
  // Bar is SB_HORZ or SB_VERT (SB_BOTH too for ShowScrollBar). The state is
  // the control's: it survives RecreateWnd. SetScrollInfo answers the new
  // position; GetScrollInfo fills the fields Info.fMask asks for (false for
  // another Bar).
  int SetScrollInfo(int Bar, const TScrollInfo& Info, bool Redraw = true);
  bool GetScrollInfo(int Bar, TScrollInfo& Info) const;
  int GetScrollPos(int Bar) const;
  void ShowScrollBar(int Bar, bool Show);
  // The bar takes room from the client area.
  bool ScrollBarShown(int Bar) const;

  // ---- Cursor ----
  // Each mouse move over the window without a button held (and the mouse
  // entering it) sends WM_SETCURSOR: WParam WM_MOUSEMOVE, LParam the client
  // point. The base handler shows the Cursor of the graphic child under the
  // point, or else the control's own, and answers 1; a class that shows
  // another cursor for a part of itself calls ShowWindowCursor and answers
  // 1 without it.
  void ShowWindowCursor(TCursorValue Id);

  // ---- Key phases ----
  // As the window runs them for a key: the parent form's preview first
  // (TForm::KeyPreview: the form's KeyDown, KeyPress or KeyUp sees the key
  // before the control), then the control's own. True when one of them
  // consumed the key (set it to 0).
  bool DoKeyDown(std::uint16_t& Key, TShiftState Shift);
  bool DoKeyPress(char32_t& Key);
  bool DoKeyUp(std::uint16_t& Key, TShiftState Shift);

  // ---- Timers ----
  void SetTimer(std::uintptr_t Id, int Milliseconds);
  void KillTimer(std::uintptr_t Id);

  void SetParent(TWinControl* AParent) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetVisible(bool Value) override;
  void SetEnabled(bool Value) override;
  void Invalidate() override;

  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

 protected:
  // Makes the window widget (CreateWindowWidget) and applies the control's
  // bounds and state. An override calls it first, then restores what its
  // DestroyWnd kept.
  virtual void CreateWnd();
  // Deletes the window. An override keeps what must survive first, then
  // calls it.
  virtual void DestroyWnd();
  // The widget class of the window: a TControlWindow<Base> for this
  // control with Qt parent Parent (ControlWindow.h).
  virtual TControlWindowBase* CreateWindowWidget(QWidget* Parent);
  // Asks the class for its border again (WM_NCCALCSIZE: LParam a Rect* of
  // the whole window, to be shrunk to what lies inside the border), takes
  // the showing scroll bars from what is left and places them; a change of
  // the client size is told with WM_SIZE (LParam the client size).
  void FrameChanged();
  // The part of the client area the alignment pass fills; the whole of it
  // here.
  virtual void AdjustClientRect(Rect& ARect);
  // Places the aligned children in ARect, which it shrinks; AControl is the
  // control that asked for it, or nullptr.
  virtual void AlignControls(TControl* AControl, Rect& ARect);

  virtual void KeyDown(std::uint16_t& Key, TShiftState Shift);
  virtual void KeyUp(std::uint16_t& Key, TShiftState Shift);
  virtual void KeyPress(char32_t& Key);

  // Paints the visible children without a window over the window's own
  // painting (called for WM_PAINT).
  void PaintControls();
  // True while the window is delivering a paint event: painting may begin.
  bool Painting() const;

 private:
  friend class TControl;
  friend class TControlWindowBase;
  friend void DescribeTWinControl(TClassInfo& Info);
  void CreateHandle();
  void InsertControl(TControl* Control);
  void RemoveControl(TControl* Control);
  void ApplyWindowState();
  void AlignControl(TControl* AControl);
  void WMSize(TMessage& Message);
  bool RouteToGraphicChild(TMessage& Message);
  void StopTimers();
  // Adds the process's one focus hook, once.
  static void ListenToFocus();
  // Clears the form's focused control when it is this control or inside it.
  void ForgetFocusedControl();
  // The control's id of a running Qt timer.
  bool TimerId(int QtTimerId, std::uintptr_t& Id) const;

  // Menu shortcuts first: the pop-up menus of this control and its parents,
  // then the form (TForm::IsShortCut). True when one took the key.
  bool IsMenuKey(const TMessage& Message);
  void WMContextMenu(TMessage& Message);
  void CNKeyDown(TMessage& Message);
  void WMKeyDown(TMessage& Message);
  void WMKeyUp(TMessage& Message);
  void WMChar(TMessage& Message);
  void CMDialogKey(TMessage& Message);
  void WMPaint(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  // Perform(Msg) on every child.
  void NotifyControls(TMessageNumber Msg);
  // Chains the focus of the children's windows in tab order.
  void ApplyTabOrder();
  // Places the children whose tab order was read from a stream.
  void FixupTabList();

  struct ScrollBars;
  // Computes the margins and places the bar widgets; true when the client
  // size changed.
  bool LayoutNonClient();
  void ScrollAction(int Bar, int Action);
  void ScrollReleased(int Bar);
  void SyncScrollBar(int Bar);

  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tabList_;
  int pendingTabOrder_ = -1;
  TControlWindowBase* window_ = nullptr;
  std::unique_ptr<ScrollBars> scrollBars_;
  int ncLeft_ = 0, ncTop_ = 0, ncRight_ = 0, ncBottom_ = 0;
  int frameDepth_ = 0;
  TWindowDelivery* delivery_ = nullptr;
  TControl* mouseControl_ = nullptr;  // the graphic child that was pressed
  TWinControl* focusedControl_ = nullptr;
  bool shownTopLevel_ = false;
  int alignLevel_ = 0;
  bool aligning_ = false;
  bool alignmentNeeded_ = false;
  struct Timers;
  std::unique_ptr<Timers> timers_;
};

// The topmost window control above Control (itself when it has no parent);
// nullptr for nullptr or a parentless control without a window.
TWinControl* GetParentForm(TControl* Control);
