#include "platform/core/FormatFloat.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/core/NumberFormat.h"
#include "platform/core/NumberFormat_p.h"

namespace {

// Significant digits a double is first taken to.
constexpr int kPrecision = 15;
// Integer digits beyond which a pattern without exponent gives up.
constexpr int kMaxIntegerDigits = 18;

enum class Kind { Literal, IntDigit, FracDigit, Point, Exponent };

struct Token {
  Kind kind;
  std::string_view text;  // Literal: the text; digits: "0" or "#"; Exponent: "E+" etc.
  int exponentDigits = 0;
};

struct Section {
  std::vector<Token> tokens;
  int intPlaces = 0, intZeros = 0;  // placeholders, and the least integer digits
  int fracPlaces = 0, fracZeros = 0;
  bool thousands = false;
  bool scientific = false;
};

// The end of the quoted text that starts at `i` (just past its closing quote).
size_t QuotedEnd(std::string_view f, size_t i) {
  size_t close = f.find(f[i], i + 1);
  return close == std::string_view::npos ? f.size() : close + 1;
}

std::vector<std::string_view> SplitSections(std::string_view f) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  for (size_t i = 0; i < f.size();) {
    if (f[i] == '\'' || f[i] == '"') {
      i = QuotedEnd(f, i);
    } else if (f[i] == ';') {
      sections.push_back(f.substr(start, i - start));
      start = ++i;
    } else {
      ++i;
    }
  }
  sections.push_back(f.substr(start));
  return sections;
}

Section Parse(std::string_view f) {
  Section s;
  bool afterPoint = false;
  int firstIntZero = -1;
  for (size_t i = 0; i < f.size();) {
    char c = f[i];
    if (c == '\'' || c == '"') {
      size_t end = QuotedEnd(f, i);
      size_t close = f[end - 1] == c && end - 1 > i ? end - 1 : end;
      s.tokens.push_back({Kind::Literal, f.substr(i + 1, close - i - 1)});
      i = end;
    } else if ((c == '0' || c == '#') && !s.scientific) {
      if (afterPoint) {
        ++s.fracPlaces;
        if (c == '0') s.fracZeros = s.fracPlaces;
        s.tokens.push_back({Kind::FracDigit, f.substr(i, 1)});
      } else {
        if (c == '0' && firstIntZero < 0) firstIntZero = s.intPlaces;
        ++s.intPlaces;
        s.tokens.push_back({Kind::IntDigit, f.substr(i, 1)});
      }
      ++i;
    } else if (c == '.') {
      s.tokens.push_back({Kind::Point, f.substr(i, 1)});
      afterPoint = true;
      ++i;
    } else if (c == ',') {
      if (!afterPoint && !s.scientific) s.thousands = true;
      ++i;
    } else if ((c == 'E' || c == 'e') && !s.scientific && i + 1 < f.size() && (f[i + 1] == '+' || f[i + 1] == '-')) {
      size_t j = i + 2;
      while (j < f.size() && f[j] == '0') ++j;
      s.tokens.push_back({Kind::Exponent, f.substr(i, 2), static_cast<int>(j - i - 2)});
      s.scientific = true;
      i = j;
    } else {
      s.tokens.push_back({Kind::Literal, f.substr(i, 1)});
      ++i;
    }
  }
  if (firstIntZero >= 0) s.intZeros = s.intPlaces - firstIntZero;
  if (s.scientific) s.thousands = false;
  return s;
}

bool AllZero(std::string_view s) { return s.find_first_not_of('0') == std::string_view::npos; }

