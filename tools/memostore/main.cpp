// memostore: loads a text file into the code editor's text store and saves
// it again, in a chosen line-break format, optionally leaving out lines
// marked read-only. A developer's check of what the store writes.
//
//   memostore [--format windows|unix|mac] [--read-only N[,N...]]
//             [--exclude-read-only] INPUT OUTPUT
//   memostore [--tabs STOPS] [--use-tabs] --script SCRIPT [INPUT]
//   memostore --tabs STOPS --expand
//
// Line numbers count from 1. Exit status 0 on success, 1 on a failed load or
// save (the message goes to standard error), 2 on a bad command line.
//
// --script runs the edit commands of SCRIPT ("-": standard input) on the
// text of INPUT (or an empty text) and prints the lines, caret, selection
// and store state after every update. Commands, one per line ("#" starts a
// comment line): type TEXT (\t a tab, \s a space, \\ a backslash),
// delete [N], break, join, move DLINE DCHAR, caret CHAR LINE, left, right,
// up, down, home, end, wordleft, wordright, select stream|block C1 L1 C2 L2,
// delsel, undo, redo, save; the editing commands backspace, del, delline,
// delstart, delend, delwordright, delwordorjoin, delwordleft, clear, upper,
// lower, toggle, capitalize, upperword, lowerword, capword, quote, indent,
// unindent, tab, backtab, enter, copy, cut, paste, copyblock, moveblock,
// copytocaret, trim, text TEXT (\n LF, \r CR), overwrite on|off,
// option NAME on|off, blockindent N; clip TEXT puts text on the script's
// clipboard as another program would, clipboard prints what it holds.
// --expand writes standard input to standard output with its tabs expanded
// at the store's tab stops.
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "components/codeedit/MemoSource.h"
#include "platform/core/NumberFormat.h"
#include "tools/memostore/Script.h"

namespace {

int Usage() {
  std::fputs(
      "usage: memostore [--format windows|unix|mac] [--read-only N[,N...]] [--exclude-read-only] INPUT OUTPUT\n"
      "       memostore [--tabs STOPS] [--use-tabs] --script SCRIPT [INPUT]\n"
      "       memostore --tabs STOPS --expand\n",
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
  std::string tabs, script;
  bool useTabs = false, expand = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--format" && i + 1 < argc) {
      if (!ParseFormat(argv[++i], format)) return Usage();
    } else if (arg == "--read-only" && i + 1 < argc) {
      if (!ParseLines(argv[++i], readOnly)) return Usage();
    } else if (arg == "--tabs" && i + 1 < argc) {
      tabs = argv[++i];
    } else if (arg == "--script" && i + 1 < argc) {
      script = argv[++i];
    } else if (arg == "--use-tabs") {
      useTabs = true;
    } else if (arg == "--expand") {
      expand = true;
    } else if (arg == "--exclude-read-only") {
      exclude = true;
    } else if (arg.starts_with("--")) {
      return Usage();
    } else {
      files.emplace_back(arg);
    }
  }
  if (expand || !script.empty()) {
    if (files.size() > (expand ? 0u : 1u)) return Usage();
    try {
      TMemoSource source(nullptr);
      if (useTabs) source.SetOptions(source.Options() + TStringsOptions{soUseTabCharacter});
      if (!tabs.empty()) source.SetTabStops(tabs);
      if (expand) {
        ExpandLines(source, std::cin, std::cout);
        return 0;
      }
      if (!files.empty()) source.LoadFromFile(files[0]);
      if (script == "-") return RunScript(source, std::cin, std::cout);
      std::ifstream in(script);
      if (!in) {
        std::fprintf(stderr, "memostore: cannot read %s\n", script.c_str());
        return 1;
      }
      return RunScript(source, in, std::cout);
    } catch (const std::exception& error) {
      std::fprintf(stderr, "memostore: %s\n", error.what());
      return 1;
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
