#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"

KESTOVA_CLASS_INFO(TFileStream, TStream, "Classes", nullptr)

namespace {
[[noreturn]] void OpenError(const std::string& path, bool creating, int error) {
  const char* verb = creating ? "Cannot create file \"" : "Cannot open file \"";
  throw EInOutError(verb + path + "\". " + std::strerror(error), error);
}

// Sharing is kept with two lock bytes far beyond any file's end: writers hold
// a shared lock on one, streams that deny writing on the other. Each side
// takes its own lock first and then looks for the other's, so of two streams
// opening at once at least one sees the other. The locks belong to the open
// file (not the process), so streams of one process see each other too.
constexpr off_t kWriterByte = std::numeric_limits<off_t>::max() - 1;
constexpr off_t kDenierByte = std::numeric_limits<off_t>::max() - 2;

struct flock OneByte(short type, off_t byte) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = byte;
  lock.l_len = 1;
  return lock;
}

bool Lock(int fd, off_t byte) {
  struct flock lock = OneByte(F_RDLCK, byte);
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// Whether another open file holds a lock on the byte.
bool HeldElsewhere(int fd, off_t byte) {
  struct flock lock = OneByte(F_WRLCK, byte);
  return ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

// Takes the locks of the access and share mode on `fd` (open for reading);
// false when another stream's sharing forbids this one. An exclusive stream
// counts as both a writer and a denier.
bool TakeShareLocks(int fd, bool writes, int share) {
  const bool exclusive = share == TFileMode::fmShareExclusive;
  const bool denies = exclusive || share == TFileMode::fmShareDenyWrite || share == TFileMode::fmShareDenyRead;
  const bool writer = writes || exclusive;
  if (writer && !Lock(fd, kWriterByte)) return false;
  if (denies && !Lock(fd, kDenierByte)) return false;
  if (writer && HeldElsewhere(fd, kDenierByte)) return false;
  if (denies && HeldElsewhere(fd, kWriterByte)) return false;
  return true;
}

int OpenRetrying(const std::string& path, int flags) {
  int fd;
  do fd = ::open(path.c_str(), flags, 0666);
  while (fd < 0 && errno == EINTR);
  return fd;
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
  fd_ = OpenRetrying(fileName, flags);
  if (fd_ < 0) OpenError(path_, creating, errno);
  // Read locks need a descriptor open for reading; a write-only stream keeps
  // a second one for them (without read permission it shares unchecked).
  const bool writes = access != TFileMode::fmOpenRead;
  if (writes || share != TFileMode::fmShareCompat) {
    int lockFd = fd_;
    if (access == TFileMode::fmOpenWrite) lockFd = lockFd_ = OpenRetrying(fileName, O_RDONLY | O_CLOEXEC);
    // Created files are emptied only after the locks are held, so that a
    // file someone keeps from writers is not cut first.
    if (lockFd >= 0 && !TakeShareLocks(lockFd, writes, share)) {
      Close();
      OpenError(path_, creating, EAGAIN);
    }
  }
  if (creating && ::ftruncate(fd_, 0) != 0) {
    const int error = errno;
    Close();
    OpenError(path_, creating, error);
  }
}

void TFileStream::Close() {
  if (lockFd_ >= 0) ::close(lockFd_);
  if (fd_ >= 0) ::close(fd_);
  lockFd_ = fd_ = -1;
}

TFileStream::~TFileStream() { Close(); }

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
