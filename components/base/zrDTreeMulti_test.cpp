// The multi-select tree view: marks by Ctrl, Shift and the rubber band,
// siblings only, the delayed selection report, several nodes dragged.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTreeWidget>
#include <stdexcept>
#include <string>

#include "components/base/zrDTree.h"
#include "platform/controls/Forms.h"
#include "platform/ui/Screen.h"

namespace {

class TTestMSView : public TCustomMSTreeView {
 public:
  using TCustomMSTreeView::TCustomMSTreeView;
  using TCustomMSTreeView::Focus;
  using TCustomMSTreeView::Mark;
};

struct MultiSelectFixture : ::testing::Test {
  TForm form{nullptr};
  TTestMSView* view = new TTestMSView(&form);
  TDrawNode *a, *b, *c, *d, *e, *f, *g;
  std::string reports;

  void SetUp() override {
    form.SetBounds(0, 0, 300, 300);
    view->SetParent(&form);
    view->SetBounds(0, 0, 200, 200);
    view->SetMultiSelect(true);
    // a (b, c (d)), e (f), g
    a = Add(nullptr, "a");
    b = Add(a, "b");
    c = Add(a, "c");
    d = Add(c, "d");
    e = Add(nullptr, "e");
    f = Add(e, "f");
    g = Add(nullptr, "g");
    view->FullExpand();
    form.Show();
    view->SetFocus();
  }
  TDrawNode* Add(TDrawNode* Parent, const char* Text) {
    return static_cast<TDrawNode*>(Parent ? view->Items()->AddChild(Parent, Text) : view->Items()->Add(nullptr, Text));
  }
  QWidget* Viewport() { return view->TreeWidget()->viewport(); }
  static QPoint Centre(TTreeNode* Node) {
    const Rect r = Node->DisplayRect(true);
    return {static_cast<int>(r.left + r.right) / 2, static_cast<int>(r.top + r.bottom) / 2};
  }
  void Click(TTreeNode* Node, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
    QTest::mouseClick(Viewport(), Qt::LeftButton, Modifiers, Centre(Node));
  }
  // The marked nodes in tree order, and the listed ones in list order.
  std::string Marks() const {
    std::string out;
    for (TTreeNode* n = view->Items()->GetFirstNode(); n; n = n->GetNext())
      if (n->GetState(nisSelected)) out += n->Text();
    return out;
  }
  std::string Listed() const {
    std::string out;
    for (TDrawNode* n : view->Selection()) out += n->Text();
    return out;
  }
  void Reported(TObject*, TTreeNode* Node) { reports += Node ? Node->Text() : "-"; }
  void Throw(TObject*, TTreeNode*) { throw std::runtime_error("report"); }
};

TEST_F(MultiSelectFixture, ClicksMarkAsTheModifiersSay) {
  struct Step {
    TDrawNode* MultiSelectFixture::*node;
    Qt::KeyboardModifiers modifiers;
    const char* marks;
    const char* focus;
  };
  const Step steps[] = {
      {&MultiSelectFixture::b, Qt::NoModifier, "b", "b"},
      {&MultiSelectFixture::d, Qt::ControlModifier, "bd", "b"},
      {&MultiSelectFixture::f, Qt::ControlModifier, "bdf", "b"},
      {&MultiSelectFixture::d, Qt::ControlModifier, "bf", "b"},   // toggles off
      {&MultiSelectFixture::d, Qt::ControlModifier, "bdf", "b"},
      {&MultiSelectFixture::d, Qt::NoModifier, "d", "d"},         // a click on a marked node, no drag
      {&MultiSelectFixture::g, Qt::ShiftModifier, "defg", "g"},   // anchor d down to g
      {&MultiSelectFixture::f, Qt::ShiftModifier, "def", "f"},    // closer: g is let go
      {&MultiSelectFixture::b, Qt::ShiftModifier, "bcd", "b"},    // across the anchor
      {&MultiSelectFixture::a, Qt::NoModifier, "a", "a"},
      {&MultiSelectFixture::c, Qt::ControlModifier, "ac", "a"},
      {&MultiSelectFixture::e, Qt::ShiftModifier, "abcde", "e"},  // after Ctrl the range starts afresh at a
  };
  for (const Step& step : steps) {
    TDrawNode* node = this->*step.node;
    SCOPED_TRACE(node->Text() + " " + std::to_string(step.modifiers.toInt()));
    Click(node, step.modifiers);
    EXPECT_EQ(Marks(), step.marks);
    ASSERT_NE(view->Selected(), nullptr);
    EXPECT_EQ(view->Selected()->Text(), step.focus);
  }
}

TEST_F(MultiSelectFixture, RubberBandMarksTheCaptionsItTouchesAndGoesAway) {
  Click(g);
  const Rect rb = b->DisplayRect(true), rd = d->DisplayRect(true), re = e->DisplayRect(true);
  ASSERT_LT(rd.left, rb.right + 20);
  const QPoint start(static_cast<int>(rb.right) + 20, static_cast<int>(rb.top) + 2);
  QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, start);
  ASSERT_TRUE(view->RubberBandActive());
  struct Row {
    QPoint to;
    const char* marks;
  };
  const Row rows[] = {
      // Down to c, then to e: the band reaches the caption of d.
      {QPoint(static_cast<int>(rb.left) + 1, static_cast<int>(rd.top) - 2), "bc"},
      {QPoint(2, static_cast<int>(re.bottom) - 2), "bcde"},
      // Back up: nodes left behind lose their marks, the focused g too.
      {QPoint(static_cast<int>(rb.left) + 1, static_cast<int>(rb.bottom) - 2), "b"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.marks);
    QTest::mouseMove(Viewport(), row.to);
    QMouseEvent move(QEvent::MouseMove, QPointF(row.to), Viewport()->mapToGlobal(QPointF(row.to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Viewport(), &move);
    EXPECT_EQ(Marks(), row.marks);
    EXPECT_EQ(view->Overlay().Size(), 1u);  // one band on screen, the old one erased
  }
  EXPECT_EQ(view->Selected(), g);
  QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(static_cast<int>(rb.left) + 1, static_cast<int>(rb.bottom) - 2));
  EXPECT_FALSE(view->RubberBandActive());
  EXPECT_TRUE(view->Overlay().Empty());
  EXPECT_EQ(Marks(), "b");
  EXPECT_EQ(Listed(), "b");
}

TEST_F(MultiSelectFixture, EscEndsTheBandAndKeepsItsMarks) {
  const Rect rb = b->DisplayRect(true), rc = c->DisplayRect(true);
  QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(150, static_cast<int>(rb.top) + 1));
  const QPoint to(static_cast<int>(rb.left) + 1, static_cast<int>(rc.bottom) - 2);
  QMouseEvent move(QEvent::MouseMove, QPointF(to), Viewport()->mapToGlobal(QPointF(to)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Viewport(), &move);
  EXPECT_EQ(Marks(), "bc");
  std::uint16_t key = VK_ESCAPE;
  view->Perform(WM_KEYDOWN, key, 0);
  EXPECT_FALSE(view->RubberBandActive());
  EXPECT_TRUE(view->Overlay().Empty());
  EXPECT_EQ(Marks(), "bc");
}

TEST_F(MultiSelectFixture, OnlySiblingsKeepsOtherParentsOut) {
  Click(b);
  Click(c, Qt::ControlModifier);
  Click(f, Qt::ControlModifier);
  Click(g, Qt::ControlModifier);
  EXPECT_EQ(Marks(), "bcfg");
  view->SetSelectOnlySiblings(true);  // b is focused: its siblings stay
  EXPECT_EQ(Marks(), "bc");
  EXPECT_EQ(Listed(), "bc");

  struct Step {
    TDrawNode* MultiSelectFixture::*node;
    Qt::KeyboardModifiers modifiers;
    const char* marks;
    const char* focus;
  };
  const Step steps[] = {
      {&MultiSelectFixture::e, Qt::ControlModifier, "bc", "b"},  // focus marked: nothing changes
      {&MultiSelectFixture::b, Qt::ControlModifier, "c", "b"},   // b unmarked, still focused
      {&MultiSelectFixture::e, Qt::ControlModifier, "e", "e"},   // the focus moves to e; c is no sibling
  };
  for (const Step& step : steps) {
    TDrawNode* node = this->*step.node;
    SCOPED_TRACE(node->Text());
    Click(node, step.modifiers);
    EXPECT_EQ(Marks(), step.marks);
    EXPECT_EQ(view->Selected()->Text(), step.focus);
  }
  EXPECT_EQ(Listed(), "");
}

TEST_F(MultiSelectFixture, OneReportAfterABurstAndNoneInsideAnUpdate) {
  view->OnSelectionChanged = TTVChangedEvent::Of<&MultiSelectFixture::Reported>(*this);
  view->SetSelected(a);
  for (TDrawNode* n : {b, c, d}) view->Mark(n, true);
  EXPECT_EQ(reports, "");
  view->Perform(WM_TIMER, kSelectionTimer, 0);
  EXPECT_EQ(reports, "d");

  reports.clear();
  view->BeginUpdate();
  view->Mark(f, true);
  view->ScheduleSelectionChanged(f);
  view->Perform(WM_TIMER, kSelectionTimer, 0);
  view->ClearSelection();
  view->Perform(WM_TIMER, kSelectionTimer, 0);
  EXPECT_EQ(reports, "");
  view->EndUpdate();
  EXPECT_EQ(reports, "");
  view->Perform(WM_TIMER, kSelectionTimer, 0);
  EXPECT_EQ(reports, "a");  // the last one scheduled: the focused node

  // The real timer: one report, SelectionDelay after the burst.
  reports.clear();
  view->SetSelectionDelay(30);
  for (TDrawNode* n : {b, g}) view->Mark(n, true);
  QTest::qWait(300);
  EXPECT_EQ(reports, "g");

  reports.clear();
  view->SetSelectionDelay(0);
  view->Mark(b, false);
  EXPECT_EQ(reports, "b");
}

TEST_F(MultiSelectFixture, NoticeErrorsAreDroppedAndDeletedNodesForgotten) {
  view->SetSelectionDelay(0);
  Click(b);
  Click(d, Qt::ControlModifier);
  Click(f, Qt::ControlModifier);
  view->OnSelectionChanged = TTVChangedEvent::Of<&MultiSelectFixture::Throw>(*this);
  EXPECT_NO_THROW(view->SetSelected(e));  // the mark moves from b to e
  view->OnSelectionChanged = {};
  EXPECT_EQ(Listed(), "df");
  c->Delete();  // d goes with it
  EXPECT_EQ(Listed(), "f");
  EXPECT_EQ(Marks(), "ef");
}

TEST_F(MultiSelectFixture, DeleteSelectionTakesMarkedNodesAndTheMarkedFocus) {
  Click(b);
  Click(f, Qt::ControlModifier);
  Click(g, Qt::ControlModifier);
  view->DeleteSelection();
  std::string left;
  for (TTreeNode* n = view->Items()->GetFirstNode(); n; n = n->GetNext()) left += n->Text();
  EXPECT_EQ(left, "acde");
  EXPECT_TRUE(view->Selection().empty());
}

TEST_F(MultiSelectFixture, SeveralNodesDragWithTheMultiCursor) {
  struct Row {
    const char* name;
    bool second;
    TCursorValue during, ctrl;
  };
  const Row rows[] = {{"one", false, crDrag, crTreeDragCopy}, {"two", true, crMultiDrag, crTreeDragMultiCopy}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Click(b);
    if (row.second) Click(d, Qt::ControlModifier);
    view->BeginDrag(true);
    EXPECT_EQ(view->DragCursor(), row.during);
    EXPECT_EQ(view->MultiDrag(), row.second);
    Screen->SetCursor(row.during);
    view->UpdateDragCursor(true);
    EXPECT_EQ(view->DragCursor(), row.ctrl);
    view->EndDrag(false);
    EXPECT_EQ(view->DragCursor(), crDrag);
    EXPECT_FALSE(view->MultiDrag());
    Screen->SetCursor(crDefault);
  }
}

TEST_F(MultiSelectFixture, MultiSelectOffKeepsOnlyTheFocusedMark) {
  Click(b);
  Click(d, Qt::ControlModifier);
  Click(g, Qt::ControlModifier);
  view->SetMultiSelect(false);
  EXPECT_EQ(Marks(), "b");
  EXPECT_EQ(view->Selected(), b);
}

TEST_F(MultiSelectFixture, ShiftArrowsExtendFromTheAnchor) {
  Click(b);
  QTest::keyClick(view->TreeWidget(), Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(view->TreeWidget(), Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(Marks(), "bcd");
  EXPECT_EQ(view->Selected(), d);
  QTest::keyClick(view->TreeWidget(), Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(Marks(), "bc");
  QTest::keyClick(view->TreeWidget(), Qt::Key_Down);
  EXPECT_EQ(Marks(), "d");
}

}  // namespace
