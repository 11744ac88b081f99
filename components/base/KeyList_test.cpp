#include "components/base/KeyList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each row builds bindings named by their order (b0, b1, ...) and asks one
// look-up; the answer is the binding's name or "none".
struct Binding {
  std::uint16_t key;
  TShiftState shift;
  std::uint8_t active;
};
struct Row {
  const char* name;
  std::vector<Binding> bindings;
  std::uint16_t key;
  TShiftState shift;
  int state;
  const char* found;
};

std::string Find(const TKeyList& keys, std::uint16_t key, TShiftState shift, int state) {
  const TKeyData* binding = keys.FindKey(key, shift, state);
  return binding ? "b" + std::to_string(binding->Index()) : "none";
}

TEST(KeyList, FindKeyAnswersTheNewestMatchingBinding) {
  const TShiftState ctrl{ssCtrl};
  const Row rows[] = {
      {"a later binding wins", {{'S', ctrl, 0}, {'S', ctrl, 0}}, 'S', ctrl, 0, "b1"},
      {"any state in state 0", {{'S', ctrl, 255}}, 'S', ctrl, 0, "b0"},
      {"any state in state 1", {{'S', ctrl, 255}}, 'S', ctrl, 1, "b0"},
      {"any state in state 200", {{'S', ctrl, 255}}, 'S', ctrl, 200, "b0"},
      {"state 0 binding not in state 1", {{'S', ctrl, 0}}, 'S', ctrl, 1, "none"},
      {"state 1 binding not in state 0", {{'S', ctrl, 1}}, 'S', ctrl, 0, "none"},
      {"shift compared exactly", {{'S', ctrl, 0}}, 'S', TShiftState{ssCtrl, ssShift}, 0, "none"},
      {"no shift is not Ctrl", {{'S', ctrl, 0}}, 'S', {}, 0, "none"},
      {"another key", {{'S', ctrl, 0}}, 'T', ctrl, 0, "none"},
      {"later state binding over earlier any-state", {{'S', ctrl, 255}, {'S', ctrl, 1}}, 'S', ctrl, 1, "b1"},
      {"earlier any-state still in state 0", {{'S', ctrl, 255}, {'S', ctrl, 1}}, 'S', ctrl, 0, "b0"},
      {"later any-state over earlier state binding", {{'S', ctrl, 1}, {'S', ctrl, 255}}, 'S', ctrl, 1, "b1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TKeyList keys;
    for (const Binding& b : row.bindings) keys.AddKeyEx(b.key, b.shift, nullptr, b.active, 0);
    EXPECT_EQ(Find(keys, row.key, row.shift, row.state), row.found);
  }
}

// A look-up never answers from an earlier look-up: an any-state binding
// found in state 0 must not hide the later binding for state 1, and a list
// change shows at once.
TEST(KeyList, EachLookUpSeesTheWholeListAsItIsNow) {
  const TShiftState ctrl{ssCtrl};
  TKeyList keys;
  keys.AddKeyAnyState('S', ctrl, nullptr);
  keys.AddKeyEx('S', ctrl, nullptr, 1, 0);
  EXPECT_EQ(Find(keys, 'S', ctrl, 0), "b0");
  EXPECT_EQ(Find(keys, 'S', ctrl, 1), "b1");
  EXPECT_EQ(Find(keys, 'S', ctrl, 0), "b0");
  keys.AddKey('S', ctrl, nullptr);
  EXPECT_EQ(Find(keys, 'S', ctrl, 0), "b2");
  keys.Delete(2);
  EXPECT_EQ(Find(keys, 'S', ctrl, 0), "b0");
  keys.Items(0)->Key = 'T';
  EXPECT_EQ(Find(keys, 'S', ctrl, 0), "none");
}

TEST(KeyList, AddFormsAndAssignFillEveryField) {
  TKeyList keys;
  int runs = 0;
  const TKeyAction action = [&runs] { ++runs; };
  const TKeyData* plain = keys.AddKey('A', {ssShift}, action);
  const TKeyData* any = keys.AddKeyAnyState('B', {}, nullptr);
  TKeyData* full = keys.AddKeyEx('C', {ssAlt}, action, 3, 4);
  EXPECT_EQ(plain->ActiveState, 0);
  EXPECT_EQ(plain->NextState, 0);
  EXPECT_EQ(any->ActiveState, kAnyKeyState);
  EXPECT_EQ(any->NextState, 0);
  TKeyData* copy = static_cast<TKeyData*>(keys.Add());
  copy->Assign(full);
  EXPECT_EQ(copy->Key, 'C');
  EXPECT_EQ(copy->Shift, TShiftState{ssAlt});
  EXPECT_EQ(copy->ActiveState, 3);
  EXPECT_EQ(copy->NextState, 4);
  EXPECT_TRUE(copy->Action == full->Action);
  copy->Action();
  EXPECT_EQ(runs, 1);
}

}  // namespace
