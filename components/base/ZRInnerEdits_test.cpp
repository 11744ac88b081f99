// The mask and check inner edits inside an edit with buttons: the text
// table of the check edit, toggles by key and mouse, the read-only owner,
// the modified answer, painting into a canvas, and the mask edit's entry.

#include "components/base/ZRInnerEdits.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <string>

#include "components/base/CanvasUtils.h"
#include "components/base/ZREdit.h"
#include "components/base/ZREditTestText_p.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/ui/DialogService.h"

namespace {

struct Fixture {
  ScriptedDialogService dialogs;
  ScopedDialogService scope{dialogs};
  TWinControl form{nullptr};
  TCustomZREdit* edit = nullptr;
  int clicks = 0;
  explicit Fixture(const char* InnerClass) {
    RegisterZREditClasses();
    RegisterMaskAndCheckEditClasses();
    form.SetBounds(100, 100, 400, 300);
    form.Show();
    edit = new TCustomZREdit(&form);
    edit->SetBounds(20, 20, 200, 21);
    edit->SetParent(&form);
    edit->SetInnerEditClassName(InnerClass);
    QApplication::setActiveWindow(form.Handle());
  }
  void Clicked(TObject*) { ++clicks; }
  TCheckEdit* Check() const { return dynamic_cast<TCheckEdit*>(edit->InnerEdit()); }
  TZRMaskEdit* Mask() const { return dynamic_cast<TZRMaskEdit*>(edit->InnerEdit()); }
  std::string Committed() const {
    std::string text;
    edit->ValueSource()->GetText(text);
    return text;
  }
};

TEST(TCheckEdit, TextTableWithAndWithoutInverted) {
  struct Row {
    const char* text;
    bool inverted;
    bool checked;
    const char* value;
  };
  const Row rows[] = {
      {"yes", false, true, "True"},
      {"TRUE", false, true, "True"},
      {"t", false, true, "True"},
      {"no", false, false, "False"},
      {"0", false, false, "False"},
      {"", false, false, "False"},
      {"yes", true, false, "True"},
      {"TRUE", true, false, "True"},
      {"t", true, false, "True"},
      {"no", true, true, "False"},
      {"0", true, true, "False"},
      {"", true, true, "False"},
      // Only the first character's letter counts, in either case.
      {"Yoghurt", false, true, "True"},
      {"false", false, false, "False"},
      {"\xC3\x94", false, false, "False"},
  };
  for (const Row& row : rows) {
    for (const bool before : {false, true}) {
      SCOPED_TRACE(std::string(row.text) + (row.inverted ? " inverted" : "") + (before ? " from checked" : ""));
      TCheckEdit check(nullptr);
      check.Inverted = row.inverted;
      check.IsChecked = before;
      check.ChangedByUser = true;
      SetTextOf(check, row.text);
      EXPECT_EQ(check.IsChecked, row.checked);
      EXPECT_EQ(TextOf(check), row.value);
      EXPECT_EQ(check.Perform(WM_GETTEXTLENGTH, 0, 0), static_cast<std::intptr_t>(std::string(row.value).size()));
      EXPECT_FALSE(check.ChangedByUser);
    }
  }
}

TEST(TCheckEdit, SpaceTogglesAndCommitsUnlessTheOwnerIsReadOnly) {
  Fixture f("TCheckEdit");
  TCheckEdit* check = f.Check();
  ASSERT_NE(check, nullptr);
  f.edit->SetEditText("False");
  f.edit->ReadOnlyFlag = true;
  QTest::keyClick(check->Handle(), Qt::Key_Space);
  EXPECT_FALSE(check->IsChecked);
  EXPECT_FALSE(f.edit->GetModified());
  EXPECT_EQ(f.Committed(), "");

  f.edit->ReadOnlyFlag = false;
  QTest::keyClick(check->Handle(), Qt::Key_Space);
  EXPECT_TRUE(check->IsChecked);
  EXPECT_EQ(f.edit->EditText(), "True");
  EXPECT_EQ(f.Committed(), "True");  // at once, without leaving the edit
  // The modified answer: set by the toggle, cleared by a value set as text.
  EXPECT_TRUE(f.edit->GetModified());
  f.edit->SetEditText("no");
  EXPECT_FALSE(check->IsChecked);
  EXPECT_FALSE(f.edit->GetModified());
}

TEST(TCheckEdit, OnlyAClickOnTheBoxTogglesUnlessWholeAreaClicks) {
  Fixture f("TCheckEdit");
  TCheckEdit* check = f.Check();
  ASSERT_NE(check, nullptr);
  check->OnClick = TNotifyEvent::Of<&Fixture::Clicked>(f);
  const int side = check->Height() + 2;
  struct Row {
    int x;
    bool wholeArea;
    bool toggles;
  };
  const Row rows[] = {
      {2, false, true},          {side - 1, false, true}, {side, false, false},
      {side + 40, false, false}, {side + 40, true, true},
  };
  int clicks = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.x);
    check->WholeAreaClicks = row.wholeArea;
    const bool before = check->IsChecked;
    QTest::mouseClick(check->Handle(), Qt::LeftButton, {}, QPoint(row.x, check->Height() / 2));
    EXPECT_EQ(check->IsChecked != before, row.toggles);
    EXPECT_EQ(f.clicks, ++clicks);
    EXPECT_TRUE(check->Focused());
  }
}

