#include "tree/view/TreeCustomControl.h"

#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/core/NumberFormat.h"
#include "platform/graphics/PicturePlayer.h"
#include "platform/graphics/QtGraphics.h"
#include "platform/ui/Application.h"
#include "tree/view/TextWidthCache.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeLayout.h"
#include "tree/view/TreeSetup.h"
#include "tree/view/TreeSize.h"

TTreeCustomControl::TTreeCustomControl(QWidget* parent)
    : QWidget(parent), measurer_(std::make_unique<TTextWidthCache>(std::make_unique<QtTextMeasurer>())) {
  resize(105, 105);
  nameEditor_ = new QLineEdit(this);
  nameEditor_->setFrame(false);
  nameEditor_->setMaxLength(200);
  nameEditor_->hide();
  connect(nameEditor_, &QLineEdit::textEdited, this, [this] { RunGuarded([this] { NameEditorChange(); }); });
}

TTreeCustomControl::~TTreeCustomControl() { display_.Nodes.Clear(); }

void TTreeCustomControl::SetTextMeasurer(std::unique_ptr<TextMeasurer> measurer) {
  if (measurer) measurer_ = std::make_unique<TTextWidthCache>(std::move(measurer));
}

// ---- Setters with rules ----

void TTreeCustomControl::SetOTU_Font(const TFontData& font) {
  display_.WholeTree().NameFont = font;
  AssignAttributes(display_, *measurer_);
}

void TTreeCustomControl::SetCenterMargin(int value) {
  if (value >= 20 && value <= 80) display_.CenterMargin = value;
}

int TTreeCustomControl::TreeWidth() const {
  return display_.Cladogram ? display_.CladogramWidth : display_.TreeWidthPx;
}

void TTreeCustomControl::SetTreeWidth(int value) {
  if (!display_.TreePresent || value == TreeWidth()) return;
  value = std::clamp(value, kMinTreeWidth, kMaxTreeWidth);
  const int oldWidth = display_.TreeWidthPx;
  if (GetisBranchLength() && oldWidth > 0) display_.ScaleRatio = value * display_.ScaleRatio / oldWidth;
  if (TreeWidth() == display_.CladogramWidth || oldWidth <= 0) {
    display_.TreeWidthPx = display_.CladogramWidth = value;
  } else {
    display_.CladogramWidth =
        static_cast<int>(RoundHalfEven(static_cast<double>(value) / oldWidth * display_.CladogramWidth));
    display_.TreeWidthPx = value;
  }
  TreeResized();
}

void TTreeCustomControl::SetPixelsPerGroupMember(int value) {
  if (value < 0 || value > 8191 || value == PixelsPerGroupMember()) return;
  display_.PixelsPerGroupMember4 = value * 4;
  SetVSpace(display_, display_.Root);
}

void TTreeCustomControl::SetPixelsPerOTU(int value) {
  if (value < 0 || value > 2047 || value == PixelsPerOTU()) return;
  display_.PixelsPerOTU4 = value * 4;
  SetVSpace(display_, display_.Root);
  TreeResized();
}

void TTreeCustomControl::SetTreeStyle(TTreeStyle value) {
  if (value == display_.TreeStyle) return;
  if (value == TTreeStyle::tsRadiation && !GetisBranchLength()) return;
  display_.TreeStyle = value;
}

void TTreeCustomControl::SetScaleRatio(double x) {
  if (!display_.TreePresent || !GetisBranchLength()) return;
  if (x == display_.ScaleRatio || x < 0 || display_.ScaleRatio <= 0) return;
  const double f = x / display_.ScaleRatio;
  if (f * display_.TreeWidthPx > 8000) return;
  display_.TreeWidthPx = static_cast<int>(RoundHalfEven(f * display_.TreeWidthPx));
  display_.CladogramWidth = static_cast<int>(RoundHalfEven(f * display_.CladogramWidth));
  display_.ScaleRatio = x;
}

void TTreeCustomControl::SetShowOTUName(bool value) {
  if (value == ShowOTUName()) return;
  for (TNodeAttrib* attrib : display_.AttribList) {
    if (attrib) attrib->ShowTaxonName = value;
  }
  for (auto& attrib : display_.GroupAttrib) attrib->ShowTaxonName = value;
}

