#include <gtest/gtest.h>

#include <functional>

#include "components/codeedit/MemoTesting.h"

namespace {

// ---- Positions, selection, bookmarks ----

TEST(MemoSelection, TypingAtEitherEndOfAStreamLeavesTheTextOutside) {
  TMemoSource source(nullptr);
  LoadText(source, "abcdef");
  SetOption(source, soPersistentBlocks, true);
  source.SelectRange(stStream, {1, 0}, {4, 0});
  source.SetCaret(1, 0);
  Type(source, U"X");
  source.SetCaret(5, 0);
  Type(source, U"Y");
  EXPECT_EQ(Joined(source), "aXbcdYef");
  EXPECT_EQ(source.SelectionStart(), (TMemoPos{2, 0}));
  EXPECT_EQ(source.SelectionEnd(), (TMemoPos{5, 0}));
  EXPECT_EQ(source.SelectionStrings()->Get(0), "bcd");
  TMemoPos* tracked = source.TrackPosition({6, 0});
  source.SetCaret(6, 0);
  Type(source, U"Z");
  EXPECT_EQ(*tracked, (TMemoPos{6, 0}));  // an insertion at a tracked copy lands after it
  source.SetCaret(0, 0);
  source.InsertLineBreak();
  EXPECT_EQ(*tracked, (TMemoPos{6, 1}));
  source.RestoreCaret(tracked);
  EXPECT_EQ(source.Caret(), (TMemoPos{6, 1}));
}

TEST(MemoSelection, ExtendSelectionStretchesFromTheCaretEdge) {
  TMemoSource source(nullptr);
  LoadText(source, "abcdef\nghijkl");
  source.SetCaret(2, 0);
  source.ExtendSelection(stStream, &TCustomMemoSource::CharRight);
  source.ExtendSelection(stStream, &TCustomMemoSource::CharRight);
  EXPECT_EQ(source.SelectionStrings()->Get(0), "cd");
  for (int i = 0; i < 3; ++i) source.ExtendSelection(stStream, &TCustomMemoSource::CharLeft);
  EXPECT_EQ(source.SelectionType(), stStream);  // emptied on the way, then started again leftwards
  EXPECT_EQ(source.SelectionStart(), (TMemoPos{1, 0}));
  EXPECT_EQ(source.SelectionEnd(), (TMemoPos{2, 0}));
  source.SetBlockOption(bkBlockSel);
  EXPECT_EQ(source.SelectionType(), stBlock);
  source.ClearSelection();
  source.ExtendSelection(stStream, &TCustomMemoSource::LineDown);
  EXPECT_EQ(source.SelectionType(), stBlock);
  EXPECT_EQ(source.SelectionEnd(), (TMemoPos{1, 1}));
  source.SetBlockOption(bkNone);
  EXPECT_FALSE(source.HasSelection());
  source.SelectAll();
  EXPECT_FALSE(source.HasSelection());
}

TEST(MemoSelection, BlockCornersStayWhenTextIsInserted) {
  TMemoSource source(nullptr);
  LoadText(source, "abcdef\nghijkl");
  SetOption(source, soPersistentBlocks, true);
  source.SelectRange(stBlock, {1, 0}, {3, 1});
  source.SetCaret(0, 1);
  Type(source, U"XX");
  source.InsertLineBreak();
  EXPECT_EQ(source.SelectionType(), stBlock);
  EXPECT_EQ(source.SelectionStart(), (TMemoPos{1, 0}));
  EXPECT_EQ(source.SelectionEnd(), (TMemoPos{3, 1}));
}

TEST(MemoSelection, SpanOnLineIncludesTheBlockEndColumnButNotTheStreamEnd) {
  TMemoSource source(nullptr);
  LoadText(source, "0\n1\n2\n3\n4");
  const struct {
    TSelectionType type;
    TMemoPos start, end;
    std::int32_t line, from, to;
  } rows[] = {
      {stStream, {2, 1}, {5, 3}, 0, 0, 0},       {stStream, {2, 1}, {5, 3}, 1, 2, kMaxInt},
      {stStream, {2, 1}, {5, 3}, 2, 0, kMaxInt}, {stStream, {2, 1}, {5, 3}, 3, 0, 5},
      {stStream, {2, 1}, {5, 3}, 4, 0, 0},       {stStream, {2, 1}, {5, 1}, 1, 2, 5},
      {stBlock, {2, 1}, {5, 3}, 2, 2, 6},        {stBlock, {2, 1}, {5, 3}, 4, 0, 0},
  };
  for (const auto& row : rows) {
    source.SetSelection(row.type, row.start, row.end);
    std::int32_t from = -1, to = -1;
    source.SelectionSpanOnLine(row.line, from, to);
    EXPECT_EQ(from, row.from) << row.type << " line " << row.line;
    EXPECT_EQ(to, row.to) << row.type << " line " << row.line;
    EXPECT_EQ(source.InSelection(row.to - 1, row.line), row.from < row.to);
  }
}

TEST(MemoSelection, FindWordBoundsInItsThreeModes) {
  TMemoSource source(nullptr);
  source.SetDelimeters("(),");
  const struct {
    const char* line;
    std::int32_t column;
    int mode;
    std::int32_t start, end;
  } rows[] = {
      {"  foo(bar)  baz", 3, 0, 3, 5},
      {"  foo(bar)  baz", 13, 0, 13, 15},
      {"  foo", 0, 0, 3, 5},
      {"foo  bar", 4, 0, 1, 3},  // the word left of the blanks
      {"foo bar", 0, 1, 1, 4},
      {"foo(bar", 0, 1, 1, 3},  // one following space only
      {"foo  ,bar", 0, 2, 1, 6},
      {"foo", 9, 0, 1, 3},
      {"", 0, 0, 0, 0},
      {"   ", 1, 0, 0, 0},
  };
  for (const auto& row : rows) {
    source.Lines()->SetTextStr(row.line);
    if (source.LineCount() == 0) source.Lines()->Add("");
    std::int32_t start = -1, end = -1;
    source.FindWordBounds(row.column, 0, row.mode, start, end);
    EXPECT_EQ((TMemoPos{start, end}), (TMemoPos{row.start, row.end})) << row.line << " @" << row.column;
  }
  source.Lines()->SetTextStr("  foo(bar)");
  EXPECT_EQ(Utf32ToUtf8(source.WordAt(7, 0)), "bar");
}

TEST(MemoSelection, DeleteSelectionTakesStreamsAcrossLinesAndBlocksWithTabs) {
  TMemoSource source(nullptr);
  LoadText(source, "abcd\nefgh\nijkl\nmnop");
  source.SetCaret(1, 3);
  source.SelectRange(stStream, {2, 0}, {1, 3});
  source.DeleteSelection();
  EXPECT_EQ(Joined(source), "abnop");
  EXPECT_EQ(source.Caret(), (TMemoPos{2, 0}));
  EXPECT_EQ(source.SelectionType(), stNone);
  source.Undo();
  EXPECT_EQ(Joined(source), "abcd|efgh|ijkl|mnop");

  TMemoSource tabs(nullptr);
  LoadWithTabs(tabs, "4,8", "a\tb\nxyzw");
  tabs.SelectRange(stBlock, {2, 0}, {4, 1});
  tabs.DeleteSelection();
  EXPECT_EQ(Joined(tabs), "a|xy");
  tabs.Undo();
  EXPECT_EQ(Joined(tabs), "a\tb|xyzw");
}

TEST(MemoSelection, SelectionStringsPadOneLineStreamsAndBlocks) {
  TMemoSource source(nullptr);
  LoadText(source, "abc\ngh\nijklm");
  source.SetSelection(stStream, {1, 0}, {6, 0});
  EXPECT_EQ(source.SelectionStrings()->Get(0), "bc   ");
  source.SetSelection(stBlock, {1, 0}, {4, 1});
  EXPECT_EQ(source.SelectionStrings()->GetCount(), 2);
  EXPECT_EQ(source.SelectionStrings()->Get(0), "bc  ");
  EXPECT_EQ(source.SelectionStrings()->Get(1), "h   ");
  source.SetSelection(stStream, {1, 0}, {2, 2});
  EXPECT_EQ(source.SelectionStrings()->Text(), "bc\ngh\nij\n");
}

TEST(MemoBookmarks, SettingAKeyTwiceKeepsOneAndGotoNotifiesEvenInPlace) {
  TMemoSource source(nullptr);
  LoadText(source, "a\nb\nc");
  source.SetBookmark(3);
  source.SetCaret(0, 2);
  source.SetBookmark(3);
  EXPECT_EQ(source.Bookmarks()->Count(), 1);
  std::int32_t c = 0, l = 0;
  ASSERT_TRUE(source.GetBookmark(3, c, l));
  EXPECT_EQ(l, 2);
  EXPECT_EQ(source.BookmarkOnLine(2), 3);
  EXPECT_EQ(source.BookmarkOnLine(0), 0);
  TRecorder recorder(source);
  source.GotoBookmark(3);
  ASSERT_EQ(recorder.notices.size(), 1u);
  EXPECT_TRUE(recorder.notices[0].State.Contains(ssCaretMoved));
  source.ToggleBookmark(3);
  EXPECT_FALSE(source.GetBookmark(3, c, l));
  EXPECT_EQ((TMemoPos{c, l}), (TMemoPos{-1, -1}));
}

}  // namespace
