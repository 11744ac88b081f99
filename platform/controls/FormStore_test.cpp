// Stored forms: a form class's form read from the resource store when the
// form is made, in the text and the binary form, with a descendant's form
// over its ancestor's; data modules the same way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Writer.h"
#include "platform/controls/ControlsModules.h"
#include "platform/controls/EditCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/core/ResourceStore.h"
#include "platform/core/Streams.h"
#include "platform/ui/Screen.h"

// Classes the streams name; made by the reader through their factories.
class TStoredProbeChild : public TWinControl {
  KESTOVA_CLASS(TStoredProbeChild)
 public:
  using TWinControl::TWinControl;
};
KESTOVA_CLASS_INFO(TStoredProbeChild, TWinControl, "FormStoreTest", &MakeComponent<TStoredProbeChild>)

class TStoredProbeForm : public TForm {
  KESTOVA_CLASS(TStoredProbeForm)
 public:
  using TForm::TForm;
};
KESTOVA_CLASS_INFO(TStoredProbeForm, TForm, "FormStoreTest", &MakeComponent<TStoredProbeForm>)

class TStoredProbeDerived : public TStoredProbeForm {
  KESTOVA_CLASS(TStoredProbeDerived)
 public:
  using TStoredProbeForm::TStoredProbeForm;
};
KESTOVA_CLASS_INFO(TStoredProbeDerived, TStoredProbeForm, "FormStoreTest", &MakeComponent<TStoredProbeDerived>)

class TStoredProbeModule : public TDataModule {
  KESTOVA_CLASS(TStoredProbeModule)
 public:
  using TDataModule::TDataModule;
};
KESTOVA_CLASS_INFO(TStoredProbeModule, TDataModule, "FormStoreTest", &MakeComponent<TStoredProbeModule>)

namespace {

const char* const kProbeForm = R"(object StoredProbe: TStoredProbeForm
  Left = 10
  Top = 20
  Width = 300
  Height = 200
  Caption = 'Stored caption'
  BorderStyle = bsDialog
  FormStyle = fsStayOnTop
  ActiveControl = Second
  object First: TStoredProbeChild
    Tag = 1
  end
  object Second: TStoredProbeChild
    Tag = 2
  end
end
)";

const char* const kDerivedForm = R"(inherited StoredProbe: TStoredProbeDerived
  Caption = 'Derived caption'
  inherited First: TStoredProbeChild
    Tag = 11
  end
  object Third: TStoredProbeChild
    Tag = 3
  end
end
)";

std::string TextToBinary(const std::string& Text) {
  TStringStream in(Text);
  TStringStream out;
  ObjectTextToBinary(in, out);
  return out.DataString();
}

class StoredForms : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClasses({TStoredProbeChild::StaticClass(), TStoredProbeForm::StaticClass(),
                     TStoredProbeDerived::StaticClass(), TStoredProbeModule::StaticClass()});
  }
  void TearDown() override {
    for (const char* name : {"TStoredProbeForm", "TStoredProbeDerived", "TStoredProbeModule"})
      ResourceStore::Instance().RemoveInjected("FormStoreTest", "RCDATA", name);
    ResourceStore::Instance().RemoveModule("FormStoreTest");
  }
  void Store(const char* ClassName, std::string Bytes) {
    ResourceStore::Instance().AddModule("FormStoreTest");
    ResourceStore::Instance().Inject("FormStoreTest", "RCDATA", ClassName, std::move(Bytes));
  }
};

// Name:Tag:parent of each control of Form, in order.
std::vector<std::string> ControlsOf(TForm* Form) {
  std::vector<std::string> out;
  for (int i = 0; i < Form->ControlCount(); ++i) {
    TControl* c = Form->Controls(i);
    out.push_back(c->Name() + ":" + std::to_string(c->Tag) + (c->Owner() == Form ? "" : ":foreign owner"));
  }
  return out;
}

