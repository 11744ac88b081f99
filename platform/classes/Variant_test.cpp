#include "platform/classes/Variant.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include "platform/core/FormatSettings.h"

namespace {

using ::testing::StrEq;
using ::testing::ThrowsMessage;

// Settings pinned by hand, never from the machine's locale.
TFormatSettings PointSettings() { return TFormatSettings{}; }

TFormatSettings CommaSettings() {
  TFormatSettings s;
  s.DecimalSeparator = ",";
  s.ThousandSeparator = ".";
  s.DateSeparator = ".";
  s.ShortDateFormat = "dd.MM.yyyy";
  s.LongTimeFormat = "hh:nn:ss";
  return s;
}

// Comparing a cast's result: the same type code and an equal value.
void ExpectSame(const TVariant& Actual, const TVariant& Expected) {
  EXPECT_EQ(VarType(Actual), VarType(Expected));
  EXPECT_TRUE(Actual == Expected) << VarToStr(Actual) << " vs " << VarToStr(Expected);
}

struct CastCase {
  const char* Name;
  TVariant From;
  TVarType To;
  std::optional<TVariant> Expected;  // nullopt: the cast fails
};

TEST(VariantTest, CastTable) {
  ScopedFormatSettings pinned(PointSettings());
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const CastCase cases[] = {
      {"text to integer", "12", varInteger, 12},
      {"blanks and plus", " +12 ", varInteger, 12},
      {"hexadecimal text", "$1F", varInteger, 31},
      {"decimal text rounds half to even", "12.5", varInteger, 12},
      {"decimal text rounds up past half", "13.5", varInteger, 14},
      {"64-bit text", "9000000000", varInt64, int64_t{9000000000}},
      {"letters to integer", "abc", varInteger, std::nullopt},
      {"trailing letters", "12abc", varInteger, std::nullopt},
      {"two signs", "+-5", varInteger, std::nullopt},
      {"integer to text", 12, varString, "12"},
      {"negative int64 to text", int64_t{-9000000000}, varString, "-9000000000"},
      {"integer to OLE string", 7, varOleStr, TVarOleStr{"7"}},
      {"OLE string to string", TVarOleStr{"x"}, varString, "x"},
      {"smallint range", 70000, varSmallint, std::nullopt},
      {"byte range high", 256, varByte, std::nullopt},
      {"byte range low", -1, varByte, std::nullopt},
      {"int64 beyond integer", int64_t{3000000000}, varInteger, std::nullopt},
      {"double rounds half to even", 2.5, varInteger, 2},
      {"NaN to integer", nan, varInteger, std::nullopt},
      {"huge double to integer", 1e300, varInt64, std::nullopt},
      {"huge double to single", 1e300, varSingle, std::nullopt},
      {"huge double to currency", 1e300, varCurrency, std::nullopt},
      {"double to text", 1.5, varString, "1.5"},
      {"single to text, seven digits", 0.1f, varString, "0.1"},
      {"text to double", "2", varDouble, 2.0},
      {"true to integer", true, varInteger, -1},
      {"false to integer", false, varInteger, 0},
      {"true to text", true, varString, "True"},
      {"false to text", false, varString, "False"},
      {"text True", "true", varBoolean, true},
      {"text FALSE", "FALSE", varBoolean, false},
      {"text 0", "0", varBoolean, false},
      {"text 2", "2", varBoolean, true},
      {"text yes", "yes", varBoolean, std::nullopt},
      {"integer to Boolean", 5, varBoolean, true},
      {"currency to text", Currency::FromRaw(125000), varString, "12.5"},
      {"text to currency", "12.3456", varCurrency, Currency::FromRaw(123456)},
      {"currency text rounds to even", "12.34565", varCurrency, Currency::FromRaw(123456)},
      {"bad currency text", "12.3.4", varCurrency, std::nullopt},
      {"currency to integer, half to even", Currency::FromRaw(25000), varInteger, 2},
      {"negative currency, half to even", Currency::FromRaw(-35000), varInteger, -4},
      {"currency beyond integer", Currency::FromRaw(30000000000000), varInteger, std::nullopt},
      {"integer to currency", 7, varCurrency, Currency::FromRaw(70000)},
      {"int64 beyond currency", int64_t{1} << 62, varCurrency, std::nullopt},
      {"double to currency", 0.5, varCurrency, Currency::FromRaw(5000)},
      {"date to double", TVarDate{46086.5}, varDouble, 46086.5},
      {"double to date", 46086.5, varDate, TVarDate{46086.5}},
      {"text to date", "3/5/2026", varDate, TVarDate{EncodeDate(2026, 3, 5)}},
      {"time text to date", "6:00:00 AM", varDate, TVarDate{0.25}},
      {"bad date text", "31/31/2026", varDate, std::nullopt},
      {"date to text", TVarDate{EncodeDate(2026, 3, 5) + 0.5}, varString, "3/5/2026 12:00:00 PM"},
      {"Empty to integer", TVariant(), varInteger, 0},
      {"Empty to text", TVariant(), varString, ""},
      {"Empty to Boolean", TVariant(), varBoolean, false},
      {"Empty to currency", TVariant(), varCurrency, Currency()},
      {"Null to Null", Null(), varNull, Null()},
      {"anything to Null", 5, varNull, Null()},
      {"anything to Empty", "x", varEmpty, TVariant()},
      {"as a variant, unchanged", 1.25, varVariant, 1.25},
      {"Null to integer", Null(), varInteger, std::nullopt},
      {"Null to text", Null(), varString, std::nullopt},
      {"Null to Empty", Null(), varEmpty, std::nullopt},
      {"Null to Boolean", Null(), varBoolean, std::nullopt},
      {"Null to date", Null(), varDate, std::nullopt},
      {"no such kind", 5, TVarType{9}, std::nullopt},
  };
  for (const CastCase& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.Expected)
      ExpectSame(VarAsType(c.From, c.To), *c.Expected);
    else
      EXPECT_THAT([&] { VarAsType(c.From, c.To); },
                  ThrowsMessage<EVariantError>(StrEq("Invalid variant type conversion")));
  }
}

