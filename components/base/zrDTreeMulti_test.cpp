// The multi-select tree view: marks by Ctrl, Shift and the rubber band,
// siblings only, the delayed selection report, several nodes dragged, right
// clicks, whole-line hits, lines, and the band while the view scrolls.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <stdexcept>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "components/base/zrDTree.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/ScrollBars.h"
#include "platform/graphics/PainterContext.h"
#include "platform/graphics/QtGraphics.h"
#include "platform/ui/Screen.h"

namespace {

class TTestMSView : public TCustomMSTreeView {
 public:
  using TCustomMSTreeView::TCustomMSTreeView;
  using TCustomMSTreeView::Focus;
  using TCustomMSTreeView::Mark;
  using TCustomMSTreeView::EndRubberBand;
  using TCustomMSTreeView::ScrollUnit;
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

  // A click with modifiers, then the marks and the focused node it leaves.
  struct ClickStep {
    TDrawNode* MultiSelectFixture::*node;
    Qt::KeyboardModifiers modifiers;
    const char* marks;
    const char* focus;
  };
  void ClickThrough(std::initializer_list<ClickStep> Steps) {
    for (const ClickStep& step : Steps) {
      TDrawNode* node = this->*step.node;
      SCOPED_TRACE(node->Text() + " " + std::to_string(step.modifiers.toInt()));
      Click(node, step.modifiers);
      EXPECT_EQ(Marks(), step.marks);
      ASSERT_NE(view->Selected(), nullptr);
      EXPECT_EQ(view->Selected()->Text(), step.focus);
    }
  }
};

TEST_F(MultiSelectFixture, ClicksMarkAsTheModifiersSay) {
  ClickThrough({
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
  });
}

TEST_F(MultiSelectFixture, TheOwnerDrawnViewDrawsLinesOnlyWithShowLines) {
  const QColor dots = QColorOf(clGrayText);
  for (bool on : {true, false}) {
    SCOPED_TRACE(on);
    view->SetShowLines(on);
    const QImage image = Viewport()->grab().toImage();
    const Rect rb = b->DisplayRect(true);
    int found = 0;
    // b has no button: left of its item are only lines.
    for (int y = static_cast<int>(rb.top); y < static_cast<int>(rb.bottom); ++y)
      for (int x = 0; x < static_cast<int>(rb.left) - 2; ++x) found += image.pixelColor(x, y) == dots;
    EXPECT_EQ(found > 0, on);
  }
}

TEST_F(MultiSelectFixture, WithRowSelectAPressBesideACaptionHitsItsNode) {
  Click(g);
  const Rect rb = b->DisplayRect(true);
  const int y = Centre(b).y();
  struct Row {
    bool rowSelect;
    QPoint at;
    bool band;
    const char* marks;
    const char* focus;
  };
  const Row rows[] = {
      {false, QPoint(static_cast<int>(rb.left) - 5, y), true, "g", "g"},   // the indent
      {false, QPoint(static_cast<int>(rb.right) + 20, y), true, "g", "g"},  // right of the caption
      {true, QPoint(static_cast<int>(rb.left) - 5, y), false, "b", "b"},
      {true, QPoint(static_cast<int>(rb.right) + 20, y), false, "b", "b"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.rowSelect) + " " + std::to_string(r.at.x()));
    view->SetRowSelect(r.rowSelect);
    Click(g);
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, r.at);
    EXPECT_EQ(view->RubberBandActive(), r.band);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, r.at);
    EXPECT_EQ(Marks(), r.marks);
    ASSERT_NE(view->Selected(), nullptr);
    EXPECT_EQ(view->Selected()->Text(), r.focus);
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

  ClickThrough({
      {&MultiSelectFixture::e, Qt::ControlModifier, "bc", "b"},  // focus marked: nothing changes
      {&MultiSelectFixture::b, Qt::ControlModifier, "c", "b"},   // b unmarked, still focused
      {&MultiSelectFixture::e, Qt::ControlModifier, "e", "e"},   // the focus moves to e; c is no sibling
  });
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

