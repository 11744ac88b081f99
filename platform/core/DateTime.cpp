#include "platform/core/DateTime.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

namespace {

constexpr int64_t kMsPerDay = 86400000;
// Days from 0001-01-01 to 1899-12-30.
constexpr int64_t kDateDelta = 693593;
constexpr int64_t kMinDay = -693593;  // 0001-01-01
constexpr int64_t kMaxDay = 2958465;  // 9999-12-31
// Julian day number of 1899-12-30.
constexpr int64_t kJulianDelta = 2415019;

constexpr int kDaysBeforeMonth[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// The calendar day (days since 1899-12-30) and the millisecond of the day of
// a value, by the negative-date rule; false for NaN or a value far outside
// the date range.
bool Split(TDateTime value, int64_t& day, int64_t& ms) {
  if (!(std::fabs(value) < 1e7)) return false;
  const double whole = std::trunc(value);
  day = static_cast<int64_t>(whole);
  ms = std::llround(std::fabs(value - whole) * kMsPerDay);
  if (ms >= kMsPerDay) {  // rounds up to midnight: the next calendar day
    ms = 0;
    ++day;
  }
  return true;
}

std::string Padded(int64_t value, int width) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
  return text;
}

std::string Named(std::string_view pattern, std::string_view text) {
  std::string message(pattern);
  const size_t at = message.find("%s");
  return message.replace(at, 2, text);
}

// A cursor over text being read by StrToDate and StrToTime.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : s_(text) {}
  size_t Position() const { return i_; }
  void Reset(size_t position) { i_ = position; }
  void SkipBlanks() {
    while (i_ < s_.size() && static_cast<unsigned char>(s_[i_]) <= ' ') ++i_;
  }
  bool AtEnd() {
    SkipBlanks();
    return i_ == s_.size();
  }
  // 1..maxDigits digits; a longer run of digits does not count.
  bool Number(int& value, int& digits, int maxDigits) {
    SkipBlanks();
    digits = 0;
    value = 0;
    while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') {
      if (++digits > maxDigits) return false;
      value = value * 10 + (s_[i_++] - '0');
    }
    return digits > 0;
  }
  // The text (ASCII letters in any case) at the cursor, after blanks unless
  // the text itself starts with one.
  bool Text(std::string_view text) {
    if (text.empty()) return false;
    size_t save = i_;
    if (static_cast<unsigned char>(text[0]) > ' ') SkipBlanks();
    if (s_.size() - i_ >= text.size() && SameText(s_.substr(i_, text.size()), text)) {
      i_ += text.size();
      return true;
    }
    i_ = save;
    return false;
  }

 private:
  std::string_view s_;
  size_t i_ = 0;
};

enum class DateOrder { MDY, DMY, YMD };

DateOrder OrderOf(std::string_view shortDateFormat) {
  bool quoted = false;
  for (char c : shortDateFormat) {
    if (c == '\'' || c == '"') quoted = !quoted;
    if (quoted) continue;
    switch (c) {
      case 'd': case 'D': return DateOrder::DMY;
      case 'y': case 'Y': return DateOrder::YMD;
      case 'm': case 'M': return DateOrder::MDY;
      default: break;
    }
  }
  return DateOrder::MDY;
}

int CurrentYear() {
  int year = 0, month = 0, day = 0;
  DecodeDate(Date(), year, month, day);
  return year;
}

