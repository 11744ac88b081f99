// Kinds, equality and order of variants; the casts are in VariantConvert.cpp.

#include "platform/classes/Variant.h"

#include <array>
#include <compare>

#include "platform/classes/Variant_p.h"

namespace variant_detail {

void RaiseCastError() { throw EVariantError(kInvalidVariantCastText); }

TKindGroup GroupOf(TVarType Code) {
  switch (Code) {
    case varEmpty:
      return TKindGroup::Empty;
    case varNull:
      return TKindGroup::Null;
    case varOleStr:
    case varString:
      return TKindGroup::Text;
    case varProcedure:
    case varClass:
    case varObject:
      return TKindGroup::Pointer;
    default:
      return TKindGroup::Number;
  }
}

const std::string* TextOf(const TVariant& V) {
  if (const auto* s = std::get_if<std::string>(&V.Value())) return s;
  if (const auto* o = std::get_if<TVarOleStr>(&V.Value())) return &o->Text;
  return nullptr;
}

}  // namespace variant_detail

using namespace variant_detail;

namespace {

// Codes of the storage alternatives, index for index.
constexpr std::array<TVarType, std::variant_size_v<TVariant::Storage>> kCodes{
    varEmpty, varNull, varSmallint, varInteger, varSingle, varDouble, varCurrency, varDate,
    varOleStr, varBoolean, varByte, varInt64, varString, varProcedure, varClass, varObject};

bool IsIntegral(TVarType Code) {
  return Code == varSmallint || Code == varInteger || Code == varByte || Code == varInt64 || Code == varBoolean;
}

// Exact for integers and currency amounts (the product of an int64 and 10^4
// fits in 128 bits); other pairs compare as doubles. NaN is unordered.
std::partial_ordering CompareNumbers(const TVariant& A, const TVariant& B) {
  const TVarType a = A.VType(), b = B.VType();
  if (IsIntegral(a) && IsIntegral(b)) return A.AsInt64() <=> B.AsInt64();
  const bool aExact = IsIntegral(a) || a == varCurrency, bExact = IsIntegral(b) || b == varCurrency;
  if (aExact && bExact) {
    auto scaled = [](const TVariant& V) -> __int128 {
      if (V.VType() == varCurrency) return V.AsCurrency().Raw();
      return static_cast<__int128>(V.AsInt64()) * Currency::kScale;
    };
    return scaled(A) <=> scaled(B);
  }
  return A.AsDouble() <=> B.AsDouble();
}

uintptr_t AddressOf(const TVariant& V) {
  return std::visit(
      [](const auto& x) -> uintptr_t {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_pointer_v<T>)
          return reinterpret_cast<uintptr_t>(x);
        else
          return 0;
      },
      V.Value());
}

// The order of two values of which at least one is text.
std::partial_ordering CompareWithText(const TVariant& A, const TVariant& B) {
  const std::string* a = TextOf(A);
  const std::string* b = TextOf(B);
  if (a && b) return a->compare(*b) <=> 0;
  if (a) return CompareNumbers(VarAsType(A, B.VType()), B);
  return CompareNumbers(A, VarAsType(B, A.VType()));
}

}  // namespace

TVarType TVariant::VType() const { return kCodes[value_.index()]; }

TVariant Unassigned() { return TVariant(); }
TVariant Null() { return TVariant(TVarNull{}); }

bool VarIsStr(const TVariant& V) { return TextOf(V) != nullptr; }

bool operator==(const TVariant& A, const TVariant& B) {
  if (A.value_.index() == B.value_.index()) return A.value_ == B.value_;
  const TKindGroup a = GroupOf(A.VType()), b = GroupOf(B.VType());
  if (a == TKindGroup::Empty || a == TKindGroup::Null || a == TKindGroup::Pointer) return false;
  if (b == TKindGroup::Empty || b == TKindGroup::Null || b == TKindGroup::Pointer) return false;
  if (a == TKindGroup::Text || b == TKindGroup::Text) return CompareWithText(A, B) == 0;
  return CompareNumbers(A, B) == 0;
}

int VarCompare(const TVariant& A, const TVariant& B) {
  const TKindGroup a = GroupOf(A.VType()), b = GroupOf(B.VType());
  // Null first, then Empty, then the values.
  auto rank = [](TKindGroup g) { return g == TKindGroup::Null ? 0 : g == TKindGroup::Empty ? 1 : 2; };
  if (rank(a) < 2 || rank(b) < 2) return (rank(a) > rank(b)) - (rank(a) < rank(b));
  std::partial_ordering order = std::partial_ordering::unordered;
  if (a == TKindGroup::Pointer || b == TKindGroup::Pointer) {
    if (A.VType() != B.VType()) RaiseCastError();
    order = AddressOf(A) <=> AddressOf(B);
  } else if (a == TKindGroup::Text || b == TKindGroup::Text) {
    order = CompareWithText(A, B);
  } else {
    order = CompareNumbers(A, B);
  }
  if (order == std::partial_ordering::unordered) RaiseCastError();
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}
