#include "platform/controls/Controls.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/DragManager.h"
#include "platform/controls/Hints.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/GraphicsNames.h"
#include "platform/ui/Application.h"

namespace {

// A posted message: a copy of the record, delivered to the control the
// receiver belongs to.
class PostedMessageEvent : public QEvent {
 public:
  static QEvent::Type EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }
  explicit PostedMessageEvent(const TMessage& message, std::shared_ptr<const void> payload = nullptr)
      : QEvent(EventType()), Message(message), Payload(std::move(payload)) {}
  TMessage Message;
  // Freed with the event, whether it was delivered or dropped.
  std::shared_ptr<const void> Payload;
};

// Receives a control's posted messages. It is freed with its control, and Qt
// drops the events still queued for it then; a control freed by a handler of
// a posted message lets it go instead, and it drops what still comes.
class PostReceiver : public QObject {
 public:
  explicit PostReceiver(TControl& control) : control_(&control) {}
  bool Delivering() const { return delivering_ > 0; }
  void Release() { control_ = nullptr; }

 protected:
  void customEvent(QEvent* event) override {
    if (event->type() != PostedMessageEvent::EventType() || !control_) return;
    TMessage message = static_cast<PostedMessageEvent*>(event)->Message;
    ++delivering_;
    RunGuarded([&] { control_->WindowProc(message); });
    --delivering_;
  }

 private:
  TControl* control_;
  int delivering_ = 0;
};

TMouseButton ButtonOf(TMessageNumber msg) {
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return mbMiddle;
    default:
      return mbLeft;
  }
}

TShiftState MouseShift(std::uintptr_t flags) {
  TShiftState shift;
  if (flags & MK_SHIFT) shift.Include(ssShift);
  if (flags & MK_CONTROL) shift.Include(ssCtrl);
  if (flags & MK_LBUTTON) shift.Include(ssLeft);
  if (flags & MK_RBUTTON) shift.Include(ssRight);
  if (flags & MK_MBUTTON) shift.Include(ssMiddle);
  // The key model knows Alt; the mouse flags do not carry it.
  if (CurrentShiftState().Contains(ssAlt)) shift.Include(ssAlt);
  return shift;
}

}  // namespace

KESTOVA_TYPE_INFO(TAlign,
                  MakeEnumType("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}, "Controls"))
KESTOVA_TYPE_INFO(TDragMode, MakeEnumType("TDragMode", {"dmManual", "dmAutomatic"}, "Controls"))

void DescribeTControl(TClassInfo& Info) {
  RegisterGraphicsNames();  // Color and Cursor properties read and write by name
  for (TMessageNumber msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                             WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK})
    AddMessageHandler<&TControl::WMMouse>(Info, msg);
  AddMessageHandler<&TControl::WMMouseMove>(Info, WM_MOUSEMOVE);
  AddMessageHandler<&TControl::CMDrag>(Info, CM_DRAG);
  AddMessageHandler<&TControl::WMContextMenu>(Info, WM_CONTEXTMENU);
  AddMessageHandler<&TControl::CMParentColorChanged>(Info, CM_PARENTCOLORCHANGED);
  AddMessageHandler<&TControl::CMParentFontChanged>(Info, CM_PARENTFONTCHANGED);
  AddMessageHandler<&TControl::CMVisibleChanged>(Info, CM_VISIBLECHANGED);
  AddMessageHandler<&TControl::CMEnabledChanged>(Info, CM_ENABLEDCHANGED);
  // What a stored form keeps of every control.
  TClassPublisher<TControl> p(Info);
  p.Property<&TControl::Align, &TControl::SetAlign>("Align", TypeInfos::TAlign()).Default(alNone);
  p.Property<&TControl::Left, &TControl::SetLeft>("Left", TypeInfos::Integer());
  p.Property<&TControl::Top, &TControl::SetTop>("Top", TypeInfos::Integer());
  p.Property<&TControl::Width, &TControl::SetWidth>("Width", TypeInfos::Integer());
  p.Property<&TControl::Height, &TControl::SetHeight>("Height", TypeInfos::Integer());
  p.Property<&TControl::Enabled, &TControl::SetEnabled>("Enabled", TypeInfos::Boolean()).Default(true);
  p.Property<&TControl::Visible, &TControl::SetVisible>("Visible", TypeInfos::Boolean()).Default(true);
  p.Property<&TControl::PopupMenu, &TControl::SetPopupMenu>("PopupMenu", ClassTypeInfo(TPopupMenu::StaticClass()));
}
KESTOVA_CLASS_INFO_DESCRIBED(TControl, TComponent, "Controls", nullptr, DescribeTControl)

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>()) {
  WindowProc = TWndMethod::Of<&TControl::WndProc>(*this);
  font_->OnChange = TNotifyEvent::Of<&TControl::FontChanged>(*this);
}

