// Text controls: what they tell, and what they keep across their windows.

#include "platform/controls/EditCtrls.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <string>

#include "platform/classes/ObjectText.h"
#include "platform/classes/Writer.h"
#include "platform/core/Streams.h"

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

TEST(TEdit, SelectionCountsCharactersIsCutToTheTextAndSurvivesTheWindow) {
  Form f;
  TEdit* edit = f.Add<TEdit>();
  edit->DestroyHandle();
  edit->SetText("a\u00e9\U0001F600bc");  // five characters, one outside the 16-bit range
  struct Row {
    const char* name;
    int start, length;  // -1: leave as it is
    int selStart, selLength;
    const char* selText;
  };
  const Row rows[] = {
      {"start only", 2, -1, 2, 0, ""},
      {"then a length", -1, 2, 2, 2, "\U0001F600b"},
      {"a new start drops the selection", 1, -1, 1, 0, ""},
      {"length past the end", -1, 99, 1, 4, "\u00e9\U0001F600bc"},
      {"start past the end", 9, -1, 5, 0, ""},
      {"negative start", -5, 3, 0, 3, "a\u00e9\U0001F600"},
  };
  for (const bool window : {false, true}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(std::string(r.name) + (window ? " (window)" : " (no window)"));
      if (r.start != -1) edit->SetSelStart(r.start);
      if (r.length != -1) edit->SetSelLength(r.length);
      EXPECT_EQ(edit->SelStart(), r.selStart);
      EXPECT_EQ(edit->SelLength(), r.selLength);
      EXPECT_EQ(edit->SelText(), r.selText);
      if (window) EXPECT_EQ(static_cast<QLineEdit*>(edit->Handle())->selectedText().toStdString(), r.selText);
    }
    if (!window) edit->HandleNeeded();
  }
  // The window keeps it across RecreateWnd, and typing replaces it.
  edit->SetSelStart(1);
  edit->SetSelLength(2);
  f.form.RecreateWnd();
  EXPECT_EQ(edit->SelText(), "\u00e9\U0001F600");
  QTest::keyClicks(edit->Handle(), "x");
  EXPECT_EQ(edit->Text(), "axbc");
  EXPECT_EQ(edit->SelStart(), 2);
  edit->SelectAll();
  EXPECT_EQ(edit->SelLength(), 4);
}

TEST(TEdit, PasswordCharHidesTheTextButNotFromTheProgram) {
  Form f;
  TEdit* edit = f.Add<TEdit>();
  edit->SetText("abc");
  edit->SetPasswordChar('*');
  auto* window = static_cast<QLineEdit*>(edit->Handle());
  EXPECT_EQ(window->displayText().toStdString(), "***");
  EXPECT_EQ(edit->Text(), "abc");
  f.form.RecreateWnd();
  EXPECT_EQ(static_cast<QLineEdit*>(edit->Handle())->displayText().toStdString(), "***");
  edit->SetPasswordChar('#');
  EXPECT_EQ(static_cast<QLineEdit*>(edit->Handle())->displayText().toStdString(), "###");
  edit->SetPasswordChar(0);
  EXPECT_EQ(static_cast<QLineEdit*>(edit->Handle())->displayText().toStdString(), "abc");

  // Stored as a character.
  edit->SetPasswordChar('*');
  TMemoryStream binary, text;
  WriteComponentToStream(binary, edit);
  binary.SetPosition(0);
  ObjectBinaryToText(binary, text);
  const std::string written(text.Bytes().begin(), text.Bytes().end());
  EXPECT_NE(written.find("PasswordChar = '*'"), std::string::npos) << written;
}

TEST(TMemo, WordWrapBreaksLongLinesOnlyOnScreen) {
  Form f;
  TMemo* memo = f.Add<TMemo>();
  memo->SetBounds(0, 0, 80, 80);
  memo->Lines()->Add(std::string(60, 'w') + " " + std::string(60, 'w'));
  const auto shownLines = [&] {
    auto* window = static_cast<QPlainTextEdit*>(memo->Handle());
    window->document()->adjustSize();
    QTest::qWait(0);
    return window->document()->firstBlock().layout()->lineCount();
  };
  EXPECT_TRUE(memo->WordWrap());
  EXPECT_GT(shownLines(), 1);
  memo->SetWordWrap(false);
  EXPECT_EQ(shownLines(), 1);
  f.form.RecreateWnd();
  EXPECT_EQ(static_cast<QPlainTextEdit*>(memo->Handle())->lineWrapMode(), QPlainTextEdit::NoWrap);
  memo->SetWordWrap(true);
  EXPECT_GT(shownLines(), 1);
  EXPECT_EQ(memo->Lines()->Count(), 1);
}

}  // namespace
