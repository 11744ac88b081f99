// The exception object's report text: the exact text of a fake machine, the
// header's numbers and kinds, the cached text, the processor context and
// the screenshot.
#include <gtest/gtest.h>

#include <QByteArray>
#include <chrono>
#include <fstream>
#include <thread>

#include "crashreport/zorExceptFakeSystem.h"
#include "crashreport/zorExceptReportFixture.h"
#include "crashreport/zorException.h"

namespace {

using namespace zor;
using namespace std::chrono_literals;
using zortest::EnterPlaceholders;
using zortest::MakeException;
using zortest::Sections;

class EAccessViolation : public ZorException {
 public:
  using ZorException::ZorException;
};

class ENoMessage {
 public:
  virtual ~ENoMessage() = default;
};

std::string Golden(const char* name) {
  std::ifstream in(std::string(KESTOVA_TESTDATA_DIR) + "/" + name, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf.substr(0, crlf.size() - 2);  // the report has no final line break
}

TEST(ZorReportText, AFakeMachineGivesTheGoldenReport) {
  zortest::FakeMachine machine;
  const Sections sections(EnterPlaceholders);
  const EAccessViolation raised("Access violation at address 00401A2B. Read of address 00000000");
  ExceptionFacts facts;
  facts.raisedObject = &raised;
  const auto e = MakeException(facts);
  std::string golden = Golden("report_golden.txt");
  // Each test runs in a process of its own; run together, earlier reports
  // took the first numbers.
  const std::string number = e->HeaderFields()->ValueOf("exception number");
  if (number != "1") golden.replace(golden.find("exception number  : 1"), 21, "exception number  : " + number);
  EXPECT_EQ(e->ReportText(false), golden);
  EXPECT_EQ(e->ReportText(false), golden);  // kept

  // An item added later stands before the checksum, and the text follows.
  e->HeaderFields()->SetValue("app item", "x");
  const std::string text = e->ReportText(false);
  EXPECT_NE(text.find("app item          : x\r\ncallstack crc     : will"), std::string::npos) << text;
}

TEST(ZorReportText, ExceptionNumbersCountAcrossObjects) {
  zortest::FakeMachine machine;
  const auto first = MakeException(), second = MakeException();
  const int64_t a = std::stoll(first->HeaderFields()->ValueOf("exception number"));
  const int64_t b = std::stoll(second->HeaderFields()->ValueOf("exception number"));
  EXPECT_EQ(b, a + 1);
  EXPECT_EQ(first->HeaderFields()->ValueOf("exception number"), std::to_string(a));  // built once
  if (::testing::UnitTest::GetInstance()->test_to_run_count() == 1) {
    EXPECT_EQ(a, 1);
  }
}

TEST(ZorReportText, KindsAndMessages) {
  zortest::FakeMachine machine;
  const EAccessViolation violation("Disk\r\nfull  here");
  const ENoMessage plain;
  const struct {
    const char* name;
    uint8_t kind;
    const void* raised;
    const char *className, *message;
  } rows[] = {
      {"an exception", 0, &violation, "EAccessViolation", "Disk full here."},
      {"a frozen main thread", 1, nullptr, "", "The application seems to be frozen."},
      {"a message that is the class name", 0, &plain, "ENoMessage", ""},
  };
  for (const auto& r : rows) {
    ExceptionFacts facts;
    facts.reportKind = r.kind;
    facts.raisedObject = r.raised;
    const auto header = MakeException(facts)->HeaderFields();
    EXPECT_EQ(header->ValueOf("exception class"), r.className) << r.name;
    EXPECT_EQ(header->ValueOf("exception message"), r.message) << r.name;
  }
}

TEST(ZorReportText, NoReportWantedKeepsEmptyListsAndAnsweredTexts) {
  zortest::FakeMachine machine;
  const Sections sections(EnterPlaceholders);
  const auto e = MakeException();
  e->SetWantReport(false);
  e->HeaderFields()->SetValue("a", "1");
  EXPECT_EQ(e->HeaderFields()->Count(), 0);
  EXPECT_EQ(e->SectionFields()->Count(), 0);
  EXPECT_EQ(e->ReportText(true), "");
  e->SetReportText("given");
  EXPECT_EQ(e->FullReportText(), "given");
}

// A reader renders the header, then waits for the sections, which this
// thread holds while it changes the header: the reader's text is answered
// but must not be kept.
TEST(ZorReportText, ATextBuiltWhileTheListsChangedIsNotKept) {
  zortest::FakeMachine machine;
  const auto e = MakeException();
  const auto header = e->HeaderFields();
  const auto sections = e->SectionFields();
  header->SetValue("app item", "old");
  sections->BeginAccess();
  std::string read;
  std::thread reader([&] { read = e->ReportText(false); });
  std::this_thread::sleep_for(200ms);  // the reader is through the header by now
  header->SetValue("app item", "new");
  sections->EndAccess();
  reader.join();
  EXPECT_NE(read.find("app item          : old"), std::string::npos);
  EXPECT_NE(e->ReportText(false).find("app item          : new"), std::string::npos);
}

// --- Context and screenshot ----------------------------------------------------------

TEST(ZorReportContext, RegistersComeFromTheSignalFrame) {
  ucontext_t uc{};
  const int order[] = {REG_RIP, REG_RSP, REG_RBP, REG_EFL, REG_RAX, REG_RBX, REG_RCX, REG_RDX, REG_RSI,
                       REG_RDI, REG_R8,  REG_R9,  REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15};
  for (size_t i = 0; i < std::size(order); ++i) uc.uc_mcontext.gregs[order[i]] = static_cast<greg_t>(0x1000 + i);
  const TZEContext c = ContextFromUcontext(uc);
  const uint64_t fields[] = {c.rip, c.rsp, c.rbp, c.eflags, c.rax, c.rbx, c.rcx, c.rdx, c.rsi,
                             c.rdi, c.r8,  c.r9,  c.r10,    c.r11, c.r12, c.r13, c.r14, c.r15};
  for (size_t i = 0; i < std::size(fields); ++i) EXPECT_EQ(fields[i], 0x1000 + i) << i;

  EXPECT_EQ(MakeException()->ThreadContext(), nullptr);
  ExceptionFacts facts;
  facts.context = c;
  const auto e = MakeException(facts);
  ASSERT_NE(e->ThreadContext(), nullptr);
  EXPECT_EQ(*e->ThreadContext(), c);
}

TEST(ZorReportContext, AScreenshotThatCannotBeTakenIsNoLongerWanted) {
  const QByteArray display = qgetenv("DISPLAY");
  qputenv("DISPLAY", QByteArray());
  const auto e = MakeException();
  EXPECT_EQ(e->ScreenPicture(), nullptr);  // not wanted
  e->SetWantScreenPicture(true);
  EXPECT_EQ(e->ScreenPicture(), nullptr);  // no display here
  EXPECT_FALSE(e->WantScreenPicture());
  const INVBitmapPtr given = TINVBitmap::Create(2, 2);
  e->SetScreenPicture(given);
  EXPECT_EQ(e->ScreenPicture(), given);
  qputenv("DISPLAY", display);
}

}  // namespace
