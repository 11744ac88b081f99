// The bounded parser of the settings resource and the operations on one array
// of values.
#include <cstring>

#include "crashreport/zorCrypt.h"
#include "crashreport/zorExceptSettings.h"
#include "crashreport/zorStrings.h"
#include "platform/core/Codecs.h"

namespace zor {

const char kSettingsHeader[kSettingsHeaderSize + 1] = "TPF0\x0ATZorExcept\x09zorExcept";

namespace {

// Reads fields front to back; every read checks the bytes left and fails
// without moving when they are too few.
class Cursor {
 public:
  explicit Cursor(std::string_view bytes) : rest_(bytes) {}

  bool Byte(uint8_t& out) {
    if (rest_.empty()) return false;
    out = static_cast<uint8_t>(rest_[0]);
    rest_.remove_prefix(1);
    return true;
  }
  // A little-endian unsigned field of n bytes (n <= 4).
  bool Unsigned(size_t n, uint32_t& out) {
    if (rest_.size() < n) return false;
    out = 0;
    for (size_t i = 0; i < n; ++i) out |= uint32_t(static_cast<uint8_t>(rest_[i])) << (8 * i);
    rest_.remove_prefix(n);
    return true;
  }
  bool Bytes(uint64_t n, std::string_view& out) {
    if (rest_.size() < n) return false;
    out = rest_.substr(0, static_cast<size_t>(n));
    rest_.remove_prefix(static_cast<size_t>(n));
    return true;
  }

 private:
  std::string_view rest_;
};

enum class Record { Read, End, Bad };

// One value by its type code; End when a field runs past the end.
Record ReadValue(Cursor& in, uint8_t type, TZESettingValue& value) {
  uint32_t raw = 0;
  std::string_view bytes;
  switch (type) {
    case 2:
    case 3:
    case 4: {
      const size_t size = type == 2 ? 1 : type == 3 ? 2 : 4;
      if (!in.Unsigned(size, raw)) return Record::End;
      value.kind = skInteger;
      value.integer = size == 1 ? int8_t(raw) : size == 2 ? int16_t(raw) : int32_t(raw);
      return Record::Read;
    }
    case 8:
    case 9:
      value.kind = skBoolean;
      value.boolean = type == 9;
      return Record::Read;
    case 6:
    case 12:
      if (!in.Unsigned(type == 6 ? 1 : 4, raw) || !in.Bytes(raw, bytes)) return Record::End;
      value.kind = skText;
      value.text.assign(bytes);
      return Record::Read;
    case 18:
      if (!in.Unsigned(4, raw) || !in.Bytes(uint64_t{raw} * 2, bytes)) return Record::End;
      value.kind = skText;
      value.text = Utf16LEToUtf8(bytes);
      return Record::Read;
    default:
      return Record::Bad;
  }
}

}  // namespace

bool SameModule(const ZorModule& a, const ZorModule& b) { return EqualNoCase(a.name, b.name); }

std::string InvalidSettingsResourceText(uint8_t typeCode) {
  return "Internal error: Invalid settings resource (" + HexPadded(typeCode, 1, '0') + ").";
}

ParsedSettings ParseSettingsBytes(std::string_view bytes) {
  ParsedSettings out;
  if (bytes.size() < kSettingsHeaderSize || std::memcmp(bytes.data(), kSettingsHeader, kSettingsHeaderSize) != 0)
    return out;
  out.array.capacity = kSettingsInitialCapacity;
  out.array.values.reserve(kSettingsInitialCapacity);
  Cursor in(bytes.substr(kSettingsHeaderSize));
  for (;;) {
    uint8_t nameLength = 0, type = 0;
    std::string_view name;
    if (!in.Byte(nameLength) || nameLength == 0 || !in.Bytes(nameLength, name) || !in.Byte(type)) break;
    TZESettingValue value;
    value.name.assign(name);
    const Record record = ReadValue(in, type, value);
    if (record == Record::Bad) out.badType = type;
    if (record != Record::Read) break;
    AppendSettingValue(out.array, std::move(value));
  }
  return out;
}

int32_t IndexOfSetting(const SettingArray& array, std::string_view name) {
  for (size_t i = 0; i < array.values.size(); ++i)
    if (array.values[i].name == name) return static_cast<int32_t>(i);
  return -1;
}

int32_t AppendSettingValue(SettingArray& array, TZESettingValue value) {
  if (array.values.size() >= static_cast<size_t>(array.capacity)) {
    array.capacity += kSettingsCapacityGrowth;
    array.values.reserve(array.capacity);
  }
  array.values.push_back(std::move(value));
  return static_cast<int32_t>(array.values.size() - 1);
}

bool StoreSettingOfKind(SettingArray& array, const TZESettingValue& value) {
  const int32_t i = IndexOfSetting(array, value.name);
  if (i < 0) {
    AppendSettingValue(array, value);
    return true;
  }
  if (array.values[i].kind != value.kind) return false;
  array.values[i] = value;
  return true;
}

void StoreSettingText(TZESettingValue& value, std::string_view text) { value.text.assign(text); }

std::string SettingText(const SettingArray& array, std::string_view name) {
  const int32_t i = IndexOfSetting(array, name);
  return i < 0 ? std::string() : array.values[i].text;
}

void DecipherStoredPasswords(SettingArray& array) {
  static constexpr const char* kGroups[][3] = {{"SmtpPassword", "SmtpServer", "SmtpAccount"},
                                               {"HttpPassword", "HttpServer", "HttpAccount"}};
  for (const auto& group : kGroups) {
    const int32_t i = IndexOfSetting(array, group[0]);
    if (i < 0 || array.values[i].text.empty()) continue;
    const std::string plain = DecipherStoredPassword(Base64DecodeText(array.values[i].text),
                                                     SettingText(array, group[2]), SettingText(array, group[1]));
    StoreSettingText(array.values[i], plain);
  }
}

}  // namespace zor
