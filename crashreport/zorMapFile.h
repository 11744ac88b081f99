#pragma once
// The debug information of one module: a sorted table of segments (address
// ranges per unit), a table of public symbols and a table of line numbers,
// filled from the first source that loads:
//   1. a packed block embedded in the module (resource "ZOR"/"EXCEPT");
//   2. the module file's own ELF symbols and DWARF (.symtab else .dynsym,
//      compile units from .debug_aranges or the unit's ranges, lines from
//      .debug_line versions 2 to 5; zlib-compressed sections are inflated);
//   3. TD32 in a ".tds" file beside the module, unless the ".map" beside it
//      is from a later day;
//   4. beside the module: a linker ".map", a packed ".zor", a ".jdbg".
// Every file is untrusted: each offset, count and length is checked against
// the bytes before use; a source that fails leaves the tables empty and the
// next one is tried.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zor {

struct TMfSegment {
  bool valid = false;
  bool code = false;  // else data
  uintptr_t start = 0;
  uint32_t length = 0;
  std::string unitName;
  bool hasLineNumbers = false;
};

struct TMfPublic {
  bool valid = false;
  bool code = false;
  std::string name;
  uintptr_t address = 0;
};

struct MapLine {
  int32_t line = 0;
  uintptr_t address = 0;
};

// Where a module lies. `bias` is added to the addresses an ELF file gives
// (its load base); the Part-own formats count from code begin or data begin.
struct ModuleRanges {
  uintptr_t bias = 0;
  uintptr_t codeBegin = 0, codeEnd = 0;
  uintptr_t dataBegin = 0, dataEnd = 0;
};

class TMapFile {
 public:
  // An invalid, empty object: every lookup answers "nothing".
  TMapFile() = default;
  // Loads the module file's debug information through the sources above.
  // `resourceModule` names the module in the resource store (for the
  // embedded block and the settings resource); empty for a file on its own.
  TMapFile(const ModuleRanges& ranges, const std::string& moduleFileName, const std::string& resourceModule = {});

  bool Valid() const { return valid_; }
  const std::string& ModuleFileName() const { return moduleFileName_; }
  const std::string& MinDebugInfo() const { return minDebugInfo_; }
  uintptr_t EntryPoint() const { return entryPoint_; }
  const ModuleRanges& Ranges() const { return ranges_; }
  const std::vector<TMfSegment>& Segments() const { return segments_; }
  const std::vector<TMfPublic>& Publics() const { return publics_; }
  const std::vector<MapLine>& Lines() const { return lines_; }

  // The segment of that kind with start <= address < start + length; valid
  // false when none. Lookups answer references into the tables (or to a
  // shared invalid record), valid as long as the object.
  const TMfSegment& SegmentAt(bool code, uintptr_t address) const;
  // The public p with p.address <= address < the next public's address; for
  // the last one the address must lie below code end (when known).
  const TMfPublic& PublicAt(uintptr_t address) const;
  // The first public of that kind named `name` inside a segment of `unit`
  // (ignoring case); unit names without "." are tried with ".cpp", ".h" and
  // ".c" too. 0 when none.
  uintptr_t PublicAddress(bool code, std::string_view unit, bool caseSensitive, std::string_view name) const;
  // The line of the address: 0 when none or when the entry found lies
  // outside the code segment of the address; without any line entry -1 for a
  // segment that has lines elsewhere. `nextAddress` is where the next entry
  // starts (or address + 1).
  int32_t LineAt(uintptr_t address, uintptr_t& nextAddress) const;

  // The single sources, for tests, tools and fuzzing. Each answers whether
  // it loaded; on failure the tables are left empty.
  bool LoadElf(std::span<const uint8_t> image);
  bool LoadMapText(std::string_view text);
  // `nested`: the search for the full form of minimum debug information, in
  // which a block of minimum information is refused.
  bool ImportPacked(std::string_view block, bool nested = false);
  bool LoadJdbg(std::span<const uint8_t> file);
  bool LoadTd32(std::span<const uint8_t> block);
  // Reads the payload records of a deciphered, decompressed packed block.
  bool ReadPackedRecords(std::string_view payload, bool minimum);
  // Sorts the tables for the lookups and sets the valid flag.
  void FinishLoading(bool valid);

  // For tests of the packed form: the settings resource searched for the
  // minimum-debug-information text, and the MinDebugInfo text itself.
  void SetSettingsResource(std::string resource) { settingsResource_ = std::move(resource); }
  void SetMinDebugInfo(std::string text) { minDebugInfo_ = std::move(text); }
  void SetDebugFileName(std::string name) { debugFileName_ = std::move(name); }
  void SetRanges(const ModuleRanges& ranges) { ranges_ = ranges; }
  void SetModuleFileName(std::string name) { moduleFileName_ = std::move(name); }

 private:
  friend struct MapFileBuilder;
  bool FindDebugFiles(bool packedOnly);
  void ClearTables();

  bool skipData_ = false;
  std::vector<TMfSegment> segments_;
  std::vector<TMfPublic> publics_;
  std::vector<MapLine> lines_;
  uintptr_t entryPoint_ = 0;
  ModuleRanges ranges_;
  bool valid_ = false;
  std::string moduleFileName_, debugFileName_, minDebugInfo_;
  std::string resourceModule_, settingsResource_;
};

// The six-letter word, the length texts and the cipher pass from which the
// key of a packed payload of `payloadLength` bytes is built.
std::string PackedInfoKey(uint32_t payloadLength);

// The ranges of a loaded module from its program headers: the executable
// PT_LOAD is code, the writable one data. Nothing found gives all zeros.
ModuleRanges LoadedModuleRanges(const void* addressInModule);
// The same for an ELF file that is not loaded (bias 0).
ModuleRanges FileModuleRanges(std::span<const uint8_t> image);
// A file's last-write time as an MS-DOS date (high 16 bits) and time (low);
// 0 when it cannot be read.
uint32_t FileDosTime(const std::string& fileName);

// The debug information of the module holding `address` (nullptr: the
// reporter's own module). Valid objects are cached by exact file name and
// file time; a changed time loads anew. Never null: an invalid object when
// the address lies in no module or nothing loads. One lock covers lookup,
// loading and insertion.
std::shared_ptr<const TMapFile> DebugInfoForAddress(const void* address);
// Empties the cache (at shut-down).
void ClearDebugInfoCache();
// How many objects the cache holds.
size_t DebugInfoCacheSize();

// Module file, unit, line (negative becomes 0), and the public at the
// address; nullptr means the caller's return address minus 1. False when
// the module has no valid debug information.
bool AddressInfo(const void* address, std::string& moduleFileName, std::string& unitName, int32_t& line,
                 uintptr_t& symbolAddress, std::string& symbolName);

// The two process-wide lookups installed into the tool hooks.
// "Unit.Name" of the public starting exactly at the address, empty when
// none; a result with "%" gets the module file name in " (" ")".
std::string ProcNameAt(const void* address);
// Keeps `line` when it is set and the address lies in [rangeStart,
// rangeEnd); otherwise looks it up and sets the range to [address, next).
void LineNumberAt(const void* address, int32_t& line, uintptr_t& rangeStart, uintptr_t& rangeEnd);
void InstallDebugInfoHooks();

}  // namespace zor
