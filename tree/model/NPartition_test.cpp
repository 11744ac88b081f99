#include "tree/model/NPartition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A set of `size` bits with the given bits set.
TPartition Set(int size, std::initializer_list<int> bits) {
  TPartition p;
  p.SetSize(size);
  for (int k : bits) p.SetBit(k, true);
  return p;
}

TEST(PartitionTest, NewPartitionIsEmpty) {
  TPartition p;
  EXPECT_EQ(p.Size(), 0);
  EXPECT_EQ(p.WordCount(), 0);
  EXPECT_EQ(p.Freq, 0);
  EXPECT_EQ(p.BLen, 0);
  EXPECT_FALSE(p.GetBit(0));
  EXPECT_TRUE(p.Equal(TPartition()));
}

TEST(PartitionTest, SetBitBeyondSizeGrowsTheSet) {
  TPartition p;
  p.SetBit(40, true);
  EXPECT_EQ(p.Size(), 41);
  ASSERT_EQ(p.WordCount(), 2);
  EXPECT_EQ(p.Bits()[0], 0u);
  EXPECT_EQ(p.Bits()[1], 1u << 8);
  EXPECT_TRUE(p.GetBit(40));
  EXPECT_FALSE(p.GetBit(41));
  EXPECT_FALSE(p.GetBit(39));

  p.SetBit(-1, true);  // ignored
  EXPECT_EQ(p.Size(), 41);
  p.SetBit(50, false);  // clearing beyond the size grows it too
  EXPECT_EQ(p.Size(), 51);
  EXPECT_EQ(p.Count(), 1);
}

TEST(PartitionTest, SetSizeKeepsLeadingWordsAndZeroFillsNewOnes) {
  struct Case {
    const char* name;
    int from;
    std::initializer_list<int> bits;
    int to;
    const char* expected;
  };
  const Case cases[] = {
      {"grow within a word", 5, {0, 4}, 9, "100010000"},
      {"grow by words", 5, {1, 3}, 70, "0101"},
      {"shrink within a word clears the cut bits", 9, {2, 8}, 5, "00100"},
      {"shrink by words", 70, {3, 33, 69}, 34, "0001"},
      {"to zero", 5, {1}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPartition p = Set(c.from, c.bits);
    p.SetSize(c.to);
    EXPECT_EQ(p.Size(), c.to);
    EXPECT_EQ(p.WordCount(), (c.to + 31) / 32);
    EXPECT_EQ(p.ToString().substr(0, std::string(c.expected).size()), c.expected);
    int set = 0;
    for (int k : c.bits) set += k < c.to ? 1 : 0;
    EXPECT_EQ(p.Count(), set);
  }
}

TEST(PartitionTest, ComplementMasksBitsAboveSize) {
  TPartition p = Set(5, {0, 2});
  p.Complement();
  EXPECT_EQ(p.ToString(), "01011");
  EXPECT_EQ(p.Bits()[0], 0b11010u);  // bits 5..31 stay 0

  TPartition whole = Set(64, {0});
  whole.Complement();
  EXPECT_EQ(whole.Count(), 63);
}

TEST(PartitionTest, NormaliseComplementsOnlyWhenTheBitIsSet) {
  TPartition set4 = Set(5, {1, 4});
  set4.Normalise(4);
  EXPECT_EQ(set4.ToString(), "10110");

  TPartition clear4 = Set(5, {1});
  clear4.Normalise(4);
  EXPECT_EQ(clear4.ToString(), "01000");

  TPartition outside = Set(5, {1, 4});
  outside.Normalise(5);
  outside.Normalise(-1);
  EXPECT_EQ(outside.ToString(), "01001");
}

TEST(PartitionTest, SplitAndComplementAreEqualOnceNormalised) {
  TPartition a = Set(6, {0, 1, 2});
  TPartition b = Set(6, {3, 4, 5});
  EXPECT_FALSE(a.Equal(b));
  a.Normalise(5);
  b.Normalise(5);
  EXPECT_TRUE(a.Equal(b));
  EXPECT_TRUE(b.Equal(a));
}

TEST(PartitionTest, EqualComparesThisSetsWords) {
  struct Case {
    const char* name;
    TPartition a;
    TPartition b;
    bool equal;
  };
  const Case cases[] = {
      {"same bits", Set(40, {3, 35}), Set(40, {3, 35}), true},
      {"differ in the second word", Set(40, {3, 35}), Set(40, {3, 36}), false},
      {"other has a word more, zero", Set(20, {3}), Set(40, {3}), true},
      {"other has a word more, set", Set(20, {3}), Set(40, {3, 35}), true},
      {"other lacks a word this has set", Set(40, {3, 35}), Set(20, {3}), false},
      {"other lacks a word this has clear", Set(40, {3}), Set(20, {3}), true},
      {"empty and empty", TPartition(), TPartition(), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.a.Equal(c.b), c.equal);
  }
}

TEST(PartitionTest, OrWithStaysWithinThisSetsSize) {
  TPartition a = Set(5, {0});
  a.OrWith(Set(5, {2, 4}));
  EXPECT_EQ(a.ToString(), "10101");

  TPartition narrow = Set(5, {0});
  narrow.OrWith(Set(40, {1, 6, 35}));
  EXPECT_EQ(narrow.ToString(), "11000");
  EXPECT_TRUE(narrow.Equal(Set(5, {0, 1})));

  TPartition wide = Set(40, {35});
  wide.OrWith(Set(5, {1}));
  EXPECT_TRUE(wide.GetBit(1));
  EXPECT_TRUE(wide.GetBit(35));
}

TEST(PartitionTest, ResetKeepsBLenAndAssignCopiesEverything) {
  TPartition p = Set(5, {1, 3});
  p.Freq = 3;
  p.BLen = 0.25;
  p.AddFrequency(2);
  EXPECT_EQ(p.Freq, 5);

  TPartition copy;
  copy.Assign(p);
  EXPECT_EQ(copy.Size(), 5);
  EXPECT_EQ(copy.Freq, 5);
  EXPECT_EQ(copy.BLen, 0.25);
  EXPECT_TRUE(copy.Equal(p));

  p.Reset();
  EXPECT_EQ(p.Count(), 0);
  EXPECT_EQ(p.Freq, 0);
  EXPECT_EQ(p.BLen, 0.25);
  EXPECT_EQ(p.Size(), 5);
}

}  // namespace
