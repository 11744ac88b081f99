// Components written and read: header bytes, defaults, children,
// references, Loaded, descendants.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/ObjectText.h"
#include "platform/classes/PersHolder.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "platform/core/StrUtils.h"
#include "testing/StreamFixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string AsText(const Bytes& b) { return std::string(b.begin(), b.end()); }

Bytes WriteRoot(TComponent* Root, TComponent* Ancestor = nullptr) {
  TMemoryStream stream;
  WriteDescendentToStream(stream, Root, Ancestor);
  return stream.Bytes();
}

class Filer : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStreamFixtures(); }
};

TEST_F(Filer, CrashReporterHeaderIsTheGolden25Bytes) {
  TComponent root(nullptr);
  root.SetName("zorExcept");
  TMemoryStream stream;
  TWriter writer(stream);
  writer.OnRootClassName = [](TWriter*, TComponent*, std::string& ClassName) { ClassName = "TZorExcept"; };
  writer.WriteRootComponent(&root);
  const Bytes& b = stream.Bytes();
  ASSERT_GE(b.size(), 25u);
  EXPECT_EQ(AsText(Bytes(b.begin(), b.begin() + 25)), std::string("TPF0\x0ATZorExcept\x09zorExcept"));
  // No properties (Tag is at its default) and no children.
  EXPECT_EQ(b.size(), 27u);
  // A class name whose length byte would read as a prefix is refused.
  TMemoryStream other;
  TWriter refuses(other);
  refuses.OnRootClassName = [](TWriter*, TComponent*, std::string& ClassName) { ClassName = std::string(240, 'T'); };
  EXPECT_THROW(refuses.WriteRootComponent(&root), EWriteError);
}

TEST_F(Filer, DefaultsAndNonStoredPropertiesAreNotWritten) {
  TStreamFixture root;
  root.SetName("Root");
  EXPECT_EQ(RootPropNames(WriteRoot(&root)), (std::vector<std::string>{"FontName"}));
  root.Title = "never";  // stored false
  root.Count = 3;
  root.ParentColor = false;  // Color becomes stored
  root.Options = TFixtureOptions{foItalic};
  root.Part()->Width = 11;
  EXPECT_EQ(RootPropNames(WriteRoot(&root)),
            (std::vector<std::string>{"Count", "Options", "Part.Width", "ParentColor", "FontName"}));
  root.SetColor(5);  // stored now, and away from its default
  EXPECT_EQ(RootPropNames(WriteRoot(&root)),
            (std::vector<std::string>{"Count", "Options", "Part.Width", "ParentColor", "Color", "FontName"}));
}

// A second root whose component the fixture refers to.
TComponent* gOtherRoot = nullptr;
TComponent* FindOtherRoot(const std::string& Name) {
  return gOtherRoot && SameText(Name, gOtherRoot->Name()) ? gOtherRoot : nullptr;
}

struct TOtherRoot {
  TComponent Root{nullptr};
  TComponent* Target = new TComponent(&Root);
  TOtherRoot() {
    Root.SetName("Other");
    Target->SetName("Target");
    gOtherRoot = &Root;
    RegisterFindGlobalComponentProc(&FindOtherRoot);
  }
  ~TOtherRoot() {
    UnregisterFindGlobalComponentProc(&FindOtherRoot);
    gOtherRoot = nullptr;
  }
};

