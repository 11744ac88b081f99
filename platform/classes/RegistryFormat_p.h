#pragma once
// Pieces of the registry file's text shared by the value and the line code.

#include <cstddef>
#include <string>
#include <string_view>

// Binary data is written 32 bytes a line.
inline constexpr size_t kBinaryBytesPerLine = 32;

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
// Without trailing blanks and CRs; without leading blanks.
std::string_view TrimEnd(std::string_view Line);
std::string_view TrimStart(std::string_view Text);

// Appends text in quotes with the file's escapes.
void AppendQuoted(std::string& out, std::string_view text);
// Reads a quoted text at the start of `text` into `out` and moves `text`
// past it; false with `error` set when there is none or it is malformed.
bool ReadQuoted(std::string_view& text, std::string& out, std::string& error);
