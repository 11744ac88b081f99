// The order editor: its stored form, the creation and tab orders it edits
// under scripted OK and Cancel, keys and drags in its list, and clean-up
// after an error.

#include "components/base/treemod.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "components/base/PropFileSystem.h"
#include "components/base/ZrTree.h"
#include "components/base/zrtslite.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Writer.h"
#include "platform/controls/EditCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/QtGraphics.h"
#include "platform/ui/Screen.h"

namespace {

// The dialog that is open now, or nullptr.
TStrEditForm* OpenDialog() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* f = dynamic_cast<TStrEditForm*>(Screen->Forms(i))) return f;
  return nullptr;
}

std::string Names(TCustomTreeView* View) {
  std::string out;
  for (TTreeNode* n = View->Items()->GetFirstNode(); n; n = n->getNextSibling()) out += (out.empty() ? "" : " ") + n->Text();
  return out;
}

// Runs Script on the dialog once its modal loop turns; then the button
// named Close ends it.
void Script(std::function<void(TStrEditForm*)> Script, const char* Close) {
  QTimer::singleShot(0, qApp, [Script = std::move(Script), Close] {
    TStrEditForm* dialog = OpenDialog();
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return;
    Script(dialog);
    static_cast<TButton*>(dialog->FindComponent(Close))->Click();
  });
}

void Select(TStrEditForm* Dialog, int Index) { Dialog->TreeView()->SetSelected(Dialog->TreeView()->Items()->Item(Index)); }
void Up(TStrEditForm* Dialog) { static_cast<TSpeedButton*>(Dialog->FindComponent("SpeedUp"))->Click(); }
void Down(TStrEditForm* Dialog) { static_cast<TSpeedButton*>(Dialog->FindComponent("SpeedDown"))->Click(); }

// A designed form: three non-visual components A, B, C, then a label (no
// window) and three window controls, whose tab order is made to differ from
// their creation order.
struct OrderFixture : ::testing::Test {
  TForm designed{nullptr, TForm::CreateNew{}};
  std::vector<TComponent*> modified;
  std::string shownNames;

  void SetUp() override {
    StartOrderEditor();
    for (const char* name : {"A", "B", "C"}) (new TComponent(&designed))->SetName(name);
    auto place = [&](TControl* c, const char* name) {
      c->SetName(name);
      c->SetParent(&designed);
    };
    place(new TLabel(&designed), "Caption1");
    place(new TEdit(&designed), "Edit1");
    place(new TButton(&designed), "Button1");
    place(new TPanel(&designed), "Panel1");
    Control("Button1")->SetTabOrder(0);  // Button1 Edit1 Panel1
    SetDesignerModifiedHook(TDesignerModifiedHook::Of<&OrderFixture::Modified>(*this));
  }
  void TearDown() override { SetDesignerModifiedHook(nullptr); }
  void Reset() {
    for (int i = 0; i < 3; ++i) designed.FindComponent(std::string(1, static_cast<char>('A' + i)))->SetComponentIndex(i);
    Control("Button1")->SetTabOrder(0);
    Control("Edit1")->SetTabOrder(1);
    Control("Panel1")->SetTabOrder(2);
    modified.clear();
  }
  void Modified(TComponent* C) {
    if (C == &designed) modified.push_back(C);
  }
  TWinControl* Control(const char* Name) { return dynamic_cast<TWinControl*>(designed.FindComponent(Name)); }
  std::string CreationOrder() {
    std::string out;
    for (int i = 0; i < 3; ++i) out += (i ? " " : "") + designed.Components(i)->Name();
    return out;
  }
  std::string TabOrder() {
    std::string out;
    for (const char* name : {"Button1", "Edit1", "Panel1"})
      out += (out.empty() ? "" : " ") + std::string(name) + "=" + std::to_string(Control(name)->TabOrder());
    return out;
  }
  // Keeps the names the dialog shows when the script starts.
  std::function<void(TStrEditForm*)> Seen(std::function<void(TStrEditForm*)> Then) {
    return [this, Then](TStrEditForm* d) {
      shownNames = Names(d->TreeView());
      Then(d);
    };
  }
};

