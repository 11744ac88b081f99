#pragma once
// The vocabulary of the reporter's settings: the built-in defaults of every
// key, the keys whose names are made at run time, and the placeholders that
// texts read from settings have expanded.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "crashreport/zorExceptSettings.h"

namespace zor {

// One row of the defaults: the key, the kind it is read as, and its default
// in the field of that kind (the others stay false, 0 and empty).
struct SettingDefault {
  std::string_view name;
  SettingKind kind;
  bool boolean;
  int32_t integer;
  std::string_view text;
};

// Every key with a default, in its fixed order (from "Enabled" to
// "VersionVar"); read-only.
std::span<const SettingDefault> SettingDefaults();
// The row whose name equals `name` exactly (case-sensitive), or nullptr.
const SettingDefault* FindSettingDefault(std::string_view name);
// The row as a value record.
TZESettingValue DefaultValue(const SettingDefault& row);

// Keys outside the defaults (empty, 0 or false when absent): one assistant per
// "Assistant" + n, n counting from 1 in decimal without leading zeros, whose
// text is "name|caption|form|form..."; and the identification of the
// module's packed minimum debug information.
std::string AssistantKey(int n);
inline constexpr char kMinDebugInfoKey[] = "MinDebugInfo";

// --- Placeholders ----------------------------------------------------------------

// A local date and time.
struct LocalTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};
using PlaceholderClock = std::function<LocalTime()>;
// Installs the clock %date% and %time% read (an empty one restores the
// system's local time); returns the one it replaces.
PlaceholderClock SetPlaceholderClock(PlaceholderClock clock);
LocalTime CurrentLocalTime();

// "2024-03-05", and "09:41:07, 42ms" (milliseconds without leading zeros).
std::string DateText(const LocalTime& t);
std::string TimeText(const LocalTime& t);

// The file name, without folder, of the process's executable, and of the
// module (the executable's when its address is null or lies in it); empty
// when the system does not tell.
std::string ExecutableFileName();
std::string ModuleFileName(const ZorModule& module);
// The same with their folders.
std::string ExecutableFilePath();
std::string ModuleFilePath(const ZorModule& module);

// Rewrites `text` in place, each step replacing every occurrence of its
// placeholder without case and without looking again at what it inserted:
//  1 %appname%    the executable's file name
//  2 %modname%    the module's file name
//  3 %appversion% the executable's version, looked up only when present
//  4 %modversion% the module's version, the same
//  5 %exceptMsg%  exceptionMessage, "Unknown" when it is empty
//  6 %bugReport%  report
//  7 %LF%         carriage return and line feed
//  8 %date%       DateText of the clock's time
//  9 %time%       TimeText of it
// 10 %datetime%   the date text, ", " and the time text
// A version is the text the module's "VersionVar" points to (the
// executable's settings for %appversion%), "?" when there is none.
// Inserted messages take part in later steps: a message holding "%LF%"
// ends up with a line break.
void ExpandPlaceholders(const ZorModule& module, std::string& text, std::string_view exceptionMessage,
                        std::string_view report);

}  // namespace zor
