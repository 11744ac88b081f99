#pragma once
// TRegIniFile: the registry seen as an INI file. The "file" is a key below
// HKEY_CURRENT_USER (opened, and added when missing, by the constructor);
// a section is a sub-key of it (a section starting with "\" is a key path
// from the root, "" is the file's key itself) and an ident a value of that
// key. Integers and Booleans are written as texts ("42"; "1" or "0"), as the
// class library does; reads take DWORD values too.
//
// Reads of a missing section or ident give the default. Writes add the
// section when missing and raise ERegistryException as TRegistry does (for a
// section that cannot be added: "Failed to create key <section>").

#include <string>

#include "platform/classes/Registry.h"

class TStrings;

class TRegIniFile : public TRegistry {
  KESTOVA_CLASS(TRegIniFile)
 public:
  explicit TRegIniFile(const std::string& FileName);

  const std::string& FileName() const { return fileName_; }

  using TRegistry::DeleteKey;
  using TRegistry::ReadBool;
  using TRegistry::ReadInteger;
  using TRegistry::ReadString;
  using TRegistry::WriteBool;
  using TRegistry::WriteInteger;
  using TRegistry::WriteString;

  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default);
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
  // A text value is read as a number ("$" and "0x" mark hexadecimal) and
  // raises EConvertError when it is none.
  int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
  void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
  // ReadInteger(Section, Ident, Default) != 0.
  bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
  void WriteBool(const std::string& Section, const std::string& Ident, bool Value);

  // The idents of the section, in stored order (cleared first).
  void ReadSection(const std::string& Section, TStrings& Strings);
  // The sections: the sub-keys of the file's key.
  void ReadSections(TStrings& Strings);
  // "Ident=Value" for each ident of the section.
  void ReadSectionValues(const std::string& Section, TStrings& Strings);
  // Removes the section's key with everything below it.
  void EraseSection(const std::string& Section);
  void DeleteKey(const std::string& Section, const std::string& Ident);

 private:
  // Runs Body with the section's key open (creating it first when Create);
  // false, without running it, when the key is missing. The open key is the
  // file's again afterwards.
  bool InSection(const std::string& Section, bool Create, const std::function<void()>& Body);

  std::string fileName_;
};
