// VBScript, Python, JavaScript and SQL.
#include "components/codeedit/parsers/LanguageParsers.h"
#include "components/codeedit/parsers/LanguageSets_p.h"
#include "components/codeedit/parsers/ParserWords_p.h"

using namespace ZRToken;

// ---- VBScript ----

TVBScriptParser::TVBScriptParser(TComponent* AOwner) : TStringsParser(AOwner) {
  using P = TVBScriptParser;
  SetVBScriptWords(ReservedWordList());
  int rem = 0;
  SpecialWordId = SortedWords().Find("REM", rem) ? rem : -1;
  InitTokenHandlers();
  AddHandler(DigitChars(), Handler(&P::ParseNumber));
  AddHandler(LetterChars(), Handler(&P::ParseVBIdentifier));
  AddHandler(ParserChars("\""), Handler(&P::ParseQuotedString, U'"'));
  AddHandler(ParserChars("'"), Handler(&P::ParseLineComment));
  AddHandler(ParserChars("&"), Handler(&P::ParseVBHex));
}

// "Rem" and the rest of its line are one comment.
std::int32_t TVBScriptParser::ParseVBIdentifier(char32_t) {
  const std::int32_t kind = ParseIdentifier(0);
  if (kind == tkResWord && WordId == SpecialWordId) return ParseLineComment(0);
  return kind;
}

std::int32_t TVBScriptParser::ParseVBHex(char32_t) {
  Step();
  if (*pos_ != U'H' && *pos_ != U'h') return tkDelimiter;
  Step();
  SkipWhile(DigitChars() | ParserCharRange('A', 'F') | ParserCharRange('a', 'f'));
  return tkInteger;
}

// ---- Python ----

TPythonParser::TPythonParser(TComponent* AOwner) : TStringsParser(AOwner) {
  using P = TPythonParser;
  SetPythonWords(ReservedWordList());
  InitTokenHandlers();
  AddHandler(DigitChars(), Handler(&P::ParseNumber));
  AddHandler(LetterChars(), Handler(&P::ParseIdentifier));
  AddHandler(ParserChars("\""), Handler(&P::ParseDoubleQuote));
  AddHandler(ParserChars("'"), Handler(&P::ParseSingleQuote));
  AddHandler(ParserChars("#"), Handler(&P::ParseLineComment));
  AddStateHandler({8}, VisibleChars(), Handler(&P::ParseTripleBody, U'\''));
  AddStateHandler({9}, VisibleChars(), Handler(&P::ParseTripleBody, U'"'));
  AddStateHandler({8, 9}, LineBreakChars(), Handler(&P::ParseLineBreak));
}

std::int32_t TPythonParser::ParseDoubleQuote(char32_t) {
  if (pos_[1] == U'"' && pos_[2] == U'"') {
    pos_ += 3;
    return ParseTripleBody(U'"');
  }
  return ParseCString(0);
}

std::int32_t TPythonParser::ParseSingleQuote(char32_t) {
  if (pos_[1] == U'\'' && pos_[2] == U'\'') {
    pos_ += 3;
    return ParseTripleBody(U'\'');
  }
  return ParsePascalString(0);
}

// After the three opening quotes, or at a continuation line's first visible
// character: up to three closing quotes, or to the line's end (the state then
// carries the string on). The opening's third quote is never taken as the
// first closing one, so six quotes are an empty string and five leave it open.
std::int32_t TPythonParser::ParseTripleBody(char32_t Quote) {
  while (SkipTo(Quote)) {
    Step();
    if (pos_[0] == Quote && pos_[1] == Quote) {
      pos_ += 2;
      ScanState = 0;
      return tkString;
    }
  }
  ScanState = Quote == U'\'' ? 8 : 9;
  return tkString;
}

// ---- JavaScript ----

TJavaScriptParser::TJavaScriptParser(TComponent* AOwner) : TStringsParser(AOwner) {
  using P = TJavaScriptParser;
  SetCaseSensitive(true);
  SetJavaScriptWords(ReservedWordList());
  InitTokenHandlers();
  AddHandler(ParserChars("\"'"), Handler(&P::ParseCString));
  AddHandler(LetterChars(), Handler(&P::ParseIdentifier));
  AddHandler(ParserChars("/"), Handler(&P::ParseCSlash));
  AddStateHandler({2}, VisibleChars(), Handler(&P::ParseBlockCommentBody, U'/'));
  AddStateHandler({2}, LineBreakChars(), Handler(&P::ParseLineBreak));
  AddHandler(DigitChars(), Handler(&P::ParseNumber));
  AddHandler(ParserChars("0"), Handler(&P::ParseZeroPrefixed));
}

// ---- SQL ----

TSqlParser::TSqlParser(TComponent* AOwner) : TStringsParser(AOwner) {
  using P = TSqlParser;
  SetSqlWords(ReservedWordList());
  InitTokenHandlers();
  AddHandler(ParserChars("\""), Handler(&P::ParseQuotedString, U'"'));
  AddHandler(ParserChars("'"), Handler(&P::ParsePascalString));
  AddHandler(LetterChars(), Handler(&P::ParseIdentifier));
  AddHandler(DigitChars(), Handler(&P::ParseNumber));
  AddHandler(ParserChars("/"), Handler(&P::ParseCSlash));
  AddStateHandler({2}, VisibleChars(), Handler(&P::ParseBlockCommentBody, U'/'));
  AddHandler(ParserChars("-"), Handler(&P::ParseSqlDash));
  AddStateHandler({2}, LineBreakChars(), Handler(&P::ParseLineBreak));
}

std::int32_t TSqlParser::ParseSqlDash(char32_t) {
  Step();
  return *pos_ == U'-' ? ParseLineComment(0) : tkDelimiter;
}
