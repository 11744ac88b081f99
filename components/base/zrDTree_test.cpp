// The owner-drawn tree view: check cycles, node fonts, stored node
// attributes, drag keys, drag expanding and automatic scrolling.

#include "components/base/zrDTree.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QScrollBar>
#include <QTreeWidget>
#include <string>

#include "components/base/PropAccess.h"
#include "platform/controls/DragManager.h"
#include "platform/controls/EditCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/core/Streams.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageList.h"
#include "platform/ui/Screen.h"

namespace {

// The plain owner-drawn view, with nothing of the views built on it.
class TPlainDrawTreeView : public TCustomZRDrawTreeView {
  KESTOVA_CLASS(TPlainDrawTreeView)
 public:
  explicit TPlainDrawTreeView(TComponent* AOwner) : TCustomZRDrawTreeView(AOwner) {}
};
KESTOVA_CLASS_INFO(TPlainDrawTreeView, TCustomZRDrawTreeView, "zrDTreeTest", MakeComponent<TPlainDrawTreeView>)

struct FixedSource : TScreenSource {
  Point pos{0, 0};
  Size ScreenSize() override { return {1920, 1080}; }
  Point CursorPos() override { return pos; }
};

struct DrawTreeFixture : ::testing::Test {
  TForm form{nullptr};
  TPlainDrawTreeView* view = new TPlainDrawTreeView(&form);
  TDrawNode *a, *b, *c, *d, *e;
  std::string clicks;

  void SetUp() override {
    form.SetBounds(0, 0, 300, 300);
    view->SetParent(&form);
    view->SetBounds(0, 0, 200, 200);
    a = Add(nullptr, "a");
    b = Add(a, "b");
    c = Add(a, "c");
    d = Add(c, "d");
    e = Add(nullptr, "e");
  }
  TDrawNode* Add(TDrawNode* Parent, const char* Text) {
    return static_cast<TDrawNode*>(Parent ? view->Items()->AddChild(Parent, Text) : view->Items()->Add(nullptr, Text));
  }
  void ClickCheck(TObject*, TTreeNode* Node) { clicks += Node->Text(); }
  static std::string States(std::initializer_list<TDrawNode*> Nodes) {
    static const char* kNames[] = {"u", "c", "g", "n"};
    std::string out;
    for (TDrawNode* n : Nodes) out += kNames[n->CheckState()];
    return out;
  }
};

TEST(CheckStateImages, MapBothWays) {
  struct Row {
    TCheckState state;
    int box, radio;
  };
  const Row rows[] = {{csUnchecked, 1, 5}, {csChecked, 2, 6}, {csGrayed, 4, 8}, {csNone, -1, -1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.state);
    EXPECT_EQ(CheckStateImage(row.state, false), row.box);
    EXPECT_EQ(CheckStateImage(row.state, true), row.radio);
    EXPECT_EQ(CheckStateOfImage(row.box, false), row.state);
    EXPECT_EQ(CheckStateOfImage(row.radio, true), row.state);
  }
  EXPECT_EQ(CheckStateOfImage(3, false), csUnchecked);
  EXPECT_EQ(CheckImages()->Count(), 9);
}

TEST_F(DrawTreeFixture, CheckClicksCycleAsTheTableSays) {
  view->SetCheckBoxes(true);
  view->OnClickCheck = TZRClickCheckEvent::Of<&DrawTreeFixture::ClickCheck>(*this);
  struct Row {
    const char* name;
    bool viewGrey, nodeGrey, readOnly;
    std::string cycle;
  };
  const Row rows[] = {
      {"plain", false, true, false, "ucuc"},
      {"grey view only", true, false, false, "ucuc"},
      {"grey", true, true, false, "ugcu"},
      {"read only", true, true, true, "uuuu"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    view->SetAllowGrayed(row.viewGrey);
    e->SetAllowGrayed(row.nodeGrey);
    e->SetCheckState(csUnchecked);
    view->SetReadOnly(row.readOnly);
    std::string cycle = States({e});
    for (int i = 0; i < 3; ++i) {
      view->ToggleCheck(e);
      cycle += States({e});
    }
    EXPECT_EQ(cycle, row.cycle);
    EXPECT_EQ(e->TTreeNode::StateIndex(), CheckStateImage(e->CheckState(), false));
  }
  EXPECT_EQ(clicks, "eeeeeeeee");  // none while read only
  view->SetReadOnly(false);

  // A click on the state icon toggles; elsewhere it does not.
  form.Show();
  const Rect label = e->DisplayRect(true);
  const int y = (label.top + label.bottom) / 2;
  view->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(label.left - 16 + 4, y));
  EXPECT_EQ(e->CheckState(), csGrayed);
  view->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(label.left + 2, y));
  EXPECT_EQ(e->CheckState(), csGrayed);
}

