#pragma once
// The record of every component class registered for the palette, filled
// through the class registry's registration hooks, which this library
// installs at start-up (AddComponentBaseModules).

#include <cstdint>
#include <span>
#include <string>

#include "components/base/PackagedCollection.h"

// Flags of a TClassItem (bits, added up over registrations).
using TClassItemFlags = std::uint8_t;
inline constexpr TClassItemFlags kClassNotActiveX = 1;
inline constexpr TClassItemFlags kClassNoIcon = 4;
inline constexpr TClassItemFlags kClassOnPalette = 8;

class TClassItem : public TPackagedCollectionItem {
  KESTOVA_CLASS(TClassItem)
 public:
  explicit TClassItem(TCollection* Collection) : TPackagedCollectionItem(Collection) {}

  TClass Class = nullptr;
  TClassItemFlags Flags = 0;
  std::string Page;  // the palette page of the first registration that named one
};

class TClassItems : public TPackagedCollection {
  KESTOVA_CLASS(TClassItems)
 public:
  TClassItems();
  TClassItem* Item(int Index) const { return static_cast<TClassItem*>(Items(Index)); }
  // The item of exactly Class, or nullptr.
  TClassItem* FindClass(TClass Class) const;
  // The item of Class (a new one at the end when there is none) with Flags
  // added to its flags.
  TClassItem* AddClass(TClass Class, TClassItemFlags Flags);
};

// The process-wide record, created on first use; FreeClassItems frees it at
// shut-down (a later use starts a new one).
TClassItems* GetClassItems();
void FreeClassItems();

// For each class in order: registers it with the class registry (errors go
// through), records it with Flags and, when its record has no page yet, gives
// it Page. Then broadcasts ZRM_PALETTECLASSESREGISTERED and answers the
// broadcast's result.
bool RegisterClassesOnPage(const std::string& Page, std::span<const TClass> Classes, TClassItemFlags Flags);
// RegisterClassesOnPage("", Classes, kClassNoIcon).
void RegisterNoIconClasses(std::span<const TClass> Classes);

// Registers Class with the class registry unless a class of its name is
// registered already; a failure is dropped, so a second package registering
// a class of a known name goes on.
void RegisterClassOnce(TClass Class);
void RegisterClassesOnce(std::span<const TClass> Classes);

// Decided by the oldest record whose class is Class or one of its ancestors:
// false when it has kClassNoIcon; true when it has not, or there is none.
bool ClassHasIcon(TClass Class);

// Installs the family's procedures into the class registry's empty
// registration hooks (flags kClassOnPalette with the page, kClassNoIcon,
// kClassNotActiveX); the removal empties only the hooks still holding them.
void InstallClassRegistrationHooks();
void RemoveClassRegistrationHooks();
