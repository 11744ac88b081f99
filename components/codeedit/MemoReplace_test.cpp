#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "components/codeedit/MemoSearchTesting.h"
#include "platform/core/StrUtils.h"

namespace {

using ::testing::Each;
using ::testing::ElementsAre;

struct ReplaceAllRow {
  const char* text;
  const char* find;
  bool regex;
  const char* with;
  TSearchDirection direction;
  const char* result;  // lines joined by "|"
  int count;
};

// Replace All must end: patterns that match empty text, and replacements
// that hold what was searched for.
const ReplaceAllRow kReplaceAllRows[] = {
    {"baab", "a*", true, "X", sdForward, "XbXXbX", 4},
    {"baab", "a*", true, "X", sdBackward, "XbXXXb", 4},
    {"baab", "a*", true, "", sdForward, "bb", 4},
    {"baab", "a*", true, "", sdBackward, "bb", 4},
    {"a12b", "[0-9]*", true, "X", sdForward, "XaXXbX", 4},
    {"a12b", "[0-9]*", true, "X", sdBackward, "XaXXXb", 4},
    // An empty line matches no "a*"; an empty match steps one character on.
    {"ab\n\nba", "a*", true, "-", sdForward, "-b-||-b--", 5},
    {"ab\n\nba", "a*", true, "-", sdBackward, "--b||-b-", 4},
    {"aXa\naa", "a", false, "aa", sdForward, "aaXaa|aaaa", 4},
    {"aXa\naa", "a", false, "aa", sdBackward, "aaXaa|aaaa", 4},
    {"aXa", "a", true, "aa", sdForward, "aaXaa", 2},
    {"one two one", "one", false, "", sdForward, " two ", 2},
    {"x1 x2", "x", false, "xx", sdBackward, "xx1 xx2", 2},
};

TEST_F(MemoSearchTest, ReplaceAllEndsInBothDirections) {
  for (const ReplaceAllRow& row : kReplaceAllRows) {
    SCOPED_TRACE(std::string(row.find) + " -> " + row.with + (row.direction == sdForward ? " forward" : " backward"));
    LoadText(source, row.text);
    Setup(row.find, row.regex, row.direction, soEntireScope);
    SearchOptions().ReplaceWith = row.with;
    SearchOptions().ReplaceAll = true;
    source.ReplaceNext();
    EXPECT_EQ(Joined(source), row.result);
    EXPECT_EQ(source.ReplacedCount(), row.count);
    EXPECT_EQ(source.UpdateCount(), 0);
    EXPECT_TRUE(source.FoundRect().Empty());
    EXPECT_TRUE(Messages().empty());
    // The whole replacement is one update, so one undo takes it back.
    source.Undo();
    EXPECT_EQ(Joined(source), StringReplace(row.text, "\n", "|"));
  }
}

TEST_F(MemoSearchTest, AnsweringAllAtTheFirstOccurrenceReplacesTheRestWithoutAsking) {
  LoadText(source, "a a\na");
  Setup("a", false, sdForward, soEntireScope);
  SearchOptions().ReplaceWith = "b&";
  SearchOptions().PromptOnReplace = true;
  dialogs.AnswerMessage(mrAll);
  source.ReplaceNext();
  EXPECT_EQ(Joined(source), "b& b&|b&");
  EXPECT_EQ(source.ReplacedCount(), 3);
  EXPECT_THAT(Messages(), ElementsAre("Replace this occurence of 'a'?"));
  const auto& prompt = dialogs.Calls().front();
  EXPECT_EQ(prompt.type, TMsgDlgType::mtConfirmation);
  EXPECT_EQ(prompt.buttons,
            (TMsgDlgButtons{TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel, TMsgDlgBtn::mbAll}));
  EXPECT_FALSE(SearchOptions().PromptOnReplace);  // for later replaces too
  EXPECT_TRUE(SearchOptions().ReplaceAll);
  EXPECT_EQ(source.UpdateCount(), 0);
}

TEST_F(MemoSearchTest, PromptAnswersReplaceSkipOrStop) {
  LoadText(source, "a&a a a");
  Setup("a&a", false, sdForward, soEntireScope);
  SearchOptions().TextToFind = "a";
  SearchOptions().ReplaceWith = "b";
  SearchOptions().PromptOnReplace = true;
  SearchOptions().ReplaceAll = true;
  for (int answer : {mrNo, mrYes, mrYes, mrCancel}) dialogs.AnswerMessage(answer);
  source.ReplaceNext();
  EXPECT_EQ(Joined(source), "a&b b a");
  EXPECT_EQ(source.ReplacedCount(), 2);
  EXPECT_EQ(Messages().size(), 4u);
  EXPECT_TRUE(SearchOptions().PromptOnReplace);
  EXPECT_EQ(source.UpdateCount(), 0);
}

TEST_F(MemoSearchTest, ABackwardReplaceLeavesTheCaretAtEachReplacementsStart) {
  LoadText(source, "ab ab ab");
  source.SetCaret(8, 0);
  Setup("ab", false, sdBackward, soFromCursor);
  SearchOptions().ReplaceWith = "XYZ";
  std::vector<std::string> trace;
  source.ReplaceNext();
  trace.push_back(Joined(source) + "@" + std::to_string(source.CaretChar()));
  for (int i = 0; i < 3; ++i) {
    source.SearchAgain();
    trace.push_back(Joined(source) + "@" + std::to_string(source.CaretChar()));
  }
  EXPECT_THAT(trace, ElementsAre("ab ab XYZ@6", "ab XYZ XYZ@3", "XYZ XYZ XYZ@0", "XYZ XYZ XYZ@0"));
  EXPECT_THAT(Messages(), ElementsAre("Search string 'ab' not found"));
}

TEST_F(MemoSearchTest, AReplacementDeletesTheStoredCharactersItsColumnsCover) {
  // Stops 9,17 and a kept tab: the shown line is nine blanks, "foo bar".
  // The match covers the tab's last three blanks and "foo"; the blanks
  // before it stay, as spaces.
  LoadWithTabs(source, "9,17", "\tfoo bar");
  Setup("   foo", false, sdForward, soEntireScope);
  SearchOptions().ReplaceWith = "X";
  source.ReplaceNext();
  EXPECT_EQ(Joined(source), "      X bar");
  EXPECT_EQ(source.Caret(), (TMemoPos{7, 0}));
  // A tab that the match ends inside goes with it.
  LoadWithTabs(source, "4,8", "ab\tc");
  Setup("b ", false, sdForward, soEntireScope);
  SearchOptions().ReplaceWith = "Y";
  source.ReplaceNext();
  EXPECT_EQ(Joined(source), "aYc");
}

TEST_F(MemoSearchTest, AReadOnlyStoreIsNotSearchedForReplacing) {
  LoadText(source, "a");
  source.SetReadOnly(true);
  Setup("a", false, sdForward, soEntireScope);
  std::vector<std::int32_t> kinds;
  source.BeforeFindReplaceHook = [&](std::int32_t Kind) { kinds.push_back(Kind); };
  source.ReplaceNext();
  EXPECT_TRUE(kinds.empty());
  EXPECT_EQ(Joined(source), "a");
  source.SetReadOnly(false);
  source.ReplaceNext();
  EXPECT_THAT(kinds, ElementsAre(1, 0));
  EXPECT_EQ(Joined(source), "");
}

TEST_F(MemoSearchTest, AReplacementKeepsTheColourOfWhatItReplaces) {
  TKeepingParser parser(nullptr);
  LoadText(source, "x ab");
  source.SetSyntaxParser(&parser);
  source.LineItem(0)->ColorData = std::string("\x00\x00\x05\x05", 4);
  Setup("ab", false, sdForward, soEntireScope);
  SearchOptions().ReplaceWith = "XYZ";
  source.ReplaceNext();
  EXPECT_EQ(Joined(source), "x XYZ");
  EXPECT_EQ(source.LineItem(0)->ColorData, std::string("\x00\x00\x05\x05\x05", 5));
  EXPECT_EQ(source.ForcedAttribute, -1);
  source.SetSyntaxParser(nullptr);
}

}  // namespace
