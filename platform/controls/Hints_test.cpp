// Hints, cursors and the form's key preview: what the mouse and the keys ask
// of the control core.

#include "platform/controls/Hints.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <string>
#include <vector>

#include "platform/controls/EditCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/HintWindow.h"
#include "platform/ui/Application.h"

namespace {

// A form with a panel holding a speed button, and an edit.
struct Fixture {
  TForm form{nullptr, TForm::CreateNew{}};
  TWinControl* panel = new TWinControl(&form);
  TSpeedButton* button = new TSpeedButton(&form);
  TEdit* edit = new TEdit(&form);
  Fixture() {
    form.SetBounds(100, 100, 300, 200);
    panel->SetParent(&form);
    panel->SetBounds(10, 10, 200, 40);
    button->SetParent(panel);
    button->SetBounds(150, 5, 30, 30);
    edit->SetParent(&form);
    edit->SetBounds(10, 100, 100, 21);
    form.Show();
  }
  // A move without a button, as the mouse gives it, through the
  // application's filters.
  static void Move(QWidget* Widget, QPoint P) {
    QMouseEvent move(QEvent::MouseMove, P, Widget->mapToGlobal(P), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Widget, &move);
  }
};

TEST(ControlCursor, EachMoveShowsTheCursorOfThePartUnderTheMouse) {
  Fixture f;
  QWidget* w = f.panel->Handle();
  f.panel->SetCursor(crHandPoint);
  f.button->SetCursor(crCross);
  struct Row {
    const char* name;
    QPoint at;
    Qt::CursorShape shape;
  } rows[] = {
      {"the panel's own", {20, 20}, Qt::PointingHandCursor},
      {"the button's", {160, 20}, Qt::CrossCursor},
      {"the panel's again", {100, 20}, Qt::PointingHandCursor},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Fixture::Move(w, r.at);
    EXPECT_EQ(w->cursor().shape(), r.shape);
  }

  // crDefault puts the window class's own cursor back: an edit keeps its
  // I-beam.
  QWidget* line = f.edit->Handle();
  ASSERT_EQ(line->cursor().shape(), Qt::IBeamCursor);
  f.edit->SetCursor(crCross);
  EXPECT_EQ(line->cursor().shape(), Qt::CrossCursor);
  f.edit->SetCursor(crDefault);
  EXPECT_EQ(line->cursor().shape(), Qt::IBeamCursor);
  // The cursor query comes first; the move itself still reaches the
  // control under the mouse, as every window hears the mouse pass.
  int moves = 0;
  struct Counter {
    int& n;
    void Moved(TObject*, TShiftState, int, int) { ++n; }
  } counter{moves};
  f.panel->OnMouseMove = TMouseMoveEvent::Of<&Counter::Moved>(counter);
  Fixture::Move(w, {30, 20});
  EXPECT_EQ(moves, 1);
}

TEST(ControlHints, TheHintControlIsThePartUnderTheMouseWithItsShowHint) {
  Fixture f;
  f.form.SetShowHint(true);
  f.panel->SetHint("panel");
  f.button->SetHint("button");
  QWidget* w = f.panel->Handle();
  EXPECT_TRUE(f.button->ShowHint()) << "from the parents";
  EXPECT_EQ(HintControlAt(w, {160, 20}), f.button);
  EXPECT_EQ(HintControlAt(w, {20, 20}), f.panel);
  // Without a hint of its own a part borrows its parent's.
  f.button->SetHint("");
  EXPECT_EQ(HintControlAt(w, {160, 20}), f.panel);
  f.button->SetHint("button");
  // Its own ShowHint wins over the parent's.
  f.button->SetShowHint(false);
  EXPECT_FALSE(f.button->ParentShowHint());
  EXPECT_EQ(HintControlAt(w, {160, 20}), nullptr);
  f.button->SetParentShowHint(true);
  f.form.SetShowHint(false);
  EXPECT_EQ(HintControlAt(w, {160, 20}), nullptr);
}

TEST(ControlHints, AHintShowsAfterThePauseAndFollowsTheMouse) {
  Fixture f;
  const int pause = Application->HintPause();
  Application->SetHintPause(1);
  Application->SetHintShortPause(1);
  f.form.SetShowHint(true);
  f.panel->SetHint("panel");
  f.button->SetHint("button");
  QWidget* w = f.panel->Handle();
  auto showing = [] { return ApplicationHintWindow() && ApplicationHintWindow()->IsHintVisible(); };

  Fixture::Move(w, {160, 20});
  ASSERT_TRUE(QTest::qWaitFor(showing, 1000));
  EXPECT_EQ(ApplicationHintWindow()->Caption(), "button");
  const QPoint global = w->mapToGlobal(QPoint(160, 20));
  EXPECT_EQ(ApplicationHintWindow()->Left(), global.x());
  EXPECT_GT(ApplicationHintWindow()->Top(), global.y());

  Fixture::Move(w, {20, 20});
  EXPECT_FALSE(showing()) << "another control hides it at once";
  ASSERT_TRUE(QTest::qWaitFor(showing, 1000));
  EXPECT_EQ(ApplicationHintWindow()->Caption(), "panel");

  // A press hides it; it stays away while the mouse stays on the control.
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(22, 20), w->mapToGlobal(QPointF(22, 20)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(22, 20), w->mapToGlobal(QPointF(22, 20)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &release);
  EXPECT_FALSE(showing());
  Fixture::Move(w, {24, 20});
  QTest::qWait(30);
  EXPECT_FALSE(showing());

  // A control freed while its hint waits shows nothing.
  Fixture::Move(w, {160, 20});
  delete f.button;
  QTest::qWait(30);
  EXPECT_FALSE(showing());
  Application->SetHintPause(pause);
}

TEST(FormKeyPreview, TheFormSeesEachKeyFirstAndMayConsumeIt) {
  Fixture f;
  f.edit->SetFocus();
  std::vector<std::string> seen;
  struct Probe {
    std::vector<std::string>& seen;
    bool consume = false;
    void FormKey(TObject*, std::uint16_t& Key, TShiftState) {
      seen.push_back("form " + std::to_string(Key));
      if (consume) Key = 0;
    }
    void EditKey(TObject*, std::uint16_t& Key, TShiftState) { seen.push_back("edit " + std::to_string(Key)); }
    void FormChar(TObject*, char32_t& Key) {
      seen.push_back(std::string("form '") + static_cast<char>(Key) + "'");
      if (consume) Key = 0;
    }
  } probe{seen};
  f.form.OnKeyDown = TKeyEvent::Of<&Probe::FormKey>(probe);
  f.form.OnKeyPress = TKeyPressEvent::Of<&Probe::FormChar>(probe);
  f.edit->OnKeyDown = TKeyEvent::Of<&Probe::EditKey>(probe);

  QTest::keyClick(f.edit->Handle(), Qt::Key_A);
  EXPECT_EQ(seen, std::vector<std::string>{"edit 65"}) << "no preview without KeyPreview";
  EXPECT_EQ(f.edit->Text(), "a");

  seen.clear();
  f.form.SetKeyPreview(true);
  QTest::keyClick(f.edit->Handle(), Qt::Key_B);
  EXPECT_EQ(seen, (std::vector<std::string>{"form 66", "edit 66", "form 'b'"}));
  EXPECT_EQ(f.edit->Text(), "ab");

  seen.clear();
  probe.consume = true;
  QTest::keyClick(f.edit->Handle(), Qt::Key_C);
  EXPECT_EQ(seen, (std::vector<std::string>{"form 67", "form 'c'"}));
  EXPECT_EQ(f.edit->Text(), "ab") << "a consumed key reaches neither the control nor the edit";
}

}  // namespace
