#include "components/base/DesignClassPatch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Reader.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/core/Streams.h"
#include "testing/TypeFixture.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

// A form class with two events and no published methods.
class TDesignedForm : public TComponent {
  KESTOVA_CLASS(TDesignedForm)
 public:
  explicit TDesignedForm(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
  TNotifyEvent OnClick;
  TNotifyEvent OnClose;
};

void DescribeTDesignedForm(TClassInfo& Info) {
  TClassPublisher<TDesignedForm> p(Info);
  p.Property<&TDesignedForm::OnClick, &TDesignedForm::OnClick>("OnClick", TypeInfos::TNotifyEvent());
  p.Property<&TDesignedForm::OnClose, &TDesignedForm::OnClose>("OnClose", TypeInfos::TNotifyEvent());
}

}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TDesignedForm, TComponent, "test", nullptr, DescribeTDesignedForm)

namespace {

// "Name:number" for a design-time entry, "Name" for one with code.
std::string Entries(const std::shared_ptr<const TMethodTable>& Table) {
  if (!Table) return "none";
  std::string text;
  for (const auto& entry : Table->Entries)
    text += (text.empty() ? "" : " ") + entry->Name + (entry->HasCode() ? "" : ":" + std::to_string(entry->DesignCode));
  return text;
}

TEST(TDesignClassPatch, HandlerNamesGetNumbersOnceIgnoringCase) {
  TDesignClassPatch patch;
  patch.NextNumber = 10;
  EXPECT_EQ(patch.MethodIndexOf("Form1Click"), 10);
  EXPECT_EQ(patch.MethodIndexOf("Form1Close"), 11);
  EXPECT_EQ(patch.MethodIndexOf("FORM1CLICK"), 10);
  EXPECT_EQ(patch.NextNumber, 12);
  EXPECT_EQ(patch.NameOfMethodIndex(11), "Form1Close");
  EXPECT_EQ(patch.NameOfMethodIndex(12), "");
}

TEST(TDesignClassPatch, PatchesTheClassesNameAndTableAndUnpatchingRestoresBoth) {
  struct Case {
    const char* name;
    TComponent* (*make)();
    std::vector<std::string> handlers;  // names given numbers before the patch
    bool keep;
    const char* formName;
    const char* patchedName;
    const char* patchedTable;  // while patched
    const char* generated;     // the generated table
  };
  const std::string longName(300, 'F');
  const Case cases[] = {
      {"no published methods",
       []() -> TComponent* { return new TDesignedForm; },
       {"Form1Click", "Form1Close"},
       false,
       "Form1",
       "TForm1",
       "Form1Click:1 Form1Close:2",
       "Form1Click:1 Form1Close:2"},
      {"own methods follow the handler names",
       []() -> TComponent* { return new TTypeFixtureChild; },
       {"Go"},
       false,
       "Child",
       "TChild",
       "Go:1 HandleExtra",
       "Go:1 HandleExtra"},
      {"table kept",
       []() -> TComponent* { return new TTypeFixture; },
       {"Go"},
       true,
       "Main",
       "TMain",
       "HandleClick HandleValue",
       "Go:1 HandleClick HandleValue"},
      {"no handler names: the class keeps its table",
       []() -> TComponent* { return new TTypeFixture; },
       {},
       false,
       "Main",
       "TMain",
       "HandleClick HandleValue",
       "none"},
      {"a long name is cut",
       []() -> TComponent* { return new TDesignedForm; },
       {},
       false,
       longName.c_str(),
       nullptr,
       "none",
       "none"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<TComponent> form(c.make());
    std::unique_ptr<TComponent> sibling(c.make());
    form->SetName(c.formName);
    const TClass cls = form->ClassType();
    const std::string ownName = cls->Name;
    const auto ownTable = cls->Methods;
    TDesignClassPatch patch;
    for (const std::string& h : c.handlers) patch.MethodIndexOf(h);

    PatchDesignClass(&patch, form.get(), c.keep);
    const std::string expectedName = c.patchedName ? c.patchedName : "T" + longName.substr(0, 254);
    EXPECT_EQ(form->ClassName(), expectedName);
    EXPECT_EQ(sibling->ClassName(), expectedName) << "every instance of the class";
    EXPECT_EQ(Entries(cls->Methods), c.patchedTable);
    EXPECT_EQ(Entries(patch.GeneratedMethods), c.generated);

    UnpatchDesignClass(&patch, form.get());
    EXPECT_EQ(form->ClassName(), ownName);
    EXPECT_EQ(cls->Methods, ownTable);
    EXPECT_EQ(patch.GeneratedMethods, nullptr);
    UnpatchDesignClass(&patch, form.get());  // nothing patched: nothing happens
    EXPECT_EQ(form->ClassName(), ownName);
  }
}

TEST(TDesignClassPatch, PatchingAgainFirstUndoesTheEarlierPatch) {
  TDesignedForm form;
  form.SetName("Form1");
  TDesignClassPatch patch;
  patch.MethodIndexOf("Form1Click");
  PatchDesignClass(&patch, &form, false);
  form.SetName("Form2");
  patch.MethodIndexOf("Form2Click");
  PatchDesignClass(&patch, &form, false);
  EXPECT_EQ(form.ClassName(), "TForm2");
  EXPECT_EQ(Entries(form.ClassType()->Methods), "Form1Click:1 Form2Click:2") << "built on the class's own table";
  UnpatchDesignClass(&patch, &form);
  EXPECT_EQ(form.ClassName(), "TDesignedForm");
  EXPECT_EQ(form.ClassType()->Methods, nullptr);
}

TEST(TDesignClassPatch, AStreamNamingHandlersOfTheDesignReadsThemAsNumberedMethods) {
  const char* const text =
      "object Form1: TDesignedForm\n"
      "  OnClick = Form1Click\n"
      "  OnClose = Form1Close\n"
      "end\n";
  TStringStream source(text);
  TMemoryStream binary;
  ObjectTextToBinary(source, binary);
  binary.SetPosition(0);

  TDesignedForm form;
  form.SetName("Form1");
  TDesignClassPatch patch;
  const std::int32_t click = patch.MethodIndexOf("Form1Click");  // in the generated table
  PatchDesignClass(&patch, &form, false);
  TReader reader(binary);
  reader.OnFindMethod = TFindMethodEvent::Of<&TDesignClassPatch::FindMethodHandler>(patch);
  reader.ReadRootComponent(&form);
  UnpatchDesignClass(&patch, &form);

  const std::int32_t close = patch.MethodIndexOf("Form1Close");
  EXPECT_NE(close, click) << "the reader's hook gave the unknown handler a number of its own";
  ASSERT_TRUE(form.OnClick.Assigned() && form.OnClose.Assigned());
  ASSERT_TRUE(form.OnClick.Entry() && form.OnClose.Entry());
  EXPECT_EQ(form.OnClick.Entry()->DesignCode, click);
  EXPECT_EQ(form.OnClose.Entry()->DesignCode, close);
  EXPECT_EQ(patch.NameOfMethodIndex(close), "Form1Close");
  EXPECT_EQ(form.OnClose.DataPart(), &form);
  EXPECT_THAT([&] { form.OnClose(&form); }, ThrowsMessage<EInvalidOperation>(HasSubstr("Form1Close")));
}

}  // namespace
