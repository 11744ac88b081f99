#include "platform/ui/DialogService.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/ui/DialogService_p.h"

namespace {

using ::testing::ElementsAre;
using ::testing::Optional;

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

TEST(FileFilter, ConvertsToNameFiltersAndCarriesTheIndexBothWays) {
  struct Case {
    const char* name;
    std::string filter;
    int indexIn;
    std::string nameFilters;  // one per line
    int shownPosition;        // 0-based: the filter the dialog opens with
  };
  const Case cases[] = {
      {"one pair", "Text files|*.txt", 1, "Text files (*.txt)", 0},
      {"several masks", "Trees|*.nwk;*.tre; *.tree", 1, "Trees (*.nwk *.tre *.tree)", 0},
      {"second of three", "Text|*.txt|Trees|*.nwk|All files|*.*", 2, "Text (*.txt)\nTrees (*.nwk)\nAll files (*)", 1},
      {"masks already shown", "Text files (*.txt)|*.txt|All (*.*)|*.*", 2, "Text files (*.txt)\nAll (*)", 1},
      {"index 0 opens at the first", "A|*.a|B|*.b", 0, "A (*.a)\nB (*.b)", 0},
      {"index past the end opens at the first", "A|*.a|B|*.b", 3, "A (*.a)\nB (*.b)", 0},
      {"negative index", "A|*.a|B|*.b", -1, "A (*.a)\nB (*.b)", 0},
      {"description without masks", "Everything", 1, "Everything (*)", 0},
      {"empty masks", "Nothing|", 1, "Nothing (*)", 0},
      {"trailing bar", "A|*.a|", 1, "A (*.a)", 0},
      {"masks without description", "|*.a", 1, " (*.a)", 0},
      {"no filter", "", 1, "", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Joined(NameFiltersOf(c.filter)), c.nameFilters);

    // The same through the dialog: the index selects a filter going in, and
    // the filter in use comes back as its index.
    QFileDialog dialog;
    TFileDialogOptions options;
    options.filter = c.filter;
    options.filterIndex = c.indexIn;
    ConfigureFileDialog(dialog, options, FileDialogMode::Open);
    if (c.shownPosition < 0) {
      EXPECT_EQ(FileDialogResultOf(dialog).filterIndex, 1);
      continue;
    }
    const QStringList shown = dialog.nameFilters();
    EXPECT_EQ(dialog.selectedNameFilter(), shown[c.shownPosition]);
    EXPECT_EQ(FileDialogResultOf(dialog).filterIndex, c.shownPosition + 1);
    dialog.selectNameFilter(shown.last());
    EXPECT_EQ(FileDialogResultOf(dialog).filterIndex, shown.size());
  }
}

TEST(FileFilter, OptionsShapeTheDialog) {
  struct Case {
    const char* name;
    FileDialogMode mode;
    TOpenOptions options;
    QFileDialog::FileMode fileMode;
    bool confirmsOverwrite;
  };
  const Case cases[] = {
      {"open", FileDialogMode::Open, {}, QFileDialog::AnyFile, true},
      {"open existing", FileDialogMode::Open, {TOpenOption::ofFileMustExist}, QFileDialog::ExistingFile, true},
      {"open several", FileDialogMode::Open, {TOpenOption::ofAllowMultiSelect}, QFileDialog::ExistingFiles, true},
      {"save asking", FileDialogMode::Save, {TOpenOption::ofOverwritePrompt}, QFileDialog::AnyFile, true},
      {"save without asking", FileDialogMode::Save, {}, QFileDialog::AnyFile, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFileDialog dialog;
    TFileDialogOptions options;
    options.options = c.options;
    options.defaultExtension = "nwk";
    ConfigureFileDialog(dialog, options, c.mode);
    EXPECT_EQ(dialog.fileMode(), c.fileMode);
    EXPECT_EQ(dialog.acceptMode(), c.mode == FileDialogMode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    EXPECT_EQ(!dialog.testOption(QFileDialog::DontConfirmOverwrite), c.confirmsOverwrite);
    EXPECT_EQ(dialog.defaultSuffix(), "nwk");
  }
  EXPECT_TRUE(TFileDialogOptions().options.Contains(TOpenOption::ofOverwritePrompt))
      << "saves ask before replacing a file unless told otherwise";
}

TEST(MessageButtons, DefaultAndCancelButtonsAndTheirAnswers) {
  using B = TMsgDlgBtn;
  struct Case {
    const char* name;
    TMsgDlgButtons buttons;
    B defaultButton;
    std::optional<B> cancelButton;
  };
  const Case cases[] = {
      {"OK", TMsgDlgButtons::mbOK, B::mbOK, B::mbOK},
      {"OK, Cancel", TMsgDlgButtons::mbOKCancel, B::mbOK, B::mbCancel},
      {"Yes, No", TMsgDlgButtons::mbYesNo, B::mbYes, B::mbNo},
      {"Yes, No, Cancel", TMsgDlgButtons::mbYesNoCancel, B::mbYes, B::mbCancel},
      {"Retry, Cancel", TMsgDlgButtons::mbRetryCancel, B::mbRetry, B::mbCancel},
      {"Abort, Retry, Ignore", TMsgDlgButtons::mbAbortRetryIgnore, B::mbRetry, std::nullopt},
      {"to all", {B::mbYes, B::mbNo, B::mbYesToAll, B::mbNoToAll, B::mbCancel}, B::mbYes, B::mbCancel},
      {"All, Help", {B::mbAll, B::mbHelp}, B::mbAll, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DefaultButtonOf(c.buttons), c.defaultButton);
    EXPECT_EQ(CancelButtonOf(c.buttons), c.cancelButton);
    ScriptedDialogService dialogs;
    EXPECT_EQ(dialogs.MessageBox("t", "c", TMsgDlgType::mtConfirmation, c.buttons), ModalResultOf(c.defaultButton))
        << "unscripted boxes answer their default button";
  }
  EXPECT_EQ(ModalResultOf(B::mbAll), 8);
  EXPECT_EQ(ModalResultOf(B::mbNoToAll), 9);
  EXPECT_EQ(ModalResultOf(B::mbYesToAll), 10);
  EXPECT_EQ(ModalResultOf(B::mbHelp), mrNone);
}

// Presses the button with `text` on the message box once it shows.
void PressWhenShown(const QString& text) {
  QTimer::singleShot(0, [text] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons())
      if (button->text() == text) {
        button->click();
        return;
      }
    ADD_FAILURE() << "no button " << text.toStdString();
    box->reject();
  });
}

TEST(QtMessageBox, AnswersTheNewButtonsAndStaysOpenForHelp) {
  const TMsgDlgButtons buttons{TMsgDlgBtn::mbYes,      TMsgDlgBtn::mbNo,      TMsgDlgBtn::mbAll,
                               TMsgDlgBtn::mbYesToAll, TMsgDlgBtn::mbNoToAll, TMsgDlgBtn::mbHelp};
  struct Case {
    QStringList presses;
    int result;
  };
  const Case cases[] = {
      {{"&All"}, mrAll},
      {{"Yes to &All"}, mrYesToAll},
      {{"N&o to All"}, mrNoToAll},
      {{"Help", "&No"}, mrNo},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.presses.join(", ").toStdString());
    // Each press waits for the box to be shown again.
    for (int i = 0; i < c.presses.size(); ++i)
      QTimer::singleShot(i * 50, [text = c.presses[i]] { PressWhenShown(text); });
    EXPECT_EQ(Dialogs().MessageBox("Replace the file?", "Kestova", TMsgDlgType::mtConfirmation, buttons), c.result);
  }
}

