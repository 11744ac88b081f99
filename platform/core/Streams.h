#pragma once
// Byte streams for the binary records. Every block transfer through
// ReadBuffer/WriteBuffer is checked at once: a short or failed transfer raises
// EInOutError, so a record that ends early fails with a read error. Numbers
// are written and read little-endian, field by field.

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Transfer up to count bytes; return how many were transferred.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Returns the new position.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  int64_t Size();
  // Bytes left between the position and the end: what a count read from the
  // stream may at most ask for.
  int64_t Remaining() { return Size() - Position(); }

  // Raise EInOutError on a short transfer.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
};

// Little-endian scalar transfer.
template <typename T>
  requires std::is_arithmetic_v<T>
void WriteLE(TStream& s, T value) {
  static_assert(std::endian::native == std::endian::little, "big-endian hosts need byte swapping here");
  s.WriteBuffer(&value, sizeof value);
}

template <typename T>
  requires std::is_arithmetic_v<T>
T ReadLE(TStream& s) {
  static_assert(std::endian::native == std::endian::little, "big-endian hosts need byte swapping here");
  T value{};
  s.ReadBuffer(&value, sizeof value);
  return value;
}

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  const std::vector<uint8_t>& Bytes() const { return data_; }
  void Clear();

 private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};

enum class TFileMode { fmCreate, fmOpenRead, fmOpenWrite, fmOpenReadWrite };

// A stream over a disk file. The constructor raises EInOutError naming the
// file when it cannot be opened or created.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& path, TFileMode mode);
  ~TFileStream() override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  // Flushes buffered writes; raises EInOutError when they cannot be written.
  void Flush();

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
};
