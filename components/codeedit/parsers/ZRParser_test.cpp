#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "components/base/zrsystem.h"
#include "components/codeedit/parsers/ParserTesting.h"
#include "platform/classes/TypInfo.h"
#include "platform/core/Exceptions.h"

using namespace ZRToken;

namespace {

class TListener : public TComponent {
 public:
  TListener() : TComponent(nullptr) {}
  void Heard(TComponent* Sender, void* List, std::int32_t Param) { heard.push_back(Param); }
  TNotifierMethod Method() { return TNotifierMethod::Of<&TListener::Heard>(*this); }
  std::vector<std::int32_t> heard;
};

// A parser with a word list of its own, that can be marked as loading.
class TWordParser : public TStringsParser {
 public:
  explicit TWordParser(std::initializer_list<const char*> Words) : TStringsParser(nullptr) {
    SetStringsFromArray(ReservedWordList(), Words);
    InitTokenHandlers();
    AddHandler(ParserCharRange('a', 'z') | ParserCharRange('A', 'Z'), Handler(&TWordParser::ParseIdentifier));
  }
  void StartLoading() { State().Include(csLoading); }
};

TEST(ZRParser, AnEmptyLineKeepsItsStartState) {
  struct Row {
    const char* lang;
    const char* opening;
    std::int32_t open;
  } rows[] = {{"Delphi", "{ x", 1},     {"Delphi", "(* x", 2},      {"JavaScript", "/* x", 2},
              {"HTML", "<!-- x", 2},    {"HTML", "<a", 3},          {"Python", "'''x", 8},
              {"Python", "\"\"\"x", 9}, {"Perl", "print <<E;", 11}, {"Delphi", "asm", 4}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.lang) + " " + row.opening);
    std::unique_ptr<TStringsParser> parser(CreateLanguageParser(row.lang, nullptr));
    std::int32_t end = -1;
    Colours(*parser, row.opening, 0, &end);
    ASSERT_EQ(end, row.open);
    std::string colours;
    EXPECT_EQ(parser->ColorLine(U"", end, colours), row.open);
    EXPECT_EQ(colours, "");
  }
  // The line after the empty one is still inside the comment.
  TDelphiParser delphi(nullptr);
  std::int32_t end = 0;
  Colours(delphi, "(* open", 0, &end);
  std::string none;
  end = delphi.ColorLine(U"", end, none);
  EXPECT_EQ(Colours(delphi, "x *) y", end, &end), "222203");
  EXPECT_EQ(end, 0);
}

TEST(ZRParser, PeekingConsumesNothing) {
  TStringList lines{"procedure Foo; { a", "comment } begin", "end"};
  TDelphiParser parser(nullptr);
  parser.SetStrings(&lines);
  struct Step {
    const char* before;  // the token to stand on
    const char* peek;
    const char* peekNonComment;
  } steps[] = {
      {"procedure", "Foo", "Foo"},
      {";", "{ a", "begin"},          // the peek ends a line inside a comment
      {"{ a", "comment }", "begin"},  // ScanState 1 survives the look-ahead
      {"begin", "end", "end"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.before);
    while (parser.GetTokenString() != step.before) ASSERT_NE(parser.NextToken(), tkEof);
    const std::int32_t token = parser.Token, state = parser.ScanState, line = parser.ScanLineIndex,
                       word = parser.WordId, tokenOffset = parser.TokenOffset(), sourceOffset = parser.SourceOffset();
    EXPECT_EQ(parser.PeekTokenString(), step.peek);
    EXPECT_EQ(parser.PeekNonCommentTokenString(), step.peekNonComment);
    EXPECT_EQ(parser.Token, token);
    EXPECT_EQ(parser.ScanState, state);
    EXPECT_EQ(parser.ScanLineIndex, line);
    EXPECT_EQ(parser.WordId, word);
    EXPECT_EQ(parser.TokenOffset(), tokenOffset);
    EXPECT_EQ(parser.SourceOffset(), sourceOffset);
    EXPECT_EQ(parser.GetTokenString(), step.before);
    EXPECT_EQ(parser.NextTokenString(), step.peek);  // and the next token is the one peeked
  }
}

