#pragma once
// The text of the per-user registry file: UTF-8, line by line, meant to be
// read (and, with care, edited) by a person.
//
//   Kestova Registry 1
//   ; comment lines start with ";"; blank lines do not count
//   "ValueOfTheRoot"=sz:"text"
//
//   [Software\Kestova (Components)\Yandrel Report\Version 4.11]
//   "Title"=sz:"Line one\nsays \"hi\""
//   "Path"=expand_sz:"%HOME%/x"
//   "WindowState"=dword:2
//   "WinPos"=binary:2c000000000000000100000000000000
//   "Lines"=multi_sz:"first","second"
//   "Long"=binary:000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f
//     202122232425262728292a2b2c2d2e2f
//
// - The first line is the signature "Kestova Registry 1".
// - "[path]" starts a key: the names from the root, separated by "\",
//   everything between the first "[" and the last "]" of the line. The keys
//   on the path are added when missing, so sub-keys keep the order in which
//   their paths first appear. Values before the first key belong to the root.
// - A value line is "name"=type:data, blanks allowed around "=". A second
//   line for the same name (any case) replaces the first.
//     sz, expand_sz  a quoted text;
//     dword          a decimal number 0..4294967295;
//     binary         hex digits, two a byte, on the line and on the indented
//                    lines that follow it (a blank may separate bytes);
//     multi_sz       quoted, non-empty texts separated by ",", or nothing.
// - Quoted texts and names escape "\" and the quote as \\ and \", line
//   breaks and tabs as \n, \r and \t, and any other byte below 0x20, 0x7F and
//   bytes that are not part of valid UTF-8 as \xHH.
// - Trailing blanks of a line and a CR before the LF do not count.
//
// The writer gives keys in tree order (a key before its sub-keys) with a
// blank line before each key, and 32 bytes of binary data a line, so that
// writing what was read gives the same text again.

#include <string>
#include <string_view>

#include "platform/classes/RegistryTree.h"

inline constexpr const char* kRegistrySignature = "Kestova Registry 1";

// Reads Text into Root (emptied first). False when the text is damaged: Error
// is then "line <n>: <what is wrong>" and Root is empty. Never reads outside
// Text and keeps every limit of RegistryTree.h, whatever the bytes.
bool ParseRegistryText(std::string_view Text, TRegKeyNode& Root, std::string& Error);

// The whole file for Root.
std::string RegistryText(const TRegKeyNode& Root);

// Key and its sub-keys as the file writes them, the key named Path ("" for
// the root, whose header is left out).
std::string KeyText(const TRegKeyNode& Key, const std::string& Path);

// One value's "type:data", as after the "=" of a value line, and back.
// ParseValueData keeps Value.Name and fails (false, Error set) on text that
// a value line would not accept; binary data may not continue on other lines.
std::string ValueDataText(const TRegValue& Value);
bool ParseValueData(std::string_view Text, TRegValue& Value, std::string& Error);
