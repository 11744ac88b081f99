// Cross-checks against the zlib that python3 carries: our deflate output must
// equal its level-2 raw stream byte for byte, and our decoder must reproduce
// its streams of every level and strategy.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "crashreport/zorZip.h"
#include "crashreport/zorZipTestFiles.h"

namespace {

using namespace zorzip_test;

struct CorpusCase {
  const char* name;
  std::string (*make)();
};

std::string Repeats() {
  // 48 KiB pieces repeated after 48 KiB (beyond the window) and after 16 KiB
  // (inside it), so the window slides and old matches must be left alone.
  const std::string a = WordText(48 << 10, 7), b = RandomBytes(16 << 10, 8);
  return a + b + a + RandomBytes(48 << 10, 9) + b + b + a.substr(1000, 30000);
}

std::string OwnExecutable() { return ReadFile("/proc/self/exe"); }

const CorpusCase kCorpus[] = {
    {"empty", [] { return std::string(); }},
    {"one byte", [] { return std::string("x"); }},
    {"short text", [] { return std::string("hello hello hello world"); }},
    {"sentence", [] { return std::string("The quick brown fox jumps over the lazy dog.\r\n"); }},
    {"text 5000", [] { return WordText(5000, 1); }},
    {"text 300 KiB", [] { return WordText(300 << 10, 2); }},
    {"repeats past the window", Repeats},
    {"random 1 MiB", [] { return RandomBytes(1 << 20, 3); }},
    {"zeros 100000", [] { return std::string(100000, '\0'); }},
    {"own executable", OwnExecutable},
};

class ZlibCrossCheck : public ScratchDir {};

TEST_F(ZlibCrossCheck, DeflateEqualsZlibLevel2ByteForByte) {
  for (const auto& c : kCorpus) {
    SCOPED_TRACE(c.name);
    const std::string input = c.make();
    WriteFile(Path("in"), input);
    ASSERT_EQ(RunCommand(kZlibRef + " deflate " + Path("in") + " " + Path("ref")), 0);
    const std::string expected = ReadFile(Path("ref"));

    const size_t capacity = input.size() * 11 / 10 + 12;
    std::string ours(capacity, '\0');
    ours.resize(DeflateBuffer(input.data(), ours.data(), input.size(), capacity));
    ASSERT_FALSE(ours.empty());
    EXPECT_LT(ours.size(), capacity);
    if (ours != expected) {
      size_t at = 0;
      while (at < ours.size() && at < expected.size() && ours[at] == expected[at]) ++at;
      ADD_FAILURE() << "first difference at byte " << at << " of " << expected.size();
    }

    std::string back(input.size(), '\0');
    EXPECT_EQ(InflateBuffer(ours.data(), back.data(), ours.size(), input.size()), input.size());
    EXPECT_TRUE(back == input);
  }
}

TEST_F(ZlibCrossCheck, InflateReproducesStreamsOfEveryLevelAndStrategy) {
  const std::string inputs[] = {WordText(70000, 4), Repeats(), std::string(5000, 'a') + RandomBytes(3000, 5),
                                std::string("z")};
  int streams = 0;
  for (size_t i = 0; i < std::size(inputs); ++i) {
    const std::string& input = inputs[i];
    WriteFile(Path("in"), input);
    std::string list;
    ASSERT_EQ(RunCommand(kZlibRef + " streams " + Path("in") + " " + Path("s"), &list), 0);
    std::istringstream paths(list);
    for (std::string path; std::getline(paths, path);) {
      SCOPED_TRACE("input " + std::to_string(i) + ", " + path);
      const std::string stream = ReadFile(path);
      std::string out(input.size(), '\0');
      EXPECT_EQ(InflateBuffer(stream.data(), out.data(), stream.size(), input.size()), input.size());
      EXPECT_TRUE(out == input);
      ++streams;
    }
  }
  EXPECT_EQ(streams, 4 * (10 + 4 * 3));
}

TEST_F(ZlibCrossCheck, ZlibInflatesOurStreams) {
  // The decoder above is ours too; here the reference decodes what we wrote.
  const std::string input = Repeats() + RandomBytes(70000, 11) + std::string(70000, ' ');
  std::string ours(input.size() * 11 / 10 + 12, '\0');
  ours.resize(DeflateBuffer(input.data(), ours.data(), input.size(), ours.size()));
  WriteFile(Path("ours"), ours);
  ASSERT_EQ(RunCommand(kZlibRef + " inflate " + Path("ours") + " " + Path("back")), 0);
  EXPECT_TRUE(ReadFile(Path("back")) == input);
}

TEST_F(ZlibCrossCheck, Crc32EqualsPythonZlib) {
  const std::string inputs[] = {"", "a", "123456789", WordText(10000, 6), RandomBytes(4097, 12)};
  for (const auto& input : inputs) {
    SCOPED_TRACE(input.size());
    WriteFile(Path("in"), input);
    std::string out;
    ASSERT_EQ(RunCommand("python3 -c \"import sys,zlib; print('%08x' % zlib.crc32(open(sys.argv[1],'rb').read()))\" " +
                      Path("in"),
                  &out),
              0);
    char ours[16];
    std::snprintf(ours, sizeof ours, "%08x\n", Crc32Update(0xFFFFFFFFu, input.data(), input.size()) ^ 0xFFFFFFFFu);
    EXPECT_EQ(out, ours);
  }
}

}  // namespace
