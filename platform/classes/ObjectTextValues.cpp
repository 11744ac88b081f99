// The text form: numbers, binary data and collections.
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "platform/classes/ObjectText_p.h"
#include "platform/core/StrUtils.h"

namespace objecttext {

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
      if (!IsDigit(Peek()) && Peek() != '-') Fail("Integer expected");
      const std::size_t start = pos_;
      Number();
      if (src_.substr(start, pos_ - start).find_first_not_of("-0123456789") != std::string_view::npos)
        Fail("Integer expected");
      Expect(']');
    }
    w_.WriteListBegin();
    for (std::string word = Ident(true); !(SameText(word, "end") && !NextIsAssignment()); word = Ident(true)) {
      Expect('=');
      w_.WriteStr(word);
      Value(Depth + 1);
    }
    w_.WriteListEnd();
  }
  ++pos_;
  w_.WriteListEnd();
}

}  // namespace objecttext
