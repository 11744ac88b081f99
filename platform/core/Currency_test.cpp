#include "platform/core/Currency.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/core/Exceptions.h"

namespace {

using ::testing::ThrowsMessage;

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

TFormatSettings Comma() {
  TFormatSettings s;
  s.DecimalSeparator = ",";
  s.ThousandSeparator = ".";
  return s;
}

TEST(FloatToCurr, RoundsTheExactValueHalfToEven) {
  struct Row {
    double value;
    int64_t raw;
  } rows[] = {
      {1.5, 15000},
      {-2.25, -22500},
      {0.03125, 312},   // exact tie: to even
      {0.09375, 938},   // exact tie: to even
      {1.00005, 10001},  // not a tie in binary: just above
      {-0.0, 0},
      {922337203685477.0, 9223372036854770000},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.value);
    EXPECT_EQ(FloatToCurr(r.value).Raw(), r.raw);
  }
  Currency c;
  for (double bad : {std::nan(""), double(INFINITY), 1e15, -922337203685478.0})
    EXPECT_FALSE(TryFloatToCurr(bad, c)) << bad;
  EXPECT_THAT([] { FloatToCurr(1e300); }, ThrowsMessage<EConvertError>("'1E+300' is not a valid currency value"));
}

TEST(StrToCurr, ReadsExactlyWithEitherSeparator) {
  struct Row {
    const char* dot;
    const char* comma;
    int64_t raw;
  } rows[] = {
      {"12.5", "12,5", 125000},
      {" -12.34567 ", " -12,34567 ", -123457},
      {"0.00005", "0,00005", 0},  // tie: to even
      {"0.00015", "0,00015", 2},
      {"0.000050001", "0,000050001", 1},
      {"1.5e3", "1,5e3", 15000000},
      {"25E-5", "25E-5", 2},
      {"1e-400", "1e-400", 0},
      {"+7", "+7", 70000},
      {"922337203685477.5807", "922337203685477,5807", kMax},
      {"-922337203685477.5808", "-922337203685477,5808", kMin},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.dot);
    EXPECT_EQ(StrToCurr(r.dot, TFormatSettings()).Raw(), r.raw);
    EXPECT_EQ(StrToCurr(r.comma, Comma()).Raw(), r.raw);
  }
  Currency c;
  for (const char* bad : {"", "abc", "1,5", "922337203685477.5808", "1e19", "1e999999999", "1.2.3", "1e", "-", "."})
    EXPECT_FALSE(TryStrToCurr(bad, c, TFormatSettings())) << bad;
  EXPECT_THAT([] { StrToCurr("12x", TFormatSettings()); },
              ThrowsMessage<EConvertError>("'12x' is not a valid currency value"));
}

TEST(CurrToStr, WritesTheExactAmount) {
  struct Row {
    int64_t raw;
    const char* dot;
    const char* comma;
  } rows[] = {
      {125000, "12.5", "12,5"},
      {-1, "-0.0001", "-0,0001"},
      {30000, "3", "3"},
      {kMin, "-922337203685477.5808", "-922337203685477,5808"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.dot);
    EXPECT_EQ(CurrToStr(Currency::FromRaw(r.raw), TFormatSettings()), r.dot);
    EXPECT_EQ(CurrToStr(Currency::FromRaw(r.raw), Comma()), r.comma);
  }
  const Currency amount = Currency::FromRaw(12345000);  // 1234.5
  EXPECT_EQ(CurrToStrF(amount, TFloatFormat::ffCurrency, 2, TFormatSettings()), "$1,234.50");
  EXPECT_EQ(CurrToStrF(-amount, TFloatFormat::ffCurrency, 2, TFormatSettings()), "($1,234.50)");
  EXPECT_EQ(CurrToStrF(amount, TFloatFormat::ffNumber, 4, Comma()), "1.234,5000");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(kMax), TFloatFormat::ffFixed, 2, TFormatSettings()), "922337203685477.58");
}

TEST(Currency, SumsAreExactAndCheckTheirRange) {
  EXPECT_EQ((FloatToCurr(0.1) + FloatToCurr(0.2)).Raw(), 3000);
  EXPECT_EQ((FloatToCurr(0.1) - FloatToCurr(0.3)).Raw(), -2000);
  EXPECT_THROW(Currency::FromRaw(kMax) + Currency::FromRaw(1), EIntOverflow);
  EXPECT_THROW(-Currency::FromRaw(kMin), EIntOverflow);
  EXPECT_LT(Currency::FromRaw(-1), Currency());
  EXPECT_DOUBLE_EQ(Currency::FromRaw(12345).ToDouble(), 1.2345);
}

}  // namespace
