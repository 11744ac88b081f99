// Settings objects: fallbacks, writes, plug-ins, and the lists built from
// "AddFields" and "AddAttachs" with their write-back.
#include "crashreport/zorExceptSettingsObject.h"

#include <thread>

#include "crashreport/zorExceptFields.h"
#include "crashreport/zorExceptTwoModules.h"

namespace {

using namespace zor;
using zortest::Property;

using ZorSettingsObject = zortest::TwoModules;

TEST_F(ZorSettingsObject, WithoutAnyResourceReadsGiveDefaultsAndWritesFail) {
  const auto s = SettingsForModule(ZorModule{"NoSuchModule"});
  EXPECT_FALSE(s->HasSettings());
  EXPECT_EQ(s->SmtpPort(), 25u);
  EXPECT_TRUE(s->AutoSave());
  EXPECT_FALSE(s->SetAutoSave(false));
  EXPECT_TRUE(s->AutoSave());
  EXPECT_FALSE(s->WriteText("MailAddr", "x@y"));
  EXPECT_EQ(s->ReadText("Assistant1"), "");  // no default: empty
  EXPECT_EQ(FindProcessSettings(), nullptr);
  EXPECT_EQ(SettingsForAddress(reinterpret_cast<const void*>(&zortest_module_function))->ModuleHandle().name,
            ExecutableFileName());
}

// Every key an interface reads by name has a default of the kind it is read as.
TEST(ZorSettingsKeys, EveryNamedKeyHasADefaultOfItsKind) {
  struct Key {
    const char* name;
    SettingKind kind;
  };
  std::vector<Key> keys;
#define ZOR_KEY_OF(kind) [&](const char* name) { keys.push_back({name, kind}); }
  const auto boolean = ZOR_KEY_OF(skBoolean);
  const auto integer = ZOR_KEY_OF(skInteger);
  const auto text = ZOR_KEY_OF(skText);
#undef ZOR_KEY_OF
#define ZOR_BOOLEAN(Key) boolean(#Key);
#define ZOR_INTEGER(Key) integer(#Key);
#define ZOR_TEXT(Key) text(#Key);
  ZOR_BOOL_KEYS(ZOR_BOOLEAN)
  ZOR_MODULE_BOOL_READ_KEYS(ZOR_BOOLEAN)
  ZOR_MODULE_BOOL_KEYS(ZOR_BOOLEAN)
  ZOR_DWORD_KEYS(ZOR_INTEGER)
  ZOR_INT_KEYS(ZOR_INTEGER)
  ZOR_MODULE_DWORD_READ_KEYS(ZOR_INTEGER)
  ZOR_MODULE_DWORD_KEYS(ZOR_INTEGER)
  ZOR_TEXT_KEYS(ZOR_TEXT)
  ZOR_MODULE_TEXT_KEYS(ZOR_TEXT)
#undef ZOR_BOOLEAN
#undef ZOR_INTEGER
#undef ZOR_TEXT
  integer("FocusedBtn");
  for (const Key& k : keys) {
    SCOPED_TRACE(k.name);
    const SettingDefault* row = FindSettingDefault(k.name);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->kind, k.kind);
  }
  EXPECT_EQ(keys.size(), 115u);
}

