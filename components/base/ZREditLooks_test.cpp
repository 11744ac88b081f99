// The edit with buttons as the user meets it besides its list: cursors and
// hints per button, the form's key preview, the height from the font, the
// border and button pixels of each look, and a stored edit read back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <string>
#include <vector>

#include "components/base/ClassItems.h"
#include "components/base/ZREdit.h"
#include "components/base/ZRListBox.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/classes/Writer.h"
#include "platform/controls/HintWindow.h"
#include "platform/controls/Hints.h"
#include "platform/core/Streams.h"
#include "platform/graphics/TextMeasurer.h"
#include "platform/ui/Application.h"

namespace {

// An edit that publishes what a stored form keeps of it.
class TStoredZREdit : public TCustomZREdit {
  KESTOVA_CLASS(TStoredZREdit)
 public:
  using TCustomZREdit::TCustomZREdit;
};
void DescribeTStoredZREdit(TClassInfo& Info) {
  using E = TStoredZREdit;
  namespace T = TypeInfos;
  TClassPublisher<E> p(Info);
  p.Property<&E::ButtonCount, &E::SetButtonCount>("ButtonCount", T::Integer()).Default(1);
  p.Property<&E::FlatLook, &E::FlatLook>("FlatLook", T::Boolean()).Default(false);
  p.Property<&E::BorderKind, &E::BorderKind>("BorderKind", T::Integer()).Default(0);
  p.Property<&E::FirstButtonParams, nullptr>("FirstButtonParams", ClassTypeInfo(TButtonParams::StaticClass()));
  p.Property<&E::SecondButtonParams, nullptr>("SecondButtonParams", ClassTypeInfo(TButtonParams::StaticClass()));
}
KESTOVA_CLASS_INFO_DESCRIBED(TStoredZREdit, TCustomZREdit, "ZREditLooksTest", MakeComponent<TStoredZREdit>,
                             DescribeTStoredZREdit)

struct Fixture {
  TForm form{nullptr, TForm::CreateNew{}};
  TStoredZREdit* edit = nullptr;
  TEdit* other = nullptr;
  Fixture() {
    RegisterZREditClasses();
    form.SetBounds(100, 100, 400, 300);
    edit = new TStoredZREdit(&form);
    edit->SetName("Edit1");
    edit->SetBounds(50, 40, 121, 21);
    edit->SetParent(&form);
    other = new TEdit(&form);
    other->SetBounds(50, 200, 100, 21);
    other->SetParent(&form);
    form.Show();
    QApplication::setActiveWindow(form.Handle());
    other->SetFocus();
  }
  // A move without a button over the edit's own window, through the
  // application's filters.
  void Move(QPoint P) {
    QWidget* w = edit->Handle();
    QMouseEvent move(QEvent::MouseMove, P, w->mapToGlobal(P), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
  }
  QLineEdit* Line() const { return dynamic_cast<QLineEdit*>(static_cast<TWinControl*>(edit->InnerEdit())->Handle()); }
};

TEST(ZREditLooks, EachButtonShowsItsOwnCursor) {
  Fixture f;
  f.edit->SetButtonCount(2);
  f.edit->FirstButtonParams()->SetCursor(crHandPoint);
  f.edit->SecondButtonParams()->SetCursor(crCross);
  const int first = f.edit->FirstButton()->Left(), second = f.edit->SecondButton()->Left();
  struct Row {
    const char* name;
    int x;
    Qt::CursorShape shape;
  } rows[] = {
      {"text area", 20, Qt::ArrowCursor},
      {"first button", first + 3, Qt::PointingHandCursor},
      {"second button's left edge", second, Qt::CrossCursor},
      {"first button's left edge is not inside", first, Qt::ArrowCursor},
      {"second button", second + 5, Qt::CrossCursor},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    f.Move({r.x, 10});
    EXPECT_EQ(f.edit->Handle()->cursor().shape(), r.shape);
  }
  // A hidden second button gives its place to the first.
  f.edit->SetButtonCount(1);
  const int only = f.edit->FirstButton()->Left();
  f.Move({only + 3, 10});
  EXPECT_EQ(f.edit->Handle()->cursor().shape(), Qt::PointingHandCursor);
}

TEST(ZREditLooks, EachButtonShowsItsOwnHint) {
  Fixture f;
  f.edit->SetButtonCount(2);
  f.edit->FirstButtonParams()->SetHint("Open the list");
  f.edit->SecondButtonParams()->SetHint("More");
  f.form.SetShowHint(true);  // the buttons follow their parents
  EXPECT_TRUE(f.edit->FirstButtonParams()->ParentShowHint());
  QWidget* w = f.edit->Handle();
  const QPoint first(f.edit->FirstButton()->Left() + 3, 10), second(f.edit->SecondButton()->Left() + 3, 10);
  EXPECT_EQ(HintControlAt(w, first), f.edit->FirstButton());
  EXPECT_EQ(HintControlAt(w, second), f.edit->SecondButton());
  EXPECT_EQ(HintControlAt(w, {20, 10}), nullptr);
  f.edit->SecondButtonParams()->SetShowHint(false);
  EXPECT_FALSE(f.edit->SecondButtonParams()->ParentShowHint());
  EXPECT_EQ(HintControlAt(w, second), nullptr);

  const int pause = Application->HintPause();
  Application->SetHintPause(1);
  f.Move(first);
  ASSERT_TRUE(QTest::qWaitFor([] { return ApplicationHintWindow() && ApplicationHintWindow()->IsHintVisible(); }, 1000));
  EXPECT_EQ(ApplicationHintWindow()->Caption(), "Open the list");
  CancelHint();
  Application->SetHintPause(pause);
}

TEST(ZREditLooks, TheFormPreviewsEachKeyOnce) {
  Fixture f;
  f.form.SetKeyPreview(true);
  std::vector<std::string> seen;
  struct Probe {
    std::vector<std::string>& seen;
    void Key(TObject*, std::uint16_t& Key, TShiftState) { seen.push_back("down " + std::to_string(Key)); }
    void Char(TObject*, char32_t& Key) {
      seen.push_back(std::string("char ") + static_cast<char>(Key));
      if (Key == U'q') Key = 0;
    }
  } probe{seen};
  f.form.OnKeyDown = TKeyEvent::Of<&Probe::Key>(probe);
  f.form.OnKeyPress = TKeyPressEvent::Of<&Probe::Char>(probe);
  f.edit->SetFocus();
  QTest::keyClick(f.Line(), Qt::Key_X);
  EXPECT_EQ(seen, (std::vector<std::string>{"down 88", "char x"}));
  EXPECT_EQ(f.edit->EditText(), "x");
  EXPECT_TRUE(f.form.KeyPreview()) << "switched on again after the inner edit had the key";
  // The form's preview may take a character from the edit.
  QTest::keyClick(f.Line(), Qt::Key_Q);
  EXPECT_EQ(f.edit->EditText(), "x");
}

TEST(ZREditLooks, TheHeightFollowsTheFont) {
  Fixture f;
  for (int size : {14, 24, 8}) {
    SCOPED_TRACE(size);
    f.edit->Font()->SetSize(size);
    EXPECT_EQ(f.edit->Height(), 8 + ScreenTextMeasurer().TextHeight(f.edit->Font()->Data(), ""));
  }
  f.edit->Font()->SetSize(8);
  const int small = f.edit->Height();
  f.edit->Font()->SetSize(24);
  EXPECT_GT(f.edit->Height(), small);
}

// A 0x00BBGGRR colour as the window's pixels show it.
QRgb Rgb(TColor Color) {
  const TColor c = ColorToRGB(Color);
  return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

struct Probe {
  int x, y;
  TColor color;
};

// One look of the edit and the pixels it shows.
struct LookRow {
  const char* name;
  bool flat, alternate, hovered;
  std::uint8_t kind;
  std::vector<Probe> probes;
};

void ExpectPixels(TCustomZREdit* Edit, const std::vector<Probe>& Probes) {
  Edit->Handle()->repaint();
  const QImage image = Edit->Handle()->grab().toImage();
  for (const Probe& p : Probes)
    EXPECT_EQ(image.pixel(p.x, p.y), Rgb(p.color)) << "at " << p.x << "," << p.y << " want " << std::hex << p.color;
}

void ExpectLooks(const std::vector<LookRow>& Rows) {
  for (const LookRow& r : Rows) {
    SCOPED_TRACE(r.name);
    Fixture f;
    f.edit->FlatLook = r.flat;
    f.edit->AlternateBorder = r.alternate;
    f.edit->BorderKind = r.kind;
    f.edit->ArrangeButtons();
    f.edit->SetColor(clYellow);  // apart from the face and highlight colours
    if (r.hovered) f.edit->Perform(CM_MOUSEENTER, 0, 0);
    ExpectPixels(f.edit, r.probes);
  }
}

TEST(ZREditLooks, BorderKindsDrawTheirFrames) {
  // The edit is 121 x 21; (50, y) and (x, 10) are clear of the inner edit
  // and the button on the edges probed.
  const std::vector<LookRow> rows = {
      {"flat now: face frames and corners",
       true, false, false, 0,
       {{50, 0, clBtnFace}, {0, 10, clBtnFace}, {120, 10, clBtnFace}, {50, 20, clBtnFace}, {120, 0, clBtnFace},
        {0, 20, clBtnFace}, {50, 19, clBtnFace}}},
      {"hovered: a 3D frame, shadow first",
       true, false, true, 0,
       {{50, 0, clBtnShadow}, {0, 10, clBtnShadow}, {120, 10, clBtnHighlight}, {50, 20, clBtnHighlight},
        {120, 0, clBtnHighlight}, {50, 19, clBtnFace}}},
      {"kind 1: highlight first",
       false, true, false, 1,
       {{50, 0, clBtnHighlight}, {0, 10, clBtnHighlight}, {120, 10, clBtnShadow}, {50, 20, clBtnShadow}}},
      {"kind 2: two bottom lines",
       false, true, false, 2,
       {{50, 0, clBtnFace}, {0, 10, clBtnFace}, {120, 10, clBtnFace}, {50, 19, clBtnShadow}, {50, 20, clBtnHighlight}}},
      {"kind 3: two bottom lines, light first",
       false, true, false, 3, {{50, 19, clBtnHighlight}, {50, 20, clBtnShadow}}},
      {"kind 4: an underline",
       false, true, false, 4, {{50, 20, cl3DDkShadow}, {120, 10, clBtnFace}, {50, 0, clBtnFace}}},
      {"kind 5: underline and right edge",
       false, true, false, 5, {{50, 20, cl3DDkShadow}, {120, 10, cl3DDkShadow}, {50, 0, clBtnFace}}},
      {"kind 6: sunken edge",
       false, true, false, 6, {{50, 0, clBtnShadow}, {50, 20, clBtnHighlight}, {50, 1, cl3DDkShadow}}},
      {"kind 7: raised edge", false, true, false, 7, {{50, 0, cl3DLight}, {50, 20, cl3DDkShadow}}},
      {"kind 8: the face frames only",
       false, true, false, 8, {{50, 0, clBtnFace}, {50, 20, clBtnFace}, {0, 10, clBtnFace}}},
  };
  ExpectLooks(rows);
}

TEST(ZREditLooks, ButtonEdgesJoinTheBorder) {
  // Buttons: framed at (103, 2) 16 x 17, flat at (104, 1) 16 x 19.
  const std::vector<LookRow> rows = {
      {"framed: face edges, light lines, a black corner",
       false, false, false, 0,
       {{103, 10, clBtnFace}, {110, 2, clBtnFace}, {118, 3, clBtnFace}, {110, 3, clBtnHighlight},
        {104, 10, clBtnHighlight}, {118, 2, clBlack}}},
      {"flat now: the edit's colour inside face edges",
       true, false, false, 0,
       {{105, 10, clYellow}, {110, 2, clYellow}, {110, 1, clBtnFace}, {119, 10, clBtnFace}, {110, 19, clBtnFace}}},
      {"flat now with an edge: the edit's colour around a face frame and a light line",
       true, true, false, 6,
       {{103, 10, clYellow}, {110, 2, clYellow}, {110, 3, clBtnFace}, {117, 10, clBtnFace}, {104, 10, clBtnHighlight}}},
      {"flat and hovered: a face frame around light lines",
       true, false, true, 0,
       {{104, 10, clBtnFace}, {110, 1, clBtnFace}, {119, 10, clBtnFace}, {110, 19, clBtnFace},
        {110, 2, clBtnHighlight}, {105, 10, clBtnHighlight}}},
      {"line border: the bottom line in the first colour",
       false, true, false, 2, {{110, 19, clBtnShadow}, {104, 10, clBtnFace}}},
  };
  ExpectLooks(rows);
}

// Root written, turned into the text form and back, read into Into; the text.
std::string ThroughText(TComponent* Root, TComponent* Into) {
  TMemoryStream binary, text, back;
  WriteComponentToStream(binary, Root);
  binary.SetPosition(0);
  ObjectBinaryToText(binary, text);
  text.SetPosition(0);
  ObjectTextToBinary(text, back);
  back.SetPosition(0);
  ReadComponentFromStream(back, Into);
  return std::string(text.Bytes().begin(), text.Bytes().end());
}

TEST(ZREditLooks, AStoredEditComesBackWithItsButtons) {
  Fixture f;
  RegisterClassOnce(TStoredZREdit::StaticClass());
  RegisterClassOnce(TEdit::StaticClass());
  TStoredZREdit* edit = f.edit;
  edit->SetButtonCount(2);
  edit->FlatLook = true;
  edit->BorderKind = 3;
  TButtonParams* first = edit->FirstButtonParams();
  TButtonParams* second = edit->SecondButtonParams();
  first->SetCursor(crHandPoint);
  first->SetHint("Open the list");
  first->SetShowHint(true);
  first->SetWidth(20);
  TBitmap glyph(3, 2);
  for (int x = 0; x < 3; ++x) glyph.SetPixel(x, 1, RGB(10 * x, 20, 30));
  second->SetGlyph(&glyph);
  second->SetNumGlyphs(1);
  second->SetHint("More");
  second->SetShowHint(true);
  second->SetParentShowHint(true);  // the parent's again
  f.form.SetShowHint(true);         // ... which is set

  f.form.SetName("Form1");
  TForm into(nullptr, TForm::CreateNew{});
  const std::string text = ThroughText(&f.form, &into);
  SCOPED_TRACE(text);
  auto* read = dynamic_cast<TStoredZREdit*>(into.FindComponent("Edit1"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(text.find("FirstButtonParams.Glyph.Data"), std::string::npos) << "a shared glyph is not stored";
  EXPECT_NE(text.find("SecondButtonParams.Glyph.Data"), std::string::npos);

  EXPECT_EQ(read->ButtonCount(), 2);
  EXPECT_TRUE(read->FlatLook);
  EXPECT_EQ(read->BorderKind, 3);
  TButtonParams* rf = read->FirstButtonParams();
  TButtonParams* rs = read->SecondButtonParams();
  EXPECT_EQ(rf->Kind(), bkDropDown);
  EXPECT_EQ(rf->Cursor(), crHandPoint);
  EXPECT_EQ(rf->Hint(), "Open the list");
  EXPECT_TRUE(rf->ShowHint());
  EXPECT_FALSE(rf->ParentShowHint());
  EXPECT_EQ(rf->Width(), 20);
  EXPECT_EQ(read->FirstButton()->Width(), 20);
  EXPECT_TRUE(rf->Visible());
  EXPECT_EQ(rs->Kind(), bkCustom);
  EXPECT_EQ(rs->Hint(), "More");
  EXPECT_TRUE(rs->ParentShowHint());
  EXPECT_TRUE(rs->Visible());
  ASSERT_EQ(rs->Glyph()->Width(), 3);
  EXPECT_EQ(rs->Glyph()->Pixel(2, 1), RGB(20, 20, 30));
  EXPECT_EQ(read->SecondButton()->Width(), 3 + 4) << "a custom glyph sizes its button";
  EXPECT_EQ(read->DropDownClassName(), edit->DropDownClassName());
}

}  // namespace
