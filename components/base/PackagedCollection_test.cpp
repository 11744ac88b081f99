#include "components/base/PackagedCollection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/base/MessageBroadcast.h"
#include "components/base/ObjectParams.h"
#include "platform/classes/Messages.h"

namespace {

std::string Groups(const TPackagedCollection& Collection) {
  std::string text;
  for (int i = 0; i < Collection.Count(); ++i) text += std::to_string(Collection.Item(i)->Group);
  return text;
}

TEST(TPackagedCollection, AnUnloadedGroupLeavesEveryPackagedCollectionAtOnce) {
  const TModuleTag package = static_cast<TModuleTag>(0x7F00DEADBEEFll);
  {
    TPackagedCollection first(TPackagedCollectionItem::StaticClass());
    TPackagedCollection second(TPackagedCollectionItem::StaticClass());
    for (const int group : {1, 3, 2, 3, 3}) {
      SetCurrentGroup(group);
      first.AddItem();
    }
    SetCurrentPackageModule(package);
    for (const int group : {3, 5}) {
      SetCurrentGroup(group);
      second.AddItem();
    }
    EXPECT_EQ(SetCurrentPackageModule(0), package);
    EXPECT_EQ(first.LastItem()->PackageModule, 0);
    EXPECT_EQ(second.LastItem()->PackageModule, package);  // whole on 64 bits
    EXPECT_EQ(second.LastItem()->Group, 5);

    EXPECT_TRUE(BroadcastMessage(nullptr, ZRM_PACKAGEUNLOADED, 3, 0));
    EXPECT_EQ(Groups(first), "12");
    EXPECT_EQ(Groups(second), "5");
    BroadcastMessage(nullptr, ZRM_PACKAGEUNLOADED, 7, 0);
    EXPECT_EQ(Groups(first), "12");
    second.RemoveGroup(5);
    EXPECT_EQ(second.LastItem(), nullptr);
    EXPECT_EQ(GetMessageAnswerList()->Count(), 2);
  }
  EXPECT_EQ(GetMessageAnswerList()->Count(), 0);  // both left when freed
  SetCurrentGroup(-1);
  FreeMessageAnswerList();
}

TEST(TZRPersistentList, EqualListsHoldTheSameObjectsInTheSameOrder) {
  TPersistent a, b;
  TInterfacePtr<ISelectionList> one(new TZRPersistentList);
  TInterfacePtr<ISelectionList> two(new TZRPersistentList);
  EXPECT_TRUE(one->Equals(two.get()));  // both empty
  EXPECT_EQ(one->Add(&a), 0);
  EXPECT_EQ(one->Add(&b), 1);
  two->Add(&b);
  EXPECT_FALSE(one->Equals(two.get()));
  two->Add(&a);
  EXPECT_FALSE(one->Equals(two.get()));  // same items, other order
  EXPECT_FALSE(one->Equals(nullptr));

  TInterfacePtr<ISelectionList> three(new TZRPersistentList);
  three->Add(&a);
  three->Add(&b);
  EXPECT_TRUE(one->Equals(three.get()));
  EXPECT_TRUE(three->Equals(one.get()));
  EXPECT_EQ(three->GetCount(), 2);
  EXPECT_EQ(three->Get(1), &b);
  EXPECT_THROW(three->Get(2), EListError);

  TInterfacePtr<ISelectionList> held = three;
  three.reset();
  EXPECT_EQ(held->Get(0), &a);  // still alive through the second reference; freed with it
}

}  // namespace
