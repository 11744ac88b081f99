// The source-bound tree view: flat refresh in place, moves and renames
// through the string source, lazy loading, the source's notices, the
// posted navigate notice, and the node index.

#include "components/base/ZrTree.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTreeWidget>
#include <cstdint>
#include <limits>
#include <map>
#include <string>

#include "components/base/zrtslite.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "platform/controls/EditCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/core/StringList.h"
#include "platform/core/Streams.h"
#include "platform/ui/DialogService.h"

namespace {

// A hierarchy filled on demand: ID -> (parent ID, caption).
class TTestTreeSource : public TComponentSource {
 public:
  using TComponentSource::TComponentSource;
  std::map<TNodeID, std::pair<TNodeID, std::string>> nodes;
  std::string log;

  void EnumChildren(TNodeID Key, TEnumNodeProc Proc, void* UserValue) override {
    log += "enum " + std::to_string(Key) + ";";
    for (const auto& [id, entry] : nodes)
      if (entry.first == Key) {
        TNodeRec rec;
        rec.ID = id;
        rec.ChildKey = kChildKeyIsID;
        rec.Text = entry.second;
        rec.Source = this;
        Proc(UserValue, rec);
      }
  }
  bool HasChildren(TNodeID Key) override {
    for (const auto& [id, entry] : nodes)
      if (entry.first == Key) return true;
    return false;
  }
  TNodeID GetParentID(TNodeID ID) override {
    const auto it = nodes.find(ID);
    return it == nodes.end() ? 0 : it->second.first;
  }
  bool CanPerform(TNodeID ID, std::int32_t Operation) override {
    return Operation == toIsHierarchy || Operation == toDelete || Operation == toEdit;
  }
  void DeleteNode(TNodeID ID) override {
    log += "delete " + std::to_string(ID) + ";";
    nodes.erase(ID);
    TComponentSource::DeleteNode(ID);
  }
  // The data holder added ID under Parent.
  void Inserted(TNodeID ID, TNodeID Parent, const std::string& Text) {
    nodes[ID] = {Parent, Text};
    TNodeRec rec;
    rec.ID = ID;
    rec.ChildKey = Parent;
    rec.Text = Text;
    rec.Source = this;
    rec.Mode = naAddChild;
    Notify(&rec, tnInserted);
  }
};

std::string Shown(TCustomTreeView& View) {
  std::string out;
  for (TTreeNode* n = View.Items()->GetFirstNode(); n; n = n->GetNext()) {
    if (!out.empty()) out += ' ';
    out += std::string(n->Level(), '>') + (n->Text().empty() ? "_" : n->Text());
  }
  return out;
}

class TTestZrView : public TCustomZrTreeView {
 public:
  using TCustomZrTreeView::TCustomZrTreeView;
  using TCustomZrTreeView::DragDrop;
};

struct ZrTreeFixture : ::testing::Test {
  TForm form{nullptr};
  TStringList list;
  TZRStringSource* strings = new TZRStringSource(&form);
  TTestZrView* view = new TTestZrView(&form);
  TTestZrView* other = new TTestZrView(&form);

