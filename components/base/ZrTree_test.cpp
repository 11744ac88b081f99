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
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "components/base/zrtslite.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Reader.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/classes/Writer.h"
#include "platform/controls/EditCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/core/StringList.h"
#include "platform/core/Streams.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Screen.h"

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
  std::set<TNodeID> undraggable;
  bool offersMenu = false, menuOfSource = false;
  std::map<TNodeID, TObject*> objects;

  bool CanPerform(TNodeID ID, std::int32_t Operation) override {
    switch (Operation) {
      case toIsHierarchy:
      case toDelete:
      case toEdit: return true;
      case toDrag: return undraggable.count(ID) == 0;
      case toHasMenu: return offersMenu;
      case toMenuOfSource: return menuOfSource;
      default: return false;
    }
  }
  TObject* GetNodeObject(TNodeID ID) override {
    const auto it = objects.find(ID);
    return it == objects.end() ? nullptr : it->second;
  }
  // The data holder moves at once and announces it.
  void MoveNode(TNodeID ID, TNodeID TargetID, std::uint8_t Mode) override {
    log += "move " + std::to_string(ID) + ";";
    TNodeRec rec;
    rec.ID = ID;
    rec.TargetID = TargetID;
    rec.Mode = Mode;
    Notify(&rec, tnMoved);
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
  void SetOption(TtreeViewOption Option, bool On) {
    TtreeViewOptions options = view->Options();
    if (On)
      options.Include(Option);
    else
      options.Exclude(Option);
    view->SetOptions(options);
  }
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

TEST_F(HierarchyFixture, CollapsingWithFreeOnCollapseFreesTheChildrenUnlessRefused) {
  struct Row {
    const char* name;
    bool free, veto, byUser, emptied;
    const char* shown;  // after the collapse
    const char* log;    // after expanding again
  };
  const Row rows[] = {
      {"kept without the option", false, false, false, false, "a >b >>_ d", "enum 0;enum 1;"},
      {"refused without the option", false, true, false, false, "a >b >>_ d", "enum 0;enum 1;"},
      {"freed", true, false, false, false, "a >_ d", "enum 0;enum 1;enum 1;"},
      {"freed by the user", true, false, true, false, "a >_ d", "enum 0;enum 1;enum 1;"},
      {"refused: kept", true, true, false, false, "a >b >>_ d", "enum 0;enum 1;"},
      {"refused by the user: kept", true, true, true, false, "a >b >>_ d", "enum 0;enum 1;"},
      {"freed, no children left: no button", true, false, false, true, "a d", "enum 0;enum 1;"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    source->nodes = {{1, {0, "a"}}, {2, {1, "b"}}, {3, {2, "c"}}, {4, {0, "d"}}};
    SetOption(toFreeOnCollapse, row.free);
    view->OnCollapsing = nullptr;
    source->log.clear();
    view->Fill(0);
    Find(1)->Expand(false);
    if (row.emptied) source->nodes.erase(2);
    view->OnCollapsing = TTVCollapsingEvent([&](TObject*, TTreeNode*, bool& Allow) { Allow = !row.veto; });
    if (row.byUser)
      Find(1)->ItemId()->setExpanded(false);
    else
      Find(1)->Collapse(false);
    EXPECT_EQ(Find(1)->Expanded(), row.veto);
    EXPECT_EQ(Shown(*view), row.shown);
    EXPECT_EQ(Find(2) == nullptr, row.free && !row.veto);  // freed nodes leave the index
    view->OnCollapsing = nullptr;
    Find(1)->Expand(false);
    EXPECT_EQ(source->log, row.log);
    if (!row.emptied) {
      EXPECT_EQ(Shown(*view), "a >b >>_ d");
    }
  }
}

TEST_F(HierarchyFixture, APressBeginsNoDragOfANodeTheSourceRefuses) {
  view->SetDragMode(dmAutomatic);
  source->undraggable = {4};
  struct Row {
    const char* name;
    TNodeID selected, pressed;  // pressed 0: beside the nodes
    bool dragging;
  };
  const Row rows[] = {
      {"allowed", 4, 1, true},
      {"refused", 1, 4, false},
      {"beside the nodes, the selected one allowed", 1, 0, true},
      {"beside the nodes, the selected one refused", 4, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    view->SetSelected(Find(row.selected));
    const Rect r = row.pressed ? Find(row.pressed)->DisplayRect(true) : Rect{20, 250, 30, 260};
    view->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(static_cast<int>(r.left) + 2, static_cast<int>(r.top + r.bottom) / 2));
    EXPECT_EQ(view->Dragging(), row.dragging);
    EXPECT_EQ(view->DragMode(), dmAutomatic);
    view->EndDrag(false);
  }
  // Marking several nodes, a press beside them draws a rubber band.
  view->SetMultiSelect(true);
  view->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(20, 250));
  EXPECT_TRUE(view->RubberBandActive());
  EXPECT_FALSE(view->Dragging());
  view->Perform(WM_LBUTTONUP, 0, PointToLParam(20, 250));
}

TEST_F(HierarchyFixture, AMoveNoticeMovesTheNodeWithItsLoadedChildren) {
  Find(1)->Expand(false);
  Find(1)->MoveTo(Find(4), naAdd);  // the source announces the move back
  EXPECT_EQ(Shown(*view), "d a >b >>_");
  EXPECT_EQ(source->log, "enum 0;enum 1;move 1;");
  EXPECT_TRUE(Find(1)->Expanded());
  ASSERT_NE(Find(2), nullptr);
  EXPECT_EQ(Find(2)->Parent(), Find(1));
}

// Component editors of the test: "Edit <name>" and "Test <name>".
struct VerbLog {
  std::vector<TComponent*> asked;
  std::string ran;
};
VerbLog* verbLog = nullptr;

class TTestEditor : public TInterfacedObject, public IZRDsgnComponentEditor {
 public:
  explicit TTestEditor(TComponent* Component) : component_(Component) {}
  TComponent* GetComponent() override { return component_; }
  std::int32_t GetVerbCount() override { return 2; }
  std::string GetVerb(std::int32_t Index) override { return (Index == 0 ? "Edit " : "Test ") + component_->Name(); }
  void ExecuteVerb(std::int32_t Index) override { verbLog->ran += component_->Name() + " " + std::to_string(Index) + ";"; }

 private:
  TComponent* component_;
};

TInterfacePtr<IZRDsgnComponentEditor> TestEditorOf(TComponent* Component, IZRDsgnDesigner*) {
  verbLog->asked.push_back(Component);
  if (!Component) return nullptr;
  return TInterfacePtr<IZRDsgnComponentEditor>(new TTestEditor(Component));
}

std::string Captions(const TMenuItem* Items) {
  std::string out;
  for (int i = 0; i < Items->Count(); ++i) out += (i ? "," : "") + Items->Items(i)->Caption();
  return out;
}

TEST_F(HierarchyFixture, TheSourceMenuShowsTheFormsMenuWithTheVerbsOfTheChosenObject) {
  RegisterClass(TMenuItem::StaticClass());  // as the start-up does
  source->SetName("Src");
  TComponent object(nullptr);
  object.SetName("Obj");
  source->objects[4] = &object;
  auto* formMenu = new TPopupMenu(&form);
  formMenu->SetName("FormMenu");
  std::string clicks;
  for (const char* caption : {"Cut", "Paste"}) {
    auto* item = new TMenuItem(&form);
    item->SetCaption(caption);
    item->OnClick = TNotifyEvent([&clicks, caption](TObject*) { clicks += caption; });
    formMenu->Items()->Add(item);
  }
  form.SetPopupMenu(formMenu);  // the view has none: its parent's is found
  int formPopups = 0;
  formMenu->OnPopup = TNotifyEvent([&](TObject* Sender) {
    ++formPopups;
    EXPECT_EQ(Sender, formMenu);
  });
  struct Popped {
    TPopupMenu* menu;
    int x, y;
    std::string items;
    TComponent* popupComponent;
    bool onPopup;
  };
  std::vector<Popped> popped;
  const TPopupMenuHook oldHook = SetPopupMenuHook(TPopupMenuHook([&](TPopupMenu* Menu, int X, int Y) {
    popped.push_back({Menu, X, Y, Captions(Menu->Items()), Menu->PopupComponent(), static_cast<bool>(Menu->OnPopup)});
  }));
  VerbLog log;
  verbLog = &log;
  const TGetComponentEditorProc oldProc = std::exchange(GetComponentEditorProc, &TestEditorOf);
  struct FixedCursor : TScreenSource {
    Size ScreenSize() override { return {1920, 1080}; }
    Point CursorPos() override { return {321, 123}; }
  } cursor;
  TScreenSource* oldScreen = Screen->SetSource(&cursor);

  enum Asked { kNotAsked, kSource, kObject, kNil };
  struct Row {
    const char* name;
    bool smart, offers, ofSource;
    TNodeID selected;
    Asked asked;
    const char* items;  // nullptr: no source menu
  };
  const Row rows[] = {
      {"without toSmartPopup", false, true, true, 4, kNotAsked, nullptr},
      {"the source offers none", true, false, true, 4, kNotAsked, nullptr},
      {"about the source", true, true, true, 4, kSource, "Edit Src,Test Src,-,Cut,Paste"},
      {"nothing selected", true, true, false, 0, kSource, "Edit Src,Test Src,-,Cut,Paste"},
      {"about the node's object", true, true, false, 4, kObject, "Edit Obj,Test Obj,-,Cut,Paste"},
      {"a node without an object", true, true, false, 1, kNil, "Cut,Paste"},
  };
  const std::pair<const char*, TMessageNumber> messages[] = {{"right button up", WM_RBUTTONUP},
                                                              {"context menu", WM_CONTEXTMENU}};
  for (const Row& row : rows)
    for (const auto& [message, msg] : messages) {
      SCOPED_TRACE(std::string(row.name) + ", " + message);
      SetOption(toSmartPopup, row.smart);
      source->offersMenu = row.offers;
      source->menuOfSource = row.ofSource;
      view->SetSelected(Find(row.selected));
      popped.clear();
      log.asked.clear();
      formPopups = 0;
      view->Perform(msg, 0, msg == WM_CONTEXTMENU ? PointToLParam(321, 123) : PointToLParam(5, 5));
      const std::vector<TComponent*> asked = row.asked == kNotAsked ? std::vector<TComponent*>{}
                                             : row.asked == kSource ? std::vector<TComponent*>{source}
                                             : row.asked == kObject ? std::vector<TComponent*>{&object}
                                                                    : std::vector<TComponent*>{nullptr};
      EXPECT_EQ(log.asked, asked);
      if (!row.items) {
        EXPECT_EQ(popped.size(), 0u);
        EXPECT_EQ(formPopups, 0);
        continue;
      }
      ASSERT_EQ(popped.size(), 1u);
      EXPECT_NE(popped[0].menu, formMenu);  // the view's own menu, rebuilt
      EXPECT_EQ(popped[0].x, 321);
      EXPECT_EQ(popped[0].y, 123);
      EXPECT_EQ(popped[0].items, row.items);
      EXPECT_EQ(popped[0].popupComponent, view);
      EXPECT_FALSE(popped[0].onPopup);
      EXPECT_EQ(formPopups, 1);
      EXPECT_EQ(Captions(formMenu->Items()), "Cut,Paste");
    }
  // The last menu shown: its copies keep their handlers.
  popped.clear();
  view->SetSelected(Find(4));
  view->Perform(WM_CONTEXTMENU, 0, PointToLParam(321, 123));
  ASSERT_EQ(popped.size(), 1u);
  TMenuItem* items = popped[0].menu->Items();
  ASSERT_EQ(items->Count(), 5);
  items->Items(1)->Click();
  items->Items(3)->Click();
  EXPECT_EQ(log.ran, "Obj 1;");
  EXPECT_EQ(clicks, "Cut");
  EXPECT_EQ(items->Items(0)->Tag, kFirstVerbTag);
  EXPECT_EQ(items->Items(1)->Tag, kFirstVerbTag + 1);

  Screen->SetSource(oldScreen);
  GetComponentEditorProc = oldProc;
  SetPopupMenuHook(oldHook);
  verbLog = nullptr;
}

struct NoSourceFixture : ::testing::Test {
  TForm form{nullptr};
  TTestZrView* view = new TTestZrView(&form);
  TTreeNode *a, *b, *c;

  void SetUp() override {
    form.SetBounds(0, 0, 300, 300);
    view->SetParent(&form);
    view->SetBounds(0, 0, 300, 300);
    form.Show();
    a = view->ZRItems()->AddNode(nullptr, "a", naAdd, nullptr);
    b = view->ZRItems()->AddChild(a, "b");
    c = view->ZRItems()->AddNode(a, "c", naAdd, nullptr);
  }
};

TEST_F(NoSourceFixture, ADroppedNodeTakesItsChildrenAlong) {
  a->Expand(false);
  view->SetSelected(a);
  const Rect r = c->DisplayRect(true);
  view->DragDrop(view, static_cast<int>(r.left) + 2, static_cast<int>(r.top + r.bottom) / 2);
  ASSERT_EQ(Shown(*view), "c a >b");  // else b is gone
  EXPECT_EQ(b->Parent(), a);
  EXPECT_TRUE(a->Expanded());
  EXPECT_EQ(view->Selected(), a);
}

// Reads a stored form's text into Root.
void ReadStoredText(TComponent& Root, const std::string& Text) {
  TStringStream text(Text);
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  ReadComponentFromStream(binary, &Root);
}

// Root written as a stored form's text.
std::string WrittenText(TComponent& Root) {
  TMemoryStream binary;
  WriteComponentToStream(binary, &Root);
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(binary, text);
  return text.DataString();
}

// A form that holds the view and its source, read from its text.
struct StoredViewFixture : ::testing::Test {
  TForm holder{nullptr, TForm::CreateNew{}};

  void SetUp() override {
    RegisterTreeViewClasses();
    holder.SetName("Holder");
    ReadStoredText(
        holder,
        "object Holder: TForm\n"
        "  object View: TZRTreeView\n"
        "    Width = 120\n"
        "    Height = 90\n"
        "    DragMode = dmAutomatic\n"
        "    Options = [toProcessInsKey, toCanNavigate]\n"
        "    ReadOnly = True\n"
        "    RightClickSelect = True\n"
        "    HotTrack = True\n"
        "    Source = Strings\n"
        "  end\n"
        "  object Strings: TZRStringSource\n"
        "  end\n"
        "end\n");
  }
  TZRTreeView* View() { return dynamic_cast<TZRTreeView*>(holder.FindComponent("View")); }
  std::string Written() { return WrittenText(holder); }
};

TEST_F(StoredViewFixture, TheSourceIsASiblingFoundByNameAndStoredOnlyWhileDesigned) {
  ASSERT_NE(View(), nullptr);
  EXPECT_EQ(View()->ViewSource(), holder.FindComponent("Strings"));
  EXPECT_EQ(View()->Options().Bits(), (TtreeViewOptions{toProcessInsKey, toCanNavigate}).Bits());
  EXPECT_EQ(View()->DragMode(), dmAutomatic);
  EXPECT_TRUE(View()->ReadOnly());
  EXPECT_TRUE(View()->RightClickSelect());
  EXPECT_TRUE(View()->HotTrack());
  const std::string running = Written();
  EXPECT_NE(running.find("Options = [toProcessInsKey, toCanNavigate]"), std::string::npos) << running;
  EXPECT_NE(running.find("RightClickSelect = True"), std::string::npos) << running;
  EXPECT_NE(running.find("HotTrack = True"), std::string::npos) << running;
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

// A form whose stored text binds the view's key, mouse and drag events to
// its own published handlers; each handler notes its call.
class TEventForm : public TForm {
  KESTOVA_CLASS(TEventForm)
 public:
  explicit TEventForm(TComponent* AOwner) : TForm(AOwner, TForm::CreateNew{}) {}
  std::string log;
  bool acceptDrag = false;

  void TreeKeyDown(TObject* Sender, std::uint16_t& Key, TShiftState Shift) { Note("KeyDown", Sender, Key, Shift); }
  void TreeKeyUp(TObject* Sender, std::uint16_t& Key, TShiftState Shift) { Note("KeyUp", Sender, Key, Shift); }
  void TreeKeyPress(TObject* Sender, char32_t& Key) {
    log += "KeyPress " + Who(Sender) + " " + std::string(1, static_cast<char>(Key));
    Key = 0;
  }
  void TreeMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    log += "MouseDown " + Who(Sender) + " " + std::to_string(Button) + At(Shift, X, Y);
  }
  void TreeMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    log += "MouseUp " + Who(Sender) + " " + std::to_string(Button) + At(Shift, X, Y);
  }
  void TreeMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) {
    log += "MouseMove " + Who(Sender) + At(Shift, X, Y);
  }
  void TreeDragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    log += "DragOver " + Who(Sender) + " " + Who(Source) + " " + std::to_string(State) + At({}, X, Y);
    Accept = acceptDrag;
  }
  void TreeDragDrop(TObject* Sender, TObject* Source, int X, int Y) {
    log += "DragDrop " + Who(Sender) + " " + Who(Source) + At({}, X, Y);
  }
  void TreeStartDrag(TObject* Sender, TDragObject*& DragObject) {
    log += "StartDrag " + Who(Sender) + (DragObject ? " object" : "");
  }
  void TreeEndDrag(TObject* Sender, TObject* Target, int X, int Y) {
    log += "EndDrag " + Who(Sender) + " " + Who(Target) + At({}, X, Y);
  }

 private:
  std::string Who(TObject* Object) const {
    auto* component = dynamic_cast<TComponent*>(Object);
    return component ? component->Name() : "nil";
  }
  static std::string At(TShiftState Shift, int X, int Y) {
    return " " + std::to_string(Shift.Bits()) + " " + std::to_string(X) + "," + std::to_string(Y);
  }
  void Note(const char* Event, TObject* Sender, std::uint16_t& Key, TShiftState Shift) {
    log += std::string(Event) + " " + Who(Sender) + " " + std::to_string(Key) + " " + std::to_string(Shift.Bits());
    Key = 0;
  }
};

