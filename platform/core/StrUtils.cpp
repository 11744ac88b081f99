#include "platform/core/StrUtils.h"

#include <algorithm>
#include <cctype>

#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/NumberFormat_p.h"

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
}  // namespace

std::string TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

std::string UpperCase(std::string_view s) {
  std::string r(s);
  std::transform(r.begin(), r.end(), r.begin(), Upper);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  std::transform(r.begin(), r.end(), r.begin(), Lower);
  return r;
}

int CompareText(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int d = static_cast<unsigned char>(Upper(a[i])) - static_cast<unsigned char>(Upper(b[i]));
    if (d != 0) return d;
  }
  return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

size_t Pos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  size_t p = s.find(sub);
  return p == std::string_view::npos ? 0 : p + 1;
}

std::string Copy(std::string_view s, int64_t index, int64_t count) {
  if (index < 1) index = 1;
  if (count <= 0 || index > static_cast<int64_t>(s.size())) return {};
  return std::string(s.substr(index - 1, count));
}

std::string StringReplace(std::string_view s, std::string_view from, std::string_view to, ReplaceAll all,
                          IgnoreCase ignoreCase) {
  if (from.empty()) return std::string(s);
  std::string hay = ignoreCase == IgnoreCase::Yes ? UpperCase(s) : std::string(s);
  std::string needle = ignoreCase == IgnoreCase::Yes ? UpperCase(from) : std::string(from);
  std::string out;
  size_t start = 0;
  while (true) {
    size_t p = hay.find(needle, start);
    if (p == std::string::npos) break;
    out.append(s.substr(start, p - start));
    out.append(to);
    start = p + from.size();
    if (all == ReplaceAll::No) break;
  }
  out.append(s.substr(start));
  return out;
}

namespace {

[[noreturn]] void FormatError(std::string_view fmt) {
  throw EConvertError("Format '" + std::string(fmt) + "' invalid or incompatible with argument");
}

void Pad(std::string& text, int width, bool left) {
  if (width > static_cast<int>(text.size())) {
    std::string fill(width - text.size(), ' ');
    text = left ? text + fill : fill + text;
  }
}

std::string FormatText(std::string_view fmt, std::initializer_list<FormatArg> args, std::string_view sep,
                       const TFormatSettings& settings) {
  std::string out;
  const FormatArg* argv = args.begin();
  size_t argc = args.size(), next = 0;
  for (size_t i = 0; i < fmt.size(); ++i) {
    char c = fmt[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (++i >= fmt.size()) FormatError(fmt);
    if (fmt[i] == '%') {
      out += '%';
      continue;
    }
    auto readNumber = [&](int& value) {
      bool any = false;
      value = 0;
      while (i < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[i]))) {
        value = value * 10 + (fmt[i++] - '0');
        any = true;
        if (value > 10000) FormatError(fmt);
      }
      return any;
    };
    int number = 0;
    size_t save = i;
    if (readNumber(number) && i < fmt.size() && fmt[i] == ':') {
      next = number;
      ++i;
    } else {
      i = save;
    }
    bool left = false;
    if (i < fmt.size() && fmt[i] == '-') left = true, ++i;
    int width = 0, precision = -1;
    readNumber(width);
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      readNumber(precision);
    }
    if (i >= fmt.size() || next >= argc) FormatError(fmt);
    const auto& arg = argv[next++].value;
    char type = static_cast<char>(std::tolower(static_cast<unsigned char>(fmt[i])));
    std::string text;
    switch (type) {
      case 'd':
      case 'u': {
        if (!std::holds_alternative<int64_t>(arg)) FormatError(fmt);
        int64_t v = std::get<int64_t>(arg);
        if (type == 'u' && v < 0) v = static_cast<uint32_t>(v);
        text = IntToStr(v < 0 ? -v : v);
        if (precision > static_cast<int>(text.size())) text.insert(0, precision - text.size(), '0');
        if (v < 0) text = "-" + text;
        break;
      }
      case 'x': {
        if (!std::holds_alternative<int64_t>(arg)) FormatError(fmt);
        int64_t v = std::get<int64_t>(arg);
        uint64_t u = v < 0 ? static_cast<uint32_t>(v) : static_cast<uint64_t>(v);
        text = IntToHex(u, std::max(precision, 0));
        break;
      }
      case 'e':
      case 'f':
      case 'g':
      case 'n':
      case 'm': {
        double v;
        if (!std::holds_alternative<double>(arg)) FormatError(fmt);
        v = std::get<double>(arg);
        const int significant = precision < 0 ? 15 : std::clamp(precision, 1, 18);
        if (type == 'e')
          text = numfmt::FloatText(v, TFloatFormat::ffExponent, significant, 3, sep, settings);
        else if (type == 'g')
          text = numfmt::FloatText(v, TFloatFormat::ffGeneral, significant, 3, sep, settings);
        else if (type == 'n')
          text = numfmt::FloatText(v, TFloatFormat::ffNumber, 18, precision < 0 ? 2 : precision, sep, settings);
        else if (type == 'm')
          text = numfmt::FloatText(v, TFloatFormat::ffCurrency, 18,
                                   precision < 0 ? settings.CurrencyDecimals : precision, sep, settings);
        else
          text = numfmt::FloatText(v, TFloatFormat::ffFixed, 18, precision < 0 ? 2 : precision, sep, settings);
        break;
      }
      case 's': {
        if (!std::holds_alternative<std::string>(arg)) FormatError(fmt);
        text = std::get<std::string>(arg);
        if (precision >= 0 && precision < static_cast<int>(text.size())) text.resize(precision);
        break;
      }
      case 'p': {
        if (!std::holds_alternative<const void*>(arg)) FormatError(fmt);
        text = IntToHex(reinterpret_cast<uintptr_t>(std::get<const void*>(arg)), 8);
        break;
      }
      default:
        FormatError(fmt);
    }
    Pad(text, width, left);
    out += text;
  }
  return out;
}

}  // namespace

std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args, char sep) {
  return FormatText(fmt, args, std::string_view(&sep, 1), FormatSettings());
}

std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args, const TFormatSettings& settings) {
  return FormatText(fmt, args, settings.DecimalSeparator, settings);
}

std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args) {
  return Format(fmt, args, FormatSettings());
}
