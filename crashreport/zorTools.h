#pragma once
// Low-level helpers of the reporter that do not depend on a report: the
// system record, file versions, the tick clock and name unmangling.
#include <cstdint>
#include <span>
#include <string>

namespace zor {

// The system kinds and their names (index into OsKindNames).
inline constexpr const char* kOsKindNames[14] = {"None",          "Windows 95",    "Windows 95 OSR-2", "Windows 98",
                                                 "Windows 98 SE", "Windows ME",    "Windows 9x New",   "Windows NT 3",
                                                 "Windows NT 4",  "Windows 2000",  "Windows XP",       "Windows 2003",
                                                 "Windows Vista", "Windows NT New"};

// What the kind rules look at.
struct OsVersionFacts {
  uint32_t platform = 0;  // 1: the 9x family, 2: the NT family, else neither
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  bool workstation = false;
};

struct OsKinds {
  uint8_t kind9x = 0;
  uint8_t kindNT = 0;
  uint8_t kind = 0;  // the one of the two that applies
};

// The kind rules; pure.
OsKinds OsKindOf(const OsVersionFacts& facts);

// The system record, computed once. Here the kind is 0, the description is
// the distribution's PRETTY_NAME and " x64", and the kernel release stands
// where the build number would be printed.
struct TOS {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  std::string servicePack;
  bool is9x = false;
  uint8_t kind9x = 0;
  bool isNT = false;
  uint8_t kindNT = 0;
  uint8_t kind = 0;
  bool is64 = false;
  uint32_t servicePackNumber = 0;
  std::string description;
  std::string release;  // the kernel release (uname)
};
TOS OsInfo();
// The description from the text of an os-release file: its PRETTY_NAME
// (quotes removed), "Linux" when it has none, then " x64" when `is64`.
std::string OsDescriptionFrom(std::string_view osRelease, bool is64);

// Percent of free 16-bit resources: there is no such family here, so 0.
uint16_t FreeSystemResources16(int kind);

// The version of an ELF file from its package-metadata note (the JSON
// "version" of the FDO packaging note): high 32 bits the first two numbers,
// low 32 bits the last two, 16 bits each; 0 when the file has no such note
// or cannot be read.
uint64_t FileVersion(const std::string& fileName);
// The same from the bytes of an ELF image (a parser of untrusted bytes).
uint64_t ElfPackageVersion(std::span<const uint8_t> image);
// The numbers of a version text "a.b.c.d" (missing parts 0); 0 when it does
// not start with a number or a part exceeds 65535.
uint64_t ParseVersionNumbers(std::string_view text);
// Four decimal numbers joined by ".".
std::string FileVersionText(uint64_t version);

// Milliseconds of the monotonic clock, cut to 32 bits.
uint32_t TickCount();
// Milliseconds from `start` to `now` (or TickCount), modulo 2^32.
uint32_t TickDifference(uint32_t start, uint32_t now);
uint32_t TickDifference(uint32_t start);

// Unmangles a compiler-mangled routine name ("@Unit@Class@Method$qqrv"):
// every "::" becomes "." first; false (name otherwise unchanged) when the
// name does not start with "@". `unitName` gets the unit part.
bool DemangleName(std::string& name, std::string& unitName);

}  // namespace zor