TEST_F(MultiSelectFixture, RightClickShowsThePopupForTheClickedNodeAndMarksIt) {
  auto* popup = new TPopupMenu(&form);
  popup->Items()->Add(new TMenuItem(popup));
  view->SetPopupMenu(popup);
  std::string atPopup;
  popup->OnPopup = TNotifyEvent([&](TObject*) { atPopup = view->Selected()->Text() + ":" + Marks(); });
  struct Row {
    bool multiSelect, rightClickSelect;
    const char* atPopup;  // selected node : marks
    const char* after;
    const char* listed;
  };
  // b selected, d Ctrl-marked (with MultiSelect); then a right click on f.
  const Row rows[] = {
      {true, false, "b:bd", "b:bd", "bd"},
      {true, true, "f:bdf", "b:bdf", "dbf"},
      {false, true, "f:f", "f:f", ""},
      {false, false, "b:b", "b:b", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.multiSelect) + std::to_string(row.rightClickSelect));
    view->SetMultiSelect(row.multiSelect);
    view->SetRightClickSelect(row.rightClickSelect);
    Click(b);
    if (row.multiSelect) Click(d, Qt::ControlModifier);
    atPopup.clear();
    QTest::mousePress(Viewport(), Qt::RightButton, Qt::NoModifier, Centre(f));
    QTest::mouseRelease(Viewport(), Qt::RightButton, Qt::NoModifier, Centre(f));
    popup->Items()->SubMenu()->hide();
    EXPECT_EQ(atPopup, row.atPopup);
    EXPECT_EQ(view->Selected()->Text() + ":" + Marks(), row.after);
    if (row.multiSelect) EXPECT_EQ(Listed(), row.listed);
  }
  // A right click ends a band and draws nothing.
  view->SetMultiSelect(true);
  QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(150, Centre(b).y()));
  ASSERT_TRUE(view->RubberBandActive());
  QTest::mousePress(Viewport(), Qt::RightButton, Qt::NoModifier, Centre(f));
  popup->Items()->SubMenu()->hide();
  EXPECT_FALSE(view->RubberBandActive());
  EXPECT_TRUE(view->Overlay().Empty());
}

TEST_F(MultiSelectFixture, CheckBoxClicksToggleWithAndWithoutMultiSelect) {
  view->SetCheckBoxes(true);
  for (bool multi : {true, false}) {
    SCOPED_TRACE(multi);
    view->SetMultiSelect(multi);
    const TCheckState before = b->CheckState();
    const Rect line = b->DisplayRect(false), caption = b->DisplayRect(true);
    // The state image lies just left of the caption.
    const QPoint icon(static_cast<int>(caption.left) - 8, static_cast<int>(line.top + line.bottom) / 2);
    ASSERT_TRUE(view->GetHitTestInfoAt(icon.x(), icon.y()).Contains(htOnStateIcon));
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, icon);
    EXPECT_NE(b->CheckState(), before);
  }
}

// A band drawn over a long list; the view scrolls under it.
struct BandScrollFixture : MultiSelectFixture {
  std::vector<TDrawNode*> more;
  void SetUp() override {
    MultiSelectFixture::SetUp();
    for (int i = 0; i < 40; ++i) more.push_back(Add(nullptr, ("n" + std::to_string(i)).c_str()));
    QApplication::processEvents();
  }
  QScrollBar* Bar() { return view->TreeWidget()->verticalScrollBar(); }
  int Line() const { return static_cast<int>(a->DisplayRect(false).bottom - a->DisplayRect(false).top); }
  void MoveHeld(QPoint P) {
    QMouseEvent move(QEvent::MouseMove, QPointF(P), Viewport()->mapToGlobal(QPointF(P)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Viewport(), &move);
  }
  // The pixels the overlay changes on a white image of the viewport.
  std::vector<QPoint> OverlayPixels() {
    QImage image(Viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      view->Overlay().Play(painter);
    }
    std::vector<QPoint> out;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) != QColor(Qt::white).rgb()) out.emplace_back(x, y);
    return out;
  }
};

