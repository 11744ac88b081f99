// The verbs page's stored form: what it holds, how its controls follow their
// verbs, and a round trip through the text form.
#include "tools/controlsdemo/VerbsPage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "components/base/VerbDispatcher.h"
#include "components/base/ZRButtonPanel.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Writer.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/ResourceStore.h"
#include "platform/core/Streams.h"

namespace {

class VerbsPage : public ::testing::Test {
 protected:
  void SetUp() override {
    ResourceStore::Instance().AddModule("controlsdemo");
    TVerbsPage::RegisterStoredClasses();
    TVerbsPage::RegisterDemoVerbs();
  }
};

// Every component of Form as "Name:Class", with "@Parent" for a control
// inside another control than the form.
std::vector<std::string> ComponentsOf(const TComponent* Form) {
  std::vector<std::string> out;
  for (int i = 0; i < Form->ComponentCount(); ++i) {
    const TComponent* c = Form->Components(i);
    std::string line = c->Name() + ":" + c->ClassName();
    if (auto* control = dynamic_cast<const TControl*>(c); control && control->Parent() && control->Parent() != Form)
      line += "@" + control->Parent()->Name();
    out.push_back(line);
  }
  return out;
}

TEST_F(VerbsPage, TheStoredFormBindsEveryControlAndTheyFollowTheirVerbs) {
  auto* page = Construct<TVerbsPage>(nullptr);
  EXPECT_EQ(page->Caption(), "controlsdemo: verbs");
  // OK, Cancel and Help at the panel's right edge, 10 pixels apart.
  auto* panel = dynamic_cast<TZRButtonPanel*>(page->FindComponent("ButtonPanel"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->BoundsRect(), (Rect{0, page->Height() - panel->Height(), page->Width(),
                                       page->Height()}));
  std::string buttons;
  for (TButtonType type : {btOk, btCancel, btHelp})
    buttons += panel->Button(type)->Caption() + "@" + std::to_string(panel->Button(type)->Left()) + "-" +
               std::to_string(panel->Button(type)->Left() + panel->Button(type)->Width()) + " ";
  EXPECT_EQ(buttons, "OK@" + std::to_string(panel->Width() - 255) + "-" +
                         std::to_string(panel->Width() - 180) + " Cancel@" +
                         std::to_string(panel->Width() - 170) + "-" + std::to_string(panel->Width() - 95) +
                         " &Help@" + std::to_string(panel->Width() - 85) + "-" +
                         std::to_string(panel->Width() - 10) + " ");
  EXPECT_EQ(page->BoundStates(),
            "ToggleItem=VEc EnableItem=Vec ShowItem=vEc ToggleSpeed=VE EnableSpeed=Ve ShowSpeed=vE "
            "ToggleButton=VE EnableButton=Ve ShowButton=vE");
  static_cast<TButton*>(page->FindComponent("ToggleButton"))->Click();
  EXPECT_EQ(page->BoundStates(),
            "ToggleItem=VEC EnableItem=VEc ShowItem=VEc ToggleSpeed=VE EnableSpeed=VE ShowSpeed=VE "
            "ToggleButton=VE EnableButton=VE ShowButton=VE");
  static_cast<TMenuItem*>(page->FindComponent("ToggleItem"))->Click();
  EXPECT_EQ(page->BoundStates(),
            "ToggleItem=VEc EnableItem=Vec ShowItem=vEc ToggleSpeed=VE EnableSpeed=Ve ShowSpeed=vE "
            "ToggleButton=VE EnableButton=Ve ShowButton=vE");
  page->Free();
}

// Form in the text form.
std::string TextOf(TComponent* Form) {
  TStringStream binary;
  WriteComponentToStream(binary, Form);
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(binary, text);
  return text.DataString();
}

TEST_F(VerbsPage, TheFormWrittenAsTextReadsBackTheSame) {
  auto* page = Construct<TVerbsPage>(nullptr);
  const std::string written = TextOf(page);
  TStringStream text(written);
  TStringStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);

  auto* copy = new TVerbsPage(nullptr, TForm::CreateNew{});
  copy->AfterConstruction();
  ReadComponentFromStream(binary, copy);
  // The same components, names, classes and parents (the form writes its
  // controls before its other components, so the order may differ from the
  // stored form's), and the same text when written again.
  std::vector<std::string> original = ComponentsOf(page), read = ComponentsOf(copy);
  std::sort(original.begin(), original.end());
  std::sort(read.begin(), read.end());
  EXPECT_EQ(read, original);
  EXPECT_EQ(TextOf(copy), written);
  EXPECT_EQ(copy->BoundStates(), page->BoundStates());
  // The panel rebuilt its button types from the buttons it holds.
  for (TComponent* form : {static_cast<TComponent*>(page), static_cast<TComponent*>(copy)}) {
    auto* panel = dynamic_cast<TZRButtonPanel*>(form->FindComponent("ButtonPanel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->ButtonTypes(), (TButtonTypes{btOk, btCancel, btHelp}));
    EXPECT_EQ(panel->Button(btOk), form->FindComponent("btnOk"));
    EXPECT_EQ(panel->Button(btCancel), form->FindComponent("btnCancel"));
    EXPECT_EQ(panel->Button(btHelp), form->FindComponent("btnHelp"));
  }
  copy->Free();
  page->Free();
}

}  // namespace
