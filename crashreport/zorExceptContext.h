#pragma once
// The processor context of a reported event: the x86-64 registers as the
// kernel hands them to a signal handler, copied into a plain record so that
// the report keeps them after the handler has returned.
#include <ucontext.h>

#include <cstdint>

namespace zor {

struct TZEContext {
  uint64_t rip = 0, rsp = 0, rbp = 0, eflags = 0;
  uint64_t rax = 0, rbx = 0, rcx = 0, rdx = 0, rsi = 0, rdi = 0;
  uint64_t r8 = 0, r9 = 0, r10 = 0, r11 = 0, r12 = 0, r13 = 0, r14 = 0, r15 = 0;
  bool operator==(const TZEContext&) const = default;
};

// The registers of a signal's context. On a processor other than x86-64
// every field stays 0.
TZEContext ContextFromUcontext(const ucontext_t& context);

}  // namespace zor
