#include "components/base/FileSystems.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <vector>

#include "components/base/ClassItems.h"
#include "components/base/zrbaselib.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/classes/Writer.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FileNames.h"
#include "platform/core/StrUtils.h"
#include "platform/ui/Application.h"

namespace {

void DescribeTResFileSystem(TClassInfo& Info) {
  using F = TResFileSystem;
  TClassPublisher<F> p(Info);
  p.Property<&F::FileName, &F::SetFileName>("FileName", TypeInfos::String());
}

}  // namespace

KESTOVA_CLASS_INFO(TFileSystem, TComponent, "zrfilesys", nullptr)
KESTOVA_CLASS_INFO(TWin32FileSystem, TFileSystem, "zrfilesys", &MakeComponent<TWin32FileSystem>)
KESTOVA_CLASS_INFO_DESCRIBED(TResFileSystem, TFileSystem, "zrfilesys", &MakeComponent<TResFileSystem>,
                             DescribeTResFileSystem)

// ---- TFileSystem ----

void TFileSystem::RenameOrError(const std::string& OldName, const std::string& NewName) {
  if (!RenameFile(OldName, NewName)) throw Exception(Format(kCantRenameFileText, {OldName, NewName}));
}

void TFileSystem::DeleteOrError(const std::string& Name) {
  if (FileExists(Name) && !DeleteFile(Name)) throw Exception(Format(kCantDeleteFileText, {Name}));
}

std::string TFileSystem::GetBackupFileName(const std::string& Name) { return BackupFileName(Name); }

std::string TFileSystem::ChangeFileExt(const std::string& Name, const std::string& Ext) {
  return ::ChangeFileExt(Name, Ext);
}

// ---- TWin32FileSystem ----