TEST_F(DrawTreeFixture, RadioItemsExcludeEachOtherAndStayChecked) {
  view->SetCheckBoxes(true);
  view->OnClickCheck = TZRClickCheckEvent::Of<&DrawTreeFixture::ClickCheck>(*this);
  for (TDrawNode* n : {b, c}) n->SetRadioItem(true);
  TDrawNode* f = Add(a, "f");
  f->SetRadioItem(true);
  EXPECT_EQ(b->TTreeNode::StateIndex(), 5);
  view->ToggleCheck(b);
  view->ToggleCheck(c);
  EXPECT_EQ(States({b, c, f}), "ucu");
  view->ToggleCheck(c);  // stays checked, still told
  EXPECT_EQ(States({b, c, f}), "ucu");
  f->SetChecked(true);
  EXPECT_EQ(States({b, c, f}), "uuc");
  EXPECT_EQ(clicks, "bcc");
  EXPECT_EQ(f->TTreeNode::StateIndex(), 6);
  f->Delete();  // the last radio node goes: nothing dangles
  b->SetChecked(true);
  EXPECT_EQ(States({b, c}), "cu");
}

TEST_F(DrawTreeFixture, OwnColourStopsFollowingTheViewFont) {
  b->SetFontColor(clRed);
  EXPECT_FALSE(b->ParentColor());
  c->SetFontStyle(TFontStyles{TFontStyle::fsItalic});
  TFont font;
  font.SetColor(clBlue);
  font.SetStyle(TFontStyles{TFontStyle::fsBold});
  view->SetFont(&font);
  EXPECT_EQ(b->FontColor(), clRed);
  EXPECT_EQ(b->FontStyle(), TFontStyles{TFontStyle::fsBold});
  EXPECT_EQ(c->FontColor(), clBlue);
  EXPECT_EQ(c->FontStyle(), TFontStyles{TFontStyle::fsItalic});
  EXPECT_EQ(d->FontColor(), clBlue);
  b->SetParentColor(true);
  EXPECT_EQ(b->FontColor(), clBlue);
  EXPECT_TRUE(b->ParentColor());
}

TEST_F(DrawTreeFixture, CheckBoxesOffGiveBackEachStateIndex) {
  TImageList states(16, 16);
  view->SetStateImages(&states);
  b->SetStateIndex(3);
  d->SetStateIndex(7);
  view->SetCheckBoxes(true);
  EXPECT_EQ(b->TTreeNode::StateIndex(), 1);
  EXPECT_EQ(d->StateIndex(), 7);
  d->SetChecked(true);
  view->SetCheckBoxes(false);
  EXPECT_EQ(b->TTreeNode::StateIndex(), 3);
  EXPECT_EQ(d->TTreeNode::StateIndex(), 7);
  EXPECT_EQ(a->TTreeNode::StateIndex(), -1);
  EXPECT_EQ(view->StateImages(), &states);
}

