// Image list boxes: selection, geometry, scroll bars, sorting, moves, checks,
// the wheel, the drop rectangle and quick search.

#include "components/base/ZRImageListBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/classes/TypInfo.h"
#include "platform/controls/ScrollBars.h"

namespace {

// The box with its protected handlers in reach.
class TBox : public TZRImageListBox {
 public:
  using TZRImageListBox::TZRImageListBox;
  using TZRCustomImageListBox::DoEndDrag;
  using TZRCustomImageListBox::DragOver;
  using TZRCustomImageListBox::MouseDown;
};

class TCheckBox : public TZRCheckImageListBox {
 public:
  using TZRCheckImageListBox::TZRCheckImageListBox;
  using TZRCustomCheckImageListBox::KeyDown;
  using TZRCustomCheckImageListBox::MouseDown;
  using TZRCustomImageListBox::MouseUp;
};

std::vector<std::string> Captions(const TZRCustomImageListBox& box) {
  std::vector<std::string> out;
  for (int i = 0; i < box.GetCount(); ++i) out.push_back(box.Items()->Items(i)->Caption());
  return out;
}

void AddItems(TZRCustomImageListBox& box, const std::vector<std::string>& captions) {
  for (const std::string& c : captions) box.Items()->Add()->SetCaption(c);
}

// A parent with a box of `rows` whole rows (no image list: rows are the
// text's height + 2), holding `count` items "item0", "item1", ...
struct Fixture {
  TWinControl form{nullptr};
  TBox* box = nullptr;
  int h = 0;
  Fixture(int count, int rows) {
    form.SetBounds(0, 0, 400, 400);
    box = new TBox(&form);
    box->SetParent(&form);
    box->HandleNeeded();
    h = box->GetItemHeight();
    box->SetHeight(rows * h + 4);  // the border takes 2 pixels each side
    for (int i = 0; i < count; ++i) box->Items()->Add()->SetCaption("item" + std::to_string(i));
  }
};

TScrollInfo VertInfo(TWinControl& control) {
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  control.GetScrollInfo(SB_VERT, info);
  return info;
}

TEST(ZRImageListBox, SetItemIndexClampsKeepsTheItemInViewAndAlwaysTellsAChange) {
  struct Row {
    const char* name;
    int start, value, index, top, fired;
  } rows[] = {
      {"past the end selects the last", 0, 99, 9, 6, 1},
      {"-1 clears and tells", 3, -1, -1, 0, 1},
      {"unchanged does nothing", 3, 3, 3, 0, 0},
      {"below the last whole row becomes the last row", 0, 5, 5, 2, 1},
      {"inside the view keeps the top", 0, 2, 2, 0, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Fixture f(10, 4);
    f.box->SetItemIndex(r.start);
    int fired = 0;
    f.box->OnSelectionChanged = [&](TObject*) { ++fired; };
    f.box->SetItemIndex(r.value);
    EXPECT_EQ(f.box->ItemIndex(), r.index);
    EXPECT_EQ(f.box->TopIndex(), r.top);
    EXPECT_EQ(fired, r.fired);
    const TScrollInfo v = VertInfo(*f.box);
    EXPECT_EQ(v.nMax, 9);
    EXPECT_EQ(v.nPage, 4u);
    EXPECT_EQ(v.nPos, r.top);
  }
}

TEST(ZRImageListBox, DeletionKeepsTheSelectedItemAndTheBarsFollowTheCount) {
  struct Row {
    const char* name;
    int selected, deleted;
    const char* stillSelected;  // "" for none
    int max;
    std::uint32_t page;
    bool bar;
  } rows[] = {
      {"above the selection", 3, 1, "item3", 4, 4, true},
      {"below the selection", 1, 3, "item1", 4, 4, true},
      {"the selected last item: the new last", 5, 5, "item4", 4, 4, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Fixture f(6, 4);
    f.box->SetItemIndex(r.selected);
    int changed = 0;
    f.box->OnChanged = [&](TObject*) { ++changed; };
    f.box->DeleteItem(r.deleted);
    ASSERT_GE(f.box->ItemIndex(), 0);
    EXPECT_EQ(f.box->Items()->Items(f.box->ItemIndex())->Caption(), r.stillSelected);
    EXPECT_EQ(changed, 1);
    const TScrollInfo v = VertInfo(*f.box);
    EXPECT_EQ(v.nMax, r.max);
    EXPECT_EQ(v.nPage, r.page);
    EXPECT_EQ(f.box->ScrollBarShown(SB_VERT), r.bar);
  }
  // As many items as rows: no bar, the client area gets its width back.
  Fixture f(5, 4);
  f.box->DeleteItem(0);
  EXPECT_FALSE(f.box->ScrollBarShown(SB_VERT));
  EXPECT_EQ(f.box->ClientRect().right, 220 - 4);
}

TEST(ZRImageListBox, DraggingTheThumbScrollsAndItsReleaseChangesNothing) {
  Fixture f(20, 5);
  QScrollBar* bar = nullptr;
  for (QScrollBar* b : f.box->Handle()->findChildren<QScrollBar*>())
    if (b->orientation() == Qt::Vertical) bar = b;
  ASSERT_NE(bar, nullptr);
  bar->setSliderDown(true);
  bar->setSliderPosition(7);
  EXPECT_EQ(f.box->TopIndex(), 7);
  // Past the last place the top item stops where the last row fills the
  // client area.
  bar->setSliderPosition(19);
  EXPECT_EQ(f.box->TopIndex(), 15);
  bar->setSliderPosition(9);
  bar->setSliderDown(false);
  EXPECT_EQ(f.box->TopIndex(), 9);
}

TEST(ZRImageListBox, ItemAtYCountsRowsFromTheTopItem) {
  Fixture f(10, 4);
  f.box->SetItemIndex(9);  // top 6
  const int h = f.h;
  struct Row {
    int y;
    bool exact;
    int item;
  } rows[] = {{0, true, 6},           {h - 1, true, 6},      {h, true, 7},       {4 * h - 1, true, 9},
              {4 * h, true, -1},       {4 * h, false, 9},     {-1, true, -1},     {-1, false, 9}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.y << (r.exact ? " exact" : ""));
    EXPECT_EQ(f.box->ItemAtY(r.y, r.exact), r.item);
  }
  Fixture few(2, 4);
  EXPECT_EQ(few.box->ItemAtY(2 * few.h, true), -1);
  EXPECT_EQ(few.box->ItemAtY(2 * few.h, false), 1);
}

TEST(ZRImageListBox, SortedBoxesSortAddedAndRenamedItemsWithoutCase) {
  Fixture f(0, 4);
  AddItems(*f.box, {"delta", "Bravo", "alpha", "charlie"});
  f.box->SetSorted(true);
  EXPECT_EQ(Captions(*f.box), (std::vector<std::string>{"alpha", "Bravo", "charlie", "delta"}));
  f.box->Items()->Items(0)->SetCaption("Echo");
  EXPECT_EQ(Captions(*f.box), (std::vector<std::string>{"Bravo", "charlie", "delta", "Echo"}));
  f.box->Items()->Items(3)->SetCaption("a");
  EXPECT_EQ(Captions(*f.box), (std::vector<std::string>{"a", "Bravo", "charlie", "delta"}));
  f.box->Items()->Add()->SetCaption("CHARLIE2");
  EXPECT_EQ(Captions(*f.box), (std::vector<std::string>{"a", "Bravo", "charlie", "CHARLIE2", "delta"}));
  // An equal caption goes before the ones already there.
  TZRCustomImageListItem* twin = f.box->Items()->Add();
  twin->SetCaption("Bravo");
  EXPECT_EQ(twin->Index(), 1);
  // No dragging in a sorted box.
  f.box->SetCanDragItems(true);
  EXPECT_FALSE(f.box->CanDragItems());
}

TEST(ZRImageListBox, AnItemDropOnlyMovesWhatTheBoxAllows) {
  struct Row {
    const char* name;
    bool allow;
    std::vector<std::string> order;
  } rows[] = {
      {"refused", false, {"item0", "item1", "item2", "item3", "item4"}},
      {"allowed", true, {"item1", "item2", "item3", "item0", "item4"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Fixture f(5, 5);
    f.box->SetCanDragItems(true);
    std::vector<std::string> asked;
    f.box->OnCanMoveItem = [&](TObject*, int from, int to, bool& can) {
      asked.push_back(std::to_string(from) + ">" + std::to_string(to));
      can = r.allow;
    };
    int moved = 0;
    f.box->OnItemMoved = [&](TObject*, int, int) { ++moved; };
    f.box->MouseDown(mbLeft, {}, 5, f.h / 2);
    ASSERT_TRUE(f.box->Dragging());
    bool accept = true;
    f.box->DragOver(f.box, 5, 3 * f.h + 1, dsDragMove, accept);
    EXPECT_EQ(accept, r.allow);
    EXPECT_EQ(f.box->DropIndex(), 3);
    f.box->EndDrag(true);
    EXPECT_EQ(Captions(*f.box), r.order);
    EXPECT_EQ(moved, r.allow ? 1 : 0);
    EXPECT_EQ(f.box->DropIndex(), -1);
    EXPECT_EQ(f.box->DragOrigin(), -1);
    EXPECT_FALSE(asked.empty());
  }
}

TEST(ZRImageListBox, ABoxFreedWhileItShowsTheDropRectangleIsForgottenByTheDrag) {
  Fixture f(5, 5);
  f.box->SetCanDragItems(true);
  auto* other = new TBox(&f.form);
  other->SetParent(&f.form);
  other->SetBounds(200, 0, 150, 5 * f.h + 4);
  other->SetShowRectWhenAcceptDrag(true);
  AddItems(*other, {"a", "b", "c"});
  f.box->MouseDown(mbLeft, {}, 5, f.h / 2);
  ASSERT_TRUE(f.box->Dragging());
  bool accept = false;
  other->DragOver(f.box, 5, f.h + 1, dsDragMove, accept);
  ASSERT_EQ(other->DropIndex(), 1);
  delete other;
  f.box->EndDrag(false);  // finishing the drag must not reach the freed box
  EXPECT_EQ(f.box->DragOrigin(), -1);
}

TEST(ZRImageListBox, DrawingTheDropRectangleTwiceRestoresThePixels) {
  Fixture f(5, 5);
  f.box->SetItemIndex(0);
  (void)f.box->Handle()->grab();
  const QImage painted = f.box->ShownImage();
  ASSERT_FALSE(painted.isNull());
  f.box->MoveDropRect(2);
  const QImage shown = f.box->ShownImage();
  EXPECT_NE(shown, painted);
  // Moving it shows it elsewhere; taking it away leaves the painted rows.
  f.box->MoveDropRect(3);
  EXPECT_NE(f.box->ShownImage(), shown);
  f.box->MoveDropRect(-1);
  EXPECT_EQ(f.box->ShownImage(), painted);
}

TEST(ZRImageListBox, CodedCaptionsAreDrawnInTheirRows) {
  for (bool highlight : {false, true}) {
    SCOPED_TRACE(highlight ? "coded" : "plain");
    Fixture f(0, 3);
    f.box->SetHighlightItems(highlight);
    AddItems(*f.box, {"", "\x01WWWW\x01 WWWW"});
    (void)f.box->Handle()->grab();
    const QImage shown = f.box->ShownImage();
    // Dark pixels of the second row's caption, in the client area's first
    // 60 pixels (the window's border is 2 pixels wide).
    int dark = 0;
    for (int y = 2 + f.h; y < 2 + 2 * f.h; ++y)
      for (int x = 2; x < 62; ++x) dark += qGray(shown.pixel(x, y)) < 128 ? 1 : 0;
    EXPECT_GT(dark, 10);
  }
}

TEST(ZRImageListBox, WheelTurnsAddUpAndScrollThreeLinesANotch) {
  struct Row {
    const char* name;
    std::vector<int> deltas;
    int top;
  } rows[] = {
      {"one notch down", {-120}, 13},
      {"one notch up", {120}, 7},
      {"two halves make a notch", {-60, -60}, 13},
      {"a half scrolls nothing", {-60}, 10},
      {"the rest is kept", {-200, -40}, 16},
      {"back and forth", {-90, 90, -90}, 10},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Fixture f(40, 5);
    f.box->SetItemIndex(14);  // top 10
    ASSERT_EQ(f.box->TopIndex(), 10);
    for (int d : r.deltas)
      f.box->Perform(WM_MOUSEWHEEL, static_cast<std::uintptr_t>(static_cast<std::uint16_t>(d)) << 16, 0);
    EXPECT_EQ(f.box->TopIndex(), r.top);
  }
}

TEST(ZRCheckImageListBox, SpaceAndAClickOnTheBoxToggleOnceEach) {
  TWinControl form(nullptr);
  form.SetBounds(0, 0, 300, 300);
  auto* box = new TCheckBox(&form);
  box->SetParent(&form);
  AddItems(*box, {"one", "two"});
  std::vector<std::string> changes;
  box->OnCheckStateChanged = [&](TObject*, TObject* item) {
    changes.push_back(static_cast<TZRCustomImageListItem*>(item)->Caption());
  };
  box->SetItemIndex(1);
  std::uint16_t key = VK_SPACE;
  box->KeyDown(key, {});
  EXPECT_EQ(key, 0);
  auto* two = static_cast<TZRCustomCheckListItem*>(box->Items()->Items(1));
  EXPECT_TRUE(two->Checked());
  box->MouseDown(mbLeft, {}, 3, 1);  // the check box of "one"
  box->MouseUp(mbLeft, {}, 3, 1);
  EXPECT_TRUE(static_cast<TZRCustomCheckListItem*>(box->Items()->Items(0))->Checked());
  box->MouseDown(mbLeft, {}, 100, 1);  // the caption: no toggle
  EXPECT_TRUE(static_cast<TZRCustomCheckListItem*>(box->Items()->Items(0))->Checked());
  EXPECT_EQ(changes, (std::vector<std::string>{"two", "one"}));
  // Changes inside an update are not told.
  box->Items()->BeginUpdate();
  two->SetState(cbGrayed);
  box->Items()->EndUpdate();
  EXPECT_EQ(changes.size(), 2u);
}

void Press(QWidget* w, int key, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, mods, text);
  QApplication::sendEvent(w, &release);
}

TEST(ZRImageListBox, QuickSearchTakesOnlyTypedCharacters) {
  struct Key {
    int key;
    const char* text;
    Qt::KeyboardModifiers mods;
  };
  struct Row {
    const char* name;
    std::vector<Key> keys;
    const char* selected;
  } rows[] = {
      {"a keypad digit is the digit", {{Qt::Key_1, "1", Qt::KeypadModifier}}, "1x"},
      {"F1 adds nothing", {{Qt::Key_B, "b", {}}, {Qt::Key_F1, "", {}}, {Qt::Key_1, "1", {}}}, "b1"},
      {"Home adds nothing", {{Qt::Key_Home, "", {}}, {Qt::Key_B, "b", {}}}, "b1"},
      {"an arrow adds nothing", {{Qt::Key_Down, "", {}}, {Qt::Key_P, "p", {}}}, "px"},
      {"without case", {{Qt::Key_A, "A", Qt::ShiftModifier}, {Qt::Key_B, "b", {}}}, "Abc"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Fixture f(0, 8);
    AddItems(*f.box, {"(x", "$x", "px", "ax", "b1", "1x", "Abc"});
    f.box->SetQuickSearch(true);
    for (const Key& k : r.keys) Press(f.box->Handle(), k.key, k.text, k.mods);
    ASSERT_GE(f.box->ItemIndex(), 0);
    EXPECT_EQ(f.box->Items()->Items(f.box->ItemIndex())->Caption(), r.selected);
  }
  // Four ticks without typing start a new search.
  Fixture f(0, 8);
  AddItems(*f.box, {"ab", "b"});
  f.box->SetQuickSearch(true);
  Press(f.box->Handle(), Qt::Key_A, "a");
  for (int i = 0; i < 4; ++i) f.box->Perform(WM_TIMER, 1, 0);
  Press(f.box->Handle(), Qt::Key_B, "b");
  EXPECT_EQ(f.box->ItemIndex(), 1);
}

TEST(ZRBtnImageListBox, KeepsItsPropertysSpellingAndTallerRows) {
  TZRBtnImageListBox box(nullptr);
  TZRImageListBox plain(nullptr);
  EXPECT_EQ(box.ImageBackgroudColor(), clBtnFace);
  EXPECT_NE(GetPropInfo(box.ClassType(), "ImageBackgroudColor"), nullptr);
  EXPECT_EQ(box.GetItemHeight(), plain.GetItemHeight() + 4);
  EXPECT_EQ(box.Items()->Add()->ClassName(), "TZRBtnImageListItem");
}

}  // namespace
