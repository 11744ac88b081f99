// zortool settings FILE: the records of a settings resource as the reporter
// reads them, one a line: name, kind and value separated by tabs. Bytes
// below 0x20, the backslash and 0x7F in names and texts are written as \xHH
// so that every record stays on its line.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "crashreport/zorExceptSettings.h"
#include "tools/zortool/Commands.h"

namespace {

constexpr char kSettingsUsage[] = "settings FILE   (the records of a settings resource)";

std::string Escaped(const std::string& text) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x20 || c == '\\' || c == 0x7F) {
      out += "\\x";
      out += digits[c >> 4];
      out += digits[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string Line(const zor::TZESettingValue& v) {
  switch (v.kind) {
    case zor::skInteger:
      return Escaped(v.name) + "\tinteger\t" + std::to_string(v.integer);
    case zor::skBoolean:
      return Escaped(v.name) + "\tboolean\t" + (v.boolean ? "true" : "false");
    case zor::skText:
      break;
  }
  return Escaped(v.name) + "\ttext\t" + Escaped(v.text);
}

}  // namespace

int RunSettings(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: zortool %s\n", kSettingsUsage);
    return 2;
  }
  std::ifstream in(args[0], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "zortool: cannot read %s\n", args[0].c_str());
    return 1;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const zor::ParsedSettings parsed = zor::ParseSettingsBytes(bytes);
  if (parsed.array.capacity == 0) {
    std::fprintf(stderr, "zortool: %s is no settings resource (its header differs)\n", args[0].c_str());
    return 1;
  }
  std::string out;
  for (const zor::TZESettingValue& v : parsed.array.values) out += Line(v) + "\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (parsed.badType) {
    std::fprintf(stderr, "zortool: %s\n", zor::InvalidSettingsResourceText(*parsed.badType).c_str());
    return 1;
  }
  return 0;
}
