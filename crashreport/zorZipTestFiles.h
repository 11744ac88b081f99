#pragma once
// Test helpers of the compression tests: a scratch folder, whole-file reads
// and writes, and running the reference tools (python3, unzip, zipinfo).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace zorzip_test {

inline const std::string kZlibRef = std::string("python3 ") + KESTOVA_TESTDATA_DIR + "/zlibref.py";

// A fresh folder per test, removed afterwards.
class ScratchDir : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("zorzip_" + std::to_string(getpid()) + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a shell command; answers its exit code and, when `output` is given, its
// standard output.
inline int RunCommand(const std::string& command, std::string* output = nullptr) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  const int status = pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
}

// Word soup: compressible text with matches at every distance.
inline std::string WordText(size_t n, unsigned seed) {
  static const char* const kWords[] = {"alpha ", "beta ", "gamma\n", "tree ", "node, ", "branch ",
                                       "Kestova ", "0.125 ", "(A,B) ", "distance "};
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < n) s += kWords[rng() % 10];
  s.resize(n);
  return s;
}

}  // namespace zorzip_test
