#pragma once
// Byte streams. Every block transfer through ReadBuffer/WriteBuffer is
// checked at once: a short or failed transfer raises EInOutError, so a record
// that ends early fails with a read error. Numbers are written and read
// little-endian, field by field.

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/core/Object.h"

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
  KESTOVA_CLASS(TStream)
 public:
  TStream() = default;
  ~TStream() override = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Transfer up to count bytes; return how many were transferred.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Returns the new position.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  // Grows (with zero bytes) or cuts the stream to newSize. The position
  // stays, unless it lies beyond the new end: then it moves to the end.
  // Streams that cannot change their size leave it.
  virtual void SetSize(int64_t newSize) {}

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  int64_t Size();
  // Bytes left between the position and the end: what a count read from the
  // stream may at most ask for.
  int64_t Remaining() { return Size() - Position(); }

  // Raise EInOutError on a short transfer.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies count bytes from source's position to this stream's position;
  // count 0 copies all of source from its start. Returns the bytes copied;
  // raises EInOutError when source ends early.
  int64_t CopyFrom(TStream& source, int64_t count);
};

// Little-endian scalar transfer.
template <typename T>
requires std::is_arithmetic_v<T>
void WriteLE(TStream& s, T value) {
  static_assert(std::endian::native == std::endian::little, "big-endian hosts need byte swapping here");
  s.WriteBuffer(&value, sizeof value);
}

template <typename T>
requires std::is_arithmetic_v<T> T ReadLE(TStream& s) {
  static_assert(std::endian::native == std::endian::little, "big-endian hosts need byte swapping here");
  T value{};
  s.ReadBuffer(&value, sizeof value);
  return value;
}

// A stream over a growable block of memory. Writing past the end grows it.
class TMemoryStream : public TStream {
  KESTOVA_CLASS(TMemoryStream)
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t newSize) override;

  // The bytes, Size() of them; valid until the next change of size.
  uint8_t* Memory() { return data_.data(); }
  const std::vector<uint8_t>& Bytes() const { return data_; }
  void Clear();
  // The whole of stream, from its start; the position goes to 0.
  void LoadFromStream(TStream& stream);
  void LoadFromFile(const std::string& fileName);
  // All bytes, whatever the position.
  void SaveToStream(TStream& stream) const;
  void SaveToFile(const std::string& fileName) const;

 private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};

// A memory stream whose bytes are a string.
class TStringStream : public TMemoryStream {
  KESTOVA_CLASS(TStringStream)
 public:
  explicit TStringStream(std::string_view data = {});
  std::string DataString() const;
  void WriteString(std::string_view s) { WriteBuffer(s.data(), static_cast<int64_t>(s.size())); }
  // Up to count bytes from the position.
  std::string ReadString(int64_t count);
};

// Open modes and share modes of TFileStream, combined with "|", with the
// class library's numbers. fmCreate creates or empties the file and opens it
// for reading and writing.
struct TFileMode {
  static constexpr uint16_t fmCreate = 0xFFFF;
  static constexpr uint16_t fmOpenRead = 0x0000;
  static constexpr uint16_t fmOpenWrite = 0x0001;
  static constexpr uint16_t fmOpenReadWrite = 0x0002;
  static constexpr uint16_t fmShareCompat = 0x0000;
  static constexpr uint16_t fmShareExclusive = 0x0010;
  static constexpr uint16_t fmShareDenyWrite = 0x0020;
  static constexpr uint16_t fmShareDenyRead = 0x0030;
  static constexpr uint16_t fmShareDenyNone = 0x0040;
};

// A stream over a disk file, unbuffered. The constructor raises EInOutError
// naming the file when it cannot be opened or created.
//
// Sharing is advisory (record locks), so only programs that ask see it: a
// stream opened with fmShareDenyWrite (or fmShareDenyRead) cannot open while
// a stream is open for writing, and no stream opens for writing while it is
// open; fmShareExclusive keeps out every other stream that writes or denies.
// Reading without a share mode is never refused.
class TFileStream : public TStream {
  KESTOVA_CLASS(TFileStream)
 public:
  TFileStream(const std::string& fileName, uint16_t mode);
  ~TFileStream() override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  // Raises EInOutError when the file cannot change its size.
  void SetSize(int64_t newSize) override;
  // Writes reach the system at once; kept for callers that mark the end of
  // their writing.
  void Flush() {}
  const std::string& FileName() const { return path_; }

 private:
  void Close();
  int fd_ = -1;
  int lockFd_ = -1;  // a reading descriptor for the share locks of a write-only stream
  std::string path_;
};
