// Text controls: what they tell, and what they keep across their windows.

#include "platform/controls/EditCtrls.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <string>

namespace {

struct Changes {
  int count = 0;
  void Changed(TObject*) { ++count; }
  TNotifyEvent Handler() { return TNotifyEvent::Of<&Changes::Changed>(*this); }
};

struct Form {
  TWinControl form{nullptr};
  Changes changes;
  Form() {
    form.SetBounds(0, 0, 300, 200);
    form.Show();
  }
  template <class C>
  C* Add() {
    auto* control = new C(&form);
    control->SetParent(&form);
    control->OnChange = changes.Handler();
    return control;
  }
};

TEST(TEdit, TellsEachChangeOnceCutsAtMaxLengthAndKeepsTheTextAcrossItsWindow) {
  Form f;
  TEdit* edit = f.Add<TEdit>();
  edit->DestroyHandle();
  edit->SetText("abc");  // without a window
  edit->SetText("abc");
  EXPECT_EQ(f.changes.count, 1);
  EXPECT_EQ(static_cast<QLineEdit*>(edit->Handle())->text().toStdString(), "abc");
  QTest::keyClicks(edit->Handle(), "de");
  EXPECT_EQ(edit->Text(), "abcde");
  EXPECT_EQ(f.changes.count, 3);
  edit->SetMaxLength(4);
  EXPECT_EQ(edit->Text(), "abcd");
  QTest::keyClicks(edit->Handle(), "x");
  EXPECT_EQ(edit->Text(), "abcd");
  f.form.RecreateWnd();
  EXPECT_EQ(edit->Text(), "abcd");
  EXPECT_EQ(static_cast<QLineEdit*>(edit->Handle())->maxLength(), 4);
  edit->SetReadOnly(true);
  QTest::keyClicks(edit->Handle(), "y");
  EXPECT_EQ(edit->Text(), "abcd");
  EXPECT_EQ(f.changes.count, 4);
}

TEST(TMemo, LinesAndWindowFollowEachOtherWithOneChangeEach) {
  Form f;
  TMemo* memo = f.Add<TMemo>();
  memo->Lines()->Add("one");
  memo->Lines()->Add("two");
  auto* window = static_cast<QPlainTextEdit*>(memo->Handle());
  EXPECT_EQ(window->toPlainText().toStdString(), "one\ntwo");
  EXPECT_EQ(f.changes.count, 2);
  window->moveCursor(QTextCursor::End);
  QTest::keyClick(window, Qt::Key_Return);
  QTest::keyClicks(window, "3");
  ASSERT_EQ(memo->Lines()->Count(), 3);
  EXPECT_EQ(memo->Lines()->Strings(2), "3");
  EXPECT_EQ(f.changes.count, 4);
  f.form.RecreateWnd();
  EXPECT_EQ(static_cast<QPlainTextEdit*>(memo->Handle())->toPlainText().toStdString(), "one\ntwo\n3");
  EXPECT_EQ(memo->Lines()->Count(), 3);
}

TEST(TComboBox, IndexTextAndStyleAgreeAndOnlyTheUserIsTold) {
  Form f;
  TComboBox* combo = f.Add<TComboBox>();
  combo->Items()->Add("red");
  combo->Items()->Add("green");
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), "green");
  combo->SetText("Red");  // items match ignoring case
  EXPECT_EQ(combo->ItemIndex(), 0);
  combo->SetText("blue");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "blue");
  combo->SetItemIndex(7);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(f.changes.count, 0);

  QTest::keyClicks(static_cast<QComboBox*>(combo->Handle())->lineEdit(), "green");
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(f.changes.count, 5);

  combo->SetStyle(csDropDownList);
  auto* window = static_cast<QComboBox*>(combo->Handle());
  EXPECT_FALSE(window->isEditable());
  EXPECT_EQ(combo->Text(), "green");
  combo->SetText("blue");  // not an item
  EXPECT_EQ(combo->Text(), "");
  combo->SetItemIndex(0);
  QTest::keyClick(window, Qt::Key_Down);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "green");
  EXPECT_EQ(f.changes.count, 6);
}

}  // namespace
