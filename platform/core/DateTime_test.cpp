#include "platform/core/DateTime.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "platform/core/Exceptions.h"

namespace {

using ::testing::ThrowsMessage;

// Today for every test that reads the clock: Thursday 2026-12-10, 18:00.
constexpr TDateTime kToday = 46366;
const TDateTime kNow = kToday + 0.75;

TEST(EncodeDate, CountsDaysFrom18991230) {
  struct Row {
    int year, month, day;
    TDateTime value;
    int weekday;  // 1 Sunday .. 7 Saturday
  } rows[] = {
      {1899, 12, 30, 0, 7},     {1899, 12, 31, 1, 1},      {1899, 12, 29, -1, 6},       {1900, 3, 1, 61, 5},
      {2000, 1, 1, 36526, 7},   {2024, 2, 29, 45351, 5},   {2026, 12, 10, 46366, 5},    {1850, 6, 1, -18109, 7},
      {1, 1, 1, -693593, 2},    {9999, 12, 31, 2958465, 6},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.value);
    EXPECT_EQ(EncodeDate(r.year, r.month, r.day), r.value);
    int y = 0, m = 0, d = 0;
    DecodeDate(r.value, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, r.year * 10000 + r.month * 100 + r.day);
    EXPECT_EQ(DayOfWeek(r.value), r.weekday);
  }
  for (auto [y, m, d] : {std::tuple{2023, 2, 29}, {1900, 2, 29}, {0, 1, 1}, {10000, 1, 1}, {2024, 13, 1}, {2024, 0, 1},
                         {2024, 1, 0}, {2024, 4, 31}}) {
    SCOPED_TRACE(y * 10000 + m * 100 + d);
    EXPECT_THAT([&] { EncodeDate(y, m, d); }, ThrowsMessage<EConvertError>(kDateEncodeErrorText));
  }
}

TEST(DecodeDate, ReadsDatesBefore18991230WithTheTimeOfDayAsFraction) {
  struct Row {
    TDateTime value;
    const char* expected;  // FormatDateTime "yyyy-mm-dd hh:nn:ss.zzz"
  } rows[] = {
      {-1.25, "1899-12-29 06:00:00.000"},
      {-1.75, "1899-12-29 18:00:00.000"},
      {-0.5, "1899-12-30 12:00:00.000"},
      {0.5, "1899-12-30 12:00:00.000"},
      {-18109.5, "1850-06-01 12:00:00.000"},
      {1.9999999999, "1900-01-01 00:00:00.000"},   // rounds up to the next midnight
      {-1.9999999999, "1899-12-30 00:00:00.000"},  // likewise, before 1899-12-30
      {-693593.0, "0001-01-01 00:00:00.000"},
  };
  TFormatSettings s;
  for (const auto& r : rows) {
    SCOPED_TRACE(r.value);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", r.value, s), r.expected);
  }
  EXPECT_EQ(ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0)), -1.25);
  EXPECT_EQ(ComposeDateTime(EncodeDate(2000, 1, 1), EncodeTime(6, 0, 0, 0)), 36526.25);
  int y = -1, m = -1, d = -1;
  for (double bad : {std::nan(""), 1e300, -700000.0, 2958466.0}) {
    DecodeDate(bad, y, m, d);
    EXPECT_EQ(y + m + d, 0) << bad;
  }
  EXPECT_THAT([] { EncodeTime(24, 0, 0, 0); }, ThrowsMessage<EConvertError>(kTimeEncodeErrorText));
  EXPECT_THROW(EncodeTime(1, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(1, 0, 0, 1000), EConvertError);
}

TEST(Clock, NowDateAndTimeComeFromTheInjectedClock) {
  {
    ScopedClock clock(kNow);
    EXPECT_EQ(Now(), kNow);
    EXPECT_EQ(Date(), kToday);
    EXPECT_EQ(Time(), 0.75);
  }
  const TDateTime system = SystemClock();
  EXPECT_NEAR(Now(), system, 1.0 / 24);  // the system clock again
  EXPECT_GT(system, EncodeDate(2020, 1, 1));
}

// Settings in the two shapes that matter for reading dates: "." separators in
// day-month-year order, "/" in month-day-year order, and two more orders.
struct Locale {
  const char* name;
  TFormatSettings settings;
};

std::vector<Locale> Locales() {
  TFormatSettings dot;
  dot.DecimalSeparator = ",";
  dot.ThousandSeparator = ".";
  dot.DateSeparator = ".";
  dot.ShortDateFormat = "dd.mm.yyyy";
  dot.LongTimeFormat = "hh:nn:ss,zzz";
  TFormatSettings slash;  // M/d/yyyy, h:nn:ss ampm
  slash.LongTimeFormat = "h:nn:ss.zzz ampm";
  TFormatSettings dmy;
  dmy.ShortDateFormat = "d/M/yy";
  dmy.LongTimeFormat = "hh:nn:ss.zzz";
  TFormatSettings ymd;
  ymd.DateSeparator = "-";
  ymd.ShortDateFormat = "yyyy/MM/dd";
  ymd.LongTimeFormat = "hh:nn:ss.zzz";
  return {{"dot", dot}, {"slash", slash}, {"dmy two-digit years", dmy}, {"ymd", ymd}};
}

