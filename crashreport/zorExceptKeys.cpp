// Composed keys, the clock and the placeholders of settings texts.
#include "crashreport/zorExceptKeys.h"

#include <dlfcn.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <utility>

#include "crashreport/zorExceptModules.h"
#include "crashreport/zorExceptSettingsObject.h"
#include "crashreport/zorExcept_p.h"
#include "crashreport/zorStrings.h"
#include "crashreport/zorTools.h"

namespace zor {

namespace {

ReplaceableFunction<PlaceholderClock>& Clock() {
  static ReplaceableFunction<PlaceholderClock> clock;
  return clock;
}

LocalTime SystemLocalTime() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm tm{};
  localtime_r(&seconds, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(ms)};
}

std::string LastPathPart(std::string_view path) {
  const size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The load address of the file that holds `address`; nullptr when unknown.
const void* FileBaseOf(const void* address, Dl_info& info) {
  return address && dladdr(address, &info) != 0 ? info.dli_fbase : nullptr;
}

std::string TwoDigits(int v) { return DecimalPadded(static_cast<int32_t>(v), 2, '0'); }

// The version text of a module for %appversion% and %modversion%: the text
// its settings' "VersionVar" points to, else the version its file carries,
// else "?".
std::string ModuleVersionText(const ZorModule& module) {
  const std::string text = SettingsForModule(module)->VersionVar();
  if (!text.empty()) return text;
  const uint64_t version = FileVersion(ModuleFilePath(module));
  return version ? FileVersionText(version) : "?";
}

}  // namespace

std::string AssistantKey(int n) { return "Assistant" + DecimalText(n); }

PlaceholderClock SetPlaceholderClock(PlaceholderClock clock) { return Clock().Replace(std::move(clock)); }

LocalTime CurrentLocalTime() {
  const PlaceholderClock clock = Clock().Get();
  return clock ? clock() : SystemLocalTime();
}

std::string DateText(const LocalTime& t) {
  return DecimalPadded(static_cast<int32_t>(t.year), 4, '0') + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day);
}

std::string TimeText(const LocalTime& t) {
  return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second) + ", " + DecimalText(t.millisecond) +
         "ms";
}

std::string ExecutableFilePath() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof path) return {};
  return std::string(path, static_cast<size_t>(n));
}

std::string ExecutableFileName() { return LastPathPart(ExecutableFilePath()); }

std::string ModuleFilePath(const ZorModule& module) {
  Dl_info info{}, mainInfo{};
  const void* base = FileBaseOf(module.address, info);
  // The executable's program headers lie in its own mapping, so their file
  // base tells whether the address is the executable's (whose dladdr name is
  // only what it was started as).
  const void* mainBase = FileBaseOf(reinterpret_cast<const void*>(getauxval(AT_PHDR)), mainInfo);
  if (!base || base == mainBase || !info.dli_fname || !*info.dli_fname) return ExecutableFilePath();
  return info.dli_fname;
}

std::string ModuleFileName(const ZorModule& module) { return LastPathPart(ModuleFilePath(module)); }

void ExpandPlaceholders(const ZorModule& module, std::string& text, std::string_view exceptionMessage,
                        std::string_view report) {
  // Version information is looked up only for a text that asks for it.
  const std::string appVersion = std::string("%") + "app" + "version%";
  const std::string modVersion = std::string("%") + "mod" + "version%";
  ReplaceNoCase(text, "%appname%", ExecutableFileName(), false);
  ReplaceNoCase(text, "%modname%", ModuleFileName(module), false);
  if (FindNoCase(appVersion, text, 1, SIZE_MAX) != 0)
    ReplaceNoCase(text, appVersion, ModuleVersionText(ExecutableModule()), false);
  if (FindNoCase(modVersion, text, 1, SIZE_MAX) != 0) ReplaceNoCase(text, modVersion, ModuleVersionText(module), false);
  ReplaceNoCase(text, "%exceptMsg%", exceptionMessage.empty() ? std::string_view("Unknown") : exceptionMessage, false);
  ReplaceNoCase(text, "%bugReport%", report, false);
  ReplaceNoCase(text, "%LF%", "\r\n", false);
  const LocalTime now = CurrentLocalTime();
  const std::string date = DateText(now), time = TimeText(now);
  ReplaceNoCase(text, "%date%", date, false);
  ReplaceNoCase(text, "%time%", time, false);
  ReplaceNoCase(text, "%datetime%", date + ", " + time, false);
}

}  // namespace zor
