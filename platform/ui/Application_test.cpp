#include "platform/ui/Application.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/ui/DialogService.h"

namespace {

TEST(ErrorDisplay, AddsAPeriodOnlyWhenTheLastCharacterSortsAfterIt) {
  struct Row {
    const char* message;
    const char* shown;
  } rows[] = {
      {"Failed", "Failed."}, {"Done.", "Done."}, {"Why?", "Why?."},  // '?' sorts after '.'
      {"Stop!", "Stop!"},    {"100%", "100%"},   {"(x)", "(x)"},      {"list-", "list-"},
      {"a/", "a/."},         {"", ""},           {"Größe", "Größe."},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.message);
    EXPECT_EQ(TApplication::ErrorBoxText(r.message), r.shown);
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
  EXPECT_EQ(dialogs.Calls()[0].caption, Application->Title());
  EXPECT_EQ(dialogs.Calls()[0].type, TMsgDlgType::mtError);
  EXPECT_EQ(dialogs.Calls()[1].text, "plain.");
}

struct ExceptionListener {
  std::string name;
  std::vector<std::string>* heard;
  bool handles = false;
  bool raises = false;
  void Saw(const std::exception& Error, bool& Handled) {
    heard->push_back(name + ":" + Error.what());
    if (raises) throw Exception("hook failed");
    if (handles) Handled = true;
  }
  TApplication::TExceptionHook Hook() { return TApplication::TExceptionHook::Of<&ExceptionListener::Saw>(*this); }
};

// An object whose event handler raises, as a control's would.
class RaisingObject : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw Exception("from a handler");
    return QObject::event(e);
  }
};

TEST(ErrorDisplay, EveryGuardAsksTheExceptionHooksNewestFirstBeforeTheBox) {
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  std::vector<std::string> heard;
  ExceptionListener older{"older", &heard}, newer{"newer", &heard};
  Application->AddExceptionHook(older.Hook());
  Application->AddExceptionHook(newer.Hook());
  Application->AddExceptionHook(older.Hook());  // already there: once

  RunGuarded([] { throw Exception("guarded"); });
  RaisingObject raising;
  QEvent user(QEvent::User);
  RunGuarded([&] { QCoreApplication::sendEvent(&raising, &user); });
  RunGuarded([] { Abort(); });  // silent: no hook either
  EXPECT_EQ(heard, (std::vector<std::string>{"newer:guarded", "older:guarded", "newer:from a handler",
                                             "older:from a handler"}));
  EXPECT_EQ(dialogs.Count("message"), 2);

  heard.clear();
  newer.handles = true;
  RunGuarded([] { throw Exception("taken over"); });
  EXPECT_EQ(heard, (std::vector<std::string>{"newer:taken over"}));
  EXPECT_EQ(dialogs.Count("message"), 2);  // no box

  heard.clear();
  newer.handles = false;
  newer.raises = true;
  RunGuarded([] { throw Exception("first"); });
  // The hook's own error goes to the box alone; the walk goes on to the older hook.
  EXPECT_EQ(heard, (std::vector<std::string>{"newer:first", "older:first"}));
  ASSERT_EQ(dialogs.Count("message"), 4);
  EXPECT_EQ(dialogs.Calls()[2].text, "hook failed.");
  EXPECT_EQ(dialogs.Calls()[3].text, "first.");

  Application->RemoveExceptionHook(newer.Hook());
  Application->RemoveExceptionHook(older.Hook());
  heard.clear();
  RunGuarded([] { throw Exception("unhooked"); });
  EXPECT_TRUE(heard.empty());
  EXPECT_EQ(dialogs.Count("message"), 5);
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

namespace {
TEST(TApplication, HintSettingsStartAtTheirDefaults) {
  EXPECT_EQ(Application->HintPause(), 500);
  EXPECT_EQ(Application->HintShortPause(), 50);
  EXPECT_EQ(Application->HintHidePause(), 2500);
  EXPECT_EQ(Application->HintColor(), clInfoBk);
}
}  // namespace
