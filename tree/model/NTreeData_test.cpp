#include "tree/model/NTreeData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/core/Streams.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::ThrowsMessage;

std::vector<double> Values(TArrayView<const double> view) { return {view.begin(), view.end()}; }

TEST(TTreeData, CreationFixesTheSizesAndWhichArraysExist) {
  struct Row {
    int requested, n;
    bool blen, se, stats;
  } rows[] = {{0, 2, true, false, false}, {1, 2, false, true, true}, {2, 2, true, true, false}, {5, 5, false, false, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.requested);
    const TTreeData t(r.requested, r.blen, r.se, r.stats);
    EXPECT_EQ(t.NoOfOTUs(), r.n);
    EXPECT_EQ(t.NodeArray().Count(), r.n - 1);
    EXPECT_EQ(t.BLen().Count(), r.blen ? 2 * r.n - 2 : 0);
    EXPECT_EQ(t.SE().Count(), r.se ? 2 * r.n - 2 : 0);
    EXPECT_EQ(t.Stats().Count(), 2 * r.n - 2);  // always there, whatever the flag
    EXPECT_EQ(t.isStats(), r.stats);
    EXPECT_EQ(t.Freq + t.Value + t.Value2 + t.SBL(), 0.0);
  }
  EXPECT_EQ(TTreeData(kMaxNoOfOTUs, true, true, true).BLen().Count(), 32766);
  EXPECT_THROW(TTreeData(kMaxNoOfOTUs + 1, false, false, false), ERangeError);
}

