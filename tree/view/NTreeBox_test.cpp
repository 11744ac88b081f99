#include "tree/view/NTreeBox.h"

#include <gtest/gtest.h>

#include <functional>

#include "tree/view/TreeLayout.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;

// A box that measures with the deterministic measurer and counts pictures.
class TestBox : public TTreeBox {
 public:
  TestBox() { SetTextMeasurer(std::make_unique<FixedTextMeasurer>()); }
  int pictures = 0;
  int resizes = 0;
  SplitMap ShownSplits() const {
    TTreeData tree(2, false, false, false);
    GetTreeData(tree);
    return Splits(tree, *TreeList());
  }
  TNode* operator[](const std::string& names) const { return Clade(Display(), names); }

 protected:
  void BuildTreeImage() override { ++pictures; }
};

const char* const kSupported = "((C:0.3,D:0.4)10:0.001,(A:0.5,(B:0.6,X:0.7)30:0.01)20:0.1,E:0.8);";

SplitMap SplitsOf(const std::string& newick) {
  auto list = ListFromNewick(newick);
  return Splits(list->Items(0), *list);
}

TEST(SetTreeList, AnEmptyListStaysWithTheCaller) {
  TestBox box;
  std::unique_ptr<TTreeList> none;
  EXPECT_FALSE(box.SetTreeList(std::move(none), true));
  auto empty = std::make_unique<TTreeList>();
  empty->SetOTUName(0, "kept");
  TTreeList* caller = empty.get();
  EXPECT_FALSE(box.SetTreeList(std::move(empty), true));
  ASSERT_EQ(empty.get(), caller);
  EXPECT_EQ(empty->OTUName(0), "kept");

  // A shown tree is kept when an empty list is refused.
  ASSERT_TRUE(box.SetTreeList(ListFromNewick("((A:1,B:2):1,C:3);"), true));
  EXPECT_FALSE(box.SetTreeList(std::move(empty), true));
  EXPECT_EQ(box.NoOfOTUs(), 3);
}

TEST(SetTreeList, AListThatCannotBeShownIsTakenAndFreed) {
  struct Row {
    const char* what;
    std::function<void(TTreeList&)> spoil;
  } rows[] = {
      {"node table is no tree", [](TTreeList& l) { l.Items(0).NodeArray()[0] = {0, 0}; }},
      {"length not finite", [](TTreeList& l) { l.Items(0).BLen()[1] = 1.0 / 0.0; }},
      {"second tree broken", [](TTreeList& l) {
         auto second = std::make_unique<TTreeData>(3, true, false, true);
         second->NodeArray()[0] = {5, 1};
         second->NodeArray()[1] = {3, 2};
         l.Add(std::move(second));
       }},
      {"distance matrix too small", [](TTreeList& l) {
         l.DistanceMatrix = new TDistanceMatrix{{0}, {1, 0}};  // passes to the box with the list
       }},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TestBox box;
    ASSERT_TRUE(box.SetTreeList(ListFromNewick("((A:1,B:2):1,C:3);"), true));
    auto list = ListFromNewick("((A:1,B:2):1,C:3);");
    r.spoil(*list);
    EXPECT_FALSE(box.SetTreeList(std::move(list), true));
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(box.NoOfOTUs(), 0);
    EXPECT_EQ(box.NoOfTrees(), 0);
    EXPECT_FALSE(box.TreePresent());
    EXPECT_EQ(box.TreeList(), nullptr);
  }
}

