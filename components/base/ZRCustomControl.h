#pragma once
// TZRCustomControl: the base of the family's key-driven controls. Its keys
// are bindings in a key list (KeyList.h), filled by a named keyboard
// mapping: the init procedure registered for the control's class (or an
// ancestor) under the mapping name (RegisterKeyboardMapping, names compared
// without case), or else the control's own InitDefaultKeys. Characters that
// no binding consumed go to ProcessChar.
//
// Made through Construct or a class factory, the control takes the mapping
// "Default" once its most-derived constructor has run (AfterConstruction),
// so the descendants' InitDefaultKeys fills the list. A class with neither a
// mapping of the current name nor its own InitDefaultKeys raises
// EAbstractError when its keys are reset, so Construct fails and frees it.
//
// Keys (the order of the phases is in platform/controls/Controls.h):
// - While a sequence is under way (keyboard state not 0) the control
//   handles the key already at CN_KEYDOWN; a key a binding consumed there has
//   no key-down and no character phase.
// - Key-down: Enter without WantReturns and Tab without WantTabs are left to
//   the form, unless Ctrl is held: then they are looked up as the plain key.
//   A binding found runs its action, consumes the key and sets the keyboard
//   state to its next state; no binding sets the state to 0, except for a
//   modifier key alone (Shift, Ctrl, Alt), so that the second key of a
//   sequence may have modifiers of its own.
// - Characters reach ProcessChar only in state 0, and not for a key that a
//   binding handled (its character would otherwise be typed too).
// - The dialog code claims arrows, Enter and Esc, and characters (0x85), Tab
//   too with WantTabs (0x87), and not Enter and Esc without WantReturns.

#include <memory>
#include <string>

#include "components/base/KeyList.h"
#include "components/base/Registrations.h"
#include "platform/controls/CustomControl.h"

// The mapping a control starts with.
inline constexpr const char* kDefaultKeyMapping = "Default";

class TZRCustomControl : public TCustomControl {
  KESTOVA_CLASS(TZRCustomControl)
 public:
  explicit TZRCustomControl(TComponent* AOwner);

  // Sets KeyMapping to kDefaultKeyMapping.
  void AfterConstruction() override;

  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool Value) { wantTabs_ = Value; }
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool Value) { wantReturns_ = Value; }
  // Kept for the family's streams; characters pass unchanged, as the
  // program has no OEM code page to convert them to.
  bool OemConvert() const { return oemConvert_; }
  void SetOemConvert(bool Value) { oemConvert_ = Value; }

  const std::string& KeyMapping() const { return keyMapping_; }
  // A different name (compared with case) is stored, its init procedure
  // looked up, and the keys reset; the same name changes nothing.
  void SetKeyMapping(const std::string& Value);
  // Clears the key list and fills it: the mapping's init procedure, else
  // InitDefaultKeys.
  virtual void ResetKeyboard();

  TKeyList* Keys() const { return keys_.get(); }
  int KeyboardState() const { return keyboardState_; }
  void SetKeyboardState(int Value) { keyboardState_ = Value; }
  bool KeyHandled() const { return keyHandled_; }

 protected:
  // Fills the key list when no mapping does; the base raises EAbstractError.
  virtual void InitDefaultKeys();
  // True when the character was used; the base uses none.
  virtual bool ProcessChar(char32_t Ch) { return false; }

  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void KeyUp(std::uint16_t& Key, TShiftState Shift) override;

 private:
  friend void DescribeTZRCustomControl(TClassInfo& Info);
  void WMGetDlgCode(TMessage& Message);
  void CNKeyDown(TMessage& Message);
  void CNSysKeyDown(TMessage& Message);
  // Runs the key-down handling for a key notification; true (and Result 1)
  // when a binding consumed the key.
  bool ConsumedAtNotify(TMessage& Message);

  bool wantTabs_ = false;
  bool wantReturns_ = true;
  TKeyboardInitProc initProc_ = nullptr;
  std::string keyMapping_;
  std::unique_ptr<TKeyList> keys_;
  int keyboardState_ = 0;
  bool oemConvert_ = false;
  bool keyHandled_ = false;
};
