// The "cpu registers", "stack dump" and "disassembling" sections.
#include <atomic>
#include <cstdio>

#include "crashreport/zorStackTrace.h"

namespace zor {

namespace {

std::string Hex(uint64_t value, int digits) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%0*llx", digits, static_cast<unsigned long long>(value));
  return buffer;
}

}  // namespace

std::string GetCpuRegisters(const TZEContext& c) {
  const std::pair<const char*, uint64_t> rows[] = {{"rax", c.rax}, {"rbx", c.rbx}, {"rcx", c.rcx},
                                                   {"rdx", c.rdx}, {"rsi", c.rsi}, {"rdi", c.rdi},
                                                   {"rip", c.rip}, {"rsp", c.rsp}, {"rbp", c.rbp}};
  std::string text;
  for (const auto& [name, value] : rows) {
    if (!text.empty()) text += "\r\n";
    text += std::string(name) + " = " + Hex(value, 16);
  }
  return text;
}

std::string GetStackDump(const TZEContext& context) {
  try {
    const uintptr_t start = context.rsp;
    const StackRegion region = StackRegionOf(start);
    // Without a region there is no end: reading stops at the line limit or
    // at the first unreadable line.
    const uintptr_t end = region.end != 0 ? region.end : UINTPTR_MAX;
    std::string text;
    for (int lineIndex = 0; lineIndex < 20; ++lineIndex) {
      const uintptr_t line = start + uintptr_t(lineIndex) * 16;
      if (line < start || line >= end) break;
      const size_t count = end - line < 16 ? size_t(end - line) : 16;
      uint8_t bytes[16];
      if (!SafeRead(reinterpret_cast<const void*>(line), bytes, count)) RaiseReporterFailure();
      if (!text.empty()) text += "\r\n";
      text += Hex(line, 16) + "  ";
      for (size_t i = 0; i < 16; ++i) {
        if (i == 8) text += i < count ? "- " : "  ";
        text += i < count ? Hex(bytes[i], 2) + " " : "   ";
      }
      text += " ";
      for (size_t i = 0; i < count; ++i) text += bytes[i] >= 33 && bytes[i] <= 126 ? char(bytes[i]) : '.';
    }
    return text;
  } catch (const ReporterFailure& failure) {
    const HandledExceptionScope handled(failure.address);
    return InternalErrorText("GetStackDump");
  }
}

namespace {
std::atomic<DisassemblyHook> disassemblyHook{nullptr};
}  // namespace

void SetDisassemblyHook(DisassemblyHook hook) { disassemblyHook.store(hook); }
DisassemblyHook CurrentDisassemblyHook() { return disassemblyHook.load(); }

std::string GetCleartextDisAsm(uintptr_t functionEntry, uintptr_t codeAddress, bool formatDisAsm,
                               int32_t limitDisAsm) {
  const DisassemblyHook hook = CurrentDisassemblyHook();
  if (functionEntry == 0 || hook == nullptr) return {};
  uintptr_t failure = 0;
  try {
    std::string text;
    TFunctionInfo info;
    hook(functionEntry, text, codeAddress, info, formatDisAsm, limitDisAsm);
    return text;
  } catch (const ReporterFailure& f) {
    failure = f.address;
  } catch (...) {
  }
  const HandledExceptionScope handled(failure);
  return InternalErrorText("GetCleartextDisAsm");
}

}  // namespace zor
