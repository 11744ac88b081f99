// Group boxes, radio groups and bevels.

#include "platform/controls/GroupCtrls.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QImage>
#include <QTest>
#include <string>

#include "platform/graphics/Color.h"

namespace {

struct Clicks {
  int count = 0;
  void Clicked(TObject*) { ++count; }
};

TEST(TRadioGroup, LaysItsButtonsOutInColumnsAndTellsTheUsersPick) {
  TWinControl form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  form.Show();
  auto* group = new TRadioGroup(&form);
  group->SetParent(&form);
  group->SetCaption("Kind");
  group->SetBounds(10, 10, 200, 100);
  Clicks clicks;
  group->OnClick = TNotifyEvent::Of<&Clicks::Clicked>(clicks);
  for (const char* item : {"a", "b", "c", "d", "e"}) group->Items()->Add(item);
  group->SetColumns(2);
  EXPECT_EQ(static_cast<QGroupBox*>(group->Handle())->title().toStdString(), "Kind");

  // 3 a column, (200 - 10) / 2 = 95 wide, (100 - 16 - 5) / 3 = 26 high.
  const Rect expected[] = {
      {8, 16, 103, 42}, {8, 42, 103, 68}, {8, 68, 103, 94}, {103, 16, 198, 42}, {103, 42, 198, 68}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(group->Buttons(i)->BoundsRect(), expected[i]) << i;
    EXPECT_EQ(group->Buttons(i)->Caption(), group->Items()->Strings(i));
  }

  QTest::mouseClick(group->Buttons(3)->Handle(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(group->ItemIndex(), 3);
  EXPECT_EQ(clicks.count, 1);
  group->SetItemIndex(1);
  EXPECT_TRUE(group->Buttons(1)->Checked());
  EXPECT_FALSE(group->Buttons(3)->Checked());
  group->SetItemIndex(9);
  EXPECT_EQ(group->ItemIndex(), -1);
  EXPECT_FALSE(group->Buttons(1)->Checked());
  EXPECT_EQ(clicks.count, 1);  // code changes are not the user's pick

  group->SetItemIndex(4);
  group->Items()->Delete(4);
  group->Items()->Delete(3);
  EXPECT_EQ(group->ComponentCount(), 3);
  EXPECT_EQ(group->ItemIndex(), -1);
}

TEST(TBevel, DrawsShadowAndHighlightWhereItsShapeAndStyleSay) {
  struct Row {
    TBevelShape shape;
    TBevelStyle style;
    int x, y;
    TColor color;
  };
  // On a 20 x 10 bevel; clNone: the parent's background, as outside it.
  const Row rows[] = {
      {bsBox, bsLowered, 0, 5, clBtnShadow},
      {bsBox, bsLowered, 19, 5, clBtnHighlight},
      {bsBox, bsRaised, 5, 0, clBtnHighlight},
      {bsBox, bsRaised, 5, 9, clBtnShadow},
      {bsFrame, bsLowered, 0, 0, clBtnShadow},
      {bsFrame, bsLowered, 1, 1, clBtnHighlight},
      {bsFrame, bsLowered, 18, 5, clBtnShadow},
      {bsFrame, bsLowered, 19, 5, clBtnHighlight},
      {bsTopLine, bsLowered, 5, 0, clBtnShadow},
      {bsTopLine, bsLowered, 5, 1, clBtnHighlight},
      {bsBottomLine, bsRaised, 5, 8, clBtnHighlight},
      {bsBottomLine, bsRaised, 5, 9, clBtnShadow},
      {bsLeftLine, bsLowered, 1, 5, clBtnHighlight},
      {bsRightLine, bsLowered, 18, 5, clBtnShadow},
      {bsSpacer, bsLowered, 0, 0, clNone},
      {bsTopLine, bsLowered, 5, 5, clNone},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.shape) + "/" + std::to_string(row.style) + " at " + std::to_string(row.x) + "," +
                 std::to_string(row.y));
    TWinControl form(nullptr);
    form.SetBounds(0, 0, 40, 30);
    form.Show();
    auto* bevel = new TBevel(&form);
    bevel->SetParent(&form);
    bevel->SetBounds(10, 10, 20, 10);
    bevel->SetShape(row.shape);
    bevel->SetStyle(row.style);
    const QImage image = form.Handle()->grab().toImage();
    const TColor rgb = ColorToRGB(row.color);
    const QColor want =
        row.color == clNone ? QColor(image.pixel(2, 2)) : QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    EXPECT_EQ(QColor(image.pixel(10 + row.x, 10 + row.y)), want);
  }
}

}  // namespace
