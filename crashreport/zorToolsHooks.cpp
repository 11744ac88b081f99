// The lookup hooks: plain pointers, read and set atomically.
#include "crashreport/zorToolsHooks.h"

#include <atomic>

namespace zor {

namespace {
std::atomic<ProcNameHook> procNameHook{nullptr};
std::atomic<LineNumberHook> lineNumberHook{nullptr};
}  // namespace

void SetProcNameHook(ProcNameHook hook) { procNameHook.store(hook); }
ProcNameHook CurrentProcNameHook() { return procNameHook.load(); }
void SetLineNumberHook(LineNumberHook hook) { lineNumberHook.store(hook); }
LineNumberHook CurrentLineNumberHook() { return lineNumberHook.load(); }

}  // namespace zor
