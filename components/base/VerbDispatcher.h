#pragma once
// The verb dispatcher: binds menu items and buttons to verbs (named commands,
// Registrations.h).
//
// A form drops a TVerbDispatcher on itself and lists in its VerbList which
// control runs which verb. A bound control's click runs the verb's execute
// procedure, and its visibility, enabled state and (for menu items) check
// mark follow the verb's state procedure.
//
// Binding. An item binds when its VerbName or VerbComp changes, on
// ZRM_PACKAGESLOADED (every item) and on ZRM_PACKAGEUNLOADED (the items whose
// verb came from the unloaded registration group). It needs both a verb of
// that name (FindVerb) and a bind procedure for the control's class: the
// oldest registration for the class or an ancestor, so a TSpeedButton
// descendant uses the speed-button procedure and a panel finds none and
// stays unbound. Binding applies the state at once. A dispatcher in design
// state binds nothing.
//
// Refreshing. On ZRM_VERBSCHANGED and ZRM_DESIGNMODIFIED every item asks its
// verb's state procedure again, in list order; the bind procedure runs only
// for an item whose state changed. No refresh runs while a verb update is
// open or while the dispatcher is loading, reading, being destroyed or
// designing. A bound control's click runs the command inside a verb update,
// which is closed also when the command raises; its close broadcasts
// ZRM_VERBUPDATEENDED and ZRM_VERBSCHANGED, so one refresh follows each
// command. The process-wide TIDEActiveNotifier announces a verb change
// whenever a widget takes the focus.
//
// Freeing. A freed control leaves the items bound to it (VerbComp becomes
// nullptr). A freed item hands its control, unless that is being destroyed
// itself, the state procedure's answer once more with the click handler
// removed, so the control is left visible and enabled when the verb says so
// and no longer points at the item.
//
// Single GUI thread.

#include <cstdint>
#include <string>

#include "components/base/NamedItems.h"
#include "components/base/Registrations.h"
#include "components/base/zrhook.h"
#include "platform/classes/Component.h"
#include "platform/core/Events.h"
#include "platform/core/Message.h"

class TVerbDispatcher;
class TVerbListItem;

// Applies Item's state to Control and sets or clears its click handler.
using TVerbBindProc = void (*)(TComponent* Control, TVerbListItem* Item);

class TVerbListItem : public TZRNamedItem {
  KESTOVA_CLASS(TVerbListItem)
 public:
  explicit TVerbListItem(TCollection* Collection) : TZRNamedItem(Collection) {}
  // Empties the applied state and sets the clear-handler flag; then, when a
  // control is bound and not being destroyed, updates the state once, so the
  // control never keeps a click handler that leads to a freed item.
  ~TVerbListItem() override;

  const std::string& VerbName() const { return verbName_; }
  // A different value is stored without leading and trailing blanks, then
  // the item binds.
  void SetVerbName(const std::string& Value);
  TComponent* VerbComp() const { return verbComp_; }
  // A different value is stored (a control asks to tell the dispatcher when
  // it is freed), then the item binds.
  void SetVerbComp(TComponent* Value);

  // "<control's name> - <verb name>" with a control, else the verb name,
  // else the named item's own display name.
  std::string DisplayName() const override;

  // The last state applied (kVerbVisible, kVerbEnabled, kVerbChecked).
  TVerbState State() const { return state_; }
  // False until the first state is applied after a binding, and while the
  // item is being freed: the next update then calls the bind procedure
  // whatever the state.
  bool StateApplied() const { return applied_; }
  // Set while the item is being freed: bind procedures remove the click
  // handler instead of setting it.
  bool ClearHandler() const { return clearHandler_; }
  TVerbBindProc BindProc() const { return bindProc_; }
  // The registration group of the bound verb's entry; -1 before a binding.
  std::int32_t Module() const { return module_; }
  // The dispatcher the item's list belongs to; nullptr outside one.
  TVerbDispatcher* Dispatcher() const;

  // Looks up the verb and the bind procedure afresh and applies the state
  // (also when it equals the one applied before: the control may be another).
  void Bind();
  // Asks the state procedure (preset visible and enabled) and calls the
  // bind procedure when the answer differs from the applied state or none
  // is applied. Nothing without a bind procedure.
  void UpdateState();
  // The click handler bound controls get: runs the execute procedure inside
  // a verb update.
  void VerbClick(TObject* Sender);
  TNotifyEvent ClickHandler() { return TNotifyEvent::Of<&TVerbListItem::VerbClick>(*this); }

 private:
  bool clearHandler_ = false;
  TVerbBindProc bindProc_ = nullptr;
  TVerbState state_ = 0;
  bool applied_ = false;
  std::string verbName_;
  TComponent* verbComp_ = nullptr;
  TVerbGetStateProc getState_ = nullptr;
  TVerbExecuteProc execute_ = nullptr;
  std::int32_t module_ = -1;
};

// The bindings of one dispatcher.
class TVerbList : public TCustomZRNamedItems {
  KESTOVA_CLASS(TVerbList)
 public:
  // ItemClass is TVerbListItem or a descendant.
  TVerbList(TPersistent* AOwner, TClass ItemClass) : TCustomZRNamedItems(AOwner, ItemClass) {}
  TVerbListItem* Item(int Index) const { return static_cast<TVerbListItem*>(Items(Index)); }
  TVerbListItem* AddItem() { return static_cast<TVerbListItem*>(Add()); }
};

class TVerbDispatcher : public TComponent {
  KESTOVA_CLASS(TVerbDispatcher)
 public:
  // Registers the three bind procedures once per process (menu items, speed
  // buttons, buttons, in this order), joins the broadcast receivers and
  // makes the process-wide TIDEActiveNotifier when there is none.
  explicit TVerbDispatcher(TComponent* AOwner);
  // Leaves the receivers and frees the list (its items unbind).
  ~TVerbDispatcher() override;

  TVerbList* VerbList() const { return verbList_; }
  // Copies Value's items.
  void SetVerbList(TVerbList* Value);
  // Published, never stored.
  const std::string& Version() const { return version_; }
  void SetVersion(const std::string& Value) { version_ = Value; }

  // After the inherited handling, a removed component leaves every item
  // bound to it, the last item first.
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Updates every item in list order, unless a verb update is open or the
  // dispatcher is loading, reading, being destroyed or designing.
  void RefreshVerbStates();
  void BindAll();

  // Message handlers (broadcasts).
  void ZRMRefresh(TMessage& Message);
  void ZRMPackagesLoaded(TMessage& Message);
  void ZRMPackageUnloaded(TMessage& Message);

 private:
  TVerbList* verbList_ = nullptr;  // owned
  std::string version_;
};

// The active-control notifier of the verb dispatchers: a focus change is a
// verb change (NotifyVerbsChanged).
class TIDEActiveNotifier : public TCustomActiveNotifier {
  KESTOVA_CLASS(TIDEActiveNotifier)
 public:
  using TCustomActiveNotifier::TCustomActiveNotifier;
  void DoActiveChanged(const TFocusChange& Change) override;
};

// The process-wide notifier, or nullptr before the first dispatcher.
TIDEActiveNotifier* IDEActiveNotifier();
// Module shut-down: frees the notifier and forgets that the bind procedures
// were registered (the parameter registry goes with the same shut-down).
void FreeVerbDispatcherGlobals();
