#include "tree/model/NTreeList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/core/Streams.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::ThrowsMessage;

std::unique_ptr<TTreeData> Tree(int n, bool blen, bool se, bool stats, double freq = 1) {
  auto t = std::make_unique<TTreeData>(n, blen, se, stats);
  t->Freq = freq;
  for (int i = 0; i < n - 1; ++i)  // a caterpillar: ((((0,1),2),3)...)
    t->NodeArray()[i] = {static_cast<int16_t>(i == 0 ? 0 : n + i - 1), static_cast<int16_t>(i + 1)};
  return t;
}

TEST(TTreeList, ANewListIsEmptyWithoutSupportValues) {
  TTreeList list;
  EXPECT_EQ(list.NoOfTrees(), 0);
  EXPECT_EQ(list.NoOfOTUs(), 0);
  EXPECT_FALSE(list.isBLen());
  EXPECT_FALSE(list.isSE());
  EXPECT_FALSE(list.isStats());
  EXPECT_EQ(list.MaxStats, -1);
  EXPECT_EQ(list.TotalFrequency(), 0);
  EXPECT_THAT([&] { list.Items(0); }, ThrowsMessage<EListError>("List index out of bounds (0)"));

  list.SetIsStats(true);  // no trees yet: MaxStats moves, isStats stays false
  EXPECT_EQ(list.MaxStats, 0);
  EXPECT_FALSE(list.isStats());
  list.Add(Tree(3, false, false, true));
  EXPECT_TRUE(list.isStats());
  list.SetIsStats(false);
  EXPECT_EQ(list.MaxStats, -1);
}

TEST(TTreeList, OTUNameGrowsTheNamesOnWrite) {
  TTreeList list;
  list.SetOTUName(0, "a");
  list.SetOTUName(1, "b");
  list.SetOTUName(5, "x");
  list.SetOTUName(-1, "ignored");
  EXPECT_THAT(list.OTUNames.Lines(), ElementsAre("a", "b", "", "", "", "x"));
  EXPECT_EQ(list.OTUName(9), "");
  EXPECT_EQ(list.OTUName(-1), "");
}

TEST(TTreeList, AddRefusesTreesOfAnotherShapeAndLeavesThemWithTheCaller) {
  TTreeList list;
  ASSERT_NE(list.Add(Tree(4, true, false, true, 2)), nullptr);
  struct Row {
    const char* name;
    int n;
    bool blen, se;
  } refused[] = {{"other N", 5, true, false}, {"no lengths", 4, false, false}, {"errors", 4, true, true}};
  for (const Row& r : refused) {
    SCOPED_TRACE(r.name);
    auto tree = Tree(r.n, r.blen, r.se, true);
    EXPECT_EQ(list.Add(std::move(tree)), nullptr);
    ASSERT_NE(tree, nullptr);  // still the caller's
    EXPECT_EQ(tree->NoOfOTUs(), r.n);
  }
  TTreeData* held = list.Add(Tree(4, true, false, false, 3));
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(&list.Items(1), held);
  EXPECT_EQ(list.NoOfTrees(), 2);
  EXPECT_EQ(list.TotalFrequency(), 5);
  EXPECT_EQ(list.Add(nullptr), nullptr);
}

TEST(TTreeList, FlagsReachEveryTree) {
  TTreeList list;
  list.Add(Tree(3, false, false, true));
  list.Add(Tree(3, false, false, true));
  list.SetIsBLen(true);
  list.SetIsSE(true);
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(list.Items(i).isBLen());
    EXPECT_TRUE(list.Items(i).isSE());
  }
  list.SetIsBLen(false);
  EXPECT_FALSE(list.Items(1).isBLen());
  EXPECT_TRUE(list.isSE());
}

TEST(TTreeList, DeleteAndClear) {
  TDistanceMatrix matrix = {{0}, {1, 0}};
  TTreeList list;
  for (int i = 0; i < 3; ++i) list.Add(Tree(3, false, false, false, i));
  list.Delete(3);
  list.Delete(-1);
  list.Delete(0);
  ASSERT_EQ(list.NoOfTrees(), 2);
  EXPECT_EQ(list.Items(0).Freq, 1);

  list.DistanceMatrix = &matrix;
  list.Information.Add("info");
  list.SetOTUName(0, "A");
  list.FreqName = list.ValueName = list.Value2Name = list.StatsName = "x";
  list.MaxStats = 100;
  list.isRooted = true;
  list.Clear();
  EXPECT_EQ(list.NoOfTrees(), 0);
  EXPECT_TRUE(list.Information.Empty());
  EXPECT_TRUE(list.OTUNames.Empty());
  EXPECT_EQ(list.FreqName + list.ValueName + list.Value2Name + list.StatsName, "");
  EXPECT_EQ(list.MaxStats, -1);
  EXPECT_EQ(list.DistanceMatrix, nullptr);
  EXPECT_FALSE(list.isRooted);
  EXPECT_EQ(matrix[1][0], 1);  // dropped, not freed
  list.Clear();
  EXPECT_EQ(list.NoOfTrees(), 0);
}

