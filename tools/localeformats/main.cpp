// localeformats <locale>...   e.g. localeformats en_US de_DE fr_FR ar_EG
// Prints the settings FormatSettingsFromLocale reads and samples written with
// them. Separators are shown with their code points, since U+202F or U+066B
// look like a blank or a comma on a terminal.

#include <QLocale>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/core/Currency.h"
#include "platform/core/DateTime.h"
#include "platform/core/FormatFloat.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/StrUtils.h"

namespace {

// "٫ (U+066B)": the text and the code points of its non-ASCII characters.
std::string Shown(std::string_view text) {
  std::string out = "\"" + std::string(text) + "\"";
  std::string points;
  const QString q = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  for (QChar c : q)
    if (c.unicode() >= 0x80) points += Format(" U+%.4x", {c.unicode()});
  return points.empty() ? out : out + " (" + points.substr(1) + ")";
}

void Line(const char* name, const std::string& value) { std::printf("  %-24s %s\n", name, value.c_str()); }

void Print(const char* name) {
  const QLocale locale(QString::fromUtf8(name));
  const TFormatSettings s = FormatSettingsFromLocale(locale);
  std::printf("%s (Qt: %s)\n", name, locale.name().toUtf8().constData());
  Line("DecimalSeparator", Shown(s.DecimalSeparator));
  Line("ThousandSeparator", Shown(s.ThousandSeparator));
  Line("CurrencyString", Shown(s.CurrencyString));
  Line("CurrencyFormat", IntToStr(s.CurrencyFormat));
  Line("NegCurrFormat", IntToStr(s.NegCurrFormat));
  Line("CurrencyDecimals", IntToStr(s.CurrencyDecimals));
  Line("DateSeparator", Shown(s.DateSeparator));
  Line("TimeSeparator", Shown(s.TimeSeparator));
  Line("ShortDateFormat", Shown(s.ShortDateFormat));
  Line("LongDateFormat", Shown(s.LongDateFormat));
  Line("ShortTimeFormat", Shown(s.ShortTimeFormat));
  Line("LongTimeFormat", Shown(s.LongTimeFormat));
  Line("TimeAMString", Shown(s.TimeAMString));
  Line("TimePMString", Shown(s.TimePMString));
  Line("LongMonthNames[0]", Shown(s.LongMonthNames[0]));
  Line("ShortDayNames[0]", Shown(s.ShortDayNames[0]));
  Line("FirstDayOfWeek", IntToStr(s.FirstDayOfWeek) + " (" + s.LongDayNames[(s.FirstDayOfWeek + 1) % 7] + ")");

  std::printf(" samples\n");
  const double number = -1234567.891;
  Line("FloatToStr", FloatToStr(number, s));
  Line("FloatToStrF ffNumber 2", FloatToStrF(number, TFloatFormat::ffNumber, 15, 2, s));
  Line("FloatToStrF ffCurrency", FloatToStrF(1234.5, TFloatFormat::ffCurrency, 15, s.CurrencyDecimals, s));
  Line("  negative", FloatToStrF(-1234.5, TFloatFormat::ffCurrency, 15, s.CurrencyDecimals, s));
  Line("CurrToStrF 0.00005", CurrToStrF(FloatToCurr(0.00005), TFloatFormat::ffCurrency, 4, s));
  Line("FormatFloat #,##0.00", FormatFloat("#,##0.00;(#,##0.00);'zero'", number, s));
  Line("FormatFloat 0.00E+00", FormatFloat("0.00E+00", number, s));
  Line("Format %n / %m", Format("%n / %m", {number, number}, s));
  const TDateTime when = ComposeDateTime(EncodeDate(2024, 2, 29), EncodeTime(17, 5, 9, 0));
  const TDateTime old = ComposeDateTime(EncodeDate(1850, 6, 1), EncodeTime(6, 0, 0, 0));
  Line("DateTimeToStr", DateTimeToStr(when, s));
  Line("  before 1899-12-30", DateTimeToStr(old, s) + " = " + FloatToStr(old, s));
  Line("long date", FormatDateTime("dddddd", when, s));
  Line("short time", FormatDateTime("t", when, s));
  TDateTime back = 0;
  const bool read = TryStrToDateTime(DateTimeToStr(when, s), back, s);
  Line("StrToDateTime back", read ? (back == when ? "same" : "differs: " + FloatToStr(back, s)) : "not read");
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: localeformats <locale>...   (for example en_US de_DE fr_FR ar_EG)\n");
    return 2;
  }
  for (int i = 1; i < argc; ++i) Print(argv[i]);
  return 0;
}
