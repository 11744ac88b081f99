// Casts between the variant kinds.

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/classes/Variant.h"
#include "platform/classes/Variant_p.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/StrUtils.h"

using namespace variant_detail;

namespace {

// The class library's Boolean identifiers.
constexpr const char* kTrueText = "True";
constexpr const char* kFalseText = "False";

template <class... F>
struct Overload : F... {
  using F::operator()...;
};
// Spelled out for compilers without aggregate deduction (clang 14).
template <class... F>
Overload(F...) -> Overload<F...>;

// Halves to even; NaN and values beyond 64 bits cannot be cast.
int64_t RoundToInt64(double Value) {
  // 2^63 is exact as a double; every double below it fits.
  if (!(Value >= -9223372036854775808.0 && Value < 9223372036854775808.0)) RaiseCastError();
  return RoundHalfEven(Value);
}

int64_t RoundCurrency(Currency Value) {
  const int64_t raw = Value.Raw();
  int64_t units = raw / Currency::kScale;
  const int64_t rest = raw % Currency::kScale;
  const int64_t twice = 2 * (rest < 0 ? -rest : rest);
  const int step = raw < 0 ? -1 : 1;
  if (twice > Currency::kScale || (twice == Currency::kScale && units % 2 != 0)) units += step;
  return units;
}

// A whole number: decimal (64 bits), "$"/"0x" hexadecimal (32 bits), or any
// decimal number rounded.
int64_t TextToInt64(std::string_view Text) {
  const std::string trimmed = Trim(Text);
  const bool plus = trimmed.size() > 1 && trimmed[0] == '+' && trimmed[1] >= '0' && trimmed[1] <= '9';
  const char* first = trimmed.data() + (plus ? 1 : 0);
  const char* last = trimmed.data() + trimmed.size();
  int64_t whole = 0;
  const auto [end, error] = std::from_chars(first, last, whole);
  if (error == std::errc() && end == last && first != last) return whole;
  int32_t hex = 0;
  if (TryStrToInt(trimmed, hex)) return hex;
  double number = 0;
  if (TryStrToFloat(trimmed, number, FormatSettings())) return RoundToInt64(number);
  RaiseCastError();
}

double TextToDouble(std::string_view Text) {
  double number = 0;
  if (!TryStrToFloat(Text, number, FormatSettings())) RaiseCastError();
  return number;
}

bool TextToBoolean(std::string_view Text) {
  const std::string trimmed = Trim(Text);
  if (SameText(trimmed, kTrueText)) return true;
  if (SameText(trimmed, kFalseText)) return false;
  return TextToDouble(trimmed) != 0;
}

template <class T>
T InRange(int64_t Value) {
  if (Value < std::numeric_limits<T>::min() || Value > std::numeric_limits<T>::max()) RaiseCastError();
  return static_cast<T>(Value);
}

// A null pointer from the values that mean "none": Empty and an integer 0.
template <class P>
P PointerOf(const TVariant& V, TVarType Code) {
  if (V.VType() == Code) return std::get<P>(V.Value());
  if (V.IsEmpty()) return nullptr;
  const TVarType code = V.VType();
  const bool whole = code == varSmallint || code == varInteger || code == varByte || code == varInt64;
  if (whole && V.AsInt64() == 0) return nullptr;
  RaiseCastError();
}

}  // namespace

int64_t TVariant::AsInt64() const {
  return std::visit(Overload{
                        [](std::monostate) -> int64_t { return 0; },
                        [](bool b) -> int64_t { return b ? -1 : 0; },
                        [](float f) { return RoundToInt64(f); },
                        [](double d) { return RoundToInt64(d); },
                        [](TVarDate d) { return RoundToInt64(d.Value); },
                        [](Currency c) { return RoundCurrency(c); },
                        [](const std::string& s) { return TextToInt64(s); },
                        [](const TVarOleStr& s) { return TextToInt64(s.Text); },
                        [](const std::integral auto& i) -> int64_t { return i; },
                        [](const auto&) -> int64_t { RaiseCastError(); },
                    },
                    value_);
}

int32_t TVariant::AsInteger() const { return InRange<int32_t>(AsInt64()); }
int16_t TVariant::AsSmallint() const { return InRange<int16_t>(AsInt64()); }
uint8_t TVariant::AsByte() const { return InRange<uint8_t>(AsInt64()); }

