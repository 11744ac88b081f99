#include "platform/controls/MaskEdit.h"

#include <QLineEdit>
#include <algorithm>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/ControlStrings.h"
#include "platform/core/Codecs.h"
#include "platform/core/FormatSettings.h"
#include "platform/graphics/Clipboard.h"
#include "platform/ui/DialogService.h"

void DescribeTCustomMaskEdit(TClassInfo& Info) {
  TClassPublisher<TCustomMaskEdit> p(Info);
  p.Property<&TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask>("EditMask", TypeInfos::String());
  AddMessageHandler<&TCustomMaskEdit::CMEnter>(Info, CM_ENTER);
  AddMessageHandler<&TCustomMaskEdit::CMExit>(Info, CM_EXIT);
}
KESTOVA_CLASS_INFO_DESCRIBED(TCustomMaskEdit, TCustomEdit, "Mask", nullptr, DescribeTCustomMaskEdit)
KESTOVA_CLASS_INFO(TMaskEdit, TCustomMaskEdit, "Mask", MakeComponent<TMaskEdit>)

std::string MaskEditErrorText() {
  std::string text = LoadControlString(ControlString::MaskEditError);
  return text.empty() ? "Invalid input value.  Use escape key to abandon changes" : text;
}

namespace {

QLineEdit* Line(const TCustomMaskEdit& Edit) {
  return static_cast<QLineEdit*>(const_cast<TCustomMaskEdit&>(Edit).Handle());
}

// The window's UTF-16 offset of character (code point) Index.
int Utf16Offset(const QString& Text, int Index) {
  int at = 0;
  for (int n = 0; n < Index && at < Text.size(); ++n) at += Text.at(at).isHighSurrogate() ? 2 : 1;
  return at;
}

// Text as long as the mask with every literal in its place.
bool FitsMask(const TEditMask& Mask, const std::string& Text) {
  const std::u32string text = Utf8ToUtf32(Text);
  if (static_cast<int>(text.size()) != Mask.Count()) return false;
  for (int i = 0; i < Mask.Count(); ++i)
    if (Mask.IsLiteral(i) && text[static_cast<std::size_t>(i)] != Mask.Positions[static_cast<std::size_t>(i)].Literal)
      return false;
  return true;
}

struct Flag {
  explicit Flag(bool& Value) : value(Value) { value = true; }
  ~Flag() { value = false; }
  bool& value;
};

}  // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TCustomMaskEdit::SetEditMask(const std::string& Value) {
  if (Value == editMask_) return;
  // The value without literals moves into the new mask.
  TEditMask bare = mask_;
  bare.KeepLiterals = false;
  const std::string kept = MaskValueText(bare, EditText());
  const int selStart = SelStart();
  editMask_ = Value;
  mask_ = ParseEditMask(Value, FormatSettings().DateSeparator, FormatSettings().TimeSeparator);
  {
    Flag applying(applying_);
    SetMaxLength(0);
    // A text that already has the new mask's shape stays as it is: a stored
    // edit sets its shown text before its mask.
    const std::string shown = !IsMasked()                   ? kept
                              : FitsMask(mask_, EditText()) ? EditText()
                                                            : FormatMaskText(mask_, kept);
    if (shown != EditText()) TCustomEdit::SetText(shown);
    if (IsMasked()) SetMaxLength(MaskPositions());
  }
  if (IsMasked() && Focused()) PlaceCaret(selStart);
}

std::string TCustomMaskEdit::Text() const { return IsMasked() ? MaskValueText(mask_, EditText()) : EditText(); }

void TCustomMaskEdit::SetText(const std::string& Value) {
  if (!IsMasked()) {
    TCustomEdit::SetText(Value);
    return;
  }
  const std::string shown = MaskedTextOf(mask_, Value);
  if (shown == EditText()) return;
  Flag applying(applying_);
  TCustomEdit::SetText(shown);
}

void TCustomMaskEdit::SetEditText(const std::string& Value) {
  Flag applying(applying_);
  TCustomEdit::SetText(Value);
}

std::string TCustomMaskEdit::EditingText() const {
  if (ignoreMaskBlank_) return EditText();
  if (IsMasked() && EditText() == BlankedText()) return {};
  return Text();
}