TEST(ZRParser, RestoringReReadsTheLineAndAppliesTheOffsetsToItsCurrentText) {
  TStringList lines{"abc def ghi"};
  TDelphiParser parser(nullptr);
  parser.SetStrings(&lines);
  parser.NextToken();
  parser.PushState();
  EXPECT_EQ(parser.NextTokenString(), "def");
  lines.Put(0, "xyz uvw rst");
  EXPECT_EQ(parser.PopState(), tkIdentifier);
  EXPECT_EQ(parser.GetTokenString(), "xyz");
  EXPECT_EQ(parser.NextTokenString(), "uvw");
}

TEST(ZRParser, LineEndsAreReportedOnlyWhereTheStateIsZero) {
  TStringList lines{"a /* open", "still */ b", "", "c"};
  TJavaScriptParser parser(nullptr);
  parser.ReportLineEnds = true;
  parser.SetStrings(&lines);
  const std::vector<TScanned> expected = {
      {tkIdentifier, "a"},
      {tkComment, "/* open"},
      {tkComment, "still */"},
      {tkIdentifier, "b"},
      {tkEol, ""},
      {tkEol, ""},
      {tkIdentifier, "c"},
      {tkEol, ""},  // the last line ends too
  };
  EXPECT_EQ(Scan(parser), expected);
  EXPECT_EQ(parser.NextToken(), tkEof);  // and stays at the end

  parser.ReportLineEnds = false;
  parser.Reset();
  EXPECT_EQ(Scan(parser).size(), 5u);
}

TEST(ZRParser, ColourDataOfTheWrongLengthIsFittedToTheToken) {
  struct Row {
    const char* what;
    std::string answer;  // what the handler puts for the token "beta"
    const char* colours;
  } rows[] = {
      {"same length", std::string(4, '\7'), "333330777703333"},
      {"longer: cut", std::string(9, '\1'), "333330111103333"},
      {"shorter: the rest gets the kind", std::string(2, '\2'), "333330223303333"},
      {"emptied", std::string(), "333330333303333"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TWordParser parser({});
    std::vector<std::string> seen;
    parser.OnGetColorData = [&](TObject* Sender, std::int32_t Token, const std::string& Text, std::string& Data) {
      EXPECT_EQ(Sender, &parser);
      EXPECT_EQ(Data, std::string(Text.size(), static_cast<char>(Token)));  // filled with the kind
      seen.push_back(Text);
      if (Text == "beta") Data = row.answer;
    };
    EXPECT_EQ(Colours(parser, "alpha beta gamm", 0, nullptr), row.colours);
    EXPECT_EQ(seen, (std::vector<std::string>{"alpha", "beta", "gamm"}));
  }
}

TEST(ZRParser, CaseSensitivityDecidesWhetherAWordOfOtherCaseIsReserved) {
  TWordParser parser({" Begin ", "end", "BEGIN", "", "alpha"});
  // Trimmed, empty entries dropped, duplicates in other case dropped; ids
  // follow the sorted list.
  ASSERT_EQ(parser.SortedWords().GetCount(), 3);
  EXPECT_EQ(parser.SortedWords()[0], "alpha");
  EXPECT_EQ(parser.SortedWords()[2], "end");
  const std::int32_t beginId = 1;
  const std::string listed = parser.SortedWords()[beginId];  // the spelling kept
  struct Row {
    bool caseSensitive;
    const char* word;
    bool reserved;
    std::int32_t id;
  } rows[] = {
      {false, "bEgIn", true, beginId}, {false, "END", true, 2}, {false, "omega", false, -7},
      {true, "END", false, 2},         {true, "end", true, 2},  {true, listed.c_str(), true, beginId},
  };
  TListener listener;
  parser.AddNotifier(listener.Method());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.word);
    parser.SetCaseSensitive(row.caseSensitive);
    parser.WordId = -7;
    EXPECT_EQ(parser.IsReservedWord(row.word), row.reserved);
    EXPECT_EQ(parser.WordId, row.id);  // set even when the case does not match
  }
  EXPECT_EQ(listener.heard, (std::vector<std::int32_t>{0}));  // one change of CaseSensitive
}