TEST_F(StoredForms, AFormIsReadFromItsClassesStoredFormInTextOrBinary) {
  for (const bool binary : {false, true}) {
    SCOPED_TRACE(binary ? "binary" : "text");
    Store("TStoredProbeForm", binary ? TextToBinary(kProbeForm) : kProbeForm);
    auto* form = Construct<TStoredProbeForm>(nullptr);
    EXPECT_EQ(form->Name(), "StoredProbe");
    EXPECT_EQ(form->Caption(), "Stored caption");
    EXPECT_EQ(form->BoundsRect(), (Rect{10, 20, 310, 220}));
    EXPECT_EQ(form->BorderStyle(), bsDialog);
    EXPECT_EQ(form->FormStyle(), fsStayOnTop);
    EXPECT_EQ(ControlsOf(form), (std::vector<std::string>{"First:1", "Second:2"}));
    EXPECT_EQ(form->ActiveControl(), form->FindComponent("Second"));
    EXPECT_FALSE(form->ComponentState().Contains(csLoading));

    // Written and read back into a form made without its stored form.
    TStringStream written;
    WriteComponentToStream(written, form);
    form->Free();
    ResourceStore::Instance().RemoveInjected("FormStoreTest", "RCDATA", "TStoredProbeForm");
    auto* again = Construct<TStoredProbeForm>(nullptr);
    EXPECT_EQ(again->Caption(), "");
    written.SetPosition(0);
    ReadComponentFromStream(written, again);
    EXPECT_EQ(again->Caption(), "Stored caption");
    EXPECT_EQ(again->BoundsRect(), (Rect{10, 20, 310, 220}));
    EXPECT_EQ(ControlsOf(again), (std::vector<std::string>{"First:1", "Second:2"}));
    EXPECT_EQ(again->ActiveControl(), again->FindComponent("Second"));
    again->Free();
  }
}

TEST_F(StoredForms, ADescendantsFormIsReadOverItsAncestors) {
  Store("TStoredProbeForm", kProbeForm);
  Store("TStoredProbeDerived", kDerivedForm);
  auto* form = Construct<TStoredProbeDerived>(nullptr);
  EXPECT_EQ(form->Caption(), "Derived caption");
  EXPECT_EQ(form->BorderStyle(), bsDialog);
  EXPECT_EQ(ControlsOf(form), (std::vector<std::string>{"First:11", "Second:2", "Third:3"}));
  form->Free();

  // A form made as new reads nothing.
  TStoredProbeForm plain(nullptr, TForm::CreateNew{});
  plain.AfterConstruction();
  EXPECT_EQ(plain.ControlCount(), 0);

  // Nor does one made as new through its class, and the next one reads again.
  TForm* byClass = CreateFormNew(TStoredProbeDerived::StaticClass(), nullptr);
  ASSERT_NE(byClass, nullptr);
  EXPECT_EQ(byClass->ClassType(), TStoredProbeDerived::StaticClass());
  EXPECT_EQ(byClass->ControlCount(), 0);
  EXPECT_EQ(byClass->Caption(), "");
  byClass->Free();
  auto* next = Construct<TStoredProbeDerived>(nullptr);
  EXPECT_EQ(next->Caption(), "Derived caption");
  next->Free();
  EXPECT_EQ(CreateFormNew(TStoredProbeChild::StaticClass(), nullptr), nullptr);
  EXPECT_EQ(CreateFormNew(nullptr, nullptr), nullptr);
}

TEST_F(StoredForms, AMalformedStoredFormRaisesAndLeavesNothingBehind) {
  std::string unknownClass = kProbeForm;
  unknownClass.replace(unknownClass.find("TStoredProbeChild"), 17, "TNoSuchClass");
  const std::string binary = TextToBinary(kProbeForm);
  struct Row {
    const char* name;
    std::string bytes;
    const char* message;
  };
  const Row rows[] = {
      {"unknown child class", unknownClass, "Class TNoSuchClass not found"},
      {"binary cut short", binary.substr(0, binary.size() / 2), "Stream read error"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Store("TStoredProbeForm", r.bytes);
    const int forms = Screen->FormCount();
    try {
      Construct<TStoredProbeForm>(nullptr);
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), r.message);
    }
    EXPECT_EQ(Screen->FormCount(), forms);  // the form was freed again
  }
}

