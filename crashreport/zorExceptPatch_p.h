#pragma once
// Internals of the patch module.
#include <cstddef>

namespace zor {

// Writes `length` bytes at `place` with its pages changed to
// `writableProtection` for the write and back to what they were. An aligned
// 8-byte write is one atomic store. False, with nothing written, when a page
// is not mapped or the protection cannot be changed.
bool WriteProtected(void* place, const void* bytes, size_t length, int writableProtection);

}  // namespace zor
