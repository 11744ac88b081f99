#include <algorithm>
#include <filesystem>

#include "platform/classes/StoreFiles_p.h"
#include "platform/core/AnsiStrings.h"
#include "platform/core/Codecs.h"
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/StrUtils.h"
#include "platform/core/Streams.h"
#include "platform/core/StringList.h"

std::string FoldName(std::string_view Name) {
  const bool ascii = std::all_of(Name.begin(), Name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii || !IsValidUtf8(Name)) return UpperCase(Name);
  return Utf32ToUtf8(UpperCaseChars(Utf8ToUtf32(Name)));
}

std::vector<std::string> LinesOf(const TStrings& Strings) {
  std::vector<std::string> lines;
  for (int i = 0; i < Strings.Count(); ++i) lines.push_back(Strings[i]);
  return lines;
}

void SetLines(TStrings& Strings, const std::vector<std::string>& Lines) {
  Strings.BeginUpdate();
  Strings.Clear();
  for (const std::string& line : Lines) Strings.Add(line);
  Strings.EndUpdate();
}

std::string ReadFileBytes(const std::string& FileName, int64_t MaxSize) {
  // A folder opens for reading, but tells nothing sensible about its size.
  std::error_code error;
  if (std::filesystem::is_directory(FileName, error))
    throw EInOutError("Cannot open file \"" + FileName + "\". It is a folder.");
  TFileStream file(FileName, TFileMode::fmOpenRead);
  const int64_t size = file.Size();
  if (size > MaxSize)
    throw EInOutError("Cannot read file \"" + FileName + "\". It holds more than " + IntToStr(MaxSize) + " bytes.");
  std::string bytes(static_cast<size_t>(size), '\0');
  file.ReadBuffer(bytes.data(), size);
  return bytes;
}
