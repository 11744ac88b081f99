#include "platform/controls/MaskText.h"

#include <QChar>
#include <algorithm>

#include "platform/core/AnsiStrings.h"
#include "platform/core/Codecs.h"

namespace {

char32_t FirstOr(std::string_view Text, char32_t Default) {
  const std::u32string chars = Utf8ToUtf32(Text);
  return chars.empty() ? Default : chars.front();
}

bool AsciiDigit(char32_t C) { return C >= U'0' && C <= U'9'; }

// The text as long as the mask: missing places get the mask's literal or
// the blank.
std::u32string Fitted(const TEditMask& Mask, std::u32string Text) {
  for (auto i = Text.size(); i < Mask.Positions.size(); ++i) {
    const TMaskPosition& p = Mask.Positions[i];
    Text.push_back(p.Kind == TMaskCharKind::Literal ? p.Literal : Mask.BlankChar);
  }
  return Text;
}

// Positions in the shown text that carry value characters.
std::u32string EditableChars(const TEditMask& Mask, const std::u32string& Text) {
  std::u32string chars;
  for (int i = 0; i < Mask.Count(); ++i)
    if (!Mask.IsLiteral(i)) chars.push_back(static_cast<std::size_t>(i) < Text.size() ? Text[i] : Mask.BlankChar);
  return chars;
}

}  // namespace

bool TEditMask::IsLiteral(int Index) const {
  return Index >= 0 && Index < Count() && Positions[static_cast<std::size_t>(Index)].Kind == TMaskCharKind::Literal;
}

int TEditMask::NextEditable(int Index) const {
  for (int i = std::max(Index, 0); i < Count(); ++i)
    if (!IsLiteral(i)) return i;
  return Count();
}

int TEditMask::PrevEditable(int Index) const {
  for (int i = std::min(Index, Count()) - 1; i >= 0; --i)
    if (!IsLiteral(i)) return i;
  return -1;
}

TEditMask ParseEditMask(std::string_view Mask, std::string_view DateSeparator, std::string_view TimeSeparator) {
  TEditMask result;
  const std::u32string m = Utf8ToUtf32(Mask);
  const auto n = m.size();
  // Which characters a backslash makes literal, read from the start.
  std::vector<bool> escaped(n + 1, false);
  for (std::size_t i = 0; i < n; ++i)
    if (m[i] == U'\\' && !escaped[i]) escaped[i + 1] = true;

  std::size_t end = n;
  for (std::size_t i = n > 4 ? n - 4 : 0; i < n; ++i) {
    if (m[i] == U';' && !escaped[i]) {
      end = i;
      break;
    }
  }
  if (end < n) {
    const std::u32string rest = m.substr(end + 1);
    const auto second = rest.find(U';');
    result.KeepLiterals = rest.substr(0, second) != U"0";
    if (second != std::u32string::npos && second + 1 < rest.size()) result.BlankChar = rest[second + 1];
  }

  const char32_t date = FirstOr(DateSeparator, U'/');
  const char32_t time = FirstOr(TimeSeparator, U':');
  TMaskCase currentCase = TMaskCase::Keep;
  auto add = [&](TMaskCharKind Kind, bool Required, char32_t Literal = 0) {
    result.Positions.push_back(
        {Kind, Required, Kind == TMaskCharKind::Literal ? TMaskCase::Keep : currentCase, Literal});
  };
  for (std::size_t i = 0; i < end; ++i) {
    const char32_t c = m[i];
    switch (c) {
      case U'\\':
        if (i + 1 < end) add(TMaskCharKind::Literal, false, m[++i]);
        break;
      case U'!':
        result.Reversed = true;
        break;
      case U'>':
        currentCase = TMaskCase::Upper;
        break;
      case U'<':
        if (i + 1 < end && m[i + 1] == U'>') {
          currentCase = TMaskCase::Keep;
          ++i;
        } else {
          currentCase = TMaskCase::Lower;
        }
        break;
      case U'L':
        add(TMaskCharKind::Letter, true);
        break;
      case U'l':
        add(TMaskCharKind::Letter, false);
        break;
      case U'A':
        add(TMaskCharKind::LetterOrDigit, true);
        break;
      case U'a':
        add(TMaskCharKind::LetterOrDigit, false);
        break;
      case U'C':
        add(TMaskCharKind::Any, true);
        break;
      case U'c':
        add(TMaskCharKind::Any, false);
        break;
      case U'0':
        add(TMaskCharKind::Digit, true);
        break;
      case U'9':
        add(TMaskCharKind::Digit, false);
        break;
      case U'#':
        add(TMaskCharKind::DigitOrSign, false);
        break;
      case U':':
        add(TMaskCharKind::Literal, false, time);
        break;
      case U'/':
        add(TMaskCharKind::Literal, false, date);
        break;
      default:
        add(TMaskCharKind::Literal, false, c);
        break;
    }
  }
  return result;
}

