#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/core/NumberFormat.h"
#include "platform/ui/DialogService.h"
#include "tree/model/NTreeList.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::ThrowsMessage;

// The tests answer every question; an unscripted Yes/No box answers Yes.
class NewickReaderTest : public ::testing::Test {
 protected:
  ScriptedDialogService dialogs_;
  ScopedDialogService scope_{dialogs_};
};

std::string Written(const TTreeList& list, int index = 0) {
  std::string text;
  list.OutputNewickTree(index, true, true, 0, text);
  return text;
}

TEST_F(NewickReaderTest, ReadsShapesLengthsAndSupportValues) {
  struct Row {
    const char* name;
    const char* text;
    std::vector<std::string> taxa;
    bool rooted, blen;
    double maxStats;
    const char* statsName;
    const char* written;  // tree 0 written back with lengths, support, condense 0
  } rows[] = {
      {"rooted with lengths", "((A:0.1,B:0.2):0.05,C:0.3);", {"A", "B", "C"}, true, true, -1, "",
       "((A:0.10000000,B:0.20000000):0.05000000,C:0.30000000);"},
      {"basal trifurcation", "(A,B,C);", {"A", "B", "C"}, false, false, -1, "", "(A,B,C);"},
      {"two groups at the root", "(A,B,(C,D));", {"A", "B", "C", "D"}, false, false, -1, "", "(A,B,(C,D));"},
      {"rooted pair of groups", "((A,B),(C,D));", {"A", "B", "C", "D"}, true, false, -1, "", "((A,B),(C,D));"},
      {"nested multifurcation", "((A,B,C),D,E);", {"A", "B", "C", "D", "E"}, false, false, -1, "",
       "((A,B,C),D,E);"},
      {"blanks, tabs and line breaks", " ( A ,\tB\r\n, C ) ; ", {"A", "B", "C"}, false, false, -1, "", "(A,B,C);"},
      {"tree name before the group", "tree1=((A,B),C);", {"A", "B", "C"}, true, false, -1, "", "((A,B),C);"},
      {"comments", "[&R]((A[x],B[y:z]),C);", {"A", "B", "C"}, true, false, -1, "", "((A,B),C);"},
      {"internal labels", "((A,B)AB:0.1,C:0.2)root;", {"A", "B", "C"}, true, true, -1, "",
       "((A:0.00000000,B:0.00000000):0.10000000,C:0.20000000);"},
      {"quoted names", "('it''s a name',B_x,'C_y');", {"it's a name", "B x", "C_y"}, false, false, -1, "",
       "('it''s a name',B_x,'C_y');"},
      {"A: colon values on groups only", "((A,B):0.95,C);", {"A", "B", "C"}, true, false, 1, "Unknown",
       "((A,B)0.9500,C);"},
      {"B: bracketed group label", "((A:0.1,B:0.2):0.3[95],C:0.4);", {"A", "B", "C"}, true, true, 0, "Unknown",
       "((A:0.10000000,B:0.20000000)95:0.30000000,C:0.40000000);"},
      {"C: number labels", "((A:0.1,B:0.2)95:0.3,(C:0.4,D:0.5)87:0.6);", {"A", "B", "C", "D"}, true, true, 0,
       "Unknown", "((A:0.10000000,B:0.20000000)95:0.30000000,(C:0.40000000,D:0.50000000)87:0.60000000);"},
      {"C: decimal labels raise MaxStats", "((A:1,B:2)95.5:3,C:4);", {"A", "B", "C"}, true, true, 100, "Unknown",
       "((A:1.00000000,B:2.00000000)0.9550:3.00000000,C:4.00000000);"},
      {"taxa lengths 0: group lengths are support", "((A:0,B:0):0.9,(C:0,D:0):0.7);", {"A", "B", "C", "D"}, true,
       false, 1, "", "((A,B)0.9000,(C,D)0.7000);"},
      {"taxa lengths 100: the total", "((A:100,B:100):95,(C:100,D:100):80);", {"A", "B", "C", "D"}, true, false,
       100, "", "((A,B)0.9500,(C,D)0.8000);"},
      {"large raw placeholders", "((A:0,B:0):950,C:0);", {"A", "B", "C"}, true, false, 0, "", "((A,B)950,C);"},
      {"all lengths 0", "((A:0,B:0):0,C:0);", {"A", "B", "C"}, true, false, -1, "", "((A,B),C);"},
      // Every group length equals its (absent) support: the lengths go, and the
      // length of the first taxon becomes the total.
      {"group lengths 0 without labels", "((A:0.1,B:0.2):0,C:0.3);", {"A", "B", "C"}, true, false, 0.1, "",
       "((A,B)0.0000,C);"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TTreeList list;
    ASSERT_TRUE(list.ImportFromNewick(r.text, nullptr));
    ASSERT_EQ(list.NoOfTrees(), 1);
    EXPECT_THAT(list.OTUNames.Lines(), ElementsAreArray(r.taxa));
    EXPECT_EQ(list.isRooted, r.rooted);
    EXPECT_EQ(list.isBLen(), r.blen);
    EXPECT_DOUBLE_EQ(list.MaxStats, r.maxStats);
    EXPECT_EQ(list.StatsName, r.statsName);
    EXPECT_EQ(list.Items(0).Freq, 1);
    EXPECT_TRUE(list.Items(0).isStats());
    EXPECT_EQ(Written(list), r.written);
  }
  EXPECT_EQ(dialogs_.Count("message"), 0);
}

TEST_F(NewickReaderTest, NodesAreNumberedAsTheyCloseWithTheRootLast) {
  TTreeList list;
  ASSERT_TRUE(list.ImportFromNewick("((A:0.1,B:0.2):0.05,C:0.3);", nullptr));
  const TTreeData& t = list.Items(0);
  EXPECT_EQ(t.GetNode(0), (TNodeRecord{0, 1}));
  EXPECT_EQ(t.GetNode(1), (TNodeRecord{3, 2}));
  EXPECT_EQ(std::vector<double>(t.BLen().begin(), t.BLen().end()), (std::vector<double>{0.1, 0.2, 0.3, 0.05}));

  // The extra node of a multifurcation carries support -1.
  ASSERT_TRUE(list.ImportFromNewick("(A,B,C);", nullptr));
  EXPECT_EQ(list.Items(0).GetNode(0), (TNodeRecord{0, 1}));
  EXPECT_EQ(list.Items(0).GetNode(1), (TNodeRecord{3, 2}));
  EXPECT_EQ(list.Items(0).GetStats(3), -1);
}

TEST_F(NewickReaderTest, LaterTreesUseTheTaxaOfTheFirst) {
  TTreeList list;
  ASSERT_TRUE(list.ImportFromNewick("(A,B,C);\n(C,B,A);\n", nullptr));
  ASSERT_EQ(list.NoOfTrees(), 2);
  EXPECT_THAT(list.OTUNames.Lines(), ElementsAre("A", "B", "C"));
  EXPECT_EQ(list.Items(1).GetNode(0), (TNodeRecord{2, 1}));
  EXPECT_EQ(list.TotalFrequency(), 2);
}

TEST_F(NewickReaderTest, ANamesListFixesTheTaxonNumbers) {
  const TStringList names = {"C", "B", "A"};
  TTreeList list;
  ASSERT_TRUE(list.ImportFromNewick("((A,B),C);", &names));
  EXPECT_THAT(list.OTUNames.Lines(), ElementsAre("C", "B", "A"));
  EXPECT_EQ(list.Items(0).GetNode(0), (TNodeRecord{2, 1}));
  EXPECT_EQ(list.Items(0).GetNode(1), (TNodeRecord{3, 0}));

  const TStringList longer = {"X", "Y", "Z", "A", "B", "C"};  // indices beyond the 3 taxa
  EXPECT_FALSE(list.ImportFromNewick("((A,B),C);", &longer));
  EXPECT_EQ(list.NoOfTrees(), 0);
  EXPECT_FALSE(list.ImportFromNewick("((A,B),D);", &names));
}

TEST_F(NewickReaderTest, MalformedTextFailsWithTheListCleared) {
  struct Row {
    const char* name;
    const char* text;
  } rows[] = {
      {"unbalanced", "((A,B),C;"},
      {"group without comma", "((A),B);"},
      {"single taxon", "(A);"},
      {"no group", "A;"},
      {"double group", "((A,B));"},
      {"unclosed comment", "((A,B),C[x);"},
      {"stray bracket", "((A,B)],C);"},
      {"bad length", "((A:x,B),C);"},
      {"bad support", "((A:1,B:2):1[high],C);"},
      {"empty length", "((A:,B),C);"},
      {"unknown taxon later", "(A,B,C);(A,B,D);"},
      {"fewer taxa later", "(A,B,C);(A,B);"},
      {"more taxa later", "(A,B);(A,B,C);"},
      {"taxon twice", "(A,B,C);(A,B,A);"},
      {"name twice in the first tree", "(A,A,B);"},
      {"quoted name twice", "(('A b',A_b),C);"},
      {"names that differ in blanks only", "(('B ',B),C);"},
      {"quote inside a comment", "((A[it's],B)95,'C)9',D);"},
      {"length overflows", "(A:1e999,B:1,C:2);"},
      {"support overflows", "((A:1,B:2)1e999:1,C:2);"},
      {"unterminated quote", "('A,B,C);"},
      {"text after the last taxon", "(A,B,C)(D);"},
      {"too many taxa", nullptr},
  };
  std::string tooMany = "(";
  for (int i = 0; i <= kMaxNoOfOTUs; ++i) tooMany += "t" + std::to_string(i) + (i < kMaxNoOfOTUs ? "," : ");");
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TTreeList list;
    ASSERT_TRUE(list.ImportFromNewick("(X,Y);", nullptr));
    list.Information.Add("kept?");
    EXPECT_FALSE(list.ImportFromNewick(r.text ? r.text : tooMany, nullptr));
    EXPECT_EQ(list.NoOfTrees(), 0);
    EXPECT_TRUE(list.OTUNames.Empty());
    EXPECT_TRUE(list.Information.Empty());
    EXPECT_EQ(list.MaxStats, -1);
  }
}

