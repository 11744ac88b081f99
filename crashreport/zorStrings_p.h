#pragma once
// Internals of zorStrings shared with its tests and with zorCrypt.

#include <cstddef>
#include <string_view>

namespace zor::detail {

// The decimal separator of the named locale ("" for the one the environment
// names), ',' when it cannot be opened or its separator is not one byte.
char DecimalCharOfLocale(const char* localeName);

// Whether `find` stands in `text` at byte `at` (at + find.size() <= text.size()),
// exactly or through the case table.
bool MatchesAt(std::string_view text, size_t at, std::string_view find, bool ignoreCase);

}  // namespace zor::detail
