#include "components/base/PEResources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <set>

#include "platform/core/Codecs.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

namespace {

constexpr std::array<const char*, 23> kTypeNames = {
    "",       "CURSOR",       "BITMAP",       "ICON", "MENU",       "DIALOG",     "STRING", "FONTDIR",
    "FONT",   "ACCELERATOR",  "RCDATA",       "MESSAGETABLE", "GROUP_CURSOR", "", "GROUP_ICON", "",
    "VERSION", "DLGINCLUDE", "", "PLUGPLAY", "VXD", "ANICURSOR", "ANIICON"};

char AsciiUpper(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C; }

bool SameAsciiText(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i)
    if (AsciiUpper(A[i]) != AsciiUpper(B[i])) return false;
  return true;
}

[[noreturn]] void InvalidFormat() { throw Exception(kInvalidFileFormatText); }

// Little-endian reads that never leave the file.
uint32_t Read32(std::span<const uint8_t> File, uint64_t Offset) {
  if (Offset > File.size() || File.size() - Offset < 4) InvalidFormat();
  uint32_t v = 0;
  std::memcpy(&v, File.data() + Offset, 4);
  return v;
}
uint16_t Read16(std::span<const uint8_t> File, uint64_t Offset) {
  if (Offset > File.size() || File.size() - Offset < 2) InvalidFormat();
  uint16_t v = 0;
  std::memcpy(&v, File.data() + Offset, 2);
  return v;
}
void Write32(std::vector<uint8_t>& File, uint64_t Offset, uint32_t Value) {
  if (Offset > File.size() || File.size() - Offset < 4) InvalidFormat();
  std::memcpy(File.data() + Offset, &Value, 4);
}
void Add32(std::vector<uint8_t>& File, uint64_t Offset, uint32_t Delta) {
  const uint64_t sum = uint64_t{Read32(File, Offset)} + Delta;
  if (sum > UINT32_MAX) InvalidFormat();
  Write32(File, Offset, static_cast<uint32_t>(sum));
}

constexpr uint32_t kSubdirectoryBit = 0x80000000u;
constexpr uint32_t kNameBit = 0x80000000u;
constexpr uint32_t kDirectoryHeaderSize = 16;
constexpr uint32_t kEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;

// The walk over one section; offsets are relative to the section start and
// checked against its bytes in the file.
class Walker {
 public:
  Walker(std::span<const uint8_t> File, const TPEImage& Image, const std::function<bool(const TResourceLeaf&)>& Visit)
      : file_(File), image_(Image), visit_(Visit) {}

  std::optional<TResourceLeaf> Run() {
    Directory(0, 0, TResourceId());
    return found_;
  }

 private:
  uint64_t At(uint64_t SectionOffset, uint64_t Length) const {
    if (SectionOffset > image_.SectionRawSize || image_.SectionRawSize - SectionOffset < Length) InvalidFormat();
    return uint64_t{image_.SectionRawOffset} + SectionOffset;
  }

  TResourceId EntryId(uint32_t NameField) const {
    if (!(NameField & kNameBit)) return TResourceId(static_cast<uint16_t>(NameField & 0xFFFF));
    const uint32_t offset = NameField & ~kNameBit;
    const uint16_t length = Read16(file_, At(offset, 2));
    const uint64_t start = At(uint64_t{offset} + 2, uint64_t{length} * 2);
    std::u16string text(length, u'\0');
    for (uint16_t i = 0; i < length; ++i) text[i] = static_cast<char16_t>(Read16(file_, start + 2u * i));
    return TResourceId(Utf16ToUtf8(text));
  }

