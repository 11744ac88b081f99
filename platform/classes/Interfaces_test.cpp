#include "platform/classes/Interfaces.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/ObjectFreedRecorder.h"

namespace {

using ::testing::ElementsAre;

class IGreeter : public virtual IInterface {
 public:
  virtual std::string Greet() = 0;
};

class ICounter : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::FromString("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");
  virtual int Next() = 0;
};

class TGreeter : public TInterfacedObject, public IGreeter {
 public:
  std::string Greet() override { return "hello"; }
};

class TBoth : public TInterfacedObject, public IGreeter, public ICounter {
 public:
  std::string Greet() override { return "both"; }
  int Next() override { return ++n; }
  int n = 0;
};

TEST(TInterfacedObject, TheLastReleaseFreesTheObject) {
  ObjectFreedRecorder recorder;
  auto* both = new TBoth;
  EXPECT_EQ(both->RefCount(), 0);
  TInterfacePtr<IGreeter> greeter(both);
  TInterfacePtr<ICounter> counter = Supports<ICounter>(greeter);
  EXPECT_EQ(both->RefCount(), 2);
  EXPECT_EQ(counter->Next(), 1);
  TInterfacePtr<IInterface> base = greeter;
  EXPECT_EQ(both->RefCount(), 3);
  greeter.reset();
  counter = nullptr;
  EXPECT_TRUE(recorder.freed.empty());
  EXPECT_EQ(base.get() != nullptr, true);
  base.reset();
  EXPECT_THAT(recorder.freed, ElementsAre(static_cast<TObject*>(both)));
}

TEST(TInterfacedObject, SupportsAnswersOnlyForImplementedInterfaces) {
  TInterfacePtr<IGreeter> greeter(new TGreeter);
  EXPECT_FALSE(Supports<ICounter>(greeter));
  EXPECT_EQ(Supports<IGreeter>(greeter)->Greet(), "hello");
  EXPECT_FALSE(Supports<ICounter>(static_cast<IInterface*>(nullptr)));
  TObject plain;
  EXPECT_FALSE(Supports<IGreeter>(&plain));
}

TEST(TGUID, ReadsAndWritesTheBracedForm) {
  EXPECT_EQ(ICounter::IID.D1, 0x0A1B2C3Du);
  EXPECT_EQ(ICounter::IID.D4[7], 0xF9);
  EXPECT_EQ(ICounter::IID.ToString(), "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");
  constexpr TGUID lower = TGUID::FromString("{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}");
  EXPECT_EQ(lower, ICounter::IID);
}

}  // namespace
