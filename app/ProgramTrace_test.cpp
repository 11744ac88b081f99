// The shipped program's process report, asked for from outside: the program
// runs without the reporter's settings, a requester creates the shared
// memory object and a debugger calls the exported function in it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
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

TEST(ProgramTrace, TheExportIsByNameOnly) {
  const std::string symbols = Output(std::string("nm -D --defined-only '") + KESTOVA_GUI_PATH + "'");
  EXPECT_TRUE(std::regex_search(symbols, std::regex(R"( T zorTraceProcess\n)"))) << symbols.substr(0, 2000);
  EXPECT_EQ(symbols.find("RunProgram"), std::string::npos);
  EXPECT_EQ(symbols.find("CreateExceptionObject"), std::string::npos);
}

TEST(ProgramTrace, ADebuggerCallWritesTheReportAndTheProgramGoesOn) {
  const pid_t pid = kestovatest::StartProgramOffscreen({});
  ASSERT_GT(pid, 0);
  // The main window up, the event loop waiting.
  std::this_thread::sleep_for(std::chrono::seconds(3));
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
  // The main thread's section names the program's frames down from the
  // event loop's call (the debugger's call frame lies above them).
  char mainName[32];
  std::snprintf(mainName, sizeof mainName, "thread $%x:", unsigned(pid));
  const size_t at = report.find(mainName);
  ASSERT_NE(at, std::string::npos) << report;
  const std::string section = report.substr(at, report.find("\r\n\r\n", at) - at);
  static const std::regex loopCall(R"(kestova-gui +Startup\.cpp +\d+ +\+?\d+ RunProgram\(int, char\*\*\)::\{lambda\(\)#1\})");
  EXPECT_TRUE(std::regex_search(section, loopCall)) << section;
  EXPECT_NE(section.find(" RunProgram(int, char**)\r\n"), std::string::npos) << section;
  EXPECT_NE(section.find(" main\r\n"), std::string::npos) << section;
  // Not the reporter's own frames above the call.
  EXPECT_EQ(section.find("zorTraceProcess"), std::string::npos) << section;
  EXPECT_TRUE(std::regex_search(report, std::regex(R"(callstack crc +: \$[0-9a-f]{8}, \$[0-9a-f]{8}, \$[0-9a-f]{8})")))
      << report;
}

}  // namespace
