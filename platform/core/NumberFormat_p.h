#pragma once
// Decimal digit strings shared by FloatToStrF, FormatFloat, Currency and
// Format: one rounding, one way of grouping and of placing a currency string.

#include <string>
#include <string_view>

#include "platform/core/NumberFormat.h"

struct TFormatSettings;

namespace numfmt {

// A value as its significant digits and the decimal exponent of the first:
// value = 0.d1d2d3... * 10^(exp10 + 1).
struct Decimal {
  bool negative = false;
  std::string digits;
  int exp10 = 0;
};

// The value rounded to `precision` (1..18) significant digits, exact ties to
// even; zero gives `precision` zeros.
Decimal ToDecimal(double value, int precision);

// Rounds a digit string at `keep` digits, halves away from zero (padding with
// zeros when it is shorter); returns the carry into a new leading digit.
bool RoundDigits(std::string& digits, int keep);

// The integer digits ("0" when none) and exactly `decimals` decimals of d,
// rounded at the last decimal, halves away from zero. `negative` is false
// when every digit is zero, so that no "-0.00" is written.
struct FixedParts {
  bool negative = false;
  std::string integer;
  std::string fraction;
};
FixedParts ToFixed(const Decimal& d, int decimals);

// "1234567" -> "1,234,567" with `separator` for ",".
std::string GroupThousands(std::string_view integerDigits, std::string_view separator);

// The currency forms, "$" standing for the currency string and "1" for the
// amount, indexed by CurrencyFormat and NegCurrFormat.
inline constexpr const char* kCurrencyForms[4] = {"$1", "1$", "$ 1", "1 $"};
inline constexpr const char* kNegativeCurrencyForms[16] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",
                                                           "1-$",  "1$-",  "-1 $", "-$ 1", "1 $-", "$ 1-",
                                                           "$ -1", "1- $", "($ 1)", "(1 $)"};

// The amount text (without sign) placed with the currency string by
// CurrencyFormat, or by NegCurrFormat when `negative`.
std::string PlaceCurrency(std::string_view amount, bool negative, const TFormatSettings& settings);

// The ffFixed, ffNumber or ffCurrency text of d with `decimals` decimals.
std::string FixedText(const Decimal& d, int decimals, TFloatFormat format, std::string_view decimalSeparator,
                      const TFormatSettings& settings);

// FloatToStrF with the decimal separator given apart from the settings.
std::string FloatText(double value, TFloatFormat format, int precision, int digits, std::string_view decimalSeparator,
                      const TFormatSettings& settings);

}  // namespace numfmt
