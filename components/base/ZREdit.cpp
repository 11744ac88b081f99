// The edit with buttons: construction, classes by name, window life, keys,
// focus and the commit of the text. The drop-down and its mouse hook are in
// ZREditPopup.cpp, painting in ZREditPaint.cpp.

#include "components/base/ZREdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>
#include <exception>

#include "components/base/ClassItems.h"
#include "components/base/ZRInnerEdits.h"
#include "components/base/ZRListBox.h"
#include "components/base/ZRValueEdits.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/ControlWindow.h"
#include "platform/core/AnsiStrings.h"
#include "platform/graphics/GraphicsTypeInfo.h"
#include "platform/graphics/SystemMetrics.h"
#include "platform/graphics/TextMeasurer.h"
#include "platform/ui/Application.h"
#include "platform/ui/Hooks.h"

void DescribeTCustomZREdit(TClassInfo& Info) {
  AddMessageHandler<&TCustomZREdit::WMSize>(Info, WM_SIZE);
  AddMessageHandler<&TCustomZREdit::WMSetFocus>(Info, WM_SETFOCUS);
  AddMessageHandler<&TCustomZREdit::WMKillFocus>(Info, WM_KILLFOCUS);
  AddMessageHandler<&TCustomZREdit::WMSetText>(Info, WM_SETTEXT);
  AddMessageHandler<&TCustomZREdit::WMTimer>(Info, WM_TIMER);
  AddMessageHandler<&TCustomZREdit::CMVisibleChanged>(Info, CM_VISIBLECHANGED);
  AddMessageHandler<&TCustomZREdit::CMColorChanged>(Info, CM_COLORCHANGED);
  AddMessageHandler<&TCustomZREdit::CMEnabledChanged>(Info, CM_ENABLEDCHANGED);
  AddMessageHandler<&TCustomZREdit::CMDialogChar>(Info, CM_DIALOGCHAR);
  AddMessageHandler<&TCustomZREdit::CMWantSpecialKey>(Info, CM_WANTSPECIALKEY);
  AddMessageHandler<&TCustomZREdit::CMMouseEnter>(Info, CM_MOUSEENTER);
  AddMessageHandler<&TCustomZREdit::CMMouseLeave>(Info, CM_MOUSELEAVE);
  AddMessageHandler<&TCustomZREdit::CMEnter>(Info, CM_ENTER);
  AddMessageHandler<&TCustomZREdit::CMExit>(Info, CM_EXIT);
  AddMessageHandler<&TCustomZREdit::ZRMCommitEdit>(Info, ZRM_COMMITEDIT);
  AddMessageHandler<&TCustomZREdit::WMSetCursor>(Info, WM_SETCURSOR);
  AddMessageHandler<&TCustomZREdit::CMFontChanged>(Info, CM_FONTCHANGED);
  TClassPublisher<TCustomZREdit> p(Info);
  p.Property<&TCustomZREdit::EditSourceClassName, &TCustomZREdit::SetEditSourceClassName>("EditSourceClassName",
                                                                                           TypeInfos::String());
  p.Property<&TCustomZREdit::InnerEditClassName, &TCustomZREdit::SetInnerEditClassName>("InnerEditClassName",
                                                                                         TypeInfos::String());
  p.Property<&TCustomZREdit::DropDownClassName, &TCustomZREdit::SetDropDownClassName>("DropDownClassName",
                                                                                       TypeInfos::String());
  p.Property<&TCustomZREdit::Version, &TCustomZREdit::SetVersion>("Version", TypeInfos::String());
}
KESTOVA_CLASS_INFO_DESCRIBED(TCustomZREdit, TCustomControl, "zredit", nullptr, DescribeTCustomZREdit)
KESTOVA_CLASS_INFO(TDummyPopup, TWinControl, "zredit", MakeComponent<TDummyPopup>)
KESTOVA_CLASS_INFO(TDummyEditSource, TEditSource, "zredit", MakeComponent<TDummyEditSource>)

namespace {

// The entry of Registry whose class has Name (without case), or nullptr.
TClass RegisteredClass(TPackagedCollection* Registry, const std::string& Name, TClass Found) {
  for (int i = 0; i < Registry->Count(); ++i) {
    TClass c = nullptr;
    if (auto* popup = dynamic_cast<TPopupClassInfo*>(Registry->Item(i)))
      c = popup->Class;
    else if (auto* source = dynamic_cast<TEditSourceClassInfo*>(Registry->Item(i)))
      c = source->Class;
    if (c && (c == Found || AnsiSameText(c->Name, Name))) return c;
  }
  return nullptr;
}

TObject* MakeOf(TClass Class, TComponent* Owner) {
  if (!Class || !Class->Factory) return nullptr;
  return Class->Factory(Owner);
}

}  // namespace

