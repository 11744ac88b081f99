#include <gtest/gtest.h>

#include "components/codeedit/MemoSource.h"
#include "components/codeedit/MemoTesting.h"

namespace {

// Colour 1 for a string ("..."), 2 for a comment (from "//" to the line
// end), 0 elsewhere.
class TStringCommentParser : public TSimpleParser {
 public:
  using TSimpleParser::TSimpleParser;
  bool IsActive() override { return true; }
  std::int32_t ColorLine(const std::u32string& Line, std::int32_t State, std::string& Colors) override {
    bool inString = false, inComment = false;
    for (size_t i = 0; i < Line.size(); ++i) {
      if (!inString && Line[i] == U'/' && i + 1 < Line.size() && Line[i + 1] == U'/') inComment = true;
      const bool quote = !inComment && Line[i] == U'"';
      Colors[i] = inComment ? 2 : (inString || quote) ? 1 : 0;
      if (quote) inString = !inString;
    }
    return State;
  }
};

struct BracketRow {
  const char* name;
  const char* text;
  TMemoPos caret;
  TMemoPos expected;
};

const BracketRow kRows[] = {
    {"forward over a nested pair", "(a(b)c)", {0, 0}, {6, 0}},
    {"backward over a nested pair", "(a(b)c)", {6, 0}, {0, 0}},
    {"the inner pair", "(a(b)c)", {2, 0}, {4, 0}},
    {"all four kinds", "{[<x>]}", {1, 0}, {5, 0}},
    {"across lines", "{\n a[1]\n}", {0, 0}, {0, 2}},
    {"backward across lines", "{\n a[1]\n}", {0, 2}, {0, 0}},
    {"a bracket in a string is not counted", "f(\")\")", {1, 0}, {5, 0}},
    {"nor one in a comment", "(a // )\n)", {0, 0}, {0, 1}},
    {"a bracket in a comment is no bracket", "x // (\n)", {5, 0}, {5, 0}},
    {"no match: the caret stays", "((a)", {0, 0}, {0, 0}},
    {"not a bracket", "a(b)", {0, 0}, {0, 0}},
    {"tabs are shown expanded", "\t(\t)", {8, 0}, {16, 0}},
};

TEST(MemoBrackets, TheCaretGoesToTheMatchingBracket) {
  for (const BracketRow& row : kRows) {
    SCOPED_TRACE(row.name);
    TMemoSource source(nullptr);
    TStringCommentParser parser(nullptr);
    source.SetSyntaxParser(&parser);
    LoadWithTabs(source, "8", row.text);
    source.SetCaret(row.caret.Char, row.caret.Line);
    source.GotoMatchingBracket();
    EXPECT_EQ(source.Caret(), row.expected);
    source.SetSyntaxParser(nullptr);
  }
}

TEST(MemoBrackets, AOneCharacterSelectionNamesTheBracket) {
  TMemoSource source(nullptr);
  LoadText(source, "x(a)");
  SetOption(source, soPersistentBlocks, true);
  source.SetCaret(2, 0);
  source.SelectRange(stStream, {1, 0}, {2, 0});
  TRecorder recorder(source);
  source.GotoMatchingBracket();
  EXPECT_EQ(source.Caret(), (TMemoPos{3, 0}));
  ASSERT_EQ(recorder.notices.size(), 1u);
  EXPECT_EQ(recorder.notices[0].Code, ChangeCode::CaretMove);
  // BracketForward needs an opening bracket, BracketBackward a closing one.
  source.ClearSelection();
  source.BracketForward();
  EXPECT_EQ(source.Caret(), (TMemoPos{3, 0}));
  source.BracketBackward();
  EXPECT_EQ(source.Caret(), (TMemoPos{1, 0}));
}

}  // namespace
