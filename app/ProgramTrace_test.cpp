// The shipped program's process report, asked for from outside: the program
// runs without the reporter's settings, a requester creates the shared
// memory object and a debugger calls the exported function in it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "app/ProgramFixture.h"
#include "crashreport/zorExceptThreadState.h"


namespace {

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}


bool Has(uint64_t mask, int signal) { return (mask >> (signal - 1)) & 1; }

// Whether the main thread sits in poll, the event loop's wait, on five
// looks in a row 200 ms apart, within a minute.
bool WaitsInPoll(pid_t pid) {
  int inPoll = 0;
  for (int look = 0; look < 300 && inPoll < 5; ++look) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::ifstream syscall("/proc/" + std::to_string(pid) + "/syscall");
    std::string number;
    syscall >> number;
    inPoll = number == std::to_string(SYS_poll) || number == std::to_string(SYS_ppoll) ? inPoll + 1 : 0;
  }
  return inPoll == 5;
}

TEST(ProgramTrace, TheExportIsByNameOnly) {
  const std::string symbols = Output(std::string("nm -D --defined-only '") + KESTOVA_GUI_PATH + "'");
  EXPECT_TRUE(std::regex_search(symbols, std::regex(R"( T zorTraceProcess\n)"))) << symbols.substr(0, 2000);
  EXPECT_EQ(symbols.find("RunProgram"), std::string::npos);
  EXPECT_EQ(symbols.find("CreateExceptionObject"), std::string::npos);
}

TEST(ProgramTrace, ADebuggerCallWritesTheReportAndTheProgramGoesOn) {
  const pid_t pid = kestovatest::StartProgramOffscreen({});
  ASSERT_GT(pid, 0);
  // The main window up, the event loop waiting: on a busy machine the
  // start takes longer than any fixed pause.
  ASSERT_TRUE(WaitsInPoll(pid)) << "the event loop never waited";
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, WNOHANG), 0) << "the program ended early";

  constexpr size_t kSize = 65536;
  const char* name = "/zorTraceProcessMap";
  shm_unlink(name);
  const int fd = shm_open(name, O_RDWR | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, kSize), 0);
  const std::string signalName = "SIG" + std::to_string(zor::ThreadCaptureSignal());
  const std::string debugger =
      Output("timeout 300 gdb -nx -batch -p " + std::to_string(pid) + " -ex 'handle " + signalName +
             " nostop noprint pass' -ex 'call (int)zorTraceProcess(65536)' 2>&1");
  auto* view = static_cast<const char*>(mmap(nullptr, kSize, PROT_READ, MAP_SHARED, fd, 0));
  close(fd);
  ASSERT_NE(view, MAP_FAILED);
  const std::string report(view, strnlen(view, kSize));
  munmap(const_cast<char*>(view), kSize);
  shm_unlink(name);

  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0) << "the program ended after the call\n" << debugger;
  EXPECT_FALSE(Has(kestovatest::SignalMask(pid, "SigCgt:"), SIGSEGV));
  EXPECT_FALSE(Has(kestovatest::SignalMask(pid, "SigIgn:"), SIGSEGV));
  // The capture's handler is gone again.
  EXPECT_FALSE(Has(kestovatest::SignalMask(pid, "SigCgt:"), zor::ThreadCaptureSignal()));
  kill(pid, SIGTERM);
  waitpid(pid, &status, 0);

  EXPECT_NE(debugger.find("= 0"), std::string::npos) << debugger;
  EXPECT_EQ(report.rfind("date/time", 0), 0u) << report.substr(0, 300) << "\n" << debugger;
  // The main thread's section names the event loop's frames and the
  // program's own below them, in call order (the debugger's call frame lies
  // above them). Qt reaches its own loop through jumps and virtual calls.
  char mainName[32];
  std::snprintf(mainName, sizeof mainName, "thread $%x:", unsigned(pid));
  const size_t at = report.find(mainName);
  ASSERT_NE(at, std::string::npos) << report;
  const std::string section = report.substr(at, report.find("\r\n\r\n", at) - at);
  static const std::regex loop(
      R"(libglib-2\.0\.so\.0 +g_main_context_iteration\r\n)"
      R"(.*libQt6Core\.so\.6 +QEventDispatcherGlib::processEvents\(QFlags<QEventLoop::ProcessEventsFlag>\)\r\n)"
      R"(.*libQt6Core\.so\.6 +QEventLoop::exec\(QFlags<QEventLoop::ProcessEventsFlag>\)\r\n)"
      R"(.*libQt6Core\.so\.6 +QCoreApplication::exec\(\)\r\n)"
      R"(.*kestova-gui +Startup\.cpp +\d+ +\+?\d+ RunProgram\(int, char\*\*\)::\{lambda\(\)#1\}.*\r\n)"
      R"((.*\r\n)*.* RunProgram\(int, char\*\*\)\r\n)"
      R"(.* main\r\n)");
  EXPECT_TRUE(std::regex_search(section, loop)) << section;
  // The newest line is the wait in poll that the debugger interrupted, not
  // a stale return address from below the interrupted stack pointer.
  EXPECT_TRUE(std::regex_search(section, std::regex(R"(^thread \$[0-9a-f]+:\r\n[^\r]*poll\r\n)"))) << section;
  // Not the reporter's own frames above the call.
  EXPECT_EQ(section.find("zorTraceProcess"), std::string::npos) << section;
  EXPECT_TRUE(std::regex_search(report, std::regex(R"(callstack crc +: \$[0-9a-f]{8}, \$[0-9a-f]{8}, \$[0-9a-f]{8})")))
      << report;
}

}  // namespace
