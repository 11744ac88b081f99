#include "platform/core/NumberFormat.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

struct FloatRow {
  double value;
  TFloatFormat format;
  int precision;
  int digits;
  char separator;
  const char* expected;
};

TEST(FloatToStrF, FormatsLikeTheClassLibrary) {
  const FloatRow rows[] = {
      {0.95, TFloatFormat::ffFixed, 8, 4, '.', "0.9500"},
      {0.95, TFloatFormat::ffFixed, 8, 4, ',', "0,9500"},
      {0.123456789, TFloatFormat::ffFixed, 15, 8, '.', "0.12345679"},
      {12.5, TFloatFormat::ffFixed, 15, 0, '.', "13"},  // second stage rounds halves up
      {-0.00001, TFloatFormat::ffFixed, 15, 2, '.', "0.00"},  // no "-0.00"
      {-3.25, TFloatFormat::ffFixed, 15, 1, '.', "-3.3"},
      {1234.5, TFloatFormat::ffFixed, 3, 2, '.', "1.23E+3"},  // too large for the precision
      {0.125, TFloatFormat::ffGeneral, 2, 0, '.', "0.12"},  // exact tie: half to even
      {0.375, TFloatFormat::ffGeneral, 2, 0, '.', "0.38"},
      {100, TFloatFormat::ffGeneral, 15, 0, '.', "100"},
      {0.1, TFloatFormat::ffGeneral, 15, 0, ',', "0,1"},
      {1.5e20, TFloatFormat::ffGeneral, 15, 0, '.', "1.5E+20"},
      {0.000001, TFloatFormat::ffGeneral, 15, 0, '.', "1E-6"},
      {0.0001, TFloatFormat::ffGeneral, 15, 0, '.', "0.0001"},
      {-2.5, TFloatFormat::ffGeneral, 15, 0, '.', "-2.5"},
      {12345.678, TFloatFormat::ffExponent, 4, 2, '.', "1.235E+04"},
      {0, TFloatFormat::ffFixed, 15, 3, '.', "0.000"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.expected);
    EXPECT_EQ(FloatToStrF(r.value, r.format, r.precision, r.digits, r.separator), r.expected);
  }
}

TEST(StrToFloat, ReadsWithTheGivenSeparatorOnly) {
  EXPECT_DOUBLE_EQ(StrToFloat("0.25", '.'), 0.25);
  EXPECT_DOUBLE_EQ(StrToFloat(" -1,5 ", ','), -1.5);
  EXPECT_DOUBLE_EQ(StrToFloat("1e3", '.'), 1000);
  EXPECT_DOUBLE_EQ(StrToFloat("1e-400", '.'), 0);
  for (const char* bad : {"", "1.5", "abc", "1,5x", "e5", "1e", "--1"}) {
    SCOPED_TRACE(bad);
    EXPECT_THAT([&] { StrToFloat(bad, ','); },
                ThrowsMessage<EConvertError>(HasSubstr("is not a valid floating point value")));
  }
}

TEST(StrToFloat, OverflowIsNotANumberUnderflowIsZero) {
  struct Row {
    const char* text;
    bool ok;
    double value;
  } rows[] = {
      {"1e999", false, 0},       {"-1e999", false, 0},        {"1.8e308", false, 0},
      {"0.0001e309", true, 1e305}, {"123456e304", false, 0},  {"1e99999999999999999999", false, 0},
      {"0.000001e-320", true, 0}, {"100e-330", true, 0},      {"-1e-999", true, 0},
      {"1e-99999999999999999999", true, 0}, {"1.7e308", true, 1.7e308}, {"0e999", true, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    double value = -42;
    EXPECT_EQ(TryStrToFloat(r.text, value, '.'), r.ok);
    if (r.ok) {
      EXPECT_DOUBLE_EQ(value, r.value);
    }
  }
}

TEST(StrToInt, ReadsDecimalAndDollarHex) {
  struct Row {
    const char* text;
    int32_t value;
  } rows[] = {{"42", 42}, {"-7", -7}, {"$1F", 31}, {"0x10", 16}, {"$FFFFFFFF", -1}, {" 2147483647 ", 2147483647},
              {"-2147483648", -2147483647 - 1}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(StrToInt(r.text), r.value);
  }
  EXPECT_THAT([] { StrToInt("2147483648"); }, ThrowsMessage<EConvertError>("'2147483648' is not a valid integer value"));
  EXPECT_THROW(StrToInt("1.5"), EConvertError);
  EXPECT_THROW(StrToInt("$"), EConvertError);
}

TEST(Rounding, HalfToEvenTruncAndMulDiv) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.6), 3);
  EXPECT_EQ(Trunc(-2.9), -2);
  EXPECT_THROW(Trunc(1e300), EIntOverflow);
  EXPECT_EQ(MulDiv(10, 3, 4), 8);  // 7.5 rounds away from zero
  EXPECT_EQ(MulDiv(-10, 3, 4), -8);
  EXPECT_EQ(MulDiv(1, 2, 0), -1);
  EXPECT_EQ(MulDiv(2000000000, 2, 1), -1);
}

}  // namespace