std::string Describe(TCustomTreeView& View) {
  std::string out;
  for (TTreeNode* n = View.Items()->GetFirstNode(); n; n = n->GetNext()) {
    auto* d = static_cast<TDrawNode*>(n);
    out += d->Text() + ":" + std::to_string(d->FontColor()) + "/" + std::to_string(d->FontStyle().Bits()) + "/" +
           std::to_string(d->CheckState()) + "/" + std::to_string(d->NodeState().Bits()) + "/" +
           std::to_string(d->ParentColor()) + std::to_string(d->RadioItem()) + " ";
  }
  return out;
}

TEST_F(DrawTreeFixture, NewWindowKeepsColoursStylesChecksAndSelection) {
  view->SetCheckBoxes(true);
  view->SetAllowGrayed(true);
  b->SetFontColor(clRed);
  c->SetFontStyle(TFontStyles{TFontStyle::fsBold, TFontStyle::fsUnderline});
  d->SetCheckState(csGrayed);
  e->SetRadioItem(true);
  e->SetChecked(true);
  a->Expand(false);
  view->SetSelected(c);
  const std::string before = Describe(*view);
  view->RecreateWnd();
  EXPECT_EQ(Describe(*view), before);
  ASSERT_NE(view->Selected(), nullptr);
  EXPECT_EQ(view->Selected()->Text(), "c");
  EXPECT_EQ(view->Items()->Item(3)->StateIndex(), 4);
}

TEST_F(DrawTreeFixture, StoredFormRoundTripsThroughText) {
  view->SetCheckBoxes(true);
  b->SetFontColor(clRed);
  c->SetFontStyle(TFontStyles{TFontStyle::fsItalic});
  d->SetChecked(true);
  a->Expand(false);
  TMemoryStream text;
  WriteObjectText(text, view);
  const std::string written(text.Bytes().begin(), text.Bytes().end());
  EXPECT_NE(written.find("DrawData"), std::string::npos) << written;
  EXPECT_EQ(written.find("NodeState"), std::string::npos);
  TPlainDrawTreeView copy(nullptr);
  text.SetPosition(0);
  ReadObjectText(text, &copy);
  std::string expected = Describe(*view);
  // Expansion is no stored attribute.
  expected.replace(expected.find("/32/"), 4, "/0/");
  EXPECT_EQ(Describe(copy), expected);
  TMemoryStream again;
  WriteObjectText(again, &copy);
  EXPECT_EQ(std::string(again.Bytes().begin(), again.Bytes().end()), written);
}

TEST_F(DrawTreeFixture, ShorterOrLongerDrawDataAppliesInTreeOrder) {
  b->SetFontColor(clRed);
  d->SetChecked(true);
  TMemoryStream full;
  view->WriteDrawData(full, false);
  // Three nodes: the first three entries apply, the rest are dropped.
  TPlainDrawTreeView small(nullptr);
  TDrawNode* x = static_cast<TDrawNode*>(small.Items()->Add(nullptr, "x"));
  small.Items()->AddChild(x, "y");
  small.Items()->Add(nullptr, "z");
  full.SetPosition(0);
  small.ReadDrawData(full);
  EXPECT_EQ(static_cast<TDrawNode*>(small.Items()->Item(1))->FontColor(), clRed);
  EXPECT_EQ(static_cast<TDrawNode*>(small.Items()->Item(2))->CheckState(), csUnchecked);
  // Seven nodes: five entries, the last two nodes keep their defaults.
  TPlainDrawTreeView big(nullptr);
  for (int i = 0; i < 7; ++i) big.Items()->Add(nullptr, std::to_string(i));
  auto* last = static_cast<TDrawNode*>(big.Items()->Item(6));
  last->SetFontColor(clGreen);
  full.SetPosition(0);
  big.ReadDrawData(full);
  EXPECT_EQ(static_cast<TDrawNode*>(big.Items()->Item(3))->CheckState(), csChecked);
  EXPECT_EQ(last->FontColor(), clGreen);
  EXPECT_EQ(static_cast<TDrawNode*>(big.Items()->Item(5))->CheckState(), csUnchecked);
}

