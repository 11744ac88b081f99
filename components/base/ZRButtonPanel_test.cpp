// The button panel: its buttons (names, captions, results, default and
// cancel), their layout over a table of alignments, freeing, and the form
// written in the text form and read back.
#include "components/base/ZRButtonPanel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Writer.h"
#include "platform/controls/Forms.h"
#include "platform/core/Streams.h"
#include "testing/ObjectFreedRecorder.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class ButtonPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    StartButtonPanel();
    RegisterClass(TZRButtonPanel::StaticClass());
    form = Construct<TForm>(nullptr);
  }
  void TearDown() override { form->Free(); }

  TZRButtonPanel* NewPanel(int Width = 300, int Height = 41) {
    auto* panel = Construct<TZRButtonPanel>(form);
    panel->SetBounds(0, 0, Width, Height);
    panel->SetParent(form);
    return panel;
  }

  TForm* form = nullptr;
};

// "Left,Top" of each control of Parent, in child order; "h" marks a hidden one.
std::string Places(const TWinControl& Parent) {
  std::string out;
  for (int i = 0; i < Parent.ControlCount(); ++i) {
    const TControl* c = Parent.Controls(i);
    if (!out.empty()) out += ' ';
    out += std::to_string(c->Left()) + ',' + std::to_string(c->Top()) + (c->Visible() ? "" : "h");
  }
  return out;
}

// Name, caption, modal result and D(efault)/C(ancel) of a button.
std::string Describe(const TButton* Button) {
  return Button->Name() + " '" + Button->Caption() + "' " + std::to_string(Button->ModalResult()) +
         (Button->Default() ? " D" : "") + (Button->Cancel() ? " C" : "");
}

TEST_F(ButtonPanel, OkAndCancelOnAnEmptyPanelAreMadeNamedAndPlacedAtTheRightEdge) {
  TZRButtonPanel* panel = NewPanel(300, 41);
  EXPECT_EQ(panel->Caption(), "");
  const int before = form->ComponentCount();
  panel->SetButtonTypes({btOk, btCancel});
  ASSERT_EQ(form->ComponentCount(), before + 2);  // owned by the panel's owner
  ASSERT_EQ(panel->ControlCount(), 2);            // parented to the panel
  EXPECT_EQ(panel->Button(btOk)->Owner(), form);
  EXPECT_EQ(Describe(panel->Button(btOk)), "btnOk 'OK' 1 D");
  EXPECT_EQ(Describe(panel->Button(btCancel)), "btnCancel 'Cancel' 2 C");
  // 75-pixel buttons: 10 pixels between them and at the right edge.
  EXPECT_EQ(Places(*panel), "130,8 215,8");
  EXPECT_EQ(panel->ButtonTypes(), (TButtonTypes{btOk, btCancel}));
}

TEST_F(ButtonPanel, EveryTypeGetsItsNameCaptionAndResult) {
  TZRButtonPanel* panel = NewPanel(1000);
  panel->SetButtonTypes({btOk, btCancel, btYes, btNo, btAbort, btRetry, btIgnore, btAll, btClose, btHelp});
  std::vector<std::string> seen;
  for (int i = 0; i < panel->ControlCount(); ++i)
    seen.push_back(Describe(dynamic_cast<TButton*>(panel->Controls(i))));
  EXPECT_THAT(seen, ::testing::ElementsAre("btnOk 'OK' 1 D", "btnCancel 'Cancel' 2 C", "btnYes '&Yes' 6",
                                           "btnNo '&No' 7", "btnAbort 'Abort' 3", "btnRetry '&Retry' 4",
                                           "btnIgnore '&Ignore' 5", "btnAll '&All' 8", "btnClose '&Close' 1",
                                           "btnHelp '&Help' 0"));
  // Made in type order, each beyond the last: laid out in that order.
  for (int i = 1; i < panel->ControlCount(); ++i)
    EXPECT_LT(panel->Controls(i - 1)->Left(), panel->Controls(i)->Left());
}

TEST_F(ButtonPanel, ANameTakenOnTheFormGetsTheFirstFreeNumber) {
  auto* taken = Construct<TButton>(form);
  taken->SetName("btnOk");
  std::vector<std::string> names;
  for (int i = 0; i < 3; ++i) {
    TZRButtonPanel* panel = NewPanel();
    panel->SetButtonTypes({btOk, btHelp});
    names.push_back(panel->Button(btOk)->Name() + "/" + panel->Button(btHelp)->Name());
  }
  EXPECT_THAT(names, ::testing::ElementsAre("btnOk1/btnHelp", "btnOk2/btnHelp1", "btnOk3/btnHelp2"));
}