TEST(StrToDateTime, ReadsBackWhatDateTimeToStrWrites) {
  ScopedClock clock(kNow);
  const TDateTime dates[] = {EncodeDate(2024, 2, 29), EncodeDate(1999, 12, 31), EncodeDate(2026, 1, 2),
                             EncodeDate(2075, 6, 30), EncodeDate(1976, 7, 4)};
  const TDateTime oldDates[] = {EncodeDate(1850, 6, 1), EncodeDate(1, 1, 1), EncodeDate(9999, 12, 31),
                                EncodeDate(1899, 12, 29)};
  const TDateTime times[] = {0, EncodeTime(6, 0, 0, 0), EncodeTime(13, 5, 9, 7), EncodeTime(23, 59, 59, 999),
                             EncodeTime(0, 0, 1, 500), EncodeTime(12, 30, 0, 0)};
  for (const Locale& locale : Locales()) {
    SCOPED_TRACE(locale.name);
    const TFormatSettings& s = locale.settings;
    const bool fourDigitYears = s.ShortDateFormat.find("yyyy") != std::string::npos;
    std::vector<TDateTime> all(std::begin(dates), std::end(dates));
    if (fourDigitYears) all.insert(all.end(), std::begin(oldDates), std::end(oldDates));
    for (TDateTime date : all) {
      SCOPED_TRACE(DateToStr(date, s));
      EXPECT_EQ(StrToDate(DateToStr(date, s), s), date);
      for (TDateTime time : times) {
        const TDateTime value = ComposeDateTime(date, time);
        const std::string text = DateTimeToStr(value, s);
        SCOPED_TRACE(text);
        EXPECT_NEAR(StrToDateTime(text, s), value, 1e-9);
        EXPECT_NEAR(StrToTime(TimeToStr(value, s), s), time, 1e-9);
      }
    }
  }
}

TEST(StrToDate, ReadsFieldsInTheShortDateOrder) {
  ScopedClock clock(kNow);
  TFormatSettings mdy, dmy, dot, window0;
  dmy.ShortDateFormat = "dd/MM/yyyy";
  dot.ShortDateFormat = "dd.MM.yyyy";
  dot.DateSeparator = ".";
  window0.TwoDigitYearCenturyWindow = 0;
  struct Row {
    const char* text;
    const TFormatSettings* settings;
    int year, month, day;
  } rows[] = {
      {"1/2/2003", &mdy, 2003, 1, 2},
      {"1/2/2003", &dmy, 2003, 2, 1},
      {"1.2.2003", &dot, 2003, 2, 1},
      {" 1 / 2 / 2003 ", &mdy, 2003, 1, 2},
      {"3/4", &mdy, 2026, 3, 4},  // two numbers: this year
      {"3/4", &dmy, 2026, 4, 3},
      {"1/2/76", &mdy, 1976, 1, 2},  // the hundred years from 1976 (2026 - 50)
      {"1/2/75", &mdy, 2075, 1, 2},
      {"1/2/5", &mdy, 2005, 1, 2},
      {"1/2/99", &window0, 2099, 1, 2},  // window 0: this century
      {"1/2/0099", &mdy, 99, 1, 2},     // four digits are the year as written
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(StrToDate(r.text, *r.settings), EncodeDate(r.year, r.month, r.day));
  }
  TFormatSettings ymd;
  ymd.ShortDateFormat = "yyyy/MM/dd";
  EXPECT_EQ(StrToDate("2003/1/2", ymd), EncodeDate(2003, 1, 2));
}

TEST(StrToTime, ReadsHoursMinutesSecondsAndMarks) {
  TFormatSettings s, comma;
  comma.DecimalSeparator = ",";
  s.TimeAMString = "vorm.";
  s.TimePMString = "nachm.";
  struct Row {
    const char* text;
    const TFormatSettings* settings;
    int hour, minute, second, ms;
  } rows[] = {
      {"12:30", &s, 12, 30, 0, 0},       {"7", &s, 7, 0, 0, 0},
      {"1:05 PM", &s, 13, 5, 0, 0},      {"1:05 pm", &s, 13, 5, 0, 0},
      {"12:00 AM", &s, 0, 0, 0, 0},      {"12:00 PM", &s, 12, 0, 0, 0},
      {"PM 3:00", &s, 15, 0, 0, 0},      {"3:00 nachm.", &s, 15, 0, 0, 0},
      {"12:30:15.5", &s, 12, 30, 15, 500}, {"12:30:15,25", &comma, 12, 30, 15, 250},
      {" 23 : 59 : 59.999 ", &s, 23, 59, 59, 999},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_DOUBLE_EQ(StrToTime(r.text, *r.settings), EncodeTime(r.hour, r.minute, r.second, r.ms));
  }
  EXPECT_DOUBLE_EQ(StrToDateTime("12:30", s), EncodeTime(12, 30, 0, 0));  // a time alone
}

