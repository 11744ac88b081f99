#include "platform/graphics/GraphicsObjects.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/classes/TypInfo.h"
#include "platform/core/Exceptions.h"

namespace {

// Counts change notices and remembers their senders.
struct Watcher {
  int count = 0;
  TObject* sender = nullptr;
  TNotifyEvent Handler() {
    return [this](TObject* s) {
      ++count;
      sender = s;
    };
  }
};

// Each property set, SetData and Assign tells exactly one change; setting
// the value an object already has tells none.
TEST(GraphicsObjects, OneChangeNoticePerSet) {
  TFont font;
  TPen pen;
  TBrush brush;
  Watcher w;
  font.OnChange = pen.OnChange = brush.OnChange = w.Handler();
  TFont other;
  other.SetName("Courier New");
  other.SetHeight(-20);

  struct Row {
    const char* what;
    TGraphicsObject* object;
    std::function<void()> change;
    int notices;
  } rows[] = {
      {"font colour", &font, [&] { font.SetColor(clRed); }, 1},
      {"same colour", &font, [&] { font.SetColor(clRed); }, 0},
      {"font size", &font, [&] { font.SetSize(12); }, 1},
      {"font style", &font, [&] { font.SetStyle({TFontStyle::fsBold}); }, 1},
      {"font charset", &font, [&] { font.SetCharset(SYMBOL_CHARSET); }, 1},
      {"font assign", &font, [&] { font.Assign(&other); }, 1},
      {"font assign again", &font, [&] { font.Assign(&other); }, 0},
      {"pen width", &pen, [&] { pen.SetWidth(3); }, 1},
      {"pen data", &pen,
       [&] {
         pen.SetData({clBlue, 2, TPenStyle::psDot, TPenMode::pmXor});
       },
       1},
      {"brush style", &brush, [&] { brush.SetStyle(TBrushStyle::bsCross); }, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    w = {};
    r.change();
    EXPECT_EQ(w.count, r.notices);
    if (r.notices) {
      EXPECT_EQ(w.sender, r.object);
    }
  }
  EXPECT_EQ(font.Data(), other.Data());
  EXPECT_EQ(font.Height(), -20);
}

TEST(GraphicsObjects, EqualDescriptionsShareAHandle) {
  TFont a, b;
  a.SetName("Courier New");
  b.SetName("Courier New");
  a.SetSize(10);
  b.SetHeight(-13);  // 10 points at 96 pixels per inch
  EXPECT_EQ(a.Handle(), b.Handle());
  b.SetColor(clRed);  // the text colour, not part of the font
  EXPECT_EQ(a.Handle(), b.Handle());
  b.SetStyle({TFontStyle::fsItalic});
  EXPECT_NE(a.Handle(), b.Handle());
  b.SetStyle({});
  b.SetCharset(SYMBOL_CHARSET);
  EXPECT_NE(a.Handle(), b.Handle());
  EXPECT_EQ(FontOfHandle(b.Handle()).Charset, SYMBOL_CHARSET);
  EXPECT_EQ(FontOfHandle(a.Handle()).FaceName, "Courier New");

  TPen p, q;
  p.SetWidth(3);
  q.SetWidth(3);
  q.SetMode(TPenMode::pmXor);  // the raster operation, not part of the pen
  EXPECT_EQ(p.Handle(), q.Handle());
  EXPECT_EQ(PenOfHandle(p.Handle()).Type, PS_GEOMETRIC);
  TBrush x, y;
  y.SetColor(clWhite);
  EXPECT_EQ(x.Handle(), y.Handle());
  EXPECT_EQ(BrushOfHandle(x.Handle()).Style, BS_SOLID);

  EXPECT_THROW(PenOfHandle(a.Handle()), EInvalidOperation);
  EXPECT_THROW(FontOfHandle(0), EInvalidOperation);
}

TEST(GraphicsObjects, AssignFromAnotherClassRaises) {
  TFont font;
  TPen pen;
  EXPECT_THROW(font.Assign(&pen), EConvertError);
}

// The published properties, their order and defaults, as a form streams them.
TEST(GraphicsObjects, PublishedProperties) {
  struct Row {
    TClass cls;
    std::vector<std::string> names;
  } rows[] = {
      {TFont::StaticClass(), {"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}},
      {TPen::StaticClass(), {"Color", "Mode", "Style", "Width"}},
      {TBrush::StaticClass(), {"Color", "Style"}},
  };
  for (const Row& r : rows) {
    std::vector<std::string> names;
    for (const TPropInfo* p : GetPropInfos(r.cls)) names.push_back(p->Name);
    EXPECT_EQ(names, r.names) << r.cls->Name;
  }

  TFont font;
  Watcher w;
  font.OnChange = w.Handler();
  const TPropInfo* style = GetPropInfo(TFont::StaticClass(), "Style", tkAny);
  SetOrdProp(&font, style, 1 | 4);
  EXPECT_EQ(font.Style(), (TFontStyles{TFontStyle::fsBold, TFontStyle::fsUnderline}));
  const TPropInfo* name = GetPropInfo(TFont::StaticClass(), "Name", tkAny);
  SetStrProp(&font, name, "Times New Roman");
  EXPECT_EQ(font.Name(), "Times New Roman");
  EXPECT_EQ(w.count, 2);
  EXPECT_EQ(name->PropType->Name, "TFontName");
  EXPECT_EQ(GetPropInfo(TFont::StaticClass(), "Charset", tkAny)->PropType->Name, "TFontCharset");
  EXPECT_EQ(GetPropInfo(TFont::StaticClass(), "Color", tkAny)->PropType->Name, "TColor");
  EXPECT_FALSE(IsStoredProp(&font, GetPropInfo(TFont::StaticClass(), "Size", tkAny)));

  TPen pen;
  const TPropInfo* width = GetPropInfo(TPen::StaticClass(), "Width", tkAny);
  EXPECT_EQ(width->Default, 1);
  SetOrdProp(&pen, width, 4);
  EXPECT_EQ(pen.Width(), 4);
  EXPECT_EQ(GetOrdProp(&pen, GetPropInfo(TPen::StaticClass(), "Mode", tkAny)), static_cast<int>(TPenMode::pmCopy));
}

}  // namespace
