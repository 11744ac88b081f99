#include "components/base/EditClassRegistry.h"

#include <memory>

#include "components/base/ClassItems.h"

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