void DescribeTEventForm(TClassInfo& Info) {
  TClassPublisher<TEventForm> p(Info);
  p.Method<&TEventForm::TreeKeyDown>("TreeKeyDown");
  p.Method<&TEventForm::TreeKeyUp>("TreeKeyUp");
  p.Method<&TEventForm::TreeKeyPress>("TreeKeyPress");
  p.Method<&TEventForm::TreeMouseDown>("TreeMouseDown");
  p.Method<&TEventForm::TreeMouseUp>("TreeMouseUp");
  p.Method<&TEventForm::TreeMouseMove>("TreeMouseMove");
  p.Method<&TEventForm::TreeDragOver>("TreeDragOver");
  p.Method<&TEventForm::TreeDragDrop>("TreeDragDrop");
  p.Method<&TEventForm::TreeStartDrag>("TreeStartDrag");
  p.Method<&TEventForm::TreeEndDrag>("TreeEndDrag");
}
KESTOVA_CLASS_INFO_DESCRIBED(TEventForm, TForm, "ZrTreeTest", nullptr, DescribeTEventForm)

// Reads a stored form into Form: "object Holder: TEventForm" with a view
// named View whose extra lines are ViewLines, and a string source Strings.
void ReadHolder(TEventForm& Form, const std::string& ViewLines) {
  RegisterTreeViewClasses();
  Form.SetName("Holder");
  ReadStoredText(Form, "object Holder: TEventForm\n"
                     "  Width = 300\n"
                     "  Height = 200\n"
                     "  object View: TZRTreeView\n"
                     "    Width = 200\n"
                     "    Height = 150\n" +
                     ViewLines +
                     "    Source = Strings\n"
                     "  end\n"
                     "  object Strings: TZRStringSource\n"
                     "  end\n"
                     "end\n");
}

