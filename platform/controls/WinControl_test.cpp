// Windows of the control core: their life, their place among parents and
// owners, keys through Qt, and the exception guard.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <string>
#include <vector>

#include "platform/controls/ControlWindow.h"
#include "platform/controls/Controls.h"
#include "platform/controls/CustomControl.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/Color.h"
#include "platform/ui/Application.h"
#include "platform/ui/DialogService.h"

namespace {

// Keeps a text across its window's life, as an edit keeps its text.
class TKeeper : public TWinControl {
  KESTOVA_CLASS(TKeeper)
 public:
  using TWinControl::TWinControl;
  int creates = 0, destroys = 0;

 protected:
  void CreateWnd() override {
    TWinControl::CreateWnd();
    ++creates;
    Handle()->setToolTip(QString::fromStdString(kept_));
  }
  void DestroyWnd() override {
    ++destroys;
    kept_ = Handle()->toolTip().toStdString();
    TWinControl::DestroyWnd();
  }

 private:
  std::string kept_;
};
KESTOVA_CLASS_INFO(TKeeper, TWinControl, "ControlsTest", nullptr)

TEST(ControlWindows, RecreateWndDestroysAndCreatesAndKeepsWhatDestroyWndSaved) {
  TKeeper form(nullptr);
  TKeeper child(nullptr);
  child.SetParent(&form);
  form.HandleNeeded();
  ASSERT_TRUE(child.HandleAllocated());
  form.Handle()->setToolTip("form text");
  child.Handle()->setToolTip("child text");
  form.RecreateWnd();
  EXPECT_EQ(form.destroys, 1);
  EXPECT_EQ(form.creates, 2);
  EXPECT_EQ(child.destroys, 1);
  EXPECT_EQ(child.creates, 2);
  EXPECT_EQ(form.Handle()->toolTip(), "form text");
  EXPECT_EQ(child.Handle()->toolTip(), "child text");
  EXPECT_EQ(child.Handle()->parentWidget(), form.Handle());
}

TEST(ControlWindows, OwnerAndParentStayApart) {
  auto* form = new TWinControl(nullptr);
  auto* panel = new TWinControl(form);
  auto* button = new TWinControl(form);
  auto* label = new TGraphicControl(form);
  panel->SetParent(form);
  button->SetParent(panel);
  label->SetParent(panel);
  form->HandleNeeded();
  EXPECT_EQ(button->Owner(), form);
  EXPECT_EQ(button->Parent(), panel);
  EXPECT_EQ(form->ComponentCount(), 3);
  EXPECT_EQ(form->ControlCount(), 1);
  EXPECT_EQ(panel->ControlCount(), 2);
  EXPECT_EQ(button->Handle()->parentWidget(), panel->Handle());
  // The panel frees what it shows; the form's components lose them.
  panel->Free();
  EXPECT_EQ(form->ComponentCount(), 0);
  EXPECT_EQ(form->ControlCount(), 0);
  form->Free();  // frees nothing twice (ASan)
}

TEST(ControlWindows, AControlLeavingItsParentLeavesItsWindowToo) {
  TWinControl form(nullptr), other(nullptr);
  TWinControl child(nullptr);
  child.SetParent(&form);
  form.HandleNeeded();
  child.SetParent(&other);  // other has no window yet
  EXPECT_FALSE(child.HandleAllocated());
  EXPECT_EQ(form.ControlCount(), 0);
  other.HandleNeeded();
  EXPECT_EQ(child.Handle()->parentWidget(), other.Handle());
}

// A focusable control that records its key messages as text.
class TKeyProbe : public TCustomControl {
  KESTOVA_CLASS(TKeyProbe)
 public:
  using TCustomControl::TCustomControl;
  std::string log;
  std::intptr_t dialogCode = 0;
  std::uint16_t notifyTaken = 0;  // CN_KEYDOWN answers 1 for this key
  std::uint16_t consume = 0;      // KeyDown sets this key to 0
  bool raiseOnKey = false;

