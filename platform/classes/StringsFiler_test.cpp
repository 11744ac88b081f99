// The lines of a TStrings property in component streams: what is written
// (and when), the text form, ancestors, and reading into the existing list.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "testing/StreamFixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

void SetLines(TStrings& Strings, const Lines& Values) {
  Strings.Clear();
  for (const std::string& line : Values) Strings.Add(line);
}

Lines LinesOf(const TStrings& Strings) {
  Lines lines;
  for (int i = 0; i < Strings.Count(); ++i) lines.push_back(Strings[i]);
  return lines;
}

bool Contains(const Bytes& Haystack, const std::string& Needle) {
  const Bytes needle(Needle.begin(), Needle.end());
  return std::search(Haystack.begin(), Haystack.end(), needle.begin(), needle.end()) != Haystack.end();
}

bool HasProp(const Bytes& Binary, const std::string& Name) {
  const std::vector<std::string> names = RootPropNames(Binary);
  return std::find(names.begin(), names.end(), Name) != names.end();
}

// Counts the list's change events.
struct TChangeCounter {
  int Changing = 0, Changed = 0;
  explicit TChangeCounter(TStringList& List) {
    List.OnChanging = [this](TObject*) { ++Changing; };
    List.OnChange = [this](TObject*) { ++Changed; };
  }
};

class StringsFiler : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStreamFixtures(); }

  static Bytes Write(const Lines& Values, const Lines* AncestorValues = nullptr) {
    TStreamFixture root, ancestor;
    root.SetName("Root");
    ancestor.SetName("Root");
    SetLines(*root.Lines(), Values);
    if (AncestorValues) SetLines(*ancestor.Lines(), *AncestorValues);
    TMemoryStream stream;
    WriteDescendentToStream(stream, &root, AncestorValues ? &ancestor : nullptr);
    return stream.Bytes();
  }
};

