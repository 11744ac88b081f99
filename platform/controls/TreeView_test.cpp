// The tree view: nodes, expanding with a veto, hit tests, label editing and
// the node stream across a new window.

#include "platform/controls/TreeView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <string>

#include "platform/controls/DragManager.h"
#include "platform/controls/Forms.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/ImageList.h"

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

}  // namespace
