#include "platform/ui/Cursors.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPixmap>

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
    EXPECT_EQ(ScreenCursors(r.id).shape(), r.shape);
  }
}

TEST(ScreenCursors, RegisteredNumbersResolveUntilRemoved) {
  QPixmap art(16, 16);
  art.fill(Qt::black);
  const QCursor copy(art, 3, 4);
  SetScreenCursors(102, copy);
  SetScreenCursors(-1140, QCursor(Qt::PointingHandCursor));
  SetScreenCursors(crDrag, QCursor(Qt::DragCopyCursor));  // replaces the stock one
  EXPECT_EQ(ScreenCursors(102).shape(), Qt::BitmapCursor);
  EXPECT_EQ(ScreenCursors(102).hotSpot(), QPoint(3, 4));
  EXPECT_EQ(ScreenCursors(-1140).shape(), Qt::PointingHandCursor);
  EXPECT_EQ(ScreenCursors(crDrag).shape(), Qt::DragCopyCursor);
  EXPECT_EQ(ScreenCursors(103).shape(), Qt::ArrowCursor);
  RemoveScreenCursor(102);
  RemoveScreenCursor(-1140);
  RemoveScreenCursor(crDrag);
  EXPECT_EQ(ScreenCursors(102).shape(), Qt::ArrowCursor);
  EXPECT_EQ(ScreenCursors(-1140).shape(), Qt::ArrowCursor);
  EXPECT_EQ(ScreenCursors(crDrag).shape(), Qt::DragMoveCursor);
}

Qt::CursorShape Shown() {
  const QCursor* cursor = QGuiApplication::overrideCursor();
  return cursor ? cursor->shape() : Qt::LastCursor;  // LastCursor: no override
}

TEST(ScreenCursor, SavingSettingAndRestoringNestsOnOneOverrideEntry) {
  ASSERT_EQ(Shown(), Qt::LastCursor);
  const TCursor outer = ScreenCursor();
  SetScreenCursor(crDrag);
  EXPECT_EQ(Shown(), Qt::DragMoveCursor);
  {
    const TCursor inner = ScreenCursor();
    SetScreenCursor(crHourGlass);
    EXPECT_EQ(Shown(), Qt::WaitCursor);
    SetScreenCursor(inner);
  }
  EXPECT_EQ(ScreenCursor(), crDrag);
  EXPECT_EQ(Shown(), Qt::DragMoveCursor);
  // A new registration of the number shown takes effect at once.
  SetScreenCursors(crDrag, QCursor(Qt::DragCopyCursor));
  EXPECT_EQ(Shown(), Qt::DragCopyCursor);
  RemoveScreenCursor(crDrag);
  EXPECT_EQ(Shown(), Qt::DragMoveCursor);
  SetScreenCursor(outer);
  EXPECT_EQ(Shown(), Qt::LastCursor);
  SetScreenCursor(crDefault);  // already default: nothing popped
  EXPECT_EQ(Shown(), Qt::LastCursor);

  // Someone else's override below ours stays when ours goes.
  QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
  SetScreenCursor(crIBeam);
  EXPECT_EQ(Shown(), Qt::IBeamCursor);
  SetScreenCursor(crDefault);
  EXPECT_EQ(Shown(), Qt::CrossCursor);
  QGuiApplication::restoreOverrideCursor();
  EXPECT_EQ(Shown(), Qt::LastCursor);
}

}  // namespace
