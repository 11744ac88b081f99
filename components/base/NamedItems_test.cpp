#include "components/base/NamedItems.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/base/zrhook.h"
#include "platform/classes/Component.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/core/Exceptions.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

class TValueItem : public TZRNamedItem {
  KESTOVA_CLASS(TValueItem)
 public:
  using TZRNamedItem::TZRNamedItem;
  std::int32_t Value = 0;
};

class TExtraItem : public TZRNamedItem {
  KESTOVA_CLASS(TExtraItem)
 public:
  using TZRNamedItem::TZRNamedItem;
  std::int32_t Value = 0;
  std::string Extra;
};

class TValueItems : public TZRNamedItems {
  KESTOVA_CLASS(TValueItems)
 public:
  using TZRNamedItems::TZRNamedItems;
};

class TPlainOwner : public TPersistent {
  KESTOVA_CLASS(TPlainOwner)
};

void DescribeTValueItem(TClassInfo& Info) {
  TClassPublisher<TValueItem> p(Info);
  p.Property<&TValueItem::Value, &TValueItem::Value>("Value", TypeInfos::Integer());
}
void DescribeTExtraItem(TClassInfo& Info) {
  TClassPublisher<TExtraItem> p(Info);
  p.Property<&TExtraItem::Value, &TExtraItem::Value>("Value", TypeInfos::Integer());
  p.Property<&TExtraItem::Extra, &TExtraItem::Extra>("Extra", TypeInfos::String());
}

}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TValueItem, TZRNamedItem, "test", &MakeCollectionItem<TValueItem>, DescribeTValueItem)
KESTOVA_CLASS_INFO_DESCRIBED(TExtraItem, TZRNamedItem, "test", &MakeCollectionItem<TExtraItem>, DescribeTExtraItem)
KESTOVA_CLASS_INFO(TValueItems, TZRNamedItems, "test", &MakeNamedItems<TValueItems>)
KESTOVA_CLASS_INFO(TPlainOwner, TPersistent, "test", nullptr)

namespace {

// Logs OnChange as "change" and OnUpdateItem as "item:<name or nil>".
struct ChangeLog {
  std::vector<std::string> log;
  void Attach(TCustomZRNamedItems& Items) {
    Items.OnChange = [this](TObject*) { log.push_back("change"); };
    Items.OnUpdateItem = [this](TCustomZRNamedItems*, TCollectionItem* Item) {
      log.push_back("item:" + (Item ? Item->DisplayName() : std::string("nil")));
    };
  }
};

TEST(TZRNamedItem, DisplaysItsNameOrItsClassAndTakesADisplayNameSilently) {
  TZRNamedItems items(nullptr, TValueItem::StaticClass());
  ChangeLog changes;
  auto* item = static_cast<TZRNamedItem*>(items.Add());
  changes.Attach(items);
  EXPECT_EQ(item->DisplayName(), "TValueItem");
  item->SetDisplayName("Bold");
  EXPECT_EQ(item->Name, "Bold");
  EXPECT_EQ(item->DisplayName(), "Bold");
  EXPECT_TRUE(changes.log.empty());
}

TEST(TCustomZRNamedItems, OneNoticePerChangeAndOnePerBracketForTheWholeCollection) {
  TZRNamedItems items(nullptr, TValueItem::StaticClass());
  auto* first = static_cast<TZRNamedItem*>(items.Add());
  auto* second = static_cast<TZRNamedItem*>(items.Add());
  first->Name = "first";
  second->Name = "second";
  ChangeLog changes;
  changes.Attach(items);

  second->Changed();
  EXPECT_EQ(changes.log, (std::vector<std::string>{"change", "item:second"}));
  changes.log.clear();
  items.BeginUpdate();
  items.BeginUpdate();
  first->Changed();
  second->Changed();
  items.Add();
  items.EndUpdate();
  EXPECT_TRUE(changes.log.empty()) << "still inside the outer bracket";
  items.EndUpdate();
  EXPECT_EQ(changes.log, (std::vector<std::string>{"change", "item:nil"}));
}

TEST(TZRNamedItem, AssignCopiesThePropertiesBothClassesPublish) {
  TZRNamedItems values(nullptr, TValueItem::StaticClass());
  TZRNamedItems extras(nullptr, TExtraItem::StaticClass());
  auto* target = static_cast<TValueItem*>(values.Add());
  auto* source = static_cast<TExtraItem*>(extras.Add());
  source->Name = "Comment";
  source->Value = 12;
  source->Extra = "only here";
  target->Assign(source);
  EXPECT_EQ(target->Name, "Comment");
  EXPECT_EQ(target->Value, 12);

  TPlainOwner stranger;
  EXPECT_THAT([&] { target->Assign(&stranger); },
              ThrowsMessage<EConvertError>(HasSubstr("Cannot assign a TPlainOwner to a TValueItem")));
  EXPECT_EQ(target->Name, "Comment");
  EXPECT_EQ(target->Value, 12);
}

TEST(TCustomZRNamedItems, AFreedOwnerLeavesTheCollectionAliveWithoutOwner) {
  for (const bool component : {true, false}) {
    SCOPED_TRACE(component ? "component owner" : "plain owner");
    TPersistent* owner = component ? static_cast<TPersistent*>(new TComponent(nullptr)) : new TPlainOwner;
    auto* items = new TZRNamedItems(owner, TValueItem::StaticClass());
    auto* others = new TZRNamedItems(owner, TValueItem::StaticClass());
    EXPECT_EQ(items->Owner(), owner);
    EXPECT_EQ(items->GetOwner(), owner);
    others->Free();  // unregisters; the owner stays watched for items
    owner->Free();
    EXPECT_EQ(items->Owner(), nullptr);
    EXPECT_EQ(items->GetOwner(), nullptr);
    items->Add();
    EXPECT_EQ(items->Count(), 1);
    items->Free();
    EXPECT_EQ(NotifierStorage(), nullptr);
    EXPECT_EQ(FreeNotifiers() ? FreeNotifiers()->Count() : 0, 0);
  }
}

TEST(TCustomZRNamedItems, AClassReferenceMakesAnyDescendantWithOwnerAndItemClass) {
  TComponent owner(nullptr);
  struct Case {
    const char* name;
    TClass itemsClass, itemClass;
  };
  const Case cases[] = {
      {"concrete collection", TZRNamedItems::StaticClass(), TExtraItem::StaticClass()},
      {"descendant", TValueItems::StaticClass(), TValueItem::StaticClass()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TCustomZRNamedItems* items = CreateNamedItems(c.itemsClass, &owner, c.itemClass);
    EXPECT_EQ(items->ClassType(), c.itemsClass);
    EXPECT_EQ(items->ItemClass(), c.itemClass);
    EXPECT_EQ(items->Owner(), &owner);
    EXPECT_EQ(items->Add()->ClassType(), c.itemClass);
    items->Free();
  }
  EXPECT_THROW(CreateNamedItems(TPlainOwner::StaticClass(), &owner, TValueItem::StaticClass()), EInvalidCast);
  TObject* alone = TValueItems::StaticClass()->Factory(&owner);
  EXPECT_EQ(static_cast<TCollection*>(alone)->ItemClass(), TZRNamedItem::StaticClass());
  alone->Free();
}

}  // namespace
