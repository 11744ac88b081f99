// zortool's compression commands: deflate, inflate, crc32 and zip, for checks
// against other programs.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "crashreport/zorZip.h"
#include "tools/zortool/Commands.h"

namespace {

std::string ReadStandardInput() {
  std::cin >> std::noskipws;
  return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
}

bool WriteStandardOutput(const void* data, size_t length) {
  return (length == 0 || std::fwrite(data, 1, length, stdout) == length) && std::fflush(stdout) == 0;
}

}  // namespace

// deflate: standard input to a raw deflate stream on standard output.
int ZipDeflateCommand(const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "usage: zortool deflate < data > stream\n");
    return 2;
  }
  const std::string in = ReadStandardInput();
  std::vector<uint8_t> out(in.size() * 11 / 10 + 12);
  const size_t n = DeflateBuffer(in.data(), out.data(), in.size(), out.size());
  if (n == 0) {
    std::fprintf(stderr, "zortool: deflate failed\n");
    return 1;
  }
  return WriteStandardOutput(out.data(), n) ? 0 : 1;
}

// inflate SIZE: a raw deflate stream on standard input that must decode to
// exactly SIZE bytes, written to standard output.
int ZipInflateCommand(const std::vector<std::string>& args) {
  size_t size = 0;
  size_t used = 0;
  try {
    if (args.size() == 1) size = std::stoull(args[0], &used);
  } catch (...) {
    used = 0;
  }
  if (args.size() != 1 || used != args[0].size()) {
    std::fprintf(stderr, "usage: zortool inflate SIZE < stream > data\n");
    return 2;
  }
  const std::string in = ReadStandardInput();
  std::vector<uint8_t> out(size);
  if (InflateBuffer(in.data(), out.data(), in.size(), size) != size) {
    std::fprintf(stderr, "zortool: inflate failed\n");
    return 1;
  }
  return WriteStandardOutput(out.data(), size) ? 0 : 1;
}

// crc32: the CRC-32 of standard input as eight hexadecimal digits.
int ZipCrc32Command(const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "usage: zortool crc32 < data\n");
    return 2;
  }
  const std::string in = ReadStandardInput();
  std::printf("%08x\n", Crc32Update(0xFFFFFFFFu, in.data(), in.size()) ^ 0xFFFFFFFFu);
  return 0;
}

// zip OUT FILE[=NAME]...: an archive of the files; the text after a file's
// last "=" names its entry (an empty name keeps the file's own).
int ZipArchiveCommand(const std::vector<std::string>& args) {
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: zortool zip OUT FILE[=NAME]...\n");
    return 2;
  }
  std::vector<std::string> files, names;
  for (size_t i = 1; i < args.size(); ++i) {
    const size_t eq = args[i].rfind('=');
    files.push_back(eq == std::string::npos ? args[i] : args[i].substr(0, eq));
    names.push_back(eq == std::string::npos ? std::string() : args[i].substr(eq + 1));
  }
  if (!WriteZipArchive(args[0], files, names)) {
    std::fprintf(stderr, "zortool: no archive written\n");
    return 1;
  }
  return 0;
}
