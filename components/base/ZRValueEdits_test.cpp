// The colour, pen-style and brush-style pop-ups and graphic edits inside an
// edit with buttons: the start-up rows, selection and width on opening, the
// text answered, the drawing traces, and the colour edit's refusal of a bad
// text.

#include "components/base/ZRValueEdits.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <string>
#include <vector>

#include "components/base/PackagedCollection.h"
#include "components/base/ZREdit.h"
#include "components/base/ZREditTestText_p.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/GraphicsTypeInfo.h"
#include "platform/graphics/TextMeasurer.h"
#include "platform/graphics/TraceContext.h"
#include "platform/ui/DialogService.h"

namespace {

// An edit with buttons on a shown form, with a value pop-up and inner edit.
struct Fixture {
  ScriptedDialogService dialogs;
  ScopedDialogService scope{dialogs};
  TWinControl form{nullptr};
  TCustomZREdit* edit = nullptr;
  int changes = 0;
  Fixture(const char* Popup, const char* Inner) {
    RegisterZREditClasses();
    form.SetBounds(100, 100, 400, 300);
    form.Show();
    edit = new TCustomZREdit(&form);
    edit->SetBounds(20, 20, 200, 21);
    edit->SetParent(&form);
    edit->SetDropDownClassName(Popup);
    edit->SetInnerEditClassName(Inner);
    edit->OnTextChange = TNotifyEvent::Of<&Fixture::Changed>(*this);
    QApplication::setActiveWindow(form.Handle());
  }
  void Changed(TObject*) { ++changes; }
  template <class T>
  T* Popup() const {
    return dynamic_cast<T*>(edit->PopupWindow());
  }
  TGraphicEdit* Inner() const { return dynamic_cast<TGraphicEdit*>(edit->InnerEdit()); }
};

struct RegRow {
  const TTypeInfo* type;
  std::string qualifier;
  std::string className;  // empty: no class
  bool isDefault;
  bool operator==(const RegRow&) const = default;
};

std::vector<RegRow> RowsOf(TPackagedCollection* Registry) {
  const TTypeInfo* types[] = {TypeInfos::String(), TypeInfos::TColor(), TypeInfos::TPenStyle(),
                              TypeInfos::TBrushStyle(), TypeInfos::Boolean()};
  std::vector<RegRow> rows;
  for (int i = 0; i < Registry->Count(); ++i) {
    auto* info = dynamic_cast<TPopupClassInfo*>(Registry->Item(i));
    if (!info || (info->Qualifier != "" && info->Qualifier != " ")) continue;  // other tests' own rows
    if (std::find(std::begin(types), std::end(types), info->ValueType) == std::end(types)) continue;
    auto* edit = dynamic_cast<TEditClassInfo*>(info);
    rows.push_back({info->ValueType, info->Qualifier, info->Class ? info->Class->Name : "",
                    edit ? edit->IsDefault : false});
  }
  return rows;
}

TEST(ValueEditRegistration, RowsComeInTheStartUpTablesOrderOnce) {
  RegisterZREditClasses();
  const std::vector<RegRow> edits = {
      {TypeInfos::String(), "", "TZRSimpleEdit", true},    {TypeInfos::String(), " ", "TZRMaskEdit", true},
      {TypeInfos::TColor(), "", "TColorEdit", false},       {TypeInfos::TPenStyle(), "", "TPenStyleEdit", false},
      {TypeInfos::TBrushStyle(), "", "TBrushStyleEdit", false}, {TypeInfos::Boolean(), "", "TCheckEdit", false},
  };
  const std::vector<RegRow> popups = {
      {TypeInfos::String(), "", "TPopupListBox", false},     {TypeInfos::TColor(), "", "TPopupColorBox", false},
      {TypeInfos::TPenStyle(), "", "TPopupPenBox", false},   {TypeInfos::TBrushStyle(), "", "TPopupBrushBox", false},
      {TypeInfos::Boolean(), "", "", false},
  };
  EXPECT_EQ(RowsOf(GetEditClassRegistry()), edits);
  EXPECT_EQ(RowsOf(GetPopupClassRegistry()), popups);
  const int editCount = GetEditClassRegistry()->Count(), popupCount = GetPopupClassRegistry()->Count();
  RegisterZREditClasses();
  EXPECT_EQ(GetEditClassRegistry()->Count(), editCount);
  EXPECT_EQ(GetPopupClassRegistry()->Count(), popupCount);
}

TEST(ValueNames, ColoursPenAndBrushStylesInTheirOrder) {
  ASSERT_EQ(PopupColors().size(), 42u);
  EXPECT_STREQ(PopupColors()[0].Name, "clBlack");
  EXPECT_STREQ(PopupColors()[15].Name, "clWhite");
  EXPECT_STREQ(PopupColors()[16].Name, "clScrollBar");
  EXPECT_STREQ(PopupColors()[40].Name, "clInfoBk");
  EXPECT_STREQ(PopupColors()[41].Name, "clNone");
  Fixture f("TPopupPenBox", "TPenStyleEdit");
  std::vector<std::string> pens;
  for (int i = 0; i < f.Popup<TPopupPenBox>()->Items()->GetCount(); ++i)
    pens.push_back(f.Popup<TPopupPenBox>()->Items()->Get(i));
  EXPECT_EQ(pens, (std::vector<std::string>{"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear",
                                            "psInsideFrame"}));
}

TEST(TPopupColorBox, OpeningSelectsTheEditsColourAndANumberKeepsTheSelection) {
  Fixture f("TPopupColorBox", "TColorEdit");
  auto* box = f.Popup<TPopupColorBox>();
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(box->Items()->GetCount(), 42);
  struct Row {
    const char* text;
    int selected;
    const char* answer;
  } rows[] = {
      {"clBlack", 0, "clBlack"},
      {"clRed", 9, "clRed"},
      {"$00123456", 9, "clRed"},  // no item: the previous selection stays
      {"clInfoBk", 40, "clInfoBk"},
      {"clNone", 41, "clNone"},
      {"255", 41, "clNone"},      // the number of clRed is still no item's text
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    f.edit->SetEditText(r.text);
    f.edit->UpdatePopup();
    EXPECT_EQ(box->ItemIndex(), r.selected);
    // The selection is in sight.
    EXPECT_LE(box->TopIndex(), r.selected);
    EXPECT_LT(r.selected, box->TopIndex() + box->VisibleRows());
    EXPECT_EQ(TextOf(*box), r.answer);
    EXPECT_EQ(ColorToString(box->CurrentColor), r.answer);
  }
  // The message's own text does not select: the edit's text does.
  SetTextOf(*box, "clLime");
  EXPECT_EQ(box->ItemIndex(), 41);
}

TEST(TPopupColorBox, SelectColorFollowsTheStoredColour) {
  Fixture f("TPopupColorBox", "TColorEdit");
  auto* box = f.Popup<TPopupColorBox>();
  box->SetItemIndex(-1);
  box->SelectColor(clBlack);  // nothing selected: selects even the stored colour
  EXPECT_EQ(box->ItemIndex(), 0);
  box->SetItemIndex(5);
  box->SelectColor(clBlack);  // the stored colour with a selection: nothing
  EXPECT_EQ(box->ItemIndex(), 5);
  box->SelectColor(clTeal);
  EXPECT_EQ(box->ItemIndex(), 6);
  EXPECT_EQ(box->CurrentColor, clTeal);
  box->SelectColor(static_cast<TColor>(0x123456));  // no item: nothing changes
  EXPECT_EQ(box->ItemIndex(), 6);
  EXPECT_EQ(box->CurrentColor, clTeal);
}

TEST(ValuePopups, WidthIs42PlusTheWidestNameWhenNamesShow) {
  // FixedTextMeasurer at height -10: 5 pixels a character.
  FixedTextMeasurer measurer;
  struct Row {
    const char* popup;
    const char* inner;
    bool names;
    int width;
  } rows[] = {
      {"TPopupPenBox", "TPenStyleEdit", false, 42},
      {"TPopupPenBox", "TPenStyleEdit", true, 42 + 5 * 11},  // "InsideFrame"
      {"TPopupBrushBox", "TBrushStyleEdit", true, 42 + 5 * 10},  // "Horizontal"
      {"TPopupColorBox", "TColorEdit", true, 42 + 5 * 21},   // "clInactiveCaptionText"
      {"TPopupColorBox", "TColorEdit", false, 42},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.popup) + (r.names ? " with names" : ""));
    Fixture f(r.popup, r.inner);
    auto* box = f.Popup<TValuePopupBox>();
    box->SetTextMeasurer(&measurer);
    box->Font()->SetHeight(-10);
    box->SetDisplayNames(r.names);
    const int height = box->Height();
    SetTextOf(*box, "ignored");
    EXPECT_EQ(box->Width(), r.width);
    EXPECT_EQ(box->Height(), height);  // the height stays
  }
}

