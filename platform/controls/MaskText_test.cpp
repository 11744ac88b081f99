// The edit-mask language: parsing, formatting, values, required positions
// and overwrite typing, as tables.

#include "platform/controls/MaskText.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/core/Codecs.h"

namespace {

constexpr const char* kPhone = "(999) 000-0000;0;_";
constexpr const char* kDate = "!99/99/00;1;_";

std::string Kinds(const TEditMask& Mask) {
  std::string s;
  for (const TMaskPosition& p : Mask.Positions) {
    switch (p.Kind) {
      case TMaskCharKind::Literal:
        s += 'x';
        break;
      case TMaskCharKind::Letter:
        s += p.Required ? 'L' : 'l';
        break;
      case TMaskCharKind::LetterOrDigit:
        s += p.Required ? 'A' : 'a';
        break;
      case TMaskCharKind::Any:
        s += p.Required ? 'C' : 'c';
        break;
      case TMaskCharKind::Digit:
        s += p.Required ? '0' : '9';
        break;
      case TMaskCharKind::DigitOrSign:
        s += '#';
        break;
    }
    if (p.Case == TMaskCase::Upper) s += '^';
    if (p.Case == TMaskCase::Lower) s += 'v';
  }
  return s;
}

std::string Literals(const TEditMask& Mask) {
  std::u32string s;
  for (const TMaskPosition& p : Mask.Positions) s.push_back(p.Kind == TMaskCharKind::Literal ? p.Literal : U'.');
  return Utf32ToUtf8(s);
}

TEST(ParseEditMask, PatternsAndTrailingFields) {
  struct Row {
    const char* mask;
    const char* kinds;
    const char* literals;
    bool reversed;
    bool keep;
    char32_t blank;
  };
  const Row rows[] = {
      {kPhone, "x999xx000x0000", "(...) ...-....", false, false, U'_'},
      {kDate, "99x99x00", "../../..", true, true, U'_'},
      {">LL", "L^L^", "..", false, true, U'_'},
      {"<l<>l>a", "lvla^", "...", false, true, U'_'},
      {"000;0; ", "000", "...", false, false, U' '},
      {"000;0;;", "000", "...", false, false, U';'},
      {"000;1", "000", "...", false, true, U'_'},
      {"000;", "000", "...", false, true, U'_'},
      // A ";" before the last four characters is a literal of the pattern.
      {"0;0000", "0x0000", ".;....", false, true, U'_'},
      // An escaped ";" is a literal even at the end; so are escaped codes.
      {"00\\;", "00x", "..;", false, true, U'_'},
      {"\\0\\L0", "xx0", "0L.", false, true, U'_'},
      {"\\\\;0", "x", "\\", false, false, U'_'},
      {"CcAa#", "CcAa#", ".....", false, true, U'_'},
      {"00:00", "00x00", "..:..", false, true, U'_'},
      {"ä0", "x0", "ä.", false, true, U'_'},
      {"", "", "", false, true, U'_'},
      {"\\", "", "", false, true, U'_'},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.mask);
    const TEditMask mask = ParseEditMask(row.mask);
    EXPECT_EQ(Kinds(mask), row.kinds);
    EXPECT_EQ(Literals(mask), row.literals);
    EXPECT_EQ(mask.Reversed, row.reversed);
    EXPECT_EQ(mask.KeepLiterals, row.keep);
    EXPECT_EQ(mask.BlankChar, row.blank);
  }
}

TEST(ParseEditMask, SeparatorsComeFromTheLocale) {
  EXPECT_EQ(Literals(ParseEditMask("00/00 00:00", ",", ";")), "..,.. ..;..");
  EXPECT_EQ(Literals(ParseEditMask("00/00 00:00", "-", "h")), "..-.. ..h..");
  EXPECT_EQ(Literals(ParseEditMask("00/00", "", "")), "../..");
}

TEST(MaskText, FormattingAndValuesRoundTrip) {
  struct Row {
    const char* mask;
    const char* value;  // as code sets it
    const char* shown;
    const char* read;  // the value read back
  };
  const Row rows[] = {
      {kPhone, "5551234567", "(555) 123-4567", "5551234567"},
      {kPhone, "555123", "(555) 123-____", "555123"},
      {kPhone, "", "(___) ___-____", ""},
      {kPhone, "55512345678", "(555) 123-4567", "5551234567"},
      {"000000;0;_", "12 4", "12 4__", "12 4"},
      // Inner blanks read as spaces; trailing ones are dropped.
      {"000000;0;*", "1", "1*****", "1"},
      // Reversed: aligned to the end, leading blanks dropped.
      {"!000000;0;_", "123", "___123", "123"},
      // Keeping literals: the text carries them, runs are padded or cut.
      {"(999) 000-0000;1;_", "(555) 123-4567", "(555) 123-4567", "(555) 123-4567"},
      {"(999) 000-0000;1;_", "(5) 12-4", "(5__) 12_-4___", "(5  ) 12 -4   "},
      {"(999) 000-0000;1;_", "5551234567", "(555) 123-4567", "(555) 123-4567"},
      {"(999) 000-0000;1;_", "(55555) 1-2", "(555) 1__-2___", "(555) 1  -2   "},
      {kDate, "1/2/03", "_1/_2/03", " 1/ 2/03"},
      {kDate, "12/345/6", "12/45/_6", "12/45/ 6"},
      {"00 00;1;_", "1 2", "1_ 2_", "1  2 "},
      {"", "free text", "free text", "free text"},
      {"LL", "äß", "äß", "äß"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.mask) + " <- " + row.value);
    const TEditMask mask = ParseEditMask(row.mask);
    EXPECT_EQ(MaskedTextOf(mask, row.value), row.shown);
    EXPECT_EQ(MaskValueText(mask, row.shown), row.read);
  }
  EXPECT_EQ(BlankMaskText(ParseEditMask(kPhone)), "(___) ___-____");
  EXPECT_EQ(FormatMaskText(ParseEditMask("!(999) 000;0;_"), "12345"), "(_12) 345");
}

