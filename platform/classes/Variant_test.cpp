#include "platform/classes/Variant.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

TEST(VariantTest, KindsAndTypeCodes) {
  EXPECT_EQ(VarType(TVariant()), varEmpty);
  EXPECT_EQ(VarType(Null()), varNull);
  EXPECT_EQ(VarType(TVariant(int16_t{2})), varSmallint);
  EXPECT_EQ(VarType(TVariant(12)), varInteger);
  EXPECT_EQ(VarType(TVariant(1.5)), varDouble);
  EXPECT_EQ(VarType(TVariant("12")), varString);
  EXPECT_EQ(VarType(TVariant(true)), varBoolean);
  EXPECT_EQ(VarType(TVariant(uint8_t{123})), varByte);
  EXPECT_EQ(TVariant("12").AsInteger(), 12);
  EXPECT_EQ(TVariant(12).AsString(), "12");
  EXPECT_TRUE(TVariant("12") == TVariant(12));
  EXPECT_FALSE(Null() == Unassigned());
}

}  // namespace
