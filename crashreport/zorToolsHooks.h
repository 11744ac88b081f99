#pragma once
// The two process-wide lookup hooks of the reporter's tools: the name of the
// routine that starts at an address and the source line of an address. Both
// are null until the debug-information reader installs them at start-up.
#include <cstdint>
#include <string>

namespace zor {

// "Unit.Name" of the routine starting exactly at the address; empty when none.
using ProcNameHook = std::string (*)(const void* address);
// Keeps `line` when it is set and the address lies in [rangeStart,
// rangeEnd); otherwise sets the line of the address and the range that
// shares it.
using LineNumberHook = void (*)(const void* address, int32_t& line, uintptr_t& rangeStart, uintptr_t& rangeEnd);

void SetProcNameHook(ProcNameHook hook);
ProcNameHook CurrentProcNameHook();
void SetLineNumberHook(LineNumberHook hook);
LineNumberHook CurrentLineNumberHook();

}  // namespace zor
