// The tree view: nodes, expanding with a veto, hit tests, label editing,
// the node stream across a new window, right clicks, hot tracking, lines,
// whole-line selection, the delayed change report, auto-expanding, the
// frame, caption tips, the stored options and the scroll messages.

#include "platform/controls/TreeView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Writer.h"
#include "platform/controls/DragManager.h"
#include "platform/controls/HintWindow.h"
#include "platform/controls/Hints.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/ScrollBars.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/QtGraphics.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"

namespace {

// "a(b c(d)) e" in tree order, with indexes and state indexes.
std::string Shape(TCustomTreeView& View) {
  std::string out;
  for (TTreeNode* n = View.Items()->GetFirstNode(); n; n = n->GetNext()) {
    out += std::to_string(n->Level()) + n->Text() + "/" + std::to_string(n->ImageIndex()) + "/" +
           std::to_string(n->StateIndex()) + " ";
  }
  return out;
}

struct TreeFixture : ::testing::Test {
  TForm form{nullptr};
  TTreeView* view = new TTreeView(&form);
  TTreeNode *a, *b, *c, *d, *e;
  std::string log;

  void SetUp() override {
    form.SetBounds(0, 0, 300, 300);
    view->SetParent(&form);
    view->SetBounds(0, 0, 200, 200);
    Build();
  }
  void Build() {
    a = view->Items()->Add(nullptr, "a");
    b = view->Items()->AddChild(a, "b");
    c = view->Items()->AddChild(a, "c");
    d = view->Items()->AddChild(c, "d");
    e = view->Items()->Add(a, "e");
    b->SetImageIndex(3);
    d->SetStateIndex(2);
  }
  void Expanding(TObject*, TTreeNode* Node, bool& Allow) {
    log += "expanding " + Node->Text() + ";";
    Allow = Node->Text() != "c";
  }
  void Expanded(TObject*, TTreeNode* Node) { log += "expanded " + Node->Text() + ";"; }
  void Editing(TObject*, TTreeNode* Node, bool& Allow) {
    log += "editing " + Node->Text() + ";";
    Allow = Node != e;
  }
  void Edited(TObject*, TTreeNode* Node, std::string& S) {
    log += "edited " + Node->Text() + ">" + S + ";";
    S += "!";
  }
};

TEST_F(TreeFixture, NodesKeepTreeOrderAndPlaces) {
  EXPECT_EQ(Shape(*view), "0a/-1/-1 1b/3/-1 1c/-1/-1 2d/-1/2 0e/-1/-1 ");
  EXPECT_EQ(view->Items()->Count(), 5);
  EXPECT_EQ(view->Items()->Item(3), d);
  EXPECT_EQ(d->Parent(), c);
  EXPECT_EQ(c->Index(), 1);
  EXPECT_EQ(d->AbsoluteIndex(), 3);
  EXPECT_EQ(e->GetPrev(), d);
  view->Items()->Insert(c, "x");
  view->Items()->AddChildFirst(a, "y");
  EXPECT_EQ(Shape(*view), "0a/-1/-1 1y/-1/-1 1b/3/-1 1x/-1/-1 1c/-1/-1 2d/-1/2 0e/-1/-1 ");
  c->Delete();
  EXPECT_EQ(view->Items()->Count(), 5);
  EXPECT_THROW(view->Items()->Item(5), EListError);
}

TEST_F(TreeFixture, AMovedNodeTakesItsSubtreeAndKeepsItsStates) {
  struct Row {
    const char* name;
    TTreeNode* TreeFixture::*node;
    TTreeNode* TreeFixture::*destination;  // nullptr: the top level
    TNodeAttachMode mode;
    const char* shape;
  };
  const Row rows[] = {
      {"after the last top node", &TreeFixture::c, &TreeFixture::e, naAdd, "a(b) e c(d)"},
      {"first child", &TreeFixture::c, &TreeFixture::e, naAddChildFirst, "a(b) e(c(d))"},
      {"before a node", &TreeFixture::c, &TreeFixture::a, naInsert, "c(d) a(b) e"},
      {"last child", &TreeFixture::c, &TreeFixture::b, naAddChild, "a(b(c(d))) e"},
      {"first sibling", &TreeFixture::e, &TreeFixture::d, naAddFirst, "a(b c(e d))"},
      {"to the top level", &TreeFixture::d, nullptr, naAdd, "a(b c) e d"},
      {"into its own subtree: nothing", &TreeFixture::a, &TreeFixture::d, naAddChild, "a(b c(d)) e"},
      {"onto itself: nothing", &TreeFixture::c, &TreeFixture::c, naInsert, "a(b c(d)) e"},
  };
  const auto shape = [&] {
    const auto walk = [](auto&& self, TTreeNode* First) -> std::string {
      std::string out;
      for (TTreeNode* n = First; n; n = n->getNextSibling()) {
        out += (out.empty() ? "" : " ") + n->Text();
        if (n->Count() > 0) out += "(" + self(self, n->GetFirstChild()) + ")";
      }
      return out;
    };
    return walk(walk, view->Items()->GetFirstNode());
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    view->Items()->Clear();
    Build();
    a->Expand(false);
    c->Expand(false);
    view->SetSelected(d);
    TTreeNode* node = this->*row.node;
    const std::string before = node->Text();
    node->MoveTo(row.destination ? this->*row.destination : nullptr, row.mode);
    EXPECT_EQ(shape(), row.shape);
    EXPECT_EQ(node->Text(), before);  // the same node object
    EXPECT_TRUE(c->Expanded());
    EXPECT_EQ(view->Selected(), d);
    EXPECT_TRUE(d->Selected());
  }
}

TEST_F(TreeFixture, ExpandingAsksFirstAndAVetoHoldsForCodeAndUser) {
  view->OnExpanding = TTVExpandingEvent::Of<&TreeFixture::Expanding>(*this);
  view->OnExpanded = TTVExpandedEvent::Of<&TreeFixture::Expanded>(*this);
  a->Expand(false);
  c->Expand(false);
  EXPECT_TRUE(a->Expanded());
  EXPECT_FALSE(c->Expanded());
  // The user's expand (the Qt item changes first) is put back.
  c->ItemId()->setExpanded(true);
  EXPECT_FALSE(c->Expanded());
  EXPECT_EQ(log, "expanding a;expanded a;expanding c;expanding c;");
}

TEST_F(TreeFixture, HitTestsNameTheLinePart) {
  TImageList images(16, 16), states(16, 16);
  view->SetImages(&images);
  view->SetStateImages(&states);
  a->Expand(false);
  c->Expand(false);
  form.Show();
  const Rect rc = c->DisplayRect(true), rd = d->DisplayRect(true), re = e->DisplayRect(true);
  ASSERT_GT(rc.bottom, rc.top);
  const int cy = (rc.top + rc.bottom) / 2, dy = (rd.top + rd.bottom) / 2, ey = (re.top + re.bottom) / 2;
  // The label starts after the state image and the image.
  const int itemLeft = rc.left - 17 - 16;
  struct Row {
    int x, y;
    THitTests hit;
    TTreeNode* node;
  };
  const Row rows[] = {
      {itemLeft - 4, cy, {htOnButton}, c},                // c has a child
      {rd.left - 17 - 16 - 4, dy, {htOnIndent}, nullptr},  // d has none
      {rd.left - 17 - 16 + 3, dy, {htOnStateIcon, htOnItem}, d},
      {itemLeft + 3, cy, {htOnIndent}, nullptr},  // c shows no state image
      {rc.left - 5, cy, {htOnIcon, htOnItem}, c},
      {rc.left + 1, cy, {htOnLabel, htOnItem}, c},
      {rc.right + 2, cy, {htOnRight}, nullptr},
      {re.left + 1, re.bottom + 40, {htNowhere}, nullptr},
      {-1, ey, {htToLeft}, nullptr},
      {5, -3, {htAbove}, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.x) + "," + std::to_string(row.y));
    EXPECT_EQ(view->GetHitTestInfoAt(row.x, row.y).Bits(), row.hit.Bits());
    EXPECT_EQ(view->GetNodeAt(row.x, row.y), row.node);
  }
}

