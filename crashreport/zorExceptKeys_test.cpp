// The settings vocabulary: the defaults against a copy of their table, the
// composed keys, and the placeholders with an injected clock.
#include "crashreport/zorExceptKeys.h"

#include <gtest/gtest.h>

#include <QtGlobal>
#include <string>

namespace {

using namespace zor;

// key, type (B, I, T) and default; text defaults quoted, "empty" for none.
constexpr char kGoldenDefaults[] = R"(Enabled B false
NoSettings B true
CheckFreeze B false
FreezeTimeout I 60
AutoSave B true
AutoSaveIfNotSent B true
AutoSend B false
AutoSendBox B false
AutoClip B true
PauseThreads B false
PlWaitBox B true
AutoContinue B false
AutoRestart I 0
AutoClose I 0
AutoDelay I 60
SendBtnVis B true
SaveBtnVis B false
PrintBtnVis B false
ShowBtnVis B true
ContinueBtnVis B true
RestartBtnVis B true
CloseBtnVis B true
FocusedBtn I 0
SendAssis T empty
SaveAssis T empty
PrintAssis T empty
AutoShowBugRep B false
UglyBtns B false
MailAddr T empty
SendInBackgr B true
MailAsSmtpServer B false
MailAsSmtpClient B false
UploadViaHttp B false
MailViaMapi B true
MailViaMailto B true
SmtpServer T empty
SmtpPort I 25
SmtpAccount T empty
SmtpPassword T empty
HttpServer T empty
HttpPort I 80
HttpAccount T empty
HttpPassword T empty
AttachBugRep B true
AttachBugRepFile B true
DelBugRepFile B true
BugRepSendAs T "bugreport.txt"
BugRepZip T empty
ScrShotDepth I 0
ScrShotAppOnly B true
ScrShotSendAs T "screenshot.png"
ScrShotZip T empty
AddAttachs T empty
MailFrom T empty
AddFields T empty
BugRepFile T "bugreport.txt"
AppendBugReps B true
BugRepFileSize I 100000
NoDupExcepts B true
NoDupFreezes B true
DupExceptDef I 1
DupFreezeDef I 2
ListThreads B true
CpuRegs B true
StackDump B true
ShowDisAsm B true
HideUglyItems B false
ShowRelAddrs B true
ShowRelLines B true
FormatDisAsm B false
LimitDisAsm I 5
Plugins T "modules|processes|hardware"
F1Classes T empty
F1NoBugRep B false
F1NoScrShot B false
F1NoHandlers B false
F1NoSuspend B false
F1ShowCfg I 0
F1Assis T empty
F2Classes T empty
F2NoBugRep B false
F2NoScrShot B false
F2NoHandlers B false
F2NoSuspend B false
F2ShowCfg I 0
F2Assis T empty
GnNoBugRep B false
GnNoScrShot B false
GnNoHandlers B false
GnNoSuspend B false
GnShowCfg I 0
GnAssis T empty
TitleBar T "%appname%"
ExceptMsg T "An error occurred in the application."
FrozenMsg T "The application seems to be frozen."
SendBtnTxt T "send bug report"
SaveBtnTxt T "save bug report"
PrintBtnTxt T "print bug report"
ShowBtnTxt T "show bug report"
ContinueBtnTxt T "continue bug report"
RestartBtnTxt T "restart bug report"
CloseBtnTxt T "close bug report"
OkBtnTxt T "&OK"
DetailsBtnTxt T "&Details"
PlWaitTitle T "Information"
PlWaitText T "Please wait a moment..."
MailSubj T "bug report"
MailBody T "please find the bug report attached"
SendBoxTitle T "Sending bug report..."
PrepAttMsg T "Prepare attachments..."
MxLookMsg T "Searching for mail server..."
ConnMsg T "Connecting to server..."
AuthMsg T "Authentication..."
SendMailMsg T "Sending mail..."
FieldMsg T "Setting fields..."
SendAttMsg T "Sending attachments..."
SendFinalMsg T "Finalizing..."
SendFailMsg T "Sorry, sending the bug report didn't work."
VersionVar I 0
)";

std::string DescribeDefaults() {
  std::string out;
  for (const SettingDefault& row : SettingDefaults()) {
    out += std::string(row.name) + " ";
    switch (row.kind) {
      case skBoolean:
        out += row.boolean ? "B true" : "B false";
        break;
      case skInteger:
        out += "I " + std::to_string(row.integer);
        break;
      case skText:
        out += row.text.empty() ? std::string("T empty") : "T \"" + std::string(row.text) + "\"";
        break;
    }
    // The fields of the other kinds stay neutral.
    if ((row.kind != skBoolean && row.boolean) || (row.kind != skInteger && row.integer != 0) ||
        (row.kind != skText && !row.text.empty()))
      out += " (stray field)";
    out += "\n";
  }
  return out;
}

TEST(ZorSettingsKeys, DefaultsEqualTheirTableInOrder) {
  EXPECT_EQ(DescribeDefaults(), kGoldenDefaults);
  EXPECT_EQ(SettingDefaults().size(), 119u);
}

