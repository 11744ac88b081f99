#pragma once
// The component family's settings in the current user's registry, below one
// settings root. A setting is addressed by one path relative to the root
// whose last part is the value name: "CodeEdit\Options" is value Options of
// key CodeEdit below the root.
//
// Every routine opens the key it needs on one shared registry object and
// closes it again before it returns, also when it raises. Errors of the
// registry object go through as ERegistryException (a value of another type,
// a value larger than the caller's buffer, a write that the file does not
// take); a missing key or value is no error when reading: binary reads give
// 0 bytes, sizes -1, Variant reads their default. Writers do nothing for an
// empty path.
//
// Long values: on the older consumer platform (IsWinNT false; a test
// switch, see PlatformId.h) a binary value is kept in pieces. The value
// itself then holds a 36-byte header, "__Long RegKey__" followed by the total
// and the piece size as "%.10d %.10d" ("0000020000 0000008192"), and the data
// lies in the values <name>__0, <name>__1, ... of 8192 bytes each, the last
// one shorter. On the NT platform every binary value is one value and the
// header is not looked for.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/Registry.h"
#include "platform/classes/Variant.h"
#include "platform/core/Streams.h"

class TStrings;
class TPersistent;

inline constexpr const char* kDefaultSettingsRoot = "Software\\Kestova (Components)\\Yandrel Report\\Version 4.11";
inline constexpr const char* kLongRegKeyMarker = "__Long RegKey__";
inline constexpr int kLongRegHeaderSize = 36;
inline constexpr int kLongRegPieceSize = 8192;
// Raised by WriteRegVariant for a type it cannot write, and by
// ReadRegVariant (followed by "($hhhh)", the default's type code in
// hexadecimal) for a default of such a type.
inline constexpr const char* kRegVariantUnsupportedText = "This type isn't supported by WriteToRegistry";

// The settings root, below HKEY_CURRENT_USER; kDefaultSettingsRoot unless
// SetSettingsRoot chose another.
const std::string& SettingsRoot();
void SetSettingsRoot(std::string Root);

// Whether the platform is the NT one (Win32Platform() == 2).
bool IsWinNT();

// Path split: full = root with a "\" added when missing (an empty root stays
// empty) + Path; the value name is what follows the last "\" of full, the key
// what precedes it, without a trailing "\".
struct TSettingsPath {
  std::string Key;
  std::string ValueName;
};
TSettingsPath SplitSettingsPath(const std::string& Path);

// The registry object the routines share: made on first use, freed by
// FreeSharedRegistry (module shut-down).
TRegistry& SharedRegistry();
void FreeSharedRegistry();

// Nothing when the key or the value name is empty; creates the key.
void WriteRegBinary(const std::string& Path, const void* Data, int Count);
// The bytes read (0 when the key or the value is missing).
int ReadRegBinary(const std::string& Path, void* Buffer, int Count);
// The value's size in bytes, -1 when the key or the value is missing.
int GetRegDataSize(const std::string& Path);

// WriteRegBinary on the NT platform; otherwise the header and the pieces (a
// Count of 0 writes the header alone).
void WriteRegLongBinary(const std::string& Path, const void* Data, int Count);
// False on the NT platform. Otherwise reads the value whole (a buffer of its
// size, at least 36 bytes) and recognises the header: at least 36 bytes,
// the marker first, then the total and the piece size (a text that is not a
// number reads as 0). A header whose piece size is not above 0, or whose
// total is negative or larger than a registry file can be
// (kMaxRegistryFileSize), is no long value.
bool IsRegLongValue(const std::string& Path, int& Total, int& PieceSize);
// The header's total for a long value, else GetRegDataSize.
int GetRegLongDataSize(const std::string& Path);
// For a long value: the pieces in order into consecutive places of Buffer,
// until min(Count, total) bytes are covered or a piece is shorter than the
// piece size; never more than Count bytes are copied. Otherwise
// ReadRegBinary. Returns the bytes copied.
int ReadRegLongBinary(const std::string& Path, void* Buffer, int Count);

// Writes by the Variant's type: Smallint, Integer and Byte as integers
// (DWORD), Single and Double as floats, Currency, Date (8-byte binary
// values), OLE strings and strings as strings, Boolean as a DWORD 0 or 1.
// Any other type raises Exception(kRegVariantUnsupportedText), writing
// nothing.
void WriteRegVariant(const std::string& Path, const TVariant& Value);
// Default when the key or the value is missing; otherwise the value read by
// the type of Default: integer kinds give an Integer, Single and Double a
// Double, Boolean a Boolean, strings a string. A Currency or Date default
// reads a string value as a string and any other value as a Currency or a
// Date, so that what WriteRegVariant wrote reads back. A value of another
// type raises the registry object's error; a Default of any other type
// raises kRegVariantUnsupportedText + "($hhhh)".
TVariant ReadRegVariant(const std::string& Path, const TVariant& Default);

// Reads a string value (the list's text as default) into the list's text.
void ReadRegStrings(const std::string& Path, TStrings& Strings);
// Writes the list's text, each line followed by CR LF, as a string value.
void WriteRegStrings(const std::string& Path, const TStrings& Strings);

// A memory stream over one (long) binary value.
//
// Create mode (TFileMode::fmCreate) starts empty; any other mode reads the
// value (GetRegLongDataSize, ReadRegLongBinary; pieces that end early leave
// zero bytes at the end). UpdateRegistry writes the
// stream back with WriteRegLongBinary: in create mode always, otherwise when
// anything was written or the size differs from the value's (a missing
// value counts as size -1, so a stream that was only read writes nothing).
//
// The destructor calls UpdateRegistry unless an exception is passing through
// it (the stored value then stays as it was: a writer that fails half-way
// leaves the old value) or UpdateRegistry already ran; an error it meets is
// swallowed, since a destructor cannot report it. Call UpdateRegistry to see
// errors.
class TRegistryStream : public TMemoryStream {
  KESTOVA_CLASS(TRegistryStream)
 public:
  TRegistryStream(std::string Path, uint16_t Mode);
  ~TRegistryStream() override;

  int64_t Write(const void* Buffer, int64_t Count) override;
  void UpdateRegistry();

  bool Modified() const { return modified_; }
  // -1 when the value was missing; 0 in create mode.
  int InitialSize() const { return initialSize_; }

 private:
  bool Pending();

  std::string path_;
  bool modified_ = false;
  bool create_ = false;
  bool updated_ = false;
  int initialSize_ = -1;
  int uncaught_ = 0;
};

// Writes Obj as a component stream (text form with AsText) into one binary
// value, replacing it only when the whole object was written; an object that
// is not a component travels in a holder (PropAccess.h).
void SaveObjectToRegistry(const std::string& Path, TPersistent* Obj, bool AsText);
void SaveObjectToRegistryBinary(const std::string& Path, TPersistent* Obj);
void SaveObjectToRegistryText(const std::string& Path, TPersistent* Obj);
// Reads Obj back when the value holds data; nothing for a missing or empty
// value. Reader errors go through (EReadError).
void LoadObjectFromRegistry(const std::string& Path, TPersistent* Obj, bool AsText);
void LoadObjectFromRegistryText(const std::string& Path, TPersistent* Obj);
