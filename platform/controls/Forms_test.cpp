#include "platform/controls/Forms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Writer.h"
#include "platform/controls/EditCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/ResourceStore.h"
#include "platform/core/Streams.h"
#include "platform/ui/Screen.h"

namespace {

// A button of the simplest kind: a release on it sets its form's ModalResult.
class TModalProbe : public TWinControl {
 public:
  TModalProbe(TForm* Form, TModalResult Result, int Left) : TWinControl(Form), result_(Result) {
    SetParent(Form);
    SetBounds(Left, 10, 60, 24);
  }

 protected:
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TWinControl::MouseUp(Button, Shift, X, Y);
    if (auto* form = dynamic_cast<TForm*>(GetParentForm(this))) form->SetModalResult(result_);
  }

 private:
  TModalResult result_;
};

struct ModalForm {
  TForm* Form = Construct<TForm>(nullptr);
  TModalProbe* Ok = new TModalProbe(Form, mrOk, 10);
  TModalProbe* Cancel = new TModalProbe(Form, mrCancel, 80);
  TModalProbe* Retry = new TModalProbe(Form, mrRetry, 150);
  ~ModalForm() { Form->Free(); }
};

// Runs Action once the modal loop turns.
void Later(std::function<void()> Action) { QTimer::singleShot(0, qApp, std::move(Action)); }

void Click(TWinControl* Control) { QTest::mouseClick(Control->Handle(), Qt::LeftButton, {}, QPoint(5, 5)); }

TEST(FormModal, ShowModalAnswersThePressedButtonsResult) {
  struct Row {
    const char* name;
    TModalProbe* ModalForm::*button;
    TModalResult expected;
  };
  const Row rows[] = {
      {"ok", &ModalForm::Ok, mrOk},
      {"cancel", &ModalForm::Cancel, mrCancel},
      {"retry", &ModalForm::Retry, mrRetry},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ModalForm f;
    bool wasModalWhileShown = false;
    Later([&] {
      wasModalWhileShown = f.Form->Handle()->isVisible() && f.Form->Handle()->isModal();
      Click(f.*r.button);
    });
    EXPECT_EQ(f.Form->ShowModal(), r.expected);
    EXPECT_TRUE(wasModalWhileShown);
    EXPECT_FALSE(f.Form->Visible());
    EXPECT_FALSE(f.Form->Modal());
  }
}

TEST(FormModal, CloseQueryRefusalKeepsTheLoopAndTheCloseBoxAnswersCancel) {
  ModalForm f;
  int asked = 0;
  f.Form->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = ++asked > 1; };
  std::vector<TModalResult> seen;
  Later([&] {
    Click(f.Ok);  // refused: the form stays
    seen.push_back(f.Form->ModalResult());
    Later([&] {
      seen.push_back(f.Form->Handle()->isVisible() ? mrAll : mrNone);
      f.Form->Handle()->close();  // the close box
    });
  });
  EXPECT_EQ(f.Form->ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(seen, (std::vector<TModalResult>{mrOk, mrAll}));

  // A visible form cannot be made modal.
  f.Form->Show();
  EXPECT_THROW(f.Form->ShowModal(), EInvalidOperation);
}

TEST(FormModal, AFormFreedWhileModalEndsItsLoop) {
  TForm* form = Construct<TForm>(nullptr);
  Later([&] { form->Free(); });
  EXPECT_EQ(form->ShowModal(), mrCancel);
}

TEST(FormClose, CloseDoesWhatOnCloseSays) {
  struct Row {
    TCloseAction action;
    bool queryAllows;
    bool visibleAfter;
  };
  const Row rows[] = {{caHide, true, false}, {caNone, true, true}, {caHide, false, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.action) * 2 + r.queryAllows);
    TForm* form = Construct<TForm>(nullptr);
    form->Show();
    form->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = r.queryAllows; };
    form->OnClose = [&](TObject*, TCloseAction& Action) { Action = r.action; };
    form->Close();
    EXPECT_EQ(form->Visible(), r.visibleAfter);
    form->Free();
  }
  // caFree frees at the next turn, not inside the handler.
  TForm* form = Construct<TForm>(nullptr);
  form->Show();
  form->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
  const int before = Screen->FormCount();
  form->Close();
  EXPECT_EQ(Screen->FormCount(), before);
  QTRY_COMPARE(Screen->FormCount(), before - 1);
}

