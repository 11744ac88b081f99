#pragma once
// Currency amounts: a signed 64-bit count of ten-thousandths, so that sums
// of amounts are exact. The range is -922337203685477.5808 to
// 922337203685477.5807.

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/FormatSettings.h"
#include "platform/core/NumberFormat.h"

// The conversion error, word for word ("%s" is the text or value).
inline constexpr const char* kInvalidCurrencyText = "'%s' is not a valid currency value";

class Currency {
 public:
  static constexpr int64_t kScale = 10000;

  constexpr Currency() = default;
  // The amount raw / 10000.
  static constexpr Currency FromRaw(int64_t raw) {
    Currency c;
    c.raw_ = raw;
    return c;
  }
  constexpr int64_t Raw() const { return raw_; }
  // The nearest double to the amount.
  double ToDouble() const { return static_cast<double>(raw_) / kScale; }

  // Sums and differences outside the range raise EIntOverflow.
  Currency operator+(Currency other) const;
  Currency operator-(Currency other) const;
  Currency operator-() const;
  constexpr auto operator<=>(const Currency&) const = default;

 private:
  int64_t raw_ = 0;
};

// The amount nearest to value at four decimals, exact ties to even
// (0.00005 is not exact in binary and rounds by its true value). NaN,
// infinities and values outside the range give false, or raise EConvertError
// "'<value>' is not a valid currency value".
bool TryFloatToCurr(double value, Currency& result);
Currency FloatToCurr(double value);

// Reads the syntax of StrToFloat (sign, digits, the settings' decimal
// separator, exponent) exactly, without a detour through double, and rounds
// to four decimals with ties to even: "0.00005" -> 0.0000, "0.00015" -> 0.0002.
// A bad text or an amount outside the range raises EConvertError
// "'<text>' is not a valid currency value".
bool TryStrToCurr(std::string_view text, Currency& result, const TFormatSettings& settings = FormatSettings());
Currency StrToCurr(std::string_view text, const TFormatSettings& settings = FormatSettings());

// The shortest exact text: "12.5", "-0.0001", "3".
std::string CurrToStr(Currency value, const TFormatSettings& settings = FormatSettings());
// ffFixed, ffNumber and ffCurrency with `digits` decimals (0..18) from the
// exact amount: CurrToStrF(1234.5, ffCurrency, 2) == "$1,234.50" with the
// defaults. ffGeneral is CurrToStr; ffExponent as FloatToStrF with 18 digits.
std::string CurrToStrF(Currency value, TFloatFormat format, int digits,
                       const TFormatSettings& settings = FormatSettings());
