#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "components/codeedit/MemoTesting.h"
#include "platform/core/Exceptions.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

TEST(MemoTabs, ColumnToIndexMapsColumnsInsideATabToTheIndexAfterIt) {
  TMemoSource source(nullptr);
  const std::u32string text = U"\tab";  // the tab covers columns 0..8
  const struct {
    std::int32_t column, index;
  } rows[] = {{0, 0}, {1, 1}, {4, 1}, {8, 1}, {9, 1}, {10, 2}, {11, 3}, {13, 5}};
  for (const auto& row : rows) EXPECT_EQ(source.ColumnToIndex(text, row.column), row.index) << row.column;
}

TEST(MemoTabs, TabStopsAreCheckedWholeBeforeAnythingChanges) {
  TMemoSource source(nullptr);
  source.SetTabStops("4,8,12");
  EXPECT_EQ(Utf32ToUtf8(source.ExpandTabs(U"1234567890123\tx")), "1234567890123   x");  // 13 to 16
  EXPECT_EQ(Utf32ToUtf8(source.ExpandTabs(U"\t\t\t\t\tx")), std::string(20, ' ') + "x");
  for (const char* bad : {"8,4", "0", "4,4", "4,1001", "2000000000"}) {
    EXPECT_THAT([&] { source.SetTabStops(bad); }, ThrowsMessage<Exception>(HasSubstr("Invalid Tab Rack"))) << bad;
  }
  EXPECT_THROW(source.SetTabStops("4,x"), EConvertError);
  source.SetTabStops("");
  EXPECT_EQ(source.TabStops(), "4,8,12");
  EXPECT_EQ(source.TabStopColumn(4), 20);
  source.SetTabStops("9,17,1000");
  EXPECT_EQ(source.TabStopColumn(3), 1983);
}

TEST(MemoTabs, CaretCommandsPassTabsInOneStepWithTheOptions) {
  struct Row {
    TStringsOption option;
    std::function<void(TMemoSource&)> act;
    std::int32_t from, to;
  };
  const Row rows[] = {
      {soCursorOnTabs, [](TMemoSource& s) { s.CharRight(); }, 1, 9},
      {soCursorOnTabs, [](TMemoSource& s) { s.CharLeft(); }, 9, 1},
      {soCursorOnTabs, [](TMemoSource& s) { s.CharLeft(); }, 5, 1},
      {soRetainColumn, [](TMemoSource& s) { s.CharRight(); }, 1, 2},
      {soRetainColumn, [](TMemoSource& s) { s.CharLeft(); }, 9, 8},
      {soCursorAlwaysOnTabs, [](TMemoSource& s) { s.SetCaret(3, 0); }, 0, 1},
      {soCursorAlwaysOnTabs, [](TMemoSource& s) { s.SetCaret(5, 0); }, 0, 9},  // a tie goes to the end
      {soCursorAlwaysOnTabs, [](TMemoSource& s) { s.SetCaret(6, 0); }, 0, 9},
  };
  for (const Row& row : rows) {
    TMemoSource source(nullptr);
    LoadWithTabs(source, "9,17", "a\tb");
    SetOption(source, row.option, true);
    source.SetCaret(row.from, 0);
    row.act(source);
    EXPECT_EQ(source.CaretChar(), row.to) << row.option << " from " << row.from;
  }
}

TEST(MemoTabs, DisplayLineAndColourDataLineUpWithTheExpandedTabs) {
  TMemoSource source(nullptr);
  LoadWithTabs(source, "4", "a\t b");
  EXPECT_EQ(Utf32ToUtf8(source.GetDisplayLine(0, false, U'>', U'.')), "a    b");
  EXPECT_EQ(Utf32ToUtf8(source.GetDisplayLine(0, true, U'>', U'.')), "a>  .b");
  EXPECT_EQ(source.TabSpanAt(2, 0, false), 2);
  EXPECT_EQ(source.TabSpanAt(2, 0, true), 1);
  EXPECT_EQ(source.TabSpanAt(4, 0, false), 1);
}

TEST(MemoEdit, InsertingInsideATabGoesBeforeItAndUndoRemovesExactlyIt) {
  TMemoSource source(nullptr);
  LoadWithTabs(source, "9,17", "\tx");
  source.SetCaret(3, 0);
  Type(source, U"ab");
  EXPECT_EQ(Joined(source), "   ab\tx");
  EXPECT_EQ(Utf32ToUtf8(source.ExpandTabs(source.LineText(0))), "   ab    x");  // x stays at column 9
  EXPECT_EQ(source.Caret(), (TMemoPos{5, 0}));
  source.Undo();
  EXPECT_EQ(Joined(source), "\tx");
  EXPECT_EQ(source.Caret(), (TMemoPos{3, 0}));
  EXPECT_FALSE(source.Modified());
  source.Redo();
  EXPECT_EQ(Joined(source), "   ab\tx");
}

