#include "app/KestovaForm.h"

#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/ui/DialogService.h"
#include "tree/view/NTreeBox.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// A run folder holding the tool as kestova/kestova, made the current
// directory for the test.
class RunFolder {
 public:
  explicit RunFolder(bool withTool = true)
      : old_(fs::current_path()),
        path_(fs::temp_directory_path() / ("kestova_form_" + std::to_string(getpid()) + "_" + std::to_string(n_++))) {
    fs::remove_all(path_);
    fs::create_directories(path_ / "kestova");
    if (withTool) fs::create_symlink(KESTOVA_TOOL_PATH, path_ / "kestova" / "kestova");
    fs::current_path(path_);
  }
  ~RunFolder() {
    fs::current_path(old_);
    fs::remove_all(path_);
  }
  fs::path File(const std::string& name) const { return path_ / name; }

 private:
  static inline int n_ = 0;
  fs::path old_, path_;
};

std::string Sample(const char* name) { return std::string(KESTOVA_SAMPLES_DIR) + "/" + name; }

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct MainWindow : ::testing::Test {
  MainWindow() : scope(dialogs) {}
  // "Data Input" with `file` chosen in the open dialog.
  void ChooseData(const std::string& file) {
    dialogs.AnswerOpen(file);
    QTest::mouseClick(form.InputBtn, Qt::LeftButton);
  }
  void Run() { QTest::mouseClick(form.RunBtn, Qt::LeftButton); }
  std::vector<int> VisiblePages() const {
    std::vector<int> pages;
    for (int i = 0; i < 4; ++i)
      if (form.TabVisible(i)) pages.push_back(i);
    return pages;
  }
  ScriptedDialogService dialogs;
  ScopedDialogService scope;
  TForm1 form;
};

TEST_F(MainWindow, StartsOnTheConsolePageInDistanceMode) {
  EXPECT_EQ(form.windowTitle(), "Kestova");
  EXPECT_EQ(VisiblePages(), std::vector<int>{0});
  EXPECT_FALSE(form.RunBtn->isEnabled());
  EXPECT_TRUE(form.DistanceRBn->isChecked());
  EXPECT_EQ(form.DistanceCbx->currentText(), "Da");
  EXPECT_EQ(form.TreeCBx->currentText(), "NJ");
  EXPECT_FALSE(form.BootCkBx->isChecked());
  EXPECT_FALSE(form.BootnumSEdt->isEnabled());
  EXPECT_EQ(form.BootnumSEdt->AsInteger(), 1000);
  EXPECT_FALSE(form.HGstCBx->isEnabled());
  EXPECT_EQ(form.TreeBox->TreeWidth(), 400);
  EXPECT_EQ(form.TreeBox->PixelsPerOTU(), 24);
}

TEST_F(MainWindow, SwitchingModesKeepsTheBootstrapBoxRule) {
  for (bool checked : {false, true}) {
    SCOPED_TRACE(checked ? "bootstrap checked" : "bootstrap unchecked");
    form.BootCkBx->setChecked(checked);
    form.BootCkBxClick();
    QTest::mouseClick(form.GstHRBn, Qt::LeftButton);
    EXPECT_TRUE(form.HGstCBx->isEnabled());
    EXPECT_FALSE(form.DistanceCbx->isEnabled());
    EXPECT_FALSE(form.TreeCBx->isEnabled());
    EXPECT_FALSE(form.BootCkBx->isEnabled());
    EXPECT_FALSE(form.BootnumSEdt->isEnabled());
    QTest::mouseClick(form.DistanceRBn, Qt::LeftButton);
    EXPECT_TRUE(form.DistanceCbx->isEnabled());
    EXPECT_TRUE(form.BootCkBx->isEnabled());
    EXPECT_EQ(form.BootnumSEdt->isEnabled(), checked);
    EXPECT_FALSE(form.HGstCBx->isEnabled());
  }
}

TEST_F(MainWindow, ChoosingADataFileShowsItAndEnablesRun) {
  ChooseData(Sample("trout_microsat.gen"));
  EXPECT_TRUE(form.RunBtn->isEnabled());
  EXPECT_THAT(form.ConsoleMemo->toPlainText().toStdString(), HasSubstr("Pop"));
  dialogs.AnswerOpen(std::nullopt);
  QTest::mouseClick(form.InputBtn, Qt::LeftButton);
  EXPECT_EQ(form.DataFileName(), Sample("trout_microsat.gen"));
}

