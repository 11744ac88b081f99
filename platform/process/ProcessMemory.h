#pragma once
// Reading and writing the own process's memory, code pages included, without
// ever faulting.
//
// Every address range is first checked against the process's mappings (the
// kernel's list of them, read afresh on each call): a range that is not
// wholly inside mapped memory, or that touches a mapping without read access
// (guard pages), is refused and nothing is read or written.
//
// WriteOwnMemory writes over read-only and executable pages too, as the code
// patches of the component designers and of the crash reporter need: each
// page that is not writable gets write access added to its own protection
// (execute access stays, so code running on that page meanwhile keeps
// running), the bytes are written, and every page gets its old protection
// back. Where the system refuses the change of protection (a hardened kernel
// that forbids writable code), the answer is false and nothing is written.
// The instruction cache is flushed over executable ranges written.
//
// Writes are serialised process-wide. Another thread that unmaps memory
// between the check and the access can still make the access fault; callers
// own the memory they patch.

#include <cstddef>
#include <cstdint>
#include <optional>

// One mapping of the process: [Start, End), page-aligned.
struct MemoryRegion {
  std::uintptr_t Start = 0;
  std::uintptr_t End = 0;
  bool Readable = false;
  bool Writable = false;
  bool Executable = false;
};

// The mapping that holds Address, or nothing when the address is not mapped
// (or the mapping list cannot be read).
std::optional<MemoryRegion> FindMemoryRegion(const void* Address);

// Copies Size bytes from Address into Buffer. False, Buffer untouched, when
// the range is not wholly readable mapped memory (or wraps around the
// address space). Size 0 answers true.
bool ReadOwnMemory(const void* Address, void* Buffer, std::size_t Size);

// Copies Size bytes from Source over the process's memory at Address and
// restores the protection of every page it had to make writable. False,
// nothing written, when the range is not wholly readable mapped memory or
// the system refuses write access. Size 0 answers true.
bool WriteOwnMemory(void* Address, const void* Source, std::size_t Size);
