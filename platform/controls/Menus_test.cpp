// Menus: shortcut texts, shortcut keys reaching the right item, and the item
// tree.

#include "platform/controls/Menus.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWidget>
#include <string>

#include "platform/core/Exceptions.h"

namespace {

TEST(ShortCutText, NamesModifiersInOrderAndReadsBackIgnoringCase) {
  struct Row {
    TShortCut value;
    const char* text;
  };
  const Row rows[] = {
      {0x4000 | 'A', "Ctrl+A"},
      {0xC000 | 'Z', "Ctrl+Alt+Z"},
      {VK_F1, "F1"},
      {0x4000 | (VK_F1 + 11), "Ctrl+F12"},
      {0x2000 | VK_F1, "Shift+F1"},
      {0x6000 | VK_F1, "Shift+Ctrl+F1"},
      {VK_INSERT, "Ins"},
      {0x2000 | VK_INSERT, "Shift+Ins"},
      {0x4000 | VK_DELETE, "Ctrl+Del"},
      {0x8000 | VK_BACK, "Alt+Backspace"},
      {0xA000 | VK_BACK, "Shift+Alt+Backspace"},
      {0x4000 | VK_RETURN, "Ctrl+Enter"},  // 16397
      {0x4000 | '5', "Ctrl+5"},
      {VK_NUMPAD0 + 7, "Num 7"},
      {0x4000 | VK_OEM_PLUS, "Ctrl+="},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ShortCutToText(row.value), row.text);
    EXPECT_EQ(TextToShortCut(row.text), row.value) << row.text;
  }
  EXPECT_EQ(TextToShortCut("shift+ctrl+f1"), 0x6000 | VK_F1);
  EXPECT_EQ(TextToShortCut("Ctrl+Shift+F1"), 0x6000 | VK_F1);
  for (const char* unreadable : {"", "Ctrl+", "Hyper+A", "Ctrl+AB", "F25", "(None)"})
    EXPECT_EQ(TextToShortCut(unreadable), 0) << unreadable;
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_EQ(ShortCutToText(0x4000 | 0xFF), "");
}

struct ClickLog {
  std::string text;
  void Clicked(TObject* Sender) { text += static_cast<TComponent*>(Sender)->Name() + ";"; }
};

TMenuItem* AddItem(TComponent* Owner, TMenuItem* Parent, const std::string& Name, TShortCut Key, ClickLog& Log) {
  auto* item = new TMenuItem(Owner);
  item->SetName(Name);
  item->SetCaption(Name);
  item->SetShortCut(Key);
  item->OnClick = TNotifyEvent::Of<&ClickLog::Clicked>(Log);
  Parent->Add(item);
  return item;
}

TEST(MainMenu, ShortcutKeysReachTheItemWhoseShortcutValueTheyMake) {
  TComponent owner(nullptr);
  ClickLog log;
  auto* menu = new TMainMenu(&owner);
  TMenuItem* file = AddItem(&owner, menu->Items(), "file", 0, log);
  TMenuItem* edit = AddItem(&owner, menu->Items(), "edit", 0, log);
  AddItem(&owner, file, "newItem", 0x4000 | 'N', log);
  AddItem(&owner, file, "help", 0x6000 | VK_F1, log);
  AddItem(&owner, edit, "del", VK_DELETE, log);
  AddItem(&owner, edit, "copy", 0x4000 | VK_INSERT, log);
  AddItem(&owner, edit, "undo", 0x8000 | VK_BACK, log);
  AddItem(&owner, edit, "send", 0x4000 | VK_RETURN, log);
  AddItem(&owner, edit, "hidden", VK_F1 + 4, log)->SetVisible(false);
  AddItem(&owner, edit, "disabled", VK_F1 + 5, log)->SetEnabled(false);

  QWidget window;
  menu->MenuBar(&window);
  window.resize(300, 200);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QApplication::setActiveWindow(&window);

  struct Row {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* clicked;
  };
  const Row rows[] = {
      {Qt::Key_N, Qt::ControlModifier, "newItem;"},
      {Qt::Key_N, Qt::NoModifier, ""},
      {Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier, ""},
      {Qt::Key_N, Qt::AltModifier, ""},
      {Qt::Key_F1, Qt::ControlModifier | Qt::ShiftModifier, "help;"},
      {Qt::Key_F1, Qt::ControlModifier, ""},
      {Qt::Key_F1, Qt::ShiftModifier, ""},
      {Qt::Key_Delete, Qt::NoModifier, "del;"},
      {Qt::Key_Insert, Qt::ControlModifier, "copy;"},
      {Qt::Key_Insert, Qt::ShiftModifier, ""},
      {Qt::Key_Backspace, Qt::AltModifier, "undo;"},
      {Qt::Key_Return, Qt::ControlModifier, "send;"},
      {Qt::Key_F5, Qt::NoModifier, ""},  // hidden
      {Qt::Key_F6, Qt::NoModifier, ""},  // disabled
  };
  for (const Row& row : rows) {
    log.text.clear();
    QTest::keyClick(&window, row.key, row.modifiers);
    EXPECT_EQ(log.text, row.clicked) << QKeySequence(QKeyCombination(row.modifiers, row.key)).toString().toStdString();
  }

  // A changed shortcut takes the old one's place.
  TMenuItem* newItem = file->Items(0);
  newItem->SetShortCut(0x4000 | 'M');
  log.text.clear();
  QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
  QTest::keyClick(&window, Qt::Key_M, Qt::ControlModifier);
  EXPECT_EQ(log.text, "newItem;");
  // Items added later are on the bar too.
  AddItem(&owner, menu->Items(), "view", 0, log);
  QMenuBar* bar = window.findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->actions().size(), 3);
}