TEST_F(StringsFiler, LinesTravelAsAListOfStringsInTheirTextFormAndBack) {
  const struct {
    const char* name;
    Lines lines;
    std::string text;   // the property's text; "" when it is not written
    std::string bytes;  // a run of the binary form; "" for no check
  } cases[] = {
      {"empty", {}, "", ""},
      {"plain",
       {"a", "b"},
       "  Lines.Strings = (\n    'a'\n    'b')\n",
       std::string("\x0DLines.Strings\x01\x06\x01"
                   "a\x06\x01"
                   "b\x00",
                   21)},
      {"quotes", {"it's", "''"}, "  Lines.Strings = (\n    'it''s'\n    '''''')\n", ""},
      {"empty lines", {"", "x", ""}, "  Lines.Strings = (\n    ''\n    'x'\n    '')\n", ""},
      {"non-ASCII",
       {"Z\xC3\xBCrich", "\xE2\x82\xAC"},
       "  Lines.Strings = (\n    'Z'#252'rich'\n    #8364)\n",
       std::string("\x12\x01\x00\x00\x00\xAC\x20\x00", 8)},  // UTF-16, then the list's end
      {"long line",
       {std::string(70, 'x')},
       "  Lines.Strings = (\n    '" + std::string(64, 'x') + "' +\n      'xxxxxx')\n",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes binary = Write(c.lines);
    EXPECT_EQ(HasProp(binary, "Lines.Strings"), !c.text.empty());
    const std::string text = StreamToText(binary);
    EXPECT_EQ(text.find(c.text.empty() ? "Lines" : c.text) != std::string::npos, !c.text.empty()) << text;
    EXPECT_TRUE(c.bytes.empty() || Contains(binary, c.bytes));
    EXPECT_EQ(TextToStream(text), binary);

    TStreamFixture read;
    SetLines(*read.Lines(), {"old"});
    TMemoryStream stream(binary);
    ReadComponentFromStream(stream, &read);
    EXPECT_EQ(LinesOf(*read.Lines()), c.lines.empty() ? Lines{"old"} : c.lines);
  }
}

TEST_F(StringsFiler, AgainstAnAncestorOnlyDifferentLinesAreWritten) {
  const struct {
    const char* name;
    Lines ancestor, lines;
    bool written;
  } cases[] = {
      {"equal", {"a", "b"}, {"a", "b"}, false},
      {"both empty", {}, {}, false},
      {"one more", {"a"}, {"a", "b"}, true},
      {"other order", {"a", "b"}, {"b", "a"}, true},
      {"other case", {"A"}, {"a"}, true},
      {"emptied", {"a", "b"}, {}, true},
      {"new", {}, {"a"}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes binary = Write(c.lines, &c.ancestor);
    EXPECT_EQ(HasProp(binary, "Lines.Strings"), c.written);
    EXPECT_EQ(TextToStream(StreamToText(binary)), binary);
    // Read over a copy of the ancestor, the stream gives the descendant's lines.
    TStreamFixture read;
    SetLines(*read.Lines(), c.ancestor);
    TMemoryStream stream(binary);
    ReadComponentFromStream(stream, &read);
    EXPECT_EQ(LinesOf(*read.Lines()), c.lines);
  }
  const Lines ancestor{"a"};
  EXPECT_NE(StreamToText(Write({}, &ancestor)).find("  Lines.Strings = ()\n"), std::string::npos);
}

TEST_F(StringsFiler, ReadingReplacesTheLinesWithOneChangeEvent) {
  TStreamFixture source;
  FillStreamFixture(source, nullptr);
  TMemoryStream binary;
  WriteComponentToStream(binary, &source);

  TStreamFixture target;
  SetLines(*target.Lines(), {"old 1", "old 2", "old 3", "old 4"});
  TStringList* const lines = target.Lines();
  const TChangeCounter counter(*lines);
  binary.SetPosition(0);
  ReadComponentFromStream(binary, &target);
  EXPECT_EQ(target.Lines(), lines);  // the same object, assigned to
  EXPECT_EQ(LinesOf(*lines), (Lines{"it's", "", "\xC3\xA0 la carte"}));
  EXPECT_EQ(counter.Changing, 1);
  EXPECT_EQ(counter.Changed, 1);
  EXPECT_EQ(lines->UpdateCount(), 0);
}

TEST_F(StringsFiler, ADamagedListIsAReadErrorThatLeavesTheLines) {
  const Bytes whole = Write({"first", "Gr\xC3\xBCn"});
  const std::string name = "\x0DLines.Strings";
  const auto start = std::search(whole.begin(), whole.end(), name.begin(), name.end()) - whole.begin();
  const auto end = static_cast<std::ptrdiff_t>(whole.size()) - 3;  // the list's vaNull, then two end marks
  ASSERT_EQ(whole[end], vaNull);
  const auto list = start + static_cast<std::ptrdiff_t>(name.size());
  std::vector<std::pair<std::string, Bytes>> cases;
  for (auto cut = list; cut <= end; ++cut)
    cases.emplace_back("cut at " + std::to_string(cut), Bytes(whole.begin(), whole.begin() + cut));
  auto replaced = [&](std::ptrdiff_t At, std::uint8_t Value) {
    Bytes bytes = whole;
    bytes[At] = Value;
    return bytes;
  };
  cases.emplace_back("no list", replaced(list, vaString));
  cases.emplace_back("an integer line", replaced(list + 1, vaInt8));
  cases.emplace_back("a list in the list", replaced(list + 1, vaList));
  for (const auto& [label, bytes] : cases) {
    SCOPED_TRACE(label);
    TStreamFixture target;
    SetLines(*target.Lines(), {"kept"});
    const TChangeCounter counter(*target.Lines());
    TMemoryStream stream(bytes);
    EXPECT_THROW(ReadComponentFromStream(stream, &target), EReadError);
    EXPECT_EQ(LinesOf(*target.Lines()), Lines{"kept"});
    EXPECT_EQ(counter.Changed, 0);
    // Into a new root: what the read made is freed (the leak checker sees it).
    TMemoryStream again(bytes);
    EXPECT_THROW(std::unique_ptr<TComponent>(ReadComponentFromStream(again, nullptr)), EReadError);
  }
}

}  // namespace