bool ScanDate(Scanner& sc, const TFormatSettings& s, TDateTime& date) {
  int n[3] = {0, 0, 0}, digits[3] = {0, 0, 0};
  if (!sc.Number(n[0], digits[0], 4) || !sc.Text(s.DateSeparator) || !sc.Number(n[1], digits[1], 4)) return false;
  const bool hasYear = sc.Text(s.DateSeparator);
  if (hasYear && !sc.Number(n[2], digits[2], 4)) return false;
  int year = 0, month = 0, day = 0, yearDigits = 4;
  const DateOrder order = OrderOf(s.ShortDateFormat);
  if (!hasYear) {
    // Two numbers are month and day, or day and month; the year is this one.
    month = order == DateOrder::DMY ? n[1] : n[0];
    day = order == DateOrder::DMY ? n[0] : n[1];
    year = CurrentYear();
  } else if (order == DateOrder::MDY) {
    month = n[0], day = n[1], year = n[2], yearDigits = digits[2];
  } else if (order == DateOrder::DMY) {
    day = n[0], month = n[1], year = n[2], yearDigits = digits[2];
  } else {
    year = n[0], month = n[1], day = n[2], yearDigits = digits[0];
  }
  if (yearDigits <= 2) {
    const int base = CurrentYear() - s.TwoDigitYearCenturyWindow;
    year += base / 100 * 100;
    if (s.TwoDigitYearCenturyWindow > 0 && year < base) year += 100;
  }
  return TryEncodeDate(year, month, day, date);
}

// 0 for an AM mark, 12 for a PM mark, -1 for none.
int ScanAmPm(Scanner& sc, const TFormatSettings& s) {
  if (sc.Text(s.TimeAMString) || sc.Text("AM")) return 0;
  if (sc.Text(s.TimePMString) || sc.Text("PM")) return 12;
  return -1;
}

bool ScanTime(Scanner& sc, const TFormatSettings& s, TDateTime& time) {
  int baseHour = ScanAmPm(sc, s);
  int hour = 0, minute = 0, second = 0, ms = 0, digits = 0;
  if (!sc.Number(hour, digits, 4)) return false;
  if (sc.Text(s.TimeSeparator)) {
    if (!sc.Number(minute, digits, 4)) return false;
    if (sc.Text(s.TimeSeparator)) {
      if (!sc.Number(second, digits, 4)) return false;
      if (sc.Text(s.DecimalSeparator)) {
        if (!sc.Number(ms, digits, 3)) return false;
        for (; digits < 3; ++digits) ms *= 10;
      }
    }
  }
  if (baseHour < 0) baseHour = ScanAmPm(sc, s);
  if (baseHour >= 0) {
    if (hour == 0 || hour > 12) return false;
    hour = hour % 12 + baseHour;
  }
  return TryEncodeTime(hour, minute, second, ms, time);
}

