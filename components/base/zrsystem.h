#pragma once
// Small routines shared by the component family's units: strings and
// character sets, lists, components and names, GUIDs and servers, and the
// unit's start-up. Strings are UTF-8 held byte-wise; positions are 1-based
// byte positions.
//
// Routines of the same group that live elsewhere: FreeStringsAndObjects
// (zrcommon.h), RegisterClassOnce and RegisterClassesOnce (ClassItems.h),
// BackupFileName (zrbaselib.h), ClassUnitName (TypInfo.h), IsWinNT
// (RegistrySettings.h), GetShiftState and IsAltDown (Keyboard.h), the drawing
// routines (CanvasUtils.h), ResourceTypeName (PEResources.h).

#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/classes/Component.h"
#include "platform/classes/Interfaces.h"
#include "platform/classes/TypInfo.h"
#include "platform/core/Events.h"
#include "platform/core/List.h"
#include "platform/core/StringList.h"

// ---- Strings and character sets ----

using TZRCharSet = std::bitset<256>;

void AppendStr(std::string& S, std::string_view T);
// N blanks; "" for N <= 0.
std::string SpaceString(int N);
// Extends S with blanks to N characters when it is shorter.
void PadRight(std::string& S, int N);
// Position of the first character that is not a blank; Length + 1 when none.
int FirstNonBlank(std::string_view S);
// S with every Ch written Extra + 1 times.
std::string MultiplyChar(std::string_view S, char Ch, int Extra);
// Set plus the characters of Chars; without CaseSensitive also their ASCII
// upper- and lower-case forms.
TZRCharSet AddCharsToSet(TZRCharSet Set, std::string_view Chars, bool CaseSensitive);
// S without the characters in Set.
std::string RemoveChars(const TZRCharSet& Set, std::string_view S);
std::string StripChars(std::string_view S, std::string_view Chars, bool CaseSensitive);
// The length-prefixed string at P (one length byte, then the characters);
// P advances past it. End bounds the read: a length running past it raises
// EReadError.
std::string ReadShortStr(const uint8_t*& P, const uint8_t* End);
// Deletes Length(Old) characters at Pos and inserts New there.
void ReplaceAt(std::string& S, int Pos, std::string_view Old, std::string_view New);
// Replaces every Old from position 1 on, going on after each inserted text;
// "aaa" with "a" -> "aa" gives "aaaaaa". Nothing for an empty Old.
void ReplaceAllOf(std::string& S, std::string_view Old, std::string_view New);
// The file name without its folder and extension.
std::string ExtractFileTitle(std::string_view FileName);
// "Lib.Class.1" gives "Class"; "Lib.Class" gives "Class"; "Lib" gives "Lib".
std::string ClassPartOfProgID(std::string_view ProgID);
// The Pascal type name of an OLE Variant type code 0..31 ("" for 0, 1, 15
// and any other code).
std::string VarTypeToTypeName(int Code);

// ---- String lists and pointer lists ----

std::unique_ptr<TStringList> CreateSortedStringList();
// Replaces the lines of Strings by Items within one update, so that an
// OnChange handler runs once.
void SetStringsFromArray(TStrings& Strings, std::initializer_list<const char*> Items);
void ForEachString(const TStrings& List, void (*Proc)(void* Data, const std::string& S), void* Data);
// Frees every object of the list (each a TObject it owns), then clears it;
// a failure while freeing still leaves the list cleared and is passed on.
void ClearStringsAndObjects(TStrings& List);
std::unique_ptr<TList> CreateList();
// Appends Source's items to Dest; nothing when both are the same list.
void AppendListItems(const TList& Source, TList& Dest);
// The counts are equal and every item of A is in B.
bool SameListItems(const TList& A, const TList& B);
// From the last index down: Proc(Data, Item, Index, Continue) with Continue
// preset true, until Proc clears it; the index is clamped to the count after
// each call, so Proc may delete items. Answers Continue (true for nullptr).
using TListIterateProc = void (*)(void* Data, void* Item, int Index, bool& Continue);
bool IterateListBackward(TList* List, TListIterateProc Proc, void* Data);
// The largest value; INT32_MIN for none.
int32_t MaxOfArray(std::span<const int32_t> Values);
// Clears List and adds the names of an enumeration type, lowest value first;
// nothing unless both are given and the type is an enumeration.
void GetEnumNames(const TTypeInfo* TypeInfo, TStrings* List);

