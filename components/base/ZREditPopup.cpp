// The edit's drop-down: opening and closing, the process-wide active pop-up
// with its mouse hook, timer 1 and the activation handler.

#include <QApplication>
#include <QWidget>
#include <algorithm>

#include "components/base/ZREdit.h"
#include "components/base/ZRListBox.h"
#include "platform/controls/InputHooks.h"
#include "platform/ui/Hooks.h"
#include "platform/ui/Screen.h"

namespace {

struct TActivePopup {
  TWinControl* Popup = nullptr;
  TCustomZREdit* Edit = nullptr;
};
TActivePopup& Active() {
  static TActivePopup active;
  return active;
}

QRect ScreenRectOf(QWidget* Widget) {
  return {Widget->mapToGlobal(QPoint(0, 0)), Widget->size()};
}

bool InPopup(const QPoint& P) {
  TWinControl* popup = Active().Popup;
  return popup && popup->HandleAllocated() && ScreenRectOf(popup->Handle()).contains(P);
}

void ClosePopupWithoutAccepting() {
  TActivePopup active = Active();
  if (auto* list = dynamic_cast<TPopupListBox*>(active.Popup))
    list->CloseUp(false);
  else if (active.Edit)
    active.Edit->CloseUp(false);
}

void PopupMouseHook(const TMouseHookEvent& Event, bool& Swallow) {
  TWinControl* popup = Active().Popup;
  if (!popup) return;
  const Point at{Event.Global.x(), Event.Global.y()};
  const bool inside = PointInActiveAreas(at);
  switch (Event.Kind) {
    case TMouseHookKind::Press:
    case TMouseHookKind::DoubleClick:
    case TMouseHookKind::Release:
      if (Event.Button != Qt::LeftButton) return;
      if (!inside) {
        ClosePopupWithoutAccepting();
        return;
      }
      if (Event.Kind == TMouseHookKind::Press && InPopup(Event.Global)) popup->SetMouseCapture(true);
      return;
    case TMouseHookKind::Move: {
      if (!popup->MouseCapture()) return;
      // The grab brings the pop-up's own moves to it already.
      if (popup->HandleAllocated() && Event.Target != popup->Handle()) {
        const QPoint p = popup->Handle()->mapFromGlobal(Event.Global);
        const std::uintptr_t held = (QGuiApplication::mouseButtons() & Qt::LeftButton) ? MK_LBUTTON : 0;
        popup->Perform(WM_MOUSEMOVE, held, PointToLParam(p.x(), p.y()));
      }
      if (!inside) Swallow = true;
      return;
    }
  }
}

const TMouseHook& TheMouseHook() {
  static const TMouseHook hook(&PopupMouseHook);
  return hook;
}

}  // namespace

TWinControl* ActivePopup() { return Active().Popup; }
TCustomZREdit* ActiveEdit() { return Active().Edit; }

void ActivatePopup(TWinControl* Popup, TCustomZREdit* Edit) {
  // One open pop-up per process: a new one takes the place of the old.
  Active() = {Popup, Edit};
  AddMouseHook(TheMouseHook());
}

void DeactivatePopup(TWinControl* Popup) {
  if (Active().Popup != Popup) return;
  Active() = {};
  RemoveMouseHook(TheMouseHook());
}

bool PointInActiveAreas(Point At) {
  const QPoint p(static_cast<int>(At.x), static_cast<int>(At.y));
  if (InPopup(p)) return true;
  TCustomZREdit* edit = Active().Edit;
  if (!edit || !edit->HandleAllocated()) return false;
  QRect e = ScreenRectOf(edit->Handle());
  int extra = 0;
  if (edit->FirstButton()->Visible()) extra += edit->FirstButton()->Width();
  if (edit->SecondButton()->Visible()) extra += edit->SecondButton()->Width();
  e.setWidth(e.width() + extra);
  return e.contains(p);
}

// ---- Drop-down ----

void TCustomZREdit::DropDown() {
  clickedInEdit_ = false;
  if (!popup_ || dynamic_cast<TDummyPopup*>(popup_) || popupOpen_) return;
  auto* list = dynamic_cast<TCustomListBox*>(popup_);
  if (list)
    list->SetClientWidth(ClientWidth());
  else
    popup_->SetWidth(ClientWidth());
  if (OnOpenPopup) OnOpenPopup(this);
  UpdatePopup();
  const Point p{Left() + BorderWidth(), Top() + BorderWidth()};
  Coord y = p.y + ClientHeight();
  Coord x = AlternateBorder ? p.x : p.x - 2;
  if (popup_->Width() > Width())
    x -= popup_->Width() - Width();
  else if (popup_->Width() < Width())
    popup_->SetWidth(Width());
  if (x < 0) x = p.x - 2;
  SetFocus();
  if (Parent() && Parent()->HandleAllocated()) {
    const Point g = Parent()->ClientToScreen({x, y});
    x = g.x;
    y = g.y;
  }
  if (Screen->Height() < y + popup_->Height()) y -= popup_->Height() + Height();
  popup_->SetBounds(static_cast<int>(x), static_cast<int>(y), popup_->Width(), popup_->Height());
  popup_->SetVisible(true);
  ActivatePopup(popup_, this);
  AddActivationHook(TActivationHook::Of<&TCustomZREdit::ActivationChanged>(*this));
  SetTimer(1, 20);
  popupOpen_ = true;
}

void TCustomZREdit::CloseUp(bool Accept) {
  clickedInEdit_ = false;
  if (!popupOpen_) return;
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  DeactivatePopup(popup_);
  if (HandleAllocated()) KillTimer(1);
  RemoveActivationHook(TActivationHook::Of<&TCustomZREdit::ActivationChanged>(*this));
  if (popup_) popup_->SetVisible(false);
  if (TWinControl* form = GetParentForm(this); form && form->Focused()) SetFocus();
  struct Done {
    TCustomZREdit& edit;
    ~Done() {
      edit.popupOpen_ = false;
      edit.SelectAllText();
    }
  } done{*this};
  if (Accept) {
    AcceptPopupValue();
    if (source_) {
      const std::string typed = EditText();
      source_->SetText(typed);
      std::string normalised;
      source_->GetText(normalised);
      if (normalised != typed) SetEditText(normalised);
    }
  }
}

void TCustomZREdit::ActivationChanged(bool Active) {
  if (!Active) CloseUp(false);
}

void TCustomZREdit::DoTimer() {
  // A held button keeps a list scrolling while the mouse rests outside it.
  if (!popupOpen_ || !popup_ || !popup_->MouseCapture()) return;
  const Point at = Screen->CursorPos();
  const QPoint p = popup_->Handle()->mapFromGlobal(QPoint(static_cast<int>(at.x), static_cast<int>(at.y)));
  popup_->Perform(WM_MOUSEMOVE, MK_LBUTTON, PointToLParam(p.x(), p.y()));
}

void TCustomZREdit::WMTimer(TMessage& Message) {
  if (Message.WParam != 1) return;
  if (hoverTimerPending_) {
    hoverTimerPending_ = false;
    UpdateFlatState();
    KillTimer(1);
    return;
  }
  DoTimer();
}

void TCustomZREdit::CMMouseEnter(TMessage& Message) {
  DefaultHandler(Message);
  if (!FlatLook && !AlternateBorder) return;
  mouseOutside_ = false;
  UpdateFlatState();
}

void TCustomZREdit::CMMouseLeave(TMessage& Message) {
  DefaultHandler(Message);
  if (!FlatLook && !AlternateBorder) return;
  hoverTimerPending_ = true;
  mouseOutside_ = true;
  SetTimer(1, 10);
}