TEST_F(TreeFixture, NewWindowMakesNewNodesWithTheSameContent) {
  b->Data = &log;
  const std::string before = Shape(*view);
  int deleted = 0;
  struct Counter {
    int& n;
    void Deletion(TObject*, TTreeNode*) { ++n; }
  } counter{deleted};
  view->OnDeletion = TTVExpandedEvent::Of<&Counter::Deletion>(counter);
  view->RecreateWnd();
  EXPECT_EQ(Shape(*view), before);
  EXPECT_EQ(view->Items()->Item(1)->Data, &log);
  EXPECT_EQ(deleted, 0);  // the nodes did not go away for the user
  view->Items()->Clear();
  EXPECT_EQ(deleted, 5);
  view->RecreateWnd();
  EXPECT_EQ(view->Items()->Count(), 0);
}

TEST_F(TreeFixture, DamagedNodeStreamRaisesAndAddsNothing) {
  TMemoryStream good;
  view->Items()->WriteData(good);
  std::vector<std::uint8_t> bytes = good.Bytes();
  struct Row {
    const char* name;
    std::vector<std::uint8_t> data;
  };
  std::vector<std::uint8_t> shortened(bytes.begin(), bytes.end() - 3);
  std::vector<std::uint8_t> hugeCount = bytes;
  hugeCount[0] = 0xFF, hugeCount[1] = 0xFF, hugeCount[2] = 0xFF, hugeCount[3] = 0x0F;
  std::vector<std::uint8_t> longText = bytes;
  longText[4 + 24] = 0xF0;  // first text length
  const Row rows[] = {{"short", shortened}, {"count", hugeCount}, {"text", longText}, {"empty", {}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TMemoryStream stream(row.data);
    EXPECT_THROW(view->Items()->ReadData(stream), EReadError);
    EXPECT_EQ(view->Items()->Count(), 5);
  }
  TMemoryStream stream(bytes);
  view->Items()->ReadData(stream);
  EXPECT_EQ(view->Items()->Count(), 10);
}

TEST_F(TreeFixture, LabelEditAsksOnceAndTheNodeTakesTheEditedText) {
  view->OnEditing = TTVEditingEvent::Of<&TreeFixture::Editing>(*this);
  view->OnEdited = TTVEditedEvent::Of<&TreeFixture::Edited>(*this);
  form.Show();
  EXPECT_FALSE(e->EditText());
  EXPECT_FALSE(view->IsEditing());
  ASSERT_TRUE(b->EditText());
  ASSERT_TRUE(view->IsEditing());
  auto* editor = static_cast<QLineEdit*>(view->EditWindow()->Handle());
  EXPECT_EQ(editor->text().toStdString(), "b");
  editor->setText("bee");
  EXPECT_TRUE(b->EndEdit(false));
  QApplication::processEvents();
  EXPECT_FALSE(view->IsEditing());
  EXPECT_EQ(b->Text(), "bee!");
  EXPECT_EQ(log, "editing e;editing b;edited b>bee;");
  view->SetReadOnly(true);
  EXPECT_FALSE(b->EditText());
}

// A tree view is a window-coloured box of its own, whatever its parent's
// colour: on a button-face parent the grey of an unfocused selection kept
// with HideSelection off must still stand out.
TEST_F(TreeFixture, HasTheWindowColourAndShowsAnUnfocusedSelection) {
  form.SetColor(clBtnFace);
  EXPECT_EQ(view->Color(), clWindow);
  EXPECT_FALSE(view->ParentColor());
  form.SetColor(clYellow);
  EXPECT_EQ(view->Color(), clWindow);
  form.SetColor(clBtnFace);

  view->SetHideSelection(false);
  view->SetSelected(a);
  form.Show();
  ASSERT_FALSE(view->Focused());
  const QImage image = view->TreeWidget()->viewport()->grab().toImage();
  const Rect label = a->DisplayRect(true);
  const QColor selected = image.pixelColor(static_cast<int>(label.right) - 2, static_cast<int>(label.top) + 1);
  const QColor empty = image.pixelColor(image.width() - 2, image.height() - 2);
  EXPECT_NE(selected, empty);
}

TEST_F(TreeFixture, ControlCustomDrawCanSkipTheItems) {
  form.Show();
  int items = 0, controls = 0;
  bool drawItems = true;
  view->OnCustomDrawItem = TTVCustomDrawItemEvent([&](TCustomTreeView*, TTreeNode*, TCustomDrawState, bool&) { ++items; });
  view->OnCustomDraw = TTVCustomDrawEvent([&](TCustomTreeView* Sender, const Rect& ARect, bool& DefaultDraw) {
    ++controls;
    EXPECT_EQ(ARect.right, Sender->TreeWidget()->viewport()->width());
    DefaultDraw = drawItems;
  });
  view->TreeWidget()->viewport()->grab();
  EXPECT_EQ(items, 2);  // a and e
  drawItems = false;
  view->TreeWidget()->viewport()->grab();
  EXPECT_EQ(items, 2);
  EXPECT_EQ(controls, 2);
}

TEST_F(TreeFixture, DragPositionsAreInTheSameClientAreaAsHitTests) {
  form.Show();
  TTreeNode* seen = nullptr;
  view->OnDragOver = TDragOverEvent([&](TObject*, TObject*, int X, int Y, TDragState, bool& Accept) {
    seen = view->GetNodeAt(X, Y);
    Accept = true;
  });
  // The last pixel row of "a": one pixel lower is "e".
  const Rect r = a->DisplayRect(true);
  TDragControlObject object(view);
  TDragRec rec{view->TreeWidget()->viewport()->mapToGlobal(QPoint(r.left + 2, r.bottom - 1)), &object, view};
  view->Perform(CM_DRAG, dmDragMove, reinterpret_cast<std::intptr_t>(&rec));
  EXPECT_EQ(seen, a);
}

QPoint Centre(TTreeNode* Node) {
  const Rect r = Node->DisplayRect(true);
  return {static_cast<int>(r.left + r.right) / 2, static_cast<int>(r.top + r.bottom) / 2};
}

TEST_F(TreeFixture, RightClickMovesTheSelectionOnlyWithRightClickSelect) {
  a->Expand(false);
  auto* popup = new TPopupMenu(&form);
  popup->Items()->Add(new TMenuItem(popup));
  view->SetPopupMenu(popup);
  std::string shown;
  popup->OnPopup = TNotifyEvent([&](TObject*) { shown += view->Selected() ? view->Selected()->Text() : "-"; });
  form.Show();
  QWidget* viewport = view->TreeWidget()->viewport();
  struct Row {
    bool select;
    TTreeNode* TreeFixture::*clicked;  // nullptr: beside the captions
    const char* atPopup;
    const char* after;
  };
  const Row rows[] = {
      {false, &TreeFixture::c, "b", "b"},
      {true, &TreeFixture::c, "c", "c"},
      {true, nullptr, "b", "b"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.select) + (row.clicked ? (this->*row.clicked)->Text() : "-"));
    view->SetRightClickSelect(row.select);
    view->SetSelected(b);
    shown.clear();
    const QPoint at = row.clicked ? Centre(this->*row.clicked) : QPoint(190, Centre(c).y());
    QTest::mousePress(viewport, Qt::RightButton, Qt::NoModifier, at);
    EXPECT_EQ(shown, row.atPopup);
    EXPECT_EQ(view->Selected()->Text(), row.after);
    popup->Items()->SubMenu()->hide();
    // The window's own request for the same press is dropped.
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &request);
    EXPECT_EQ(shown, row.atPopup);
    QTest::mouseRelease(viewport, Qt::RightButton, Qt::NoModifier, at);
  }
  // Without a menu of its own the request goes on to the parent's.
  view->SetPopupMenu(nullptr);
  form.SetPopupMenu(popup);
  shown.clear();
  QTest::mousePress(viewport, Qt::RightButton, Qt::NoModifier, Centre(c));
  EXPECT_EQ(shown, "");
  QContextMenuEvent request(QContextMenuEvent::Mouse, Centre(c), viewport->mapToGlobal(Centre(c)));
  QApplication::sendEvent(viewport, &request);
  EXPECT_EQ(shown, "c");
  popup->Items()->SubMenu()->hide();
}

