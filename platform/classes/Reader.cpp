// TReader: values and raw bytes.
#include "platform/classes/Reader.h"

#include <cfloat>
#include <cmath>
#include <cstring>

#include "platform/classes/Filer_p.h"
#include "platform/classes/Variant.h"
#include "platform/core/Codecs.h"

static_assert(LDBL_MANT_DIG == 64, "vaExtended is read straight into an 80-bit long double");

KESTOVA_CLASS_INFO(TReader, TFiler, "Classes", nullptr)

TReader::TReader(TStream& AStream) : TFiler(AStream) {}
TReader::~TReader() = default;

void TReader::Read(void* Buffer, std::int64_t Count) {
  if (Count < 0 || Stream().Read(Buffer, Count) != Count) throw EReadError();
}

namespace {
template <class T>
T ReadScalar(TReader& Reader) {
  T value{};
  Reader.Read(&value, sizeof value);
  return value;
}

// A length read from the stream, checked against the bytes left.
std::int64_t CheckedLength(TStream& Stream, std::int64_t Length, std::int64_t UnitSize) {
  if (Length < 0 || Length > kMaxFilerLength || Length * UnitSize > Stream.Remaining()) throw EReadError();
  return Length;
}

std::string ReadBytes(TReader& Reader, std::int64_t Count) {
  std::string bytes(static_cast<std::size_t>(Count), '\0');
  Reader.Read(bytes.data(), Count);
  return bytes;
}
}  // namespace

TValueType TReader::ReadValue() {
  const auto value = ReadScalar<std::uint8_t>(*this);
  if (value > kMaxValueType) throw EReadError(kInvalidImageText);
  return static_cast<TValueType>(value);
}

TValueType TReader::NextValue() {
  const TValueType value = ReadValue();
  Stream().Seek(-1, TSeekOrigin::soCurrent);
  return value;
}

bool TReader::EndOfList() {
  const auto value = ReadScalar<std::uint8_t>(*this);
  Stream().Seek(-1, TSeekOrigin::soCurrent);
  return value == vaNull;
}

void TReader::ReadListBegin() {
  if (ReadValue() != vaList) throw EReadError(kInvalidPropertyValueText);
}

void TReader::ReadListEnd() {
  if (ReadValue() != vaNull) throw EReadError(kInvalidPropertyValueText);
}

void TReader::ReadSignature() {
  char signature[4];
  Read(signature, 4);
  if (std::memcmp(signature, kFilerSignature, 4) != 0) throw EReadError(kInvalidImageText);
}

std::int32_t TReader::ReadInteger() {
  switch (ReadValue()) {
    case vaInt8:
      return ReadScalar<std::int8_t>(*this);
    case vaInt16:
      return ReadScalar<std::int16_t>(*this);
    case vaInt32:
      return ReadScalar<std::int32_t>(*this);
    default:
      throw EReadError(kInvalidPropertyValueText);
  }
}

std::int64_t TReader::ReadInt64() {
  if (NextValue() == vaInt64) {
    ReadValue();
    return ReadScalar<std::int64_t>(*this);
  }
  return ReadInteger();
}

bool TReader::ReadBoolean() {
  switch (ReadValue()) {
    case vaFalse:
      return false;
    case vaTrue:
      return true;
    default:
      throw EReadError(kInvalidPropertyValueText);
  }
}

long double TReader::ReadFloat() {
  switch (NextValue()) {
    case vaExtended: {
      ReadValue();
      long double value = 0;
      Read(&value, 10);
      return value;
    }
    case vaSingle:
      return ReadSingle();
    case vaDate:
      return ReadDate();
    case vaCurrency:
      return static_cast<long double>(ReadCurrency().Raw()) / Currency::kScale;
    default:
      return static_cast<long double>(ReadInt64());
  }
}

float TReader::ReadSingle() {
  if (NextValue() != vaSingle) return static_cast<float>(ReadInt64());
  ReadValue();
  return ReadScalar<float>(*this);
}

