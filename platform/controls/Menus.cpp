#include "platform/controls/Menus.h"

#include <QAction>
#include <QMenu>
#include <utility>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/ui/Application.h"

void DescribeTMenuItem(TClassInfo& Info) {
  TClassPublisher<TMenuItem> p(Info);
  p.Property<&TMenuItem::Caption, &TMenuItem::SetCaption>("Caption", TypeInfos::TCaption());
  p.Property<&TMenuItem::Checked, &TMenuItem::SetChecked>("Checked", TypeInfos::Boolean()).Default(false);
  p.Property<&TMenuItem::Enabled, &TMenuItem::SetEnabled>("Enabled", TypeInfos::Boolean()).Default(true);
  p.Property<&TMenuItem::ShortCut, &TMenuItem::SetShortCut>("ShortCut", TypeInfos::TShortCut()).Default(0);
  p.Property<&TMenuItem::Visible, &TMenuItem::SetVisible>("Visible", TypeInfos::Boolean()).Default(true);
  p.Property<&TMenuItem::OnClick, &TMenuItem::OnClick>("OnClick", TypeInfos::TNotifyEvent());
}
KESTOVA_CLASS_INFO_DESCRIBED(TMenuItem, TComponent, "Menus", MakeComponent<TMenuItem>, DescribeTMenuItem)
KESTOVA_CLASS_INFO(TMenu, TComponent, "Menus", nullptr)
KESTOVA_CLASS_INFO(TMainMenu, TMenu, "Menus", MakeComponent<TMainMenu>)
void DescribeTPopupMenu(TClassInfo& Info) {
  TClassPublisher<TPopupMenu> p(Info);
  p.Property<&TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup>("AutoPopup", TypeInfos::Boolean()).Default(true);
  p.Property<&TPopupMenu::OnPopup, &TPopupMenu::OnPopup>("OnPopup", TypeInfos::TNotifyEvent());
}
KESTOVA_CLASS_INFO_DESCRIBED(TPopupMenu, TMenu, "Menus", MakeComponent<TPopupMenu>, DescribeTPopupMenu)

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), action_(std::make_unique<QAction>()) {
  QObject::connect(action_.get(), &QAction::triggered, [this] { Triggered(); });
}

TMenuItem::~TMenuItem() {
  while (!items_.empty()) items_.back()->Free();
  if (parent_) parent_->Remove(this);
  // The submenu goes before the action that shows it.
  if (subMenu_) action_->setMenu(static_cast<QMenu*>(nullptr));
  subMenu_.reset();
}

void TMenuItem::SetCaption(const std::string& Value) {
  caption_ = Value;
  action_->setSeparator(Value == "-");
  action_->setText(QString::fromStdString(Value));
}

void TMenuItem::SetChecked(bool Value) {
  checked_ = Value;
  action_->setCheckable(Value);
  action_->setChecked(Value);
}

void TMenuItem::SetEnabled(bool Value) {
  enabled_ = Value;
  action_->setEnabled(Value);
}

void TMenuItem::SetVisible(bool Value) {
  visible_ = Value;
  action_->setVisible(Value);
}

void TMenuItem::SetShortCut(TShortCut Value) {
  shortCut_ = Value;
  action_->setShortcut(ShortCutToKeySequence(Value));
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<std::size_t>(i)] == Item) return i;
  return -1;
}

QMenu* TMenuItem::SubMenu() {
  if (!subMenu_) {
    subMenu_ = std::make_unique<QMenu>();
    action_->setMenu(subMenu_.get());
  }
  return subMenu_.get();
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  for (const TMenuItem* up = this; up; up = up->parent_)
    if (up == Item) throw EMenuError("Menu inserted twice");
  if (Item->parent_) Item->parent_->Remove(Item);
  if (Index < 0 || Index > Count()) throw EMenuError("Menu index out of range");
  QAction* before = Index < Count() ? items_[static_cast<std::size_t>(Index)]->Action() : nullptr;
  items_.insert(items_.begin() + Index, Item);
  Item->parent_ = this;
  SubMenu()->insertAction(before, Item->Action());
  if (TMenu* menu = Menu(); menu && !parent_) menu->ItemsChanged();
}

void TMenuItem::Remove(TMenuItem* Item) {
  const int index = IndexOf(Item);
  if (index < 0) return;
  items_.erase(items_.begin() + index);
  Item->parent_ = nullptr;
  if (subMenu_) subMenu_->removeAction(Item->Action());
  if (TMenu* menu = Menu(); menu && !parent_) menu->ItemsChanged();
}

TMenu* TMenuItem::Menu() const {
  const TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  return root->menu_;
}

void TMenuItem::GetChildren(TGetChildProc Proc, TComponent*) {
  for (TMenuItem* item : std::vector<TMenuItem*>(items_)) Proc(item);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (parent_ && parent_->menu_) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (auto* item = dynamic_cast<TMenuItem*>(Value))
    item->Add(this);
  else if (auto* menu = dynamic_cast<TMenu*>(Value))
    menu->Items()->Add(this);
}

void TMenuItem::Triggered() {
  // A checkable action toggles itself; the item's Checked decides the mark.
  action_->setChecked(checked_);
  RunGuarded([this] { Click(); });
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

// ---- Menus ----

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(std::make_unique<TMenuItem>(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() { items_.release()->Free(); }

namespace {

TMenuItem* FindShortCut(TMenuItem* Item, TShortCut Value, bool UsableOnly) {
  for (int i = 0; i < Item->Count(); ++i) {
    TMenuItem* child = Item->Items(i);
    if (UsableOnly && !(child->Visible() && child->Enabled())) continue;
    if (child->ShortCut() == Value) return child;
    if (TMenuItem* found = FindShortCut(child, Value, UsableOnly)) return found;
  }
  return nullptr;
}

}  // namespace

TMenuItem* TMenu::FindItemByShortCut(TShortCut Value) const {
  return Value ? FindShortCut(items_.get(), Value, false) : nullptr;
}

void TMenu::GetChildren(TGetChildProc Proc, TComponent* Root) { items_->GetChildren(Proc, Root); }

bool TMenu::IsShortCut(TShortCut Value) {
  TMenuItem* item = Value ? FindShortCut(items_.get(), Value, true) : nullptr;
  if (!item) return false;
  item->Click();
  return true;
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (popupComponent_ == Value) return;
  if (popupComponent_) popupComponent_->RemoveFreeNotification(this);
  popupComponent_ = Value;
  if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupComponent_) popupComponent_ = nullptr;
}

namespace {
TPopupMenuHook& PopupHook() {
  static TPopupMenuHook hook;
  return hook;
}
}  // namespace

TPopupMenuHook SetPopupMenuHook(TPopupMenuHook Hook) { return std::exchange(PopupHook(), std::move(Hook)); }

void TPopupMenu::Popup(int X, int Y) {
  if (OnPopup) OnPopup(this);
  if (PopupHook()) {
    PopupHook()(this, X, Y);
    return;
  }
  Items()->SubMenu()->popup(QPoint(X, Y));
}