  void WndProc(TMessage& Message) override {
    switch (Message.Msg) {
      case CN_KEYDOWN:
        log += "cn:" + std::to_string(Message.WParam) + " ";
        break;
      case WM_KEYDOWN:
        log += "down:" + std::to_string(Message.WParam) + " ";
        break;
      case WM_CHAR:
        log += "char:" + std::to_string(Message.WParam) + " ";
        break;
      case WM_GETDLGCODE:
        Message.Result = dialogCode;
        return;
      default:
        break;
    }
    if (Message.Msg == CN_KEYDOWN && Message.WParam == notifyTaken) {
      Message.Result = 1;
      return;
    }
    TCustomControl::WndProc(Message);
  }

 protected:
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override {
    if (raiseOnKey) throw Exception("Key handler failed");
    if (Key == consume) Key = 0;
  }
};
KESTOVA_CLASS_INFO(TKeyProbe, TCustomControl, "ControlsTest", nullptr)

// A form with two probes side by side, shown and active, the first focused.
struct KeyForm {
  TWinControl form{nullptr};
  TKeyProbe* first = new TKeyProbe(&form);
  TKeyProbe* second = new TKeyProbe(&form);
  KeyForm() {
    form.SetBounds(0, 0, 200, 100);
    first->SetBounds(0, 0, 100, 100);
    second->SetBounds(100, 0, 100, 100);
    first->SetParent(&form);
    second->SetParent(&form);
    form.Show();
    QApplication::setActiveWindow(form.Handle());
    first->SetFocus();
  }
};

TEST(ControlKeys, TabMovesTheFocusUnlessTheControlClaimsIt) {
  {
    KeyForm f;
    QTest::keyClick(f.first->Handle(), Qt::Key_Tab);
    EXPECT_EQ(f.first->log, "cn:9 ");
    EXPECT_TRUE(f.second->Focused());
  }
  {
    KeyForm f;
    f.first->dialogCode = DLGC_WANTTAB;
    QTest::keyClick(f.first->Handle(), Qt::Key_Tab);
    EXPECT_EQ(f.first->log, "cn:9 down:9 char:9 ");
    EXPECT_TRUE(f.first->Focused());
    EXPECT_EQ(f.second->log, "");
  }
}

TEST(ControlKeys, AKeyTakenByTheNotificationHasNoKeyDownAndNoCharacter) {
  KeyForm f;
  f.first->notifyTaken = 'B';
  QTest::keyClick(f.first->Handle(), Qt::Key_B);
  QTest::keyClick(f.first->Handle(), Qt::Key_C);
  EXPECT_EQ(f.first->log, "cn:66 cn:67 down:67 char:99 ");
}

// A line edit whose key handling goes through the control first.
class TProbeEdit : public TKeyProbe {
  KESTOVA_CLASS(TProbeEdit)
 public:
  using TKeyProbe::TKeyProbe;
  char32_t replace = 0;  // KeyPress turns 'a' into this (0 drops it)
  QLineEdit* Edit() { return static_cast<QLineEdit*>(Handle()); }

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override {
    return new TControlWindow<QLineEdit>(this, Parent);
  }
  void KeyPress(char32_t& Key) override {
    if (Key == U'a') Key = replace;
  }
};
KESTOVA_CLASS_INFO(TProbeEdit, TKeyProbe, "ControlsTest", nullptr)

TEST(ControlKeys, TheWidgetClassGetsWhatTheHandlersLeave) {
  struct Row {
    const char* name;
    std::uint16_t consume;
    char32_t replace;
    const char* typed;  // "ab" is typed
  } rows[] = {
      {"nothing changed", 0, U'a', "ab"},
      {"character replaced", 0, U'x', "xb"},
      {"character dropped", 0, 0, "b"},
      {"key consumed", 'A', U'a', "b"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TWinControl form(nullptr);
    auto* edit = new TProbeEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(0, 0, 100, 20);
    edit->consume = row.consume;
    edit->replace = row.replace;
    form.Show();
    QTest::keyClicks(edit->Edit(), "ab");
    EXPECT_EQ(edit->Edit()->text().toStdString(), row.typed);
  }
}

TEST(ControlKeys, AHandlerExceptionIsShownOnceAndStaysOutOfQt) {
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  KeyForm f;
  f.first->raiseOnKey = true;
  std::vector<std::string> hooked;
  const TApplication::TExceptionHook hook = [&](const std::exception& Error, bool&) { hooked.push_back(Error.what()); };
  Application->AddExceptionHook(hook);
  EXPECT_NO_THROW(QTest::keyClick(f.first->Handle(), Qt::Key_A));
  Application->RemoveExceptionHook(hook);
  ASSERT_EQ(dialogs.Count("message"), 1);
  EXPECT_EQ(dialogs.Calls()[0].text, "Key handler failed.");
  // The control's guard goes through the exception-display hooks too.
  EXPECT_EQ(hooked, (std::vector<std::string>{"Key handler failed"}));
}

TEST(ControlKeys, AHandlerMayRecreateOrFreeTheWindowsItRunsIn) {
  KeyForm f;
  const TWndMethod original = f.first->WindowProc;
  f.first->WindowProc = [&](TMessage& Message) {
    if (Message.Msg == WM_KEYDOWN && Message.WParam == 'R') f.form.RecreateWnd();  // the parent's window too
    if (Message.Msg == WM_KEYDOWN && Message.WParam == 'F') {
      f.first->Free();
      return;
    }
    original(Message);
  };
  QTest::keyClick(f.first->Handle(), Qt::Key_R);
  // The character was meant for the window that went, as on the original
  // platform: it is not typed.
  EXPECT_EQ(f.first->log, "cn:82 down:82 ");
  QTest::keyClick(f.first->Handle(), Qt::Key_F);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(f.form.ControlCount(), 1);
}

TEST(ControlMouse, CaptureIsAGrabThatAnErrorReleases) {
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  KeyForm f;
  f.first->SetMouseCapture(true);
  EXPECT_TRUE(f.first->MouseCapture());
  EXPECT_FALSE(f.second->MouseCapture());
  f.first->raiseOnKey = true;
  QTest::keyClick(f.first->Handle(), Qt::Key_A);
  EXPECT_FALSE(f.first->MouseCapture());
  f.second->SetMouseCapture(true);
  f.second->SetMouseCapture(false);
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

// Counts the colour and font notices it gets.
class TLooksProbe : public TWinControl {
  KESTOVA_CLASS(TLooksProbe)
 public:
  using TWinControl::TWinControl;
  int colorNotices = 0, fontNotices = 0;
  void WndProc(TMessage& Message) override {
    colorNotices += Message.Msg == CM_COLORCHANGED;
    fontNotices += Message.Msg == CM_FONTCHANGED;
    TWinControl::WndProc(Message);
  }
};
KESTOVA_CLASS_INFO(TLooksProbe, TWinControl, "ControlsTest", nullptr)

TEST(ControlLooks, ColorAndFontFollowTheParentUntilTheControlSetsItsOwn) {
  TLooksProbe form(nullptr);
  form.SetColor(clBlue);
  form.Font()->SetSize(20);
  auto* panel = new TLooksProbe(&form);
  auto* inner = new TGraphicControl(&form);
  panel->SetParent(&form);
  inner->SetParent(panel);
  EXPECT_EQ(panel->Color(), clBlue);  // taken on joining
  EXPECT_EQ(inner->Font()->Size(), 20);
  EXPECT_TRUE(panel->ParentColor());
  EXPECT_TRUE(panel->ParentFont());

  panel->colorNotices = panel->fontNotices = 0;
  form.SetColor(clRed);
  form.Font()->SetName("Liberation Mono");
  EXPECT_EQ(inner->Color(), clRed);
  EXPECT_EQ(inner->Font()->Name(), "Liberation Mono");
  EXPECT_EQ(panel->colorNotices, 1);
  EXPECT_EQ(panel->fontNotices, 1);

  panel->SetColor(clLime);
  panel->Font()->SetSize(8);
  EXPECT_FALSE(panel->ParentColor());
  EXPECT_FALSE(panel->ParentFont());
  form.SetColor(clYellow);
  form.Font()->SetSize(30);
  EXPECT_EQ(panel->Color(), clLime);
  EXPECT_EQ(inner->Color(), clLime);  // follows its own parent
  EXPECT_EQ(inner->Font()->Size(), 8);

  panel->SetParentColor(true);
  panel->SetParentFont(true);
  EXPECT_EQ(inner->Color(), clYellow);
  EXPECT_EQ(inner->Font()->Size(), 30);
}

// Records mouse calls of a graphic control.
class TMouseProbe : public TGraphicControl {
  KESTOVA_CLASS(TMouseProbe)
 public:
  using TGraphicControl::TGraphicControl;
  std::string log;

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    log += "down " + std::to_string(X) + "," + std::to_string(Y) + (Shift.Contains(ssDouble) ? " double" : "") + ";";
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    log += "up " + std::to_string(X) + "," + std::to_string(Y) + ";";
  }
};
KESTOVA_CLASS_INFO(TMouseProbe, TGraphicControl, "ControlsTest", nullptr)

TEST(ControlMouse, TheParentHandsClicksToTheGraphicControlUnderThemWithTheDoubleClickFlag) {
  TWinControl form(nullptr);
  auto* probe = new TMouseProbe(&form);
  probe->SetParent(&form);
  form.SetBounds(0, 0, 100, 100);
  probe->SetBounds(20, 30, 40, 40);
  form.Show();
  QTest::mouseClick(form.Handle(), Qt::LeftButton, {}, QPoint(25, 35));
  QTest::mouseDClick(form.Handle(), Qt::LeftButton, {}, QPoint(30, 40));
  QTest::mouseClick(form.Handle(), Qt::LeftButton, {}, QPoint(90, 90));  // outside it
  // The test double click is the double-click event alone.
  EXPECT_EQ(probe->log, "down 5,5;up 5,5;down 10,10 double;");
}

// Writes its focus notices to a shared log.
class TFocusProbe : public TCustomControl {
  KESTOVA_CLASS(TFocusProbe)
 public:
  TFocusProbe(TComponent* AOwner, std::string& log, std::string name)
      : TCustomControl(AOwner), log_(log), name_(std::move(name)) {}
  void WndProc(TMessage& Message) override {
    if (Message.Msg == CM_ENTER) log_ += "enter:" + name_ + " ";
    if (Message.Msg == CM_EXIT) log_ += "exit:" + name_ + " ";
    TCustomControl::WndProc(Message);
  }

 private:
  std::string& log_;
  std::string name_;
};
KESTOVA_CLASS_INFO(TFocusProbe, TCustomControl, "ControlsTest", nullptr)

TEST(ControlFocus, EnterAndExitFollowTheParentChainsBelowWhatTheyShare) {
  std::string log;
  TFocusProbe form(nullptr, log, "form");
  auto* panel = new TFocusProbe(&form, log, "panel");
  auto* inPanel = new TFocusProbe(&form, log, "a");
  auto* alone = new TFocusProbe(&form, log, "b");
  panel->SetParent(&form);
  inPanel->SetParent(panel);
  alone->SetParent(&form);
  form.SetBounds(0, 0, 200, 100);
  panel->SetBounds(0, 0, 100, 100);
  inPanel->SetBounds(10, 10, 50, 50);
  alone->SetBounds(100, 0, 100, 100);
  form.Show();
  QApplication::setActiveWindow(form.Handle());
  panel->SetFocus();  // activation may have focused a control already
  struct Step {
    TWinControl* focus;
    const char* log;
  } steps[] = {
      {inPanel, "enter:a "},
      {alone, "exit:a exit:panel enter:b "},
      {inPanel, "exit:b enter:panel enter:a "},
      {panel, "exit:a "},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.log);
    log.clear();
    step.focus->SetFocus();
    EXPECT_EQ(log, step.log);
    EXPECT_EQ(form.FocusedControl(), step.focus);
  }
  panel->Free();  // held the focused control: the form forgets it
  EXPECT_EQ(form.FocusedControl(), nullptr);
}

}  // namespace

