#include "platform/classes/IniFiles.h"

#include "platform/core/FormatSettings.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/StringList.h"

KESTOVA_CLASS_INFO(TCustomIniFile, TObject, "IniFiles", nullptr)
KESTOVA_CLASS_INFO(TMemIniFile, TCustomIniFile, "IniFiles", nullptr)
KESTOVA_CLASS_INFO(TIniFile, TCustomIniFile, "IniFiles", nullptr)

void TCustomIniFile::LoadFile() {
  stamp_ = StampOf(fileName_);
  text_ = TIniText(stamp_.Exists ? ReadFileBytes(fileName_, kMaxIniFileSize) : std::string());
}

bool TCustomIniFile::SectionExists(const std::string& Section) {
  BeforeRead();
  return text_.SectionExists(Section);
}

std::string TCustomIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                       const std::string& Default) {
  BeforeRead();
  std::string value;
  return text_.Find(Section, Ident, value) ? value : Default;
}

void TCustomIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  BeforeRead();
  text_.SetValue(Section, Ident, Value);
  AfterChange();
}

int TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
  return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& Section, const std::string& Ident, double Default) {
  double value = Default;
  const std::string text = ReadString(Section, Ident, "");
  return !text.empty() && TryStrToFloat(text, value, FormatSettings()) ? value : Default;
}

void TCustomIniFile::WriteFloat(const std::string& Section, const std::string& Ident, double Value) {
  WriteString(Section, Ident, FloatToStr(Value));
}

void TCustomIniFile::ReadSection(const std::string& Section, TStrings& Strings) {
  BeforeRead();
  SetLines(Strings, text_.Idents(Section));
}

void TCustomIniFile::ReadSections(TStrings& Strings) {
  BeforeRead();
  SetLines(Strings, text_.SectionNames());
}

void TCustomIniFile::ReadSectionValues(const std::string& Section, TStrings& Strings) {
  BeforeRead();
  SetLines(Strings, text_.SectionLines(Section));
}

void TCustomIniFile::WriteSectionValues(const std::string& Section, const TStrings& Strings) {
  BeforeRead();
  text_.SetSectionLines(Section, LinesOf(Strings));
  AfterChange();
}

void TCustomIniFile::EraseSection(const std::string& Section) {
  BeforeRead();
  if (text_.EraseSection(Section)) AfterChange();
}

void TCustomIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  BeforeRead();
  if (text_.DeleteKey(Section, Ident)) AfterChange();
}

bool TCustomIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
  std::string value;
  BeforeRead();
  return text_.Find(Section, Ident, value);
}

void TCustomIniFile::UpdateFile() {
  ReplaceFileAtomically(fileName_, text_.Text(), 0666);
  stamp_ = StampOf(fileName_);
}

TMemIniFile::TMemIniFile(const std::string& FileName) : TCustomIniFile(FileName) { LoadFile(); }

void TMemIniFile::Rename(const std::string& FileName, bool Reload) {
  fileName_ = FileName;
  if (Reload) LoadFile();
}

TIniFile::TIniFile(const std::string& FileName) : TCustomIniFile(FileName) {}

void TIniFile::BeforeRead() {
  if (!stamp_.Exists || StampOf(fileName_) != stamp_) LoadFile();
}

void TIniFile::AfterChange() {
  try {
    UpdateFile();
  } catch (...) {
    stamp_ = {};
    throw;
  }
}
