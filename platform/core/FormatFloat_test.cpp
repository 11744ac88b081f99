#include "platform/core/FormatFloat.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/core/NumberFormat.h"
#include "platform/core/StrUtils.h"

namespace {

// The defaults ("." and ",", "$1", "($1)") and a comma locale with the
// currency after the amount ("1 €", "-1 €").
TFormatSettings Dot() { return TFormatSettings(); }
TFormatSettings Comma() {
  TFormatSettings s;
  s.DecimalSeparator = ",";
  s.ThousandSeparator = ".";
  s.CurrencyString = "\u20AC";
  s.CurrencyFormat = 3;
  s.NegCurrFormat = 8;
  return s;
}

struct PatternRow {
  const char* format;
  double value;
  const char* dot;
  const char* comma;
};

TEST(FormatFloat, WritesPatternsWithTheSettingsSeparators) {
  const PatternRow rows[] = {
      // digits and rounding (15 digits first, then halves away from zero)
      {"0", 12345, "12345", "12345"},
      {"000", 7, "007", "007"},
      {"0.00", 2.675, "2.68", "2,68"},
      {"0.00", 0.125, "0.13", "0,13"},
      {"0.00", 1.005, "1.01", "1,01"},
      {"#.##", 0.5, ".5", ",5"},
      {"0.##", 3, "3", "3"},
      {"0.0#", 1.25, "1.25", "1,25"},
      {"0.0#", 1, "1.0", "1,0"},
      {"#", 0, "", ""},
      {".00", 12.5, "12.50", "12,50"},
      {"0.000", 0.1 + 0.2, "0.300", "0,300"},
      // thousands
      {"#,##0.00", 1234567.891, "1,234,567.89", "1.234.567,89"},
      {"#,##0", 999.5, "1,000", "1.000"},
      {"#,##0", 999, "999", "999"},
      {"0,000", 12, "0,012", "0.012"},
      {"#,0.00", -1234.5, "-1,234.50", "-1.234,50"},
      // sections and the sign
      {"0.0", -2.5, "-2.5", "-2,5"},
      {"0.0;(0.0)", -2.5, "(2.5)", "(2,5)"},
      {"0.0;(0.0)", 2.5, "2.5", "2,5"},
      {"0;;zero", -5, "-5", "-5"},
      {"0;-0;zero", 0, "zero", "zero"},
      {"$#,##0.00;($#,##0.00)", -1234.5, "($1,234.50)", "($1.234,50)"},
      {"$,0.00;-$,0.00", -1234.5, "-$1,234.50", "-$1.234,50"},  // a currency display format
      {",0.00 'K'',''c'", 1234.5, "1,234.50 K,c", "1.234,50 K,c"},
      // negative zero: a value that rounds to zero takes the zero section, unsigned
      {"0.0", -0.01, "0.0", "0,0"},
      {"0.0", -0.0, "0.0", "0,0"},
      {"0;-0;zero", -0.2, "zero", "zero"},
      {"#,##0.00;(#,##0.00)", -0.004, "0.00", "0,00"},
      // exponent
      {"0.00E+00", 12345, "1.23E+04", "1,23E+04"},
      {"00.00E+00", 12345, "12.35E+03", "12,35E+03"},
      {"0.0E-0", 0.00012, "1.2E-4", "1,2E-4"},
      {"0.0E-00", 1234, "1.2E03", "1,2E03"},
      {"0.0e+0", 0, "0.0e+0", "0,0e+0"},
      {"0.00E+00", 9.999, "1.00E+01", "1,00E+01"},
      {"#,##0.0E+0", 1234567, "1234.6E+3", "1234,6E+3"},  // no thousands in scientific notation
      // literals
      {"0 'kg'", 3, "3 kg", "3 kg"},
      {"\"#\"0", 5, "#5", "#5"},
      {"'0.0;'0.0", 1.25, "0.0;1.3", "0.0;1,3"},
      {"00-00", 1234, "12-34", "12-34"},
      {"0;'negative';'nil'", -5, "negative", "negative"},  // text-only sections
      {"0;'negative';'nil'", 0, "nil", "nil"},
      {"'n/a'", -5, "-n/a", "-n/a"},
      // what no pattern can hold
      {"", 1.5, "1.5", "1,5"},
      {"0.00", 1e20, "1E+20", "1E+20"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.format) + " of " + std::to_string(r.value));
    EXPECT_EQ(FormatFloat(r.format, r.value, Dot()), r.dot);
    EXPECT_EQ(FormatFloat(r.format, r.value, Comma()), r.comma);
  }
  EXPECT_EQ(FormatFloat("0.00", std::nan(""), Dot()), "NAN");
  EXPECT_EQ(FormatFloat("0.00", -INFINITY, Dot()), "-INF");
}

