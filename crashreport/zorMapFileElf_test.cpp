// Debug information of real modules: names and lines of zortool addr2line
// against binutils' addr2line for addresses nm gives, the cache by file
// time, the lookups of the own program and the installed hooks.
#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "crashreport/zorExceptStartup.h"
#include "crashreport/zorMapFile.h"
#include "crashreport/zorToolsHooks.h"

namespace {

using namespace zor;

std::string Shell(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The addresses nm gives for the module's own routines (names holding
// `mark`). Parts the compiler split off (".cold" clones) start with code
// inlined from elsewhere, which binutils names by the inlined routine.
std::vector<std::string> OwnRoutines(const std::string& file, const std::string& mark) {
  std::vector<std::string> addresses;
  for (const std::string& line : Lines(Shell("nm -C --defined-only '" + file + "'"))) {
    std::istringstream fields(line);
    std::string address, type;
    fields >> address >> type;
    if ((type == "T" || type == "t") && line.find(mark) != std::string::npos &&
        line.find("[clone") == std::string::npos)
      addresses.push_back(address);
  }
  return addresses;
}

// The file part of binutils' "FILE:LINE" without its folder and a
// discriminator note.
std::pair<std::string, std::string> FileAndLine(std::string text) {
  text = text.substr(0, text.find(" ("));
  const size_t colon = text.rfind(':');
  std::string file = text.substr(0, colon), line = text.substr(colon + 1);
  file = file.substr(file.rfind('/') + 1);
  return {file == "??" ? "" : file, line == "?" ? "0" : line};
}

TEST(ZorMapFileElf, NamesAndLinesEqualBinutilsForEveryOwnRoutine) {
  struct Row {
    const char* name;
    std::string file;
    const char* mark;
    size_t routines;
    bool withLines;
  } rows[] = {
      {"program with compressed DWARF in two files", ZOR_MAP_PROGRAM, "mapprog::", 4, true},
      {"library with -g", ZOR_MAP_LIB_DEBUG, "map", 3, true},
      {"library without debug information", ZOR_MAP_LIB_NODEBUG, "map", 3, false},
      {"DWARF 4 library without .debug_aranges", ZOR_MAP_LIB_DWARF4, "map", 3, true},
      {"DWARF 5 library without .debug_aranges", ZOR_MAP_LIB_RANGES, "map", 3, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<std::string> addresses = OwnRoutines(row.file, row.mark);
    ASSERT_EQ(addresses.size(), row.routines);
    std::string list;
    for (const std::string& a : addresses) list += " " + a;
    const std::vector<std::string> ours =
        Lines(Shell(std::string("'") + ZORTOOL_PATH + "' addr2line '" + row.file + "'" + list));
    const std::vector<std::string> theirs = Lines(Shell("addr2line -f -C -e '" + row.file + "'" + list));
    ASSERT_EQ(ours.size(), 2 * addresses.size());
    ASSERT_EQ(theirs.size(), 2 * addresses.size());
    for (size_t i = 0; i < addresses.size(); ++i) {
      SCOPED_TRACE(addresses[i]);
      EXPECT_EQ(ours[2 * i], theirs[2 * i]);
      const auto [file, line] = FileAndLine(theirs[2 * i + 1]);
      EXPECT_EQ(ours[2 * i + 1], (file.empty() ? "??" : file) + ":" + line);
      EXPECT_EQ(line != "0", row.withLines);
    }
  }
}

// Every instruction address objdump lists inside the program's own
// routines: the same routine and line as binutils' addr2line.
TEST(ZorMapFileElf, EveryInstructionOfTheOwnRoutinesHasBinutilsNameAndLine) {
  std::vector<std::string> addresses;
  bool own = false;
  for (const std::string& line :
       Lines(Shell(std::string("objdump -d -C --no-show-raw-insn '") + ZOR_MAP_PROGRAM + "'"))) {
    if (line.find(">:") != std::string::npos)
      own = line.find("<mapprog::") != std::string::npos;
    else if (own && line.size() > 2 && line[0] == ' ' && line.find(':') != std::string::npos)
      addresses.push_back(line.substr(line.find_first_not_of(' '), line.find(':') - line.find_first_not_of(' ')));
  }
  ASSERT_GT(addresses.size(), 40u);
  std::string list;
  for (const std::string& a : addresses) list += " " + a;
  const std::vector<std::string> ours =
      Lines(Shell(std::string("'") + ZORTOOL_PATH + "' addr2line '" + ZOR_MAP_PROGRAM + "'" + list));
  const std::vector<std::string> theirs =
      Lines(Shell(std::string("addr2line -f -C -e '") + ZOR_MAP_PROGRAM + "'" + list));
  ASSERT_EQ(ours.size(), 2 * addresses.size());
  ASSERT_EQ(theirs.size(), 2 * addresses.size());
  size_t differing = 0;
  for (size_t i = 0; i < addresses.size(); ++i) {
    const auto [file, line] = FileAndLine(theirs[2 * i + 1]);
    if (ours[2 * i] != theirs[2 * i] || ours[2 * i + 1] != file + ":" + line) {
      ++differing;
      ADD_FAILURE() << addresses[i] << ": " << ours[2 * i] << " " << ours[2 * i + 1] << " / " << theirs[2 * i] << " "
                    << theirs[2 * i + 1];
    }
  }
  EXPECT_EQ(differing, 0u);
}

// Offsets and lengths outside the file make the module's own debug
// information unusable as a whole.
TEST(ZorMapFileElf, ABadOffsetOrLengthLoadsNothing) {
  std::ifstream in(ZOR_MAP_LIB_DEBUG, std::ios::binary);
  const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Elf64_Ehdr header;
  std::memcpy(&header, good.data(), sizeof header);
  uint64_t info = 0;
  for (unsigned i = 0; i < header.e_shnum; ++i) {
    Elf64_Shdr section, names;
    std::memcpy(&section, good.data() + header.e_shoff + i * sizeof section, sizeof section);
    std::memcpy(&names, good.data() + header.e_shoff + header.e_shstrndx * sizeof names, sizeof names);
    if (std::string(good.data() + names.sh_offset + section.sh_name) == ".debug_info") info = section.sh_offset;
  }
  ASSERT_NE(info, 0u);
  std::string unitTooLong = good, headersCut = good.substr(0, good.size() - 100);
  unitTooLong[info + 3] = '\x0f';  // the first unit's length runs past its section
  const auto load = [](const std::string& bytes) {
    TMapFile map;
    return map.LoadElf({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
  };
  EXPECT_TRUE(load(good));
  EXPECT_FALSE(load(unitTooLong));
  EXPECT_FALSE(load(headersCut));
}

constexpr int kLookedUpHereLine = __LINE__ + 1;
__attribute__((noinline)) int LookedUpHere(int value) { return value * 3 + 1; }

TEST(ZorMapFileElf, TheOwnProgramNamesItsCallerAndTheHooksAreInstalled) {
  std::string module, unit, symbol;
  int32_t line = 0;
  uintptr_t symbolAddress = 0;
  const int expectedLine = __LINE__ + 1;
  ASSERT_TRUE(AddressInfo(nullptr, module, unit, line, symbolAddress, symbol));
  EXPECT_EQ(unit, "zorMapFileElf_test.cpp");
  EXPECT_EQ(line, expectedLine);
  EXPECT_NE(symbol.find("TheOwnProgramNamesItsCallerAndTheHooksAreInstalled"), std::string::npos) << symbol;
  EXPECT_EQ(module, std::filesystem::canonical("/proc/self/exe").string());
  EXPECT_TRUE(DebugInfoForAddress(nullptr)->Valid());

  InstallDebugInfoHooks();
  ASSERT_NE(CurrentProcNameHook(), nullptr);
  const auto* routine = reinterpret_cast<const uint8_t*>(&LookedUpHere);
  EXPECT_EQ(CurrentProcNameHook()(routine), "zorMapFileElf_test.cpp.(anonymous namespace)::LookedUpHere(int)");
  EXPECT_EQ(CurrentProcNameHook()(routine + 1), "");  // not where a routine starts
  int32_t found = 0;
  uintptr_t start = 0, end = 0;
  CurrentLineNumberHook()(routine, found, start, end);
  EXPECT_EQ(found, kLookedUpHereLine);
  EXPECT_EQ(start, reinterpret_cast<uintptr_t>(routine));
  EXPECT_GT(end, start);
  // Inside the range the line is kept as it is.
  found = 4711;
  CurrentLineNumberHook()(routine, found, start, end);
  EXPECT_EQ(found, 4711);
}

TEST(ZorMapFileElf, StartUpInstallsTheHooksAndShutDownEmptiesTheCache) {
  SetProcNameHook(nullptr);
  SetLineNumberHook(nullptr);
  ReporterStartup();
  EXPECT_EQ(CurrentProcNameHook(), &ProcNameAt);
  EXPECT_EQ(CurrentLineNumberHook(), &LineNumberAt);
  ASSERT_TRUE(DebugInfoForAddress(nullptr)->Valid());
  EXPECT_GE(DebugInfoCacheSize(), 1u);
  ReporterShutdown();
  EXPECT_EQ(DebugInfoCacheSize(), 0u);
}

TEST(ZorMapFileElf, AnAddressInNoModuleGivesAnInvalidObject) {
  int onTheStack = 0;
  for (const void* address : {static_cast<const void*>(&onTheStack), reinterpret_cast<const void*>(0x10)}) {
    const auto map = DebugInfoForAddress(address);
    ASSERT_NE(map, nullptr);
    EXPECT_FALSE(map->Valid());
    EXPECT_FALSE(map->PublicAt(reinterpret_cast<uintptr_t>(address)).valid);
  }
}

TEST(ZorMapFileElf, ReplacingTheModuleFileReloadsIt) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("zormapfile_reload_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string copy = (dir / "libzormapreload.so").string();
  std::filesystem::copy_file(ZOR_MAP_LIB_DEBUG, copy, std::filesystem::copy_options::overwrite_existing);
  void* library = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const void* entry = dlsym(library, "maplib_entry");
  ASSERT_NE(entry, nullptr);

  const auto setTime = [&](time_t when) {
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, copy.c_str(), times, 0), 0);
  };
  const time_t even = time(nullptr) / 2 * 2 - 100;
  setTime(even);
  const auto first = DebugInfoForAddress(entry);
  ASSERT_TRUE(first->Valid());
  EXPECT_EQ(first->PublicAt(reinterpret_cast<uintptr_t>(entry)).name, "maplib_entry");
  EXPECT_EQ(first->SegmentAt(true, reinterpret_cast<uintptr_t>(entry)).unitName, "library.cpp");
  EXPECT_EQ(DebugInfoForAddress(entry), first);  // cached
  setTime(even + 1);                             // the same 2-second step
  EXPECT_EQ(DebugInfoForAddress(entry), first);
  setTime(even + 2);
  const auto second = DebugInfoForAddress(entry);
  EXPECT_NE(second, first);
  EXPECT_TRUE(second->Valid());
  // Whoever still holds the replaced object can go on using it.
  EXPECT_EQ(first->PublicAt(reinterpret_cast<uintptr_t>(entry)).name, "maplib_entry");
  EXPECT_EQ(DebugInfoForAddress(entry), second);

  // Threads looking up at once share one loaded object.
  setTime(even + 4);
  std::vector<std::shared_ptr<const TMapFile>> seen(4);
  std::vector<std::thread> threads;
  for (auto& s : seen) threads.emplace_back([&s, entry] { s = DebugInfoForAddress(entry); });
  for (auto& t : threads) t.join();
  for (const auto& s : seen) EXPECT_EQ(s, seen.front());

  const size_t cached = DebugInfoCacheSize();
  EXPECT_GE(cached, 1u);
  ClearDebugInfoCache();
  EXPECT_EQ(DebugInfoCacheSize(), 0u);
  dlclose(library);
  std::filesystem::remove_all(dir);
}

}  // namespace