TEST(VariantTest, TypeCodesOfConstructedValues) {
  const struct {
    TVariant Value;
    TVarType Code;
  } cases[] = {
      {TVariant(), varEmpty},          {Null(), varNull},
      {int16_t{2}, varSmallint},       {12, varInteger},
      {1.5f, varSingle},               {1.5, varDouble},
      {Currency(), varCurrency},       {TVarDate{0}, varDate},
      {TVarOleStr{"w"}, varOleStr},    {true, varBoolean},
      {uint8_t{123}, varByte},         {int64_t{1}, varInt64},
      {"s", varString},                {std::string("s"), varString},
      {TObject::StaticClass(), varClass}, {static_cast<TObject*>(nullptr), varObject},
  };
  for (const auto& c : cases) EXPECT_EQ(VarType(c.Value), c.Code) << "expected code " << c.Code;
}

// Null and Empty equal themselves and nothing else; only Empty reads as 0 or "".
TEST(VariantTest, NullAndEmptyKeptApart) {
  const struct {
    const char* Name;
    TVariant A, B;
    bool Equal;
  } cases[] = {
      {"Null, Null", Null(), Null(), true},
      {"Empty, Empty", TVariant(), Unassigned(), true},
      {"Null, Empty", Null(), TVariant(), false},
      {"Empty, 0", TVariant(), 0, false},
      {"Empty, empty text", TVariant(), "", false},
      {"Empty, false", TVariant(), false, false},
      {"Empty, 0.0", TVariant(), 0.0, false},
      {"Null, 0", Null(), 0, false},
      {"Null, empty text", Null(), "", false},
      {"Empty, null procedure", TVariant(), TVariant(static_cast<TVarProc>(nullptr)), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.A == c.B, c.Equal);
    EXPECT_EQ(c.B == c.A, c.Equal);
  }
  EXPECT_TRUE(VarIsNull(Null()) && !VarIsEmpty(Null()));
  EXPECT_TRUE(VarIsEmpty(TVariant()) && !VarIsNull(TVariant()));
  // VarToStr shows both as no text; a cast of Null still fails.
  EXPECT_EQ(VarToStr(Null()), "");
  EXPECT_EQ(VarToStr(TVariant()), "");
  EXPECT_THROW(Null().AsString(), EVariantError);
  EXPECT_EQ(TVariant().AsInteger(), 0);
}

TEST(VariantTest, EqualityAcrossKinds) {
  ScopedFormatSettings pinned(PointSettings());
  const struct {
    const char* Name;
    TVariant A, B;
    bool Equal;
  } cases[] = {
      {"integer, double", 1, 1.0, true},
      {"smallint, byte", int16_t{2}, uint8_t{2}, true},
      {"currency, double", Currency::FromRaw(15000), 1.5, true},
      {"currency, integer, exact", Currency::FromRaw(70001), 7, false},
      {"int64 beyond a double's precision", int64_t{(int64_t{1} << 53) + 1}, int64_t{1} << 53, false},
      {"true is -1", true, -1, true},
      {"text and integer", "12", 12, true},
      {"text and double", "1.5", 1.5, true},
      {"text True and true", "True", true, true},
      {"string and OLE string", "x", TVarOleStr{"x"}, true},
      {"texts by bytes", "a", "A", false},
      {"single and double of 0.1", 0.1f, 0.1, false},
      {"date and its number", TVarDate{2.0}, 2.0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.A == c.B, c.Equal);
    EXPECT_EQ(c.B == c.A, c.Equal);
  }
  // A text that does not read as the other kind is an error, not "different".
  EXPECT_THAT([] { (void)(TVariant("abc") == TVariant(12)); },
              ThrowsMessage<EVariantError>(StrEq(kInvalidVariantCastText)));
}

TEST(VariantTest, CompareOrdersForSorting) {
  ScopedFormatSettings pinned(PointSettings());
  const struct {
    const char* Name;
    TVariant A, B;
    int Order;
  } cases[] = {
      {"Null before Empty", Null(), TVariant(), -1},
      {"Empty before a value", TVariant(), -5, -1},
      {"Null before text", Null(), "", -1},
      {"Null with Null", Null(), Null(), 0},
      {"numbers", 1, 2.5, -1},
      {"currency and integer", Currency::FromRaw(70001), 7, 1},
      {"texts by bytes", "abc", "abd", -1},
      {"text and number as numbers", "10", 9, 1},
      {"equal numbers", uint8_t{3}, 3.0, 0},
      {"same class", TObject::StaticClass(), TObject::StaticClass(), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(VarCompare(c.A, c.B), c.Order);
    EXPECT_EQ(VarCompare(c.B, c.A), -c.Order);
  }
  const struct {
    const char* Name;
    TVariant A, B;
  } unordered[] = {
      {"text that is not a number", "abc", 1},
      {"class and object", TObject::StaticClass(), static_cast<TObject*>(nullptr)},
      {"class and integer", TObject::StaticClass(), 0},
      {"NaN", std::numeric_limits<double>::quiet_NaN(), 1.0},
  };
  for (const auto& c : unordered) {
    SCOPED_TRACE(c.Name);
    EXPECT_THAT([&] { VarCompare(c.A, c.B); }, ThrowsMessage<EVariantError>(StrEq(kInvalidVariantCastText)));
  }
}

}  // namespace