struct DrawLog {
  std::string text;
  void Item(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState, bool&) {
    TCanvas& canvas = Sender->Canvas();
    text += Node->Text() + ":" + std::to_string(canvas.Font()->Color()) + "/" +
            std::to_string(canvas.Font()->Style().Bits()) + "/" + std::to_string(canvas.Brush()->Color()) + " ";
  }
};

TEST_F(DrawTreeFixture, ItemsDrawInTheNodeFontUnlessSelectedAndFocused) {
  TFont font;
  font.SetStyle(TFontStyles{TFontStyle::fsBold});
  view->SetFont(&font);
  a->Expand(false);
  b->SetFontColor(clRed);
  c->SetFontStyle(TFontStyles{TFontStyle::fsItalic});
  c->SetFontColor(clGreen);
  DrawLog log;
  view->OnCustomDrawItem = TTVCustomDrawItemEvent::Of<&DrawLog::Item>(log);
  form.Show();
  form.Handle()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.Handle()));
  view->SetSelected(c);
  auto* other = new TEdit(&form);
  other->SetParent(&form);
  other->SetBounds(210, 0, 80, 24);
  other->SetFocus();
  ASSERT_FALSE(view->Focused());
  const auto paint = [&] {
    log.text.clear();
    view->TreeWidget()->viewport()->grab();
    return log.text;
  };
  const std::string bold = std::to_string(TFontStyles{TFontStyle::fsBold}.Bits());
  const std::string both = std::to_string(TFontStyles{TFontStyle::fsBold, TFontStyle::fsItalic}.Bits());
  const std::string window = std::to_string(clWindow), text = std::to_string(clWindowText);
  // Unfocused: the selected node keeps its colour on the button face.
  std::string unfocused = paint();
  EXPECT_NE(unfocused.find("b:" + std::to_string(clRed) + "/" + bold + "/" + window), std::string::npos) << unfocused;
  EXPECT_NE(unfocused.find("c:" + std::to_string(clGreen) + "/" + both + "/" + std::to_string(clBtnFace)),
            std::string::npos)
      << unfocused;
  view->SetFocus();
  ASSERT_TRUE(view->Focused());
  const std::string focused = paint();
  EXPECT_NE(focused.find("c:" + std::to_string(clHighlightText) + "/" + both + "/" + std::to_string(clHighlight)),
            std::string::npos)
      << focused;
  EXPECT_NE(focused.find("e:" + text + "/" + bold + "/" + window), std::string::npos) << focused;

  // Hot tracking: the hot node shows the hot colour over its own, underlined.
  view->SetHotTrack(true);
  const Rect rb = b->DisplayRect(true);
  const QPointF over((rb.left + rb.right) / 2.0, (rb.top + rb.bottom) / 2.0);
  QWidget* viewport = view->TreeWidget()->viewport();
  QMouseEvent move(QEvent::MouseMove, over, viewport->mapToGlobal(over), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &move);
  ASSERT_EQ(view->HotNode(), b);
  const std::string underlined = std::to_string(TFontStyles{TFontStyle::fsBold, TFontStyle::fsUnderline}.Bits());
  const std::string hot = paint();
  EXPECT_NE(hot.find("b:" + std::to_string(clHotLight) + "/" + underlined + "/" + window), std::string::npos) << hot;
}

TEST_F(DrawTreeFixture, CaptionEditAsksOnceAndHooksTheEditor) {
  int asked = 0;
  view->OnEditing = TTVEditingEvent([&](TObject*, TTreeNode*, bool&) { ++asked; });
  form.Show();
  ASSERT_TRUE(b->EditText());
  EXPECT_EQ(asked, 1);
  TWinControl* editor = view->EditWindow();
  ASSERT_NE(editor, nullptr);
  // The view's own procedure sits in front of the editor's.
  const TWndMethod own = TWndMethod::Of<&TWinControl::WndProc>(*editor);
  EXPECT_FALSE(editor->WindowProc == own);
  editor->SetBounds(editor->Left() + 5, editor->Top(), editor->Width(), editor->Height());
  b->EndEdit(true);
  QApplication::processEvents();
  EXPECT_FALSE(view->IsEditing());
  view->OnEditing = TTVEditingEvent([&](TObject*, TTreeNode*, bool& Allow) {
    ++asked;
    Allow = false;
  });
  EXPECT_FALSE(c->EditText());
  EXPECT_EQ(asked, 2);
}

