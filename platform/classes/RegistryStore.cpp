#include "platform/classes/RegistryStore.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "platform/classes/RegistryFormat.h"
#include "platform/core/Exceptions.h"

namespace {
std::mutex& NamesMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& InjectedFileName() {
  static std::string name;
  return name;
}

std::string FolderOf(const std::string& fileName) { return std::filesystem::path(fileName).parent_path().string(); }
}  // namespace

TRegistryStore::TRegistryStore(std::string FileName) : fileName_(std::move(FileName)) {}

std::string TRegistryStore::LoadError() {
  std::lock_guard guard(mutex_);
  LoadIfReplaced();
  return loadError_;
}

void TRegistryStore::Load() {
  loaded_ = true;
  loadError_.clear();
  root_.Clear();
  stamp_ = StampOf(fileName_);
  if (!stamp_.Exists) return;
  try {
    std::string error;
    if (!ParseRegistryText(ReadFileBytes(fileName_, kMaxRegistryFileSize), root_, error))
      loadError_ = "Damaged registry file \"" + fileName_ + "\", " + error;
  } catch (const EInOutError& e) {
    loadError_ = e.Message();
  }
}

void TRegistryStore::LoadIfReplaced() {
  if (!loaded_ || StampOf(fileName_) != stamp_) Load();
}

void TRegistryStore::Read(const std::function<void(const TRegKeyNode&)>& Visit) {
  std::lock_guard guard(mutex_);
  LoadIfReplaced();
  Visit(root_);
}

bool TRegistryStore::Change(const std::function<bool(TRegKeyNode&)>& Edit) {
  std::lock_guard guard(mutex_);
  ForceFolder(FolderOf(fileName_), 0700);
  TFileLock lock(fileName_ + ".lock");
  // Always read again under the lock: a stamp can miss a replacement made
  // within one tick of the clock, and a lost change of another process would
  // be worse than the read.
  Load();
  try {
    if (!Edit(root_)) return false;
    Save();
  } catch (...) {
    Load();
    throw;
  }
  return true;
}

void TRegistryStore::Save() {
  if (!loadError_.empty() && stamp_.Exists) {
    const std::string kept = fileName_ + ".damaged";
    if (std::rename(fileName_.c_str(), kept.c_str()) != 0)
      throw EInOutError("Cannot keep the damaged registry file \"" + fileName_ + "\" as \"" + kept + "\".");
  }
  ReplaceFileAtomically(fileName_, RegistryText(root_), 0600);
  stamp_ = StampOf(fileName_);
  loadError_.clear();
}

TRegistryStore& RegistryStoreFor(const std::string& FileName) {
  // Never freed: stores outlive every static object that might still write
  // settings while the process ends.
  static auto* stores = new std::map<std::string, std::unique_ptr<TRegistryStore>>;
  const std::string path = std::filesystem::absolute(FileName).lexically_normal().string();
  std::lock_guard guard(NamesMutex());
  auto& store = (*stores)[path];
  if (!store) store = std::make_unique<TRegistryStore>(path);
  return *store;
}

std::string RegistryFileName() {
  {
    std::lock_guard guard(NamesMutex());
    if (!InjectedFileName().empty()) return InjectedFileName();
  }
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string base = config && config[0] == '/' ? std::string(config) : HomeFolder() + "/.config";
  return base + "/kestova/registry";
}

void SetRegistryFileName(std::string FileName) {
  std::lock_guard guard(NamesMutex());
  InjectedFileName() = std::move(FileName);
}

TRegistryStore& CurrentUserRegistry() { return RegistryStoreFor(RegistryFileName()); }
