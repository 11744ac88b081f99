// The header's value texts and the readers of the system's text files. The
// readers stop at whatever does not fit, so a changed file format gives an
// empty item rather than a wrong one.
#include "crashreport/zorExceptSysInfo.h"

#include <charconv>

#include "crashreport/zorExcept_p.h"
#include "crashreport/zorStrings.h"

namespace zor {

namespace {

ReplaceableFunction<std::shared_ptr<SystemInfo>>& Installed() {
  static ReplaceableFunction<std::shared_ptr<SystemInfo>> info;
  return info;
}

std::string Plural(int64_t n, const char* unit) { return std::to_string(n) + " " + unit + (n == 1 ? "" : "s") + " "; }

// The lines of a text, without their line feeds.
template <class Visit>
void ForEachLine(std::string_view text, Visit visit) {
  while (!text.empty()) {
    const size_t end = text.find('\n');
    if (!visit(text.substr(0, end))) return;
    if (end == std::string_view::npos) return;
    text.remove_prefix(end + 1);
  }
}

std::string_view NextField(std::string_view& text) {
  const size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) {
    text = {};
    return {};
  }
  text.remove_prefix(start);
  const size_t end = std::min(text.find_first_of(" \t\r\n"), text.size());
  const std::string_view field = text.substr(0, end);
  text.remove_prefix(end);
  return field;
}

template <class Number>
bool ParseWhole(std::string_view text, Number& n, int base = 10) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n, base);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::shared_ptr<SystemInfo> SetSystemInfo(std::shared_ptr<SystemInfo> info) {
  return Installed().Replace(std::move(info));
}

std::shared_ptr<SystemInfo> CurrentSystemInfo() {
  if (std::shared_ptr<SystemInfo> info = Installed().Get()) return info;
  static const std::shared_ptr<SystemInfo> builtIn = NewLinuxSystemInfo();
  return builtIn;
}

std::string DurationText(int64_t seconds) {
  if (seconds <= 0) return {};
  const int64_t days = seconds / 86400, hours = seconds / 3600 % 24, minutes = seconds / 60 % 60, secs = seconds % 60;
  const auto pair = [](int64_t a, const char* aUnit, int64_t b, const char* bUnit) {
    return (a ? Plural(a, aUnit) : "") + (b ? Plural(b, bUnit) : "");
  };
  if (days > 0) return pair(days, "day", hours, "hour");
  if (hours > 0) return pair(hours, "hour", minutes, "minute");
  return pair(minutes, "minute", secs, "second");
}

std::string ProgramUpTimeText(int64_t startMilliseconds, int64_t nowMilliseconds) {
  if (startMilliseconds == 0) return {};
  const int64_t elapsed = nowMilliseconds - startMilliseconds;
  const std::string whole = DurationText(elapsed / 1000);
  return whole.empty() ? std::to_string(std::max<int64_t>(elapsed, 0)) + " milliseconds" : whole;
}

std::string PhysicalMemoryText(uint64_t availableBytes, uint64_t totalBytes) {
  const auto mb = [](uint64_t bytes) { return std::to_string((bytes + 524288) / 1048576); };
  return mb(availableBytes) + "/" + mb(totalBytes) + " MB (free/total)";
}

std::string DiskSpaceText(std::string_view mountPoint, uint64_t freeBytes, char decimalSeparator) {
  return "(" + std::string(mountPoint) + ") " + SizeText(static_cast<int64_t>(freeBytes), decimalSeparator);
}

std::string DisplayModeText(int width, int height, int bitsPerPixel) {
  if (width <= 0 || height <= 0) return {};
  return std::to_string(width) + "x" + std::to_string(height) + ", " + std::to_string(bitsPerPixel) + " bit";
}

std::string SshClientAddress(std::string_view sshConnection) { return std::string(NextField(sshConnection)); }

std::string CpuModelName(std::string_view cpuinfo) {
  std::string name;
  ForEachLine(cpuinfo, [&](std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || TrimmedCopy(line.substr(0, colon)) != "model name") return true;
    name = TrimmedCopy(line.substr(colon + 1));
    return false;
  });
  return name;
}

uint64_t MemInfoBytes(std::string_view meminfo, std::string_view name) {
  uint64_t bytes = 0;
  ForEachLine(meminfo, [&](std::string_view line) {
    if (line.size() <= name.size() || line.substr(0, name.size()) != name || line[name.size()] != ':') return true;
    std::string_view rest = line.substr(name.size() + 1);
    uint64_t kb = 0;
    if (ParseWhole(NextField(rest), kb) && NextField(rest) == "kB" && kb <= UINT64_MAX / 1024) bytes = kb * 1024;
    return false;
  });
  return bytes;
}

int64_t UptimeSeconds(std::string_view uptime) {
  std::string_view first = NextField(uptime);
  first = first.substr(0, first.find('.'));
  int64_t seconds = -1;
  return ParseWhole(first, seconds) ? seconds : -1;
}

uint64_t UnbackedMappingBytes(std::string_view maps, const std::function<bool(std::string_view path)>& isModuleFile) {
  uint64_t sum = 0;
  ForEachLine(maps, [&](std::string_view line) {
    // start-end perms offset dev inode [path]
    const std::string_view range = NextField(line), perms = NextField(line);
    NextField(line);
    NextField(line);
    NextField(line);
    const std::string path = TrimmedCopy(line);
    const size_t dash = range.find('-');
    uint64_t start = 0, end = 0;
    if (dash == std::string_view::npos || !ParseWhole(range.substr(0, dash), start, 16) ||
        !ParseWhole(range.substr(dash + 1), end, 16) || end < start || perms.size() < 3)
      return true;
    // Address space reserved without access is not memory the process holds.
    if (perms.substr(0, 3) == "---") return true;
    if (path == "[vdso]" || path == "[vvar]" || path == "[vsyscall]") return true;
    if (!path.empty() && path.front() != '[' && isModuleFile(path)) return true;
    sum += end - start;
    return true;
  });
  return sum;
}

std::string CommandLineText(std::string_view cmdline) {
  if (!cmdline.empty() && cmdline.back() == '\0') cmdline.remove_suffix(1);
  const size_t first = cmdline.find('\0');
  if (first == std::string_view::npos) return {};
  std::string text(cmdline);
  for (char& c : text)
    if (c == '\0') c = ' ';
  return text;
}

}  // namespace zor
