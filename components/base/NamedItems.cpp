#include "components/base/NamedItems.h"

#include "components/base/PropAccess.h"
#include "components/base/zrhook.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/core/Exceptions.h"

namespace {
void DescribeTZRNamedItem(TClassInfo& Info) {
  TClassPublisher<TZRNamedItem> p(Info);
  p.Property<&TZRNamedItem::Name, &TZRNamedItem::Name>("Name", TypeInfos::String());
}

// Set only while CreateNamedItems runs a factory; one creation at a time on
// the GUI thread.
TClass pendingItemClass = nullptr;
}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TZRNamedItem, TCollectionItem, "zrbase", &MakeCollectionItem<TZRNamedItem>,
                             DescribeTZRNamedItem)
KESTOVA_CLASS_INFO(TCustomZRNamedItems, TCollection, "zrbase", &MakeNamedItems<TCustomZRNamedItems>)
KESTOVA_CLASS_INFO(TZRNamedItems, TCustomZRNamedItems, "zrbase", &MakeNamedItems<TZRNamedItems>)

void TZRNamedItem::Assign(const TPersistent* Source) {
  if (dynamic_cast<const TZRNamedItem*>(Source)) return CopyProps(Source, this);
  TCollectionItem::Assign(Source);
}

std::string TZRNamedItem::DisplayName() const { return Name.empty() ? TCollectionItem::DisplayName() : Name; }

void TZRNamedItem::SetDisplayName(const std::string& Value) { Name = Value; }

void TZRNamedItem::Changed() { TCollectionItem::Changed(false); }

TCustomZRNamedItems::TCustomZRNamedItems(TPersistent* AOwner, TClass ItemClass)
    : TCollection(ItemClass), owner_(AOwner) {
  AddFreeNotifier(owner_, TFreeNotifyEvent::Of<&TCustomZRNamedItems::OwnerFreed>(*this));
}

TCustomZRNamedItems::~TCustomZRNamedItems() {
  RemoveFreeNotifier(owner_, TFreeNotifyEvent::Of<&TCustomZRNamedItems::OwnerFreed>(*this));
}

void TCustomZRNamedItems::Update(TCollectionItem* Item) {
  TCollection::Update(Item);
  if (OnChange) OnChange(this);
  if (OnUpdateItem) OnUpdateItem(this, Item);
}

void TCustomZRNamedItems::OwnerFreed(const void* Instance) {
  if (Instance != owner_) return;
  owner_ = nullptr;
  RemoveFreeNotifier(static_cast<const TObject*>(Instance),
                     TFreeNotifyEvent::Of<&TCustomZRNamedItems::OwnerFreed>(*this));
}

TClass detail::TakePendingNamedItemClass() {
  const TClass pending = pendingItemClass;
  pendingItemClass = nullptr;
  return pending ? pending : TZRNamedItem::StaticClass();
}

TCustomZRNamedItems* CreateNamedItems(TClass ItemsClass, TPersistent* Owner, TClass ItemClass) {
  if (!ItemsClass || !ItemsClass->InheritsFrom(TCustomZRNamedItems::StaticClass()) || !ItemsClass->Factory)
    throw EInvalidCast();
  // Restored on every way out, so a creation inside a factory leaves the
  // outer one's class in place.
  struct Pending {
    TClass outer = pendingItemClass;
    explicit Pending(TClass Class) { pendingItemClass = Class; }
    ~Pending() { pendingItemClass = outer; }
  } pending(ItemClass);
  TObject* made = ItemsClass->Factory(Owner);
  auto* items = dynamic_cast<TCustomZRNamedItems*>(made);
  if (!items) {
    FreeAndNil(made);
    throw EInvalidCast();
  }
  return items;
}
