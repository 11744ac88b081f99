#pragma once
// Collections of registrations that a design package may add to and that
// must forget the package's entries when it is unloaded.
//
// Each item remembers the package module being loaded when it was added (0
// for the program's own registrations) and the registration group current
// then (CurrentGroup). Every packaged collection is a broadcast receiver for
// its lifetime and frees the items of a group when ZRM_PACKAGEUNLOADED
// arrives with that group as WParam.
//
// Also here: the registries of the edits' pop-up, edit and edit-source
// classes, which are packaged collections, the abstract edit source, and the
// reference-counted list of persistents handed to the form designer.

#include <cstdint>
#include <string>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Interfaces.h"
#include "platform/classes/TypInfo.h"
#include "platform/core/List.h"
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

// ---- Edit class registries ----
// The registries that tell the family's edits which pop-up and edit classes
// to use per value type, and which edit-source classes exist. Packages fill
// them; each is a packaged collection, so an unloaded package's entries go.
// The edits search them comparing class references and type records.

class TPopupClassInfo : public TPackagedCollectionItem {
  KESTOVA_CLASS(TPopupClassInfo)
 public:
  explicit TPopupClassInfo(TCollection* Collection) : TPackagedCollectionItem(Collection) {}

  TClass Class = nullptr;
  const TTypeInfo* ValueType = nullptr;  // the type of the property the class edits
  std::string Qualifier;                 // empty, or a refinement such as " "
  std::int32_t Tag = 0;
};

class TEditClassInfo : public TPopupClassInfo {
  KESTOVA_CLASS(TEditClassInfo)
 public:
  explicit TEditClassInfo(TCollection* Collection) : TPopupClassInfo(Collection) {}

  bool IsDefault = false;  // the default entry for its value type
};

class TEditSourceClassInfo : public TPackagedCollectionItem {
  KESTOVA_CLASS(TEditSourceClassInfo)
 public:
  explicit TEditSourceClassInfo(TCollection* Collection) : TPackagedCollectionItem(Collection) {}

  TClass Class = nullptr;
};

// The source of an edit's value, for edits that do not edit a field of their
// own.
class TEditSource : public TComponent {
  KESTOVA_CLASS(TEditSource)
 public:
  using TComponent::TComponent;
  virtual void GetText(std::string& Text) = 0;
  virtual void SetText(const std::string& Text) = 0;
  // Called by an edit before a key that may change the text reaches it.
  virtual void BeforeChange() {}
};

// The process-wide registries, created on first use; FreeEditClassRegistries
// frees all three at shut-down.
TPackagedCollection* GetPopupClassRegistry();
TPackagedCollection* GetEditClassRegistry();
TPackagedCollection* GetEditSourceClassRegistry();
void FreeEditClassRegistries();

// Each adds an entry with the arguments (a nullptr class is recorded as
// given) and registers Class with the class registry (RegisterClassOnce).
// The Ex form marks the entry as its value type's default.
TPopupClassInfo* RegisterPopupClass(const TTypeInfo* ValueType, std::int32_t Tag, const std::string& Qualifier,
                                    TClass Class);
TEditClassInfo* RegisterEditClass(const TTypeInfo* ValueType, std::int32_t Tag, const std::string& Qualifier,
                                  TClass Class);
TEditClassInfo* RegisterEditClassEx(const TTypeInfo* ValueType, std::int32_t Tag, const std::string& Qualifier,
                                    TClass Class);

// ---- Persistent list ----
// The list of persistents the family hands to the form designer as its
// selection: reference counted, so the designer and the family can both hold
// it; it owns its list, not the objects in it.

// The form designer's view of a selection.
class ISelectionList : public virtual IInterface {
 public:
  // Appends Item; answers its index.
  virtual int Add(TPersistent* Item) = 0;
  virtual int GetCount() const = 0;
  // Raises EListError outside 0..GetCount()-1.
  virtual TPersistent* Get(int Index) const = 0;
  // True when Other has as many items and the same object at each place
  // (order counts). False for nullptr.
  virtual bool Equals(const ISelectionList* Other) const = 0;
};

class TZRPersistentList : public TInterfacedObject, public ISelectionList {
  KESTOVA_CLASS(TZRPersistentList)
 public:
  TZRPersistentList() = default;
  TZRPersistentList(const TZRPersistentList&) = delete;
  TZRPersistentList& operator=(const TZRPersistentList&) = delete;

  int Add(TPersistent* Item) override;
  int GetCount() const override;
  TPersistent* Get(int Index) const override;
  bool Equals(const ISelectionList* Other) const override;

 private:
  TList list_;
};