  // Directory at section offset Offset, Level 0 the type level; answers true
  // when the walk is over.
  bool Directory(uint32_t Offset, int Level, const TResourceId& Type) {
    if (!visited_.insert(Offset).second) InvalidFormat();  // a loop, or two parents
    const uint64_t header = At(Offset, kDirectoryHeaderSize);
    const uint32_t count = uint32_t{Read16(file_, header + 12)} + Read16(file_, header + 14);
    At(uint64_t{Offset} + kDirectoryHeaderSize, uint64_t{count} * kEntrySize);
    for (uint32_t i = 0; i < count; ++i) {
      const uint64_t entry = header + kDirectoryHeaderSize + uint64_t{i} * kEntrySize;
      const uint32_t nameField = Read32(file_, entry);
      const uint32_t valueField = Read32(file_, entry + 4);
      if (!(valueField & kSubdirectoryBit)) continue;  // a data entry where a directory belongs
      const uint32_t sub = valueField & ~kSubdirectoryBit;
      const uint64_t subHeader = At(sub, kDirectoryHeaderSize);
      const uint32_t subCount = uint32_t{Read16(file_, subHeader + 12)} + Read16(file_, subHeader + 14);
      if (subCount == 0) continue;
      const uint32_t firstValue = Read32(file_, At(uint64_t{sub} + kDirectoryHeaderSize, kEntrySize) + 4);
      const TResourceId id = EntryId(nameField);
      if (firstValue & kSubdirectoryBit) {
        if (Directory(sub, Level + 1, Level == 0 ? id : Type)) return true;
        continue;
      }
      const uint32_t dataOffset = firstValue;
      const uint64_t dataEntry = At(dataOffset, kDataEntrySize);
      TResourceLeaf leaf;
      leaf.Type = Type;
      leaf.Name = id;
      leaf.DataEntryOffset = static_cast<uint32_t>(dataEntry);
      leaf.DataRva = Read32(file_, dataEntry);
      leaf.Size = Read32(file_, dataEntry + 4);
      if (visit_(leaf)) {
        found_ = leaf;
        return true;
      }
    }
    return false;
  }

  std::span<const uint8_t> file_;
  const TPEImage& image_;
  const std::function<bool(const TResourceLeaf&)>& visit_;
  std::set<uint32_t> visited_;
  std::optional<TResourceLeaf> found_;
};

std::string ErrorLine(const char* Text, int Code) {
  return std::string(Text) + "\n" + Format(kErrorCodeLineText, {Code});
}

}  // namespace

const std::string& TResourceId::Name() const {
  static const std::string empty;
  return IsNumber() ? empty : std::get<std::string>(value_);
}

bool TResourceId::Matches(const TResourceId& Other) const {
  if (IsNumber() != Other.IsNumber()) return false;
  return IsNumber() ? Number() == Other.Number() : SameAsciiText(Name(), Other.Name());
}

std::string ResourceTypeName(const TResourceId& Type) {
  if (!Type.IsNumber()) return Type.Name();
  return Type.Number() < kTypeNames.size() ? kTypeNames[Type.Number()] : "";
}

void MapResourceFileName(std::string_view FileName, TResourceId& Type, std::string& Name) {
  const size_t slash = FileName.find('\\');
  if (slash == std::string_view::npos) {
    Type = TResourceId(std::string());
    Name.clear();
    return;
  }
  const std::string_view typePart = FileName.substr(0, slash);
  std::string_view namePart = FileName.substr(slash + 1);
  Type = TResourceId(std::string(typePart));
  // "RT_" + the type part against "RT_" + each standard name.
  for (uint16_t n = 1; n < kTypeNames.size(); ++n) {
    if (*kTypeNames[n] && SameAsciiText(typePart, kTypeNames[n])) {
      Type = TResourceId(n);
      break;
    }
  }
  // The extension goes, as the class library's extension change cuts it: after
  // the last dot that follows the last path delimiter.
  const size_t dot = namePart.rfind('.');
  const size_t delim = namePart.find_last_of("\\/:");
  if (dot != std::string_view::npos && (delim == std::string_view::npos || dot > delim))
    namePart = namePart.substr(0, dot);
  Name = std::string(namePart);
}

