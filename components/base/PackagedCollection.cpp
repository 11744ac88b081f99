#include "components/base/PackagedCollection.h"

#include <atomic>
#include <cassert>
#include <memory>

#include "components/base/ClassItems.h"
#include "components/base/MessageBroadcast.h"
#include "components/base/ObjectParams.h"
#include "platform/classes/Messages.h"

namespace {

std::atomic<TModuleTag> packageModule{0};

void DescribeTPackagedCollection(TClassInfo& Info) {
  AddMessageHandler<&TPackagedCollection::ZRMPackageUnloaded>(Info, ZRM_PACKAGEUNLOADED);
}

}  // namespace

KESTOVA_CLASS_INFO(TPackagedCollectionItem, TCollectionItem, "zrbase", &MakeCollectionItem<TPackagedCollectionItem>)
KESTOVA_CLASS_INFO_DESCRIBED(TPackagedCollection, TCollection, "zrbase", nullptr, DescribeTPackagedCollection)

TModuleTag CurrentPackageModule() { return packageModule.load(); }
TModuleTag SetCurrentPackageModule(TModuleTag Module) { return packageModule.exchange(Module); }

TPackagedCollection::TPackagedCollection(TClass ItemClass) : TCollection(ItemClass) {
  assert(ItemClass->InheritsFrom(TPackagedCollectionItem::StaticClass()));
  AddMessageAnswer(this);
}

TPackagedCollection::~TPackagedCollection() { RemoveMessageAnswer(this); }

TPackagedCollectionItem* TPackagedCollection::AddItem() {
  auto* item = static_cast<TPackagedCollectionItem*>(Add());
  item->PackageModule = CurrentPackageModule();
  item->Group = CurrentGroup();
  return item;
}

TPackagedCollectionItem* TPackagedCollection::LastItem() const { return Count() > 0 ? Item(Count() - 1) : nullptr; }

void TPackagedCollection::RemoveGroup(std::int32_t Group) {
  for (int i = Count() - 1; i >= 0; --i)
    if (Item(i)->Group == Group) Delete(i);
}

void TPackagedCollection::ZRMPackageUnloaded(TMessage& Message) {
  RemoveGroup(static_cast<std::int32_t>(Message.WParam));
}

namespace {

std::unique_ptr<TPackagedCollection> popupClasses, editClasses, editSourceClasses;

TPackagedCollection* Registry(std::unique_ptr<TPackagedCollection>& Slot, TClass ItemClass) {
  if (!Slot) Slot = std::make_unique<TPackagedCollection>(ItemClass);
  return Slot.get();
}

template <class Info>
Info* AddEntry(TPackagedCollection* Registry, const TTypeInfo* ValueType, std::int32_t Tag,
               const std::string& Qualifier, TClass Class) {
  auto* entry = static_cast<Info*>(Registry->AddItem());
  entry->Class = Class;
  entry->ValueType = ValueType;
  entry->Qualifier = Qualifier;
  entry->Tag = Tag;
  RegisterClassOnce(Class);
  return entry;
}

}  // namespace

KESTOVA_CLASS_INFO(TPopupClassInfo, TPackagedCollectionItem, "zrbase", &MakeCollectionItem<TPopupClassInfo>)
KESTOVA_CLASS_INFO(TEditClassInfo, TPopupClassInfo, "zrbase", &MakeCollectionItem<TEditClassInfo>)
KESTOVA_CLASS_INFO(TEditSource, TComponent, "zrbase", nullptr)
KESTOVA_CLASS_INFO(TEditSourceClassInfo, TPackagedCollectionItem, "zrbase", &MakeCollectionItem<TEditSourceClassInfo>)

TPackagedCollection* GetPopupClassRegistry() { return Registry(popupClasses, TPopupClassInfo::StaticClass()); }
TPackagedCollection* GetEditClassRegistry() { return Registry(editClasses, TEditClassInfo::StaticClass()); }
TPackagedCollection* GetEditSourceClassRegistry() {
  return Registry(editSourceClasses, TEditSourceClassInfo::StaticClass());
}

void FreeEditClassRegistries() {
  popupClasses.reset();
  editClasses.reset();
  editSourceClasses.reset();
}

TPopupClassInfo* RegisterPopupClass(const TTypeInfo* ValueType, std::int32_t Tag, const std::string& Qualifier,
                                    TClass Class) {
  return AddEntry<TPopupClassInfo>(GetPopupClassRegistry(), ValueType, Tag, Qualifier, Class);
}

TEditClassInfo* RegisterEditClass(const TTypeInfo* ValueType, std::int32_t Tag, const std::string& Qualifier,
                                  TClass Class) {
  return AddEntry<TEditClassInfo>(GetEditClassRegistry(), ValueType, Tag, Qualifier, Class);
}

TEditClassInfo* RegisterEditClassEx(const TTypeInfo* ValueType, std::int32_t Tag, const std::string& Qualifier,
                                    TClass Class) {
  TEditClassInfo* entry = RegisterEditClass(ValueType, Tag, Qualifier, Class);
  entry->IsDefault = true;
  return entry;
}

KESTOVA_CLASS_INFO(TZRPersistentList, TInterfacedObject, "zrbase", nullptr)

int TZRPersistentList::Add(TPersistent* Item) { return list_.Add(Item); }

int TZRPersistentList::GetCount() const { return list_.Count(); }

TPersistent* TZRPersistentList::Get(int Index) const { return static_cast<TPersistent*>(list_.Get(Index)); }

bool TZRPersistentList::Equals(const ISelectionList* Other) const {
  if (!Other || Other->GetCount() != GetCount()) return false;
  for (int i = 0; i < GetCount(); ++i)
    if (Other->Get(i) != Get(i)) return false;
  return true;
}