TEST(TCheckEdit, PaintsIntoACanvasAtThePointGiven) {
  TWinControl form(nullptr);
  auto* check = new TCheckEdit(&form);
  check->SetBounds(0, 0, 60, 21);
  check->SetParent(&form);
  const int side = GetCheckBoxHeight();
  auto paint = [&](bool Checked) {
    check->IsChecked = Checked;
    TBitmap target(100, 40);
    target.Canvas().Brush()->SetColor(clRed);
    target.Canvas().FillRect({0, 0, 100, 40});
    target.Canvas().Brush()->SetColor(clWindow);
    EXPECT_EQ(check->Perform(ZRM_PAINTTO, reinterpret_cast<std::uintptr_t>(&target.Canvas()), PointToLParam(10, 5)), 1);
    int ticks = 0;
    const int top = 5 + (21 - side) / 2;
    for (int y = top + 2; y < top + side - 2; ++y)
      for (int x = 10 + 2 + 2; x < 10 + 2 + side - 2; ++x) ticks += target.Pixel(x, y) == clBlack ? 1 : 0;
    EXPECT_EQ(target.Pixel(9, 10), clRed);     // left of the control: untouched
    EXPECT_EQ(target.Pixel(69, 10), clWhite);  // the control's ground
    EXPECT_EQ(target.Pixel(70, 10), clRed);    // right of it
    return ticks;
  };
  EXPECT_EQ(paint(false), 0);
  EXPECT_GT(paint(true), 5);
}

TEST(TZRMaskEdit, TabEntrySelectsAllAndAClickDoesNot) {
  Fixture f("TZRMaskEdit");
  TZRMaskEdit* mask = f.Mask();
  ASSERT_NE(mask, nullptr);
  mask->SetEditMask("(999) 000-0000;0;_");
  f.edit->SetEditText("5551234567");
  EXPECT_EQ(f.edit->EditText(), "5551234567");
  EXPECT_EQ(mask->EditText(), "(555) 123-4567");
  auto* line = static_cast<QLineEdit*>(mask->Handle());
  line->deselect();
  mask->Perform(CM_ENTER, 0, 0);
  EXPECT_EQ(mask->SelLength(), 14);
  line->deselect();
  line->setCursorPosition(7);
  mask->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(2, 2));
  mask->Perform(CM_ENTER, 0, 0);
  EXPECT_EQ(mask->SelStart(), 7);
  EXPECT_EQ(mask->SelLength(), 1);  // the overwrite caret, not the whole text
  mask->Perform(WM_LBUTTONUP, 0, PointToLParam(2, 2));
}

}  // namespace
