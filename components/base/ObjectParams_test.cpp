#include "components/base/ObjectParams.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/base/BaseModules.h"
#include "components/base/MessageBroadcast.h"

namespace {

class TShapeBase : public TPersistent {
  KESTOVA_CLASS(TShapeBase)
};
class TShapeMid : public TShapeBase {
  KESTOVA_CLASS(TShapeMid)
};
class TShapeLeaf : public TShapeMid {
  KESTOVA_CLASS(TShapeLeaf)
};

}  // namespace

KESTOVA_CLASS_INFO(TShapeBase, TPersistent, "test", nullptr)
KESTOVA_CLASS_INFO(TShapeMid, TShapeBase, "test", nullptr)
KESTOVA_CLASS_INFO(TShapeLeaf, TShapeMid, "test", nullptr)

namespace {

class ObjectParams : public ::testing::Test {
 protected:
  void TearDown() override {
    FreeObjectParamList();
    FreeMessageAnswerList();
    SetCurrentGroup(-1);
  }
};

void NoProc() {}
void OtherProc() {}

TEST(ParamValuesEqual, NeedsEqualTypeCodesAndComparesStringsAsFlagsSay) {
  struct Row {
    const char* name;
    TVariant a, b;
    TParamMatchFlags flags;
    bool equal;
  };
  const Row rows[] = {
      {"integer 1 and text 1", int32_t{1}, "1", 0, false},
      {"smallint and integer 1", int16_t{1}, int32_t{1}, 0, false},
      {"equal integers", int32_t{7}, int32_t{7}, 0, true},
      {"case differs", "File.Open", "file.open", 0, false},
      {"case ignored", "File.Open", "file.open", kMatchIgnoreCase, true},
      {"umlaut case ignored", "größe", "GRÖßE", kMatchIgnoreCase, true},
      {"contained", "Open", "File.Open", kMatchContains, true},
      {"containing", "File.Open", "Open", kMatchContains, true},
      {"contained, case differs", "File.Open", "open", kMatchContains, false},
      {"contained, case ignored", "File.Open", "open", kMatchContains | kMatchIgnoreCase, true},
      {"wide and narrow text", TVarOleStr{"a"}, "a", 0, false},
      {"missing and missing", Unassigned(), Unassigned(), 0, true},
      {"missing and Null", Unassigned(), Null(), 0, false},
      {"missing and empty text", Unassigned(), "", 0, false},
      {"same procedure", &NoProc, &NoProc, 0, true},
      {"other procedure", &NoProc, &OtherProc, 0, false},
      {"same class", TShapeMid::StaticClass(), TShapeMid::StaticClass(), 0, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ParamValuesEqual(row.a, row.b, row.flags), row.equal);
  }
}

TEST_F(ObjectParams, EntryParametersAreNamedWithoutCaseAndStampedWithTheGroup) {
  TObjectParamListItem* first = RegisterObjectParams(TShapeMid::StaticClass(), {"Kind", "Size"}, {"box", int32_t{3}});
  SetCurrentGroup(5);
  // A value without a name is left out.
  TObjectParamListItem* second = AddObjectParams(TShapeMid::StaticClass(), {"Kind"}, false, {"cone", int32_t{9}});
  first->SetParam("KIND", "ball");

  EXPECT_EQ(first->Params().Count(), 2);
  EXPECT_EQ(first->GetParam("kind"), TVariant("ball"));
  EXPECT_TRUE(VarIsEmpty(first->GetParam("Colour")));
  EXPECT_EQ(first->Module(), -1);
  EXPECT_TRUE(first->Enabled());
  EXPECT_EQ(second->Module(), 5);
  EXPECT_FALSE(second->Enabled());
  EXPECT_EQ(second->Params().Count(), 1);
  EXPECT_EQ(GetObjectParamList()->GetItem(1), second);
  EXPECT_EQ(second->GetItemClass(), TShapeMid::StaticClass());
}

TEST_F(ObjectParams, LookupsRelateClassesByModeAndPreferTheOldestEntry) {
  TObjectParamListItem* older = RegisterObjectParams(TShapeMid::StaticClass(), {"Kind"}, {"box"});
  TObjectParamListItem* newer = RegisterObjectParams(TShapeMid::StaticClass(), {"Kind"}, {"box"});
  struct Row {
    const char* name;
    TClass asked;
    TClassMatch mode;
    bool found;
  };
  const Row rows[] = {
      {"by base: derived class asked", TShapeLeaf::StaticClass(), TClassMatch::ByBase, true},
      {"by base: the class itself", TShapeMid::StaticClass(), TClassMatch::ByBase, true},
      {"by base: ancestor asked", TShapeBase::StaticClass(), TClassMatch::ByBase, false},
      {"by descendant: ancestor asked", TShapeBase::StaticClass(), TClassMatch::ByDescendant, true},
      {"by descendant: derived class asked", TShapeLeaf::StaticClass(), TClassMatch::ByDescendant, false},
      {"exact: the class", TShapeMid::StaticClass(), TClassMatch::Exact, true},
      {"exact: derived class", TShapeLeaf::StaticClass(), TClassMatch::Exact, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindObjectParams(row.asked, {"Kind"}, 0, {"box"}, row.mode), row.found ? older : nullptr);
  }

  TList all;
  EXPECT_EQ(FindObjectParams(TShapeBase::StaticClass(), {}, 0, {}, TClassMatch::ByDescendant, &all), nullptr);
  ASSERT_EQ(all.Count(), 2);
  EXPECT_EQ(all[0], older);
  EXPECT_EQ(all[1], newer);
  EXPECT_EQ(FindObjectParamsByDescendant(TShapeBase::StaticClass(), {"Kind"}, 0, {"cone"}), nullptr);
  // A name without a value asks for the parameter to be missing.
  EXPECT_EQ(FindObjectParamsExact(TShapeMid::StaticClass(), {"Kind", "Colour"}, 0, {"box"}), older);
  EXPECT_EQ(FindRegisteredClass(TShapeBase::StaticClass(), {"Kind"}, 0, {"box"}), TShapeMid::StaticClass());
  EXPECT_EQ(FindRegisteredClass(TShapeLeaf::StaticClass(), {"Kind"}, 0, {"box"}), nullptr);
}

// Names the entries an enumeration of TShapeBase visits, by their "Tag".
std::string Enumerate(bool StopAtB = false, bool DeleteOlder = false) {
  std::string visited;
  TVariant result = int32_t{0};
  EnumObjectParams(
      GetObjectParamList(), TShapeBase::StaticClass(), {"seen"},
      [&](TObjectParamListItem* Entry, const TParamValues& Params, bool& Stop, TVariant& Result) {
        const std::string tag = VarToStr(Entry->GetParam("Tag"));
        visited += tag;
        Result = int32_t{Result.AsInteger() + 1};
        if (Params.size() != 1 || VarToStr(Params[0]) != "seen") visited += "?";
        if (DeleteOlder && tag == "c") GetObjectParamList()->Delete(1);
        Stop = StopAtB && tag == "b";
      },
      result);
  return visited + std::to_string(result.AsInteger());
}

TEST_F(ObjectParams, EnumerationShowsTheNewestFirstAndSkipsDisabledOrRemovedEntries) {
  RegisterObjectParams(TShapeMid::StaticClass(), {"Tag"}, {"a"});
  TObjectParamListItem* b = RegisterObjectParams(TShapeLeaf::StaticClass(), {"Tag"}, {"b"});
  RegisterObjectParams(TShapeBase::StaticClass(), {"Tag"}, {"c"});
  RegisterObjectParams(TPersistent::StaticClass(), {"Tag"}, {"other"});
  EXPECT_EQ(Enumerate(), "cba3");
  EXPECT_EQ(Enumerate(/*StopAtB=*/true), "cb2");

  b->SetEnabled(false);
  EXPECT_EQ(Enumerate(), "ca2");
  EXPECT_EQ(FindObjectParamsByDescendant(TShapeBase::StaticClass(), {"Tag"}, 0, {"b"}), nullptr);
  b->SetEnabled(true);
  EXPECT_EQ(Enumerate(false, /*DeleteOlder=*/true), "ca2");  // b went while c was visited
}

TEST_F(ObjectParams, ModuleShutDownFreesTheRegistries) {
  ModuleTable table;
  AddComponentBaseModules(table);
  table.StartUp();
  RegisterObjectParams(TShapeMid::StaticClass(), {"Kind"}, {"box"});
  TMessageAnswer receiver;
  table.ShutDown();
  EXPECT_EQ(GetObjectParamList()->Count(), 0);
  EXPECT_EQ(GetMessageAnswerList()->Count(), 0);
}

}  // namespace