TEST(SetTreeList, SetsTheTreeUpRootedAtTheMidpoint) {
  TestBox box;
  box.SetBLenDecimals(0);
  box.SetTreeStyle(TTreeStyle::tsCircle);
  ASSERT_TRUE(box.SetTreeList(ListFromNewick(kSupported), true));
  const TTreeDisplay& d = box.Display();
  EXPECT_TRUE(box.TreePresent());
  EXPECT_EQ(d.Root->index, 11);
  EXPECT_EQ(box.TreeStyle(), TTreeStyle::tsTraditional);
  EXPECT_EQ(box.BranchStyle(), TBranchStyle::bsRectangular);
  // The longest path X..E (1.61) has its midpoint 0.805 from X, 0.095 up the
  // branch of the group of A, B and X.
  TNode* abx = box["A,B,X"];
  EXPECT_EQ(abx->anc, d.Root);
  EXPECT_NEAR(abx->blen, 0.095, 1e-12);
  EXPECT_NEAR(SiblingOf(abx)->blen, 0.005, 1e-12);
  EXPECT_EQ(box.ShownSplits(), SplitsOf(kSupported));
  // Raw support counts; the longest path 1.61 shows one decimal.
  EXPECT_EQ(box["B,X"]->statsPercent, 30);
  EXPECT_EQ(box["C,D"]->statsPercent, 10);
  EXPECT_EQ(box.BLenDecimals(), 1);
  const TNode* left = d.Root->des1;  // heights from the lengths
  const TNode* right = d.Root->des2;
  EXPECT_DOUBLE_EQ(d.Root->height, (left->meanDepth + left->blen + right->meanDepth + right->blen) / 2);
  EXPECT_GT(d.Root->height, 0);
  EXPECT_EQ(box.pictures, 0);  // drawing waits for the host's refresh
  box.RefreshTree();
  EXPECT_EQ(box.pictures, 1);
  EXPECT_GT(box.PictureWidth(), 400);
  EXPECT_EQ(box.width(), box.PictureWidth());
}

TEST(SetTreeList, KeepsTheRootWithoutAutomaticRootingOrForRootedTrees) {
  struct Row {
    const char* newick;
    bool autoRoot;
  } rows[] = {{kSupported, false}, {"((A:1,B:5):1,C:0.5);", true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.newick);
    TestBox box;
    auto list = ListFromNewick(r.newick);
    TTreeData original = list->Items(0);
    ASSERT_TRUE(box.SetTreeList(std::move(list), r.autoRoot));
    TTreeData shown(2, false, false, false);
    box.GetTreeData(shown);
    for (int i = 0; i < original.NoOfOTUs() - 1; ++i) EXPECT_EQ(shown.GetNode(i), original.GetNode(i)) << i;
  }
}

TEST(SetTreeList, RootsAtTheOutgroupWhenTaxaAreMarked) {
  // Without branch lengths only outgroup taxa can root an unrooted tree.
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick("(A,B,(C,(D,E)));"), true));
  EXPECT_EQ(box.Display().Root->des1, Clade(box.Display(), "A,B"));
  box.Display().Node(4)->outgroup = true;  // D
  box.RootByOutgroup();
  EXPECT_EQ(box.Display().Root->des2, Clade(box.Display(), "D"));  // the outgroup is drawn second
  EXPECT_EQ(box.ShownSplits(), SplitsOf("(A,B,(C,(D,E)));"));
}

TEST(TreeOperations, SwapFlipAndRerootingKeepEverySplitAndLength) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick(kSupported), false));
  box.RefreshTree();
  const SplitMap splits = SplitsOf(kSupported);
  struct Step {
    const char* what;
    std::function<void()> run;
  } steps[] = {
      {"swap at the root", [&] { box.FocusOnNode(box.Display().Root->index); box.SwapChildren(); }},
      {"flip A,B,X", [&] { box.FocusOnNode(box["A,B,X"]->index); box.FlipSubtree(); }},
      {"root on X", [&] { box.FocusOnBranch(box["X"]->index); box.RootOnFocusedBranch(); }},
      {"root on C,D", [&] { box.FocusOnBranch(box["C,D"]->index); box.RootOnFocusedBranch(); }},
      {"root at the midpoint", [&] { box.RootAtMidpoint(); }},
      {"swap below the root", [&] { box.FocusOnNode(box["C,D"]->index); box.SwapChildren(); }},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.run();
    box.RefreshTree();
    EXPECT_EQ(box.Display().Root->index, 11);
    EXPECT_EQ(box.ShownSplits(), splits);
  }
}

TEST(TreeOperations, RerootingOnABranchSplitsItAndFocusesTheRoot) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick(kSupported), false));
  box.RefreshTree();
  TNode* cd = box["C,D"];
  const double before = cd->blen;
  box.FocusOnBranch(cd->index);
  box.RootOnFocusedBranch();
  const TNode* root = box.Display().Root;
  EXPECT_EQ(cd->anc, root);
  EXPECT_NEAR(root->des1->blen + root->des2->blen, before, 1e-15);
  EXPECT_TRUE(box.NodeFocused());
  EXPECT_EQ(box.FocusedIndex(), root->index);
  EXPECT_EQ(box.ShownSplits(), SplitsOf(kSupported));
}

