#include "tree/view/TreeCallbacks.h"

#include <gtest/gtest.h>

namespace {

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
