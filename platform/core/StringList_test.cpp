#include "platform/core/StringList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/core/Exceptions.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;

TEST(TStringList, SplitsLinesOnCrLfAndCrLf) {
  struct Row {
    const char* text;
    std::vector<std::string> lines;
  } rows[] = {
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"\n", {""}},
      {"", {}},
      {"x\r", {"x"}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    TStringList list;
    list.SetText(r.text);
    EXPECT_EQ(list.Lines(), r.lines);
  }
}

TEST(TStringList, CommaTextQuotesWhatNeedsIt) {
  TStringList list{"plain", "two words", "", "a,b", "say \"hi\"", "tab\there"};
  const std::string text = list.CommaText();
  EXPECT_EQ(text, R"(plain,"two words","","a,b","say ""hi""","tab	here")");
  TStringList back;
  back.SetCommaText(text);
  EXPECT_EQ(back, list);
}

TEST(TStringList, ReadsCommaTextLikeTheClassLibrary) {
  struct Row {
    const char* text;
    std::vector<std::string> items;
  } rows[] = {
      {"a,b,c", {"a", "b", "c"}},
      {"a b", {"a", "b"}},  // an unquoted blank ends an item
      {" \"x y\" , z ", {"x y", "z"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {"\"\"", {""}},
      {"", {}},
      {"\"unterminated", {"unterminated"}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    TStringList list;
    list.SetCommaText(r.text);
    EXPECT_EQ(list.Lines(), r.items);
  }
}

TEST(TStringList, ValuesAndBounds) {
  TStringList list{"Name=Kestova", "Size=3"};
  EXPECT_EQ(list.Values("name"), "Kestova");
  EXPECT_EQ(list.Values("missing"), "");
  list.SetValue("Size", "4");
  list.SetValue("New", "x");
  list.SetValue("Name", "");
  EXPECT_THAT(list.Lines(), ElementsAre("Size=4", "New=x"));
  EXPECT_THAT([&] { list.Strings(2); }, ThrowsMessage<EListError>("List index out of bounds (2)"));
  EXPECT_THAT([&] { list.Delete(-1); }, ThrowsMessage<EListError>("List index out of bounds (-1)"));
}

TEST(TStringList, SavesAndLoadsFiles) {
  const std::string path = (std::filesystem::temp_directory_path() / "kestova_stringlist_test.txt").string();
  TStringList list{"α", "", "last"};
  list.SaveToFile(path);
  TStringList back;
  back.LoadFromFile(path);
  EXPECT_EQ(back, list);
  std::remove(path.c_str());
  EXPECT_THROW(back.LoadFromFile(path), EInOutError);
}

}  // namespace
