#include "components/base/PackagedCollection.h"

#include <atomic>
#include <cassert>

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
