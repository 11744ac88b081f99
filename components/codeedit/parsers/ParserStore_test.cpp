// A language parser colouring a text store: lazily, and only as far as the
// states that lines hand on have changed.
#include <gtest/gtest.h>

#include "components/base/zrsystem.h"
#include "components/codeedit/MemoSource.h"
#include "components/codeedit/parsers/LanguageParsers.h"

namespace {

class TCountingParser : public TDelphiParser {
 public:
  using TDelphiParser::TDelphiParser;
  int Calls = 0;
  std::int32_t ColorLine(const std::u32string& Line, std::int32_t State, std::string& Colors) override {
    ++Calls;
    return TDelphiParser::ColorLine(Line, State, Colors);
  }
};

// 1,000 lines of statements; line 50 closes a brace comment, if one is open.
std::string Fixture() {
  std::string text;
  for (int i = 0; i < 1000; ++i)
    text += i == 50 ? "  Done := True; } Skip := 1;\n" : "  Total := Total + " + std::to_string(i) + ";\n";
  return text;
}

bool AllComment(const std::string& Colours) {
  return Colours.find_first_not_of(std::string(1, '\2') + std::string(1, '\0')) == std::string::npos;
}

TEST(ParserStore, RecoloursUntilTheStateSettlesAndRunsAheadOfTheAskedLine) {
  TMemoSource source(nullptr);
  source.Lines()->SetText(Fixture());
  TCountingParser parser(nullptr);
  source.SetSyntaxParser(&parser);
  struct Step {
    const char* what;
    int putLine;  // written through Lines first, or -1
    const char* text;
    int askLine;
    int calls;
  } steps[] = {
      {"the first screen and 100 lines ahead", -1, "", 0, 101},
      {"\"{\" in line 0: lines 0 to 50, where the comment closes", 0, "{", 0, 51},
      {"coloured and settled", -1, "", 80, 0},
      {"further down: from the first line not coloured to 100 ahead", -1, "", 300, 300},
      {"a comment that never closes: the window of 100 lines", 60, "{ open", 60, 101},
      {"lines beyond it coloured before are coloured again", -1, "", 350, 290},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.putLine >= 0) source.Lines()->Put(step.putLine, step.text);
    parser.Calls = 0;
    source.LineColorData(step.askLine);
    EXPECT_EQ(parser.Calls, step.calls);
  }
  EXPECT_TRUE(AllComment(source.LineColorData(10)));
  EXPECT_EQ(source.LineItem(50)->EndState, 0);
  EXPECT_EQ(source.LineItem(51)->StartState, 0);
  EXPECT_FALSE(AllComment(source.LineColorData(55)));
  EXPECT_TRUE(AllComment(source.LineColorData(350)));
  EXPECT_EQ(source.LineItem(350)->StartState, 1);
}

TEST(ParserStore, TheStoreColoursWithALanguageParser) {
  TMemoSource source(nullptr);
  source.Lines()->SetText("begin { a\nb } x\n\nend");
  TDelphiParser parser(nullptr);
  source.SetSyntaxParser(&parser);
  EXPECT_EQ(source.LineColorData(0), std::string("\6\6\6\6\6\0\2\2\2", 9));
  EXPECT_EQ(source.LineColorData(1), std::string("\2\2\2\0\3", 5));
  EXPECT_EQ(source.LineColorData(3), std::string(3, '\6'));
  // New words reach the store: it colours again.
  SetStringsFromArray(parser.ReservedWordList(), {"x"});
  EXPECT_EQ(source.LineColorData(1), std::string("\2\2\2\0\6", 5));
  EXPECT_EQ(source.LineColorData(0), std::string("\3\3\3\3\3\0\2\2\2", 9));
}

}  // namespace
