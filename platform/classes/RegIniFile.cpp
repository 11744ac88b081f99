#include "platform/classes/RegIniFile.h"

#include "platform/core/NumberFormat.h"
#include "platform/core/StringList.h"

KESTOVA_CLASS_INFO(TRegIniFile, TRegistry, "Registry", nullptr)

TRegIniFile::TRegIniFile(const std::string& FileName) : fileName_(FileName) { OpenKey(FileName, true); }

bool TRegIniFile::InSection(const std::string& Section, bool Create, const std::function<void()>& Body) {
  if (Create) CreateKey(Section);
  // The file's key is open again however Body ends.
  struct TRestore {
    TRegIniFile& File;
    TKeyState Saved;
    ~TRestore() { File.RestoreKeyState(std::move(Saved)); }
  } restore{*this, SaveKeyState()};
  if (!OpenKey(Section, false)) return false;
  Body();
  return true;
}

std::string TRegIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
  std::string result = Default;
  InSection(Section, false, [&] {
    if (ValueExists(Ident)) result = TRegistry::ReadString(Ident);
  });
  return result;
}

void TRegIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  InSection(Section, true, [&] { TRegistry::WriteString(Ident, Value); });
}

int TRegIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
  int result = Default;
  InSection(Section, false, [&] {
    if (!ValueExists(Ident)) return;
    result = GetDataType(Ident) == rdString ? StrToInt(TRegistry::ReadString(Ident)) : TRegistry::ReadInteger(Ident);
  });
  return result;
}

void TRegIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TRegIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

void TRegIniFile::ReadSection(const std::string& Section, TStrings& Strings) {
  Strings.Clear();
  InSection(Section, false, [&] { GetValueNames(Strings); });
}

void TRegIniFile::ReadSections(TStrings& Strings) { GetKeyNames(Strings); }

void TRegIniFile::ReadSectionValues(const std::string& Section, TStrings& Strings) {
  TStringList idents;
  ReadSection(Section, idents);
  Strings.BeginUpdate();
  Strings.Clear();
  for (const std::string& ident : idents) Strings.Add(ident + "=" + ReadString(Section, ident, ""));
  Strings.EndUpdate();
}

void TRegIniFile::EraseSection(const std::string& Section) { TRegistry::DeleteKey(Section); }

void TRegIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  InSection(Section, false, [&] { DeleteValue(Ident); });
}