TEST(MemoEdit, DeletingInsideATabFirstTurnsTheCoveredPartIntoSpaces) {
  TMemoSource source(nullptr);
  LoadWithTabs(source, "9,17", "a\tx");
  source.SetCaret(4, 0);
  source.DeleteChars(1);
  EXPECT_EQ(Joined(source), "a   x");
  EXPECT_EQ(source.Caret(), (TMemoPos{4, 0}));
  source.Undo();
  EXPECT_EQ(Joined(source), "a\tx");
  EXPECT_EQ(source.Caret(), (TMemoPos{4, 0}));
  EXPECT_EQ(source.UndoList()->Count(), 1);  // the caret placement alone
}

TEST(MemoEdit, DeletingTheLastCharacterLeavesNoLinesAndUndoBringsItBack) {
  TMemoSource source(nullptr);
  LoadText(source, "x");
  source.DeleteChars(1);
  EXPECT_EQ(source.LineCount(), 0);
  source.Undo();
  EXPECT_EQ(Joined(source), "x");
  EXPECT_EQ(source.LineCount(), 1);
}

TEST(MemoEdit, TypingPastTheLineEndPadsAndLeavingALineTrimsItUnrecorded) {
  TMemoSource source(nullptr);
  LoadText(source, "ab\ncd");
  source.SetCaret(4, 0);
  Type(source, U"x ");
  EXPECT_EQ(Joined(source), "ab  x |cd");
  const std::int32_t records = source.UndoList()->Count();
  source.LineDown();
  EXPECT_EQ(Joined(source), "ab  x|cd");
  EXPECT_EQ(source.UndoList()->Count(), records + 1);  // only the caret move
  EXPECT_EQ(source.UndoList()->Last().Kind, ukCaretMoved);
}

TEST(MemoEdit, ATrailingTabIsTrimmedWithARecordSoUndoRestoresIt) {
  TMemoSource source(nullptr);
  LoadWithTabs(source, "9,17", "ab\ncd");
  SetOption(source, soGroupUndo, false);
  source.SetCaret(2, 0);
  source.InsertText(U"\tx");
  source.SetCaret(9, 0);
  source.DeleteChars(1);
  source.LineDown();  // leaves "ab\t": the tab goes
  EXPECT_EQ(Joined(source), "ab|cd");
  while (source.CanUndo()) source.Undo();
  EXPECT_EQ(Joined(source), "ab|cd");  // not "ab     x": the tab came back before the x did
}

TEST(MemoEdit, LineBreaksSplitAndJoinAndMoveBookmarksAndHiddenLines) {
  TMemoSource source(nullptr);
  LoadText(source, "abcd\nef\ngh");
  source.SetCaret(3, 0);
  source.SetBookmark(1);
  source.SetCaret(0, 2);
  source.SetBookmark(2);
  source.HiddenLines()->Hide(2);
  source.SetCaret(2, 0);
  source.InsertLineBreak();
  EXPECT_EQ(Joined(source), "ab|cd|ef|gh");
  std::int32_t c = 0, l = 0;
  EXPECT_TRUE(source.GetBookmark(1, c, l));
  EXPECT_EQ((TMemoPos{c, l}), (TMemoPos{1, 1}));
  EXPECT_TRUE(source.GetBookmark(2, c, l));
  EXPECT_EQ((TMemoPos{c, l}), (TMemoPos{0, 3}));
  EXPECT_FALSE(source.IsLineVisible(3));
  source.DeleteLineBreak();
  EXPECT_EQ(Joined(source), "abcd|ef|gh");
  EXPECT_TRUE(source.GetBookmark(1, c, l));
  EXPECT_EQ((TMemoPos{c, l}), (TMemoPos{3, 0}));
  EXPECT_FALSE(source.IsLineVisible(2));
}

TEST(MemoEdit, KeptColoursFollowTypingDeletionAndUndo) {
  TKeepingParser parser(nullptr);
  TMemoSource source(nullptr);
  LoadText(source, "ab");
  source.SetSyntaxParser(&parser);
  source.LineItem(0)->ColorData = std::string("\x03\x0c", 2);  // b is part of a link
  EXPECT_EQ(source.AttributeAt(2, 0), 3);                      // the link byte is skipped
  EXPECT_EQ(source.AttributeAt(0, 0), 3);
  source.SetCaret(2, 0);
  Type(source, U"x");
  EXPECT_EQ(source.LineColorData(0), std::string("\x03\x0c\x03", 3));
  source.InsertTextWithColor(U"yz", std::string("\x05", 1));  // padded with zero bytes
  EXPECT_EQ(source.LineColorData(0), std::string("\x03\x0c\x03\x05\x00", 5));
  source.SetCaret(0, 0);
  source.DeleteChars(2);
  EXPECT_EQ(source.LineColorData(0), std::string("\x03\x05\x00", 3));
  source.Undo();
  EXPECT_EQ(Joined(source), "abxyz");
  EXPECT_EQ(source.LineColorData(0), std::string("\x03\x0c\x03\x05\x00", 5));
  source.SetCaret(3, 0);
  source.InsertLineBreak();  // typing at the new line's start goes on in the colour at the break
  source.SetCaret(0, 1);
  Type(source, U"w");
  EXPECT_EQ(Joined(source), "abx|wyz");
  EXPECT_EQ(source.LineColorData(1), std::string("\x05\x05\x00", 3));
}