TEST(TreeOperations, TheRootSlidesToTheFocusPointButNeverPastAnEnd) {
  struct Row {
    const char* what;
    double at;  // focus x as a share of the way from the root to the node
    double nodeLength;
  } rows[] = {
      {"halfway", 0.5, 0.4},
      {"just past the node", 1.3, 0},
      {"just before the root", -0.2, 0.8},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TestBox box;
    ASSERT_TRUE(box.SetTreeList(ListFromNewick("((A:1,B:2):0.8,C:3);"), false));
    box.Display().isRooted = false;  // the reader calls a two-child root rooted
    box.RefreshTree();
    TNode* ab = box["A,B"];
    TNode* c = box["C"];
    const double total = ab->blen + c->blen;
    box.FocusOnBranch(ab->index);
    const Point r0 = box.Display().Root->position;
    box.SetFocusPoint({r0.x + RoundCoord((ab->position.x - r0.x) * r.at), ab->position.y});
    box.RootOnFocusedBranch();
    EXPECT_NEAR(ab->blen, r.nodeLength, 2e-3);  // the focus point is a whole quarter pixel
    EXPECT_NEAR(ab->blen + c->blen, total, 1e-12);
    EXPECT_GE(c->blen, 0);
  }
}

TEST(TreeOperations, SwapAndFlipIgnoreTaxaAndAMissingFocus) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick("((A:1,B:2):1,C:3);"), false));
  box.RefreshTree();
  const int pictures = box.pictures;
  box.SwapChildren();  // nothing focused
  box.FocusOnBranch(box["A"]->index);
  box.SwapChildren();
  box.FlipSubtree();
  EXPECT_EQ(box.pictures, pictures);
  EXPECT_EQ(ShownNewick(box.Display(), false, false), "((A,B),C)");
  box.FocusOnBranch(box["A,B"]->index);
  box.FlipSubtree();
  EXPECT_EQ(box.pictures, pictures + 1);
  EXPECT_EQ(ShownNewick(box.Display(), false, false), "((B,A),C)");
}

