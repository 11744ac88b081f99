// Copies the registers out of the kernel's signal frame.
#include "crashreport/zorExceptContext.h"

namespace zor {

TZEContext ContextFromUcontext([[maybe_unused]] const ucontext_t& context) {
  TZEContext c;
#if defined(__x86_64__)
  const greg_t* r = context.uc_mcontext.gregs;
  const auto at = [r](int index) { return static_cast<uint64_t>(r[index]); };
  c.rip = at(REG_RIP);
  c.rsp = at(REG_RSP);
  c.rbp = at(REG_RBP);
  c.eflags = at(REG_EFL);
  c.rax = at(REG_RAX);
  c.rbx = at(REG_RBX);
  c.rcx = at(REG_RCX);
  c.rdx = at(REG_RDX);
  c.rsi = at(REG_RSI);
  c.rdi = at(REG_RDI);
  c.r8 = at(REG_R8);
  c.r9 = at(REG_R9);
  c.r10 = at(REG_R10);
  c.r11 = at(REG_R11);
  c.r12 = at(REG_R12);
  c.r13 = at(REG_R13);
  c.r14 = at(REG_R14);
  c.r15 = at(REG_R15);
#endif
  return c;
}

}  // namespace zor
