// The shipped program's process report, asked for from outside: the program
// runs without the reporter's settings, a requester creates the shared
// memory object and a debugger calls the exported function in it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
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

#include "crashreport/zorExceptThreadState.h"

extern char** environ;

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

// A signal mask line of the process's status ("SigCgt:", "SigIgn:").
uint64_t SignalMask(pid_t pid, const std::string& key) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key, 0) == 0) return std::stoull(line.substr(key.size()), nullptr, 16);
  return ~uint64_t{0};
}

bool Has(uint64_t mask, int signal) { return (mask >> (signal - 1)) & 1; }

TEST(ProgramTrace, TheExportIsByNameOnly) {
  const std::string symbols = Output(std::string("nm -D --defined-only '") + KESTOVA_GUI_PATH + "'");
  EXPECT_TRUE(std::regex_search(symbols, std::regex(R"( T zorTraceProcess\n)"))) << symbols.substr(0, 2000);
  EXPECT_EQ(symbols.find("RunProgram"), std::string::npos);
  EXPECT_EQ(symbols.find("CreateExceptionObject"), std::string::npos);
}

TEST(ProgramTrace, ADebuggerCallWritesTheReportAndTheProgramGoesOn) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string var = *e;
    if (var.rfind("QT_QPA_PLATFORM=", 0) != 0 && var.rfind("ASAN_OPTIONS=", 0) != 0) env.push_back(var);
  }
  env.push_back("QT_QPA_PLATFORM=offscreen");
  // The address sanitizer of test builds would catch these signals itself.
  env.push_back("ASAN_OPTIONS=detect_leaks=0:handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0");
  std::vector<char*> envp;
  for (std::string& var : env) envp.push_back(var.data());
  envp.push_back(nullptr);
  std::string program = KESTOVA_GUI_PATH;
  char* args[] = {program.data(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, args, envp.data()), 0);
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
  EXPECT_FALSE(Has(SignalMask(pid, "SigCgt:"), SIGSEGV));
  EXPECT_FALSE(Has(SignalMask(pid, "SigIgn:"), SIGSEGV));
  // The capture's handler is gone again.
  EXPECT_FALSE(Has(SignalMask(pid, "SigCgt:"), zor::ThreadCaptureSignal()));
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