  void SetUp() override {
    form.SetBounds(0, 0, 400, 300);
    for (TTestZrView* v : {view, other}) {
      v->SetParent(&form);
      v->SetOptions(v->Options() + TtreeViewOptions{toCanNavigate});
    }
    view->SetBounds(0, 0, 200, 300);
    other->SetBounds(200, 0, 200, 300);
    for (const char* s : {"one", "two", "three", "four", "five"}) list.Add(s);
    strings->SetStrings(&list);
    view->SetSource(strings);
    other->SetSource(strings);
    form.Show();
  }
  std::string Strings() const {
    std::string out;
    for (int i = 0; i < list.Count(); ++i) out += (i ? " " : "") + list.Strings(i);
    return out;
  }
  TZRTreeNode* Node(TCustomZrTreeView* View, int Index) {
    return static_cast<TZRTreeNode*>(View->Items()->Item(Index));
  }
};

TEST_F(ZrTreeFixture, AFlatSourceIsRefreshedInPlace) {
  EXPECT_EQ(Shown(*view), "one two three four five");
  TTreeNode* first = Node(view, 0);
  TTreeNode* fourth = Node(view, 3);
  struct Row {
    const char* name;
    void (*change)(TStringList&);
    const char* shown;
  };
  const Row rows[] = {
      {"renamed and appended", [](TStringList& l) { l.Put(0, "uno"); l.Add("six"); }, "uno two three four five six"},
      {"shortened", [](TStringList& l) { l.Delete(5); l.Delete(1); }, "uno three four five"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    row.change(list);
    strings->Changed();
    EXPECT_EQ(Shown(*view), row.shown);
    EXPECT_EQ(Shown(*other), row.shown);
    EXPECT_EQ(Node(view, 0), first);  // the same node objects
  }
  EXPECT_EQ(Node(view, 3), fourth);
  EXPECT_EQ(Node(view, 3)->ID(), 4);
}

TEST_F(ZrTreeFixture, MovesGoThroughTheSourceAndSelectTheMovedString) {
  struct Row {
    int from, to;
    std::uint8_t mode;
    const char* order;
    int selected;  // position of the moved string
  };
  const Row rows[] = {
      {2, 5, naInsert, "one three four two five", 4},
      {4, 2, naInsert, "one two three four five", 2},
      {1, 5, naAdd, "two three four five one", 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.order);
    Node(view, row.from - 1)->MoveTo(Node(view, row.to - 1), row.mode);
    EXPECT_EQ(Strings(), row.order);
    EXPECT_EQ(Shown(*view), row.order);
    for (TCustomZrTreeView* v : {view, other}) {
      ASSERT_NE(v->Selected(), nullptr);
      EXPECT_EQ(static_cast<TZRTreeNode*>(v->Selected())->ID(), row.selected);
    }
  }
}

TEST_F(ZrTreeFixture, DropsMoveBelowTheLastOrBeforeTheTarget) {
  struct Row {
    int dragged, target;
    const char* order;
  };
  const Row rows[] = {
      {2, 5, "one three four five two"},  // below the last: to the end
      {4, 2, "one five three four two"},  // upwards: before the node dropped on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.order);
    view->SetSelected(Node(view, row.dragged - 1));
    const Rect r = Node(view, row.target - 1)->DisplayRect(true);
    view->DragDrop(nullptr, static_cast<int>(r.left + 2), static_cast<int>(r.top + r.bottom) / 2);
    EXPECT_EQ(Strings(), row.order);
  }
}

TEST_F(ZrTreeFixture, DelDeletesNothingThroughTheStringSource) {
  ScriptedDialogService dialogs;
  ScopedDialogService scoped(dialogs);
  view->SetSelected(Node(view, 1));
  view->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(Shown(*view), "one two three four five");
  EXPECT_EQ(Strings(), "one two three four five");
  EXPECT_EQ(dialogs.Count("message"), 0);
}

TEST_F(ZrTreeFixture, F2RenameReachesTheListAndTheOtherView) {
  view->SetFocus();
  view->SetSelected(Node(view, 2));
  view->Perform(WM_KEYDOWN, VK_F1 + 1, 0);
  ASSERT_TRUE(view->IsEditing());
  static_cast<TEdit*>(view->EditWindow())->SetText("drei");
  view->Selected()->EndEdit(false);
  QApplication::processEvents();
  EXPECT_EQ(Strings(), "one two drei four five");
  EXPECT_EQ(Shown(*view), "one two drei four five");
  EXPECT_EQ(Shown(*other), "one two drei four five");
}

TEST_F(ZrTreeFixture, ClearingTheSourceEmptiesTheView) {
  view->SetSource(nullptr);
  EXPECT_EQ(Shown(*view), "");
  delete strings;  // the other view forgets it too
  EXPECT_EQ(Shown(*other), "");
  EXPECT_EQ(other->ViewSource(), nullptr);
}

struct HierarchyFixture : ::testing::Test {
  TForm form{nullptr};
  TTestTreeSource* source = new TTestTreeSource(&form);
  TCustomZrTreeView* view = new TZRTreeView(&form);

  void SetUp() override {
    source->nodes = {{1, {0, "a"}}, {2, {1, "b"}}, {3, {2, "c"}}, {4, {0, "d"}}};
    form.SetBounds(0, 0, 300, 300);
    view->SetParent(&form);
    view->SetBounds(0, 0, 300, 300);
    view->SetOptions(view->Options() + TtreeViewOptions{toCanNavigate});
    view->SetSource(source);
    form.Show();
  }
  TZRTreeNode* Find(TNodeID ID) { return view->ZRItems()->FindNode(ID); }
};

TEST_F(HierarchyFixture, ChildrenLoadWhenTheirParentFirstExpands) {
  EXPECT_EQ(Shown(*view), "a >_ d");
  EXPECT_EQ(source->log, "enum 0;");
  Find(1)->Expand(false);
  EXPECT_EQ(Shown(*view), "a >b >>_ d");
  Find(1)->Collapse(false);
  Find(1)->Expand(false);
  EXPECT_EQ(source->log, "enum 0;enum 1;");  // loaded once

  view->SetOptions(view->Options() - TtreeViewOptions{toCheckChild});
  view->Fill(0);  // without the check every node gets a button
  EXPECT_EQ(Shown(*view), "a >b >>_ d >_");
}

TEST_F(HierarchyFixture, AnInsertUnderAParentNeverExpandedLoadsItInstead) {
  source->Inserted(5, 1, "e");
  EXPECT_TRUE(Find(1)->Expanded());
  EXPECT_EQ(Shown(*view), "a >b >>_ >e d");
  ASSERT_NE(view->Selected(), nullptr);
  EXPECT_EQ(view->Selected(), Find(5));
  source->Inserted(6, 1, "f");  // now loaded: added as a child
  EXPECT_EQ(Shown(*view), "a >b >>_ >e >f d");
}

TEST_F(HierarchyFixture, NavigateExpandsTheAncestors) {
  view->Navigate(3);
  EXPECT_EQ(Shown(*view), "a >b >>c d");
  ASSERT_NE(view->Selected(), nullptr);
  EXPECT_EQ(view->Selected()->Text(), "c");
  EXPECT_EQ(view->Selection().size(), 0u);
}

TEST_F(HierarchyFixture, DeleteAsksAndGoesThroughTheSource) {
  ScriptedDialogService dialogs;
  ScopedDialogService scoped(dialogs);
  view->SetSelected(Find(4));
  dialogs.AnswerMessage(mrNo);
  view->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(Shown(*view), "a >_ d");
  dialogs.AnswerMessage(mrYes);
  view->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(Shown(*view), "a >_");
  ASSERT_EQ(dialogs.Count("message"), 2);
  EXPECT_EQ(dialogs.Calls()[0].text, "Delete Item(s)?");
  EXPECT_EQ(dialogs.Calls()[0].buttons, TMsgDlgButtons::mbYesNo);
  EXPECT_EQ(source->log, "enum 0;delete 4;");
}

TEST_F(HierarchyFixture, APostedNavigateOfAFreedSourceIsDropped) {
  view->SetFocus();
  view->Navigate(3);
  source->SetCurrent(1);  // posted: arrives later
  QApplication::processEvents();
  EXPECT_EQ(view->Selected(), Find(1));

  source->SetCurrent(3);
  delete source;
  EXPECT_EQ(Shown(*view), "");
  QApplication::processEvents();  // the notice of the freed source: dropped
  EXPECT_EQ(view->Selected(), nullptr);
}

TEST_F(HierarchyFixture, NoticesOfAnotherSourceLeaveNodesWithTheSameIdAlone) {
  TStringList list;
  list.Add("x");
  TZRStringSource strings(&form);
  strings.SetStrings(&list);
  strings.SetNodeText(1, "renamed");  // string 1: not node 1 of this view
  EXPECT_EQ(Shown(*view), "a >_ d");
  source->SetNodeText(1, "A");
  EXPECT_EQ(Shown(*view), "A >_ d");
}

TEST_F(HierarchyFixture, EveryIdIsFoundWhateverItsValue) {
  const TNodeID ids[] = {1, -1, TNodeID{1} << 40, std::numeric_limits<TNodeID>::max(),
                         std::numeric_limits<TNodeID>::min() + 1, 7};
  source->nodes.clear();
  for (TNodeID id : ids) source->nodes[id] = {0, std::to_string(id)};
  source->Changed();
  for (TNodeID id : ids) {
    SCOPED_TRACE(id);
    TZRTreeNode* node = Find(id);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->ID(), id);
  }
  EXPECT_EQ(Find(2), nullptr);
}

// A form that holds the view and its source, read from its text.
struct StoredViewFixture : ::testing::Test {
  TForm holder{nullptr, TForm::CreateNew{}};