namespace {

// Probe controls placed by the alignment pass: a window control and a
// graphic one.
struct AlignProbe {
  TAlign align;
  int left, top, width, height;
  bool visible = true;
  bool graphic = false;
};

TEST(ControlAlign, ThePassPlacesTopBottomLeftRightThenClientInWhatIsLeft) {
  struct Row {
    const char* name;
    std::vector<AlignProbe> probes;
    std::vector<Rect> expected;
  };
  const Row rows[] = {
      {"one of each",
       {{alClient, 0, 0, 5, 5},
        {alRight, 0, 0, 40, 9},
        {alLeft, 0, 0, 50, 9, true, true},
        {alBottom, 0, 0, 9, 20},
        {alTop, 0, 0, 9, 30}},
       {{50, 30, 260, 180}, {260, 30, 300, 180}, {0, 30, 50, 180}, {0, 180, 300, 200}, {0, 0, 300, 30}}},
      {"two tops in order of Top, the lower one second",
       {{alTop, 0, 50, 9, 10}, {alTop, 0, 5, 9, 25}},
       {{0, 25, 300, 35}, {0, 0, 300, 25}}},
      {"two bottoms: the one with the lower bottom edge nearer the edge",
       {{alBottom, 0, 100, 9, 10}, {alBottom, 0, 150, 9, 20}},
       {{0, 170, 300, 180}, {0, 180, 300, 200}}},
      {"two rights: the one further right nearer the edge",
       {{alRight, 200, 0, 30, 9}, {alRight, 100, 0, 20, 9}},
       {{270, 0, 300, 200}, {250, 0, 270, 200}}},
      {"a hidden control takes no room and keeps its bounds",
       {{alTop, 0, 0, 9, 40, false}, {alClient, 0, 0, 5, 5}},
       {{0, 0, 9, 40}, {0, 0, 300, 200}}},
      {"alNone keeps its bounds",
       {{alNone, 7, 8, 9, 10}, {alLeft, 0, 0, 60, 9, true, true}},
       {{7, 8, 16, 18}, {0, 0, 60, 200}}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 300, 200);
    parent.DisableAlign();
    std::vector<TControl*> children;
    for (const AlignProbe& p : r.probes) {
      TControl* c = p.graphic ? static_cast<TControl*>(new TGraphicControl(&parent)) : new TWinControl(&parent);
      c->SetBounds(p.left, p.top, p.width, p.height);
      c->SetVisible(p.visible);
      c->SetAlign(p.align);
      c->SetParent(&parent);
      children.push_back(c);
    }
    parent.EnableAlign();
    for (std::size_t i = 0; i < children.size(); ++i) EXPECT_EQ(children[i]->BoundsRect(), r.expected[i]) << i;
  }
}

TEST(ControlAlign, ResizingTheParentOrChangingAChildRunsThePassAgain) {
  TWinControl form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* top = new TWinControl(&form);
  top->SetHeight(30);
  top->SetParent(&form);
  top->SetAlign(alTop);
  auto* client = new TWinControl(&form);
  client->SetParent(&form);
  client->SetAlign(alClient);
  auto* inner = new TWinControl(&form);  // aligned inside the client control
  inner->SetParent(client);
  inner->SetWidth(25);
  inner->SetAlign(alRight);
  EXPECT_EQ(client->BoundsRect(), (Rect{0, 30, 300, 200}));
  EXPECT_EQ(inner->BoundsRect(), (Rect{275, 0, 300, 170}));

  form.SetBounds(0, 0, 400, 300);
  EXPECT_EQ(top->BoundsRect(), (Rect{0, 0, 400, 30}));
  EXPECT_EQ(client->BoundsRect(), (Rect{0, 30, 400, 300}));
  EXPECT_EQ(inner->BoundsRect(), (Rect{375, 0, 400, 270}));

  top->SetHeight(50);
  EXPECT_EQ(client->BoundsRect(), (Rect{0, 50, 400, 300}));
  top->Hide();
  EXPECT_EQ(client->BoundsRect(), (Rect{0, 0, 400, 300}));
  top->Show();
  top->SetParent(nullptr);  // leaving the parent gives its room back
  EXPECT_EQ(client->BoundsRect(), (Rect{0, 0, 400, 300}));
  delete top;

  // The window follows, and a window resized from outside aligns too.
  form.Show();
  EXPECT_EQ(inner->Handle()->geometry(), QRect(375, 0, 25, 300));
  form.Handle()->resize(200, 100);
  EXPECT_EQ(client->BoundsRect(), (Rect{0, 0, 200, 100}));
  EXPECT_EQ(inner->Handle()->geometry(), QRect(175, 0, 25, 100));
}

}  // namespace

