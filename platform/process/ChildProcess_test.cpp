#include "platform/process/ChildProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using ::testing::ThrowsMessage;

// Remembers the largest single write, to see the runner's read size.
class RecordingStream : public TMemoryStream {
 public:
  int64_t Write(const void* buffer, int64_t count) override {
    largest = std::max(largest, count);
    return TMemoryStream::Write(buffer, count);
  }
  std::string Text() const { return std::string(Bytes().begin(), Bytes().end()); }
  int64_t largest = 0;
};

TMemoryStream InputOf(const std::string& text) { return TMemoryStream(std::vector<uint8_t>(text.begin(), text.end())); }

std::string Pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
  return s;
}

struct ChildRun {
  std::string out, err;
  int code = 0;
  int64_t largestRead = 0;
};

ChildRun RunHelper(std::vector<std::string> args, const std::string& input = "") {
  args.insert(args.begin(), KESTOVA_PROCESS_HELPER);
  TMemoryStream in = InputOf(input);
  RecordingStream out, err;
  ChildRun run;
  run.code = RunChildProcess(args, in, out, err);
  run.out = out.Text();
  run.err = err.Text();
  run.largestRead = std::max(out.largest, err.largest);
  return run;
}

TEST(RunChildProcessTest, CollectsStreamsAndExitCode) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::string out, err;
    int code;
  } cases[] = {
      {"silent child", {"exit", "7"}, "", "", "", 7},
      {"more than a buffer at once", {"big", "100000"}, "", Pattern(100000), "", 0},
      {"both streams", {"both"}, "", "out0\nout1\nout2\n", "err0\nerr1\nerr2\n", 3},
      {"empty input is at its end", {"eof"}, "", "eof", "", 0},
      {"input reaches the child", {"echo"}, Pattern(50000), Pattern(50000), "", 0},
      {"output after a pause", {"late"}, "", "late", "", 0},
      {"arguments are not split again", {"args", "a b", "\"q\"", "", "kestova.$$$"}, "", "a b\n\"q\"\n\nkestova.$$$\n",
       "", 0},
      {"killed: no exit code", {"kill"}, "", "", "", -1},
      {"child that never reads a large input", {"exit", "0"}, Pattern(1 << 20), "", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ChildRun run = RunHelper(c.args, c.input);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.code, c.code);
    EXPECT_LE(run.largestRead, kTransferBufferSize);
  }
}

TEST(RunChildProcessTest, ReadsInputFromItsPositionAndAppendsAtOutputPosition) {
  TMemoryStream in = InputOf("skip|data");
  in.SetPosition(5);
  RecordingStream out, err;
  out.WriteBuffer("before:", 7);
  EXPECT_EQ(RunChildProcess({KESTOVA_PROCESS_HELPER, "echo"}, in, out, err), 0);
  EXPECT_EQ(out.Text(), "before:data");
}

TEST(RunChildProcessTest, DoesNotWaitForAGrandchildHoldingThePipes) {
  const auto start = std::chrono::steady_clock::now();
  const ChildRun run = RunHelper({"grandchild"});
  EXPECT_EQ(run.out, "parent");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST(RunChildProcessTest, LaunchFailuresCarryTheErrorNumber) {
  const fs::path notExecutable = fs::temp_directory_path() / ("kestova_not_executable_" + std::to_string(getpid()));
  { std::FILE* f = std::fopen(notExecutable.c_str(), "w"); std::fclose(f); }
  fs::permissions(notExecutable, fs::perms::owner_read | fs::perms::owner_write);
  struct Case {
    const char* name;
    std::string program;
    const char* message;
  } cases[] = {
      {"missing program", "kestova/does-not-exist", "CreateProcess() failed: 2"},
      {"missing program on PATH", "kestova-no-such-program", "CreateProcess() failed: 2"},
      {"not executable", notExecutable.string(), "CreateProcess() failed: 13"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMemoryStream in, out, err;
    EXPECT_THAT([&] { RunChildProcess({c.program}, in, out, err); },
                ThrowsMessage<ELaunchFailed>(::testing::StrEq(c.message)));
  }
  fs::remove(notExecutable);
}

TEST(RunChildProcessTest, RelativeProgramPathIsTakenFromTheCurrentDirectory) {
  const fs::path helper = fs::path(KESTOVA_PROCESS_HELPER);
  const fs::path previous = fs::current_path();
  fs::current_path(helper.parent_path().parent_path());
  TMemoryStream in;
  RecordingStream out, err;
  int code = -2;
  EXPECT_NO_THROW(code = RunChildProcess(
                      {(helper.parent_path().filename() / helper.filename()).string(), "args", "x"}, in, out, err));
  fs::current_path(previous);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(out.Text(), "x\n");
}

TEST(StartDetachedTest, ReturnsAtOnceAndLeavesNoChildBehind) {
  const fs::path file = fs::temp_directory_path() / ("kestova_detached_" + std::to_string(::getpid()));
  fs::remove(file);
  const auto start = std::chrono::steady_clock::now();
  StartDetached({KESTOVA_PROCESS_HELPER, "detached", file.string(), "300"});
  const auto returned = std::chrono::steady_clock::now() - start;
  EXPECT_LT(returned, std::chrono::milliseconds(250)) << "waited for the program";
  EXPECT_FALSE(fs::exists(file)) << "the program is still asleep";
  // No child of ours is left, neither running nor as a zombie.
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!fs::exists(file) && std::chrono::steady_clock::now() < deadline) ::usleep(10000);
  ASSERT_TRUE(fs::exists(file)) << "the program never wrote its file";
  std::ifstream in(file);
  int parent = 0;
  in >> parent;
  EXPECT_NE(parent, ::getpid()) << "the program was our own child";
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  fs::remove(file);
}

TEST(StartDetachedTest, AProgramThatCannotStartRaisesWithItsErrorNumber) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {"no program", {}, "CreateProcess() failed: 2"},
      {"missing program", {"kestova/does-not-exist"}, "CreateProcess() failed: 2"},
      {"missing program on PATH", {"kestova-no-such-program", "x"}, "CreateProcess() failed: 2"},
      {"a directory", {"/tmp"}, "CreateProcess() failed: 13"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THAT([&] { StartDetached(c.args); }, ThrowsMessage<ELaunchFailed>(::testing::StrEq(c.message)));
  }
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "the intermediate process was not reaped";
}

}  // namespace
