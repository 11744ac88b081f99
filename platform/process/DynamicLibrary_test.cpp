#include "platform/process/DynamicLibrary.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using ::testing::HasSubstr;

using AnswerFunction = int (*)();

TEST(DynamicLibrary, LoadsLooksUpAndUnloads) {
  DynamicLibrary library;
  EXPECT_FALSE(library.Loaded());
  ASSERT_TRUE(library.Load(KESTOVA_TEST_LIBRARY)) << library.LastError();
  EXPECT_TRUE(library.Loaded());
  EXPECT_EQ(library.LastError(), "");
  auto answer = reinterpret_cast<AnswerFunction>(library.Symbol("kestova_test_answer"));
  ASSERT_NE(answer, nullptr) << library.LastError();
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(*static_cast<int*>(library.Symbol("kestova_test_version")), 7);

  DynamicLibrary moved(std::move(library));
  EXPECT_FALSE(library.Loaded());
  EXPECT_TRUE(moved.Loaded());
  EXPECT_TRUE(moved.Unload());
  EXPECT_FALSE(moved.Loaded());
  EXPECT_TRUE(moved.Unload()) << "nothing loaded: nothing to do";
}

TEST(DynamicLibrary, EachFailureCarriesTheLoadersText) {
  const std::filesystem::path notALibrary = std::filesystem::temp_directory_path() / "kestova_not_a_library.so";
  std::ofstream(notALibrary) << "plain text, not a shared object\n";

  struct Case {
    const char* name;
    std::string path;  // empty: nothing loaded
    const char* symbol;
    std::string text;  // expected part of LastError()
  };
  const Case cases[] = {
      {"missing file", "/nonexistent/libkestova_none.so", nullptr,
       "/nonexistent/libkestova_none.so: cannot open shared object file: No such file or directory"},
      {"not a library", notALibrary.string(), nullptr, notALibrary.string() + ": "},
      {"symbol not exported", KESTOVA_TEST_LIBRARY_WITHOUT_SYMBOL, "kestova_test_answer",
       "undefined symbol: kestova_test_answer"},
      {"nothing loaded", "", "kestova_test_answer", kNotLoadedText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DynamicLibrary library;
    if (!c.path.empty() && !c.symbol) {
      EXPECT_FALSE(library.Load(c.path));
      EXPECT_FALSE(library.Loaded());
    } else {
      if (!c.path.empty()) {
        ASSERT_TRUE(library.Load(c.path)) << library.LastError();
      }
      EXPECT_EQ(library.Symbol(c.symbol), nullptr);
    }
    EXPECT_THAT(library.LastError(), HasSubstr(c.text));
  }
  std::filesystem::remove(notALibrary);
}

TEST(DynamicLibrary, ASuccessClearsTheLastFailure) {
  DynamicLibrary library;
  ASSERT_TRUE(library.Load(KESTOVA_TEST_LIBRARY_WITHOUT_SYMBOL));
  EXPECT_EQ(library.Symbol("kestova_test_answer"), nullptr);
  EXPECT_NE(library.LastError(), "");
  EXPECT_NE(library.Symbol("kestova_test_version"), nullptr);
  EXPECT_EQ(library.LastError(), "");
  EXPECT_FALSE(library.Load("/nonexistent/libkestova_none.so"));
  EXPECT_FALSE(library.Loaded()) << "a failed load leaves nothing loaded, not the old library";
}

}  // namespace