// Whether an am/pm field stands anywhere in format from `from` on.
bool AmPmAhead(std::string_view format, size_t from) {
  for (size_t i = from; i < format.size(); ++i) {
    const char c = format[i];
    if (c == '\'' || c == '"') {
      const size_t close = format.find(c, i + 1);
      if (close == std::string_view::npos) return false;
      i = close;
    } else if (c == 'a' || c == 'A') {
      const std::string_view rest = format.substr(i);
      for (std::string_view field : {"am/pm", "a/p", "ampm"})
        if (rest.size() >= field.size() && SameText(rest.substr(0, field.size()), field)) return true;
    }
  }
  return false;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

struct Fields {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, ms = 0, weekday = 1;
};

void AppendFormatted(std::string& out, std::string_view f, const Fields& v, const TFormatSettings& s, int depth) {
  if (depth > 2) return;
  char last = 0;  // the last field letter, for "m" after "h"
  size_t i = 0;
  while (i < f.size()) {
    const char c = f[i];
    const char u = Upper(c);
    size_t count = 1;
    while (i + count < f.size() && Upper(f[i + count]) == u && u >= 'A' && u <= 'Z') ++count;
    auto nested = [&](const std::string& format) { AppendFormatted(out, format, v, s, depth + 1); };
    switch (u) {
      case '\'':
      case '"': {
        const size_t close = f.find(c, i + 1);
        const size_t end = close == std::string_view::npos ? f.size() : close;
        out += f.substr(i + 1, end - i - 1);
        i = end + 1;
        continue;
      }
      case 'C':
        count = 1;
        nested(s.ShortDateFormat);
        if (v.hour || v.minute || v.second || v.ms) {
          out += ' ';
          nested(s.LongTimeFormat);
        }
        break;
      case 'D':
        if (count <= 2) out += Padded(v.day, static_cast<int>(count));
        else if (count == 3) out += s.ShortDayNames[v.weekday - 1];
        else if (count == 4) out += s.LongDayNames[v.weekday - 1];
        else if (count == 5) nested(s.ShortDateFormat);
        else nested(s.LongDateFormat);
        break;
      case 'M':
        if (count <= 2 && last == 'H') out += Padded(v.minute, static_cast<int>(count));
        else if (count <= 2) out += Padded(v.month, static_cast<int>(count));
        else if (v.month >= 1 && v.month <= 12)
          out += count == 3 ? s.ShortMonthNames[v.month - 1] : s.LongMonthNames[v.month - 1];
        break;
      case 'Y':
        out += count <= 2 ? Padded(v.year % 100, 2) : Padded(v.year, 4);
        break;
      case 'H': {
        int hour = v.hour;
        if (AmPmAhead(f, i + count)) hour = hour % 12 == 0 ? 12 : hour % 12;
        out += Padded(hour, count >= 2 ? 2 : 1);
        break;
      }
      case 'N': out += Padded(v.minute, count >= 2 ? 2 : 1); break;
      case 'S': out += Padded(v.second, count >= 2 ? 2 : 1); break;
      case 'Z': out += Padded(v.ms, count >= 3 ? 3 : 1); break;
      case 'T': nested(count == 1 ? s.ShortTimeFormat : s.LongTimeFormat); break;
      case 'A': {
        const std::string_view rest = f.substr(i);
        const bool pm = v.hour >= 12;
        if (rest.size() >= 5 && SameText(rest.substr(0, 5), "am/pm")) {
          out += rest.substr(pm ? 3 : 0, 2);
          count = 5;
        } else if (rest.size() >= 3 && SameText(rest.substr(0, 3), "a/p")) {
          out += rest.substr(pm ? 2 : 0, 1);
          count = 3;
        } else if (rest.size() >= 4 && SameText(rest.substr(0, 4), "ampm")) {
          out += pm ? s.TimePMString : s.TimeAMString;
          count = 4;
        } else {
          out += c;
          count = 1;
          i += count;
          continue;  // a plain letter is no field
        }
        break;
      }
      case '/':
      case ':':  // separators are no fields: "h:mm" is still minutes
        out += c == '/' ? s.DateSeparator : s.TimeSeparator;
        i += count;
        continue;
      default:
        out.append(f.substr(i, count));
        i += count;
        continue;
    }
    last = u;
    i += count;
  }
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kDays[month - 1] + (month == 2 && IsLeapYear(year));
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
  const int64_t y = year - 1;
  const int64_t serial = y * 365 + y / 4 - y / 100 + y / 400 + kDaysBeforeMonth[month - 1] +
                         (month > 2 && IsLeapYear(year)) + day - 1;
  date = static_cast<double>(serial - kDateDelta);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime date = 0;
  if (!TryEncodeDate(year, month, day, date)) throw EConvertError(kDateEncodeErrorText);
  return date;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  year = month = day = 0;
  int64_t calendarDay = 0, ms = 0;
  if (!Split(value, calendarDay, ms) || calendarDay < kMinDay || calendarDay > kMaxDay) return;
  int64_t n = calendarDay + kDateDelta;  // days since 0001-01-01
  const int64_t n400 = n / 146097;
  n %= 146097;
  const int64_t n100 = std::min<int64_t>(n / 36524, 3);
  n -= n100 * 36524;
  const int64_t n4 = n / 1461;
  n %= 1461;
  const int64_t n1 = std::min<int64_t>(n / 365, 3);
  n -= n1 * 365;
  year = static_cast<int>(n400 * 400 + n100 * 100 + n4 * 4 + n1 + 1);
  month = 1;
  while (n >= DaysInMonth(year, month)) n -= DaysInMonth(year, month++);
  day = static_cast<int>(n) + 1;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& time) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999)
    return false;
  time = static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond) / kMsPerDay;
  return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  TDateTime time = 0;
  if (!TryEncodeTime(hour, minute, second, millisecond, time)) throw EConvertError(kTimeEncodeErrorText);
  return time;
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond) {
  int64_t day = 0, ms = 0;
  if (!Split(value, day, ms)) ms = 0;
  millisecond = static_cast<int>(ms % 1000);
  second = static_cast<int>(ms / 1000 % 60);
  minute = static_cast<int>(ms / 60000 % 60);
  hour = static_cast<int>(ms / 3600000);
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) { return date >= 0 ? date + time : date - time; }