TEST_F(ButtonPanel, DefaultAndCancelGoToTheButtonsMadeInOneStep) {
  struct Row {
    const char* name;
    TButtonTypes first, then;
    std::vector<std::string> expected;  // each button after the second step, in type order
  };
  const Row rows[] = {
      {"ok and cancel", {}, {btOk, btCancel}, {"btnOk 'OK' 1 D", "btnCancel 'Cancel' 2 C"}},
      {"close alone is default", {}, {btClose}, {"btnClose '&Close' 1 D"}},
      {"close with a new ok is not", {}, {btOk, btClose}, {"btnOk 'OK' 1 D", "btnClose '&Close' 1"}},
      {"close after an older ok is", {btOk}, {btOk, btClose}, {"btnOk 'OK' 1 D", "btnClose '&Close' 1 D"}},
      {"an ok beside an older close", {btClose}, {btOk, btClose}, {"btnOk 'OK' 1 D", "btnClose '&Close' 1 D"}},
      {"cancel and close", {}, {btCancel, btClose}, {"btnCancel 'Cancel' 2 C", "btnClose '&Close' 1 D"}},
      {"yes and no: neither", {}, {btYes, btNo}, {"btnYes '&Yes' 6", "btnNo '&No' 7"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto* owner = Construct<TForm>(nullptr);
    auto* panel = Construct<TZRButtonPanel>(owner);
    panel->SetParent(owner);
    panel->SetButtonTypes(row.first);
    panel->SetButtonTypes(row.then);
    std::vector<std::string> seen;
    for (int i = 0; i < kButtonTypeCount; ++i)
      if (TButton* b = panel->Button(static_cast<TButtonType>(i))) seen.push_back(Describe(b));
    EXPECT_EQ(seen, row.expected);
    owner->Free();
  }
}

TEST_F(ButtonPanel, RemovingATypeFreesThatButtonOnlyAndTheSameSetChangesNothing) {
  TZRButtonPanel* panel = NewPanel();
  panel->SetButtonTypes({btOk, btCancel, btHelp});
  TZRPanelButton* ok = panel->Button(btOk);
  TZRPanelButton* cancel = panel->Button(btCancel);
  TZRPanelButton* help = panel->Button(btHelp);
  const int count = form->ComponentCount();
  {
    ObjectFreedRecorder freed;
    panel->SetButtonTypes({btOk, btCancel, btHelp});
    EXPECT_TRUE(freed.freed.empty());
    EXPECT_EQ(form->ComponentCount(), count);
    panel->SetButtonTypes({btOk, btHelp});
    // The button's own parts (its font) go with it.
    auto wasFreed = [&](const void* p) { return std::find(freed.freed.begin(), freed.freed.end(), p) != freed.freed.end(); };
    EXPECT_TRUE(wasFreed(cancel));
    EXPECT_FALSE(wasFreed(ok));
    EXPECT_FALSE(wasFreed(help));
  }
  EXPECT_EQ(form->ComponentCount(), count - 1);
  EXPECT_EQ(panel->Button(btOk), ok);
  EXPECT_EQ(panel->Button(btHelp), help);
  EXPECT_EQ(panel->Button(btCancel), nullptr);
  EXPECT_EQ(panel->ButtonTypes(), (TButtonTypes{btOk, btHelp}));
  // The two left close up at the right edge.
  EXPECT_EQ(Places(*panel), "130,8 215,8");
}

TEST_F(ButtonPanel, AButtonFreedElsewhereLeavesTheTypesAndThePanelFreesTheRest) {
  TZRButtonPanel* panel = NewPanel();
  panel->SetButtonTypes({btYes, btNo, btAll});
  panel->Button(btNo)->Free();
  EXPECT_EQ(panel->Button(btNo), nullptr);
  EXPECT_EQ(panel->ButtonTypes(), (TButtonTypes{btYes, btAll}));
  // Asking for No again makes a new one.
  panel->SetButtonTypes({btYes, btNo, btAll});
  ASSERT_NE(panel->Button(btNo), nullptr);
  EXPECT_EQ(panel->Button(btNo)->Name(), "btnNo");

  const std::vector<const void*> buttons = {panel->Button(btYes), panel->Button(btNo), panel->Button(btAll)};
  const int count = form->ComponentCount();
  ObjectFreedRecorder freed;
  panel->Free();
  for (const void* b : buttons) EXPECT_NE(std::find(freed.freed.begin(), freed.freed.end(), b), freed.freed.end());
  EXPECT_EQ(form->ComponentCount(), count - 4);
}

// Plain TButtons (any button counts) of 75 x 25 in a parentless panel.
struct LayoutRow {
  const char* name;
  TAlign align;  // alLeft and alRight make the panel vertical
  TButtonAlign buttonAlign;
  int width, height;
  const char* hidden;  // 'h' per hidden button, '.' per visible one
  const char* expected;
};

void PrintTo(const LayoutRow& Row, std::ostream* Out) { *Out << Row.name; }

class ButtonPanelLayout : public ButtonPanel, public ::testing::WithParamInterface<LayoutRow> {};

TEST_P(ButtonPanelLayout, PlacesTheButtonsAsTheRowSays) {
  const LayoutRow& row = GetParam();
  auto* panel = Construct<TZRButtonPanel>(form);
  panel->SetAlign(row.align);
  panel->SetButtonAlign(row.buttonAlign);
  panel->SetBounds(0, 0, row.width, row.height);
  // Set up without a pass in between; EnableAlign makes the one pass.
  panel->DisableAlign();
  for (const char* h = row.hidden; *h; ++h) {
    auto* b = Construct<TButton>(form);
    b->SetVisible(*h == '.');
    b->SetParent(panel);
  }
  // Start from an order by position that differs from the child order.
  for (int i = 0; i < panel->ControlCount(); ++i) {
    const int place = 500 - 100 * i;
    panel->Controls(i)->SetBounds(place, place, 75, 25);
  }
  panel->EnableAlign();
  EXPECT_EQ(Places(*panel), row.expected);
}

// Positions are listed in child order; the children start in reverse order of
// position, so the first child is laid out last.
const LayoutRow kLayoutRows[] = {
    {"HorizontalEnd", alNone, baEnd, 300, 41, "..", "215,8 130,8"},
    {"HorizontalMiddleGapsOf50", alNone, baMiddle, 300, 41, "..", "175,8 50,8"},
    {"HorizontalBegin", alNone, baBegin, 300, 41, "...", "180,8 95,8 10,8"},
    {"TopDockedIsHorizontal", alTop, baEnd, 300, 41, "..", "215,8 130,8"},
    {"BottomDockedIsHorizontal", alBottom, baMiddle, 300, 41, "..", "175,8 50,8"},
    {"ClientDockedIsHorizontal", alClient, baBegin, 300, 41, "..", "95,8 10,8"},
    {"HorizontalEndHiddenInTheMiddle", alNone, baEnd, 300, 41, ".h.", "215,8 215,8h 130,8"},
    {"HorizontalEndHiddenLast", alNone, baEnd, 300, 41, "h..", "300,8h 215,8 130,8"},
    {"HorizontalBeginHiddenFirst", alNone, baBegin, 300, 41, "..h", "95,8 10,8 10,8h"},
    {"HorizontalMiddleHidden", alNone, baMiddle, 300, 41, ".h.", "175,8 175,8h 50,8"},
    {"OddSpaceRoundsDown", alNone, baMiddle, 301, 42, "..", "175,8 50,8"},
    {"LeftDockedIsVertical", alLeft, baEnd, 100, 300, "..", "12,265 12,230"},
    {"RightDockedIsVertical", alRight, baBegin, 100, 300, "..", "12,45 12,10"},
    {"VerticalMiddle", alLeft, baMiddle, 100, 300, "..", "12,191 12,83"},
    {"VerticalEndHidden", alRight, baEnd, 100, 300, ".h.", "12,265 12,265h 12,230"},
    {"VerticalBeginHiddenFirst", alLeft, baBegin, 100, 300, "..h", "12,45 12,10 12,10h"},
    {"AllHiddenStay", alNone, baEnd, 300, 41, "hh", "500,500h 400,400h"},
};
INSTANTIATE_TEST_SUITE_P(Rows, ButtonPanelLayout, ::testing::ValuesIn(kLayoutRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ButtonPanel, EqualPositionsKeepTheChildOrderAndOnlyUndockedButtonsArePlaced) {
  TZRButtonPanel* panel = NewPanel(400, 41);
  panel->SetButtonAlign(baBegin);
  panel->DisableAlign();
  auto* docked = Construct<TButton>(form);
  docked->SetAlign(alLeft);
  auto* check = Construct<TCheckBox>(form);
  check->SetBounds(0, 0, 20, 20);
  check->SetParent(panel);
  for (int i = 0; i < 3; ++i) {
    auto* b = Construct<TButton>(form);
    b->SetBounds(i == 2 ? 0 : 50, 0, 75, 25);
    b->SetParent(panel);
  }
  docked->SetParent(panel);
  panel->EnableAlign();
  // The check box is no button; the docked button fills the left (75 wide)
  // inside the panel's one-pixel bevel and is left to the inherited alignment.
  EXPECT_EQ(Places(*panel), "0,0 95,8 180,8 10,8 1,1");
  EXPECT_EQ(docked->Height(), 39);
}

TEST_F(ButtonPanel, HidingResizingAndNewSettingsLayOutAgain) {
  TZRButtonPanel* panel = NewPanel(300, 41);
  panel->SetButtonTypes({btOk, btCancel, btHelp});
  EXPECT_EQ(Places(*panel), "45,8 130,8 215,8");
  panel->Button(btCancel)->Hide();
  EXPECT_EQ(Places(*panel), "130,8 215,8h 215,8");
  panel->Button(btCancel)->Show();
  panel->SetBounds(0, 0, 400, 51);
  EXPECT_EQ(Places(*panel), "145,13 230,13 315,13");
  panel->SetButtonSpace(20);
  EXPECT_EQ(Places(*panel), "115,13 210,13 305,13");
  panel->SetButtonAlign(baBegin);
  EXPECT_EQ(Places(*panel), "20,13 115,13 210,13");
}

TEST_F(ButtonPanel, APassRightAfterUndockingIsSkipped) {
  auto* panel = Construct<TZRButtonPanel>(form);
  panel->SetAlign(alBottom);
  panel->SetBounds(0, 0, 300, 41);
  panel->SetButtonTypes({btOk});
  EXPECT_EQ(Places(*panel), "215,8");
  panel->SetAlign(alNone);
  panel->Button(btOk)->SetLeft(3);  // asks for a pass, which would move it back
  EXPECT_EQ(Places(*panel), "3,8");
  panel->Realign();
  EXPECT_EQ(Places(*panel), "215,8");
}

// The form in the text form and read back.
std::string FormText(TComponent* Root) {
  TMemoryStream binary;
  WriteComponentToStream(binary, Root);
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(binary, text);
  return text.DataString();
}

void ReadFormText(const std::string& Text, TComponent* Root) {
  TStringStream text(Text);
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  ReadComponentFromStream(binary, Root);
}

// Each panel with its types and buttons (name, caption, result, flags, place).
std::string Contents(const TForm* Form) {
  std::string out;
  for (int i = 0; i < Form->ControlCount(); ++i) {
    auto* panel = dynamic_cast<TZRButtonPanel*>(Form->Controls(i));
    if (!panel) continue;
    out += panel->Name() + " [" + std::to_string(panel->ButtonTypes().Bits()) + "] " +
           std::to_string(panel->ButtonAlign()) + "/" + std::to_string(panel->ButtonSpace()) + ":";
    for (int t = 0; t < kButtonTypeCount; ++t)
      if (TZRPanelButton* b = panel->Button(static_cast<TButtonType>(t)))
        out += " {" + Describe(b) + " t" + std::to_string(b->ButtonType()) + " @" + std::to_string(b->Left()) +
               "," + std::to_string(b->Top()) + "}";
    out += "\n";
  }
  return out;
}

TEST_F(ButtonPanel, AFormWrittenAsTextReadsBackWithTheSameButtonsNamesAndTypes) {
  form->SetName("Dialog");
  TZRButtonPanel* first = NewPanel(300, 41);
  first->SetName("Buttons");
  first->SetButtonTypes({btOk, btCancel, btHelp});
  TZRButtonPanel* second = NewPanel(400, 41);
  second->SetName("More");
  second->SetButtonAlign(baMiddle);
  second->SetButtonSpace(4);
  second->SetButtonTypes({btOk, btYes, btClose});
  const std::string expected = Contents(form);
  const std::string text = FormText(form);
  EXPECT_THAT(text, Not(HasSubstr("ButtonTypes")));
  EXPECT_THAT(text, HasSubstr("object btnOk1: TZRPanelButton"));
  EXPECT_THAT(text, HasSubstr("ButtonType = 8"));

  auto* copy = Construct<TForm>(nullptr);
  ReadFormText(text, copy);
  EXPECT_EQ(Contents(copy), expected);
  EXPECT_EQ(FormText(copy), text);
  copy->Free();
}

TEST_F(ButtonPanel, AButtonTypeOutOfRangeInAStreamJoinsNoPanel) {
  const std::string text = R"(object Dialog: TForm
  object Buttons: TZRButtonPanel
    object btnOk: TZRPanelButton
      Caption = 'OK'
      ButtonType = 10
    end
    object btnAll: TZRPanelButton
      Caption = '&All'
      ButtonType = 7
    end
  end
end
)";
  ReadFormText(text, form);
  auto* panel = dynamic_cast<TZRButtonPanel*>(form->FindComponent("Buttons"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->ButtonTypes(), (TButtonTypes{btAll}));
  EXPECT_EQ(panel->Button(btAll), form->FindComponent("btnAll"));
  EXPECT_EQ(panel->ControlCount(), 2);
}

}  // namespace