TEST_F(Filer, FixtureReadsBackWithEveryValueAndLoadedOnce) {
  TOtherRoot other;
  TStreamFixture source;
  FillStreamFixture(source, other.Target);
  const Bytes bytes = WriteRoot(&source);

  TMemoryStream stream(bytes);
  std::unique_ptr<TComponent> read(ReadComponentFromStream(stream, nullptr));
  auto* root = dynamic_cast<TStreamFixture*>(read.get());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->Name(), "Main");
  EXPECT_EQ(root->Count, 7);
  EXPECT_EQ(root->Options, (TFixtureOptions{foItalic, foShaded}));
  EXPECT_EQ(root->Caption, "Caf\xC3\xA9");
  EXPECT_EQ(root->Code, std::string(300, 'c'));
  EXPECT_EQ(root->Big, std::int64_t{1} << 40);
  EXPECT_EQ(root->Price.Raw(), -123456);
  EXPECT_EQ(root->Stamp, 45000.25);
  EXPECT_EQ(root->Shape, TFixtureShape::shTriangle);
  EXPECT_EQ(root->Part()->Label, "part");
  EXPECT_EQ(root->Data, source.Data);
  EXPECT_EQ(root->Lines()->Text(), "it's\n\n\xC3\xA0 la carte\n");
  ASSERT_EQ(root->Items()->Count(), 2);
  EXPECT_EQ(static_cast<TStreamItem*>(root->Items()->Items(0))->Label, "four");
  auto* panel = dynamic_cast<TStreamFixture*>(root->FindComponent("Panel"));
  auto* button = dynamic_cast<TStreamFixture*>(root->FindComponent("Button"));
  ASSERT_TRUE(panel && button);
  EXPECT_EQ(button->ParentItem, panel);
  EXPECT_EQ(panel->Buddy, button);
  EXPECT_EQ(button->Buddy, other.Target);
  EXPECT_EQ(VarType(root->Datum), varOleStr);
  EXPECT_EQ(root->Datum.AsString(), "Gr\xC3\xBCn");
  EXPECT_TRUE(panel->Datum.IsNull());
  EXPECT_EQ(VarType(button->Datum), varCurrency);
  EXPECT_EQ(button->Datum.AsCurrency().Raw(), 15000);
  button->OnClick(button);
  EXPECT_EQ(root->Clicks, 1);
  EXPECT_EQ(root->LastSender, button);
  for (TStreamFixture* c : {root, panel, button}) {
    EXPECT_EQ(c->LoadedCount, 1) << c->Name();
    EXPECT_FALSE(c->ComponentState().Contains(csLoading));
  }
  // What was read writes the same bytes.
  EXPECT_EQ(WriteRoot(root), bytes);
}