// Our forms, in the order Screen->Forms lists them.
std::vector<TForm*> OrderOf(const std::vector<TForm*>& Ours) {
  std::vector<TForm*> order;
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (std::find(Ours.begin(), Ours.end(), Screen->Forms(i)) != Ours.end()) order.push_back(Screen->Forms(i));
  return order;
}

TEST(ScreenForms, FormsAreListedInActivationOrder) {
  TForm* a = Construct<TForm>(nullptr);
  TForm* b = Construct<TForm>(nullptr);
  TForm* c = Construct<TForm>(nullptr);
  const std::vector<TForm*> ours{a, b, c};
  EXPECT_EQ(OrderOf(ours), (std::vector<TForm*>{a, b, c}));  // never activated: as made
  for (TForm* form : {c, a, b}) {
    form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form->Handle()));
    EXPECT_EQ(Screen->ActiveForm(), form);
  }
  EXPECT_EQ(OrderOf(ours), (std::vector<TForm*>{b, a, c}));
  c->Handle()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(c->Handle()));
  EXPECT_EQ(OrderOf(ours), (std::vector<TForm*>{c, b, a}));
  EXPECT_EQ(Screen->Forms(0), c);
  c->Free();
  EXPECT_EQ(OrderOf(ours), (std::vector<TForm*>{b, a}));
  EXPECT_NE(Screen->ActiveForm(), c);
  a->Free();
  b->Free();
}

TEST(FormWindow, BorderAndFormStyleDecideTheWindowFlags) {
  struct Row {
    TFormBorderStyle border;
    TFormStyle style;
    Qt::WindowType type;
    bool frameless, onTop, fixed;
  };
  const Row rows[] = {
      {bsSizeable, fsNormal, Qt::Window, false, false, false},
      {bsSizeable, fsStayOnTop, Qt::Window, false, true, false},
      {bsNone, fsNormal, Qt::Window, true, false, false},
      {bsSingle, fsNormal, Qt::Window, false, false, true},
      {bsDialog, fsStayOnTop, Qt::Dialog, false, true, true},
      {bsToolWindow, fsNormal, Qt::Tool, false, false, true},
      {bsSizeToolWin, fsNormal, Qt::Tool, false, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.border) * 10 + r.style);
    TForm* form = Construct<TForm>(nullptr);
    form->Show();
    form->SetBorderStyle(r.border);  // an existing window is made again
    form->SetFormStyle(r.style);
    QWidget* w = form->Handle();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowType(), r.type);
    EXPECT_EQ(w->windowFlags().testFlag(Qt::FramelessWindowHint), r.frameless);
    EXPECT_EQ(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint), r.onTop);
    EXPECT_EQ(w->minimumSize() == w->maximumSize(), r.fixed);
    form->SetBounds(0, 0, 210, 110);  // a fixed size follows the bounds
    EXPECT_EQ(w->size(), QSize(210, 110));
    form->Free();
  }
  // A form inside another control is no window of its own.
  TForm* host = Construct<TForm>(nullptr);
  auto* inner = new TForm(host, TForm::CreateNew{});
  inner->SetParent(host);
  inner->SetFormStyle(fsStayOnTop);
  host->Show();
  inner->Show();
  EXPECT_FALSE(inner->Handle()->isWindow());
  EXPECT_EQ(inner->Handle()->parentWidget(), host->Handle());
  host->Free();
}

