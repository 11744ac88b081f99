#include "platform/core/Object.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
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
  TPersistent *owner = nullptr;
  int size = 0;
  TPersistent *GetOwner() const override { return owner; }
  ~TShape() override { journal.push_back("~TShape sees " + ClassName()); }
};
KESTOVA_CLASS_INFO(TShape, TPersistent, "Shapes", &MakeObject<TShape>)

class TCircle : public TShape {
  KESTOVA_CLASS(TCircle)
 public:
  void BeforeDestruction() override { journal.push_back("BeforeDestruction sees " + ClassName()); }

 protected:
  // A circle knows how to fill a plain shape.
  void AssignTo(TPersistent *Dest) const override {
    if (auto *shape = dynamic_cast<TShape *>(Dest); shape && shape->ClassType() == TShape::StaticClass())
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
    const TObject *object;
    const char *name;
    const char *parent;
    const char *unit;
    bool isShape;
  } rows[] = {
      {&object, "TObject", "", "System", false},
      {&shape, "TShape", "TPersistent", "Shapes", true},
      {&circle, "TCircle", "TShape", "Shapes", true},
      {&undeclared, "TCircle", "TShape", "Shapes", true},
  };
  for (const Row &r : rows) {
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
  TObject *made = TShape::StaticClass()->Factory(nullptr);
  EXPECT_EQ(made->ClassName(), "TShape");
  journal.clear();
  FreeAndNil(made);
  EXPECT_EQ(made, nullptr);
  EXPECT_EQ(TCircle::StaticClass()->Factory, nullptr);
}

TEST(TObject, FreeRunsBeforeDestructionWhileTheObjectIsWhole) {
  journal.clear();
  TObject *circle = new TCircle;
  circle->Free();
  // In the destructor the object is already only a TShape.
  EXPECT_THAT(journal, ElementsAre("BeforeDestruction sees TCircle", "~TShape sees TShape"));
  journal.clear();
  delete new TCircle;
  EXPECT_THAT(journal, ElementsAre("~TShape sees TShape"));
  TShape *none = nullptr;
  FreeAndNil(none);
}

// Finishes its set-up after construction, through an override a base
// constructor could not reach; fails there when told to.
class TLateShape : public TShape {
 public:
  explicit TLateShape(bool fail) : fail_(fail) {}
  void AfterConstruction() override {
    journal.push_back("AfterConstruction sees " + ClassName() + (fail_ ? ", fails" : ""));
    if (fail_) throw Exception("Set-up failed");
  }