void TTreeCustomControl::SetShowOTUMarker(bool value) {
  if (value == ShowOTUMarker()) return;
  for (TNodeAttrib* attrib : display_.AttribList) {
    if (attrib) attrib->ShowTaxonMarker = value;
  }
  for (auto& attrib : display_.GroupAttrib) attrib->ShowTaxonMarker = value;
}

bool TTreeCustomControl::ShowBLen() const {
  return display_.TreeStyle == TTreeStyle::tsTraditional && display_.ShowBLen;
}

void TTreeCustomControl::SetShowBLen(bool value) {
  if (value != ShowBLen()) display_.ShowBLen = value;
}

bool TTreeCustomControl::ShowCharState() const {
  return display_.TreeStyle == TTreeStyle::tsTraditional && display_.BranchStyle == TBranchStyle::bsRectangular &&
         display_.ShowCharState;
}

bool TTreeCustomControl::ShowTopologyOnly() const { return display_.Condensed || display_.ShowTopologyOnly; }

void TTreeCustomControl::SetShowTopologyOnly(bool value) {
  if (value == ShowTopologyOnly()) return;
  display_.ShowTopologyOnly = value;
  if (value) {
    display_.Cladogram = true;
  } else {
    display_.Cladogram = false;
    display_.Condensed = false;
  }
}

void TTreeCustomControl::SetShowCondensed(bool value) {
  if (!display_.TreePresent || !GetisStats() || value == display_.Condensed) return;
  display_.Condensed = value;
  display_.Cladogram = value ? true : display_.ShowTopologyOnly;
}

// ---- What the tree carries ----

bool TTreeCustomControl::GetisBranchLength() const { return display_.SBL > 1e-14; }
bool TTreeCustomControl::GetisSE() const { return display_.isSE; }
bool TTreeCustomControl::GetisStats() const { return display_.isStats; }

// ---- Picture ----

void TTreeCustomControl::TreeResized() {
  if (OnTreeResize) OnTreeResize(this);
}

void TTreeCustomControl::RebuildTree() {
  if (!display_.TreePresent) return;
  const TTreeFlags flags = Flags();
  Layout(display_, flags, *measurer_);
  const bool shrunk = ComputeSize(display_, flags, *measurer_);
  if (autoSize_) resize(display_.PictureWidth, display_.PictureHeight);
  if (shrunk) TreeResized();
  if (HasScale(display_) && display_.ShowScale && display_.ScaleLength < 1e-13)
    MakeScale(display_, DefaultDecimalSeparator());
  BuildTreeImage();
}

void TTreeCustomControl::RefreshTree() {
  RebuildTree();
  ResetOverlay();
  update();
}

void TTreeCustomControl::paintEvent(QPaintEvent* event) {
  paintRect_ = event->rect();
  painting_ = true;
  RunGuarded([this] {
    if (display_.TreePresent) DrawTree();
    if (OnPaint) OnPaint(this);
  });
  painting_ = false;
}

TTreePictureOptions TTreeCustomControl::PictureOptions() const {
  TTreePictureOptions options;
  options.Flags = Flags();
  options.StatsPosition = statsPosition_;
  options.BLenPosition = bLenPosition_;
  options.StatsCutoff = statsCutoff_;
  options.BLenCutoff = bLenCutoff_;
  options.EmphasisColor = emphasisColor_;
  options.ShowMappedTreeNames = showMappedTreeNames_;
  options.DecimalSeparator = DefaultDecimalSeparator();
  return options;
}

void TTreeCustomControl::BuildTreeImage() {
  treePicture_ = Picture();
  if (!display_.TreePresent) return;
  treePicture_ = BuildTreePicture(display_, PictureOptions(), *measurer_, ScreenDeviceInfo());
}

void TTreeCustomControl::DrawTree() {
  if (!display_.TreePresent) return;
  {
    QPainter painter(this);
    PlayPicture(treePicture_, painter, Rect{0, 0, display_.PictureWidth, display_.PictureHeight},
                QRectF(paintRect_));
  }
  if (nodeFocused_ || branchFocused_) DrawFocus();
}

// ---- Store life cycle ----

