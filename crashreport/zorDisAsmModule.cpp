// What the analysis needs to know about the process: the module code range,
// import stubs and the routines that never return.
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstring>
#include <exception>

#include "crashreport/zorDisAsmFunction.h"
#include "crashreport/zorDisAsm_p.h"
#include "crashreport/zorExceptGot_p.h"

namespace zor {

TZERuntimeRoutines DefaultRuntimeRoutines() {
  TZERuntimeRoutines r;
  r.haltNames = {"exit", "_exit", "abort", "__cxa_throw", "__cxa_rethrow", "__stack_chk_fail", "_ZSt9terminatev"};
  for (const std::string& name : r.haltNames)
    if (void* p = dlsym(RTLD_DEFAULT, name.c_str())) r.halt.push_back(p);
  const void* terminate = reinterpret_cast<const void*>(&std::terminate);
  if (std::find(r.halt.begin(), r.halt.end(), terminate) == r.halt.end()) r.halt.push_back(terminate);
  return r;
}

uintptr_t ImportStubCell(const void* stub, DecodeMode mode) {
  uint8_t b[16] = {};
  size_t n = sizeof b;
  if (!SafeRead(stub, b, n)) {
    n = 0;
    while (n < sizeof b && SafeRead(static_cast<const uint8_t*>(stub) + n, b + n, 1)) ++n;
  }
  size_t i = 0;
  if (n >= 4 && b[0] == 0xF3 && b[1] == 0x0F && b[2] == 0x1E && b[3] == 0xFA) i = 4;  // endbr64
  if (i < n && b[i] == 0xF2) ++i;                                                     // bnd
  if (i + 6 > n || b[i] != 0xFF || b[i + 1] != 0x25) return 0;
  int32_t disp = 0;
  std::memcpy(&disp, b + i + 2, 4);
  const uintptr_t next = reinterpret_cast<uintptr_t>(stub) + i + 6;
  return mode == DecodeMode::X64 ? next + static_cast<intptr_t>(disp) : static_cast<uint32_t>(disp);
}

CodeRange ModuleCodeRange(uintptr_t address) {
  struct Search {
    uintptr_t address;
    CodeRange range;
    bool inModule = false;
  } s{address, {}};
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        auto* s = static_cast<Search*>(data);
        if (!HoldsAddress(*info, s->address)) return 0;
        CodeRange code;
        for (int i = 0; i < info->dlpi_phnum; ++i) {
          const ElfW(Phdr)& ph = info->dlpi_phdr[i];
          if (ph.p_type == PT_LOAD && (ph.p_flags & PF_X))
            code = {info->dlpi_addr + ph.p_vaddr, info->dlpi_addr + ph.p_vaddr + ph.p_memsz};
        }
        s->range = code;
        s->inModule = true;
        return 1;
      },
      &s);
  if (s.inModule) return s.range;
  for (const Mapping& m : ProcessMappings())
    if (address >= m.begin && address < m.end) return {m.begin, m.end};
  return s.range;
}

}  // namespace zor
