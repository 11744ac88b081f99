#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "components/base/BaseModules.h"
#include "components/base/ObjectParams.h"
#include "components/base/RegistrySettings.h"
#include "components/codeedit/CodeEditModules.h"
#include "components/codeedit/MemoSearchTesting.h"
#include "components/codeedit/MemoSourceOptions.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;

struct FindRow {
  const char* name;
  const char* text;
  TMemoPos caret;
  const char* find;
  bool regex;
  TSearchDirection direction;
  TSearchOrigin origin;
  int searches;       // FindNext, then SearchAgain
  const char* trace;  // the caret after each, "none" when nothing was found
};

const FindRow kFindRows[] = {
    {"forward never wraps", "ab\nx ab", {0, 0}, "ab", false, sdForward, soFromCursor, 3, "0:2 1:4 none"},
    {"backward never wraps", "ab\nx ab", {4, 1}, "ab", false, sdBackward, soFromCursor, 3, "1:2 0:0 none"},
    {"backward takes the text ending at the caret",
     "ab ab",
     {5, 0},
     "ab",
     false,
     sdBackward,
     soFromCursor,
     3,
     "0:3 0:0 none"},
    {"the entire scope starts at the top", "ab\nab", {1, 1}, "ab", false, sdForward, soEntireScope, 2, "0:2 1:2"},
    {"the entire scope starts at the bottom", "ab\nab", {0, 0}, "ab", false, sdBackward, soEntireScope, 2, "1:0 0:0"},
    {"case-insensitive by default", "xABCx", {0, 0}, "abc", false, sdForward, soFromCursor, 1, "0:4"},
    {"^ moves to the next line start each time",
     "ab\n\ncd",
     {0, 0},
     "^",
     true,
     sdForward,
     soFromCursor,
     3,
     "1:0 2:0 none"},
    {"^ from the top finds line 0", "ab\ncd", {1, 1}, "^", true, sdForward, soEntireScope, 2, "0:0 1:0"},
    {"$ moves to the next line end each time", "ab\nc", {0, 0}, "$", true, sdForward, soFromCursor, 3, "0:2 1:1 none"},
    {"$ backward moves up a line each time", "ab\ncd", {2, 1}, "$", true, sdBackward, soFromCursor, 2, "0:2 none"},
    {"^$ finds the empty line", "a\n\nb", {0, 0}, "^$", true, sdForward, soFromCursor, 2, "1:0 none"},
    {"an empty match steps on", "ab", {0, 0}, "x*", true, sdForward, soFromCursor, 3, "0:1 0:2 none"},
    {"a pattern match", "x abbc", {0, 0}, "ab*c", true, sdForward, soFromCursor, 1, "0:6"},
    {"tabs are searched as shown", "\tab", {0, 0}, "  ab", false, sdForward, soFromCursor, 1, "0:11"},
};

TEST_F(MemoSearchTest, FindsAlongTheTableOfSearches) {
  for (const FindRow& row : kFindRows) {
    SCOPED_TRACE(row.name);
    LoadWithTabs(source, "9,17", row.text);
    source.SetCaret(row.caret.Char, row.caret.Line);
    Setup(row.find, row.regex, row.direction, row.origin);
    EXPECT_EQ(Trace(row.searches), row.trace);
  }
}

