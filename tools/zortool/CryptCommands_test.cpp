// zortool's base64 and Blowfish against coreutils base64 and openssl: each
// test feeds the same bytes to both programs and compares the outputs. A test
// skips when the other program is not installed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool HasProgram(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

class ZortoolCrossCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "zortool-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // Runs a shell command with `input` on standard input; the test fails when
  // it exits with a non-zero code.
  std::string Run(const std::string& command, const std::string& input) {
    const fs::path in = dir_ / "in", out = dir_ / "out";
    std::ofstream(in, std::ios::binary) << input;
    const std::string line = command + " < '" + in.string() + "' > '" + out.string() + "'";
    EXPECT_EQ(std::system(line.c_str()), 0) << line;
    std::ifstream result(out, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(result), std::istreambuf_iterator<char>());
  }

  std::string Zortool(const std::string& args, const std::string& input) {
    return Run(std::string("'") + ZORTOOL_PATH + "' " + args, input);
  }

  std::string OpensslEcb(const std::string& direction, const std::string& keyHex, const std::string& input) {
    return Run("openssl enc -bf-ecb -provider legacy -provider default -nopad " + direction + " -K " + keyHex, input);
  }

  fs::path dir_;
  std::mt19937 random_{20261210};
};

std::string RandomBytes(std::mt19937& random, size_t n) {
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

// A 16-byte key as the 32 hexadecimal digits both programs take.
std::string RandomKeyHex(std::mt19937& random) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (int i = 0; i < 32; ++i) hex += digits[random() % 16];
  return hex;
}

std::string ReverseEachBlock(std::string bytes) {
  for (size_t b = 0; b + 8 <= bytes.size(); b += 8) std::reverse(bytes.begin() + b, bytes.begin() + b + 8);
  return bytes;
}

TEST_F(ZortoolCrossCheck, Base64EqualsCoreutils) {
  if (!HasProgram("base64")) GTEST_SKIP() << "base64 is not installed";
  std::vector<std::string> inputs;
  for (size_t n = 0; n <= 12; ++n) inputs.push_back(std::string("any carnal pleasure.").substr(0, n));
  for (size_t n : {1u, 2u, 3u, 255u, 256u, 257u, 4096u, 100001u}) inputs.push_back(RandomBytes(random_, n));
  for (const auto& input : inputs) {
    SCOPED_TRACE(input.size());
    const std::string ours = Zortool("b64 enc", input);
    EXPECT_EQ(ours, Run("base64 -w0", input));
    EXPECT_EQ(Run("base64 -d", ours), input);
    EXPECT_EQ(Zortool("b64 dec", ours), input);
  }
}

TEST_F(ZortoolCrossCheck, BlowfishCodebookEqualsOpenssl) {
  if (!HasProgram("openssl")) GTEST_SKIP() << "openssl is not installed";
  // openssl pads -K with zeros to 16 bytes, so only 16-byte keys compare.
  const std::string zeroKey(32, '0');
  EXPECT_EQ(Zortool("bf ecb enc " + zeroKey, std::string(8, '\0')), "\x4e\xf9\x97\x45\x61\x98\xdd\x78");
  std::vector<std::string> keys = {zeroKey, "0123456789abcdeffedcba9876543210"};
  for (int i = 0; i < 4; ++i) keys.push_back(RandomKeyHex(random_));
  for (const auto& key : keys) {
    SCOPED_TRACE(key);
    const std::string plain = RandomBytes(random_, 8 * 37);
    const std::string cipher = Zortool("bf ecb enc " + key, plain);
    EXPECT_EQ(cipher, OpensslEcb("-e", key, plain));
    EXPECT_EQ(Zortool("bf ecb dec " + key, cipher), plain);
    EXPECT_EQ(OpensslEcb("-d", key, cipher), plain);
    // The legacy layout is the standard one on each block with its bytes reversed.
    const std::string legacy = Zortool("bf legacy enc " + key, plain);
    EXPECT_EQ(legacy, ReverseEachBlock(OpensslEcb("-e", key, ReverseEachBlock(plain))));
    EXPECT_EQ(Zortool("bf legacy dec " + key, legacy), plain);
  }
}

TEST_F(ZortoolCrossCheck, BlowfishCounterIsDataXorOpensslCounterBlocks) {
  if (!HasProgram("openssl")) GTEST_SKIP() << "openssl is not installed";
  const std::string key = RandomKeyHex(random_);
  for (uint32_t start : {1u, 0x3C9A51E7u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(start);
    const std::string plain = RandomBytes(random_, 8 * 300);
    // The start value sits little-endian in bytes 0-3; the block counter then
    // counts as a big-endian 64-bit number from one past it.
    uint64_t counter = 0;
    for (int i = 0; i < 4; ++i) counter |= uint64_t((start >> (8 * i)) & 0xFF) << (56 - 8 * i);
    std::string blocks;
    for (size_t b = 0; b < plain.size() / 8; ++b) {
      ++counter;
      for (int i = 7; i >= 0; --i) blocks += static_cast<char>(counter >> (8 * i));
    }
    std::string expected = OpensslEcb("-e", key, blocks);
    ASSERT_EQ(expected.size(), plain.size());
    for (size_t i = 0; i < plain.size(); ++i) expected[i] ^= plain[i];
    const std::string args = key + " " + std::to_string(start);
    EXPECT_EQ(Zortool("bf ctr enc " + args, plain), expected);
    EXPECT_EQ(Zortool("bf ctr dec " + args, expected), plain);
  }
}

}  // namespace
