// memostore: loads a text file into the code editor's text store and saves
// it again, in a chosen line-break format, optionally leaving out lines
// marked read-only. A developer's check of what the store writes.
//
//   memostore [--format windows|unix|mac] [--read-only N[,N...]]
//             [--exclude-read-only] INPUT OUTPUT
//
// Line numbers count from 1. Exit status 0 on success, 1 on a failed load or
// save (the message goes to standard error), 2 on a bad command line.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "components/codeedit/MemoSource.h"
#include "platform/core/NumberFormat.h"

namespace {

int Usage() {
  std::fputs("usage: memostore [--format windows|unix|mac] [--read-only N[,N...]] [--exclude-read-only] INPUT OUTPUT\n",
             stderr);
  return 2;
}

bool ParseFormat(std::string_view Name, TOutFormatType& Format) {
  if (Name == "windows")
    Format = ofWindows;
  else if (Name == "unix")
    Format = ofUnix;
  else if (Name == "mac")
    Format = ofMac;
  else
    return false;
  return true;
}

bool ParseLines(std::string_view Text, std::vector<int>& Lines) {
  for (size_t start = 0; start <= Text.size();) {
    size_t comma = Text.find(',', start);
    if (comma == std::string_view::npos) comma = Text.size();
    std::int32_t line = 0;
    if (!TryStrToInt(Text.substr(start, comma - start), line) || line < 1) return false;
    Lines.push_back(line - 1);
    start = comma + 1;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  TOutFormatType format = ofWindows;
  std::vector<int> readOnly;
  bool exclude = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--format" && i + 1 < argc) {
      if (!ParseFormat(argv[++i], format)) return Usage();
    } else if (arg == "--read-only" && i + 1 < argc) {
      if (!ParseLines(argv[++i], readOnly)) return Usage();
    } else if (arg == "--exclude-read-only") {
      exclude = true;
    } else if (arg.starts_with("--")) {
      return Usage();
    } else {
      files.emplace_back(arg);
    }
  }
  if (files.size() != 2) return Usage();
  try {
    TMemoSource source(nullptr);
    source.LoadFromFile(files[0]);
    source.OutFormat = format;
    if (exclude) source.SetOptions(source.Options() + TStringsOptions{soExcludeReadOnlyLines});
    for (int line : readOnly) source.SetLineFlag(line, line, kReadOnlyBit, true);
    source.SaveToFile(files[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "memostore: %s\n", error.what());
    return 1;
  }
  return 0;
}
