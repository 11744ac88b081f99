// Text form of a component stream back to binary.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/classes/Filer_p.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/ObjectText_p.h"
#include "platform/classes/Writer.h"
#include "platform/core/Codecs.h"
#include "platform/core/StrUtils.h"

namespace objecttext {

void TTextParser::Fail(const std::string& What) { throw EReadError(Format("Line %d: %s", {line_, What})); }

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

std::string TTextParser::Ident(bool Dots) {
  if (!IsLetter(Peek())) Fail("Identifier expected");
  const std::size_t start = pos_;
  while (pos_ < src_.size() && (IsLetter(src_[pos_]) || IsDigit(src_[pos_]) ||
                                (Dots && src_[pos_] == '.' && pos_ + 1 < src_.size() && IsLetter(src_[pos_ + 1]))))
    pos_ += src_[pos_] == '.' ? 2 : 1;
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
  // A longer length byte would read as a prefix byte (0xF0 and up).
  if (className.size() >= 0xF0) Fail("Identifier too long");
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
    const std::string word = Ident(true);
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
    w_.WriteIdent(Ident(true));
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

}  // namespace objecttext

void ObjectTextToBinary(TStream& Input, TStream& Output) {
  const std::int64_t size = Input.Remaining();
  if (size > kMaxFilerLength) throw EReadError(kInvalidImageText);
  std::string text(static_cast<std::size_t>(size), '\0');
  if (Input.Read(text.data(), size) != size) throw EReadError();
  TMemoryStream binary;
  TWriter writer(binary);
  writer.WriteSignature();
  objecttext::TTextParser(text, writer).Root();
  Output.WriteBuffer(binary.Bytes().data(), binary.Size());
}
