#pragma once
// Unicode-aware case mapping and comparison of UTF-8 text, as the class
// library's "Ansi" routines do it with the user's locale.
//
// AnsiCompareText and AnsiCompareStr rank by the locale's collation (of the
// default QLocale), then break ties by code points (case-folded for
// AnsiCompareText; bytes that are not UTF-8 by their values), so each is a
// total order: AnsiCompareText answers 0 only for texts equal apart from
// case, AnsiCompareStr only for identical texts.
// Sorted lists binary-search with them; a collation alone can rank distinct
// texts equal (characters it ignores) and would break such a search.

#include <string>
#include <string_view>

// Full case mapping: the text may change length ("ß" becomes "SS").
std::string AnsiUpperCase(std::string_view S);
std::string AnsiLowerCase(std::string_view S);

// < 0, 0 or > 0, as described above.
int AnsiCompareText(std::string_view A, std::string_view B);
int AnsiCompareStr(std::string_view A, std::string_view B);
inline bool AnsiSameText(std::string_view A, std::string_view B) { return AnsiCompareText(A, B) == 0; }

// One-to-one upper-case mapping of single code points: a character whose
// upper case takes more than one (ß) stays as it is, so a text keeps its
// length and every column its place.
char32_t UpperCaseChar(char32_t C);
std::u32string UpperCaseChars(std::u32string_view S);
