// The system record and file versions from the ELF package-metadata note.
#include <elf.h>
#include <sys/utsname.h>

#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>

#include "crashreport/zorTools.h"
#include "crashreport/zorToolsElf_p.h"
#include "crashreport/zorToolsImage.h"

namespace zor {

OsKinds OsKindOf(const OsVersionFacts& f) {
  OsKinds k;
  if (f.platform == 1) {
    if (f.major == 4 && f.minor < 10)
      k.kind9x = f.build <= 1000 ? 1 : 2;
    else if (f.major == 4 && f.minor == 10)
      k.kind9x = f.build > 2700 ? 5 : (f.build <= 2000 ? 3 : 4);
    else if (f.major == 4)
      k.kind9x = f.minor > 90 ? 6 : 5;
    else if (f.major > 4)
      k.kind9x = 6;
    k.kind = k.kind9x;
  } else if (f.platform == 2) {
    if (f.major < 4)
      k.kindNT = 7;
    else if (f.major == 4)
      k.kindNT = 8;
    else if (f.major == 5)
      k.kindNT = f.minor == 0 ? 9 : (f.minor == 1 || f.workstation ? 10 : 11);
    else if (f.major == 6 && f.minor == 0)
      k.kindNT = 12;
    else
      k.kindNT = 13;
    k.kind = k.kindNT;
  }
  return k;
}

std::string OsDescriptionFrom(std::string_view osRelease, bool is64) {
  std::string name = "Linux";
  std::istringstream in{std::string(osRelease)};
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
    std::string value = line.substr(12);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    if (!value.empty()) name = value;
    break;
  }
  return is64 ? name + " x64" : name;
}

TOS OsInfo() {
  static std::once_flag once;
  static TOS os;
  std::call_once(once, [] {
    utsname u{};
    if (uname(&u) == 0) {
      os.release = u.release;
      const uint64_t numbers = ParseVersionNumbers(os.release);
      os.major = static_cast<uint32_t>(numbers >> 48);
      os.minor = static_cast<uint32_t>((numbers >> 32) & 0xFFFF);
      os.is64 = std::strcmp(u.machine, "x86_64") == 0 || std::strcmp(u.machine, "aarch64") == 0;
    }
    std::ifstream file("/etc/os-release");
    std::stringstream text;
    text << file.rdbuf();
    os.description = OsDescriptionFrom(text.str(), os.is64);
  });
  return os;
}

uint16_t FreeSystemResources16(int) { return 0; }

namespace {

using elf::ReadAt;

// The "version" string of a small JSON object; empty when absent.
std::string JsonVersion(std::string_view json) {
  const size_t key = json.find("\"version\"");
  if (key == std::string_view::npos) return {};
  size_t at = key + 9;
  while (at < json.size() && (json[at] == ' ' || json[at] == '\t')) ++at;
  if (at >= json.size() || json[at] != ':') return {};
  ++at;
  while (at < json.size() && (json[at] == ' ' || json[at] == '\t')) ++at;
  if (at >= json.size() || json[at] != '"') return {};
  const size_t end = json.find('"', at + 1);
  return end == std::string_view::npos ? std::string() : std::string(json.substr(at + 1, end - at - 1));
}

// The version out of the notes in [offset, offset + size).
uint64_t VersionInNotes(std::span<const uint8_t> image, uint64_t offset, uint64_t size, uint64_t align) {
  if (offset > image.size() || size > image.size() - offset) return 0;
  const uint64_t end = offset + size;
  const auto padded = [align](uint64_t n) { return (n + align - 1) / align * align; };
  while (end - offset >= 12) {
    uint32_t nameSize = 0, descSize = 0, type = 0;
    ReadAt(image, offset, nameSize);
    ReadAt(image, offset + 4, descSize);
    ReadAt(image, offset + 8, type);
    const uint64_t name = offset + 12;
    const uint64_t desc = name + padded(nameSize);
    if (desc > end || descSize > end - desc) return 0;
    if (type == 0xcafe1a7e && nameSize == 4 && std::memcmp(image.data() + name, "FDO", 4) == 0) {
      std::string_view json(reinterpret_cast<const char*>(image.data() + desc), descSize);
      return ParseVersionNumbers(JsonVersion(json));
    }
    offset = desc + padded(descSize);
  }
  return 0;
}

}  // namespace

uint64_t ElfPackageVersion(std::span<const uint8_t> image) {
  Elf64_Ehdr header;
  if (!elf::ReadHeader(image, header) || header.e_phentsize != sizeof(Elf64_Phdr)) return 0;
  for (uint32_t i = 0; i < header.e_phnum; ++i) {
    Elf64_Phdr ph;
    if (!ReadAt(image, header.e_phoff + uint64_t{i} * sizeof ph, ph)) return 0;
    if (ph.p_type != PT_NOTE) continue;
    if (const uint64_t v = VersionInNotes(image, ph.p_offset, ph.p_filesz, ph.p_align == 8 ? 8 : 4)) return v;
  }
  return 0;
}

uint64_t FileVersion(const std::string& fileName) {
  const MappedFile file(fileName);
  return ElfPackageVersion(file.Bytes());
}

}  // namespace zor
