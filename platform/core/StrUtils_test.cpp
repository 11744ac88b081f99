#include "platform/core/StrUtils.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

TEST(TextHelpers, TrimCaseAndPositions) {
  EXPECT_EQ(Trim("\t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  x "), "x ");
  EXPECT_EQ(TrimRight("  x \x01"), "  x");
  EXPECT_EQ(Trim("é "), "é");  // bytes above 127 are not blanks
  EXPECT_EQ(UpperCase("abcé"), "ABCé");
  EXPECT_TRUE(SameText("Pop", "POP"));
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_EQ(Pos("b", "abcb"), 2u);
  EXPECT_EQ(Pos("z", "abc"), 0u);
  EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Copy("abc", 5, 1), "");
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", ReplaceAll::No), "a+b-c");
  EXPECT_EQ(StringReplace("aXbx", "x", "_", ReplaceAll::Yes, IgnoreCase::Yes), "a_b_");
}

TEST(Format, SpecifiersWidthsAndSeparators) {
  struct Row {
    std::string result;
    const char* expected;
  } rows[] = {
      {Format("%d items", {3}), "3 items"},
      {Format("[%5d|%-4s]", {42, "ab"}), "[   42|ab  ]"},
      {Format("%.3d", {7}), "007"},
      {Format("%x", {255}), "FF"},
      {Format("%.4x", {255}), "00FF"},
      {Format("%.2f", {3.14159}, '.'), "3.14"},
      {Format("%.2f", {3.14159}, ','), "3,14"},
      {Format("%g", {0.5}, '.'), "0.5"},
      {Format("%s and %s", {std::string("x"), "y"}), "x and y"},
      {Format("100%%", {}), "100%"},
      {Format("%1:s %0:s", {"a", "b"}), "b a"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.expected);
    EXPECT_EQ(r.result, r.expected);
  }
  EXPECT_THAT([] { Format("%d", {"text"}); }, ThrowsMessage<EConvertError>(HasSubstr("invalid or incompatible")));
  EXPECT_THROW(Format("%s %s", {"one"}), EConvertError);
  EXPECT_THROW(Format("%q", {1}), EConvertError);
}

}  // namespace
