#pragma once
// Menus: TMenuItem, and the two menus that hold a tree of them, TMainMenu
// (the menu bar of a window) and TPopupMenu.
//
// Each item is a Qt action, kept in step with the item: Caption ("-" makes a
// separator; "&" marks the access key), Checked (a check mark shown only
// while checked; choosing the item does not toggle it), Enabled, Visible and
// ShortCut. An item with items of its own opens a submenu.
//
// Shortcuts are shortcut values (KeyModel.h: a virtual key plus 0x2000 for
// Shift, 0x4000 for Ctrl, 0x8000 for Alt). The items of a main menu shown as
// a window's menu bar answer their shortcuts while that window is active.
// For the rest (a pop-up menu's items, or a form handling keys itself),
// TMenu::IsShortCut looks a value up and clicks the item.
//
// Ownership: an item is a component (its Owner frees it, usually the form);
// it also frees the items it still holds when it is freed, and a freed item
// leaves the item that held it. A menu's root item, Items(), belongs to the
// menu.

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/controls/KeyModel.h"
#include "platform/core/Events.h"

class QAction;
class QKeySequence;
class QMenu;
class QMenuBar;
class QWidget;
class TMenu;

// The text of a shortcut value: modifiers "Shift+", "Ctrl+", "Alt+" in this
// order, then the key's name ("A", "5", "F1", "Ins", "Del", "Backspace",
// "Enter", "Esc", "Space", "Tab", "PgUp", "PgDn", "End", "Home", "Left",
// "Up", "Right", "Down", "Num 0".."Num 9", or the key's US symbol). 0, and a
// key with no name, give "".
std::string ShortCutToText(TShortCut Value);
// The inverse of ShortCutToText, ignoring case; 0 for a text it does not
// read.
TShortCut TextToShortCut(const std::string& Text);
// The Qt key sequence of a shortcut value; empty for 0 or a key Qt cannot
// name.
QKeySequence ShortCutToKeySequence(TShortCut Value);

class TMenuItem : public TComponent {
  KESTOVA_CLASS(TMenuItem)
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  bool Checked() const { return checked_; }
  void SetChecked(bool Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut Value);
  TNotifyEvent OnClick;

  // ---- The items it holds ----
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int Index) const { return items_.at(static_cast<std::size_t>(Index)); }
  int IndexOf(const TMenuItem* Item) const;
  TMenuItem* Parent() const { return parent_; }
  void Add(TMenuItem* Item) { Insert(Count(), Item); }
  // Takes Item out of the item that held it first. Raises EMenuError for an
  // index out of range or for this item or one of its parents.
  void Insert(int Index, TMenuItem* Item);
  void Remove(TMenuItem* Item);

  // Streaming: an item is written with the item or menu that holds it.
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

  // Fires OnClick. Choosing the item, or its shortcut, comes here.
  virtual void Click();

  // The Qt action of the item (the item's submenu hangs on it).
  QAction* Action() const { return action_.get(); }
  // The submenu (made on first use).
  QMenu* SubMenu();

 private:
  friend class TMenu;
  friend void DescribeTMenuItem(TClassInfo& Info);
  void Triggered();
  TMenu* Menu() const;

  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  TShortCut shortCut_ = 0;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item only
  std::vector<TMenuItem*> items_;
  std::unique_ptr<QAction> action_;
  std::unique_ptr<QMenu> subMenu_;
};

class EMenuError : public Exception {
 public:
  using Exception::Exception;
};

class TMenu : public TComponent {
  KESTOVA_CLASS(TMenu)
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  TMenuItem* Items() const { return items_.get(); }
  // Clicks the visible, enabled item (below visible, enabled parents) whose
  // ShortCut is Value, the first in menu order; false when none.
  bool IsShortCut(TShortCut Value);
  // Finds the item with ShortCut Value, enabled or not; nullptr when none.
  TMenuItem* FindItemByShortCut(TShortCut Value) const;
  // Streams the top-level items with the menu.
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

 protected:
  // The root item's list of items changed.
  virtual void ItemsChanged() {}

 private:
  friend class TMenuItem;
  std::unique_ptr<TMenuItem> items_;
};

class TMainMenu : public TMenu {
  KESTOVA_CLASS(TMainMenu)
 public:
  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;
  // A menu bar of the top-level items, child of Window (which lays it out);
  // it follows later changes of the list. One bar at a time: a second call
  // moves it.
  QMenuBar* MenuBar(QWidget* Window);

 protected:
  void ItemsChanged() override;

 private:
  QMenuBar* bar_ = nullptr;
  std::unique_ptr<QObject> barWatch_;  // context of the watch on bar_
};

class TPopupMenu;
// Tests watch menus pop up through a hook: while one is set, Popup hands it
// the menu and the point (after OnPopup) and shows nothing.
using TPopupMenuHook = TMethodPointer<void(TPopupMenu* Menu, int X, int Y)>;
// Sets the hook (nullptr: menus show again); answers the one it replaced.
TPopupMenuHook SetPopupMenuHook(TPopupMenuHook Hook);

class TPopupMenu : public TMenu {
  KESTOVA_CLASS(TPopupMenu)
 public:
  explicit TPopupMenu(TComponent* AOwner);
  // Fires OnPopup, then shows the items at screen point (X, Y) without
  // waiting for a choice (or hands them to the pop-up hook).
  virtual void Popup(int X, int Y);
  TNotifyEvent OnPopup;
  // Whether a right click on a control that names this menu shows it;
  // default true.
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool Value) { autoPopup_ = Value; }
  // The component the menu was last shown for (a right-clicked control);
  // cleared when that is freed.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend void DescribeTPopupMenu(TClassInfo& Info);
  bool autoPopup_ = true;
  TComponent* popupComponent_ = nullptr;
};
