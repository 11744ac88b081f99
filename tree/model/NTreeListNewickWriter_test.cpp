#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

#include "tree/model/NTreeList.h"
#include "tree/model/NTreeList_p.h"

namespace {

// A tree given by hand: names, node records (internal node N+i is record i),
// and values by node number.
struct TreeSpec {
  std::vector<std::string> names;
  std::vector<TNodeRecord> nodes;
  std::vector<double> blen;   // empty: no lengths
  std::vector<double> stats;  // empty: all 0
};

std::unique_ptr<TTreeList> ListOf(const TreeSpec& spec, bool rooted, double maxStats) {
  auto list = std::make_unique<TTreeList>();
  const int n = static_cast<int>(spec.names.size());
  for (int i = 0; i < n; ++i) list->SetOTUName(i, spec.names[i]);
  auto tree = std::make_unique<TTreeData>(n, !spec.blen.empty(), false, maxStats > -1);
  for (int i = 0; i < n - 1; ++i) tree->NodeArray()[i] = spec.nodes[i];
  for (size_t k = 0; k < spec.blen.size(); ++k) tree->BLen()[k] = spec.blen[k];
  for (size_t k = 0; k < spec.stats.size(); ++k) tree->Stats()[k] = spec.stats[k];
  list->Add(std::move(tree));
  list->isRooted = rooted;
  list->MaxStats = maxStats;
  return list;
}

std::string Newick(const TTreeList& list, bool withBLen, bool withStats, double condense = 0) {
  std::string text = "stale";
  list.OutputNewickTree(0, withBLen, withStats, condense, text);
  return text;
}

// ((A,B),C): the group of A and B is node 3, the root node 4.
const TreeSpec kThree = {{"A", "B", "C"}, {{0, 1}, {3, 2}}, {0.1, 0.2, 0.3, 0.05}, {0, 0, 0, 95}};
// (A,(B,(C,D))): the root has a taxon child; (C,D) is node 4, (B,(C,D)) node 5.
const TreeSpec kLeafAtRoot = {
    {"A", "B", "C", "D"}, {{2, 3}, {1, 4}, {0, 5}}, {0.1, 0.2, 0.3, 0.4, 0.5, 0.6}, {0, 0, 0, 0, 80, 60}};
// ((A,B),(C,D)): node 4 and node 5 under the root.
const TreeSpec kFour = {
    {"A", "B", "C", "D"}, {{0, 1}, {2, 3}, {4, 5}}, {0.1, 0.2, 0.3, 0.4, 0.5, 0.25}, {0, 0, 0, 0, 70, 95}};

TEST(NewickWriter, WritesTheShapesRootedAndUnrooted) {
  struct Row {
    const char* name;
    const TreeSpec& spec;
    bool rooted;
    double maxStats;
    bool withBLen, withStats;
    const char* text;
  } rows[] = {
      {"rooted, bare", kThree, true, -1, false, false, "((A,B),C);"},
      {"unrooted, bare", kThree, false, -1, false, false, "(A,B,C);"},
      {"four taxa unrooted", kFour, false, -1, false, false, "(A,B,(C,D));"},
      {"rooted keeps both root branches", kThree, true, -1, true, false,
       "((A:0.10000000,B:0.20000000):0.05000000,C:0.30000000);"},
      {"unrooted merges the root branches", kThree, false, -1, true, false,
       "(A:0.10000000,B:0.20000000,C:0.35000000);"},
      {"unrooted, both root children groups", kFour, false, 100, true, true,
       "(A:0.10000000,B:0.20000000,(C:0.30000000,D:0.40000000)0.9500:0.75000000);"},
      {"unrooted with a taxon at the root", kLeafAtRoot, false, 0, true, true,
       "(A:0.70000000,B:0.20000000,(C:0.30000000,D:0.40000000)80:0.50000000);"},
      {"rooted with a taxon at the root", kLeafAtRoot, true, 0, false, true, "(A,(B,(C,D)80)60);"},
      {"lengths asked for but absent", {kThree.names, kThree.nodes, {}, kThree.stats}, true, -1, true, false,
       "((A,B),C);"},
      {"all lengths 0", {kThree.names, kThree.nodes, {0, 0, 0, 0}, {}}, true, -1, true, false, "((A,B),C);"},
      {"support asked for, none carried", kThree, true, -1, false, true, "((A,B),C);"},
      {"support as integers", kThree, true, 0, false, true, "((A,B)95,C);"},
      {"support as proportions", kThree, true, 100, false, true, "((A,B)0.9500,C);"},
      {"support, not asked", kThree, true, 100, false, false, "((A,B),C);"},
      {"two taxa unrooted are written rooted", {{"A", "B"}, {{0, 1}}, {0.5, 0.25}, {}}, false, -1, true, false,
       "(A:0.50000000,B:0.25000000);"},
      {"length digits", {{"A", "B"}, {{0, 1}}, {0.123456789, 2.5}, {}}, true, -1, true, false,
       "(A:0.12345679,B:2.50000000);"},
      // Lengths that add up to nothing count as no lengths.
      {"lengths summing to 0", {{"A", "B"}, {{0, 1}}, {0.5, -0.5}, {}}, true, -1, true, false, "(A,B);"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(Newick(*ListOf(r.spec, r.rooted, r.maxStats), r.withBLen, r.withStats), r.text);
  }
}

TEST(NewickWriter, CondensingDissolvesWeakBranchesIntoMultifurcations) {
  // (((A,B)s4,C)s5,(D,E)s6): supports as proportions of 1.
  const TreeSpec spec = {{"A", "B", "C", "D", "E"},
                         {{0, 1}, {5, 2}, {3, 4}, {6, 7}},
                         {0.1, 0.1, 0.2, 0.3, 0.3, 0.4, 0.5, 0.6},
                         {0, 0, 0, 0, 0, 0.3, 0.9, -1}};
  struct Row {
    double condense;
    const char* text;
  } rows[] = {
      {-2, "(((A,B)0.3000,C)0.9000,(D,E)-1.0000);"},
      {0, "(((A,B)0.3000,C)0.9000,D,E);"},
      {0.5, "((A,B,C)0.9000,D,E);"},
      {0.3, "(((A,B)0.3000,C)0.9000,D,E);"},  // the margin of 1e-12 keeps 0.3
      {1, "(A,B,C,D,E);"},
  };
  auto list = ListOf(spec, true, 1);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.condense);
    EXPECT_EQ(Newick(*list, false, true, r.condense), r.text);
  }
  // Taxa keep their lengths whatever is dissolved.
  EXPECT_EQ(Newick(*list, true, false, 1),
            "(A:0.10000000,B:0.10000000,C:0.20000000,D:0.30000000,E:0.30000000);");
}