struct DragFixture : DrawTreeFixture {
  FixedSource source;
  TScreenSource* oldSource = nullptr;
  TObject* endTarget = &form;
  void SetUp() override {
    DrawTreeFixture::SetUp();
    DrawTreeStartUp();
    oldSource = Screen->SetSource(&source);
    view->OnDragOver = TDragOverEvent([](TObject*, TObject*, int, int, TDragState, bool& Accept) { Accept = true; });
    view->OnEndDrag = TEndDragEvent([this](TObject*, TObject* Target, int, int) { endTarget = Target; });
    form.Show();
  }
  void TearDown() override {
    view->EndDrag(false);
    Screen->SetSource(oldSource);
    Screen->SetCursor(crDefault);
    DrawTreeShutDown();
  }
  void PointAt(TTreeNode* Node) {
    const Rect r = Node->DisplayRect(true);
    const QPoint g = view->TreeWidget()->viewport()->mapToGlobal(QPoint(r.left + 2, (r.top + r.bottom) / 2));
    source.pos = {g.x(), g.y()};
  }
  QTreeWidget* Tree() { return static_cast<QTreeWidget*>(view->Handle()); }
};

TEST_F(DragFixture, CtrlAndEscDuringADragReachTheHookChain) {
  PointAt(b);
  view->SetFocus();
  view->BeginDrag(true);
  ASSERT_EQ(TCustomZRDrawTreeView::DraggingView(), view);
  Screen->SetCursor(crDrag);
  QTest::keyPress(Tree(), Qt::Key_Control, Qt::ControlModifier);
  EXPECT_EQ(view->DragCursor(), crTreeDragCopy);
  EXPECT_EQ(Screen->Cursor(), crTreeDragCopy);
  QTest::keyRelease(Tree(), Qt::Key_Control, Qt::NoModifier);
  EXPECT_EQ(view->DragCursor(), crDrag);
  view->SetMultiDrag(true);
  QTest::keyPress(Tree(), Qt::Key_Control, Qt::ControlModifier);
  EXPECT_EQ(view->DragCursor(), crTreeDragMultiCopy);
  QTest::keyRelease(Tree(), Qt::Key_Control, Qt::NoModifier);
  EXPECT_EQ(view->DragCursor(), crMultiDrag);
  QTest::keyClick(Tree(), Qt::Key_Escape);
  EXPECT_EQ(endTarget, nullptr);  // cancelled
  EXPECT_EQ(TCustomZRDrawTreeView::DraggingView(), nullptr);
  EXPECT_FALSE(view->Dragging());
}

TEST_F(DragFixture, CollapsedNodeExpandsWhenTheExpandTimerFires) {
  PointAt(a);
  TDragControlObject object(view);
  TDragRec rec{QPoint(static_cast<int>(source.pos.x), static_cast<int>(source.pos.y)), &object, view};
  for (bool expand : {false, true}) {
    SCOPED_TRACE(expand);
    view->SetExpandOnDrag(expand);
    view->Perform(CM_DRAG, dmDragMove, reinterpret_cast<std::intptr_t>(&rec));
    view->Perform(WM_TIMER, kExpandTimer, 0);
    EXPECT_EQ(a->Expanded(), expand);
  }
  view->Perform(CM_DRAG, dmDragLeave, reinterpret_cast<std::intptr_t>(&rec));
}

