#pragma once
// Run-time type information of published properties.
//
// A type is a TTypeInfo record: a kind (the class library's numbers, below),
// a name and the data of its kind (TTypeData). Types are distinct by
// registration, not by C++ type: TColor and Integer are both 32-bit integers
// here, but two records, so that property editors can be registered for one
// of them. A record's address is its identity; records live until the
// process ends. The standard named types are in StdTypeInfo.h.
//
// A published property is a TPropInfo record kept by the class that declares
// it (TClassInfo::Properties, filled by its describing function; see
// TypInfoPublish.h). Values pass through type-erased accessors by the group
// of the property's kind:
//   ordinal  (integer, char, enumeration, set, class, wide char): int64.
//            A set is its bit mask, element n = bit n; a class property is
//            the object's TObject* as an integer (GetObjectProp gives it
//            typed).
//   float    long double; a currency property as its amount (raw / 10000).
//   string   (short, long and wide strings) UTF-8 std::string.
//   variant  TVariant (platform/classes/Variant.h).
//   method   TMethod (platform/core/MethodEntry.h).
//   int64    int64.
// Calling an accessor of another group, or reading a property that has no
// reader (writing one without a writer), raises EPropertyError with
// kInvalidPropertyTypeText or kPropertyNotReadableText / kReadOnlyPropertyText.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/MethodEntry.h"
#include "platform/core/Object.h"
#include "platform/core/Set.h"

class TVariant;

// Kinds, as the class library numbers them.
enum TTypeKind : std::uint8_t {
  tkUnknown = 0,
  tkInteger = 1,
  tkChar = 2,
  tkEnumeration = 3,
  tkFloat = 4,
  tkString = 5,  // short string
  tkSet = 6,
  tkClass = 7,
  tkMethod = 8,
  tkWChar = 9,
  tkLString = 10,
  tkWString = 11,
  tkVariant = 12,
  tkArray = 13,
  tkRecord = 14,
  tkInterface = 15,
  tkInt64 = 16,
  tkDynArray = 17,
};
using TTypeKinds = TSet<TTypeKind>;
inline constexpr TTypeKinds tkAny = TTypeKinds::FromBits((std::uint64_t{1} << 18) - 1);
inline constexpr TTypeKinds tkOrdinal{tkInteger, tkChar, tkEnumeration, tkSet, tkClass, tkWChar};
inline constexpr TTypeKinds tkFloats{tkFloat};
inline constexpr TTypeKinds tkStrings{tkString, tkLString, tkWString};
inline constexpr TTypeKinds tkMethods{tkMethod};

enum TOrdType : std::uint8_t { otSByte, otUByte, otSWord, otUWord, otSLong, otULong };
enum TFloatType : std::uint8_t { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

// Method kinds; mkFunction and mkSafeFunction have a result type.
enum TMethodKind : std::uint8_t {
  mkProcedure,
  mkFunction,
  mkConstructor,
  mkDestructor,
  mkClassProcedure,
  mkClassFunction,
  mkSafeProcedure,
  mkSafeFunction,
};
// Parameter flags: var 1, const 2, array 4, address 8, reference 16, out 32.
enum TParamFlag : std::uint8_t { pfVar, pfConst, pfArray, pfAddress, pfReference, pfOut };
using TParamFlags = TSet<TParamFlag>;

struct TParamData {
  TParamFlags Flags;
  std::string ParamName;
  std::string TypeName;  // as the type is written in source ("TObject", "Integer", "string")
  bool operator==(const TParamData&) const = default;
};

struct TTypeInfo;

// The data of a type; only the fields of its kind are meaningful.
struct TTypeData {
  // Integer, char, enumeration, wide char, int64.
  TOrdType OrdType = otSLong;
  std::int64_t MinValue = 0;
  std::int64_t MaxValue = 0;
  std::vector<std::string> NameList;  // enumeration: the name of MinValue + i
  std::string EnumUnitName;
  const TTypeInfo* CompType = nullptr;  // set: the element type
  TFloatType FloatType = ftDouble;
  std::uint8_t MaxLength = 255;  // short string
  TClass ClassType = nullptr;    // class
  // Method.
  TMethodKind MethodKind = mkProcedure;
  std::vector<TParamData> Params;
  std::string ResultType;  // the function kinds
};

struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  std::string Name;
  TTypeData Data;

  TTypeInfo(TTypeKind AKind, std::string AName, TTypeData AData = {})
      : Kind(AKind), Name(std::move(AName)), Data(std::move(AData)) {}
  TTypeInfo(const TTypeInfo&) = delete;
  TTypeInfo& operator=(const TTypeInfo&) = delete;
};

// The data of TypeInfo's kind; nullptr for nullptr.
inline const TTypeData* GetTypeData(const TTypeInfo* TypeInfo) { return TypeInfo ? &TypeInfo->Data : nullptr; }

