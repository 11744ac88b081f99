// Import slots of loaded modules, read from their dynamic sections in memory.
#include <elf.h>
#include <link.h>

#include <cstring>

#include "crashreport/zorExceptGot_p.h"

namespace zor {

namespace {

struct DynamicInfo {
  uintptr_t jmprel = 0, pltrelsz = 0, rela = 0, relasz = 0, symtab = 0, strtab = 0, strsz = 0;
};

// The loader relocates most d_ptr entries; the vDSO's are left relative.
uintptr_t Pointer(const dl_phdr_info& module, uintptr_t value) {
  return value < module.dlpi_addr ? value + module.dlpi_addr : value;
}

bool ReadDynamic(const dl_phdr_info& module, DynamicInfo& out) {
  for (int i = 0; i < module.dlpi_phnum; ++i) {
    const ElfW(Phdr)& ph = module.dlpi_phdr[i];
    if (ph.p_type != PT_DYNAMIC) continue;
    const auto* dyn = reinterpret_cast<const ElfW(Dyn)*>(module.dlpi_addr + ph.p_vaddr);
    for (; dyn->d_tag != DT_NULL; ++dyn) {
      const uintptr_t v = dyn->d_un.d_val;
      switch (dyn->d_tag) {
        case DT_JMPREL:
          out.jmprel = Pointer(module, v);
          break;
        case DT_PLTRELSZ:
          out.pltrelsz = v;
          break;
        case DT_RELA:
          out.rela = Pointer(module, v);
          break;
        case DT_RELASZ:
          out.relasz = v;
          break;
        case DT_SYMTAB:
          out.symtab = Pointer(module, v);
          break;
        case DT_STRTAB:
          out.strtab = Pointer(module, v);
          break;
        case DT_STRSZ:
          out.strsz = v;
          break;
        default:
          break;
      }
    }
    return out.symtab != 0 && out.strtab != 0;
  }
  return false;
}

// The tables belong to a module the loader has mapped and relocated with
// them, so they are read in place; only the name lengths are bounded.
void CollectSlots(const dl_phdr_info& module, const DynamicInfo& d, uintptr_t table, uintptr_t size,
                  std::vector<ImportSlot>& out) {
  const auto* rela = reinterpret_cast<const ElfW(Rela)*>(table);
  const auto* symbols = reinterpret_cast<const ElfW(Sym)*>(d.symtab);
  const char* strings = reinterpret_cast<const char*>(d.strtab);
  for (size_t i = 0; i < size / sizeof(ElfW(Rela)); ++i) {
    const auto type = ELF64_R_TYPE(rela[i].r_info);
    if (type != R_X86_64_JUMP_SLOT && type != R_X86_64_GLOB_DAT) continue;
    const ElfW(Sym)& sym = symbols[ELF64_R_SYM(rela[i].r_info)];
    std::string name;
    if (sym.st_name < d.strsz)
      name.assign(strings + sym.st_name, strnlen(strings + sym.st_name, d.strsz - sym.st_name));
    out.push_back({module.dlpi_addr + rela[i].r_offset, std::move(name)});
  }
}

}  // namespace

std::vector<ImportSlot> ModuleImportSlots(const dl_phdr_info& module) {
  std::vector<ImportSlot> out;
  DynamicInfo d;
  if (!ReadDynamic(module, d)) return out;
  if (d.jmprel) CollectSlots(module, d, d.jmprel, d.pltrelsz, out);
  if (d.rela) CollectSlots(module, d, d.rela, d.relasz, out);
  return out;
}

bool HoldsAddress(const dl_phdr_info& module, uintptr_t address) {
  for (int i = 0; i < module.dlpi_phnum; ++i) {
    const ElfW(Phdr)& ph = module.dlpi_phdr[i];
    const uintptr_t from = module.dlpi_addr + ph.p_vaddr;
    if (ph.p_type == PT_LOAD && address >= from && address < from + ph.p_memsz) return true;
  }
  return false;
}

bool InWritableSegment(const dl_phdr_info& module, uintptr_t begin, uintptr_t end) {
  for (int i = 0; i < module.dlpi_phnum; ++i) {
    const ElfW(Phdr)& ph = module.dlpi_phdr[i];
    const uintptr_t from = module.dlpi_addr + ph.p_vaddr;
    if (ph.p_type == PT_LOAD && (ph.p_flags & PF_W) && begin >= from && end <= from + ph.p_memsz) return true;
  }
  return false;
}

std::string ImportSlotName(uintptr_t slot) {
  struct Search {
    uintptr_t slot;
    std::string name;
  } search{slot, {}};
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        auto* s = static_cast<Search*>(data);
        if (!InWritableSegment(*info, s->slot, s->slot + 8)) return 0;
        for (ImportSlot& i : ModuleImportSlots(*info))
          if (i.slot == s->slot) {
            s->name = std::move(i.name);
            break;
          }
        return 1;
      },
      &search);
  return search.name;
}

}  // namespace zor
