// The settings resource parser: header, value types, duplicates, bad and
// truncated records, every prefix, and the growth of the array.
#include "crashreport/zorExceptSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crashreport/zorExceptFixture.h"
#include "platform/core/ResourceStore.h"

namespace {

using namespace zor;
using zortest::Header;
using zortest::LittleEndian32;
using zortest::Record;

// Values as compact text: name=kind:value, separated by blanks.
std::string Describe(const SettingArray& array) {
  std::string out;
  for (const TZESettingValue& v : array.values) {
    if (!out.empty()) out += ' ';
    out += v.name + "=";
    switch (v.kind) {
      case skText:
        out += "T:" + v.text;
        break;
      case skInteger:
        out += "I:" + std::to_string(v.integer);
        break;
      case skBoolean:
        out += v.boolean ? "B:true" : "B:false";
        break;
    }
  }
  return out;
}

// Parses through the resource store, recording messages.
struct Parsed {
  SettingArray array;
  std::vector<std::string> messages;
};
Parsed ParseInModule(const std::string& bytes) {
  const ZorModule module{"ParserTestModule"};
  ResourceStore::Instance().Inject(module.name, "RCDATA", "TZOREXCEPT", bytes);
  zortest::MessageRecorder recorder;
  Parsed out{ParseSettingsResource(module), {}};
  out.messages = recorder.texts;
  ResourceStore::Instance().RemoveInjected(module.name, "RCDATA", "TZOREXCEPT");
  return out;
}

TEST(ZorSettingsParse, WriterFixtureReadsBackEveryKind) {
  const std::string longText(300, 'x');
  const std::string bytes = zortest::WriteSettingsResource({
      {"Enabled", true},
      {"AutoSave", false},
      {"SmtpPort", int64_t{25}},
      {"AutoDelay", int64_t{-1}},
      {"FocusedBtn", int64_t{32767}},
      {"BugRepFileSize", int64_t{100000}},
      {"MinInt", int64_t{INT32_MIN}},
      {"MailAddr", std::string("bugs@example.org")},
      {"MailBody", longText},
      {"ExceptMsg", std::string("Grüße, 5 €")},
  });
  // The writer chose every stream type the reader knows.
  for (char type : {'\x02', '\x03', '\x04', '\x06', '\x08', '\x09', '\x0c', '\x12'})
    EXPECT_NE(bytes.find(type, 25), std::string::npos) << int(type);
  const Parsed parsed = ParseInModule(bytes);
  EXPECT_EQ(Describe(parsed.array),
            "Enabled=B:true AutoSave=B:false SmtpPort=I:25 AutoDelay=I:-1 FocusedBtn=I:32767 "
            "BugRepFileSize=I:100000 MinInt=I:-2147483648 MailAddr=T:bugs@example.org MailBody=T:" +
                longText + " ExceptMsg=T:Grüße, 5 €");
  EXPECT_EQ(parsed.array.capacity, 131);
  EXPECT_TRUE(parsed.messages.empty());
}

TEST(ZorSettingsParse, EveryValueTypeByHand) {
  const std::string u16 = std::string("\x3D\xD8\x00\xDE", 4);  // U+1F600 as a pair
  struct Row {
    const char* name;
    std::string record;
    std::string expected;
  } rows[] = {
      {"int8 0xFF", Record("A", 2, "\xFF"), "A=I:-1"},
      {"int8 0x7F", Record("A", 2, "\x7F"), "A=I:127"},
      {"int16 FF 7F", Record("A", 3, "\xFF\x7F"), "A=I:32767"},
      {"int16 00 80", Record("A", 3, std::string("\x00\x80", 2)), "A=I:-32768"},
      {"int32", Record("A", 4, "\xFE\xFF\xFF\xFF"), "A=I:-2"},
      {"false", Record("A", 8, ""), "A=B:false"},
      {"true", Record("A", 9, ""), "A=B:true"},
      {"short string bytes kept",
       Record("A", 6,
              std::string("\x04"
                          "a\0\xE9z",
                          5)),
       std::string("A=T:a\0\xE9z", 8)},
      {"long string bytes kept", Record("A", 12, LittleEndian32(3) + "\xFF\x01q"), "A=T:\xFF\x01q"},
      {"empty short string", Record("A", 6, std::string(1, '\0')), "A=T:"},
      {"wide string", Record("A", 18, LittleEndian32(3) + std::string("\xE4\x00\x20\x00\xAC\x20", 6)), "A=T:ä €"},
      {"wide pair", Record("A", 18, LittleEndian32(2) + u16), "A=T:\xF0\x9F\x98\x80"},
      {"wide unpaired high surrogate", Record("A", 18, LittleEndian32(2) + std::string("\x00\xD8\x41\x00", 4)),
       "A=T:\xEF\xBF\xBD"
       "A"},
      {"wide unpaired low surrogate", Record("A", 18, LittleEndian32(1) + std::string("\x00\xDC", 2)),
       "A=T:\xEF\xBF\xBD"},
      {"name of 255 bytes", Record(std::string(255, 'n'), 9, ""), std::string(255, 'n') + "=B:true"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const Parsed parsed = ParseInModule(Header() + r.record + std::string(1, '\0') + "ignored");
    EXPECT_EQ(Describe(parsed.array), r.expected);
    EXPECT_TRUE(parsed.messages.empty());
  }
}

TEST(ZorSettingsParse, AHeaderDifferingInOneByteGivesNoArrayAndNoMessage) {
  const std::string valid = zortest::WriteSettingsResource({{"AutoSave", false}});
  ASSERT_EQ(Describe(ParseInModule(valid).array), "AutoSave=B:false");
  for (size_t i = 0; i < kSettingsHeaderSize; ++i) {
    SCOPED_TRACE(i);
    std::string changed = valid;
    changed[i] ^= 0x20;  // for a letter, the other case
    const Parsed parsed = ParseInModule(changed);
    EXPECT_EQ(parsed.array.capacity, 0);
    EXPECT_TRUE(parsed.array.values.empty());
    EXPECT_TRUE(parsed.messages.empty());
  }
  for (const std::string& shortText : {std::string(), Header().substr(0, 24)})
    EXPECT_EQ(ParseInModule(shortText).array.capacity, 0);
}

TEST(ZorSettingsParse, AListEndingAtTheHeaderHasCapacity131) {
  for (const std::string& bytes : {Header(), Header() + std::string(1, '\0'), Header() + std::string(2, '\0') + "x"}) {
    const Parsed parsed = ParseInModule(bytes);
    EXPECT_EQ(parsed.array.capacity, 131);
    EXPECT_TRUE(parsed.array.values.empty());
    EXPECT_TRUE(parsed.messages.empty());
  }
}

TEST(ZorSettingsParse, NamesAreCaseSensitiveAndTheFirstDuplicateWins) {
  const Parsed parsed =
      ParseInModule(zortest::WriteSettingsResource({{"AutoSave", false}, {"AutoSave", true}, {"autosave", true}}));
  EXPECT_EQ(Describe(parsed.array), "AutoSave=B:false AutoSave=B:true autosave=B:true");
  EXPECT_EQ(IndexOfSetting(parsed.array, "AutoSave"), 0);
  EXPECT_EQ(IndexOfSetting(parsed.array, "autosave"), 2);
  EXPECT_EQ(IndexOfSetting(parsed.array, "AUTOSAVE"), -1);
  EXPECT_EQ(IndexOfSetting(parsed.array, "AutoSav"), -1);
}

TEST(ZorSettingsParse, AnUnknownTypeEndsTheListWithAMessageAndKeepsEarlierValues) {
  const std::string three = Record("A", 9, "") + Record("B", 2, "\x05") + Record("C", 6, "\x01z");
  for (uint8_t type : {5, 7, 0, 1, 19, 255}) {
    SCOPED_TRACE(int(type));
    const Parsed parsed = ParseInModule(Header() + three + Record("Bad", type, "") + Record("D", 9, ""));
    EXPECT_EQ(Describe(parsed.array), "A=B:true B=I:5 C=T:z");
    ASSERT_EQ(parsed.messages.size(), 1u);
    EXPECT_EQ(parsed.messages[0], "zorExcept: " + InvalidSettingsResourceText(type));
  }
  EXPECT_EQ(InvalidSettingsResourceText(5), "Internal error: Invalid settings resource ($5).");
  EXPECT_EQ(InvalidSettingsResourceText(7), "Internal error: Invalid settings resource ($7).");
  EXPECT_EQ(InvalidSettingsResourceText(255), "Internal error: Invalid settings resource ($ff).");
}

TEST(ZorSettingsParse, ARecordRunningPastTheEndEndsTheListSilently) {
  const std::string first = Record("A", 9, "");
  struct Row {
    const char* name;
    std::string tail;
  } rows[] = {
      {"name past the end", std::string("\x05"
                                        "Ab",
                                        3)},
      {"no type byte", std::string("\x02"
                                   "Ab",
                                   3)},
      {"int16 of one byte", Record("B", 3, "\x01")},
      {"int32 of three bytes", Record("B", 4, "\x01\x02\x03")},
      {"short string past the end", Record("B", 6,
                                           "\x09"
                                           "abc")},
      {"long string length 0xFFFFFFFF", Record("B", 12, LittleEndian32(0xFFFFFFFF) + "abc")},
      {"long string length field cut", Record("B", 12, "\x01\x00")},
      {"wide count doubling past 32 bits", Record("B", 18, LittleEndian32(0x80000001) + "ab")},
      {"wide string of an odd byte count", Record("B", 18, LittleEndian32(2) + "abc")},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const Parsed parsed = ParseInModule(Header() + first + r.tail);
    EXPECT_EQ(Describe(parsed.array), "A=B:true");
    EXPECT_TRUE(parsed.messages.empty());
  }
}

TEST(ZorSettingsParse, EveryPrefixKeepsAPrefixOfTheValues) {
  const std::string bytes = zortest::WriteSettingsResource({
      {"Enabled", true},
      {"SmtpPort", int64_t{25}},
      {"HttpPort", int64_t{8080}},
      {"BugRepFileSize", int64_t{100000}},
      {"MailAddr", std::string("a@b.c")},
      {"MailBody", std::string(260, 'm')},
      {"TitleBar", std::string("Fehler – %appname%")},
  });
  const std::vector<TZESettingValue> all = ParseSettingsBytes(bytes).array.values;
  ASSERT_EQ(all.size(), 7u);
  size_t lastCount = 0;
  for (size_t n = 0; n <= bytes.size(); ++n) {
    SCOPED_TRACE(n);
    // A copy of exactly n bytes, so a read past it is caught by the sanitizer.
    const std::vector<char> prefix(bytes.begin(), bytes.begin() + n);
    const ParsedSettings parsed = ParseSettingsBytes(std::string_view(prefix.data(), n));
    EXPECT_FALSE(parsed.badType);
    EXPECT_EQ(parsed.array.capacity, n < kSettingsHeaderSize ? 0 : 131);
    const auto& values = parsed.array.values;
    ASSERT_LE(values.size(), all.size());
    EXPECT_TRUE(std::equal(values.begin(), values.end(), all.begin()));
    EXPECT_GE(values.size(), lastCount);
    lastCount = values.size();
  }
}

TEST(ZorSettingsParse, TheArrayGrowsByTwentyRecords) {
  for (const auto& [records, capacity] : std::vector<std::pair<int, int>>{{131, 131}, {132, 151}, {152, 171}}) {
    SCOPED_TRACE(records);
    std::string bytes = Header();
    for (int i = 0; i < records; ++i) bytes += Record("K" + std::to_string(i), 2, std::string(1, char(i)));
    const ParsedSettings parsed = ParseSettingsBytes(bytes);
    EXPECT_EQ(parsed.array.capacity, capacity);
    ASSERT_EQ(parsed.array.values.size(), static_cast<size_t>(records));
    EXPECT_EQ(parsed.array.values.back().name, "K" + std::to_string(records - 1));
  }
  SettingArray empty;
  EXPECT_EQ(AppendSettingValue(empty, {"X", skText, false, 0, ""}), 0);
  EXPECT_EQ(empty.capacity, 20);
}

}  // namespace
