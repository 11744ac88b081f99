// zortool settings on resources written by the class library's writer and on
// hand-made bad ones: the printed records, the messages and the exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "crashreport/zorExceptFixture.h"

namespace {

namespace fs = std::filesystem;

struct Result {
  int exitCode;
  std::string out, err;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Result RunOn(const std::string& bytes) {
  const fs::path dir = fs::temp_directory_path() / ("zortool-settings-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "res", std::ios::binary) << bytes;
  const std::string line = std::string("'") + ZORTOOL_PATH + "' settings '" + (dir / "res").string() + "' > '" +
                           (dir / "out").string() + "' 2> '" + (dir / "err").string() + "'";
  const int status = std::system(line.c_str());
  Result r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(dir / "out"), ReadAll(dir / "err")};
  fs::remove_all(dir);
  return r;
}

TEST(ZortoolSettings, PrintsEveryRecord) {
  const Result r = RunOn(zortest::WriteSettingsResource({
      {"Enabled", true},
      {"SmtpPort", int64_t{25}},
      {"BugRepFileSize", int64_t{100000}},
      {"MailAddr", std::string("bugs@example.org")},
      {"ExceptMsg", std::string("Grüße\r\nzwei")},
      {"AutoSave", false},
  }));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out,
            "Enabled\tboolean\ttrue\n"
            "SmtpPort\tinteger\t25\n"
            "BugRepFileSize\tinteger\t100000\n"
            "MailAddr\ttext\tbugs@example.org\n"
            "ExceptMsg\ttext\tGrüße\\x0d\\x0azwei\n"
            "AutoSave\tboolean\tfalse\n");
  EXPECT_EQ(r.err, "");
}

TEST(ZortoolSettings, BadResources) {
  std::string badHeader = zortest::WriteSettingsResource({{"Enabled", true}});
  badHeader[0] = 'X';
  const Result header = RunOn(badHeader);
  EXPECT_EQ(header.exitCode, 1);
  EXPECT_EQ(header.out, "");
  EXPECT_NE(header.err.find("no settings resource"), std::string::npos) << header.err;

  const Result type = RunOn(zortest::Header() + zortest::Record("A", 2, "\xFF") + zortest::Record("B", 7, ""));
  EXPECT_EQ(type.exitCode, 1);
  EXPECT_EQ(type.out, "A\tinteger\t-1\n");
  EXPECT_EQ(type.err, "zortool: Internal error: Invalid settings resource ($7).\n");

  EXPECT_EQ(RunOn("").exitCode, 1);
}

}  // namespace
