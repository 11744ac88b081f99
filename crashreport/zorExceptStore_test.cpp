// The process-wide store of module settings lists: reference counts, one
// parse per module, reload, unlink, passwords, and values under threads.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "crashreport/zorExceptFixture.h"
#include "crashreport/zorExceptMessages.h"
#include "crashreport/zorExceptSettings.h"
#include "platform/core/ResourceStore.h"

namespace {

using namespace zor;

// Injects settings resources for modules and removes them afterwards; every
// test must leave the store without references.
class ZorSettingsStore : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& name : injected_) ResourceStore::Instance().RemoveInjected(name, "RCDATA", "TZOREXCEPT");
    EXPECT_EQ(SharedSettingsBufferReferences(), 0);
    EXPECT_TRUE(SettingsChainModules().empty());
  }
  ZorModule Module(const std::string& name, const std::string& bytes) {
    ResourceStore::Instance().Inject(name, "RCDATA", "TZOREXCEPT", bytes);
    injected_.push_back(name);
    return ZorModule{name};
  }
  std::vector<std::string> injected_;
  zortest::MessageRecorder messages_;
};

TEST_F(ZorSettingsStore, AModuleWithoutResourceHasNoList) {
  EXPECT_EQ(AcquireModuleSettingList(ZorModule{"NoSuchModule"}), nullptr);
  EXPECT_EQ(SharedSettingsBufferReferences(), 0);
  // Releasing what was never acquired changes nothing.
  ReleaseModuleSettingList(nullptr);
  ReleaseSharedSettingsBuffer();
  EXPECT_EQ(SharedSettingsBufferReferences(), 0);
}

TEST_F(ZorSettingsStore, TwoModulesGiveTwoListsAndReleasingOneFreesOnlyIt) {
  const ZorModule app = Module("StoreApp", zortest::WriteSettingsResource({{"MailAddr", std::string("app@x")}}));
  const ZorModule lib = Module("StoreLib", zortest::WriteSettingsResource({{"MailAddr", std::string("lib@x")}}));
  TZEModuleSettingList* a1 = AcquireModuleSettingList(app);
  TZEModuleSettingList* b = AcquireModuleSettingList(lib);
  TZEModuleSettingList* a2 = AcquireModuleSettingList(ZorModule{"storeapp"});  // names compare without case
  ASSERT_NE(a1, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a1, a2);
  EXPECT_NE(a1, b);
  EXPECT_EQ(ListReferences(a1), 2);
  EXPECT_EQ(ListReferences(b), 1);
  EXPECT_EQ(SharedSettingsBufferReferences(), 3);
  EXPECT_EQ(SettingsChainModules(), (std::vector<std::string>{"StoreApp", "StoreLib"}));
  EXPECT_EQ(ReadListText(a1, "MailAddr"), "app@x");
  EXPECT_EQ(ReadListText(b, "MailAddr"), "lib@x");

  ReleaseModuleSettingList(a1);
  EXPECT_EQ(SettingsChainModules().size(), 2u);
  ReleaseModuleSettingList(a2);
  EXPECT_EQ(SettingsChainModules(), (std::vector<std::string>{"StoreLib"}));
  EXPECT_EQ(ReadListText(b, "MailAddr"), "lib@x");
  EXPECT_EQ(SharedSettingsBufferReferences(), 1);
  ReleaseModuleSettingList(b);
}

TEST_F(ZorSettingsStore, AListIsParsedOnceAndReloadRestoresWrittenValues) {
  const ZorModule m = Module("StoreOnce", zortest::WriteSettingsResource({{"MailAddr", std::string("first@x")}}));
  TZEModuleSettingList* list = AcquireModuleSettingList(m);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(WriteListText(list, "MailAddr", "written@x"));
  EXPECT_FALSE(WriteListText(list, "MailFrom", "absent@x"));
  // A second user sees the written value: the resource is not read again.
  TZEModuleSettingList* again = AcquireModuleSettingList(m);
  EXPECT_EQ(again, list);
  EXPECT_EQ(ReadListText(again, "MailAddr"), "written@x");
  EXPECT_EQ(ReadListText(again, "MailFrom"), "");

  WriteListValue(list, {"SmtpPort", skInteger, false, 587, ""});
  ReloadModuleSettingList(m, list);
  EXPECT_EQ(ReadListText(list, "MailAddr"), "first@x");
  EXPECT_FALSE(ReadListValue(list, "SmtpPort"));
  EXPECT_EQ(ListReferences(list), 2);
  ReleaseModuleSettingList(again);
  ReleaseModuleSettingList(list);
}

TEST_F(ZorSettingsStore, WriteListValueReplacesTheFirstOrAppends) {
  const ZorModule m = Module("StoreWrite", zortest::Header());  // no values, capacity 131
  TZEModuleSettingList* list = AcquireModuleSettingList(m);
  ASSERT_NE(list, nullptr);
  WriteListValue(list, {"AutoSave", skBoolean, true, 0, ""});
  WriteListValue(list, {"AutoSave", skBoolean, false, 0, ""});
  const SettingArray snapshot = ListSnapshot(list);
  EXPECT_EQ(snapshot.capacity, 131);
  ASSERT_EQ(snapshot.values.size(), 1u);
  EXPECT_FALSE(snapshot.values[0].boolean);
  ReleaseModuleSettingList(list);
}