void TTreeCustomControl::BuildNodes(int noOfOTUs) {
  display_.Nodes.Build(noOfOTUs);
  display_.Root = nullptr;
  display_.AttribList.resize(1);  // subtree attributes belong to their lender
}

void TTreeCustomControl::FreeNodes() {
  if (display_.Nodes.Empty()) return;
  display_.Nodes.Clear();
  display_.Root = nullptr;
  overlay_.Clear();
  display_.DistanceMatrix.reset();
  display_.AttribList.resize(1);
  focusedIndex_ = nameFocusedIndex_ = 0;
  nodeFocused_ = branchFocused_ = false;
  StatsNameField.clear();
  ValueName.clear();
  Value2Name.clear();
  display_.ScaleText.clear();
  display_.TimeText.clear();
  display_.isRooted = display_.isSE = display_.isStats = false;
  isValue = isValue2 = false;
  display_.MaxStats = display_.SBL = display_.ScaleLength = display_.ScaleMinorInterval = 0;
  display_.TimeFactor = display_.TimeInterval = display_.TimeMinorInterval = 0;
  display_.ScaleRatio = 0;
  display_.TreePresent = false;
}

void TTreeCustomControl::SetStatsValues() {
  const bool skipRoot = !display_.isRooted || !display_.ShowRoot;
  SetStatsPercents(display_, display_.MaxStats, skipRoot);
}

void TTreeCustomControl::InitTree() {
  TTreeDisplay& d = display_;
  d.Root = FindRootRecord(d);
  if (!d.Root) throw Exception(kInvalidTreeText);
  MoveRootToEnd(d);
  d.SBL = SumBranchLengths(d);
  SetStatsValues();
  const bool lengths = GetisBranchLength();
  if (lengths) {
    SetLongestPaths(d.Root);
    const TNode* left = d.Root->des1;
    const TNode* right = d.Root->des2;
    d.MaxLength = left->pathDown > right->pathDown ? left->pathDown : right->pathDown;
    d.BLenDecimals = std::max(d.BLenDecimals, BLenDecimalsFor(LongestPath(d, true)));
  }
  if (GetisStats()) {
    const int pen = BranchPen().Width;
    d.StatsMarginX = 2 * pen + 16;
    d.StatsMarginY = std::min(2 * pen + 8, d.PixelsPerOTU4 / 2 - 2 * std::abs(OTU_Font().Height));
  }
  d.Cladogram = lengths ? d.ShowTopologyOnly : true;
  SetShowOTUName(true);
  SetShowOTUMarker(true);
  d.TreeStyle = TTreeStyle::tsTraditional;
  d.BranchStyle = TBranchStyle::bsRectangular;
  SetClusterSizeAndOrder(d.Root);
  SetVSpace(d, d.Root);
  if (!d.isRooted && !d.NoAutoRoot) {
    bool outgroup = false;
    for (TNode& node : d.Nodes) {
      if (node.isOTU) {
        node.mark = node.outgroup;
        outgroup = outgroup || node.outgroup;
      }
    }
    if (outgroup)
      MoveRoot(FindOutgroupNode(d.Root), true);
    else if (lengths)
      MoveRoot(FindMidpointNode(d), true);
    SetClusterSizeAndOrder(d.Root);
    SetVSpace(d, d.Root);
  }
  SetNodeHeights(d, GetisSE());
  AssignAttributes(d, *measurer_);
  if (d.TreePresent) {
    const TTreeFlags flags = Flags();
    Layout(d, flags, *measurer_);
    if (ComputeSize(d, flags, *measurer_)) TreeResized();
    if (autoSize_) resize(d.PictureWidth, d.PictureHeight);
  }
  MakeScale(d, DefaultDecimalSeparator());
  d.TreePresent = true;
}

void TTreeCustomControl::NameEditorChange() {
  if (nameFocusedIndex_ < 1 || nameFocusedIndex_ > display_.Nodes.NoOfNodes()) return;
  display_.Node(nameFocusedIndex_)->name = nameEditor_->text().toStdString();
  WidenNameEditor();
}

// ---- Tree operations ----

void TTreeCustomControl::MoveRoot(TNode* node, bool midpoint) { ChangeRoot(display_.Root, node, midpoint); }

