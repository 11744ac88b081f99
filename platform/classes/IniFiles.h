#pragma once
// The class library's INI files over our own text (IniText.h):
//   TMemIniFile  reads the file once and keeps it in memory; UpdateFile
//                writes it (atomically: a reader sees the old or the new
//                file whole, and a failed write leaves the old one as it was);
//   TIniFile     works on the file itself: each read looks at the file again
//                when it changed on disk, and each change writes it at once.
// Both keep the file's order, comments and line breaks, and compare section
// and key names without case.
//
// The section calls of the original platform's private-profile functions are
// ReadSectionValues (the section's lines: "name=value" entries and raw lines
// without "=") and WriteSectionValues (the section's lines replaced).
//
// Errors: a file that exists but cannot be read raises EInOutError naming
// it (TMemIniFile when made, TIniFile on the read); a failed write raises
// EInOutError naming the file; a text the file cannot hold raises
// EIniFileException (see IniText.h).

#include <string>

#include "platform/classes/IniText.h"
#include "platform/classes/StoreFiles_p.h"
#include "platform/core/Object.h"

class TStrings;

// Files larger than this are not read.
inline constexpr int64_t kMaxIniFileSize = 64 << 20;

class TCustomIniFile : public TObject {
  KESTOVA_CLASS(TCustomIniFile)
 public:
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;

  const std::string& FileName() const { return fileName_; }

  bool SectionExists(const std::string& Section);
  // Default when the section or the key is missing.
  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default);
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
  // Decimal, or hexadecimal after "$" or "0x"; Default when missing or not
  // a number.
  int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
  void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
  // ReadInteger(..., Default ? 1 : 0) != 0; written as "1" or "0".
  bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
  void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
  // With the locale's decimal separator (FormatSettings); Default when
  // missing or not a number.
  double ReadFloat(const std::string& Section, const std::string& Ident, double Default);
  void WriteFloat(const std::string& Section, const std::string& Ident, double Value);

  // Each fills Strings (cleared first), in file order: the section's key
  // names; the section names; the section's lines.
  void ReadSection(const std::string& Section, TStrings& Strings);
  void ReadSections(TStrings& Strings);
  void ReadSectionValues(const std::string& Section, TStrings& Strings);
  void WriteSectionValues(const std::string& Section, const TStrings& Strings);
  // Removes every section of that name.
  void EraseSection(const std::string& Section);
  void DeleteKey(const std::string& Section, const std::string& Ident);
  bool ValueExists(const std::string& Section, const std::string& Ident);

  // Writes the text to the file.
  void UpdateFile();

 protected:
  explicit TCustomIniFile(std::string FileName) : fileName_(std::move(FileName)) {}
  // Reads the file into the text (empty when there is none).
  void LoadFile();
  // Called before every read and after every change: the two kinds differ
  // only in when they touch the disk.
  virtual void BeforeRead() {}
  virtual void AfterChange() {}

  std::string fileName_;
  TIniText text_;
  TFileStamp stamp_;
};

class TMemIniFile : public TCustomIniFile {
  KESTOVA_CLASS(TMemIniFile)
 public:
  explicit TMemIniFile(const std::string& FileName);
  // The whole text, as UpdateFile would write it; SetText replaces it.
  std::string Text() const { return text_.Text(); }
  void SetText(std::string_view Text) { text_ = TIniText(Text); }
  void Clear() { text_.Clear(); }
  // Works on another file from now on, reading it when Reload.
  void Rename(const std::string& FileName, bool Reload);
};

class TIniFile : public TCustomIniFile {
  KESTOVA_CLASS(TIniFile)
 public:
  explicit TIniFile(const std::string& FileName);

 protected:
  void BeforeRead() override;
  // After a failed write the next look reads the file again, so the change
  // that was not written is gone from memory too.
  void AfterChange() override;
};