TEST_F(StoredForms, DataModulesAreReadAndListedOnTheScreen) {
  Store("TStoredProbeModule", "object Probes: TStoredProbeModule\n  object Item: TStoredProbeChild\n  end\nend\n");
  auto* module = Construct<TStoredProbeModule>(nullptr);
  EXPECT_EQ(module->Name(), "Probes");
  ASSERT_EQ(module->ComponentCount(), 1);
  EXPECT_EQ(module->Components(0)->Name(), "Item");
  ASSERT_GE(Screen->DataModuleCount(), 1);
  EXPECT_EQ(Screen->DataModules(Screen->DataModuleCount() - 1), module);
  module->Free();
  for (int i = 0; i < Screen->DataModuleCount(); ++i) EXPECT_NE(Screen->DataModules(i), module);
}

// Every standard class, as a stored form names it.
const char* const kStandardForm = R"(object Standard: TForm
  Width = 400
  Height = 300
  Menu = MainMenu1
  object Panel1: TPanel
    Align = alTop
    Height = 40
    object Button1: TButton
      Caption = 'OK'
    end
    object SpeedButton1: TSpeedButton
    end
  end
  object CheckBox1: TCheckBox
  end
  object RadioButton1: TRadioButton
  end
  object RadioGroup1: TRadioGroup
  end
  object GroupBox1: TGroupBox
    object Label1: TLabel
    end
  end
  object Edit1: TEdit
    PopupMenu = PopupMenu1
  end
  object Memo1: TMemo
  end
  object ComboBox1: TComboBox
  end
  object PageControl1: TPageControl
    object TabSheet1: TTabSheet
    end
  end
  object TabControl1: TTabControl
  end
  object ProgressBar1: TProgressBar
  end
  object Image1: TImage
  end
  object Bevel1: TBevel
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
    end
  end
  object PopupMenu1: TPopupMenu
  end
  object Timer1: TTimer
  end
end
)";

TEST(StandardClasses, AStoredFormNamesAnyStandardClassOnceTheStartUpRegisteredThem) {
  const std::vector<std::string> names = {
      "TPanel", "TButton",   "TSpeedButton", "TCheckBox",    "TRadioButton", "TRadioGroup", "TGroupBox",    "TLabel",
      "TEdit",  "TMemo",     "TComboBox",    "TPageControl", "TTabSheet",    "TTabControl", "TProgressBar", "TImage",
      "TBevel", "TMainMenu", "TMenuItem",    "TPopupMenu",   "TTimer",       "TForm",       "TDataModule"};
  // Whatever other tests registered goes first: the start-up must do it.
  for (const std::string& name : names)
    if (TClass c = GetClass(name)) UnRegisterClass(c);
  ASSERT_EQ(GetClass("TButton"), nullptr);
  ModuleTable table;
  AddControlsModules(table);
  EXPECT_EQ(table.Names(), std::vector<std::string>{"Controls"});
  table.StartUp();
  for (const std::string& name : names) EXPECT_NE(GetClass(name), nullptr) << name;

  TForm* form = Construct<TForm>(nullptr);
  TStringStream binary(TextToBinary(kStandardForm));
  ReadComponentFromStream(binary, form);
  std::vector<std::string> read;
  for (int i = 0; i < form->ComponentCount(); ++i) read.push_back(form->Components(i)->ClassName());
  const std::vector<std::string> expected = {
      "TPanel",       "TButton", "TSpeedButton", "TCheckBox", "TRadioButton", "TRadioGroup", "TGroupBox",
      "TLabel",       "TEdit",   "TMemo",        "TComboBox", "TPageControl", "TTabSheet",   "TTabControl",
      "TProgressBar", "TImage",  "TBevel",       "TMainMenu", "TMenuItem",    "TPopupMenu",  "TTimer"};
  EXPECT_EQ(read, expected);
  // References and the alignment came with it.
  auto* panel = static_cast<TControl*>(form->FindComponent("Panel1"));
  EXPECT_EQ(panel->BoundsRect(), (Rect{0, 0, 400, 40}));
  EXPECT_EQ(form->Menu(), form->FindComponent("MainMenu1"));
  EXPECT_EQ(static_cast<TControl*>(form->FindComponent("Edit1"))->PopupMenu(), form->FindComponent("PopupMenu1"));
  form->Free();
  table.ShutDown();
}

}  // namespace
