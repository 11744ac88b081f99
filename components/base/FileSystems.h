#pragma once
// The family's file-system layer: documents and sources are read and written
// through a TFileSystem, so that the same code works on disk files, on
// resources inside a module file (TResFileSystem) or on a string property of
// a component (TPropFileSystem, PropFileSystem.h).
//
// A file system is named by its descriptor: the component written as a
// binary component stream, its bytes held in a string. AcquireFileSystem
// hands out one shared instance per descriptor, compared byte for byte (the
// bytes hold zeros, so no text compare), and counts its users; every acquire
// is paired with a ReleaseFileSystem.
//
// Process-wide state (the shared list and the default file system) is made on
// first use and freed by FreeFileSystems at shut-down; GUI thread only.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "components/base/PEResources.h"
#include "platform/classes/Component.h"
#include "platform/core/Streams.h"

// Error texts (Format patterns where they hold %); raised as Exception.
inline constexpr const char* kCantRenameFileText = "Can't rename file %s to file %s";
inline constexpr const char* kCantDeleteFileText = "Can't delete file %S";
inline constexpr const char* kCantCreateTempNameText = "Can't create temporary filename";
inline constexpr const char* kErrorUpdatingResourceText = "Error updating resource";

class TFileSystem : public TComponent {
  KESTOVA_CLASS(TFileSystem)
 public:
  explicit TFileSystem(TComponent* AOwner) : TComponent(AOwner) {}

  // RenameFile, raising kCantRenameFileText with both names when it fails.
  virtual void RenameOrError(const std::string& OldName, const std::string& NewName);
  // When the file exists and DeleteFile fails, raises kCantDeleteFileText.
  virtual void DeleteOrError(const std::string& Name);
  virtual std::string GetCurrentDir() { return ""; }
  virtual void SetCurrentDir(const std::string& Dir) {}
  // A stream the caller owns; Mode is TFileStream's (fmCreate, fmOpenRead, ...).
  virtual std::unique_ptr<TStream> CreateStream(const std::string& Name, uint16_t Mode) = 0;
  // The packed DOS date (high word) and time (low word).
  virtual int32_t FileAge(const std::string& Name) { return 0; }
  virtual bool RenameFile(const std::string& OldName, const std::string& NewName) { return true; }
  virtual bool IsReadOnly(const std::string& Name) { return false; }
  virtual bool DeleteFile(const std::string& Name) { return true; }
  virtual bool FileExists(const std::string& Name) = 0;
  // A name for a temporary file near Name; the base answers Name.
  virtual std::string GetTempFileName(const std::string& Name) { return Name; }
  // BackupFileName (zrbaselib.h).
  virtual std::string GetBackupFileName(const std::string& Name);
  // 0 for real disk files: a save then writes a temporary file and renames it;
  // 1 for the others, written directly.
  virtual uint8_t IsVirtual() { return 1; }
  virtual std::string ChangeFileExt(const std::string& Name, const std::string& Ext);
};

// Disk files.
class TWin32FileSystem : public TFileSystem {
  KESTOVA_CLASS(TWin32FileSystem)
 public:
  explicit TWin32FileSystem(TComponent* AOwner) : TFileSystem(AOwner) {}

  std::string GetCurrentDir() override;
  void SetCurrentDir(const std::string& Dir) override;
  std::unique_ptr<TStream> CreateStream(const std::string& Name, uint16_t Mode) override;
  // The local modification time packed as a DOS date and time; -1 when the
  // file is missing.
  int32_t FileAge(const std::string& Name) override;
  // Refuses (false) when NewName exists, as the original platform's move does.
  bool RenameFile(const std::string& OldName, const std::string& NewName) override;
  // True when the file's mode has no write bit (access() would let root
  // write anyway, so it is not asked).
  bool IsReadOnly(const std::string& Name) override;
  // Refuses a read-only file, so DeleteOrError raises for it.
  bool DeleteFile(const std::string& Name) override;
  // True for an existing entry that is not a directory.
  bool FileExists(const std::string& Name) override;
  // Creates a new empty file in Name's folder whose name starts with Name's
  // file name, and answers its name; kCantCreateTempNameText on failure.
  std::string GetTempFileName(const std::string& Name) override;
  uint8_t IsVirtual() override { return 0; }
};

