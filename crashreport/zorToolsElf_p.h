#pragma once
// Bounded reads from the bytes of an ELF image, shared by the readers of
// package notes, exports and segments.
#include <elf.h>

#include <cstdint>
#include <cstring>
#include <span>

namespace zor::elf {

// Copies a T from `offset`; false when it does not lie wholly in the image.
template <typename T>
bool ReadAt(std::span<const uint8_t> image, uint64_t offset, T& out) {
  if (offset > image.size() || image.size() - offset < sizeof(T)) return false;
  std::memcpy(&out, image.data() + offset, sizeof(T));
  return true;
}

// The file header of a 64-bit little-endian image.
inline bool ReadHeader(std::span<const uint8_t> image, Elf64_Ehdr& header) {
  return ReadAt(image, 0, header) && std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 &&
         header.e_ident[EI_CLASS] == ELFCLASS64 && header.e_ident[EI_DATA] == ELFDATA2LSB;
}

}  // namespace zor::elf