TEST(FormWindow, BorderIconsDecideTheTitleBarButtons) {
  struct Row {
    const char* name;
    TFormBorderStyle border;
    TBorderIcons icons;
    bool menu, close, min, max, help;
  };
  const TBorderIcons all{biSystemMenu, biMinimize, biMaximize, biHelp};
  const Row rows[] = {
      {"sizeable, default", bsSizeable, kDefaultBorderIcons, true, true, true, true, false},
      {"sizeable, menu only", bsSizeable, {biSystemMenu}, true, true, false, false, false},
      {"sizeable, menu and minimize", bsSizeable, {biSystemMenu, biMinimize}, true, true, true, false, false},
      {"sizeable, all", bsSizeable, all, true, true, true, true, true},
      {"single, no menu: no boxes", bsSingle, {biMinimize, biMaximize, biHelp}, false, false, false, false, false},
      {"sizeable, none", bsSizeable, {}, false, false, false, false, false},
      {"dialog, default: no min or max", bsDialog, kDefaultBorderIcons, true, true, false, false, false},
      {"dialog, help", bsDialog, {biSystemMenu, biHelp}, true, true, false, false, true},
      {"tool window, menu", bsToolWindow, all, true, true, false, false, true},
      {"tool window, none", bsSizeToolWin, {}, false, false, false, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    for (const bool before : {false, true}) {
      SCOPED_TRACE(before ? "set before the window" : "set on a shown window");
      TForm* form = Construct<TForm>(nullptr);
      form->SetBorderStyle(r.border);
      if (before) form->SetBorderIcons(r.icons);
      form->Show();
      if (!before) form->SetBorderIcons(r.icons);
      QWidget* w = form->Handle();
      const Qt::WindowFlags f = w->windowFlags();
      EXPECT_TRUE(w->isVisible());
      EXPECT_TRUE(f.testFlag(Qt::CustomizeWindowHint));
      EXPECT_EQ(f.testFlag(Qt::WindowSystemMenuHint), r.menu);
      EXPECT_EQ(f.testFlag(Qt::WindowCloseButtonHint), r.close);
      EXPECT_EQ(f.testFlag(Qt::WindowMinimizeButtonHint), r.min);
      EXPECT_EQ(f.testFlag(Qt::WindowMaximizeButtonHint), r.max);
      EXPECT_EQ(f.testFlag(Qt::WindowContextHelpButtonHint), r.help);
      form->Free();
    }
  }
  // No frame, no buttons.
  EXPECT_EQ(WindowFlagsFor(bsNone, kDefaultBorderIcons), Qt::Window | Qt::FramelessWindowHint);
}

std::string FormText(TForm* Form) {
  TStringStream binary, text;
  WriteComponentToStream(binary, Form);
  binary.SetPosition(0);
  ObjectBinaryToText(binary, text);
  return text.DataString();
}

void ReadFormText(TForm* Form, const std::string& Text) {
  TStringStream text(Text), binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  ReadComponentFromStream(binary, Form);
}

TEST(FormStore, TheClientSizeIconsAndScalingAreStoredAndDefaultsAreNot) {
  TForm* form = new TForm(nullptr, TForm::CreateNew{});
  form->SetName("Probe");
  form->SetClientWidth(368);
  form->SetClientHeight(283);
  const std::string plain = FormText(form);
  SCOPED_TRACE(plain);
  EXPECT_NE(plain.find("ClientWidth = 368\n"), std::string::npos);
  EXPECT_NE(plain.find("ClientHeight = 283\n"), std::string::npos);
  EXPECT_NE(plain.find("PixelsPerInch = " + std::to_string(Screen->PixelsPerInch()) + "\n"), std::string::npos);
  for (const char* absent : {" Width =", " Height =", "BorderIcons", "Scaled", "ParentFont"})
    EXPECT_EQ(plain.find(absent), std::string::npos) << absent;

  form->SetBorderIcons({biSystemMenu, biHelp});
  form->SetScaled(false);
  form->SetParentFont(false);
  const std::string changed = FormText(form);
  SCOPED_TRACE(changed);
  EXPECT_NE(changed.find("BorderIcons = [biSystemMenu, biHelp]\n"), std::string::npos);
  EXPECT_NE(changed.find("Scaled = False\n"), std::string::npos);
  EXPECT_NE(changed.find("ParentFont = False\n"), std::string::npos);
  EXPECT_EQ(changed.find("PixelsPerInch"), std::string::npos);  // kept only by scaled forms
  form->Free();

  TForm* again = new TForm(nullptr, TForm::CreateNew{});
  ReadFormText(again, changed);
  EXPECT_EQ(again->BorderIcons(), (TBorderIcons{biSystemMenu, biHelp}));
  EXPECT_FALSE(again->Scaled());
  EXPECT_FALSE(again->ParentFont());
  EXPECT_EQ(again->ClientWidth(), 368);
  EXPECT_EQ(again->ClientHeight(), 283);
  again->Free();

  // An older stored form with its outer size.
  TForm* older = new TForm(nullptr, TForm::CreateNew{});
  ReadFormText(older, "object Probe: TForm\n  Width = 300\n  Height = 200\nend\n");
  EXPECT_EQ(older->Width(), 300);
  EXPECT_EQ(older->Height(), 200);
  older->Free();
}

class DenseScreen final : public TScreenSource {
 public:
  Size ScreenSize() override { return {1000, 800}; }
  Point CursorPos() override { return {0, 0}; }
  int PixelsPerInch() override { return 120; }
};

TEST(FormStore, AScaledFormReadAtAnotherDensityScalesItsControls) {
  DenseScreen screen;
  TScreenSource* const old = Screen->SetSource(&screen);
  RegisterClasses({TButton::StaticClass()});
  struct Row {
    const char* name;
    const char* scaled;
    int pixelsPerInch;
    Rect form, button;
  };
  const Row rows[] = {
      {"designed at 96: x 1.25", "", 96, {0, 0, 250, 200}, {10, 20, 110, 60}},
      {"not scaled: design pixels", "  Scaled = False\n", 96, {0, 0, 200, 160}, {8, 16, 88, 48}},
      {"designed at the screen's", "", 120, {0, 0, 200, 160}, {8, 16, 88, 48}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TForm* form = new TForm(nullptr, TForm::CreateNew{});
    ReadFormText(form, std::string("object Probe: TForm\n  ClientWidth = 200\n  ClientHeight = 160\n") + r.scaled +
                           "  PixelsPerInch = " + std::to_string(r.pixelsPerInch) +
                           "\n  object B: TButton\n    Left = 8\n    Top = 16\n    Width = 80\n    Height = 32\n"
                           "  end\nend\n");
    EXPECT_EQ(form->ClientRect(), r.form);
    ASSERT_EQ(form->ControlCount(), 1);
    EXPECT_EQ(form->Controls(0)->BoundsRect(), r.button);
    EXPECT_EQ(form->PixelsPerInch(), r.scaled[0] ? r.pixelsPerInch : 120);
    form->Free();
  }
  Screen->SetSource(old);

  // A font of the control's own scales; a font taken from the parent
  // follows the parent's.
  TForm* form = new TForm(nullptr, TForm::CreateNew{});
  auto* own = new TButton(form);
  own->SetParent(form);
  own->Font()->SetHeight(-20);
  auto* taken = new TButton(form);
  taken->SetParent(form);
  const int formHeight = form->Font()->Height();
  form->ScaleBy(3, 2);
  EXPECT_EQ(own->Font()->Height(), -30);
  EXPECT_FALSE(own->ParentFont());
  EXPECT_TRUE(taken->ParentFont());
  EXPECT_EQ(taken->Font()->Height(), formHeight);
  form->Free();
}

// A panel only holds controls: a click on it (or on a speed button drawn on
// it) leaves the focus where it was, while a click on an edit takes it.
TEST(FormFocus, AClickOnAPanelLeavesTheFocusWhereItWas) {
  TForm* form = Construct<TForm>(nullptr);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 80, 24);
  auto* other = new TEdit(form);
  other->SetParent(form);
  other->SetBounds(10, 40, 80, 24);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(100, 10, 80, 60);
  form->SetActiveControl(edit);
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form->Handle()));
  ASSERT_TRUE(edit->Focused());
  Click(panel);
  EXPECT_TRUE(edit->Focused());
  Click(other);
  EXPECT_TRUE(other->Focused());
  form->Free();
}

