#pragma once
// The parameter registry: one process-wide list of facts that the modules of
// the component family announce to each other without a compile-time link.
//
// Each fact is an entry: a class plus a few named Variant parameters ("this
// control class has a keyboard mapping named Brief", "files ending in .pas
// get this code designer"). Look-ups select entries by their class's
// relation to an asked class and by parameter values, oldest entry first, so
// a later registration of the same name never displaces an earlier one;
// enumeration shows the newest first. Entries whose Enabled flag is off are
// invisible to both. Procedure addresses and classes are kept as the
// Variant's pointer kinds, whole on 64 bits.
//
// Nothing here raises on a look-up: a missing entry is nullptr, a missing
// parameter Unassigned. Single GUI thread.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/classes/Variant.h"
#include "platform/core/Events.h"
#include "platform/core/List.h"
#include "platform/core/StringList.h"

// ---- Registration group ----

// The registration group stamped on new entries: a process-wide signed
// value, -1 until the designer opens a group. Unloading a package drops what
// its group registered.
std::int32_t CurrentGroup();
void SetCurrentGroup(std::int32_t Group);

// ---- Entries ----

// One parameter value, owned by its entry.
class TParamListData : public TObject {
  KESTOVA_CLASS(TParamListData)
 public:
  TParamListData() = default;
  explicit TParamListData(TVariant AValue) : Value(std::move(AValue)) {}

  TVariant Value;
};

class TObjectParamListItem : public TCollectionItem {
  KESTOVA_CLASS(TObjectParamListItem)
 public:
  explicit TObjectParamListItem(TCollection* Collection);
  // Frees the parameters with their values.
  ~TObjectParamListItem() override;

  // Replaces the value of a parameter (names compare without case) or adds
  // the parameter.
  void SetParam(std::string_view Name, const TVariant& Value);
  // A copy of the value; Unassigned when the entry has no such parameter.
  TVariant GetParam(std::string_view Name) const;
  // The parameter names, sorted without case; each line's object is its
  // TParamListData.
  const TStringList& Params() const { return *params_; }

  // The class the entry is registered for (both names are in use).
  TClass GetObjectClass() const { return objectClass_; }
  TClass GetItemClass() const { return objectClass_; }
  void SetObjectClass(TClass Value) { objectClass_ = Value; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value) { enabled_ = Value; }
  // The registration group current when the entry was added.
  std::int32_t Module() const { return module_; }
  void SetModule(std::int32_t Value) { module_ = Value; }

 private:
  std::unique_ptr<TStringList> params_;
  TClass objectClass_ = nullptr;
  bool enabled_ = true;
  std::int32_t module_ = -1;
};

// The entries in order of registration, oldest first.
class TObjectParamList : public TCollection {
  KESTOVA_CLASS(TObjectParamList)
 public:
  TObjectParamList();
  // Raises EListError "List index out of bounds (i)" outside 0..Count-1.
  TObjectParamListItem* GetItem(int Index) const;
};

// The process-wide registry, created on first use.
TObjectParamList* GetObjectParamList();
// Frees the registry with its entries at module shut-down; a later use
// starts an empty one.
void FreeObjectParamList();

using TParamNames = std::vector<std::string>;
using TParamValues = std::vector<TVariant>;

// Appends an entry for AClass, stamped with CurrentGroup(), and sets
// Names[i] to Values[i] for each pair (a name or value without a partner is
// left out). Returns the entry.
TObjectParamListItem* AddObjectParams(TClass AClass, const TParamNames& Names, bool Enabled,
                                      const TParamValues& Values);
// AddObjectParams with Enabled true.
TObjectParamListItem* RegisterObjectParams(TClass AClass, const TParamNames& Names, const TParamValues& Values);

// ---- Look-ups ----

// How string values match (a byte set).
using TParamMatchFlags = std::uint8_t;
inline constexpr TParamMatchFlags kMatchIgnoreCase = 0x01;  // upper-cased first (Unicode-aware)
inline constexpr TParamMatchFlags kMatchContains = 0x02;    // either may contain the other

// How an entry's class must relate to the asked class.
enum class TClassMatch : std::uint8_t {
  ByBase = 0,        // the asked class is the entry's class or derives from it
  ByDescendant = 1,  // the entry's class is the asked class or derives from it
  Exact = 2,         // the same class
};

// Two parameter values match only with equal type codes: integer 1 never
// matches "1", and a missing parameter (Unassigned) only Unassigned. Two
// strings compare as Flags say; other values by Variant equality.
bool ParamValuesEqual(const TVariant& A, const TVariant& B, TParamMatchFlags Flags);

// Walks the enabled entries oldest first and keeps those whose class matches
// AClass by Mode and whose parameter Names[i] matches Values[i] for every
// name (a name without a value is matched against Unassigned; no names
// accept every entry of a matching class). Without List: the first match,
// or nullptr. With List: every match is appended to it and the result is
// nullptr.
TObjectParamListItem* FindObjectParams(TClass AClass, const TParamNames& Names, TParamMatchFlags Flags,
                                       const TParamValues& Values, TClassMatch Mode, TList* List = nullptr);
TObjectParamListItem* FindObjectParamsByBase(TClass AClass, const TParamNames& Names, TParamMatchFlags Flags,
                                             const TParamValues& Values);
TObjectParamListItem* FindObjectParamsByDescendant(TClass AClass, const TParamNames& Names, TParamMatchFlags Flags,
                                                   const TParamValues& Values);
TObjectParamListItem* FindObjectParamsExact(TClass AClass, const TParamNames& Names, TParamMatchFlags Flags,
                                            const TParamValues& Values);
// The class of the entry FindObjectParamsByDescendant finds, or nullptr.
TClass FindRegisteredClass(TClass AClass, const TParamNames& Names, TParamMatchFlags Flags, const TParamValues& Values);

// Called for each entry of an enumeration; setting Stop ends it after this
// call. Params and Result are the enumeration's own, handed through.
using TEnumObjectParamsProc =
    TMethodPointer<void(TObjectParamListItem* Entry, const TParamValues& Params, bool& Stop, TVariant& Result)>;

// Calls Proc for each enabled entry of List whose class is BaseClass or
// derives from it, newest first. Proc may remove entries: one removed before
// its turn is passed over.
void EnumObjectParams(TObjectParamList* List, TClass BaseClass, const TParamValues& Params,
                      const TEnumObjectParamsProc& Proc, TVariant& Result);

// The procedure in an entry's parameter as F*; nullptr when the entry is
// nullptr or the parameter holds no procedure (missing, 0 or another kind).
template <class F>
requires std::is_function_v<F> F* ParamProc(const TObjectParamListItem* Entry, std::string_view Name) {
  if (!Entry) return nullptr;
  const TVariant value = Entry->GetParam(Name);
  return VarType(value) == varProcedure ? VarToProc<F>(value) : nullptr;
}
