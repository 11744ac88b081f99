#pragma once
// Module images: the exports and load segments of ELF files, read from a
// read-only view of the module's file, and resources of modules.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "crashreport/zorExceptSettings.h"

namespace zor {

// A read-only mapping of a whole file; empty when it cannot be mapped.
class MappedFile {
 public:
  explicit MappedFile(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  std::span<const uint8_t> Bytes() const { return {data_, size_}; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

struct ElfExport {
  std::string name;
  uint64_t value = 0;  // relative to the load base
  uint64_t size = 0;
};
// The defined functions and objects of the image's .dynsym, in table order;
// empty for anything that is no 64-bit little-endian ELF image.
std::vector<ElfExport> ElfExports(std::span<const uint8_t> image);
// The file offset of a relative address through the PT_LOAD segments;
// nothing when no segment holds it in the file, or the segment's file range
// does not lie within the image.
std::optional<uint64_t> RvaToFileOffset(std::span<const uint8_t> image, uint64_t address);

// The address of the module's export `name` (exact); nullptr when absent.
const void* ProcAddressByName(const ZorModule& module, const std::string& name);
// The name of the export at exactly `address`; empty when none. With
// `unmangle`, a name DemangleName takes gives "Unit.Name".
std::string ProcNameOf(const ZorModule& module, const void* address, bool unmangle);
// The bytes of the module's resource as text; empty when it is missing.
std::string ModuleResourceText(const ZorModule& module, const std::string& type, const std::string& name);

}  // namespace zor