TEST(ValuePopups, NamesShowByDefaultExceptForPens) {
  EXPECT_TRUE(TPopupColorBox(nullptr).DisplayNames());
  EXPECT_FALSE(TPopupPenBox(nullptr).DisplayNames());
  EXPECT_TRUE(TPopupBrushBox(nullptr).DisplayNames());
}

TEST(TPopupPenAndBrushBox, OpeningSelectsTheEditsTextAndAnswersTheChoice) {
  struct Row {
    const char* popup;
    const char* inner;
    const char* text;
    int selected;
    const char* answer;
  } rows[] = {
      {"TPopupPenBox", "TPenStyleEdit", "psDot", 2, "psDot"},
      {"TPopupPenBox", "TPenStyleEdit", "psInsideFrame", 6, "psInsideFrame"},
      {"TPopupPenBox", "TPenStyleEdit", "nonsense", -1, ""},  // no pen style: no selection
      {"TPopupBrushBox", "TBrushStyleEdit", "bsClear", 1, "bsClear"},
      {"TPopupBrushBox", "TBrushStyleEdit", "bsDiagCross", 7, "bsDiagCross"},
      {"TPopupBrushBox", "TBrushStyleEdit", "nonsense", 0, "bsSolid"},  // the stored style stays selected
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.popup) + " " + r.text);
    Fixture f(r.popup, r.inner);
    f.edit->SetEditText(r.text);
    f.edit->UpdatePopup();
    auto* box = f.Popup<TValuePopupBox>();
    EXPECT_EQ(box->ItemIndex(), r.selected);
    EXPECT_EQ(TextOf(*box), r.answer);
  }
}

