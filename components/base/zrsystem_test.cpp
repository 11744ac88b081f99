#include "components/base/zrsystem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "components/base/FileSystems.h"
#include "components/base/PETestFiles.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Filer.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FileNames.h"
#include "testing/TypeFixture.h"

using testing::ThrowsMessage;

namespace {

TEST(SystemStrings, Table) {
  std::string padded = "ab";
  PadRight(padded, 4);
  EXPECT_EQ(padded, "ab  ");
  PadRight(padded, 2);
  EXPECT_EQ(padded, "ab  ");
  std::string appended = "x";
  AppendStr(appended, "yz");
  EXPECT_EQ(appended, "xyz");

  struct Row {
    std::string got;
    std::string want;
  } rows[] = {
      {SpaceString(3), "   "},
      {SpaceString(0), ""},
      {SpaceString(-2), ""},
      {std::to_string(FirstNonBlank("   ")), "4"},
      {std::to_string(FirstNonBlank("  x ")), "3"},
      {std::to_string(FirstNonBlank("")), "1"},
      {MultiplyChar("it's", '\'', 1), "it''s"},
      {MultiplyChar("a'b'", '\'', 2), "a'''b'''"},
      {MultiplyChar("it's", '\'', 0), "it's"},
      {StripChars("Hello World", "lo", false), "He Wrd"},
      {StripChars("Hello WORLD", "lo", true), "He WORLD"},
      {StripChars("HELLO", "l", false), "HEO"},
      {RemoveChars(AddCharsToSet({}, "ab", true), "abcABC"), "cABC"},
      {ExtractFileTitle("/a/b/unit1.pas"), "unit1"},
      {ExtractFileTitle("readme"), "readme"},
      {ExtractFileTitle("/a.b/c"), "c"},
      {ClassPartOfProgID("Lib.Class.1"), "Class"},
      {ClassPartOfProgID("Lib.Class"), "Class"},
      {ClassPartOfProgID("Lib"), "Lib"},
      {ClassPartOfProgID(".X"), "X"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.want);
    EXPECT_EQ(r.got, r.want);
  }
}

TEST(SystemStrings, ReplaceAtAndReplaceAll) {
  struct Row {
    const char* s;
    const char* old;
    const char* now;
    const char* want;
  } rows[] = {
      {"aaa", "a", "aa", "aaaaaa"},  // goes on after each insertion
      {"abcabc", "bc", "", "aa"},
      {"abab", "ab", "b", "bb"},
      {"xyz", "q", "r", "xyz"},
      {"", "a", "b", ""},
      {"abc", "", "x", "abc"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.s);
    std::string s = r.s;
    ReplaceAllOf(s, r.old, r.now);
    EXPECT_EQ(s, r.want);
  }
  std::string s = "Hello World";
  ReplaceAt(s, 7, "World", "There");
  EXPECT_EQ(s, "Hello There");
  ReplaceAt(s, 1, "", ">");
  EXPECT_EQ(s, ">Hello There");
}

TEST(SystemStrings, ReadShortStrStaysInsideItsBuffer) {
  const uint8_t bytes[] = {3, 'a', 'b', 'c', 0, 2, 'x'};
  const uint8_t* p = bytes;
  EXPECT_EQ(ReadShortStr(p, std::end(bytes)), "abc");
  EXPECT_EQ(ReadShortStr(p, std::end(bytes)), "");
  EXPECT_EQ(p, bytes + 5);
  EXPECT_THROW(ReadShortStr(p, std::end(bytes)), EReadError);  // 2 announced, 1 there
  EXPECT_EQ(p, bytes + 5);
}

TEST(SystemStrings, VariantTypeNames) {
  const char* names[32] = {"",         "",         "Smallint", "Longint",  "Single",  "Double",  "Currency",
                           "TDateTime", "PWideChar", "Pointer", "Integer",  "WordBool", "Variant", "Pointer",
                           "PWideChar", "",         "ShortInt", "Byte",     "Word",    "Cardinal", "Variant",
                           "Variant",  "Integer",  "Cardinal", "Variant",  "HResult", "Pointer", "Variant",
                           "Variant",  "Variant",  "PChar",    "PWideChar"};
  for (int code = 0; code < 32; ++code) {
    SCOPED_TRACE(code);
    EXPECT_EQ(VarTypeToTypeName(code), names[code]);
  }
  EXPECT_EQ(VarTypeToTypeName(32), "");
  EXPECT_EQ(VarTypeToTypeName(-1), "");
}

// ---- Lists ----

struct Collected {
  std::vector<std::string> items;
  static void Add(void* Data, const std::string& S) { static_cast<Collected*>(Data)->items.push_back(S); }
};

TEST(SystemLists, StringListRoutines) {
  auto sorted = CreateSortedStringList();
  sorted->Add("b");
  sorted->Add("a");
  Collected seen;
  ForEachString(*sorted, &Collected::Add, &seen);
  EXPECT_EQ(seen.items, (std::vector<std::string>{"a", "b"}));

  // Objects are freed (LeakSanitizer would see one left) and the list cleared.
  TStringList owned;
  owned.AddObject("x", new TComponent(nullptr));
  owned.AddObject("y", nullptr);
  owned.AddObject("z", new TComponent(nullptr));
  ClearStringsAndObjects(owned);
  EXPECT_EQ(owned.Count(), 0);

  // One change notice for the whole replacement.
  struct Counter {
    int changes = 0;
    void Changed(TObject*) { ++changes; }
  } counter;
  TStringList words{"old"};
  words.OnChange = TNotifyEvent::Of<&Counter::Changed>(counter);
  SetStringsFromArray(words, {"one", "two", "three"});
  EXPECT_EQ(words.Text(), "one\ntwo\nthree\n");
  EXPECT_EQ(counter.changes, 1);
  EXPECT_EQ(words.UpdateCount(), 0);
}

struct Remover {
  std::vector<int> seen;
  int stopAt = -1;
  static void Visit(void* Data, void* Item, int Index, bool& Continue) {
    auto* self = static_cast<Remover*>(Data);
    self->seen.push_back(Index);
    if (Index == self->stopAt) Continue = false;
  }
  // Deletes three items at the first call, so the next index is clamped.
  TList* list = nullptr;
  static void Shrink(void* Data, void* Item, int Index, bool& Continue) {
    auto* self = static_cast<Remover*>(Data);
    self->seen.push_back(Index);
    if (self->seen.size() == 1)
      for (int i = 0; i < 3; ++i) self->list->Delete(0);
  }
};

TEST(SystemLists, PointerListRoutines) {
  int a = 0, b = 0, c = 0, d = 0, e = 0;
  auto list = CreateList();
  for (int* p : {&a, &b, &c, &d, &e}) list->Add(p);
  auto other = CreateList();
  other->Add(&e);
  AppendListItems(*list, *other);
  EXPECT_EQ(other->Count(), 6);
  AppendListItems(*other, *other);
  EXPECT_EQ(other->Count(), 6);
  EXPECT_FALSE(SameListItems(*list, *other));
  other->Delete(0);
  EXPECT_TRUE(SameListItems(*list, *other));
  other->Exchange(0, 4);
  EXPECT_TRUE(SameListItems(*list, *other));
  other->Put(0, &a);  // a twice, e gone: same count, not the same items
  EXPECT_FALSE(SameListItems(*list, *other));

  Remover stop;
  stop.stopAt = 2;
  EXPECT_FALSE(IterateListBackward(list.get(), &Remover::Visit, &stop));
  EXPECT_EQ(stop.seen, (std::vector<int>{4, 3, 2}));
  Remover shrink;
  shrink.list = list.get();
  EXPECT_TRUE(IterateListBackward(list.get(), &Remover::Shrink, &shrink));
  EXPECT_EQ(shrink.seen, (std::vector<int>{4, 1, 0}));
  EXPECT_TRUE(IterateListBackward(nullptr, &Remover::Visit, &stop));

  const int32_t values[] = {3, -7, 12, 5};
  EXPECT_EQ(MaxOfArray(values), 12);
}

TEST(SystemLists, EnumNames) {
  TStringList names;
  names.Add("old");
  GetEnumNames(TypeInfos::TFixtureShape(), &names);
  EXPECT_EQ(names.Text(), "shNone\nshCircle\nshSquare\nshTriangle\n");
  GetEnumNames(TypeInfos::TFixtureOptions(), &names);  // a set: nothing
  EXPECT_EQ(names.Count(), 4);
  GetEnumNames(nullptr, &names);
  EXPECT_EQ(names.Count(), 4);
}

// ---- Components and names ----

TEST(SystemNames, MakeUniqueNameLooksUpTheOwnerChain) {
  TComponent form(nullptr);
  form.SetName("Form1");
  auto* panel = new TComponent(&form);
  panel->SetName("Panel1");
  auto* button1 = new TComponent(&form);
  button1->SetName("Button1");
  auto* inner = new TComponent(panel);
  inner->SetName("Button2");
  struct Row {
    const TComponent* component;
    const char* prefix;
    const char* want;
  } rows[] = {
      {panel, "Button", "Button3"},  // Button2 in the panel, Button1 on the form
      {&form, "Button", "Button2"},  // the form owns no Button2
      {inner, "Panel", "Panel2"},
      {nullptr, "Button", "Button1"},
      {&form, "Label", "Label1"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.want);
    EXPECT_EQ(MakeUniqueName(r.component, r.prefix), r.want);
  }
  EXPECT_FALSE(IsNameUnused(inner, "button1"));  // names compare without case
  EXPECT_TRUE(IsNameUnused(nullptr, "Button1"));
}

TEST(SystemNames, CaptionsAndNamePaths) {
  TComponent form(nullptr);
  form.SetName("Form1");
  TComponent unnamed(nullptr);
  EXPECT_EQ(GetObjectCaption(&form, ""), "Form1: TComponent");
  EXPECT_EQ(GetObjectCaption(&form, "Other"), "Other: TComponent");
  EXPECT_EQ(GetObjectCaption(&unnamed, ""), "");
  EXPECT_EQ(GetObjectCaption(nullptr, "x"), "");
  EXPECT_EQ(GetNamePathOf(&form), "Form1");
  EXPECT_EQ(GetNamePathOf(nullptr), "");
  struct Hook {
    std::string Caption(const TPersistent*, const std::string& Name) { return "<" + Name + ">"; }
  } hook;
  SetObjectCaptionHook(TObjectCaptionHook::Of<&Hook::Caption>(hook));
  EXPECT_EQ(GetObjectCaption(nullptr, "x"), "<x>");
  SetObjectCaptionHook(nullptr);
}

TEST(SystemNames, EnumComponentNamesPrefixesOtherRoots) {
  TComponent form(nullptr), module(nullptr);
  form.SetName("Form1");
  module.SetName("Module1");
  (new TComponent(&form))->SetName("A");
  new TComponent(&form);  // unnamed: skipped
  (new TComponent(&module))->SetName("B");
  TList roots;
  roots.Add(&form);
  roots.Add(&module);
  Collected seen;
  EnumComponentNamesInList(roots, &form, TComponent::StaticClass(), &Collected::Add, &seen);
  EXPECT_EQ(seen.items, (std::vector<std::string>{"A", "Module1.B"}));
}

TEST(SystemNames, TheGlobalLookupIsInstalledOnce) {
  TComponent target(nullptr);
  struct Finder {
    TComponent* found;
    TComponent* Find(void* Data, const std::string& Name) { return Name == "Other.X" ? found : nullptr; }
  } finder{&target};
  const auto method = TFindComponentMethod::Of<&Finder::Find>(finder);
  EXPECT_TRUE(InstallFindGlobalComponent(method, nullptr));
  EXPECT_FALSE(InstallFindGlobalComponent(method, nullptr));
  EXPECT_EQ(FindGlobalComponent("Other.X"), &target);
  RemoveFindGlobalComponent();
  EXPECT_EQ(FindGlobalComponent("Other.X"), nullptr);
  EXPECT_TRUE(InstallFindGlobalComponent(method, nullptr));
  RemoveFindGlobalComponent();
}

TEST(SystemNames, ExpandRelativeToRestoresTheCurrentFolder) {
  TempDir dir;
  const std::string before = DefaultFileSystem()->GetCurrentDir();
  EXPECT_EQ(ExpandRelativeTo(dir.Path("doc.txt"), "../x/y.txt", ""),
            ExpandFileName(std::filesystem::temp_directory_path().string() + "/x/y.txt"));
  EXPECT_EQ(ExpandRelativeTo(dir.Path("doc.txt"), "", ""), "");
  EXPECT_EQ(DefaultFileSystem()->GetCurrentDir(), before);
  FreeFileSystems();
}

TEST(SystemHooks, CallsAndFlags) {
  static int calls = 0;
  calls = 0;
  CallRegisterProc([] { ++calls; });
  CallProcWith([](void* Arg) { *static_cast<int*>(Arg) += 10; }, &calls);
  CallIfEditorsNotRegistered([] { ++calls; });
  SetEditorsRegistered(true);
  CallIfEditorsNotRegistered([] { ++calls; });
  SetEditorsRegistered(false);
  EXPECT_EQ(calls, 12);
  CallPropChangeHook(nullptr, "Caption");  // no hook: nothing
  EXPECT_FALSE(RuntimePackagesInUse());
}

// ---- GUIDs and servers ----

TEST(SystemGuids, TextFormsRoundTrip) {
  const std::string text = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
  const TGUID guid = StringToCLSID(text);
  EXPECT_EQ(guid.D1, 0x6B29FC40u);
  EXPECT_EQ(guid.D4[7], 0xDA);
  EXPECT_EQ(CLSIDToString(guid), text);
  EXPECT_EQ(CLSIDToString(StringToCLSID("{00000000-0000-0000-0000-000000000000}")),
            "{00000000-0000-0000-0000-000000000000}");
  EXPECT_THAT([] { StringToCLSID("{nonsense}"); },
              ThrowsMessage<EConvertError>("'{nonsense}' is not a valid GUID value"));
  EXPECT_EQ(GetTypeLibraryName(guid), "");
}

TEST(SystemGuids, RegisterOleServerTexts) {
  EXPECT_NO_THROW(RegisterOleServer(KESTOVA_SERVER_OK));
  const std::string missing = "/nonexistent/server.so";
  EXPECT_THAT([&] { RegisterOleServer(missing); },
              ThrowsMessage<Exception>("Failed to load \"" + missing + "\""));
  EXPECT_THAT([] { RegisterOleServer(KESTOVA_SERVER_NOENTRY); },
              ThrowsMessage<Exception>(std::string("DllRegisterServer procedure not found in \"") +
                                       KESTOVA_SERVER_NOENTRY + "\""));
  EXPECT_THAT([] { RegisterOleServer(KESTOVA_SERVER_FAILS); },
              ThrowsMessage<Exception>(std::string("Call to DllRegisterServer failed in \"") + KESTOVA_SERVER_FAILS +
                                       "\""));
}

TEST(SystemStartUp, RegistersTheFileSystemsAndMakesAGuid) {
  StartUpSystemUnit();
  EXPECT_NE(GetClass("TWin32FileSystem"), nullptr);
  EXPECT_NE(GetClass("TResFileSystem"), nullptr);
  EXPECT_NE(GetClass("TPropFileSystem"), nullptr);
  EXPECT_EQ(ProcessGuid().size(), 38u);
  EXPECT_NO_THROW(StringToCLSID(ProcessGuid()));
  TFileSystem* shared = AcquireFileSystem(ResourceFileSystemDescriptor("/x.dll"));
  EXPECT_EQ(FileSystemUseCount(shared), 1);
  ShutDownSystemUnit();
  EXPECT_EQ(FileSystemUseCount(shared), 0);
}

}  // namespace
