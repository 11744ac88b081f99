// The header's facts on Linux. Each query reads what a user of the machine
// can check with the usual tools: hostname, id, uname, /etc/os-release,
// nproc, free and df.
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QLocale>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "crashreport/zorExceptHelpers.h"
#include "crashreport/zorExceptKeys.h"
#include "crashreport/zorExceptModules.h"
#include "crashreport/zorExceptStartup.h"
#include "crashreport/zorExceptSysInfo.h"
#include "crashreport/zorStrings.h"
#include "crashreport/zorTools.h"

namespace zor {

std::string DisplayModeOnGuiThread();  // zorExceptSysDisplay.cpp

namespace {

std::string FileText(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Canonical(const std::string& path) {
  std::error_code error;
  const std::filesystem::path p = std::filesystem::canonical(path, error);
  return error ? path : p.string();
}

bool InGroup(const char* name, const std::vector<gid_t>& groups) {
  group entry{}, *found = nullptr;
  std::vector<char> buffer(16384);
  if (getgrnam_r(name, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return false;
  for (gid_t g : groups)
    if (g == found->gr_gid) return true;
  return false;
}

// The highest folder of the path that is still on the path's device.
std::string MountPointOf(const std::string& path, dev_t device) {
  std::filesystem::path p = std::filesystem::path(path).parent_path();
  while (p.has_parent_path() && p != p.parent_path()) {
    struct stat s {};
    if (stat(p.parent_path().c_str(), &s) != 0 || s.st_dev != device) break;
    p = p.parent_path();
  }
  return p.string();
}

class LinuxSystemInfo : public SystemInfo {
 public:
  std::string ComputerName() override { return ComputerNameText(); }

  std::string TerminalClientName() override {
    const char* ssh = std::getenv("SSH_CONNECTION");
    return ssh ? SshClientAddress(ssh) : std::string();
  }

  std::string UserName() override {
    passwd entry{}, *found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
    return std::string(found->pw_name).substr(0, 260);
  }

  bool IsAdministrator() override {
    if (geteuid() == 0) return true;
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? count : 0);
    if (count > 0 && getgroups(count, groups.data()) < 0) groups.clear();
    groups.push_back(getegid());
    return InGroup("sudo", groups) || InGroup("wheel", groups);
  }

  // The layer's registry store keeps no machine-wide values.
  std::string RegisteredOwner() override { return {}; }

  std::string OsVersionText() override {
    const TOS os = OsInfo();
    return os.description + " build " + os.release;
  }

  std::string OsLanguageText() override {
    return QLocale::languageToString(QLocale::system().language()).toStdString();
  }

  std::string SystemUpTimeText() override {
    const int64_t seconds = UptimeSeconds(FileText("/proc/uptime"));
    return seconds < 0 ? std::string() : DurationText(seconds);
  }

  std::string ProgramUpTimeText() override { return zor::ProgramUpTimeText(StartTime(), MonotonicMilliseconds()); }

  std::string ProcessorName() override { return CpuModelName(FileText("/proc/cpuinfo")); }

  int ProcessorCount() override {
    cpu_set_t set;
    CPU_ZERO(&set);
    const int count = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
    return std::clamp(count, 1, 16);
  }

  std::string PhysicalMemoryText() override {
    const std::string meminfo = FileText("/proc/meminfo");
    const uint64_t total = MemInfoBytes(meminfo, "MemTotal");
    return total == 0 ? std::string() : zor::PhysicalMemoryText(MemInfoBytes(meminfo, "MemAvailable"), total);
  }

  std::string ResourcesText() override { return {}; }

  std::string FreeDiskSpaceText() override { return FreeSpaceOfRootAnd(ExecutableFilePath()); }

  std::string DisplayModeText() override { return DisplayModeOnGuiThread(); }

  uint32_t ProcessId() override { return static_cast<uint32_t>(getpid()); }

  std::string AllocatedMemoryText() override {
    std::set<std::string> modules;
    for (const ZorModule& m : LoadedModules()) modules.insert(Canonical(ModuleFilePath(m)));
    const uint64_t bytes = UnbackedMappingBytes(
        FileText("/proc/self/maps"), [&](std::string_view path) { return modules.count(std::string(path)) != 0; });
    return SizeText(static_cast<int64_t>(bytes));
  }

  std::string CommandLine() override { return CommandLineText(FileText("/proc/self/cmdline")); }

  std::string ExecutableName() override { return ExecutableFileName(); }

  std::string CurrentModuleName() override {
    const std::string module = ModuleFilePath(ReporterModule());
    return module == ExecutableFilePath() ? std::string() : FileNamePart(module);
  }

  std::string ModuleDateTime() override {
    struct stat s {};
    tm t{};
    const std::string file = ModuleFilePath(ReporterModule());
    if (file.empty() || stat(file.c_str(), &s) != 0 || !localtime_r(&s.st_mtime, &t)) return {};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                  t.tm_min);
    return text;
  }

  uint64_t ModuleFileVersion() override { return FileVersion(ModuleFilePath(ReporterModule())); }

  // The database engine this item names is never loaded here.
  std::string BdeVersion() override { return {}; }
};

std::string FreeSpaceOf(const std::string& path, const std::string& mountPoint) {
  struct statvfs v {};
  if (statvfs(path.c_str(), &v) != 0) return {};
  return DiskSpaceText(mountPoint, static_cast<uint64_t>(v.f_bfree) * v.f_frsize, LocaleDecimalChar());
}

}  // namespace

std::string FreeSpaceOfRootAnd(const std::string& file) {
  const std::string root = FreeSpaceOf("/", "/");
  struct stat r {
  }, f{};
  if (file.empty() || stat("/", &r) != 0 || stat(file.c_str(), &f) != 0 || r.st_dev == f.st_dev) return root;
  const std::string other = FreeSpaceOf(file, MountPointOf(file, f.st_dev));
  return root.empty() ? other : other.empty() ? root : root + " " + other;
}

std::unique_ptr<SystemInfo> NewLinuxSystemInfo() { return std::make_unique<LinuxSystemInfo>(); }

}  // namespace zor
