#pragma once
// Text helpers. Strings are UTF-8 bytes; case mapping and blank trimming
// touch ASCII only, so other bytes pass through unchanged. Helpers that take a
// position count from 1, as the texts they serve do.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

struct TFormatSettings;

// Removes leading and trailing blanks and control characters (bytes <= ' ').
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// ASCII case-insensitive comparison: < 0, 0, > 0.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);

// 1-based position of `sub` in `s`, 0 when absent (or when `sub` is empty).
size_t Pos(std::string_view sub, std::string_view s);
// Up to `count` bytes from 1-based `index`; empty when index is past the end.
std::string Copy(std::string_view s, int64_t index, int64_t count);

enum class ReplaceAll { No, Yes };
enum class IgnoreCase { No, Yes };
std::string StringReplace(std::string_view s, std::string_view from, std::string_view to,
                          ReplaceAll all = ReplaceAll::Yes, IgnoreCase ignoreCase = IgnoreCase::No);

// One argument of Format: an integer, a floating-point number, a text or a
// pointer (for %p).
struct FormatArg {
  std::variant<int64_t, double, std::string, const void*> value;
  template <typename T>
    requires std::is_integral_v<T>
  FormatArg(T v) : value(static_cast<int64_t>(v)) {}
  FormatArg(double v) : value(v) {}
  FormatArg(const char* v) : value(std::string(v)) {}
  FormatArg(std::string v) : value(std::move(v)) {}
  FormatArg(std::string_view v) : value(std::string(v)) {}
  FormatArg(const void* v) : value(v) {}
};

// printf-like formatting with the class library's specifiers:
// %[index:][-][width][.precision]type, type one of d u x X e f g n m p s, and
// "%%". Numbers take their separators and currency from the settings
// (FormatSettings() when none are passed; the char overload replaces only the
// decimal separator):
// - "f" fixed, 2 decimals unless a precision is given;
// - "n" as "f" with thousand separators: Format("%n", {1234567.891}) == "1,234,567.89";
// - "m" a currency amount (FloatToStrF ffCurrency) with CurrencyDecimals
//   unless a precision is given: Format("%m", {-1234.5}) == "($1,234.50)".
// A specifier that does not fit its argument, or a missing argument, raises
// EConvertError "Format '<fmt>' invalid or incompatible with argument".
std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args);
std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args, char decimalSeparator);
std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args, const TFormatSettings& settings);

