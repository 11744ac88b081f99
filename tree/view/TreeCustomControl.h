#pragma once
// TTreeCustomControl: the widget that shows one rooted, strictly bifurcating
// tree. It holds the shown tree as a TTreeDisplay (node store, settings,
// attributes) and exposes the display settings as properties and the tree
// operations (swap, flip, re-rooting) as overridable members. TTreeBox
// (NTreeBox.h) binds it to a tree list.
//
// Calling order for a host: set a tree, change display properties, call
// RefreshTree. Setters never lay out or repaint by themselves.
//
// Setter rules: TreeWidth is clamped to 80..32767 pixels; CenterMargin
// outside 20..80, PixelsPerOTU outside 0..2047 and PixelsPerGroupMember
// outside 0..8191 are ignored; TreeStyle refuses tsRadiation for a tree
// without branch lengths. Setters never raise.
//
// Seams for later work: BuildTreeImage (record the picture), DrawTree (play
// it) and DrawFocus (the focus outline) do nothing here.

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "platform/graphics/TextMeasurer.h"
#include "tree/model/NTreeData.h"
#include "tree/view/TreeDisplay.h"

class QLineEdit;

using TNotifyEvent = std::function<void(QObject* Sender)>;

class TTreeCustomControl : public QWidget {
  Q_OBJECT

 public:
  explicit TTreeCustomControl(QWidget* parent = nullptr);
  ~TTreeCustomControl() override;

  // ---- The shown tree as plain data ----
  const TTreeDisplay& Display() const { return display_; }
  TTreeDisplay& Display() { return display_; }
  // Text measurement for names and labels (the installed fonts unless
  // replaced, for example by a deterministic measurer in tests). Widths are
  // remembered per font and text.
  void SetTextMeasurer(std::unique_ptr<TextMeasurer> measurer);
  const TextMeasurer& Measurer() const { return *measurer_; }

  // ---- State read by hosts ----
  int NoOfOTUs() const { return display_.NoOfOTUs(); }
  bool TreePresent() const { return display_.TreePresent; }
  bool NodeFocused() const { return nodeFocused_; }
  bool BranchFocused() const { return branchFocused_; }
  int FocusedIndex() const { return focusedIndex_; }
  int NameFocusedIndex() const { return nameFocusedIndex_; }
  Point FocusPoint() const { return focusPoint_; }
  void SetFocusPoint(Point p) { focusPoint_ = p; }
  bool isRooted() const { return display_.isRooted; }
  bool Cladogram() const { return display_.Cladogram; }
  int PictureWidth() const { return display_.PictureWidth; }
  int PictureHeight() const { return display_.PictureHeight; }
  double ScaleRatio() const { return display_.ScaleRatio; }

  // ---- Fonts and pens (OTU_Font and BranchPen belong to the whole-tree attribute) ----
  const TFont& OTU_Font() const { return display_.WholeTree().NameFont; }
  void SetOTU_Font(const TFont& font);  // then spreads attributes again
  const TFont& StatsFont() const { return display_.StatsFont; }
  void SetStatsFont(const TFont& font) { display_.StatsFont = font; }
  const TFont& ScaleFont() const { return display_.ScaleFont; }
  void SetScaleFont(const TFont& font) { display_.ScaleFont = font; }
  const TFont& CharStateFont() const { return display_.CharStateFont; }
  void SetCharStateFont(const TFont& font) { display_.CharStateFont = font; }
  const TPen& BranchPen() const { return display_.WholeTree().BranchPen; }
  void SetBranchPen(const TPen& pen) { display_.WholeTree().BranchPen = pen; }
  const TPen& ScalePen() const { return display_.ScalePen; }
  void SetScalePen(const TPen& pen) { display_.ScalePen = pen; }

