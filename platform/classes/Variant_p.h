#pragma once
// Internals shared by the variant's comparison and conversion code.

#include "platform/classes/Variant.h"

namespace variant_detail {

// Raises EVariantError with kInvalidVariantCastText.
[[noreturn]] void RaiseCastError();

// What a kind is for comparing and converting.
enum class TKindGroup { Empty, Null, Number, Text, Pointer };
TKindGroup GroupOf(TVarType Code);

// The text of a string kind (varString or varOleStr); nullptr for the others.
const std::string* TextOf(const TVariant& V);

}  // namespace variant_detail