TControl::~TControl() {
  ForgetDragControl(this);
  if (parent_) parent_->RemoveControl(this);
  if (auto* receiver = static_cast<PostReceiver*>(postReceiver_.get()); receiver && receiver->Delivering()) {
    receiver->Release();
    postReceiver_.release()->deleteLater();
  }
}

std::intptr_t TControl::Perform(TMessageNumber Msg, std::uintptr_t WParam, std::intptr_t LParam) {
  TMessage message{Msg, WParam, LParam, 0};
  WindowProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& Message) { Dispatch(Message); }

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == parent_) return;
  if (parent_) {
    parent_->Invalidate();
    TWinControl* old = parent_;
    old->RemoveControl(this);
    if (visible_) old->AlignControl(nullptr);
  }
  if (AParent) {
    AParent->InsertControl(this);
    TakeParentLooks();
    RequestAlign();
  }
  Invalidate();
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (popupMenu_ == Value) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = Value;
  if (Value) Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupMenu_) popupMenu_ = nullptr;
}

void TControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  if (popupMenu_ && popupMenu_->AutoPopup() && !ComponentState().Contains(csDesigning)) {
    popupMenu_->SetPopupComponent(this);
    popupMenu_->Popup(LParamX(Message.LParam), LParamY(Message.LParam));
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

void TControl::SetAlign(TAlign Value) {
  if (align_ == Value) return;
  const TAlign old = align_;
  align_ = Value;
  if (Value != alNone || old != alNone) {
    if (parent_ && visible_) parent_->AlignControl(this);
  }
}

// Every child asks, aligned or not: a parent's pass may place its other
// children too (a button panel lays out its buttons).
void TControl::RequestAlign() {
  if (parent_ && visible_) parent_->AlignControl(this);
}

void TControl::SetColor(TColor Value) {
  parentColor_ = false;
  if (color_ == Value) return;
  color_ = Value;
  Perform(CM_COLORCHANGED, 0, 0);
  Invalidate();
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* parent = dynamic_cast<TWinControl*>(Value)) SetParent(parent);
}

void TControl::SetCursor(TCursorValue Value) {
  if (Value == cursor_) return;
  cursor_ = Value;
  // Over a window the new cursor shows at once; over a graphic child, at
  // the next move.
  if (auto* win = dynamic_cast<TWinControl*>(this); win && win->HandleAllocated()) win->ShowWindowCursor(Value);
}

bool TControl::ShowHint() const { return parentShowHint_ && parent_ ? parent_->ShowHint() : showHint_; }

void TControl::SetShowHint(bool Value) {
  showHint_ = Value;
  parentShowHint_ = false;
  if (Value) ListenForHints();
}

void TControl::SetParentColor(bool Value) {
  parentColor_ = Value;
  TakeParentLooks();
}

void TControl::SetParentFont(bool Value) {
  parentFont_ = Value;
  TakeParentLooks();
}