TEST(ZRParser, WordHashWorksOnUnsigned32Bits) {
  const std::pair<const char*, std::uint32_t> rows[] = {{"", 255},
                                                        {"a", 65},
                                                        {"ab", 194},
                                                        {"AB", 194},
                                                        {"begin", 136},
                                                        {"stringresource", 243},
                                                        {"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", 200}};
  for (const auto& [word, bucket] : rows) EXPECT_EQ(TCustomZRParser::WordHash(word), bucket) << word;
}

TEST(ZRParser, ControlWordIdsComeFromTheSortedOrder) {
  const char* words[] = {"\\b",        "\\blue",      "\\cell",       "\\cf",  "\\colortbl", "\\deff",      "\\deflang",
                         "\\endash",   "\\f",         "\\fonttbl",    "\\fs",  "\\green",    "\\highlight", "\\i",
                         "\\line",     "\\lquote",    "\\nosupersub", "\\par", "\\pard",     "\\plain",     "\\pnf",
                         "\\pnlvlblt", "\\pnlvlbody", "\\pntext",     "\\qc",  "\\qr",       "\\red",       "\\row",
                         "\\rquote",   "\\rtf",       "\\strike",     "\\sub", "\\super",    "\\tab",       "\\trowd",
                         "\\u",        "\\ul",        "\\ulnone",     "\\v"};
  std::vector<const char*> shuffled(std::begin(words), std::end(words));
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(38));
  TWordParser parser({});
  parser.ReservedWordList().BeginUpdate();
  for (const char* word : shuffled) parser.ReservedWordList().Add(word);
  parser.ReservedWordList().EndUpdate();
  for (std::int32_t id = 0; id < 39; ++id) {
    EXPECT_TRUE(parser.IsReservedWord(words[id])) << words[id];
    EXPECT_EQ(parser.WordId, id) << words[id];
  }
}

TEST(ZRParser, WordListsWaitWhileLoadingAndAreBuiltInLoaded) {
  TWordParser parser({"one"});
  parser.StartLoading();
  SetStringsFromArray(parser.ReservedWordList(), {"two", "three"});
  EXPECT_EQ(parser.SortedWords().GetCount(), 1);
  EXPECT_TRUE(parser.IsReservedWord("one"));
  parser.Loaded();
  EXPECT_EQ(parser.SortedWords().GetCount(), 2);
  EXPECT_FALSE(parser.IsReservedWord("one"));
  EXPECT_TRUE(parser.IsReservedWord("TWO"));
}

TEST(ZRParser, SkipToResWordStopsAtACurrentMatch) {
  TStringList lines{"if x then begin y end; if z"};
  TDelphiParser parser(nullptr);
  parser.SetStrings(&lines);
  parser.IsReservedWord("if");
  const std::int32_t ifId = parser.WordId;
  parser.IsReservedWord("begin");
  const std::int32_t beginId = parser.WordId;
  parser.NextToken();
  ASSERT_TRUE(parser.IsResWord(ifId));
  EXPECT_TRUE(parser.SkipToResWord(ifId));  // the current token matches: no step
  EXPECT_EQ(parser.TokenOffset(), 0);
  EXPECT_TRUE(parser.SkipToResWord(beginId));
  EXPECT_EQ(parser.TokenOffset(), 10);
  EXPECT_TRUE(parser.NextIsDelimiter(U'y') == false && parser.GetTokenString() == "y");
  EXPECT_FALSE(parser.NextIsResWord(beginId));
  EXPECT_TRUE(parser.NextIsDelimiter(U';'));
  EXPECT_TRUE(parser.NextIsResWord(ifId));
  EXPECT_FALSE(parser.SkipToResWord(beginId));  // not found: the end of the text
  EXPECT_TRUE(parser.IsEOF());
}