TEST(TTreeData, SetNoOfOTUsKeepsLeadingEntriesAndZeroFillsNewOnes) {
  TTreeData t(3, true, false, true);
  t.NodeArray()[1] = {3, 2};
  t.BLen()[3] = 1.5;
  t.Stats()[0] = 7;
  t.SetNoOfOTUs(1);  // ignored: below 2
  t.SetNoOfOTUs(3);  // ignored: unchanged
  EXPECT_EQ(t.NoOfOTUs(), 3);

  t.SetNoOfOTUs(5);
  EXPECT_THAT(Values(t.BLen()), ElementsAre(0, 0, 0, 1.5, 0, 0, 0, 0));
  EXPECT_THAT(Values(t.Stats()), ElementsAre(7, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_FALSE(t.isSE());
  EXPECT_EQ(t.GetNode(1), (TNodeRecord{3, 2}));
  EXPECT_EQ(t.GetNode(3), TNodeRecord{});

  t.SetNoOfOTUs(2);
  EXPECT_THAT(Values(t.BLen()), ElementsAre(0, 0));
  EXPECT_THROW(t.SetNoOfOTUs(kMaxNoOfOTUs + 1), ERangeError);
}

TEST(TTreeData, IndexesOutsideTheirRangeAreIgnoredOrReadAsZero) {
  TTreeData t(3, false, false, true);
  t.SetStats(-1, 9);
  t.SetStats(4, 9);  // 2N-2: the root has no entry
  t.SetStats(3, 9);
  EXPECT_THAT(Values(t.Stats()), ElementsAre(0, 0, 0, 9));
  EXPECT_EQ(t.GetStats(4), 0);
  EXPECT_EQ(t.GetBLen(0), 0);  // no lengths
  EXPECT_EQ(t.GetSE(0), 0);
  EXPECT_EQ(t.GetNode(-1), TNodeRecord{});
  t.SetSE(0, 1);  // no errors: ignored
  EXPECT_FALSE(t.isSE());
  t.SetBLen(4, 1);  // out of range comes first: ignored
  EXPECT_THAT([&] { t.SetBLen(0, 1); }, ThrowsMessage<Exception>(kSetBLenWithoutBLenText));
  // The views refuse what the getters forgive.
  EXPECT_THROW(t.Stats()[4], ERangeError);
  EXPECT_THROW(t.BLen()[0], ERangeError);
}

TEST(TTreeData, FlagsAllocateFreeOrClearTheirArrays) {
  TTreeData t(3, false, false, false);
  t.Stats()[2] = 5;
  t.SetIsStats(false);  // unchanged: nothing happens
  EXPECT_EQ(t.GetStats(2), 5);
  t.SetIsStats(true);
  EXPECT_TRUE(t.isStats());
  EXPECT_EQ(t.GetStats(2), 0);
  t.Stats()[2] = 6;
  t.SetIsStats(true);
  EXPECT_EQ(t.GetStats(2), 6);

  t.SetIsBLen(true);
  t.SetBLen(0, 0.5);
  t.SetBLen(3, 0.25);
  EXPECT_EQ(t.SBL(), 0.75);
  t.SetIsBLen(true);
  EXPECT_EQ(t.SBL(), 0.75);
  t.SetIsBLen(false);
  EXPECT_EQ(t.SBL(), 0);
  t.SetIsSE(true);
  t.SetSE(1, 0.1);
  EXPECT_EQ(t.GetSE(1), 0.1);
}

TEST(TTreeData, AssignCopiesOnlyBetweenTreesOfTheSameSize) {
  TTreeData source(3, true, false, true);
  source.NodeArray()[0] = {0, 1};
  source.NodeArray()[1] = {3, 2};
  source.BLen()[2] = 0.3;
  source.Stats()[3] = 95;
  source.Freq = 2;
  source.Value = 3;
  source.Value2 = 4;

  TTreeData other(4, false, true, false);
  const TTreeData before = other;
  EXPECT_FALSE(other.Assign(source));
  EXPECT_EQ(other, before);

  TTreeData target(3, false, true, false);
  EXPECT_TRUE(target.Assign(source));
  EXPECT_EQ(target, source);
  EXPECT_TRUE(target.isBLen());
  EXPECT_FALSE(target.isSE());
}

TEST(TTreeData, IsValidTopologyAcceptsOnlyOneTree) {
  struct Row {
    const char* name;
    std::vector<TNodeRecord> nodes;  // N = 4
    bool valid;
  } rows[] = {
      {"balanced", {{0, 1}, {2, 3}, {4, 5}}, true},
      {"root not last", {{0, 1}, {4, 6}, {2, 3}}, true},
      {"child out of range", {{0, 1}, {2, 7}, {4, 5}}, false},
      {"negative child", {{0, -1}, {2, 3}, {4, 5}}, false},
      {"node twice", {{0, 1}, {1, 3}, {4, 5}}, false},
      {"cycle apart from the root", {{5, 1}, {4, 3}, {0, 2}}, false},
      {"fresh table", {{0, 0}, {0, 0}, {0, 0}}, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TTreeData t(4, false, false, false);
    for (int i = 0; i < 3; ++i) t.NodeArray()[i] = r.nodes[i];
    EXPECT_EQ(t.IsValidTopology(), r.valid);
  }
}

// Tree ((A,B)95,C) over three taxa with lengths and support values.
TTreeData SampleTree() {
  TTreeData t(3, true, false, true);
  t.Freq = 1;
  t.Value = 0.5;
  t.Value2 = -2;
  t.NodeArray()[0] = {0, 1};
  t.NodeArray()[1] = {3, 2};
  const double lengths[] = {0.25, 0.5, 1, 2};
  for (int i = 0; i < 4; ++i) t.BLen()[i] = lengths[i];
  t.Stats()[3] = 95;
  return t;
}

const std::vector<uint8_t> kSampleRecord = {
    0, 0, 0, 0, 0, 0, 0xF0, 0x3F,  // Freq 1
    0, 0, 0, 0, 0, 0, 0xE0, 0x3F,  // Value 0.5
    0, 0, 0, 0, 0, 0, 0, 0xC0,     // Value2 -2
    0, 0, 1, 0,                    // record 0: des1 0, des2 1
    3, 0, 2, 0,                    // record 1: des1 3, des2 2
    0, 0, 0, 0, 0, 0, 0xD0, 0x3F,  // BLen 0.25, 0.5, 1, 2
    0, 0, 0, 0, 0, 0, 0xE0, 0x3F,  //
    0, 0, 0, 0, 0, 0, 0xF0, 0x3F,  //
    0, 0, 0, 0, 0, 0, 0, 0x40,     //
    0, 0, 0, 0, 0, 0, 0, 0,        // Stats 0, 0, 0, 95
    0, 0, 0, 0, 0, 0, 0, 0,        //
    0, 0, 0, 0, 0, 0, 0, 0,        //
    0, 0, 0, 0, 0, 0xC0, 0x57, 0x40,
};

TEST(TTreeDataRecord, IsWrittenFieldByFieldAndReadBack) {
  TMemoryStream out;
  SampleTree().WriteToFile(out);
  EXPECT_THAT(out.Bytes(), ElementsAreArray(kSampleRecord));

  TMemoryStream in(kSampleRecord);
  TTreeData back(3, true, false, true);
  back.ReadFromFile(in, 2);
  EXPECT_EQ(back, SampleTree());
  EXPECT_EQ(in.Remaining(), 0);
}

TEST(TTreeDataRecord, OlderVersionsCarrySupportValuesOnlyForTreesThatHaveThem) {
  std::vector<uint8_t> bytes(kSampleRecord.begin(), kSampleRecord.end() - 32);  // without Stats
  bytes.insert(bytes.end(), {1, 2, 3});                                           // the next record
  TMemoryStream in(bytes);
  TTreeData back(3, true, false, false);
  back.ReadFromFile(in, 1);
  EXPECT_EQ(back.GetStats(3), 0);
  EXPECT_EQ(in.Remaining(), 3);

  TMemoryStream withStats(kSampleRecord);
  TTreeData flagged(3, true, false, true);
  flagged.ReadFromFile(withStats, 1);
  EXPECT_EQ(flagged.GetStats(3), 95);
}

TEST(TTreeDataRecord, ABadRecordFailsWithTheRightError) {
  std::vector<uint8_t> shortRecord(kSampleRecord.begin(), kSampleRecord.end() - 1);
  TMemoryStream in(shortRecord);
  TTreeData t(3, true, false, true);
  EXPECT_THAT([&] { t.ReadFromFile(in, 2); }, ThrowsMessage<EInOutError>(kReadErrorText));

  std::vector<uint8_t> cycle = kSampleRecord;
  cycle[28] = 4;  // record 1 names the root as its own child
  TMemoryStream cyclic(cycle);
  EXPECT_THROW(t.ReadFromFile(cyclic, 2), ERangeError);
}

TEST(DistanceMatrix, RowsHaveTheShapeAsked) {
  auto lower = CreateDistanceMatrix(3, false);
  ASSERT_EQ(lower->size(), 3u);
  EXPECT_THAT(*lower, ElementsAre(std::vector<double>(1), std::vector<double>(2), std::vector<double>(3)));
  auto square = CreateDistanceMatrix(3, true);
  for (const auto& row : *square) EXPECT_EQ(row.size(), 3u);
  EXPECT_TRUE(CreateDistanceMatrix(0, true)->empty());
  FreeDistanceMatrix(square);
  EXPECT_EQ(square, nullptr);
  FreeMemAndNil(square);  // empty: nothing happens
}

TEST(ErrorHelpers, BlanksToUnderscoresAndRaiseWithHelpContext) {
  EXPECT_EQ(BlanksToUnderscores("  Homo sapiens "), "Homo_sapiens");
  EXPECT_EQ(BlanksToUnderscores("\tA  B\n"), "A__B");
  struct Row {
    int context;
    const char* message;
    const char* raised;
    int helpContext;
  } rows[] = {{-1, "anything", kUnexpectedErrorText, kUnexpectedErrorHelpContext}, {17, "Boom", "Boom", 17}, {0, "Zero", "Zero", 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.context);
    try {
      RaiseWithHelpContext(r.context, r.message);
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), r.raised);
      EXPECT_EQ(e.HelpContext(), r.helpContext);
    }
  }
}

}  // namespace
