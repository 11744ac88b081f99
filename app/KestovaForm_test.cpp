#include "app/KestovaForm.h"

#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <cctype>
#include <filesystem>
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/ui/DialogService.h"
#include "tree/model/NTreeList.h"
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

// The groups of a Newick tree's outermost parentheses, each with its label
// and length.
std::vector<std::string> TopLevelGroups(const std::string& newick) {
  std::vector<std::string> groups;
  std::string current;
  int depth = 0;
  for (char c : newick) {
    if (c == '(' && depth++ == 0) continue;
    if (c == ')' && --depth == 0) break;
    if (c == ',' && depth == 1) {
      groups.push_back(current);
      current.clear();
      continue;
    }
    current += c;
  }
  groups.push_back(current);
  return groups;
}

// Support labels: a number right after ")".
int SupportLabels(const std::string& newick) {
  int labels = 0;
  for (size_t i = 0; i + 1 < newick.size(); ++i) labels += newick[i] == ')' && std::isdigit(newick[i + 1]);
  return labels;
}

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

TEST_F(MainWindow, SavingWritesTheTreeWithTheRootTheViewShows) {
  RunFolder folder;
  ChooseData(Sample("trout_microsat.gen"));
  form.BootCkBx->setChecked(true);
  form.BootCkBxClick();
  form.BootnumSEdt->SetValue(100);
  struct Row {
    const char* what;
    int treeMethod;  // TreeCBx
    bool reRoot;     // on taxon 1's branch
    bool radiation;
    size_t topGroups;
  } rows[] = {
      {"UPGMA keeps its root", 1, false, false, 2},
      {"NJ as drawn from its root", 0, false, false, 2},
      {"NJ re-rooted by the user", 0, true, false, 2},
      {"NJ re-rooted, then drawn as radiation", 0, true, true, 2},
      {"NJ as radiation without a root", 0, false, true, 3},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    form.TreeCBx->setCurrentIndex(r.treeMethod);
    Run();
    ASSERT_EQ(form.PageCtrl->currentIndex(), TForm1::kTreePage);
    const int n = form.TreeBox->NoOfOTUs();
    const std::string chosen = form.TreeBox->GetOTUName(1);
    if (r.reRoot) {
      form.TreeBox->FocusOnBranch(1);
      form.ActionRootOnBranchExecute();
    }
    if (r.radiation) form.ActionRadiationExecute();
    const fs::path saved = folder.File("saved.nwk");
    dialogs.AnswerSave(saved.string());
    form.SaveTBtnClick();
    const std::string text = ReadAll(saved);
    const std::vector<std::string> top = TopLevelGroups(text);
    ASSERT_EQ(top.size(), r.topGroups) << text;
    if (r.reRoot) EXPECT_TRUE(top[0].starts_with(chosen + ":") || top[1].starts_with(chosen + ":")) << text;
    // Every inner group below the root keeps its support; a root drawn
    // keeps both root clusters.
    EXPECT_EQ(SupportLabels(text), r.topGroups == 2 ? n - 2 : n - 3) << text;
    TTreeList back;
    ASSERT_TRUE(back.ImportFromNewickFile(saved.string(), nullptr));
    EXPECT_EQ(back.isRooted, r.topGroups == 2);
    form.ActionRectangleExecute();
  }
}

TEST_F(MainWindow, ASaveThatCannotBeWrittenSaysSo) {
  RunFolder folder;
  ChooseData(Sample("trout_microsat.gen"));
  Run();
  ASSERT_EQ(form.PageCtrl->currentIndex(), TForm1::kTreePage);
  const std::string unwritable = folder.File("missing/result").string();
  for (QAbstractButton* save : std::initializer_list<QAbstractButton*>{form.SaveBtn, form.SaveTBtn}) {
    SCOPED_TRACE(save->objectName().toStdString() + save->text().toStdString());
    dialogs.ClearCalls();
    dialogs.AnswerSave(unwritable);
    save->click();
    ASSERT_EQ(dialogs.Count("message"), 1);
    const auto& box = dialogs.Calls().back();
    EXPECT_THAT(box.text, HasSubstr("Cannot create file \"" + unwritable + "\""));
    EXPECT_EQ(box.type, TMsgDlgType::mtError);
  }
}

// A stand-in for the tool that takes its time and counts its runs.
class SlowTool {
 public:
  explicit SlowTool(const RunFolder& folder) : runs_(folder.File("runs")) {
    const fs::path tool = folder.File("kestova/kestova");
    std::ofstream(tool) << "#!/bin/sh\necho run >> '" << runs_.string() << "'\nsleep 1\n";
    fs::permissions(tool, fs::perms::owner_all);
  }
  int Runs() const {
    std::ifstream in(runs_);
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
  }

 private:
  fs::path runs_;
};

TEST_F(MainWindow, ClicksAndKeysDuringARunAreDropped) {
  RunFolder folder(false);
  SlowTool tool(folder);
  ChooseData(Sample("trout_microsat.gen"));
  form.show();
  QApplication::setActiveWindow(&form);
  bool busy = false, fired = false;
  QTimer::singleShot(200, &form, [&] {
    busy = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    QTest::mouseClick(form.RunBtn, Qt::LeftButton);
    form.RunBtn->setFocus();
    QTest::keyClick(form.RunBtn, Qt::Key_Space);
    QTest::mouseClick(form.GstHRBn, Qt::LeftButton);
    fired = true;
  });
  Run();
  EXPECT_TRUE(QTest::qWaitFor([&] { return fired; }, 5000));
  QTest::qWait(50);
  EXPECT_TRUE(busy) << "the busy cursor shows while the tool runs";
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(tool.Runs(), 1);
  EXPECT_TRUE(form.DistanceRBn->isChecked());
}

TEST_F(MainWindow, TheBootstrapBoxTakesItsLargestValue) {
  form.show();
  QApplication::setActiveWindow(&form);
  form.BootCkBx->setChecked(true);
  form.BootCkBxClick();
  form.BootnumSEdt->setFocus();
  form.BootnumSEdt->selectAll();
  dialogs.ClearCalls();
  QTest::keyClicks(form.BootnumSEdt, "1000000");
  EXPECT_EQ(form.BootnumSEdt->text().toStdString(), "1000000");
  EXPECT_EQ(dialogs.Count("beep"), 0);
  QTest::keyClick(form.BootnumSEdt, Qt::Key_Return);
  EXPECT_EQ(form.BootnumSEdt->AsInteger(), 1000000);
  EXPECT_EQ(form.BootnumSEdt->text().toStdString(), "1000000");
  EXPECT_GE(form.BootnumSEdt->VisibleDigitCount(), 7);
  // The caption beside it is not covered.
  EXPECT_LE(form.BootnumSEdt->geometry().right(), form.Label3->geometry().left());
}

}  // namespace