// One tree over A and B, rooted, MaxStats 100.
std::unique_ptr<TTreeList> SampleList() {
  auto list = std::make_unique<TTreeList>();
  list->Information.Add("a b");
  list->FreqName = "F";
  list->StatsName = "S";
  list->MaxStats = 100;
  list->isRooted = true;
  list->SetOTUName(0, "A");
  list->SetOTUName(1, "B");
  auto tree = Tree(2, false, false, true);
  tree->Stats()[1] = 1;
  list->Add(std::move(tree));
  return list;
}

const std::vector<uint8_t> kSampleListRecord = {
    0, 0, 0, 0, 0, 0, 0, 0,                    // reserved
    5, 0, 0, 0, '"', 'a', ' ', 'b', '"',       // Information as comma text
    0, 0, 0, 0, 0, 0, 0, 0,                    // reserved
    0, 0, 0, 0, 0, 0, 0, 0,                    //
    1, 0, 0, 0, 'F',                           // FreqName
    0, 0, 0, 0,                                // ValueName
    0, 0, 0, 0,                                // Value2Name
    1, 0, 0, 0, 'S',                           // StatsName
    12, 0, 0, 0,                               // flags: support values, rooted
    0, 0, 0, 0, 0, 0, 0x59, 0x40,              // MaxStats 100
    1, 0, 0, 0,                                // one tree
    2, 0, 0, 0,                                // two names
    1, 0, 0, 0, 'A', 1, 0, 0, 0, 'B',          //
    0, 0, 0, 0, 0, 0, 0xF0, 0x3F,              // tree: Freq 1
    0, 0, 0, 0, 0, 0, 0, 0,                    // Value
    0, 0, 0, 0, 0, 0, 0, 0,                    // Value2
    0, 0, 1, 0,                                // record 0: (0, 1)
    0, 0, 0, 0, 0, 0, 0, 0,                    // Stats 0, 1
    0, 0, 0, 0, 0, 0, 0xF0, 0x3F,
};

TEST(TTreeListRecord, MatchesTheGoldenBytesBothWays) {
  TMemoryStream out;
  SampleList()->WriteToFile(out);
  EXPECT_THAT(out.Bytes(), ElementsAreArray(kSampleListRecord));

  TMemoryStream in(kSampleListRecord);
  TTreeList back;
  back.SetOTUName(3, "stale");
  back.ReadFromFile(in, 2);
  EXPECT_EQ(in.Remaining(), 0);
  EXPECT_THAT(back.Information.Lines(), ElementsAre("a b"));
  EXPECT_EQ(back.FreqName, "F");
  EXPECT_EQ(back.StatsName, "S");
  EXPECT_EQ(back.MaxStats, 100);
  EXPECT_TRUE(back.isRooted);
  EXPECT_THAT(back.OTUNames.Lines(), ElementsAre("A", "B"));
  ASSERT_EQ(back.NoOfTrees(), 1);
  EXPECT_EQ(back.Items(0), SampleList()->Items(0));
}

TEST(TTreeListRecord, RoundTripsEveryFieldAndTree) {
  TTreeList list;
  list.Information.SetText("first line\nsecond, with \"quotes\"");
  list.FreqName = "Frequency";
  list.ValueName = "Score";
  list.Value2Name = "Likelihood";
  list.StatsName = "Bootstrap";
  list.MaxStats = 1000;
  for (int i = 0; i < 5; ++i) list.SetOTUName(i, "taxon " + std::to_string(i));
  for (int t = 0; t < 3; ++t) {
    auto tree = Tree(5, true, true, true, t + 1);
    tree->Value = t * 0.5;
    tree->Value2 = -t;
    for (int k = 0; k < 8; ++k) {
      tree->BLen()[k] = 0.01 * (k + t);
      tree->SE()[k] = 0.001 * k;
      tree->Stats()[k] = 100 * k + t;
    }
    list.Add(std::move(tree));
  }
  TMemoryStream stream;
  list.WriteToFile(stream);
  stream.SetPosition(0);
  TTreeList back;
  back.ReadFromFile(stream, 2);
  EXPECT_EQ(back.Information, list.Information);
  EXPECT_EQ(back.ValueName, "Score");
  EXPECT_EQ(back.Value2Name, "Likelihood");
  EXPECT_EQ(back.OTUNames, list.OTUNames);
  EXPECT_FALSE(back.isRooted);
  ASSERT_EQ(back.NoOfTrees(), 3);
  for (int t = 0; t < 3; ++t) EXPECT_EQ(back.Items(t), list.Items(t)) << t;

  TTreeList names;  // no trees: the names alone
  names.SetOTUName(2, "C");
  TMemoryStream empty;
  names.WriteToFile(empty);
  empty.SetPosition(0);
  back.ReadFromFile(empty, 2);
  EXPECT_EQ(back.NoOfTrees(), 0);
  EXPECT_THAT(back.OTUNames.Lines(), ElementsAre("", "", "C"));
}

