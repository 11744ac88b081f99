// Debug information from a module's ELF file: the symbol table for the
// publics and the DWARF sections (inflated when compressed) for the units and
// lines.
#include <cxxabi.h>
#include <elf.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "crashreport/zorMapFileDwarf_p.h"
#include "crashreport/zorToolsElf_p.h"
#include "crashreport/zorZip.h"

namespace zor {

namespace {

using elf::ReadAt;

// Decompressed sections are refused beyond this size.
constexpr uint64_t kMaxInflatedSection = uint64_t{1} << 30;

struct ElfSections {
  std::span<const uint8_t> image;
  Elf64_Ehdr header{};
  std::vector<Elf64_Shdr> sections;
  std::span<const uint8_t> names;  // the section-name table
  std::vector<std::unique_ptr<std::vector<uint8_t>>> inflated;
  bool bad = false;  // a section used lies outside the file or does not inflate

  bool Read() {
    if (!elf::ReadHeader(image, header) || header.e_shentsize != sizeof(Elf64_Shdr)) return false;
    for (uint32_t i = 0; i < header.e_shnum; ++i) {
      Elf64_Shdr s;
      if (!ReadAt(image, header.e_shoff + uint64_t{i} * sizeof s, s)) return false;
      sections.push_back(s);
    }
    if (header.e_shstrndx < sections.size()) names = Raw(sections[header.e_shstrndx]);
    return !bad;
  }
  // The section's bytes in the file; empty (and bad) when they do not lie in it.
  std::span<const uint8_t> Raw(const Elf64_Shdr& s) {
    if (s.sh_type == SHT_NOBITS) return {};
    if (s.sh_offset > image.size() || s.sh_size > image.size() - s.sh_offset)
      return bad = true, std::span<const uint8_t>();
    return image.subspan(s.sh_offset, s.sh_size);
  }
  // The section's contents, inflated when it is zlib-compressed.
  std::span<const uint8_t> Data(const Elf64_Shdr& s) {
    const std::span<const uint8_t> raw = Raw(s);
    if (!(s.sh_flags & SHF_COMPRESSED)) return raw;
    Elf64_Chdr chdr;
    if (!ReadAt(raw, 0, chdr) || chdr.ch_type != ELFCOMPRESS_ZLIB) return bad = true, std::span<const uint8_t>();
    // A zlib stream: two header bytes (deflate, no preset dictionary), the
    // raw stream, the Adler-32.
    const std::span<const uint8_t> stream = raw.subspan(sizeof chdr);
    const uint64_t size = chdr.ch_size;
    if (stream.size() < 7 || (stream[0] & 0x0F) != 8 || (stream[1] & 0x20) || (stream[0] * 256 + stream[1]) % 31 ||
        size == 0 || size > kMaxInflatedSection || size / 1032 > stream.size())
      return bad = true, std::span<const uint8_t>();
    auto bytes = std::make_unique<std::vector<uint8_t>>(size);
    if (InflateBuffer(stream.data() + 2, bytes->data(), stream.size() - 6, size) != size)
      return bad = true, std::span<const uint8_t>();
    inflated.push_back(std::move(bytes));
    return *inflated.back();
  }
  std::string_view NameOf(const Elf64_Shdr& s) const {
    ByteCursor c(names, s.sh_name);
    const std::string_view name = c.CString();
    return c.Ok() ? name : std::string_view();
  }
  const Elf64_Shdr* Named(std::string_view name) const {
    for (const Elf64_Shdr& s : sections)
      if (NameOf(s) == name) return &s;
    return nullptr;
  }
  std::span<const uint8_t> DataNamed(std::string_view name) {
    const Elf64_Shdr* s = Named(name);
    return s ? Data(*s) : std::span<const uint8_t>();
  }
};

std::string Demangled(std::string_view name) {
  std::string text(name);
  if (text.rfind("_Z", 0) != 0) return text;
  int status = 0;
  char* plain = abi::__cxa_demangle(text.c_str(), nullptr, nullptr, &status);
  if (status == 0 && plain) text = plain;
  std::free(plain);
  return text;
}

// The defined functions and objects of a symbol table; false when it has none.
bool AddSymbols(ElfSections& elf, uint32_t type, uintptr_t bias, MapFileBuilder& builder) {
  for (const Elf64_Shdr& table : elf.sections) {
    if (table.sh_type != type || table.sh_entsize != sizeof(Elf64_Sym) || table.sh_link >= elf.sections.size())
      continue;
    const std::span<const uint8_t> symbols = elf.Raw(table), strings = elf.Raw(elf.sections[table.sh_link]);
    bool any = false;
    for (uint64_t offset = sizeof(Elf64_Sym); offset + sizeof(Elf64_Sym) <= symbols.size();
         offset += sizeof(Elf64_Sym)) {
      Elf64_Sym symbol;
      ReadAt(symbols, offset, symbol);
      const unsigned kind = ELF64_ST_TYPE(symbol.st_info);
      if ((kind != STT_FUNC && kind != STT_OBJECT) || symbol.st_value == 0) continue;
      if (symbol.st_shndx == SHN_UNDEF || (symbol.st_shndx >= SHN_LORESERVE && symbol.st_shndx != SHN_XINDEX)) continue;
      ByteCursor name(strings, symbol.st_name);
      const std::string_view text = name.CString();
      if (!name.Ok()) return elf.bad = true, false;
      if (text.empty()) continue;
      builder.AddPublic(kind == STT_FUNC, Demangled(text), bias + symbol.st_value, false, false);
      any = true;
    }
    return any;
  }
  return false;
}

}  // namespace

ModuleRanges FileModuleRanges(std::span<const uint8_t> image) {
  ModuleRanges ranges;
  Elf64_Ehdr header;
  if (!elf::ReadHeader(image, header) || header.e_phentsize != sizeof(Elf64_Phdr)) return ranges;
  for (uint32_t i = 0; i < header.e_phnum; ++i) {
    Elf64_Phdr ph;
    if (!ReadAt(image, header.e_phoff + uint64_t{i} * sizeof ph, ph)) return {};
    if (ph.p_type != PT_LOAD || ph.p_vaddr > UINTPTR_MAX - ph.p_memsz) continue;
    if ((ph.p_flags & PF_X) && ranges.codeEnd == 0)
      ranges.codeBegin = ph.p_vaddr, ranges.codeEnd = ph.p_vaddr + ph.p_memsz;
    if ((ph.p_flags & PF_W) && ranges.dataEnd == 0)
      ranges.dataBegin = ph.p_vaddr, ranges.dataEnd = ph.p_vaddr + ph.p_memsz;
  }
  return ranges;
}

bool TMapFile::LoadElf(std::span<const uint8_t> image) {
  ClearTables();
  ElfSections elf;
  elf.image = image;
  if (!elf.Read()) return false;
  MapFileBuilder builder{*this};
  const uintptr_t bias = ranges_.bias;
  if (!AddSymbols(elf, SHT_SYMTAB, bias, builder)) AddSymbols(elf, SHT_DYNSYM, bias, builder);

  // The file's own code range: rows and ranges outside it belong to code
  // the linker dropped.
  const ModuleRanges file = FileModuleRanges(image);
  DwarfSections dwarf;
  dwarf.info = elf.DataNamed(".debug_info");
  if (!dwarf.info.empty()) {
    dwarf.abbrev = elf.DataNamed(".debug_abbrev");
    dwarf.aranges = elf.DataNamed(".debug_aranges");
    dwarf.line = elf.DataNamed(".debug_line");
    dwarf.str = elf.DataNamed(".debug_str");
    dwarf.lineStr = elf.DataNamed(".debug_line_str");
    dwarf.strOffsets = elf.DataNamed(".debug_str_offsets");
    dwarf.addr = elf.DataNamed(".debug_addr");
    dwarf.ranges = elf.DataNamed(".debug_ranges");
    dwarf.rnglists = elf.DataNamed(".debug_rnglists");
    if (!ReadDwarf(dwarf, file.codeBegin, file.codeEnd, bias, builder)) elf.bad = true;
  }
  if (elf.bad) return false;
  builder.SortSegments();
  builder.MergeSegments(true);
  if (elf.header.e_entry != 0) builder.SetEntryPoint(bias + elf.header.e_entry);
  return !publics_.empty() || !segments_.empty();
}

}  // namespace zor