TEST(MaskText, RequiredPositions) {
  struct Row {
    const char* mask;
    const char* shown;
    bool ignoreBlank;
    int missing;
  };
  const Row rows[] = {
      {kPhone, "(555) 123-4567", false, -1},
      {kPhone, "(___) 123-4567", false, -1},  // the area code is optional
      {kPhone, "(555) 12_-4567", false, 8},
      {kPhone, "(555) 12 -4567", false, 8},  // a space is no digit
      {kPhone, "(555) 123-456", false, 13},  // too short
      {kPhone, "(555) 12_-456_", true, -1},
      {kPhone, "(555) 12 -4567", true, 8},
      {"CC;0;_", "a ", false, -1},  // "C" takes a space
      {"CC;0;_", "a_", false, 1},
      {"LL", "", false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.mask) + " : " + row.shown);
    EXPECT_EQ(FirstMissingPosition(ParseEditMask(row.mask), row.shown, row.ignoreBlank), row.missing);
  }
}

TEST(MaskText, OverwriteTyping) {
  struct Row {
    const char* mask;
    int caret;
    const char* typed;
    const char* shown;
    int caretAfter;
    int refused;
  };
  const Row rows[] = {
      // Ten digits fill the phone mask, the caret skipping the literals.
      {kPhone, 0, "5551234567", "(555) 123-4567", 14, 0},
      {kPhone, 1, "55x5", "(555) ___-____", 6, 1},
      // ")" steps over the literal after a short area code.
      {kPhone, 1, "5)123", "(5__) 123-____", 10, 0},
      {kPhone, 1, "-", "(___) ___-____", 1, 1},
      {">LL", 0, "ab", "AB", 2, 0},
      {">LL", 0, "a1b", "AB", 2, 1},
      {"<LL", 0, "AB", "ab", 2, 0},
      {">L<>L", 0, "aB", "AB", 2, 0},
      {">L<>l", 0, "ab", "Ab", 2, 0},
      // The date separator on a day position moves past the next separator.
      {kDate, 0, "/", "__/__/__", 3, 0},
      {kDate, 0, "1/2/03", "1_/2_/03", 8, 0},
      {kDate, 3, "/", "__/__/__", 6, 0},
      // Full masks refuse further characters.
      {"00", 2, "1", "__", 2, 1},
      {"#0", 0, "-1+", "-1", 2, 1},
      {"A", 0, "ä", "ä", 1, 0},
      {"C", 0, "\t", "_", 0, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.mask) + " typing " + row.typed);
    const TEditMask mask = ParseEditMask(row.mask);
    TMaskTyping state{Utf8ToUtf32(BlankMaskText(mask)), row.caret, false};
    int refused = 0;
    for (const char32_t c : Utf8ToUtf32(row.typed)) {
      state = TypeMaskChar(mask, state.Text, state.Caret, c);
      refused += state.Refused ? 1 : 0;
    }
    EXPECT_EQ(Utf32ToUtf8(state.Text), row.shown);
    EXPECT_EQ(state.Caret, row.caretAfter);
    EXPECT_EQ(refused, row.refused);
  }
}

TEST(MaskText, BlankingAndPasting) {
  const TEditMask phone = ParseEditMask(kPhone);
  EXPECT_EQ(Utf32ToUtf8(BlankMaskRange(phone, U"(555) 123-4567", 2, 8)), "(5__) __3-4567");
  EXPECT_EQ(Utf32ToUtf8(BlankMaskRange(phone, U"(555) 123-4567", -5, 99)), "(___) ___-____");
  const TMaskTyping pasted = PasteMaskText(phone, U"(___) ___-____", 0, U"55a1234");
  EXPECT_EQ(Utf32ToUtf8(pasted.Text), "(55_) 123-4___");
  EXPECT_EQ(pasted.Caret, 11);
  const TMaskTyping overflow = PasteMaskText(ParseEditMask(">LL"), U"__", 1, U"xyz");
  EXPECT_EQ(Utf32ToUtf8(overflow.Text), "_X");
  EXPECT_EQ(overflow.Caret, 2);
}

}  // namespace
