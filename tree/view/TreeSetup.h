#pragma once
// Setting up the shown tree: linking the node store from a TTreeData and
// writing it back, root placement, support percentages, vertical extents,
// node heights, the midpoint search and the decimals of branch lengths. The
// control runs these in the order of its InitTree; each is a plain function
// over TTreeDisplay.

#include "tree/model/NTreeData.h"
#include "tree/view/TreeDisplay.h"

inline constexpr const char* kInvalidTreeText = "The tree does not fit the tree view.";

// Raises Exception(kInvalidTreeText) unless `tree` has n taxa, its node table
// is one tree and every length, error and support value is finite.
void CheckTreeData(const TTreeData& tree, int n);

// Links the store from the tree's node records and copies its branch values
// (lengths when it has them, errors when it has them, support always). Every
// node's anc, compressed, hidden and mark are cleared first and internal
// nodes lose name and charState. Root := the highest internal node without
// ancestor. Raises Exception(kInvalidTreeText), before changing anything,
// when the tree has another number of taxa than the store, its node table is
// not one tree, or a value is not finite.
void LinkTree(TTreeDisplay& display, const TTreeData& tree);

// Writes the shown topology and branch values into `tree` (same number of
// taxa): node records in the store's order, then for nodes 1..2n-2 the
// length when the tree has lengths, the error when it has errors, and the
// support always. In an unrooted tree the two root branches are one split:
// a root branch without support takes its sibling's, so the split keeps its
// support whichever side is drawn first. Nothing when the numbers of taxa
// differ.
void StoreTree(const TTreeDisplay& display, TTreeData& tree);

// The shown tree, with its root and descendant order, into a tree of any
// size: n taxa, lengths when flags.isBranchLength (ancestor's height minus
// own height when linearized), errors when flags.isSE and not linearized,
// support values when flags.isStats (the root split's on both root branches
// of an unrooted tree, as StoreTree). Nothing when no tree is shown.
void GetTreeData(const TTreeDisplay& display, TTreeData& tree, const TTreeFlags& flags);

// The first internal node, in number order, without ancestor; nil when none.
TNode* FindRootRecord(const TTreeDisplay& display);
// Puts `Root` at node 2n-1: the two records exchange their places in the
// tree and their branch blocks; every other field stays with its record.
void MoveRootToEnd(TTreeDisplay& display);
// Sum of blen over nodes 1..2n-2.
double SumBranchLengths(const TTreeDisplay& display);

// Support as a whole number: -1 below kNoStats; otherwise the truncated
// percentage of `total`, or the truncated raw value when `total` is 0. Kept
// within -1..INT32_MAX.
int StatsPercent(double stats, double total);
// statsPercent of nodes 1..2n-1 from `total`, the root skipped when
// `skipRoot` is set.
void SetStatsPercents(TTreeDisplay& display, double total, bool skipRoot);

// vspace of the subtree (nothing unless TreePresent): a taxon one row, a
// compressed node max(PixelsPerGroupMember4 x size, PixelsPerOTU4), others
// the sum of their descendants'.
void SetVSpace(TTreeDisplay& display, TNode* node);

// Node heights (nothing unless TreePresent): through LinearizeFunc when it is
// set and the tree is linearized, else from DistanceMatrix when one is held,
// else from branch lengths (half the mean distance between the two sides).
// `hasSE` says whether errors go to LinearizeFunc.
void SetNodeHeights(TTreeDisplay& display, bool hasSE);

// The base of BLenDecimals: twice the root height when ForceLinearized and it
// is above 1e-13, else the longest taxon-to-taxon path when the tree has
// lengths, else 0.
double LongestPath(const TTreeDisplay& display, bool isBranchLength);
// Decimals that show the first significant digit of m: 0 for m <= 0 or
// m >= 10, else 1 - floor(log10 m) (0.5 -> 2, 1.5 -> 1, 0.05 -> 3).
int BLenDecimalsFor(double m);

// The node whose branch holds the midpoint of the longest path through it;
// the last such node in number order; the root's des1 when none.
TNode* FindMidpointNode(const TTreeDisplay& display);
