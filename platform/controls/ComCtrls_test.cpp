// Progress bars and the tabbed controls.

#include "platform/controls/ComCtrls.h"

#include <gtest/gtest.h>

#include <QProgressBar>
#include <QTabBar>
#include <QTest>
#include <string>

namespace {

TEST(TProgressBar, KeepsPositionInRangeAndStepsAroundPastMax) {
  TProgressBar bar(nullptr);
  bar.SetMax(25);
  bar.SetStep(10);
  struct Row {
    const char* op;
    int position;
  };
  const Row rows[] = {{"step", 10},  {"step", 20}, {"step", 0},    {"by 30", 25},
                      {"by -40", 0}, {"min 5", 5}, {"pos 99", 25}, {"max 12", 12}};
  for (const Row& row : rows) {
    const std::string op = row.op;
    if (op == "step") bar.StepIt();
    if (op.starts_with("by ")) bar.StepBy(std::stoi(op.substr(3)));
    if (op.starts_with("min ")) bar.SetMin(std::stoi(op.substr(4)));
    if (op.starts_with("pos ")) bar.SetPosition(std::stoi(op.substr(4)));
    if (op.starts_with("max ")) bar.SetMax(std::stoi(op.substr(4)));
    EXPECT_EQ(bar.Position(), row.position) << op;
  }
  auto* window = static_cast<QProgressBar*>(bar.Handle());
  EXPECT_EQ(window->value(), 12);
  EXPECT_EQ(window->minimum(), 5);
}

struct TabLog {
  std::string text;
  bool allow = true;
  void Changing(TObject*, bool& Allow) {
    text += "changing;";
    Allow = allow;
  }
  void Changed(TObject*) { text += "change;"; }
  void Hook(TCustomTabControl& Control) {
    Control.OnChanging = TTabChangingEvent::Of<&TabLog::Changing>(*this);
    Control.OnChange = TNotifyEvent::Of<&TabLog::Changed>(*this);
  }
};

void ClickTab(TWinControl& Control, int Index) {
  auto* bar = Control.Handle()->findChild<QTabBar*>();
  ASSERT_NE(bar, nullptr);
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(Index).center());
}

TEST(TPageControl, ShowsOnlyTheActiveSheetAndAsksBeforeTheUsersPick) {
  TWinControl form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  form.Show();
  auto* pages = new TPageControl(&form);
  pages->SetParent(&form);
  pages->SetBounds(0, 0, 300, 200);
  TabLog log;
  log.Hook(*pages);
  TTabSheet* sheets[3];
  for (int i = 0; i < 3; ++i) {
    sheets[i] = new TTabSheet(&form);
    sheets[i]->SetCaption("page " + std::to_string(i));
    sheets[i]->SetPageControl(pages);
  }
  EXPECT_EQ(pages->ActivePage(), sheets[0]);
  EXPECT_EQ(sheets[1]->BoundsRect(), (Rect{4, 28, 296, 196}));
  auto* bar = pages->Handle()->findChild<QTabBar*>();
  ASSERT_EQ(bar->count(), 3);
  EXPECT_EQ(bar->tabText(2).toStdString(), "page 2");

  ClickTab(*pages, 2);
  EXPECT_EQ(pages->ActivePageIndex(), 2);
  EXPECT_TRUE(sheets[2]->Visible());
  EXPECT_FALSE(sheets[0]->Visible());
  log.allow = false;
  ClickTab(*pages, 1);
  EXPECT_EQ(pages->ActivePageIndex(), 2);
  EXPECT_EQ(bar->currentIndex(), 2);
  EXPECT_EQ(log.text, "changing;change;changing;");

  pages->SetActivePageIndex(0);  // by code: nothing asked or told
  EXPECT_EQ(log.text, "changing;change;changing;");
  form.RecreateWnd();
  bar = pages->Handle()->findChild<QTabBar*>();
  EXPECT_EQ(bar->count(), 3);
  EXPECT_EQ(bar->currentIndex(), 0);

  sheets[0]->Free();
  EXPECT_EQ(pages->ActivePage(), nullptr);
  EXPECT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(bar->count(), 2);
  EXPECT_EQ(sheets[2]->PageIndex(), 1);
}

TEST(TTabControl, FollowsItsTabsAndTabIndex) {
  TWinControl form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  form.Show();
  auto* tabs = new TTabControl(&form);
  tabs->SetParent(&form);
  TabLog log;
  log.Hook(*tabs);
  for (const char* tab : {"one", "two", "three"}) tabs->Tabs()->Add(tab);
  tabs->SetTabIndex(0);
  ClickTab(*tabs, 1);
  EXPECT_EQ(tabs->TabIndex(), 1);
  tabs->SetTabIndex(5);
  EXPECT_EQ(tabs->TabIndex(), -1);
  tabs->SetTabIndex(2);
  tabs->Tabs()->Delete(2);
  EXPECT_EQ(tabs->TabIndex(), 1);
  EXPECT_EQ(tabs->Handle()->findChild<QTabBar*>()->count(), 2);
  EXPECT_EQ(log.text, "changing;change;");
}

}  // namespace