TEST(Properties, SettersFollowTheirRules) {
  struct Row {
    const char* what;
    bool withTree;
    std::function<void(TTreeBox&)> set;
    std::function<int(const TTreeBox&)> read;
    int expected;
    int resizes;
  } rows[] = {
      {"TreeWidth clamps low", true, [](TTreeBox& b) { b.SetTreeWidth(50); }, [](const TTreeBox& b) { return b.TreeWidth(); }, 80, 1},
      {"TreeWidth clamps high", true, [](TTreeBox& b) { b.SetTreeWidth(40000); }, [](const TTreeBox& b) { return b.TreeWidth(); }, 32767, 1},
      {"TreeWidth needs a tree", false, [](TTreeBox& b) { b.SetTreeWidth(500); }, [](const TTreeBox& b) { return b.TreeWidth(); }, 400, 0},
      {"PixelsPerOTU 2048 ignored", true, [](TTreeBox& b) { b.SetPixelsPerOTU(2048); }, [](const TTreeBox& b) { return b.PixelsPerOTU(); }, 16, 0},
      {"PixelsPerOTU -1 ignored", true, [](TTreeBox& b) { b.SetPixelsPerOTU(-1); }, [](const TTreeBox& b) { return b.PixelsPerOTU(); }, 16, 0},
      {"PixelsPerOTU 0 stored", true, [](TTreeBox& b) { b.SetPixelsPerOTU(0); }, [](const TTreeBox& b) { return b.PixelsPerOTU(); }, 0, 1},
      {"PixelsPerOTU 2047 stored", false, [](TTreeBox& b) { b.SetPixelsPerOTU(2047); }, [](const TTreeBox& b) { return b.PixelsPerOTU(); }, 2047, 1},
      {"PixelsPerGroupMember 8192 ignored", true, [](TTreeBox& b) { b.SetPixelsPerGroupMember(8192); }, [](const TTreeBox& b) { return b.PixelsPerGroupMember(); }, 2, 0},
      {"PixelsPerGroupMember 8191 stored", true, [](TTreeBox& b) { b.SetPixelsPerGroupMember(8191); }, [](const TTreeBox& b) { return b.PixelsPerGroupMember(); }, 8191, 0},
      {"CenterMargin 19 ignored", false, [](TTreeBox& b) { b.SetCenterMargin(19); }, [](const TTreeBox& b) { return b.CenterMargin(); }, 20, 0},
      {"CenterMargin 81 ignored", false, [](TTreeBox& b) { b.SetCenterMargin(81); }, [](const TTreeBox& b) { return b.CenterMargin(); }, 20, 0},
      {"CenterMargin 80 stored", false, [](TTreeBox& b) { b.SetCenterMargin(80); }, [](const TTreeBox& b) { return b.CenterMargin(); }, 80, 0},
      {"CondenseValue clamps", true, [](TTreeBox& b) { b.SetCondenseValue(150); }, [](const TTreeBox& b) { return b.CondenseValue(); }, 100, 0},
      {"ConsensusValue clamps", true, [](TTreeBox& b) { b.SetConsensusValue(-5); }, [](const TTreeBox& b) { return b.ConsensusValue(); }, 0, 0},
      {"radiation refused without lengths", true,
       [](TTreeBox& b) { b.SetTreeList(ListFromNewick("((A,B),C);"), true); b.SetTreeStyle(TTreeStyle::tsRadiation); },
       [](const TTreeBox& b) { return static_cast<int>(b.TreeStyle()); }, 0, 0},
      {"circle allowed without lengths", true,
       [](TTreeBox& b) { b.SetTreeList(ListFromNewick("((A,B),C);"), true); b.SetTreeStyle(TTreeStyle::tsCircle); },
       [](const TTreeBox& b) { return static_cast<int>(b.TreeStyle()); }, 2, 0},
      {"radiation with lengths", true, [](TTreeBox& b) { b.SetTreeStyle(TTreeStyle::tsRadiation); },
       [](const TTreeBox& b) { return static_cast<int>(b.TreeStyle()); }, 1, 0},
      {"ShowBLen reads false outside the traditional style", true,
       [](TTreeBox& b) { b.SetShowBLen(true); b.SetTreeStyle(TTreeStyle::tsCircle); },
       [](const TTreeBox& b) { return static_cast<int>(b.ShowBLen()); }, 0, 0},
      {"ShowBLen comes back in the traditional style", true,
       [](TTreeBox& b) { b.SetShowBLen(true); b.SetTreeStyle(TTreeStyle::tsCircle); b.SetTreeStyle(TTreeStyle::tsTraditional); },
       [](const TTreeBox& b) { return static_cast<int>(b.ShowBLen()); }, 1, 0},
      {"ShowCharState needs rectangular branches", true,
       [](TTreeBox& b) { b.SetShowCharState(true); b.SetBranchStyle(TBranchStyle::bsCurved); },
       [](const TTreeBox& b) { return static_cast<int>(b.ShowCharState()); }, 0, 0},
      {"ShowTopologyOnly reads true while condensed", true,
       [](TTreeBox& b) { b.SetShowCondensed(true); },
       [](const TTreeBox& b) { return static_cast<int>(b.ShowTopologyOnly()) + 2 * b.Display().ShowTopologyOnly; }, 1, 0},
      {"ShowCondensed needs support values", true,
       [](TTreeBox& b) { b.SetTreeList(ListFromNewick("((A:1,B:2):1,C:3);"), true); b.SetShowCondensed(true); },
       [](const TTreeBox& b) { return static_cast<int>(b.ShowCondensed()); }, 0, 0},
      {"ShowTopologyOnly off ends condensing", true,
       [](TTreeBox& b) { b.SetShowCondensed(true); b.SetShowTopologyOnly(false); },
       [](const TTreeBox& b) { return static_cast<int>(b.ShowCondensed()) + 2 * b.Cladogram(); }, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TestBox box;
    box.SetOTU_Font(TFontData{});  // height -11: PixelsPerOTU 16 (66 quarter pixels)
    if (r.withTree) {
      ASSERT_TRUE(box.SetTreeList(ListFromNewick(kSupported), true));
    }
    int resizes = 0;
    box.OnTreeResize = [&](QObject*) { ++resizes; };
    r.set(box);
    EXPECT_EQ(r.read(box), r.expected);
    EXPECT_EQ(resizes, r.resizes);
  }
}

TEST(Properties, ShowOTUNameTouchesTheGroupsOnlyWhenItChanges) {
  TestBox box;
  box.Display().GroupAttrib.push_back(std::make_unique<TNodeAttrib>());
  box.Display().GroupAttrib[0]->ShowTaxonName = false;
  box.SetShowOTUName(true);  // unchanged
  EXPECT_FALSE(box.Display().GroupAttrib[0]->ShowTaxonName);
  box.SetShowOTUName(false);
  box.SetShowOTUName(true);
  EXPECT_TRUE(box.Display().GroupAttrib[0]->ShowTaxonName);
  EXPECT_TRUE(box.ShowOTUName());
}

TEST(Properties, TreeWidthKeepsTheScaleRatioInStep) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick("((A:1,B:2):1,C:4);"), false));
  box.RefreshTree();
  ASSERT_DOUBLE_EQ(box.ScaleRatio(), 100);
  box.SetTreeWidth(800);
  EXPECT_DOUBLE_EQ(box.ScaleRatio(), 200);
  box.RefreshTree();
  EXPECT_EQ(box["C"]->position.x, 3200);
  box.SetScaleRatio(50);
  EXPECT_EQ(box.TreeWidth(), 200);
  box.SetScaleRatio(5000);  // would need more than 8000 pixels
  EXPECT_EQ(box.TreeWidth(), 200);
}

