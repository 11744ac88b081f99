#pragma once
// The reporter's settings resource and the process-wide store of its values.
//
// A module (the executable or a shared library that carries the reporter)
// may carry settings as the resource (module, "RCDATA", "TZOREXCEPT") of the
// resource store. Its bytes are a component stream of which only the root's
// property list is read, by the bounded parser below (never the class
// library's reader):
//   offset 0, 25 bytes: "TPF0", 10, "TZorExcept", 9, "zorExcept", compared
//     byte for byte;
//   then records: name length (1 byte, 1..255; 0 ends the list), the name
//     (8-bit, case-sensitive), a type byte and the value:
//     2 int8, 3 int16 LE, 4 int32 LE      -> skInteger, sign-extended
//     8 false, 9 true                     -> skBoolean
//     6 length byte + bytes, 12 uint32 LE length + bytes -> skText, bytes kept
//     18 uint32 LE count of UTF-16 units + 2 bytes each  -> skText as UTF-8,
//        an unpaired surrogate becoming U+FFFD
//   anything after the ending zero is ignored.
// Every length and field is checked against the bytes left: a record that
// runs past the end ends the list and the values before it stay, silently.
// An unknown type code also ends the list, keeping the values before it, and
// is reported through the message sink (zorExceptMessages.h).
//
// The store keeps one list per module for the whole process, in one chain
// guarded by a mutex; the chain itself is reference-counted (the shared
// buffer), and each list counts its users. Values are read and written under
// the list's own lock and readers always get copies, so a reader never holds
// a text that a writer replaces.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zor {

// A module of the process: its name in the resource store, and an address
// inside its code, from which its file is found (nullptr: the executable).
// Modules are the same when their names are equal without case, as the
// resource store compares them.
struct ZorModule {
  std::string name;
  const void* address = nullptr;
};
bool SameModule(const ZorModule& a, const ZorModule& b);

enum SettingKind : uint8_t { skText = 0, skInteger = 1, skBoolean = 2 };

// One value. An empty text stands for "no text".
struct TZESettingValue {
  std::string name;
  SettingKind kind = skText;
  bool boolean = false;
  int32_t integer = 0;
  std::string text;
  bool operator==(const TZESettingValue&) const = default;
};

// The values of one module. The capacity follows the resource format's own
// growth rule: 131 records once a resource is parsed, 20 more whenever a full
// array takes another value; 0 before any array exists.
struct SettingArray {
  int32_t capacity = 0;
  std::vector<TZESettingValue> values;
};

inline constexpr int32_t kSettingsInitialCapacity = 131;
inline constexpr int32_t kSettingsCapacityGrowth = 20;
inline constexpr size_t kSettingsHeaderSize = 25;
extern const char kSettingsHeader[kSettingsHeaderSize + 1];

// The outcome of parsing resource bytes. A header that does not match gives
// no array (capacity 0) and no error; `badType` holds an unknown type code
// that ended the list.
struct ParsedSettings {
  SettingArray array;
  std::optional<uint8_t> badType;
};
ParsedSettings ParseSettingsBytes(std::string_view bytes);
// "Internal error: Invalid settings resource ($7)." for type code 7.
std::string InvalidSettingsResourceText(uint8_t typeCode);

// Index of the first value named exactly `name`, or -1.
int32_t IndexOfSetting(const SettingArray& array, std::string_view name);
// Appends a value, growing the capacity by 20 when the array is full;
// returns its index.
int32_t AppendSettingValue(SettingArray& array, TZESettingValue value);
// Writes `value` over the first value of its name, appending it when the
// name is absent; false, changing nothing, when the stored value is of
// another kind.
bool StoreSettingOfKind(SettingArray& array, const TZESettingValue& value);
// Replaces the value's text (an empty text is "no text").
void StoreSettingText(TZESettingValue& value, std::string_view text);
// The text of the first value named `name`; empty when absent.
std::string SettingText(const SettingArray& array, std::string_view name);

// Stored passwords: "SmtpPassword" and "HttpPassword" hold the base64 text of
// the enciphered password. Each non-empty one is decoded and deciphered with
// the account and server of its group ("SmtpAccount"/"SmtpServer",
// "HttpAccount"/"HttpServer") and replaced by the plain text.
void DecipherStoredPasswords(SettingArray& array);

// --- Resources -----------------------------------------------------------------

// The module's settings resource bytes, or nothing.
std::optional<std::string> FindSettingsResource(const ZorModule& module);
// Parses the module's resource; an unknown type code is reported through the
// message sink. No resource gives no array.
SettingArray ParseSettingsResource(const ZorModule& module);

// --- The store -------------------------------------------------------------------

class TZEModuleSettingList;

// References on the process-wide chain; the chain is made on the first and
// dropped on the last. Releasing without a reference does nothing.
bool AcquireSharedSettingsBuffer();
void ReleaseSharedSettingsBuffer();
// The number of references on the chain; 0 when it does not exist.
int SharedSettingsBufferReferences();

// The module's list, parsed on its first acquisition (passwords deciphered),
// with one more user; nullptr when the module carries no settings resource.
// Each acquired list also holds one reference on the chain.
TZEModuleSettingList* AcquireModuleSettingList(const ZorModule& module);
// Drops one user; the last one frees the list (whether it is still in the
// chain or was unlinked), then one chain reference is released.
void ReleaseModuleSettingList(TZEModuleSettingList* list);
// Parses the module's resource again into the list; values written since the
// last load are lost.
void ReloadModuleSettingList(const ZorModule& module, TZEModuleSettingList* list);
// Takes the first list of the module out of the chain without freeing it: its
// users keep it, no new user finds it.
void UnlinkModuleSettingList(const ZorModule& module);
// The names of the modules whose lists are in the chain, in chain order.
std::vector<std::string> SettingsChainModules();

// Replaces the list's values with the module's resource, parsed and with its
// passwords deciphered. Returns the message an unknown type code gives, for
// the caller to show once no lock is held; empty when none.
std::string LoadModuleSettingList(const ZorModule& module, TZEModuleSettingList* list);
// Clears the list's values and capacity.
void FreeSettingValues(TZEModuleSettingList* list);

// Values, under the list's lock; results are copies.
std::string ReadListText(TZEModuleSettingList* list, std::string_view name);
// Replaces the text of an existing value; false when the name is absent.
bool WriteListText(TZEModuleSettingList* list, std::string_view name, std::string_view text);
std::optional<TZESettingValue> ReadListValue(TZEModuleSettingList* list, std::string_view name);
// Replaces the first value of that name, or appends it.
void WriteListValue(TZEModuleSettingList* list, const TZESettingValue& value);
// StoreSettingOfKind on the list's values; false for no list.
bool WriteListValueOfKind(TZEModuleSettingList* list, const TZESettingValue& value);
SettingArray ListSnapshot(TZEModuleSettingList* list);
int ListReferences(TZEModuleSettingList* list);

}  // namespace zor