// Resources of one module file (PEResources.h). A file name is read with
// MapResourceFileName: "RCDATA\TFORM1.dfm" is resource TFORM1 of type 10.
// Published: FileName. Rename, delete, age, read-only and directories keep
// the base behaviour.
class TResFileSystem : public TFileSystem {
  KESTOVA_CLASS(TResFileSystem)
 public:
  explicit TResFileSystem(TComponent* AOwner) : TFileSystem(AOwner) {}

  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& Value) { fileName_ = Value; }

  // A TResWriteStream of FileName's resource.
  std::unique_ptr<TStream> CreateStream(const std::string& Name, uint16_t Mode) override;
  // The resource is in the module; false also when the module cannot be read.
  bool FileExists(const std::string& Name) override;
  uint8_t IsVirtual() override { return 1; }

 private:
  std::string fileName_;
};

// A memory stream whose content is written somewhere when it is done.
// Writers call Finish before freeing it; Finish writes back (once) and raises
// the write-back's error. A stream freed unfinished runs Finish itself and
// shows a failure through the application's error display, since a
// destructor cannot raise.
class TWriteBackStream : public TMemoryStream {
 public:
  void Finish();
  bool Finished() const { return finished_; }

 protected:
  virtual void WriteBack() = 0;
  // For the destructor of each derived class.
  void FinishOnFree() noexcept;

 private:
  bool finished_ = false;
};

// A resource of a module file as a stream. Unless opened with fmCreate, the
// resource's bytes are its content (an absent resource leaves it empty).
// Finish writes the content with UpdateModuleResource when something was
// written or the size changed; nothing otherwise.
class TResWriteStream : public TWriteBackStream {
 public:
  // Raises kCantOpenModuleText when the module cannot be read.
  TResWriteStream(std::string FileName, uint16_t Mode, TResourceId ResType, std::string ResName);
  ~TResWriteStream() override;

  int64_t Write(const void* Buffer, int64_t Count) override;

 protected:
  void WriteBack() override;

 private:
  bool modified_ = false;
  int64_t initialSize_ = 0;
  std::string resName_;
  TResourceId resType_;
  std::string fileName_;
};

// Replaces the resource with the in-place writer (TResourceWriter) and
// answers true; its failures raise ("Resource not found" for a resource that
// is not there or is numbered: resources cannot be added). Language is not
// used.
bool UpdateModuleResource(const std::string& FileName, const TResourceId& ResType, const std::string& ResName,
                          std::span<const uint8_t> Data, uint16_t Language = 0);

// True when the resource's first 4 bytes are "TPF0"; raises
// kCantOpenModuleText when the module cannot be read.
bool ResourceIsComponentStream(const std::string& ModuleFileName, const std::string& ResName,
                               const TResourceId& ResType);

// Registers TWin32FileSystem and TResFileSystem with the class registry
// (start-up).
void RegisterFileSystemClasses();

// The process-wide TWin32FileSystem (no owner).
TFileSystem* DefaultFileSystem();
std::string FileSystemDescriptor(TFileSystem* FileSystem);
std::string ResourceFileSystemDescriptor(const std::string& ModuleFileName);
// The default file system for ""; otherwise the shared instance of
// Descriptor (one more user), or a new one read from its bytes (the class
// must be registered) with one user.
TFileSystem* AcquireFileSystem(const std::string& Descriptor);
// One user less; at none the file system is freed. The default file system
// and a file system that is not shared are left alone.
void ReleaseFileSystem(TFileSystem* FileSystem);
// The users of a shared file system; 0 when it is not in the list.
int FileSystemUseCount(const TFileSystem* FileSystem);
// Frees the shared list with its file systems and the default file system.
void FreeFileSystems();

// An acquired file system, released when the holder goes.
class TAcquiredFileSystem {
 public:
  explicit TAcquiredFileSystem(const std::string& Descriptor) : fs_(AcquireFileSystem(Descriptor)) {}
  ~TAcquiredFileSystem() { ReleaseFileSystem(fs_); }
  TAcquiredFileSystem(const TAcquiredFileSystem&) = delete;
  TAcquiredFileSystem& operator=(const TAcquiredFileSystem&) = delete;
  TFileSystem* operator->() const { return fs_; }
  TFileSystem* Get() const { return fs_; }

 private:
  TFileSystem* fs_;
};
