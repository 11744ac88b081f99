// zortool's compression commands against python3's zlib and zipfile and
// Info-ZIP's unzip: the tool must pass on what the library makes, byte for
// byte, and exit non-zero when it cannot.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "crashreport/zorZipTestFiles.h"

namespace {

using namespace zorzip_test;

const std::string kTool = std::string("'") + ZORTOOL_PATH + "' ";
const std::string kReference = std::string("python3 ") + ZLIBREF_PATH + " ";

class ZortoolZip : public ScratchDir {
 protected:
  // The tool's exit code, with `input` on standard input and its standard
  // output in `output`.
  int Tool(const std::string& args, const std::string& input, std::string* output = nullptr) {
    WriteFile(Path("stdin"), input);
    return RunCommand(kTool + args + " < '" + Path("stdin") + "' 2>/dev/null", output);
  }
};

TEST_F(ZortoolZip, DeflateInflateAndCrc32MatchPythonZlib) {
  const std::string inputs[] = {"", "hello hello hello", WordText(90000, 3) + RandomBytes(5000, 4)};
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input.size());
    WriteFile(Path("in"), input);
    ASSERT_EQ(RunCommand(kReference + "deflate " + Path("in") + " " + Path("ref")), 0);
    std::string ours;
    ASSERT_EQ(Tool("deflate", input, &ours), 0);
    EXPECT_TRUE(ours == ReadFile(Path("ref")));

    // A level-9 stream of the reference decodes to the input, and only at its length.
    ASSERT_EQ(RunCommand(kReference + "streams " + Path("in") + " " + Path("s")), 0);
    const std::string level9 = ReadFile(Path("s_l9.z")), size = std::to_string(input.size());
    std::string back;
    EXPECT_EQ(Tool("inflate " + size, level9, &back), 0);
    EXPECT_TRUE(back == input);
    EXPECT_EQ(Tool("inflate " + std::to_string(input.size() + 1), level9), 1);

    std::string crc, expected;
    EXPECT_EQ(Tool("crc32", input, &crc), 0);
    ASSERT_EQ(RunCommand("python3 -c \"import sys,zlib; print('%08x' % zlib.crc32(open(sys.argv[1],'rb').read()))\" " +
                             Path("in"),
                         &expected),
              0);
    EXPECT_EQ(crc, expected);
  }
  EXPECT_EQ(Tool("inflate 12x", ""), 2);
  EXPECT_EQ(Tool("deflate extra", ""), 2);
}

TEST_F(ZortoolZip, ZipNamesEntriesAndLeavesOutWhatItCannotRead) {
  WriteFile(Path("a.txt"), WordText(4000, 5));
  WriteFile(Path("b.bin"), RandomBytes(3000, 6));
  ASSERT_EQ(Tool("zip " + Path("out.zip") + " " + Path("a.txt") + "=notes.txt " + Path("missing") + " " +
                     Path("b.bin"),
                 ""),
            0);
  std::string out;
  EXPECT_EQ(RunCommand("unzip -t " + Path("out.zip"), &out), 0) << out;
  EXPECT_NE(out.find("No errors detected"), std::string::npos) << out;
  EXPECT_EQ(RunCommand("zipinfo -1 " + Path("out.zip"), &out), 0);
  EXPECT_EQ(out, "notes.txt\nb.bin\n");
  EXPECT_EQ(RunCommand(kReference + "zipcheck " + Path("out.zip"), &out), 0) << out;

  EXPECT_EQ(Tool("zip " + Path("none.zip") + " " + Path("missing"), ""), 1);
  EXPECT_FALSE(std::filesystem::exists(Path("none.zip")));
  EXPECT_EQ(Tool("zip " + Path("none.zip"), ""), 2);
}

}  // namespace
