#include "platform/core/FormatSettings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLocale>

#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"

namespace {

TEST(ConvertQtDateTimeFormat, GivesTheClassLibraryLetters) {
  struct Row {
    const char* qt;
    const char* expected;
  } rows[] = {
      {"M/d/yy", "M/d/yy"},
      {"dd.MM.yy", "dd.MM.yy"},
      {"h:mm:ss AP t", "h:nn:ss ampm"},  // Qt's "mm" is minutes, "AP" the AM/PM text
      {"h:mm ap", "h:nn ampm"},
      {"HH:mm:ss t", "hh:nn:ss"},
      {"H:mm:ss (t)", "h:nn:ss"},
      {"HH:mm:ss.zzz", "hh:nn:ss.zzz"},
      {"d\u200F/M\u200F/yyyy", "d/M/yyyy"},  // ar_EG: right-to-left marks dropped
      {"dddd, d 'de' MMMM 'de' yyyy", "dddd, d 'de' MMMM 'de' yyyy"},
      {"yyyy\u5E74M\u6708d\u65E5dddd", "yyyy\u5E74M\u6708d\u65E5dddd"},
      {"h 'o''clock'", "h \"o'clock\""},
      {"HH 'h' mm", "hh 'h' nn"},
      {"d e MMM", "d 'e' MMM"},  // a letter that is no Qt field stays text
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.qt);
    EXPECT_EQ(ConvertQtDateTimeFormat(r.qt), r.expected);
  }
}

bool HasBidiMark(const std::string& s) {
  for (const char* mark : {"\u200E", "\u200F", "\u061C", "\u202B", "\u2067"})
    if (s.find(mark) != std::string::npos) return true;
  return false;
}

// Only the field letters d, M and y stand outside quotes in a short date
// format (the date edit builds its mask from their runs).
bool DateLettersOnly(const std::string& format) {
  bool quoted = false;
  for (char c : format) {
    if (c == '\'' || c == '"') quoted = !quoted;
    if (!quoted && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && c != 'd' && c != 'M' && c != 'y')
      return false;
  }
  return true;
}

TEST(FormatSettingsFromLocale, ReadsUsableSettingsFromEveryLocale) {
  ScopedClock clock(EncodeDate(2026, 12, 10));  // two-digit years read in 1976..2075
  for (const char* name : {"en_US", "de_DE", "de_CH", "fr_FR", "ar_EG", "ja_JP", "fa_IR", "pt_BR"}) {
    SCOPED_TRACE(name);
    const TFormatSettings s = FormatSettingsFromLocale(QLocale(name));
    for (const std::string* text : {&s.DecimalSeparator, &s.ThousandSeparator, &s.DateSeparator, &s.TimeSeparator}) {
      EXPECT_FALSE(text->empty());
      EXPECT_EQ(text->find('\0'), std::string::npos);
    }
    for (const std::string* text : {&s.DecimalSeparator, &s.ThousandSeparator, &s.CurrencyString, &s.DateSeparator,
                                    &s.ShortDateFormat, &s.LongDateFormat, &s.ShortTimeFormat, &s.LongTimeFormat})
      EXPECT_FALSE(HasBidiMark(*text)) << *text;
    EXPECT_TRUE(DateLettersOnly(s.ShortDateFormat)) << s.ShortDateFormat;
    for (std::string time : {s.ShortTimeFormat, s.LongTimeFormat}) {
      for (size_t at = time.find("ampm"); at != std::string::npos; at = time.find("ampm")) time.erase(at, 4);
      EXPECT_EQ(time.find_first_of("mHtAP"), std::string::npos) << time;  // minutes are "n"
    }
    EXPECT_NE(s.DecimalSeparator, s.ThousandSeparator);

    // Everything written with the locale's settings reads back with them.
    for (TDateTime day : {EncodeDate(2024, 2, 29), EncodeDate(1850, 6, 1), EncodeDate(2099, 12, 31)})
      EXPECT_EQ(StrToDate(DateToStr(day, s), s), day) << DateToStr(day, s);
    const TDateTime time = EncodeTime(17, 5, 0, 0);
    const std::string timeText = FormatDateTime("t", time, s);
    EXPECT_DOUBLE_EQ(StrToTime(timeText, s), time) << timeText;
    EXPECT_EQ(StrToFloat(FloatToStr(-1234.5, s), s), -1234.5);
  }
}

