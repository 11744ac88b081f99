#include "platform/ui/Application.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/core/Exceptions.h"
#include "platform/ui/DialogService.h"

namespace {

TEST(ErrorDisplay, AddsAPeriodOnlyWhenTheLastCharacterSortsAfterIt) {
  struct Row {
    const char* message;
    const char* shown;
  } rows[] = {
      {"Failed", "Failed."}, {"Done.", "Done."}, {"Why?", "Why?."},  // '?' sorts after '.'
      {"Stop!", "Stop!"},    {"100%", "100%"},   {"(x)", "(x)"},       {"list-", "list-"},
      {"a/", "a/."},         {"", ""},           {"Größe", "Größe."},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.message);
    EXPECT_EQ(Application::ErrorBoxText(r.message), r.shown);
  }
}

TEST(ErrorDisplay, ShowsErrorsInAnErrorBoxAndAbortsSilently) {
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  RunGuarded([] { throw Exception("Cannot open file"); });
  RunGuarded([] { Abort(); });
  RunGuarded([] { throw std::runtime_error("plain"); });
  ASSERT_EQ(dialogs.Count("message"), 2);
  EXPECT_EQ(dialogs.Calls()[0].text, "Cannot open file.");
  EXPECT_EQ(dialogs.Calls()[0].caption, Application::Title());
  EXPECT_EQ(dialogs.Calls()[0].type, TMsgDlgType::mtError);
  EXPECT_EQ(dialogs.Calls()[1].text, "plain.");
}

TEST(DialogService, ScriptedAnswersAreTakenInOrder) {
  ScriptedDialogService dialogs;
  dialogs.AnswerMessage(mrNo);
  dialogs.AnswerSave(std::string("/tmp/x.nwk"));
  EXPECT_EQ(dialogs.MessageBox("q", "c", TMsgDlgType::mtWarning, TMsgDlgButtons::mbYesNo), mrNo);
  EXPECT_EQ(dialogs.MessageBox("q", "c", TMsgDlgType::mtWarning, TMsgDlgButtons::mbYesNo), mrYes);
  EXPECT_EQ(dialogs.SaveFile({}), "/tmp/x.nwk");
  EXPECT_EQ(dialogs.SaveFile({}), std::nullopt);
}

}  // namespace
