// CRC-32 and the byte sources and sinks of the stream forms.
#include "crashreport/zorZip.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "crashreport/zorException.h"

namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

uint32_t Crc32Update(uint32_t crc, const void* buffer, size_t length) {
  const auto* p = static_cast<const uint8_t*>(buffer);
  for (size_t i = 0; i < length; ++i) crc = kCrcTable[(crc ^ p[i]) & 0xff] ^ (crc >> 8);
  return crc;
}

size_t ZorMemorySource::Read(uint8_t* buffer, size_t capacity) {
  const size_t n = std::min(capacity, length_ - position_);
  if (n > 0) std::memcpy(buffer, data_ + position_, n);
  position_ += n;
  return n;
}

bool ZorMemorySink::Write(const uint8_t* data, size_t length) {
  if (length > capacity_ - written_) return false;
  if (length > 0) std::memcpy(data_ + written_, data, length);
  written_ += length;
  return true;
}

ZorFileSource::~ZorFileSource() {
  if (map_) munmap(map_, mapLength_);
}

// Maps the next view of at most kZorViewSize bytes; mappings start on a page
// boundary, so the view begins inside the mapping.
bool ZorFileSource::MapNextView() {
  if (map_) {
    munmap(map_, mapLength_);
    map_ = nullptr;
  }
  // Never map past the end of the file: touching such a page faults.
  struct stat info {};
  if (fstat(fd_, &info) != 0 || static_cast<uint64_t>(info.st_size) <= offset_) remaining_ = 0;
  else remaining_ = std::min<uint64_t>(remaining_, static_cast<uint64_t>(info.st_size) - offset_);
  if (remaining_ == 0) return false;
  const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
  const uint64_t start = offset_ - offset_ % page;
  viewStart_ = static_cast<size_t>(offset_ - start);
  const size_t view = static_cast<size_t>(std::min<uint64_t>(remaining_, kZorViewSize));
  mapLength_ = viewStart_ + view;
  void* p = mmap(nullptr, mapLength_, PROT_READ, MAP_PRIVATE, fd_, static_cast<off_t>(start));
  if (p == MAP_FAILED) {
    remaining_ = 0;
    return false;
  }
  map_ = p;
  viewPosition_ = viewStart_;
  return true;
}

size_t ZorFileSource::Read(uint8_t* buffer, size_t capacity) {
  if ((!map_ || viewPosition_ == mapLength_) && !MapNextView()) return 0;
  const size_t n = std::min(capacity, mapLength_ - viewPosition_);
  std::memcpy(buffer, static_cast<const uint8_t*>(map_) + viewPosition_, n);
  viewPosition_ += n;
  offset_ += n;
  remaining_ -= n;
  return n;
}

bool ZorFileSink::Write(const uint8_t* data, size_t length) {
  while (length > 0) {
    if (view_.capacity() < kZorViewSize) view_.reserve(kZorViewSize);
    const size_t n = std::min(length, kZorViewSize - view_.size());
    view_.insert(view_.end(), data, data + n);
    data += n;
    length -= n;
    if (view_.size() == kZorViewSize) Flush();
  }
  return true;
}

void ZorFileSink::Flush() {
  size_t done = 0;
  while (done < view_.size()) {
    const ssize_t n = ::write(fd_, view_.data() + done, view_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw ZorException(kZorStreamWriteErrorText);
    done += static_cast<size_t>(n);
  }
  view_.clear();
}