TEST(TPopupBrushBox, SecondItemAnswersClearAndShowsASolidInfoSwatch) {
  Fixture f("TPopupBrushBox", "TBrushStyleEdit");
  auto* box = f.Popup<TPopupBrushBox>();
  box->SetItemIndex(1);
  EXPECT_EQ(TextOf(*box), "bsClear");
  EXPECT_EQ(box->CurrentBrushStyle, TBrushStyle::bsClear);
  // Accepting the pop-up's value puts it into the edit.
  f.edit->AcceptPopupValue();
  EXPECT_EQ(f.edit->EditText(), "bsClear");
}

// Drawing traces of one row of each pop-up into (0, 0, 120, 16), the row
// brush white, the font at height -10.
TEST(ValuePopups, ItemDrawingTraces) {
  struct Row {
    const char* popup;
    const char* inner;
    int index;
    bool names;
    std::vector<std::string> lines;
  } rows[] = {
      {"TPopupColorBox",
       "TColorEdit",
       9,
       true,
       {"CreateBrushIndirect(BS_SOLID,$FFFFFF) -> brush#8", "SelectObject(brush#8)", "FillRect(0,0,120,16,brush#8)",
        "ExtCreatePen(PS_COSMETIC|PS_SOLID,$000000) -> pen#9", "SelectObject(pen#9)",
        // outlined in black on the row's brush, filled red one pixel inside
        "Rectangle(2,2,24,14)", "CreateBrushIndirect(BS_SOLID,$0000FF) -> brush#10", "SelectObject(brush#10)",
        "DeleteObject(brush#8)", "FillRect(3,3,23,13,brush#10)",
        "CreateFontIndirect(-10,0,0,400,DEFAULT_PITCH,\"Arial\") -> font#11", "SelectObject(font#11)",
        "SetBkMode(TRANSPARENT)", "SetTextColor($000000)", "ExtTextOut(28,2,ETO_CLIPPED,28,0,120,16,\"clRed\")",
        "SetTextColor($000000)", "SetBkMode(OPAQUE)"}},
      // No names: the line runs to the right edge less 3, across the middle.
      {"TPopupPenBox",
       "TPenStyleEdit",
       2,
       false,
       {"CreateBrushIndirect(BS_SOLID,$FFFFFF) -> brush#8", "SelectObject(brush#8)", "FillRect(0,0,120,16,brush#8)",
        "MoveTo(2,8)", "ExtCreatePen(PS_COSMETIC|PS_DOT,$000000) -> pen#9", "SelectObject(pen#9)", "LineTo(117,8)"}},
      // bsClear: solid clInfoBk.
      {"TPopupBrushBox",
       "TBrushStyleEdit",
       1,
       true,
       {"CreateBrushIndirect(BS_SOLID,$FFFFFF) -> brush#8", "SelectObject(brush#8)", "FillRect(0,0,120,16,brush#8)",
        "ExtCreatePen(PS_COSMETIC|PS_SOLID,$000000) -> pen#9", "SelectObject(pen#9)", "Rectangle(2,2,24,14)",
        "SetBkColor($E1FFFF)", "CreateBrushIndirect(BS_SOLID,$E1FFFF) -> brush#10", "SelectObject(brush#10)",
        "DeleteObject(brush#8)", "FillRect(3,3,23,13,brush#10)", "SetBkColor($FFFFFF)",
        "CreateFontIndirect(-10,0,0,400,DEFAULT_PITCH,\"Arial\") -> font#11", "SelectObject(font#11)",
        "SetBkMode(TRANSPARENT)", "SetTextColor($000000)", "ExtTextOut(28,2,ETO_CLIPPED,28,0,120,16,\"Clear\")",
        "SetTextColor($000000)", "SetBkMode(OPAQUE)"}},
      {"TPopupBrushBox",
       "TBrushStyleEdit",
       6,
       true,
       {"CreateBrushIndirect(BS_SOLID,$FFFFFF) -> brush#8", "SelectObject(brush#8)", "FillRect(0,0,120,16,brush#8)",
        "ExtCreatePen(PS_COSMETIC|PS_SOLID,$000000) -> pen#9", "SelectObject(pen#9)", "Rectangle(2,2,24,14)",
        "SetBkColor($E1FFFF)", "CreateBrushIndirect(BS_HATCHED,$000000,HS_CROSS) -> brush#10", "SelectObject(brush#10)",
        "DeleteObject(brush#8)", "FillRect(3,3,23,13,brush#10)", "SetBkColor($FFFFFF)",
        "CreateFontIndirect(-10,0,0,400,DEFAULT_PITCH,\"Arial\") -> font#11", "SelectObject(font#11)",
        "SetBkMode(TRANSPARENT)", "SetTextColor($000000)", "ExtTextOut(28,2,ETO_CLIPPED,28,0,120,16,\"Cross\")",
        "SetTextColor($000000)", "SetBkMode(OPAQUE)"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.popup) + " " + std::to_string(r.index));
    Fixture f(r.popup, r.inner);
    auto* box = f.Popup<TValuePopupBox>();
    box->SetDisplayNames(r.names);
    TraceContext dc;
    TCanvas canvas(dc);
    canvas.Brush()->SetColor(clWhite);
    canvas.Font()->SetHeight(-10);
    box->DrawItemTo(canvas, r.index, {0, 0, 120, 16});
    EXPECT_EQ(dc.Lines(), r.lines) << dc.Text();
  }
}

