#include "tree/view/TreeCallbacks.h"

#include <gtest/gtest.h>

namespace {

struct Host {
  double scale = 1;
  double Lengths(TTreeData& tree) { return scale * tree.NoOfOTUs(); }
  double Values(TTreeData& tree) { return -scale; }
};

TBranchInfoFunc MakeLambda(double factor) {
  return [factor](TTreeData& tree) { return factor * tree.NoOfOTUs(); };
}

TEST(TMethodPointer, CallsWhatItWasMadeFrom) {
  TTreeData tree(4, false, false, false);
  Host host{2};
  EXPECT_DOUBLE_EQ(TBranchInfoFunc::Of<&Host::Lengths>(host)(tree), 8);
  EXPECT_DOUBLE_EQ(MakeLambda(3)(tree), 12);
  TBranchInfoFunc none;
  EXPECT_FALSE(none);
  EXPECT_FALSE(TBranchInfoFunc(nullptr));
  EXPECT_TRUE(MakeLambda(1));
}

TEST(TMethodPointer, TheCodePartNamesTheFunctionNotTheObject) {
  Host a, b;
  const auto aLengths = TBranchInfoFunc::Of<&Host::Lengths>(a);
  const auto bLengths = TBranchInfoFunc::Of<&Host::Lengths>(b);
  const auto aValues = TBranchInfoFunc::Of<&Host::Values>(a);
  struct Row {
    const char* what;
    TBranchInfoFunc x, y;
    bool sameCode, equal;
  } rows[] = {
      {"same member, same object", aLengths, TBranchInfoFunc::Of<&Host::Lengths>(a), true, true},
      {"same member, other object", aLengths, bLengths, true, false},
      {"other member, same object", aLengths, aValues, false, false},
      {"one lambda expression, other captures", MakeLambda(1), MakeLambda(2), true, false},
      {"copies of one callable", aLengths, aLengths, true, true},
      {"lambda and member", MakeLambda(1), aLengths, false, false},
      {"two empty ones", TBranchInfoFunc(), TBranchInfoFunc(nullptr), true, true},
      {"empty and set", TBranchInfoFunc(), aLengths, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(r.x.SameCode(r.y), r.sameCode);
    EXPECT_EQ(r.x == r.y, r.equal);
  }
  const TBranchInfoFunc copy = MakeLambda(5);
  const TBranchInfoFunc shared = copy;
  EXPECT_TRUE(copy == shared);  // copies share the kept callable
}

TEST(TMethodPointer, AncestralStateCallbacksWriteThroughTheStatePointers) {
  std::string first, second;
  std::vector<std::string*> states{&first, &second};
  TAncStateProc proc = [](std::span<std::string* const> s, int site, TTreeData&) {
    for (std::string* state : s) *state = std::string(1, static_cast<char>('A' + site));
  };
  TTreeData tree(2, false, false, false);
  proc(states, 2, tree);
  EXPECT_EQ(first, "C");
  EXPECT_EQ(second, "C");
}

}  // namespace
