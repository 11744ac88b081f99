#include "platform/core/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/NumberFormat_p.h"

namespace numfmt {

Decimal ToDecimal(double value, int precision) {
  Decimal d;
  d.negative = std::signbit(value);
  value = std::fabs(value);
  if (value == 0) {
    d.digits.assign(precision, '0');
    d.exp10 = 0;
    return d;
  }
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                              precision - 1);
  std::string_view text(buffer, result.ptr - buffer);
  size_t e = text.find('e');
  for (char c : text.substr(0, e))
    if (c != '.') d.digits += c;
  int exponent = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exponent);
  d.exp10 = exponent;
  return d;
}

bool RoundDigits(std::string& digits, int keep) {
  if (keep >= static_cast<int>(digits.size())) {
    digits.append(keep - digits.size(), '0');
    return false;
  }
  if (keep < 0) {
    digits.clear();
    return false;
  }
  bool up = digits[keep] >= '5';
  digits.resize(keep);
  for (int i = keep - 1; up && i >= 0; --i) {
    if (digits[i] == '9') {
      digits[i] = '0';
    } else {
      ++digits[i];
      up = false;
    }
  }
  return up;
}

namespace {
bool AllZero(const std::string& s) { return std::all_of(s.begin(), s.end(), [](char c) { return c == '0'; }); }
}  // namespace

FixedParts ToFixed(const Decimal& d, int decimals) {
  // Integer digits and decimals taken from the digit string, padded with zeros.
  int intDigits = d.exp10 + 1;  // may be <= 0
  std::string padded;
  if (intDigits <= 0) {
    padded.assign(-intDigits, '0');
    padded += d.digits;
    intDigits = 0;
  } else {
    padded = d.digits;
  }
  if (RoundDigits(padded, intDigits + decimals)) {
    padded.insert(padded.begin(), '1');
    ++intDigits;
  }
  FixedParts parts;
  parts.integer = intDigits > 0 ? padded.substr(0, intDigits) : "0";
  parts.fraction = padded.substr(intDigits);
  parts.negative = d.negative && !(AllZero(parts.integer) && AllZero(parts.fraction));
  return parts;
}

std::string GroupThousands(std::string_view integerDigits, std::string_view separator) {
  std::string out;
  const size_t n = integerDigits.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += separator;
    out += integerDigits[i];
  }
  return out;
}

std::string PlaceCurrency(std::string_view amount, bool negative, const TFormatSettings& settings) {
  const int format = negative ? settings.NegCurrFormat : settings.CurrencyFormat;
  const char* shape = negative ? kNegativeCurrencyForms[format >= 0 && format <= 15 ? format : 1]
                               : kCurrencyForms[format >= 0 && format <= 3 ? format : 0];
  std::string out;
  for (const char* p = shape; *p; ++p) {
    if (*p == '$')
      out += settings.CurrencyString;
    else if (*p == '1')
      out += amount;
    else
      out += *p;
  }
  return out;
}

std::string FixedText(const Decimal& d, int decimals, TFloatFormat format, std::string_view sep,
                      const TFormatSettings& settings) {
  FixedParts parts = ToFixed(d, decimals);
  std::string amount =
      format == TFloatFormat::ffFixed ? parts.integer : GroupThousands(parts.integer, settings.ThousandSeparator);
  if (decimals > 0) {
    amount += sep;
    amount += parts.fraction;
  }
  if (format == TFloatFormat::ffCurrency) return PlaceCurrency(amount, parts.negative, settings);
  return parts.negative ? "-" + amount : amount;
}

}  // namespace numfmt