std::string TWin32FileSystem::GetCurrentDir() {
  std::vector<char> buffer(4096);
  while (!::getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return "";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

void TWin32FileSystem::SetCurrentDir(const std::string& Dir) {
  // A folder that cannot be entered leaves the current one, as the platform
  // call would.
  (void)::chdir(Dir.c_str());
}

std::unique_ptr<TStream> TWin32FileSystem::CreateStream(const std::string& Name, uint16_t Mode) {
  return std::make_unique<TFileStream>(Name, Mode);
}

int32_t TWin32FileSystem::FileAge(const std::string& Name) {
  struct stat st {};
  if (::stat(Name.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  std::tm local{};
  const time_t t = st.st_mtime;
  if (!::localtime_r(&t, &local) || local.tm_year < 80) return -1;
  const uint32_t date = ((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday;
  const uint32_t time = (local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2);
  return static_cast<int32_t>((date << 16) | time);
}

bool TWin32FileSystem::RenameFile(const std::string& OldName, const std::string& NewName) {
  if (::renameat2(AT_FDCWD, OldName.c_str(), AT_FDCWD, NewName.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the no-replace flag.
  struct stat st {};
  if (::lstat(NewName.c_str(), &st) == 0) return false;
  return ::rename(OldName.c_str(), NewName.c_str()) == 0;
}

bool TWin32FileSystem::IsReadOnly(const std::string& Name) {
  struct stat st {};
  return ::stat(Name.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool TWin32FileSystem::DeleteFile(const std::string& Name) {
  if (IsReadOnly(Name)) return false;
  return ::unlink(Name.c_str()) == 0;
}

bool TWin32FileSystem::FileExists(const std::string& Name) {
  struct stat st {};
  return ::stat(Name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string TWin32FileSystem::GetTempFileName(const std::string& Name) {
  std::string dir = ExtractFilePath(Name);
  if (dir.empty()) dir = "./";
  std::string pattern = dir + ExtractFileName(Name) + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkstemp(buffer.data());
  if (fd < 0) throw Exception(kCantCreateTempNameText);
  ::close(fd);
  return buffer.data();
}

// ---- TResFileSystem ----

std::unique_ptr<TStream> TResFileSystem::CreateStream(const std::string& Name, uint16_t Mode) {
  TResourceId type;
  std::string name;
  MapResourceFileName(Name, type, name);
  return std::make_unique<TResWriteStream>(fileName_, Mode, type, name);
}

bool TResFileSystem::FileExists(const std::string& Name) {
  TResourceId type;
  std::string name;
  MapResourceFileName(Name, type, name);
  try {
    return TModuleFile(fileName_).Resource(type, name).has_value();
  } catch (const Exception&) {
    return false;
  }
}

// ---- Streams that write back ----

void TWriteBackStream::Finish() {
  if (finished_) return;
  finished_ = true;
  WriteBack();
}

void TWriteBackStream::FinishOnFree() noexcept {
  try {
    Finish();
  } catch (const std::exception& error) {
    try {
      Application->ShowException(error);
    } catch (...) {
      // Nothing more can be done from a destructor.
    }
  } catch (...) {
  }
}

TResWriteStream::TResWriteStream(std::string FileName, uint16_t Mode, TResourceId ResType, std::string ResName)
    : resName_(std::move(ResName)), resType_(std::move(ResType)), fileName_(std::move(FileName)) {
  TModuleFile module(fileName_);
  if (Mode != TFileMode::fmCreate) {
    if (auto bytes = module.Resource(resType_, TResourceId(resName_))) {
      TMemoryStream::Write(bytes->data(), static_cast<int64_t>(bytes->size()));
      TMemoryStream::Seek(0, TSeekOrigin::soBeginning);
    }
  }
  initialSize_ = TMemoryStream::Seek(0, TSeekOrigin::soEnd);
  TMemoryStream::Seek(0, TSeekOrigin::soBeginning);
}

TResWriteStream::~TResWriteStream() { FinishOnFree(); }

int64_t TResWriteStream::Write(const void* Buffer, int64_t Count) {
  modified_ = true;
  return TMemoryStream::Write(Buffer, Count);
}


void TResWriteStream::WriteBack() {
  if (!modified_ && Size() == initialSize_) return;
  if (!UpdateModuleResource(fileName_, resType_, resName_, Bytes(), 0)) throw Exception(kErrorUpdatingResourceText);
}

bool UpdateModuleResource(const std::string& FileName, const TResourceId& ResType, const std::string& ResName,
                          std::span<const uint8_t> Data, uint16_t Language) {
  (void)Language;
  TResourceWriter writer(FileName);
  writer.ReplaceResource(ResType, ResName, Data);
  return true;
}

bool ResourceIsComponentStream(const std::string& ModuleFileName, const std::string& ResName,
                               const TResourceId& ResType) {
  const auto bytes = TModuleFile(ModuleFileName).Resource(ResType, TResourceId(ResName));
  return bytes && bytes->size() >= 4 && std::memcmp(bytes->data(), "TPF0", 4) == 0;
}

// ---- Shared instances ----

namespace {

struct TFileSystemListItem {
  std::unique_ptr<TFileSystem> FileSystem;
  int RefCount = 0;
};

// Descriptor bytes to entry; std::string's order compares bytes, zeros
// included.
using TFileSystemList = std::map<std::string, TFileSystemListItem>;

std::unique_ptr<TFileSystemList>& SharedList() {
  static std::unique_ptr<TFileSystemList> list;
  return list;
}

std::unique_ptr<TFileSystem>& DefaultInstance() {
  static std::unique_ptr<TFileSystem> instance;
  return instance;
}

}  // namespace

void RegisterFileSystemClasses() {
  const TClass classes[] = {TWin32FileSystem::StaticClass(), TResFileSystem::StaticClass()};
  RegisterClassesOnce(classes);
}

TFileSystem* DefaultFileSystem() {
  auto& instance = DefaultInstance();
  if (!instance) instance = std::make_unique<TWin32FileSystem>(nullptr);
  return instance.get();
}

std::string FileSystemDescriptor(TFileSystem* FileSystem) {
  TMemoryStream stream;
  WriteComponentToStream(stream, FileSystem);
  const auto& bytes = stream.Bytes();
  return std::string(bytes.begin(), bytes.end());
}

std::string ResourceFileSystemDescriptor(const std::string& ModuleFileName) {
  TResFileSystem fileSystem(nullptr);
  fileSystem.SetFileName(ModuleFileName);
  return FileSystemDescriptor(&fileSystem);
}

TFileSystem* AcquireFileSystem(const std::string& Descriptor) {
  if (Descriptor.empty()) return DefaultFileSystem();
  auto& list = SharedList();
  if (!list) list = std::make_unique<TFileSystemList>();
  if (auto found = list->find(Descriptor); found != list->end()) {
    ++found->second.RefCount;
    return found->second.FileSystem.get();
  }
  TStringStream stream(Descriptor);
  std::unique_ptr<TComponent> read(ReadComponentFromStream(stream, nullptr));
  auto* fileSystem = dynamic_cast<TFileSystem*>(read.get());
  if (!fileSystem) throw EInvalidCast();
  read.release();
  TFileSystemListItem& item = (*list)[Descriptor];
  item.FileSystem.reset(fileSystem);
  item.RefCount = 1;
  return fileSystem;
}

void ReleaseFileSystem(TFileSystem* FileSystem) {
  auto& list = SharedList();
  if (!FileSystem || FileSystem == DefaultInstance().get() || !list) return;
  for (auto it = list->rbegin(); it != list->rend(); ++it) {
    if (it->second.FileSystem.get() != FileSystem) continue;
    if (--it->second.RefCount == 0) {
      // Out of the list before it is freed: its free notices may release
      // again (a property file system whose component goes).
      std::unique_ptr<TFileSystem> freed = std::move(it->second.FileSystem);
      list->erase(std::next(it).base());
    }
    return;
  }
}

int FileSystemUseCount(const TFileSystem* FileSystem) {
  const auto& list = SharedList();
  if (!list) return 0;
  for (const auto& [descriptor, item] : *list)
    if (item.FileSystem.get() == FileSystem) return item.RefCount;
  return 0;
}

void FreeFileSystems() {
  SharedList().reset();
  DefaultInstance().reset();
}
