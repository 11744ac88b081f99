#include <gtest/gtest.h>

#include "components/codeedit/MemoSource.h"
#include "components/codeedit/MemoTesting.h"
#include "platform/core/Streams.h"

namespace {

// A loaded store: not modified, nothing to redo.
void LoadLines(TCustomMemoSource& Source, int Count) {
  std::string text;
  for (int i = 0; i < Count; ++i) text += "line " + std::to_string(i) + "\n";
  TStringStream stream(text);
  Source.LoadFromStream(stream);
}

std::vector<int> Hidden(TCustomMemoSource& Source) {
  std::vector<int> lines;
  for (int i = 0; i < Source.HiddenLines()->Count(); ++i) lines.push_back(Source.HiddenLines()->Line(i));
  return lines;
}

TEST(MemoLineStates, FlagsAndStylesRepaintWithoutChangingTheText) {
  TMemoSource source(nullptr);
  LoadLines(source, 5);
  TRecorder recorder(source);
  EXPECT_TRUE(source.SetLineFlag(1, 3, kReadOnlyBit, true));
  EXPECT_FALSE(source.SetLineFlag(1, 3, kReadOnlyBit, true));  // already set
  EXPECT_FALSE(source.SetLineFlag(9, 9, kReadOnlyBit, true));  // no such line
  EXPECT_FALSE(source.SetLineFlag(1, 1, 8, true));             // no such bit
  EXPECT_TRUE(source.SetLineFlag(1, 1, 7, true));              // bits 5..7 can be set
  EXPECT_TRUE(source.IsLineReadOnly(1));
  EXPECT_FALSE(source.IsLineReadOnly(-1));
  source.SetLineStyle(2, 4);
  source.SetLineStyle(2, 4);
  source.RepaintLine(4);
  const std::vector<std::pair<TLineRange, std::int32_t>> expected = {
      {{1, 3}, ChangeCode::LineFlags},
      {{1, 1}, ChangeCode::LineFlags},
      {{2, 2}, ChangeCode::SetLineStyle},
      {{4, 4}, ChangeCode::RepaintLine},
  };
  ASSERT_EQ(recorder.notices.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(recorder.notices[i].Range, expected[i].first);
    EXPECT_EQ(recorder.notices[i].Code, expected[i].second);
    EXPECT_EQ(recorder.notices[i].State, TStoreState{ssSelectionChanged});
  }
  EXPECT_FALSE(source.Modified());
  EXPECT_EQ(source.LineStyle(2), 4);
  EXPECT_EQ(source.LineStyle(99), 0);
  source.LineItem(3)->GutterBits = 0x8001;
  EXPECT_TRUE(source.LineGutterBit(3, 15));
  EXPECT_FALSE(source.LineGutterBit(3, 1));
  EXPECT_FALSE(source.LineGutterBit(3, 16));
}

TEST(MemoLineStates, ATemporaryStyleLastsUntilTheNextUpdate) {
  TMemoSource source(nullptr);
  LoadLines(source, 3);
  source.SetLineStyle(1, 2);
  source.SetTempLineStyle(1, 9);
  EXPECT_EQ(source.LineStyle(1), 9);
  source.SetTempLineStyle(0, 5);  // the earlier one goes first
  EXPECT_EQ(source.LineStyle(1), 2);
  source.BeginUpdate(2);
  source.EndUpdate();
  EXPECT_EQ(source.LineStyle(0), 0);
}

TEST(MemoFolding, HiddenLinesMapBetweenRealAndVisibleNumbers) {
  TMemoSource source(nullptr);
  LoadLines(source, 10);
  for (int line : {3, 4, 7}) source.HiddenLines()->Hide(line);
  EXPECT_EQ(source.VisibleToRealLine(3), 5);
  EXPECT_EQ(source.RealToVisibleLine(5), 3);
  const std::pair<int, int> realToVisible[] = {{0, 0}, {2, 2}, {3, 2}, {4, 2}, {6, 4}, {7, 4}, {8, 5}, {9, 6}};
  for (auto [real, visible] : realToVisible) EXPECT_EQ(source.RealToVisibleLine(real), visible) << real;
  const std::pair<int, int> visibleToReal[] = {{0, 0}, {2, 2}, {3, 5}, {4, 6}, {5, 8}, {6, 9}};
  for (auto [visible, real] : visibleToReal) EXPECT_EQ(source.VisibleToRealLine(visible), real) << visible;
  EXPECT_FALSE(source.IsLineVisible(4));
  EXPECT_TRUE(source.IsLineVisible(5));
}

TEST(MemoFolding, CollapsingHidesTheMembersAndExpandingOpensNestedRegions) {
  // 0 header { 1 member, 2 nested header { 3 member, 4 member }, 5 member } 6 outside
  TMemoSource source(nullptr);
  LoadLines(source, 8);
  for (int line : {1, 2, 3, 4, 5}) source.SetLineFlag(line, line, kFoldMemberBit, true);
  source.SetFoldState(0, 1);
  source.SetFoldState(2, 0);
  EXPECT_EQ(Hidden(source), (std::vector<int>{3, 4, 5}));  // line 5 follows the nested region
  source.SetFoldState(2, 1);
  EXPECT_EQ(Hidden(source), (std::vector<int>{}));
  TRecorder recorder(source);
  source.SetFoldState(2, 0);
  source.SetFoldState(0, 0);
  EXPECT_EQ(Hidden(source), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(source.FoldState(0), 0);
  ASSERT_EQ(recorder.notices.size(), 2u);
  EXPECT_EQ(recorder.notices[1].Range, (TLineRange{0, kMaxInt}));
  EXPECT_EQ(recorder.notices[1].State, (TStoreState{ssLineCountChanged, ssSelectionChanged}));

  source.SetFoldState(0, 1);  // the nested collapsed header opens too
  EXPECT_EQ(Hidden(source), (std::vector<int>{}));
  EXPECT_EQ(source.FoldState(2), 1);
  source.SetFoldState(0, 2);
  EXPECT_EQ(source.FoldState(0), 2);
  EXPECT_EQ(source.FoldState(99), 2);
  EXPECT_FALSE(source.Modified());
}

TEST(MemoFolding, SetLineVisibleHidesOnlyBelowACollapsedOrHiddenLine) {
  TMemoSource source(nullptr);
  LoadLines(source, 6);
  source.SetFoldState(1, 0);
  source.SetLineVisible(2, false);  // below a collapsed header: hidden
  source.SetLineVisible(3, false);  // below a hidden line: hidden
  source.SetLineVisible(5, false);  // below a visible plain line: member only
  EXPECT_EQ(Hidden(source), (std::vector<int>{2, 3}));
  EXPECT_TRUE(source.LineItem(5)->LineFlags & lfFoldMember);
  source.SetLineVisible(2, true);
  EXPECT_EQ(Hidden(source), (std::vector<int>{3}));
  EXPECT_FALSE(source.LineItem(2)->LineFlags & lfFoldMember);
  source.SetLineVisible(0, false);  // nothing stands above line 0
  EXPECT_EQ(Hidden(source), (std::vector<int>{0, 3}));
  EXPECT_EQ(source.RealToVisibleLine(1), 0);
  EXPECT_EQ(source.VisibleToRealLine(0), 1);
}

}  // namespace
