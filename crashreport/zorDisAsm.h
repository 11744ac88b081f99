#pragma once
// Reading the own process's memory without faulting.
#include <cstddef>

namespace zor {

// Copies `count` bytes from `source` in this process to `destination`
// through the system's process-memory read, so that unmapped or unreadable
// memory makes the read fail instead of faulting. True only when all bytes
// were read; a null source or destination fails; a count of 0 succeeds.
bool SafeRead(const void* source, void* destination, size_t count);

}  // namespace zor
