#include "components/base/OptionsIni.h"

#include <filesystem>
#include <mutex>

#include "components/base/PropAccess.h"
#include "platform/classes/Filer.h"
#include "platform/classes/IniFiles.h"
#include "platform/classes/RegistryStore.h"
#include "platform/core/StringList.h"

namespace {

constexpr int kBytesPerLine = 32;

struct TIniSettings {
  std::mutex Mutex;
  bool InIni = false;
  std::string FileName;
};

TIniSettings& Settings() {
  static TIniSettings settings;
  return settings;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

bool OptionsStorageInIni() {
  std::lock_guard guard(Settings().Mutex);
  return Settings().InIni;
}

void SetOptionsStorageInIni(bool Value) {
  std::lock_guard guard(Settings().Mutex);
  Settings().InIni = Value;
}

std::string OptionsIniFileName() {
  {
    std::lock_guard guard(Settings().Mutex);
    if (!Settings().FileName.empty()) return Settings().FileName;
  }
  return (std::filesystem::path(RegistryFileName()).parent_path() / "options.ini").string();
}

void SetOptionsIniFileName(std::string FileName) {
  std::lock_guard guard(Settings().Mutex);
  Settings().FileName = std::move(FileName);
}

std::vector<std::string> HexSectionLines(const std::vector<std::uint8_t>& Bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::vector<std::string> lines;
  for (size_t start = 0; start < Bytes.size(); start += kBytesPerLine) {
    std::string& line = lines.emplace_back();
    for (size_t i = start; i < Bytes.size() && i < start + kBytesPerLine; ++i) {
      line += kDigits[Bytes[i] >> 4];
      line += kDigits[Bytes[i] & 0xF];
    }
  }
  return lines;
}

bool DecodeHexSection(const std::vector<std::string>& Lines, std::vector<std::uint8_t>& Bytes) {
  Bytes.clear();
  std::string digits;
  for (const std::string& line : Lines) digits += line;
  if (digits.size() % 2 != 0) return false;
  Bytes.reserve(digits.size() / 2);
  for (size_t i = 0; i < digits.size(); i += 2) {
    const int high = HexDigitValue(digits[i]), low = HexDigitValue(digits[i + 1]);
    if (high < 0 || low < 0) {
      Bytes.clear();
      return false;
    }
    Bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
  }
  return true;
}

void WriteOptionsToIni(TPersistent* Obj, const std::string& Section) {
  TMemoryStream stream;
  WriteObjectBinary(stream, Obj);
  // The record without the stream's signature.
  const std::vector<std::uint8_t>& bytes = stream.Bytes();
  const std::vector<std::uint8_t> record(bytes.begin() + std::min<size_t>(4, bytes.size()), bytes.end());
  TStringList lines;
  for (const std::string& line : HexSectionLines(record)) lines.Add(line);

  const std::string fileName = OptionsIniFileName();
  std::error_code ignored;  // a folder that cannot be made fails the write below
  std::filesystem::create_directories(std::filesystem::path(fileName).parent_path(), ignored);
  TMemIniFile ini(fileName);
  ini.EraseSection(Section);
  ini.WriteSectionValues(Section, lines);
  ini.UpdateFile();
}

void ReadOptionsFromIni(TPersistent* Obj, const std::string& Section) {
  TStringList lines;
  TMemIniFile(OptionsIniFileName()).ReadSectionValues(Section, lines);
  std::vector<std::uint8_t> record;
  std::vector<std::string> text;
  for (int i = 0; i < lines.Count(); ++i) text.push_back(lines[i]);
  if (!DecodeHexSection(text, record) || record.empty()) return;
  TMemoryStream stream;
  stream.WriteBuffer(kFilerSignature, 4);
  stream.WriteBuffer(record.data(), static_cast<int64_t>(record.size()));
  stream.SetPosition(0);
  ReadObjectBinary(stream, Obj);
}
