#include "platform/core/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/core/Exceptions.h"

int64_t TStream::Size() {
  int64_t here = Position();
  int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(here, TSeekOrigin::soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count < 0 || (count > 0 && Read(buffer, count) != count)) throw EInOutError(kReadErrorText);
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count < 0 || (count > 0 && Write(buffer, count) != count)) throw EInOutError(kWriteErrorText);
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  int64_t n = std::clamp<int64_t>(static_cast<int64_t>(data_.size()) - position_, 0, std::max<int64_t>(count, 0));
  if (n > 0) std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (position_ + count > static_cast<int64_t>(data_.size())) data_.resize(position_ + count);
  std::memcpy(data_.data() + position_, buffer, count);
  position_ += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == TSeekOrigin::soBeginning ? 0
                 : origin == TSeekOrigin::soCurrent ? position_
                                                     : static_cast<int64_t>(data_.size());
  position_ = std::max<int64_t>(0, base + offset);
  return position_;
}

void TMemoryStream::Clear() {
  data_.clear();
  position_ = 0;
}

TFileStream::TFileStream(const std::string& path, TFileMode mode) : path_(path) {
  const char* how = mode == TFileMode::fmCreate     ? "w+b"
                    : mode == TFileMode::fmOpenRead ? "rb"
                                                    : "r+b";
  file_ = std::fopen(path.c_str(), how);
  if (!file_) {
    std::string verb = mode == TFileMode::fmCreate ? "Cannot create file \"" : "Cannot open file \"";
    throw EInOutError(verb + path + "\". " + std::strerror(errno), errno);
  }
}

TFileStream::~TFileStream() {
  if (file_) std::fclose(file_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  return static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), file_));
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  return static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), file_));
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET : origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
  if (std::fseek(file_, offset, whence) != 0) throw EInOutError("Cannot seek in \"" + path_ + "\"", errno);
  return std::ftell(file_);
}

void TFileStream::Flush() {
  if (std::fflush(file_) != 0) throw EInOutError(kWriteErrorText, errno);
}
