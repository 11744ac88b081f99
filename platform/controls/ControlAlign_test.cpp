// Children docked by their Align: the order of the kinds, what each takes
// from the rest, and when a parent aligns again.

#include <gtest/gtest.h>

#include <string>

#include "platform/controls/Controls.h"
#include "platform/controls/CustomControl.h"
#include "platform/controls/ControlStrings.h"

namespace {

std::string Bounds(const TControl* c) {
  const Rect r = c->BoundsRect();
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

TEST(ControlAlign, EachKindTakesItsEdgeOfWhatIsLeftAndClientFillsTheRest) {
  auto* parent = Construct<TCustomControl>(nullptr);
  parent->SetBounds(0, 0, 200, 100);
  struct Child {
    TAlign align;
    int width, height;
    const char* expected;
  };
  // Child order differs from the order of the kinds: alTop goes first.
  const Child children[] = {
      {alClient, 5, 5, "30,30,180,80"},
      {alBottom, 10, 20, "0,80,200,100"},
      {alTop, 10, 30, "0,0,200,30"},
      {alLeft, 30, 10, "0,30,30,80"},
      {alRight, 20, 10, "180,30,200,80"},
      {alNone, 7, 8, "3,4,10,12"},
  };
  for (const Child& c : children) {
    auto* control = Construct<TCustomControl>(parent);
    control->SetBounds(3, 4, c.width, c.height);
    control->SetAlign(c.align);
    control->SetParent(parent);
  }
  for (int i = 0; i < parent->ControlCount(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Bounds(parent->Controls(i)), children[i].expected);
  }
  // A new size of the parent, or a hidden child, aligns the rest again.
  parent->SetBounds(0, 0, 300, 100);
  EXPECT_EQ(Bounds(parent->Controls(0)), "30,30,280,80");
  parent->Controls(2)->Hide();
  EXPECT_EQ(Bounds(parent->Controls(0)), "30,0,280,80");
  parent->Free();
}

TEST(ControlAlign, AlignmentWaitsForTheOutermostEnable) {
  auto* parent = Construct<TCustomControl>(nullptr);
  parent->SetBounds(0, 0, 200, 100);
  auto* top = Construct<TCustomControl>(parent);
  top->SetBounds(0, 50, 10, 30);
  parent->DisableAlign();
  parent->DisableAlign();
  top->SetParent(parent);
  top->SetAlign(alTop);
  parent->EnableAlign();
  EXPECT_EQ(Bounds(top), "0,50,10,80");
  parent->EnableAlign();
  EXPECT_EQ(Bounds(top), "0,0,200,30");
  parent->Free();
}

TEST(ControlStrings, TheButtonCaptionsAreInTheTable) {
  EXPECT_EQ(LoadControlString(ControlString::OkButton), "OK");
  EXPECT_EQ(LoadControlString(ControlString::AbortButton), "Abort");
  EXPECT_EQ(LoadControlString(ControlString::HelpButton), "&Help");
}

}  // namespace
