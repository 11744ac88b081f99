#include "components/base/PersistentList.h"

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
