#pragma once
// Named items: an owned collection whose items carry a Name, that tells its
// owner of every change and forgets its owner when the owner is freed. Verb
// lists, text styles, code templates, gutter images, document and project
// lists and recent-file lists derive from these classes.

#include <string>

#include "platform/classes/Collection.h"
#include "platform/core/Events.h"

// An item with a published Name (string), which is also its display name.
class TZRNamedItem : public TCollectionItem {
  KESTOVA_CLASS(TZRNamedItem)
 public:
  explicit TZRNamedItem(TCollection* Collection) : TCollectionItem(Collection) {}

  std::string Name;

  // From any TZRNamedItem: copies every published property that both
  // classes have, by name (CopyProps). Any other source goes to the default
  // assignment (EConvertError "Cannot assign a ... to a ..." unless the
  // source can assign itself); the item is then unchanged.
  void Assign(const TPersistent* Source) override;
  // Name; the class name while Name is empty.
  std::string DisplayName() const override;
  // Stores Value in Name; no change notice is sent.
  void SetDisplayName(const std::string& Value) override;
  // Tells the collection that this item alone changed (nothing inside an
  // update bracket).
  virtual void Changed();

 protected:
  using TCollectionItem::Changed;
};

class TCustomZRNamedItems;
using TUpdateItemEvent = TMethodPointer<void(TCustomZRNamedItems* Sender, TCollectionItem* Item)>;

// The collection. Owner is kept until the owner is freed (a free notifier of
// the owner, zrhook.h), then it is nullptr; the collection lives on.
class TCustomZRNamedItems : public TCollection {
  KESTOVA_CLASS(TCustomZRNamedItems)
 public:
  // ItemClass derives from TZRNamedItem (TCollection's rules). Owner may be
  // nullptr.
  TCustomZRNamedItems(TPersistent* AOwner, TClass ItemClass);
  ~TCustomZRNamedItems() override;

  TPersistent* Owner() const { return owner_; }
  TPersistent* GetOwner() const override { return owner_; }

  // After every change notice of the collection: OnChange with the
  // collection, then OnUpdateItem with the collection and the changed item
  // (nullptr when the whole collection changed). Inside BeginUpdate/EndUpdate
  // brackets there is one notice, at the outermost EndUpdate, for nullptr.
  TNotifyEvent OnChange;
  TUpdateItemEvent OnUpdateItem;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  void OwnerFreed(const void* Instance);

  TPersistent* owner_ = nullptr;
};

class TZRNamedItems : public TCustomZRNamedItems {
  KESTOVA_CLASS(TZRNamedItems)
 public:
  using TCustomZRNamedItems::TCustomZRNamedItems;
};

// ---- Making named-item collections by class ----
// A collection class reference makes any descendant with (owner, item class):
// a descendant registers MakeNamedItems<itself> as its factory and keeps the
// two-argument constructor.

// A new collection of class ItemsClass (TCustomZRNamedItems or a descendant
// with MakeNamedItems as its factory) for Owner, with items of ItemClass.
// Raises EInvalidCast for a class that is not such a collection class.
TCustomZRNamedItems* CreateNamedItems(TClass ItemsClass, TPersistent* Owner, TClass ItemClass);

namespace detail {
// The item class CreateNamedItems hands to the factory it calls (taken
// once: a factory called on its own inside gets TZRNamedItem).
TClass TakePendingNamedItemClass();
}  // namespace detail

// The factory of a named-item collection class T. Owner is the owner the
// collection gets; the item class is the one CreateNamedItems was given,
// TZRNamedItem when the factory is called on its own.
template <class T>
TObject* MakeNamedItems(TObject* Owner) {
  return new T(dynamic_cast<TPersistent*>(Owner), detail::TakePendingNamedItemClass());
}
