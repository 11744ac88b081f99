// Language rules that the golden dumps of colourdump do not pin down.
#include <gtest/gtest.h>

#include <memory>

#include "components/codeedit/parsers/ParserTesting.h"

namespace {

TEST(LanguageParsers, WordListsAndCaseRules) {
  struct Row {
    const char* lang;
    int words;
    bool caseSensitive;
    const char* reservedInOtherCase;  // reserved exactly when case does not matter
  } rows[] = {{"Delphi", 105, false, "BEGIN"},   {"VBScript", 56, false, "dim"}, {"Python", 28, false, "Def"},
              {"JavaScript", 58, true, "While"}, {"Perl", 33, true, "Foreach"},  {"SQL", 152, false, "alter"},
              {"HTML", 0, false, nullptr}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.lang);
    std::unique_ptr<TStringsParser> parser(CreateLanguageParser(row.lang, nullptr));
    ASSERT_TRUE(parser);
    EXPECT_EQ(parser->SortedWords().GetCount(), row.words);
    EXPECT_EQ(parser->CaseSensitive(), row.caseSensitive);
    if (row.reservedInOtherCase) {
      EXPECT_EQ(parser->IsReservedWord(row.reservedInOtherCase), !row.caseSensitive);
    }
  }
  EXPECT_EQ(CreateLanguageParser("Cobol", nullptr), nullptr);
}

TEST(LanguageParsers, AssemblerBlocksEndAtAWholeWordEnd) {
  struct Row {
    const char* line;  // coloured inside an assembler block
    bool caseSensitive;
    const char* colours;
    std::int32_t end;
  } rows[] = {
      {"end", false, "666", 0},
      {"mov end;", false, "99906667", 0},
      {"1end", false, "9666", 0},
      {"END.", false, "6667", 0},
      {"END", true, "999", 4},
      {"Xend", false, "9999", 4},
      {"_end @end $end", false, "99990999909999", 4},
      {"endx end1", false, "999909999", 4},
      {"en", false, "99", 4},
      {"x{c}y", false, "92229", 4},
      {"x{c", false, "922", 5},
      {"x(*c", false, "9222", 7},
      {"x(y", false, "999", 4},
      {"(y", false, "99", 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    TDelphiParser parser(nullptr);
    parser.SetCaseSensitive(row.caseSensitive);
    std::int32_t end = -1;
    EXPECT_EQ(Colours(parser, row.line, 4, &end), row.colours);
    EXPECT_EQ(end, row.end);
  }
}

TEST(LanguageParsers, TheHereDocumentTerminatorIsHeldByTheParser) {
  TPerlParser parser(nullptr);
  std::int32_t end = -1;
  Colours(parser, "print <<END;", 0, &end);
  EXPECT_EQ(end, 11);
  EXPECT_EQ(parser.Terminator(), "END");
  Colours(parser, "print <<STOP;", 0, &end);  // another opening, coloured out of order
  EXPECT_EQ(parser.Terminator(), "STOP");
  EXPECT_EQ(Colours(parser, "END", 11, &end), "111");
  EXPECT_EQ(end, 11);  // matched against what the parser holds now
  EXPECT_EQ(Colours(parser, "STOP", 11, &end), "1111");
  EXPECT_EQ(end, 0);
  EXPECT_EQ(parser.Terminator(), "");
  // With no terminator held, a here-document line never ends.
  EXPECT_EQ(Colours(parser, "STOP x", 11, &end), "111111");
  EXPECT_EQ(end, 11);
}

TEST(LanguageParsers, RemStartsACommentOnlyAsAReservedWord) {
  TVBScriptParser parser(nullptr);
  parser.IsReservedWord("Rem");
  EXPECT_EQ(parser.SpecialWordId, parser.WordId);
  EXPECT_EQ(parser.SortedWords()[parser.SpecialWordId], "Rem");
  struct Row {
    bool caseSensitive;
    const char* line;
    const char* colours;
  } rows[] = {
      {false, "REM x", "22222"}, {false, "Remark x", "33333303"}, {true, "Rem x", "22222"}, {true, "rem x", "33303"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    parser.SetCaseSensitive(row.caseSensitive);
    EXPECT_EQ(Colours(parser, row.line, 0, nullptr), row.colours);
  }
}

TEST(LanguageParsers, SharedHandlersOnTheirEdgeCases) {
  struct Row {
    const char* lang;
    const char* line;
    const char* colours;
    std::int32_t end;
  } rows[] = {
      {"JavaScript", "\"a\\\\\" x", "1111103", 0},  // two backslashes: the quote ends the string
      {"JavaScript", "'a\\'b' x", "11111103", 0},   // one backslash: the quote is escaped
      {"JavaScript", "\"open", "11111", 0},         // an unterminated string ends with its line
      {"JavaScript", "2e10 3E 1.5 1.", "55550550555047", 0},
      {"Delphi", "'it''s' x", "111111103", 0},
      {"Delphi", "(*a*)b", "222223", 0},
      {"Delphi", "{}", "22", 0},
      {"Python", "''''''x", "1111113", 0},  // six quotes are an empty string
      {"Python", "\"\"\"\"\"\" + x", "1111110703", 0},
      {"Python", "'''''", "11111", 8},  // five leave it open
      {"HTML", "<!-->x", "222223", 0},
      {"SQL", "a-b--c", "373222", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.lang) + ": " + row.line);
    std::unique_ptr<TStringsParser> parser(CreateLanguageParser(row.lang, nullptr));
    std::int32_t end = -1;
    EXPECT_EQ(Colours(*parser, row.line, 0, &end), row.colours);
    EXPECT_EQ(end, row.end);
  }
}

TEST(LanguageParsers, CodePointsAbove255BehaveAs255) {
  // Printable inside strings and comments, a delimiter between tokens, and
  // the end of an identifier.
  TDelphiParser parser(nullptr);
  EXPECT_EQ(Colours(parser,
                    "a\xCE\xBB"
                    "b '\xE2\x82\xAC' {\xF0\x9F\x98\x80}",
                    0, nullptr),
            "37301110222");
  std::string colours(1, '\0');
  EXPECT_EQ(parser.ColorLine(std::u32string(1, char32_t(0x10FFFF)), 0, colours), 0);
  EXPECT_EQ(colours, std::string(1, '\7'));
}

}  // namespace