class FixedScreen final : public TScreenSource {
 public:
  Size ScreenSize() override { return {1000, 800}; }
  Point CursorPos() override { return {0, 0}; }
};

TEST(FormWindow, PositionPlacesTheFormWhenFirstShown) {
  FixedScreen screen;
  TScreenSource* const old = Screen->SetSource(&screen);
  TForm* owner = Construct<TForm>(nullptr);
  owner->SetBounds(100, 50, 400, 300);
  struct Row {
    TPosition position;
    TComponent* owner;
    Point expected;
  };
  const Row rows[] = {
      {poDesigned, nullptr, {7, 9}},
      {poScreenCenter, nullptr, {350, 300}},
      {poOwnerFormCenter, owner, {150, 100}},
      {poOwnerFormCenter, nullptr, {350, 300}},  // no owner form: the screen
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.position));
    TForm* form = new TForm(r.owner, TForm::CreateNew{});
    form->SetBounds(7, 9, 300, 200);
    form->SetPosition(r.position);
    form->Show();
    EXPECT_EQ(form->Left(), r.expected.x);
    EXPECT_EQ(form->Top(), r.expected.y);
    form->Hide();
    form->SetBounds(1, 2, 300, 200);
    form->Show();  // placed once only
    EXPECT_EQ(form->Left(), 1);
    form->Free();
  }
  owner->Free();
  Screen->SetSource(old);
}