TEST(FormatFloat, GroupsWithSeparatorsOfSeveralBytes) {
  TFormatSettings fr = Comma();
  fr.ThousandSeparator = "\u202F";
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.5, fr), "1\u202F234\u202F567,50");
  fr.DecimalSeparator = "\u066B";
  EXPECT_EQ(FormatFloat("0.0", 2.25, fr), "2\u066B3");
}

struct NumberRow {
  double value;
  TFloatFormat format;
  int digits;
  const char* dot;
  const char* comma;
};

TEST(FloatToStrF, NumberAndCurrency) {
  const NumberRow rows[] = {
      {-1234567.891, TFloatFormat::ffNumber, 2, "-1,234,567.89", "-1.234.567,89"},
      {999.999, TFloatFormat::ffNumber, 2, "1,000.00", "1.000,00"},
      {123, TFloatFormat::ffNumber, 0, "123", "123"},
      {-0.001, TFloatFormat::ffNumber, 2, "0.00", "0,00"},
      {1234.5, TFloatFormat::ffCurrency, 2, "$1,234.50", "1.234,50 \u20AC"},
      {-1234.5, TFloatFormat::ffCurrency, 2, "($1,234.50)", "-1.234,50 \u20AC"},
      {-0.001, TFloatFormat::ffCurrency, 2, "$0.00", "0,00 \u20AC"},
      {0.5, TFloatFormat::ffCurrency, 0, "$1", "1 \u20AC"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.dot);
    EXPECT_EQ(FloatToStrF(r.value, r.format, 15, r.digits, Dot()), r.dot);
    EXPECT_EQ(FloatToStrF(r.value, r.format, 15, r.digits, Comma()), r.comma);
  }
}

TEST(FloatToStrF, PlacesTheCurrencyStringByEveryFormat) {
  const char* positive[] = {"$1.50", "1.50$", "$ 1.50", "1.50 $"};
  const char* negative[] = {"($1.50)", "-$1.50", "$-1.50", "$1.50-", "(1.50$)", "-1.50$", "1.50-$", "1.50$-",
                            "-1.50 $", "-$ 1.50", "1.50 $-", "$ 1.50-", "$ -1.50", "1.50- $", "($ 1.50)", "(1.50 $)"};
  TFormatSettings s;
  for (int f = 0; f < 4; ++f) {
    s.CurrencyFormat = f;
    EXPECT_EQ(FloatToStrF(1.5, TFloatFormat::ffCurrency, 15, 2, s), positive[f]);
  }
  for (int f = 0; f < 16; ++f) {
    s.NegCurrFormat = f;
    EXPECT_EQ(FloatToStrF(-1.5, TFloatFormat::ffCurrency, 15, 2, s), negative[f]);
  }
  s.CurrencyFormat = 99;  // out of range: the first form, never a crash
  s.NegCurrFormat = -3;
  EXPECT_EQ(FloatToStrF(1.5, TFloatFormat::ffCurrency, 15, 2, s), "$1.50");
  EXPECT_EQ(FloatToStrF(-1.5, TFloatFormat::ffCurrency, 15, 2, s), "-$1.50");
}

TEST(Format, NumberAndMoneySpecifiersFollowTheSettings) {
  struct Row {
    const char* format;
    double value;
    const char* dot;
    const char* comma;
  } rows[] = {
      {"%n", 1234567.891, "1,234,567.89", "1.234.567,89"},
      {"%.1n", -1234567.891, "-1,234,567.9", "-1.234.567,9"},
      {"%.0n", 999.5, "1,000", "1.000"},
      {"[%12n]", 1234.5, "[    1,234.50]", "[    1.234,50]"},
      {"%m", 1234567.891, "$1,234,567.89", "1.234.567,89 \u20AC"},
      {"%m", -1234.5, "($1,234.50)", "-1.234,50 \u20AC"},
      {"%.0m", -1234.5, "($1,235)", "-1.235 \u20AC"},
      {"%.3m", 0.5, "$0.500", "0,500 \u20AC"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.format);
    EXPECT_EQ(Format(r.format, {r.value}, Dot()), r.dot);
    EXPECT_EQ(Format(r.format, {r.value}, Comma()), r.comma);
  }
  TFormatSettings noDecimals = Dot();
  noDecimals.CurrencyDecimals = 0;
  EXPECT_EQ(Format("%m", {12.5}, noDecimals), "$13");
}

}  // namespace
