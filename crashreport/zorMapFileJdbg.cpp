// JDBG files: a checksummed header, lists of variable-length deltas for the
// source names, symbols and line numbers, and an area of packed names.
#include <algorithm>
#include <bit>

#include "crashreport/zorMapFile_p.h"

namespace zor {

namespace {

constexpr size_t kHeaderSize = 34;
constexpr uint32_t kListEnd = 0x7FFFFFFF;
constexpr size_t kMaxNameLength = 254;

// Reads variable-length values (7 bits a byte, least significant first)
// until the end marker; a list that runs off the file, or a value longer
// than five bytes, is bad.
class ListReader {
 public:
  ListReader(std::span<const uint8_t> file, uint32_t offset, bool& bad) : cursor_(file, offset), bad_(bad) {}
  bool Next(uint32_t& value) {
    uint64_t v = 0;
    for (unsigned shift = 0;; shift += 7) {
      const uint8_t byte = cursor_.Get<uint8_t>();
      if (!cursor_.Ok() || shift > 28) return bad_ = true, false;
      v |= uint64_t{byte & 0x7Fu} << shift;
      if (!(byte & 0x80)) break;
    }
    value = static_cast<uint32_t>(v);
    return value != kListEnd;
  }

 private:
  ByteCursor cursor_;
  bool& bad_;
};

char PackedChar(unsigned value) {
  if (value <= 10) return static_cast<char>('0' + value - 1);
  if (value <= 36) return static_cast<char>('A' + value - 11);
  if (value <= 62) return static_cast<char>('a' + value - 37);
  return '_';
}

struct NameArea {
  std::span<const uint8_t> file;
  uint32_t start;
  bool& bad;  // a name outside the file, or one that runs off it

  std::string At(uint32_t offset) const {
    std::string name;
    if (static_cast<int32_t>(offset) <= 0) return name;
    ByteCursor c(file, uint64_t{start} + offset - 1);
    const uint8_t first = c.Get<uint8_t>();
    if (!c.Ok()) return bad = true, name;
    if (first == 1) {
      for (uint8_t b = c.Get<uint8_t>(); c.Ok() && b != 0 && name.size() < kMaxNameLength; b = c.Get<uint8_t>())
        name += static_cast<char>(b == 0xAA ? b : b ^ 0xAA);
      if (!c.Ok()) bad = true;
      return name;
    }
    if (first == 2)
      name = "@";
    else
      c.Seek(c.Position() - 1);
    while (name.size() < kMaxNameLength) {
      const uint8_t b0 = c.Get<uint8_t>(), b1 = c.Get<uint8_t>(), b2 = c.Get<uint8_t>();
      const unsigned values[4] = {b0 & 0x3Fu, (b0 >> 6) | ((b1 & 0x0Fu) << 2), (b1 >> 4) | ((b2 & 0x03u) << 4),
                                  unsigned(b2 >> 2)};
      for (unsigned v : values) {
        if (v == 0 || name.size() >= kMaxNameLength) return name;
        name += PackedChar(v);
      }
      if (!c.Ok()) return bad = true, name;
    }
    return name;
  }
};

}  // namespace

bool TMapFile::LoadJdbg(std::span<const uint8_t> file) {
  ClearTables();
  if (file.size() <= kHeaderSize || file.size() % 4 != 0) return false;
  ByteCursor h(file);
  if (h.Get<uint32_t>() != 0x4742444A || h.Get<uint8_t>() != 1) return false;  // "JDBG", version 1
  h.Get<uint32_t>();                                                           // units (not read)
  const uint32_t sources = h.Get<uint32_t>(), symbols = h.Get<uint32_t>(), lineNumbers = h.Get<uint32_t>();
  bool bad = false;
  const NameArea names{file, h.Get<uint32_t>(), bad};
  h.Get<uint32_t>();  // module name (not read)
  const uint32_t checksum = h.Get<uint32_t>();
  if (h.Get<uint8_t>() != 0) {
    uint32_t sum = 0;
    ByteCursor words(file);
    while (!words.AtEnd()) sum += words.Get<uint32_t>();
    if (std::rotr(sum - checksum, 8) != checksum) return false;
  }
  const uintptr_t codeBegin = ranges_.codeBegin;
  MapFileBuilder b{*this};

  uint32_t address = 0, name = 0, delta = 0;
  ListReader list(file, sources, bad);
  std::vector<std::pair<uint32_t, std::string>> starts;
  while (list.Next(delta)) {
    uint32_t nameDelta = 0;
    if (!list.Next(nameDelta)) break;
    address += delta, name += nameDelta;
    starts.push_back({address, std::string(BaseFileName(names.At(name)))});
  }
  // A source name gives where its code starts; it reaches to the next one,
  // the last to code end.
  std::stable_sort(starts.begin(), starts.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
  for (size_t i = 0; i < starts.size(); ++i) {
    const uint64_t end = i + 1 < starts.size()         ? starts[i + 1].first
                         : ranges_.codeEnd > codeBegin ? ranges_.codeEnd - codeBegin
                                                       : starts[i].first + 1;
    b.AddSegment(starts[i].second, starts[i].first, end > starts[i].first ? end - starts[i].first : 1, true, true);
  }
  b.SortSegments();
  b.MergeSegments(true);

  address = name = 0;
  uint32_t second = 0;
  ListReader symbolList(file, symbols, bad);
  while (symbolList.Next(delta)) {
    uint32_t d1 = 0, d2 = 0;
    if (!symbolList.Next(d1) || !symbolList.Next(d2)) break;
    address += delta, name += d1, second += d2;
    std::string text = names.At(name);
    if (static_cast<int32_t>(second) > 0) {
      text += "." + names.At(second);
      const TMfSegment holder = SegmentAt(true, codeBegin + address);
      if (holder.valid && !holder.unitName.empty() && text.size() > holder.unitName.size() &&
          EqualNoCase(std::string_view(text).substr(0, holder.unitName.size()), holder.unitName))
        text.erase(0, holder.unitName.size() + 1);
    }
    b.AddPublic(true, std::move(text), address, true);
  }

  address = 0;
  uint32_t line = 0;
  ListReader lineList(file, lineNumbers, bad);
  while (lineList.Next(delta)) {
    uint32_t lineDelta = 0;
    if (!lineList.Next(lineDelta)) break;
    address += delta, line += lineDelta;
    b.AddLine(static_cast<int32_t>(line), codeBegin + address);
  }
  return !bad && (!segments_.empty() || !publics_.empty());
}

}  // namespace zor