  // ---- Layout settings ----
  bool ForceLinearized() const { return display_.ForceLinearized; }
  void SetForceLinearized(bool value) { display_.ForceLinearized = value; }
  int Radius() const { return display_.Radius; }  // pixels
  void SetRadius(int value) { display_.Radius = value; }
  int StartAngle() const { return display_.StartAngle; }  // steps of 30 degrees
  void SetStartAngle(int value) { display_.StartAngle = value; }
  int CenterMargin() const { return display_.CenterMargin; }  // percent of Radius
  void SetCenterMargin(int value);                              // 20..80, else ignored
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value) { autoSize_ = value; }
  // Pixels: the cladogram width while a cladogram is shown, else the width
  // by branch length.
  int TreeWidth() const;
  void SetTreeWidth(int value);
  int PixelsPerGroupMember() const { return display_.PixelsPerGroupMember4 / 4; }
  void SetPixelsPerGroupMember(int value);  // 0..8191, else ignored
  int PixelsPerOTU() const { return display_.PixelsPerOTU4 / 4; }
  void SetPixelsPerOTU(int value);  // 0..2047, else ignored; raises OnTreeResize
  TTreeStyle TreeStyle() const { return display_.TreeStyle; }
  void SetTreeStyle(TTreeStyle value);
  TBranchStyle BranchStyle() const { return display_.BranchStyle; }
  void SetBranchStyle(TBranchStyle value) { display_.BranchStyle = value; }
  bool FillSubtreeDelta() const { return fillSubtreeDelta_; }
  void SetFillSubtreeDelta(bool value) { fillSubtreeDelta_ = value; }
  TBranchInfoPosition StatsPosition() const { return statsPosition_; }
  void SetStatsPosition(TBranchInfoPosition value) { statsPosition_ = value; }
  TBranchInfoPosition BLenPosition() const { return bLenPosition_; }
  void SetBLenPosition(TBranchInfoPosition value) { bLenPosition_ = value; }
  int BLenDecimals() const { return display_.BLenDecimals; }
  void SetBLenDecimals(int value) { display_.BLenDecimals = value; }
  // Keeps the drawing scale of another control (pixels per length unit).
  void SetScaleRatio(double x);

  // ---- Switches ----
  bool ShowOTUName() const { return display_.WholeTree().ShowTaxonName; }
  void SetShowOTUName(bool value);
  bool ShowSelection() const { return showSelection_; }
  void SetShowSelection(bool value) { showSelection_ = value; }
  bool ShowOTUMarker() const { return display_.WholeTree().ShowTaxonMarker; }
  virtual void SetShowOTUMarker(bool value);
  bool ShowStats() const { return display_.ShowStats; }
  void SetShowStats(bool value) { display_.ShowStats = value; }
  bool ShowBLen() const;  // False outside the traditional style
  void SetShowBLen(bool value);
  bool ShowScale() const { return display_.ShowScale; }
  void SetShowScale(bool value) { display_.ShowScale = value; }
  bool ShowTimeScale() const { return display_.ShowTimeScale; }
  void SetShowTimeScale(bool value) { display_.ShowTimeScale = value; }
  bool ShowCharState() const;  // False unless traditional with rectangular branches
  void SetShowCharState(bool value) { display_.ShowCharState = value; }
  bool ShowHeightErrBar() const { return display_.ShowHeightErrBar; }
  void SetShowHeightErrBar(bool value) { display_.ShowHeightErrBar = value; }
  bool ShowRoot() const { return display_.ShowRoot; }
  void SetShowRoot(bool value) { display_.ShowRoot = value; }
  bool ShowTopologyOnly() const;  // True while condensed
  virtual void SetShowTopologyOnly(bool value);
  bool ShowCondensed() const { return display_.Condensed; }
  void SetShowCondensed(bool value);
  bool HorzTaxonName() const { return display_.HorzTaxonName; }
  void SetHorzTaxonName(bool value) { display_.HorzTaxonName = value; }
  bool AlignCaption() const { return display_.AlignCaption; }
  void SetAlignCaption(bool value) { display_.AlignCaption = value; }
  bool EditNameEnabled() const { return editNameEnabled_; }
  void SetEditNameEnabled(bool value) { editNameEnabled_ = value; }
  bool ShowMappedTreeNames() const { return showMappedTreeNames_; }
  void SetShowMappedTreeNames(bool value) { showMappedTreeNames_ = value; }
  bool UseSubtreeAttrib() const { return display_.UseSubtreeAttrib; }
  void SetUseSubtreeAttrib(bool value) { display_.UseSubtreeAttrib = value; }
  bool UseGroupAttrib() const { return display_.UseGroupAttrib; }
  void SetUseGroupAttrib(bool value) { display_.UseGroupAttrib = value; }
  int StatsCutoff() const { return statsCutoff_; }
  void SetStatsCutoff(int value) { statsCutoff_ = value; }
  double BLenCutoff() const { return bLenCutoff_; }
  void SetBLenCutoff(double value) { bLenCutoff_ = value; }
  TColor EmphasisColor() const { return emphasisColor_; }
  void SetEmphasisColor(TColor value) { emphasisColor_ = value; }

  // ---- Events ----
  TNotifyEvent OnChange;      // the focus moved
  TNotifyEvent OnPaint;       // end of every paint
  TNotifyEvent OnSearch;      // kept, never raised
  TNotifyEvent OnTreeResize;  // TreeWidth or PixelsPerOTU changed
  TNotifyEvent OnNameClick;   // a taxon name was clicked

  // ---- What the tree carries ----
  virtual bool GetisBranchLength() const;  // SBL > 1e-14
  virtual bool GetisSE() const;
  virtual bool GetisStats() const;
  TTreeFlags Flags() const { return {GetisBranchLength(), GetisSE(), GetisStats()}; }

  // ---- Picture ----
  // Layout, size, scale and picture again, then repaint.
  virtual void RefreshTree();

  // ---- Tree operations ----
  virtual void MoveRoot(TNode* node, bool midpoint);
  virtual void DoNameClick(QObject* Sender);
  // Puts the root on the focused branch: on a root branch the root slides to
  // the focus point (never past either end); elsewhere the branch is split
  // at the midpoint of the longest path through it (or in proportion).
  // Nothing for no focus, the root, or a rooted tree.
  virtual void RootOnFocusedBranch();
  virtual void RootAtMidpoint();
  virtual void RootByOutgroup();
  // Exchange the descendants of the focused internal node (SwapChildren) or
  // at every internal node of its subtree (FlipSubtree), then refresh.
  virtual void SwapChildren();
  virtual void FlipSubtree();
  // Copies the display settings of another control, then refreshes.
  virtual void AssignTreeAttrib(TTreeCustomControl& source);

  // ---- Reading the tree back ----
  // The shown tree with its root, order and lengths (see TreeSetup.h).
  void GetTreeData(TTreeData& tree) const;
  // Name of node i; i = 0: the focused node ("" when nothing is focused).
  // Indices outside the store give "".
  std::string GetOTUName(int i) const;
  TNodeMarker GetOTUMarker(int i) const;

  // ---- Focus (state only; the outline is drawn by DrawFocus) ----
  void FocusOnNode(int i);
  void FocusOnBranch(int i);
  void ClearFocus();

 protected:
  // Store life cycle: allocate records for n taxa (deriving classes fill
  // links, values and names), free them, prepare the filled tree.
  virtual void BuildNodes(int noOfOTUs);
  virtual void FreeNodes();
  virtual void InitTree();
  virtual void SetStatsValues();
  virtual void NameEditorChange();
  virtual void DrawFocus() {}
  virtual void DrawTree() {}
  virtual void BuildTreeImage() {}
  void RebuildTree();
  // Raises OnTreeResize.
  void TreeResized();

  void paintEvent(QPaintEvent* event) override;

  QLineEdit* NameEditor() const { return nameEditor_; }
  int& CondenseValueField() { return display_.CondenseValue; }

  // Captions and per-tree values a deriving class sets from its source.
  double TreeValue = 0;
  double TreeValue2 = 0;
  bool isValue = false;
  bool isValue2 = false;
  std::string ValueName;
  std::string Value2Name;
  int ValueDecimals = 0;
  int Value2Decimals = 0;
  std::string StatsNameField;
  std::string SourceTag;

 private:
  void AfterRerooting();
  void FlipAll(TNode* top);

  TTreeDisplay display_;
  std::unique_ptr<TextMeasurer> measurer_;
  QLineEdit* nameEditor_ = nullptr;
  bool nodeFocused_ = false;
  bool branchFocused_ = false;
  int focusedIndex_ = 0;
  int nameFocusedIndex_ = 0;
  Point focusPoint_;
  bool autoSize_ = true;
  bool fillSubtreeDelta_ = true;
  TBranchInfoPosition statsPosition_ = TBranchInfoPosition::bipAutomatic;
  TBranchInfoPosition bLenPosition_ = TBranchInfoPosition::bipAutomatic;
  bool showSelection_ = true;
  bool editNameEnabled_ = false;
  bool showMappedTreeNames_ = false;
  int statsCutoff_ = 0;
  double bLenCutoff_ = 0;
  TColor emphasisColor_ = 255;
};
