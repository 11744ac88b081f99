// The walker against the debugger and binutils, on a program whose threads
// block in known call chains; and its checksums across load addresses.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "crashreport/zorDisAsmTesting.h"

namespace {

std::string Output(const std::string& command) {
  std::string out;
  zor::testing::RunCommand(command, &out);
  return out;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The program's own routines: its anonymous namespace and main, by name
// without parameters.
std::string OwnRoutine(std::string name) {
  static const std::string prefix = "(anonymous namespace)::";
  if (name.rfind(prefix, 0) == 0) return name.substr(0, name.find('(', prefix.size()));
  if (name == "main" || name.rfind("main (", 0) == 0) return "main";
  return {};
}

struct Blocked {
  pid_t pid = -1;
  int input = -1;  // closing it ends the program
  std::string output;
};

Blocked StartThreads() {
  Blocked b;
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return b;
  b.pid = fork();
  if (b.pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    execl(ZOR_STACK_PROGRAM, ZOR_STACK_PROGRAM, "threads", nullptr);
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  b.input = in[1];
  char buffer[4096];
  ssize_t n;
  while (b.output.find("ready") == std::string::npos && (n = read(out[0], buffer, sizeof buffer)) > 0)
    b.output.append(buffer, size_t(n));
  close(out[0]);
  return b;
}

TEST(ZorStackWalkProgram, ThreadSectionsFollowTheDebuggerAndBinutils) {
  Blocked program = StartThreads();
  ASSERT_GT(program.pid, 0);
  ASSERT_NE(program.output.find("ready"), std::string::npos) << program.output;
  const std::string debugger =
      Output("timeout 120 gdb -nx -batch -p " + std::to_string(program.pid) + " -ex 'thread apply all bt' 2>/dev/null");
  std::string base;
  {
    // The program's first mapping is its load base.
    std::ifstream maps("/proc/" + std::to_string(program.pid) + "/maps");
    for (std::string line; base.empty() && std::getline(maps, line);)
      if (line.find("zorstacktrace_program") != std::string::npos) base = line.substr(0, line.find('-'));
  }
  close(program.input);
  int status = 0;
  waitpid(program.pid, &status, 0);

  // The debugger's threads, each as the list of own routines.
  std::vector<std::vector<std::string>> gdbThreads;
  static const std::regex frame(R"(^#\d+\s+(?:0x[0-9a-f]+ in )?(.*?) \(.*)");
  for (const std::string& line : SplitLines(debugger)) {
    if (line.rfind("Thread ", 0) == 0) gdbThreads.emplace_back();
    std::smatch m;
    if (!gdbThreads.empty() && std::regex_match(line, m, frame) && !OwnRoutine(m[1]).empty())
      gdbThreads.back().push_back(OwnRoutine(m[1]));
  }
  ASSERT_EQ(gdbThreads.size(), 3u) << debugger;

  // Our sections, and binutils' line of each own line's code address.
  static const std::regex ours(R"(^([0-9a-f]{16}) (\S+) +(\S*) +(\d*) (.*)$)");
  std::map<std::string, std::vector<std::string>> sections;
  std::string current;
  size_t linesChecked = 0;
  for (const std::string& line : SplitLines(program.output)) {
    std::smatch m;
    if (line.rfind("thread ", 0) == 0) {
      current = line.substr(7);
    } else if (std::regex_match(line, m, ours) && !OwnRoutine(m[5]).empty()) {
      sections[current].push_back(OwnRoutine(m[5]));
      char offset[32];
      std::snprintf(offset, sizeof offset, "0x%llx", std::stoull(m[1], nullptr, 16) - std::stoull(base, nullptr, 16));
      const std::string where = Output(std::string("addr2line -e ") + ZOR_STACK_PROGRAM + " " + offset);
      static const std::regex lineNumber(R"(:(\d+))");
      std::smatch n;
      ASSERT_TRUE(std::regex_search(where, n, lineNumber)) << where;
      EXPECT_EQ(n[1].str(), m[4].str()) << line << " / " << where;
      ++linesChecked;
    }
  }
  const std::map<std::string, std::vector<std::string>> expected = {
      {"abc",
       {"(anonymous namespace)::BlockHere", "(anonymous namespace)::ChainC", "(anonymous namespace)::ChainB",
        "(anonymous namespace)::ChainA"}},
      {"de", {"(anonymous namespace)::BlockHere", "(anonymous namespace)::ChainE", "(anonymous namespace)::ChainD"}},
      {"main", {"(anonymous namespace)::MainLoop", "main"}}};
  EXPECT_EQ(sections, expected) << program.output;
  for (const auto& [name, routines] : sections)
    EXPECT_NE(std::find(gdbThreads.begin(), gdbThreads.end(), routines), gdbThreads.end()) << name << "\n" << debugger;
  EXPECT_GE(linesChecked, 9u);
}

TEST(ZorStackWalkProgram, ChecksumsStayAcrossLoadAddresses) {
  std::string loads[2], sums[2];
  for (int i = 0; i < 2; ++i) {
    const std::vector<std::string> lines = SplitLines(Output(std::string(ZOR_STACK_PROGRAM) + " walk"));
    ASSERT_GE(lines.size(), 3u);
    loads[i] = lines[0];
    sums[i] = lines[1];
  }
  if (loads[0] == loads[1]) GTEST_SKIP() << "address-space randomisation is off: " << loads[0];
  EXPECT_EQ(sums[0], sums[1]);
  EXPECT_EQ(sums[0].rfind("checksums ", 0), 0u);
}

}  // namespace
