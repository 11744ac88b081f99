#include "popgen/ResultFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "popgen/Error.h"

namespace popgen {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
  throw PopGenError("Cannot write the result file \"" + path + "\": " + reason + ".");
}

[[noreturn]] void FailErrno(const std::string& path, int error) { Fail(path, std::strerror(error)); }

// Closes the descriptor and, unless released, removes the file it made.
class NewFile {
 public:
  NewFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;
  ~NewFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  int fd() const { return fd_; }
  // Closes the descriptor; returns 0 or the error of close().
  int Close() {
    const int result = ::close(fd_) == 0 ? 0 : errno;
    fd_ = -1;
    return result;
  }
  void Keep() { path_.clear(); }

 private:
  int fd_;
  std::string path_;
};

// Returns 0 or the error of the failing write().
int WriteAll(int fd, const std::string& text) {
  const char* at = text.data();
  size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, at, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    at += written;
    left -= static_cast<size_t>(written);
  }
  return 0;
}

mode_t NewFileMode() {
  // The process is single-threaded here; umask can only be read by setting it.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void WriteResultFile(const std::string& path, const std::string& text) {
  std::error_code ec;
  fs::path target(path);
  const fs::file_status status = fs::status(target, ec);
  mode_t mode = NewFileMode();
  if (fs::exists(status)) {
    if (fs::is_directory(status)) Fail(path, "it is a folder");
    // Opening for writing without truncating is the permission test.
    const int probe = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (probe < 0) FailErrno(path, errno);
    struct stat info {};
    const int statResult = ::fstat(probe, &info);
    if (statResult == 0 && !S_ISREG(info.st_mode)) {
      NewFile device(probe, {});
      if (const int error = WriteAll(probe, text)) FailErrno(path, error);
      if (const int error = device.Close()) FailErrno(path, error);
      return;
    }
    ::close(probe);
    if (statResult != 0) FailErrno(path, errno);
    if ((info.st_mode & 0222) == 0) FailErrno(path, EACCES);
    mode = info.st_mode & 0777;
    target = fs::canonical(target, ec);
    if (ec) FailErrno(path, ec.value());
  }

  std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) FailErrno(path, errno);
  NewFile file(fd, name.data());
  if (::fchmod(fd, mode) != 0) FailErrno(path, errno);
  if (const int error = WriteAll(fd, text)) FailErrno(path, error);
  if (::fsync(fd) != 0) FailErrno(path, errno);
  if (const int error = file.Close()) FailErrno(path, error);
  if (std::rename(name.data(), target.c_str()) != 0) FailErrno(path, errno);
  file.Keep();
}

}  // namespace popgen