void TTreeCustomControl::DoNameClick(QObject* Sender) {
  if (OnNameClick) OnNameClick(Sender);
}

void TTreeCustomControl::AfterRerooting() {
  SetNodeHeights(display_, GetisSE());
  AssignAttributes(display_, *measurer_);
}

void TTreeCustomControl::RootOnFocusedBranch() {
  TTreeDisplay& d = display_;
  if (focusedIndex_ < 1 || focusedIndex_ > d.Nodes.NoOfNodes() || !d.Root) return;
  TNode* N = d.Node(focusedIndex_);
  if (N == d.Root || d.isRooted) return;
  if (N->anc == d.Root) {
    const Point r0 = d.Root->position;
    const Point n0 = N->position;
    const Point f = focusPoint_;
    double e = 0;
    if (d.TreeStyle == TTreeStyle::tsRadiation) {
      if (r0 == n0) return;
      const double toFocus = std::hypot(double(f.x - r0.x), double(f.y - r0.y));
      const double toNode = std::hypot(double(n0.x - r0.x), double(n0.y - r0.y));
      e = N->blen * toFocus / toNode;
    } else {
      if (n0.x == r0.x) return;
      e = double(f.x - r0.x) * N->blen / double(n0.x - r0.x);
    }
    // The root stays on the branch: neither root branch may turn negative.
    e = std::clamp(e, std::min(0.0, N->blen), std::max(0.0, N->blen));
    TNode* S = SiblingOf(N);
    S->blen += e;
    S->pathDown += e;
    N->blen -= e;
    N->pathDown -= e;
  } else {
    MoveRoot(N, false);
    SetClusterSizeAndOrder(d.Root);
    SetVSpace(d, d.Root);
  }
  AfterRerooting();
  FocusOnNode(d.Root->index);
}

void TTreeCustomControl::RootAtMidpoint() {
  TTreeDisplay& d = display_;
  if (!d.Root || d.isRooted || !GetisBranchLength()) return;
  ClearFocus();
  MoveRoot(FindMidpointNode(d), true);
  SetClusterSizeAndOrder(d.Root);
  SetVSpace(d, d.Root);
  AfterRerooting();
}

void TTreeCustomControl::RootByOutgroup() {
  TTreeDisplay& d = display_;
  if (!d.Root || d.isRooted) return;
  bool outgroup = false;
  for (const TNode& node : d.Nodes) outgroup = outgroup || (node.isOTU && node.outgroup);
  if (!outgroup) return;
  for (TNode& node : d.Nodes) {
    if (node.isOTU) node.mark = node.outgroup;
  }
  TNode* N = FindOutgroupNode(d.Root);
  if (N == d.Root) return;
  MoveRoot(N, true);
  SetClusterSizeAndOrder(d.Root);
  SetVSpace(d, d.Root);
  if (d.Root->des1->mark) FlipAll(d.Root);  // the outgroup is drawn second
  SetNodeHeights(d, GetisSE());
}

void TTreeCustomControl::FlipAll(TNode* top) {
  for (TNode* node : PreOrder(top)) {
    if (!node->isOTU) SwapNode(node->des1, node->des2);
  }
}

void TTreeCustomControl::SwapChildren() {
  if (!nodeFocused_ && !branchFocused_) return;
  if (focusedIndex_ < 1 || focusedIndex_ > display_.Nodes.NoOfNodes()) return;
  TNode* node = display_.Node(focusedIndex_);
  if (node->isOTU) return;
  SwapNode(node->des1, node->des2);
  RefreshTree();
}

void TTreeCustomControl::FlipSubtree() {
  if (!nodeFocused_ && !branchFocused_) return;
  if (focusedIndex_ <= NoOfOTUs() || focusedIndex_ > display_.Nodes.NoOfNodes()) return;
  FlipAll(display_.Node(focusedIndex_));
  RefreshTree();
}