TEST_F(ZorSettingsObject, SettingsThatSayNoSettingsGiveWayToUsableOnes) {
  // Without main settings; each module says "NoSettings" as given (1, 0) or
  // carries no resource (-1).
  struct Row {
    const char* name;
    int exe, lib;
    const char* process;     // FindProcessSettings
    const char* forLibrary;  // SettingsForModule of the library
    const char* byAddress;   // SettingsForAddress of a function in the library
  } rows[] = {
      {"both usable", 0, 0, "exe", "lib", "lib"},         {"the executable says no", 1, 0, "lib", "lib", "lib"},
      {"the library says no", 0, 1, "exe", "exe", "exe"}, {"both say no", 1, 1, "exe", "lib", "lib"},
      {"only the library", -1, 0, "lib", "lib", "lib"},   {"only the library, saying no", -1, 1, "lib", "lib", "lib"},
      {"neither", -1, -1, "none", "lib", "exe"},
  };
  const auto name = [](const std::shared_ptr<IZESettings>& s) -> std::string {
    if (!s) return "none";
    return s->ModuleHandle().name == zortest::kLibraryName ? "lib" : "exe";
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    if (r.exe >= 0) Inject(ExecutableFileName(), {{"NoSettings", r.exe == 1}});
    if (r.lib >= 0) InjectLibrary({{"NoSettings", r.lib == 1}});
    EXPECT_EQ(name(FindProcessSettings()), r.process);
    EXPECT_EQ(name(SettingsForModule(Library())), r.forLibrary);
    EXPECT_EQ(name(SettingsForAddress(reinterpret_cast<const void*>(&zortest_module_function))), r.byAddress);
    ResourceStore::Instance().RemoveInjected(ExecutableFileName(), "RCDATA", "TZOREXCEPT");
    ResourceStore::Instance().RemoveInjected(zortest::kLibraryName, "RCDATA", "TZOREXCEPT");
  }
}

