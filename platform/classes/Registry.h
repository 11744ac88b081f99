#pragma once
// TRegistry: the class library's registry object, on the per-user registry
// file (RegistryStore.h) for HKEY_CURRENT_USER. The other root keys are
// empty and read-only, so look-ups there answer "absent" and writes fail.
//
// Keys are addressed by paths with "\" between names. A path that starts
// with "\" starts at the root key; any other path starts at the open key,
// or at the root when none is open. Names compare without case.
//
// Reads and writes work on the open key and raise ERegistryException with
// the class library's texts, naming the value:
//   - a value of another type, or larger than a caller's buffer:
//     "Invalid data type for '<name>'" (kRegInvalidDataTypeText);
//   - ReadInteger, ReadBool, ReadFloat and the other fixed-size reads of a
//     missing value, or of a value too large for the type, and any read
//     without an open key: "Failed to get data for '<name>'";
//   - a write without an open key, on a key opened read-only or on a
//     read-only root, or one the file does not take: "Failed to set data for
//     '<name>'" (when the file could not be written, a second line says why).
// ReadString and ReadBinaryData of a missing value give "" and 0.
//
// Floats, currencies and dates are 8-byte binary values (a double, the
// currency's 64-bit count of ten-thousandths, a TDateTime), as the class
// library stores them; integers and Booleans are DWORD values.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/Currency.h"
#include "platform/core/DateTime.h"
#include "platform/core/Object.h"

class TStrings;
class TRegKeyNode;
struct TRegValue;

using HKEY = uintptr_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr HKEY HKEY_USERS = 0x80000003;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;

inline constexpr const char* kRegInvalidDataTypeText = "Invalid data type for '%s'";
inline constexpr const char* kRegGetDataFailedText = "Failed to get data for '%s'";
inline constexpr const char* kRegSetDataFailedText = "Failed to set data for '%s'";
inline constexpr const char* kRegCreateFailedText = "Failed to create key %s";

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
  TRegDataType RegData = rdUnknown;
  int DataSize = 0;
};

// Lengths in bytes.
struct TRegKeyInfo {
  int NumSubKeys = 0;
  int MaxSubKeyLen = 0;
  int NumValues = 0;
  int MaxValueLen = 0;
  int MaxDataLen = 0;
};

class TRegistry : public TObject {
  KESTOVA_CLASS(TRegistry)
 public:
  // Root HKEY_CURRENT_USER, no key open.
  TRegistry();
  ~TRegistry() override = default;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return rootKey_; }
  // Closes the open key when the root changes.
  void SetRootKey(HKEY Value);
  // Non-zero while a key is open.
  HKEY CurrentKey() const { return key_.Handle; }
  // The open key's path as it was asked for (relative opens are appended to
  // it with "\"); "" when none is open.
  const std::string& CurrentPath() const { return key_.PathText; }

  // Opens the key (which becomes the open key); with CanCreate the key and
  // the keys above it are added when missing. False when the key is missing
  // (and not created) or the path is invalid; the open key then stays.
  bool OpenKey(const std::string& Key, bool CanCreate);
  // Opens an existing key for reading only: writes to it fail.
  bool OpenKeyReadOnly(const std::string& Key);
  void CloseKey();
  // Adds the key when missing, leaving the open key as it is; true when it
  // exists afterwards. Raises ERegistryException "Failed to create key <Key>"
  // when it cannot be added.
  bool CreateKey(const std::string& Key);
  // Removes the key with everything below it; false when it is missing or
  // cannot be removed ("" names no key).
  bool DeleteKey(const std::string& Key);
  bool DeleteValue(const std::string& Name);
  bool KeyExists(const std::string& Key);
  bool ValueExists(const std::string& Name);
  bool HasSubKeys();
  // False (Value zeroed) without an open key.
  bool GetKeyInfo(TRegKeyInfo& Value);
  // False (Value zeroed) when the value is missing. Multi-strings are
  // rdUnknown. Sizes are in bytes: texts count their closing NUL.
  bool GetDataInfo(const std::string& ValueName, TRegDataInfo& Value);
  TRegDataType GetDataType(const std::string& ValueName);
  // -1 when the value is missing.
  int GetDataSize(const std::string& ValueName);
  // Fill Strings (cleared first) in stored order.
  void GetKeyNames(TStrings& Strings);
  void GetValueNames(TStrings& Strings);

  // A string or expand-string value, up to its first NUL.
  std::string ReadString(const std::string& Name);
  void WriteString(const std::string& Name, const std::string& Value);
  void WriteExpandString(const std::string& Name, const std::string& Value);
  int ReadInteger(const std::string& Name);
  void WriteInteger(const std::string& Name, int Value);
  bool ReadBool(const std::string& Name);
  void WriteBool(const std::string& Name, bool Value);
  double ReadFloat(const std::string& Name);
  void WriteFloat(const std::string& Name, double Value);
  Currency ReadCurrency(const std::string& Name);
  void WriteCurrency(const std::string& Name, Currency Value);
  TDateTime ReadDate(const std::string& Name) { return ReadDateTime(Name); }
  void WriteDate(const std::string& Name, TDateTime Value) { WriteDateTime(Name, Value); }
  TDateTime ReadTime(const std::string& Name) { return ReadDateTime(Name); }
  void WriteTime(const std::string& Name, TDateTime Value) { WriteDateTime(Name, Value); }
  TDateTime ReadDateTime(const std::string& Name);
  void WriteDateTime(const std::string& Name, TDateTime Value);
  // Copies a binary (or multi-string) value into Buffer and returns its
  // size; 0 when the value is missing. Raises kRegInvalidDataTypeText for
  // another type or a value larger than BufSize.
  int ReadBinaryData(const std::string& Name, void* Buffer, int BufSize);
  void WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize);
  // A multi-string value as lines (cleared first; nothing when missing).
  // Lines end at a NUL and empty ones are not written: the value type
  // cannot hold them.
  void ReadMultiString(const std::string& Name, TStrings& Strings);
  void WriteMultiString(const std::string& Name, const TStrings& Strings);

 protected:
  // The open key, kept by path and looked up at each use, so that a key
  // removed through another registry object simply stops answering.
  struct TKeyState {
    HKEY Handle = 0;
    std::vector<std::string> Names;
    std::string PathText;
    bool ReadOnly = false;
  };
  TKeyState SaveKeyState() const { return key_; }
  void RestoreKeyState(TKeyState State) { key_ = std::move(State); }

 private:
  // The names Key stands for; false when the path is invalid.
  bool ResolveKey(const std::string& Key, std::vector<std::string>& Names, bool& Relative) const;
  bool ReadTree(const std::function<void(const TRegKeyNode&)>& Visit) const;
  // False on a read-only root.
  bool ChangeTree(const std::function<bool(TRegKeyNode&)>& Edit);
  // Whether the key exists, after adding it when CanCreate allows.
  bool EnsureKey(const std::vector<std::string>& Names, bool Relative, bool CanCreate);
  bool ChangeKey(const std::string& Key, bool CanCreate, bool ReadOnly);
  bool Fetch(const std::string& Name, TRegValue& Value) const;
  std::string FetchFixed(const std::string& Name, size_t Size, uint32_t Type) const;
  void PutData(const std::string& Name, std::string Data, uint32_t Type);

  HKEY rootKey_ = HKEY_CURRENT_USER;
  TKeyState key_;
};
