#pragma once
// The INI form of the options storage (OptionExt.h), used only while the
// process-wide switch is on (it is off unless SetOptionsStorageInIni).
//
// An options object is kept in one section of the INI file, named after its
// storage key: its component-stream record (class name, name, properties,
// the two end marks, without the stream signature; an object that is not a
// component travels in its holder "PersHolder", PropAccess.h) as upper-case
// hexadecimal text, one line of 64 digits per 32 bytes and a shorter last
// line: 70 bytes become lines of 64, 64 and 12 digits.
//
// The file is options.ini beside the current user's registry file
// (RegistryStore.h) unless SetOptionsIniFileName chose another.

#include <cstdint>
#include <string>
#include <vector>

class TPersistent;

bool OptionsStorageInIni();
void SetOptionsStorageInIni(bool Value);
// The INI file of the options; "" given to SetOptionsIniFileName goes back
// to the default.
std::string OptionsIniFileName();
void SetOptionsIniFileName(std::string FileName);

// The section's lines for Bytes (none for no bytes).
std::vector<std::string> HexSectionLines(const std::vector<std::uint8_t>& Bytes);
// The bytes of the lines (upper- or lower-case digits); false, with Bytes
// empty, when the text does not decode (an odd number of digits, or a
// character that is no digit).
bool DecodeHexSection(const std::vector<std::string>& Lines, std::vector<std::uint8_t>& Bytes);

// Replaces the section Section of the file with Obj's record. Writer errors
// (EWriteError) and file errors (EInOutError) go through; the file is
// written at once and whole, or not at all.
void WriteOptionsToIni(TPersistent* Obj, const std::string& Section);
// Reads Obj back from the section. A missing or empty section, or one that
// does not decode, leaves Obj as it is; a record that does not read raises
// the reader's error (EReadError, EClassNotFound for a class it does not
// know).
void ReadOptionsFromIni(TPersistent* Obj, const std::string& Section);
