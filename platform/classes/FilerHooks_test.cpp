// Reader and writer hooks: what a designer uses in place of code patching.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/ObjectText.h"
#include "platform/classes/Reader.h"
#include "platform/classes/TypInfo.h"
#include "platform/classes/Writer.h"
#include "testing/StreamFixture.h"

namespace {

TMemoryStream* Binary(const std::string& Text) {
  TStringStream in(Text);
  auto* out = new TMemoryStream;
  ObjectTextToBinary(in, *out);
  out->SetPosition(0);
  return out;
}

std::string Text(TMemoryStream& Binary) {
  Binary.SetPosition(0);
  TStringStream out;
  ObjectBinaryToText(Binary, out);
  return out.DataString();
}

const char* const kForm =
    "object Main: TStreamFixture\n"
    "  OnClick = Button1Click\n"
    "  Bogus = 5\n"
    "  Count = 2\n"
    "  object Panel: TStreamFixtura\n"
    "    Buddy = Alias\n"
    "  end\n"
    "end\n";

class FilerHooks : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStreamFixtures(); }
};

TEST_F(FilerHooks, WithoutHooksTheFormFailsAtItsFirstStranger) {
  std::unique_ptr<TMemoryStream> stream(Binary(kForm));
  TStreamFixture root;
  TReader reader(*stream);
  try {
    reader.ReadRootComponent(&root);
    ADD_FAILURE();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Method Button1Click not found");
  }
}

TEST_F(FilerHooks, ReaderHooksSupplyMethodsNamesClassesInstancesAndSkipErrors) {
  std::unique_ptr<TMemoryStream> stream(Binary(kForm));
  TStreamFixture root;
  TReader reader(*stream);
  std::vector<std::string> log;
  reader.OnFindMethod = [&](TReader*, const std::string& Name, TMethod& Method, bool& Error) {
    Method = MethodOfEntry(MakeDesignMethodEntry(Name, 7), &root);
    Error = false;
  };
  reader.OnError = [&](TReader*, const std::string& Message, bool& Handled) {
    log.push_back(Message);
    Handled = true;
  };
  reader.OnFindComponentClass = [](TReader*, const std::string& Name, TClass& Class) {
    if (Name == "TStreamFixtura") Class = TStreamFixture::StaticClass();
  };
  TStreamFixture* premade = nullptr;
  reader.OnCreateComponent = [&](TReader* R, TClass, TComponent*& Component) {
    premade = new TStreamFixture(R->Owner());
    Component = premade;
  };
  reader.OnSetName = [](TReader*, TComponent*, std::string& Name) {
    if (Name == "Panel") Name = "Panel2";
  };
  reader.OnReferenceName = [](TReader*, std::string& Name) {
    if (Name == "Alias") Name = "Main";
  };
  reader.ReadRootComponent(&root);
  EXPECT_EQ(log, (std::vector<std::string>{"Property Bogus does not exist"}));
  EXPECT_EQ(root.Count, 2);
  EXPECT_TRUE(root.OnClick.Assigned());
  EXPECT_FALSE(static_cast<bool>(root.OnClick));  // design-time: no code to run
  ASSERT_NE(premade, nullptr);
  EXPECT_EQ(premade->Name(), "Panel2");
  EXPECT_EQ(premade->Buddy, &root);
  EXPECT_EQ(premade->LoadedCount, 1);

  // The design-time handler is written back by its name.
  TMemoryStream out;
  WriteComponentToStream(out, &root);
  EXPECT_NE(Text(out).find("OnClick = Button1Click\n"), std::string::npos);
}

TEST_F(FilerHooks, WriterHooksVetoPropertiesRenameMethodsAndRootsAndPickAncestors) {
  TStreamFixture root;
  root.SetName("Main");
  root.Count = 4;
  root.Caption = "kept";
  root.OnClick = TNotifyEvent::Of<&TTypeFixture::HandleClick>(root);
  auto* panel = new TStreamFixture(&root);
  panel->SetName("Panel");
  panel->Caption = "same";
  TStreamFixture model;
  model.Caption = "same";

  TMemoryStream out;
  TWriter writer(out);
  writer.OnStoredProperty = [](TWriter*, const TPersistent*, const TPropInfo* Prop, bool& Stored) {
    if (Prop->Name == "Count") Stored = false;
  };
  writer.OnMethodName = [](TWriter*, const TMethod&, std::string& Name) { Name = "Renamed" + Name; };
  writer.OnRootClassName = [](TWriter*, TComponent*, std::string& Name) { Name = "TMainForm"; };
  writer.OnFindAncestor = [&](TWriter*, TComponent* Component, const std::string&, TComponent*& Ancestor,
                              TComponent*&) {
    if (Component == panel) Ancestor = &model;
  };
  writer.WriteRootComponent(&root);
  EXPECT_EQ(Text(out),
            "object Main: TMainForm\n"
            "  OnClick = RenamedHandleClick\n"
            "  Caption = 'kept'\n"
            "  FontName = 'Arial'\n"
            "  inherited Panel: TStreamFixture\n"
            "  end\n"
            "end\n");
}

}  // namespace
