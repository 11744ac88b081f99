#pragma once
// The parser of the text form (ObjectText.h), shared by its two files.

#include <string>
#include <string_view>

#include "platform/classes/Writer.h"

namespace objecttext {

inline bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline int HexDigit(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

class TTextParser {
 public:
  TTextParser(std::string_view Text, TWriter& Writer) : src_(Text), w_(Writer) {}
  void Root();

 private:
  // Raises EReadError "Line n: What".
  [[noreturn]] void Fail(const std::string& What);
  char Peek();
  void Expect(char c);
  // An identifier; with Dots a dotted path ("Part.Width").
  std::string Ident(bool Dots = false);
  bool NextIsAssignment();
  void Object(const std::string& Keyword, int Depth);
  void Value(int Depth);
  void String();
  void Number();
  void Binary();
  void Collection(int Depth);

  std::string_view src_;
  std::size_t pos_ = 0;
  int line_ = 1;
  TWriter& w_;
};

}  // namespace objecttext