TEST(TTreeBox, EachTreeKeepsItsRootWhenSwitching) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick("((A:1,B:2):1,(C:3,D:4):1);((A:1,C:2):1,(B:3,D:4):1);"), true));
  ASSERT_EQ(box.NoOfTrees(), 2);
  box.Display().isRooted = false;
  box.FocusOnBranch(box["A"]->index);
  box.RootOnFocusedBranch();
  const std::string rerooted = ShownNewick(box.Display(), true, false);
  box.SetTreeIndex(2);
  EXPECT_EQ(box.TreeIndex(), 2);
  EXPECT_EQ(ShownNewick(box.Display(), false, false), "((A,C),(B,D))");
  box.SetTreeIndex(-1);
  box.SetTreeIndex(3);
  EXPECT_EQ(box.TreeIndex(), 2);
  box.SetTreeIndex(1);
  EXPECT_EQ(ShownNewick(box.Display(), true, false), rerooted);
}

TEST(TTreeBox, BranchLengthsFromTheHostWaitUntilTopologyOnlyIsSwitchedOff) {
  TestBox box;
  int calls = 0;
  box.BLenFunc = [&](TTreeData& tree) {
    ++calls;
    for (int k = 0; k < tree.BLen().Count(); ++k) tree.BLen()[k] = 1 + k;
    return 0.0;
  };
  ASSERT_TRUE(box.SetTreeList(ListFromNewick("((A,B),(C,D));"), true));
  EXPECT_TRUE(box.ShowTopologyOnly());
  EXPECT_FALSE(box.GetisBranchLength());
  EXPECT_EQ(calls, 0);
  box.SetShowTopologyOnly(false);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(box.GetisBranchLength());
  EXPECT_FALSE(box.Cladogram());
  EXPECT_EQ(box["A"]->blen, 1);
}

TEST(TTreeBox, TheLargestAndDeepestTreeIsLaidOutInEveryStyle) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(LadderList(kMaxNoOfOTUs), true));
  EXPECT_EQ(box.Display().Root->index, 2 * kMaxNoOfOTUs - 1);
  for (TTreeStyle style : {TTreeStyle::tsTraditional, TTreeStyle::tsRadiation, TTreeStyle::tsCircle}) {
    SCOPED_TRACE(static_cast<int>(style));
    box.SetTreeStyle(style);
    box.RefreshTree();
    EXPECT_EQ(box.TreeStyle(), style);
    EXPECT_GT(box.PictureWidth(), 0);
    EXPECT_LE(box.PictureHeight(), 32767);
  }
  EXPECT_EQ(box.PixelsPerOTU(), 1);  // 16384 rows only fit one pixel apart
}

TEST(TTreeBox, NamesGoToTheListAndTheNodes) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick("((A,B),C);"), true));
  box.SetOTUName(2, "Beta");
  box.SetOTUName(9, "ignored");
  EXPECT_EQ(box.TreeList()->OTUName(1), "Beta");
  EXPECT_EQ(box.GetOTUName(2), "Beta");
  EXPECT_EQ(box.Display().Node(2)->savedName, "B");
  EXPECT_EQ(box.GetOTUName(0), "");  // nothing focused
  box.FocusOnBranch(1);
  EXPECT_EQ(box.GetOTUName(0), "A");
  EXPECT_EQ(box.GetOTUName(99), "");
}

}  // namespace