// ---- Undo ----

TEST(MemoUndo, OneUndoRevertsAnUpdateOrARunOfTheSameCodeOrABlock) {
  struct Row {
    const char* name;
    bool group;
    bool typedBefore;  // else a caret move comes before: a record of another code
    std::function<void(TMemoSource&)> act;
    const char* text;
    TMemoPos caret;
  };
  const Row rows[] = {
      {"typing, grouped", true, false, [](TMemoSource& s) { Type(s, U"abc"); }, "x", {1, 0}},
      {"typing", false, false, [](TMemoSource& s) { Type(s, U"abc"); }, "xab", {3, 0}},
      {"caret moves, grouped",
       true,
       true,
       [](TMemoSource& s) {
         for (int i = 0; i < 3; ++i) s.CharRight();
       },
       "yx",
       {1, 0}},
      {"caret moves",
       false,
       true,
       [](TMemoSource& s) {
         for (int i = 0; i < 3; ++i) s.CharRight();
       },
       "yx",
       {3, 0}},
      {"block across codes",
       false,
       false,
       [](TMemoSource& s) {
         s.BeginUndoBlock();
         Type(s, U"a");
         s.MoveCaret(0, -1);
         s.InsertLineBreak();
         s.EndUndoBlock();
       },
       "x",
       {1, 0}},
  };
  for (const Row& row : rows) {
    TMemoSource source(nullptr);
    LoadText(source, "x");
    SetOption(source, soGroupUndo, row.group);
    if (row.typedBefore)
      Type(source, U"y");
    else
      source.SetCaret(1, 0);
    row.act(source);
    source.Undo();
    EXPECT_EQ(Joined(source), row.text) << row.name;
    EXPECT_EQ(source.Caret(), row.caret) << row.name;
  }
}

TEST(MemoUndo, RedoReplaysAndACaretMoveClearsIt) {
  TMemoSource source(nullptr);
  LoadText(source, "x");
  Type(source, U"ab");
  source.Undo();
  EXPECT_EQ(Joined(source), "x");
  source.Redo();
  EXPECT_EQ(Joined(source), "abx");
  source.Undo();
  ASSERT_TRUE(source.RedoList()->Count() > 0);
  source.CharRight();
  EXPECT_EQ(source.RedoList()->Count(), 0);
  source.Redo();
  EXPECT_EQ(Joined(source), "x");
}

TEST(MemoUndo, TheSavePointDecidesModified) {
  TMemoSource source(nullptr);
  LoadText(source, "");
  SetOption(source, soGroupUndo, false);
  Type(source, U"x");
  source.SetModified(false);
  Type(source, U"y");
  EXPECT_TRUE(source.Modified());
  source.Undo();
  EXPECT_FALSE(source.Modified());
  source.Undo();
  EXPECT_TRUE(source.Modified());
  source.Redo();
  EXPECT_TRUE(source.Modified());  // stays until the next save
  source.SetCaret(0, 0);
  EXPECT_TRUE(source.Modified());
}

TEST(MemoUndo, TrimmingCutsOneHundredAndOneRecordsButNeverInsideABlock) {
  const struct {
    bool block;
    std::int32_t left;
  } rows[] = {{false, 11}, {true, 17}};
  for (const auto& row : rows) {
    TMemoSource source(nullptr);
    LoadText(source, "abcdef");
    source.SetUndoLimit(10);
    auto moves = [&](int N) {
      for (int i = 0; i < N; ++i) source.SetCaret(source.CaretChar() == 0 ? 1 : 0, 0);
    };
    if (row.block) {
      moves(95);  // records 0..94
      source.BeginUndoBlock();
      moves(10);              // 95..104 inside the block
      source.EndUndoBlock();  // 105 closes it
      moves(5);
    } else {
      moves(111);
    }
    ASSERT_EQ(source.UndoList()->Count(), 111);
    moves(1);
    EXPECT_EQ(source.UndoList()->Count(), row.left) << row.block;
    EXPECT_EQ(source.UndoList()->Record(0).InUndoBlock, row.block);
  }
}

TEST(MemoUndo, ReadOnlyStoresAndStoresWithoutUndoUndoNothing) {
  TMemoSource source(nullptr);
  LoadText(source, "x");
  Type(source, U"a");
  source.SetReadOnly(true);
  source.Undo();
  EXPECT_EQ(Joined(source), "ax");
  source.SetReadOnly(false);
  source.SetAllowUndo(false);
  EXPECT_FALSE(source.CanUndo());
  Type(source, U"b");
  EXPECT_FALSE(source.CanUndo());
}

}  // namespace