TPEImage ReadPEImage(std::span<const uint8_t> File) {
  if (File.size() < 64 || File[0] != 'M' || File[1] != 'Z') InvalidFormat();
  const uint64_t nt = Read32(File, 0x3C);
  // The NT headers must be readable: signature, file header and the
  // classic 224-byte optional header.
  if (nt > File.size() || File.size() - nt < 248) InvalidFormat();
  if (File[nt] != 'P' || File[nt + 1] != 'E' || File[nt + 2] != 0 || File[nt + 3] != 0) InvalidFormat();
  const uint16_t sectionCount = Read16(File, nt + 6);
  const uint16_t optionalSize = Read16(File, nt + 20);
  const uint64_t optional = nt + 24;
  const uint16_t magic = Read16(File, optional);
  uint64_t directories = 0;
  uint64_t countField = 0;
  if (magic == 0x10B) {
    countField = optional + 92;
    directories = optional + 96;
  } else if (magic == 0x20B) {
    countField = optional + 108;
    directories = optional + 112;
  } else {
    InvalidFormat();
  }
  if (Read32(File, countField) < 3 || directories + 3 * 8 > optional + optionalSize) InvalidFormat();
  const uint64_t sections = optional + optionalSize;
  if (sections > File.size() || (File.size() - sections) / 40 < sectionCount) InvalidFormat();

  TPEImage image;
  image.OptionalHeaderOffset = static_cast<uint32_t>(optional);
  image.ResourceDirEntryOffset = static_cast<uint32_t>(directories + 2 * 8);
  image.HeadersEnd = static_cast<uint32_t>(sections + uint64_t{sectionCount} * 40);
  std::optional<uint64_t> rsrc;
  uint64_t highestRva = 0, highestOffset = 0;
  for (uint16_t i = 0; i < sectionCount; ++i) {
    const uint64_t header = sections + uint64_t{i} * 40;
    if (!rsrc && SameAsciiText(std::string_view(reinterpret_cast<const char*>(File.data() + header), 5), ".rsrc") &&
        File[header + 5] == 0)
      rsrc = header;
    highestRva = std::max<uint64_t>(highestRva, Read32(File, header + 12));
    if (Read32(File, header + 16) != 0) highestOffset = std::max<uint64_t>(highestOffset, Read32(File, header + 20));
  }
  if (!rsrc) throw Exception(kNoResourcesText);
  image.SectionHeaderOffset = static_cast<uint32_t>(*rsrc);
  image.SectionVirtualSize = Read32(File, *rsrc + 8);
  image.SectionRva = Read32(File, *rsrc + 12);
  const uint32_t rawSize = Read32(File, *rsrc + 16);
  image.SectionRawOffset = Read32(File, *rsrc + 20);
  if (image.SectionRawOffset > File.size()) InvalidFormat();
  image.SectionRawSize = static_cast<uint32_t>(std::min<uint64_t>(rawSize, File.size() - image.SectionRawOffset));
  image.ResourceSectionLast = image.SectionRva == highestRva && image.SectionRawOffset == highestOffset &&
                              uint64_t{image.SectionRawOffset} + rawSize == File.size();
  return image;
}

std::optional<TResourceLeaf> WalkResources(std::span<const uint8_t> File, const TPEImage& Image,
                                           const std::function<bool(const TResourceLeaf&)>& Visit) {
  return Walker(File, Image, Visit).Run();
}

std::optional<TResourceLeaf> FindResource(std::span<const uint8_t> File, const TPEImage& Image,
                                          const TResourceId& Type, const TResourceId& Name) {
  return WalkResources(File, Image,
                       [&](const TResourceLeaf& Leaf) { return Leaf.Type.Matches(Type) && Leaf.Name.Matches(Name); });
}

std::vector<uint8_t> ResourceBytes(std::span<const uint8_t> File, const TPEImage& Image, const TResourceLeaf& Leaf) {
  if (Leaf.DataRva < Image.SectionRva) InvalidFormat();
  const uint64_t offset = uint64_t{Leaf.DataRva} - Image.SectionRva;
  if (offset > Image.SectionRawSize || Image.SectionRawSize - offset < Leaf.Size) InvalidFormat();
  const uint8_t* start = File.data() + Image.SectionRawOffset + offset;
  return std::vector<uint8_t>(start, start + Leaf.Size);
}

TModuleFile::TModuleFile(const std::string& FileName) {
  const int fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
  int error = errno;
  if (fd >= 0) {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
      bytes_.resize(static_cast<size_t>(st.st_size));
      size_t done = 0;
      while (done < bytes_.size()) {
        const ssize_t n = ::read(fd, bytes_.data() + done, bytes_.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
      }
      error = done == bytes_.size() ? 0 : EIO;
    } else {
      error = EISDIR;
    }
    ::close(fd);
  }
  if (error == 0) {
    try {
      image_ = ReadPEImage(bytes_);
    } catch (const Exception& e) {
      // Loading as data refuses anything but a module; a module without
      // resources opens and finds nothing.
      if (std::string_view(e.what()) != kNoResourcesText) error = ENOEXEC;
    }
  }
  if (error != 0)
    throw Exception(Format(kCantOpenModuleText, {FileName}) + "\n" + Format(kErrorCodeLineText, {error}));
}

