#include "platform/controls/DragManager.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/controls/CustomControl.h"
#include "platform/controls/InputHooks.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SpriteWindow.h"

namespace {

class FakeMouse final : public TScreenSource {
 public:
  Size ScreenSize() override { return {1000, 800}; }
  Point CursorPos() override { return {at.x(), at.y()}; }
  QPoint at;
};

// A form with a source and a target side by side, each 100 x 100; the
// target accepts where its X is below AcceptBelowX and logs what it hears.
class DragTest : public ::testing::Test {
 protected:
  DragTest() {
    old_ = Screen->SetSource(&mouse_);
    form_.SetBounds(0, 0, 400, 200);
    for (TCustomControl* c : {source_, target_}) c->SetParent(&form_);
    source_->SetBounds(10, 10, 100, 100);
    target_->SetBounds(200, 10, 100, 100);
    form_.Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.Handle()));
    target_->OnDragOver = [this](TObject*, TObject* Source, int X, int Y, TDragState State, bool& Accept) {
      static const char* const names[] = {"enter", "leave", "move"};
      log_.push_back(std::string(names[State]) + " " + std::to_string(X) + "," + std::to_string(Y) +
                     (Source == source_ ? "" : " (another source)"));
      Accept = X < acceptBelowX_;
    };
    target_->OnDragDrop = [this](TObject*, TObject* Source, int X, int Y) {
      log_.push_back("drop " + std::to_string(X) + "," + std::to_string(Y) + (Source == source_ ? "" : " (another)"));
    };
    source_->OnEndDrag = [this](TObject*, TObject* Target, int X, int Y) {
      log_.push_back(std::string("end ") +
                     (Target == target_ ? "target "
                      : Target          ? "other "
                                        : "nil ") +
                     std::to_string(X) + "," + std::to_string(Y));
    };
  }
  ~DragTest() override {
    source_->EndDrag(false);
    Screen->SetSource(old_);
  }

  // Screen point of (X, Y) in Control.
  QPoint At(TWinControl* Control, int X, int Y) { return Control->Handle()->mapToGlobal(QPoint(X, Y)); }
  void Begin(bool Immediate, int Threshold) {
    mouse_.at = At(source_, 50, 50);
    source_->BeginDrag(Immediate, Threshold);
  }
  // Mouse events as Qt delivers them while the source has the mouse.
  void Mouse(QEvent::Type Type, const QPoint& Global) {
    QWidget* to = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : source_->Handle();
    const Qt::MouseButtons held = Type == QEvent::MouseMove ? Qt::LeftButton : Qt::NoButton;
    const Qt::MouseButton button = Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(Type, QPointF(to->mapFromGlobal(Global)), QPointF(Global), button, held, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
  }
  void MoveTo(const QPoint& Global) { Mouse(QEvent::MouseMove, Global); }

  FakeMouse mouse_;
  TScreenSource* old_;
  TWinControl form_{nullptr};
  TCustomControl* source_ = new TCustomControl(&form_);
  TCustomControl* target_ = new TCustomControl(&form_);
  int acceptBelowX_ = 1000;
  std::vector<std::string> log_;
};

TEST_F(DragTest, StartsOnlyOnceTheMouseMovedTheThreshold) {
  const struct {
    int dx, dy;
    bool started;
  } rows[] = {{5, 0, false}, {0, -5, false}, {5, 5, false}, {6, 0, true}, {0, 6, true}, {-6, 2, true}, {3, -7, true}};
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.dx) + "," + std::to_string(r.dy));
    Begin(false, 6);
    ASSERT_TRUE(source_->Dragging());
    ASSERT_TRUE(InputHooksListening());
    MoveTo(At(source_, 50 + r.dx, 50 + r.dy));
    // Over the source, which accepts nothing: the no-drop cursor once started.
    EXPECT_EQ(Screen->Cursor(), r.started ? crNoDrop : crDefault);
    source_->EndDrag(false);
    EXPECT_EQ(Screen->Cursor(), crDefault);
  }
  // Immediate: at once, no move needed.
  Begin(true, 6);
  EXPECT_EQ(Screen->Cursor(), crNoDrop);
}

TEST_F(DragTest, TheCursorFollowsTheTargetsAcceptance) {
  source_->SetDragCursor(crMultiDrag);
  acceptBelowX_ = 50;
  Begin(true, 6);
  const struct {
    TWinControl* over;
    int x;
    TCursorValue cursor;
  } rows[] = {{target_, 10, crMultiDrag},
              {target_, 60, crNoDrop},
              {target_, 49, crMultiDrag},
              {&form_, 150, crNoDrop},
              {target_, 20, crMultiDrag}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.x);
    MoveTo(At(r.over, r.x, 30));
    EXPECT_EQ(Screen->Cursor(), r.cursor);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Screen->Cursors(r.cursor).shape());
  }
  EXPECT_EQ(log_, (std::vector<std::string>{"enter 10,30", "move 10,30", "move 60,30", "move 49,30", "leave -50,20",
                                            "enter 20,30", "move 20,30"}));
}

