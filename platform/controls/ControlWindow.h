#pragma once
// The window of a TWinControl: a Qt widget of a small forwarding class.
//
// TControlWindow<Base> derives from one Qt widget class (QWidget,
// QLineEdit, QAbstractScrollArea, ...) and hands the events its control
// handles to the control's WindowProc as messages (Controls.h), each inside
// the one exception guard. What the control leaves to DefaultHandler goes
// back to Base. Events without a message go straight to Base.
//
// The window forgets its control when the control lets it go (DestroyWnd or
// the control's destructor); a window that is delivering an event then is
// hidden and deleted when its event returns, so a handler may free its own
// control.
//
// A control of another widget class overrides CreateWindowWidget:
//   TControlWindowBase* TMyEdit::CreateWindowWidget(QWidget* Parent) {
//     return new TControlWindow<QLineEdit>(this, Parent);
//   }

#include <QCursor>
#include <QEvent>
#include <QWidget>
#include <cstdint>

class QKeyEvent;
class QMouseEvent;

#include "platform/core/Message.h"

class TWinControl;

// What the window is delivering: the Qt event, the message made from it, and
// what DefaultHandler did with it.
struct TWindowDelivery {
  QEvent* Event = nullptr;
  const TMessage* Message = nullptr;
  bool DeferBase = false;  // key messages: the window gives the event to Base afterwards
  bool ReachedDefault = false;
  bool BaseResult = false;
};

class TControlWindowBase {
 public:
  explicit TControlWindowBase(TWinControl* Control) : control_(Control) {}
  virtual ~TControlWindowBase() = default;
  TControlWindowBase(const TControlWindowBase&) = delete;
  TControlWindowBase& operator=(const TControlWindowBase&) = delete;

  virtual QWidget* Widget() = 0;
  // The event as the Qt widget class handles it.
  virtual bool BaseEvent(QEvent* Event) = 0;
  virtual bool BaseFocusNextPrevChild(bool Next) = 0;

  TWinControl* Control() const { return control_; }
  bool Delivering() const { return depth_ > 0; }
  // Forgets the control; a delivering window deletes itself afterwards.
  void Release();
  // Turns mouse tracking on: every move without a button held reaches the
  // control as WM_SETCURSOR, then as WM_MOUSEMOVE, as every window hears
  // the mouse pass over it.
  void TrackCursor();
  // Shows cursor Id (Screen->Cursors) over the window; crDefault puts the
  // widget class's own cursor back.
  void ShowCursor(std::int32_t Id);

 protected:
  // The window's event handler: messages for the control, or Base.
  bool Event(QEvent* Event);
  // While the window gives a key its control claims back to Base, Base must
  // not move the focus on it.
  bool FocusMoveAllowed() const { return !keepFocus_; }

 private:
  struct Outcome {
    bool Alive = true;            // the control still has this window
    bool ReachedDefault = false;  // DefaultHandler saw the message
    bool BaseResult = false;      // what Base answered when it got the event
  };
  // Runs Message through the control's WindowProc inside the guard.
  Outcome Send(TMessage& Message, QEvent* Event, bool DeferBase);
  // Send, answering Qt what Base answered, or that the control handled it.
  bool SendAnswering(TMessage& Message, QEvent* Event);
  bool Deliver(QEvent* Event);
  bool DeliverKeyPress(QKeyEvent* Event);
  bool DeliverKeyRelease(QKeyEvent* Event);
  bool DeliverShortcutOverride(QKeyEvent* Event);
  bool DeliverMouse(QMouseEvent* Event);
  // WM_SETCURSOR for the client point P.
  void AskCursor(QPoint P);
  // The control's WM_GETDLGCODE answer includes what VK needs; false when
  // VK needs nothing or the control is gone.
  bool ControlClaims(std::uint16_t VK);

  TWinControl* control_;
  int depth_ = 0;
  bool released_ = false;
  bool keepFocus_ = false;
  bool tracking_ = false;        // TrackCursor ran
  bool cursorShown_ = false;     // ShowCursor replaced the class's cursor
  bool classHadCursor_ = false;  // ... which was set (else inherited)
  std::int32_t shownCursor_ = 0;
  QCursor classCursor_;
};

template <class Base>
class TControlWindow final : public Base, public TControlWindowBase {
 public:
  TControlWindow(TWinControl* Control, QWidget* Parent) : Base(Parent), TControlWindowBase(Control) {}

  QWidget* Widget() override { return this; }
  bool BaseEvent(QEvent* Event) override { return Base::event(Event); }
  bool BaseFocusNextPrevChild(bool Next) override { return Base::focusNextPrevChild(Next); }

 protected:
  bool event(QEvent* Event) override { return TControlWindowBase::Event(Event); }
  bool focusNextPrevChild(bool Next) override { return FocusMoveAllowed() && Base::focusNextPrevChild(Next); }
};

// The control whose window is Widget or holds it (within one top-level
// window); nullptr when none.
TWinControl* ControlOfWidget(QWidget* Widget);