namespace {

using numfmt::Decimal;
using numfmt::ToDecimal;

std::string ExponentText(int exponent, int minDigits) {
  std::string e = std::to_string(std::abs(exponent));
  if (static_cast<int>(e.size()) < minDigits) e.insert(0, minDigits - e.size(), '0');
  return std::string(exponent < 0 ? "E-" : "E+") + e;
}

std::string Scientific(const Decimal& d, int shownDigits, int exponentDigits, std::string_view sep) {
  std::string out = d.negative ? "-" : "";
  out += d.digits[0];
  if (shownDigits > 1) {
    out += sep;
    out += d.digits.substr(1, shownDigits - 1);
  }
  return out + ExponentText(d.exp10, exponentDigits);
}

std::string General(double value, int precision, int exponentDigits, std::string_view sep) {
  if (value == 0) return "0";
  Decimal d = ToDecimal(value, precision);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  int sig = static_cast<int>(d.digits.size());
  if (d.exp10 >= precision || std::fabs(value) < 0.00001) return Scientific(d, sig, exponentDigits, sep);
  std::string out = d.negative ? "-" : "";
  if (d.exp10 < 0) {
    out += "0";
    out += sep;
    out.append(-d.exp10 - 1, '0');
    out += d.digits;
    return out;
  }
  int intDigits = d.exp10 + 1;
  std::string digits = d.digits;
  if (static_cast<int>(digits.size()) < intDigits) digits.append(intDigits - digits.size(), '0');
  out += digits.substr(0, intDigits);
  if (static_cast<int>(digits.size()) > intDigits) {
    out += sep;
    out += digits.substr(intDigits);
  }
  return out;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

namespace numfmt {

std::string FloatText(double value, TFloatFormat format, int precision, int digits, std::string_view sep,
                      const TFormatSettings& settings) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  precision = std::clamp(precision, 1, 18);
  switch (format) {
    case TFloatFormat::ffGeneral:
      return General(value, precision, std::clamp(digits, 0, 4), sep);
    case TFloatFormat::ffExponent:
      return Scientific(ToDecimal(value, precision), precision, std::clamp(digits, 0, 4), sep);
    case TFloatFormat::ffFixed:
    case TFloatFormat::ffNumber:
    case TFloatFormat::ffCurrency: {
      Decimal d = ToDecimal(value, precision);
      if (value != 0 && d.exp10 >= precision) return General(value, precision, 0, sep);
      return numfmt::FixedText(d, std::clamp(digits, 0, 18), format, sep, settings);
    }
  }
  return {};
}

}  // namespace numfmt

using numfmt::FloatText;

char DefaultDecimalSeparator() {
  const std::string& sep = FormatSettings().DecimalSeparator;
  return sep.size() == 1 && static_cast<unsigned char>(sep[0]) < 0x80 && sep[0] != 0 ? sep[0] : '.';
}

void SetDefaultDecimalSeparator(char separator) {
  TFormatSettings settings = FormatSettings();
  settings.DecimalSeparator = std::string(1, separator);
  SetFormatSettings(std::move(settings));
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits, char sep) {
  return FloatText(value, format, precision, digits, std::string_view(&sep, 1), FormatSettings());
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings) {
  return FloatText(value, format, precision, digits, settings.DecimalSeparator, settings);
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings());
}

std::string FloatToStr(double value, char sep) { return FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0, sep); }
std::string FloatToStr(double value, const TFormatSettings& settings) {
  return FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0, settings);
}
std::string FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }

namespace {

// The power of ten of the first significant digit of a number in the C form
// checked above (sign, digits, ".", digits, "e", exponent): 2 for "123",
// -3 for "0.00123", 306 for "1e306". Huge exponents saturate. Only called for
// a number out of range, which has a significant digit.
long DecimalMagnitude(std::string_view c) {
  size_t i = c[0] == '+' || c[0] == '-' ? 1 : 0;
  const size_t point = c.find('.');
  const size_t mantissaEnd = std::min(c.find('e'), c.size());
  const size_t intEnd = std::min(point, mantissaEnd);
  long magnitude = 0;
  bool found = false;
  for (; i < mantissaEnd && !found; ++i) {
    if (c[i] == '.') continue;
    if (c[i] != '0') {
      magnitude = i < intEnd ? static_cast<long>(intEnd - i) - 1 : -static_cast<long>(i - intEnd);
      found = true;
    }
  }
  long exponent = 0;
  if (mantissaEnd < c.size()) {
    size_t e = mantissaEnd + 1;
    const bool negative = c[e] == '-';
    if (c[e] == '+' || c[e] == '-') ++e;
    for (; e < c.size(); ++e) exponent = std::min(exponent * 10 + (c[e] - '0'), 1000000L);
    if (negative) exponent = -exponent;
  }
  return magnitude + exponent;
}

}  // namespace