TEST(ValuePopups, ChoosingWithTheKeysStoresTheCurrentValue) {
  Fixture f("TPopupPenBox", "TPenStyleEdit");
  auto* pens = f.Popup<TPopupPenBox>();
  pens->SetItemIndex(0);
  pens->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(pens->ItemIndex(), 1);
  EXPECT_EQ(pens->CurrentPenStyle, TPenStyle::psDash);
  Fixture g("TPopupColorBox", "TColorEdit");
  auto* colours = g.Popup<TPopupColorBox>();
  int changed = 0;
  TWndMethod old = g.form.WindowProc;
  g.form.WindowProc = [&](TMessage& Message) {
    if (Message.Msg == CM_CHANGED && Message.LParam == reinterpret_cast<std::intptr_t>(g.edit)) ++changed;
    old(Message);
  };
  colours->SetItemIndex(3);
  colours->Perform(WM_KEYDOWN, VK_DOWN, 0);
  g.form.WindowProc = old;
  EXPECT_EQ(colours->CurrentColor, clNavy);
  // The edit's parent hears of the new selection (through the edit) and of
  // the choice (from the list).
  EXPECT_EQ(changed, 2);
}

TEST(TColorEdit, ABadTextRaisesAndKeepsTheValue) {
  Fixture f("TPopupColorBox", "TColorEdit");
  TGraphicEdit* inner = f.Inner();
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Value(), "clBlack");
  TColorEdit alone(nullptr);
  struct Row {
    const char* text;
    bool good;
  } rows[] = {{"clRed", true},  {"$00FF8000", true}, {"255", true},    {"notacolour", false},
              {"", false},      {"clReddish", false}, {"12abc", false}, {"clwindowtext", true}};
  std::string value = inner->Value();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    const int errors = f.dialogs.Count("message");
    f.edit->SetEditText(r.text);
    if (r.good) {
      value = r.text;
      EXPECT_NO_THROW(SetTextOf(alone, r.text));
    } else {
      // Alone the edit raises; inside the edit with buttons the error box
      // shows the conversion error.
      EXPECT_THROW(SetTextOf(alone, r.text), EConvertError);
      EXPECT_EQ(f.dialogs.Count("message"), errors + 1);
    }
    EXPECT_EQ(inner->Value(), value);
    EXPECT_EQ(f.edit->EditText(), value);
    EXPECT_EQ(alone.Value(), value);
  }
  // The value survives a new window.
  f.edit->RecreateWnd();
  f.edit->HandleNeeded();
  EXPECT_EQ(f.edit->EditText(), value);
}