TEST_F(DragTest, EscEndsTheDragWithNoTarget) {
  Begin(true, 6);
  MoveTo(At(target_, 10, 20));
  QTest::keyClick(form_.Handle(), Qt::Key_Escape);
  EXPECT_FALSE(source_->Dragging());
  EXPECT_EQ(log_, (std::vector<std::string>{"enter 10,20", "move 10,20", "leave 10,20", "end nil 0,0"}));
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  EXPECT_FALSE(InputHooksListening());
}

TEST_F(DragTest, ADropReachesTheTargetWithTheSourceAndTheSourceHearsTheTarget) {
  Begin(false, 6);
  EXPECT_EQ(QWidget::mouseGrabber(), source_->Handle());
  MoveTo(At(target_, 30, 40));
  Mouse(QEvent::MouseButtonRelease, At(target_, 31, 41));
  EXPECT_EQ(log_,
            (std::vector<std::string>{"enter 30,40", "move 30,40", "move 31,41", "drop 31,41", "end target 31,41"}));
  EXPECT_FALSE(source_->Dragging());
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

  // Released over a target that refuses: no drop, and no target for the source.
  log_.clear();
  acceptBelowX_ = 0;
  Begin(false, 6);
  MoveTo(At(target_, 30, 40));
  Mouse(QEvent::MouseButtonRelease, At(target_, 30, 40));
  EXPECT_EQ(log_, (std::vector<std::string>{"enter 30,40", "move 30,40", "move 30,40", "leave 30,40", "end nil 0,0"}));
}

TEST_F(DragTest, AutomaticModeBeginsOnALeftPressAndAClickStaysAClick) {
  int ups = 0;
  source_->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
  mouse_.at = At(source_, 50, 50);
  QTest::mousePress(source_->Handle(), Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_FALSE(source_->Dragging());  // manual by default
  QTest::mouseRelease(source_->Handle(), Qt::LeftButton, {}, QPoint(50, 50));

  source_->SetDragMode(dmAutomatic);
  QTest::mousePress(source_->Handle(), Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_TRUE(source_->Dragging());
  // Released before the threshold: the control has its click, the drag ends
  // with no target.
  QTest::mouseRelease(source_->Handle(), Qt::LeftButton, {}, QPoint(51, 50));
  EXPECT_FALSE(source_->Dragging());
  EXPECT_EQ(ups, 2);
  EXPECT_EQ(log_, (std::vector<std::string>{"end nil 0,0"}));

  log_.clear();
  QTest::mousePress(source_->Handle(), Qt::LeftButton, {}, QPoint(50, 50));
  MoveTo(At(target_, 5, 6));
  Mouse(QEvent::MouseButtonRelease, At(target_, 5, 6));
  EXPECT_EQ(ups, 2);  // a drag's release is the drag's
  EXPECT_EQ(log_, (std::vector<std::string>{"enter 5,6", "move 5,6", "move 5,6", "drop 5,6", "end target 5,6"}));
}

// Draws a 40 x 40 image with its hot spot in the middle.
class ImageDrag final : public TDragControlObject {
 public:
  using TDragControlObject::TDragControlObject;
  QPixmap DragImage() const override {
    QPixmap image(40, 40);
    image.fill(Qt::red);
    return image;
  }
  QPoint DragHotSpot() const override { return {20, 20}; }
};

TEST_F(DragTest, TheDragImageFollowsTheMouseWithoutHidingTheTarget) {
  ImageDrag object(source_);
  source_->OnStartDrag = [&](TObject*, TDragObject*& DragObject) { DragObject = &object; };
  Begin(true, 6);
  const QPoint over = At(target_, 30, 40);
  MoveTo(over);
  ASSERT_TRUE(SpriteWindow().isVisible());
  EXPECT_EQ(SpriteWindow().geometry(), QRect(over - QPoint(20, 20), QSize(40, 40)));
  // Where the window system already shows the sprite, Qt answers it (or no
  // widget) there; the drag passes over it.
  EXPECT_EQ(FindDragTarget(over), target_);
  Mouse(QEvent::MouseButtonRelease, over);
  EXPECT_FALSE(SpriteWindow().isVisible());
  EXPECT_EQ(log_.back(), "end target 30,40");
  EXPECT_EQ(log_[log_.size() - 2], "drop 30,40");
}

TEST_F(DragTest, AFreedTargetLeavesTheDragAndAFreedSourceEndsIt) {
  Begin(true, 6);
  MoveTo(At(target_, 10, 10));
  delete target_;
  target_ = nullptr;
  MoveTo(At(&form_, 250, 30));  // where the target was: the form now
  EXPECT_EQ(Screen->Cursor(), crNoDrop);
  delete source_;
  source_ = new TCustomControl(&form_);  // for the fixture's clean-up
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_FALSE(InputHooksListening());
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

}  // namespace