 private:
  bool fail_;
};

TEST(TObject, ConstructRunsAfterConstructionOnceAndFreesTheObjectWhenItFails) {
  journal.clear();
  TLateShape *shape = Construct<TLateShape>(false);
  EXPECT_THAT(journal, ElementsAre("AfterConstruction sees TShape"));
  shape->Free();
  journal.clear();
  EXPECT_THAT([] { Construct<TLateShape>(true); }, ThrowsMessage<Exception>("Set-up failed"));
  EXPECT_THAT(journal, ElementsAre("AfterConstruction sees TShape, fails", "~TShape sees TShape"));
}

TEST(TObject, EveryReleasedObjectIsReportedOnceWithItsAddress) {
  ObjectFreedRecorder recorder;
  TObject *freed = new TCircle;
  TObject *deleted = new TShape;
  TObject *wide = new TWideObject;
  const void *addresses[] = {freed, deleted, wide};
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
    TPersistent *dest;
    const TPersistent *source;
    const char *message;
  } rows[] = {
      {&circle, &shape, "Cannot assign a TShape to a TCircle"},
      {&shape, &otherShape, "Cannot assign a TShape to a TShape"},
      {&shape, nullptr, "Cannot assign a nil to a TShape"},
  };
  for (const Row &r : rows) {
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

namespace {

constexpr std::uint32_t kPing = 0x7FD;
constexpr std::uint32_t kCount = 0x80B;
constexpr std::uint32_t kUnhandled = 0x0400;

// A base that answers two messages, a derived class that replaces one of them
// and hands it on, and a class with no table of its own below both.
class TReceiver : public TObject {
  KESTOVA_CLASS(TReceiver)
 public:
  std::vector<std::string> heard;
  void Ping(TMessage &Message) {
    heard.push_back("TReceiver.Ping");
    Message.Result = 1;
  }
  void Count(TMessage &Message) {
    heard.push_back("TReceiver.Count");
    Message.Result = static_cast<std::intptr_t>(reinterpret_cast<std::vector<int> *>(Message.WParam)->size());
  }
  void DefaultHandler(TMessage &Message) override {
    heard.push_back("default");
    Message.Result = -1;
  }
};
void DescribeTReceiver(TClassInfo &Info) {
  AddMessageHandler<&TReceiver::Ping>(Info, kPing);
  AddMessageHandler<&TReceiver::Count>(Info, kCount);
}
KESTOVA_CLASS_INFO_DESCRIBED(TReceiver, TObject, "Receivers", nullptr, DescribeTReceiver)

class TLoudReceiver : public TReceiver {
  KESTOVA_CLASS(TLoudReceiver)
 public:
  void Ping(TMessage &Message) {
    heard.push_back("TLoudReceiver.Ping");
    InheritedMessage(TLoudReceiver::StaticClass(), Message);
    Message.Result += 10;
  }
};
void DescribeTLoudReceiver(TClassInfo &Info) { AddMessageHandler<&TLoudReceiver::Ping>(Info, kPing); }
KESTOVA_CLASS_INFO_DESCRIBED(TLoudReceiver, TReceiver, "Receivers", nullptr, DescribeTLoudReceiver)

class TQuietReceiver : public TLoudReceiver {
  KESTOVA_CLASS(TQuietReceiver)
};
KESTOVA_CLASS_INFO(TQuietReceiver, TLoudReceiver, "Receivers", nullptr)

}  // namespace

TEST(TObjectDispatch, FindsTheNearestHandlerOfTheClassChain) {
  std::vector<int> items(3);
  struct Row {
    const char *name;
    TReceiver *receiver;
    std::uint32_t msg;
    std::vector<std::string> heard;
    std::intptr_t result;
  };
  TReceiver base;
  TLoudReceiver loud;
  TQuietReceiver quiet;
  const Row rows[] = {
      {"own handler", &base, kPing, {"TReceiver.Ping"}, 1},
      {"replaced handler calls the inherited one", &loud, kPing, {"TLoudReceiver.Ping", "TReceiver.Ping"}, 11},
      {"no table of its own", &quiet, kPing, {"TLoudReceiver.Ping", "TReceiver.Ping"}, 11},
      {"base handler answers for a derived class", &quiet, kCount, {"TReceiver.Count"}, 3},
      {"no handler anywhere", &quiet, kUnhandled, {"default"}, -1},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    row.receiver->heard.clear();
    TMessage message{row.msg, reinterpret_cast<std::uintptr_t>(&items), 0, 0};
    row.receiver->Dispatch(message);
    EXPECT_EQ(row.receiver->heard, row.heard);
    EXPECT_EQ(message.Result, row.result);
  }
}

TEST(TObjectDispatch, PointersTravelWholeInEitherParameter) {
  // An address above 4 GiB shows a cut parameter.
  const std::uintptr_t high = (std::uintptr_t{0x12345678} << 32) | 0x9ABCDEF0u;
  TMessage message{kUnhandled, high, static_cast<std::intptr_t>(high), 0};
  TObject object;
  object.Dispatch(message);
  EXPECT_EQ(message.WParam, high);
  EXPECT_EQ(static_cast<std::uintptr_t>(message.LParam), high);
  EXPECT_EQ(message.Result, 0);
}