TEST_F(BandScrollFixture, TheOriginFollowsTheItemsWhenTheViewScrolls) {
  ASSERT_GT(Bar()->maximum(), 5);
  ASSERT_EQ(view->ScrollUnit(TCustomTreeView::TScrollAxis::Vertical), Line());
  view->SetHotTrack(true);
  // From beside c's caption down to beside e's.
  const QPoint start(150, Centre(c).y());
  QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, start);
  ASSERT_TRUE(view->RubberBandActive());
  EXPECT_FALSE(view->HotTrack());  // resting while the band is drawn
  const QPoint mouse(2, Centre(e).y());
  MoveHeld(mouse);
  EXPECT_EQ(Marks(), "cde");

  struct Row {
    const char* name;
    std::function<void()> scroll;
    int lines;  // how far the items moved up
    const char* marks;
  };
  const Row rows[] = {
      {"two lines down", [&] {
         Bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
         Bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
       }, 2, "cdefg"},
      {"a message", [&] { view->Perform(WM_VSCROLL, SB_LINEDOWN, 0); }, 1, "cdefgn0"},
      {"back to the top", [&] { Bar()->triggerAction(QAbstractSlider::SliderToMinimum); }, -3, "cde"},
  };
  int moved = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Rect bandBefore = view->RubberBand();
    row.scroll();
    moved += row.lines;
    EXPECT_EQ(view->RubberBandOrigin().y, start.y() - moved * Line());
    EXPECT_EQ(view->RubberBandOrigin().x, start.x());
    // The origin is still on c's line.
    const Rect rc = c->DisplayRect(false);
    EXPECT_GE(view->RubberBandOrigin().y, rc.top);
    EXPECT_LT(view->RubberBandOrigin().y, rc.bottom);
    EXPECT_EQ(Marks(), row.marks);
    // Only the new band is on screen: every changed pixel lies on its edge.
    const Rect band = view->RubberBand();
    const std::vector<QPoint> pixels = OverlayPixels();
    EXPECT_FALSE(pixels.empty());
    for (const QPoint& p : pixels) {
      const bool edge = p.x() == band.left || p.x() == band.right - 1 || p.y() == band.top || p.y() == band.bottom - 1;
      if (!edge) {
        ADD_FAILURE() << "pixel left at " << p.x() << "," << p.y() << " (band before " << bandBefore.top << ")";
        break;
      }
    }
  }
  QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, mouse);
  EXPECT_FALSE(view->RubberBandActive());
  EXPECT_TRUE(view->Overlay().Empty());
  EXPECT_TRUE(view->HotTrack());
}

TEST_F(BandScrollFixture, TheScrollTimerMovesTheOriginByWhatItScrolled) {
  view->SetAutoScroll(true);
  const QPoint start(150, Centre(b).y());
  QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, start);
  ASSERT_TRUE(view->RubberBandActive());
  // The timer reads the cursor: hold it below the items.
  const QPoint below(20, Viewport()->height() - 2);
  QCursor::setPos(Viewport()->mapToGlobal(below));
  MoveHeld(below);
  ASSERT_EQ(view->ScrollDirections() & sdDown, sdDown);
  const int before = Bar()->value();
  view->Perform(WM_TIMER, kScrollTimer, 0);
  ASSERT_EQ(Bar()->value(), before + 1);
  EXPECT_EQ(view->RubberBandOrigin().y, start.y() - Line());
  EXPECT_EQ(view->Overlay().Size(), 1u);
  view->EndRubberBand();
  EXPECT_TRUE(view->Overlay().Empty());
}

}  // namespace
