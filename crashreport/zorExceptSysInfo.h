#pragma once
// The machine and process facts of a report header, each as the text the
// header shows. Every query answers an empty text when it fails, and the
// header then leaves the item out.
//
// SystemInfo is the seam: the header asks the installed one (the Linux one
// unless a test installs a fake), so an exact header can be built anywhere.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace zor {

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual std::string ComputerName() = 0;
  // The remote client's address; empty outside a remote session.
  virtual std::string TerminalClientName() = 0;
  virtual std::string UserName() = 0;
  virtual bool IsAdministrator() = 0;
  virtual std::string RegisteredOwner() = 0;
  virtual std::string OsVersionText() = 0;
  virtual std::string OsLanguageText() = 0;
  virtual std::string SystemUpTimeText() = 0;
  virtual std::string ProgramUpTimeText() = 0;
  virtual std::string ProcessorName() = 0;
  // 1..16.
  virtual int ProcessorCount() = 0;
  virtual std::string PhysicalMemoryText() = 0;
  virtual std::string ResourcesText() = 0;
  virtual std::string FreeDiskSpaceText() = 0;
  virtual std::string DisplayModeText() = 0;
  virtual uint32_t ProcessId() = 0;
  virtual std::string AllocatedMemoryText() = 0;
  // Empty when the process got no argument.
  virtual std::string CommandLine() = 0;
  // File names without folder.
  virtual std::string ExecutableName() = 0;
  // The reporter's module when it is not the executable, else empty.
  virtual std::string CurrentModuleName() = 0;
  // Last-write time of the reporter's module file, "2024-03-05 09:07";
  // empty when the file is not found.
  virtual std::string ModuleDateTime() = 0;
  // File version of the reporter's module file; 0 when it has none.
  virtual uint64_t ModuleFileVersion() = 0;
  virtual std::string BdeVersion() = 0;
};

// The Linux facts; see each query in zorExceptSysInfoLinux.cpp.
std::unique_ptr<SystemInfo> NewLinuxSystemInfo();
// The free bytes of the root's file system as DiskSpaceText, then, when the
// file lies on another device, a blank and the text of that device's mount
// point (the highest folder above the file on the same device).
std::string FreeSpaceOfRootAnd(const std::string& file);
// The one the header asks; a null one restores the Linux one. Returns the
// one it replaces (null for the built-in Linux one).
std::shared_ptr<SystemInfo> SetSystemInfo(std::shared_ptr<SystemInfo> info);
std::shared_ptr<SystemInfo> CurrentSystemInfo();

// --- Texts ---------------------------------------------------------------------

// The two largest units from the first non-zero of days and hours, each part
// "n unit" with "s" unless n is 1, each followed by a blank: 90061 gives
// "1 day 1 hour ", 0 (or less) gives "".
std::string DurationText(int64_t seconds);
// DurationText of the whole seconds, or below a second "400 milliseconds";
// empty when the start is unknown (0).
std::string ProgramUpTimeText(int64_t startMilliseconds, int64_t nowMilliseconds);
// "available/total MB (free/total)", each rounded to whole MB.
std::string PhysicalMemoryText(uint64_t availableBytes, uint64_t totalBytes);
// "(mount) " and the size text: "(/) 12.34 GB".
std::string DiskSpaceText(std::string_view mountPoint, uint64_t freeBytes, char decimalSeparator);
// "1920x1080, 24 bit"; empty for an empty size.
std::string DisplayModeText(int width, int height, int bitsPerPixel);

// --- Readers of system texts ------------------------------------------------------

// The client address of $SSH_CONNECTION ("client port server port"): its
// first field; empty when the text has none.
std::string SshClientAddress(std::string_view sshConnection);
// The value of the first "model name" line of /proc/cpuinfo, trimmed.
std::string CpuModelName(std::string_view cpuinfo);
// A "Name:   123 kB" value of /proc/meminfo in bytes; 0 when absent.
uint64_t MemInfoBytes(std::string_view meminfo, std::string_view name);
// Whole seconds of the first number of /proc/uptime; -1 when unreadable.
int64_t UptimeSeconds(std::string_view uptime);
// The summed sizes of the /proc/self/maps lines that are mapped with some
// access and that no module file backs (`isModuleFile` says which paths are
// modules; the kernel's own code pages count as a module).
uint64_t UnbackedMappingBytes(std::string_view maps, const std::function<bool(std::string_view path)>& isModuleFile);
// The NUL-separated arguments of /proc/self/cmdline joined by blanks; empty
// when there is no argument after the program's name.
std::string CommandLineText(std::string_view cmdline);

}  // namespace zor