bool TCustomMaskEdit::Modified() const { return HandleAllocated() && Line(*this)->isModified(); }

void TCustomMaskEdit::SetModified(bool Value) {
  if (HandleAllocated()) Line(*this)->setModified(Value);
}

void TCustomMaskEdit::ValidateEdit() {
  if (!IsMasked() || !Modified()) return;
  const int missing = FirstMissingPosition(mask_, EditText(), ignoreMaskBlank_);
  if (missing < 0) return;
  // The user is sent back to the gap; the edit's own entry handling must
  // not select everything again when the focus returns.
  reentering_ = true;
  if (HandleAllocated() && Showing() && Enabled()) SetFocus();
  PlaceCaret(missing);
  Dialogs().Beep();
  throw EDBEditError(MaskEditErrorText());
}

std::u32string TCustomMaskEdit::Shown() const { return Utf8ToUtf32(EditText()); }

void TCustomMaskEdit::PlaceCaret(int Index) {
  if (!HandleAllocated()) return;
  QLineEdit* line = Line(*this);
  const QString text = line->text();
  const int count = static_cast<int>(text.toStdU32String().size());
  const int at = std::clamp(Index, 0, std::min(count, std::max(MaskPositions(), 0)));
  const int from = Utf16Offset(text, at);
  if (at < count) {
    const int to = Utf16Offset(text, at + 1);
    line->setSelection(to, from - to);  // backwards: the cursor before the character
  } else {
    line->setCursorPosition(from);
  }
}

void TCustomMaskEdit::SelectRange(int Start, int Stop, bool CaretAtStart) {
  if (!HandleAllocated()) return;
  QLineEdit* line = Line(*this);
  const QString text = line->text();
  const int a = Utf16Offset(text, std::max(Start, 0)), b = Utf16Offset(text, std::max(Stop, 0));
  if (CaretAtStart)
    line->setSelection(b, a - b);
  else
    line->setSelection(a, b - a);
}

void TCustomMaskEdit::CheckCaret() {
  if (!IsMasked() || !HandleAllocated() || SelLength() > 0) return;
  PlaceCaret(SelStart());
}

void TCustomMaskEdit::ShowTyped(const std::u32string& Text, int Caret) {
  const std::string text = Utf32ToUtf8(Text);
  if (text != EditText()) {
    {
      Flag applying(applying_);
      TCustomEdit::SetText(text);
    }
    SetModified(true);
  }
  PlaceCaret(Caret);
}

void TCustomMaskEdit::BlankSelection(bool Backspace) {
  const int start = SelStart(), length = SelLength();
  if (length > 1) {
    ShowTyped(BlankMaskRange(mask_, Shown(), start, start + length), start);
    return;
  }
  const int at = Backspace ? mask_.PrevEditable(start) : start;
  if (at < 0) return;
  ShowTyped(BlankMaskRange(mask_, Shown(), at, at + 1), at);
}

void TCustomMaskEdit::Paste() {
  if (!CanModify()) return;
  const int start = SelStart(), length = SelLength();
  std::u32string text = Shown();
  if (length > 1) text = BlankMaskRange(mask_, text, start, start + length);
  const TMaskTyping pasted = PasteMaskText(mask_, text, start, Utf8ToUtf32(ClipboardService().AsText()));
  ShowTyped(pasted.Text, pasted.Caret);
}

void TCustomMaskEdit::Cut() {
  const int start = SelStart(), length = SelLength();
  if (length == 0) return;
  ClipboardService().SetText(SelText());
  // Only the selected positions lose their characters: the rest of a
  // half-cut value stays.
  if (CanModify()) ShowTyped(BlankMaskRange(mask_, Shown(), start, start + length), start);
}

void TCustomMaskEdit::CreateWnd() {
  TCustomEdit::CreateWnd();
  if (IsMasked()) SetMaxLength(MaskPositions());
}

void TCustomMaskEdit::Change() {
  // Text that reached the window some other way (the window's own menu, a
  // drop) is fitted to the mask again.
  if (IsMasked() && !applying_ && HandleAllocated() &&
      static_cast<int>(Utf8CodePointCount(EditText())) != MaskPositions()) {
    const std::string fitted = PadMaskLiterals(mask_, EditText());
    {
      Flag applying(applying_);
      TCustomEdit::SetText(fitted);
    }
    SetModified(true);
    return;
  }
  TCustomEdit::Change();
}