TEST_F(ZorSettingsStore, BadHeaderGivesAnEmptyListAndABadTypeIsReportedOnce) {
  std::string badHeader = zortest::WriteSettingsResource({{"AutoSave", false}});
  badHeader[5] = 't';  // "tZorExcept"
  const ZorModule empty = Module("StoreBadHeader", badHeader);
  const ZorModule bad =
      Module("StoreBadType", zortest::Header() + zortest::Record("A", 9, "") + zortest::Record("B", 9, "") +
                                 zortest::Record("C", 8, "") + zortest::Record("D", 5, ""));
  TZEModuleSettingList* e = AcquireModuleSettingList(empty);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(ListSnapshot(e).capacity, 0);
  EXPECT_TRUE(messages_.texts.empty());
  // Written values still find room: the first array holds 20.
  WriteListValue(e, {"MailAddr", skText, false, 0, "x@y"});
  EXPECT_EQ(ListSnapshot(e).capacity, 20);

  // The message comes once no lock is held: a sink may use the store.
  std::vector<std::string> chainAtMessage;
  const ReporterMessageSink recorder = SetReporterMessageSink([&](std::string_view, std::string_view text) {
    messages_.texts.push_back(std::string(text));
    chainAtMessage = SettingsChainModules();
  });
  TZEModuleSettingList* b1 = AcquireModuleSettingList(bad);
  TZEModuleSettingList* b2 = AcquireModuleSettingList(bad);
  SetReporterMessageSink(recorder);
  EXPECT_EQ(messages_.texts, (std::vector<std::string>{"Internal error: Invalid settings resource ($5)."}));
  EXPECT_EQ(chainAtMessage, (std::vector<std::string>{"StoreBadHeader", "StoreBadType"}));
  EXPECT_EQ(ListSnapshot(b1).values.size(), 3u);
  for (TZEModuleSettingList* l : {e, b1, b2}) ReleaseModuleSettingList(l);
}

TEST_F(ZorSettingsStore, UnlinkedListsStayWithTheirUsers) {
  const ZorModule m = Module("StoreUnlink", zortest::WriteSettingsResource({{"MailAddr", std::string("old@x")}}));
  TZEModuleSettingList* old = AcquireModuleSettingList(m);
  ASSERT_NE(old, nullptr);
  WriteListText(old, "MailAddr", "kept@x");
  UnlinkModuleSettingList(m);
  EXPECT_TRUE(SettingsChainModules().empty());
  EXPECT_EQ(ReadListText(old, "MailAddr"), "kept@x");
  // A new user gets a new list from the resource.
  TZEModuleSettingList* fresh = AcquireModuleSettingList(m);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(ReadListText(fresh, "MailAddr"), "old@x");
  EXPECT_EQ(SharedSettingsBufferReferences(), 2);
  ReleaseModuleSettingList(old);  // frees the unlinked list, not the chain's
  EXPECT_EQ(SettingsChainModules(), (std::vector<std::string>{"StoreUnlink"}));
  EXPECT_EQ(ReadListText(fresh, "MailAddr"), "old@x");
  ReleaseModuleSettingList(fresh);
  UnlinkModuleSettingList(m);  // nothing left to unlink
}

TEST_F(ZorSettingsStore, StoredPasswordsComeBackInPlain) {
  const ZorModule m = Module(
      "StorePasswords", zortest::WriteSettingsResource({
                            {"SmtpServer", std::string("smtp.example.org")},
                            {"SmtpAccount", std::string("mailer")},
                            {"SmtpPassword", zortest::StoredPassword("s3cret Grüße", "mailer", "smtp.example.org")},
                            {"HttpAccount", std::string("uploader")},
                            {"HttpServer", std::string("www.example.org")},
                            {"HttpPassword", zortest::StoredPassword("exactly8", "uploader", "www.example.org")},
                        }));
  const ZorModule noAccount = Module(
      "StorePasswordsNoAccount",
      zortest::WriteSettingsResource({{"SmtpServer", std::string("smtp.example.org")},
                                      {"SmtpPassword", zortest::StoredPassword("x", "mailer", "smtp.example.org")},
                                      {"HttpPassword", std::string()}}));
  TZEModuleSettingList* list = AcquireModuleSettingList(m);
  TZEModuleSettingList* other = AcquireModuleSettingList(noAccount);
  EXPECT_EQ(ReadListText(list, "SmtpPassword"), "s3cret Grüße");
  EXPECT_EQ(ReadListText(list, "HttpPassword"), "exactly8");
  EXPECT_EQ(ReadListText(other, "SmtpPassword"), "");
  EXPECT_EQ(ReadListText(other, "HttpPassword"), "");
  // Reloading deciphers again rather than twice.
  ReloadModuleSettingList(m, list);
  EXPECT_EQ(ReadListText(list, "SmtpPassword"), "s3cret Grüße");
  ReleaseModuleSettingList(list);
  ReleaseModuleSettingList(other);
}

TEST_F(ZorSettingsStore, ThreadsShareListsAndReadCopiesWhileOthersWrite) {
  const ZorModule m = Module("StoreThreads", zortest::WriteSettingsResource({{"MailAddr", std::string("start")}}));
  TZEModuleSettingList* held = AcquireModuleSettingList(m);
  ASSERT_NE(held, nullptr);
  std::atomic<bool> wrong{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 300; ++i) {
        TZEModuleSettingList* list = AcquireModuleSettingList(m);
        if (list != held) wrong = true;
        if (t % 2 == 0) {
          WriteListText(list, "MailAddr", std::string(20 + i % 50, char('a' + t)));
        } else {
          const std::string text = ReadListText(list, "MailAddr");
          // Every text read is one that some writer stored whole.
          if (text != "start" && text.find_first_not_of(text[0]) != std::string::npos) wrong = true;
        }
        ReleaseModuleSettingList(list);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_FALSE(wrong);
  EXPECT_EQ(ListReferences(held), 1);
  ReleaseModuleSettingList(held);
}

}  // namespace
