#pragma once
// What the registry and INI stores share about names and files: names that
// compare without case, the identity of a file on disk, reading a file whole,
// replacing a file atomically (AtomicFile.h) and the writers' lock.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/AtomicFile.h"

class TStrings;

// The form in which two names are compared: upper case, one character for
// one (so "ß" stays itself and a name keeps its length in characters). Text
// that is not valid UTF-8 has only its ASCII letters raised.
std::string FoldName(std::string_view Name);

// The lines of a string list, and a list set to lines (cleared first, one
// change notice).
std::vector<std::string> LinesOf(const TStrings& Strings);
void SetLines(TStrings& Strings, const std::vector<std::string>& Lines);

// What tells whether a file was replaced or rewritten since it was read:
// device, inode, size and the change and modification times.
struct TFileStamp {
  bool Exists = false;
  uint64_t Device = 0, Inode = 0;
  int64_t Size = 0, ModifiedNs = 0, ChangedNs = 0;
  friend bool operator==(const TFileStamp&, const TFileStamp&) = default;
};
// The stamp of the file now; Exists is false when there is none (or it cannot
// be looked at).
TFileStamp StampOf(const std::string& FileName);

// The bytes of a file. Raises EInOutError naming the file when it cannot be
// opened or read, or holds more than MaxSize bytes.
std::string ReadFileBytes(const std::string& FileName, int64_t MaxSize);


// Creates the folder and its missing parents with the given mode (less the
// umask). Raises EInOutError naming the folder on failure.
void ForceFolder(const std::string& Folder, unsigned Mode);

// The user's home folder: $HOME, else the one the user database gives.
std::string HomeFolder();

// An exclusive advisory lock (flock) on LockFileName, created when missing,
// held for the object's life. The constructor waits for other holders (other
// processes, or other open files in this one) and raises EInOutError when the
// lock file cannot be opened.
class TFileLock {
 public:
  explicit TFileLock(const std::string& LockFileName);
  ~TFileLock();
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

 private:
  int fd_ = -1;
};
