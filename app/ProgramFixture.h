#pragma once
// Starts the real program offscreen for the tests that look at the running
// process, with the address sanitizer of test builds kept away from the
// signals the program's own code is checked for.
#include <spawn.h>

#include <cstdint>
#include <fstream>

#include <string>
#include <vector>

extern char** environ;

namespace kestovatest {

// The environment of the test, with each "NAME=value" of `overrides` in
// place of the variable of that name; the process id, or 0 when it cannot
// start.
inline pid_t StartProgramOffscreen(std::vector<std::string> overrides) {
  overrides.push_back("QT_QPA_PLATFORM=offscreen");
  overrides.push_back("ASAN_OPTIONS=detect_leaks=0:handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0");
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string var = *e;
    bool replaced = false;
    for (const std::string& o : overrides) replaced = replaced || var.rfind(o.substr(0, o.find('=') + 1), 0) == 0;
    if (!replaced) env.push_back(var);
  }
  env.insert(env.end(), overrides.begin(), overrides.end());
  std::vector<char*> envp;
  for (std::string& var : env) envp.push_back(var.data());
  envp.push_back(nullptr);
  std::string program = KESTOVA_GUI_PATH;
  char* args[] = {program.data(), nullptr};
  pid_t pid = 0;
  return posix_spawn(&pid, program.c_str(), nullptr, nullptr, args, envp.data()) == 0 ? pid : 0;
}

// A signal mask line of the process's status ("SigCgt:", "SigIgn:"); all
// bits set when it cannot be read.
inline uint64_t SignalMask(pid_t pid, const std::string& key) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key, 0) == 0) return std::stoull(line.substr(key.size()), nullptr, 16);
  return ~uint64_t{0};
}

}  // namespace kestovatest
