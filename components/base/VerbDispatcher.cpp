#include "components/base/VerbDispatcher.h"

#include "components/base/MessageBroadcast.h"
#include "components/base/ObjectParams.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/StrUtils.h"

namespace {

const char* const kAssignVerb = "AssignVerb";
const char* const kAssignVerbProc = "AssignVerb.VerbProc";

bool bindProcsRegistered = false;
TIDEActiveNotifier* activeNotifier = nullptr;

TNotifyEvent HandlerFor(TVerbListItem* Item) { return Item->ClearHandler() ? TNotifyEvent() : Item->ClickHandler(); }

void AssignMenuItemVerb(TComponent* Control, TVerbListItem* Item) {
  auto* menuItem = static_cast<TMenuItem*>(Control);
  const TVerbState state = Item->State();
  // Only on a change: showing or hiding an item rebuilds the menu.
  const bool visible = (state & kVerbVisible) != 0;
  if (menuItem->Visible() != visible) menuItem->SetVisible(visible);
  menuItem->SetEnabled((state & kVerbEnabled) != 0);
  menuItem->SetChecked((state & kVerbChecked) != 0);
  menuItem->OnClick = HandlerFor(Item);
}

// Speed buttons and buttons: no check mark.
template <class C>
void AssignButtonVerb(TComponent* Control, TVerbListItem* Item) {
  auto* button = static_cast<C*>(Control);
  button->SetVisible((Item->State() & kVerbVisible) != 0);
  button->SetEnabled((Item->State() & kVerbEnabled) != 0);
  button->OnClick = HandlerFor(Item);
}

void RegisterBindProc(TClass ControlClass, TVerbBindProc Proc) {
  RegisterObjectParams(ControlClass, {kAssignVerb, kAssignVerbProc}, {std::string(), Proc});
}

void RegisterBindProcsOnce() {
  if (bindProcsRegistered) return;
  bindProcsRegistered = true;
  RegisterBindProc(TMenuItem::StaticClass(), &AssignMenuItemVerb);
  RegisterBindProc(TSpeedButton::StaticClass(), &AssignButtonVerb<TSpeedButton>);
  RegisterBindProc(TButton::StaticClass(), &AssignButtonVerb<TButton>);
}

// ---- Type information ----

void DescribeTVerbListItem(TClassInfo& Info) {
  TClassPublisher<TVerbListItem> p(Info);
  p.Property<&TVerbListItem::VerbName, &TVerbListItem::SetVerbName>("VerbName", TypeInfos::String());
  p.Property<&TVerbListItem::VerbComp, &TVerbListItem::SetVerbComp>("VerbComp",
                                                                    ClassTypeInfo(TComponent::StaticClass()));
}

void DescribeTVerbDispatcher(TClassInfo& Info) {
  TClassPublisher<TVerbDispatcher> p(Info);
  p.Property<&TVerbDispatcher::VerbList, &TVerbDispatcher::SetVerbList>("VerbList",
                                                                        ClassTypeInfo(TVerbList::StaticClass()));
  p.Property<&TVerbDispatcher::Version, &TVerbDispatcher::SetVersion>("Version", TypeInfos::String()).Stored(false);
  AddMessageHandler<&TVerbDispatcher::ZRMRefresh>(Info, ZRM_VERBSCHANGED);
  AddMessageHandler<&TVerbDispatcher::ZRMRefresh>(Info, ZRM_DESIGNMODIFIED);
  AddMessageHandler<&TVerbDispatcher::ZRMPackagesLoaded>(Info, ZRM_PACKAGESLOADED);
  AddMessageHandler<&TVerbDispatcher::ZRMPackageUnloaded>(Info, ZRM_PACKAGEUNLOADED);
}

}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TVerbListItem, TZRNamedItem, "VerbDispatcher", &MakeCollectionItem<TVerbListItem>,
                             DescribeTVerbListItem)
KESTOVA_CLASS_INFO(TVerbList, TCustomZRNamedItems, "VerbDispatcher", &MakeNamedItems<TVerbList>)
KESTOVA_CLASS_INFO_DESCRIBED(TVerbDispatcher, TComponent, "VerbDispatcher", &MakeComponent<TVerbDispatcher>,
                             DescribeTVerbDispatcher)
KESTOVA_CLASS_INFO(TIDEActiveNotifier, TCustomActiveNotifier, "VerbDispatcher", nullptr)

// ---- TVerbListItem ----

TVerbListItem::~TVerbListItem() {
  state_ = 0;
  applied_ = false;
  clearHandler_ = true;
  if (verbComp_ && !verbComp_->ComponentState().Contains(csDestroying)) UpdateState();
}

void TVerbListItem::SetVerbName(const std::string& Value) {
  if (Value == verbName_) return;
  verbName_ = Trim(Value);
  Bind();
}

