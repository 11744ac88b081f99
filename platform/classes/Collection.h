#pragma once
// TCollection and TCollectionItem: an ordered, owning list of items of one
// class.
//
// Each item gets an ID when it joins a collection: the collection's next ID,
// which only grows, so an ID is never reused in that collection and stays
// with the item when it moves to another index. Freeing an item takes it out
// of its collection; freeing the collection frees its items.
//
// Change notices: the collection's Update(Item) runs after one item changed,
// Update(nullptr) after a change that may touch all of them (an item added,
// removed or moved). Inside BeginUpdate/EndUpdate brackets nothing is sent;
// the outermost EndUpdate sends one Update(nullptr).

#include <string>
#include <vector>

#include "platform/core/Object.h"

class TCollection;

class TCollectionItem : public TPersistent {
  KESTOVA_CLASS(TCollectionItem)
 public:
  // Joins Collection (when not nullptr) at its end.
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  TCollection* Collection() const { return collection_; }
  // Leaves the current collection and joins Value, taking a new ID there.
  void SetCollection(TCollection* Value);
  int ID() const { return id_; }
  // Position in the collection; -1 outside one.
  int Index() const;
  // Raises EListError "List index out of bounds (i)" outside 0..Count-1.
  void SetIndex(int Value);
  // The class name unless a descendant has a better one.
  virtual std::string DisplayName() const { return ClassName(); }
  virtual void SetDisplayName(const std::string& Value) { Changed(false); }

  TPersistent* GetOwner() const override;
  // "<collection's path>[<index>]".
  std::string GetNamePath() const override;

 protected:
  // Tells the collection that this item (or, with AllItems, the whole
  // collection) changed.
  void Changed(bool AllItems);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
  KESTOVA_CLASS(TCollection)
 public:
  // ItemClass derives from TCollectionItem and has a factory.
  explicit TCollection(TClass ItemClass);
  ~TCollection() override;
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  TClass ItemClass() const { return itemClass_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EListError "List index out of bounds (i)" outside 0..Count-1.
  TCollectionItem* Items(int Index) const;
  TCollectionItem* FindItemID(int ID) const;
  // A new item of ItemClass at the end, or at Index (0..Count).
  TCollectionItem* Add();
  TCollectionItem* Insert(int Index);
  // Frees the item at Index.
  void Delete(int Index);
  void Clear();

  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  // From another collection: its items, each assigned to a new item of this
  // collection's class; other sources go to TPersistent::Assign.
  void Assign(const TPersistent* Source) override;

 protected:
  virtual void Update(TCollectionItem* Item) {}
  // Update(nullptr) unless inside a bracket.
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);

  TClass itemClass_;
  // Owned: an item frees itself out of this list (RemoveItem).
  std::vector<TCollectionItem*> items_;
  int updateCount_ = 0;
  int nextId_ = 0;
};

// Factory for an item class whose constructor takes the collection.
template <class T>
TObject* MakeCollectionItem(TObject* Collection) {
  return Construct<T>(dynamic_cast<TCollection*>(Collection));
}
