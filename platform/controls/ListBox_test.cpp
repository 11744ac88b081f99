// The list box: geometry tables, item messages, keys and the mouse.

#include "platform/controls/ListBox.h"

#include <gtest/gtest.h>

#include <QTest>
#include <string>
#include <vector>

namespace {

// Counts the item messages, to show that Items goes through them.
class TCountingListBox : public TCustomListBox {
  KESTOVA_CLASS(TCountingListBox)
 public:
  using TCustomListBox::TCustomListBox;
  std::vector<TMessageNumber> seen;
  int selChanges = 0;
  void WndProc(TMessage& Message) override {
    if (Message.Msg >= LB_ADDSTRING && Message.Msg <= LB_FINDSTRINGEXACT) seen.push_back(Message.Msg);
    if (Message.Msg == CN_COMMAND && (Message.WParam >> 16) == LBN_SELCHANGE) ++selChanges;
    TCustomListBox::WndProc(Message);
  }
};
KESTOVA_CLASS_INFO(TCountingListBox, TCustomListBox, "ListBoxTest", nullptr)

struct Form {
  TWinControl form{nullptr};
  TCountingListBox* box = new TCountingListBox(&form);
  Form() {
    form.SetBounds(0, 0, 300, 300);
    box->SetParent(&form);
    box->SetBounds(10, 10, 104, 69);  // 100 x 65 inside the 2-pixel edge: 5 rows of 13
    form.Show();
  }
  void Fill(int n) {
    for (int i = 0; i < n; ++i) box->Items()->Add("item" + std::to_string(i));
  }
};

TEST(TCustomListBox, ItemAtPosAndItemRectFollowTopIndexAndHeights) {
  Form f;
  f.Fill(8);
  EXPECT_EQ(f.box->VisibleRows(), 5);
  const int rows = 100 - 16;  // the scroll bar shows: 8 items do not fit
  struct Row {
    int top, x, y;
    bool existing;
    int item;
  } rows_[] = {
      {0, 0, 0, true, 0},       {0, 5, 12, true, 0},     {0, 5, 13, true, 1},
      {0, rows - 1, 64, true, 4}, {0, rows, 20, true, -1}, {0, -1, 20, true, -1},
      {0, 5, -1, true, -1},     {3, 5, 0, true, 3},      {3, 5, 64, true, 7},
      {3, 5, 66, true, -1},     {3, 5, 66, false, 8},
  };
  for (const Row& r : rows_) {
    SCOPED_TRACE(testing::Message() << "top " << r.top << " at " << r.x << "," << r.y);
    f.box->SetTopIndex(r.top);
    EXPECT_EQ(f.box->ItemAtPos({r.x, r.y}, r.existing), r.item);
  }
  f.box->SetTopIndex(2);
  EXPECT_EQ(f.box->ItemRect(2), (Rect{0, 0, rows, 13}));
  EXPECT_EQ(f.box->ItemRect(4), (Rect{0, 26, rows, 39}));
  EXPECT_EQ(f.box->ItemRect(1), Rect{});
  EXPECT_EQ(f.box->ItemRect(8), Rect{});
  f.box->SetTopIndex(99);
  EXPECT_EQ(f.box->TopIndex(), 3);  // the last five rows fill the box
}

TEST(TCustomListBox, VariableHeightsComeFromOnMeasureItem) {
  Form f;
  f.box->SetStyle(lbOwnerDrawVariable);
  struct Measure {
    void Do(TWinControl*, int Index, int& Height) { Height = 10 + Index; }
  } measure;
  f.box->OnMeasureItem = TMeasureItemEvent::Of<&Measure::Do>(measure);
  f.Fill(4);
  EXPECT_EQ(f.box->ItemRect(2), (Rect{0, 21, 100, 33}));
  EXPECT_EQ(f.box->ItemAtPos({1, 20}, true), 1);
  EXPECT_EQ(f.box->ItemAtPos({1, 21}, true), 2);
}

TEST(TCustomListBox, ItemsGoThroughTheMessagesAndSurviveRecreateWnd) {
  Form f;
  f.box->Items()->Add("b");
  f.box->Items()->Insert(0, "a");
  f.box->Items()->Add("c");
  f.box->Items()->Delete(2);
  EXPECT_EQ(f.box->seen, (std::vector<TMessageNumber>{LB_ADDSTRING, LB_INSERTSTRING, LB_ADDSTRING, LB_DELETESTRING}));
  f.box->SetItemIndex(1);
  f.box->RecreateWnd();
  EXPECT_EQ(f.box->Items()->GetTextStr(), "a\nb\n");
  EXPECT_EQ(f.box->ItemIndex(), 1);
  std::string text;
  EXPECT_EQ(f.box->Perform(LB_GETTEXT, 1, reinterpret_cast<std::intptr_t>(&text)), 1);
  EXPECT_EQ(text, "b");
  const std::string wanted = "B";
  EXPECT_EQ(f.box->Perform(LB_FINDSTRINGEXACT, static_cast<std::uintptr_t>(-1), reinterpret_cast<std::intptr_t>(&wanted)),
            1);
  f.box->Items()->Delete(0);  // the selection follows its item
  EXPECT_EQ(f.box->ItemIndex(), 0);
  f.box->SetSorted(true);
  f.box->Items()->Add("a");
  f.box->Items()->Add("C");
  EXPECT_EQ(f.box->Items()->GetTextStr(), "a\nb\nC\n");
}

TEST(TCustomListBox, KeysAndClicksMoveTheSelectionAndTellIt) {
  Form f;
  f.Fill(20);
  f.box->SetFocus();
  QWidget* w = f.box->Handle();
  struct Row {
    Qt::Key key;
    int index, top;
  } keys[] = {{Qt::Key_Down, 0, 0}, {Qt::Key_Down, 1, 0}, {Qt::Key_End, 19, 15},
              {Qt::Key_PageUp, 15, 15}, {Qt::Key_Up, 14, 14}, {Qt::Key_Home, 0, 0},
              {Qt::Key_PageDown, 4, 0}};
  for (const Row& r : keys) {
    SCOPED_TRACE(r.key);
    QTest::keyClick(w, r.key);
    EXPECT_EQ(f.box->ItemIndex(), r.index);
    EXPECT_EQ(f.box->TopIndex(), r.top);
  }
  EXPECT_EQ(f.box->selChanges, 7);
  QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(2 + 5, 2 + 13 * 2 + 3));
  EXPECT_EQ(f.box->ItemIndex(), 2);
  EXPECT_EQ(f.box->selChanges, 8);
}

}  // namespace
