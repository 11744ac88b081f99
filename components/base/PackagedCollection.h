#pragma once
// Collections of registrations that a design package may add to and that
// must forget the package's entries when it is unloaded.
//
// Each item remembers the package module being loaded when it was added (0
// for the program's own registrations) and the registration group current
// then (CurrentGroup). Every packaged collection is a broadcast receiver for
// its lifetime and frees the items of a group when ZRM_PACKAGEUNLOADED
// arrives with that group as WParam.

#include <cstdint>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Collection.h"
#include "platform/core/Message.h"

// The module of the package being loaded; 0 while none is (the program's
// own registrations). Pointer-sized. The package loader sets it around a
// package's registration and puts the previous value back.
TModuleTag CurrentPackageModule();
// Returns the previous value.
TModuleTag SetCurrentPackageModule(TModuleTag Module);

class TPackagedCollectionItem : public TCollectionItem {
  KESTOVA_CLASS(TPackagedCollectionItem)
 public:
  explicit TPackagedCollectionItem(TCollection* Collection) : TCollectionItem(Collection) {}

  TModuleTag PackageModule = 0;
  std::int32_t Group = 0;
};

class TPackagedCollection : public TCollection {
  KESTOVA_CLASS(TPackagedCollection)
 public:
  // ItemClass derives from TPackagedCollectionItem and has a factory.
  explicit TPackagedCollection(TClass ItemClass);
  ~TPackagedCollection() override;

  // A new item at the end, stamped with CurrentPackageModule() and
  // CurrentGroup().
  TPackagedCollectionItem* AddItem();
  // The last item, or nullptr when the collection is empty.
  TPackagedCollectionItem* LastItem() const;
  TPackagedCollectionItem* Item(int Index) const { return static_cast<TPackagedCollectionItem*>(Items(Index)); }
  // Frees every item of Group, the last first.
  void RemoveGroup(std::int32_t Group);

  // Handler of ZRM_PACKAGEUNLOADED: RemoveGroup(WParam).
  void ZRMPackageUnloaded(TMessage& Message);
};
