#pragma once
// The tree view's node record and the procedures that work on linked nodes:
// traversal, path lengths, cluster sizes, cladogram levels and re-rooting.
// Nothing here knows about widgets; the control and the layouts call these on
// the nodes of its store (see TreeDisplay.h).
//
// Units: positions and vertical extents are quarter pixels (4 a pixel)
// relative to the tree origin, y growing downward; angles are radians.
//
// Walks are iterative, so trees of the largest size the store allows (16384
// taxa, possibly one long caterpillar) never exhaust the stack.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

// Support values below this are "none" (the -1 of a resolved multifurcation).
inline constexpr double kNoStats = -1e-13;

// A taxon marker: shape 0 means none.
struct TNodeMarker {
  std::uint8_t Shape = 0;
  TColor Color = 0;
  bool operator==(const TNodeMarker&) const = default;
};

// The values describing the branch above a node. They move as one when
// re-rooting reverses a path.
struct TBranchBlock {
  double blen = 0;      // branch length to the ancestor
  double SE = 0;        // standard error of blen
  double pathUp = 0;    // longest path from the node out through its own branch, blen included
  double pathDown = 0;  // longest path from the branch's upper end down through the node, blen included
  double stats = 0;     // support; below kNoStats means none
  int statsPercent = 0; // support as an integer; -1 none
  int freq = 0;         // branch count kept by the tree box
};

// One taxon or internal node of the shown tree. Nodes are numbered from 1:
// taxa 1..n, internal nodes n+1..2n-1, the root last once the tree is set up.
struct TNode : TBranchBlock {
  int index = 0;
  TNode* anc = nullptr;   // nil for the root
  TNode* des1 = nullptr;  // nil for a taxon; drawn first (above)
  TNode* des2 = nullptr;
  // Beside the links, so that a walk over a large tree reads one cache line
  // a node.
  bool isOTU = false;
  bool compressed = false;  // internal node drawn as one group
  bool hidden = false;      // drawn where its ancestor is; navigation passes over it
  int size = 0;           // taxa in the subtree
  double rows = 0;        // row weight of the subtree
  int depth = 0;          // cladogram level, taxa 0
  Coord vspace = 0;       // vertical extent of the subtree
  double height = 0;      // node height above its taxa
  double meanDepth = 0;   // size-weighted mean distance down to the taxa
  int minOTU = 0;         // smallest taxon number in the subtree
  Point position;         // where the node's branch ends
  double angle = 0;       // direction (radiation) or angular position (circle)
  double sector = 0;      // half-width of the subtree's sector (radiation, circle)
  double extent = 0;      // radiation: mean reach in length units; circle: distance from the centre
  std::string name;
  std::string nameTag;    // extra text drawn in bold after the name
  std::string savedName;  // the name as the tree list gave it
  TNodeMarker marker;
  std::string charState;
  bool outgroup = false;
  bool mark = false;        // working mark of the outgroup search
  bool emphasized = false;
  TColor nameColor = 0xFFFFFF;  // 0xFFFFFF: the control's emphasis colour
  int attrIndex = 0;   // AttribList entry; negative: GroupAttrib entry groupIndex
  Coord nameWidth = 0;
  Coord nameHeight = 0;
  int groupIndex = -1;
  Coord labelRight = 0;
  Coord captionTop = 0;
  Coord captionBottom = 0;
  int captionLevel = 0;

  TBranchBlock& Branch() { return *this; }
  const TBranchBlock& Branch() const { return *this; }
  // A taxon or a node drawn as a group: where the walks of the layouts end.
  bool IsTip() const { return isOTU || compressed; }
  // An internal node drawn as a group (a compressed taxon is drawn as itself).
  bool IsGroup() const { return compressed && !isOTU; }
};

// Where a walk stops descending.
enum class WalkInto { AllNodes, NotIntoCompressed };

// The subtree of `top` with parents before children, des1's side first.
std::vector<TNode*> PreOrder(TNode* top, WalkInto into = WalkInto::AllNodes);
// The subtree of `top` with children before parents, des1's side first.
std::vector<TNode*> PostOrder(TNode* top, WalkInto into = WalkInto::AllNodes);

void SwapNode(TNode*& a, TNode*& b);
// The other descendant of the node's ancestor; nil for the root.
TNode* SiblingOf(const TNode* node);
void SwapPathLengths(TNode* node);

// pathDown of every node below the root (bottom-up), then pathUp (top-down);
// the two root branches count as one.
void SetLongestPaths(TNode* root);
// Bottom-up: an internal node's size is the sum of its descendants', its
// minOTU the smaller of theirs. Taxa keep theirs.
void SetClusterSizeAndOrder(TNode* node);
// Cladogram levels: a branch counts as a level when it leads to a tip or its
// statsPercent is at least `threshold`; weaker branches fold into their
// ancestor's level (so nodes without support are drawn at their ancestor's
// level even with threshold 0).
void SetCondensedDepths(TNode* root, int threshold);
// At every internal node below `node`, the descendant with the smaller minOTU
// goes first.
void SortByMinOrder(TNode* node);

// The node above whose branch the root belongs for the taxa whose `mark` is
// set (marks of internal nodes are rewritten). The root when no taxon is
// marked or every taxon is.
TNode* FindOutgroupNode(TNode* root);

// Moves the root record `R` onto the branch above `P`, keeping R as the root
// record. When P is a root child only the root point slides along the root
// branches: to the midpoint of the longest path when `midpoint` is set (no
// change when that midpoint is not on these branches), else by a tenth of P's
// branch. Otherwise the path up from P is reversed and P's branch is split
// between P and its former ancestor at the midpoint of the longest path
// through it (or in proportion to the paths on its two sides when the
// midpoint lies elsewhere); the two former root branches merge into one.
// Branch lengths, errors and support values stay on their splits; the support
// of the former root edge is kept even when only the discarded side held it.
// pathUp and pathDown stay valid when they were before.
void ChangeRoot(TNode* R, TNode* P, bool midpoint);
