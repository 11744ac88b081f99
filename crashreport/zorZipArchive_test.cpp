// The ZIP writer, read back by unzip, zipinfo and Python's zipfile.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "crashreport/zorZip.h"
#include "crashreport/zorZipTestFiles.h"

namespace {

using namespace zorzip_test;

time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
  struct tm tm {};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return mktime(&tm);
}

void SetModified(const std::string& path, time_t t) {
  const struct timespec times[2] = {{t, 0}, {t, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::string Crc(const std::string& data) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", Crc32Update(0xFFFFFFFFu, data.data(), data.size()) ^ 0xFFFFFFFFu);
  return text;
}

class ZipArchive : public ScratchDir {
 protected:
  // Python's view of the archive: testzip() must pass; one line an entry.
  std::string PythonEntries(const std::string& archive) {
    std::string out;
    EXPECT_EQ(RunCommand(kZlibRef + " zipcheck " + archive, &out), 0) << out;
    return out;
  }
};

TEST_F(ZipArchive, UnzipZipinfoAndPythonReadWhatWasWritten) {
  const std::string text = WordText(30000, 1), binary = RandomBytes(100000, 2), small = "read-only file\n";
  WriteFile(Path("notes.txt"), text);
  WriteFile(Path("data.bin"), binary);
  WriteFile(Path("ro.txt"), small);
  WriteFile(Path("empty"), "");
  ASSERT_EQ(chmod(Path("ro.txt").c_str(), 0444), 0);
  SetModified(Path("notes.txt"), LocalTime(2021, 3, 4, 5, 6, 8));
  SetModified(Path("data.bin"), LocalTime(1999, 12, 31, 23, 59, 59));  // odd seconds round down
  SetModified(Path("ro.txt"), LocalTime(2030, 7, 1, 12, 0, 0));
  SetModified(Path("empty"), LocalTime(1980, 1, 1, 0, 0, 0));

  const std::string archive = Path("out.zip");
  ASSERT_TRUE(WriteZipArchive(archive, {Path("notes.txt"), Path("data.bin"), Path("ro.txt"), Path("empty")},
                              {"", "renamed.bin", "sub/read-only.txt"}));

  std::string out;
  EXPECT_EQ(RunCommand("unzip -t " + archive, &out), 0) << out;
  EXPECT_NE(out.find("No errors detected"), std::string::npos) << out;

  EXPECT_EQ(RunCommand("zipinfo -v " + archive, &out), 0);
  struct Entry {
    std::string name, data, dosTime, python;
  } entries[] = {
      {"notes.txt", text, "2021 Mar 4 05:06:08", "2021-3-4-5-6-8 20"},
      {"renamed.bin", binary, "1999 Dec 31 23:59:58", "1999-12-31-23-59-58 20"},
      {"sub/read-only.txt", small, "2030 Jul 1 12:00:00", "2030-7-1-12-0-0 21"},
      {"empty", "", "1980 Jan 1 00:00:00", "1980-1-1-0-0-0 20"},
  };
  const std::string python = PythonEntries(archive);
  for (const auto& e : entries) {
    SCOPED_TRACE(e.name);
    const size_t at = out.find("\n  " + e.name + "\n");
    ASSERT_NE(at, std::string::npos) << out;
    const std::string block = out.substr(at, out.find("Central directory entry", at) - at);
    EXPECT_NE(block.find("file last modified on (DOS date/time):          " + e.dosTime), std::string::npos) << block;
    EXPECT_NE(block.find("32-bit CRC value (hex):                         " + Crc(e.data)), std::string::npos);
    EXPECT_NE(block.find("uncompressed size:                              " + std::to_string(e.data.size()) + " bytes"),
              std::string::npos);
    EXPECT_NE(python.find(e.name + " " + std::to_string(e.data.size())), std::string::npos) << python;
    EXPECT_NE(python.find(" " + Crc(e.data) + " " + e.python + " 8 " + Crc(e.data) + "\n"), std::string::npos)
        << python;
    std::string extracted;
    EXPECT_EQ(RunCommand("unzip -p " + archive + " " + e.name, &extracted), 0);
    EXPECT_TRUE(extracted == e.data);
  }
}

TEST_F(ZipArchive, UnreadableSecondFileIsLeftOut) {
  WriteFile(Path("a.txt"), "first file");
  ASSERT_TRUE(WriteZipArchive(Path("out.zip"), {Path("a.txt"), Path("missing.txt")}));
  const std::string python = PythonEntries(Path("out.zip"));
  EXPECT_EQ(python.rfind("a.txt 10 ", 0), 0u) << python;
  EXPECT_EQ(std::count(python.begin(), python.end(), '\n'), 1) << python;
}

TEST_F(ZipArchive, FilesBeyondFourGibibytesAreLeftOut) {
  // Sparse, so the test costs no disk; without ZIP64 its size cannot be stored.
  WriteFile(Path("huge"), "");
  std::filesystem::resize_file(Path("huge"), 0x100000000ull);
  WriteFile(Path("b.txt"), "second");
  ASSERT_TRUE(WriteZipArchive(Path("out.zip"), {Path("huge"), Path("b.txt")}));
  const std::string python = PythonEntries(Path("out.zip"));
  EXPECT_EQ(python.rfind("b.txt 6 ", 0), 0u) << python;
  EXPECT_EQ(std::count(python.begin(), python.end(), '\n'), 1) << python;
}

TEST_F(ZipArchive, NoReadableFileLeavesNoArchive) {
  WriteFile(Path("out.zip"), "an older archive");
  EXPECT_FALSE(WriteZipArchive(Path("out.zip"), {Path("missing1"), Path("missing2"), dir_.string()}));
  EXPECT_FALSE(std::filesystem::exists(Path("out.zip")));
  EXPECT_FALSE(WriteZipArchive(Path("none.zip"), {}));
  EXPECT_FALSE(std::filesystem::exists(Path("none.zip")));
}

TEST_F(ZipArchive, TimesOutsideMsDosRangeAreClamped) {
  WriteFile(Path("old"), "old");
  WriteFile(Path("new"), "new");
  SetModified(Path("old"), LocalTime(1975, 6, 1, 10, 0, 0));
  SetModified(Path("new"), LocalTime(2150, 6, 1, 10, 0, 0));
  ASSERT_TRUE(WriteZipArchive(Path("out.zip"), {Path("old"), Path("new")}));
  const std::string python = PythonEntries(Path("out.zip"));
  EXPECT_NE(python.find(" 1980-1-1-0-0-0 20 "), std::string::npos) << python;
  EXPECT_NE(python.find(" 2107-12-31-23-59-58 20 "), std::string::npos) << python;
}

TEST_F(ZipArchive, ReplacesALongerFile) {
  WriteFile(Path("out.zip"), RandomBytes(200000, 3));
  WriteFile(Path("a"), "short");
  ASSERT_TRUE(WriteZipArchive(Path("out.zip"), {Path("a")}));
  EXPECT_LT(std::filesystem::file_size(Path("out.zip")), 200u);
  std::string out;
  EXPECT_EQ(RunCommand("unzip -t " + Path("out.zip"), &out), 0) << out;
}

TEST_F(ZipArchive, ArchiveLockedByAnotherWriterIsLeftAlone) {
  WriteFile(Path("out.zip"), "someone else's");
  WriteFile(Path("a"), "data");
  const int fd = ::open(Path("out.zip").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  EXPECT_FALSE(WriteZipArchive(Path("out.zip"), {Path("a")}));
  ::close(fd);
  EXPECT_EQ(ReadFile(Path("out.zip")), "someone else's");
  EXPECT_FALSE(WriteZipArchive(Path("no/such/folder.zip"), {Path("a")}));
}

}  // namespace