TEST_F(NewickReaderTest, LabelsCommentsAndTwoTaxonLengthsAreKept) {
  struct Row {
    const char* name;
    const char* text;
    bool blen;
    double maxStats;
    const char* written;
  } rows[] = {
      {"two taxa with lengths", "(A:1,B:2);", true, -1, "(A:1.00000000,B:2.00000000);"},
      {"two taxa with equal lengths", "(A:0.5,B:0.5);", true, -1, "(A:0.50000000,B:0.50000000);"},
      {"first group without a label", "((A:1,B:2):0.5,(C:1,D:2)90:0.5);", true, 0,
       "((A:1.00000000,B:2.00000000)0:0.50000000,(C:1.00000000,D:2.00000000)90:0.50000000);"},
      {"only a later group labelled", "(((A,B),C)75,D,E);", false, 0, "(((A,B)0,C)75,D,E);"},
      {"comment after a group", "((A:0.1,B:0.2)[&posterior=0.9]:0.3,C:0.4,D:0.5);", true, -1,
       "((A:0.10000000,B:0.20000000):0.30000000,C:0.40000000,D:0.50000000);"},
      {"comments everywhere", "[&R] ((A[c]:0.1,B:0.2[c]):0.3,C:0.4)[root];", true, -1,
       "((A:0.10000000,B:0.20000000):0.30000000,C:0.40000000);"},
      {"comment then a bracketed label", "((A:1,B:2)[c]:0.3[95],C:0.4);", true, 0,
       "((A:1.00000000,B:2.00000000)95:0.30000000,C:0.40000000);"},
      {"label in exponent form", "((A,B)56e95,(C,D)7);", false, 0, "((A,B)56e95,(C,D)7);"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TTreeList list;
    if (!list.ImportFromNewick(r.text, nullptr)) {
      ADD_FAILURE() << "not read";
      continue;
    }
    EXPECT_EQ(list.isBLen(), r.blen);
    EXPECT_DOUBLE_EQ(list.MaxStats, r.maxStats);
    const std::string written = Written(list);
    EXPECT_EQ(written, r.written);
    TTreeList back;
    EXPECT_TRUE(!written.empty() && back.ImportFromNewick(written, nullptr));
    EXPECT_EQ(Written(back), written);
  }
  EXPECT_EQ(dialogs_.Count("message"), 0);
}

TEST_F(NewickReaderTest, AMissingSemicolonAfterSeveralTreesIsAskedAbout) {
  TTreeList list;
  dialogs_.AnswerMessage(mrNo);
  EXPECT_FALSE(list.ImportFromNewick("(A,B,C);(A,C,B)", nullptr));
  EXPECT_EQ(list.NoOfTrees(), 0);
  dialogs_.AnswerMessage(mrYes);
  ASSERT_TRUE(list.ImportFromNewick("(A,B,C);\r\n(A,C,B)\r\n", nullptr));
  ASSERT_EQ(list.NoOfTrees(), 2);
  EXPECT_EQ(Written(list, 1), "(A,C,B);");
  EXPECT_EQ(dialogs_.Count("message"), 2);

  // Text after the last tree that holds no group is passed over as before.
  ASSERT_TRUE(list.ImportFromNewick("(A,B,C);(A,C,B); [end] ", nullptr));
  EXPECT_EQ(list.NoOfTrees(), 2);
  ASSERT_TRUE(list.ImportFromNewick("(A,B,C);'x(y'", nullptr));
  EXPECT_EQ(list.NoOfTrees(), 1);
  EXPECT_EQ(dialogs_.Count("message"), 2);
}

TEST_F(NewickReaderTest, AnEmptyTextRaisesAndChangesNothing) {
  TTreeList list;
  ASSERT_TRUE(list.ImportFromNewick("(X,Y);", nullptr));
  EXPECT_THAT([&] { list.ImportFromNewick("", nullptr); }, ThrowsMessage<Exception>(kEmptyNewickText));
  EXPECT_EQ(list.NoOfTrees(), 1);
}

TEST_F(NewickReaderTest, AMissingSemicolonIsAskedAbout) {
  TTreeList list;
  ASSERT_TRUE(list.ImportFromNewick("(X,Y);", nullptr));
  dialogs_.AnswerMessage(mrNo);
  EXPECT_FALSE(list.ImportFromNewick("((A,B),C)", nullptr));
  EXPECT_EQ(list.NoOfTrees(), 1);  // declined: the list is as it was
  EXPECT_THAT(list.OTUNames.Lines(), ElementsAre("X", "Y"));

  dialogs_.AnswerMessage(mrYes);
  EXPECT_TRUE(list.ImportFromNewick("((A,B),C)", nullptr));
  EXPECT_EQ(Written(list), "((A,B),C);");

  ASSERT_EQ(dialogs_.Count("message"), 2);
  const auto& call = dialogs_.Calls()[0];
  EXPECT_EQ(call.caption, "Semicolon Missing");
  EXPECT_EQ(call.text,
            "While reading in your newick tree file we noticed it did not terminate with a semicolon as the newick "
            "standard requires.\nThis could indicate a corrupted file, would you like to continue?");
  EXPECT_EQ(call.type, TMsgDlgType::mtWarning);
  EXPECT_EQ(call.buttons, TMsgDlgButtons::mbYesNo);
}

// Building trees of every shape, with and without lengths and support, and
// writing them out, reading them back and writing again gives the same text.
TEST_F(NewickReaderTest, WrittenTreesReadBackToTheSameText) {
  const char* texts[] = {
      "((A:0.1,B:0.2)90:0.3,(C:0.4,D:0.5)70:0.6,E:0.7);",
      "((A:0.1,B:0.2)0.9:0.3,(C:0.4,(D:0.5,E:0.6)0.75:0.7)0.5:0.8);",
      "(('taxon one':1,'it''s':2)100:3,('a_b':4,'x,y':5)80:6,'[c]':7);",
      "(((A,B)95,(C,D)60)80,(E,F)100,G);",
      "((A,B),(C,(D,(E,F))));",
      "((A,B,C,D),(E,F,G));",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    for (bool rooted : {true, false}) {
      TTreeList list;
      ASSERT_TRUE(list.ImportFromNewick(text, nullptr));
      list.isRooted = rooted;
      const std::string once = Written(list);
      ASSERT_FALSE(once.empty());
      TTreeList back;
      ASSERT_TRUE(back.ImportFromNewick(once, nullptr));
      back.isRooted = rooted;
      EXPECT_EQ(Written(back), once) << (rooted ? "rooted" : "unrooted");
      EXPECT_EQ(back.OTUNames, list.OTUNames);
    }
  }
}

TEST_F(NewickReaderTest, SupportStaysOnItsGroupWhenWrittenUnrooted) {
  // The root has a taxon child, so the tree is written with the root
  // dissolved; each support value must still follow its group.
  TTreeList list;
  ASSERT_TRUE(list.ImportFromNewick("(A:1,((B:2,C:3)80:1,(D:4,E:5)60:1)90:1);", nullptr));
  ASSERT_TRUE(list.isRooted);
  list.isRooted = false;
  EXPECT_EQ(Written(list),
            "(A:2.00000000,(B:2.00000000,C:3.00000000)80:1.00000000,(D:4.00000000,E:5.00000000)60:1.00000000);");
}

TEST_F(NewickReaderTest, DeepTreesNeedNoDeepStack) {
  // A caterpillar of the largest size: nesting as deep as the model allows.
  std::string text;
  for (int i = 1; i < kMaxNoOfOTUs; ++i) text += '(';
  text += "t0";
  for (int i = 1; i < kMaxNoOfOTUs; ++i) text += ",t" + std::to_string(i) + ")";
  text += ';';
  TTreeList list;
  ASSERT_TRUE(list.ImportFromNewick(text, nullptr));
  EXPECT_EQ(list.NoOfOTUs(), kMaxNoOfOTUs);
  EXPECT_TRUE(list.Items(0).IsValidTopology());
  std::string written;
  list.OutputNewickTree(0, false, false, 0, written);
  EXPECT_EQ(written, text);
}

// Every prefix and every one-character change of valid texts either reads
// into consistent trees or fails cleanly (run under the sanitizers).
TEST_F(NewickReaderTest, DamagedTextNeverReadsOutOfRange) {
  const std::string samples[] = {
      "((A:0.1,B:0.2)95:0.3,('C c':0.4,D:0.5)[x]87:0.6);",
      "(A,B,(C,D)[90],E);(B,A,(D,C),E);",
      "((A,B):0.5,C);",
  };
  const char replacements[] = {'(', ')', ',', ':', ';', '\'', '[', ']', '9', '.', 'A', '\t'};
  for (const std::string& sample : samples) {
    std::vector<std::string> variants;
    for (size_t cut = 1; cut < sample.size(); ++cut) variants.push_back(sample.substr(0, cut));
    for (size_t i = 0; i < sample.size(); ++i) {
      variants.push_back(sample.substr(0, i) + sample.substr(i + 1));
      for (char c : replacements) {
        std::string v = sample;
        v[i] = c;
        variants.push_back(v);
      }
    }
    for (const std::string& v : variants) {
      SCOPED_TRACE(v);
      TTreeList list;
      if (list.ImportFromNewick(v, nullptr)) {
        ASSERT_GT(list.NoOfTrees(), 0);
        for (int t = 0; t < list.NoOfTrees(); ++t) {
          EXPECT_TRUE(list.Items(t).IsValidTopology());
          EXPECT_EQ(list.Items(t).NoOfOTUs(), list.OTUNames.Count());
        }
      } else {
        EXPECT_EQ(list.NoOfTrees(), 0);
      }
    }
  }
}

TEST_F(NewickReaderTest, ReadsFilesLineByLine) {
  const auto path = std::filesystem::temp_directory_path() / "kestova_newick_reader_test.nwk";
  {
    std::ofstream out(path, std::ios::binary);
    out << "((Ho\r\nmo:0.1,Pan:0.2):0.3,\nGorilla:0.4);\r\n";
  }
  TTreeList list;
  EXPECT_TRUE(list.ImportFromNewickFile(path.string(), nullptr));
  EXPECT_THAT(list.OTUNames.Lines(), ElementsAre("Homo", "Pan", "Gorilla"));
  std::filesystem::remove(path);
  EXPECT_FALSE(list.ImportFromNewickFile(path.string(), nullptr));
  EXPECT_FALSE(list.ImportFromNewickFile(path.parent_path().string(), nullptr));  // a folder
  EXPECT_EQ(list.NoOfTrees(), 1);  // neither changes anything

  {
    std::ofstream out(path, std::ios::binary);  // longer than one read
    for (int i = 0; i < 10000; ++i) out << (i % 2 ? "(A,B,C);\r\n" : "(C,A,B);\n");
  }
  EXPECT_TRUE(list.ImportFromNewickFile(path.string(), nullptr));
  EXPECT_EQ(list.NoOfTrees(), 10000);
  std::filesystem::remove(path);
}

TEST_F(NewickReaderTest, NumbersUseThePointWhateverTheScreenSeparator) {
  SetDefaultDecimalSeparator(',');
  TTreeList list;
  const bool read = list.ImportFromNewick("((A:0.5,B:1.25)0.95:0.25,C:2);", nullptr);
  const std::string written = Written(list);
  SetDefaultDecimalSeparator('.');
  ASSERT_TRUE(read);
  EXPECT_EQ(list.MaxStats, 1);  // the "." in 0.95 marks a proportion
  EXPECT_EQ(written, "((A:0.50000000,B:1.25000000)0.9500:0.25000000,C:2.00000000);");
}

}  // namespace