TEST_F(ZorSettingsObject, WritesCheckTheKindAndAreSharedByTheModulesObjects) {
  InjectMain();
  InjectLibrary({{"AutoSave", false}, {"SmtpPort", int64_t{2525}}, {"MailAddr", std::string("lib@x")}});
  const auto a = SettingsForModule(Library());
  const auto b = SettingsForModule(Library());
  struct Row {
    const char* name;
    bool (*write)(IZESettings&);
    bool ok;
  } rows[] = {
      {"an integer into a Boolean", [](IZESettings& s) { return s.WriteInt("AutoSave", 1); }, false},
      {"a text into an integer", [](IZESettings& s) { return s.WriteText("SmtpPort", "25"); }, false},
      {"a Boolean into a text", [](IZESettings& s) { return s.WriteBool("MailAddr", true); }, false},
      {"a new text key", [](IZESettings& s) { return s.WriteText("SmtpServer", "mx.example"); }, true},
      {"a dword", [](IZESettings& s) { return s.SetHttpPort(8080); }, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(r.write(*a), r.ok);
  }
  EXPECT_FALSE(b->AutoSave());
  EXPECT_EQ(b->SmtpPort(), 2525u);
  EXPECT_EQ(b->MailAddr(), "lib@x");
  EXPECT_EQ(b->SmtpServer(), "mx.example");
  EXPECT_EQ(b->HttpPort(), 8080u);
  // Another module does not see them; rereading the resource drops them.
  EXPECT_EQ(MainSettings()->SmtpServer(), "");
  b->RereadResource();
  EXPECT_EQ(a->SmtpServer(), "");
}

TEST_F(ZorSettingsObject, PluginsSwitchOnAndOff) {
  InjectMain();
  const auto s = MainSettings();
  struct Row {
    const char* name;
    bool on;
    std::string plugins;
  } rows[] = {
      {"Processes", false, "modules|hardware"},  {"cpu", true, "modules|hardware|cpu"},
      {"modules", true, "modules|hardware|cpu"}, {"HARDWARE", false, "modules|cpu"},
      {"absent", false, "modules|cpu"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    s->SetPluginEnabled(r.name, r.on);
    EXPECT_EQ(s->ReadText("Plugins"), r.plugins);
    EXPECT_EQ(s->PluginEnabled(r.name), r.on);
  }
  // A name listed twice in a row is switched off whole.
  s->WriteText("Plugins", "cpu|modules|MODULES|modules|x");
  s->SetPluginEnabled("modules", false);
  EXPECT_EQ(s->ReadText("Plugins"), "cpu|x");
  EXPECT_FALSE(s->PluginEnabled("modules"));
}

TEST_F(ZorSettingsObject, AddFieldsBuildsTheListAndWritesChangesBack) {
  InjectMain({{"AddFields", std::string("a=1|b=2|c|d=4=5")}});
  std::shared_ptr<IZEFields> fields;
  {
    const auto s = SettingsForModule(ExecutableModule());
    fields = s->AddFields();
    EXPECT_EQ(s->AddFields(), fields);
    ASSERT_EQ(fields->Count(), 3);
    EXPECT_EQ(fields->NameAt(0) + fields->NameAt(1) + fields->NameAt(2), "abd");
    EXPECT_EQ(fields->ValueOf("D"), "4");
    EXPECT_EQ(s->ReadText("AddFields"), "a=1|b=2|c|d=4=5");  // building writes nothing back
    fields->SetValue("c", " 3 ");
    EXPECT_EQ(MainSettings()->ReadText("AddFields"), "a=1|b=2|d=4|c=3");
    fields->RemoveName("A");
    EXPECT_EQ(MainSettings()->ReadText("AddFields"), "b=2|d=4|c=3");
  }
  // Its settings object is gone: the list lives on and writes nothing back.
  fields->SetValue("e", "5");
  EXPECT_EQ(fields->Count(), 4);
  EXPECT_EQ(MainSettings()->ReadText("AddFields"), "b=2|d=4|c=3");
}

TEST_F(ZorSettingsObject, AddAttachsBuildsTheListAndWritesChangesBack) {
  InjectMain({{"AddAttachs", std::string("/var/log/x.log>x.txt>>Log|/var/log/app.log|/tmp/a.b.c>report>r.zip")}});
  const auto s = MainSettings();
  const auto attachs = s->AddAttachs();
  struct Row {
    std::string source, sendAs, archive, field;
  } rows[] = {
      {"/var/log/x.log", "x.txt", "", "Log"},
      {"/var/log/app.log", "app.log", "", "app"},
      {"/tmp/a.b.c", "report", "r.zip", "report"},
  };
  ASSERT_EQ(attachs->Count(), 3);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    Row got;
    ASSERT_TRUE(attachs->ItemAt(i, got.source, got.sendAs, got.archive, got.field));
    EXPECT_EQ(got.source + "|" + got.sendAs + "|" + got.archive + "|" + got.field,
              rows[i].source + "|" + rows[i].sendAs + "|" + rows[i].archive + "|" + rows[i].field);
  }
  EXPECT_EQ(s->ReadText("AddAttachs"), "/var/log/x.log>x.txt>>Log|/var/log/app.log|/tmp/a.b.c>report>r.zip");
  EXPECT_TRUE(attachs->RemoveFile("/VAR/LOG/X.LOG"));
  EXPECT_EQ(s->ReadText("AddAttachs"), "/var/log/app.log>app.log>>app|/tmp/a.b.c>report>r.zip>report");
  attachs->RemoveAll();
  EXPECT_EQ(s->ReadText("AddAttachs"), "");
}

TEST_F(ZorSettingsObject, ThreadsChangingTheExtraFieldsLeaveTheSettingInStep) {
  InjectMain();
  const auto s = MainSettings();
  const auto fields = s->AddFields();
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&fields, t] {
      for (int i = 0; i < 200; ++i) {
        const std::string name = "f" + std::to_string(t) + "_" + std::to_string(i % 10);
        if (i % 3 == 2)
          fields->RemoveName(name);
        else
          fields->SetValue(name, std::to_string(i));
      }
    });
  }
  for (std::thread& t : threads) t.join();
  const auto list = std::dynamic_pointer_cast<TIZEFields>(fields);
  EXPECT_EQ(s->ReadText("AddFields"), list->TextForm());
  std::vector<std::string> names;
  for (int i = 0; i < fields->Count(); ++i) names.push_back(fields->NameAt(i));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
}

}  // namespace
