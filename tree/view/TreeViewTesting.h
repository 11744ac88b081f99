#pragma once
// Helpers for the tree view's tests: trees from Newick text, a display set
// up from a tree without a widget, and compact texts of what is shown.

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/graphics/TextMeasurer.h"
#include "tree/model/NTreeList.h"
#include "tree/view/TreeDisplay.h"

namespace treeview_testing {

// The list read from Newick text; fails the test when the text is refused.
std::unique_ptr<TTreeList> ListFromNewick(const std::string& text);

// A list of one ladder tree over n taxa "T1".."Tn": each internal node joins
// the previous cluster with the next taxon; every branch has length 1 (a
// little more for taxa, so that the reader of such trees would keep them),
// support 50 of MaxStats 100; unrooted.
std::unique_ptr<TTreeList> LadderList(int n);
// A random tree over n taxa (clusters joined at random), lengths in 0..1,
// support counts of 1000; unrooted.
std::unique_ptr<TTreeList> RandomList(int n, unsigned seed);

// Builds the display's store from tree 0 of `list` the way the tree box
// does (names, links, values, root last, cluster sizes, support percents,
// longest paths, heights) and marks it present. No automatic rooting.
void LoadDisplay(TTreeDisplay& display, const TTreeList& list);

// The shown tree as rooted Newick text in drawing order, with "name" or the
// subtree in parentheses, then ":" and the length (6 significant digits)
// when `lengths`, and support (statsPercent) on internal nodes when
// `support` and it is not -1: "((A:1,B:2)90:0.5,C:3)".
std::string ShownNewick(const TTreeDisplay& display, bool lengths, bool support);

// Node of a taxon by name; nil when none.
TNode* Taxon(const TTreeDisplay& display, const std::string& name);
// The lowest node holding all the named taxa (comma-separated).
TNode* Clade(const TTreeDisplay& display, const std::string& names);

// Splits of an unrooted reading of `tree`: key = the taxa on the side
// without taxon 0, by name, sorted and joined with ","; value = (length,
// support). The two root branches form one split: lengths added, support
// taken from the side that has one.
using SplitMap = std::map<std::string, std::pair<double, double>>;
SplitMap Splits(const TTreeData& tree, const TTreeList& names);

// "name=x,y" for every node in number order: a compact text of positions.
std::string Positions(const TTreeDisplay& display, bool taxaOnly);

// A tree whose nodes a test places by hand, in pixels (origin 0: 4 tree
// units a pixel).
struct Placed {
  std::unique_ptr<TTreeList> list;
  TTreeDisplay d;
  explicit Placed(const std::string& newick, TTreeStyle style = TTreeStyle::tsTraditional,
                  TBranchStyle branches = TBranchStyle::bsRectangular);
  TNode* operator[](const std::string& names) const { return Clade(d, names); }
  int Index(const std::string& names) const { return Clade(d, names)->index; }
  void Place(const std::string& names, Coord x, Coord y) { Clade(d, names)->position = {4 * x, 4 * y}; }
};

}  // namespace treeview_testing
