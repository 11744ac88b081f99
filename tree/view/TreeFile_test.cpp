#include "tree/view/TreeFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tree/view/TreeSetup.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

// A tree over n taxa from its node records (0-based node numbers).
TTreeData Tree(int n, std::initializer_list<TNodeRecord> records) {
  TTreeData tree(n, false, false, true);
  int k = 0;
  for (const TNodeRecord& r : records) tree.NodeArray()[k++] = r;
  return tree;
}

TEST(FamilyTreeText, WritesTheTopologyOverTaxonNumbers) {
  struct Row {
    const char* what;
    TTreeData tree;
    const char* unrooted;
    const char* rooted;
  } rows[] = {
      {"two cherries", Tree(4, {{0, 1}, {2, 3}, {4, 5}}), "(1,2,(3,4));", "((1,2),(3,4));"},
      {"taxon first at the root", Tree(3, {{1, 2}, {0, 3}}), "(1,2,3);", "(1,(2,3));"},
      {"taxon second at the root", Tree(3, {{0, 1}, {3, 2}}), "(1,2,3);", "((1,2),3);"},
      {"taxon 1 with ((2,3),4)", Tree(4, {{1, 2}, {4, 3}, {0, 5}}), "(1,(2,3),4);", "(1,((2,3),4));"},
      {"two taxa", Tree(2, {{1, 0}}), "(2,1);", "(2,1);"},
      {"root not in the last record", Tree(4, {{5, 6}, {0, 1}, {2, 3}}), "(1,2,(3,4));", "((1,2),(3,4));"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(FamilyTreeText(r.tree, false), r.unrooted);
    EXPECT_EQ(FamilyTreeText(r.tree, true), r.rooted);
  }
}

TEST(FamilyTreeText, ADeepCaterpillarIsWrittenWithoutRecursion) {
  const int n = kMaxNoOfOTUs;
  TTreeData tree(n, false, false, false);
  tree.NodeArray()[0] = {0, 1};
  for (int r = 1; r < n - 1; ++r) tree.NodeArray()[r] = {static_cast<int16_t>(n + r - 1), static_cast<int16_t>(r + 1)};
  const std::string text = FamilyTreeText(tree, true);
  EXPECT_EQ(text.substr(0, 5), "(((((");
  EXPECT_EQ(text.substr(text.size() - 8), ",16384);");
}

TEST(FamilyTreeText, ANodeTableThatIsNoTreeIsRefused) {
  EXPECT_THAT([] { FamilyTreeText(Tree(3, {{0, 0}, {3, 2}}), false); },
              ThrowsMessage<Exception>(HasSubstr(kInvalidTreeText)));
}

TEST(FamilyTreeFileHeader, GivesTitleFormatAndNumberedNames) {
  const TStringList lines = FamilyTreeFileHeader("My trees", {" Homo sapiens ", "Pan"});
  EXPECT_EQ(lines.Text(),
            "#nuxa\n"
            "!Title: My trees;\n"
            "!Format: datatype=tree ntaxa=2;\n"
            "\n"
            "[1] #Homo_sapiens\n"
            "[2] #Pan\n"
            "\n");
}

TEST(ParseOlderTreeExport, ReadsARootedTreeWithLengthsAndBootstrapValues) {
  TStringList lines;
  lines.SetText("UBB\r\n 3 \r\n1   Alpha one  \r\n2 Beta\r\n3 Gamma\r\n1 1 2 0.1 0.2 90 80\r\n2 4 3 0.3 0.4 70 0 extra\r\n");
  const TOlderTreeExport read = ParseOlderTreeExport(lines);
  ASSERT_TRUE(read.List);
  const TTreeList& list = *read.List;
  EXPECT_TRUE(read.isRooted);
  EXPECT_TRUE(list.isRooted);
  EXPECT_EQ(list.MaxStats, 100);
  EXPECT_EQ(list.StatsName, "%BP Value");
  EXPECT_TRUE(list.isStats());
  ASSERT_EQ(list.NoOfTrees(), 1);
  EXPECT_EQ(list.OTUName(0), "Alpha one");
  EXPECT_EQ(list.OTUName(2), "Gamma");
  const TTreeData& tree = list.Items(0);
  EXPECT_EQ(tree.NodeArray()[0], (TNodeRecord{0, 1}));
  EXPECT_EQ(tree.NodeArray()[1], (TNodeRecord{3, 2}));
  EXPECT_EQ(std::vector<double>(tree.BLen().begin(), tree.BLen().end()), (std::vector<double>{0.1, 0.2, 0.4, 0.3}));
  EXPECT_EQ(std::vector<double>(tree.Stats().begin(), tree.Stats().end()), (std::vector<double>{90, 80, 0, 70}));
  EXPECT_FALSE(tree.isSE());
}

TEST(ParseOlderTreeExport, TheCodeSaysWhatFollows) {
  struct Row {
    const char* code;
    const char* nodes;
    bool rooted, lengths, stats;
    const char* statsName;
  } rows[] = {
      {"NXX", "1 1 2\n2 4 3", false, false, false, ""},
      {"PBE", "1 1 2 1 2 30 40\n2 4 3 3 4 50 60", false, true, true, "%CP Value"},
      {"UXB", "1 1 2 30 40\n2 4 3 50 60", true, false, true, "%BP Value"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.code);
    TStringList lines;
    lines.SetText(std::string(r.code) + "\n3\n1 A\n2 B\n3 C\n" + r.nodes);
    const TOlderTreeExport read = ParseOlderTreeExport(lines);
    EXPECT_EQ(read.List->isRooted, r.rooted);
    EXPECT_EQ(read.List->isBLen(), r.lengths);
    EXPECT_EQ(read.List->isStats(), r.stats);
    EXPECT_EQ(read.List->StatsName, r.statsName);
  }
}

TEST(ParseOlderTreeExport, MalformedTextIsRefused) {
  const std::string names = "1 A\n2 B\n3 C\n";
  struct Row {
    const char* what;
    std::string text;
    const char* message;
  } rows[] = {
      {"empty", "", kBadOlderExportText},
      {"short code", "UB\n3\n" + names + "1 1 2 1 2\n2 4 3 3 4", kBadOlderExportText},
      {"count not a number", "NXX\nthree\n" + names + "1 1 2\n2 4 3", kBadOlderExportText},
      {"count of one", "NXX\n1\n1 A", kBadOlderExportText},
      {"count beyond the largest tree", "NXX\n16385\n" + names, kBadOlderExportText},
      {"count beyond the lines", "NXX\n4\n" + names + "1 1 2\n2 4 3", kBadOlderExportText},
      {"taxon line without number", "NXX\n3\nA\n2 B\n3 C\n1 1 2\n2 4 3", kBadOlderExportText},
      {"child number 0", "NXX\n3\n" + names + "1 0 2\n2 4 3", kBadOlderExportText},
      {"child is the root", "NXX\n3\n" + names + "1 1 2\n2 5 3", kBadOlderExportText},
      {"lengths missing", "NBX\n3\n" + names + "1 1 2 0.5\n2 4 3 1 1", kBadOlderExportText},
      {"length with a comma", "NBX\n3\n" + names + "1 1 2 0,5 1\n2 4 3 1 1", kBadOlderExportText},
      {"length beyond any number", "NBX\n3\n" + names + "1 1 2 1e999 1\n2 4 3 1 1", kBadOlderExportText},
      {"child used twice", "NXX\n3\n" + names + "1 1 1\n2 4 3", kInvalidTreeText},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TStringList lines;
    lines.SetText(r.text);
    EXPECT_THAT([&] { ParseOlderTreeExport(lines); }, ThrowsMessage<Exception>(HasSubstr(r.message)));
  }
}

TEST(OlderTreeExportPath, LiesUnderTheHomeFolder) {
  const char* home = std::getenv("HOME");
  ASSERT_NE(home, nullptr);
  EXPECT_EQ(OlderTreeExportPath(), std::string(home) + "/NUXA/TEMPXXYY.KVX/TEMPTREE.KVX");
}

}  // namespace
