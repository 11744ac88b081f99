#include "platform/core/FileNames.h"

#include <gtest/gtest.h>
#include <unistd.h>

TEST(FileNames, Pieces) {
  struct Row {
    const char* name;
    const char* path;
    const char* file;
    const char* ext;
    const char* changed;  // ChangeFileExt(name, ".x")
  };
  const Row rows[] = {
      {"/a/b/c.txt", "/a/b/", "c.txt", ".txt", "/a/b/c.x"},
      {"c", "", "c", "", "c.x"},
      {"/a.d/c", "/a.d/", "c", "", "/a.d/c.x"},
      {"c.tar.gz", "", "c.tar.gz", ".gz", "c.tar.x"},
      {"/", "/", "", "", "/.x"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(ExtractFilePath(r.name), r.path);
    EXPECT_EQ(ExtractFileName(r.name), r.file);
    EXPECT_EQ(ExtractFileExt(r.name), r.ext);
    EXPECT_EQ(ChangeFileExt(r.name, ".x"), r.changed);
  }
  EXPECT_EQ(ChangeFileExt("a.pas", ""), "a");
}

TEST(FileNames, ExpandFileName) {
  EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
  EXPECT_EQ(ExpandFileName("/../x"), "/x");
  EXPECT_EQ(ExpandFileName("/a/b/"), "/a/b/");
  char cwd[4096];
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(ExpandFileName("x/../y.txt"), std::string(cwd == std::string("/") ? "" : cwd) + "/y.txt");
}
