#include "platform/core/Object.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "testing/ObjectFreedRecorder.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;

std::vector<std::string> journal;

class TShape : public TPersistent {
  KESTOVA_CLASS(TShape)
 public:
  TPersistent* owner = nullptr;
  int size = 0;
  TPersistent* GetOwner() const override { return owner; }
  ~TShape() override { journal.push_back("~TShape sees " + ClassName()); }
};
KESTOVA_CLASS_INFO(TShape, TPersistent, "Shapes", &MakeObject<TShape>)

class TCircle : public TShape {
  KESTOVA_CLASS(TCircle)
 public:
  void BeforeDestruction() override { journal.push_back("BeforeDestruction sees " + ClassName()); }

 protected:
  // A circle knows how to fill a plain shape.
  void AssignTo(TPersistent* Dest) const override {
    if (auto* shape = dynamic_cast<TShape*>(Dest); shape && shape->ClassType() == TShape::StaticClass())
      shape->size = 2 * size;
    else
      TShape::AssignTo(Dest);
  }
};
KESTOVA_CLASS_INFO(TCircle, TShape, "Shapes", nullptr)

// Declares no class record of its own.
class TUndeclaredCircle : public TCircle {};

struct alignas(64) TWideObject : TObject {
  char bytes[64];
};

TEST(TObject, KnowsItsClassAtRunTime) {
  TObject object;
  TShape shape;
  TCircle circle;
  TUndeclaredCircle undeclared;
  struct Row {
    const TObject* object;
    const char* name;
    const char* parent;
    const char* unit;
    bool isShape;
  } rows[] = {
      {&object, "TObject", "", "System", false},
      {&shape, "TShape", "TPersistent", "Shapes", true},
      {&circle, "TCircle", "TShape", "Shapes", true},
      {&undeclared, "TCircle", "TShape", "Shapes", true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(r.object->ClassName(), r.name);
    EXPECT_TRUE(r.object->ClassNameIs(r.name));
    EXPECT_EQ(r.object->ClassParent() ? r.object->ClassParent()->Name : "", r.parent);
    EXPECT_EQ(r.object->ClassType()->UnitName, r.unit);
    EXPECT_EQ(r.object->InheritsFrom(TShape::StaticClass()), r.isShape);
    EXPECT_TRUE(r.object->InheritsFrom(TObject::StaticClass()));
    EXPECT_FALSE(r.object->InheritsFrom(nullptr));
  }
  EXPECT_TRUE(circle.ClassNameIs("tcircle"));
  EXPECT_FALSE(circle.ClassNameIs("TShape"));
}

TEST(TObject, TheFactoryMakesAnObjectOfTheClass) {
  TObject* made = TShape::StaticClass()->Factory(nullptr);
  EXPECT_EQ(made->ClassName(), "TShape");
  journal.clear();
  FreeAndNil(made);
  EXPECT_EQ(made, nullptr);
  EXPECT_EQ(TCircle::StaticClass()->Factory, nullptr);
}

TEST(TObject, FreeRunsBeforeDestructionWhileTheObjectIsWhole) {
  journal.clear();
  TObject* circle = new TCircle;
  circle->Free();
  // In the destructor the object is already only a TShape.
  EXPECT_THAT(journal, ElementsAre("BeforeDestruction sees TCircle", "~TShape sees TShape"));
  journal.clear();
  delete new TCircle;
  EXPECT_THAT(journal, ElementsAre("~TShape sees TShape"));
  TShape* none = nullptr;
  FreeAndNil(none);
}

TEST(TObject, EveryReleasedObjectIsReportedOnceWithItsAddress) {
  ObjectFreedRecorder recorder;
  TObject* freed = new TCircle;
  TObject* deleted = new TShape;
  TObject* wide = new TWideObject;
  const void* addresses[] = {freed, deleted, wide};
  freed->Free();
  delete deleted;
  delete wide;
  { TShape onTheStack; }
  EXPECT_THAT(recorder.freed, ElementsAre(addresses[0], addresses[1], addresses[2]));
}

TEST(TPersistent, AssignGoesThroughTheSourceOrFailsWithBothNames) {
  TShape shape, otherShape;
  TCircle circle;
  circle.size = 3;
  shape.Assign(&circle);
  EXPECT_EQ(shape.size, 6);
  struct Row {
    TPersistent* dest;
    const TPersistent* source;
    const char* message;
  } rows[] = {
      {&circle, &shape, "Cannot assign a TShape to a TCircle"},
      {&shape, &otherShape, "Cannot assign a TShape to a TShape"},
      {&shape, nullptr, "Cannot assign a nil to a TShape"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.message);
    EXPECT_THAT([&] { r.dest->Assign(r.source); }, ThrowsMessage<EConvertError>(r.message));
  }
}

TEST(TPersistent, TheNamePathFollowsTheOwners) {
  TShape outer, inner;
  TCircle circle;
  inner.owner = &outer;
  circle.owner = &inner;
  EXPECT_EQ(outer.GetNamePath(), "TShape");
  EXPECT_EQ(circle.GetNamePath(), "TShape.TShape.TCircle");
}

}  // namespace
