// The ZIP writer: local headers with deflated data, the central directory and
// the end record, all numbers little-endian.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <memory>

#include "crashreport/zorZip.h"

namespace {

constexpr uint32_t kLocalSignature = 0x04034B50;
constexpr uint32_t kCentralSignature = 0x02014B50;
constexpr uint32_t kEndSignature = 0x06054B50;
constexpr uint16_t kVersion = 20;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeArchive = 0x20;
constexpr uint64_t kMax32 = 0xFFFFFFFFu;

void Put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>(v >> 8);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v));
  Put16(out, static_cast<uint16_t>(v >> 16));
}

bool WriteAll(int fd, const void* data, size_t length) {
  const auto* p = static_cast<const char*>(data);
  while (length > 0) {
    const ssize_t n = ::write(fd, p, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

// MS-DOS time (low 16 bits) and date (high 16 bits) of a moment in local time,
// clamped to the years MS-DOS can hold.
uint32_t DosDateTime(time_t t) {
  struct tm tm {};
  if (!localtime_r(&t, &tm)) return (1u << 5 | 1u) << 16;
  const int year = tm.tm_year + 1900;
  if (year < 1980) return (1u << 5 | 1u) << 16;  // 1980-01-01 00:00:00
  if (year > 2107) return ((127u << 9 | 12u << 5 | 31u) << 16) | (23u << 11 | 59u << 5 | 29u);
  const uint32_t date = static_cast<uint32_t>((year - 1980) << 9 | (tm.tm_mon + 1) << 5 | tm.tm_mday);
  const uint32_t time = static_cast<uint32_t>(tm.tm_hour << 11 | tm.tm_min << 5 | tm.tm_sec / 2);
  return date << 16 | time;
}

// One source file read whole, or nothing when it cannot be.
struct SourceFile {
  std::unique_ptr<uint8_t[]> data;
  uint64_t size = 0;
  struct stat info {};
};

bool ReadSource(const std::string& path, SourceFile& file) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = false;
  if (fstat(fd, &file.info) == 0 && S_ISREG(file.info.st_mode) && static_cast<uint64_t>(file.info.st_size) <= kMax32) {
    file.size = static_cast<uint64_t>(file.info.st_size);
    file.data.reset(new (std::nothrow) uint8_t[file.size + 1]);
    uint64_t done = 0;
    while (file.data && done < file.size) {
      const ssize_t n = ::read(fd, file.data.get() + done, file.size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<uint64_t>(n);
    }
    ok = file.data && done == file.size;
  }
  ::close(fd);
  return ok;
}

std::string EntryName(const std::vector<std::string>& files, const std::vector<std::string>& names, size_t i) {
  if (i < names.size() && !names[i].empty()) return names[i];
  const size_t slash = files[i].rfind('/');
  return slash == std::string::npos ? files[i] : files[i].substr(slash + 1);
}

// Writes the entries and the directory; false on any failed write or limit.
bool WriteEntries(int fd, const std::vector<std::string>& files, const std::vector<std::string>& names) {
  std::string directory;
  uint64_t offset = 0;
  uint32_t entries = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    SourceFile file;
    if (!ReadSource(files[i], file)) continue;
    const std::string name = EntryName(files, names, i);
    if (name.size() > 0xFFFF) continue;
    const uint64_t capacity = file.size * 11 / 10 + 12;
    std::unique_ptr<uint8_t[]> packed(new (std::nothrow) uint8_t[capacity]);
    if (!packed) continue;
    const size_t packedSize = DeflateBuffer(file.data.get(), packed.get(), file.size, capacity);
    if (packedSize == 0) continue;
    if (offset > kMax32 || packedSize > kMax32 || entries == 0xFFFF) return false;
    const uint32_t crc = Crc32Update(0xFFFFFFFFu, file.data.get(), file.size) ^ 0xFFFFFFFFu;
    const uint32_t stamp = DosDateTime(file.info.st_mtime);

    // The 26 bytes from "version needed" on are the same in both headers.
    std::string common;
    Put16(common, kVersion);
    Put16(common, 0);
    Put16(common, kMethodDeflated);
    Put16(common, static_cast<uint16_t>(stamp));
    Put16(common, static_cast<uint16_t>(stamp >> 16));
    Put32(common, crc);
    Put32(common, static_cast<uint32_t>(packedSize));
    Put32(common, static_cast<uint32_t>(file.size));
    Put16(common, static_cast<uint16_t>(name.size()));
    Put16(common, 0);

    std::string local;
    Put32(local, kLocalSignature);
    local += common;
    local += name;
    if (!WriteAll(fd, local.data(), local.size()) || !WriteAll(fd, packed.get(), packedSize)) return false;

    const uint32_t attributes = kAttributeArchive | ((file.info.st_mode & S_IWUSR) ? 0 : kAttributeReadOnly);
    Put32(directory, kCentralSignature);
    Put16(directory, kVersion);
    directory += common;
    Put16(directory, 0);  // comment length
    Put16(directory, 0);  // disk number start
    Put16(directory, 0);  // internal attributes
    Put32(directory, attributes);
    Put32(directory, static_cast<uint32_t>(offset));
    directory += name;

    offset += local.size() + packedSize;
    ++entries;
  }
  const uint64_t directorySize = directory.size();
  if (entries == 0 || offset > kMax32 || directorySize > kMax32) return false;
  Put32(directory, kEndSignature);
  Put16(directory, 0);
  Put16(directory, 0);
  Put16(directory, static_cast<uint16_t>(entries));
  Put16(directory, static_cast<uint16_t>(entries));
  Put32(directory, static_cast<uint32_t>(directorySize));
  Put32(directory, static_cast<uint32_t>(offset));
  Put16(directory, 0);
  return WriteAll(fd, directory.data(), directory.size());
}

}  // namespace

bool WriteZipArchive(const std::string& archivePath, const std::vector<std::string>& files,
                     const std::vector<std::string>& entryNames) {
  // Opened without truncating: another writer's archive is left alone when
  // the exclusive lock is refused.
  const int fd = ::open(archivePath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  bool ok = false;
  try {
    ok = ftruncate(fd, 0) == 0 && WriteEntries(fd, files, entryNames);
  } catch (...) {
    ok = false;
  }
  if (!ok) ::unlink(archivePath.c_str());
  if (::close(fd) != 0 && ok) {
    ::unlink(archivePath.c_str());
    ok = false;
  }
  return ok;
}