// ---- Construction ----

TCustomZREdit::TCustomZREdit(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 121, 21);
  SetParentColor(false);
  firstButton_ = new TEditButton(this);
  secondButton_ = new TEditButton(this);
  firstParams_ = std::make_unique<TButtonParams>(firstButton_);
  secondParams_ = std::make_unique<TButtonParams>(secondButton_);
  for (TButtonParams* params : {firstParams_.get(), secondParams_.get()})
    params->OnChanged = TNotifyEvent::Of<&TCustomZREdit::ButtonsChanged>(*this);
  firstParams_->SetKind(bkDropDown);
  secondParams_->SetKind(bkDots);
  secondButton_->SetVisible(false);
  popup_ = new TDummyPopup(this);
  popup_->SetVisible(false);
  source_ = new TDummyEditSource(this);
  if (ComponentState().Contains(csDesigning)) dropDownClassName_ = "TPopupListBox";
}

TCustomZREdit::~TCustomZREdit() {
  if (popupOpen_) DeactivatePopup(popup_);
  RemoveActivationHook(TActivationHook::Of<&TCustomZREdit::ActivationChanged>(*this));
  UnhookEdit();
}

// ---- Inner edit and pop-up ----

TWinControl* TCustomZREdit::InnerWin() const { return dynamic_cast<TWinControl*>(innerEdit_); }

bool TCustomZREdit::InnerEditPresent() const {
  return innerEdit_ && (!InnerWin() || InnerWin()->HandleAllocated());
}

bool TCustomZREdit::InnerEditWindowed() const { return InnerWin() && InnerWin()->HandleAllocated(); }

void TCustomZREdit::HookEdit() {
  TWinControl* inner = InnerWin();
  if (editSubclassed_ || !inner) return;
  savedEditProc_ = inner->WindowProc;
  inner->WindowProc = TWndMethod::Of<&TCustomZREdit::EditWndProc>(*this);
  editSubclassed_ = true;
  tabStop_ = false;
  SetUserTabStop(userTabStop_);
}

void TCustomZREdit::UnhookEdit() {
  TWinControl* inner = InnerWin();
  if (!editSubclassed_) return;
  // A later subclass keeps its place: only our own procedure goes.
  if (inner && inner->WindowProc == TWndMethod::Of<&TCustomZREdit::EditWndProc>(*this))
    inner->WindowProc = savedEditProc_;
  savedEditProc_ = nullptr;
  editSubclassed_ = false;
  tabStop_ = true;
  if (HandleAllocated()) Handle()->setFocusPolicy(Qt::StrongFocus);
}

void TCustomZREdit::SetUserTabStop(bool Value) {
  userTabStop_ = Value;
  if (TWinControl* inner = InnerWin(); inner && editSubclassed_) {
    tabStop_ = false;
    inner->Handle()->setFocusPolicy(Value ? Qt::StrongFocus : Qt::ClickFocus);
    if (HandleAllocated()) Handle()->setFocusPolicy(Qt::ClickFocus);
  } else {
    tabStop_ = true;
    if (HandleAllocated()) Handle()->setFocusPolicy(Qt::StrongFocus);
  }
}

void TCustomZREdit::FreeInnerEdit() {
  if (!innerEdit_) return;
  UnhookEdit();
  std::exchange(innerEdit_, nullptr)->Free();
}

void TCustomZREdit::AdoptInnerEdit(TControl* Control) {
  innerEdit_ = Control;
  if (!Control) return;
  Control->SetParent(this);
  Control->Show();
  Control->SetColor(Color());
  if (auto* edit = dynamic_cast<TCustomEdit*>(Control); edit && edit->HandleAllocated())
    if (auto* line = dynamic_cast<QLineEdit*>(edit->Handle())) line->setFrame(false);
  ArrangeEdit();
  HookEdit();
  UpdateReadOnly();
}

void TCustomZREdit::AdoptPopup(TWinControl* Popup) {
  popup_ = Popup;
  if (!Popup) return;
  Popup->Hide();
  Popup->SetParent(this);  // a pop-up class keeps its window on the desktop
}

