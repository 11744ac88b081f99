// The standard controls: buttons, check boxes, radio buttons, speed buttons,
// panels and labels, driven through their windows.

#include "platform/controls/StdCtrls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <string>

#include "platform/classes/TypInfo.h"
#include "platform/controls/ExtCtrls.h"

namespace {

struct ClickLog {
  std::string text;
  void Clicked(TObject* Sender) { text += static_cast<TComponent*>(Sender)->Name() + ";"; }
  TNotifyEvent Handler() { return TNotifyEvent::Of<&ClickLog::Clicked>(*this); }
};

template <class C>
C* Place(TWinControl& Form, const std::string& Name, int Left, int Top, ClickLog& Log) {
  auto* control = new C(&Form);
  control->SetName(Name);
  control->SetParent(&Form);
  control->SetBounds(Left, Top, 60, 24);
  control->OnClick = Log.Handler();
  return control;
}

struct Form {
  TWinControl form{nullptr};
  ClickLog log;
  Form() {
    form.SetBounds(0, 0, 300, 200);
    form.Show();
  }
};

TEST(TButton, ClicksOnceAndKeepsCaptionAndDefaultAcrossItsWindow) {
  Form f;
  auto* ok = Place<TButton>(f.form, "ok", 10, 10, f.log);
  ok->SetCaption("&OK");
  ok->SetDefault(true);
  auto* button = static_cast<QPushButton*>(ok->Handle());
  EXPECT_EQ(button->text().toStdString(), "&OK");
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(f.log.text, "ok;");

  f.form.RecreateWnd();
  button = static_cast<QPushButton*>(ok->Handle());
  EXPECT_EQ(button->text().toStdString(), "&OK");
  EXPECT_TRUE(button->isDefault());
  ok->SetEnabled(false);
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(f.log.text, "ok;");
}

TEST(TCheckControls, UserAndCodeChangesClickOnceAndRadioButtonsShareTheirParent) {
  Form f;
  auto* box = Place<TCheckBox>(f.form, "box", 10, 10, f.log);
  QTest::mouseClick(box->Handle(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(box->Checked());
  box->SetChecked(true);  // no change, no click
  EXPECT_EQ(f.log.text, "box;");
  box->SetChecked(false);
  EXPECT_FALSE(static_cast<QCheckBox*>(box->Handle())->isChecked());
  EXPECT_EQ(f.log.text, "box;box;");
  box->SetChecked(true);
  f.form.RecreateWnd();
  EXPECT_TRUE(static_cast<QCheckBox*>(box->Handle())->isChecked());

  f.log.text.clear();
  auto* a = Place<TRadioButton>(f.form, "a", 10, 40, f.log);
  auto* b = Place<TRadioButton>(f.form, "b", 10, 70, f.log);
  QTest::mouseClick(a->Handle(), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseClick(b->Handle(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(box->Checked());  // not a radio button
  // Clicking the checked one leaves it checked.
  QTest::mouseClick(b->Handle(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(static_cast<QAbstractButton*>(b->Handle())->isChecked());
  EXPECT_EQ(f.log.text, "a;b;a;");
}

TEST(TSpeedButton, ClicksFollowGroupIndexAndAllowAllUp) {
  struct Row {
    int group;
    bool allowAllUp;
    bool downBefore;
    bool downAfter;
    bool siblingDownAfter;  // a sibling of the same group, down before
  };
  const Row rows[] = {
      {0, false, false, false, true},  // no group: pops up again
      {1, false, false, true, false},  // goes down, the sibling up
      {1, false, true, true, false},   // stays down
      {1, true, true, false, false},   // lifted
      {2, false, false, true, true},   // another group leaves the sibling
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.group) + (row.allowAllUp ? " all-up" : "") + (row.downBefore ? " down" : ""));
    Form f;
    auto* sibling = Place<TSpeedButton>(f.form, "sibling", 100, 10, f.log);
    sibling->SetGroupIndex(1);
    sibling->SetDown(true);
    auto* button = Place<TSpeedButton>(f.form, "sb", 10, 10, f.log);
    button->SetGroupIndex(row.group);
    button->SetAllowAllUp(row.allowAllUp);
    button->SetDown(row.downBefore);
    if (row.downBefore) sibling->SetDown(true), button->SetDown(true);
    QTest::mouseClick(f.form.Handle(), Qt::LeftButton, {}, QPoint(15, 15));
    EXPECT_EQ(button->Down(), row.downAfter);
    EXPECT_EQ(sibling->Down(), row.siblingDownAfter);
    EXPECT_EQ(f.log.text, "sb;");
  }
  // Released outside: no click.
  Form f;
  auto* button = Place<TSpeedButton>(f.form, "sb", 10, 10, f.log);
  QTest::mousePress(f.form.Handle(), Qt::LeftButton, {}, QPoint(15, 15));
  EXPECT_TRUE(button->Pressed());
  QTest::mouseRelease(f.form.Handle(), Qt::LeftButton, {}, QPoint(150, 150));
  EXPECT_FALSE(button->Pressed());
  EXPECT_EQ(f.log.text, "");
}

int Lightness(const QImage& Image, int X, int Y) { return QColor(Image.pixel(X, Y)).lightness(); }

TEST(TPanel, BevelsLightTheRaisedSideAndShadeTheLoweredOne) {
  Form f;
  auto* panel = new TPanel(&f.form);
  panel->SetParent(&f.form);
  panel->SetBounds(10, 10, 100, 40);
  QImage raised = panel->Handle()->grab().toImage();
  EXPECT_GT(Lightness(raised, 0, 0), Lightness(raised, 99, 39));
  EXPECT_GT(Lightness(raised, 0, 20), Lightness(raised, 99, 20));
  panel->SetBevelOuter(bvLowered);
  QImage lowered = panel->Handle()->grab().toImage();
  EXPECT_LT(Lightness(lowered, 0, 0), Lightness(lowered, 99, 39));
  panel->SetBevelOuter(bvNone);
  QImage flat = panel->Handle()->grab().toImage();
  EXPECT_EQ(flat.pixel(0, 0), flat.pixel(50, 5));
  EXPECT_EQ(panel->InnerRect(), (Rect{0, 0, 100, 40}));
  panel->SetBevelOuter(bvRaised);
  panel->SetBevelInner(bvLowered);
  panel->SetBorderWidth(3);
  EXPECT_EQ(panel->InnerRect(), (Rect{5, 5, 95, 35}));
  // Aligned controls fill the inner area, and follow its changes.
  auto* client = new TPanel(&f.form);
  client->SetParent(panel);
  client->SetAlign(alClient);
  EXPECT_EQ(client->BoundsRect(), (Rect{5, 5, 95, 35}));
  panel->SetBorderWidth(0);
  EXPECT_EQ(client->BoundsRect(), (Rect{2, 2, 98, 38}));
}

// The properties a stored form reads, set by name as a reader sets them.
TEST(StdControlsProperties, ArePublishedUnderTheirStreamNames) {
  Form f;
  auto* button = new TButton(&f.form);
  auto* box = new TCheckBox(&f.form);
  auto* speed = new TSpeedButton(&f.form);
  auto* panel = new TPanel(&f.form);
  auto* label = new TLabel(&f.form);
  SetStrProp(button, GetPropInfo(button->ClassType(), "Caption"), "Go");
  SetOrdProp(button, GetPropInfo(button->ClassType(), "ModalResult"), 1);
  SetOrdProp(button, GetPropInfo(button->ClassType(), "Left"), 33);
  SetOrdProp(button, GetPropInfo(button->ClassType(), "Enabled"), 0);
  SetOrdProp(box, GetPropInfo(box->ClassType(), "Checked"), 1);
  SetOrdProp(speed, GetPropInfo(speed->ClassType(), "GroupIndex"), 4);
  SetOrdProp(speed, GetPropInfo(speed->ClassType(), "Down"), 1);
  SetOrdProp(panel, GetPropInfo(panel->ClassType(), "BevelOuter"), bvLowered);
  SetStrProp(label, GetPropInfo(label->ClassType(), "Caption"), "Name:");
  SetOrdProp(label, GetPropInfo(label->ClassType(), "Visible"), 0);
  EXPECT_EQ(button->Caption(), "Go");
  EXPECT_EQ(button->ModalResult(), 1);
  EXPECT_EQ(button->Left(), 33);
  EXPECT_FALSE(button->Enabled());
  EXPECT_TRUE(box->Checked());
  EXPECT_TRUE(speed->Down());
  EXPECT_EQ(panel->BevelOuter(), bvLowered);
  EXPECT_EQ(label->Caption(), "Name:");
  EXPECT_FALSE(label->Visible());
}

}  // namespace

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Writer.h"
#include "platform/controls/Menus.h"
#include "platform/core/Streams.h"

namespace {

// Through the text form and back: the shape a stored form takes.
template <class C>
std::unique_ptr<C> ThroughText(C& Source, std::string& Text) {
  TMemoryStream binary, text, back;
  WriteComponentToStream(binary, &Source);
  binary.SetPosition(0);
  ObjectBinaryToText(binary, text);
  Text.assign(text.Bytes().begin(), text.Bytes().end());
  text.SetPosition(0);
  ObjectTextToBinary(text, back);
  back.SetPosition(0);
  return std::unique_ptr<C>(dynamic_cast<C*>(ReadComponentFromStream(back, nullptr)));
}

TEST(StoredControls, AButtonAndAMenuComeBackFromTheTextForm) {
  RegisterClasses({TButton::StaticClass(), TMainMenu::StaticClass(), TMenuItem::StaticClass()});
  TButton button(nullptr);
  button.SetName("OkButton");
  button.SetCaption("OK");
  button.SetModalResult(1);
  button.SetBounds(8, 16, 75, 25);
  std::string text;
  auto read = ThroughText(button, text);
  ASSERT_NE(read, nullptr) << text;
  EXPECT_NE(text.find("Caption = 'OK'"), std::string::npos) << text;
  EXPECT_EQ(read->Caption(), "OK");
  EXPECT_EQ(read->ModalResult(), 1);
  EXPECT_EQ(read->BoundsRect(), (Rect{8, 16, 83, 41}));

  TMainMenu menu(nullptr);
  menu.SetName("MainMenu1");
  auto* file = new TMenuItem(&menu);
  file->SetName("File1");
  file->SetCaption("&File");
  menu.Items()->Add(file);
  auto* save = new TMenuItem(&menu);
  save->SetName("Save1");
  save->SetCaption("&Save");
  save->SetShortCut(0x4000 | 'S');
  save->SetChecked(true);
  file->Add(save);
  auto readMenu = ThroughText(menu, text);
  ASSERT_NE(readMenu, nullptr) << text;
  ASSERT_EQ(readMenu->Items()->Count(), 1) << text;
  TMenuItem* readFile = readMenu->Items()->Items(0);
  ASSERT_EQ(readFile->Count(), 1);
  EXPECT_EQ(readFile->Caption(), "&File");
  EXPECT_EQ(readFile->Items(0)->Name(), "Save1");
  EXPECT_EQ(readFile->Items(0)->ShortCut(), 0x4000 | 'S');
  EXPECT_TRUE(readFile->Items(0)->Checked());
}

}  // namespace
