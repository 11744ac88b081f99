#include "platform/ui/Screen.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace {

TEST(ScreenCursors, StockNumbersGiveTheirShapesAndUnknownOnesTheDefaultArrow) {
  const struct {
    TCursor id;
    Qt::CursorShape shape;
  } rows[] = {
      {crDefault, Qt::ArrowCursor},    {crNone, Qt::BlankCursor},
      {crArrow, Qt::ArrowCursor},      {crCross, Qt::CrossCursor},
      {crIBeam, Qt::IBeamCursor},      {crSizeNESW, Qt::SizeBDiagCursor},
      {crSizeNS, Qt::SizeVerCursor},   {crSizeNWSE, Qt::SizeFDiagCursor},
      {crSizeWE, Qt::SizeHorCursor},   {crUpArrow, Qt::UpArrowCursor},
      {crHourGlass, Qt::WaitCursor},   {crDrag, Qt::DragMoveCursor},
      {crNoDrop, Qt::ForbiddenCursor}, {crHSplit, Qt::SplitHCursor},
      {crVSplit, Qt::SplitVCursor},    {crMultiDrag, Qt::DragMoveCursor},
      {crNo, Qt::ForbiddenCursor},     {crAppStart, Qt::BusyCursor},
      {crHelp, Qt::WhatsThisCursor},   {crHandPoint, Qt::PointingHandCursor},
      {crSizeAll, Qt::SizeAllCursor},  {-5, Qt::ArrowCursor},
      {-23, Qt::ArrowCursor},          {-1140, Qt::ArrowCursor},
      {102, Qt::ArrowCursor},          {1, Qt::ArrowCursor},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.id);
    EXPECT_EQ(Screen->Cursors(r.id).shape(), r.shape);
  }
}

TEST(ScreenCursors, RegisteredNumbersResolveUntilRemoved) {
  QPixmap art(16, 16);
  art.fill(Qt::black);
  const QCursor copy(art, 3, 4);
  Screen->SetCursors(102, copy);
  Screen->SetCursors(-1140, QCursor(Qt::PointingHandCursor));
  Screen->SetCursors(crDrag, QCursor(Qt::DragCopyCursor));  // replaces the stock one
  EXPECT_EQ(Screen->Cursors(102).shape(), Qt::BitmapCursor);
  EXPECT_EQ(Screen->Cursors(102).hotSpot(), QPoint(3, 4));
  EXPECT_EQ(Screen->Cursors(-1140).shape(), Qt::PointingHandCursor);
  EXPECT_EQ(Screen->Cursors(crDrag).shape(), Qt::DragCopyCursor);
  EXPECT_EQ(Screen->Cursors(103).shape(), Qt::ArrowCursor);
  Screen->RemoveCursor(102);
  Screen->RemoveCursor(-1140);
  Screen->RemoveCursor(crDrag);
  EXPECT_EQ(Screen->Cursors(102).shape(), Qt::ArrowCursor);
  EXPECT_EQ(Screen->Cursors(-1140).shape(), Qt::ArrowCursor);
  EXPECT_EQ(Screen->Cursors(crDrag).shape(), Qt::DragMoveCursor);
}

Qt::CursorShape Shown() {
  const QCursor* cursor = QGuiApplication::overrideCursor();
  return cursor ? cursor->shape() : Qt::LastCursor;  // LastCursor: no override
}

TEST(ScreenCursor, SavingSettingAndRestoringNestsOnOneOverrideEntry) {
  ASSERT_EQ(Shown(), Qt::LastCursor);
  const TCursor outer = Screen->Cursor();
  Screen->SetCursor(crDrag);
  EXPECT_EQ(Shown(), Qt::DragMoveCursor);
  {
    const TCursor inner = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(Shown(), Qt::WaitCursor);
    Screen->SetCursor(inner);
  }
  EXPECT_EQ(Screen->Cursor(), crDrag);
  EXPECT_EQ(Shown(), Qt::DragMoveCursor);
  // A new registration of the number shown takes effect at once.
  Screen->SetCursors(crDrag, QCursor(Qt::DragCopyCursor));
  EXPECT_EQ(Shown(), Qt::DragCopyCursor);
  Screen->RemoveCursor(crDrag);
  EXPECT_EQ(Shown(), Qt::DragMoveCursor);
  Screen->SetCursor(outer);
  EXPECT_EQ(Shown(), Qt::LastCursor);
  Screen->SetCursor(crDefault);  // already default: nothing popped
  EXPECT_EQ(Shown(), Qt::LastCursor);

  // Someone else's override below ours stays when ours goes.
  QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
  Screen->SetCursor(crIBeam);
  EXPECT_EQ(Shown(), Qt::IBeamCursor);
  Screen->SetCursor(crDefault);
  EXPECT_EQ(Shown(), Qt::CrossCursor);
  QGuiApplication::restoreOverrideCursor();
  EXPECT_EQ(Shown(), Qt::LastCursor);
}

class FixedScreen final : public TScreenSource {
 public:
  Size ScreenSize() override { return {800, 600}; }
  Point CursorPos() override { return {12, 34}; }
};

TEST(Screen, SizeAndMouseComeFromTheSourceUntilItIsTakenBack) {
  FixedScreen fixed;
  TScreenSource* old = Screen->SetSource(&fixed);
  EXPECT_EQ(old, nullptr);
  EXPECT_EQ(Screen->Width(), 800);
  EXPECT_EQ(Screen->Height(), 600);
  EXPECT_EQ(Screen->CursorPos(), (Point{12, 34}));
  EXPECT_EQ(Screen->SetSource(nullptr), &fixed);
  const QRect real = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(Screen->Width(), real.width());
  EXPECT_EQ(Screen->Height(), real.height());
}

}  // namespace