TEST_F(Filer, ReferenceToAnUnknownRootWaitsForIt) {
  TStreamFixture source;
  TOtherRoot* other = new TOtherRoot;
  FillStreamFixture(source, other->Target);
  const Bytes bytes = WriteRoot(&source);
  delete other;  // "Other" is gone while the stream is read

  TStreamFixture target;
  TMemoryStream stream(bytes);
  ReadComponentFromStream(stream, &target);
  auto* button = dynamic_cast<TStreamFixture*>(target.FindComponent("Button"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Buddy, nullptr);
  EXPECT_EQ(PendingGlobalFixups(), 1);
  {
    TOtherRoot again;
    GlobalFixupReferences();
    EXPECT_EQ(button->Buddy, again.Target);
    button->Buddy = nullptr;
  }
  EXPECT_EQ(PendingGlobalFixups(), 0);
  // A waiting reference goes with the component that holds it.
  TMemoryStream second(bytes);
  {
    TStreamFixture gone;
    ReadComponentFromStream(second, &gone);
    EXPECT_EQ(PendingGlobalFixups(), 1);
  }
  EXPECT_EQ(PendingGlobalFixups(), 0);
}

TEST_F(Filer, GlobalLoadingBracketDefersLoadedToTheNotifyStep) {
  TStreamFixture source;
  FillStreamFixture(source, nullptr);
  const Bytes bytes = WriteRoot(&source);
  TStreamFixture target;
  BeginGlobalLoading();
  TMemoryStream stream(bytes);
  ReadComponentFromStream(stream, &target);
  EXPECT_EQ(target.LoadedCount, 0);
  EXPECT_TRUE(target.ComponentState().Contains(csLoading));
  NotifyGlobalLoading();
  EndGlobalLoading();
  EXPECT_EQ(target.LoadedCount, 1);
  NotifyGlobalLoading();
  EXPECT_EQ(target.LoadedCount, 1);
}

TEST_F(Filer, DescendentWritesOnlyWhatDiffersFromItsAncestor) {
  TStreamFixture ancestor;
  FillStreamFixture(ancestor, nullptr);
  TStreamFixture descendant;
  FillStreamFixture(descendant, nullptr);
  descendant.Count = 8;
  auto* panel = static_cast<TStreamFixture*>(descendant.FindComponent("Panel"));
  panel->Caption = "changed";
  const Bytes bytes = WriteRoot(&descendant, &ancestor);
  EXPECT_EQ(RootPropNames(bytes), (std::vector<std::string>{"Count"}));
  // Inherited children come with the inherited flag and only the change.
  TMemoryStream stream(bytes);
  TStreamFixture target;
  FillStreamFixture(target, nullptr);
  ReadComponentFromStream(stream, &target);
  EXPECT_EQ(target.Count, 8);
  EXPECT_EQ(static_cast<TStreamFixture*>(target.FindComponent("Panel"))->Caption, "changed");
  EXPECT_EQ(target.ComponentCount(), 2);
  const std::string text = AsText(bytes);
  EXPECT_NE(text.find("\xF1\x0ETStreamFixture\x05Panel\x07"
                      "Caption\x06\x07"
                      "changed\x00\x00",
                      0,
                      std::string("\xF1\x0ETStreamFixture\x05Panel\x07"
                                  "Caption\x06\x07"
                                  "changed\x00\x00",
                                  39)
                          .size()),
            std::string::npos);
}

TEST_F(Filer, NonComponentObjectTravelsInTheHolder) {
  TFixturePart part;
  part.Width = 33;
  part.Label = "held";
  TPersHolder holder;
  holder.P = &part;
  const Bytes bytes = WriteRoot(&holder);
  EXPECT_EQ(AsText(Bytes(bytes.begin(), bytes.begin() + 27)), std::string("TPF0\x0BTPersHolder\x0APersHolder"));
  EXPECT_EQ(RootPropNames(bytes), (std::vector<std::string>{"P.Width", "P.Label"}));
  TFixturePart copy;
  TPersHolder reader;
  reader.P = &copy;
  TMemoryStream stream(bytes);
  ReadComponentFromStream(stream, &reader);
  EXPECT_EQ(copy.Width, 33);
  EXPECT_EQ(copy.Label, "held");
}

TEST_F(Filer, ACharacterIsAOneCharacterStringAndAnIntegerStillReads) {
  struct Row {
    char letter;
    const char* text;  // in the text form
  };
  for (const Row& r : {Row{'*', "Letter = '*'"}, Row{'\xE9', "Letter = #233"}}) {
    TStreamFixture source;
    source.SetName("Main");
    source.Letter = r.letter;
    TMemoryStream binary(WriteRoot(&source)), text;
    ObjectBinaryToText(binary, text);
    const std::string written = AsText(text.Bytes());
    EXPECT_NE(written.find(r.text), std::string::npos) << written;
    binary.SetPosition(0);
    std::unique_ptr<TComponent> read(ReadComponentFromStream(binary, nullptr));
    EXPECT_EQ(dynamic_cast<TStreamFixture&>(*read).Letter, r.letter);
  }
  const auto readText = [](const std::string& body) {
    TStringStream text("object Main: TStreamFixture\n  " + body + "\nend\n"), binary;
    ObjectTextToBinary(text, binary);
    binary.SetPosition(0);
    std::unique_ptr<TComponent> read(ReadComponentFromStream(binary, nullptr));
    return dynamic_cast<TStreamFixture&>(*read).Letter;
  };
  EXPECT_EQ(readText("Letter = 42"), '*');
  EXPECT_THROW(readText("Letter = 'ab'"), EReadError);
}

}  // namespace
