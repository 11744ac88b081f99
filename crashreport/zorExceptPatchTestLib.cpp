// A library for the patch tests: a call through its import slot of getpid,
// and a relative call to a function of its own.
#include <unistd.h>

namespace {

__attribute__((noinline)) int Helper() { return 10; }
__attribute__((noinline)) int OtherHelper() { return 20; }

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int ZorPatchLibPid() { return static_cast<int>(getpid()); }
__attribute__((visibility("default"))) int ZorPatchLibCallsHelper() { return Helper() + 1; }
__attribute__((visibility("default"))) const void* ZorPatchLibHelper() {
  return reinterpret_cast<const void*>(&Helper);
}
__attribute__((visibility("default"))) const void* ZorPatchLibOtherHelper() {
  return reinterpret_cast<const void*>(&OtherHelper);
}
}