TComponent* TCustomZREdit::OwnedOfClass(TClass Class, TComponent* Except) const {
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    if (c != Except && c->ClassType() == Class) return c;
  }
  return nullptr;
}

void TCustomZREdit::ApplyEditClassName() {
  FreeInnerEdit();
  TClass found = GetClass(innerEditClassName_);
  TClass cls = RegisteredClass(GetEditClassRegistry(), innerEditClassName_, found);
  if (!cls || !cls->InheritsFrom(TControl::StaticClass())) cls = TZRSimpleEdit::StaticClass();
  TComponent* taken = OwnedOfClass(cls, nullptr);
  auto* control = dynamic_cast<TControl*>(taken ? taken : dynamic_cast<TComponent*>(MakeOf(cls, this)));
  AdoptInnerEdit(control);
}

void TCustomZREdit::ApplyPopupClassName() {
  if (popupOpen_) CloseUp(false);
  if (popup_) std::exchange(popup_, nullptr)->Free();
  TClass found = GetClass(dropDownClassName_);
  TClass cls = RegisteredClass(GetPopupClassRegistry(), dropDownClassName_, found);
  if (!cls || !cls->InheritsFrom(TWinControl::StaticClass())) {
    // A class of another kind stands for no pop-up; no class at all leaves
    // the control without one.
    if (!found) return;
    cls = TDummyPopup::StaticClass();
  }
  TComponent* taken = OwnedOfClass(cls, nullptr);
  AdoptPopup(dynamic_cast<TWinControl*>(taken ? taken : dynamic_cast<TComponent*>(MakeOf(cls, this))));
}

void TCustomZREdit::ApplySourceClassName() {
  if (source_) std::exchange(source_, nullptr)->Free();
  TClass found = GetClass(editSourceClassName_);
  TClass cls = RegisteredClass(GetEditSourceClassRegistry(), editSourceClassName_, found);
  if (!cls || !cls->InheritsFrom(TEditSource::StaticClass())) cls = TDummyEditSource::StaticClass();
  TComponent* taken = OwnedOfClass(cls, nullptr);
  source_ = dynamic_cast<TEditSource*>(taken ? taken : dynamic_cast<TComponent*>(MakeOf(cls, this)));
}

namespace {
bool Reading(const TComponent& C) {
  return C.ComponentState().Contains(csLoading) || C.ComponentState().Contains(csReading);
}
}  // namespace

void TCustomZREdit::SetInnerEditClassName(const std::string& Value) {
  if (Value == innerEditClassName_) return;
  innerEditClassName_ = Value;
  if (!Reading(*this)) ApplyEditClassName();
}

void TCustomZREdit::SetDropDownClassName(const std::string& Value) {
  if (Value == dropDownClassName_) return;
  dropDownClassName_ = Value;
  if (!Reading(*this)) ApplyPopupClassName();
}

void TCustomZREdit::SetEditSourceClassName(const std::string& Value) {
  if (Value == editSourceClassName_) return;
  editSourceClassName_ = Value;
  if (!Reading(*this)) ApplySourceClassName();
}

TClass TCustomZREdit::DefaultEditClass() { return TZRSimpleEdit::StaticClass(); }
TClass TCustomZREdit::DefaultPopupClass() { return TPopupListBox::StaticClass(); }

void TCustomZREdit::SetParent(TWinControl* AParent) {
  TCustomControl::SetParent(AParent);
  if (!AParent || !DefaultClasses) return;
  TClass editClass = DefaultEditClass();
  if (!innerEdit_ || innerEdit_->ClassType() != editClass) {
    FreeInnerEdit();
    AdjustEditClass(editClass);
    if (editClass) {
      innerEdit_ = dynamic_cast<TControl*>(MakeOf(editClass, this));
      if (innerEdit_) {
        innerEdit_->SetParent(this);
        innerEdit_->SetColor(Color());
        if (TWinControl* inner = InnerWin()) {
          if (auto* line = dynamic_cast<QLineEdit*>(inner->Handle())) line->setFrame(false);
        }
        ArrangeEdit();
        HookEdit();
      }
    }
  }
  if (innerEdit_) {
    innerEdit_->SetParent(this);
    innerEdit_->SetEnabled(Enabled());
    if (TWinControl* inner = InnerWin(); inner && inner->HandleAllocated()) inner->Handle()->raise();
  }
  TClass popupClass = DefaultPopupClass();
  if (popupClass && (!popup_ || popup_->ClassType() != popupClass)) {
    if (popup_) std::exchange(popup_, nullptr)->Free();
    AdoptPopup(dynamic_cast<TWinControl*>(MakeOf(popupClass, this)));
  }
  if (popupClass) dropDownClassName_ = popupClass->Name;
}