void TTreeCustomControl::AssignTreeAttrib(TTreeCustomControl& source) {
  TTreeDisplay& d = display_;
  const TTreeDisplay& s = source.display_;
  if (GetisBranchLength() && source.GetisBranchLength())
    SetScaleRatio(s.ScaleRatio);
  else
    SetTreeWidth(source.TreeWidth());
  SetPixelsPerOTU(source.PixelsPerOTU());
  d.Radius = s.Radius;
  d.StartAngle = s.StartAngle;
  d.CenterMargin = s.CenterMargin;
  bLenCutoff_ = source.bLenCutoff_;
  bLenPosition_ = source.bLenPosition_;
  statsCutoff_ = source.statsCutoff_;
  d.CondenseValue = s.CondenseValue;
  statsPosition_ = source.statsPosition_;
  d.StatsMarginX = s.StatsMarginX;
  d.StatsMarginY = s.StatsMarginY;
  SetShowOTUName(source.ShowOTUName());
  showSelection_ = source.showSelection_;
  SetShowOTUMarker(source.ShowOTUMarker());
  d.ShowBLen = s.ShowBLen;
  d.ShowStats = s.ShowStats;
  d.ShowScale = s.ShowScale;
  d.ShowTimeScale = s.ShowTimeScale;
  d.ShowCharState = s.ShowCharState;
  d.WholeTree().NameFont = s.WholeTree().NameFont;
  d.StatsFont = s.StatsFont;
  d.CharStateFont = s.CharStateFont;
  d.ScaleFont = s.ScaleFont;
  d.WholeTree().BranchPen = s.WholeTree().BranchPen;
  d.ScalePen = s.ScalePen;
  d.ForceLinearized = s.ForceLinearized;
  if (d.DistanceMatrix && s.DistanceMatrix) d.isLinearized = s.isLinearized;
  d.LinearizeFunc = s.LinearizeFunc;
  SetShowTopologyOnly(s.ShowTopologyOnly);
  SetShowCondensed(source.ShowCondensed());
  d.TreeStyle = s.TreeStyle;
  d.BranchStyle = s.BranchStyle;
  d.HorzTaxonName = s.HorzTaxonName;
  d.AlignCaption = s.AlignCaption;
  fillSubtreeDelta_ = source.fillSubtreeDelta_;
  d.UseSubtreeAttrib = s.UseSubtreeAttrib;
  d.UseGroupAttrib = s.UseGroupAttrib;
  AssignAttributes(d, *measurer_);
  RefreshTree();
}

// ---- Reading the tree back ----

void TTreeCustomControl::GetTreeData(TTreeData& tree) const { ::GetTreeData(display_, tree, Flags()); }

std::string TTreeCustomControl::GetOTUName(int i) const {
  if (i == 0) {
    if (!nodeFocused_ && !branchFocused_) return {};
    i = focusedIndex_;
  }
  if (i < 1 || i > display_.Nodes.NoOfNodes()) return {};
  return display_.Node(i)->name;
}

TNodeMarker TTreeCustomControl::GetOTUMarker(int i) const {
  if (i < 1 || i > display_.Nodes.NoOfNodes()) return {};
  return display_.Node(i)->marker;
}

// ---- Focus ----

void TTreeCustomControl::FocusOnNode(int i) {
  if (i < 1 || i > display_.Nodes.NoOfNodes()) return;
  if (nodeFocused_ && focusedIndex_ == i) return;
  ClearFocus();
  focusedIndex_ = i;
  nodeFocused_ = true;
  focusPoint_ = display_.Node(i)->position;
  if (OnChange) OnChange(this);
  DrawFocus();
}

void TTreeCustomControl::FocusOnBranch(int i) {
  if (i < 1 || i > display_.Nodes.NoOfNodes()) return;
  if (branchFocused_ && focusedIndex_ == i) return;
  const TNode* node = display_.Node(i);
  if (node == display_.Root || !node->anc) return;
  ClearFocus();
  focusedIndex_ = i;
  branchFocused_ = true;
  focusPoint_ = {(node->anc->position.x + node->position.x) / 2, (node->anc->position.y + node->position.y) / 2};
  if (OnChange) OnChange(this);
  DrawFocus();
}

void TTreeCustomControl::ClearFocus() {
  if (nodeFocused_ || branchFocused_) DrawFocus();
  nodeFocused_ = branchFocused_ = false;
  focusedIndex_ = nameFocusedIndex_ = 0;
}
