#pragma once
// The list of persistents the family hands to the form designer as its
// selection: reference counted, so the designer and the family can both hold
// it; it owns its list, not the objects in it.

#include <cstdint>

#include "platform/classes/Interfaces.h"
#include "platform/core/List.h"

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