TEST(NewickWriter, NamesAreBareOrQuoted) {
  struct Row {
    const char* name;
    const char* written;
  } rows[] = {
      {"Homo sapiens", "Homo_sapiens"}, {"  padded\t", "padded"},   {"it's", "'it''s'"},
      {"a_b", "'a_b'"},                 {"x (y)", "'x (y)'"},       {"p:q;", "'p:q;'"},
      {"comma,name", "'comma,name'"},   {"br[ack]et", "'br[ack]et'"}, {"Größe", "Größe"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(NewickTaxonText(r.name), r.written);
  }
  auto list = ListOf({{"my taxon", "it's", "C"}, kThree.nodes, {}, {}}, true, -1);
  EXPECT_EQ(Newick(*list, false, false), "((my_taxon,'it''s'),C);");
}

TEST(NewickWriter, AMalformedTreeOrIndexGivesNoText) {
  auto list = ListOf(kFour, true, -1);
  std::string text = "stale";
  list->OutputNewickTree(1, true, true, 0, text);
  EXPECT_EQ(text, "");
  list->Items(0).NodeArray()[1] = {2, 6};  // the root under itself
  EXPECT_EQ(Newick(*list, false, false), "");
  list->Items(0).NodeArray()[1] = {4, 5};  // a cycle apart from the root
  EXPECT_EQ(Newick(*list, false, false), "");
}

// Trees read from records may keep their root in any record; node 2N-2 then
// has no entry for its values and reads as length 0 without support.
TEST(NewickWriter, WritesTreesRootedInAnyRecord) {
  // ((A,B),(C,D)) with the root in record 0 and (A,B) as node 6.
  const TreeSpec rootFirst = {{"A", "B", "C", "D"}, {{6, 5}, {2, 3}, {0, 1}}, {1, 2, 3, 4, 0.5, 0.25}, {0, 0, 0, 0, 0, 90}};
  struct Row {
    bool rooted;
    const char* text;
  } rows[] = {
      {true, "((A:1.00000000,B:2.00000000)0:0.00000000,(C:3.00000000,D:4.00000000)90:0.25000000);"},
      {false, "(A:1.00000000,B:2.00000000,(C:3.00000000,D:4.00000000)90:0.25000000);"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.rooted);
    auto list = ListOf(rootFirst, r.rooted, 0);
    EXPECT_EQ(Newick(*list, true, true), r.text);
  }
}

TEST(NewickWriter, WritesEverySupportValueSoThatItReadsBack) {
  struct Row {
    double maxStats;
    double support;
    const char* label;
  } rows[] = {
      {0, 95, "95"},
      {0, 9.2e18, "9200000000000000000"},
      {0, 18446744073709551616.0, "18446744073709552e3"},
      {0, 5.6e96, "56e95"},
      {0, 1.7976931348623157e308, "17976931348623157e292"},
      {0, std::numeric_limits<double>::infinity(), ""},
      {100, 95, "0.9500"},
      {1e-11, 1e300, ""},
      {0, std::numeric_limits<double>::quiet_NaN(), ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    TreeSpec spec = kThree;
    spec.stats[3] = r.support;
    auto list = ListOf(spec, true, r.maxStats);
    const std::string text = Newick(*list, false, true);
    EXPECT_EQ(text, std::string("((A,B)") + r.label + ",C);");
    if (r.maxStats == 0 && *r.label) {
      TTreeList back;
      ASSERT_TRUE(back.ImportFromNewick(text, nullptr));
      EXPECT_EQ(back.MaxStats, 0);
      EXPECT_EQ(back.Items(0).GetStats(3), r.support);
    }
  }
}

class NewickFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           (std::string("kestova_newick_writer_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::filesystem::path dir_;
};

TEST_F(NewickFileTest, ExportWritesOneCrLfLinePerTree) {
  auto list = ListOf(kThree, true, -1);
  auto second = std::make_unique<TTreeData>(list->Items(0));
  second->NodeArray()[0] = {1, 2};
  second->NodeArray()[1] = {3, 0};
  list->Add(std::move(second));
  list->Add(std::make_unique<TTreeData>(list->Items(0)));

  EXPECT_TRUE(list->ExportAllToNewickFile(Path("all.nwk"), false, false, 0));
  EXPECT_EQ(Contents(Path("all.nwk")), "((A,B),C);\r\n((B,C),A);\r\n((A,B),C);\r\n");
  EXPECT_TRUE(list->ExportToNewickFile(1, Path("one.nwk"), false, false, 0));
  EXPECT_EQ(Contents(Path("one.nwk")), "((B,C),A);\r\n");

  // A tree without text stops the export after its empty line, and says so.
  list->Items(1).NodeArray()[1] = {4, 0};
  EXPECT_FALSE(list->ExportAllToNewickFile(Path("cut.nwk"), false, false, 0));
  EXPECT_EQ(Contents(Path("cut.nwk")), "((A,B),C);\r\n\r\n");
  EXPECT_FALSE(list->ExportToNewickFile(1, Path("bad.nwk"), false, false, 0));
  EXPECT_EQ(Contents(Path("bad.nwk")), "\r\n");

  // A valid tree rooted in its first record is written like any other.
  list->Items(1).NodeArray()[0] = {4, 2};
  list->Items(1).NodeArray()[1] = {0, 1};
  EXPECT_TRUE(list->ExportAllToNewickFile(Path("first.nwk"), false, false, 0));
  EXPECT_EQ(Contents(Path("first.nwk")), "((A,B),C);\r\n((A,B),C);\r\n((A,B),C);\r\n");
}

TEST_F(NewickFileTest, EmptyListsAndUnwritablePaths) {
  TTreeList empty;
  EXPECT_TRUE(empty.ExportAllToNewickFile(Path("empty.nwk"), true, true, 0));
  EXPECT_EQ(Contents(Path("empty.nwk")), "");
  auto list = ListOf(kThree, true, -1);
  EXPECT_FALSE(list->ExportAllToNewickFile(Path("missing/dir.nwk"), true, true, 0));
  EXPECT_FALSE(list->ExportToNewickFile(0, Path("missing/dir.nwk"), true, true, 0));
}

}  // namespace
