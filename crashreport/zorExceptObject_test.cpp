// The exception object's own part: its settings, flags, phase, claims and
// change batches.
#include "crashreport/zorExceptObject.h"

#include <atomic>
#include <thread>

#include "crashreport/zorExceptTwoModules.h"

namespace {

using namespace zor;

class ZorExceptionObject : public zortest::TwoModules {
 protected:
  std::shared_ptr<TIZEException> Make(const ZorModule& module, ExceptionFacts facts = {}) {
    auto from = std::dynamic_pointer_cast<TIZESettings>(SettingsForModule(module));
    return std::make_shared<TIZEException>(from, facts);
  }
};

TEST_F(ZorExceptionObject, ReadsFallBackThroughItsModuleAndWritesStayWithTheEvent) {
  InjectMain({{"Assistant1", std::string("Contact|Main help|ContactForm")}});
  InjectLibrary({{"AutoSave", true}, {"MailAddr", std::string("lib@x")}});
  const auto e = Make(Library());
  const auto module = SettingsForModule(Library());
  EXPECT_TRUE(e->HasSettings());
  EXPECT_EQ(e->MailAddr(), "lib@x");                                      // the module's list
  EXPECT_EQ(e->SmtpPort(), 25u);                                          // the defaults
  EXPECT_EQ(e->ReadText("Assistant1"), "Contact|Main help|ContactForm");  // no default: the main settings
  EXPECT_TRUE(e->SetAutoSave(false));
  EXPECT_FALSE(e->AutoSave());
  EXPECT_TRUE(module->AutoSave());
  EXPECT_TRUE(e->SetMailAddr("event@x"));
  EXPECT_EQ(module->MailAddr(), "lib@x");
  EXPECT_FALSE(e->WriteInt("AutoSave", 1));  // now in its own list as a Boolean
  // A second event of the module sees none of it.
  EXPECT_TRUE(Make(Library())->AutoSave());
}

TEST_F(ZorExceptionObject, FlagsPhaseAndChecksums) {
  ExceptionFacts facts;
  facts.stackChecksums = {11, 22, 33};
  const auto notContinuable = Make(ZorModule{"NoSuchModule"}, facts);
  facts.continuable = true;
  const auto continuable = Make(ZorModule{"NoSuchModule"}, facts);
  notContinuable->SetContinueAllowed(true);
  EXPECT_FALSE(notContinuable->ContinueAllowed());
  continuable->SetContinueAllowed(false);
  EXPECT_FALSE(continuable->ContinueAllowed());
  continuable->SetContinueAllowed(true);
  EXPECT_TRUE(continuable->ContinueAllowed());

  const struct {
    int index;
    uint32_t sum;
  } sums[] = {{-1, 0}, {0, 11}, {2, 33}, {3, 0}};
  for (const auto& s : sums) EXPECT_EQ(continuable->StackChecksum(s.index), s.sum) << s.index;

  continuable->EnterPhase(3);
  EXPECT_EQ(continuable->Phase(), 3);
  continuable->SetReportComplete();
  continuable->EnterPhase(3);
  EXPECT_EQ(continuable->Phase(), 4);
  continuable->EnterPhase(2);
  EXPECT_EQ(continuable->Phase(), 2);
  EXPECT_NE(continuable->FaultThreadId(), 0u);  // the creating thread
}

TEST_F(ZorExceptionObject, ClaimsAnswerTrueOnceAcrossThreads) {
  const auto e = Make(ZorModule{"NoSuchModule"});
  std::atomic<int> completions{0}, saves{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 100; ++i) {
        completions += e->ClaimCompletion();
        saves += e->ClaimAutoSave();
      }
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(completions.load(), 1);
  EXPECT_EQ(saves.load(), 1);
}

TEST_F(ZorExceptionObject, OneAccessOfItsFieldsGivesOneChangeNotice) {
  const auto e = Make(ZorModule{"NoSuchModule"});
  const auto header = e->HeaderFields();
  const uint64_t built = e->ReportVersion();
  EXPECT_EQ(built, 1u);  // the whole header in one access
  header->SetValue("a", "1");
  EXPECT_EQ(e->ReportVersion(), built + 1);
  header->BeginAccess();
  header->SetValue("b", "2");
  header->SetValue("c", "3");
  header->RemoveName("a");
  EXPECT_EQ(e->ReportVersion(), built + 1);
  header->EndAccess();
  EXPECT_EQ(e->ReportVersion(), built + 2);
  e->SectionFields()->SetValue("s", "x");
  EXPECT_EQ(e->ReportVersion(), built + 3);
}

TEST_F(ZorExceptionObject, FieldsOutliveTheirEventWithoutNotifying) {
  std::shared_ptr<IZEFields> header;
  {
    const auto e = Make(ZorModule{"NoSuchModule"});
    header = e->HeaderFields();
  }
  const int32_t count = header->Count();
  header->SetValue("a", "1");
  EXPECT_EQ(header->Count(), count + 1);
}

TEST_F(ZorExceptionObject, TheBoxIsShownThroughItsHookOnly) {
  const auto e = Make(ZorModule{"NoSuchModule"});
  e->ShowExceptionBox();  // no hook: nothing
  int shown = 0;
  const ExceptionBoxHook previous = SetExceptionBoxHook([&](TIZEException& shownFor) {
    EXPECT_EQ(&shownFor, e.get());
    ++shown;
  });
  e->ShowExceptionBox();
  SetExceptionBoxHook(previous);
  EXPECT_EQ(shown, 1);
}

TEST_F(ZorExceptionObject, ThreadsChangingItsFieldsAreNotifiedOncePerAccess) {
  const auto e = Make(ZorModule{"NoSuchModule"});
  const auto header = e->HeaderFields();
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 100; ++i) header->SetValue("t" + std::to_string(t), std::to_string(i + 1));
    });
  for (std::thread& t : threads) t.join();
  const int32_t count = header->Count();
  for (int t = 0; t < 8; ++t) EXPECT_EQ(header->ValueOf("t" + std::to_string(t)), "100");
  EXPECT_GE(count, 8);
  EXPECT_GE(e->ReportVersion(), 2u);
  EXPECT_LE(e->ReportVersion(), 801u);
}

}  // namespace