TEST(TTreeListRecord, OldRecordsWithoutSupportValuesSkipTheStatsBlock) {
  TTreeList list;
  list.Add(Tree(3, true, false, false));
  list.Add(Tree(3, true, false, false, 7));
  TMemoryStream stream;
  list.WriteToFile(stream);  // always writes Stats: cut them out for a version 1 record
  std::vector<uint8_t> bytes = stream.Bytes();
  const size_t treeSize = 24 + 8 + 32 + 32;
  const size_t firstTree = bytes.size() - 2 * treeSize;
  bytes.erase(bytes.begin() + firstTree + 2 * treeSize - 32, bytes.end());
  bytes.erase(bytes.begin() + firstTree + treeSize - 32, bytes.begin() + firstTree + treeSize);
  TMemoryStream old(bytes);
  TTreeList back;
  back.ReadFromFile(old, 1);
  ASSERT_EQ(back.NoOfTrees(), 2);
  EXPECT_EQ(back.Items(1).Freq, 7);
  EXPECT_EQ(old.Remaining(), 0);
}

// Patches a little-endian int32 into a copy of the record.
std::vector<uint8_t> Patched(size_t offset, int32_t value, std::vector<uint8_t> bytes = kSampleListRecord) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
  return bytes;
}

TEST(TTreeListRecord, BadCountsAndLengthsFailBeforeAnythingIsAllocated) {
  constexpr size_t kInformationLength = 8, kTreeCount = 63, kNameCount = 67;
  struct Row {
    const char* name;
    std::vector<uint8_t> bytes;
    bool rangeError;  // else the input/output error
  } rows[] = {
      {"string of 4096 bytes", Patched(kInformationLength, 4096), true},
      {"string past the end", Patched(kInformationLength, 4000), false},
      {"negative tree count", Patched(kTreeCount, -1), false},
      {"more trees than bytes", Patched(kTreeCount, 1 << 30), false},
      {"more names than bytes", Patched(kNameCount, 1 << 30, Patched(kTreeCount, 0)), false},
      {"negative name count", Patched(kNameCount, -5, Patched(kTreeCount, 0)), false},
      {"negative name count with trees", Patched(kNameCount, -5), true},
      {"one name for a tree", Patched(kNameCount, 1), true},
      {"names beyond the limit", Patched(kNameCount, kMaxNoOfOTUs + 1), true},
      {"cut short", std::vector<uint8_t>(kSampleListRecord.begin(), kSampleListRecord.end() - 3), false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TMemoryStream in(r.bytes);
    TTreeList list;
    if (r.rangeError)
      EXPECT_THROW(list.ReadFromFile(in, 2), ERangeError);
    else
      EXPECT_THAT([&] { list.ReadFromFile(in, 2); }, ThrowsMessage<EInOutError>(kReadErrorText));
    EXPECT_EQ(list.NoOfTrees(), 0);
  }
}

TEST(TTreeListRecord, TheWriterRefusesStringsTheRecordCannotHold) {
  for (int field = 1; field < 3; ++field) {
    SCOPED_TRACE(field);
    auto list = SampleList();
    const std::string tooLong(kMaxRecordStringLength + 1, 'x');
    if (field == 1) list->ValueName = tooLong;
    if (field == 2) list->SetOTUName(1, tooLong);
    TMemoryStream out;
    EXPECT_THROW(list->WriteToFile(out), ERangeError);
    EXPECT_TRUE(out.Bytes().empty());
  }
  auto list = SampleList();
  list->SetOTUName(1, std::string(kMaxRecordStringLength, 'y'));
  TMemoryStream out;
  list->WriteToFile(out);
  out.SetPosition(0);
  TTreeList back;
  back.ReadFromFile(out, 2);
  EXPECT_EQ(back.OTUName(1).size(), static_cast<size_t>(kMaxRecordStringLength));
}

// Information that reads from a record can grow when written back (each empty
// line of a run of commas becomes ""); it is written with the leading lines
// that fit, so the record always reads back.
TEST(TTreeListRecord, InformationIsWrittenWithTheLinesThatFit) {
  struct Row {
    const char* name;
    TStringList lines;
    int kept;
  } rows[] = {
      {"2,100 commas", {}, 1365},
      {"a line too long after two short ones", {"first", "second line", std::string(kMaxRecordStringLength, 'x')}, 2},
      {"lines that fit exactly", {std::string(2047, 'a'), std::string(2047, 'b')}, 2},
      {"one byte over", {std::string(2047, 'a'), std::string(2048, 'b')}, 1},
  };
  rows[0].lines.SetCommaText(std::string(2100, ','));
  ASSERT_EQ(rows[0].lines.Count(), 2101);
  for (Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto list = SampleList();
    list->Information = r.lines;
    TMemoryStream out;
    list->WriteToFile(out);
    out.SetPosition(0);
    TTreeList back;
    back.ReadFromFile(out, 2);
    ASSERT_EQ(back.Information.Count(), r.kept);
    for (int i = 0; i < r.kept; ++i) EXPECT_EQ(back.Information[i], r.lines[i]);
    EXPECT_EQ(back.NoOfTrees(), list->NoOfTrees());
  }
}

}  // namespace
