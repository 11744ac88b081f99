// Tree files of a tree box: Newick and the family's tree files.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "tree/view/NTreeBox.h"
#include "tree/view/TreeBoxTesting.h"
#include "tree/view/TreeFile.h"
#include "tree/view/TreeSetup.h"

namespace {

using namespace treeview_testing;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

// One unrooted tree over A..D whose root joins (A,B) and (C,D).
std::unique_ptr<TTreeList> FourTaxa(const char* first = "A") {
  auto list = std::make_unique<TTreeList>();
  auto tree = std::make_unique<TTreeData>(4, false, false, true);
  tree->NodeArray()[0] = {0, 1};
  tree->NodeArray()[1] = {2, 3};
  tree->NodeArray()[2] = {4, 5};
  int i = 0;
  for (const char* name : {first, "B", "C", "D"}) list->SetOTUName(i++, name);
  list->Add(std::move(tree));
  return list;
}

// Splits keyed by the side without the alphabetically first taxon, so that
// trees read from texts that list the taxa in other orders compare.
SplitMap CanonicalSplits(const TTreeList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.NoOfOTUs(); ++i) names.push_back(list.OTUName(i));
  std::sort(names.begin(), names.end());
  SplitMap canonical;
  for (const auto& [key, value] : Splits(list.Items(0), list)) {
    const std::string side = "," + key + ",";
    auto onSide = [&](const std::string& name) { return side.find("," + name + ",") != std::string::npos; };
    if (!onSide(names[0])) {
      canonical[key] = value;
      continue;
    }
    std::string other;
    for (const std::string& name : names) {
      if (!onSide(name)) other += (other.empty() ? "" : ",") + name;
    }
    canonical[other] = value;
  }
  return canonical;
}

std::string FileText(const std::string& path) {
  TStringList lines;
  lines.LoadFromFile(path);
  return lines.Text();
}

class TreeBoxFilesTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }
  QTemporaryDir dir_;
  TestBox box_;
};

TEST_F(TreeBoxFilesTest, TheShownTreeInTheFamilyFile) {
  auto list = FourTaxa("Homo sapiens");
  list->Information.Add("Title=Great apes");
  ASSERT_TRUE(box_.SetTreeList(std::move(list), false));
  box_.ExportCurrentTreeToFile(Path("one.txt"));
  EXPECT_EQ(FileText(Path("one.txt")),
            "#nuxa\n!Title: Great apes;\n!Format: datatype=tree ntaxa=4;\n\n"
            "[1] #Homo_sapiens\n[2] #B\n[3] #C\n[4] #D\n\n#NUXATree=(1,2,(3,4));\n");
  // What is shown now is what is written.
  box_.FocusOnNode(box_.Display().Root->index);
  box_.SwapChildren();
  box_.ExportCurrentTreeToFile(Path("swapped.txt"));
  EXPECT_THAT(FileText(Path("swapped.txt")), HasSubstr("\n#NUXATree=(3,4,(1,2));\n"));
}

TEST_F(TreeBoxFilesTest, AllTreesInTheFamilyFileWhateverIsShown) {
  ASSERT_TRUE(box_.SetTreeList(ListFromNewick("((A,B),C,D);((A,C),B,D);((A,D),B,C);"), false));
  box_.SetTreeIndex(2);
  box_.ExportAllTreesToFile(Path("all.txt"));
  const std::string text = FileText(Path("all.txt"));
  EXPECT_THAT(text, HasSubstr("!Title: ;\n"));
  EXPECT_THAT(text, HasSubstr("\n#NUXATree1=("));
  EXPECT_THAT(text, HasSubstr("\n#NUXATree2="));
  EXPECT_THAT(text, HasSubstr("\n#NUXATree3="));
  box_.SetTreeIndex(0);
  box_.ExportCurrentTreeToFile(Path("consensus.txt"));
  EXPECT_THAT(FileText(Path("consensus.txt")), HasSubstr("\n#NUXAConsensusTree=("));
  EXPECT_THROW(box_.ExportAllTreesToFile(Path("no/such/folder/x.txt")), EInOutError);
}

