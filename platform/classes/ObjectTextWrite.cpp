// Binary component stream to its text form.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/classes/Filer_p.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Reader.h"
#include "platform/core/Codecs.h"
#include "platform/core/StrUtils.h"

namespace {

// Shortest text that reads back to the same value.
template <class T>
std::string FloatText(T Value, int MinDigits, int MaxDigits, const char* Format) {
  if (!std::isfinite(Value)) throw EReadError(kInvalidPropertyValueText);
  char buffer[64];
  for (int digits = MinDigits; digits <= MaxDigits; ++digits) {
    std::snprintf(buffer, sizeof buffer, Format, digits, Value);
    T back{};
    if constexpr (std::is_same_v<T, float>)
      back = std::strtof(buffer, nullptr);
    else if constexpr (std::is_same_v<T, double>)
      back = std::strtod(buffer, nullptr);
    else
      back = std::strtold(buffer, nullptr);
    if (back == Value) {
      std::string text = buffer;
      if (text.find_first_of(".e") == std::string::npos) text += ".0";
      return text;
    }
  }
  // Only encodings that no arithmetic produces (pseudo-denormals) get here.
  throw EReadError(kInvalidPropertyValueText);
}

// 'It''s'#10'ok' from UTF-8: printable ASCII quoted, anything else as #n
// (the code point), so that the text stays ASCII.
std::string QuotedText(const std::string& Value) {
  if (Value.empty()) return "''";
  std::string out;
  bool quoted = false;
  int column = 0;
  for (char32_t c : Utf8ToUtf32(Value)) {
    if (column >= 64) {
      if (quoted) out += '\'';
      out += " +\n";
      quoted = false;
      column = 0;
    }
    if (c >= 32 && c < 127) {
      if (!quoted) out += '\'';
      quoted = true;
      out += static_cast<char>(c);
      if (c == '\'') out += '\'';
    } else {
      if (quoted) out += '\'';
      quoted = false;
      out += '#' + std::to_string(static_cast<std::uint32_t>(c));
    }
    ++column;
  }
  if (quoted) out += '\'';
  return out;
}

// Names must read back as the same tokens: identifiers, dotted where Dots.
const std::string& Checked(const std::string& Name, bool Dots) {
  bool start = true;
  for (char c : Name) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    const bool digit = c >= '0' && c <= '9';
    if (Dots && c == '.' && !start) {
      start = true;
      continue;
    }
    if (!(letter || (digit && !start))) throw EReadError(kInvalidImageText);
    start = false;
  }
  if (start) throw EReadError(kInvalidImageText);
  return Name;
}

class TTextWriter {
 public:
  explicit TTextWriter(TReader& Reader) : r_(Reader) {}
  void Object(int Indent);
  std::string Out;

 private:
  void Value(int Indent);
  void Properties(int Indent);
  void Line(int Indent, const std::string& Text) { Out += std::string(Indent, ' ') + Text + '\n'; }
  void Nested(int Indent, const std::string& Text);
  TReader& r_;
  int depth_ = 0;
};

// A value's text continues the current line; breaks inside it start new
// lines indented by Indent.
void TTextWriter::Nested(int Indent, const std::string& Text) {
  for (char c : Text) {
    Out += c;
    if (c == '\n') Out += std::string(Indent, ' ');
  }
}

void TTextWriter::Properties(int Indent) {
  while (!r_.EndOfList()) {
    Out += std::string(Indent, ' ') + Checked(r_.ReadStr(), true) + " = ";
    Value(Indent);
    Out += '\n';
  }
  r_.ReadListEnd();
}

