#include "platform/classes/RegistryFormat.h"

#include "platform/classes/RegistryFormat_p.h"
#include "platform/core/Codecs.h"

std::string_view TrimEnd(std::string_view Line) {
  while (!Line.empty() && (IsBlank(Line.back()) || Line.back() == '\r')) Line.remove_suffix(1);
  return Line;
}

std::string_view TrimStart(std::string_view Text) {
  while (!Text.empty() && IsBlank(Text.front())) Text.remove_prefix(1);
  return Text;
}

namespace {
constexpr const char* kHexDigits = "0123456789abcdef";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendHexByte(std::string& out, unsigned char b) {
  out += kHexDigits[b >> 4];
  out += kHexDigits[b & 0xF];
}

// Length of the valid UTF-8 sequence at the start of text, 0 when none.
size_t Utf8SequenceAt(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  return length && length <= text.size() && IsValidUtf8(text.substr(0, length)) ? length : 0;
}

}  // namespace

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b >= 0x80) {
      if (const size_t length = Utf8SequenceAt(text.substr(i))) {
        out.append(text.substr(i, length));
        i += length;
        continue;
      }
    }
    if (b == '\\' || b == '"') {
      out += '\\';
      out += static_cast<char>(b);
    } else if (b == '\n' || b == '\r' || b == '\t') {
      out += b == '\n' ? "\\n" : b == '\r' ? "\\r" : "\\t";
    } else if (b < 0x20 || b >= 0x7F) {
      out += "\\x";
      AppendHexByte(out, b);
    } else {
      out += static_cast<char>(b);
    }
    ++i;
  }
  out += '"';
}

// Reads a quoted text at the start of `text` and moves past it.
bool ReadQuoted(std::string_view& text, std::string& out, std::string& error) {
  if (text.empty() || text[0] != '"') return error = "a quoted text was expected", false;
  out.clear();
  for (size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      text.remove_prefix(i + 1);
      return true;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i == text.size()) break;
    switch (text[i]) {
      case '\\':
      case '"':
        out += text[i];
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'x': {
        const int high = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
        if (high < 0 || low < 0) return error = "\\x needs two hex digits", false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default:
        return error = std::string("unknown escape \\") + text[i], false;
    }
  }
  return error = "a quoted text does not end", false;
}

namespace {

// Hex digits, two a byte, blanks allowed between bytes.
bool AppendHexBytes(std::string_view text, std::string& data, std::string& error) {
  for (size_t i = 0; i < text.size();) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    const int high = HexValue(text[i]);
    const int low = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
    if (high < 0 || low < 0) return error = "binary data must be pairs of hex digits", false;
    data += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

bool ParseDword(std::string_view text, std::string& data, std::string& error) {
  uint64_t value = 0;
  if (text.empty() || text.size() > 10) return error = "a dword must be a decimal number", false;
  for (char c : text) {
    if (c < '0' || c > '9') return error = "a dword must be a decimal number", false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value > 0xFFFFFFFFu) return error = "a dword must not exceed 4294967295", false;
  data = DwordData(static_cast<uint32_t>(value));
  return true;
}

bool ParseTexts(std::string_view text, std::string& data, std::string& error) {
  std::vector<std::string> texts;
  std::string item;
  while (!text.empty()) {
    if (!ReadQuoted(text, item, error)) return false;
    if (item.empty()) return error = "a multi_sz cannot hold an empty text", false;
    if (item.find('\0') != std::string::npos) return error = "a multi_sz text cannot hold a NUL", false;
    texts.push_back(item);
    text = TrimStart(text);
    if (text.empty()) break;
    if (text[0] != ',') return error = "texts of a multi_sz are separated by \",\"", false;
    text = TrimStart(text.substr(1));
    if (text.empty()) return error = "a multi_sz ends with \",\"", false;
  }
  data = MultiStringData(texts);
  return true;
}

const char* TypeName(uint32_t type) {
  switch (type) {
    case REG_SZ:
      return "sz";
    case REG_EXPAND_SZ:
      return "expand_sz";
    case REG_DWORD:
      return "dword";
    case REG_MULTI_SZ:
      return "multi_sz";
    default:
      return "binary";
  }
}
}  // namespace

std::string ValueDataText(const TRegValue& Value) {
  std::string out = std::string(TypeName(Value.Type)) + ":";
  switch (Value.Type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      AppendQuoted(out, std::string_view(Value.Data).substr(0, Value.Data.size() - 1));
      break;
    case REG_DWORD:
      out += std::to_string(DataDword(Value.Data));
      break;
    case REG_MULTI_SZ: {
      bool first = true;
      for (const std::string& text : DataTexts(Value.Data)) {
        if (!first) out += ',';
        first = false;
        AppendQuoted(out, text);
      }
      break;
    }
    default:
      for (size_t i = 0; i < Value.Data.size(); ++i) {
        if (i > 0 && i % kBinaryBytesPerLine == 0) out += "\n  ";
        AppendHexByte(out, static_cast<unsigned char>(Value.Data[i]));
      }
  }
  return out;
}

bool ParseValueData(std::string_view Text, TRegValue& Value, std::string& Error) {
  Text = TrimEnd(Text);
  const size_t colon = Text.find(':');
  const std::string_view type = Text.substr(0, colon);
  const std::string_view data = colon == std::string_view::npos ? std::string_view() : Text.substr(colon + 1);
  std::string bytes;
  if (colon == std::string_view::npos) return Error = "a value needs type:data", false;
  if (type == "sz" || type == "expand_sz") {
    std::string_view rest = data;
    if (!ReadQuoted(rest, bytes, Error)) return false;
    if (!TrimStart(rest).empty()) return Error = "text after the quoted text", false;
    Value.Type = type == "sz" ? REG_SZ : REG_EXPAND_SZ;
    bytes = StringData(bytes);
  } else if (type == "dword") {
    if (!ParseDword(data, bytes, Error)) return false;
    Value.Type = REG_DWORD;
  } else if (type == "binary") {
    if (!AppendHexBytes(data, bytes, Error)) return false;
    Value.Type = REG_BINARY;
  } else if (type == "multi_sz") {
    if (!ParseTexts(TrimStart(data), bytes, Error)) return false;
    Value.Type = REG_MULTI_SZ;
  } else {
    return Error = "unknown value type \"" + std::string(type.substr(0, 20)) + "\"", false;
  }
  Value.Data = std::move(bytes);
  return true;
}
