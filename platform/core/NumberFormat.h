#pragma once
// Number conversion with an explicit decimal separator. Built on
// std::to_chars/std::from_chars so that the process locale (which Qt sets from
// the environment) never changes what is written to or read from a file.

#include <cstdint>
#include <string>
#include <string_view>

struct TFormatSettings;

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// The decimal separator of FormatSettings() for callers that take one char:
// "." when the locale's separator is not one ASCII character (ar_EG's U+066B).
// Screen texts use it; file formats always pass their own.
char DefaultDecimalSeparator();
// Sets FormatSettings().DecimalSeparator to this one character.
void SetDefaultDecimalSeparator(char separator);

// Formats value:
// - ffFixed: rounded to `precision` significant digits (1..18), then written
//   with exactly `digits` decimals (0..18). A value with more integer digits
//   than `precision` is written in ffGeneral instead.
//   FloatToStrF(0.95, ffFixed, 8, 4) == "0.9500".
// - ffGeneral: the shortest text of at most `precision` significant digits,
//   without trailing zeros; scientific ("1.5E+20", exponent of at least
//   `digits` digits) when the integer part has more than `precision` digits or
//   the value is below 0.00001.
// - ffExponent: "d.dddE+xx" with `precision` significant digits and at least
//   `digits` (0..4) exponent digits.
// - ffNumber: as ffFixed, with the thousand separator between groups of three
//   integer digits: FloatToStrF(-1234567.891, ffNumber, 15, 2) == "-1,234,567.89".
// - ffCurrency: as ffNumber with `digits` decimals, placed with the currency
//   string by CurrencyFormat, or NegCurrFormat for a negative amount:
//   FloatToStrF(-1234.5, ffCurrency, 15, 2) == "($1,234.50)" with the defaults.
// Exact ties round half to even. NaN and infinities give "NAN", "INF", "-INF".
// Separators and the currency string come from the settings (FormatSettings()
// where none are passed); the char overload replaces only the decimal separator.
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        char decimalSeparator);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
// ffGeneral with 15 digits.
std::string FloatToStr(double value, char decimalSeparator);
std::string FloatToStr(double value, const TFormatSettings& settings);
std::string FloatToStr(double value);

// Reads an optionally signed decimal number with `decimalSeparator` and an
// optional exponent; surrounding blanks are allowed. Anything else raises
// EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view text, char decimalSeparator);
// With the settings' decimal separator, which may be several bytes.
double StrToFloat(std::string_view text, const TFormatSettings& settings);
double StrToFloat(std::string_view text);
// As StrToFloat, but returns false instead of raising.
bool TryStrToFloat(std::string_view text, double& value, char decimalSeparator);
bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& settings);

// Reads a signed 32-bit integer, decimal or hexadecimal with a "$" or "0x"
// prefix; surrounding blanks are allowed. Anything else (or a value outside
// 32 bits) raises EConvertError "'<text>' is not a valid integer value".
int32_t StrToInt(std::string_view text);
bool TryStrToInt(std::string_view text, int32_t& value);
int32_t StrToIntDef(std::string_view text, int32_t defaultValue);

std::string IntToStr(int64_t value);
std::string IntToHex(uint64_t value, int digits);

// Truncates toward zero; raises EIntOverflow outside the 64-bit range or for NaN.
int64_t Trunc(double value);
// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4);
// raises EIntOverflow outside the 64-bit range or for NaN.
int64_t RoundHalfEven(double value);
// number * numerator / denominator with a 64-bit intermediate, rounded to the
// nearest (halves away from zero); -1 when the denominator is 0 or the result
// leaves 32 bits.
int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator);
