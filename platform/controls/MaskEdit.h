#pragma once
// TCustomMaskEdit: a one-line edit with an edit mask (the language of
// MaskText.h). Without a mask it is a plain TCustomEdit.
//
// With a mask the window shows the masked text: literals in place and the
// blank character where nothing was typed, exactly MaskPositions
// characters. Typing overwrites: the caret always selects the one
// character it stands on, a typed character must suit the pattern there
// (refusals beep through the dialog service and change nothing), and the
// caret skips literals. Left and Right move between editable positions,
// Home and End to the ends, Delete and Backspace blank, Ctrl+A selects all;
// paste (Ctrl+V, Shift+Insert) writes the clipboard text into the editable
// positions, cut (Ctrl+X, Shift+Delete, WM_CUT) copies the selection and
// blanks it, and WM_CLEAR blanks it: only the selected positions lose their
// characters. A read-only edit takes no change.
//
// Leaving the edit (CM_EXIT) validates it: a modified text with a required
// position missing takes the focus back, puts the caret on that position,
// beeps and raises EDBEditError with the class library's resource string
// (ControlString::MaskEditError).
//
// Text is the value of the masked text (MaskValueText); SetText formats a
// value into the mask (MaskedTextOf). EditText is the shown text itself.

#include <string>

#include "platform/controls/EditCtrls.h"
#include "platform/controls/MaskText.h"
#include "platform/core/Exceptions.h"

// Raised by a masked edit that is left incomplete.
class EDBEditError : public Exception {
 public:
  using Exception::Exception;
};

// The text of EDBEditError (the resource string, or its English original
// when the table lacks it).
std::string MaskEditErrorText();

class TCustomMaskEdit : public TCustomEdit {
  KESTOVA_CLASS(TCustomMaskEdit)
 public:
  explicit TCustomMaskEdit(TComponent* AOwner);

  const std::string& EditMask() const { return editMask_; }
  // Keeps the value: it is formatted into the new mask, unless the shown
  // text already has the new mask's length and literals (then it stays).
  // MaxLength becomes MaskPositions (0 without a mask).
  void SetEditMask(const std::string& Value);
  bool IsMasked() const { return !mask_.Empty(); }
  const TEditMask& Mask() const { return mask_; }
  int MaskPositions() const { return mask_.Count(); }
  // Blanks count as filled for the required positions, and the editing text
  // is the shown text even when it is all blank.
  bool IgnoreMaskBlank() const { return ignoreMaskBlank_; }
  void SetIgnoreMaskBlank(bool Value) { ignoreMaskBlank_ = Value; }

  // The value (see the header); hides TCustomEdit::Text.
  std::string Text() const;
  void SetText(const std::string& Value);
  // The shown text with literals and blanks.
  std::string EditText() const { return TCustomEdit::Text(); }
  void SetEditText(const std::string& Value);
  // "" for an all-blank masked text (unless IgnoreMaskBlank), else Text.
  std::string EditingText() const;
  // The shown text with every editable position blank.
  std::string BlankedText() const { return BlankMaskText(mask_); }

  // Changed by the user since the text was last set (false without window).
  bool Modified() const;
  void SetModified(bool Value);
  // The validation of CM_EXIT (see the header); nothing unmasked, unmodified
  // or complete.
  virtual void ValidateEdit();
  // Selects the character at the caret when nothing is selected.
  void CheckCaret();

  void WndProc(TMessage& Message) override;

 protected:
  void CreateWnd() override;
  void Change() override;
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
  void KeyUp(std::uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;

 private:
  friend void DescribeTCustomMaskEdit(TClassInfo& Info);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  // The caret on Index: the character there selected, the cursor before it.
  void PlaceCaret(int Index);
  // Start to Stop selected; with CaretAtStart the cursor stands at Start.
  void SelectRange(int Start, int Stop, bool CaretAtStart);
  // Shows Text as a change by the user and puts the caret on Caret.
  void ShowTyped(const std::u32string& Text, int Caret);
  std::u32string Shown() const;
  void BlankSelection(bool Backspace);
  void Paste();
  void Cut();
  bool CanModify() const { return !ReadOnly(); }

  std::string editMask_;
  TEditMask mask_;
  bool ignoreMaskBlank_ = false;
  bool reentering_ = false;
  bool applying_ = false;
};

class TMaskEdit : public TCustomMaskEdit {
  KESTOVA_CLASS(TMaskEdit)
 public:
  using TCustomMaskEdit::TCustomMaskEdit;
};
