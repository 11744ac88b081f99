#include "components/base/RecordList.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <functional>

#include "components/base/zrbaselib.h"
#include "platform/core/Exceptions.h"

KESTOVA_CLASS_INFO(TRecordList, TInterfacedObject, "zrbase", nullptr)

void RecordListIndexError(std::int32_t Index) { RaiseFmtError(ResourceText(kListIndexErrorText), {Index}); }

TRecordList::TRecordList(std::int32_t ARecordSize) : recordSize_(ARecordSize) { assert(ARecordSize >= 0); }

TRecordList::~TRecordList() { Clear(); }

std::int32_t TRecordList::Add(const void* Record) {
  const std::int32_t index = count_;
  // A record of this very list moves with the block when it grows.
  const auto* source = static_cast<const std::uint8_t*>(Record);
  const std::uint8_t* block = data_.get();
  const bool inside = source && block && std::less_equal<const std::uint8_t*>()(block, source) &&
                      std::less<const std::uint8_t*>()(source, block + static_cast<std::size_t>(count_) * recordSize_);
  const std::size_t offset = inside ? static_cast<std::size_t>(source - block) : 0;
  Grow(index);
  if (inside) Record = data_.get() + offset;
  std::uint8_t* place = data_.get() + static_cast<std::size_t>(index) * recordSize_;
  if (Record)
    std::memcpy(place, Record, recordSize_);
  else
    std::memset(place, 0, recordSize_);
  count_ = index + 1;
  return index;
}

std::uint8_t* TRecordList::GetItemPtr(std::int32_t Index) const {
  if (Index < 0 || Index > count_) RecordListIndexError(Index);
  return data_.get() + static_cast<std::size_t>(Index) * recordSize_;
}

void TRecordList::Delete(std::int32_t Index) {
  if (Index < 0 || Index >= count_) RecordListIndexError(Index);
  --count_;
  if (Index < count_) {
    std::uint8_t* place = data_.get() + static_cast<std::size_t>(Index) * recordSize_;
    std::memmove(place, place + recordSize_, static_cast<std::size_t>(count_ - Index) * recordSize_);
  }
}

void TRecordList::Clear() {
  count_ = 0;
  SetCapacity(0);
}

void TRecordList::SetCapacity(std::int32_t N) {
  if (N < count_) RecordListIndexError(N);
  if (N == capacity_) return;
  if (N == 0) {
    data_.reset();
  } else {
    const std::size_t bytes = static_cast<std::size_t>(N) * static_cast<std::size_t>(recordSize_);
    // realloc of zero bytes may answer nullptr; one byte keeps "Data is
    // nullptr only at capacity 0" for zero-sized records.
    void* block = std::realloc(data_.get(), std::max<std::size_t>(bytes, 1));
    if (!block) throw EOutOfMemory();
    (void)data_.release();
    data_.reset(static_cast<std::uint8_t*>(block));
  }
  capacity_ = N;
}

void TRecordList::Grow(std::int32_t N) {
  if (N < capacity_) return;
  const std::int64_t wanted = std::max<std::int64_t>(N, std::max<std::int64_t>(2 * std::int64_t{capacity_}, 32));
  if (wanted > INT32_MAX) throw EOutOfMemory();
  SetCapacity(static_cast<std::int32_t>(wanted));
}

void TRecordList::SetCount(std::int32_t N) {
  if (N < 0) RecordListIndexError(N);
  Grow(N);
  count_ = N;
}
