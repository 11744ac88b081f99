#include "platform/core/FormatSettings.h"

#include <QLocale>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/core/NumberFormat_p.h"

namespace {

TFormatSettings& Current() {
  static TFormatSettings settings;
  return settings;
}

// Bytes of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

char32_t CodePointAt(std::string_view s, size_t i, size_t length) {
  auto b = [&](size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[i + k])); };
  if (i + length > s.size()) return 0xFFFD;
  switch (length) {
    case 2: return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    case 3: return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    case 4: return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
    default: return b(0);
  }
}

bool IsBidiMark(char32_t c) {
  return c == 0x200E || c == 0x200F || c == 0x061C || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool IsBlank(char32_t c) { return c == ' ' || c == 0xA0 || c == 0x202F || c == 0x2007 || c == 0x2009; }

// Locale texts carry direction marks for display (ar_EG writes U+200F before
// each "/" of its short date); as separators or inside formats they would
// make texts that no reader matches.
std::string StripBidiMarks(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t n = SequenceLength(static_cast<unsigned char>(s[i]));
    if (!IsBidiMark(CodePointAt(s, i, n))) out.append(s.substr(i, n));
    i += n;
  }
  return out;
}

std::string FromQt(const QString& text) { return StripBidiMarks(text.toStdString()); }

