// Text form of a component stream back to binary.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/classes/Filer_p.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Writer.h"
#include "platform/core/Codecs.h"
#include "platform/core/StrUtils.h"

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexDigit(char c) {
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
  [[noreturn]] void Fail(const std::string& What) { throw EReadError(Format("Line %d: %s", {line_, What})); }
  char Peek();
  void Expect(char c);
  std::string Ident();
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

char TTextParser::Peek() {
  while (pos_ < src_.size() && (src_[pos_] == ' ' || src_[pos_] == '\t' || src_[pos_] == '\r' || src_[pos_] == '\n')) {
    if (src_[pos_] == '\n') ++line_;
    ++pos_;
  }
  return pos_ < src_.size() ? src_[pos_] : '\0';
}

void TTextParser::Expect(char c) {
  if (Peek() != c) Fail(std::string("'") + c + "' expected");
  ++pos_;
}

std::string TTextParser::Ident() {
  if (!IsLetter(Peek())) Fail("Identifier expected");
  const std::size_t start = pos_;
  while (pos_ < src_.size() && (IsLetter(src_[pos_]) || IsDigit(src_[pos_]) || src_[pos_] == '.')) ++pos_;
  if (pos_ - start > 255) Fail("Identifier too long");
  return std::string(src_.substr(start, pos_ - start));
}

bool TTextParser::NextIsAssignment() { return Peek() == '='; }

void TTextParser::Root() {
  Object(Ident(), 0);
  if (Peek() != '\0') Fail("End of text expected");
}

void TTextParser::Object(const std::string& Keyword, int Depth) {
  if (Depth > kMaxFilerDepth) Fail(kTooDeepText);
  TFilerFlags flags;
  if (SameText(Keyword, "inherited"))
    flags.Include(ffInherited);
  else if (SameText(Keyword, "inline"))
    flags.Include(ffInline);
  else if (!SameText(Keyword, "object"))
    Fail("'object' expected");
  std::string name, className = Ident();
  if (Peek() == ':') {
    ++pos_;
    name = className;
    className = Ident();
  }
  std::int64_t position = 0;
  if (Peek() == '[') {
    ++pos_;
    flags.Include(ffChildPos);
    const std::size_t start = pos_;
    if (Peek() == '-') ++pos_;
    while (pos_ < src_.size() && IsDigit(src_[pos_]) && pos_ - start < 12) ++pos_;
    position = std::strtoll(std::string(src_.substr(start, pos_ - start)).c_str(), nullptr, 10);
    if (pos_ == start || position < INT32_MIN || position > INT32_MAX) Fail("Integer expected");
    Expect(']');
  }
  w_.WritePrefix(flags, static_cast<std::int32_t>(position));
  w_.WriteStr(className);
  w_.WriteStr(name);
  bool children = false;
  for (;;) {
    const std::string word = Ident();
    if (NextIsAssignment()) {
      if (children) Fail("Property after a child object");
      ++pos_;
      w_.WriteStr(word);
      Value(Depth + 1);
    } else if (SameText(word, "end")) {
      break;
    } else {
      if (!children) w_.WriteListEnd();
      children = true;
      Object(word, Depth + 1);
    }
  }
  if (!children) w_.WriteListEnd();
  w_.WriteListEnd();
}

void TTextParser::Value(int Depth) {
  if (Depth > kMaxFilerDepth) Fail(kTooDeepText);
  const char c = Peek();
  if (c == '(') {
    ++pos_;
    w_.WriteListBegin();
    while (Peek() != ')') {
      if (Peek() == '\0') Fail("')' expected");
      Value(Depth + 1);
    }
    ++pos_;
    w_.WriteListEnd();
  } else if (c == '[') {
    ++pos_;
    w_.WriteValue(vaSet);
    if (Peek() != ']') {
      for (;;) {
        w_.WriteStr(Ident());
        if (Peek() != ',') break;
        ++pos_;
      }
    }
    Expect(']');
    w_.WriteStr({});
  } else if (c == '{') {
    Binary();
  } else if (c == '<') {
    Collection(Depth);
  } else if (c == '\'' || c == '#') {
    String();
  } else if (IsDigit(c) || c == '-' || c == '$') {
    Number();
  } else if (IsLetter(c)) {
    w_.WriteIdent(Ident());
  } else {
    Fail(kInvalidPropertyValueText);
  }
}

void TTextParser::String() {
  std::string value;
  for (;;) {
    if (pos_ < src_.size() && src_[pos_] == '\'') {
      for (++pos_;; ++pos_) {
        if (pos_ >= src_.size() || src_[pos_] == '\n') Fail("Unterminated string");
        if (src_[pos_] == '\'') {
          if (pos_ + 1 < src_.size() && src_[pos_ + 1] == '\'') {
            value += '\'';
            ++pos_;
            continue;
          }
          ++pos_;
          break;
        }
        value += src_[pos_];
      }
    } else if (pos_ < src_.size() && src_[pos_] == '#') {
      ++pos_;
      std::uint32_t code = 0;
      const std::size_t start = pos_;
      while (pos_ < src_.size() && IsDigit(src_[pos_]) && pos_ - start < 8) code = code * 10 + (src_[pos_++] - '0');
      if (pos_ == start || code > 0x10FFFF) Fail("Invalid character code");
      value += Utf32ToUtf8(std::u32string(1, static_cast<char32_t>(code)));
    } else if (Peek() == '+') {
      ++pos_;
      if (Peek() != '\'' && Peek() != '#') Fail("String expected");
    } else {
      break;
    }
    if (value.size() > static_cast<std::size_t>(kMaxFilerLength)) Fail("String too long");
  }
  w_.WriteString(value);
}

void TTextParser::Number() {
  const std::size_t start = pos_;
  if (src_[pos_] == '$') {
    std::uint64_t value = 0;
    for (++pos_; pos_ < src_.size() && HexDigit(src_[pos_]) >= 0; ++pos_) {
      if (pos_ - start > 16) Fail("Number too large");
      value = value * 16 + static_cast<std::uint64_t>(HexDigit(src_[pos_]));
    }
    if (pos_ == start + 1) Fail("Hex digits expected");
    w_.WriteInteger(static_cast<std::int64_t>(value));
    return;
  }
  if (src_[pos_] == '-') ++pos_;
  bool real = false;
  while (pos_ < src_.size() && (IsDigit(src_[pos_]) || src_[pos_] == '.' || src_[pos_] == 'e' || src_[pos_] == 'E' ||
                                ((src_[pos_] == '-' || src_[pos_] == '+') && (src_[pos_ - 1] | 0x20) == 'e'))) {
    real = real || !IsDigit(src_[pos_]);
    if (pos_ - start > 64) Fail("Number too long");
    ++pos_;
  }
  const std::string text(src_.substr(start, pos_ - start));
  const char suffix = pos_ < src_.size() ? static_cast<char>(src_[pos_] | 0x20) : '\0';
  char* end = nullptr;
  errno = 0;
  if (suffix == 'c') {
    ++pos_;
    // Exact: whole units and up to four decimals.
    const auto dot = text.find('.');
    const std::string whole = text.substr(0, dot), fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    if (fraction.size() > 4 || text.find_first_of("eE") != std::string::npos) Fail("Invalid currency");
    const long long units = std::strtoll(whole.c_str(), &end, 10);
    if (errno || *end || whole.empty() || whole == "-") Fail("Invalid currency");
    if (fraction.find_first_not_of("0123456789") != std::string::npos) Fail("Invalid currency");
    long long decimals = 0;
    for (std::size_t i = 0; i < 4; ++i) decimals = decimals * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    if (text[0] == '-') decimals = -decimals;
    long long raw = 0;
    if (__builtin_mul_overflow(units, 10000LL, &raw) || __builtin_add_overflow(raw, decimals, &raw))
      Fail("Number too large");
    w_.WriteCurrency(Currency::FromRaw(raw));
  } else if (suffix == 's') {
    ++pos_;
    const float value = std::strtof(text.c_str(), &end);
    if (*end || !std::isfinite(value)) Fail("Invalid number");
    w_.WriteSingle(value);
  } else if (suffix == 'd') {
    ++pos_;
    const double value = std::strtod(text.c_str(), &end);
    if (*end || !std::isfinite(value)) Fail("Invalid number");
    w_.WriteDate(value);
  } else if (real) {
    const long double value = std::strtold(text.c_str(), &end);
    if (*end || !std::isfinite(value)) Fail("Invalid number");
    w_.WriteFloat(value);
  } else {
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (*end || errno || text.empty() || text == "-") Fail("Invalid number");
    w_.WriteInteger(value);
  }
  if (pos_ < src_.size() && (IsLetter(src_[pos_]) || IsDigit(src_[pos_]))) Fail("Invalid number");
}

void TTextParser::Binary() {
  ++pos_;
  std::string bytes;
  int high = -1;
  for (char c = Peek(); c != '}'; c = Peek()) {
    const int digit = HexDigit(c);
    if (digit < 0) Fail(kInvalidBinaryText);
    ++pos_;
    if (high < 0) {
      high = digit;
    } else {
      bytes += static_cast<char>(high * 16 + digit);
      high = -1;
    }
  }
  ++pos_;
  if (high >= 0) Fail(kInvalidBinaryText);
  w_.WriteValue(vaBinary);
  const auto size = static_cast<std::int32_t>(bytes.size());
  w_.Write(&size, 4);
  w_.Write(bytes.data(), size);
}

void TTextParser::Collection(int Depth) {
  ++pos_;
  w_.WriteValue(vaCollection);
  while (Peek() != '>') {
    if (!SameText(Ident(), "item")) Fail("'item' expected");
    if (Peek() == '[') {
      ++pos_;
      Number();
      Expect(']');
    }
    w_.WriteListBegin();
    for (std::string word = Ident(); !(SameText(word, "end") && !NextIsAssignment()); word = Ident()) {
      Expect('=');
      w_.WriteStr(word);
      Value(Depth + 1);
    }
    w_.WriteListEnd();
  }
  ++pos_;
  w_.WriteListEnd();
}

}  // namespace

void ObjectTextToBinary(TStream& Input, TStream& Output) {
  const std::int64_t size = Input.Remaining();
  if (size > kMaxFilerLength) throw EReadError(kInvalidImageText);
  std::string text(static_cast<std::size_t>(size), '\0');
  if (Input.Read(text.data(), size) != size) throw EReadError();
  TMemoryStream binary;
  TWriter writer(binary);
  writer.WriteSignature();
  TTextParser(text, writer).Root();
  Output.WriteBuffer(binary.Bytes().data(), binary.Size());
}