TEST_F(TreeBoxFilesTest, NewickTextAndFilesOfTheShownTree) {
  ASSERT_TRUE(box_.SetTreeList(ListFromNewick("((A:1,B:2):0.5,(C:3,D:4):0.25,E:5);"), false));
  std::string text;
  box_.GetNewickTree(text);
  EXPECT_THAT(text, HasSubstr("A:1"));
  box_.ExportCurrentTreeToNewickFile(Path("one.nwk"));
  EXPECT_EQ(FileText(Path("one.nwk")), text + "\n");
  box_.SetShowTopologyOnly(true);
  box_.ExportCurrentTreeToNewickFile(Path("topology.nwk"));
  EXPECT_EQ(FileText(Path("topology.nwk")).find(':'), std::string::npos);
}

// The two root branches of an unrooted tree are one split; whichever way
// round they are drawn, the written text keeps it with its length and
// support (the reader's placeholder for a three-way root carries none).
TEST_F(TreeBoxFilesTest, SwappingOrFlippingAtTheRootKeepsEverySplit) {
  enum class Op { Swap, Flip, SwapTwice };
  const struct {
    const char* newick;
    Op op;
  } rows[] = {
      {"(A:1,B:2,(C:3,D:4)90:0.5);", Op::Swap},
      {"(A:1,B:2,(C:3,D:4)90:0.5);", Op::Flip},
      {"(A:1,B:2,(C:3,D:4)90:0.5);", Op::SwapTwice},
      {"((A:1,B:2)80:0.5,C:3,D:4);", Op::Swap},
      {"((A:1,B:2)80:0.5,C:3,D:4);", Op::Flip},
      {"(A:1,(B:2,C:3)70:0.4,(D:1,E:2)60:0.3);", Op::Swap},
      {"(A:1,(B:2,C:3)70:0.4,(D:1,E:2)60:0.3);", Op::Flip},
      {"((A:1,B:2)70:0.4,(C:3,D:1)60:0.3,(E:2,F:1)50:0.2);", Op::Swap},
      {"((A:1,B:2)70:0.4,(C:3,D:1)60:0.3,(E:2,F:1)50:0.2);", Op::Flip},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.newick << (row.op == Op::Swap   ? " swap"
                                                      : row.op == Op::Flip ? " flip"
                                                                           : " swap twice"));
    ASSERT_TRUE(box_.ImportFromNewickString(row.newick));
    box_.FocusOnNode(box_.Display().Root->index);
    if (row.op == Op::Flip) {
      box_.FlipSubtree();
    } else {
      box_.SwapChildren();
      if (row.op == Op::SwapTwice) box_.SwapChildren();
    }
    std::string text;
    box_.GetNewickTree(text);
    const auto before = ListFromNewick(row.newick);
    const auto after = ListFromNewick(text);
    EXPECT_EQ(CanonicalSplits(*after), CanonicalSplits(*before)) << text;
  }
}

TEST_F(TreeBoxFilesTest, TheConsensusAsNewick) {
  ASSERT_TRUE(box_.SetTreeList(ListFromNewick("((A:1,B:2):1,(C:3,D:4):1,E:5);((A:1,B:2):1,(C:3,E:5):1,D:4);"), false));
  box_.SetTreeIndex(0);
  std::string text;
  box_.GetNewickTree(text);
  box_.ExportCurrentTreeToNewickFile(Path("consensus.nwk"));
  EXPECT_EQ(FileText(Path("consensus.nwk")), text + "\n");
  box_.ExportAllTreesToNewickFile(Path("all.nwk"));  // the regular trees only
  TStringList lines;
  lines.LoadFromFile(Path("all.nwk"));
  EXPECT_EQ(lines.Count(), 2);
  const auto first = box_.GetCurrentTree();
  const auto second = box_.GetCurrentTree();
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(*first, *box_.ConsensusTree());
}