TEST(ZRParser, ErrorsNameTheLineFirstThenTheColumn) {
  TStringList lines{"a", "b", "    cdef"};
  TDelphiParser parser(nullptr);
  parser.SetStrings(&lines);
  for (int i = 0; i < 3; ++i) parser.NextToken();
  try {
    parser.PopState();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Token list is empty at Line:3, Char:5. ");
  }
  TDelphiParser unbound(nullptr);
  for (auto call : {+[](TStringsParser& P) { P.NextToken(); }, +[](TStringsParser& P) { P.GotoLine(1); },
                    +[](TStringsParser& P) { P.LoadLine(); }}) {
    try {
      call(unbound);
      FAIL();
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Strings are not specified at Line:1, Char:1. ");
    }
  }
}

TEST(ZRParser, AStateWithoutATableRaisesTheListIndexError) {
  TJavaScriptParser parser(nullptr);
  std::string colours(1, '\0');
  EXPECT_EQ(parser.ColorLine(U"x", 1, colours), 1);  // below the highest registered state: an empty table
  try {
    parser.ColorLine(U"x", 3, colours);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (3)");
  }
}

TEST(ZRParser, TokenTextsAreUtf8AndColumnsCountCodePoints) {
  TStringList lines{"x := 'é€'; \xE9y zz"};
  TDelphiParser parser(nullptr);
  parser.SetStrings(&lines);
  const std::vector<TScanned> expected = {{tkIdentifier, "x"},         {tkDelimiter, ":"},  {tkDelimiter, "="},
                                          {ZRToken::tkString, "'é€'"}, {tkDelimiter, ";"},  {tkDelimiter, "\xE9"},
                                          {tkIdentifier, "y"},         {tkIdentifier, "zz"}};
  std::vector<TScanned> tokens;
  std::vector<TTokenPos> places;
  for (std::int32_t kind; (kind = parser.NextToken()) != tkEof;) {
    tokens.push_back({kind, parser.GetTokenString()});
    places.push_back(parser.GetTokenPos());
  }
  EXPECT_EQ(tokens, expected);
  EXPECT_EQ(places.back(), (TTokenPos{15, 1}));  // the byte that is not UTF-8 is one column
}

TEST(ZRParser, PublishedProperties) {
  for (TClass c : {TDelphiParser::StaticClass(), TVBScriptParser::StaticClass(), TJavaScriptParser::StaticClass(),
                   TPerlParser::StaticClass(), TSqlParser::StaticClass(), THTMLParser::StaticClass()})
    EXPECT_NE(GetPropInfo(c, "CaseSensitive"), nullptr);
  EXPECT_EQ(GetPropInfo(TPythonParser::StaticClass(), "CaseSensitive"), nullptr);
  EXPECT_NE(GetPropInfo(TPythonParser::StaticClass(), "OnGetColorData"), nullptr);
  EXPECT_NE(GetPropInfo(TPythonParser::StaticClass(), "Version"), nullptr);

  TPerlParser perl(nullptr);
  EXPECT_EQ(GetOrdProp(&perl, GetPropInfo(TPerlParser::StaticClass(), "CaseSensitive")), 1);
  SetOrdProp(&perl, GetPropInfo(TPerlParser::StaticClass(), "CaseSensitive"), 0);
  EXPECT_FALSE(perl.CaseSensitive());
}

}  // namespace

namespace {

TEST(ZRParser, GotoLineKeepsThePlaceOnlyWhileTheLineIsUnchanged) {
  TStringList lines{"alpha beta", "gamma"};
  TDelphiParser parser(nullptr);
  parser.SetStrings(&lines);
  parser.NextToken();
  parser.GotoLine(0);  // same line, same text: nothing happens
  EXPECT_EQ(parser.NextTokenString(), "beta");
  lines.Put(0, "delta beta");
  parser.GotoLine(0);  // the text changed: read again from its start
  EXPECT_EQ(parser.Token, tkNone);
  EXPECT_EQ(parser.NextTokenString(), "delta");
  parser.GotoLine(1);
  EXPECT_EQ(parser.NextTokenString(), "gamma");
  EXPECT_EQ(parser.GetTokenPos(), (TTokenPos{1, 2}));
}

}  // namespace
