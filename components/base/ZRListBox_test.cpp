// Column list boxes, the edit's pop-up list and the pick list.

#include "components/base/ZRListBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <string>
#include <vector>

#include "components/base/ZREdit.h"

namespace {

TEST(TPopupListBox, ShowsOneToSevenRows) {
  TWinControl form(nullptr);
  form.SetBounds(0, 0, 300, 300);
  form.Show();
  auto* list = new TPopupListBox(&form);
  list->SetParent(&form);
  struct Row {
    int items, rows;
  } rows[] = {{0, 1}, {1, 1}, {3, 3}, {7, 7}, {8, 7}, {20, 7}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.items);
    list->Items()->Clear();
    for (int i = 0; i < r.items; ++i) list->Items()->Add("row" + std::to_string(i));
    const std::string wanted = "row2";
    list->Perform(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(&wanted));
    EXPECT_EQ(list->ClientHeight(), r.rows * list->ItemHeight());
    EXPECT_EQ(list->ItemIndex(), r.items > 2 ? 2 : -1);  // the matching entry, or none
  }
  // The window is a pop-up on the desktop, not a child of the form.
  EXPECT_TRUE(list->Handle()->isWindow());
  EXPECT_EQ(list->Handle()->focusPolicy(), Qt::NoFocus);
}

TEST(ScaleColumnWidths, ScalesWithHalvesToEven) {
  struct Row {
    std::vector<int> widths;
    int limit, total;
    std::vector<int> scaled;
    int newTotal;
  } rows[] = {
      {{100, 100}, 100, 208, {48, 48}, 97},
      {{30, 10}, 20, 40, {15, 5}, 21},       // exact halves: 15, 5
      {{5, 15}, 10, 40, {1, 4}, 6},          // 1.25 -> 1, 3.75 -> 4
      {{10, 30}, 20, 80, {2, 8}, 11},        // 2.5 -> 2 (even), 7.5 -> 8 (even)
      {{0, 0}, 10, 8, {0, 0}, 0},
  };
  for (const Row& r : rows) {
    std::vector<int> w = r.widths;
    EXPECT_EQ(ScaleColumnWidths(w, r.limit, r.total), r.newTotal);
    EXPECT_EQ(w, r.scaled);
  }
}

TEST(TZRListBox, ExtraFieldsAreLeftJustifiedAtTheirMeasuredWidths) {
  TZRListBox box(nullptr);
  box.AddColumn(TLeftRightAlign::lrRightJustify, 0);
  box.AddColumn(TLeftRightAlign::lrLeftJustify, 30);
  box.MutableColumnWidths() = {20, 25, 40, 50};
  const std::vector<TColumnCell> cells = box.ColumnCells("a|b|~c~|d", {2, 0, 200, 13});
  const std::vector<TColumnCell> expected = {
      {"a", TLeftRightAlign::lrRightJustify, {2, 0, 21, 13}},  // one pixel narrower on the right
      {"b", TLeftRightAlign::lrLeftJustify, {22, 0, 52, 13}},  // its own size wins
      {"~c~", TLeftRightAlign::lrLeftJustify, {52, 0, 92, 13}},
      {"d", TLeftRightAlign::lrLeftJustify, {92, 0, 142, 13}},
  };
  EXPECT_EQ(cells, expected);
}

TEST(TZRListBox, MeasuredWidthsOnlyGrow) {
  TZRListBox box(nullptr);
  box.SetColumnDraw(true);
  box.Items()->Add("a long first column|x");
  const std::vector<int> wide = box.ColumnWidths();
  ASSERT_EQ(wide.size(), 2u);
  box.Items()->Clear();
  box.Items()->Add("a|x|third");
  ASSERT_EQ(box.ColumnWidths().size(), 3u);
  EXPECT_EQ(box.ColumnWidths()[0], wide[0]);
  EXPECT_GT(box.ColumnWidths()[2], 0);
  // Measuring waits while redraw is off.
  box.Items()->BeginUpdate();
  box.Items()->Add("a||||||five more");
  EXPECT_EQ(box.ColumnWidths().size(), 3u);
  box.Items()->EndUpdate();
  EXPECT_EQ(box.ColumnWidths().size(), 7u);
}

