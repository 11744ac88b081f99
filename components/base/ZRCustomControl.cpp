#include "components/base/ZRCustomControl.h"

#include "components/base/Keyboard.h"
#include "platform/core/Exceptions.h"

void DescribeTZRCustomControl(TClassInfo& Info) {
  AddMessageHandler<&TZRCustomControl::WMGetDlgCode>(Info, WM_GETDLGCODE);
  AddMessageHandler<&TZRCustomControl::CNKeyDown>(Info, CN_KEYDOWN);
  AddMessageHandler<&TZRCustomControl::CNSysKeyDown>(Info, CN_SYSKEYDOWN);
}
KESTOVA_CLASS_INFO_DESCRIBED(TZRCustomControl, TCustomControl, "ZRKeys", nullptr, DescribeTZRCustomControl)

TZRCustomControl::TZRCustomControl(TComponent* AOwner) : TCustomControl(AOwner), keys_(std::make_unique<TKeyList>()) {}

void TZRCustomControl::AfterConstruction() {
  TCustomControl::AfterConstruction();
  SetKeyMapping(kDefaultKeyMapping);
}

void TZRCustomControl::SetKeyMapping(const std::string& Value) {
  if (Value == keyMapping_) return;
  keyMapping_ = Value;
  initProc_ = FindKeyboardInitProc(ClassType(), keyMapping_);
  ResetKeyboard();
}

void TZRCustomControl::ResetKeyboard() {
  keys_->Clear();
  if (initProc_)
    initProc_(this);
  else
    InitDefaultKeys();
}

void TZRCustomControl::InitDefaultKeys() { throw EAbstractError(); }

void TZRCustomControl::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  keyHandled_ = false;
  if ((Key == VK_RETURN && !wantReturns_) || (Key == VK_TAB && !wantTabs_)) {
    if (!Shift.Contains(ssCtrl)) return;  // the form's key
    Shift = {};
  }
  if (Key == 0 || ComponentState().Contains(csDesigning)) return;
  const TKeyData* binding = keys_->FindKey(Key, Shift, keyboardState_);
  if (!binding) {
    // Pressing Ctrl for the second key of Ctrl+K, Ctrl+S must not end the
    // sequence: a modifier alone leaves the state.
    if (!IsModifierKey(Key)) keyboardState_ = 0;
    return;
  }
  // The action may change the mapping and so free the binding: keep what is
  // needed of it first.
  const TKeyAction action = binding->Action;
  const int next = binding->NextState;
  if (action) action();
  Key = 0;
  keyboardState_ = next;
  keyHandled_ = true;
}

void TZRCustomControl::KeyPress(char32_t& Key) {
  TCustomControl::KeyPress(Key);
  if (ComponentState().Contains(csDesigning)) return;
  // A sequence under way drops the prefix key's character; a key a binding
  // handled does not type.
  if (keyboardState_ != 0 || keyHandled_) {
    Key = 0;
    return;
  }
  if (Key != 0 && ProcessChar(Key)) Key = 0;
}

void TZRCustomControl::KeyUp(std::uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyUp(Key, Shift);
  keyHandled_ = false;
}

void TZRCustomControl::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
  if (wantTabs_) Message.Result |= DLGC_WANTTAB;
  if (!wantReturns_) Message.Result &= ~DLGC_WANTALLKEYS;
}

bool TZRCustomControl::ConsumedAtNotify(TMessage& Message) {
  auto key = static_cast<std::uint16_t>(Message.WParam);
  KeyDown(key, GetShiftState());
  if (key != 0) return false;
  Message.Result = 1;
  return true;
}

void TZRCustomControl::CNKeyDown(TMessage& Message) {
  if (keyboardState_ != 0 && ConsumedAtNotify(Message)) return;
  InheritedMessage(TZRCustomControl::StaticClass(), Message);
}

void TZRCustomControl::CNSysKeyDown(TMessage& Message) {
  if (ConsumedAtNotify(Message)) return;
  InheritedMessage(TZRCustomControl::StaticClass(), Message);
}
