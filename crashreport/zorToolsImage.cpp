// ELF exports and load segments from a read-only view of the module's file.
#include "crashreport/zorToolsImage.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "crashreport/zorExceptKeys.h"
#include "crashreport/zorExceptModules.h"
#include "crashreport/zorTools.h"
#include "crashreport/zorToolsElf_p.h"
#include "platform/core/ResourceStore.h"

namespace zor {

MappedFile::MappedFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    void* view = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (view != MAP_FAILED) {
      data_ = static_cast<const uint8_t*>(view);
      size_ = static_cast<size_t>(st.st_size);
    }
  }
  close(fd);
}

MappedFile::~MappedFile() {
  if (data_) munmap(const_cast<uint8_t*>(data_), size_);
}

namespace {

using elf::ReadAt;
using elf::ReadHeader;

// The zero-terminated text at `offset` within [tableStart, tableEnd).
std::optional<std::string> TextAt(std::span<const uint8_t> image, uint64_t tableStart, uint64_t tableEnd,
                                  uint64_t offset) {
  if (offset >= tableEnd - tableStart) return std::nullopt;
  const auto* start = reinterpret_cast<const char*>(image.data() + tableStart + offset);
  const size_t room = static_cast<size_t>(tableEnd - tableStart - offset);
  const size_t length = strnlen(start, room);
  if (length == room) return std::nullopt;
  return std::string(start, length);
}

}  // namespace

std::vector<ElfExport> ElfExports(std::span<const uint8_t> image) {
  std::vector<ElfExport> exports;
  Elf64_Ehdr header;
  if (!ReadHeader(image, header) || header.e_shentsize != sizeof(Elf64_Shdr)) return exports;
  for (uint32_t i = 0; i < header.e_shnum; ++i) {
    Elf64_Shdr symbols, strings;
    if (!ReadAt(image, header.e_shoff + uint64_t{i} * sizeof symbols, symbols)) return {};
    if (symbols.sh_type != SHT_DYNSYM || symbols.sh_entsize != sizeof(Elf64_Sym)) continue;
    if (symbols.sh_link >= header.e_shnum ||
        !ReadAt(image, header.e_shoff + uint64_t{symbols.sh_link} * sizeof strings, strings))
      return {};
    if (strings.sh_offset > image.size() || strings.sh_size > image.size() - strings.sh_offset) return {};
    if (symbols.sh_offset > image.size() || symbols.sh_size > image.size() - symbols.sh_offset) return {};
    const uint64_t count = symbols.sh_size / sizeof(Elf64_Sym);
    for (uint64_t n = 1; n < count; ++n) {
      Elf64_Sym symbol;
      ReadAt(image, symbols.sh_offset + n * sizeof symbol, symbol);
      const unsigned type = ELF64_ST_TYPE(symbol.st_info);
      if (symbol.st_shndx == SHN_UNDEF || (type != STT_FUNC && type != STT_OBJECT)) continue;
      const auto name = TextAt(image, strings.sh_offset, strings.sh_offset + strings.sh_size, symbol.st_name);
      if (name && !name->empty()) exports.push_back({*name, symbol.st_value, symbol.st_size});
    }
    break;
  }
  return exports;
}

std::optional<uint64_t> RvaToFileOffset(std::span<const uint8_t> image, uint64_t address) {
  Elf64_Ehdr header;
  if (!ReadHeader(image, header) || header.e_phentsize != sizeof(Elf64_Phdr)) return std::nullopt;
  for (uint32_t i = 0; i < header.e_phnum; ++i) {
    Elf64_Phdr ph;
    if (!ReadAt(image, header.e_phoff + uint64_t{i} * sizeof ph, ph)) return std::nullopt;
    // A segment whose file range runs past the image maps nothing.
    if (ph.p_type != PT_LOAD || ph.p_offset > image.size() || ph.p_filesz > image.size() - ph.p_offset) continue;
    if (address >= ph.p_vaddr && address - ph.p_vaddr < ph.p_filesz) return ph.p_offset + (address - ph.p_vaddr);
  }
  return std::nullopt;
}

const void* ProcAddressByName(const ZorModule& module, const std::string& name) {
  const std::optional<uintptr_t> base = ModuleLoadBase(module);
  if (!base) return nullptr;
  const MappedFile file(ModuleFilePath(module));
  for (const ElfExport& e : ElfExports(file.Bytes()))
    if (e.name == name) return reinterpret_cast<const void*>(*base + e.value);
  return nullptr;
}

std::string ProcNameOf(const ZorModule& module, const void* address, bool unmangle) {
  const std::optional<uintptr_t> base = ModuleLoadBase(module);
  if (!base || reinterpret_cast<uintptr_t>(address) < *base) return {};
  const uint64_t relative = reinterpret_cast<uintptr_t>(address) - *base;
  const MappedFile file(ModuleFilePath(module));
  for (const ElfExport& e : ElfExports(file.Bytes())) {
    if (e.value != relative) continue;
    std::string name = e.name, unit;
    if (unmangle && DemangleName(name, unit)) return unit + "." + name;
    return e.name;
  }
  return {};
}

std::string ModuleResourceText(const ZorModule& module, const std::string& type, const std::string& name) {
  return ResourceStore::Instance().Find(module.name, type, name).value_or(std::string());
}

}  // namespace zor