TEST_F(OrderFixture, TheDialogIsItsStoredForm) {
  QTimer::singleShot(0, qApp, [] {
    TStrEditForm* d = OpenDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Caption(), "Creation Order");
    EXPECT_EQ(d->ClientWidth(), 368);
    EXPECT_EQ(d->ClientHeight(), 283);
    EXPECT_EQ(d->BorderIcons(), TBorderIcons{biSystemMenu});
    EXPECT_FALSE(d->Scaled());
    EXPECT_TRUE(d->ParentFont());
    EXPECT_EQ(d->Position(), poScreenCenter);
    const Qt::WindowFlags flags = d->Handle()->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(d->TreeView()->ViewSource(), d->StringSource());
    EXPECT_TRUE(d->TreeView()->ReadOnly());
    EXPECT_FALSE(d->TreeView()->MultiSelect());
    EXPECT_FALSE(d->TreeView()->ShowLines());
    EXPECT_FALSE(d->TreeView()->ToolTips());
    EXPECT_EQ(d->TreeView()->DragMode(), dmAutomatic);
    const TtreeViewOptions options{toProcessInsKey,   toProcessDelKey,   toCanEdit,     toCanNavigate,
                                   toProcessEnterKey, toProcessDblClick, toTrackInsert, toCheckChild};
    EXPECT_EQ(d->TreeView()->Options().Bits(), options.Bits());
    auto* help = static_cast<TButton*>(d->FindComponent("HelpBut"));
    EXPECT_FALSE(help->Visible());
    EXPECT_EQ(help->Caption(), "&Help");
    EXPECT_EQ(static_cast<TButton*>(d->FindComponent("OkBut"))->Caption(), "OK");
    EXPECT_EQ(static_cast<TButton*>(d->FindComponent("CancelBut"))->Caption(), "Cancel");
    for (const char* name : {"SpeedUp", "SpeedDown"}) {
      const TBitmap* glyph = static_cast<TSpeedButton*>(d->FindComponent(name))->Glyph();
      EXPECT_EQ(glyph->Width(), 16) << name;
      EXPECT_EQ(glyph->Height(), 16) << name;
    }
    static_cast<TButton*>(d->FindComponent("CancelBut"))->Click();
  });
  EditCreationOrder(&designed);
}

TEST_F(OrderFixture, OkRenumbersInListOrderAndCancelChangesNothing) {
  struct Row {
    const char* name;
    bool tabs;
    std::function<void(TStrEditForm*)> script;
    const char* close;
    const char* creation;
    const char* tabOrder;
    std::size_t modifiedCalls;
  };
  const Row rows[] = {
      {"C up twice, OK", false, [](TStrEditForm* d) { Select(d, 2); Up(d); Up(d); }, "OkBut", "C A B",
       "Button1=0 Edit1=1 Panel1=2", 1},
      {"C up twice, Cancel", false, [](TStrEditForm* d) { Select(d, 2); Up(d); Up(d); }, "CancelBut", "A B C",
       "Button1=0 Edit1=1 Panel1=2", 0},
      {"A down once, OK", false, [](TStrEditForm* d) { Select(d, 0); Down(d); }, "OkBut", "B A C",
       "Button1=0 Edit1=1 Panel1=2", 1},
      {"Panel1 to the top, OK", true, [](TStrEditForm* d) { Select(d, 2); Up(d); Up(d); }, "OkBut", "A B C",
       "Button1=1 Edit1=2 Panel1=0", 1},
      {"Button1 down, Cancel", true, [](TStrEditForm* d) { Select(d, 0); Down(d); }, "CancelBut", "A B C",
       "Button1=0 Edit1=1 Panel1=2", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    Script(Seen(row.script), row.close);
    if (row.tabs)
      EditTabOrder(&designed);
    else
      EditCreationOrder(&designed);
    EXPECT_EQ(shownNames, row.tabs ? "Button1 Edit1 Panel1" : "A B C");
    EXPECT_EQ(CreationOrder(), row.creation);
    EXPECT_EQ(TabOrder(), row.tabOrder);
    EXPECT_EQ(modified.size(), row.modifiedCalls);
    EXPECT_EQ(OpenDialog(), nullptr);
  }
}

TEST_F(OrderFixture, KeysAndADoubleClickChangeNothingAndADropMoves) {
  struct Row {
    const char* name;
    std::function<void(TStrEditForm*)> script;
    const char* names;  // in the list before Cancel
  };
  auto key = [](std::uint16_t Key) {
    return [Key](TStrEditForm* d) {
      Select(d, 1);
      d->TreeView()->Perform(WM_KEYDOWN, Key, 0);
      EXPECT_FALSE(d->TreeView()->IsEditing());
    };
  };
  auto dropOn = [](int Dragged, int Target) {
    return [Dragged, Target](TStrEditForm* d) {
      Select(d, Dragged);
      const Rect r = d->TreeView()->Items()->Item(Target)->DisplayRect(true);
      static_cast<TControl*>(d->TreeView())->DragDrop(d->TreeView(), r.left + 2, (r.top + r.bottom) / 2);
    };
  };
  const Row rows[] = {
      {"Del", key(VK_DELETE), "A B C"},
      {"Ins", key(VK_INSERT), "A B C"},
      {"F2", key(VK_F1 + 1), "A B C"},
      {"double click",
       [](TStrEditForm* d) {
         Select(d, 1);
         const Rect r = d->TreeView()->Items()->Item(1)->DisplayRect(true);
         d->TreeView()->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, PointToLParam(r.left + 2, (r.top + r.bottom) / 2));
         EXPECT_EQ(d->ModalResult(), mrNone);
       },
       "A B C"},
      {"A dropped on C", dropOn(0, 2), "B C A"},
      {"C dropped on A", dropOn(2, 0), "C A B"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string before;
    Script(
        [&](TStrEditForm* d) {
          d->TreeView()->SetFocus();
          row.script(d);
          QApplication::processEvents();
          before = Names(d->TreeView());
        },
        "CancelBut");
    EditCreationOrder(&designed);
    EXPECT_EQ(before, row.names);
    EXPECT_EQ(CreationOrder(), "A B C");
  }
}

// The user's way: the list has the focus, the arrow buttons are clicked with
// the mouse. The moved name stays the selected node, the list keeps the
// focus (an arrow button takes none, nor does the panel it stands on), and
// the name is the one row drawn in the highlight colour.
TEST_F(OrderFixture, TheMovedNameIsDrawnSelectedInTheFocusedList) {
  const auto click = [](const char* Name) {
    return [Name](TStrEditForm* d) {
      auto* button = static_cast<TControl*>(d->FindComponent(Name));
      const Rect b = button->BoundsRect();
      QTest::mouseClick(button->Parent()->Handle(), Qt::LeftButton, {},
                        QPoint(static_cast<int>(b.left + b.right) / 2, static_cast<int>(b.top + b.bottom) / 2));
    };
  };
  const auto up = click("SpeedUp"), down = click("SpeedDown");
  struct Row {
    const char* name;
    int select;
    std::vector<std::function<void(TStrEditForm*)>> clicks;
    const char* names;
    const char* selected;
  };
  const Row rows[] = {
      {"C up once", 2, {up}, "A C B", "C"},
      {"C up twice", 2, {up, up}, "C A B", "C"},
      {"A down twice", 0, {down, down}, "B C A", "A"},
      {"C up twice, then down", 2, {up, up, down}, "A C B", "C"},
  };
  const QRgb highlight = QColorOf(clHighlight).rgb();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string names, selected, drawn;
    bool focused = false;
    Script(
        [&](TStrEditForm* d) {
          TZRTreeView* view = d->TreeView();
          view->SetFocus();
          Select(d, row.select);
          for (const auto& c : row.clicks) c(d);
          QApplication::processEvents();
          names = Names(view);
          selected = view->Selected() ? view->Selected()->Text() : "";
          focused = view->Focused();
          const QImage image = view->TreeWidget()->viewport()->grab().toImage();
          for (TTreeNode* n = view->Items()->GetFirstNode(); n; n = n->getNextSibling()) {
            const Rect r = n->DisplayRect(true);
            if (image.pixel(static_cast<int>(r.left) + 1, static_cast<int>(r.top) + 1) == highlight)
              drawn += (drawn.empty() ? "" : " ") + n->Text();
          }
        },
        "CancelBut");
    EditCreationOrder(&designed);
    EXPECT_EQ(names, row.names);
    EXPECT_EQ(selected, row.selected);
    EXPECT_TRUE(focused);
    EXPECT_EQ(drawn, row.selected);
  }
}