TEST_F(TreeFixture, HotTrackFollowsTheMouseOverItems) {
  a->Expand(false);
  form.Show();
  QWidget* viewport = view->TreeWidget()->viewport();
  const auto move = [&](QPoint P, Qt::MouseButtons Held = Qt::NoButton) {
    QMouseEvent event(QEvent::MouseMove, QPointF(P), viewport->mapToGlobal(QPointF(P)), Qt::NoButton, Held,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
  };
  const auto leave = [&] {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(viewport, &event);
  };
  const Qt::CursorShape hand = Screen->Cursors(crHandPoint).shape();
  view->SetHotTrack(true);
  struct Step {
    const char* name;
    std::function<void()> act;
    TTreeNode* TreeFixture::*hot;
    bool moved;  // the cursor was asked for
  };
  const Step steps[] = {
      {"over b", [&] { move(Centre(b)); }, &TreeFixture::b, true},
      {"over e", [&] { move(Centre(e)); }, &TreeFixture::e, true},
      {"right of e", [&] { move(QPoint(static_cast<int>(e->DisplayRect(true).right) + 5, Centre(e).y())); }, nullptr,
       true},
      {"over c", [&] { move(Centre(c)); }, &TreeFixture::c, true},
      {"leaving", leave, nullptr, false},
      {"over b again", [&] { move(Centre(b)); }, &TreeFixture::b, true},
      {"over c with a button held", [&] { move(Centre(c), Qt::LeftButton); }, nullptr, false},
      {"over b, no button", [&] { move(Centre(b)); }, &TreeFixture::b, true},
      {"leaving the control", [&] { view->Perform(CM_MOUSELEAVE, 0, 0); }, nullptr, false},
      {"over c, then off", [&] {
         move(Centre(c));
         view->SetHotTrack(false);
       }, nullptr, false},
      {"over b while off", [&] { move(Centre(b)); }, nullptr, true},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    TTreeNode* hot = step.hot ? this->*step.hot : nullptr;
    EXPECT_EQ(view->HotNode(), hot);
    if (step.moved) EXPECT_EQ(viewport->cursor().shape() == hand, hot != nullptr);
  }

  // The hot node is drawn underlined in the hot colour and says so.
  view->SetHotTrack(true);
  move(Centre(b));
  struct Drawn {
    TCustomDrawState state;
    TFontStyles style;
    TColor color = clNone;
  };
  std::map<std::string, Drawn> drawn;
  view->OnCustomDrawItem = TTVCustomDrawItemEvent([&](TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State,
                                                      bool&) {
    drawn[Node->Text()] = {State, Sender->Canvas().Font()->Style(), Sender->Canvas().Font()->Color()};
  });
  viewport->grab();
  EXPECT_TRUE(drawn["b"].state.Contains(cdsHot));
  EXPECT_TRUE(drawn["b"].style.Contains(TFontStyle::fsUnderline));
  EXPECT_EQ(drawn["b"].color, clHotLight);
  EXPECT_FALSE(drawn["c"].state.Contains(cdsHot));
  EXPECT_FALSE(drawn["c"].style.Contains(TFontStyle::fsUnderline));
  b->Delete();  // the hot node goes
  EXPECT_EQ(view->HotNode(), nullptr);
}

// Pixels of Colour in the rectangle [Left, Right) x [Top, Bottom) of Image.
int CountPixels(const QImage& Image, QColor Colour, int Left, int Top, int Right, int Bottom) {
  int n = 0;
  for (int y = std::max(Top, 0); y < std::min(Bottom, Image.height()); ++y)
    for (int x = std::max(Left, 0); x < std::min(Right, Image.width()); ++x) n += Image.pixelColor(x, y) == Colour;
  return n;
}

TEST_F(TreeFixture, LinesJoinTheNodesOnlyWithShowLines) {
  a->Expand(false);
  form.Show();
  QWidget* viewport = view->TreeWidget()->viewport();
  const QColor dots = QColorOf(clGrayText);
  // b has no button: its indent holds lines only; e's column the top
  // level's line from a.
  struct Row {
    bool showLines, showRoot;
    bool bLines, eLines;
  };
  const Row rows[] = {{true, true, true, true}, {false, true, false, false}, {true, false, true, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.showLines) + std::to_string(r.showRoot));
    view->SetShowLines(r.showLines);
    view->SetShowRoot(r.showRoot);
    const QImage image = viewport->grab().toImage();
    const Rect nb = b->DisplayRect(true), ne = e->DisplayRect(true);
    EXPECT_EQ(CountPixels(image, dots, 0, static_cast<int>(nb.top), static_cast<int>(nb.left) - 1,
                          static_cast<int>(nb.bottom)) > 0,
              r.bLines);
    EXPECT_EQ(CountPixels(image, dots, 0, static_cast<int>(ne.top), static_cast<int>(ne.left) - 1,
                          static_cast<int>(ne.bottom)) > 0,
              r.eLines);
  }
}

