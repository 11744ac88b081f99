// The window side of the control core: Qt events in, messages out, each
// delivery inside the one exception guard.

#include "platform/controls/ControlWindow.h"

#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimerEvent>
#include <QWheelEvent>
#include <string>

#include "platform/controls/Controls.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"

namespace {

// Scope of one delivery: counts the window as busy, and deletes it afterwards
// when its control let it go meanwhile.
class DeliveryScope {
 public:
  DeliveryScope(QWidget* widget, int& depth, const bool& released)
      : widget_(widget), depth_(depth), released_(released) {
    ++depth_;
  }
  ~DeliveryScope() {
    if (--depth_ == 0 && released_) widget_->deleteLater();
  }
  DeliveryScope(const DeliveryScope&) = delete;
  DeliveryScope& operator=(const DeliveryScope&) = delete;

 private:
  QWidget* widget_;
  int& depth_;
  const bool& released_;
};

// The CN_KEYDOWN answer given at the shortcut check of a key press, for the
// press that follows. Process-wide: a handler may move the focus, and the
// press then goes to the new focus.
struct PendingNotify {
  bool Valid = false;
  int Key = 0;
  Qt::KeyboardModifiers Modifiers;
  std::intptr_t Result = 0;
};
PendingNotify& Pending() {
  static PendingNotify pending;
  return pending;
}

TMessageNumber MouseMessage(const QMouseEvent& event) {
  if (event.type() == QEvent::MouseMove) return WM_MOUSEMOVE;
  const bool dbl = event.type() == QEvent::MouseButtonDblClick;
  const bool up = event.type() == QEvent::MouseButtonRelease;
  switch (event.button()) {
    case Qt::LeftButton:
      return up ? WM_LBUTTONUP : dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    case Qt::RightButton:
      return up ? WM_RBUTTONUP : dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    case Qt::MiddleButton:
      return up ? WM_MBUTTONUP : dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
    default:
      return WM_NULL;
  }
}

std::uintptr_t MouseFlags(const QMouseEvent& event) {
  std::uintptr_t flags = 0;
  const Qt::MouseButtons buttons = event.buttons();
  if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
  if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
  if (event.modifiers() & Qt::ShiftModifier) flags |= MK_SHIFT;
  if (event.modifiers() & Qt::ControlModifier) flags |= MK_CONTROL;
  return flags;
}

}  // namespace

void TControlWindowBase::Release() {
  control_ = nullptr;
  if (depth_ > 0) {
    released_ = true;
    // Out of its parent too, which may be destroyed before this event ends.
    Widget()->hide();
    Widget()->setParent(nullptr);
  } else {
    delete Widget();
  }
}

void TControlWindowBase::TrackCursor() {
  if (tracking_) return;
  tracking_ = true;
  Widget()->setMouseTracking(true);
}

void TControlWindowBase::ShowCursor(std::int32_t Id) {
  QWidget* w = Widget();
  if (Id == crDefault) {
    if (!cursorShown_) return;
    cursorShown_ = false;
    if (classHadCursor_)
      w->setCursor(classCursor_);
    else
      w->unsetCursor();
    return;
  }
  if (cursorShown_ && shownCursor_ == Id) return;
  if (!cursorShown_) {
    classHadCursor_ = w->testAttribute(Qt::WA_SetCursor);
    classCursor_ = w->cursor();
  }
  cursorShown_ = true;
  shownCursor_ = Id;
  w->setCursor(Screen->Cursors(Id));
}

void TControlWindowBase::AskCursor(QPoint P) {
  // The control measures from its client corner, inside any border and bars.
  const Point o = control_->ClientOffset();
  P -= QPoint(static_cast<int>(o.x), static_cast<int>(o.y));
  TMessage message{WM_SETCURSOR, WM_MOUSEMOVE, PointToLParam(P.x(), P.y())};
  Send(message, nullptr, false);
}

bool TControlWindowBase::Event(QEvent* Event) {
  if (!control_) return BaseEvent(Event);
  DeliveryScope scope(Widget(), depth_, released_);
  return Deliver(Event);
}

TControlWindowBase::Outcome TControlWindowBase::Send(TMessage& Message, QEvent* Event, bool DeferBase) {
  TWinControl* control = control_;
  TWindowDelivery delivery{Event, &Message, DeferBase};
  TWindowDelivery* outer = control->delivery_;
  control->delivery_ = &delivery;
  RunGuarded([&] { control->WindowProc(Message); });
  if (control_ != control) return {false, false, false};
  control->delivery_ = outer;
  return {true, delivery.ReachedDefault, delivery.BaseResult};
}

