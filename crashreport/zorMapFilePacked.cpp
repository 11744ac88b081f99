// Packed debug information: a block with a magic, a version and an
// enciphered, compressed payload of segment, public and line records; with
// minimum information only addresses, and the names are generated.
#include <cstdio>

#include "crashreport/zorCrypt.h"
#include "crashreport/zorMapFile_p.h"
#include "crashreport/zorZip.h"

namespace zor {

namespace {

constexpr std::string_view kPackedMagic = "quillon_dbgmap";
constexpr size_t kMinimumBlock = 23;

// A memory stream over a loaded block that reads only what remains.
class TMiniStream {
 public:
  explicit TMiniStream(std::string_view bytes) : cursor_(AsBytes(bytes)) {}
  bool Ok() const { return cursor_.Ok(); }
  uint64_t Remaining() const { return cursor_.Remaining(); }
  uint32_t U32() { return cursor_.Get<uint32_t>(); }
  uint8_t U8() { return cursor_.Get<uint8_t>(); }
  // One signed byte, or after -128 the 32-bit value that follows.
  int32_t Compact() {
    const auto small = cursor_.Get<int8_t>();
    return small == -128 ? cursor_.Get<int32_t>() : small;
  }
  // A length byte and that many characters.
  std::string ShortText() {
    const auto bytes = cursor_.Take(cursor_.Get<uint8_t>());
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
  }

 private:
  ByteCursor cursor_;
};

std::string Hex8(uint32_t value) {
  char text[10];
  std::snprintf(text, sizeof text, "$%08x", value);
  return text;
}

// The 31-character text after the stored "MinDebugInfo" property record of
// a settings resource; empty when there is none.
std::string MinDebugInfoOf(std::string_view resource) {
  const std::string record = std::string("\x0c", 1) + "MinDebugInfo" + std::string("\x0c\x1f\0\0\0", 5);
  const size_t at = resource.find(record);
  if (at == std::string_view::npos || resource.size() - at - record.size() < 31) return {};
  return std::string(resource.substr(at + record.size(), 31));
}

}  // namespace

std::string PackedInfoKey(uint32_t payloadLength) {
  // The word is spelled out so that it never stands in the binary as one text.
  std::string word;
  for (char c : {'t', 'a', 'm', 'b', 'o', 'r'}) word += c;
  char hex[16], decimal[16];
  std::snprintf(hex, sizeof hex, "$%07X", payloadLength);
  std::snprintf(decimal, sizeof decimal, "%08u", payloadLength);
  std::string text = word + hex + word + decimal;
  text += text;
  const std::string key = text;
  LegacyEncipher(text, key);
  return text;
}

bool TMapFile::ImportPacked(std::string_view block, bool nested) {
  ClearTables();
  ByteCursor header(AsBytes(block));
  if (block.size() < kMinimumBlock || block.substr(0, kPackedMagic.size()) != kPackedMagic) return false;
  header.Seek(kPackedMagic.size());
  const uint32_t payloadLength = header.Get<uint32_t>(), version = header.Get<uint32_t>();
  if (version != 2 && version != 3) return false;
  uint32_t id1 = 0, id2 = 0, flags = 0;
  if (version == 3) id1 = header.Get<uint32_t>(), id2 = header.Get<uint32_t>(), flags = header.Get<uint32_t>();
  if (!header.Ok() || payloadLength > header.Remaining()) return false;
  const uint64_t total = header.Position() + payloadLength;
  if (!minDebugInfo_.empty() &&
      minDebugInfo_ != Hex8(static_cast<uint32_t>(total)) + ", " + Hex8(id1) + ", " + Hex8(id2))
    return false;
  const bool minimum = flags & 1;
  if (minimum) {
    // The full form is looked for once; a minimum block met in that search
    // would start the same search again.
    if (nested) return false;
    minDebugInfo_ = MinDebugInfoOf(settingsResource_);
    if (FindDebugFiles(true)) return true;
  } else {
    minDebugInfo_.clear();
  }
  std::string payload(block.substr(header.Position(), payloadLength));
  LegacyDecipher(payload, PackedInfoKey(payloadLength));
  const std::string records = InflateVerifiedText(payload);
  return !records.empty() && ReadPackedRecords(records, minimum);
}

bool TMapFile::ReadPackedRecords(std::string_view payload, bool minimum) {
  ClearTables();
  MapFileBuilder b{*this};
  TMiniStream s(payload);
  const uint32_t segments = s.U32();
  if (!s.Ok() || segments > s.Remaining() / 8) return false;
  for (uint32_t i = 0; i < segments && s.Ok(); ++i) {
    const uint32_t start = s.U32(), length = s.U32();
    bool hasLines = false;
    std::string unit;
    if (minimum)
      hasLines = s.U8() != 0, unit = "segment%" + std::to_string(i);
    else
      unit = s.ShortText();
    if (s.Ok()) b.AddSegment(std::move(unit), start, length, true, true, hasLines);
  }
  b.SortSegments();
  const uint32_t publics = s.U32();
  if (!s.Ok() || publics > s.Remaining()) return false;
  uint32_t address = 0;
  for (uint32_t i = 0; i < publics && s.Ok(); ++i) {
    std::string name = minimum ? "public%" + std::to_string(i) : s.ShortText();
    address = i == 0 ? s.U32() : address + static_cast<uint32_t>(s.Compact());
    if (s.Ok()) b.AddPublic(true, std::move(name), address, true);
  }
  const uint32_t lines = s.U32();
  if (!s.Ok() || lines > s.Remaining()) return false;
  uint32_t line = 0;
  address = 0;
  for (uint32_t i = 0; i < lines && s.Ok(); ++i) {
    if (i == 0)
      line = s.U32(), address = s.U32();
    else
      line += static_cast<uint32_t>(s.Compact()), address += static_cast<uint32_t>(s.Compact());
    if (s.Ok()) b.AddLine(static_cast<int32_t>(line), ranges_.codeBegin + address);
  }
  if (!s.Ok()) return false;
  if (s.Remaining() == 4) b.SetEntryPoint(ranges_.codeBegin + s.U32());
  return true;
}

}  // namespace zor
