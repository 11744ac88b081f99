#pragma once
// The per-user registry: one text file (RegistryFormat.h) that stands for
// the current user's hive, $XDG_CONFIG_HOME/kestova/registry by default.
//
// One store exists per file in the process (RegistryStoreFor), created on
// first use and kept until the process ends, so every TRegistry on that file
// sees the others' writes at once. Other processes are seen through the
// file: reads look at the file's stamp and read it again when another
// process replaced it; every change takes the file's lock, reads the file as
// it is then, changes it and writes it back atomically (StoreFiles_p.h), so
// two processes' changes never overwrite each other and a reader never sees
// half a file.
//
// The file is read lazily, on the first look. It is untrusted: when it cannot
// be read or is damaged, the store is empty and LoadError says why, naming
// the file and the line. The first change after that keeps the old file as
// "<file>.damaged" before writing a new one, so nothing of it is lost.
//
// A change that cannot be written (a full disk, a read-only folder) raises
// EInOutError naming the file; the file keeps its old contents and the store
// reads it again, so memory and disk still agree.

#include <functional>
#include <mutex>
#include <string>

#include "platform/classes/RegistryTree.h"
#include "platform/classes/StoreFiles_p.h"

// Files larger than this are not read (the store stays empty).
inline constexpr int64_t kMaxRegistryFileSize = 64 << 20;

class TRegistryStore {
 public:
  // A store of its own on FileName; everything else uses RegistryStoreFor.
  explicit TRegistryStore(std::string FileName);
  TRegistryStore(const TRegistryStore&) = delete;
  TRegistryStore& operator=(const TRegistryStore&) = delete;

  const std::string& FileName() const { return fileName_; }
  // Why the file could not be read ("Damaged registry file "<name>", line 3:
  // ..."), or "" when it was read or does not exist.
  std::string LoadError();

  // Runs Visit on the contents, reading the file first when it was not read
  // yet or was replaced since. Visit must not use the store itself.
  void Read(const std::function<void(const TRegKeyNode& Root)>& Visit);
  // Under the file's lock, on the contents as the file holds them now: runs
  // Edit, and writes the file when Edit returns true. Returns what Edit
  // returned; raises as described above.
  bool Change(const std::function<bool(TRegKeyNode& Root)>& Edit);

 private:
  void Load();
  void LoadIfReplaced();
  void Save();

  const std::string fileName_;
  std::mutex mutex_;
  TRegKeyNode root_;
  bool loaded_ = false;
  TFileStamp stamp_;
  std::string loadError_;
};

// The one store of the file (by its absolute path), made on first use.
TRegistryStore& RegistryStoreFor(const std::string& FileName);

// The file of the current user's registry: the one SetRegistryFileName chose,
// else $XDG_CONFIG_HOME/kestova/registry, with $HOME/.config in place of
// $XDG_CONFIG_HOME when that is unset, empty or not an absolute path.
std::string RegistryFileName();
// For tests and tools: the file that stands for the current user's registry
// from now on ("" goes back to the default).
void SetRegistryFileName(std::string FileName);
// RegistryStoreFor(RegistryFileName()).
TRegistryStore& CurrentUserRegistry();