// The section's text for a non-negative value, without sign; nothing when
// the value rounds to zero here (the caller then writes the zero section),
// or an empty optional with `tooLarge` set when the pattern cannot hold it.
std::optional<std::string> Render(const Section& s, double value, const TFormatSettings& settings, bool& tooLarge) {
  if (s.intPlaces + s.fracPlaces == 0 && !s.scientific) {  // a section of text alone
    std::string out;
    for (const Token& t : s.tokens)
      if (t.kind == Kind::Literal) out += t.text;
    return out;
  }
  numfmt::Decimal d = numfmt::ToDecimal(value, kPrecision);
  std::string integer, fraction;
  int exponent = 0;
  if (s.scientific) {
    const int places = s.intPlaces + s.fracPlaces;
    std::string digits = d.digits;
    if (numfmt::RoundDigits(digits, std::clamp(places, 1, kPrecision))) {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++d.exp10;
    }
    if (static_cast<int>(digits.size()) < places) digits.append(places - digits.size(), '0');
    integer = digits.substr(0, s.intPlaces);
    fraction = digits.substr(s.intPlaces, s.fracPlaces);
    exponent = value == 0 ? 0 : d.exp10 + 1 - s.intPlaces;
  } else {
    if (value != 0 && d.exp10 + 1 > kMaxIntegerDigits) {
      tooLarge = true;
      return std::nullopt;
    }
    numfmt::FixedParts parts = numfmt::ToFixed(d, s.fracPlaces);
    if (value != 0 && AllZero(parts.integer) && AllZero(parts.fraction)) return std::nullopt;
    integer = parts.integer;
    fraction = parts.fraction;
  }
  integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
  if (static_cast<int>(integer.size()) < s.intZeros) integer.insert(0, s.intZeros - integer.size(), '0');
  while (static_cast<int>(fraction.size()) > s.fracZeros && fraction.back() == '0') fraction.pop_back();

  const int length = static_cast<int>(integer.size());
  std::string out;
  auto emitIntegerDigits = [&](int from, int to) {  // indices from..to of `integer`
    for (int i = std::max(from, 0); i <= to; ++i) {
      if (s.thousands && i > 0 && (length - i) % 3 == 0) out += settings.ThousandSeparator;
      out += integer[i];
    }
  };
  bool integerDone = s.intPlaces > 0, pointDone = false;
  int intSeen = 0, fracSeen = 0;
  auto flushInteger = [&] {  // a pattern without integer placeholders still shows the integer digits
    if (!integerDone) emitIntegerDigits(0, length - 1);
    integerDone = true;
  };
  for (const Token& t : s.tokens) {
    switch (t.kind) {
      case Kind::Literal:
        out += t.text;
        break;
      case Kind::IntDigit: {
        const int index = intSeen + length - s.intPlaces;
        emitIntegerDigits(intSeen == 0 ? 0 : index, index);
        ++intSeen;
        break;
      }
      case Kind::Point:
        flushInteger();
        if (!pointDone && !fraction.empty()) out += settings.DecimalSeparator;
        pointDone = true;
        break;
      case Kind::FracDigit:
        if (fracSeen < static_cast<int>(fraction.size())) out += fraction[fracSeen];
        ++fracSeen;
        break;
      case Kind::Exponent: {
        flushInteger();
        std::string digits = std::to_string(std::abs(exponent));
        if (static_cast<int>(digits.size()) < t.exponentDigits) digits.insert(0, t.exponentDigits - digits.size(), '0');
        out += t.text[0];
        if (exponent < 0)
          out += '-';
        else if (t.text[1] == '+')
          out += '+';
        out += digits;
        break;
      }
    }
  }
  flushInteger();
  return out;
}

}  // namespace

std::string FormatFloat(std::string_view format, double value, const TFormatSettings& settings) {
  if (format.empty() || !std::isfinite(value)) return FloatToStr(value, settings);
  const std::vector<std::string_view> sections = SplitSections(format);
  auto sectionOr = [&](size_t index) {
    return index < sections.size() && !sections[index].empty() ? sections[index] : sections[0];
  };
  std::string_view chosen = sections[0];
  bool sign = false;
  if (value == 0) {
    chosen = sectionOr(2);
  } else if (value < 0) {
    chosen = sectionOr(1);
    sign = chosen.data() == sections[0].data();
  }
  bool tooLarge = false;
  std::optional<std::string> text;
  if (!chosen.empty()) text = Render(Parse(chosen), std::fabs(value), settings, tooLarge);
  if (chosen.empty() || tooLarge) return FloatToStr(value, settings);
  if (!text) {  // rounds to zero: the zero section, without sign
    chosen = sectionOr(2);
    if (chosen.empty()) return FloatToStr(0.0, settings);
    return *Render(Parse(chosen), 0.0, settings, tooLarge);
  }
  return sign ? "-" + *text : *text;
}
