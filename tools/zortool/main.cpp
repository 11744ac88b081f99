// zortool <command> [args]: see the usage text for the commands.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/zortool/Commands.h"

// Declarations of the command functions, one line each.
int RunBase64(const std::vector<std::string>& args);    // CryptCommands.cpp
int RunBlowfish(const std::vector<std::string>& args);  // CryptCommands.cpp
int ZipDeflateCommand(const std::vector<std::string>& args);  // ZipCommands.cpp
int ZipInflateCommand(const std::vector<std::string>& args);  // ZipCommands.cpp
int ZipCrc32Command(const std::vector<std::string>& args);    // ZipCommands.cpp
int ZipArchiveCommand(const std::vector<std::string>& args);  // ZipCommands.cpp
int RunPng(const std::vector<std::string>& args);             // PngCommands.cpp
int RunSettings(const std::vector<std::string>& args);        // SettingsCommands.cpp
int RunAddr2line(const std::vector<std::string>& args);       // MapFileCommands.cpp
int RunHeader(const std::vector<std::string>& args);          // HeaderCommands.cpp

static const ZorCommandEntry kCommands[] = {
    // Entries, one line each.
    {"b64", "b64 enc|dec", RunBase64},
    {"bf", "bf ecb|legacy|ctr enc|dec KEY [COUNTER]   (KEY in hexadecimal)", RunBlowfish},
    {"deflate", "deflate < data > stream (raw deflate)", ZipDeflateCommand},
    {"inflate", "inflate SIZE < stream > data", ZipInflateCommand},
    {"crc32", "crc32 < data (prints the CRC-32 in hex)", ZipCrc32Command},
    {"zip", "zip OUT FILE[=NAME]...", ZipArchiveCommand},
    {"png", "png IN OUT --form N   (a picture file to the screenshot PNG of form 0..5)", RunPng},
    {"settings", "settings FILE   (name, kind and value of each record of a settings resource)", RunSettings},
    {"addr2line", "addr2line FILE ADDR...   (function, unit:line of each hexadecimal address)", RunAddr2line},
    {"header", "header   (the report header of this machine and process)", RunHeader},
    {nullptr, nullptr, nullptr},
};

static void PrintUsage() {
  std::fprintf(stderr, "usage: zortool <command> [args]\n");
  for (const auto& c : kCommands)
    if (c.name) std::fprintf(stderr, "  %s\n", c.usage);
}

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage();
    return 2;
  }
  for (const auto& c : kCommands) {
    if (c.name && std::strcmp(c.name, argv[1]) == 0)
      return c.run(std::vector<std::string>(argv + 2, argv + argc));
  }
  PrintUsage();
  return 2;
}
