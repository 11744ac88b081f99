#pragma once
// The registries that tell the family's edits which pop-up and edit classes
// to use per value type, and which edit-source classes exist. Packages fill
// them; each is a packaged collection, so an unloaded package's entries go.
// The edits search them comparing class references and type records.

#include <cstdint>
#include <string>

#include "components/base/PackagedCollection.h"
#include "platform/classes/TypInfo.h"

class TPopupClassInfo : public TPackagedCollectionItem {
  KESTOVA_CLASS(TPopupClassInfo)
 public:
  explicit TPopupClassInfo(TCollection* Collection) : TPackagedCollectionItem(Collection) {}

  TClass Class = nullptr;
  const TTypeInfo* ValueType = nullptr;  // the type of the property the class edits
  std::string Qualifier;                 // empty, or a refinement such as " "
  std::int32_t Tag = 0;
};

class TEditClassInfo : public TPopupClassInfo {
  KESTOVA_CLASS(TEditClassInfo)
 public:
  explicit TEditClassInfo(TCollection* Collection) : TPopupClassInfo(Collection) {}

  bool IsDefault = false;  // the default entry for its value type
};

class TEditSourceClassInfo : public TPackagedCollectionItem {
  KESTOVA_CLASS(TEditSourceClassInfo)
 public:
  explicit TEditSourceClassInfo(TCollection* Collection) : TPackagedCollectionItem(Collection) {}

  TClass Class = nullptr;
};

// The process-wide registries, created on first use; FreeEditClassRegistries
// frees all three at shut-down.
TPackagedCollection* GetPopupClassRegistry();
TPackagedCollection* GetEditClassRegistry();
TPackagedCollection* GetEditSourceClassRegistry();
void FreeEditClassRegistries();

// Each adds an entry with the arguments (a nullptr class is recorded as
// given) and registers Class with the class registry (RegisterClassOnce).
// The Ex form marks the entry as its value type's default.
TPopupClassInfo* RegisterPopupClass(const TTypeInfo* ValueType, std::int32_t Tag, const std::string& Qualifier,
                                    TClass Class);
TEditClassInfo* RegisterEditClass(const TTypeInfo* ValueType, std::int32_t Tag, const std::string& Qualifier,
                                  TClass Class);
TEditClassInfo* RegisterEditClassEx(const TTypeInfo* ValueType, std::int32_t Tag, const std::string& Qualifier,
                                    TClass Class);