void TVerbListItem::SetVerbComp(TComponent* Value) {
  if (Value == verbComp_) return;
  verbComp_ = Value;
  if (verbComp_)
    if (TVerbDispatcher* dispatcher = Dispatcher()) verbComp_->FreeNotification(dispatcher);
  Bind();
}

std::string TVerbListItem::DisplayName() const {
  if (verbComp_) return verbComp_->Name() + " - " + verbName_;
  if (!verbName_.empty()) return verbName_;
  return TZRNamedItem::DisplayName();
}

TVerbDispatcher* TVerbListItem::Dispatcher() const {
  auto* list = dynamic_cast<TCustomZRNamedItems*>(Collection());
  return list ? dynamic_cast<TVerbDispatcher*>(list->Owner()) : nullptr;
}

void TVerbListItem::Bind() {
  TVerbDispatcher* dispatcher = Dispatcher();
  if (dispatcher && dispatcher->ComponentState().Contains(csDesigning)) return;
  getState_ = nullptr;
  execute_ = nullptr;
  bindProc_ = nullptr;
  applied_ = false;
  if (verbName_.empty() || !verbComp_) return;
  TObjectParamListItem* binder = FindObjectParamsByBase(verbComp_->ClassType(), {kAssignVerb}, 0, {std::string()});
  if (!binder) return;
  TVerbGetStateProc getState = nullptr;
  TVerbExecuteProc execute = nullptr;
  TObjectParamListItem* verb = FindVerb(verbName_, getState, execute);
  if (!verb) return;
  module_ = verb->Module();
  getState_ = getState;
  execute_ = execute;
  bindProc_ = ParamProc<void(TComponent*, TVerbListItem*)>(binder, kAssignVerbProc);
  UpdateState();
}

void TVerbListItem::UpdateState() {
  if (!bindProc_) return;
  TVerbState state = kVerbVisible | kVerbEnabled;
  if (getState_) getState_(state);
  if (applied_ && state == state_) return;
  state_ = state;
  applied_ = true;
  bindProc_(verbComp_, this);
}

void TVerbListItem::VerbClick(TObject* /*Sender*/) {
  if (!execute_) return;
  // The command may free this item (its form closing), so the procedure is
  // taken first and nothing of the item is touched afterwards.
  const TVerbExecuteProc execute = execute_;
  TVerbUpdateGuard update;
  execute();
}

// ---- TVerbDispatcher ----

TVerbDispatcher::TVerbDispatcher(TComponent* AOwner) : TComponent(AOwner) {
  RegisterBindProcsOnce();
  verbList_ = new TVerbList(this, TVerbListItem::StaticClass());
  AddMessageAnswer(this);
  if (!activeNotifier) activeNotifier = new TIDEActiveNotifier(nullptr);
}

TVerbDispatcher::~TVerbDispatcher() {
  RemoveMessageAnswer(this);
  FreeAndNil(verbList_);
}

void TVerbDispatcher::SetVerbList(TVerbList* Value) { verbList_->Assign(Value); }

void TVerbDispatcher::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove || !verbList_) return;
  for (int i = verbList_->Count() - 1; i >= 0; --i)
    if (verbList_->Item(i)->VerbComp() == AComponent) verbList_->Item(i)->SetVerbComp(nullptr);
}

void TVerbDispatcher::RefreshVerbStates() {
  if (VerbUpdateOpen()) return;
  if (!(ComponentState() * TComponentState{csLoading, csReading, csDestroying, csDesigning}).Empty()) return;
  for (int i = 0; i < verbList_->Count(); ++i) verbList_->Item(i)->UpdateState();
}

void TVerbDispatcher::BindAll() {
  for (int i = 0; i < verbList_->Count(); ++i) verbList_->Item(i)->Bind();
}

void TVerbDispatcher::ZRMRefresh(TMessage& /*Message*/) { RefreshVerbStates(); }

void TVerbDispatcher::ZRMPackagesLoaded(TMessage& /*Message*/) { BindAll(); }

void TVerbDispatcher::ZRMPackageUnloaded(TMessage& Message) {
  const auto group = static_cast<std::int32_t>(Message.WParam);
  for (int i = 0; i < verbList_->Count(); ++i)
    if (verbList_->Item(i)->Module() == group) verbList_->Item(i)->Bind();
}

// ---- TIDEActiveNotifier ----

void TIDEActiveNotifier::DoActiveChanged(const TFocusChange& Change) {
  TCustomActiveNotifier::DoActiveChanged(Change);
  NotifyVerbsChanged();
}

TIDEActiveNotifier* IDEActiveNotifier() { return activeNotifier; }

void FreeVerbDispatcherGlobals() {
  FreeAndNil(activeNotifier);
  bindProcsRegistered = false;
}