namespace {

// Notes the visibility and enabling notices it gets.
class TNoticeProbe : public TWinControl {
 public:
  TNoticeProbe(TWinControl* Parent, std::string Name, std::vector<std::string>& Log)
      : TWinControl(Parent), name_(std::move(Name)), log_(Log) {
    SetParent(Parent);
  }
  void WndProc(TMessage& Message) override {
    if (Message.Msg == CM_VISIBLECHANGED)
      log_.push_back(name_ + ":visible " + std::to_string(Message.WParam));
    else if (Message.Msg == CM_ENABLEDCHANGED)
      log_.push_back(name_ + ":enabled " + std::to_string(Enabled()));
    else if (Message.Msg == CM_SHOWINGCHANGED)
      log_.push_back(name_ + ":showing " + std::to_string(Showing()));
    TWinControl::WndProc(Message);
  }

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

TEST(ControlNotices, VisibleAndEnabledChangesAreToldToTheControlAndShowingToItsVisibleChildren) {
  std::vector<std::string> log;
  TWinControl form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* panel = new TNoticeProbe(&form, "panel", log);
  panel->SetBounds(0, 0, 100, 100);
  auto* inner = new TNoticeProbe(panel, "inner", log);
  inner->SetBounds(0, 0, 50, 50);
  auto* deeper = new TNoticeProbe(inner, "deeper", log);
  auto* hidden = new TNoticeProbe(panel, "hidden", log);
  hidden->Hide();
  form.Show();
  log.clear();

  panel->Hide();
  EXPECT_EQ(log, (std::vector<std::string>{"panel:visible 0", "inner:showing 0", "deeper:showing 0"}));
  EXPECT_FALSE(panel->Handle()->isVisible());
  EXPECT_TRUE(inner->Visible());
  EXPECT_FALSE(inner->Showing());
  log.clear();
  panel->Hide();  // no change, no notice
  panel->Show();
  EXPECT_EQ(log, (std::vector<std::string>{"panel:visible 1", "inner:showing 1", "deeper:showing 1"}));
  EXPECT_TRUE(deeper->Showing());
  EXPECT_FALSE(hidden->Showing());

  log.clear();
  panel->SetEnabled(false);
  panel->SetEnabled(false);
  EXPECT_EQ(log, (std::vector<std::string>{"panel:enabled 0"}));
  EXPECT_FALSE(panel->Handle()->isEnabled());
  EXPECT_FALSE(inner->Handle()->isEnabled());  // the window's children with it
  EXPECT_TRUE(inner->Enabled());
}

}  // namespace
