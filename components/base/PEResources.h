#pragma once
// Resources inside a PE module file (a Windows executable or library), read
// and replaced without the Windows loader.
//
// Everything read from the file is untrusted: every header field, directory
// offset, entry count, name and data address is checked against the bytes
// that are there before it is used, and a bad one ends in "Invalid file
// format", never in a read outside the file. A directory is visited at most
// once, so a directory tree that loops back on itself ends.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A resource type or name: a number (1..65535) or a text, never both.
class TResourceId {
 public:
  TResourceId() = default;
  TResourceId(uint16_t Number) : value_(Number) {}  // NOLINT: a number is an id
  TResourceId(std::string Name) : value_(std::move(Name)) {}  // NOLINT: so is a name
  TResourceId(const char* Name) : value_(std::string(Name)) {}  // NOLINT

  bool IsNumber() const { return std::holds_alternative<uint16_t>(value_); }
  uint16_t Number() const { return IsNumber() ? std::get<uint16_t>(value_) : 0; }
  // "" for a number.
  const std::string& Name() const;

  // Numbers compare by value, names without regard to ASCII case (the
  // resource compiler stores names in upper case and the look-up folds the
  // case); a number never equals a name.
  bool Matches(const TResourceId& Other) const;
  friend bool operator==(const TResourceId&, const TResourceId&) = default;

 private:
  std::variant<std::string, uint16_t> value_;
};

// The platform's names of the standard resource types, without "RT_"
// ("CURSOR" for 1 ... "ANIICON" for 22); "" for 13, 15, 18 and any other
// number. A named type gives its name as it is.
std::string ResourceTypeName(const TResourceId& Type);

// Reads a resource file name, "TYPE\NAME.ext": the type part, compared without
// regard to case with "RT_" + the standard names, gives the numeric type, any
// other text is the type's name; the name part loses its extension. Without a
// backslash there is no type (an empty name) and the resource name is empty.
// "RCDATA\TFORM1.dfm" gives type 10 and name "TFORM1".
void MapResourceFileName(std::string_view FileName, TResourceId& Type, std::string& Name);

// One resource found in a module's resource directory.
struct TResourceLeaf {
  TResourceId Type;
  TResourceId Name;
  // Offset in the file of the resource's first data entry, and that entry's
  // data address (relative) and size, as stored.
  uint32_t DataEntryOffset = 0;
  uint32_t DataRva = 0;
  uint32_t Size = 0;
};

// The headers of a PE file that the resource code uses, each offset checked.
struct TPEImage {
  uint32_t OptionalHeaderOffset = 0;  // file offset of the optional header
  uint32_t ResourceDirEntryOffset = 0;  // file offset of data directory entry 2
  uint32_t SectionHeaderOffset = 0;  // file offset of the ".rsrc" section header
  uint32_t SectionRva = 0;
  uint32_t SectionVirtualSize = 0;
  uint32_t SectionRawOffset = 0;
  uint32_t SectionRawSize = 0;  // clipped to the bytes in the file
  uint32_t HeadersEnd = 0;  // file offset after the section table
  bool ResourceSectionLast = false;  // highest address and offset, ending at the file's end
};

// Error texts, raised as the family's plain exception (Exception). The
// writer's file errors add a line with kErrorCodeLineText and errno.
inline constexpr const char* kInvalidFileFormatText = "Invalid file format";
inline constexpr const char* kNoResourcesText = "This file doesn't contain resources";
inline constexpr const char* kResourceNotFoundText = "Resource not found";
inline constexpr const char* kCantOpenForWritingText = "Can't open file for writing";
inline constexpr const char* kCantMapFileText = "Can't map file";
inline constexpr const char* kCantOpenModuleText = "Can't open module %s";

// Reads the headers: "MZ", the NT headers at the DOS header's offset starting
// with "PE\0\0", a readable optional header with at least three data
// directories, and a section whose first 8 name characters are ".rsrc"
// (case ignored). Raises kInvalidFileFormatText or kNoResourcesText.
TPEImage ReadPEImage(std::span<const uint8_t> File);

// Walks the resource directory depth first in entry order (named entries
// before numbered ones). An entry whose subdirectory starts with a directory
// entry is descended into; any other entry is a resource, of the type of the
// top-level entry above it, whose first data entry is the first entry of its
// subdirectory. Visit is called for each resource in walk order; the walk
// stops at the first one it accepts, which is the answer. A directory, name
// or data entry outside the section raises kInvalidFileFormatText.
std::optional<TResourceLeaf> WalkResources(std::span<const uint8_t> File, const TPEImage& Image,
                                           const std::function<bool(const TResourceLeaf&)>& Visit);

// The first resource of that type and name (both compared as
// TResourceId::Matches), or nothing.
std::optional<TResourceLeaf> FindResource(std::span<const uint8_t> File, const TPEImage& Image,
                                          const TResourceId& Type, const TResourceId& Name);

// The resource's bytes; kInvalidFileFormatText when its data lies outside
// the section.
std::vector<uint8_t> ResourceBytes(std::span<const uint8_t> File, const TPEImage& Image, const TResourceLeaf& Leaf);

// A module file opened as data: the whole file read at once. Raises
// kCantOpenModuleText with the name and a second line with the error code
// (errno; ENOEXEC for a file that is not a PE file).
class TModuleFile {
 public:
  explicit TModuleFile(const std::string& FileName);
  // nothing when the module has no resources or none of that type and name.
  std::optional<std::vector<uint8_t>> Resource(const TResourceId& Type, const TResourceId& Name) const;

 private:
  std::vector<uint8_t> bytes_;
  std::optional<TPEImage> image_;  // nothing: no resource section
};

// Replaces a named resource in a module image held in memory (the in-place
// writer's work; TResourceWriter writes the result back into the file).
//
// The resource section must be the file's last section: the highest address
// and file offset, ending at the end of the file, and lie after the headers;
// else kInvalidFileFormatText (a later section or a symbol table would be
// overwritten). The first
// resource of Type named Name (numbered resources cannot be replaced) is
// looked up: none gives kResourceNotFoundText. Then the file grows by
// (Data.size() div 4096 + 1) * 4096 bytes; Data goes to the old end of the
// file, the resource's data entry gets its size and new address, and the
// growth is added to the sizes of initialised data and of the image, to the
// section's virtual and raw sizes and to the resource directory's size. The
// old data stays where it was.
void ReplaceResourceInImage(std::vector<uint8_t>& File, const TResourceId& Type, const std::string& Name,
                            std::span<const uint8_t> Data);

// The in-place writer of one module file.
class TResourceWriter {
 public:
  // Opens the file for reading and writing and checks its headers
  // (ReadPEImage's errors; kCantOpenForWritingText with the error code).
  explicit TResourceWriter(std::string FileName);
  ~TResourceWriter();
  TResourceWriter(const TResourceWriter&) = delete;
  TResourceWriter& operator=(const TResourceWriter&) = delete;

  // ReplaceResourceInImage on the file's bytes, written back in place; a
  // failed check leaves the file untouched.
  void ReplaceResource(const TResourceId& Type, const std::string& Name, std::span<const uint8_t> Data);

 private:
  std::string fileName_;
  int fd_ = -1;
  std::vector<uint8_t> bytes_;
};