TEST(TGraphicEdits, PenAndBrushEditsStoreAnyText) {
  TPenStyleEdit pen(nullptr);
  TBrushStyleEdit brush(nullptr);
  EXPECT_EQ(pen.Value(), "psSolid");
  EXPECT_EQ(brush.Value(), "bsSolid");
  SetTextOf(pen, "whatever");
  SetTextOf(brush, "");
  EXPECT_EQ(TextOf(pen), "whatever");
  EXPECT_EQ(pen.Perform(WM_GETTEXTLENGTH, 0, 0), 8);
  EXPECT_EQ(TextOf(brush), "");
}

// The colour edit painted through ZRM_PAINTTO at (10, 5) of a lime bitmap.
struct ColorPaint {
  TWinControl form{nullptr};
  TColorEdit* edit = new TColorEdit(&form);
  TBitmap target{120, 40};
  ColorPaint() {
    edit->SetBounds(0, 0, 100, 20);
    edit->SetParent(&form);
    edit->SetColor(clWhite);
    edit->Font()->SetColor(clBlack);
  }
  void Paint(const std::string& Value, bool Enabled = true) {
    SetTextOf(*edit, Value);
    edit->SetEnabled(Enabled);
    target.Canvas().Brush()->SetColor(clLime);
    target.Canvas().FillRect({0, 0, 120, 40});
    target.Canvas().Font()->SetColor(clBlue);
    EXPECT_EQ(edit->Perform(ZRM_PAINTTO, reinterpret_cast<std::uintptr_t>(&target.Canvas()), PointToLParam(10, 5)),
              1);
  }
  // Pixels of the name's area that differ from Name drawn by hand in Color
  // where the edit draws its name.
  int NameDiffers(const std::string& Name, TColor Color) {
    TBitmap expected(100, 20);
    TCanvas& c = expected.Canvas();
    c.Brush()->SetColor(clWhite);
    c.FillRect({0, 0, 100, 20});
    c.SetFont(edit->Font());
    c.Font()->SetColor(Color);
    c.Brush()->SetStyle(TBrushStyle::bsClear);
    c.TextOut(28, (20 - c.TextHeight(Name)) / 2, Name);
    int differing = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 28; x < 100; ++x) differing += target.Pixel(10 + x, 5 + y) != expected.Pixel(x, y) ? 1 : 0;
    return differing;
  }
};