void TCustomZREdit::GetChildren(TGetChildProc Proc, TComponent* Root) {
  if (!dropDownClassName_.empty() && popup_) Proc(popup_);
  if (!editSourceClassName_.empty() && source_) Proc(source_);
  if (!innerEditClassName_.empty() && innerEdit_) Proc(innerEdit_);
  TCustomControl::GetChildren(Proc, Root);
}

void TCustomZREdit::Loaded() {
  TCustomControl::Loaded();
  if (namesPending_) {
    ApplySourceClassName();
    ApplyEditClassName();
    ApplyPopupClassName();
    namesPending_ = false;
  }
  ArrangeButtons();
  if (Focused()) Perform(CM_MOUSEENTER, 0, 0);
}

// ---- Text ----

void TCustomZREdit::RestoreText() {
  if (!keptText_.empty()) SetEditText(keptText_);
}

void TCustomZREdit::UpdateReadOnly() {
  if (!InnerEditPresent()) return;
  const bool readOnly = GetReadOnly() || NoCaret;
  innerEdit_->Perform(EM_SETREADONLY, readOnly ? 1 : 0, 0);
  if (auto* edit = dynamic_cast<TCustomEdit*>(innerEdit_)) edit->SetReadOnly(readOnly);
}

void TCustomZREdit::GetEditText(std::string& Text) {
  Text.clear();
  if (InnerEditPresent()) innerEdit_->Perform(WM_GETTEXT, 0, reinterpret_cast<std::intptr_t>(&Text));
}

void TCustomZREdit::SetEditText(const std::string& Text) {
  if (!InnerEditPresent() || EditText() == Text) return;
  keptText_ = Text;
  innerEdit_->Perform(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(&Text));
  innerEdit_->Perform(CM_TEXTCHANGED, 0, 0);
  Change();
}

void TCustomZREdit::UpdatePopup() {
  if (!popup_) return;
  const std::string text = EditText();
  popup_->Perform(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(&text));
}

void TCustomZREdit::AcceptPopupValue() {
  if (!popup_) return;
  // The whole text, whatever its length.
  std::string answer = EditText();
  popup_->Perform(WM_GETTEXT, 0, reinterpret_cast<std::intptr_t>(&answer));
  if (answer.empty()) return;
  SetEditText(answer);
  Change();
}

bool TCustomZREdit::GetModified() {
  return InnerEditPresent() ? innerEdit_->Perform(EM_GETMODIFY, 0, 0) != 0 : ModifiedFlag;
}

void TCustomZREdit::UpdateSource() {
  if (source_) source_->SetText(EditText());
}

void TCustomZREdit::Change() {
  if (OnTextChange) OnTextChange(this);
  if (Parent()) Parent()->Perform(CM_CHANGED, 0, reinterpret_cast<std::intptr_t>(this));
}

void TCustomZREdit::ApplyText() {
  // Nothing while an exception is handled: the error box's own focus moves
  // must not commit again.
  if (std::current_exception() || applying_) return;
  applying_ = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{applying_};
  UpdateSource();
}

void TCustomZREdit::SetPopupOpen(bool Value) {
  if (Value == popupOpen_) return;
  if (Value)
    DropDown();
  else
    CloseUp(true);
}

void TCustomZREdit::SelectAllText() {
  if (InnerEditPresent()) innerEdit_->Perform(EM_SETSEL, 0, static_cast<std::intptr_t>(-1));
}

void TCustomZREdit::SetButtonCount(int Value) {
  if (Value == buttonCount_ || Value > 2 || Value < 0) return;
  buttonCount_ = Value;
  firstButton_->SetVisible(Value > 0);
  secondButton_->SetVisible(Value > 1);
  ArrangeButtons();
}

void TCustomZREdit::ButtonsChanged(TObject*) {
  const int visible = (firstButton_->Visible() ? 1 : 0) + (secondButton_->Visible() ? 1 : 0);
  if (visible != buttonCount_) {
    buttonCount_ = visible;
  }
  ArrangeButtons();
}

void TCustomZREdit::SetFrameStyle(TFormBorderStyle Value) {
  frameStyle_ = Value;
  ArrangeButtons();
  Invalidate();
}

// ---- Geometry ----

