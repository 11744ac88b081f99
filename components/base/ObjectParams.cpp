#include "components/base/ObjectParams.h"

#include "components/base/ReverseWalk_p.h"
#include "components/base/zrcommon.h"
#include "platform/core/AnsiStrings.h"

KESTOVA_CLASS_INFO(TParamListData, TObject, "ObjectParams", MakeObject<TParamListData>)
KESTOVA_CLASS_INFO(TObjectParamListItem, TCollectionItem, "ObjectParams", MakeCollectionItem<TObjectParamListItem>)
KESTOVA_CLASS_INFO(TObjectParamList, TCollection, "ObjectParams", nullptr)

namespace {

std::int32_t& Group() {
  static std::int32_t group = -1;
  return group;
}

TObjectParamList*& Registry() {
  static TObjectParamList* registry = nullptr;
  return registry;
}

bool ClassMatches(TClass EntryClass, TClass Asked, TClassMatch Mode) {
  switch (Mode) {
    case TClassMatch::ByBase:
      return Asked && Asked->InheritsFrom(EntryClass);
    case TClassMatch::ByDescendant:
      return EntryClass && EntryClass->InheritsFrom(Asked);
    case TClassMatch::Exact:
      return EntryClass == Asked;
  }
  return false;
}

bool ParamsMatch(const TObjectParamListItem& Entry, const TParamNames& Names, TParamMatchFlags Flags,
                 const TParamValues& Values) {
  for (size_t i = 0; i < Names.size(); ++i) {
    const TVariant asked = i < Values.size() ? Values[i] : Unassigned();
    if (!ParamValuesEqual(Entry.GetParam(Names[i]), asked, Flags)) return false;
  }
  return true;
}

}  // namespace

std::int32_t CurrentGroup() { return Group(); }

void SetCurrentGroup(std::int32_t Value) { Group() = Value; }

// ---- Entries ----

TObjectParamListItem::TObjectParamListItem(TCollection* Collection)
    : TCollectionItem(Collection), params_(std::make_unique<TStringList>()) {
  params_->SetSorted(true);
  params_->SetDuplicates(dupIgnore);
}

TObjectParamListItem::~TObjectParamListItem() { FreeStringsAndObjects(params_); }

void TObjectParamListItem::SetParam(std::string_view Name, const TVariant& Value) {
  int index;
  if (params_->Find(Name, index))
    static_cast<TParamListData*>(params_->Objects(index))->Value = Value;
  else
    params_->AddObject(std::string(Name), new TParamListData(Value));
}

TVariant TObjectParamListItem::GetParam(std::string_view Name) const {
  int index;
  if (!params_->Find(Name, index)) return Unassigned();
  return static_cast<const TParamListData*>(params_->Objects(index))->Value;
}

TObjectParamList::TObjectParamList() : TCollection(TObjectParamListItem::StaticClass()) {}

TObjectParamListItem* TObjectParamList::GetItem(int Index) const {
  return static_cast<TObjectParamListItem*>(Items(Index));
}

TObjectParamList* GetObjectParamList() {
  TObjectParamList*& registry = Registry();
  if (!registry) registry = new TObjectParamList();
  return registry;
}

void FreeObjectParamList() { FreeAndNil(Registry()); }

TObjectParamListItem* AddObjectParams(TClass AClass, const TParamNames& Names, bool Enabled,
                                      const TParamValues& Values) {
  auto* entry = static_cast<TObjectParamListItem*>(GetObjectParamList()->Add());
  entry->SetObjectClass(AClass);
  entry->SetEnabled(Enabled);
  entry->SetModule(CurrentGroup());
  for (size_t i = 0; i < Values.size() && i < Names.size(); ++i) entry->SetParam(Names[i], Values[i]);
  return entry;
}

TObjectParamListItem* RegisterObjectParams(TClass AClass, const TParamNames& Names, const TParamValues& Values) {
  return AddObjectParams(AClass, Names, true, Values);
}

// ---- Look-ups ----

bool ParamValuesEqual(const TVariant& A, const TVariant& B, TParamMatchFlags Flags) {
  if (VarType(A) != VarType(B)) return false;
  if (!VarIsStr(A)) return A == B;
  std::string a = VarToStr(A);
  std::string b = VarToStr(B);
  if (Flags & kMatchIgnoreCase) {
    a = AnsiUpperCase(a);
    b = AnsiUpperCase(b);
  }
  if (!(Flags & kMatchContains)) return a == b;
  return a.find(b) != std::string::npos || b.find(a) != std::string::npos;
}

TObjectParamListItem* FindObjectParams(TClass AClass, const TParamNames& Names, TParamMatchFlags Flags,
                                       const TParamValues& Values, TClassMatch Mode, TList* List) {
  TObjectParamList* registry = Registry();
  if (!registry) return nullptr;
  for (int i = 0; i < registry->Count(); ++i) {
    TObjectParamListItem* entry = registry->GetItem(i);
    if (!entry->Enabled() || !ClassMatches(entry->GetObjectClass(), AClass, Mode)) continue;
    if (!ParamsMatch(*entry, Names, Flags, Values)) continue;
    if (!List) return entry;
    List->Add(entry);
  }
  return nullptr;
}

TObjectParamListItem* FindObjectParamsByBase(TClass AClass, const TParamNames& Names, TParamMatchFlags Flags,
                                             const TParamValues& Values) {
  return FindObjectParams(AClass, Names, Flags, Values, TClassMatch::ByBase);
}

TObjectParamListItem* FindObjectParamsByDescendant(TClass AClass, const TParamNames& Names, TParamMatchFlags Flags,
                                                   const TParamValues& Values) {
  return FindObjectParams(AClass, Names, Flags, Values, TClassMatch::ByDescendant);
}

TObjectParamListItem* FindObjectParamsExact(TClass AClass, const TParamNames& Names, TParamMatchFlags Flags,
                                            const TParamValues& Values) {
  return FindObjectParams(AClass, Names, Flags, Values, TClassMatch::Exact);
}

TClass FindRegisteredClass(TClass AClass, const TParamNames& Names, TParamMatchFlags Flags,
                           const TParamValues& Values) {
  TObjectParamListItem* entry = FindObjectParamsByDescendant(AClass, Names, Flags, Values);
  return entry ? entry->GetObjectClass() : nullptr;
}

void EnumObjectParams(TObjectParamList* List, TClass BaseClass, const TParamValues& Params,
                      const TEnumObjectParamsProc& Proc, TVariant& Result) {
  if (!List || !Proc) return;
  WalkNewestFirst<TCollectionItem*>(
      [List] { return List->Count(); }, [List](int Index) { return List->Items(Index); },
      [&](TCollectionItem* Item) {
        auto* entry = static_cast<TObjectParamListItem*>(Item);
        if (!entry->Enabled() || !ClassMatches(entry->GetObjectClass(), BaseClass, TClassMatch::ByDescendant))
          return true;
        bool stop = false;
        Proc(entry, Params, stop, Result);
        return !stop;
      });
}
