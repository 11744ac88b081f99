#include "platform/classes/RegistryFormat.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string Text(const std::string& body) { return std::string(kRegistrySignature) + "\n" + body; }

std::string Binary(size_t size) {
  std::string data;
  for (size_t i = 0; i < size; ++i) data += static_cast<char>(i * 7 % 256);
  return data;
}

// Every value round-trips through the file, whatever its bytes.
TEST(RegistryFormatTest, TypedValuesRoundTrip) {
  const std::vector<TRegValue> values = {
      {"Plain", REG_SZ, StringData("Kestova")},
      {"Empty", REG_SZ, StringData("")},
      {"Escapes", REG_SZ, StringData("a \"quoted\" back\\slash\nnew line\r\ttab")},
      {"Controls", REG_SZ, StringData(std::string("\x01\x1f\x7f", 3) + std::string(1, '\0') + "after NUL")},
      {"Unicode", REG_SZ, StringData("Grüße, 日本, 🧬")},
      {"Broken UTF-8", REG_SZ, StringData("\xC3(\xE2\x82\xFF\x80")},
      {"Path", REG_EXPAND_SZ, StringData("%HOME%\\bin")},
      {"Zero", REG_DWORD, DwordData(0)},
      {"Max", REG_DWORD, DwordData(0xFFFFFFFFu)},
      {"No bytes", REG_BINARY, ""},
      {"33 bytes", REG_BINARY, Binary(33)},
      {"Long", REG_BINARY, Binary(20000)},
      {"No texts", REG_MULTI_SZ, MultiStringData({})},
      {"Texts", REG_MULTI_SZ, MultiStringData({"one", "two, \"three\"", "ü"})},
      {"", REG_SZ, StringData("the key's default value")},
      {"Name \"with\" \\ and \n", REG_DWORD, DwordData(7)},
  };
  TRegKeyNode root;
  TRegKeyNode& key = root.FindOrAdd({"Software", "Kestova (Components)", "Yandrel Report", "Version 4.11"});
  for (const TRegValue& value : values) {
    ASSERT_TRUE(IsWellFormed(value)) << value.Name;
    key.SetValue(value);
  }
  root.SetValue({"At the root", REG_DWORD, DwordData(1)});

  const std::string text = RegistryText(root);
  TRegKeyNode read;
  std::string error;
  ASSERT_TRUE(ParseRegistryText(text, read, error)) << error;
  EXPECT_TRUE(read.SameAs(root));
  EXPECT_EQ(RegistryText(read), text);
  const TRegKeyNode* readKey = read.Find({"software", "KESTOVA (COMPONENTS)", "Yandrel Report", "Version 4.11"});
  ASSERT_NE(readKey, nullptr);
  for (const TRegValue& value : values) {
    SCOPED_TRACE(value.Name);
    const TRegValue* got = readKey->FindValue(value.Name);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(*got, value);
  }
}

TEST(RegistryFormatTest, WritesTextAPersonCanRead) {
  TRegKeyNode root;
  TRegKeyNode& key = root.FindOrAdd({"Software", "Grid"});
  key.SetValue({"Title", REG_SZ, StringData("Say \"hi\"\n")});
  key.SetValue({"WindowState", REG_DWORD, DwordData(2)});
  key.SetValue({"WinPos", REG_BINARY, Binary(34)});
  key.SetValue({"Lines", REG_MULTI_SZ, MultiStringData({"a", "b"})});
  root.FindOrAdd({"Software", "Grid", "Band"});
  EXPECT_EQ(KeyText(root, ""),
            "\n[Software]\n"
            "\n[Software\\Grid]\n"
            "\"Title\"=sz:\"Say \\\"hi\\\"\\n\"\n"
            "\"WindowState\"=dword:2\n"
            "\"WinPos\"=binary:00070e151c232a31383f464d545b626970777e858c939aa1a8afb6bdc4cbd2d9\n"
            "  e0e7\n"
            "\"Lines\"=multi_sz:\"a\",\"b\"\n"
            "\n[Software\\Grid\\Band]\n");
  EXPECT_THAT(RegistryText(root), StartsWith("Kestova Registry 1\n; "));
}

// Keys appear in the order their paths first appear, values in the order
// they were added; a repeated value (any case) replaces the first in place.
TEST(RegistryFormatTest, ReadsKeysAndValuesInFileOrder) {
  TRegKeyNode root;
  std::string error;
  ASSERT_TRUE(ParseRegistryText(Text("; a comment\r\n"
                                     "\"Top\" = dword:1\r\n"
                                     "[Zeta\\Two]\n"
                                     "\"b\"=sz:\"1\"\n"
                                     "\"a\"=sz:\"2\"   \n"
                                     "[Alpha]\n"
                                     "[zeta\\One]\n"
                                     "[ZETA]\n"
                                     "\"B\"=sz:\"3\"\n"
                                     "[Zeta\\Two]\n"
                                     "\"A\"=binary:01 02\n"
                                     "   03\n"
                                     "\n"
                                     "\"c\"=multi_sz:\n"),
                                root, error))
      << error;
  EXPECT_EQ(KeyText(root, ""),
            "\"Top\"=dword:1\n"
            "\n[Zeta]\n"
            "\"B\"=sz:\"3\"\n"
            "\n[Zeta\\Two]\n"
            "\"b\"=sz:\"1\"\n"
            "\"a\"=binary:010203\n"
            "\"c\"=multi_sz:\n"
            "\n[Zeta\\One]\n"
            "\n[Alpha]\n");
}