TEST_F(MainWindow, ADistanceRunShowsOutputAndPhylogeny) {
  RunFolder folder;
  ChooseData(Sample("trout_microsat.gen"));
  form.BootCkBx->setChecked(true);
  form.BootCkBxClick();
  form.BootnumSEdt->SetValue(100);
  Run();
  EXPECT_EQ(VisiblePages(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(form.PageCtrl->currentIndex(), TForm1::kTreePage);
  EXPECT_EQ(form.TreeBox->NoOfOTUs(), 6);
  EXPECT_THAT(form.OutputMemo->toPlainText().toStdString(), HasSubstr("Avon"));
  EXPECT_FALSE(fs::exists(folder.File("kestova.$$$")));
}

TEST_F(MainWindow, AGstRunShowsOnlyOutput) {
  RunFolder folder;
  ChooseData(Sample("trout_microsat.gen"));
  QTest::mouseClick(form.GstHRBn, Qt::LeftButton);
  Run();
  EXPECT_EQ(VisiblePages(), (std::vector<int>{0, 2}));
  EXPECT_EQ(form.PageCtrl->currentIndex(), TForm1::kOutputPage);
  EXPECT_THAT(form.OutputMemo->toPlainText().toStdString(), HasSubstr("Gst"));
}

TEST_F(MainWindow, AToolMessageShowsTheErrorPage) {
  RunFolder folder;
  const fs::path bad = folder.File("bad.gen");
  std::ofstream(bad) << "title\nlocus1\nPop\nind1 , 0101 0202\n";
  ChooseData(bad.string());
  Run();
  EXPECT_EQ(form.PageCtrl->currentIndex(), TForm1::kErrorPage);
  EXPECT_TRUE(form.TabVisible(TForm1::kErrorPage));
  EXPECT_FALSE(form.ErrorMemo->toPlainText().isEmpty());
}

TEST_F(MainWindow, AMissingToolSaysLaunchFailed) {
  RunFolder folder(false);
  ChooseData(Sample("trout_microsat.gen"));
  dialogs.ClearCalls();
  Run();
  ASSERT_EQ(dialogs.Count("message"), 1);
  EXPECT_EQ(dialogs.Calls()[0].text, "Kestova launch failed!");
  EXPECT_EQ(dialogs.Calls()[0].caption, "Error");
  EXPECT_EQ(dialogs.Calls()[0].type, TMsgDlgType::mtError);
}

TEST_F(MainWindow, WidthAndSeparationMenus) {
  RunFolder folder;  // the view takes sizes once it holds a tree
  ChooseData(Sample("trout_microsat.gen"));
  Run();
  QAction* w1500 = form.WidthPMenu->actions().back();
  ASSERT_EQ(w1500->text(), "1500");
  w1500->trigger();
  EXPECT_EQ(form.TreeBox->TreeWidth(), 1500);
  for (QAction* a : form.WidthPMenu->actions()) EXPECT_EQ(a->isChecked(), a == w1500) << a->text().toStdString();
  QAction* h6 = form.HeightPMenu->actions().back();
  ASSERT_EQ(h6->text(), "6");
  h6->trigger();
  EXPECT_EQ(form.TreeBox->PixelsPerOTU(), 72);
  for (QAction* a : form.HeightPMenu->actions()) EXPECT_EQ(a->isChecked(), a == h6) << a->text().toStdString();
}

TEST_F(MainWindow, ActionsFollowTheFocusAndTheTreeMethod) {
  RunFolder folder;
  ChooseData(Sample("trout_microsat.gen"));
  Run();
  form.ActionUpdate();
  EXPECT_FALSE(form.ActionFlip->isEnabled());
  form.TreeBox->FocusOnNode(form.TreeBox->NoOfOTUs() + 1);
  form.ActionUpdate();
  EXPECT_TRUE(form.ActionFlip->isEnabled());
  EXPECT_TRUE(form.ActionSwap->isEnabled());
  EXPECT_FALSE(form.ActionRootOnBranch->isEnabled());
  form.TreeBox->FocusOnBranch(1);
  form.ActionUpdate();
  EXPECT_TRUE(form.ActionRootOnBranch->isEnabled());
  form.TreeCBx->setCurrentIndex(1);
  form.ActionUpdate();
  EXPECT_FALSE(form.ActionRootOnBranch->isEnabled());
  EXPECT_TRUE(form.ActionFlip->isEnabled());
}

TEST_F(MainWindow, LineWidthListSetsThePen) {
  form.BranchWidthCmbBx->setCurrentIndex(4);
  form.BranchWidthCmbBxChange();
  EXPECT_EQ(form.TreeBox->BranchPen().Width, 5);
}

TEST_F(MainWindow, SavingWritesTheReRootedTreeWithTheRunsSupportTotal) {
  RunFolder folder;
  ChooseData(Sample("trout_microsat.gen"));
  form.BootCkBx->setChecked(true);
  form.BootCkBxClick();
  form.BootnumSEdt->SetValue(100);
  Run();
  const fs::path before = folder.File("before.nwk"), after = folder.File("after.nwk");
  dialogs.AnswerSave(before.string());
  form.SaveTBtnClick();
  form.TreeBox->FocusOnBranch(1);  // taxon 1's branch
  form.ActionRootOnBranchExecute();
  // Changing the controls after the run does not change the saved support.
  form.BootCkBx->setChecked(false);
  dialogs.AnswerSave(after.string());
  form.SaveTBtnClick();
  const std::string a = ReadAll(before), b = ReadAll(after);
  EXPECT_THAT(a, HasSubstr("Avon"));
  EXPECT_NE(a, b);
  EXPECT_THAT(b, ::testing::MatchesRegex(".*\\)[01]\\.[0-9]{4}:.*"));  // support as proportions of 100
}

}  // namespace
