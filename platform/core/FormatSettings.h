#pragma once
// The one source of locale truth for numbers, currency amounts and dates.
// Filled once at start-up from the user's locale (FormatSettingsFromLocale);
// until then, and in tests that do not set it, the defaults below hold
// (English, "." decimals). Every text is UTF-8: a separator or symbol may be
// several bytes (fr_FR groups digits with U+202F, ar_EG's decimal point is
// U+066B).
//
// Date and time formats use the letters of FormatDateTime (DateTime.h):
// d dd ddd dddd, m mm mmm mmmm (or M), yy yyyy, h hh, n nn (minutes), s ss,
// z zzz, ampm (the AM/PM texts below), "/" (DateSeparator), ":"
// (TimeSeparator) and quoted literals. The short date format keeps the
// letters "M", "d" and "y", since date masks are built from their runs.

#include <array>
#include <string>
#include <string_view>

class QLocale;

struct TFormatSettings {
  std::string DecimalSeparator = ".";
  std::string ThousandSeparator = ",";

  std::string CurrencyString = "$";
  // Where the currency string stands, with "$" for it and "1" for the amount:
  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $". Out-of-range values count as 0.
  int CurrencyFormat = 0;
  // Negative amounts: 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$",
  // 6 "1-$", 7 "1$-", 8 "-1 $", 9 "-$ 1", 10 "1 $-", 11 "$ 1-", 12 "$ -1",
  // 13 "1- $", 14 "($ 1)", 15 "(1 $)". Out-of-range values count as 1.
  int NegCurrFormat = 0;
  // Decimals of a currency amount, 0..18 (clamped where used).
  int CurrencyDecimals = 2;

  std::string DateSeparator = "/";
  std::string TimeSeparator = ":";
  std::string ShortDateFormat = "M/d/yyyy";
  std::string LongDateFormat = "dddd, MMMM d, yyyy";
  std::string ShortTimeFormat = "h:nn ampm";
  std::string LongTimeFormat = "h:nn:ss ampm";
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> LongMonthNames{"January", "February", "March",     "April",   "May",      "June",
                                             "July",    "August",   "September", "October", "November", "December"};
  // Index 0 is Sunday.
  std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> LongDayNames{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

  // The platform's numbering: 0 Monday .. 6 Sunday.
  int FirstDayOfWeek = 6;
  // A two-digit year read by StrToDate falls in the hundred years that start
  // this many years before the current year (0: the current century).
  int TwoDigitYearCenturyWindow = 50;

  bool operator==(const TFormatSettings&) const = default;
};

// The process-wide settings (created on first use).
const TFormatSettings& FormatSettings();
void SetFormatSettings(TFormatSettings settings);

// Sets the process-wide settings for one scope and restores the previous ones
// when it ends (tests pin a locale with it).
class ScopedFormatSettings {
 public:
  explicit ScopedFormatSettings(TFormatSettings settings);
  ~ScopedFormatSettings();
  ScopedFormatSettings(const ScopedFormatSettings&) = delete;
  ScopedFormatSettings& operator=(const ScopedFormatSettings&) = delete;

 private:
  TFormatSettings previous_;
};

// The settings of a Qt locale. Bidirectional marks are dropped from every
// text; separators are never empty (a missing one falls back to the
// default); Qt's date and time formats are converted to the letters above,
// and the short date format writes four-digit years ("M/d/yy" becomes
// "M/d/yyyy"), so that every date reads back from its text.
TFormatSettings FormatSettingsFromLocale(const QLocale& locale);

// Converts a Qt date or time format to FormatDateTime letters: "mm" (minutes)
// becomes "nn", "H" becomes "h", "AP"/"ap"/"A"/"a" become "ampm", the time
// zone "t" is dropped, other ASCII letters are quoted. "dd.MM.yy" stays
// "dd.MM.yy"; "h:mm:ss AP t" becomes "h:nn:ss ampm".
std::string ConvertQtDateTimeFormat(std::string_view qtFormat);