Currency TReader::ReadCurrency() {
  if (NextValue() != vaCurrency) {
    const long double value = ReadFloat();
    try {
      return FloatToCurr(static_cast<double>(value));
    } catch (const EConvertError&) {  // NaN, infinite or beyond the currency range
      throw EReadError(kInvalidPropertyValueText);
    }
  }
  ReadValue();
  return Currency::FromRaw(ReadScalar<std::int64_t>(*this));
}

double TReader::ReadDate() {
  if (NextValue() != vaDate) return static_cast<double>(ReadInt64());
  ReadValue();
  return ReadScalar<double>(*this);
}

TVariant TReader::ReadVariant() {
  switch (NextValue()) {
    case vaNil:
      ReadValue();
      return Unassigned();
    case vaNull:
      ReadValue();
      return Null();
    case vaInt8:
    case vaInt16:
    case vaInt32:
      return ReadInteger();
    case vaInt64:
      return ReadInt64();
    case vaExtended: {
      const long double value = ReadFloat();
      // A finite extended beyond Double would turn into an infinity.
      if (std::isfinite(value) && std::fabs(value) > DBL_MAX) throw EReadError(kInvalidPropertyValueText);
      return static_cast<double>(value);
    }
    case vaSingle:
      return ReadSingle();
    case vaCurrency:
      return ReadCurrency();
    case vaDate:
      return TVarDate{ReadDate()};
    case vaFalse:
    case vaTrue:
      return ReadBoolean();
    case vaString:
    case vaLString:
      return ReadString();
    case vaWString:
      return TVarOleStr{ReadString()};
    default:
      throw EReadError(kInvalidPropertyValueText);
  }
}

std::string TReader::ReadStr() {
  const auto length = ReadScalar<std::uint8_t>(*this);
  return ReadBytes(*this, length);
}

std::string TReader::ReadString() {
  switch (ReadValue()) {
    case vaString:
      return ReadStr();
    case vaLString:
      return ReadBytes(*this, CheckedLength(Stream(), ReadScalar<std::int32_t>(*this), 1));
    case vaWString: {
      const std::int64_t count = CheckedLength(Stream(), ReadScalar<std::int32_t>(*this), 2);
      std::u16string units(static_cast<std::size_t>(count), u'\0');
      Read(units.data(), count * 2);
      return Utf16ToUtf8(units);
    }
    default:
      throw EReadError(kInvalidPropertyValueText);
  }
}

std::string TReader::ReadIdent() {
  switch (ReadValue()) {
    case vaIdent:
      return ReadStr();
    case vaFalse:
      return "False";
    case vaTrue:
      return "True";
    case vaNil:
      return "nil";
    case vaNull:
      return "Null";
    default:
      throw EReadError(kInvalidPropertyValueText);
  }
}

void TReader::SkipValue() {
  const TReaderDepth depth(*this);
  auto skip = [this](std::int64_t count) { Stream().Seek(CheckedLength(Stream(), count, 1), TSeekOrigin::soCurrent); };
  switch (const TValueType value = ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
      return;
    case vaList:
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      return;
    case vaInt8:
      return skip(1);
    case vaInt16:
      return skip(2);
    case vaInt32:
    case vaSingle:
      return skip(4);
    case vaExtended:
      return skip(10);
    case vaCurrency:
    case vaDate:
    case vaInt64:
      return skip(8);
    case vaString:
    case vaIdent:
      return skip(ReadScalar<std::uint8_t>(*this));
    case vaLString:
    case vaBinary:
      return skip(ReadScalar<std::int32_t>(*this));
    case vaWString:
      return skip(CheckedLength(Stream(), ReadScalar<std::int32_t>(*this), 2) * 2);
    case vaSet:
      while (!ReadStr().empty()) {
      }
      return;
    case vaCollection:
      while (!EndOfList()) {
        const TValueType item = NextValue();
        if (item == vaInt8 || item == vaInt16 || item == vaInt32) ReadInteger();
        ReadListBegin();
        while (!EndOfList()) {
          ReadStr();
          SkipValue();
        }
        ReadListEnd();
      }
      ReadListEnd();
      return;
    default:
      (void)value;
      throw EReadError(kInvalidImageText);
  }
}
