#include "platform/classes/Collection.h"

#include <algorithm>
#include <cassert>

#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

KESTOVA_CLASS_INFO(TCollectionItem, TPersistent, "Classes", nullptr)
KESTOVA_CLASS_INFO(TCollection, TPersistent, "Classes", nullptr)

namespace {
[[noreturn]] void IndexError(int index) { throw EListError(Format(kListIndexErrorText, {index})); }
}  // namespace

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* Value) {
  if (Value == collection_) return;
  if (collection_) collection_->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!collection_) return -1;
  const auto& items = collection_->items_;
  return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
  const int current = Index();
  if (current < 0 || current == Value) return;
  auto& items = collection_->items_;
  if (Value < 0 || Value >= static_cast<int>(items.size())) IndexError(Value);
  items.erase(items.begin() + current);
  items.insert(items.begin() + Value, this);
  Changed(true);
}

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

std::string TCollectionItem::GetNamePath() const {
  if (!collection_) return ClassName();
  return collection_->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

void TCollectionItem::Changed(bool AllItems) {
  if (!collection_ || collection_->updateCount_ > 0) return;
  collection_->Update(AllItems ? nullptr : this);
}

TCollection::TCollection(TClass ItemClass) : itemClass_(ItemClass) {
  assert(ItemClass && ItemClass->InheritsFrom(TCollectionItem::StaticClass()) && ItemClass->Factory);
}

TCollection::~TCollection() {
  // Nobody is told about items that go with their collection.
  ++updateCount_;
  while (!items_.empty()) items_.back()->Free();
}

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return items_[Index];
}

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* item : items_)
    if (item->id_ == ID) return item;
  return nullptr;
}

TCollectionItem* TCollection::Add() {
  TObject* made = itemClass_->Factory(this);
  auto* item = dynamic_cast<TCollectionItem*>(made);
  assert(item && item->collection_ == this);
  return item;
}

TCollectionItem* TCollection::Insert(int Index) {
  if (Index < 0 || Index > Count()) IndexError(Index);
  TCollectionItem* item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(int Index) { Items(Index)->Free(); }

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  while (!items_.empty()) items_.back()->Free();
  EndUpdate();
}

void TCollection::EndUpdate() {
  assert(updateCount_ > 0);
  --updateCount_;
  Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::Assign(const TPersistent* Source) {
  const auto* source = dynamic_cast<const TCollection*>(Source);
  if (!source) return TPersistent::Assign(Source);
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem* item : source->items_) Add()->Assign(item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::InsertItem(TCollectionItem* Item) {
  items_.push_back(Item);
  Item->collection_ = this;
  Item->id_ = nextId_++;
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  items_.erase(std::find(items_.begin(), items_.end(), Item));
  Item->collection_ = nullptr;
  Changed();
}
