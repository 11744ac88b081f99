#include "platform/core/Events.h"

#include <gtest/gtest.h>

#include "platform/core/Object.h"

namespace {

using TScaleFunc = TMethodPointer<double(int count)>;

struct Host {
  double scale = 1;
  double Lengths(int count) { return scale * count; }
  double Values(int count) { return -scale; }
};

TScaleFunc MakeLambda(double factor) {
  return [factor](int count) { return factor * count; };
}

TEST(TMethodPointer, CallsWhatItWasMadeFrom) {
  Host host{2};
  EXPECT_DOUBLE_EQ(TScaleFunc::Of<&Host::Lengths>(host)(4), 8);
  EXPECT_DOUBLE_EQ(MakeLambda(3)(4), 12);
  TScaleFunc none;
  EXPECT_FALSE(none);
  EXPECT_FALSE(TScaleFunc(nullptr));
  EXPECT_TRUE(MakeLambda(1));
}

TEST(TMethodPointer, TheCodePartNamesTheFunctionNotTheObject) {
  Host a, b;
  const auto aLengths = TScaleFunc::Of<&Host::Lengths>(a);
  const auto bLengths = TScaleFunc::Of<&Host::Lengths>(b);
  const auto aValues = TScaleFunc::Of<&Host::Values>(a);
  struct Row {
    const char* what;
    TScaleFunc x, y;
    bool sameCode, equal;
  } rows[] = {
      {"same member, same object", aLengths, TScaleFunc::Of<&Host::Lengths>(a), true, true},
      {"same member, other object", aLengths, bLengths, true, false},
      {"other member, same object", aLengths, aValues, false, false},
      {"one lambda expression, other captures", MakeLambda(1), MakeLambda(2), true, false},
      {"copies of one callable", aLengths, aLengths, true, true},
      {"lambda and member", MakeLambda(1), aLengths, false, false},
      {"two empty ones", TScaleFunc(), TScaleFunc(nullptr), true, true},
      {"empty and set", TScaleFunc(), aLengths, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(r.x.SameCode(r.y), r.sameCode);
    EXPECT_EQ(r.x == r.y, r.equal);
  }
  const TScaleFunc copy = MakeLambda(5);
  const TScaleFunc shared = copy;
  EXPECT_TRUE(copy == shared);  // copies share the kept callable
}

struct Form : TObject {
  TObject* lastSender = nullptr;
  void ButtonClick(TObject* Sender) { lastSender = Sender; }
};

TEST(TNotifyEvent, ReachesTheHandlerWithItsSender) {
  Form form;
  TObject button;
  const TNotifyEvent onClick = TNotifyEvent::Of<&Form::ButtonClick>(form);
  onClick(&button);
  EXPECT_EQ(form.lastSender, &button);
  EXPECT_EQ(onClick.DataPart(), &form);
}

}  // namespace
