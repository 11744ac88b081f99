// The edit with buttons: layout tables, the drop-down's placement, keys,
// clicks outside, commits, classes by name and the inner edit.

#include "components/base/ZREdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <stdexcept>
#include <string>
#include <vector>

#include "components/base/ClassItems.h"
#include "components/base/ZRListBox.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/SystemMetrics.h"
#include "platform/ui/DialogService.h"

namespace {

// An edit source that counts commits and may reject or normalise them.
class TTestSource : public TEditSource {
  KESTOVA_CLASS(TTestSource)
 public:
  using TEditSource::TEditSource;
  std::vector<std::string> stored;
  bool reject = false;
  bool upper = false;
  void GetText(std::string& Text) override { Text = value; }
  void SetText(const std::string& Text) override {
    stored.push_back(Text);
    if (reject) throw Exception("Not a value");
    value = Text;
    if (upper)
      for (char& c : value) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  std::string value;
};
KESTOVA_CLASS_INFO(TTestSource, TEditSource, "ZREditTest", MakeComponent<TTestSource>)

class TTestEdit : public TZRSimpleEdit {
  KESTOVA_CLASS(TTestEdit)
 public:
  using TZRSimpleEdit::TZRSimpleEdit;
};
KESTOVA_CLASS_INFO(TTestEdit, TZRSimpleEdit, "ZREditTest", MakeComponent<TTestEdit>)

void RegisterOnce() {
  static const bool done = [] {
    RegisterZREditClasses();
    RegisterEditClass(TypeInfos::String(), 0, "x", TTestEdit::StaticClass());
    RegisterClassOnce(TTestSource::StaticClass());
    GetEditSourceClassRegistry()->AddItem();
    static_cast<TEditSourceClassInfo*>(GetEditSourceClassRegistry()->LastItem())->Class = TTestSource::StaticClass();
    return true;
  }();
  (void)done;
}

class TFakeScreen : public TScreenSource {
 public:
  Size size{1024, 768};
  Point cursor{0, 0};
  Size ScreenSize() override { return size; }
  Point CursorPos() override { return cursor; }
};

struct Fixture {
  TFakeScreen screen;
  TScreenSource* oldSource = Screen->SetSource(&screen);
  ScriptedDialogService dialogs;
  ScopedDialogService scope{dialogs};
  TWinControl form{nullptr};
  TCustomZREdit* edit = nullptr;
  TEdit* other = new TEdit(&form);
  TTestSource* source = nullptr;
  Fixture() {
    RegisterOnce();
    form.SetBounds(100, 100, 400, 300);
    form.Show();
    edit = new TCustomZREdit(&form);
    edit->SetBounds(50, 40, 121, 21);
    edit->SetParent(&form);
    other->SetBounds(50, 200, 100, 21);
    other->SetParent(&form);
    QApplication::setActiveWindow(form.Handle());
    edit->SetEditSourceClassName("TTestSource");
    source = dynamic_cast<TTestSource*>(edit->ValueSource());
  }
  ~Fixture() {
    edit->CloseUp(false);
    Screen->SetSource(oldSource);
  }
  TPopupListBox* List() const { return dynamic_cast<TPopupListBox*>(edit->PopupWindow()); }
  QLineEdit* Line() const { return dynamic_cast<QLineEdit*>(static_cast<TWinControl*>(edit->InnerEdit())->Handle()); }
  QPoint FormOrigin() { return form.Handle()->mapToGlobal(QPoint(0, 0)); }
  void Fill(int n) {
    for (int i = 0; i < n; ++i) List()->Items()->Add("item" + std::to_string(i));
  }
};

TEST(TCustomZREdit, ArrangeButtonsPlacesButtonsAndTheInnerEdit) {
  ASSERT_EQ(GetSystemMetrics(SM_CXHTHUMB), 16);
  struct Row {
    const char* name;
    int count;
    bool flat, alternate;
    std::uint8_t kind;
    Rect first, second, inner;  // left, top, width, height
  } rows[] = {
      // Framed: a 2-pixel client edge around 117 x 17.
      {"none", 0, false, false, 0, {}, {}, {2, 3, 117, 16}},
      {"one", 1, false, false, 0, {103, 2, 16, 17}, {}, {2, 3, 101, 16}},
      {"two", 2, false, false, 0, {87, 2, 16, 17}, {103, 2, 16, 17}, {2, 3, 85, 16}},
      // Flat: no edge, buttons inset by 1, the edit by 2.
      {"flat one", 1, true, false, 0, {104, 1, 16, 19}, {}, {2, 3, 101, 16}},
      // An edge border insets the buttons by 2.
      {"edge two", 2, false, true, 6, {87, 2, 16, 17}, {103, 2, 16, 17}, {2, 3, 85, 16}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Fixture f;
    f.edit->FlatLook = r.flat;
    f.edit->AlternateBorder = r.alternate;
    f.edit->BorderKind = r.kind;
    f.edit->SetButtonCount(r.count);
    f.edit->ArrangeButtons();
    auto bounds = [](TControl* c) { return Rect{c->Left(), c->Top(), c->Width(), c->Height()}; };
    if (r.count > 0) EXPECT_EQ(bounds(f.edit->FirstButton()), r.first);
    if (r.count > 1) EXPECT_EQ(bounds(f.edit->SecondButton()), r.second);
    EXPECT_EQ(f.edit->FirstButton()->Visible(), r.count > 0);
    EXPECT_EQ(f.edit->SecondButton()->Visible(), r.count > 1);
    EXPECT_EQ(bounds(f.edit->InnerEdit()), r.inner);
  }
}

TEST(TCustomZREdit, DropDownOpensBelowOrAboveAndMeetsTheRightEdge) {
  struct Row {
    const char* name;
    int left;
    bool alternate;
    int popupWidth;  // 0: the edit's
    int bottomSpare;  // screen bottom below the drop-down's lower edge (negative: past it)
    int x, y;         // relative to the form's client origin
  } rows[] = {
      {"below", 50, false, 0, 100, 50, 59},
      {"right edges meet", 150, false, 200, 100, 71, 59},
      {"negative x falls back", 10, false, 200, 100, 10, 59},
      // Without the client edge the list is 2 pixels wider than the edit.
      {"no border", 50, true, 0, 100, 48, 61},
      {"above near the bottom", 50, false, 0, -1, 50, 59 - 41 - 21},
      {"just fits", 50, false, 0, 0, 50, 59},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Fixture f;
    f.Fill(3);  // 3 rows of 13 and a 1-pixel border: 41 high
    f.edit->AlternateBorder = r.alternate;
    f.edit->SetLeft(r.left);
    struct Widen {
      TCustomZREdit* edit;
      int width;
      void Open(TObject*) {
        if (width) edit->PopupWindow()->SetWidth(width);
      }
    } widen{f.edit, r.popupWidth};
    f.edit->OnOpenPopup = TNotifyEvent::Of<&Widen::Open>(widen);
    const int below = (r.alternate ? 61 : 59);
    f.screen.size = {2000, f.FormOrigin().y() + below + 41 + r.bottomSpare};
    f.edit->DropDown();
    ASSERT_TRUE(f.edit->PopupOpen());
    TWinControl* popup = f.edit->PopupWindow();
    EXPECT_EQ(popup->Height(), 41);
    EXPECT_EQ(popup->Width(), r.popupWidth ? r.popupWidth : r.alternate ? 123 : 121);
    EXPECT_EQ(popup->Left() - f.FormOrigin().x(), r.x);
    EXPECT_EQ(popup->Top() - f.FormOrigin().y(), r.y);
    EXPECT_EQ(ActivePopup(), popup);
    EXPECT_EQ(ActiveEdit(), f.edit);
  }
}

TEST(TCustomZREdit, AltArrowsOpenAndCloseAndKeysGoToTheOpenList) {
  Fixture f;
  f.Fill(5);
  f.edit->SetFocus();
  QLineEdit* line = f.Line();
  ASSERT_TRUE(line->hasFocus());
  QTest::keyClick(line, Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(f.edit->PopupOpen());
  EXPECT_TRUE(line->hasFocus());  // the edit keeps the focus
  QTest::keyClick(line, Qt::Key_Down);
  QTest::keyClick(line, Qt::Key_Down);
  EXPECT_EQ(f.List()->ItemIndex(), 1);
  EXPECT_EQ(f.edit->EditText(), "");  // the keys did not reach the edit
  QTest::keyClick(line, Qt::Key_Up, Qt::AltModifier);
  EXPECT_FALSE(f.edit->PopupOpen());
  EXPECT_EQ(f.edit->EditText(), "item1");
  EXPECT_EQ(f.source->stored, std::vector<std::string>{"item1"});
  // Enter and Esc in the open list.
  QTest::keyClick(line, Qt::Key_Down, Qt::AltModifier);
  QTest::keyClick(line, Qt::Key_Down);
  QTest::keyClick(line, Qt::Key_Escape);
  EXPECT_FALSE(f.edit->PopupOpen());
  EXPECT_EQ(f.edit->EditText(), "item1");
  QTest::keyClick(line, Qt::Key_Down, Qt::AltModifier);
  QTest::keyClick(line, Qt::Key_Down);
  QTest::keyClick(line, Qt::Key_Return);
  EXPECT_FALSE(f.edit->PopupOpen());
  EXPECT_EQ(f.edit->EditText(), "item2");
  // Without the drop-down button Alt+Down stays with the edit.
  f.edit->SetButtonCount(0);
  QTest::keyClick(line, Qt::Key_Down, Qt::AltModifier);
  EXPECT_FALSE(f.edit->PopupOpen());
}

TEST(TCustomZREdit, UpAndDownMoveTheFocus) {
  Fixture f;
  f.edit->SetFocus();
  QTest::keyClick(f.Line(), Qt::Key_Down);
  EXPECT_TRUE(f.other->Focused());
  f.edit->SetFocus();
  QTest::keyClick(f.Line(), Qt::Key_Up);
  EXPECT_TRUE(f.other->Focused());  // the only other control, backwards too
}

TEST(TCustomZREdit, AClickOutsideClosesWithoutAcceptingButNotBesideTheEdit) {
  Fixture f;
  f.Fill(5);
  // A control just right of the edit, within the width of its button.
  auto* beside = new TCustomControl(&f.form);
  beside->SetBounds(50 + 121, 40, 10, 21);
  beside->SetParent(&f.form);
  f.edit->SetEditText("item3");
  f.edit->DropDown();
  f.List()->SetItemIndex(0);
  QTest::mouseClick(beside->Handle(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(f.edit->PopupOpen());
  QTest::mouseClick(f.other->Handle(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(f.edit->PopupOpen());
  EXPECT_EQ(f.edit->EditText(), "item3");
  EXPECT_TRUE(f.source->stored.empty() || f.source->stored.back() == "item3");
  EXPECT_EQ(ActivePopup(), nullptr);
}

TEST(TCustomZREdit, AHeldButtonBelowTheListMovesTheSelectionPerMoveAndTick) {
  Fixture f;
  f.Fill(10);
  f.edit->DropDown();
  TPopupListBox* list = f.List();
  list->SetItemIndex(0);
  const std::intptr_t below = PointToLParam(5, list->Height() + 10);
  list->Perform(WM_MOUSEMOVE, MK_LBUTTON, below);
  EXPECT_EQ(list->ItemIndex(), 1);
  list->Perform(WM_MOUSEMOVE, 0, below);  // no button: nothing
  EXPECT_EQ(list->ItemIndex(), 1);
  list->SetMouseCapture(true);
  ASSERT_TRUE(list->MouseCapture());
  const QPoint g = list->Handle()->mapToGlobal(QPoint(5, list->Height() + 10));
  f.screen.cursor = {g.x(), g.y()};
  for (int tick = 2; tick <= 4; ++tick) {
    f.edit->Perform(WM_TIMER, 1, 0);
    EXPECT_EQ(list->ItemIndex(), tick);
  }
  list->SetMouseCapture(false);
  f.edit->Perform(WM_TIMER, 1, 0);  // without the capture the tick does nothing
  EXPECT_EQ(list->ItemIndex(), 4);
}

TEST(TCustomZREdit, ALostFocusCommitsOnceAndARejectionTakesTheFocusBack) {
  Fixture f;
  f.edit->SetFocus();
  QTest::keyClicks(f.Line(), "abc");
  f.other->SetFocus();
  QApplication::processEvents();
  EXPECT_EQ(f.source->stored, std::vector<std::string>{"abc"});

  // A rejected value: the error box, and the edit takes the focus back with
  // all its text selected.
  f.edit->SetFocus();
  f.Line()->deselect();
  f.source->reject = true;
  f.other->SetFocus();
  QApplication::processEvents();
  EXPECT_EQ(f.dialogs.Count("message"), 1);
  EXPECT_TRUE(f.edit->Focused());
  EXPECT_EQ(f.Line()->selectedText().toStdString(), "abc");
  // The exception reaches whoever sent CM_EXIT.
  f.Line()->deselect();
  EXPECT_THROW(f.edit->Perform(CM_EXIT, 0, 0), Exception);
  EXPECT_EQ(f.Line()->selectedText().toStdString(), "abc");
}

TEST(TCustomZREdit, CommitMessageEnterAndTheExceptionRule) {
  Fixture f;
  f.edit->SetEditText("one");
  f.edit->Perform(ZRM_COMMITEDIT, 0, 0);
  EXPECT_EQ(f.source->stored, std::vector<std::string>{"one"});
  try {
    throw std::runtime_error("shown");
  } catch (...) {
    f.edit->ApplyText();  // while an exception is handled: nothing
  }
  EXPECT_EQ(f.source->stored.size(), 1u);
  // Enter in the inner edit commits; a rejection goes to the error box.
  f.edit->SetFocus();
  QTest::keyClick(f.Line(), Qt::Key_Return);
  EXPECT_EQ(f.source->stored.size(), 2u);
  f.source->reject = true;
  QTest::keyClick(f.Line(), Qt::Key_Return);
  EXPECT_EQ(f.dialogs.Count("message"), 1);
}

TEST(TCustomZREdit, AcceptedValuesTakeTheSourcesNormalisedText) {
  Fixture f;
  f.Fill(3);
  f.source->upper = true;
  f.edit->DropDown();
  f.List()->SetItemIndex(2);
  f.edit->CloseUp(true);
  EXPECT_EQ(f.edit->EditText(), "ITEM2");
}

TEST(TCustomZREdit, SetTextChangesTheCaptionAndTheTextSurvivesRecreateWnd) {
  Fixture f;
  f.edit->SetEditText("kept");
  const std::string caption = "&Name";
  f.edit->Perform(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(&caption));
  EXPECT_EQ(f.edit->OwnText(), "&Name");
  EXPECT_EQ(f.edit->EditText(), "kept");
  f.edit->RecreateWnd();
  EXPECT_EQ(f.edit->EditText(), "kept");
  // A long text passes whole between the list and the edit.
  const std::string longText(1000, 'x');
  f.List()->Items()->Add(longText);
  f.edit->DropDown();
  f.List()->SetItemIndex(0);
  f.edit->CloseUp(true);
  EXPECT_EQ(f.edit->EditText(), longText);
}

TEST(TCustomZREdit, ClassNamesFallBackAndTakeOverOwnedChildren) {
  struct Row {
    const char* edit;
    const char* popup;
    const char* source;
    const char* editClass;
    const char* popupClass;  // "" for none
    const char* sourceClass;
  } rows[] = {
      {"TTestEdit", "TPopupListBox", "TTestSource", "TTestEdit", "TPopupListBox", "TTestSource"},
      {"TNoSuchEdit", "TNoSuchClass", "TNoSuchSource", "TZRSimpleEdit", "", "TDummyEditSource"},
      // Classes of another kind.
      {"TTestSource", "TTestSource", "TTestEdit", "TZRSimpleEdit", "TDummyPopup", "TDummyEditSource"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.edit);
    Fixture f;
    f.edit->SetInnerEditClassName(r.edit);
    f.edit->SetDropDownClassName(r.popup);
    f.edit->SetEditSourceClassName(r.source);
    EXPECT_EQ(f.edit->InnerEdit()->ClassName(), r.editClass);
    EXPECT_EQ(f.edit->PopupWindow() ? f.edit->PopupWindow()->ClassName() : "", r.popupClass);
    EXPECT_EQ(f.edit->ValueSource()->ClassName(), r.sourceClass);
    EXPECT_EQ(f.edit->InnerEdit()->Parent(), f.edit);
  }
  Fixture f;
  auto* streamed = new TTestEdit(f.edit);
  f.edit->SetInnerEditClassName("TTestEdit");
  EXPECT_EQ(f.edit->InnerEdit(), streamed);
}

// Loaded applies the class names in order: edit source, inner edit,
// drop-down.
class TLoadingEdit : public TCustomZREdit {
  KESTOVA_CLASS(TLoadingEdit)
 public:
  using TCustomZREdit::TCustomZREdit;
  void BeginLoad() { State().Include(csLoading); }
  void EndLoad() {
    State().Exclude(csLoading);
    Loaded();
  }
};
KESTOVA_CLASS_INFO(TLoadingEdit, TCustomZREdit, "ZREditTest", nullptr)

TEST(TCustomZREdit, LoadedAppliesTheNamesInOrder) {
  Fixture f;
  auto* edit = new TLoadingEdit(&f.form);
  edit->SetParent(&f.form);
  edit->BeginLoad();
  TControl* before = edit->InnerEdit();
  edit->SetEditSourceClassName("TTestSource");
  edit->SetInnerEditClassName("TTestEdit");
  edit->SetDropDownClassName("TDummyPopup");
  EXPECT_EQ(edit->InnerEdit(), before);  // nothing while loading
  edit->EndLoad();
  EXPECT_EQ(edit->ValueSource()->ClassName(), "TTestSource");
  EXPECT_EQ(edit->InnerEdit()->ClassName(), "TTestEdit");
  EXPECT_EQ(edit->PopupWindow()->ClassName(), "TDummyPopup");
  // The inner edit is created with the source already in place, so it is
  // the component after the source among the edit's own.
  int sourceAt = -1, editAt = -1;
  for (int i = 0; i < edit->ComponentCount(); ++i) {
    if (edit->Components(i) == edit->ValueSource()) sourceAt = i;
    if (edit->Components(i) == edit->InnerEdit()) editAt = i;
  }
  EXPECT_LT(sourceAt, editAt);
}

TEST(TCustomZREdit, ButtonsToggleThePopupUnlessTheyHaveAHandler) {
  Fixture f;
  f.Fill(2);
  f.edit->FirstButton()->Click();
  EXPECT_TRUE(f.edit->PopupOpen());
  f.edit->FirstButton()->Click();
  EXPECT_FALSE(f.edit->PopupOpen());
  struct Handler {
    int clicks = 0;
    void Click(TObject*) { ++clicks; }
  } handler;
  f.edit->FirstButton()->OnClick = TNotifyEvent::Of<&Handler::Click>(handler);
  f.edit->FirstButton()->Click();
  EXPECT_FALSE(f.edit->PopupOpen());
  EXPECT_EQ(handler.clicks, 1);
}

TEST(TZRSimpleEdit, TabEntrySelectsAllAndAClickDoesNot) {
  Fixture f;
  auto* inner = static_cast<TZRSimpleEdit*>(f.edit->InnerEdit());
  f.edit->SetEditText("hello");
  f.Line()->deselect();
  inner->Perform(CM_ENTER, 0, 0);
  EXPECT_EQ(inner->SelText(), "hello");
  f.Line()->deselect();
  inner->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(2, 2));
  inner->Perform(CM_ENTER, 0, 0);
  EXPECT_EQ(inner->SelText(), "");
  inner->Perform(WM_LBUTTONUP, 0, PointToLParam(2, 2));
}

TEST(ZREditGlyphs, FollowTheirPixelDescription) {
  const TBitmap& drop = DropDownGlyph();
  ASSERT_EQ(drop.Width(), 7);
  ASSERT_EQ(drop.Height(), 5);
  const TBitmap& dots = DotsGlyph();
  ASSERT_EQ(dots.Width(), 10);
  ASSERT_EQ(dots.Height(), 2);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      const int w = y == 0 ? 0 : 9 - 2 * y;  // rows of 7, 5, 3 and 1
      const bool black = y > 0 && x >= (7 - w) / 2 && x < (7 - w) / 2 + w;
      EXPECT_EQ(drop.Pixel(x, y), black ? clBlack : clFuchsia) << x << "," << y;
    }
  for (int x = 0; x < 10; ++x) {
    const bool black = x == 1 || x == 2 || x == 4 || x == 5 || x == 7 || x == 8;
    EXPECT_EQ(dots.Pixel(x, 1), black ? clBlack : clFuchsia) << x;
  }
  EXPECT_EQ(drop.TransparentColor(), clFuchsia);
}

}  // namespace