TEST(FormWindow, ActiveControlTakesTheFocusOnShowAndFollowsIt) {
  TForm* form = Construct<TForm>(nullptr);
  auto* a = new TWinControl(form);
  a->SetParent(form);
  a->SetBounds(0, 0, 50, 20);
  auto* b = new TWinControl(form);
  b->SetParent(form);
  b->SetBounds(0, 30, 50, 20);
  TForm* other = Construct<TForm>(nullptr);
  EXPECT_THROW(form->SetActiveControl(other), EInvalidOperation);
  EXPECT_THROW(form->SetActiveControl(form), EInvalidOperation);
  form->SetActiveControl(b);
  EXPECT_FALSE(b->Focused());
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form->Handle()));
  EXPECT_TRUE(b->Focused());
  a->SetFocus();
  EXPECT_EQ(form->ActiveControl(), a);
  form->SetActiveControl(b);  // shown: at once
  EXPECT_TRUE(b->Focused());
  b->Free();
  EXPECT_EQ(form->ActiveControl(), nullptr);
  other->Free();
  form->Free();
}

struct MenuLog {
  std::string text;
  void Clicked(TObject* Sender) { text += static_cast<TComponent*>(Sender)->Name() + ";"; }
};

TMenuItem* AddMenuItem(TForm* Form, TMenuItem* Parent, const char* Name, TShortCut Key, MenuLog& Log) {
  auto* item = new TMenuItem(Form);
  item->SetName(Name);
  item->SetCaption(Name);
  item->SetShortCut(Key);
  item->OnClick = TNotifyEvent::Of<&MenuLog::Clicked>(Log);
  Parent->Add(item);
  return item;
}