std::optional<std::vector<uint8_t>> TModuleFile::Resource(const TResourceId& Type, const TResourceId& Name) const {
  if (!image_) return std::nullopt;
  const auto leaf = FindResource(bytes_, *image_, Type, Name);
  if (!leaf) return std::nullopt;
  return ResourceBytes(bytes_, *image_, *leaf);
}

void ReplaceResourceInImage(std::vector<uint8_t>& File, const TResourceId& Type, const std::string& Name,
                            std::span<const uint8_t> Data) {
  const TPEImage image = ReadPEImage(File);
  // The section's data entries must not overlap the header fields changed
  // below.
  if (!image.ResourceSectionLast || image.SectionRawOffset < image.HeadersEnd) InvalidFormat();
  const auto leaf = WalkResources(File, image, [&](const TResourceLeaf& Leaf) {
    return !Leaf.Name.IsNumber() && Leaf.Name.Matches(TResourceId(Name)) && Leaf.Type.Matches(Type);
  });
  if (!leaf) throw Exception(kResourceNotFoundText);
  if (Data.size() > UINT32_MAX / 2) InvalidFormat();
  const uint64_t growth = (Data.size() / 4096 + 1) * 4096;
  const uint64_t oldSize = File.size();
  const uint64_t newRva = oldSize - image.SectionRawOffset + image.SectionRva;
  if (oldSize + growth > UINT32_MAX || newRva > UINT32_MAX) InvalidFormat();
  // Every field is checked before the first one changes, so a refused file
  // stays as it was.
  const uint32_t optional = image.OptionalHeaderOffset;
  const uint32_t section = image.SectionHeaderOffset;
  const uint64_t fields[] = {optional + 8u, optional + 56u, section + 8u, section + 16u,
                             image.ResourceDirEntryOffset + 4u};
  for (uint64_t f : fields)
    if (uint64_t{Read32(File, f)} + growth > UINT32_MAX) InvalidFormat();

  File.resize(oldSize + growth, 0);
  std::memcpy(File.data() + oldSize, Data.data(), Data.size());
  Write32(File, leaf->DataEntryOffset, static_cast<uint32_t>(newRva));
  Write32(File, leaf->DataEntryOffset + 4u, static_cast<uint32_t>(Data.size()));
  for (uint64_t f : fields) Add32(File, f, static_cast<uint32_t>(growth));
}

TResourceWriter::TResourceWriter(std::string FileName) : fileName_(std::move(FileName)) {
  fd_ = ::open(fileName_.c_str(), O_RDWR | O_CLOEXEC);
  if (fd_ < 0) throw Exception(ErrorLine(kCantOpenForWritingText, errno));
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) throw Exception(ErrorLine(kCantMapFileText, errno));
  bytes_.resize(static_cast<size_t>(st.st_size));
  if (::pread(fd_, bytes_.data(), bytes_.size(), 0) != static_cast<ssize_t>(bytes_.size()))
    throw Exception(ErrorLine(kCantMapFileText, errno == 0 ? EIO : errno));
  ReadPEImage(bytes_);
}

TResourceWriter::~TResourceWriter() {
  if (fd_ >= 0) ::close(fd_);
}

void TResourceWriter::ReplaceResource(const TResourceId& Type, const std::string& Name, std::span<const uint8_t> Data) {
  std::vector<uint8_t> changed = bytes_;
  ReplaceResourceInImage(changed, Type, Name, Data);
  // The new data first, the headers that point at it last.
  const size_t oldSize = bytes_.size();
  const auto tail = static_cast<ssize_t>(changed.size() - oldSize);
  if (::pwrite(fd_, changed.data() + oldSize, static_cast<size_t>(tail), static_cast<off_t>(oldSize)) != tail ||
      ::pwrite(fd_, changed.data(), oldSize, 0) != static_cast<ssize_t>(oldSize) || ::fsync(fd_) != 0)
    throw Exception(ErrorLine(kCantMapFileText, errno));
  bytes_ = std::move(changed);
}
