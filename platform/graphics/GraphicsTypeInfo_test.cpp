#include "platform/graphics/GraphicsTypeInfo.h"

#include <gtest/gtest.h>

#include "platform/graphics/GraphicsTypes.h"

namespace {

// Every value of each enumeration has the name of its enumerator, and the
// name reads back as the value.
TEST(GraphicsTypeInfo, EnumerationNamesMatchTheValues) {
  struct Row {
    const TTypeInfo* type;
    int value;
    const char* name;
  } rows[] = {
      {TypeInfos::TPenStyle(), static_cast<int>(TPenStyle::psSolid), "psSolid"},
      {TypeInfos::TPenStyle(), static_cast<int>(TPenStyle::psDashDotDot), "psDashDotDot"},
      {TypeInfos::TPenStyle(), static_cast<int>(TPenStyle::psClear), "psClear"},
      {TypeInfos::TPenStyle(), static_cast<int>(TPenStyle::psInsideFrame), "psInsideFrame"},
      {TypeInfos::TPenMode(), static_cast<int>(TPenMode::pmCopy), "pmCopy"},
      {TypeInfos::TPenMode(), static_cast<int>(TPenMode::pmNotXor), "pmNotXor"},
      {TypeInfos::TBrushStyle(), static_cast<int>(TBrushStyle::bsClear), "bsClear"},
      {TypeInfos::TBrushStyle(), static_cast<int>(TBrushStyle::bsDiagCross), "bsDiagCross"},
      {TypeInfos::TFontStyle(), static_cast<int>(TFontStyle::fsUnderline), "fsUnderline"},
      {TypeInfos::TFontPitch(), static_cast<int>(TFontPitch::fpFixed), "fpFixed"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(GetEnumName(r.type, r.value), r.name);
    EXPECT_EQ(GetEnumValue(r.type, r.name), r.value);
  }
  EXPECT_EQ(GetTypeData(TypeInfos::TPenStyle())->MaxValue, static_cast<int>(TPenStyle::psInsideFrame));
  EXPECT_EQ(GetTypeData(TypeInfos::TPenMode())->MaxValue, static_cast<int>(TPenMode::pmNotXor));
  EXPECT_EQ(GetTypeData(TypeInfos::TBrushStyle())->MaxValue, static_cast<int>(TBrushStyle::bsDiagCross));
}

TEST(GraphicsTypeInfo, FontStylesAreASetOfFontStyleWithTheStoredBits) {
  const TTypeInfo* styles = TypeInfos::TFontStyles();
  EXPECT_EQ(styles->Kind, tkSet);
  EXPECT_EQ(GetTypeData(styles)->CompType, TypeInfos::TFontStyle());
  // Element n is bit n, as TFontStyles stores it.
  for (int n = 0; n <= GetTypeData(TypeInfos::TFontStyle())->MaxValue; ++n)
    EXPECT_EQ(TFontStyles{static_cast<TFontStyle>(n)}.Bits(), 1u << n) << GetEnumName(TypeInfos::TFontStyle(), n);
}

}  // namespace
