#pragma once
// The parsers of the seven languages the code editor colours and the code
// designers read. Each differs from TStringsParser only in its reserved words,
// its case rule and the handlers it registers; later registrations replace
// earlier ones for the same state and character.
//
// States a line may hand to the next (0 is between tokens in every
// language): 1 a brace comment (Delphi); 2 a block comment (Delphi,
// JavaScript, SQL, HTML); 3 inside an HTML tag; 4 an assembler block, 5 a
// brace comment in it, 6 a double-slash comment beginning in it, 7 a
// parenthesis-star comment in it (Delphi); 8 and 9 triple-quoted strings of
// single and double quotes (Python); 11 a here-document (Perl).

#include <string>

#include "components/codeedit/parsers/StringsParser.h"

class TDelphiParser : public TStringsParser {
  KESTOVA_CLASS(TDelphiParser)
 public:
  explicit TDelphiParser(TComponent* AOwner);

 private:
  std::int32_t ParseDelphiIdentifier(char32_t);
  std::int32_t ParseAsmText(char32_t);
  std::int32_t ParseAsmSlash(char32_t);
  std::int32_t ParseAsmBrace(char32_t);
  std::int32_t ParseAsmParen(char32_t);
  std::int32_t ParseAsmCommentBody(char32_t);
  bool AsmEndAtScan() const;
};

class TVBScriptParser : public TStringsParser {
  KESTOVA_CLASS(TVBScriptParser)
 public:
  explicit TVBScriptParser(TComponent* AOwner);

 private:
  std::int32_t ParseVBIdentifier(char32_t);
  std::int32_t ParseVBHex(char32_t);
};

class TPythonParser : public TStringsParser {
  KESTOVA_CLASS(TPythonParser)
 public:
  explicit TPythonParser(TComponent* AOwner);

 private:
  std::int32_t ParseDoubleQuote(char32_t);
  std::int32_t ParseSingleQuote(char32_t);
  std::int32_t ParseTripleBody(char32_t Quote);
};

class TJavaScriptParser : public TStringsParser {
  KESTOVA_CLASS(TJavaScriptParser)
 public:
  explicit TJavaScriptParser(TComponent* AOwner);
};

class TSqlParser : public TStringsParser {
  KESTOVA_CLASS(TSqlParser)
 public:
  explicit TSqlParser(TComponent* AOwner);

 private:
  std::int32_t ParseSqlDash(char32_t);
};

class TPerlParser : public TStringsParser {
  KESTOVA_CLASS(TPerlParser)
 public:
  explicit TPerlParser(TComponent* AOwner);

  // The word that ends the here-document being read (empty outside one) and
  // the characters that may form it. Held here, not in the state number: a
  // line coloured in state 11 is matched against what the parser holds now.
  std::string Terminator() const;

 private:
  std::int32_t ParsePerlString(char32_t Quote);
  std::int32_t ParsePerlHash(char32_t);
  std::int32_t ParsePerlIdentifier(char32_t);
  std::int32_t ParseHereDocStart(char32_t);
  std::int32_t ParseHereDocBody(char32_t);

  std::u32string terminator_;
  TParserCharSet terminatorChars_;
};

class THTMLParser : public TStringsParser {
  KESTOVA_CLASS(THTMLParser)
 public:
  explicit THTMLParser(TComponent* AOwner);

 private:
  std::int32_t ParseAttributeName(char32_t);
  std::int32_t ParseTagStart(char32_t);
  std::int32_t ParseTagEnd(char32_t);
  std::int32_t ParseHtmlComment(char32_t);
};

// The language parser classes by name ("Delphi", "VBScript", "Python",
// "JavaScript", "Perl", "SQL", "HTML"; any case), or nullptr.
TStringsParser* CreateLanguageParser(const std::string& Name, TComponent* AOwner);