TEST_F(DragFixture, ExpandTimerRunsForTheDelayAndStopsWhenTheDragLeaves) {
  PointAt(a);
  TDragControlObject object(view);
  TDragRec rec{QPoint(static_cast<int>(source.pos.x), static_cast<int>(source.pos.y)), &object, view};
  view->SetDragExpandDelay(30);
  view->Perform(CM_DRAG, dmDragMove, reinterpret_cast<std::intptr_t>(&rec));
  view->Perform(CM_DRAG, dmDragLeave, reinterpret_cast<std::intptr_t>(&rec));
  QTest::qWait(120);
  EXPECT_FALSE(a->Expanded());
  view->Perform(CM_DRAG, dmDragMove, reinterpret_cast<std::intptr_t>(&rec));
  view->RecreateWnd();  // the window's timers stop with it
  QTest::qWait(120);
  EXPECT_FALSE(view->Items()->GetFirstNode()->Expanded());
  PointAt(view->Items()->GetFirstNode());
  rec.Pos = QPoint(static_cast<int>(source.pos.x), static_cast<int>(source.pos.y));
  view->Perform(CM_DRAG, dmDragMove, reinterpret_cast<std::intptr_t>(&rec));
  EXPECT_TRUE(QTest::qWaitFor([&] { return view->Items()->GetFirstNode()->Expanded(); }, 1000));
}

TEST_F(DragFixture, ScrollTimerStepsTowardsTheEdge) {
  for (int i = 0; i < 60; ++i) view->Items()->Add(nullptr, "n" + std::to_string(i));
  view->SetAutoScroll(true);
  QApplication::processEvents();
  QWidget* viewport = Tree()->viewport();
  const QPoint bottom = viewport->mapToGlobal(QPoint(viewport->width() / 2, viewport->height() - 2));
  source.pos = {bottom.x(), bottom.y()};
  TDragControlObject object(view);
  TDragRec rec{bottom, &object, view};
  view->Perform(CM_DRAG, dmDragMove, reinterpret_cast<std::intptr_t>(&rec));
  EXPECT_EQ(view->ScrollDirections(), sdDown);
  const int before = Tree()->verticalScrollBar()->value();
  view->Perform(WM_TIMER, kScrollTimer, 0);
  EXPECT_EQ(Tree()->verticalScrollBar()->value(), before + 1);
  const Rect line = view->Items()->GetFirstNode()->DisplayRect(false);
  EXPECT_EQ(view->ScrollDeltaY(), -(line.bottom - line.top));  // one line, in pixels
  view->Perform(CM_DRAG, dmDragLeave, reinterpret_cast<std::intptr_t>(&rec));
}

TEST(AutoScroll, DirectionsFollowTheTable) {
  using S = TCustomTreeView::TScrollState;
  const S none{0, 0, 0, 0}, middle{0, 99, 10, 40}, start{0, 99, 10, 0}, end{0, 99, 10, 90};
  struct Row {
    const char* name;
    Point p;
    S h, v;
    int dirs;
  };
  // 100 x 80 client, margin 16.
  const Row rows[] = {
      {"origin", {0, 0}, middle, middle, 0},
      {"left", {5, 40}, middle, middle, sdLeft},
      {"left at start", {5, 40}, start, middle, 0},
      {"right", {90, 40}, middle, middle, sdRight},
      {"right at end", {90, 40}, end, middle, 0},
      {"right without bar", {90, 40}, none, middle, 0},
      {"up", {50, 3}, middle, middle, sdUp},
      {"down", {50, 70}, middle, middle, sdDown},
      {"down at end", {50, 70}, middle, end, 0},
      {"corner", {95, 75}, middle, middle, sdRight | sdDown},
      {"inside", {50, 40}, middle, middle, 0},
      {"above left", {-30, -30}, middle, middle, sdLeft | sdUp},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(AutoScrollDirections(row.p, 16, 100, 80, row.h, row.v), row.dirs);
  }
  EXPECT_EQ(AutoScrollInterval({-25, 40}, 100, 80), 100);
  EXPECT_EQ(AutoScrollInterval({-26, 40}, 100, 80), 10);
  EXPECT_EQ(AutoScrollInterval({50, 104}, 100, 80), 100);
  EXPECT_EQ(AutoScrollInterval({50, 105}, 100, 80), 10);
}

}  // namespace