TEST_F(TreeFixture, RowSelectTakesTheWholeLine) {
  a->Expand(false);
  view->SetHideSelection(false);
  form.Show();
  QWidget* viewport = view->TreeWidget()->viewport();
  const Rect rb = b->DisplayRect(true);
  const int y = Centre(b).y();
  const QPoint indent(static_cast<int>(rb.left) - 10, y), right(viewport->width() - 3, y);
  struct Row {
    bool rowSelect;
    QPoint at;
    TTreeNode* TreeFixture::*selected;  // after a press there, from e
  };
  const Row rows[] = {
      {false, indent, &TreeFixture::e}, {false, right, &TreeFixture::e},
      {true, indent, &TreeFixture::b},  {true, right, &TreeFixture::b},
      {true, Centre(b), &TreeFixture::b},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.rowSelect) + " " + std::to_string(r.at.x()));
    view->SetRowSelect(r.rowSelect);
    view->SetSelected(e);
    EXPECT_EQ(view->GetNodeAt(r.at.x(), r.at.y()), r.rowSelect ? b : nullptr);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, r.at);
    EXPECT_EQ(view->Selected(), this->*r.selected);
  }

  // The highlight: the caption only, or the line from edge to edge.
  view->SetSelected(b);
  form.SetFocus();  // a kept selection without focus is drawn in clBtnFace
  ASSERT_FALSE(view->Focused());
  const QColor kept = QColorOf(clBtnFace);
  for (bool rowSelect : {false, true}) {
    SCOPED_TRACE(rowSelect);
    view->SetRowSelect(rowSelect);
    const QImage image = viewport->grab().toImage();
    EXPECT_EQ(image.pixelColor(static_cast<int>(rb.left) + 1, static_cast<int>(rb.top) + 1), kept);
    EXPECT_EQ(image.pixelColor(right.x(), static_cast<int>(rb.top) + 1) == kept, rowSelect);
    EXPECT_EQ(image.pixelColor(2, static_cast<int>(rb.top) + 1) == kept, rowSelect);
  }
}