TEST(StrToDateTime, RefusesBadTextsNamingThem) {
  ScopedClock clock(kNow);
  TFormatSettings dmy;
  dmy.ShortDateFormat = "dd/MM/yyyy";
  for (const char* bad : {"31/02/2024", "xyz", "", "1/2/2003 x", "1/2/", "1//2003", "12/13/2024", "1/2/3/4",
                          "1/2/12345", "0/1/2024", "1.2.2003"}) {
    SCOPED_TRACE(bad);
    EXPECT_THAT([&] { StrToDate(bad, dmy); },
                ThrowsMessage<EConvertError>("'" + std::string(bad) + "' is not a valid date"));
  }
  for (const char* bad : {"25:00", "12:60", "12:30:", "13:00 PM", "0:30 AM", "12:30:15.1234", "noon", "12:30 5"}) {
    SCOPED_TRACE(bad);
    EXPECT_THAT([&] { StrToTime(bad, dmy); },
                ThrowsMessage<EConvertError>("'" + std::string(bad) + "' is not a valid time"));
  }
  for (const char* bad : {"1/2/2003 25:00", "31/02/2024 10:00", "1/2/2003 10:00 x"}) {
    SCOPED_TRACE(bad);
    EXPECT_THAT([&] { StrToDateTime(bad, dmy); },
                ThrowsMessage<EConvertError>("'" + std::string(bad) + "' is not a valid date and time"));
  }
}

TEST(FormatDateTime, WritesEveryField) {
  const TDateTime thursday = EncodeDate(2026, 3, 5);
  const TDateTime afternoon = ComposeDateTime(thursday, EncodeTime(13, 5, 9, 7));
  const TDateTime midnight = ComposeDateTime(thursday, EncodeTime(0, 5, 0, 0));
  TFormatSettings slash, dot;  // slash: M/d/yyyy and h:nn:ss ampm
  dot.DateSeparator = ".";
  dot.TimeSeparator = ".";
  dot.ShortDateFormat = "dd/mm/yyyy";
  dot.LongTimeFormat = "hh:nn:ss";
  struct Row {
    const char* format;
    TDateTime value;
    const char* slash;
    const char* dot;
  } rows[] = {
      {"dd/mm/yyyy hh:nn", thursday + 0.5, "05/03/2026 12:00", "05.03.2026 12.00"},
      {"d/m/yy", thursday, "5/3/26", "5.3.26"},
      {"dddd, mmmm d, yyyy", thursday, "Thursday, March 5, 2026", "Thursday, March 5, 2026"},
      {"ddd MMM", thursday, "Thu Mar", "Thu Mar"},
      {"hh:mm", afternoon, "13:05", "13.05"},  // m after h is the minute
      {"mm/dd", afternoon, "03/05", "03.05"},
      {"h:nn am/pm", afternoon, "1:05 pm", "1.05 pm"},
      {"h:nn AM/PM", afternoon, "1:05 PM", "1.05 PM"},
      {"hh:nn a/p", midnight, "12:05 a", "12.05 a"},
      {"h:nn ampm", afternoon, "1:05 PM", "1.05 PM"},
      {"hh:nn:ss.zzz", afternoon, "13:05:09.007", "13.05.09.007"},
      {"h:n:s z", afternoon, "13:5:9 7", "13.5.9 7"},
      {"c", thursday, "3/5/2026", "05.03.2026"},
      {"c", afternoon, "3/5/2026 1:05:09 PM", "05.03.2026 13.05.09"},
      {"", afternoon, "3/5/2026 1:05:09 PM", "05.03.2026 13.05.09"},
      {"ddddd", thursday, "3/5/2026", "05.03.2026"},
      {"tt", afternoon, "1:05:09 PM", "13.05.09"},
      {"'yyyy' yyyy \"h\"h", afternoon, "yyyy 2026 h13", "yyyy 2026 h13"},
      {"yyyy-mm-dd", EncodeDate(99, 1, 2), "0099-01-02", "0099-01-02"},
      {"[x]", thursday, "[x]", "[x]"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.format);
    EXPECT_EQ(FormatDateTime(r.format, r.value, slash), r.slash);
    EXPECT_EQ(FormatDateTime(r.format, r.value, dot), r.dot);
  }
  // A format that names itself stops after two levels instead of recursing.
  TFormatSettings loop;
  loop.ShortDateFormat = "d ddddd";
  EXPECT_EQ(FormatDateTime("ddddd", thursday, loop), "5 5 ");
}

}  // namespace