int TCustomZREdit::BorderWidth() const { return frameStyle_ == bsSingle && !FlatLook && !AlternateBorder ? 2 : 0; }

Point TCustomZREdit::ClientToScreen(Point P) {
  return TWinControl::ClientToScreen({P.x + BorderWidth(), P.y + BorderWidth()});
}

void TCustomZREdit::ArrangeButtons() {
  if (!HandleAllocated()) return;
  const int inset = EdgeBorder() ? 2 : (FlatLook || AlternateBorder) ? 1 : 0;
  const int b = BorderWidth();
  int right = ClientWidth() - inset;
  if (buttonCount_ >= 2) {
    const int w = secondButton_->Width();
    secondButton_->SetBounds(b + ClientWidth() - w - inset, b + inset, w, ClientHeight() - 2 * inset);
    right = ClientWidth() - w - inset;
  }
  if (buttonCount_ >= 1) {
    const int w = firstButton_->Width();
    firstButton_->SetBounds(b + right - w, b + inset, w, ClientHeight() - 2 * inset);
  }
  ArrangeEdit();
}

void TCustomZREdit::ArrangeEdit() {
  if (!HandleAllocated()) return;
  const int b = (FlatLook || AlternateBorder) ? 2 : 0;
  const int o = BorderWidth();
  int w = 0;
  if (buttonCount_ > 0) w += firstButton_->Width();
  if (buttonCount_ > 1) w += secondButton_->Width();
  if (InnerEditPresent()) {
    innerEdit_->SetBounds(o + b, o + b + 1, ClientWidth() - w - 2 * b, ClientHeight() - 2 * b - 1);
    Rect r{1, b + 1, ClientWidth() - 2 * b - 2, ClientHeight() - 2 * b - 2};
    innerEdit_->Perform(EM_SETRECTNP, 0, reinterpret_cast<std::intptr_t>(&r));
  }
  if (popupOpen_) CloseUp(false);
}

// ---- Window ----

void TCustomZREdit::CreateWnd() {
  CloseUp(false);
  TCustomControl::CreateWnd();
  SetUserTabStop(userTabStop_);
  RestoreText();
  ArrangeButtons();
}

void TCustomZREdit::DestroyWnd() {
  keptText_ = EditText();
  TCustomControl::DestroyWnd();
}

