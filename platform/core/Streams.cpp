#include "platform/core/Streams.h"

#include <algorithm>
#include <cstring>

#include "platform/core/Exceptions.h"

KESTOVA_CLASS_INFO(TStream, TObject, "Classes", nullptr)
KESTOVA_CLASS_INFO(TMemoryStream, TStream, "Classes", &MakeObject<TMemoryStream>)
KESTOVA_CLASS_INFO(TStringStream, TMemoryStream, "Classes", &MakeObject<TStringStream>)

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

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<char> buffer(static_cast<size_t>(std::clamp<int64_t>(count, 0, 64 * 1024)));
  for (int64_t left = count; left > 0;) {
    const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buffer.size()));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return count;
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

void TMemoryStream::SetSize(int64_t newSize) {
  data_.resize(static_cast<size_t>(std::max<int64_t>(newSize, 0)));
  position_ = std::min<int64_t>(position_, static_cast<int64_t>(data_.size()));
}

void TMemoryStream::Clear() {
  data_.clear();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  const int64_t size = stream.Size();
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  stream.ReadBuffer(bytes.data(), size);
  data_ = std::move(bytes);
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, TFileMode::fmOpenRead | TFileMode::fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream) const {
  stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

void TMemoryStream::SaveToFile(const std::string& fileName) const {
  TFileStream file(fileName, TFileMode::fmCreate);
  SaveToStream(file);
}

TStringStream::TStringStream(std::string_view data) : TMemoryStream(std::vector<uint8_t>(data.begin(), data.end())) {}

std::string TStringStream::DataString() const { return std::string(Bytes().begin(), Bytes().end()); }

std::string TStringStream::ReadString(int64_t count) {
  std::string s(static_cast<size_t>(std::clamp<int64_t>(count, 0, Remaining())), '\0');
  s.resize(static_cast<size_t>(Read(s.data(), static_cast<int64_t>(s.size()))));
  return s;
}
