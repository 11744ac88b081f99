#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"

KESTOVA_CLASS_INFO(TFileStream, TStream, "Classes", nullptr)

namespace {
[[noreturn]] void OpenError(const std::string& path, bool creating, int error) {
  const char* verb = creating ? "Cannot create file \"" : "Cannot open file \"";
  throw EInOutError(verb + path + "\". " + std::strerror(error), error);
}
}  // namespace

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : path_(fileName) {
  const bool creating = mode == TFileMode::fmCreate;
  const int access = creating ? TFileMode::fmOpenReadWrite : mode & 0x3;
  const int share = creating ? TFileMode::fmShareCompat : mode & 0xF0;
  const int flags = (access == TFileMode::fmOpenWrite       ? O_WRONLY
                     : access == TFileMode::fmOpenReadWrite ? O_RDWR
                                                            : O_RDONLY) |
                    (creating ? O_CREAT : 0) | O_CLOEXEC;
  // Created files are emptied only after the lock is held, so that a file
  // someone keeps from writers is not cut first.
  do fd_ = ::open(fileName.c_str(), flags, 0666);
  while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) OpenError(path_, creating, errno);

  const bool denies = share == TFileMode::fmShareExclusive || share == TFileMode::fmShareDenyWrite ||
                      share == TFileMode::fmShareDenyRead;
  const bool writes = access != TFileMode::fmOpenRead;
  if (denies || writes) {
    if (::flock(fd_, (denies ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd_);
      OpenError(path_, creating, error);
    }
  }
  if (creating && ::ftruncate(fd_, 0) != 0) {
    const int error = errno;
    ::close(fd_);
    OpenError(path_, creating, error);
  }
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                     : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                         : SEEK_END;
  const off_t position = ::lseek(fd_, offset, whence);
  if (position < 0) throw EInOutError("Cannot seek in \"" + path_ + "\"", errno);
  return position;
}

void TFileStream::SetSize(int64_t newSize) {
  const int64_t position = Position();
  if (::ftruncate(fd_, std::max<int64_t>(newSize, 0)) != 0) throw EInOutError(kWriteErrorText, errno);
  if (position > newSize) Seek(0, TSeekOrigin::soEnd);
}
