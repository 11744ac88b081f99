#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/classes/StoreFiles_p.h"
#include "platform/core/Exceptions.h"

namespace {
[[noreturn]] void WriteFailed(const std::string& fileName, int error) {
  throw EInOutError("Cannot write file \"" + fileName + "\". " + std::strerror(error), error);
}

int64_t Nanoseconds(const struct timespec& t) { return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec; }

// The file a path names, through symbolic links; the path itself when it
// does not exist yet.
std::string ResolvedPath(const std::string& fileName) {
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(fileName.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : fileName;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A file that is removed again unless it was kept.
class TNewFile {
 public:
  TNewFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
  ~TNewFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_) ::unlink(path_.c_str());
  }
  int Fd() const { return fd_; }
  const std::string& Path() const { return path_; }
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  int fd_;
  bool kept_ = false;
};

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return 0;
}

// Names of new files never repeat within the process; O_EXCL keeps other
// processes' files apart.
std::string NewFileName(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  return folder + "." + name + "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + ".new";
}
}  // namespace

TFileStamp StampOf(const std::string& FileName) {
  struct stat info {};
  if (::stat(FileName.c_str(), &info) != 0) return {};
  return {true,
          static_cast<uint64_t>(info.st_dev),
          static_cast<uint64_t>(info.st_ino),
          static_cast<int64_t>(info.st_size),
          Nanoseconds(info.st_mtim),
          Nanoseconds(info.st_ctim)};
}

void ReplaceFileAtomically(const std::string& FileName, std::string_view Bytes, unsigned NewFileMode) {
  const std::string target = ResolvedPath(FileName);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists) {
    // Opening for writing (without cutting) asks the system whether this
    // file may be changed; the rename alone would only ask the folder.
    const int probe = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (probe < 0) WriteFailed(FileName, errno);
    ::close(probe);
  }
  const std::string name = NewFileName(target);
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : NewFileMode);
  if (fd < 0) WriteFailed(FileName, errno);
  TNewFile file(name, fd);
  if (exists && ::fchmod(fd, old.st_mode & 07777) != 0) WriteFailed(FileName, errno);
  if (const int error = WriteAll(fd, Bytes)) WriteFailed(FileName, error);
  if (::fsync(fd) != 0) WriteFailed(FileName, errno);
  if (const int error = file.Close()) WriteFailed(FileName, error);
  if (::rename(name.c_str(), target.c_str()) != 0) WriteFailed(FileName, errno);
  file.Keep();
}

void ForceFolder(const std::string& Folder, unsigned Mode) {
  if (Folder.empty()) return;
  struct stat info {};
  if (::stat(Folder.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return;
    throw EInOutError("Cannot create folder \"" + Folder + "\". " + std::strerror(ENOTDIR), ENOTDIR);
  }
  const std::string parent = FolderOf(Folder);
  if (parent != Folder) ForceFolder(parent, Mode);
  if (::mkdir(Folder.c_str(), Mode) != 0 && errno != EEXIST)
    throw EInOutError("Cannot create folder \"" + Folder + "\". " + std::strerror(errno), errno);
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  const struct passwd* entry = ::getpwuid(::getuid());
  return entry && entry->pw_dir ? entry->pw_dir : "/";
}

TFileLock::TFileLock(const std::string& LockFileName) {
  fd_ = ::open(LockFileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) throw EInOutError("Cannot open file \"" + LockFileName + "\". " + std::strerror(errno), errno);
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    const int error = errno;
    ::close(fd_);
    throw EInOutError("Cannot lock file \"" + LockFileName + "\". " + std::strerror(error), error);
  }
}

TFileLock::~TFileLock() {
  if (fd_ >= 0) ::close(fd_);
}
