#include "tree/view/AncestralStates.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"
#include "tree/view/NTreeBox.h"
#include "tree/view/TreeBoxTesting.h"

namespace {

using namespace treeview_testing;

TEST(InformationLines, GettersFindTheirKeys) {
  const TStringList lines{
      "Codon Positions: 1st+2nd",
      "Labelled sites:  all",
      "CI = 0.612 (excluding uninformative sites)",
      "iCI = 0.55 (informative)",
      "RI = 0.7 (x)",
      "iRI = 0.65(y)",
      "RCI = 0.43 (z)",
      "iRCI = 0.4 (w)",
      "Codon Positions: 3rd",
  };
  struct Row {
    const char* key;
    bool index;
    const char* value;
  } rows[] = {
      {kCodonPositionsKey, false, "3rd"},  // the last such line
      {kLabelledSitesKey, false, " all"},
      {kTreeCIKey, true, "0.612 "},
      {kTreeCIInfoSitesKey, true, "0.55 "},
      {kTreeRIKey, true, "0.7 "},
      {kTreeRIInfoSitesKey, true, "0.65"},
      {kTreeRCIKey, true, "0.43 "},
      {kTreeRCIInfoSitesKey, true, "0.4 "},
      {"absent", false, ""},
      {"absent", true, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.key);
    EXPECT_EQ(r.index ? InformationIndexValue(lines, r.key) : InformationAfterColon(lines, r.key), r.value);
  }
}

TEST(InformationLines, KeysMatchInsideOtherKeysAndNeedTheirPunctuation) {
  // A host that writes iCI before CI gets the iCI value for TreeCI.
  EXPECT_EQ(InformationIndexValue({"iCI = 0.5 (a)", "CI = 0.6 (b)"}, kTreeCIKey), "0.5 ");
  EXPECT_EQ(InformationIndexValue({"CI = 0.6"}, kTreeCIKey), "");            // no "("
  EXPECT_EQ(InformationIndexValue({"(note) CI = 0.6"}, kTreeCIKey), "");     // "(" before the value
  EXPECT_EQ(InformationAfterColon({"Codon Positions all"}, kCodonPositionsKey), "");
  EXPECT_EQ(InformationAfterColon({"Codon Positions: " + std::string(300, 'x')}, kCodonPositionsKey).size(), 255u);
}

TEST(StateProbability, ReadsTheStatesNumberWithTheGivenSeparator) {
  const TStringList probs{"A=0,25", "C=0,75", "G="};
  EXPECT_DOUBLE_EQ(StateProbability(probs, 'C', ','), 0.75);
  EXPECT_THROW(StateProbability(probs, 'G', ','), EConvertError);
  EXPECT_THROW(StateProbability(probs, 'T', ','), EConvertError);
}

class AncestralStatesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(box_.SetTreeList(ListFromNewick("((A,B),(C,D));"), false)); }
  // Writes "<site>" at every node and counts the calls.
  TAncStateProc Counting() {
    return [this](std::span<std::string* const> states, int site, TTreeData& tree) {
      ++calls_;
      lastTreeTaxa_ = tree.NoOfOTUs();
      for (std::string* state : states) *state = std::to_string(site);
    };
  }
  TestBox box_;
  int calls_ = 0;
  int lastTreeTaxa_ = 0;
};

TEST_F(AncestralStatesTest, SettingTheCallbackFetchesTheStates) {
  EXPECT_TRUE(box_.isAncState());  // true while there is NO callback
  box_.SetSiteIndex(2);
  box_.SetAncStateProc(Counting());
  EXPECT_FALSE(box_.isAncState());
  EXPECT_EQ(calls_, 1);
  EXPECT_EQ(lastTreeTaxa_, 4);
  for (const TNode& node : box_.Display().Nodes) EXPECT_EQ(node.charState, "2") << node.index;
  box_.SetAncStateProc(Counting());  // the same code: ignored
  EXPECT_EQ(calls_, 1);
  box_.SetSiteIndex(5);
  EXPECT_EQ(calls_, 2);
  EXPECT_EQ(box_.Display().Node(1)->charState, "5");
  box_.SetSiteIndex(5);  // unchanged
  EXPECT_EQ(calls_, 2);
  box_.SetShowCharState(true);
  box_.SetAncStateProc(nullptr);
  EXPECT_TRUE(box_.isAncState());
  EXPECT_FALSE(box_.Display().ShowCharState);
}

TEST_F(AncestralStatesTest, SitesAndTheirCaption) {
  EXPECT_EQ(box_.SiteIndexForCaption(), "1");
  box_.SetAncStateProc(Counting());
  box_.SetSiteIndex(7);
  const int before = calls_;
  box_.SetMaxSiteIndex(3);
  EXPECT_EQ(box_.SiteIndex(), 3);
  EXPECT_EQ(calls_, before);  // lowered without fetching
  EXPECT_EQ(box_.SiteIndexForCaption(), "4");
}

TEST_F(AncestralStatesTest, GetAncStateUsesTheGivenCallback) {
  box_.SetSiteIndex(4);
  std::string state;
  box_.GetAncState(2, -1, state, Counting());
  EXPECT_EQ(state, "4");
  box_.GetAncState(2, 9, state, Counting());
  EXPECT_EQ(state, "9");
  box_.GetAncState(99, 1, state, Counting());
  EXPECT_EQ(state, "");
}

TEST_F(AncestralStatesTest, ProbabilitiesComeFromTheHost) {
  EXPECT_EQ(box_.AncStateProb('A', 1), 0);  // no callback
  int node = 0;
  box_.AncProbFunc = [&](int nodeIndex, int, TTreeData&, TStringList& probs) {
    node = nodeIndex;
    probs.Add("A=0.25");
    probs.Add("G=0.75");
    return 0.0;
  };
  EXPECT_DOUBLE_EQ(box_.AncStateProb('G', 6), 0.75);
  EXPECT_EQ(node, 6);
  EXPECT_THROW(box_.AncStateProb('T', 6), EConvertError);
}

TEST_F(AncestralStatesTest, InformationOfTheTreeList) {
  auto list = ListFromNewick("((A,B),(C,D));");
  list->Information.Add("Codon Positions: 1st");
  list->Information.Add("CI = 0.9 (all)");
  ASSERT_TRUE(box_.SetTreeList(std::move(list), false));
  EXPECT_EQ(box_.CodonPositionsInfo(), "1st");
  EXPECT_EQ(box_.TreeCI(), "0.9 ");
  EXPECT_EQ(box_.TreeRI(), "");
  EXPECT_EQ(box_.LabelledSitesInfo(), "");
}

}  // namespace
