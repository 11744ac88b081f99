#pragma once
// TComponent: an object with a name, an owner and the components it owns.
//
// Ownership: a component made with an owner is freed by it; the owner frees
// its components newest first, after its own destructor body ran. Freeing a
// component (through Free, or by its owner) takes it out of its owner first.
//
// Free notification: A->FreeNotification(B) asks that B be told through
// B->Notification(A, opRemove) when A is freed; the link works both ways, so
// whichever of the two dies first tells the other, once. Components with the
// same owner need no link: the owner tells every component it owns when one
// of them is inserted or removed. The notices go out from BeforeDestruction,
// while the freed component is whole (its ClassName and overrides still
// answer for its real class); a component deleted with plain `delete` sends
// them from ~TComponent instead, as a mere TComponent.
//
// Names: empty, or an identifier (a letter or "_", then letters, digits and
// "_"); unique, ignoring case, among the components of one owner.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Events.h"
#include "platform/core/Object.h"
#include "platform/core/Set.h"

class TComponent;

enum TOperation : uint8_t { opInsert, opRemove };

enum TComponentStateItem : uint8_t {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance,
};
using TComponentState = TSet<TComponentStateItem>;

enum TComponentStyleItem : uint8_t { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = TSet<TComponentStyleItem>;

using TGetChildProc = TMethodPointer<void(TComponent* Child)>;

// True for a non-empty identifier: an ASCII letter or "_", then letters,
// digits and "_".
bool IsValidIdent(std::string_view Name);

class TComponent : public TPersistent {
  KESTOVA_CLASS(TComponent)
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  // Raises EListError "List index out of bounds (i)" outside 0..Count-1.
  TComponent* Components(int Index) const;
  // Position in the owner's list; -1 without an owner.
  int ComponentIndex() const;
  // Moves the component to Value in its owner's list, clamped to
  // 0..Count-1 (the creation order a stored form keeps). Nothing without an
  // owner.
  void SetComponentIndex(int Value);
  // The owned component of that name (ignoring case), or nullptr; nullptr
  // for an empty name.
  TComponent* FindComponent(std::string_view AName) const;
  // Makes this component the owner of AComponent (taking it from its old
  // owner) and tells the owned components with opInsert.
  void InsertComponent(TComponent* AComponent);
  // Releases AComponent without freeing it and tells the owned components
  // with opRemove.
  void RemoveComponent(TComponent* AComponent);
  // Frees every owned component, newest first.
  void DestroyComponents();

  const std::string& Name() const { return name_; }
  // Raises EComponentError with kInvalidNameText or kDuplicateNameText and
  // keeps the old name.
  virtual void SetName(const std::string& NewName);

  TComponentState ComponentState() const { return state_; }
  TComponentStyle ComponentStyle() const { return style_; }
  // Marks this component (and, with SetChildren, its owned components) as
  // edited in a designer.
  void SetDesigning(bool Value, bool SetChildren = true);
  void SetSubComponent(bool Value);

  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);
  // Told when AComponent is inserted into or removed from the owner, or is
  // freed after a FreeNotification. The default forgets a removed
  // component's link and passes the notice on to the owned components.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

  // Runs once after the component was read from a stream; clears csLoading.
  virtual void Loaded();
  // Calls Proc for each child that a stream writes with this component.
  virtual void GetChildren(TGetChildProc Proc, TComponent* Root) {}
  virtual TComponent* GetChildOwner() { return nullptr; }
  virtual TComponent* GetChildParent() { return this; }
  // The component that holds this one for streaming (a panel holding a
  // button): a stream reader hands it the component its children are read
  // for. None by default.
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* Value) {}

  int32_t DesignInfo = 0;
  intptr_t Tag = 0;

  // Sets csDestroying here and in every owned component.
  void Destroying();
  // Sends the free notices and leaves the owner. An override calls it.
  void BeforeDestruction() override;
  TPersistent* GetOwner() const override { return owner_; }
  std::string GetNamePath() const override { return name_; }

 protected:
  // Raises kDuplicateNameText when NewName is taken by another component of
  // this owner.
  virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);
  virtual void ChangeName(const std::string& NewName) { name_ = NewName; }
  TComponentState& State() { return state_; }
  friend class TReader;  // marks components loading and reading
  friend class TWriter;
  TComponentStyle& Style() { return style_; }

 private:
  // Tells the free-notification partners and leaves the owner; once.
  void SendRemovalNotices();

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  std::string name_;
  TComponentState state_;
  TComponentStyle style_ = {csInheritable};
  bool removalNoticesSent_ = false;
};

// The component at Address while it lives (constructed and not yet
// destroyed), else nullptr: an address read from outside (a stored
// descriptor) is only ever turned into a reference through this. Any thread.
TComponent* FindLiveComponent(std::uintptr_t Address);

// Factory for a component class whose constructor takes the owner.
template <class T>
TObject* MakeComponent(TObject* Owner) {
  return Construct<T>(dynamic_cast<TComponent*>(Owner));
}