struct PickList {
  TWinControl form{nullptr};
  TWinControl* parent = new TWinControl(&form);
  TStringList items{"first|1", "second|2", "third|3"};
  std::vector<int> selected;
  TZRPopupListBox* list = nullptr;
  void Select(TObject*, int Index) { selected.push_back(Index); }
  PickList() {
    form.SetBounds(0, 0, 300, 300);
    parent->SetBounds(10, 10, 200, 200);
    parent->SetParent(&form);
    form.Show();
  }
  ~PickList() {
    if (list) list->Free();
  }
  void Open(int MaxWidth = 0) {
    const TLeftRightAlign aligns[] = {TLeftRightAlign::lrLeftJustify, TLeftRightAlign::lrRightJustify};
    list = ShowPopupList(parent, items, 5, 5, aligns, nullptr, TPopupSelectEvent::Of<&PickList::Select>(*this),
                         MaxWidth);
  }
  void Key(std::uint16_t VK) { parent->Perform(WM_KEYDOWN, VK, 0); }
};

TEST(TZRPopupListBox, KeysOfTheParentActOnTheList) {
  PickList p;
  p.Open();
  EXPECT_TRUE(p.list->Visible());
  EXPECT_EQ(p.list->ItemIndex(), 0);
  EXPECT_EQ(ActivePopup(), p.list);
  p.Key(VK_DOWN);
  p.Key(VK_DOWN);
  EXPECT_EQ(p.list->ItemIndex(), 2);
  p.Key(VK_UP);
  p.Key(VK_RETURN);
  EXPECT_EQ(p.selected, std::vector<int>{1});
  EXPECT_FALSE(p.list->Visible());
  EXPECT_EQ(ActivePopup(), nullptr);
  // The parent has its own procedure back.
  p.Key(VK_DOWN);
  EXPECT_EQ(p.list->ItemIndex(), 1);
  p.list->Free();
  p.list = nullptr;
  p.Open();
  p.Key(VK_ESCAPE);
  EXPECT_EQ(p.selected, (std::vector<int>{1, -1}));
}

TEST(TZRPopupListBox, WidthFollowsTheColumnsOrTheLimit) {
  PickList p;
  p.Open();
  const std::vector<int> widths = p.list->ColumnWidths();
  ASSERT_EQ(widths.size(), 2u);
  const int natural = 8 + widths[0] + widths[1];
  EXPECT_EQ(p.list->ClientWidth(), std::max(natural, 121 - 2));
  p.list->Free();
  p.list = nullptr;
  // A limit below the natural width scales the measured widths down.
  p.items.Add(std::string(60, 'w') + "|" + std::string(30, 'w'));
  p.Open(150);
  const int scaledTotal = p.list->ColumnWidths()[0] + p.list->ColumnWidths()[1] + 1;
  EXPECT_LE(std::abs(scaledTotal - 150), 2);
  EXPECT_EQ(p.list->ClientWidth(), std::max(scaledTotal, 121 - 2));
}

TEST(TZRPopupListBox, OpensAboveAndLeftNearTheScreensCorner) {
  struct Fake : TScreenSource {
    Size size;
    Size ScreenSize() override { return size; }
    Point CursorPos() override { return {}; }
  } screen;
  PickList p;
  const QPoint origin = p.parent->Handle()->mapToGlobal(QPoint(5, 5));
  screen.size = {origin.x() + 50, origin.y() + 50};
  TScreenSource* old = Screen->SetSource(&screen);
  p.Open();
  Screen->SetSource(old);
  EXPECT_EQ(p.list->Left(), origin.x() - p.list->Width());
  EXPECT_EQ(p.list->Top(), origin.y() - p.list->Height());
}

}  // namespace
