#pragma once
// TTreeDisplay: the shown tree as plain data - the node store, the display
// settings the layouts read, the values they compute, the display attributes
// and fonts. The tree view control (NTreeBox.h) owns one and exposes it as
// properties; set-up (TreeSetup.h), layouts (TreeLayout.h, RadialLayout.h),
// label extents and size (TreeSize.h) and attributes (TreeAttributes.h) are
// functions over it, usable and testable without a widget.
//
// Units: positions, extents and spacings in quarter pixels (4 a pixel),
// widths named ...Px and font heights and pen widths in pixels.
//
// Node store: nodes are numbered 1..2n-1 for n taxa (taxa 1..n); Node(k)
// checks k and raises ERangeError outside 1..NoOfNodes(), so no caller reads
// or writes outside the store. Node records never move while the store lives,
// so links between them are plain pointers.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/GraphicsTypes.h"
#include "tree/model/NTreeData.h"
#include "tree/view/NTreeProc.h"
#include "tree/view/NodeAttrib.h"

enum class TTreeStyle : std::uint8_t { tsTraditional, tsRadiation, tsCircle };
enum class TBranchStyle : std::uint8_t { bsRectangular, bsCurved, bsStraight };
enum class TBranchInfoPosition : std::uint8_t { bipAutomatic, bipAboveBranch, bipBelowBranch };

// What the tree carries, as the control answers it (a tree box answers from
// its tree list and callbacks, so the layouts take the answers as values).
struct TTreeFlags {
  bool isBranchLength = false;
  bool isSE = false;
  bool isStats = false;
};

// The tree widths a host may set, in pixels. A kept ScaleRatio never makes a
// tree wider than kMaxTreeWidth either.
inline constexpr int kMinTreeWidth = 80;
inline constexpr int kMaxTreeWidth = 32767;

// Most nodes the store holds (taxa and internal nodes).
inline constexpr int kMaxNoOfNodes = 32768;

// Host callback that changes a tree's branch lengths to make it ultrametric.
using TLinearizeFunc = std::function<void(TTreeData&)>;
// Host callback giving the height error of a node, in branch-length units.
using THeightErrFunc = std::function<double(const TNode&)>;

class TNodeStore {
 public:
  TNodeStore() = default;
  TNodeStore(const TNodeStore&) = delete;
  TNodeStore& operator=(const TNodeStore&) = delete;

  // Allocates 2n-1 records: taxa 1..n (index, minOTU, size 1, isOTU) and
  // internal nodes, every other field at its default. ERangeError when n is
  // outside 2..kMaxNoOfOTUs.
  void Build(int n);
  void Clear();
  bool Empty() const { return count_ == 0; }
  int NoOfOTUs() const { return noOfOTUs_; }
  int NoOfNodes() const { return count_; }
  // Node k (1-based); ERangeError outside 1..NoOfNodes().
  TNode* Node(int k) const;
  TNode* begin() const { return nodes_.get(); }
  TNode* end() const { return nodes_.get() + count_; }

 private:
  std::unique_ptr<TNode[]> nodes_;
  int count_ = 0;
  int noOfOTUs_ = 0;
};

struct TTreeDisplay {
  TTreeDisplay();
  TTreeDisplay(const TTreeDisplay&) = delete;
  TTreeDisplay& operator=(const TTreeDisplay&) = delete;

  TNodeStore Nodes;
  TNode* Root = nullptr;
  int NoOfOTUs() const { return Nodes.NoOfOTUs(); }
  TNode* Node(int k) const { return Nodes.Node(k); }

  // ---- State of the shown tree ----
  bool TreePresent = false;  // set up and laid out
  bool isRooted = false;
  bool NoAutoRoot = false;
  bool isSE = false;
  bool isStats = false;
  bool isLinearized = false;
  bool Cladogram = false;    // topology-only layout in effect
  bool Condensed = false;    // weakly supported branches collapsed

  // ---- Settings read by set-up and layouts ----
  TTreeStyle TreeStyle = TTreeStyle::tsTraditional;
  TBranchStyle BranchStyle = TBranchStyle::bsRectangular;
  int Radius = 300;          // pixels, circle layout
  int StartAngle = 0;        // steps of 30 degrees
  int CenterMargin = 20;     // percent of Radius
  int TreeWidthPx = 400;     // pixels
  int CladogramWidth = 400;  // pixels
  int PixelsPerOTU4 = 0;     // row of one taxon
  int PixelsPerGroupMember4 = 8;
  int CondenseValue = 50;    // percent
  bool ForceLinearized = false;
  bool ShowTopologyOnly = false;  // the stored flag
  bool ShowRoot = true;
  bool ShowStats = true;
  bool ShowBLen = false;       // the stored flag; shown only in the traditional style
  bool ShowScale = true;
  bool ShowTimeScale = true;
  bool ShowCharState = false;  // the stored flag; shown only with rectangular branches
  bool ShowHeightErrBar = false;
  bool HorzTaxonName = false;
  bool AlignCaption = false;
  bool UseSubtreeAttrib = true;
  bool UseGroupAttrib = true;
  int StatsMarginX = 12;
  int StatsMarginY = 4;
  int BLenDecimals = 0;

  // ---- Computed ----
  double SBL = 0;        // sum of all branch lengths
  double MaxStats = 0;   // total of support values (-1 none, 0 raw numbers)
  double MaxLength = 0;  // longest root-to-taxon path, or root height when linearized
  double XScale = 0;     // quarter pixels per length unit or per cladogram level
  double ScaleRatio = 0; // pixels per length unit, kept across trees; 0 not set
  int RootDepth = 0;
  Point Origin;          // added to every node position when drawing
  Point CenterShift;     // where the root or circle centre lies (radiation, circle)
  int PictureWidth = 0;  // pixels
  int PictureHeight = 0;
  double ScaleLength = 0;
  std::string ScaleText;
  double ScaleMinorInterval = 0;
  std::string ScaleUnit;
  double TimeFactor = 0;
  double TimeInterval = 0;
  double TimeMinorInterval = 0;
  std::string TimeText;
  std::string TimeUnit;

  // ---- Attributes and fonts ----
  // Entry 0 is WholeTree; further entries are subtree attributes lent by
  // their owner (the tree box keeps them per tree).
  std::vector<TNodeAttrib*> AttribList;
  TNodeAttribList GroupAttrib;
  TFontData StatsFont;
  TFontData ScaleFont;
  TFontData CharStateFont;
  TPenData ScalePen;
  TNodeAttrib& WholeTree() { return *wholeTree_; }
  const TNodeAttrib& WholeTree() const { return *wholeTree_; }

  // ---- Host data ----
  // Lower-triangular taxon distances (row i holds columns 0..i), checked to
  // have that shape when taken; nil unless a host hands one over.
  std::unique_ptr<TDistanceMatrix> DistanceMatrix;
  TLinearizeFunc LinearizeFunc;
  THeightErrFunc HeightErrFunc;

  bool Linearized() const { return isLinearized || ForceLinearized; }

 private:
  std::unique_ptr<TNodeAttrib> wholeTree_;
};

// The shape check for a distance matrix over n taxa: at least n rows, row i
// with at least i+1 entries.
bool IsLowerTriangular(const TDistanceMatrix& matrix, int n);
