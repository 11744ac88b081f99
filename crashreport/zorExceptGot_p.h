#pragma once
// The import slots of loaded modules: the GOT cells their JUMP_SLOT and
// GLOB_DAT relocations fill, found through the dynamic section.
#include <link.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zor {

struct ImportSlot {
  uintptr_t slot = 0;  // address of the 8-byte cell
  std::string name;    // the symbol the loader put there
};

// The slots of one module (DT_JMPREL and DT_RELA); empty without a dynamic
// section.
std::vector<ImportSlot> ModuleImportSlots(const dl_phdr_info& module);
// The symbol name of the import slot at `slot` in whatever module holds it;
// empty when it is none.
std::string ImportSlotName(uintptr_t slot);
// Whether a PT_LOAD segment of the module holds `address`.
bool HoldsAddress(const dl_phdr_info& module, uintptr_t address);
// Whether [begin, end) lies inside a writable PT_LOAD segment of the module.
bool InWritableSegment(const dl_phdr_info& module, uintptr_t begin, uintptr_t end);

}  // namespace zor
