// TRegistryStream and whole objects kept in one registry value.
#include <exception>

#include "components/base/PropAccess.h"
#include "components/base/RegistrySettings.h"

KESTOVA_CLASS_INFO(TRegistryStream, TMemoryStream, "RegistrySettings", nullptr)

TRegistryStream::TRegistryStream(std::string Path, uint16_t Mode)
    : path_(std::move(Path)), create_(Mode == TFileMode::fmCreate), uncaught_(std::uncaught_exceptions()) {
  if (create_) {
    initialSize_ = 0;
    return;
  }
  initialSize_ = GetRegLongDataSize(path_);
  if (initialSize_ <= 0) return;
  TMemoryStream::SetSize(initialSize_);
  ReadRegLongBinary(path_, Memory(), initialSize_);
}

TRegistryStream::~TRegistryStream() {
  // Unwinding: the value stays as it was rather than take half an object.
  if (std::uncaught_exceptions() > uncaught_) return;
  try {
    UpdateRegistry();
  } catch (const std::exception&) {
  }
}

int64_t TRegistryStream::Write(const void* Buffer, int64_t Count) {
  modified_ = true;
  return TMemoryStream::Write(Buffer, Count);
}

bool TRegistryStream::Pending() {
  if (updated_) return false;
  return create_ || modified_ || (initialSize_ != -1 && initialSize_ != Size());
}

void TRegistryStream::UpdateRegistry() {
  if (!Pending()) return;
  updated_ = true;
  WriteRegLongBinary(path_, Memory(), static_cast<int>(Size()));
}

void SaveObjectToRegistry(const std::string& Path, TPersistent* Obj, bool AsText) {
  TRegistryStream stream(Path, TFileMode::fmCreate);
  if (AsText)
    WriteObjectText(stream, Obj);
  else
    WriteObjectBinary(stream, Obj);
  stream.UpdateRegistry();
}

void SaveObjectToRegistryBinary(const std::string& Path, TPersistent* Obj) { SaveObjectToRegistry(Path, Obj, false); }

void SaveObjectToRegistryText(const std::string& Path, TPersistent* Obj) { SaveObjectToRegistry(Path, Obj, true); }

void LoadObjectFromRegistry(const std::string& Path, TPersistent* Obj, bool AsText) {
  TRegistryStream stream(Path, TFileMode::fmOpenRead);
  if (stream.Size() <= 0) return;
  if (AsText)
    ReadObjectText(stream, Obj);
  else
    ReadObjectBinary(stream, Obj);
}

void LoadObjectFromRegistryText(const std::string& Path, TPersistent* Obj) { LoadObjectFromRegistry(Path, Obj, true); }