TEST(TColorEdit, PaintsTheSwatchAtThePointGiven) {
  ColorPaint p;
  p.Paint("clRed");
  EXPECT_EQ(p.target.Pixel(9, 10), clLime);     // left of the edit: untouched
  EXPECT_EQ(p.target.Pixel(110, 10), clLime);   // right of it
  EXPECT_EQ(p.target.Pixel(10, 5), clWhite);    // the ground
  EXPECT_EQ(p.target.Pixel(12, 7), clBlack);    // the swatch's outline at (2, 2)
  EXPECT_EQ(p.target.Pixel(13, 8), clRed);      // filled one pixel inside
  EXPECT_EQ(p.target.Pixel(20, 14), clRed);
}

TEST(TColorEdit, ShowsTheValueWithoutItsFirstTwoCharacters) {
  struct Row {
    const char* value;
    const char* name;
    bool enabled;
    TColor color;  // the target's text colour when enabled, clBtnShadow when not
  } rows[] = {{"clWindowText", "WindowText", true, clBlue},
              {"clRed", "Red", true, clBlue},
              {"$000000FF", "00000FF", true, clBlue},
              {"clWindowText", "WindowText", false, clBtnShadow}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.value) + (r.enabled ? "" : " disabled"));
    ColorPaint p;
    p.Paint(r.value, r.enabled);
    EXPECT_EQ(p.NameDiffers(r.name, r.color), 0);
    EXPECT_GT(p.NameDiffers("", r.color), 10);  // something is drawn
  }
}