void TCustomZREdit::WndProc(TMessage& Message) {
  if (popupOpen_ && popup_ && (Message.Msg == WM_KEYDOWN || Message.Msg == WM_KEYUP || Message.Msg == WM_CHAR)) {
    Message.Result = popup_->Perform(Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  TCustomControl::WndProc(Message);
}

bool TCustomZREdit::Focused() const {
  if (TWinControl* inner = InnerWin(); inner && inner->HandleAllocated()) return inner->Focused();
  return TCustomControl::Focused();
}

void TCustomZREdit::SetFocus() {
  if (!Visible() || !Enabled()) return;
  if (TWinControl* inner = InnerWin(); inner && inner->HandleAllocated()) {
    inner->SetFocus();
    if (FocusShown()) inner->Invalidate();
    mouseOutside_ = false;
    UpdateFlatState();
    return;
  }
  TCustomControl::SetFocus();
}

void TCustomZREdit::Click() {
  if (InnerEditPresent()) innerEdit_->Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
}

// ---- Keys ----

namespace {

// The next (or previous) widget that takes the focus by Tab in From's
// window, outside Skip's window.
QWidget* FocusNeighbour(QWidget* From, QWidget* Skip, bool Forward) {
  QWidget* w = From;
  for (int guard = 0; guard < 1000; ++guard) {
    w = Forward ? w->nextInFocusChain() : w->previousInFocusChain();
    if (!w || w == From) return nullptr;
    if (w->isWindow() || w->window() != From->window() || Skip->isAncestorOf(w) || w == Skip) continue;
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) return w;
  }
  return nullptr;
}

}  // namespace

void TCustomZREdit::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const bool alt = Shift.Contains(ssAlt);
  switch (Key) {
    case VK_RETURN:
      if (!popupOpen_) Key = 0;
      break;
    case VK_UP:
    case VK_DOWN: {
      const bool down = Key == VK_DOWN;
      if (alt) {
        if (!down) {
          CloseUp(true);
        } else if (firstButton_->Visible()) {
          DropDown();
        } else {
          return;
        }
      } else if (HandleAllocated()) {
        QWidget* from = QApplication::focusWidget() ? QApplication::focusWidget() : Handle();
        if (QWidget* next = FocusNeighbour(from, Handle(), down)) next->setFocus(down ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      }
      Key = 0;
      break;
    }
    default:
      break;
  }
}

void TCustomZREdit::KeyPress(char32_t& Key) {
  if (Key == U'\r' || Key == U'\x1b') {
    if (OnKeyPress) OnKeyPress(this, Key);
    Key = 0;
    return;
  }
  TCustomControl::KeyPress(Key);
}

void TCustomZREdit::CMWantSpecialKey(TMessage& Message) {
  DefaultHandler(Message);
  const auto vk = static_cast<std::uint16_t>(Message.WParam);
  if (vk == VK_UP || vk == VK_DOWN || (popupOpen_ && (vk == VK_RETURN || vk == VK_ESCAPE))) Message.Result = 1;
}

void TCustomZREdit::CMDialogChar(TMessage& Message) {
  // The access key of the caption ("&x") clicks the control.
  const auto ch = static_cast<char32_t>(Message.WParam);
  const std::size_t amp = ownText_.find('&');
  if (amp != std::string::npos && amp + 1 < ownText_.size() && ownText_[amp + 1] != '&' && ch < 128 &&
      std::tolower(static_cast<unsigned char>(ownText_[amp + 1])) == std::tolower(static_cast<int>(ch)) &&
      Visible() && Enabled()) {
    SetFocus();
    Click();
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

// ---- Focus and mouse ----

void TCustomZREdit::CMEnter(TMessage& Message) {
  mouseOutside_ = false;
  if (ignoreNextEnter_) {
    ignoreNextEnter_ = false;
  } else {
    DefaultHandler(Message);
    UpdateFlatState();
    if (InnerEditWindowed()) {
      ignoreNextEnter_ = true;
      InnerWin()->SetFocus();
    }
  }
  Invalidate();
}

void TCustomZREdit::CMExit(TMessage& Message) {
  mouseOutside_ = true;
  try {
    ApplyText();
  } catch (...) {
    // The rejected text stays for correcting, with the focus.
    SelectAllText();
    SetFocus();
    throw;
  }
  UpdateFlatState();
  DefaultHandler(Message);
}

void TCustomZREdit::WMSetFocus(TMessage& Message) { DefaultHandler(Message); }

void TCustomZREdit::WMKillFocus(TMessage& Message) {
  CloseUp(false);
  ApplyText();
  UpdateFlatState();
  DefaultHandler(Message);
}

void TCustomZREdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  CloseUp(false);
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (!ComponentState().Contains(csDesigning) && Visible() && Enabled()) SetFocus();
}

void TCustomZREdit::WMSetText(TMessage& Message) {
  const auto& text = *reinterpret_cast<const std::string*>(Message.LParam);
  if (text != ownText_) {
    ownText_ = text;
    Invalidate();
  }
  Message.Result = 1;
}

void TCustomZREdit::CMVisibleChanged(TMessage& Message) {
  if (popupOpen_) CloseUp(false);
  DefaultHandler(Message);
}

void TCustomZREdit::CMColorChanged(TMessage& Message) {
  InheritedMessage(TCustomZREdit::StaticClass(), Message);
  if (innerEdit_) innerEdit_->SetColor(Color());
}

void TCustomZREdit::CMEnabledChanged(TMessage& Message) {
  DefaultHandler(Message);
  if (innerEdit_) {
    innerEdit_->SetEnabled(Enabled());
    innerEdit_->Invalidate();
  }
}

void TCustomZREdit::WMSetCursor(TMessage& Message) {
  if (!ComponentState().Contains(csDesigning)) {
    const int x = LParamX(Message.LParam);
    if (secondButton_->Visible() && x >= secondButton_->Left()) {
      ShowWindowCursor(secondParams_->Cursor());
      Message.Result = 1;
      return;
    }
    if (firstButton_->Visible() && x > firstButton_->Left()) {
      ShowWindowCursor(firstParams_->Cursor());
      Message.Result = 1;
      return;
    }
  }
  InheritedMessage(TCustomZREdit::StaticClass(), Message);
}

void TCustomZREdit::CMFontChanged(TMessage& Message) {
  InheritedMessage(TCustomZREdit::StaticClass(), Message);
  AdjustHeight();
}

void TCustomZREdit::AdjustHeight() {
  // The framed (3D) look of the window system's edits: four border pixels
  // above and four below the text.
  const int extra = GetSystemMetrics(SM_CYBORDER) * 8;
  SetHeight(extra + ScreenTextMeasurer().TextHeight(Font()->Data(), ""));
}

void TCustomZREdit::WMSize(TMessage& Message) {
  DefaultHandler(Message);
  ArrangeButtons();
}

void TCustomZREdit::ZRMCommitEdit(TMessage&) { ApplyText(); }

// ---- The inner edit's messages ----

void TCustomZREdit::EditWndProc(TMessage& Message) {
  if (ComponentState().Contains(csDestroying)) {
    savedEditProc_(Message);
    return;
  }
  try {
    const bool wasDropped = popupOpen_;
    bool openOnRelease = false;
    TWinControl* inner = InnerWin();
    const TMessageNumber msg = Message.Msg;
    const bool mouse = msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK;
    if (!ComponentState().Contains(csDesigning)) {
      const int x = mouse ? LParamX(Message.LParam) + innerEdit_->Left() - BorderWidth() : 0;
      const int y = mouse ? LParamY(Message.LParam) + innerEdit_->Top() - BorderWidth() : 0;
      const TShiftState shift = CurrentShiftState();
      switch (msg) {
        case WM_LBUTTONDOWN:
          focusLeft_ = false;
          MouseDown(mbLeft, shift, x, y);
          if (!Focused() || focusLeft_) return;
          break;
        case WM_LBUTTONUP:
          openOnRelease = OpenOnClick && !wasDropped && clickedInEdit_;
          break;
        case WM_LBUTTONDBLCLK: {
          TShiftState s = shift;
          if (!wasDropped) s.Include(ssDouble);
          MouseDown(mbLeft, s, x, y);
          return;
        }
        case WM_RBUTTONUP: {
          TMessage own = Message;
          WindowProc(own);
          if (own.Result == 1) return;
          break;
        }
        case CN_KEYDOWN:
          if (popupOpen_) {
            Message.Result = 0;
            return;
          }
          if (Message.WParam == VK_RETURN) {
            try {
              ApplyText();
            } catch (...) {
              Message.Result = 0;
              throw;
            }
          }
          break;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
          if (popupOpen_ && popup_) {
            Message.Result = popup_->Perform(msg, Message.WParam, Message.LParam);
            if (msg == WM_SYSKEYDOWN && Message.WParam == VK_UP) {
              std::uint16_t key = VK_UP;
              KeyDown(key, KeyDataToShiftState(Message.LParam));
            }
            return;
          }
          if (inner && inner->Perform(CB_GETDROPPEDSTATE, 0, 0) != 0) break;
          if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
            auto key = static_cast<std::uint16_t>(Message.WParam);
            if (DoKeyDown(key, KeyDataToShiftState(Message.LParam))) return;
            Message.WParam = key;
          } else if (msg == WM_CHAR) {
            auto ch = static_cast<char32_t>(Message.WParam);
            if (DoKeyPress(ch)) return;
            Message.WParam = ch;
          }
          break;
        default:
          break;
      }
    }
    if (!popupOpen_) {
      if (msg == CM_ENTER) Perform(CM_ENTER, 0, 0);
      if (msg == WM_KILLFOCUS) {
        focusLeft_ = true;
        // Focus moves inside the form commit through CM_EXIT; this is for
        // the focus leaving the form.
        TWinControl* form = GetParentForm(this);
        QWidget* now = QApplication::focusWidget();
        if (form && form->HandleAllocated() && form->Handle()->isVisible() &&
            (!now || (now != form->Handle() && !form->Handle()->isAncestorOf(now))))
          ApplyText();
      }
    }
    const bool keyMsg = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_KEYUP || msg == WM_CHAR;
    const bool mayChange = msg == WM_CHAR || (keyMsg && KeyDataToShiftState(Message.LParam).Contains(ssAlt)) ||
                           ((msg == WM_KEYDOWN) && Message.WParam == VK_DELETE);
    std::string textBefore;
    if (mayChange) textBefore = EditText();
    if (msg == CN_KEYDOWN) {
      const std::intptr_t code = Perform(WM_GETDLGCODE, 0, 0);
      const auto vk = static_cast<std::uint16_t>(Message.WParam);
      std::intptr_t needed = 0;
      if (vk == VK_TAB) needed = DLGC_WANTTAB;
      if (vk >= VK_LEFT && vk <= VK_DOWN) needed = DLGC_WANTARROWS;
      if (vk == VK_CANCEL || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_EXECUTE) needed = DLGC_WANTALLKEYS;
      if (needed && (code & needed)) return;
    }
    if (mayChange && source_) source_->BeforeChange();
    {
      // The form previewed the key when the control had it above: not again
      // when the inner edit's own procedure runs.
      TForm* form = msg == WM_KEYDOWN || msg == WM_CHAR || msg == WM_SYSKEYDOWN
                        ? dynamic_cast<TForm*>(GetParentForm(this))
                        : nullptr;
      const bool preview = form && form->KeyPreview();
      if (preview) form->SetKeyPreview(false);
      struct Restore {
        TForm* form;
        bool preview;
        ~Restore() {
          if (preview) form->SetKeyPreview(true);
        }
      } restore{form, preview};
      savedEditProc_(Message);
    }
    if (msg == WM_GETDLGCODE) Message.Result |= Perform(WM_GETDLGCODE, 0, 0);
    // The press is still held after WM_LBUTTONDOWN; the release ends the click.
    if ((msg == WM_LBUTTONDOWN && !wasDropped) || msg == WM_LBUTTONUP) clickedInEdit_ = msg == WM_LBUTTONDOWN;
    if (msg == CN_KEYDOWN && Message.Result == 1 && Perform(CM_WANTSPECIALKEY, Message.WParam, Message.LParam) == 1)
      Message.Result = 0;
    if (!popupOpen_) {
      if (openOnRelease) DropDown();
      if (mayChange && EditText() != textBefore) Change();
      if (msg == WM_KILLFOCUS && FocusShown()) Invalidate();
    }
  } catch (...) {
    TheApplication().HandleException();
  }
}

// ---- Registration ----

namespace {
// The entry of this value type, qualifier and class in Registry, or none.
bool Registered(TPackagedCollection* Registry, const TTypeInfo* ValueType, const std::string& Qualifier,
                TClass Class) {
  for (int i = 0; i < Registry->Count(); ++i)
    if (auto* info = dynamic_cast<TPopupClassInfo*>(Registry->Item(i));
        info && info->ValueType == ValueType && info->Qualifier == Qualifier && info->Class == Class)
      return true;
  return false;
}

enum class TRow { Popup, Edit, DefaultEdit };

void RegisterRow(TRow Row, const TTypeInfo* ValueType, const std::string& Qualifier, TClass Class) {
  if (Row == TRow::Popup) {
    if (!Registered(GetPopupClassRegistry(), ValueType, Qualifier, Class))
      RegisterPopupClass(ValueType, 0, Qualifier, Class);
    return;
  }
  if (Registered(GetEditClassRegistry(), ValueType, Qualifier, Class)) return;
  if (Row == TRow::DefaultEdit)
    RegisterEditClassEx(ValueType, 0, Qualifier, Class);
  else
    RegisterEditClass(ValueType, 0, Qualifier, Class);
}
}  // namespace

void RegisterZREditClasses() {
  // Row by row: a second call (a page or test that registers itself) adds
  // nothing.
  RegisterRow(TRow::Popup, TypeInfos::String(), "", TPopupListBox::StaticClass());
  RegisterRow(TRow::DefaultEdit, TypeInfos::String(), "", TZRSimpleEdit::StaticClass());
  RegisterRow(TRow::DefaultEdit, TypeInfos::String(), " ", TZRMaskEdit::StaticClass());
  RegisterRow(TRow::Popup, TypeInfos::TColor(), "", TPopupColorBox::StaticClass());
  RegisterRow(TRow::Edit, TypeInfos::TColor(), "", TColorEdit::StaticClass());
  RegisterRow(TRow::Edit, TypeInfos::TPenStyle(), "", TPenStyleEdit::StaticClass());
  RegisterRow(TRow::Popup, TypeInfos::TPenStyle(), "", TPopupPenBox::StaticClass());
  RegisterRow(TRow::Edit, TypeInfos::TBrushStyle(), "", TBrushStyleEdit::StaticClass());
  RegisterRow(TRow::Popup, TypeInfos::TBrushStyle(), "", TPopupBrushBox::StaticClass());
  RegisterRow(TRow::Edit, TypeInfos::Boolean(), "", TCheckEdit::StaticClass());
  // Boolean values have no pop-up.
  RegisterRow(TRow::Popup, TypeInfos::Boolean(), "", nullptr);
  RegisterClassOnce(TZRSimpleEdit::StaticClass());
  RegisterClassOnce(TDummyEditSource::StaticClass());
  RegisterClassOnce(TDummyPopup::StaticClass());
}