// ---- Components and names ----

// Expands Name against BaseDir with the current directory of the file
// system of Descriptor, which is set back afterwards, also on failure.
std::string ExpandFileNameIn(const std::string& BaseDir, const std::string& Name, const std::string& Descriptor);
// "" for an empty Name; else ExpandFileNameIn(folder of RefFile, ...).
std::string ExpandRelativeTo(const std::string& RefFile, const std::string& Name, const std::string& Descriptor);
std::string GetNamePathOf(const TPersistent* Obj);
// The caption hook's answer when one is installed; else "" for nullptr; else
// Name (or the name path when Name is empty) + ": " + the class name, "" when
// both are empty.
using TObjectCaptionHook = TMethodPointer<std::string(const TPersistent* Obj, const std::string& Name)>;
void SetObjectCaptionHook(const TObjectCaptionHook& Hook);
std::string GetObjectCaption(const TPersistent* Obj, const std::string& Name);
// Neither Component nor any owner above it owns a component named Name.
bool IsNameUnused(const TComponent* Component, std::string_view Name);
// Prefix + "1", "2", ... until IsNameUnused; Prefix + "1" for nullptr.
std::string MakeUniqueName(const TComponent* Component, const std::string& Prefix);
// For each named component owned by Root that is of Class: Proc(Data, name),
// the name prefixed with Root's name and "." when Root is not DesignRoot.
using TNameProc = void (*)(void* Data, const std::string& Name);
void EnumComponentNames(const TComponent* Root, const TComponent* DesignRoot, TClass Class, TNameProc Proc,
                        void* Data);
void EnumComponentNamesInList(const TList& Roots, const TComponent* DesignRoot, TClass Class, TNameProc Proc,
                              void* Data);
// The family's look-up of components of other roots, asked by the component
// stream (RegisterFindGlobalComponentProc). Install answers false, doing
// nothing, when one is installed.
using TFindComponentMethod = TMethodPointer<TComponent*(void* Data, const std::string& Name)>;
bool InstallFindGlobalComponent(const TFindComponentMethod& Proc, void* Data);
void RemoveFindGlobalComponent();
// The property-change hook (none by default).
using TPropChangeHook = TMethodPointer<void(TPersistent* Obj, const std::string& PropName)>;
void SetPropChangeHook(const TPropChangeHook& Hook);
void CallPropChangeHook(TPersistent* Obj, const std::string& PropName);
void CallProcWith(void (*Proc)(void* Arg), void* Arg);
void CallRegisterProc(void (*Proc)());
// Calls Proc unless the standard property editors are registered (a flag the
// form designer sets).
void SetEditorsRegistered(bool Value);
void CallIfEditorsNotRegistered(void (*Proc)());
// Whether the class library runs from a shared package. Packages are not
// decided yet: every registry is one process-wide instance, so false.
bool RuntimePackagesInUse();

// ---- GUIDs, type libraries and servers ----

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (braces optional on input); a
// malformed text raises EConvertError with kInvalidGuidText.
inline constexpr const char* kInvalidGuidText = "'%s' is not a valid GUID value";
TGUID StringToCLSID(std::string_view S);
std::string CLSIDToString(const TGUID& Guid);
// There are no type libraries here: "".
std::string GetTypeLibraryName(const TGUID& Guid);
// Loads the library, calls its "DllRegisterServer" and unloads it; raises
// Exception with the texts below (each %s filled in order).
inline constexpr const char* kLoadLibraryFailedText = "Failed to load \"%s\"";
inline constexpr const char* kProcNotFoundText = "%s procedure not found in \"%s\"";
inline constexpr const char* kCallFailedText = "Call to %s failed in \"%s\"";
void RegisterOleServer(const std::string& FileName);

// The GUID made for this process at start-up, in text form ("" before).
const std::string& ProcessGuid();

// The unit's start-up and shut-down (BaseModules.cpp runs them).
void StartUpSystemUnit();
void ShutDownSystemUnit();
