#pragma once
// Test helpers of the token parsers: colouring a line as digits and walking a
// text token by token.

#include <string>
#include <vector>

#include "components/codeedit/parsers/LanguageParsers.h"
#include "platform/core/Codecs.h"

// Colours Line (UTF-8) starting in State as the store does; answers the
// colours as digits and letters ("0".."9", "a"=10 ...) and sets End.
inline std::string Colours(TCustomZRParser& Parser, const std::string& Line, std::int32_t State, std::int32_t* End) {
  const std::u32string text = Utf8ToUtf32Lossless(Line);
  std::string colours;
  Parser.GetColorData(0, text, colours);
  const std::int32_t end = Parser.ColorLine(text, State, colours);
  if (End) *End = end;
  for (char& c : colours) c = c < 10 ? static_cast<char>('0' + c) : static_cast<char>('a' + c - 10);
  return colours;
}

struct TScanned {
  std::int32_t Kind;
  std::string Text;
  friend bool operator==(const TScanned&, const TScanned&) = default;
};
inline void PrintTo(const TScanned& T, std::ostream* Out) { *Out << "{" << T.Kind << ", \"" << T.Text << "\"}"; }

// Every token NextToken gives up to the end of the text (kind 0 excluded).
inline std::vector<TScanned> Scan(TStringsParser& Parser) {
  std::vector<TScanned> tokens;
  for (std::int32_t kind; (kind = Parser.NextToken()) != ZRToken::tkEof;)
    tokens.push_back({kind, Parser.GetTokenString()});
  return tokens;
}
