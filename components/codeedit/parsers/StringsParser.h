#pragma once
// A parser that walks the lines of a TStrings token by token, for code that
// reads source text (finding and renaming methods, reading RTF).
//
// It holds a UTF-32 copy of the current line, decoded with the codec's
// lossless mode as the text store decodes its lines, so both count the same
// columns. NextToken moves on across lines; with ReportLineEnds it reports
// tkEol at the end of each line that ends in state 0 (also the last line).
// Look-ahead saves and restores the scanner (PushState/PopState); a restore
// re-reads its line from Strings, so the saved offsets apply to the line's
// current text. Without Strings, NextToken, GotoLine and LoadLine raise
// "Strings are not specified".

#include <string>

#include "components/codeedit/parsers/ZRParser.h"

class TStringsParser : public TCustomZRParser {
  KESTOVA_CLASS(TStringsParser)
 public:
  explicit TStringsParser(TComponent* AOwner);

  TStrings* Strings() const { return strings_; }
  // Resets when Value differs from the current strings.
  void SetStrings(TStrings* Value);
  bool ReportLineEnds = false;

  // Line 0 from its start, state 0, no token.
  void Reset();
  bool IsEOF() const { return Token == ZRToken::tkEof; }
  bool IsResWord(std::int32_t Id) const { return Token == ZRToken::tkResWord && WordId == Id; }
  bool IsDelimiter(char32_t C) const;
  bool NextIsDelimiter(char32_t C);
  bool NextIsResWord(std::int32_t Id);
  // Moves on until the reserved word Id (the current token counts) or the
  // end of the text; false at the end of the text.
  bool SkipToResWord(std::int32_t Id);

  void GotoLine(std::int32_t N) override;
  void LoadLine() override;
  std::int32_t NextToken() override;

 private:
  void CheckStrings();

  TStrings* strings_ = nullptr;
  std::string lineBytes_;  // the line as Strings held it when it was loaded
  std::u32string line_;
};