TEST(FolderBrowse, OpensAtTheSelectedFolderOnlyBelowTheRoot) {
  struct Case {
    std::string root, selected, start;
  };
  const Case cases[] = {
      {"/home/ana", "/home/ana/data", "/home/ana/data"},
      {"/home/ana", "/home/ana/data/", "/home/ana/data"},
      {"/home/ana/", "/home/ana/./data/../trees", "/home/ana/trees"},
      {"/home/ana", "/home/ana", "/home/ana"},
      {"/home/ana", "/home/anatol/data", "/home/ana"},
      {"/home/ana", "/etc", "/home/ana"},
      {"/home/ana", "/home/ana/../bob", "/home/ana"},
      {"/home/ana", "data", "/home/ana"},
      {"/home/ana", "", "/home/ana"},
      {"/", "/etc/fonts", "/etc/fonts"},
      {"", "/etc/fonts", "/etc/fonts"},
      {"", "", "/"},
      {"//", "/tmp", "/tmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("root " + c.root + ", selected " + c.selected);
    EXPECT_EQ(FolderBrowseStart(c.root, c.selected), c.start);
  }
}

TEST(FolderBrowse, TheBrowserListsFoldersFromTheStartAndStaysUnderTheRoot) {
  QTemporaryDir temp;
  const QString root = temp.path();
  ASSERT_TRUE(QDir(root).mkpath("trees/old"));
  QFileDialog dialog;
  ConfigureFolderBrowser(dialog, {"Choose a folder", root.toStdString(), (root + "/trees/old/").toStdString(), 0});
  EXPECT_EQ(dialog.windowTitle(), "Choose a folder");
  EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
  EXPECT_TRUE(dialog.testOption(QFileDialog::ShowDirsOnly));
  EXPECT_EQ(dialog.directory().absolutePath(), root + "/trees/old");

  emit dialog.directoryEntered(QDir::rootPath());
  EXPECT_EQ(dialog.directory().absolutePath(), root) << "went above the root";
  dialog.setDirectory(root + "/trees");
  emit dialog.directoryEntered(root + "/trees");
  EXPECT_EQ(dialog.directory().absolutePath(), root + "/trees");
}

TEST(ScriptedDialogs, AnswerEveryKindAndRecordWhatWasAsked) {
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  QPrinter printer;

  TFileDialogOptions open;
  open.title = "Open trees";
  open.filter = "Trees|*.nwk|All files|*.*";
  open.filterIndex = 2;
  open.options = {TOpenOption::ofAllowMultiSelect, TOpenOption::ofFileMustExist};
  dialogs.AnswerOpenFiles(TFileDialogResult{{"/d/a.nwk", "/d/b.nwk"}, 1});
  EXPECT_THAT(Dialogs().ExecuteOpen(open), Optional(TFileDialogResult{{"/d/a.nwk", "/d/b.nwk"}, 1}));
  dialogs.AnswerSave(std::string("/d/c.nwk"));
  EXPECT_THAT(Dialogs().ExecuteSave(open), Optional(TFileDialogResult{{"/d/c.nwk"}, 2}))
      << "a bare path keeps the filter index handed in";
  dialogs.AnswerOpen(std::string("/d/e.nwk"));
  EXPECT_THAT(Dialogs().OpenFile(open), Optional(std::string("/d/e.nwk")));

  dialogs.AnswerColor(TColorChoice{clRed, {clBlue, clLime}});
  EXPECT_THAT(Dialogs().ChooseColor({clBlack, {}}), Optional(TColorChoice{clRed, {clBlue, clLime}}));
  dialogs.AnswerFolder("/home/ana/data");
  EXPECT_THAT(Dialogs().BrowseFolder({"Pick", "/home/ana", "/etc", 0x0001}), Optional(std::string("/home/ana/data")));
  dialogs.AnswerPrinterSetup(true);
  EXPECT_TRUE(Dialogs().PrinterSetup(printer));
  dialogs.AnswerMessage(mrYesToAll);
  EXPECT_EQ(Dialogs().MessageBox("Replace?", "Kestova", TMsgDlgType::mtConfirmation,
                                 {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbYesToAll}),
            mrYesToAll);
  const TFontChoice font{"Courier New", 12, true, false, false, false, 0x0000FF};
  dialogs.AnswerFont(font);
  EXPECT_THAT(Dialogs().ChooseFont({}), Optional(font));
  dialogs.AnswerPrint(true);
  EXPECT_TRUE(Dialogs().Print(printer));
  Dialogs().Beep();

  // Unscripted: cancelled.
  EXPECT_EQ(Dialogs().ExecuteOpen(open), std::nullopt);
  EXPECT_EQ(Dialogs().ChooseColor({}), std::nullopt);
  EXPECT_EQ(Dialogs().BrowseFolder({}), std::nullopt);
  EXPECT_FALSE(Dialogs().PrinterSetup(printer));
  EXPECT_EQ(Dialogs().ChooseFont({}), std::nullopt);
  EXPECT_FALSE(Dialogs().Print(printer));

  std::vector<std::string> kinds;
  for (const auto& call : dialogs.Calls()) kinds.push_back(call.kind);
  EXPECT_THAT(kinds, ElementsAre("open", "save", "open", "color", "folder", "printersetup", "message", "font", "print",
                                 "beep", "open", "color", "folder", "printersetup", "font", "print"));
  const auto& first = dialogs.Calls()[0];
  EXPECT_EQ(first.text, open.filter);
  EXPECT_EQ(first.caption, "Open trees");
  EXPECT_EQ(first.filterIndex, 2);
  EXPECT_EQ(first.flags, open.options.Bits());
  const auto& folder = dialogs.Calls()[4];
  EXPECT_EQ(folder.caption, "Pick");
  EXPECT_EQ(folder.flags, 0x0001u);
  EXPECT_EQ(folder.root, "/home/ana");
  EXPECT_EQ(folder.start, "/home/ana") << "/etc is not below the root";
  EXPECT_EQ(dialogs.Calls()[6].buttons, (TMsgDlgButtons{TMsgDlgBtn::mbYes, TMsgDlgBtn::mbYesToAll}));
}

}  // namespace
