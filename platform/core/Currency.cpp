#include "platform/core/Currency.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat_p.h"

namespace {

constexpr int kDecimals = 4;

[[noreturn]] void InvalidCurrency(std::string_view text) {
  std::string message = kInvalidCurrencyText;
  throw EConvertError(message.replace(message.find("%s"), 2, text));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits (without leading zeros) times ten to the power `scale` is the amount
// in ten-thousandths; rounds the digits cut off with ties to even.
bool DigitsToRaw(std::string digits, int64_t scale, bool negative, int64_t& raw) {
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
  if (digits.empty()) {
    raw = 0;
    return true;
  }
  bool roundUp = false;
  if (scale < 0) {
    // Only the first cut-off digit and whether any later one is not 0 matter.
    const int64_t cut = -scale;
    const int64_t length = static_cast<int64_t>(digits.size());
    if (cut > length) {
      digits.clear();
    } else {
      const char first = digits[length - cut];
      const bool rest = digits.find_first_not_of('0', length - cut + 1) != std::string::npos;
      digits.resize(length - cut);
      const bool odd = !digits.empty() && (digits.back() - '0') % 2 == 1;
      roundUp = first > '5' || (first == '5' && (rest || odd));
    }
    scale = 0;
  }
  if (static_cast<int64_t>(digits.size()) + scale > 19) return false;
  digits.append(static_cast<size_t>(scale), '0');
  uint64_t magnitude = 0;
  if (!digits.empty()) {
    auto r = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (r.ec != std::errc()) return false;
  }
  if (roundUp) ++magnitude;
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  if (magnitude > limit) return false;
  raw = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

}  // namespace

Currency Currency::operator+(Currency other) const {
  int64_t sum = 0;
  if (__builtin_add_overflow(raw_, other.raw_, &sum)) throw EIntOverflow();
  return FromRaw(sum);
}

Currency Currency::operator-(Currency other) const {
  int64_t difference = 0;
  if (__builtin_sub_overflow(raw_, other.raw_, &difference)) throw EIntOverflow();
  return FromRaw(difference);
}

Currency Currency::operator-() const { return Currency() - *this; }

bool TryFloatToCurr(double value, Currency& result) {
  // The largest amount is 922337203685477.5807; the bound is checked on the
  // exact digits below.
  if (!std::isfinite(value) || std::fabs(value) >= 1e15) return false;
  char buffer[64];
  auto r = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed, kDecimals);
  std::string digits;
  for (const char* p = buffer; p != r.ptr; ++p)
    if (IsDigit(*p)) digits += *p;
  int64_t raw = 0;
  if (!DigitsToRaw(digits, 0, std::signbit(value), raw)) return false;
  result = Currency::FromRaw(raw);
  return true;
}

Currency FloatToCurr(double value) {
  Currency result;
  if (!TryFloatToCurr(value, result)) InvalidCurrency(FloatToStr(value));
  return result;
}

bool TryStrToCurr(std::string_view text, Currency& result, const TFormatSettings& settings) {
  std::string_view s = text;
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::string digits;
  int64_t scale = kDecimals;
  while (i < s.size() && IsDigit(s[i])) digits += s[i++];
  const std::string& sep = settings.DecimalSeparator;
  if (!sep.empty() && s.substr(i, sep.size()) == sep) {
    i += sep.size();
    while (i < s.size() && IsDigit(s[i])) {
      digits += s[i++];
      --scale;
    }
  }
  if (digits.empty()) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negativeExponent = s[i++] == '-';
    if (i == s.size() || !IsDigit(s[i])) return false;
    int64_t exponent = 0;
    while (i < s.size() && IsDigit(s[i])) exponent = std::min<int64_t>(exponent * 10 + (s[i++] - '0'), 100000);
    scale += negativeExponent ? -exponent : exponent;
  }
  if (i != s.size()) return false;
  int64_t raw = 0;
  if (!DigitsToRaw(digits, scale, negative, raw)) return false;
  result = Currency::FromRaw(raw);
  return true;
}

Currency StrToCurr(std::string_view text, const TFormatSettings& settings) {
  Currency result;
  if (!TryStrToCurr(text, result, settings)) InvalidCurrency(text);
  return result;
}

std::string CurrToStr(Currency value, const TFormatSettings& settings) {
  const int64_t raw = value.Raw();
  const uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  std::string out = raw < 0 ? "-" : "";
  out += std::to_string(magnitude / Currency::kScale);
  std::string fraction = std::to_string(magnitude % Currency::kScale);
  fraction.insert(0, kDecimals - fraction.size(), '0');
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) out += settings.DecimalSeparator + fraction;
  return out;
}

std::string CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& settings) {
  if (format == TFloatFormat::ffGeneral) return CurrToStr(value, settings);
  if (format == TFloatFormat::ffExponent) return FloatToStrF(value.ToDouble(), format, 18, digits, settings);
  const int64_t raw = value.Raw();
  const uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  numfmt::Decimal d;
  d.negative = raw < 0;
  d.digits = std::to_string(magnitude);
  d.exp10 = static_cast<int>(d.digits.size()) - 1 - kDecimals;
  return numfmt::FixedText(d, std::clamp(digits, 0, 18), format, settings.DecimalSeparator, settings);
}
