// The masked edit: typing through real key events, the keys that move and
// blank, values in and out, the clipboard and the check on leaving.

#include "platform/controls/MaskEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <string>

#include "platform/graphics/Clipboard.h"
#include "platform/ui/DialogService.h"

namespace {

constexpr const char* kPhone = "(999) 000-0000;0;_";

struct Fixture {
  ScriptedDialogService dialogs;
  ScopedDialogService scope{dialogs};
  TestClipboard clipboard;
  Clipboard* oldClipboard = SetClipboardService(&clipboard);
  TWinControl form{nullptr};
  TMaskEdit* edit = new TMaskEdit(&form);
  int changes = 0;
  explicit Fixture(const char* Mask) {
    form.SetBounds(0, 0, 300, 200);
    form.Show();
    edit->SetParent(&form);
    edit->SetEditMask(Mask);
    edit->OnChange = TNotifyEvent::Of<&Fixture::Changed>(*this);
    QApplication::setActiveWindow(form.Handle());
    edit->SetFocus();
  }
  ~Fixture() { SetClipboardService(oldClipboard); }
  void Changed(TObject*) { ++changes; }
  QLineEdit* Line() { return static_cast<QLineEdit*>(edit->Handle()); }
  void Type(const char* Keys) { QTest::keyClicks(Line(), Keys); }
  void Key(Qt::Key K, Qt::KeyboardModifiers M = Qt::NoModifier) { QTest::keyClick(Line(), K, M); }
  int Beeps() const { return dialogs.Count("beep"); }
};

TEST(TCustomMaskEdit, TenDigitsFillThePhoneMaskAndTheValueIsTheDigitsAlone) {
  Fixture f(kPhone);
  EXPECT_EQ(f.edit->EditText(), "(___) ___-____");
  EXPECT_EQ(f.edit->MaxLength(), 14);
  f.edit->SelectAll();
  f.Type("5551234567");
  EXPECT_EQ(f.edit->EditText(), "(555) 123-4567");
  EXPECT_EQ(f.edit->Text(), "5551234567");
  EXPECT_EQ(f.Beeps(), 0);
  EXPECT_TRUE(f.edit->Modified());
  EXPECT_EQ(f.changes, 10);
  // The mask is full: a further digit is refused with a beep.
  f.Type("8");
  EXPECT_EQ(f.edit->Text(), "5551234567");
  EXPECT_EQ(f.Beeps(), 1);
}

TEST(TCustomMaskEdit, TypingConvertsCaseSkipsSeparatorsAndBeepsAtRefusals) {
  struct Row {
    const char* mask;
    const char* typed;
    const char* shown;
    int beeps;
  };
  const Row rows[] = {
      {">LL", "ab", "AB", 0},
      {">LL", "1a", "A_", 1},
      // The date separator on the day moves past the separator, no beep.
      {"!99/99/00;1;_", "1/2/03", "1_/2_/03", 0},
      // ")" and "-" step over their literals.
      {kPhone, "5)12-3", "(5__) 12_-3___", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.mask);
    Fixture f(row.mask);
    f.edit->SelectAll();
    f.Type(row.typed);
    EXPECT_EQ(f.edit->EditText(), row.shown);
    EXPECT_EQ(f.Beeps(), row.beeps);
  }
}

TEST(TCustomMaskEdit, KeysMoveBetweenEditablePositionsAndBlank) {
  Fixture f(kPhone);
  f.edit->SetText("5551234567");
  f.edit->SetSelStart(0);
  f.edit->CheckCaret();
  EXPECT_EQ(f.edit->SelStart(), 0);
  EXPECT_EQ(f.edit->SelLength(), 1);  // the caret selects the character it stands on
  struct Step {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* shown;
    int selStart;
    int selLength;
  };
  const Step steps[] = {
      {Qt::Key_Right, Qt::NoModifier, "(555) 123-4567", 1, 1},
      {Qt::Key_Right, Qt::NoModifier, "(555) 123-4567", 2, 1},
      {Qt::Key_Right, Qt::NoModifier, "(555) 123-4567", 3, 1},
      {Qt::Key_Right, Qt::NoModifier, "(555) 123-4567", 6, 1},  // over ") "
      {Qt::Key_Left, Qt::NoModifier, "(555) 123-4567", 3, 1},
      {Qt::Key_Delete, Qt::NoModifier, "(55_) 123-4567", 3, 1},
      {Qt::Key_Backspace, Qt::NoModifier, "(5__) 123-4567", 2, 1},
      {Qt::Key_End, Qt::NoModifier, "(5__) 123-4567", 14, 0},
      {Qt::Key_Backspace, Qt::NoModifier, "(5__) 123-456_", 13, 1},
      {Qt::Key_Home, Qt::ShiftModifier, "(5__) 123-456_", 0, 14},
      {Qt::Key_Delete, Qt::NoModifier, "(___) ___-____", 0, 1},
      {Qt::Key_Backspace, Qt::NoModifier, "(___) ___-____", 0, 1},  // nothing before
      {Qt::Key_Up, Qt::NoModifier, "(___) ___-____", 0, 1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(QTest::toString(QKeySequence(step.key | step.modifiers)));
    f.Key(step.key, step.modifiers);
    EXPECT_EQ(f.edit->EditText(), step.shown);
    EXPECT_EQ(f.edit->SelStart(), step.selStart);
    EXPECT_EQ(f.edit->SelLength(), step.selLength);
  }
  EXPECT_EQ(f.Beeps(), 0);
}

TEST(TCustomMaskEdit, ValuesMoveBetweenMasksAndAnAllBlankTextEditsAsEmpty) {
  Fixture f("000000;0;_");
  f.edit->SetText("1234");
  EXPECT_EQ(f.edit->EditText(), "1234__");
  EXPECT_FALSE(f.edit->Modified());
  f.edit->SetEditMask("00-00-00;1;_");
  EXPECT_EQ(f.edit->EditText(), "12-34-__");
  EXPECT_EQ(f.edit->Text(), "12-34-  ");
  EXPECT_EQ(f.edit->MaxLength(), 8);
  f.edit->SetEditMask("");
  EXPECT_EQ(f.edit->EditText(), "1234");
  EXPECT_EQ(f.edit->MaxLength(), 0);
  f.edit->SetText("free");
  EXPECT_EQ(f.edit->Text(), "free");

  // A shown text set before its mask (as a stored edit is read) stays.
  f.edit->SetText("(555) 123-4567");
  f.edit->SetEditMask(kPhone);
  EXPECT_EQ(f.edit->EditText(), "(555) 123-4567");
  EXPECT_EQ(f.edit->Text(), "5551234567");
  f.edit->SetText("");
  EXPECT_EQ(f.edit->EditText(), "(___) ___-____");
  EXPECT_EQ(f.edit->EditingText(), "");
  f.edit->SetIgnoreMaskBlank(true);
  EXPECT_EQ(f.edit->EditingText(), "(___) ___-____");
}

TEST(TCustomMaskEdit, LeavingAnIncompleteModifiedTextRaisesAndMarksTheGap) {
  Fixture f(kPhone);
  f.edit->SetText("55512");
  f.edit->Perform(CM_EXIT, 0, 0);  // unmodified: no check
  f.edit->SelectAll();
  f.Type("55512");
  ASSERT_TRUE(f.edit->Modified());
  const int beeps = f.Beeps();
  try {
    f.edit->Perform(CM_EXIT, 0, 0);
    ADD_FAILURE() << "no error";
  } catch (const EDBEditError& e) {
    EXPECT_STREQ(e.what(), "Invalid input value.  Use escape key to abandon changes");
  }
  EXPECT_EQ(f.Beeps(), beeps + 1);
  EXPECT_EQ(f.edit->SelStart(), 8);  // the first required digit missing
  EXPECT_EQ(f.edit->SelLength(), 1);
  // Coming back keeps the caret on the gap instead of selecting all.
  f.edit->Perform(CM_ENTER, 0, 0);
  EXPECT_EQ(f.edit->SelStart(), 8);
  f.Type("34567");
  EXPECT_NO_THROW(f.edit->Perform(CM_EXIT, 0, 0));
  EXPECT_EQ(f.edit->Text(), "5551234567");

  f.edit->SetIgnoreMaskBlank(true);
  f.edit->SelectAll();
  f.Key(Qt::Key_Delete);
  EXPECT_NO_THROW(f.edit->ValidateEdit());
}

TEST(TCustomMaskEdit, ClipboardKeysGoThroughTheMask) {
  Fixture f(kPhone);
  f.edit->SetText("5551234567");
  // Cut blanks the selected positions only.
  f.edit->SetSelStart(6);
  f.edit->SetSelLength(3);
  f.Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(f.clipboard.HeldText(), "123");
  EXPECT_EQ(f.edit->EditText(), "(555) ___-4567");
  f.edit->SetSelStart(6);
  f.Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(f.edit->EditText(), "(555) 123-4567");
  EXPECT_EQ(f.edit->SelStart(), 10);
  f.clipboard.SetText("9x");
  f.edit->SetSelStart(1);
  f.Key(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(f.edit->EditText(), "(9_5) 123-4567");
  // A read-only edit takes nothing from the clipboard.
  f.edit->SetReadOnly(true);
  f.clipboard.SetText("000");
  f.edit->SetSelStart(1);
  f.Key(Qt::Key_V, Qt::ControlModifier);
  f.Type("7");
  EXPECT_EQ(f.edit->EditText(), "(9_5) 123-4567");
}

TEST(TCustomMaskEdit, TextFromOutsideTheKeysIsFittedToTheMask) {
  Fixture f(kPhone);
  f.edit->SetText("5551234567");
  f.changes = 0;
  f.Line()->setSelection(0, 14);
  f.Line()->insert("(12");  // as the window's own menu would
  EXPECT_EQ(f.edit->EditText(), "(12_) ___-____");
  EXPECT_TRUE(f.edit->Modified());
  EXPECT_EQ(f.changes, 1);
}

}  // namespace