TEST(FormatSettingsFromLocale, KnowsTheThreeReferenceLocales) {
  const TFormatSettings us = FormatSettingsFromLocale(QLocale("en_US"));
  EXPECT_EQ(us.DecimalSeparator, ".");
  EXPECT_EQ(us.ThousandSeparator, ",");
  EXPECT_EQ(us.CurrencyString, "$");
  EXPECT_EQ(us.CurrencyFormat, 0);
  EXPECT_EQ(us.NegCurrFormat, 0);  // "($1)"
  EXPECT_EQ(us.CurrencyDecimals, 2);
  EXPECT_EQ(us.ShortDateFormat, "M/d/yyyy");  // Qt's "M/d/yy" would not read 1850 back
  EXPECT_EQ(us.DateSeparator, "/");
  EXPECT_EQ(us.TimeSeparator, ":");
  EXPECT_EQ(us.LongTimeFormat, "h:nn:ss ampm");
  EXPECT_EQ(us.FirstDayOfWeek, 6);  // Sunday
  EXPECT_EQ(us.LongMonthNames[0], "January");
  EXPECT_EQ(us.ShortDayNames[0], "Sun");

  const TFormatSettings fr = FormatSettingsFromLocale(QLocale("fr_FR"));
  EXPECT_EQ(fr.DecimalSeparator, ",");
  EXPECT_EQ(fr.ThousandSeparator, "\u202F");
  EXPECT_EQ(fr.CurrencyString, "\u20AC");
  EXPECT_EQ(fr.CurrencyFormat, 3);  // "1 €"
  EXPECT_THAT(fr.NegCurrFormat, ::testing::AnyOf(8, 15));
  EXPECT_EQ(fr.ShortDateFormat, "dd/MM/yyyy");
  EXPECT_EQ(fr.LongTimeFormat, "hh:nn:ss");
  EXPECT_EQ(fr.FirstDayOfWeek, 0);  // Monday
  EXPECT_EQ(FloatToStrF(1234567.5, TFloatFormat::ffNumber, 15, 2, fr), "1\u202F234\u202F567,50");

  const TFormatSettings ar = FormatSettingsFromLocale(QLocale("ar_EG"));
  EXPECT_EQ(ar.DecimalSeparator, "\u066B");
  EXPECT_EQ(ar.ThousandSeparator, "\u066C");
  EXPECT_EQ(ar.DateSeparator, "/");
  EXPECT_EQ(ar.ShortDateFormat, "d/M/yyyy");
  EXPECT_EQ(ar.CurrencyString, "\u062C.\u0645.");
  EXPECT_EQ(ar.CurrencyFormat, 3);
  EXPECT_EQ(ar.NegCurrFormat, 8);  // "-1 $"
  EXPECT_EQ(ar.FirstDayOfWeek, 5);  // Saturday
  EXPECT_EQ(ar.TimePMString, "\u0645");
  EXPECT_EQ(FormatDateTime("h:nn ampm", EncodeTime(17, 30, 0, 0), ar), "5:30 \u0645");
  EXPECT_DOUBLE_EQ(StrToTime("5:30 \u0645", ar), EncodeTime(17, 30, 0, 0));
}

TEST(DefaultDecimalSeparator, IsAThinViewOnTheSettings) {
  ScopedFormatSettings pinned{TFormatSettings()};
  EXPECT_EQ(DefaultDecimalSeparator(), '.');
  SetDefaultDecimalSeparator(',');
  EXPECT_EQ(FormatSettings().DecimalSeparator, ",");
  EXPECT_EQ(FloatToStr(1.5), "1,5");
  EXPECT_EQ(StrToFloat("2,5"), 2.5);

  // ar_EG's separator is not one ASCII character: one-char callers get ".",
  // screen texts the real one, never a NUL byte.
  SetFormatSettings(FormatSettingsFromLocale(QLocale("ar_EG")));
  EXPECT_EQ(DefaultDecimalSeparator(), '.');
  EXPECT_EQ(FloatToStr(1.5), "1\u066B5");
  EXPECT_EQ(StrToFloat("1\u066B5"), 1.5);
  EXPECT_THROW(StrToFloat("1.5"), EConvertError);
  EXPECT_EQ(FloatToStrF(2.5, TFloatFormat::ffFixed, 15, 1, DefaultDecimalSeparator()), "2.5");
}

TEST(ScopedFormatSettings, RestoresThePreviousSettings) {
  TFormatSettings comma;
  comma.DecimalSeparator = ",";
  const TFormatSettings before = FormatSettings();
  {
    ScopedFormatSettings pinned(comma);
    EXPECT_EQ(FormatSettings(), comma);
  }
  EXPECT_EQ(FormatSettings(), before);
}

}  // namespace
