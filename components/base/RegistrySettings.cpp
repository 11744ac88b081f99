#include "components/base/RegistrySettings.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "platform/classes/PlatformId.h"
#include "platform/classes/RegistryStore.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/StrUtils.h"
#include "platform/core/StringList.h"

namespace {

std::string& RootSetting() {
  static std::string root = kDefaultSettingsRoot;
  return root;
}

std::unique_ptr<TRegistry>& RegistrySlot() {
  static std::unique_ptr<TRegistry> registry;
  return registry;
}

// Opens the key of a path on the shared registry and closes it again on
// every way out.
class TSettingsKey {
 public:
  explicit TSettingsKey(const std::string& Path) : path_(SplitSettingsPath(Path)), reg_(SharedRegistry()) {}
  ~TSettingsKey() { reg_.CloseKey(); }
  TSettingsKey(const TSettingsKey&) = delete;
  TSettingsKey& operator=(const TSettingsKey&) = delete;

  bool Open(bool CanCreate) { return reg_.OpenKey("\\" + path_.Key, CanCreate); }
  const std::string& Name() const { return path_.ValueName; }
  const std::string& Key() const { return path_.Key; }
  TRegistry* operator->() { return &reg_; }

 private:
  TSettingsPath path_;
  TRegistry& reg_;
};

std::string PieceName(const std::string& Path, int Index) { return Path + "__" + std::to_string(Index); }

// Ten digits, as "%.10d" writes a number that is not negative.
std::string TenDigits(int Value) {
  std::string digits = std::to_string(Value);
  return std::string(digits.size() < 10 ? 10 - digits.size() : 0, '0') + digits;
}

}  // namespace

const std::string& SettingsRoot() { return RootSetting(); }

void SetSettingsRoot(std::string Root) { RootSetting() = std::move(Root); }

bool IsWinNT() { return Win32Platform() == VER_PLATFORM_WIN32_NT; }

TSettingsPath SplitSettingsPath(const std::string& Path) {
  std::string full = SettingsRoot();
  if (!full.empty() && full.back() != '\\') full += '\\';
  full += Path;
  const size_t slash = full.rfind('\\');
  if (slash == std::string::npos) return {"", full};
  TSettingsPath result{full.substr(0, slash), full.substr(slash + 1)};
  while (!result.Key.empty() && result.Key.back() == '\\') result.Key.pop_back();
  return result;
}

TRegistry& SharedRegistry() {
  std::unique_ptr<TRegistry>& registry = RegistrySlot();
  if (!registry) registry = std::make_unique<TRegistry>();
  return *registry;
}

void FreeSharedRegistry() { RegistrySlot().reset(); }

void WriteRegBinary(const std::string& Path, const void* Data, int Count) {
  if (Path.empty()) return;
  TSettingsKey key(Path);
  if (key.Key().empty() || key.Name().empty()) return;
  if (key.Open(true)) key->WriteBinaryData(key.Name(), Data, Count);
}

int ReadRegBinary(const std::string& Path, void* Buffer, int Count) {
  TSettingsKey key(Path);
  if (!key.Open(false) || !key->ValueExists(key.Name())) return 0;
  return key->ReadBinaryData(key.Name(), Buffer, Count);
}

int GetRegDataSize(const std::string& Path) {
  TSettingsKey key(Path);
  if (!key.Open(false)) return -1;
  return key->GetDataSize(key.Name());
}

void WriteRegLongBinary(const std::string& Path, const void* Data, int Count) {
  // A negative count goes to the registry object, which refuses it.
  if (IsWinNT() || Count < 0) return WriteRegBinary(Path, Data, Count);
  const std::string header = kLongRegKeyMarker + TenDigits(Count) + " " + TenDigits(kLongRegPieceSize);
  WriteRegBinary(Path, header.data(), static_cast<int>(header.size()));
  const auto* bytes = static_cast<const char*>(Data);
  for (int done = 0, piece = 0; done < Count; done += kLongRegPieceSize, ++piece)
    WriteRegBinary(PieceName(Path, piece), bytes + done, std::min(kLongRegPieceSize, Count - done));
}

