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
// Picture: every RefreshTree records the laid-out tree once into TreePicture
// (TreePicture.h); painting plays it back into the exposed part of the
// control. DrawFocus draws the focus outline over it through the overlay
// journal (platform/ui/Overlay.h, FocusOutline.h).

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "platform/graphics/Picture.h"
#include "platform/graphics/TextMeasurer.h"
#include "platform/ui/Overlay.h"
#include "tree/model/NTreeData.h"
#include "tree/view/TreeDisplay.h"
#include "tree/view/TreePicture.h"

class QLineEdit;
class Printer;
class Clipboard;

// The tree view's own notice: something happened to Sender.
using TTreeNotifyEvent = std::function<void(QObject* Sender)>;
// A mouse press: the button, the modifier keys held, the position in client
// pixels.
using TMouseDownEvent =
    std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;
// A key press: the Qt key code, which the handler may change (0: no key), and
// the modifier keys held.
using TKeyDownEvent = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)>;

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
  const TFontData& OTU_Font() const { return display_.WholeTree().NameFont; }
  void SetOTU_Font(const TFontData& font);  // then spreads attributes again
  const TFontData& StatsFont() const { return display_.StatsFont; }
  void SetStatsFont(const TFontData& font) { display_.StatsFont = font; }
  const TFontData& ScaleFont() const { return display_.ScaleFont; }
  void SetScaleFont(const TFontData& font) { display_.ScaleFont = font; }
  const TFontData& CharStateFont() const { return display_.CharStateFont; }
  void SetCharStateFont(const TFontData& font) { display_.CharStateFont = font; }
  const TPenData& BranchPen() const { return display_.WholeTree().BranchPen; }
  void SetBranchPen(const TPenData& pen) { display_.WholeTree().BranchPen = pen; }
  const TPenData& ScalePen() const { return display_.ScalePen; }
  void SetScalePen(const TPenData& pen) { display_.ScalePen = pen; }

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
  TTreeNotifyEvent OnChange;      // the focus moved
  TTreeNotifyEvent OnPaint;       // end of every paint
  TTreeNotifyEvent OnSearch;      // kept, never raised
  TTreeNotifyEvent OnTreeResize;  // TreeWidth or PixelsPerOTU changed
  TTreeNotifyEvent OnNameClick;   // a taxon name was clicked
  TMouseDownEvent OnMouseDown;    // every mouse press, before the control acts on it
  TKeyDownEvent OnKeyDown;        // every key press, before the control acts on it
  TTreeNotifyEvent OnDblClick;    // a double click, after the name editor opened

  // ---- What the tree carries ----
  virtual bool GetisBranchLength() const;  // SBL > 1e-14
  virtual bool GetisSE() const;
  virtual bool GetisStats() const;
  TTreeFlags Flags() const { return {GetisBranchLength(), GetisSE(), GetisStats()}; }

  // ---- Picture ----
  // Layout, size, scale and picture again, then repaint.
  virtual void RefreshTree();
  // The picture of the last RefreshTree, PictureWidth x PictureHeight pixels
  // (4 logical units a pixel); none before the first build and after a
  // build that failed.
  const Picture& TreePicture() const { return treePicture_; }
  // The settings the picture is drawn with (the editing box draws tagged
  // names even where they overlap).
  virtual TTreePictureOptions PictureOptions() const;

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

  // ---- Pointing (TreeControlInput.cpp; rules in TreeFocus.h) ----
  // Hit tests at client pixel (x, y); each focuses what it hit, raises
  // OnChange and answers true, or answers false. A click at or above-left of
  // (0, 0) clears the focus. Clicking the focused node or branch again
  // changes nothing and answers false. NameAt (traditional style with names
  // shown) first clears the focus and raises OnChange, then sets
  // NameFocusedIndex and raises OnNameClick on a hit.
  bool NodeAt(int x, int y);
  bool BranchAt(int x, int y);
  bool NameAt(int x, int y);
  // Opens the name editor over the name NameFocusedIndex points at, with
  // the whole name selected; nothing unless EditNameEnabled.
  void EditName();
  // The drawing over the picture (the focus outline), kept for painting.
  const OverlayJournal& Overlay() const { return overlay_; }

  // ---- Printing and copying (TreePrint.cpp) ----
  // Shows the print dialog (Dialogs().Print); when accepted, prints the
  // picture on one page of the chosen printer, shrunk to fit and centred.
  // Cancelling prints nothing; a failure during the job is swallowed.
  // Without a picture (no tree shown yet) nothing happens, not even the
  // dialog.
  void PrintTree();
  // The same on `printer`, without the dialog.
  void PrintTreeOn(Printer& printer);
  // The name editor's selected text when the editor has the keyboard focus,
  // else the picture (SVG and PNG), onto the system clipboard. Without a
  // picture the clipboard is left as it is.
  void CopyImageToClipboard();
  void CopyImageTo(Clipboard& clipboard);

 protected:
  // Store life cycle: allocate records for n taxa (deriving classes fill
  // links, values and names), free them, prepare the filled tree.
  virtual void BuildNodes(int noOfOTUs);
  virtual void FreeNodes();
  virtual void InitTree();
  virtual void SetStatsValues();
  virtual void NameEditorChange();
  // Draws the focus outline over the picture with an inverting pen
  // (FocusOutline.h): outside painting into the overlay journal, followed by
  // a repaint, so drawing it twice takes it away; while painting, the
  // journal is played over the picture just painted.
  virtual void DrawFocus();
  // Plays the picture into the control (clipped to the part being painted),
  // then draws the focus outline when something is focused.
  virtual void DrawTree();
  // Records the picture from the current layout; the previous picture is
  // dropped first, so an error part-way leaves none.
  virtual void BuildTreeImage();
  void RebuildTree();
  // Raises OnTreeResize.
  void TreeResized();

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Asks for Home and the arrow keys before shortcuts can take them.
  bool event(QEvent* event) override;
  // The name editor's key presses and loss of focus.
  bool eventFilter(QObject* watched, QEvent* event) override;

  QLineEdit* NameEditor() const { return nameEditor_; }
  int& CondenseValueField() { return display_.CondenseValue; }
  // For deriving controls that draw over the picture themselves: the
  // overlay journal (draw into it, then repaint), and whether a paint is
  // running (then DrawFocus plays the journal).
  OverlayJournal& MutableOverlay() { return overlay_; }
  bool Painting() const { return painting_; }

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
  Picture treePicture_;
  QRect paintRect_;  // the part of the control being painted
  // Focus input and overlay (TreeControlInput.cpp).
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
  // The overlay as a fresh paint leaves it: the outline of the focus only.
  void ResetOverlay();
  void NameEditorKeyDown(QKeyEvent* event, bool& handled);
  void NameEditorExit();
  // Widens the name editor to its text and "00", up to the right edge.
  void WidenNameEditor();
  OverlayJournal overlay_;
  bool painting_ = false;
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