// The view's own lines of a written form.
std::string ViewBlock(const std::string& Text) {
  const std::size_t from = Text.find("object View: TZRTreeView\n");
  if (from == std::string::npos) return {};
  return Text.substr(from, Text.find("\n  end\n", from) + 1 - from);
}

TZRTreeView* ViewOf(TComponent& Form) { return dynamic_cast<TZRTreeView*>(Form.FindComponent("View")); }

TEST(StoredZRTreeView, KeyMouseAndDragEventsBindToTheFormsHandlersAndAreWrittenBack) {
  struct Row {
    const char* event;
    const char* handler;
    void (*fire)(TZRTreeView&);
    const char* logged;
  };
  const Row rows[] = {
      {"OnKeyDown", "TreeKeyDown",
       [](TZRTreeView& v) {
         std::uint16_t key = 'Q';
         EXPECT_TRUE(v.DoKeyDown(key, TShiftState{ssCtrl}));
       },
       "KeyDown View 81 4"},
      {"OnKeyUp", "TreeKeyUp",
       [](TZRTreeView& v) {
         std::uint16_t key = 'Q';
         EXPECT_TRUE(v.DoKeyUp(key, TShiftState{ssShift}));
       },
       "KeyUp View 81 1"},
      {"OnKeyPress", "TreeKeyPress",
       [](TZRTreeView& v) {
         char32_t key = U'q';
         EXPECT_TRUE(v.DoKeyPress(key));
       },
       "KeyPress View q"},
      {"OnMouseDown", "TreeMouseDown",
       [](TZRTreeView& v) { v.Perform(WM_RBUTTONDOWN, MK_RBUTTON, PointToLParam(150, 140)); },
       "MouseDown View 1 16 150,140"},
      {"OnMouseUp", "TreeMouseUp",
       [](TZRTreeView& v) { v.Perform(WM_RBUTTONUP, 0, PointToLParam(150, 140)); }, "MouseUp View 1 0 150,140"},
      {"OnMouseMove", "TreeMouseMove",
       [](TZRTreeView& v) { v.Perform(WM_MOUSEMOVE, MK_SHIFT, PointToLParam(7, 9)); }, "MouseMove View 1 7,9"},
      {"OnDragOver", "TreeDragOver",
       [](TZRTreeView& v) {
         bool accept = true;
         static_cast<TControl&>(v).DragOver(&v, 3, 4, dsDragMove, accept);
         EXPECT_FALSE(accept);
       },
       "DragOver View View 2 0 3,4"},
      {"OnDragDrop", "TreeDragDrop", [](TZRTreeView& v) { static_cast<TControl&>(v).DragDrop(&v, 5, 6); },
       "DragDrop View View 0 5,6"},
      {"OnStartDrag", "TreeStartDrag",
       [](TZRTreeView& v) {
         v.BeginDrag(true);
         v.EndDrag(false);
       },
       "StartDrag View"},
      {"OnEndDrag", "TreeEndDrag",
       [](TZRTreeView& v) {
         v.BeginDrag(true);
         v.EndDrag(false);
       },
       "EndDrag View nil 0 0,0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.event);
    const std::string binding = std::string(row.event) + " = " + row.handler;
    TEventForm form{nullptr};
    ReadHolder(form, "    " + binding + "\n");
    TZRTreeView* view = ViewOf(form);
    ASSERT_NE(view, nullptr);
    form.Show();
    row.fire(*view);
    EXPECT_EQ(form.log, row.logged);

    const std::string written = WrittenText(form);
    EXPECT_NE(ViewBlock(written).find(binding + "\n"), std::string::npos) << written;
    // What was written reads back into the same text.
    TEventForm again{nullptr};
    ReadStoredText(again, written);
    EXPECT_EQ(ViewBlock(WrittenText(again)), ViewBlock(written));
  }
}

TEST(StoredZRTreeView, StoredTabOrdersComeBackWhateverTheReadingOrder) {
  struct Row {
    int a, b, c;           // stored, in reading order
    int wantA, wantB, wantC;
  };
  const Row rows[] = {
      {2, 1, 0, 2, 1, 0}, {1, 2, 0, 1, 2, 0}, {0, 1, 2, 0, 1, 2}, {2, 0, 1, 2, 0, 1}, {9, 0, 1, 2, 0, 1},
  };
  RegisterTreeViewClasses();
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.a) + std::to_string(row.b) + std::to_string(row.c));
    auto view = [](const char* Name, int Order) {
      return std::string("  object ") + Name + ": TZRTreeView\n    TabOrder = " + std::to_string(Order) +
             "\n  end\n";
    };
    TEventForm form{nullptr};
    form.SetName("Holder");
    ReadStoredText(form, "object Holder: TEventForm\n" + view("A", row.a) + view("B", row.b) + view("C", row.c) +
                             "end\n");
    auto order = [&](const char* Name) { return dynamic_cast<TWinControl*>(form.FindComponent(Name))->TabOrder(); };
    EXPECT_EQ(order("A"), row.wantA);
    EXPECT_EQ(order("B"), row.wantB);
    EXPECT_EQ(order("C"), row.wantC);
  }
}