TEST_F(OrderFixture, AnErrorAfterOkStillFreesTheListAndTheDialog) {
  SetDesignerModifiedHook([&](TComponent* C) {
    if (C == &designed) throw Exception("designer gone");
  });
  Script([](TStrEditForm* d) { Select(d, 2); Up(d); }, "OkBut");
  EXPECT_THROW(EditCreationOrder(&designed), Exception);
  EXPECT_EQ(OpenDialog(), nullptr);
  EXPECT_EQ(CreationOrder(), "A C B");
}

TEST(OrderEditor, NothingHappensForNothing) {
  EditCreationOrder(nullptr);
  EditTabOrder(nullptr);
  EXPECT_EQ(OpenDialog(), nullptr);
}

// Reading the stored form and writing it again adds nothing to the tree
// view's lines: the stored text holds every property a save would write
// (the places, which the layout may change, aside).
TEST(OrderEditor, TheStoredTreeViewHoldsAllThatIsWrittenBack) {
  auto block = [](const std::string& Text) {
    std::set<std::string> lines;
    const std::size_t from = Text.find("object ZRTreeView: TZRTreeView\n");
    if (from == std::string::npos) return lines;
    const std::size_t to = Text.find("\n    end\n", from);
    std::size_t at = Text.find('\n', from);
    while (at < to) {
      const std::size_t next = Text.find('\n', at + 1);
      std::string line = Text.substr(at + 1, next - at - 1);
      line.erase(0, line.find_first_not_of(' '));
      bool place = false;
      for (const char* p : {"Left =", "Top =", "Width =", "Height ="}) place |= line.rfind(p, 0) == 0;
      if (!place) lines.insert(line);
      at = next;
    }
    return lines;
  };
  StartOrderEditor();
  QFile file(":/res/zrbase/RCDATA/TSTREDITFORM");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const std::set<std::string> stored = block(file.readAll().toStdString());
  ASSERT_FALSE(stored.empty());

  std::unique_ptr<TStrEditForm> form(Construct<TStrEditForm>(nullptr));
  TMemoryStream binary;
  WriteComponentToStream(binary, form.get());
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(binary, text);
  const std::set<std::string> written = block(text.DataString());
  ASSERT_FALSE(written.empty()) << text.DataString();
  for (const std::string& line : written) EXPECT_TRUE(stored.count(line)) << line;
  EXPECT_TRUE(written.count("TabOrder = 3"));
}

}  // namespace