  void SetUp() override {
    RegisterTreeViewClasses();
    holder.SetName("Holder");
    TStringStream text(
        "object Holder: TForm\n"
        "  object View: TZRTreeView\n"
        "    Width = 120\n"
        "    Height = 90\n"
        "    DragMode = dmAutomatic\n"
        "    Options = [toProcessInsKey, toCanNavigate]\n"
        "    ReadOnly = True\n"
        "    Source = Strings\n"
        "  end\n"
        "  object Strings: TZRStringSource\n"
        "  end\n"
        "end\n");
    TMemoryStream binary;
    ObjectTextToBinary(text, binary);
    binary.SetPosition(0);
    ReadComponentFromStream(binary, &holder);
  }
  TZRTreeView* View() { return dynamic_cast<TZRTreeView*>(holder.FindComponent("View")); }
  std::string Written() {
    TMemoryStream binary;
    WriteComponentToStream(binary, &holder);
    binary.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(binary, text);
    return text.DataString();
  }
};

TEST_F(StoredViewFixture, TheSourceIsASiblingFoundByNameAndStoredOnlyWhileDesigned) {
  ASSERT_NE(View(), nullptr);
  EXPECT_EQ(View()->ViewSource(), holder.FindComponent("Strings"));
  EXPECT_EQ(View()->Options().Bits(), (TtreeViewOptions{toProcessInsKey, toCanNavigate}).Bits());
  EXPECT_EQ(View()->DragMode(), dmAutomatic);
  EXPECT_TRUE(View()->ReadOnly());
  const std::string running = Written();
  EXPECT_NE(running.find("Options = [toProcessInsKey, toCanNavigate]"), std::string::npos) << running;
  EXPECT_EQ(running.find("Source ="), std::string::npos) << running;
  EXPECT_EQ(running.find("Version"), std::string::npos) << running;
  holder.SetDesigning(true);
  const std::string designed = Written();
  holder.SetDesigning(false);
  EXPECT_NE(designed.find("Source = Strings"), std::string::npos) << designed;
  EXPECT_EQ(designed.find("Version"), std::string::npos) << designed;
}

TEST_F(StoredViewFixture, DefaultOptionsAreNotWritten) {
  View()->SetOptions(TtreeViewOptions::FromBits(kDefaultTreeViewOptions));
  EXPECT_EQ(Written().find("Options"), std::string::npos);
}

TEST(ZRTreeView, WithoutASourceItKeepsItsNodesOverANewWindow) {
  TForm form{nullptr};
  auto* view = new TZRTreeView(&form);
  view->SetParent(&form);
  TTreeNode* a = view->Items()->Add(nullptr, "a");
  view->Items()->AddChild(a, "b");
  view->Items()->Add(nullptr, "c");
  form.Show();
  view->RecreateWnd();
  EXPECT_EQ(Shown(*view), "a >b c");
}

}  // namespace