TEST(RegistryFormatTest, DamagedTextGivesTheLineAndAnEmptyTree) {
  const struct {
    const char* name;
    std::string text;
    const char* error;
  } cases[] = {
      {"no signature", "[Software]\n", "line 1: not a registry file"},
      {"other version", "Kestova Registry 2\n", "line 1: not a registry file"},
      {"binary garbage", std::string("\x00\xff\x13\n", 4), "line 1: not a registry file"},
      {"stray text", Text("Software\n"), "line 2: a line must be"},
      {"open key line", Text("[Software\n"), "line 2: a key line ends with \"]\""},
      {"empty key name", Text("[Software\\\\Grid]\n"), "line 2: invalid key path"},
      {"control in key name", Text("[Soft\x01ware]\n"), "line 2: invalid key path"},
      {"key name too long", Text("[" + std::string(256, 'k') + "]\n"), "line 2: invalid key path"},
      {"value name too long", Text("\"" + std::string(16384, 'v') + "\"=dword:1\n"), "line 2: value name too long"},
      {"no equals", Text("\"a\" dword:1\n"), "line 2: \"=\" expected"},
      {"no type", Text("\"a\"=1\n"), "line 2: a value needs type:data"},
      {"unknown type", Text("\"a\"=qword:1\n"), "line 2: unknown value type \"qword\""},
      {"open quote", Text("\"a\"=sz:\"text\n"), "line 2: a quoted text does not end"},
      {"open name", Text("\"a=sz:\"text\"\n"), "line 2: \"=\" expected"},
      {"unknown escape", Text("\"a\"=sz:\"\\q\"\n"), "line 2: unknown escape \\q"},
      {"short hex escape", Text("\"a\"=sz:\"\\x4\"\n"), "line 2: \\x needs two hex digits"},
      {"text after text", Text("\"a\"=sz:\"x\" y\n"), "line 2: text after the quoted text"},
      {"dword too large", Text("\"a\"=dword:4294967296\n"), "line 2: a dword must not exceed 4294967295"},
      {"dword in hex", Text("\"a\"=dword:0x10\n"), "line 2: a dword must be a decimal number"},
      {"negative dword", Text("\"a\"=dword:-1\n"), "line 2: a dword must be a decimal number"},
      {"odd hex", Text("\"a\"=binary:abc\n"), "line 2: binary data must be pairs of hex digits"},
      {"split byte", Text("\"a\"=binary:a b\n"), "line 2: binary data must be pairs of hex digits"},
      {"bad continuation", Text("\"a\"=binary:00\n  0g\n"), "line 2: binary data must be pairs of hex digits"},
      {"continued text", Text("\"a\"=sz:\"x\"\n  00\n"), "line 3: an indented line continues binary data only"},
      {"empty multi text", Text("\"a\"=multi_sz:\"a\",\"\"\n"), "line 2: a multi_sz cannot hold an empty text"},
      {"NUL in a multi text", Text("\"a\"=multi_sz:\"a\\x00b\"\n"), "line 2: a multi_sz text cannot hold a NUL"},
      {"multi without comma", Text("\"a\"=multi_sz:\"a\" \"b\"\n"), "line 2: texts of a multi_sz are separated"},
      {"multi ending in comma", Text("\"a\"=multi_sz:\"a\",\n"), "line 2: a multi_sz ends with \",\""},
      {"error after good lines", Text("[A]\n\"a\"=dword:1\n\"b\"=bogus\n"), "line 4: a value needs type:data"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TRegKeyNode root;
    root.SetValue({"stale", REG_DWORD, DwordData(1)});
    std::string error;
    EXPECT_FALSE(ParseRegistryText(c.text, root, error));
    EXPECT_THAT(error, StartsWith(c.error));
    EXPECT_TRUE(root.Values().empty() && root.SubKeys().empty());
  }
}

TEST(RegistryFormatTest, KeysDeeperThanTheLimitAreRefused) {
  std::string path = "k";
  for (size_t i = 1; i < kMaxKeyDepth; ++i) path += "\\k";
  TRegKeyNode root;
  std::string error;
  EXPECT_TRUE(ParseRegistryText(Text("[" + path + "]\n"), root, error)) << error;
  EXPECT_FALSE(ParseRegistryText(Text("[" + path + "\\k]\n"), root, error));
  EXPECT_EQ(error, "line 2: invalid key path");
}

TEST(RegistryFormatTest, ValueDataTextIsTheValueLineAfterTheEquals) {
  TRegValue value{"Count", REG_BINARY, ""};
  std::string error;
  ASSERT_TRUE(ParseValueData("dword:42", value, error)) << error;
  EXPECT_EQ(value, (TRegValue{"Count", REG_DWORD, DwordData(42)}));
  EXPECT_EQ(ValueDataText(value), "dword:42");
  EXPECT_FALSE(ParseValueData("sz:unquoted", value, error));
  EXPECT_THAT(error, HasSubstr("a quoted text was expected"));
}

}  // namespace