bool TryStrToFloat(std::string_view text, double& value, char sep) {
  std::string_view s = TrimBlanks(text);
  if (s.empty()) return false;
  // Normalise to the C form, refusing a "." that is not the separator.
  std::string c;
  c.reserve(s.size());
  size_t i = 0;
  if (s[i] == '+' || s[i] == '-') c += s[i++];
  bool digitsSeen = false;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) c += s[i++], digitsSeen = true;
  if (i < s.size() && s[i] == sep) {
    c += '.';
    ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) c += s[i++], digitsSeen = true;
  }
  if (!digitsSeen) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    c += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) c += s[i++];
    bool expDigits = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) c += s[i++], expDigits = true;
    if (!expDigits) return false;
  }
  if (i != s.size()) return false;
  const char* begin = c.data() + (c[0] == '+');
  auto r = std::from_chars(begin, c.data() + c.size(), value);
  if (r.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone when out of range, so the digits
    // decide: underflow reads as zero, overflow is not a valid number.
    if (DecimalMagnitude(c) < 0) {
      value = 0;
      return true;
    }
    return false;
  }
  return r.ec == std::errc() && r.ptr == c.data() + c.size();
}

double StrToFloat(std::string_view text, char sep) {
  double value = 0;
  if (!TryStrToFloat(text, value, sep))
    throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return value;
}

double StrToFloat(std::string_view text) { return StrToFloat(text, FormatSettings()); }

bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& settings) {
  const std::string& sep = settings.DecimalSeparator;
  if (sep.size() == 1) return TryStrToFloat(text, value, sep[0]);
  // A separator of several bytes stands in as "."; a "." of its own is then
  // no separator and the text is not a number.
  if (sep.empty() || text.find('.') != std::string_view::npos) return false;
  std::string plain(text);
  for (size_t at = plain.find(sep); at != std::string::npos; at = plain.find(sep, at + 1))
    plain.replace(at, sep.size(), ".");
  return TryStrToFloat(plain, value, '.');
}

double StrToFloat(std::string_view text, const TFormatSettings& settings) {
  double value = 0;
  if (!TryStrToFloat(text, value, settings))
    throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return value;
}

bool TryStrToInt(std::string_view text, int32_t& value) {
  std::string_view s = TrimBlanks(text);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return false;
  uint64_t magnitude = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
  if (base == 16 && !negative && magnitude <= 0xFFFFFFFFull) {
    // Hexadecimal covers the whole 32-bit pattern ("$FFFFFFFF" is -1).
    value = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
    return true;
  }
  int64_t signedValue = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  if (magnitude > 0x80000000ull || signedValue < std::numeric_limits<int32_t>::min() ||
      signedValue > std::numeric_limits<int32_t>::max())
    return false;
  value = static_cast<int32_t>(signedValue);
  return true;
}

int32_t StrToInt(std::string_view text) {
  int32_t value = 0;
  if (!TryStrToInt(text, value)) throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return value;
}

int32_t StrToIntDef(std::string_view text, int32_t defaultValue) {
  int32_t value = 0;
  return TryStrToInt(text, value) ? value : defaultValue;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

std::string IntToHex(uint64_t value, int digits) {
  char buffer[32];
  auto r = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
  std::string s(buffer, r.ptr);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (static_cast<int>(s.size()) < digits) s.insert(0, digits - s.size(), '0');
  return s;
}

int64_t Trunc(double value) {
  if (!(value > -9223372036854775808.0 && value < 9223372036854775808.0)) throw EIntOverflow();
  return static_cast<int64_t>(value);
}

int64_t RoundHalfEven(double value) {
  if (!(value > -9223372036854775808.0 && value < 9223372036854775808.0)) throw EIntOverflow();
  return static_cast<int64_t>(std::nearbyint(value));  // default rounding mode: halves to even
}

int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator) {
  if (denominator == 0) return -1;
  int64_t product = static_cast<int64_t>(number) * numerator;
  int64_t half = std::llabs(denominator) / 2;
  bool negative = (product < 0) != (denominator < 0);
  int64_t q = (std::llabs(product) + half) / std::llabs(denominator);
  int64_t result = negative ? -q : q;
  if (result < std::numeric_limits<int32_t>::min() || result > std::numeric_limits<int32_t>::max()) return -1;
  return static_cast<int32_t>(result);
}
