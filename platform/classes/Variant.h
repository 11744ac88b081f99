#pragma once
// TVariant: one value of any of the class library's variant kinds, tagged
// with its OLE type code (VarType).
//
// Kinds and the C++ values they hold:
//   varEmpty    0  nothing (Unassigned; a default-made TVariant)
//   varNull     1  Null, the "no value" of data
//   varSmallint 2  int16_t        varInteger 3  int32_t
//   varSingle   4  float          varDouble  5  double
//   varCurrency 6  Currency       varDate    7  TDateTime (TVarDate)
//   varOleStr   8  UTF-8 text (TVarOleStr), the wide string kind
//   varBoolean 11  bool           varByte   17  uint8_t
//   varInt64   20  int64_t        varString 0x100  UTF-8 text (std::string)
// and three pointer-sized kinds of this program, which hold a procedure
// address, a class reference or an object hand-over whole on 64 bits:
//   varProcedure 0x110 TVarProc (any function pointer; nullptr: no procedure)
//   varClass     0x111 TClass     varObject 0x112 TObject*
// varVariant (12) names "any variant" in type tables; no value has it.
//
// Equality (operator==):
// - Equal type codes compare the values; Null equals Null, Empty equals Empty.
// - Null and Empty equal nothing but themselves: not each other, not 0, not "".
// - The pointer kinds equal only a value of the same kind and address.
// - Numbers of different kinds (Boolean counts as -1 or 0) compare by value.
// - A string and another kind compare after the string is cast to that kind,
//   so "12" equals 12, and "abc" == 12 raises EVariantError.
//
// Failing casts raise EVariantError with kInvalidVariantCastText ("Invalid
// variant type conversion"), whatever the kinds: Null to anything but Null,
// text that does not read as the target kind, a value outside the target's
// range, a pointer kind to or from anything but its own kind (an integer 0
// or Empty gives a null pointer).
//
// Texts are written and read with the process-wide FormatSettings(): the
// decimal separator of numbers and currency, the date formats of dates.

#include <compare>
#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "platform/core/Currency.h"
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Object.h"

using TVarType = std::uint16_t;

inline constexpr TVarType varEmpty = 0x0000;
inline constexpr TVarType varNull = 0x0001;
inline constexpr TVarType varSmallint = 0x0002;
inline constexpr TVarType varInteger = 0x0003;
inline constexpr TVarType varSingle = 0x0004;
inline constexpr TVarType varDouble = 0x0005;
inline constexpr TVarType varCurrency = 0x0006;
inline constexpr TVarType varDate = 0x0007;
inline constexpr TVarType varOleStr = 0x0008;
inline constexpr TVarType varBoolean = 0x000B;
inline constexpr TVarType varVariant = 0x000C;
inline constexpr TVarType varByte = 0x0011;
inline constexpr TVarType varInt64 = 0x0014;
inline constexpr TVarType varString = 0x0100;
inline constexpr TVarType varProcedure = 0x0110;
inline constexpr TVarType varClass = 0x0111;
inline constexpr TVarType varObject = 0x0112;

// A procedure address of any signature; VarToProc casts it back.
using TVarProc = void (*)();

struct TVarNull {
  friend bool operator==(TVarNull, TVarNull) = default;
};
struct TVarDate {
  TDateTime Value = 0;
  friend bool operator==(TVarDate, TVarDate) = default;
};
struct TVarOleStr {
  std::string Text;  // UTF-8
  friend bool operator==(const TVarOleStr&, const TVarOleStr&) = default;
};

class TVariant {
 public:
  // The alternatives, in an order of their own; VarType maps them to codes.
  using Storage = std::variant<std::monostate, TVarNull, int16_t, int32_t, float, double, Currency, TVarDate,
                               TVarOleStr, bool, uint8_t, int64_t, std::string, TVarProc, TClass, TObject*>;

  TVariant() = default;  // Empty
  TVariant(TVarNull) : value_(TVarNull{}) {}
  TVariant(int16_t Value) : value_(Value) {}
  TVariant(int32_t Value) : value_(Value) {}
  TVariant(int64_t Value) : value_(Value) {}
  TVariant(uint8_t Value) : value_(Value) {}
  TVariant(float Value) : value_(Value) {}
  TVariant(double Value) : value_(Value) {}
  TVariant(Currency Value) : value_(Value) {}
  TVariant(TVarDate Value) : value_(Value) {}
  TVariant(TVarOleStr Value) : value_(std::move(Value)) {}
  TVariant(std::string Value) : value_(std::move(Value)) {}
  TVariant(std::string_view Value) : value_(std::string(Value)) {}
  TVariant(const char* Value) : value_(std::string(Value)) {}
  // Only a real bool: a pointer must not turn into a Boolean.
  template <std::same_as<bool> B>
  TVariant(B Value) : value_(bool{Value}) {}
  // Any function pointer, kept as varProcedure.
  template <class F>
  requires std::is_function_v<F> TVariant(F* Proc) : value_(reinterpret_cast<TVarProc>(Proc)) {}
  TVariant(TClass Class) : value_(Class) {}
  TVariant(TObject* Object) : value_(Object) {}
  TVariant(std::nullptr_t) = delete;  // say which kind of nothing

  TVarType VType() const;
  bool IsEmpty() const { return value_.index() == 0; }
  bool IsNull() const { return std::holds_alternative<TVarNull>(value_); }
  const Storage& Value() const { return value_; }

  // The value cast to a kind; failures raise EVariantError (see above).
  // Empty gives 0, false, "" or nullptr. Floating values round half to even
  // to integers; Boolean true is -1 as a number and "True" as text.
  int16_t AsSmallint() const;
  int32_t AsInteger() const;
  int64_t AsInt64() const;
  uint8_t AsByte() const;
  float AsSingle() const;
  double AsDouble() const;
  Currency AsCurrency() const;
  TDateTime AsDate() const;
  bool AsBoolean() const;
  std::string AsString() const;
  TVarProc AsProc() const;
  TClass AsClass() const;
  TObject* AsObject() const;

  friend bool operator==(const TVariant& A, const TVariant& B);

 private:
  Storage value_;
};

// The two values without a value.
TVariant Unassigned();
TVariant Null();

inline TVarType VarType(const TVariant& V) { return V.VType(); }
inline bool VarIsEmpty(const TVariant& V) { return V.IsEmpty(); }
inline bool VarIsNull(const TVariant& V) { return V.IsNull(); }
// varString or varOleStr.
bool VarIsStr(const TVariant& V);

// The value as text; Null and Empty give "".
std::string VarToStr(const TVariant& V);

// V cast to the kind Code (one of the codes above, varVariant giving V
// itself). Anything cast to varNull is Null, to varEmpty Empty.
TVariant VarAsType(const TVariant& V, TVarType Code);

// Order of two values for sorting: -1, 0 or 1. Null sorts before
// Empty, Empty before every other value; numbers by value (true as -1), strings by their
// bytes, a string and a number as numbers, the pointer kinds by address within
// one kind. Values that cannot be ordered (a pointer kind against another
// kind, a string that does not read as the other value's kind) raise
// EVariantError.
int VarCompare(const TVariant& A, const TVariant& B);

// The procedure in V as the function pointer type F*: nullptr for Empty and
// for an integer 0; EVariantError for any other kind.
template <class F>
requires std::is_function_v<F> F* VarToProc(const TVariant& V) { return reinterpret_cast<F*>(V.AsProc()); }
