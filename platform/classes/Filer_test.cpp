// Components written and read: header bytes, defaults, children,
// references, Loaded, descendants.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/PersHolder.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "testing/StreamFixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string AsText(const Bytes& b) { return std::string(b.begin(), b.end()); }

Bytes WriteRoot(TComponent* Root, TComponent* Ancestor = nullptr) {
  TMemoryStream stream;
  WriteDescendentToStream(stream, Root, Ancestor);
  return stream.Bytes();
}

// The property names written for a root, in order.
std::vector<std::string> PropNames(const Bytes& Data) {
  TMemoryStream stream(Data);
  TReader reader(stream);
  reader.ReadSignature();
  TFilerFlags flags;
  std::int32_t pos = 0;
  reader.ReadPrefix(flags, pos);
  reader.ReadStr();
  reader.ReadStr();
  std::vector<std::string> names;
  while (!reader.EndOfList()) {
    names.push_back(reader.ReadStr());
    reader.SkipValue();
  }
  return names;
}

class Filer : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStreamFixtures(); }
};

TEST_F(Filer, CrashReporterHeaderIsTheGolden25Bytes) {
  TComponent root(nullptr);
  root.SetName("zorExcept");
  TMemoryStream stream;
  TWriter writer(stream);
  writer.OnRootClassName = [](TWriter*, TComponent*, std::string& ClassName) { ClassName = "TZorExcept"; };
  writer.WriteRootComponent(&root);
  const Bytes& b = stream.Bytes();
  ASSERT_GE(b.size(), 25u);
  EXPECT_EQ(AsText(Bytes(b.begin(), b.begin() + 25)), std::string("TPF0\x0ATZorExcept\x09zorExcept"));
  // No properties (Tag is at its default) and no children.
  EXPECT_EQ(b.size(), 27u);
}

TEST_F(Filer, DefaultsAndNonStoredPropertiesAreNotWritten) {
  TStreamFixture root;
  root.SetName("Root");
  EXPECT_EQ(PropNames(WriteRoot(&root)), (std::vector<std::string>{"FontName"}));
  root.Title = "never";  // stored false
  root.Count = 3;
  root.ParentColor = false;  // Color becomes stored
  root.Options = TFixtureOptions{foItalic};
  root.Part()->Width = 11;
  EXPECT_EQ(PropNames(WriteRoot(&root)),
            (std::vector<std::string>{"Count", "Options", "Part.Width", "ParentColor", "FontName"}));
  root.SetColor(5);  // stored now, and away from its default
  EXPECT_EQ(PropNames(WriteRoot(&root)),
            (std::vector<std::string>{"Count", "Options", "Part.Width", "ParentColor", "Color", "FontName"}));
}

}  // namespace
