#pragma once
// Type records of the standard types and of the named types that property
// editors are registered for, and the builders for a unit's own types.
//
// Each record is made on first use behind its function and lives until the
// process ends; its address is the type's identity. A unit declares its own
// types the same way:
//
//   // Shapes.h
//   namespace TypeInfos { const TTypeInfo* TShapeKind(); }
//   // Shapes.cpp
//   KESTOVA_TYPE_INFO(TShapeKind, MakeEnumType("TShapeKind", {"skRound", "skSquare"}, "Shapes"))

#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/TypInfo.h"

#define KESTOVA_TYPE_INFO(Function, ...)       \
  const TTypeInfo* TypeInfos::Function() {     \
    static const TTypeInfo info = __VA_ARGS__; \
    return &info;                              \
  }

// An integer, char or wide-char type (or int64) with its range.
TTypeInfo MakeOrdinalType(TTypeKind Kind, std::string Name, TOrdType OrdType, std::int64_t MinValue,
                          std::int64_t MaxValue);
// An enumeration whose value i is named Names[i].
TTypeInfo MakeEnumType(std::string Name, std::vector<std::string> Names, std::string UnitName);
// A set of the values of ElementType (an enumeration of at most 64 values).
TTypeInfo MakeSetType(std::string Name, const TTypeInfo* ElementType);
TTypeInfo MakeFloatType(std::string Name, TFloatType FloatType);
// A string type of kind tkString, tkLString or tkWString.
TTypeInfo MakeStringType(TTypeKind Kind, std::string Name);
// A method type: its kind, parameters and, for the function kinds, result
// type name.
TTypeInfo MakeMethodType(std::string Name, TMethodKind MethodKind, std::vector<TParamData> Params,
                         std::string ResultType = {});

namespace TypeInfos {
// Standard types.
const TTypeInfo* Integer();
const TTypeInfo* Int64();
const TTypeInfo* Boolean();
const TTypeInfo* Char();
const TTypeInfo* WideChar();
const TTypeInfo* Double();
const TTypeInfo* Currency();
const TTypeInfo* ShortString();
const TTypeInfo* String();
const TTypeInfo* WideString();
const TTypeInfo* Variant();
const TTypeInfo* WordBool();
const TTypeInfo* LongBool();
// Named types, each distinct from the type it is made of.
const TTypeInfo* TColor();          // integer
const TTypeInfo* TCursor();         // integer, -32768..32767
const TTypeInfo* TCaption();        // long string
const TTypeInfo* TTabOrder();       // integer, -1..32767
const TTypeInfo* TModalResult();    // integer
const TTypeInfo* TShortCut();       // integer, 0..65535
const TTypeInfo* TDateTime();       // double
const TTypeInfo* TDate();           // double
const TTypeInfo* TTime();           // double
const TTypeInfo* TFontName();       // long string
const TTypeInfo* TFontCharset();    // integer, 0..255
const TTypeInfo* TComponentName();  // long string
// procedure(Sender: TObject) of object
const TTypeInfo* TNotifyEvent();
// The kinds themselves, named tkUnknown..tkDynArray.
const TTypeInfo* TTypeKind();
}  // namespace TypeInfos