// The type record of a class, made on first use (kind tkClass, the class's
// name, ClassType set).
const TTypeInfo* ClassTypeInfo(TClass Class);

// Property index for a property without an index specifier.
inline constexpr std::int32_t kNoPropIndex = INT32_MIN;

// Type-erased accessors of one property; those of other groups stay nullptr.
struct TPropAccess {
  std::int64_t (*GetOrd)(const TObject&, const TPropInfo&) = nullptr;  // ordinal and int64
  void (*SetOrd)(TObject&, const TPropInfo&, std::int64_t) = nullptr;
  long double (*GetFloat)(const TObject&, const TPropInfo&) = nullptr;
  void (*SetFloat)(TObject&, const TPropInfo&, long double) = nullptr;
  std::string (*GetStr)(const TObject&, const TPropInfo&) = nullptr;
  void (*SetStr)(TObject&, const TPropInfo&, const std::string&) = nullptr;
  void (*GetVariant)(const TObject&, const TPropInfo&, TVariant& Value) = nullptr;
  void (*SetVariant)(TObject&, const TPropInfo&, const TVariant&) = nullptr;
  TMethod (*GetMethod)(const TObject&, const TPropInfo&) = nullptr;
  void (*SetMethod)(TObject&, const TPropInfo&, const TMethod&) = nullptr;
};

struct TPropInfo {
  const TTypeInfo* PropType = nullptr;
  std::string Name;
  TClass DeclaringClass = nullptr;
  // Position among the published properties of the class and its ancestors
  // (declaration order, ancestors first). A class that declares an
  // ancestor's property again takes its position.
  std::int32_t NameIndex = 0;
  std::int32_t Index = kNoPropIndex;    // handed to indexed accessors
  std::optional<std::int64_t> Default;  // ordinal, set and int64 properties
  // Stored test: StoredProc on the object when set, else StoredConst.
  bool (*StoredProc)(const TObject&) = nullptr;
  bool StoredConst = true;
  TPropAccess Access;
};

// Texts of the property access errors ("%s": the property's name).
inline constexpr const char* kInvalidPropertyTypeText = "Invalid property type: %s";
inline constexpr const char* kPropertyNotReadableText = "Property %s is write-only";
inline constexpr const char* kReadOnlyPropertyText = "Property %s is read-only";

// Published properties of Class and its ancestors: in declaration order,
// ancestors first (GetPropInfos), or those of the given kinds sorted by name
// without regard to case (GetPropList). Empty for nullptr.
std::vector<const TPropInfo*> GetPropInfos(TClass Class);
std::vector<const TPropInfo*> GetPropList(TClass Class, TTypeKinds Kinds = tkAny);
// The published property named Name (case ignored) of one of Kinds, or
// nullptr.
const TPropInfo* GetPropInfo(TClass Class, std::string_view Name, TTypeKinds Kinds = tkAny);

const std::string& ClassUnitName(TClass Class);

// Value accessors; the object must be of the property's class.
std::int64_t GetOrdProp(const TObject* Instance, const TPropInfo* PropInfo);
void SetOrdProp(TObject* Instance, const TPropInfo* PropInfo, std::int64_t Value);
TObject* GetObjectProp(const TObject* Instance, const TPropInfo* PropInfo);
// Raises EInvalidCast when Value is not of the property's class.
void SetObjectProp(TObject* Instance, const TPropInfo* PropInfo, TObject* Value);
long double GetFloatProp(const TObject* Instance, const TPropInfo* PropInfo);
void SetFloatProp(TObject* Instance, const TPropInfo* PropInfo, long double Value);
std::string GetStrProp(const TObject* Instance, const TPropInfo* PropInfo);
void SetStrProp(TObject* Instance, const TPropInfo* PropInfo, const std::string& Value);
void GetVariantProp(const TObject* Instance, const TPropInfo* PropInfo, TVariant& Value);
void SetVariantProp(TObject* Instance, const TPropInfo* PropInfo, const TVariant& Value);
TMethod GetMethodProp(const TObject* Instance, const TPropInfo* PropInfo);
// Raises EInvalidCast for a method with code of another signature.
void SetMethodProp(TObject* Instance, const TPropInfo* PropInfo, const TMethod& Value);
std::int64_t GetInt64Prop(const TObject* Instance, const TPropInfo* PropInfo);
void SetInt64Prop(TObject* Instance, const TPropInfo* PropInfo, std::int64_t Value);

// The stored test of the property for this object.
bool IsStoredProp(const TObject* Instance, const TPropInfo* PropInfo);

// The name of value Value of an enumeration (empty outside its range); the
// number as text for the other ordinal types.
std::string GetEnumName(const TTypeInfo* TypeInfo, std::int64_t Value);
// The value named Name (case ignored) of an enumeration; -1 when none.
std::int64_t GetEnumValue(const TTypeInfo* TypeInfo, std::string_view Name);