void TTextWriter::Value(int Indent) {
  if (++depth_ > kMaxFilerDepth) throw EReadError(kTooDeepText);
  switch (r_.NextValue()) {
    case vaList:
      r_.ReadValue();
      Out += "(";
      while (!r_.EndOfList()) {
        Out += '\n' + std::string(Indent + 2, ' ');
        Value(Indent + 2);
      }
      r_.ReadListEnd();
      Out += ")";
      break;
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64:
      Out += std::to_string(r_.ReadInt64());
      break;
    case vaExtended:
      Out += FloatText(r_.ReadFloat(), 15, 21, "%.*Lg");
      break;
    case vaSingle:
      Out += FloatText(r_.ReadSingle(), 6, 9, "%.*g") + "s";
      break;
    case vaDate:
      Out += FloatText(r_.ReadDate(), 15, 17, "%.*g") + "d";
      break;
    case vaCurrency: {
      const std::int64_t raw = r_.ReadCurrency().Raw();
      const std::uint64_t magnitude = raw < 0 ? 0 - static_cast<std::uint64_t>(raw) : raw;
      char buffer[48];
      std::snprintf(buffer, sizeof buffer, "%s%" PRIu64 ".%04" PRIu64 "c", raw < 0 ? "-" : "", magnitude / 10000,
                    magnitude % 10000);
      Out += buffer;
      break;
    }
    case vaString:
    case vaLString:
    case vaWString:
      Nested(Indent + 2, QuotedText(r_.ReadString()));
      break;
    case vaIdent: {
      const std::string ident = Checked(r_.ReadIdent(), true);
      // These words stand for their own value codes.
      for (const char* word : {"False", "True", "nil", "Null"})
        if (SameText(ident, word)) throw EReadError(kInvalidImageText);
      Out += ident;
      break;
    }
    case vaFalse:
    case vaTrue:
    case vaNil:
    case vaNull:
      Out += r_.ReadIdent();
      break;
    case vaSet: {
      r_.ReadValue();
      Out += "[";
      bool first = true;
      for (std::string name = r_.ReadStr(); !name.empty(); name = r_.ReadStr()) {
        Out += (first ? "" : ", ") + Checked(name, false);
        first = false;
      }
      Out += "]";
      break;
    }
    case vaBinary: {
      r_.ReadValue();
      std::int32_t size = 0;
      r_.Read(&size, 4);
      if (size < 0 || size > kMaxFilerLength || size > r_.Stream().Remaining()) throw EReadError();
      Out += "{";
      static constexpr char kHex[] = "0123456789ABCDEF";
      for (std::int32_t i = 0; i < size; ++i) {
        if (i % 32 == 0) Out += '\n' + std::string(Indent + 2, ' ');
        std::uint8_t b = 0;
        r_.Read(&b, 1);
        Out += kHex[b >> 4];
        Out += kHex[b & 15];
      }
      Out += "}";
      break;
    }
    case vaCollection: {
      r_.ReadValue();
      Out += "<";
      while (!r_.EndOfList()) {
        Out += '\n' + std::string(Indent + 2, ' ') + "item";
        const TValueType first = r_.NextValue();
        if (first == vaInt8 || first == vaInt16 || first == vaInt32)
          Out += " [" + std::to_string(r_.ReadInteger()) + "]";
        Out += '\n';
        r_.ReadListBegin();
        if (++depth_ > kMaxFilerDepth) throw EReadError(kTooDeepText);
        Properties(Indent + 4);
        --depth_;
        Out += std::string(Indent + 2, ' ') + "end";
      }
      r_.ReadListEnd();
      Out += ">";
      break;
    }
    default:
      throw EReadError(kInvalidImageText);
  }
  --depth_;
}

void TTextWriter::Object(int Indent) {
  if (++depth_ > kMaxFilerDepth) throw EReadError(kTooDeepText);
  TFilerFlags flags;
  std::int32_t position = 0;
  r_.ReadPrefix(flags, position);
  const std::string className = Checked(r_.ReadStr(), false);
  const std::string name = r_.ReadStr();
  if (!name.empty()) Checked(name, false);
  std::string head = flags.Contains(ffInherited) ? "inherited " : flags.Contains(ffInline) ? "inline " : "object ";
  if (!name.empty()) head += name + ": ";
  head += className;
  if (flags.Contains(ffChildPos)) head += " [" + std::to_string(position) + "]";
  Line(Indent, head);
  Properties(Indent + 2);
  while (!r_.EndOfList()) Object(Indent + 2);
  r_.ReadListEnd();
  Line(Indent, "end");
  --depth_;
}

}  // namespace

void ObjectBinaryToText(TStream& Input, TStream& Output) {
  TReader reader(Input);
  reader.ReadSignature();
  TTextWriter writer(reader);
  writer.Object(0);
  Output.WriteBuffer(writer.Out.data(), static_cast<std::int64_t>(writer.Out.size()));
}