std::string Usable(std::string text, std::string_view fallback) {
  if (text.empty() || text.find('\0') != std::string::npos) return std::string(fallback);
  return text;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void AppendLiteral(std::string& out, std::string_view text) {
  if (text.empty()) return;
  char quote = text.find('\'') == std::string_view::npos ? '\'' : '"';
  out += quote;
  out += text;
  out += quote;
}

// The first run of characters between two fields of a converted format,
// trimmed of blanks ("dd.MM.yy" gives "."); `fallback` when there is none.
std::string FieldSeparatorOf(std::string_view format, std::string_view fallback) {
  size_t i = 0;
  while (i < format.size() && !IsAsciiLetter(format[i])) {
    if (format[i] == '\'' || format[i] == '"') {
      size_t close = format.find(format[i], i + 1);
      i = close == std::string_view::npos ? format.size() : close;
    }
    ++i;
  }
  while (i < format.size() && IsAsciiLetter(format[i])) ++i;
  size_t start = i;
  while (i < format.size() && !IsAsciiLetter(format[i]) && format[i] != '\'' && format[i] != '"') ++i;
  std::string_view run = format.substr(start, i - start);
  if (i >= format.size()) return std::string(fallback);  // no second field
  size_t first = run.find_first_not_of(' '), last = run.find_last_not_of(' ');
  if (first == std::string_view::npos) return run.empty() ? std::string(fallback) : std::string(" ");
  return std::string(run.substr(first, last - first + 1));
}

// Dates on screen are read back from their text, and a two-digit year reads
// back only inside the hundred-year window (1850 would come back as 1950), so
// the short date format always writes four. Quoted text is left alone.
std::string WithFourDigitYears(std::string_view format) {
  std::string out;
  for (size_t i = 0; i < format.size();) {
    const char c = format[i];
    if (c == '\'' || c == '"') {
      const size_t close = format.find(c, i + 1);
      const size_t end = close == std::string_view::npos ? format.size() : close + 1;
      out.append(format.substr(i, end - i));
      i = end;
    } else if (c == 'y') {
      size_t run = 0;
      while (i + run < format.size() && format[i + run] == 'y') ++run;
      out.append(std::max<size_t>(run, 4), 'y');
      i += run;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

// Shape of a Qt currency text: "$" for the symbol, "1" for the amount, " "
// for a blank, "-" and parentheses as they stand. `number` gets the amount.
std::string CurrencyShape(std::string_view text, std::string_view symbol, std::string_view group,
                          std::string_view decimal, std::string* number) {
  std::string shape;
  bool inNumber = false;
  // A group separator belongs to the amount only between digits: fr_FR's
  // blank before the symbol may be the same character.
  auto digitAt = [&](size_t i) {
    if (i >= text.size() || (!symbol.empty() && text.substr(i, symbol.size()) == symbol)) return false;
    char32_t c = CodePointAt(text, i, SequenceLength(static_cast<unsigned char>(text[i])));
    return !IsBlank(c) && c != '-' && c != 0x2212 && c != '(' && c != ')';
  };
  for (size_t i = 0; i < text.size();) {
    size_t n = SequenceLength(static_cast<unsigned char>(text[i]));
    char32_t c = CodePointAt(text, i, n);
    char token;
    if (!symbol.empty() && text.substr(i, symbol.size()) == symbol) {
      token = '$';
      n = symbol.size();
    } else if (inNumber && !group.empty() && text.substr(i, group.size()) == group && digitAt(i + group.size())) {
      token = '1';
      n = group.size();
    } else if (!decimal.empty() && text.substr(i, decimal.size()) == decimal) {
      token = '1';
      n = decimal.size();
    } else if (IsBlank(c)) {
      token = ' ';
    } else if (c == '-' || c == 0x2212) {
      token = '-';
    } else if (c == '(' || c == ')') {
      token = static_cast<char>(c);
    } else {
      token = '1';
    }
    if (token == '1' && number && (inNumber || number->empty())) number->append(text.substr(i, n));
    inNumber = token == '1';
    if (shape.empty() || shape.back() != token || (token != '1' && token != ' ')) shape += token;
    i += n;
  }
  return shape;
}

int ShapeIndex(const std::string& shape, const char* const* shapes, int count, int fallback) {
  for (int i = 0; i < count; ++i)
    if (shape == shapes[i]) return i;
  return fallback;
}

void ReadCurrency(const QLocale& locale, TFormatSettings& s) {
  s.CurrencyString = FromQt(locale.currencySymbol(QLocale::CurrencySymbol));
  std::string number;
  std::string positive = CurrencyShape(FromQt(locale.toCurrencyString(1234.5)), s.CurrencyString,
                                       s.ThousandSeparator, s.DecimalSeparator, &number);
  std::string negative = CurrencyShape(FromQt(locale.toCurrencyString(-1234.5)), s.CurrencyString,
                                       s.ThousandSeparator, s.DecimalSeparator, nullptr);
  s.CurrencyFormat = ShapeIndex(positive, numfmt::kCurrencyForms, 4, 0);
  // A shape outside the table: the minus before the positive form.
  static const int kMinusFirst[] = {1, 5, 9, 8};
  s.NegCurrFormat = ShapeIndex(negative, numfmt::kNegativeCurrencyForms, 16, kMinusFirst[s.CurrencyFormat]);
  size_t point = number.find(s.DecimalSeparator);
  int decimals = 0;
  if (point != std::string::npos)
    for (size_t i = point + s.DecimalSeparator.size(); i < number.size(); ++decimals)
      i += SequenceLength(static_cast<unsigned char>(number[i]));
  s.CurrencyDecimals = std::clamp(decimals, 0, 18);
}

}  // namespace

const TFormatSettings& FormatSettings() { return Current(); }
void SetFormatSettings(TFormatSettings settings) { Current() = std::move(settings); }

ScopedFormatSettings::ScopedFormatSettings(TFormatSettings settings) : previous_(FormatSettings()) {
  SetFormatSettings(std::move(settings));
}
ScopedFormatSettings::~ScopedFormatSettings() { SetFormatSettings(std::move(previous_)); }

std::string ConvertQtDateTimeFormat(std::string_view qtFormat) {
  std::string f = StripBidiMarks(qtFormat);
  std::string out;
  size_t i = 0;
  while (i < f.size()) {
    char c = f[i];
    if (c == '\'') {
      if (i + 1 < f.size() && f[i + 1] == '\'') {  // '' is one quote
        AppendLiteral(out, "'");
        i += 2;
        continue;
      }
      std::string text;
      size_t j = i + 1;
      while (j < f.size()) {
        if (f[j] == '\'') {
          if (j + 1 < f.size() && f[j + 1] == '\'') {
            text += '\'';
            j += 2;
            continue;
          }
          break;
        }
        text += f[j++];
      }
      AppendLiteral(out, text);
      i = j + 1;
      continue;
    }
    size_t run = 1;
    while (i + run < f.size() && f[i + run] == c) ++run;
    switch (c) {
      case 'd': out.append(std::min<size_t>(run, 4), 'd'); break;
      case 'M': out.append(std::min<size_t>(run, 4), 'M'); break;
      case 'y': out += run >= 3 ? "yyyy" : "yy"; break;
      case 'h':
      case 'H': out.append(std::min<size_t>(run, 2), 'h'); break;
      case 'm': out.append(std::min<size_t>(run, 2), 'n'); break;
      case 's': out.append(std::min<size_t>(run, 2), 's'); break;
      case 'z': out += run >= 3 ? "zzz" : "z"; break;
      case 'A':
      case 'a':
        run = 1;
        if (i + 1 < f.size() && (f[i + 1] == 'P' || f[i + 1] == 'p')) run = 2;
        out += "ampm";
        break;
      case 't':
        // The time zone has no letter here; drop it with its brackets and blank.
        if (!out.empty() && out.back() == '(' && i + run < f.size() && f[i + run] == ')') {
          out.pop_back();
          ++run;
        }
        while (!out.empty() && out.back() == ' ') out.pop_back();
        break;
      default:
        if (IsAsciiLetter(c))
          AppendLiteral(out, std::string(run, c));
        else
          out.append(run, c);
    }
    i += run;
  }
  size_t first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

TFormatSettings FormatSettingsFromLocale(const QLocale& locale) {
  TFormatSettings s;
  const TFormatSettings defaults;
  s.DecimalSeparator = Usable(FromQt(locale.decimalPoint()), defaults.DecimalSeparator);
  s.ThousandSeparator = Usable(FromQt(locale.groupSeparator()), defaults.ThousandSeparator);
  ReadCurrency(locale, s);

  s.ShortDateFormat =
      Usable(WithFourDigitYears(ConvertQtDateTimeFormat(FromQt(locale.dateFormat(QLocale::ShortFormat)))),
             defaults.ShortDateFormat);
  s.LongDateFormat =
      Usable(ConvertQtDateTimeFormat(FromQt(locale.dateFormat(QLocale::LongFormat))), defaults.LongDateFormat);
  s.ShortTimeFormat = Usable(ConvertQtDateTimeFormat(FromQt(locale.timeFormat(QLocale::ShortFormat))),
                             defaults.ShortTimeFormat);
  s.LongTimeFormat =
      Usable(ConvertQtDateTimeFormat(FromQt(locale.timeFormat(QLocale::LongFormat))), defaults.LongTimeFormat);
  s.DateSeparator = Usable(FieldSeparatorOf(s.ShortDateFormat, defaults.DateSeparator), defaults.DateSeparator);
  // The short time format: ja_JP's long one writes "h時nn分ss秒".
  s.TimeSeparator = Usable(FieldSeparatorOf(s.ShortTimeFormat, defaults.TimeSeparator), defaults.TimeSeparator);
  s.TimeAMString = FromQt(locale.amText());
  s.TimePMString = FromQt(locale.pmText());

  for (int m = 1; m <= 12; ++m) {
    s.ShortMonthNames[m - 1] = FromQt(locale.monthName(m, QLocale::ShortFormat));
    s.LongMonthNames[m - 1] = FromQt(locale.monthName(m, QLocale::LongFormat));
  }
  for (int d = 1; d <= 7; ++d) {  // Qt counts Monday 1 .. Sunday 7
    s.ShortDayNames[d % 7] = FromQt(locale.dayName(d, QLocale::ShortFormat));
    s.LongDayNames[d % 7] = FromQt(locale.dayName(d, QLocale::LongFormat));
  }
  s.FirstDayOfWeek = std::clamp(static_cast<int>(locale.firstDayOfWeek()) - 1, 0, 6);
  return s;
}
