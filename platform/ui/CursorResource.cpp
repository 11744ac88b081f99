#include "platform/ui/CursorResource.h"

#include <QCursor>
#include <QPixmap>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/ResourceStore.h"
#include "platform/graphics/ImageCodec.h"

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr int kMaxCursorSide = 256;

std::uint16_t Word(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t DWord(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(Word(b, at)) | (static_cast<std::uint32_t>(Word(b, at + 2)) << 16);
}
void PutWord(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutDWord(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutWord(out, static_cast<std::uint16_t>(v));
  PutWord(out, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace

std::optional<TCursorImage> DecodeCursorFile(std::span<const std::uint8_t> Bytes) {
  if (Bytes.size() < kHeaderSize + kEntrySize) return std::nullopt;
  if (Word(Bytes, 0) != 0 || Word(Bytes, 2) != 2 || Word(Bytes, 4) == 0) return std::nullopt;
  const std::size_t entry = kHeaderSize;
  const QPoint hotSpot(Word(Bytes, entry + 4), Word(Bytes, entry + 6));
  const std::uint32_t size = DWord(Bytes, entry + 8);
  const std::uint32_t offset = DWord(Bytes, entry + 12);
  if (size == 0 || offset > Bytes.size() || size > Bytes.size() - offset) return std::nullopt;

  // A file of the first image alone, so that the reader decodes no other.
  std::vector<std::uint8_t> single(Bytes.begin(), Bytes.begin() + kHeaderSize + kEntrySize);
  single[4] = 1;
  single[5] = 0;
  single.resize(kHeaderSize + kEntrySize - 4);
  PutDWord(single, static_cast<std::uint32_t>(kHeaderSize + kEntrySize));
  single.insert(single.end(), Bytes.begin() + offset, Bytes.begin() + offset + size);

  std::optional<QImage> image;
  try {
    TImageBudget budget(std::int64_t{kMaxCursorSide} * kMaxCursorSide * 4);
    image = ReadImage(single, "cur", &budget);
  } catch (const Exception&) {
    return std::nullopt;
  }
  if (!image || image->isNull() || image->width() > kMaxCursorSide || image->height() > kMaxCursorSide)
    return std::nullopt;
  if (hotSpot.x() >= image->width() || hotSpot.y() >= image->height()) return std::nullopt;
  return TCursorImage{*image, hotSpot};
}

bool LoadCursorResource(TCursor Id, std::string_view Module, std::string_view Name) {
  const std::optional<std::string> bytes = ResourceStore::Instance().Find(Module, "CURSOR", Name);
  if (!bytes) return false;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes->data());
  const std::optional<TCursorImage> cursor = DecodeCursorFile({data, bytes->size()});
  if (!cursor) return false;
  Screen->SetCursors(Id, QCursor(QPixmap::fromImage(cursor->Image), cursor->HotSpot.x(), cursor->HotSpot.y()));
  return true;
}