TEST_F(TreeFixture, ChangeDelayReportsABurstOnceWithTheNodeSelectedThen) {
  form.Show();
  std::string changes;
  view->OnChange = TTVChangedEvent([&](TObject*, TTreeNode* Node) { changes += Node ? Node->Text() : "-"; });
  struct Row {
    int delay;
    const char* beforeTimer;
    const char* afterTimer;
  };
  const Row rows[] = {{0, "aea", "aea"}, {300, "", "a"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.delay);
    view->SetChangeDelay(r.delay);
    view->SetSelected(nullptr);
    changes.clear();
    view->SetSelected(a);
    view->SetSelected(e);
    view->SetSelected(a);
    EXPECT_EQ(changes, r.beforeTimer);
    view->Perform(WM_TIMER, kChangeDelayTimer, 0);
    view->Perform(WM_TIMER, kChangeDelayTimer, 0);  // a late tick reports nothing more
    EXPECT_EQ(changes, r.afterTimer);
  }
  // The real timer fires too.
  changes.clear();
  view->SetChangeDelay(1);
  view->SetSelected(e);
  EXPECT_TRUE(QTest::qWaitFor([&] { return changes == "e"; }, 1000)) << changes;
}

TEST_F(TreeFixture, AutoExpandOpensTheSelectedNodeAndClosesTheBranchLeft) {
  form.Show();
  view->SetAutoExpand(true);
  struct Step {
    TTreeNode* TreeFixture::*select;
    const char* expanded;  // the expanded nodes after it, in tree order
  };
  const Step steps[] = {
      {&TreeFixture::a, "a"},   {&TreeFixture::c, "ac"},  // a is c's parent: it stays
      {&TreeFixture::d, "ac"},  {&TreeFixture::b, "a"},   // c is no parent of b
      {&TreeFixture::d, "ac"},  {&TreeFixture::e, ""},    // d, c and a are no parents of e
  };
  auto expanded = [&] {
    std::string out;
    for (TTreeNode* n = view->Items()->GetFirstNode(); n; n = n->GetNext())
      if (n->Expanded()) out += n->Text();
    return out;
  };
  for (const Step& s : steps) {
    TTreeNode* node = this->*s.select;
    SCOPED_TRACE(node->Text());
    if (node == d) c->Expand(false);  // d shows only below an open c
    if (!node->IsVisible()) node->Parent()->Expand(false);
    view->SetSelected(node);
    EXPECT_EQ(expanded(), s.expanded);
  }
  view->SetAutoExpand(false);
  view->SetSelected(a);
  EXPECT_EQ(expanded(), "");
}