bool MaskCharAllowed(TMaskCharKind Kind, char32_t C) {
  if (C < 0x20 || C == 0x7F || C > 0x10FFFF) return false;
  switch (Kind) {
    case TMaskCharKind::Letter:
      return QChar::isLetter(C);
    case TMaskCharKind::LetterOrDigit:
      return QChar::isLetter(C) || AsciiDigit(C);
    case TMaskCharKind::Any:
      return true;
    case TMaskCharKind::Digit:
      return AsciiDigit(C);
    case TMaskCharKind::DigitOrSign:
      return AsciiDigit(C) || C == U' ' || C == U'+' || C == U'-';
    case TMaskCharKind::Literal:
      return false;
  }
  return false;
}

char32_t MaskApplyCase(const TMaskPosition& Position, char32_t C) {
  switch (Position.Case) {
    case TMaskCase::Upper:
      return UpperCaseChar(C);
    case TMaskCase::Lower:
      return C <= 0x10FFFF ? static_cast<char32_t>(QChar::toLower(C)) : C;
    case TMaskCase::Keep:
      break;
  }
  return C;
}

std::string FormatMaskText(const TEditMask& Mask, std::string_view Value) {
  const std::u32string value = Utf8ToUtf32(Value);
  std::u32string shown(Mask.Positions.size(), Mask.BlankChar);
  const int count = Mask.Count();
  if (!Mask.Reversed) {
    std::size_t v = 0;
    for (int i = 0; i < count; ++i) {
      const TMaskPosition& p = Mask.Positions[static_cast<std::size_t>(i)];
      if (p.Kind == TMaskCharKind::Literal)
        shown[static_cast<std::size_t>(i)] = p.Literal;
      else if (v < value.size())
        shown[static_cast<std::size_t>(i)] = value[v++];
    }
  } else {
    std::size_t v = value.size();
    for (int i = count - 1; i >= 0; --i) {
      const TMaskPosition& p = Mask.Positions[static_cast<std::size_t>(i)];
      if (p.Kind == TMaskCharKind::Literal)
        shown[static_cast<std::size_t>(i)] = p.Literal;
      else if (v > 0)
        shown[static_cast<std::size_t>(i)] = value[--v];
    }
  }
  return Utf32ToUtf8(shown);
}

std::string PadMaskLiterals(const TEditMask& Mask, std::string_view Text) {
  const std::u32string text = Utf8ToUtf32(Text);
  std::u32string shown;
  std::size_t t = 0;
  const int count = Mask.Count();
  for (int i = 0; i < count;) {
    int j = i;
    while (j < count && !Mask.IsLiteral(j)) ++j;
    const auto run = static_cast<std::size_t>(j - i);
    std::u32string chunk;
    if (j < count) {
      const char32_t literal = Mask.Positions[static_cast<std::size_t>(j)].Literal;
      const auto found = text.find(literal, t);
      if (found != std::u32string::npos) {
        chunk = text.substr(t, found - t);
        t = found + 1;
      } else {
        chunk = text.substr(std::min(t, text.size()), run);
        t += chunk.size();
      }
    } else if (t < text.size()) {
      chunk = text.substr(t);
      t = text.size();
    }
    if (chunk.size() > run)
      chunk = Mask.Reversed ? chunk.substr(chunk.size() - run) : chunk.substr(0, run);
    else if (Mask.Reversed)
      chunk.insert(0, run - chunk.size(), Mask.BlankChar);
    else
      chunk.append(run - chunk.size(), Mask.BlankChar);
    std::replace(chunk.begin(), chunk.end(), U' ', Mask.BlankChar);
    shown += chunk;
    if (j < count) shown.push_back(Mask.Positions[static_cast<std::size_t>(j)].Literal);
    i = j + 1;
  }
  return Utf32ToUtf8(shown);
}

std::string MaskedTextOf(const TEditMask& Mask, std::string_view Value) {
  if (Mask.Empty()) return std::string(Value);
  return Mask.KeepLiterals ? PadMaskLiterals(Mask, Value) : FormatMaskText(Mask, Value);
}