bool TControlWindowBase::SendAnswering(TMessage& Message, QEvent* Event) {
  const Outcome outcome = Send(Message, Event, false);
  if (outcome.ReachedDefault) return outcome.BaseResult;
  Event->accept();  // the control handled it
  return true;
}

bool TControlWindowBase::Deliver(QEvent* Event) {
  TMessage message;
  switch (Event->type()) {
    case QEvent::ShortcutOverride:
      return DeliverShortcutOverride(static_cast<QKeyEvent*>(Event));
    case QEvent::KeyPress:
      return DeliverKeyPress(static_cast<QKeyEvent*>(Event));
    case QEvent::KeyRelease:
      return DeliverKeyRelease(static_cast<QKeyEvent*>(Event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      return DeliverMouse(static_cast<QMouseEvent*>(Event));
    case QEvent::Paint:
      message.Msg = WM_PAINT;
      break;
    case QEvent::FocusIn:
      message.Msg = WM_SETFOCUS;
      break;
    case QEvent::FocusOut:
      message.Msg = WM_KILLFOCUS;
      break;
    case QEvent::Enter:
      AskCursor(static_cast<QEnterEvent*>(Event)->position().toPoint());
      if (!control_) return true;
      message.Msg = CM_MOUSEENTER;
      break;
    case QEvent::Leave:
      message.Msg = CM_MOUSELEAVE;
      break;
    case QEvent::Resize:
    case QEvent::Move: {
      const QRect r = Widget()->geometry();
      control_->UpdateBoundsFromWindow(r.x(), r.y(), r.width(), r.height());
      if (Event->type() == QEvent::Resize) {
        control_->LayoutNonClient();
        const Rect client = control_->ClientRect();
        message.Msg = WM_SIZE;
        message.LParam = PointToLParam(static_cast<int>(client.right), static_cast<int>(client.bottom));
      } else {
        message.Msg = WM_MOVE;
        message.LParam = PointToLParam(r.x(), r.y());
      }
      break;
    }
    case QEvent::Wheel: {
      const auto* wheel = static_cast<QWheelEvent*>(Event);
      const int delta = wheel->angleDelta().y();
      if (delta == 0) return BaseEvent(Event);
      const QPoint g = wheel->globalPosition().toPoint();
      std::uintptr_t flags = 0;
      if (wheel->buttons() & Qt::LeftButton) flags |= MK_LBUTTON;
      if (wheel->buttons() & Qt::RightButton) flags |= MK_RBUTTON;
      if (wheel->buttons() & Qt::MiddleButton) flags |= MK_MBUTTON;
      if (wheel->modifiers() & Qt::ShiftModifier) flags |= MK_SHIFT;
      if (wheel->modifiers() & Qt::ControlModifier) flags |= MK_CONTROL;
      message.Msg = WM_MOUSEWHEEL;
      message.WParam = (static_cast<std::uintptr_t>(static_cast<std::uint16_t>(delta)) << 16) | flags;
      message.LParam = PointToLParam(g.x(), g.y());
      break;
    }
    case QEvent::ContextMenu: {
      const QPoint p = static_cast<QContextMenuEvent*>(Event)->globalPos();
      message.Msg = WM_CONTEXTMENU;
      message.LParam = PointToLParam(p.x(), p.y());
      break;
    }
    case QEvent::Timer: {
      const int id = static_cast<QTimerEvent*>(Event)->timerId();
      if (!control_->TimerId(id, message.WParam)) return BaseEvent(Event);
      message.Msg = WM_TIMER;
      break;
    }
    default:
      return BaseEvent(Event);
  }
  return SendAnswering(message, Event);
}

bool TControlWindowBase::DeliverMouse(QMouseEvent* Event) {
  NoteKeyboardModifiers(Event->modifiers());
  const TMessageNumber msg = MouseMessage(*Event);
  if (msg == WM_NULL) return BaseEvent(Event);
  if (msg == WM_MOUSEMOVE && Event->buttons() == Qt::NoButton && tracking_) {
    AskCursor(Event->position().toPoint());
    if (!control_) return true;
  }
  const Point o = control_->ClientOffset();
  const QPoint p = Event->position().toPoint() - QPoint(static_cast<int>(o.x), static_cast<int>(o.y));
  TMessage message{msg, MouseFlags(*Event), PointToLParam(p.x(), p.y())};
  return SendAnswering(message, Event);
}

bool TControlWindowBase::ControlClaims(std::uint16_t VK) {
  const std::intptr_t needed = DialogCodeNeeded(VK);
  if (needed == 0) return false;
  TMessage query{WM_GETDLGCODE};
  return Send(query, nullptr, true).Alive && (query.Result & needed) != 0;
}

bool TControlWindowBase::DeliverShortcutOverride(QKeyEvent* Event) {
  NoteKeyboardModifiers(Event->modifiers());
  Pending() = {};
  const std::vector<TKeyMessage> keys = TranslateKey(*Event);
  // Dialog keys wait for the press itself: their handling may move the focus,
  // and the press would then reach the next control as a second key.
  if (keys.empty() || DialogCodeNeeded(static_cast<std::uint16_t>(keys.front().WParam)) != 0) return BaseEvent(Event);
  TMessage notify{CN_BASE + keys.front().Msg, keys.front().WParam, keys.front().LParam};
  if (!Send(notify, Event, true).Alive) return true;
  Pending() = {true, Event->key(), Event->modifiers(), notify.Result};
  if (notify.Result == 0) return BaseEvent(Event);
  Event->accept();  // the control took the key: no shortcut runs
  return true;
}

bool TControlWindowBase::DeliverKeyPress(QKeyEvent* Event) {
  NoteKeyboardModifiers(Event->modifiers());
  const PendingNotify pending = Pending();
  Pending() = {};
  const std::vector<TKeyMessage> keys = TranslateKey(*Event);
  if (keys.empty()) return BaseEvent(Event);
  const TKeyMessage& down = keys.front();
  const auto vk = static_cast<std::uint16_t>(down.WParam);

  std::intptr_t notified = 0;
  if (pending.Valid && pending.Key == Event->key() && pending.Modifiers == Event->modifiers()) {
    notified = pending.Result;
  } else {
    TMessage notify{CN_BASE + down.Msg, down.WParam, down.LParam};
    if (!Send(notify, Event, true).Alive) return true;
    notified = notify.Result;
  }
  if (notified != 0) {
    Event->accept();
    return true;
  }

  TMessage key{down.Msg, down.WParam, down.LParam};
  const Outcome keyOutcome = Send(key, Event, true);
  if (!keyOutcome.Alive) return true;
  std::u32string typed, passed;
  for (std::size_t i = 1; i < keys.size(); ++i) {
    typed.push_back(static_cast<char32_t>(keys[i].WParam));
    TMessage character{WM_CHAR, keys[i].WParam, keys[i].LParam};
    const Outcome outcome = Send(character, Event, true);
    if (!outcome.Alive) return true;
    if (outcome.ReachedDefault && character.WParam != 0) passed.push_back(static_cast<char32_t>(character.WParam));
  }
  if (!keyOutcome.ReachedDefault) {  // consumed
    Event->accept();
    return true;
  }

  // The Qt widget class gets the key with the characters that came through.
  const bool claimed = ControlClaims(vk);
  if (!control_) return true;
  keepFocus_ = claimed && vk == VK_TAB;
  bool handled;
  if (passed == typed) {
    handled = BaseEvent(Event);
  } else {
    QKeyEvent changed(Event->type(), Event->key(), Event->modifiers(), Event->nativeScanCode(),
                      Event->nativeVirtualKey(), Event->nativeModifiers(), QString::fromStdU32String(passed),
                      Event->isAutoRepeat(), static_cast<quint16>(Event->count()));
    handled = BaseEvent(&changed);
    Event->setAccepted(changed.isAccepted());
  }
  keepFocus_ = false;
  if (claimed) {
    // Claimed keys stay here: no parent handles them as dialog keys.
    Event->accept();
    handled = true;
  }
  return handled;
}

bool TControlWindowBase::DeliverKeyRelease(QKeyEvent* Event) {
  NoteKeyboardModifiers(Event->modifiers());
  const std::vector<TKeyMessage> keys = TranslateKey(*Event);
  if (keys.empty()) return BaseEvent(Event);
  TMessage message{keys.front().Msg, keys.front().WParam, keys.front().LParam};
  return SendAnswering(message, Event);
}
