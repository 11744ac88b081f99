// The restart record and the reporter's temporary folder.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "crashreport/zorExceptHelpers.h"
#include "crashreport/zorExceptKeys.h"
#include "crashreport/zorExceptStartup.h"
#include "crashreport/zorStrings.h"

namespace zor {

std::string ReportTempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string path = tmp && *tmp ? tmp : "/tmp";
  if (path.back() != '/') path += '/';
  mkdir(path.c_str(), 0700);
  path += WithoutExtension(ExecutableFileName()) + ".zorExcept/";
  mkdir(path.c_str(), 0700);
  return path;
}

void ClearReportTempFolder() {
  const std::string folder = ReportTempFolder();
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string path = folder + entry->d_name;
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) unlink(path.c_str());
  }
  closedir(dir);
  rmdir(folder.c_str());
}

std::string RestartRecordName(uint32_t newProcessId) { return "/zorExceptRestart$" + HexText(newProcessId); }

bool WriteRestartRecord(uint32_t newProcessId, const RestartRecord& record) {
  const std::string name = RestartRecordName(newProcessId);
  const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool written = pwrite(fd, &record, sizeof record, 0) == static_cast<ssize_t>(sizeof record);
  close(fd);
  if (!written) shm_unlink(name.c_str());
  return written;
}

std::optional<uint32_t> ProcessStartTime(uint32_t processId) {
  std::ifstream file("/proc/" + std::to_string(processId) + "/stat");
  std::stringstream text;
  text << file.rdbuf();
  const std::string stat = text.str();
  // The command name in parentheses may hold blanks and ")"; the fields
  // after the last ")" start with field 3.
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(stat.substr(close + 1));
  std::string field;
  for (int n = 3; n <= 22; ++n)
    if (!(fields >> field)) return std::nullopt;
  return static_cast<uint32_t>(std::strtoull(field.c_str(), nullptr, 10));
}

namespace {

// Waits until the process has ended, but only when it is the one the record
// names: the descriptor pins the process, the start time proves its identity.
void WaitForOldInstance(uint32_t processId, uint32_t startTime) {
  if (processId == 0 || processId == static_cast<uint32_t>(getpid())) return;
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, static_cast<pid_t>(processId), 0));
  if (pidfd < 0) return;
  const std::optional<uint32_t> started = ProcessStartTime(processId);
  if (started && *started == startTime) {
    pollfd p{pidfd, POLLIN, 0};
    while (poll(&p, 1, -1) < 0 && errno == EINTR) {
    }
  }
  close(pidfd);
}

}  // namespace

bool TakeOverRestart() {
  const std::string name = RestartRecordName(static_cast<uint32_t>(getpid()));
  const int fd = shm_open(name.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) return false;
  shm_unlink(name.c_str());
  RestartRecord record;
  const bool read = pread(fd, &record, sizeof record, 0) == static_cast<ssize_t>(sizeof record);
  close(fd);
  if (!read) return false;
  WaitForOldInstance(record.oldProcessId, record.oldStartTime);
  SetExceptionTimes(record.times);
  return true;
}

}  // namespace zor