void TControl::FontChanged(TObject*) {
  if (!takingParentFont_) parentFont_ = false;
  Perform(CM_FONTCHANGED, 0, 0);
  Invalidate();
}

void TControl::TakeParentLooks() {
  if (!parent_) return;
  if (parentColor_ && color_ != parent_->Color()) {
    color_ = parent_->Color();
    Perform(CM_COLORCHANGED, 0, 0);
  }
  if (parentFont_) {
    takingParentFont_ = true;
    font_->Assign(parent_->Font());  // tells FontChanged only when it differs
    takingParentFont_ = false;
  }
}

void TControl::CMParentColorChanged(TMessage& Message) {
  if (parentColor_) TakeParentLooks();
  DefaultHandler(Message);
}

void TControl::CMParentFontChanged(TMessage& Message) {
  if (parentFont_) TakeParentLooks();
  DefaultHandler(Message);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  Invalidate();
  UpdateBoundsFromWindow(ALeft, ATop, AWidth, AHeight);
  Invalidate();
  RequestAlign();
}

void TControl::UpdateBoundsFromWindow(int ALeft, int ATop, int AWidth, int AHeight) {
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth < 0 ? 0 : AWidth;
  height_ = AHeight < 0 ? 0 : AHeight;
}

void TControl::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Perform(CM_VISIBLECHANGED, Value, 0);
  if (parent_) parent_->AlignControl(Value ? this : nullptr);
}

void TControl::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void TControl::CMVisibleChanged(TMessage& Message) {
  if (parent_) parent_->Invalidate();
  DefaultHandler(Message);
}

void TControl::CMEnabledChanged(TMessage& Message) {
  Invalidate();
  DefaultHandler(Message);
}

void TControl::Invalidate() {
  // A control without a window is painted by its parent.
  if (parent_ && visible_) parent_->Invalidate();
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::WMMouse(TMessage& Message) {
  TShiftState shift = MouseShift(Message.WParam);
  const int x = LParamX(Message.LParam), y = LParamY(Message.LParam);
  switch (Message.Msg) {
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      MouseUp(ButtonOf(Message.Msg), shift, x, y);
      break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      shift.Include(ssDouble);
      [[fallthrough]];
    default:
      if (Message.Msg == WM_LBUTTONDOWN && dragMode_ == dmAutomatic) BeginDrag(false);
      MouseDown(ButtonOf(Message.Msg), shift, x, y);
      if (Message.Msg == WM_LBUTTONDBLCLK) DblClick();
      break;
  }
  DefaultHandler(Message);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::WMMouseMove(TMessage& Message) {
  MouseMove(MouseShift(Message.WParam), LParamX(Message.LParam), LParamY(Message.LParam));
  DefaultHandler(Message);
}

void PostMessage(TControl* Control, TMessageNumber Msg, std::uintptr_t WParam, std::intptr_t LParam) {
  if (!Control) return;
  if (!Control->postReceiver_) Control->postReceiver_ = std::make_unique<PostReceiver>(*Control);
  QCoreApplication::postEvent(Control->postReceiver_.get(), new PostedMessageEvent({Msg, WParam, LParam, 0}));
}

void PostPayloadMessage(TControl* Control, TMessageNumber Msg, std::shared_ptr<const void> Payload,
                        std::intptr_t LParam) {
  if (!Control) return;
  if (!Control->postReceiver_) Control->postReceiver_ = std::make_unique<PostReceiver>(*Control);
  const auto wParam = reinterpret_cast<std::uintptr_t>(Payload.get());
  QCoreApplication::postEvent(Control->postReceiver_.get(),
                              new PostedMessageEvent({Msg, wParam, LParam, 0}, std::move(Payload)));
}

TWinControl* GetParentForm(TControl* Control) {
  if (!Control) return nullptr;
  while (Control->Parent()) Control = Control->Parent();
  return dynamic_cast<TWinControl*>(Control);
}