void TCustomMaskEdit::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  if (!IsMasked() || Key == 0) return;
  const bool shift = Shift.Contains(ssShift), ctrl = Shift.Contains(ssCtrl), alt = Shift.Contains(ssAlt);
  if ((Key == 'V' && ctrl && !alt) || (Key == VK_INSERT && shift && !ctrl)) {
    Paste();
    Key = 0;
    return;
  }
  if ((Key == 'X' && ctrl && !alt) || (Key == VK_DELETE && shift && !ctrl)) {
    Cut();
    Key = 0;
    return;
  }
  if (alt) return;
  switch (Key) {
    case VK_LEFT:
    case VK_RIGHT: {
      if (shift || ctrl) return;  // the window widens the selection; KeyUp checks the caret
      const int start = SelStart();
      const int at = Key == VK_LEFT ? mask_.PrevEditable(start) : mask_.NextEditable(start + 1);
      PlaceCaret(at < 0 ? start : at);
      Key = 0;
      break;
    }
    case VK_UP:
    case VK_DOWN:
      Key = 0;
      break;
    case VK_HOME:
      if (shift)
        SelectRange(0, SelStart() + SelLength(), true);
      else
        PlaceCaret(0);
      Key = 0;
      break;
    case VK_END:
      if (shift)
        SelectRange(SelStart(), MaskPositions(), false);
      else
        PlaceCaret(MaskPositions());
      Key = 0;
      break;
    case VK_DELETE:
      if (shift || ctrl) break;
      if (CanModify()) BlankSelection(false);
      Key = 0;
      break;
    case VK_BACK:
      if (CanModify()) BlankSelection(true);
      Key = 0;
      break;
    case 'A':
      if (ctrl && !shift) {
        SelectAll();
        Key = 0;
      }
      break;
    default:
      break;
  }
}

void TCustomMaskEdit::KeyUp(std::uint16_t& Key, TShiftState Shift) {
  TCustomEdit::KeyUp(Key, Shift);
  if (IsMasked() && (Key == VK_LEFT || Key == VK_RIGHT) && Shift.Contains(ssCtrl)) CheckCaret();
}

void TCustomMaskEdit::KeyPress(char32_t& Key) {
  TCustomEdit::KeyPress(Key);
  if (!IsMasked() || Key == 0) return;
  // Clipboard keys, Escape, Enter and Tab belong to others; Backspace was
  // handled as a key.
  if (Key == 3 || Key == 22 || Key == 24 || Key == 27 || Key == '\r' || Key == '\n' || Key == '\t') return;
  const char32_t typed = Key;
  Key = 0;
  if (typed < 0x20 || !CanModify()) return;
  std::u32string text = Shown();
  int caret = SelStart();
  if (const int length = SelLength(); length > 1) {
    text = BlankMaskRange(mask_, text, caret, caret + length);
    caret = mask_.NextEditable(caret);
  }
  const TMaskTyping result = TypeMaskChar(mask_, text, caret, typed);
  if (result.Refused) {
    Dialogs().Beep();
    return;
  }
  ShowTyped(result.Text, result.Caret);
}

void TCustomMaskEdit::WndProc(TMessage& Message) {
  if (IsMasked()) {
    switch (Message.Msg) {
      case WM_PASTE:
        Paste();
        return;
      case WM_CUT:
        Cut();
        return;
      case WM_CLEAR:
        if (CanModify() && SelLength() > 0) BlankSelection(false);
        return;
      default:
        break;
    }
  }
  TCustomEdit::WndProc(Message);
  if (Message.Msg == WM_LBUTTONUP || Message.Msg == WM_SETFOCUS) CheckCaret();
}

void TCustomMaskEdit::CMEnter(TMessage& Message) {
  if (!IsMasked() || ComponentState().Contains(csDesigning)) {
    DefaultHandler(Message);
    return;
  }
  if (!reentering_) DefaultHandler(Message);
  reentering_ = false;
  CheckCaret();
}

void TCustomMaskEdit::CMExit(TMessage& Message) {
  if (IsMasked() && !ComponentState().Contains(csDesigning)) {
    ValidateEdit();
    CheckCaret();
  }
  DefaultHandler(Message);
}
