#pragma once
// Test helpers for the PE fixtures in testdata/pe and the files made from
// them: a temporary folder, whole-file reads, and the binutils tools.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "components/base/PEResources.h"

inline std::string PEFixture(const std::string& Name) { return std::string(KESTOVA_TESTDATA_DIR) + "/pe/" + Name; }

// The 100 bytes of RCDATA DATA1 in res.rc.
inline std::string FixtureData1() {
  std::string s;
  for (int i = 0; i < 100; ++i) s += static_cast<char>('a' + i % 26);
  return s;
}

// Count bytes that hold every value, so that a misplaced copy shows.
inline std::string PatternBytes(size_t Count) {
  std::string s(Count, '\0');
  for (size_t i = 0; i < Count; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return s;
}

inline std::vector<uint8_t> ReadFileBytes(const std::string& Name) {
  std::ifstream in(Name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestova-pe-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDir() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string Path(const std::string& Name) const { return path_ + "/" + Name; }
  std::string Write(const std::string& Name, const std::string& Bytes) const {
    std::ofstream(Path(Name), std::ios::binary) << Bytes;
    return Path(Name);
  }
  // A writable copy of Source named Name (an older copy is replaced).
  std::string Copy(const std::string& Source, const std::string& Name) const {
    std::filesystem::copy_file(Source, Path(Name), std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(Path(Name), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    return Path(Name);
  }

 private:
  std::string path_;
};

inline bool ToolAvailable(const std::string& Tool) {
  return std::system(("command -v " + Tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The tool's standard output; the test fails when it does not exit with 0.
inline std::string RunTool(const std::string& Command) {
  std::string out;
  FILE* pipe = ::popen((Command + " 2>&1").c_str(), "r");
  if (!pipe) {
    ADD_FAILURE() << "cannot run " << Command;
    return out;
  }
  std::array<char, 4096> buffer;
  size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
  const int status = ::pclose(pipe);
  EXPECT_EQ(status, 0) << Command << "\n" << out;
  return out;
}

// The bytes of the resource script block that follows Header ("\"DATA1\"
// RCDATA") in windres's -O rc output: wide strings L"..." (16-bit units, \x
// and octal escapes), narrow strings "...", numbers with an L suffix as 32
// bits and without one as 16 bits, all little-endian.
inline std::string DecodeRcBlock(const std::string& Rc, const std::string& Header) {
  std::string out;
  size_t i = Rc.find(Header);
  if (i == std::string::npos) return out;
  i = Rc.find("BEGIN", i);
  const size_t end = Rc.find("\nEND", i);
  if (i == std::string::npos || end == std::string::npos) return out;
  i += 5;
  auto put = [&](uint32_t v, int bytes) {
    for (int b = 0; b < bytes; ++b) out += static_cast<char>((v >> (8 * b)) & 0xFF);
  };
  auto digits = [&](size_t& j, int base, int most) {
    uint32_t v = 0;
    for (int n = 0; n < most && j < end; ++n, ++j) {
      const char c = Rc[j];
      int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
      if (d >= base) break;
      v = v * base + d;
    }
    return v;
  };
  while (i < end) {
    const char c = Rc[i];
    if ((c == 'L' && Rc[i + 1] == '"') || c == '"') {
      const int width = c == 'L' ? 2 : 1;
      i += width;  // past L" or "
      while (i < end && Rc[i] != '"') {
        if (Rc[i] != '\\') {
          put(static_cast<uint8_t>(Rc[i++]), width);
          continue;
        }
        const char e = Rc[++i];
        if (e == 'x') {
          ++i;
          put(digits(i, 16, 2 * width), width);
        } else if (e >= '0' && e <= '7') {
          put(digits(i, 8, 3), width);
        } else {
          const std::string from = "nrtabfv", to = "\n\r\t\a\b\f\v";
          const size_t k = from.find(e);
          put(static_cast<uint8_t>(k == std::string::npos ? e : to[k]), width);
          ++i;
        }
      }
      ++i;
    } else if (c >= '0' && c <= '9') {
      uint32_t v = 0;
      if (c == '0' && (Rc[i + 1] == 'x' || Rc[i + 1] == 'X')) {
        i += 2;
        v = digits(i, 16, 8);
      } else {
        v = digits(i, 10, 10);
      }
      const bool isLong = Rc[i] == 'L';
      if (isLong) ++i;
      put(v, isLong ? 4 : 2);
    } else {
      ++i;
    }
  }
  return out;
}

inline void UpdateFixture(const std::string& Dll, const TResourceId& Type, const std::string& Name,
                          const std::string& Data) {
  TResourceWriter writer(Dll);
  writer.ReplaceResource(Type, Name, std::span(reinterpret_cast<const uint8_t*>(Data.data()), Data.size()));
}