TEST_F(TreeFixture, BorderStyleNoneLeavesOutTheFrame) {
  form.Show();
  QTreeWidget* tree = view->TreeWidget();
  EXPECT_EQ(view->BorderStyle(), bsSingle);
  EXPECT_GT(tree->frameWidth(), 0);
  view->SetBorderStyle(bsNone);
  EXPECT_EQ(tree->frameWidth(), 0);
  EXPECT_EQ(tree->viewport()->geometry().topLeft(), QPoint(0, 0));
  view->SetBorderStyle(bsSizeable);  // a form's style means a frame
  EXPECT_EQ(view->BorderStyle(), bsSingle);
  EXPECT_GT(tree->frameWidth(), 0);
}

TEST_F(TreeFixture, ToolTipsShowTheWholeCaptionOfACutNode) {
  const int pause = Application->HintPause();
  Application->SetHintPause(1);
  Application->SetHintShortPause(1);
  TTreeNode* longNode = view->Items()->Add(nullptr, "a caption far wider than the view itself");
  view->SetWidth(120);
  form.Show();
  QWidget* viewport = view->TreeWidget()->viewport();
  auto showing = [] { return ApplicationHintWindow() && ApplicationHintWindow()->IsHintVisible(); };
  auto move = [&](QPoint P) {
    QMouseEvent event(QEvent::MouseMove, QPointF(P), viewport->mapToGlobal(QPointF(P)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
  };
  const QPoint onLong(static_cast<int>(longNode->DisplayRect(true).left) + 5, Centre(longNode).y());
  ASSERT_GT(longNode->DisplayRect(true).right, viewport->width());

  move(onLong);
  ASSERT_TRUE(QTest::qWaitFor(showing, 1000));
  EXPECT_EQ(ApplicationHintWindow()->Caption(), longNode->Text());
  // Over the caption, not below the mouse.
  EXPECT_LT(ApplicationHintWindow()->Top(), viewport->mapToGlobal(onLong).y());

  move(Centre(a));  // a shows whole
  EXPECT_FALSE(showing());
  QTest::qWait(30);
  EXPECT_FALSE(showing());

  view->SetToolTips(false);
  move(onLong);
  QTest::qWait(30);
  EXPECT_FALSE(showing());
  Application->SetHintPause(pause);
}

TEST(TreeViewStore, TheViewOptionsAreReadAndWrittenBackDefaultsLeftOut) {
  RegisterClasses({TTreeView::StaticClass()});
  TForm holder{nullptr, TForm::CreateNew{}};
  holder.SetName("Holder");
  TStringStream text(
      "object Holder: TForm\n"
      "  object View: TTreeView\n"
      "    BorderStyle = bsNone\n"
      "    ShowLines = False\n"
      "    ToolTips = False\n"
      "    RowSelect = True\n"
      "    AutoExpand = True\n"
      "    ChangeDelay = 250\n"
      "  end\n"
      "end\n");
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  ReadComponentFromStream(binary, &holder);
  auto* view = dynamic_cast<TTreeView*>(holder.FindComponent("View"));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->BorderStyle(), bsNone);
  EXPECT_FALSE(view->ShowLines());
  EXPECT_FALSE(view->ToolTips());
  EXPECT_TRUE(view->RowSelect());
  EXPECT_TRUE(view->AutoExpand());
  EXPECT_EQ(view->ChangeDelay(), 250);
  auto written = [&] {
    TMemoryStream out;
    WriteComponentToStream(out, &holder);
    out.SetPosition(0);
    TStringStream back;
    ObjectBinaryToText(out, back);
    return back.DataString();
  };
  const char* lines[] = {"BorderStyle = bsNone", "ShowLines = False", "ToolTips = False",
                         "RowSelect = True",     "AutoExpand = True", "ChangeDelay = 250"};
  const std::string stored = written();
  for (const char* line : lines) EXPECT_NE(stored.find(line), std::string::npos) << line << "\n" << stored;

  view->SetBorderStyle(bsSingle);
  view->SetShowLines(true);
  view->SetToolTips(true);
  view->SetRowSelect(false);
  view->SetAutoExpand(false);
  view->SetChangeDelay(0);
  const std::string defaults = written();
  for (const char* name : {"BorderStyle", "ShowLines", "ToolTips", "RowSelect", "AutoExpand", "ChangeDelay"})
    EXPECT_EQ(defaults.find(name), std::string::npos) << name << "\n" << defaults;
}

TEST(TreeScroll, BarActionsArriveAsScrollMessagesThatScroll) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 300);
  auto* view = new TTreeView(&form);
  view->SetParent(&form);
  view->SetBounds(0, 0, 200, 120);
  for (int i = 0; i < 40; ++i) view->Items()->Add(nullptr, "node " + std::to_string(i));
  form.Show();
  QScrollBar* bar = view->TreeWidget()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 10);
  std::vector<std::pair<int, int>> heard;  // code, position
  bool swallow = false;
  const TWndMethod old = view->WindowProc;
  view->WindowProc = TWndMethod([&](TMessage& Message) {
    if (Message.Msg == WM_VSCROLL) {
      heard.emplace_back(ScrollCode(Message.WParam), ScrollPos(Message.WParam));
      if (swallow) return;
    }
    old(Message);
  });
  struct Row {
    const char* name;
    std::function<void()> act;
    int code, pos;
  };
  const Row rows[] = {
      {"line down", [&] { bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); }, SB_LINEDOWN, 1},
      {"page down", [&] { bar->triggerAction(QAbstractSlider::SliderPageStepAdd); }, SB_PAGEDOWN, 1 + bar->pageStep()},
      {"line up", [&] { bar->triggerAction(QAbstractSlider::SliderSingleStepSub); }, SB_LINEUP, bar->pageStep()},
      {"to the end", [&] { bar->triggerAction(QAbstractSlider::SliderToMaximum); }, SB_BOTTOM, bar->maximum()},
      {"wheel up", [&] {
         QWheelEvent wheel(QPointF(50, 50), view->TreeWidget()->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                           QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
         QApplication::sendEvent(view->TreeWidget()->viewport(), &wheel);
       }, SB_THUMBPOSITION, -1},
      {"sent", [&] { view->Perform(WM_VSCROLL, SB_TOP, 0); }, SB_TOP, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    heard.clear();
    const int before = bar->value();
    row.act();
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].first, row.code);
    if (row.pos >= 0) {
      EXPECT_EQ(bar->value(), row.pos);
    } else {
      EXPECT_LT(bar->value(), before);
      EXPECT_EQ(heard[0].second, bar->value());
    }
    EXPECT_EQ(bar->sliderPosition(), bar->value());
  }
  // A control that keeps the message keeps the view where it is.
  swallow = true;
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(bar->sliderPosition(), 0);
  view->WindowProc = old;
}

}  // namespace