int DayOfWeek(TDateTime value) {
  int64_t day = 0, ms = 0;
  if (!Split(value, day, ms)) return 1;
  return static_cast<int>(((day % 7) + 13) % 7) + 1;  // day 0 is a Saturday (7)
}

TDateTime SystemClock() {
  const QDateTime now = QDateTime::currentDateTime();
  return static_cast<double>(now.date().toJulianDay() - kJulianDelta) +
         static_cast<double>(now.time().msecsSinceStartOfDay()) / kMsPerDay;
}

namespace {
DateTimeClock& ClockSlot() {
  static DateTimeClock clock;
  return clock;
}
}  // namespace

DateTimeClock SetClock(DateTimeClock clock) {
  DateTimeClock previous = std::move(ClockSlot());
  ClockSlot() = std::move(clock);
  return previous;
}

TDateTime Now() { return ClockSlot() ? ClockSlot()() : SystemClock(); }

TDateTime Date() {
  int64_t day = 0, ms = 0;
  return Split(Now(), day, ms) ? static_cast<double>(day) : 0.0;
}

TDateTime Time() {
  int64_t day = 0, ms = 0;
  return Split(Now(), day, ms) ? static_cast<double>(ms) / kMsPerDay : 0.0;
}

bool TryStrToDate(std::string_view text, TDateTime& value, const TFormatSettings& settings) {
  Scanner sc(text);
  return ScanDate(sc, settings, value) && sc.AtEnd();
}

bool TryStrToTime(std::string_view text, TDateTime& value, const TFormatSettings& settings) {
  Scanner sc(text);
  return ScanTime(sc, settings, value) && sc.AtEnd();
}

bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& settings) {
  Scanner sc(text);
  TDateTime date = 0, time = 0;
  if (ScanDate(sc, settings, date)) {
    if (sc.AtEnd()) {
      value = date;
      return true;
    }
    if (ScanTime(sc, settings, time) && sc.AtEnd()) {
      value = ComposeDateTime(date, time);
      return true;
    }
  }
  sc.Reset(0);
  if (ScanTime(sc, settings, time) && sc.AtEnd()) {
    value = time;
    return true;
  }
  return false;
}

TDateTime StrToDate(std::string_view text, const TFormatSettings& settings) {
  TDateTime value = 0;
  if (!TryStrToDate(text, value, settings)) throw EConvertError(Named(kInvalidDateText, text));
  return value;
}

TDateTime StrToTime(std::string_view text, const TFormatSettings& settings) {
  TDateTime value = 0;
  if (!TryStrToTime(text, value, settings)) throw EConvertError(Named(kInvalidTimeText, text));
  return value;
}

TDateTime StrToDateTime(std::string_view text, const TFormatSettings& settings) {
  TDateTime value = 0;
  if (!TryStrToDateTime(text, value, settings)) throw EConvertError(Named(kInvalidDateTimeText, text));
  return value;
}

std::string FormatDateTime(std::string_view format, TDateTime value, const TFormatSettings& settings) {
  Fields v;
  DecodeDate(value, v.year, v.month, v.day);
  DecodeTime(value, v.hour, v.minute, v.second, v.ms);
  v.weekday = DayOfWeek(value);
  std::string out;
  AppendFormatted(out, format.empty() ? std::string_view("c") : format, v, settings, 0);
  return out;
}

std::string DateToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime("ddddd", value, settings);
}
std::string TimeToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime("tt", value, settings);
}
std::string DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime("c", value, settings);
}