std::string MaskValueText(const TEditMask& Mask, std::string_view Text) {
  if (Mask.Empty()) return std::string(Text);
  const std::u32string text = Utf8ToUtf32(Text);
  if (Mask.KeepLiterals) {
    std::u32string value;
    for (int i = 0; i < Mask.Count(); ++i) {
      const TMaskPosition& p = Mask.Positions[static_cast<std::size_t>(i)];
      const char32_t c = static_cast<std::size_t>(i) < text.size() ? text[static_cast<std::size_t>(i)] : Mask.BlankChar;
      value.push_back(p.Kind == TMaskCharKind::Literal ? p.Literal : (c == Mask.BlankChar ? U' ' : c));
    }
    return Utf32ToUtf8(value);
  }
  std::u32string value = EditableChars(Mask, text);
  if (Mask.Reversed) {
    const auto first = value.find_first_not_of(Mask.BlankChar);
    value.erase(0, first == std::u32string::npos ? value.size() : first);
  } else {
    const auto last = value.find_last_not_of(Mask.BlankChar);
    value.erase(last == std::u32string::npos ? 0 : last + 1);
  }
  std::replace(value.begin(), value.end(), Mask.BlankChar, U' ');
  return Utf32ToUtf8(value);
}

std::string BlankMaskText(const TEditMask& Mask) { return Utf32ToUtf8(Fitted(Mask, {})); }

int FirstMissingPosition(const TEditMask& Mask, std::string_view Text, bool IgnoreBlank) {
  const std::u32string text = Utf8ToUtf32(Text);
  for (int i = 0; i < Mask.Count(); ++i) {
    const TMaskPosition& p = Mask.Positions[static_cast<std::size_t>(i)];
    if (!p.Required) continue;
    if (static_cast<std::size_t>(i) >= text.size()) return i;
    const char32_t c = text[static_cast<std::size_t>(i)];
    if (c == Mask.BlankChar && !IgnoreBlank) return i;
    if (c == U' ' && p.Kind != TMaskCharKind::Any) return i;
  }
  return -1;
}

std::u32string BlankMaskRange(const TEditMask& Mask, std::u32string Text, int Start, int Stop) {
  Text = Fitted(Mask, std::move(Text));
  for (int i = std::max(Start, 0); i < std::min(Stop, Mask.Count()); ++i)
    if (!Mask.IsLiteral(i)) Text[static_cast<std::size_t>(i)] = Mask.BlankChar;
  return Text;
}

TMaskTyping TypeMaskChar(const TEditMask& Mask, std::u32string Text, int Caret, char32_t C) {
  TMaskTyping result{Fitted(Mask, std::move(Text)), std::clamp(Caret, 0, Mask.Count()), false};
  const int at = Mask.NextEditable(result.Caret);
  if (at < Mask.Count()) {
    const TMaskPosition& p = Mask.Positions[static_cast<std::size_t>(at)];
    if (MaskCharAllowed(p.Kind, C)) {
      result.Text[static_cast<std::size_t>(at)] = MaskApplyCase(p, C);
      result.Caret = Mask.NextEditable(at + 1);
      return result;
    }
  }
  // A separator typed early (the date separator after a one-digit day)
  // steps over the next literal when it is that character.
  for (int i = result.Caret; i < Mask.Count(); ++i) {
    if (!Mask.IsLiteral(i)) continue;
    if (Mask.Positions[static_cast<std::size_t>(i)].Literal == C) {
      result.Caret = Mask.NextEditable(i + 1);
      return result;
    }
    break;
  }
  result.Refused = true;
  return result;
}

TMaskTyping PasteMaskText(const TEditMask& Mask, std::u32string Text, int Start, std::u32string_view Typed) {
  TMaskTyping result{Fitted(Mask, std::move(Text)), 0, false};
  int at = std::clamp(Start, 0, Mask.Count());
  for (const char32_t c : Typed) {
    at = Mask.NextEditable(at);
    if (at >= Mask.Count()) break;
    const TMaskPosition& p = Mask.Positions[static_cast<std::size_t>(at)];
    result.Text[static_cast<std::size_t>(at)] = MaskCharAllowed(p.Kind, c) ? MaskApplyCase(p, c) : Mask.BlankChar;
    ++at;
  }
  result.Caret = Mask.NextEditable(at);
  return result;
}
