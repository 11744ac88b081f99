#include "platform/graphics/GraphicsNames.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

TEST(GraphicsNames, ColoursByNameAndByNumber) {
  struct Row {
    TColor color;
    const char* text;
  } rows[] = {
      {clBlack, "clBlack"}, {clWhite, "clWhite"},     {clScrollBar, "clScrollBar"}, {clInfoBk, "clInfoBk"},
      {clNone, "clNone"},   {clDefault, "clDefault"}, {0x00FF8000, "$00FF8000"},    {0x0000FF + 1, "$00000100"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(ColorToString(r.color), r.text);
    EXPECT_EQ(StringToColor(r.text), r.color);
  }
  EXPECT_EQ(StringToColor("CLRED"), clRed);
  EXPECT_EQ(StringToColor("255"), 255);
  EXPECT_THAT([] { StringToColor("clPink"); }, ThrowsMessage<EConvertError>(HasSubstr("clPink")));
  std::string ident = "kept";
  EXPECT_FALSE(ColorToIdent(0x123456, ident));
  EXPECT_EQ(ident, "kept");
  // The sixteen colours, the 25 system colours, clNone and clDefault, each
  // name once.
  EXPECT_EQ(ColorIdents().size(), 43u);
  for (const TIdentMapEntry& e : ColorIdents()) {
    TColor c = 0;
    EXPECT_TRUE(IdentToColor(e.Name, c));
    EXPECT_EQ(c, e.Value) << e.Name;
  }
}

TEST(GraphicsNames, CursorsAndCharsets) {
  EXPECT_EQ(CursorToString(crHourGlass), "crHourGlass");
  EXPECT_EQ(CursorToString(crSize), "crSizeAll");
  EXPECT_EQ(CursorToString(-30), "-30");
  EXPECT_EQ(StringToCursor("crsize"), -22);
  EXPECT_EQ(StringToCursor("-1124"), -1124);
  EXPECT_EQ(StringToCursor("crDefault"), 0);
  EXPECT_THROW(StringToCursor("crPointer"), EConvertError);

  std::string ident;
  EXPECT_TRUE(CharsetToIdent(204, ident));
  EXPECT_EQ(ident, "RUSSIAN_CHARSET");
  std::int32_t charset = -1;
  EXPECT_TRUE(IdentToCharset("oem_charset", charset));
  EXPECT_EQ(charset, 255);
  EXPECT_FALSE(CharsetToIdent(3, ident));
  EXPECT_FALSE(IdentToCharset("LATIN_CHARSET", charset));
}

}  // namespace