TEST(Menu, IsShortCutClicksTheFirstUsableItemAndAClickLeavesTheCheckMark) {
  TComponent owner(nullptr);
  ClickLog log;
  auto* popup = new TPopupMenu(&owner);
  TMenuItem* off = AddItem(&owner, popup->Items(), "off", 0, log);
  off->SetEnabled(false);
  AddItem(&owner, off, "inOff", 0x4000 | 'S', log);
  TMenuItem* dis = AddItem(&owner, popup->Items(), "dis", 0x4000 | 'S', log);
  dis->SetEnabled(false);
  AddItem(&owner, popup->Items(), "save", 0x4000 | 'S', log);
  TMenuItem* check = AddItem(&owner, popup->Items(), "check", 0, log);

  EXPECT_TRUE(popup->IsShortCut(0x4000 | 'S'));
  EXPECT_FALSE(popup->IsShortCut(0x6000 | 'S'));
  EXPECT_FALSE(popup->IsShortCut(0));
  EXPECT_EQ(log.text, "save;");
  EXPECT_EQ(popup->FindItemByShortCut(0x4000 | 'S')->Name(), "inOff");

  check->Action()->trigger();
  EXPECT_FALSE(check->Checked());
  EXPECT_FALSE(check->Action()->isChecked());
  check->SetChecked(true);
  check->Action()->trigger();
  EXPECT_TRUE(check->Action()->isChecked());
  EXPECT_EQ(log.text, "save;check;check;");
}

TEST(MenuItem, HoldsItsItemsAndFreesThemWithItself) {
  TComponent owner(nullptr);
  ClickLog log;
  TMainMenu menu(nullptr);
  TMenuItem* file = AddItem(&owner, menu.Items(), "file", 0, log);
  TMenuItem* open = AddItem(&owner, file, "open", 0, log);
  TMenuItem* recent = AddItem(&owner, file, "recent", 0, log);
  AddItem(&owner, recent, "one", 0, log);
  EXPECT_THROW(recent->Add(file), EMenuError);
  EXPECT_THROW(file->Insert(5, new TMenuItem(&owner)), EMenuError);
  EXPECT_EQ(menu.Items()->IndexOf(file), 0);
  EXPECT_EQ(open->GetParentComponent(), file);
  EXPECT_EQ(file->GetParentComponent(), &menu);

  // Moving an item takes it out of its old parent.
  menu.Items()->Add(open);
  EXPECT_EQ(file->Count(), 1);
  EXPECT_EQ(open->Parent(), menu.Items());

  const int before = owner.ComponentCount();
  file->Free();  // with recent and one
  EXPECT_EQ(owner.ComponentCount(), before - 3);
  EXPECT_EQ(menu.Items()->Count(), 1);
  open->Free();
  EXPECT_EQ(menu.Items()->Count(), 0);
}

TEST(PopupMenu, AHookSeesTheMenuAndThePointInsteadOfAShownMenu) {
  TComponent owner(nullptr);
  auto* menu = new TPopupMenu(&owner);
  std::string log;
  menu->OnPopup = TNotifyEvent([&](TObject*) { log += "OnPopup;"; });
  const TPopupMenuHook previous = SetPopupMenuHook(TPopupMenuHook([&](TPopupMenu* Menu, int X, int Y) {
    log += (Menu == menu ? "menu " : "other ") + std::to_string(X) + "," + std::to_string(Y) + ";";
  }));
  menu->Popup(30, 40);
  EXPECT_EQ(log, "OnPopup;menu 30,40;");
  EXPECT_FALSE(menu->Items()->SubMenu()->isVisible());
  EXPECT_TRUE(SetPopupMenuHook(previous));  // answers the hook it replaced
}

}  // namespace
