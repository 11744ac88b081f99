// TD32 debug information: a chain of subsection directories, read by type:
// names, modules with their segments, source-line modules, then publics.
#include <set>
#include <vector>

#include "crashreport/zorMapFile_p.h"

namespace zor {

namespace {

enum : uint16_t {
  kModules = 0x120,
  kPublics = 0x125,
  kSourceModule = 0x127,
  kGlobalPublics = 0x129,
  kNames = 0x130,
};
constexpr size_t kMaxDirectories = 64;

struct Subsection {
  uint16_t type = 0;
  std::span<const uint8_t> bytes;
};

struct Td32Reader {
  Td32Reader(std::span<const uint8_t> bytes, MapFileBuilder& builder) : block(bytes), b(builder) {}
  std::span<const uint8_t> block;
  MapFileBuilder& b;
  std::vector<Subsection> subsections;
  std::vector<std::string> names;  // name i is names[i - 1]
  bool bad = false;                // an offset or length outside the block

  bool ReadDirectories() {
    ByteCursor c(block, 4);
    uint32_t offset = c.Get<uint32_t>();
    std::set<uint32_t> seen;
    while (c.Ok() && offset != 0 && seen.insert(offset).second && seen.size() <= kMaxDirectories) {
      ByteCursor d(block, offset);
      const uint16_t headerSize = d.Get<uint16_t>(), entrySize = d.Get<uint16_t>();
      const uint32_t count = d.Get<uint32_t>(), next = d.Get<uint32_t>();
      if (!d.Ok() || entrySize < 12) return false;
      d.Seek(uint64_t{offset} + headerSize);
      for (uint32_t i = 0; i < count && d.Ok(); ++i) {
        ByteCursor e(block, d.Position());
        const uint16_t type = e.Get<uint16_t>();
        e.Get<uint16_t>();  // module index
        const uint32_t at = e.Get<uint32_t>(), size = e.Get<uint32_t>();
        d.Skip(entrySize);
        ByteCursor part(block, at);
        const auto bytes = part.Take(size);
        if (!e.Ok() || !part.Ok()) return false;
        subsections.push_back({type, bytes});
      }
      if (!d.Ok()) return false;
      offset = next;
    }
    return c.Ok();
  }

  std::string Name(uint32_t index) const { return index >= 1 && index <= names.size() ? names[index - 1] : ""; }

  template <typename F>
  void Each(uint16_t type, F f) {
    for (const Subsection& s : subsections)
      if (s.type == type) f(s.bytes);
  }

  void ReadNames(std::span<const uint8_t> bytes) {
    ByteCursor c(bytes);
    const uint32_t count = c.Get<uint32_t>();
    for (uint32_t i = 0; i < count && c.Ok(); ++i) {
      const auto text = c.Take(c.Get<uint8_t>());
      c.Skip(1);
      if (c.Ok()) names.emplace_back(reinterpret_cast<const char*>(text.data()), text.size());
    }
    bad = bad || !c.Ok();
  }

  void ReadModule(std::span<const uint8_t> bytes) {
    ByteCursor c(bytes, 4);
    const uint16_t segments = c.Get<uint16_t>();
    c.Seek(8);
    const std::string unit(BaseFileName(Name(c.Get<uint32_t>())));
    c.Seek(28);
    bool dataSeen = false;
    for (uint16_t i = 0; i < segments && c.Ok(); ++i) {
      c.Get<uint16_t>();
      const uint16_t segment = c.Get<uint16_t>();
      const uint32_t offset = c.Get<uint32_t>(), size = c.Get<uint32_t>();
      if (!c.Ok() || size == 0) continue;
      if (segment == 1)
        b.AddSegment(unit, offset, size, true, true);
      else if (!dataSeen)
        dataSeen = true, b.AddSegment(unit, offset, size, false, true);
    }
    bad = bad || !c.Ok();
  }