TEST_F(MemoSearchTest, TheNotFoundReportDoublesAmpersandsAndGoesThroughTheHookFirst) {
  LoadText(source, "abc");
  Setup("x&y", false, sdForward, soEntireScope);
  source.FindNext();
  EXPECT_THAT(Messages(), ElementsAre("Search string 'x&&y' not found"));
  EXPECT_EQ(dialogs.Calls().back().type, TMsgDlgType::mtInformation);

  std::vector<std::string> heard;
  source.OnSearchException = [&](TObject*, const std::string& Message, bool& Handled) {
    heard.push_back(Message);
    Handled = true;
  };
  source.FindNext();
  EXPECT_THAT(heard, ElementsAre("Search string 'x&&y' not found"));
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(MemoSearchTest, ABadPatternIsReportedOnceAndCountsAsNotFound) {
  LoadText(source, "a**");
  Setup("a**", true, sdForward, soEntireScope);
  source.FindNext();
  EXPECT_THAT(Messages(), ElementsAre("a** is invalid mask at (3)"));
  // With the modeless window the report is handled without a box.
  SetUseModalDialogs(false);
  source.FindNext();
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(MemoSearchTest, WholeWordsAreSwitchedOffForATextWithADelimiter) {
  source.SetDelimeters(kDefaultMemoDelimiters);
  LoadText(source, "a.b xa.b concat cat");
  Setup("a.b", false, sdForward, soEntireScope);
  SearchOptions().WholeWordsOnly = true;
  EXPECT_EQ(Trace(2), "0:3 0:8");  // the second is inside a word
  EXPECT_FALSE(SearchOptions().WholeWordsOnly);
  Setup("cat", false, sdForward, soEntireScope);
  SearchOptions().WholeWordsOnly = true;
  EXPECT_EQ(Trace(1), "0:19");
  EXPECT_TRUE(SearchOptions().WholeWordsOnly);
}

TEST_F(MemoSearchTest, SearchAgainBeforeAnyFindDoesNothing) {
  LoadText(source, "ab ab");
  source.SearchAgain();  // nothing to find yet
  SearchOptions().TextToFind = "ab";
  SearchOptions().FirstSearch = true;  // as a find that never ran leaves it
  source.SearchAgain();
  EXPECT_EQ(source.Caret(), (TMemoPos{0, 0}));
  EXPECT_TRUE(dialogs.Calls().empty());
  EXPECT_TRUE(source.FoundRect().Empty());
}

TEST_F(MemoSearchTest, FoundTextIsShownAndWithTheOptionSelected) {
  LoadText(source, "xx ab");
  SetOption(source, soSelectFoundText, true);
  Setup("ab", false, sdForward, soEntireScope);
  std::vector<std::int32_t> kinds;
  source.BeforeFindReplaceHook = [&](std::int32_t Kind) { kinds.push_back(Kind); };
  TRecorder recorder(source);
  source.FindNext();
  EXPECT_EQ(source.FoundRect(), (TFoundRect{3, 0, 5, 1}));
  EXPECT_EQ(source.SelectionType(), stStream);
  EXPECT_EQ(source.SelectionStart(), (TMemoPos{3, 0}));
  EXPECT_EQ(source.SelectionEnd(), (TMemoPos{5, 0}));
  EXPECT_THAT(kinds, ElementsAre(0));
  ASSERT_EQ(recorder.notices.size(), 1u);
  EXPECT_EQ(recorder.notices[0].Code, ChangeCode::Find);
  EXPECT_TRUE(recorder.notices[0].State.Contains(ssFoundChanged));
}

TEST_F(MemoSearchTest, TheSelectedTextScopeSearchesInsideTheSelectionAndKeepsIt) {
  LoadText(source, "ab ab ab ab");
  source.SetCaret(2, 0);
  source.SelectRange(stStream, {2, 0}, {7, 0});
  Setup("ab", false, sdForward, soFromCursor);
  SearchOptions().Scope = ssSelectedText;
  EXPECT_EQ(Trace(2), "0:5 none");
  EXPECT_EQ(source.SelectionType(), stStream);
  EXPECT_EQ(source.SelectionEnd(), (TMemoPos{7, 0}));

  SetOption(source, soPersistentBlocks, true);
  source.SetCaret(9, 0);  // outside the selection
  EXPECT_THAT([&] { source.FindNext(); }, ThrowsMessage<Exception>(kCursorOutsideBlockText));
  source.ClearSelection();
  SearchOptions().Scope = ssSelectedText;
  EXPECT_THAT([&] { source.FindNext(); }, ThrowsMessage<Exception>(kInvalidBlockText));
  SetUseModalDialogs(false);  // handled by the modeless window
  SearchOptions().Scope = ssSelectedText;
  source.FindNext();
  EXPECT_EQ(source.UpdateCount(), 0);
}

TEST_F(MemoSearchTest, PreparingTakesTheWordAtTheCaretAndTheScope) {
  LoadText(source, "hello world");
  source.SetCaret(7, 0);
  source.PrepareSearchOptions();
  EXPECT_EQ(SearchOptions().TextToFind, "world");
  EXPECT_EQ(SearchOptions().Scope, ssGlobal);
  source.SetCaret(5, 0);
  source.SelectRange(stStream, {0, 0}, {5, 0});
  SetOption(source, soFindTextAtCursor, false);
  source.PrepareSearchOptions();
  EXPECT_EQ(SearchOptions().TextToFind, "world");
  EXPECT_EQ(SearchOptions().Scope, ssSelectedText);  // on the selection's edge
  source.ToggleCaseSensitiveSearch();
  source.ToggleRegExprSearch();
  EXPECT_TRUE(SearchOptions().CaseSensitive);
  EXPECT_TRUE(SearchOptions().RegularExpr);
}

TEST_F(MemoSearchTest, TheOptionsPersistAndTheModuleRegistersThemAfterTheStoreOptions) {
  TSearchOptions& options = SearchOptions();
  EXPECT_EQ(options.Origin, soEntireScope);
  EXPECT_FALSE(options.FirstSearch);
  options.TextToFind = "needle";
  options.Direction = sdBackward;
  FreeOptionExtList();  // saves
  FreeSharedRegistry();
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(std::string("\\") + SettingsRoot() + "\\SearchOptions", false));
  EXPECT_EQ(reg.ReadString("TextToFind"), "needle");
  EXPECT_EQ(SearchOptions().Direction, sdBackward);

  ModuleTable table;
  AddComponentBaseModules(table);
  AddCodeEditModules(table);
  table.StartUp();
  EXPECT_NE(FindObjectParamsExact(TSearchOptions::StaticClass(), {}, 0, {}), nullptr);
  EXPECT_NE(FindObjectParamsExact(TMemoSourceOptions::StaticClass(), {}, 0, {}), nullptr);
  table.ShutDown();
  EXPECT_EQ(FindObjectParamsExact(TSearchOptions::StaticClass(), {}, 0, {}), nullptr);
}

}  // namespace
