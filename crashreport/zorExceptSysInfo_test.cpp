// The header's value texts, the readers of the system's text files, and the
// display mode asked from the GUI thread and from others.
#include "crashreport/zorExceptSysInfo.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace zor;

TEST(ZorSysInfoTexts, Durations) {
  const struct {
    int64_t seconds;
    const char* text;
  } rows[] = {
      {90061, "1 day 1 hour "},  // the minutes are dropped
      {3600, "1 hour "},         // a zero unit is left out
      {59, "59 seconds "},
      {0, ""},
      {-5, ""},
      {61, "1 minute 1 second "},
      {3 * 86400 + 4 * 3600 + 59, "3 days 4 hours "},
      {2 * 86400, "2 days "},
      {7260, "2 hours 1 minute "},
  };
  for (const auto& r : rows) EXPECT_EQ(DurationText(r.seconds), r.text) << r.seconds;
}

TEST(ZorSysInfoTexts, ProgramUpTimeMemoryDiskAndDisplay) {
  const struct {
    const char* name;
    std::string text, expected;
  } rows[] = {
      {"400 ms", ProgramUpTimeText(5000, 5400), "400 milliseconds"},
      {"no time at all", ProgramUpTimeText(5000, 5000), "0 milliseconds"},
      {"a second", ProgramUpTimeText(5000, 6000), "1 second "},
      {"unknown start", ProgramUpTimeText(0, 6000), ""},
      {"memory rounds to whole MB", PhysicalMemoryText(524287, 524288), "0/1 MB (free/total)"},
      {"memory", PhysicalMemoryText(2048ull << 20, 7989ull << 20), "2048/7989 MB (free/total)"},
      {"disk", DiskSpaceText("/", 13260000000ull, '.'), "(/) 12.34 GB"},
      {"disk, comma", DiskSpaceText("/home", 1536, ','), "(/home) 1,50 KB"},
      {"display", DisplayModeText(1920, 1080, 24), "1920x1080, 24 bit"},
      {"no display", DisplayModeText(0, 0, 0), ""},
  };
  for (const auto& r : rows) EXPECT_EQ(r.text, r.expected) << r.name;
}

TEST(ZorSysInfoReaders, SystemTexts) {
  EXPECT_EQ(SshClientAddress("192.0.2.7 51234 10.0.0.2 22"), "192.0.2.7");
  EXPECT_EQ(SshClientAddress("  2001:db8::7 51234 2001:db8::1 22"), "2001:db8::7");
  EXPECT_EQ(SshClientAddress(""), "");

  const char* cpuinfo =
      "processor\t: 0\nvendor_id\t: Example\nmodel name\t:  Example CPU @ 2.40GHz \nflags\t\t: fpu\n\n"
      "processor\t: 1\nmodel name\t: Other CPU\n";
  EXPECT_EQ(CpuModelName(cpuinfo), "Example CPU @ 2.40GHz");
  EXPECT_EQ(CpuModelName("processor\t: 0\n"), "");

  const char* meminfo = "MemTotal:        8180624 kB\nMemFree:  100 kB\nMemAvailable:    2097152 kB\n";
  EXPECT_EQ(MemInfoBytes(meminfo, "MemTotal"), 8180624ull * 1024);
  EXPECT_EQ(MemInfoBytes(meminfo, "MemAvailable"), 2097152ull * 1024);
  EXPECT_EQ(MemInfoBytes(meminfo, "Mem"), 0u);  // a prefix is not a name
  EXPECT_EQ(MemInfoBytes("MemTotal: lots kB\n", "MemTotal"), 0u);

  EXPECT_EQ(UptimeSeconds("90061.57 4444.10\n"), 90061);
  EXPECT_EQ(UptimeSeconds("12\n"), 12);
  EXPECT_EQ(UptimeSeconds("up\n"), -1);

  EXPECT_EQ(CommandLineText(std::string_view("kestova-gui\0--trace\0a b\0", 24)), "kestova-gui --trace a b");
  EXPECT_EQ(CommandLineText(std::string_view("kestova-gui\0", 12)), "");
  EXPECT_EQ(CommandLineText(""), "");
}

TEST(ZorSysInfoReaders, MappingsNoModuleBacks) {
  const char* maps =
      "55d0c0000000-55d0c0002000 r--p 00000000 08:01 131 /usr/bin/kestova-gui\n"  // module
      "55d0c1000000-55d0c1021000 rw-p 00000000 00:00 0                          [heap]\n"
      "7f0000000000-7f0000100000 rw-p 00000000 00:00 0 \n"                          // anonymous
      "7f0000100000-7f0000200000 ---p 00000000 00:00 0 \n"                          // reserved only
      "7f0000200000-7f0000201000 r--s 00000000 00:05 77 /dev/shm/data (deleted)\n"  // a data file
      "7f0000300000-7f0000301000 r-xp 00000000 08:01 132 /usr/lib/libc.so.6\n"      // module
      "7ffd00000000-7ffd00021000 rw-p 00000000 00:00 0                          [stack]\n"
      "7ffd00100000-7ffd00102000 r-xp 00000000 00:00 0                          [vdso]\n"
      "garbage line\n";
  const auto isModule = [](std::string_view path) {
    return path == "/usr/bin/kestova-gui" || path == "/usr/lib/libc.so.6";
  };
  EXPECT_EQ(UnbackedMappingBytes(maps, isModule), 0x21000u + 0x100000u + 0x1000u + 0x21000u);
  EXPECT_EQ(UnbackedMappingBytes("", isModule), 0u);
}

TEST(ZorSysInfoLinux, FreeSpaceNamesEachDeviceByItsMountPoint) {
  const std::string root = FreeSpaceOfRootAnd("/");
  ASSERT_EQ(root.substr(0, 4), "(/) ");
  EXPECT_EQ(root.find('(', 1), std::string::npos);
  // /proc is a device of its own, with nothing free; its files lie below
  // a link ("self") that the walk up follows.
  const std::string proc = FreeSpaceOfRootAnd("/proc/self/status");
  EXPECT_EQ(proc.substr(0, 4), "(/) ");
  EXPECT_EQ(proc.substr(proc.find(" (/proc")), " (/proc) 0 Bytes");
  for (const char* file : {"/no/such/file", ""}) {
    const std::string text = FreeSpaceOfRootAnd(file);
    EXPECT_EQ(text.substr(0, 4), "(/) ") << file;  // the root only
    EXPECT_EQ(text.find('(', 1), std::string::npos) << file;
  }
}

TEST(ZorSysInfoLinux, DisplayModeOnlyFromAnAnsweringGuiThread) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const std::string expected = DisplayModeText(screen->size().width(), screen->size().height(), screen->depth());
  ASSERT_FALSE(expected.empty());
  const auto system = NewLinuxSystemInfo();
  EXPECT_EQ(system->DisplayModeText(), expected);  // on the GUI thread

  // A worker while the GUI thread handles its events.
  std::string fromWorker;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    fromWorker = system->DisplayModeText();
    done = true;
  });
  while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  worker.join();
  EXPECT_EQ(fromWorker, expected);

  // A worker while the GUI thread does not answer: empty, after about 100 ms.
  std::string unanswered = "unset";
  const auto start = std::chrono::steady_clock::now();
  std::thread blocked([&] { unanswered = system->DisplayModeText(); });
  blocked.join();
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(unanswered, "");
  EXPECT_GE(waited, std::chrono::milliseconds(100));
  EXPECT_LT(waited, std::chrono::milliseconds(2000));
  QCoreApplication::processEvents();  // the late question finds nobody waiting
}

}  // namespace