TEST(FormMenu, MenuShortcutsWinOverTheFocusedEditsOwnKeys) {
  TForm* form = Construct<TForm>(nullptr);
  MenuLog log;
  auto* menu = new TMainMenu(form);
  TMenuItem* edit = AddMenuItem(form, menu->Items(), "editMenu", 0, log);
  AddMenuItem(form, edit, "selectAll", 0x4000 | 'A', log);
  AddMenuItem(form, edit, "remove", VK_DELETE, log);
  AddMenuItem(form, edit, "undo", 0x8000 | VK_BACK, log);
  AddMenuItem(form, edit, "hidden", 'Y', log)->SetVisible(false);
  form->SetMenu(menu);
  auto* popup = new TPopupMenu(form);
  AddMenuItem(form, popup->Items(), "popupItem", 0x4000 | 'E', log);

  auto* first = new TEdit(form);
  first->SetParent(form);
  first->SetBounds(10, 40, 200, 24);
  first->SetPopupMenu(popup);
  auto* second = new TEdit(form);
  second->SetParent(form);
  second->SetBounds(10, 80, 200, 24);
  form->SetActiveControl(first);
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form->Handle()));
  ASSERT_TRUE(first->Focused());
  // The bar lies above the client area.
  QMenuBar* bar = form->Handle()->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->geometry().width(), form->Width());

  struct Row {
    TEdit* focus;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* clicked;
    const char* text;  // the edit's text afterwards, "|" the cursor
  };
  const Row rows[] = {
      {first, Qt::Key_A, Qt::ControlModifier, "selectAll;", "a|bc"},  // the edit would select all
      {first, Qt::Key_Delete, Qt::NoModifier, "remove;", "a|bc"},     // ... delete the "b"
      {first, Qt::Key_Backspace, Qt::AltModifier, "undo;", "a|bc"},
      {first, Qt::Key_E, Qt::ControlModifier, "popupItem;", "a|bc"},  // the focused control's pop-up menu
      {first, Qt::Key_X, Qt::NoModifier, "", "ax|bc"},                // no shortcut: the edit types
      {first, Qt::Key_Y, Qt::NoModifier, "", "ay|bc"},                // a hidden item's key: the edit types
      {second, Qt::Key_E, Qt::ControlModifier, "", "a|bc"},           // another control's pop-up menu: not here
      {second, Qt::Key_A, Qt::ControlModifier, "selectAll;", "a|bc"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(QKeySequence(QKeyCombination(row.modifiers, row.key)).toString().toStdString());
    row.focus->SetFocus();
    auto* line = qobject_cast<QLineEdit*>(row.focus->Handle());
    ASSERT_NE(line, nullptr);
    line->setText("abc");
    line->setCursorPosition(1);
    log.text.clear();
    QTest::keyClick(line, row.key, row.modifiers);
    EXPECT_EQ(log.text, row.clicked);
    std::string shown = line->text().toStdString();
    shown.insert(static_cast<std::size_t>(line->cursorPosition()), "|");
    EXPECT_EQ(shown, row.text);
    EXPECT_FALSE(line->hasSelectedText());
  }

  // A freed menu is forgotten.
  menu->Free();
  EXPECT_EQ(form->Menu(), nullptr);
  log.text.clear();
  QTest::keyClick(first->Handle(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(log.text, "");
  form->Free();
}

TEST(FormMenu, ARightClickShowsThePopupMenuOfTheControlUnderIt) {
  TForm* form = Construct<TForm>(nullptr);
  form->SetBounds(0, 0, 300, 200);
  auto* popup = new TPopupMenu(form);
  popup->Items()->Add(new TMenuItem(form));
  std::vector<TComponent*> shownFor;
  struct Watch {
    std::vector<TComponent*>* shown;
    void Popped(TObject* Sender) { shown->push_back(static_cast<TPopupMenu*>(Sender)->PopupComponent()); }
  } watch{&shownFor};
  popup->OnPopup = TNotifyEvent::Of<&Watch::Popped>(watch);
  auto* panel = new TWinControl(form);  // has the menu
  panel->SetParent(form);
  panel->SetBounds(0, 0, 300, 100);
  panel->SetPopupMenu(popup);
  auto* inner = new TWinControl(form);  // has none: the request goes to the panel
  inner->SetParent(panel);
  inner->SetBounds(10, 10, 50, 50);
  auto* label = new TLabel(form);  // a graphic control with the menu
  label->SetParent(form);
  label->SetBounds(10, 120, 80, 20);
  label->SetPopupMenu(popup);
  auto* plain = new TWinControl(form);  // neither it nor the form has one
  plain->SetParent(form);
  plain->SetBounds(200, 120, 50, 50);
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form->Handle()));

  const auto rightClick = [](QWidget* widget, QPoint at) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
  };
  EXPECT_TRUE(rightClick(inner->Handle(), {5, 5}));
  EXPECT_TRUE(rightClick(form->Handle(), {20, 125}));
  EXPECT_TRUE(rightClick(panel->Handle(), {200, 50}));
  EXPECT_FALSE(rightClick(plain->Handle(), {5, 5}));
  EXPECT_EQ(shownFor, (std::vector<TComponent*>{panel, label, panel}));
  popup->Items()->SubMenu()->hide();

  popup->SetAutoPopup(false);
  EXPECT_FALSE(rightClick(panel->Handle(), {5, 5}));
  EXPECT_EQ(shownFor.size(), 3u);
  label->Free();  // the menu forgets the control it was shown for
  EXPECT_EQ(popup->PopupComponent(), panel);
  panel->Free();
  EXPECT_EQ(popup->PopupComponent(), nullptr);
  form->Free();
}

}  // namespace
