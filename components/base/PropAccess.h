#pragma once
// Reading, writing, copying and enumerating the published properties of any
// object through the type information, by the group of each property's kind:
//
//   ordinal  integer, character, enumeration, set: a 32-bit integer;
//            class: the object reference itself (pointer-sized; the object
//            is shared, not copied), carried in a Variant as an object
//   float    a floating-point number
//   string   short, long and wide strings, wide characters: a string
//   variant  the value as it is
//   ignored  unknown, methods, and every kind above variant (arrays,
//            records, interfaces, 64-bit integers, dynamic arrays)

#include <string>
#include <string_view>

#include "platform/classes/TypInfo.h"
#include "platform/classes/Variant.h"
#include "platform/core/Streams.h"

// The property's type, or nullptr for nullptr.
const TTypeInfo* PropTypeOf(const TPropInfo* PropInfo);
// The object's owner as a persistent reports it (GetOwner); nullptr for
// nullptr or an object that is not a persistent.
TPersistent* GetOwnerOf(const TObject* Object);

// Reads SourceProp of Source and writes the value into DestProp of Dest, by
// the group of the source property's kind. Nothing when either property is
// nullptr, for the ignored kinds, when DestProp cannot be written, or when
// DestProp is of another group.
void CopyPropValue(const TObject* Source, TObject* Dest, const TPropInfo* SourceProp, const TPropInfo* DestProp);
// CopyPropValue with the property named Name in each object's class; nothing
// when either class lacks it.
void CopyPropByName(const TObject* Source, TObject* Dest, std::string_view Name);
// CopyPropByName for every published property of Source's class, ancestors'
// first; nothing when either is nullptr or both are the same object.
void CopyProps(const TObject* Source, TObject* Dest);

// The property's value: an integer for the ordinal kinds (an object for a
// class property), a double, a string, or the variant; Empty for nullptr and
// the ignored kinds.
TVariant GetPropAsVariant(const TObject* Instance, const TPropInfo* PropInfo);
// Writes Value into the property. Ordinal kinds: a string is read with
// StrToInt (decimal, or hexadecimal after "$"), a Boolean true stores 1,
// anything else is taken as a 32-bit integer; a class property takes the
// Variant's object. Conversion errors go through (EConvertError,
// EVariantError). Nothing for nullptr and the ignored kinds.
void SetPropFromVariant(TObject* Instance, const TPropInfo* PropInfo, const TVariant& Value);

using TPublishedPropProc = void (*)(TObject* Instance, const TPropInfo* PropInfo, void* Data);

// Calls Proc for each published property of Instance's class whose kind is in
// Kinds, in name order (case ignored). With OnlyStored, properties whose
// stored test fails for Instance are passed over. Nothing when Instance or
// Proc is nullptr. An exception from Proc ends the walk and goes through.
void ForEachPublishedProp(TObject* Instance, TTypeKinds Kinds, bool OnlyStored, void* Data, TPublishedPropProc Proc);
// ForEachPublishedProp with every kind.
void ForEachStoredProp(TObject* Instance, bool OnlyStored, void* Data, TPublishedPropProc Proc);

// ---- Whole objects in the component stream ----
// Objects, components or not, in the component stream (binary or text
// form). A component is the root of its stream. Any other persistent
// travels in a TPersHolder named "PersHolder", streamed as the root, with the
// object's published properties as the sub-properties of P; the stream then
// names "TPersHolder", and reads back into any object of the object's class.
//
// Reader, writer and file errors go through (EReadError, EWriteError,
// EInOutError for files); the temporary holder and memory stream are freed and the
// global-loading bracket is closed whatever happens.

void WriteObjectBinary(TStream& Stream, TPersistent* Object);
// Inside a global-loading bracket: a component is read in place, and then
// the components the read loaded are told Loaded; another object is read
// through a holder whose P is the object, without that notification.
void ReadObjectBinary(TStream& Stream, TPersistent* Object);

// The binary form converted to text, and back for reading.
void WriteObjectText(TStream& Stream, TPersistent* Object);
void ReadObjectText(TStream& Stream, TPersistent* Object);

// Creates or truncates FileName and writes the text form into it.
void SaveObjectToFile(TPersistent* Object, const std::string& FileName);
// Opens FileName for reading while denying others write access (open mode
// 0x0020, an advisory lock here) and reads the text form from it.
void LoadObjectFromFile(TPersistent* Object, const std::string& FileName);
