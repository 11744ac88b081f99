#pragma once
// Character sets the language set-ups share.

#include "components/codeedit/parsers/ZRParser.h"

inline TParserCharSet LetterChars() { return ParserCharRange('A', 'Z') | ParserCharRange('a', 'z') | ParserChars("_"); }
inline TParserCharSet DigitChars() { return ParserCharRange('0', '9'); }
inline TParserCharSet IdentChars() { return LetterChars() | DigitChars(); }
inline TParserCharSet VisibleChars() { return ParserCharRange(33, 255); }
inline TParserCharSet LineBreakChars() { return ParserChars("\r\n"); }