TEST_F(TreeBoxFilesTest, NewickImport) {
  ASSERT_TRUE(box_.ImportFromNewickString("((A:1,B:2):0.5,(C:3,D:4):0.25,E:5);"));
  EXPECT_EQ(box_.GetSourceTag(), "Tree: ((A:1,B:2):0.5,(C:3,D:4):0.25,E:5);");
  EXPECT_EQ(ShownNewick(box_.Display(), false, false), "(((A,B),(C,D)),E)");  // not re-rooted
  EXPECT_FALSE(box_.ImportFromNewickString("((A,B),C);((A,B),D);"));
  EXPECT_EQ(box_.GetSourceTag(), "Tree: ((A,B),C);((A,B),D);");
  EXPECT_EQ(box_.NoOfOTUs(), 5);  // the former trees stay

  TStringList file{"((A,B),(C,D));", "((A,C),(B,D));"};
  file.SaveToFile(Path("two.nwk"));
  ASSERT_TRUE(box_.ImportFromNewickStandard(Path("two.nwk")));
  EXPECT_EQ(box_.NoOfTrees(), 2);
  EXPECT_EQ(box_.GetSourceTag(), "File: " + Path("two.nwk"));
  EXPECT_FALSE(box_.ImportFromNewickStandard(Path("missing.nwk")));
  EXPECT_EQ(box_.NoOfTrees(), 2);
}

// The older export is read from under the home folder; the test points HOME
// at a folder of its own.
class OlderExportTest : public TreeBoxFilesTest {
 protected:
  void SetUp() override {
    const char* home = std::getenv("HOME");
    savedHome_ = home ? home : "";
    setenv("HOME", dir_.path().toUtf8().constData(), 1);
    QDir(dir_.path()).mkpath(kOlderExportFolder);
  }
  void TearDown() override { setenv("HOME", savedHome_.c_str(), 1); }
  void Write(const std::string& text) {
    TStringList lines;
    lines.SetText(text);
    lines.SaveToFile(OlderTreeExportPath());
  }
  std::string savedHome_;
};

TEST_F(OlderExportTest, ReadsTheTreeFromItsPlace) {
  EXPECT_EQ(OlderTreeExportPath(), Path("NUXA/TEMPXXYY.KVX/TEMPTREE.KVX"));
  ASSERT_TRUE(box_.SetTreeList(FourTaxa(), false));
  EXPECT_FALSE(box_.ImportFromNUXA());  // no file: nothing changes
  EXPECT_EQ(box_.NoOfOTUs(), 4);

  Write("UBB\n3\n1 Alpha\n2 Beta\n3 Gamma\n1 1 2 0.1 0.2 90 80\n2 4 3 0.3 0.4 70 0\n");
  ASSERT_TRUE(box_.ImportFromNUXA());
  EXPECT_EQ(box_.GetSourceTag(), "NUXA");
  EXPECT_TRUE(box_.isRooted());
  EXPECT_EQ(box_.MaxStats(), 100);
  EXPECT_EQ(box_.StatsName(), "%BP Value");
  EXPECT_TRUE(box_.GetisBranchLength());
  EXPECT_EQ(ShownNewick(box_.Display(), true, true), "((Alpha:0.1,Beta:0.2)70:0.3,Gamma:0.4)");

  Write("NXX\n3\n1 Alpha\n2 Beta\n3 Gamma\n1 1 2\n2 4 3\n");
  ASSERT_TRUE(box_.ImportFromNUXA());
  EXPECT_FALSE(box_.isRooted());
  EXPECT_FALSE(box_.GetisBranchLength());
  EXPECT_FALSE(box_.GetisStats());
}

TEST_F(OlderExportTest, AMalformedFileEmptiesTheViewAndRaises) {
  ASSERT_TRUE(box_.SetTreeList(FourTaxa(), false));
  Write("NXX\n3\n1 Alpha\n2 Beta\n3 Gamma\n1 1 2\n");
  EXPECT_THAT([&] { box_.ImportFromNUXA(); }, ThrowsMessage<Exception>(HasSubstr(kBadOlderExportText)));
  EXPECT_EQ(box_.NoOfOTUs(), 0);
}

}  // namespace