TEST(ZorSettingsKeys, DefaultsAreFoundByExactName) {
  struct Row {
    const char* name;
    std::string expected;  // "" when not found
  } rows[] = {
      {"SendBtnTxt", "T send bug report"},
      {"SmtpPort", "I 25"},
      {"MailAddr", "T "},
      {"TitleBar", "T %appname%"},
      {"NoSettings", "B 1"},
      {"VersionVar", "I 0"},
      {"smtpport", ""},
      {"SmtpPort ", ""},
      {"Assistant1", ""},
      {"MinDebugInfo", ""},
      {"", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const SettingDefault* row = FindSettingDefault(r.name);
    std::string got;
    if (row) {
      const TZESettingValue v = DefaultValue(*row);
      EXPECT_EQ(v.name, r.name);
      got = v.kind == skText      ? "T " + v.text
            : v.kind == skInteger ? "I " + std::to_string(v.integer)
                                  : "B " + std::to_string(v.boolean);
    }
    EXPECT_EQ(got, r.expected);
  }
  EXPECT_EQ(FindSettingDefault("Plugins")->text, "modules|processes|hardware");
}

TEST(ZorSettingsKeys, ComposedKeys) {
  EXPECT_EQ(AssistantKey(1), "Assistant1");
  EXPECT_EQ(AssistantKey(2), "Assistant2");
  EXPECT_EQ(AssistantKey(10), "Assistant10");
  EXPECT_EQ(std::string(kMinDebugInfoKey), "MinDebugInfo");
}

class ZorPlaceholders : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetPlaceholderClock([this] { return now_; });
  }
  void TearDown() override { SetPlaceholderClock(previous_); }
  LocalTime now_{2024, 3, 5, 9, 41, 7, 42};
  PlaceholderClock previous_;
};

TEST_F(ZorPlaceholders, TenStepsInOrder) {
  const std::string app = ExecutableFileName();
  ASSERT_EQ(app, "kestova_crashreport_settings_tests");
  struct Row {
    const char* name;
    std::string text, message, report, expected;
  } rows[] = {
      {"application", "%appname%", "", "", app},
      {"upper case", "%APPNAME% %DATE% %Time% %DateTime%", "", "",
       app + " 2024-03-05 09:41:07, 42ms 2024-03-05, 09:41:07, 42ms"},
      {"module of the executable", "[%modname%]", "", "", "[" + app + "]"},
      {"caption left at its default", std::string(FindSettingDefault("TitleBar")->text), "", "", app},
      {"every occurrence", "%LF%a%lf%", "", "", "\r\na\r\n"},
      {"message", "Error: %exceptMsg%.", "disk full", "", "Error: disk full."},
      {"empty message", "%EXCEPTMSG%", "", "", "Unknown"},
      {"line break inside the message", "[%exceptMsg%]", "one%LF%two", "", "[one\r\ntwo]"},
      {"date inside the report", "%bugReport%", "", "at %date%", "at 2024-03-05"},
      {"earlier steps are not repeated", "%exceptMsg%|%bugReport%", "%appname%", "%exceptMsg%",
       "%appname%|%exceptMsg%"},
      {"no rescan inside a step", "%exceptMsg%", "%exceptMsg%%exceptMsg%", "", "%exceptMsg%%exceptMsg%"},
      // The inserted "%" and the text after it make a new placeholder, left alone.
      {"no rescan across the insertion", "%exceptMsg%exceptMsg%", "%", "", "%exceptMsg%"},
      {"versions unknown", "%appversion% %ModVersion%", "", "", "? ?"},
      {"stray percent signs", "100% %date %%time%", "", "", "100% %date %09:41:07, 42ms"},
      {"nothing to do", "plain text", "", "", "plain text"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::string text = r.text;
    ExpandPlaceholders(ZorModule{"App"}, text, r.message, r.report);
    EXPECT_EQ(text, r.expected);
  }
}

TEST_F(ZorPlaceholders, DateAndTimeTexts) {
  struct Row {
    LocalTime t;
    const char* date;
    const char* time;
  } rows[] = {
      {{2024, 3, 5, 9, 41, 7, 42}, "2024-03-05", "09:41:07, 42ms"},
      {{999, 12, 31, 0, 0, 0, 0}, "0999-12-31", "00:00:00, 0ms"},
      {{2026, 1, 1, 23, 59, 59, 999}, "2026-01-01", "23:59:59, 999ms"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(DateText(r.t), r.date);
    EXPECT_EQ(TimeText(r.t), r.time);
  }
  SetPlaceholderClock({});
  const LocalTime system = CurrentLocalTime();
  EXPECT_GE(system.year, 2024);
  EXPECT_TRUE(system.month >= 1 && system.month <= 12 && system.millisecond >= 0 && system.millisecond <= 999);
}

TEST(ZorModuleNames, AModuleIsNamedByTheFileItsAddressLiesIn) {
  const std::string app = ExecutableFileName();
  EXPECT_EQ(ModuleFileName(ZorModule{"App"}), app);
  EXPECT_EQ(ModuleFileName(ZorModule{"App", reinterpret_cast<const void*>(&DescribeDefaults)}), app);
  const std::string qt = ModuleFileName(ZorModule{"Qt", reinterpret_cast<const void*>(&qVersion)});
  EXPECT_EQ(qt.rfind("libQt6Core.so", 0), 0u) << qt;
  EXPECT_EQ(qt.find('/'), std::string::npos);
}

}  // namespace
