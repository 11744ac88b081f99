#include "platform/core/AnsiStrings.h"

#include <QChar>
#include <QCollator>
#include <QLocale>
#include <QString>
#include <optional>

#include "platform/core/Codecs.h"

namespace {

QString ToQ(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

std::string FromQ(const QString& s) {
  const QByteArray bytes = s.toUtf8();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// One collator per thread and case mode, rebuilt when the default locale
// changes.
const QCollator& Collator(Qt::CaseSensitivity mode) {
  thread_local std::optional<QCollator> collators[2];
  std::optional<QCollator>& c = collators[mode == Qt::CaseSensitive ? 1 : 0];
  const QLocale locale;
  if (!c || c->locale() != locale) {
    c.emplace(locale);
    c->setCaseSensitivity(mode);
  }
  return *c;
}

int Sign(int c) { return c < 0 ? -1 : c > 0 ? 1 : 0; }

// The tie-breaker: the code points, case-folded for a comparison without
// case. Bytes that are not UTF-8 stay apart (QString would make each of them
// U+FFFD), so two file names in another encoding never compare equal.
std::u32string TieKey(std::string_view s, Qt::CaseSensitivity mode) {
  std::u32string key = Utf8ToUtf32Escaped(s);
  if (mode == Qt::CaseInsensitive)
    for (char32_t& c : key)
      if (c < kEscapedByteBase) c = QChar::toCaseFolded(c);
  return key;
}

int Compare(std::string_view a, std::string_view b, Qt::CaseSensitivity mode) {
  if (a == b) return 0;
  if (const int c = Collator(mode).compare(ToQ(a), ToQ(b)); c != 0) return Sign(c);
  return Sign(TieKey(a, mode).compare(TieKey(b, mode)));
}

}  // namespace

std::string AnsiUpperCase(std::string_view S) { return FromQ(ToQ(S).toUpper()); }
std::string AnsiLowerCase(std::string_view S) { return FromQ(ToQ(S).toLower()); }

int AnsiCompareText(std::string_view A, std::string_view B) { return Compare(A, B, Qt::CaseInsensitive); }
int AnsiCompareStr(std::string_view A, std::string_view B) { return Compare(A, B, Qt::CaseSensitive); }

char32_t UpperCaseChar(char32_t C) { return C > 0x10FFFF ? C : QChar::toUpper(C); }

std::u32string UpperCaseChars(std::u32string_view S) {
  std::u32string out(S);
  for (char32_t& c : out) c = UpperCaseChar(c);
  return out;
}