  // Per source file its name index and blocks of (offset, line) pairs.
  void ReadSourceModule(std::span<const uint8_t> bytes) {
    ByteCursor c(bytes);
    const uint16_t files = c.Get<uint16_t>();
    c.Get<uint16_t>();  // segment count
    for (uint16_t f = 0; f < files && c.Ok(); ++f) {
      ByteCursor file(bytes, c.Get<uint32_t>());
      const uint16_t blocks = file.Get<uint16_t>();
      file.Get<uint16_t>();
      const uint64_t blockTable = file.Position();
      file.Skip(uint64_t{blocks} * 12);  // block offsets, then start and end of each
      const std::string unit(BaseFileName(Name(file.Get<uint32_t>())));
      if (!file.Ok()) {
        bad = true;
        continue;
      }
      for (uint16_t k = 0; k < blocks; ++k) {
        ByteCursor offsetOf(bytes, blockTable + uint64_t{k} * 4);
        ByteCursor block(bytes, offsetOf.Get<uint32_t>());
        const uint16_t segment = block.Get<uint16_t>(), pairs = block.Get<uint16_t>();
        const uint64_t offsets = block.Position(), lines = offsets + uint64_t{pairs} * 4;
        block.Skip(uint64_t{pairs} * 6);
        if (!offsetOf.Ok() || !block.Ok()) bad = true;
        if (!offsetOf.Ok() || !block.Ok() || pairs == 0) continue;
        uintptr_t first = 0, last = 0;
        for (uint16_t p = 0; p < pairs; ++p) {
          ByteCursor o(bytes, offsets + uint64_t{p} * 4), l(bytes, lines + uint64_t{p} * 2);
          const uintptr_t address = b.Ranges().codeBegin + o.Get<uint32_t>();
          b.AddLine(l.Get<uint16_t>(), address);
          if (p == 0) first = address;
          last = address;
        }
        if (segment == 1 && last >= first) b.AddSegment(unit, first, last - first + 1, true, false, true);
      }
    }
    bad = bad || !c.Ok();
  }

  void ReadPublics(std::span<const uint8_t> bytes, uint64_t skip) {
    ByteCursor c(bytes, skip);
    while (c.Ok() && c.Remaining() >= 4) {
      const uint64_t start = c.Position();
      const uint16_t length = c.Get<uint16_t>(), kind = c.Get<uint16_t>();
      ByteCursor r(bytes.first(std::min<uint64_t>(bytes.size(), start + 2 + length)), start);
      const auto field = [&](uint64_t at) {
        r.Seek(start + at);
        return r.Get<uint32_t>();
      };
      if ((kind == 0x204 || kind == 0x205) && length >= 44) {
        const uint32_t address = field(28), name = field(40);
        if (r.Ok()) b.AddPublic(true, Name(name), address, true);
      } else if ((kind == 0x201 || kind == 0x202) && length >= 20) {
        const uint32_t address = field(4), name = field(16);
        if (r.Ok()) b.AddPublic(false, Name(name), address, true);
      } else if ((kind == 0x20 && length > 25) || (kind == 0x21 && length > 23)) {
        const uint32_t address = field(20), name = field(12);
        if (r.Ok()) b.AddPublic(kind == 0x20, Name(name), address, true);
      }
      c.Seek(start + 2 + length);
    }
    bad = bad || !c.Ok();
  }
};

}  // namespace

bool TMapFile::LoadTd32(std::span<const uint8_t> block) {
  ClearTables();
  if (block.size() < 8 || (std::memcmp(block.data(), "FB09", 4) != 0 && std::memcmp(block.data(), "FB0A", 4) != 0))
    return false;
  MapFileBuilder b{*this};
  b.merge = true;
  Td32Reader reader(block, b);
  if (!reader.ReadDirectories()) return false;
  reader.Each(kNames, [&](auto bytes) { reader.ReadNames(bytes); });
  reader.Each(kModules, [&](auto bytes) { reader.ReadModule(bytes); });
  reader.Each(kSourceModule, [&](auto bytes) { reader.ReadSourceModule(bytes); });
  b.SortSegments();
  b.MergeSegments(true);
  b.merge = false;
  b.td32 = true;
  bool global = false;
  reader.Each(kGlobalPublics, [&](auto bytes) { global = true, reader.ReadPublics(bytes, 32); });
  if (!global) reader.Each(kPublics, [&](auto bytes) { reader.ReadPublics(bytes, 4); });
  b.SortPublics();
  b.SortSegments();
  b.MergeSegments(true);
  return !reader.bad && (!segments_.empty() || !publics_.empty());
}

}  // namespace zor
