#pragma once
// zorZip: the crash reporter's own compression unit. Raw deflate streams
// (RFC 1951) with one fixed set of parameters, their decoder, CRC-32 and a ZIP
// writer, with no compression library underneath.
//
// Every call works on its own buffers and may run on any thread, several at
// once; the only shared state is the decoder's fixed-code tables, built once
// per process on first use under a one-time guard.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// CRC-32 of ISO 3309 / ITU-T V.42 (reflected polynomial 0xEDB88320), as ZIP
// and PNG use it. Neither the input nor the output is inverted: start with
// 0xFFFFFFFF and invert the final value.
uint32_t Crc32Update(uint32_t crc, const void* buffer, size_t length);

// Compresses `sourceLength` bytes into a raw deflate stream in `destination`
// (greedy matching: chains of at most 8, a match of 16 ends the search,
// strings inside matches of up to 5 bytes are inserted; 32 KiB window; a block
// ends at 16383 symbols; each block stored, fixed or dynamic, whichever is
// smallest). Answers the compressed length, or 0 when the output does not fit,
// that is when it would fill `destinationCapacity` completely. A capacity of
// sourceLength * 11 / 10 + 12 always suffices.
size_t DeflateBuffer(const void* source, void* destination, size_t sourceLength,
                     size_t destinationCapacity);

// Decodes the raw deflate stream `source` into `destination`. Answers
// `expectedLength` when the stream ends properly with its final block, every
// input byte was consumed and exactly `expectedLength` bytes came out; 0 on
// anything else (corrupt, truncated, trailing bytes, too short or too long).
// Never writes past destination + expectedLength.
size_t InflateBuffer(const void* source, void* destination, size_t sourceLength,
                     size_t expectedLength);

// Decodes a compressed text: bytes 0-3 the uncompressed length (little-endian),
// bytes 4-7 unused, bytes 8-11 the final CRC-32 of the text (little-endian),
// then a raw deflate stream. Answers the text, or empty when the input is
// shorter than 13 bytes, the stored length exceeds what a stream of that size
// can produce (1032 bytes per stream byte), the stream does not decode to
// exactly that length or the CRC differs.
std::string InflateVerifiedText(std::string_view compressed);

// Where the stream forms read their input. Read answers up to `capacity`
// bytes; 0 means the input has ended.
class ZorByteSource {
 public:
  virtual ~ZorByteSource() = default;
  virtual size_t Read(uint8_t* buffer, size_t capacity) = 0;
};

// Where the stream forms write their output. Write answers false when the
// bytes do not fit (the stream then fails); a file sink raises ZorException
// "Stream write error." when the file refuses them.
class ZorByteSink {
 public:
  virtual ~ZorByteSink() = default;
  virtual bool Write(const uint8_t* data, size_t length) = 0;
};

// Input from memory.
class ZorMemorySource : public ZorByteSource {
 public:
  ZorMemorySource(const void* data, size_t length)
      : data_(static_cast<const uint8_t*>(data)), length_(length) {}
  size_t Read(uint8_t* buffer, size_t capacity) override;

 private:
  const uint8_t* data_;
  size_t length_;
  size_t position_ = 0;
};

// Output into a fixed memory block; bytes past its capacity do not fit.
class ZorMemorySink : public ZorByteSink {
 public:
  ZorMemorySink(void* data, size_t capacity) : data_(static_cast<uint8_t*>(data)), capacity_(capacity) {}
  bool Write(const uint8_t* data, size_t length) override;
  size_t Written() const { return written_; }

 private:
  uint8_t* data_;
  size_t capacity_;
  size_t written_ = 0;
};

// Input from an open file: `length` bytes from `offset`, read through mapped
// views of at most kZorViewSize bytes. The input ends early where the file
// ends or cannot be mapped. The descriptor stays the caller's.
inline constexpr size_t kZorViewSize = 0x100000;
class ZorFileSource : public ZorByteSource {
 public:
  ZorFileSource(int fd, uint64_t offset, uint64_t length) : fd_(fd), offset_(offset), remaining_(length) {}
  ~ZorFileSource() override;
  ZorFileSource(const ZorFileSource&) = delete;
  ZorFileSource& operator=(const ZorFileSource&) = delete;
  size_t Read(uint8_t* buffer, size_t capacity) override;

 private:
  bool MapNextView();
  int fd_;
  uint64_t offset_;
  uint64_t remaining_;
  void* map_ = nullptr;
  size_t mapLength_ = 0;
  size_t viewStart_ = 0;  // first byte of the view inside the mapping
  size_t viewPosition_ = 0;
};

// Output to an open file at its current position, gathered in a view of
// kZorViewSize bytes that is written out when full and by Flush. A failed or
// short write raises ZorException "Stream write error.". The destructor does
// not flush: call Flush.
class ZorFileSink : public ZorByteSink {
 public:
  explicit ZorFileSink(int fd) : fd_(fd) {}
  bool Write(const uint8_t* data, size_t length) override;
  void Flush();

 private:
  int fd_;
  std::vector<uint8_t> view_;
};

inline constexpr const char* kZorStreamWriteErrorText = "Stream write error.";

// The stream forms behind DeflateBuffer and InflateBuffer. When `crc` is given
// the input's bytes are folded into it with Crc32Update. DeflateStream answers
// the compressed length, 0 when the sink refused bytes. InflateStream answers
// true when the stream ended properly, all input was consumed and exactly
// `expectedLength` bytes were written.
uint64_t DeflateStream(ZorByteSource& source, ZorByteSink& destination, uint32_t* crc = nullptr);
bool InflateStream(ZorByteSource& source, ZorByteSink& destination, uint64_t expectedLength,
                   uint32_t* crc = nullptr);

// Writes a ZIP archive (method 8, no data descriptors, no ZIP64) of `files`.
// An entry's name is `entryNames[i]` when present and not empty, else the
// path's part after its last "/". Times are the files' modification times in
// local time, clamped to 1980-01-01 .. 2107-12-31; external attributes are
// 0x20, plus 0x01 when the owner may not write the file. Files that cannot be
// opened or read, or are larger than 0xFFFFFFFF bytes, are left out. The
// archive is created afresh under an exclusive lock; a failed write, an offset
// past 0xFFFFFFFF or an archive without entries fails, and a failed archive is
// deleted. Answers true when the archive is complete with at least one entry.
bool WriteZipArchive(const std::string& archivePath, const std::vector<std::string>& files,
                     const std::vector<std::string>& entryNames = {});
