#include "platform/classes/PlatformId.h"

#include <atomic>

namespace {
std::atomic<int>& PlatformIdSwitch() {
  static std::atomic<int> id{VER_PLATFORM_WIN32_NT};
  return id;
}
}  // namespace

int Win32Platform() { return PlatformIdSwitch().load(); }

void SetWin32Platform(int PlatformId) { PlatformIdSwitch().store(PlatformId); }
