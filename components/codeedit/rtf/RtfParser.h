#pragma once
// The RTF tokenizer: a table-driven scanner over one whole RTF text, decoded
// from Windows-1252 to one code point per character. Tokens: text runs,
// numbers, known control words (their id is the position in the sorted word
// list, so "\b" is 0 and "\v" is 38), group open with the text that follows
// the brace, group close, unknown control words and "\'hh" characters. A
// control word's numeric parameter is a number token of its own.

#include <cstdint>
#include <string>

#include "components/codeedit/parsers/ZRParser.h"

namespace RtfToken {
enum : std::int32_t {
  tkText = 1,
  tkInteger = 4,
  tkFloat = 5,
  tkControlWord = 6,  // ControlWordId holds its id
  tkGroupOpen = 20,   // GroupText holds the text after the brace
  tkGroupClose = 21,
  tkUnknownControl = 22,  // also a lone backslash; ControlWordId is -1
  tkHexChar = 23,         // SpecialChar holds the value
};
}  // namespace RtfToken

// Ids of the known control words.
namespace RtfWord {
enum : std::int32_t {
  b,
  blue,
  cell,
  cf,
  colortbl,
  deff,
  deflang,
  endash,
  f,
  fonttbl,
  fs,
  green,
  highlight,
  i,
  line,
  lquote,
  nosupersub,
  par,
  pard,
  plain,
  pnf,
  pnlvlblt,
  pnlvlbody,
  pntext,
  qc,
  qr,
  red,
  row,
  rquote,
  rtf,
  strike,
  sub,
  super,
  tab,
  trowd,
  u,
  ul,
  ulnone,
  v
};
}  // namespace RtfWord

class TZRRtfParser : public TCustomZRParser {
  KESTOVA_CLASS(TZRRtfParser)
 public:
  explicit TZRRtfParser(TComponent* AOwner);

  std::int32_t ControlWordId = -1;
  std::uint8_t SpecialChar = 0;
  std::string GroupText;

  // Points the scanner at Text, which must end in 0 and outlive the scan.
  void SetText(const char32_t* Text) { ResetSource(Text); }
  // Steps over a control word's numeric parameter at the scan position: a
  // "-" when a digit follows, then the digits.
  void SkipParameter();
  // The current token as a signed 32-bit number; false when it is no number
  // or does not fit.
  bool TokenNumber(std::int32_t& Value) const;
  // Steps over a parameter at the scan position as SkipParameter does and
  // reads it as a signed 32-bit number; false when there is none or it does
  // not fit. The parameter becomes the current token.
  bool TakeParameter(std::int32_t& Value);
  // The character at the scan position (0 at the end).
  char32_t Current() const { return Cur(); }
  void StepOver() { Step(); }
  // The position of the scan and of the token start, in characters from the
  // start of the text.
  const char32_t* ScanPosition() const { return pos_; }
  const char32_t* TokenStart() const { return tokenStart_; }
  void SetScanPosition(const char32_t* P) { pos_ = P; }

  // A saved scan, for looking ahead and going back. GroupText is not saved
  // (a mark is taken for every escape of a run, and a group text may be
  // long), so a caller that needs it after going back keeps a copy.
  struct TScanMark {
    const char32_t* Pos = nullptr;
    const char32_t* LineStart = nullptr;
    const char32_t* TokenStart = nullptr;
    std::int32_t Line = 0;
    std::int32_t Token = 0;
    std::int32_t ControlWordId = -1;
    std::uint8_t SpecialChar = 0;
  };
  TScanMark Mark() const;
  void Rewind(const TScanMark& M);

 private:
  std::int32_t ParseText(char32_t);
  std::int32_t ParseGroupOpen(char32_t);
  std::int32_t ParseGroupClose(char32_t);
  std::int32_t ParseControl(char32_t);
  void SkipTextRun();
};

// Hexadecimal digit value, or -1.
int RtfHexValue(char32_t C);