TEST(StoredZRTreeView, AnUnknownColourNameIsRefused) {
  for (const char* line : {"    Color = clNoSuchColour\n", "    DragCursor = clRed\n", "    Indent = clRed\n"}) {
    SCOPED_TRACE(line);
    TEventForm form{nullptr};
    EXPECT_THROW(ReadHolder(form, line), EReadError);
  }
}

TEST(StoredZRTreeView, LooksAndHintAreWrittenOnlyWhenTheViewsOwn) {
  struct Row {
    const char* name;
    const char* stored;
    std::vector<const char*> written;  // the view's lines besides Left..Height
  };
  const Row rows[] = {
      {"defaults", "", {"TabOrder = 0"}},
      {"parent colour", "    ParentColor = True\n", {"ParentColor = True", "TabOrder = 0"}},
      {"own colour by number", "    Color = 255\n", {"Color = clRed", "TabOrder = 0"}},
      {"own colour by name", "    Color = clInfoBk\n", {"Color = clInfoBk", "TabOrder = 0"}},
      {"colour without a name", "    Color = 1193046\n", {"Color = 1193046", "TabOrder = 0"}},
      {"cursor by name", "    DragCursor = crHandPoint\n", {"DragCursor = crHandPoint", "TabOrder = 0"}},
      {"own font", "    Font.Height = -20\n    Font.Name = 'Serif'\n",
       {"Font.Charset", "Font.Color", "Font.Height = -20", "Font.Name = 'Serif'", "Font.Style = []",
        "ParentFont = False", "TabOrder = 0"}},
      {"own hint switch", "    ParentShowHint = False\n    ShowHint = True\n",
       {"ParentShowHint = False", "ShowHint = True", "TabOrder = 0"}},
      {"hint", "    Hint = 'Pick one'\n", {"Hint = 'Pick one'", "TabOrder = 0"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TEventForm form{nullptr};
    form.SetColor(clBtnFace);
    ReadHolder(form, row.stored);
    std::string block = ViewBlock(WrittenText(form));
    std::vector<std::string> lines;
    for (std::size_t at = block.find('\n'); at != std::string::npos;) {
      const std::size_t next = block.find('\n', at + 1);
      std::string line = block.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1);
      line.erase(0, line.find_first_not_of(' '));
      at = next;
      static const char* const kPlace[] = {"Left =", "Top =", "Width =", "Height ="};
      bool place = false;
      for (const char* p : kPlace) place |= line.rfind(p, 0) == 0;
      if (!place && !line.empty()) lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), row.written.size()) << block;
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].rfind(row.written[i], 0), 0u) << block;
  }

  TEventForm form{nullptr};
  form.SetColor(clBtnFace);
  ReadHolder(form, "    ParentColor = True\n    Font.Height = -20\n    ParentShowHint = False\n    ShowHint = True\n");
  TZRTreeView* view = ViewOf(form);
  EXPECT_EQ(view->Color(), clBtnFace);
  EXPECT_TRUE(view->ParentColor());
  EXPECT_EQ(view->Font()->Height(), -20);
  EXPECT_FALSE(view->ParentFont());
  EXPECT_TRUE(view->ShowHint());
  EXPECT_FALSE(view->ParentShowHint());
}