double TVariant::AsDouble() const {
  return std::visit(Overload{
                        [](std::monostate) { return 0.0; },
                        [](bool b) { return b ? -1.0 : 0.0; },
                        [](float f) { return double{f}; },
                        [](double d) { return d; },
                        [](TVarDate d) { return d.Value; },
                        [](Currency c) { return c.ToDouble(); },
                        [](const std::string& s) { return TextToDouble(s); },
                        [](const TVarOleStr& s) { return TextToDouble(s.Text); },
                        [](const std::integral auto& i) { return static_cast<double>(i); },
                        [](const auto&) -> double { RaiseCastError(); },
                    },
                    value_);
}

float TVariant::AsSingle() const {
  if (const float* f = std::get_if<float>(&value_)) return *f;
  const double d = AsDouble();
  if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) RaiseCastError();
  return static_cast<float>(d);
}

Currency TVariant::AsCurrency() const {
  if (const Currency* c = std::get_if<Currency>(&value_)) return *c;
  Currency result;
  if (const std::string* text = TextOf(*this)) {
    if (!TryStrToCurr(*text, result, FormatSettings())) RaiseCastError();
    return result;
  }
  const TVarType code = VType();
  if (code == varBoolean || code == varSmallint || code == varInteger || code == varByte || code == varInt64) {
    const __int128 raw = static_cast<__int128>(AsInt64()) * Currency::kScale;
    if (raw < std::numeric_limits<int64_t>::min() || raw > std::numeric_limits<int64_t>::max()) RaiseCastError();
    return Currency::FromRaw(static_cast<int64_t>(raw));
  }
  if (!TryFloatToCurr(AsDouble(), result)) RaiseCastError();
  return result;
}

TDateTime TVariant::AsDate() const {
  const std::string* text = TextOf(*this);
  if (!text) return AsDouble();
  TDateTime value = 0;
  const TFormatSettings& settings = FormatSettings();
  if (TryStrToDateTime(*text, value, settings) || TryStrToDate(*text, value, settings) ||
      TryStrToTime(*text, value, settings))
    return value;
  RaiseCastError();
}

bool TVariant::AsBoolean() const {
  if (const bool* b = std::get_if<bool>(&value_)) return *b;
  if (const std::string* text = TextOf(*this)) return TextToBoolean(*text);
  return AsDouble() != 0;
}

std::string TVariant::AsString() const {
  const TFormatSettings& settings = FormatSettings();
  return std::visit(Overload{
                        [](std::monostate) { return std::string(); },
                        [](bool b) { return std::string(b ? kTrueText : kFalseText); },
                        // A single has about seven significant digits; more
                        // would show the binary error (0.1 as 0.100000001).
                        [&](float f) { return FloatToStrF(f, TFloatFormat::ffGeneral, 7, 0, settings); },
                        [&](double d) { return FloatToStr(d, settings); },
                        [&](TVarDate d) { return DateTimeToStr(d.Value, settings); },
                        [&](Currency c) { return CurrToStr(c, settings); },
                        [](const std::string& s) { return s; },
                        [](const TVarOleStr& s) { return s.Text; },
                        [](const std::integral auto& i) { return IntToStr(i); },
                        [](const auto&) -> std::string { RaiseCastError(); },
                    },
                    value_);
}

TVarProc TVariant::AsProc() const { return PointerOf<TVarProc>(*this, varProcedure); }
TClass TVariant::AsClass() const { return PointerOf<TClass>(*this, varClass); }
TObject* TVariant::AsObject() const { return PointerOf<TObject*>(*this, varObject); }

std::string VarToStr(const TVariant& V) { return V.IsNull() ? std::string() : V.AsString(); }

TVariant VarAsType(const TVariant& V, TVarType Code) {
  if (Code == varNull) return Null();
  if (V.IsNull()) RaiseCastError();
  switch (Code) {
    case varEmpty:
      return TVariant();
    case varVariant:
      return V;
    case varSmallint:
      return V.AsSmallint();
    case varInteger:
      return V.AsInteger();
    case varSingle:
      return V.AsSingle();
    case varDouble:
      return V.AsDouble();
    case varCurrency:
      return V.AsCurrency();
    case varDate:
      return TVarDate{V.AsDate()};
    case varOleStr:
      return TVarOleStr{V.AsString()};
    case varBoolean:
      return V.AsBoolean();
    case varByte:
      return V.AsByte();
    case varInt64:
      return V.AsInt64();
    case varString:
      return V.AsString();
    case varProcedure:
      return V.AsProc();
    case varClass:
      return V.AsClass();
    case varObject:
      return V.AsObject();
    default:
      RaiseCastError();
  }
}
