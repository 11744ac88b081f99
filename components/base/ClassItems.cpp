#include "components/base/ClassItems.h"

#include <exception>
#include <memory>

#include "components/base/MessageBroadcast.h"
#include "platform/classes/Messages.h"

namespace {

std::unique_ptr<TClassItems> classItems;

void OnPalettePage(const std::string& Page, std::span<const TClass> Classes) {
  RegisterClassesOnPage(Page, Classes, kClassOnPalette);
}

void NotActiveX(std::span<const TClass> Classes) { RegisterClassesOnPage("", Classes, kClassNotActiveX); }

}  // namespace

KESTOVA_CLASS_INFO(TClassItem, TPackagedCollectionItem, "zrbase", &MakeCollectionItem<TClassItem>)
KESTOVA_CLASS_INFO(TClassItems, TPackagedCollection, "zrbase", nullptr)

TClassItems::TClassItems() : TPackagedCollection(TClassItem::StaticClass()) {}

TClassItem* TClassItems::FindClass(TClass Class) const {
  for (int i = 0; i < Count(); ++i)
    if (Item(i)->Class == Class) return Item(i);
  return nullptr;
}

TClassItem* TClassItems::AddClass(TClass Class, TClassItemFlags Flags) {
  TClassItem* item = FindClass(Class);
  if (!item) item = static_cast<TClassItem*>(AddItem());
  item->Flags |= Flags;
  item->Class = Class;
  return item;
}

TClassItems* GetClassItems() {
  if (!classItems) classItems = std::make_unique<TClassItems>();
  return classItems.get();
}

void FreeClassItems() { classItems.reset(); }

bool RegisterClassesOnPage(const std::string& Page, std::span<const TClass> Classes, TClassItemFlags Flags) {
  for (const TClass cls : Classes) {
    RegisterClass(cls);
    TClassItem* item = GetClassItems()->AddClass(cls, Flags);
    if (item->Page.empty()) item->Page = Page;
  }
  return BroadcastMessage(nullptr, ZRM_PALETTECLASSESREGISTERED, 0, 0);
}

void RegisterNoIconClasses(std::span<const TClass> Classes) { RegisterClassesOnPage("", Classes, kClassNoIcon); }

void RegisterClassOnce(TClass Class) {
  if (!Class || GetClass(Class->Name)) return;
  try {
    RegisterClass(Class);
  } catch (const std::exception&) {
    // An ancestor's name may be taken by another class: the class stays
    // unregistered, which is what a look-up by name finds out.
  }
}

void RegisterClassesOnce(std::span<const TClass> Classes) {
  for (const TClass cls : Classes) RegisterClassOnce(cls);
}

bool ClassHasIcon(TClass Class) {
  if (!Class || !classItems) return true;
  for (int i = 0; i < classItems->Count(); ++i) {
    const TClassItem* item = classItems->Item(i);
    if (item->Class && Class->InheritsFrom(item->Class)) return (item->Flags & kClassNoIcon) == 0;
  }
  return true;
}

void InstallClassRegistrationHooks() {
  if (!RegisterComponentsProc()) SetRegisterComponentsProc(&OnPalettePage);
  if (!RegisterNoIconProc()) SetRegisterNoIconProc(&RegisterNoIconClasses);
  if (!RegisterNonActiveXProc()) SetRegisterNonActiveXProc(&NotActiveX);
}

void RemoveClassRegistrationHooks() {
  if (RegisterComponentsProc() == &OnPalettePage) SetRegisterComponentsProc(nullptr);
  if (RegisterNoIconProc() == &RegisterNoIconClasses) SetRegisterNoIconProc(nullptr);
  if (RegisterNonActiveXProc() == &NotActiveX) SetRegisterNonActiveXProc(nullptr);
}