// Handlers a stored form assigns to OnDragOver and OnDragDrop decide alone:
// the view's own moving of strings steps aside.
TEST(StoredZRTreeView, AssignedDragHandlersReplaceTheViewsOwnMoves) {
  struct Row {
    const char* name;
    const char* lines;
    bool accepted;
    const char* order;
    bool handled;
  };
  const Row rows[] = {
      {"the view's own", "", true, "one three two", false},
      {"the form's", "    OnDragDrop = TreeDragDrop\n    OnDragOver = TreeDragOver\n", false, "one two three", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TEventForm form{nullptr};
    ReadHolder(form, row.lines);
    TStringList list;
    for (const char* s : {"one", "two", "three"}) list.Add(s);
    auto* strings = static_cast<TZRStringSource*>(form.FindComponent("Strings"));
    strings->SetStrings(&list);
    TZRTreeView* view = ViewOf(form);
    form.Show();
    ASSERT_EQ(Shown(*view), "one two three");
    view->SetSelected(view->Items()->Item(1));
    const Rect r = view->Items()->Item(2)->DisplayRect(true);
    const int x = static_cast<int>(r.left) + 2, y = static_cast<int>(r.top + r.bottom) / 2;
    bool accept = false;
    static_cast<TControl*>(view)->DragOver(view, x, y, dsDragMove, accept);
    EXPECT_EQ(accept, row.accepted);
    static_cast<TControl*>(view)->DragDrop(view, x, y);
    std::string order;
    for (int i = 0; i < list.Count(); ++i) order += (i ? " " : "") + list.Strings(i);
    EXPECT_EQ(order, row.order);
    const std::string at = std::to_string(x) + "," + std::to_string(y);
    EXPECT_EQ(form.log, row.handled ? "DragOver View View 2 0 " + at + "DragDrop View View 0 " + at : "");
    strings->SetStrings(nullptr);
  }
}

}  // namespace
