#pragma once
// Dates and times as the class library counts them: a TDateTime is days since
// 1899-12-30 00:00 (0.0), the fraction being the time of day (0.25 is 06:00).
// Before 1899-12-30 the integer part counts back while the fraction is still
// the time of day: -1.25 is 1899-12-29 06:00, so a date and a time combine by
// the sign of the date (ComposeDateTime). Dates run from 0001-01-01 to
// 9999-12-31 in the proleptic Gregorian calendar.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/core/FormatSettings.h"

using TDateTime = double;

// Texts of the conversion errors, word for word.
inline constexpr const char* kDateEncodeErrorText = "Invalid argument to date encode";
inline constexpr const char* kTimeEncodeErrorText = "Invalid argument to time encode";
inline constexpr const char* kInvalidDateText = "'%s' is not a valid date";
inline constexpr const char* kInvalidTimeText = "'%s' is not a valid time";
inline constexpr const char* kInvalidDateTimeText = "'%s' is not a valid date and time";

bool IsLeapYear(int year);
// 28..31; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// Year 1..9999, month 1..12, day within the month; otherwise false, or
// EConvertError kDateEncodeErrorText.
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
TDateTime EncodeDate(int year, int month, int day);
// The date part of value. NaN or a value outside the date range gives 0, 0, 0.
void DecodeDate(TDateTime value, int& year, int& month, int& day);

// Hour 0..23, minute and second 0..59, millisecond 0..999; otherwise false,
// or EConvertError kTimeEncodeErrorText. The result lies in [0, 1).
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& time);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
// The time of day of value, to the nearest millisecond (the fraction's
// magnitude, so -1.25 gives 06:00). A time that rounds up to 24:00 gives 00:00,
// and DecodeDate the next day.
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);

// date + time for a date on or after 1899-12-30, date - time before it.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

// 1 Sunday .. 7 Saturday (1899-12-30 was a Saturday).
int DayOfWeek(TDateTime value);

// The clock behind Now, Date and Time. The system clock gives the local time;
// tests set a fixed one.
using DateTimeClock = std::function<TDateTime()>;
TDateTime SystemClock();
// Returns the previous clock; an empty function restores the system clock.
DateTimeClock SetClock(DateTimeClock clock);
class ScopedClock {
 public:
  explicit ScopedClock(DateTimeClock clock) : previous_(SetClock(std::move(clock))) {}
  // A clock that always reads `value`.
  explicit ScopedClock(TDateTime value) : ScopedClock(DateTimeClock([value] { return value; })) {}
  ~ScopedClock() { SetClock(std::move(previous_)); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  DateTimeClock previous_;
};
TDateTime Now();
TDateTime Date();  // today at 00:00
TDateTime Time();  // the time of day

// Reading. Blanks may surround the text and its separators.
// - A date is two or three numbers separated by the date separator, in the
//   order of the short date format's first field letter (d: day month year,
//   y: year month day, otherwise month day year). With two numbers the year is
//   the current one (Date()). A year of one or two digits falls in the hundred
//   years that start TwoDigitYearCenturyWindow years before the current year
//   (window 50 in 2026: "76" is 1976, "75" is 2075; window 0: this century).
// - A time is hour[:minute[:second[<decimal separator>milliseconds]]] with the
//   time separator, and an AM or PM mark (TimeAMString, TimePMString, "AM",
//   "PM", any case) before or after it, which makes the hour 1..12 a 12-hour
//   one. Milliseconds are up to three digits of a fraction (".5" is 500 ms).
// - A date and time is a date, then blanks and a time; or a time alone (on
//   1899-12-30).
// A text that does not fit, or a field out of range, gives false, or
// EConvertError with kInvalidDateText (kInvalidTimeText, kInvalidDateTimeText)
// naming the text: "'31/02/2024' is not a valid date".
bool TryStrToDate(std::string_view text, TDateTime& value, const TFormatSettings& settings = FormatSettings());
bool TryStrToTime(std::string_view text, TDateTime& value, const TFormatSettings& settings = FormatSettings());
bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& settings = FormatSettings());
TDateTime StrToDate(std::string_view text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToTime(std::string_view text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToDateTime(std::string_view text, const TFormatSettings& settings = FormatSettings());

// Writing. Letters of the format, in either case:
//   c       the short date format, then, unless the time is 00:00:00.000, a
//           blank and the long time format
//   d dd    day without / with a leading zero; ddd dddd short / long day
//           name; ddddd the short date format; dddddd the long date format
//   m mm    month without / with a leading zero, or the minute right after an
//           h or hh field; mmm mmmm short / long month name
//   yy yyyy two-digit / four-digit year (a run of three or more is yyyy)
//   h hh    hour without / with a leading zero; a 12-hour clock when an
//           am/pm field follows anywhere in the format
//   n nn    minute; s ss second; z zzz millisecond without padding / with 3 digits
//   t tt    the short / long time format
//   am/pm   "am" or "pm" in the case written ("AM/PM" gives "PM");
//   a/p     "a" or "p" likewise; ampm: TimeAMString or TimePMString
//   /       the date separator; :  the time separator
//   'x' "x" quoted text as it stands; other characters as they stand.
// An empty format is "c". Formats nest two deep: the short date format may
// name the long one, a third level is left out.
// FormatDateTime("dd/mm/yyyy hh:nn", EncodeDate(2026, 3, 5) + 0.5) == "05/03/2026 12:00".
std::string FormatDateTime(std::string_view format, TDateTime value,
                           const TFormatSettings& settings = FormatSettings());
std::string DateToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());      // "ddddd"
std::string TimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());      // "tt"
std::string DateTimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());  // "c"