// Traces of the pen-style and brush-style edits painted at (10, 5), 100 x 20,
// ground white, the canvas's text colour blue.
TEST(TGraphicEdits, DrawingTraces) {
  struct Row {
    const char* className;
    const char* value;
    std::vector<std::string> lines;
  } rows[] = {
      {"TPenStyleEdit",
       "psDash",
       {"CreateBrushIndirect(BS_SOLID,$FFFFFF) -> brush#8", "SelectObject(brush#8)", "FillRect(10,5,110,25,brush#8)",
        "MoveTo(12,15)", "ExtCreatePen(PS_COSMETIC|PS_DASH,$000000) -> pen#9", "SelectObject(pen#9)",
        "LineTo(108,15)"}},
      // No pen style: the ground only.
      {"TPenStyleEdit",
       "psNothing",
       {"CreateBrushIndirect(BS_SOLID,$FFFFFF) -> brush#8", "SelectObject(brush#8)", "FillRect(10,5,110,25,brush#8)"}},
      // Black hatches on clInfoBk; the name in the canvas's text colour.
      {"TBrushStyleEdit",
       "bsCross",
       {"CreateBrushIndirect(BS_SOLID,$FFFFFF) -> brush#8", "SelectObject(brush#8)", "FillRect(10,5,110,25,brush#8)",
        "SetBkColor($E1FFFF)", "ExtCreatePen(PS_COSMETIC|PS_SOLID,$000000) -> pen#9", "SelectObject(pen#9)",
        "CreateBrushIndirect(BS_HATCHED,$000000,HS_CROSS) -> brush#10", "SelectObject(brush#10)",
        "DeleteObject(brush#8)", "Rectangle(12,7,34,23)", "SetBkColor($FFFFFF)",
        "CreateFontIndirect(-10,0,0,400,DEFAULT_PITCH,\"Arial\") -> font#11", "SelectObject(font#11)",
        "SetBkMode(TRANSPARENT)", "SetTextColor($FF0000)", "ExtTextOut(38,9,ETO_CLIPPED,38,5,110,25,\"Cross\")",
        "SetTextColor($000000)", "SetBkMode(OPAQUE)"}},
      {"TBrushStyleEdit",
       "bsClear",
       {"CreateBrushIndirect(BS_SOLID,$FFFFFF) -> brush#8", "SelectObject(brush#8)", "FillRect(10,5,110,25,brush#8)",
        "SetBkColor($E1FFFF)", "ExtCreatePen(PS_COSMETIC|PS_SOLID,$000000) -> pen#9", "SelectObject(pen#9)",
        "CreateBrushIndirect(BS_SOLID,$E1FFFF) -> brush#10", "SelectObject(brush#10)", "DeleteObject(brush#8)",
        "Rectangle(12,7,34,23)", "SetBkColor($FFFFFF)",
        "CreateFontIndirect(-10,0,0,400,DEFAULT_PITCH,\"Arial\") -> font#11", "SelectObject(font#11)",
        "SetBkMode(TRANSPARENT)", "SetTextColor($FF0000)", "ExtTextOut(38,9,ETO_CLIPPED,38,5,110,25,\"Clear\")",
        "SetTextColor($000000)", "SetBkMode(OPAQUE)"}},
      // No brush style: the ground and the name, no swatch.
      {"TBrushStyleEdit",
       "bsNothing",
       {"CreateBrushIndirect(BS_SOLID,$FFFFFF) -> brush#8", "SelectObject(brush#8)", "FillRect(10,5,110,25,brush#8)",
        "CreateFontIndirect(-10,0,0,400,DEFAULT_PITCH,\"Arial\") -> font#9", "SelectObject(font#9)",
        "SetBkMode(TRANSPARENT)", "SetTextColor($FF0000)", "ExtTextOut(38,9,ETO_CLIPPED,38,5,110,25,\"Nothing\")",
        "SetTextColor($000000)", "SetBkMode(OPAQUE)"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.className) + " " + r.value);
    TWinControl form(nullptr);
    TGraphicEdit* edit = std::string(r.className) == "TPenStyleEdit" ? static_cast<TGraphicEdit*>(new TPenStyleEdit(&form))
                                                                      : new TBrushStyleEdit(&form);
    edit->SetBounds(0, 0, 100, 20);
    edit->SetColor(clWhite);
    edit->Font()->SetHeight(-10);
    SetTextOf(*edit, r.value);
    TraceContext dc;
    TCanvas canvas(dc);
    canvas.Font()->SetColor(clBlue);
    edit->Perform(ZRM_PAINTTO, reinterpret_cast<std::uintptr_t>(&canvas), PointToLParam(10, 5));
    EXPECT_EQ(dc.Lines(), r.lines) << dc.Text();
  }
}

}  // namespace