bool IsRegLongValue(const std::string& Path, int& Total, int& PieceSize) {
  Total = 0;
  PieceSize = 0;
  if (IsWinNT()) return false;
  // The buffer is as large as the value, so a value longer than the header
  // reads whole instead of raising for a buffer that is too small.
  const int size = std::max(GetRegDataSize(Path), kLongRegHeaderSize);
  std::vector<char> buffer(static_cast<size_t>(size));
  if (ReadRegBinary(Path, buffer.data(), size) != size) return false;
  const std::string_view text(buffer.data(), buffer.size());
  if (!text.starts_with(kLongRegKeyMarker)) return false;
  const int total = StrToIntDef(text.substr(15, 10), 0);
  const int piece = StrToIntDef(text.substr(26, 10), 0);
  // A piece size of 0 would read the same piece for ever; a total beyond
  // what a registry file can hold is a damaged header, not a size to
  // allocate.
  if (piece <= 0 || total < 0 || total > kMaxRegistryFileSize) return false;
  Total = total;
  PieceSize = piece;
  return true;
}

int GetRegLongDataSize(const std::string& Path) {
  int total = 0, piece = 0;
  return IsRegLongValue(Path, total, piece) ? total : GetRegDataSize(Path);
}

int ReadRegLongBinary(const std::string& Path, void* Buffer, int Count) {
  int total = 0, pieceSize = 0;
  if (!IsRegLongValue(Path, total, pieceSize)) return ReadRegBinary(Path, Buffer, Count);
  auto* place = static_cast<char*>(Buffer);
  int remaining = std::min(Count, total);
  int done = 0;
  for (int piece = 0; remaining > 0; ++piece) {
    // Each piece lands in a buffer of its own, no larger than the piece
    // size or the value, and only what the caller has room for is copied.
    const std::string name = PieceName(Path, piece);
    const int stored = GetRegDataSize(name);
    std::vector<char> data(static_cast<size_t>(std::clamp(stored, 0, pieceSize)));
    const int read = ReadRegBinary(name, data.data(), static_cast<int>(data.size()));
    const int copied = std::min(read, remaining);
    if (copied > 0) std::memcpy(place, data.data(), static_cast<size_t>(copied));
    done += copied;
    if (read < pieceSize) break;
    place += copied;
    remaining -= copied;
  }
  return done;
}

void WriteRegVariant(const std::string& Path, const TVariant& Value) {
  if (Path.empty()) return;
  switch (VarType(Value)) {
    case varSmallint:
    case varInteger:
    case varByte:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varOleStr:
    case varString:
    case varBoolean:
      break;
    default:
      throw Exception(kRegVariantUnsupportedText);
  }
  TSettingsKey key(Path);
  if (!key.Open(true)) return;
  const std::string& name = key.Name();
  switch (VarType(Value)) {
    case varSmallint:
    case varInteger:
    case varByte:
      return key->WriteInteger(name, Value.AsInteger());
    case varSingle:
    case varDouble:
      return key->WriteFloat(name, Value.AsDouble());
    case varCurrency:
      return key->WriteCurrency(name, Value.AsCurrency());
    case varDate:
      return key->WriteDate(name, Value.AsDate());
    case varBoolean:
      return key->WriteBool(name, Value.AsBoolean());
    default:
      return key->WriteString(name, Value.AsString());
  }
}

TVariant ReadRegVariant(const std::string& Path, const TVariant& Default) {
  TSettingsKey key(Path);
  if (!key.Open(false) || !key->ValueExists(key.Name())) return Default;
  const std::string& name = key.Name();
  const bool stringValue = key->GetDataType(name) == rdString || key->GetDataType(name) == rdExpandString;
  switch (VarType(Default)) {
    case varSmallint:
    case varInteger:
    case varByte:
      return static_cast<int32_t>(key->ReadInteger(name));
    case varSingle:
    case varDouble:
      return key->ReadFloat(name);
    case varCurrency:
      return stringValue ? TVariant(key->ReadString(name)) : TVariant(key->ReadCurrency(name));
    case varDate:
      return stringValue ? TVariant(key->ReadString(name)) : TVariant(TVarDate{key->ReadDate(name)});
    case varOleStr:
    case varString:
      return key->ReadString(name);
    case varBoolean:
      return key->ReadBool(name);
    default:
      throw Exception(std::string(kRegVariantUnsupportedText) + "($" + IntToHex(VarType(Default), 4) + ")");
  }
}

void ReadRegStrings(const std::string& Path, TStrings& Strings) {
  Strings.SetText(ReadRegVariant(Path, Strings.Text()).AsString());
}

void WriteRegStrings(const std::string& Path, const TStrings& Strings) {
  std::string text;
  for (int i = 0; i < Strings.Count(); ++i) text += Strings[i] + "\r\n";
  WriteRegVariant(Path, text);
}
