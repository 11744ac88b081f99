#pragma once
// Internals of the debug-information readers: a bounded cursor over
// untrusted bytes and the adding of segments, publics and lines.
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "crashreport/zorMapFile.h"
#include "crashreport/zorStrings.h"

namespace zor {

static_assert(std::endian::native == std::endian::little, "the readers copy little-endian fields as they are");

// Reads from a span; a read past the end fails, reads nothing more and
// leaves `Ok()` false.
class ByteCursor {
 public:
  explicit ByteCursor(std::span<const uint8_t> bytes, uint64_t position = 0) : bytes_(bytes) { Seek(position); }

  bool Ok() const { return ok_; }
  uint64_t Position() const { return position_; }
  uint64_t Remaining() const { return bytes_.size() - position_; }
  bool AtEnd() const { return position_ >= bytes_.size(); }
  void Seek(uint64_t position) {
    if (position > bytes_.size())
      Fail();
    else
      position_ = position;
  }
  void Skip(uint64_t count) {
    if (count > Remaining())
      Fail();
    else
      position_ += count;
  }
  template <typename T>
  T Get() {
    T value{};
    if (Remaining() < sizeof(T)) {
      Fail();
      return value;
    }
    std::memcpy(&value, bytes_.data() + position_, sizeof(T));
    position_ += sizeof(T);
    return value;
  }
  // `size` bytes (1 to 8) as an unsigned value.
  uint64_t GetSized(unsigned size) {
    uint64_t value = 0;
    if (size == 0 || size > 8 || Remaining() < size) {
      Fail();
      return 0;
    }
    std::memcpy(&value, bytes_.data() + position_, size);
    position_ += size;
    return value;
  }
  uint64_t Uleb() {
    uint64_t value = 0;
    for (unsigned shift = 0; shift < 70; shift += 7) {
      const uint8_t byte = Get<uint8_t>();
      if (!ok_) return 0;
      if (shift < 64) value |= uint64_t{byte & 0x7Fu} << shift;
      if (!(byte & 0x80)) return value;
    }
    Fail();
    return 0;
  }
  int64_t Sleb() {
    uint64_t value = 0;
    unsigned shift = 0;
    uint8_t byte = 0x80;
    while (byte & 0x80) {
      if (shift >= 70) {
        Fail();
        return 0;
      }
      byte = Get<uint8_t>();
      if (!ok_) return 0;
      if (shift < 64) value |= uint64_t{byte & 0x7Fu} << shift;
      shift += 7;
    }
    if (shift < 64 && (byte & 0x40)) value |= ~uint64_t{0} << shift;
    return static_cast<int64_t>(value);
  }
  // A zero-terminated text; fails when no zero follows.
  std::string_view CString() {
    if (AtEnd()) {
      Fail();
      return {};
    }
    const auto* start = reinterpret_cast<const char*>(bytes_.data() + position_);
    const size_t length = strnlen(start, Remaining());
    if (length == Remaining()) {
      Fail();
      return {};
    }
    position_ += length + 1;
    return {start, length};
  }
  std::span<const uint8_t> Take(uint64_t count) {
    if (count > Remaining()) {
      Fail();
      return {};
    }
    const auto part = bytes_.subspan(position_, count);
    position_ += count;
    return part;
  }

 private:
  void Fail() {
    ok_ = false;
    position_ = bytes_.size();
  }
  std::span<const uint8_t> bytes_;
  uint64_t position_ = 0;
  bool ok_ = true;
};

inline std::span<const uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Adds to a TMapFile's tables as its loaders do.
struct MapFileBuilder {
  TMapFile& map;
  bool merge = false;  // a segment continuing the last one of its kind extends it
  bool td32 = false;   // publics stretch or create the segment they fall into
  size_t lastCode = SIZE_MAX, lastData = SIZE_MAX;

  // `addBase`: the start counts from code begin (or data begin).
  void AddSegment(std::string unit, uintptr_t start, uint64_t length, bool code, bool addBase, bool hasLines = false);
  // `unmangle`: the name goes through DemangleName, which may give a unit.
  void AddPublic(bool code, std::string name, uintptr_t address, bool addBase, bool unmangle = true);
  void AddLine(int32_t line, uintptr_t address) { map.lines_.push_back({line, address}); }
  // Code before data, then by start, equal starts longer first.
  void SortSegments();
  void SortPublics();
  // Drops empty segments and duplicate starts, and joins neighbours of the
  // same kind (with `overlapOnly`, only those that touch or overlap).
  void MergeSegments(bool overlapOnly);
  std::vector<TMfSegment>& Segments() { return map.segments_; }
  std::vector<TMfPublic>& Publics() { return map.publics_; }
  std::vector<MapLine>& Lines() { return map.lines_; }
  void SetEntryPoint(uintptr_t address) { map.entryPoint_ = address; }
  const ModuleRanges& Ranges() const { return map.ranges_; }
};

// "Unit.Name" of the public starting exactly at the address; names with
// "%" (generated ones) get the module's file name in " (" ")".
std::string ProcNameText(const TMapFile& map, uintptr_t address);

// The part of a path after its last "/" or "\".
std::string_view BaseFileName(std::string_view path);

}  // namespace zor
