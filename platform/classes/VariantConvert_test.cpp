#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "platform/classes/Variant.h"
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

TEST(VariantConvertTest, CastTable) {
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

// Each value goes to text with the settings' separators and formats, and back.
TEST(VariantConvertTest, CurrencyDateAndDoubleRoundTripsWithPointAndComma) {
  const TDateTime afternoon = EncodeDate(2026, 3, 5) + EncodeTime(14, 7, 9, 0);
  const TDateTime beforeEpoch = -1.25;  // 1899-12-29 06:00
  const struct {
    const char* Name;
    TFormatSettings Settings;
    TVariant Value;
    const char* Text;
  } cases[] = {
      {"currency, point", PointSettings(), Currency::FromRaw(12345678), "1234.5678"},
      {"currency, comma", CommaSettings(), Currency::FromRaw(12345678), "1234,5678"},
      {"smallest negative amount, comma", CommaSettings(), Currency::FromRaw(-1), "-0,0001"},
      {"largest amount, point", PointSettings(), Currency::FromRaw(std::numeric_limits<int64_t>::max()),
       "922337203685477.5807"},
      {"double, point", PointSettings(), 1.5, "1.5"},
      {"double, comma", CommaSettings(), -0.25, "-0,25"},
      {"date, point", PointSettings(), TVarDate{afternoon}, "3/5/2026 2:07:09 PM"},
      {"date, comma", CommaSettings(), TVarDate{afternoon}, "05.03.2026 14:07:09"},
      {"date before 1899-12-30, comma", CommaSettings(), TVarDate{beforeEpoch}, "29.12.1899 06:00:00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    ScopedFormatSettings pinned(c.Settings);
    const TVariant text = VarAsType(c.Value, varString);
    EXPECT_EQ(text.AsString(), c.Text);
    const TVariant back = VarAsType(text, VarType(c.Value));
    EXPECT_EQ(VarType(back), VarType(c.Value));
    if (VarType(c.Value) == varDate)
      EXPECT_NEAR(back.AsDate(), c.Value.AsDate(), 0.5 / 86400000);
    else
      EXPECT_TRUE(back == c.Value) << back.AsString();
  }
  // The other separator is not a decimal point.
  ScopedFormatSettings comma(CommaSettings());
  EXPECT_THROW(VarAsType("1.5", varDouble), EVariantError);
  EXPECT_THROW(VarAsType("1.5", varCurrency), EVariantError);
}

}  // namespace
