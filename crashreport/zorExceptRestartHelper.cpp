// Two instances of a restarting program, for the restart tests.
//
//   old DELAY_MS OUT: starts the new instance so that it is not its child
//     (through an intermediate process that exits), writes the restart
//     record for it, lets it run, and exits DELAY_MS later.
//   new GO_FD OUT OLD_PID: waits for the go byte, runs the reporter's
//     start-up, and writes what it saw to OUT as "key=value" lines.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "crashreport/zorExceptHelpers.h"
#include "crashreport/zorExceptStartup.h"

namespace {

int RunOld(const char* self, int delayMs, const char* out) {
  int go[2], pids[2];
  if (pipe(go) != 0 || pipe(pids) != 0) return 2;
  const pid_t middle = fork();
  if (middle == 0) {
    const pid_t child = fork();
    if (child == 0) {
      close(go[1]);
      const std::string fd = std::to_string(go[0]);
      const std::string oldPid = std::to_string(std::atoi(std::getenv("ZOR_OLD_PID")));
      execl("/proc/self/exe", self, "new", fd.c_str(), out, oldPid.c_str(), static_cast<char*>(nullptr));
      _exit(3);
    }
    const int sent = static_cast<int>(child);
    _exit(write(pids[1], &sent, sizeof sent) == sizeof sent ? 0 : 4);
  }
  int child = 0;
  waitpid(middle, nullptr, 0);
  if (read(pids[0], &child, sizeof child) != sizeof child || child <= 0) return 5;
  zor::RestartRecord record;
  record.oldProcessId = static_cast<uint32_t>(getpid());
  record.oldStartTime = zor::ProcessStartTime(record.oldProcessId).value_or(0);
  for (size_t i = 0; i < record.times.size(); ++i) record.times[i] = 13300000000u + i;
  if (!zor::WriteRestartRecord(static_cast<uint32_t>(child), record)) return 6;
  const char byte = 1;
  if (write(go[1], &byte, 1) != 1) return 7;
  std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
  return 0;
}

int RunNew(int goFd, const char* out, uint32_t oldPid) {
  char byte = 0;
  if (read(goFd, &byte, 1) != 1) return 8;
  const int64_t before = zor::MonotonicMilliseconds();
  zor::ReporterStartup();
  const int64_t waited = zor::MonotonicMilliseconds() - before;
  const std::string name = zor::RestartRecordName(static_cast<uint32_t>(getpid()));
  const int left = shm_open(name.c_str(), O_RDONLY, 0);
  std::ofstream file(std::string(out) + ".part");
  file << "parent_is_old=" << (static_cast<uint32_t>(getppid()) == oldPid) << "\n"
       << "old_ended=" << !zor::ProcessStartTime(oldPid) << "\n"
       << "waited_ms=" << waited << "\n"
       << "time0=" << zor::ExceptionTimes()[0] << "\n"
       << "time9=" << zor::ExceptionTimes()[9] << "\n"
       << "record_left=" << (left >= 0) << "\n";
  file.close();
  zor::ReporterShutdown();
  return std::rename((std::string(out) + ".part").c_str(), out) == 0 ? 0 : 9;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "old" && argc == 4) {
    setenv("ZOR_OLD_PID", std::to_string(getpid()).c_str(), 1);
    return RunOld(argv[0], std::atoi(argv[2]), argv[3]);
  }
  if (mode == "new" && argc == 5)
    return RunNew(std::atoi(argv[2]), argv[3], static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)));
  std::fprintf(stderr, "usage: %s old DELAY_MS OUT | new GO_FD OUT OLD_PID\n", argv[0]);
  return 1;
}
